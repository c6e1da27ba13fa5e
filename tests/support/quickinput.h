// Input the way people give it, not the way a careful test script does.
#pragma once

class QWidget;

namespace testsupport {

// A left click as a quick click, a touchpad tap or a remote desktop delivers
// it: press and release reach the window one right after the other, through
// the window system, with no queued event or timer run between them and
// nothing settled before. The event loop runs once after both.
void quickClick(QWidget* target);

} // namespace testsupport
