// The mouse wheel the way the window system delivers it.
#pragma once

class QWidget;

namespace testsupport {

// Turns the wheel `notches` notches (positive: away from the clerk) with the
// pointer over the middle of `over`, without a click: the turn reaches the
// widget under the pointer as the window system's own event, so it may move
// the focus, and what that widget ignores goes on to what holds it. The
// event loop runs after it.
void turnWheel(QWidget* over, int notches);

} // namespace testsupport
