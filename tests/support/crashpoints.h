// Dying at a chosen write: a file layer under the database engine that
// counts every change it makes to a disk file (write, truncate, sync,
// delete), together with the changes of the program's own file layer
// (create, write, sync, rename, remove), and kills the process, as a power cut or a killed program would,
// just before the change numbered `target`. Used in a forked child; the
// parent then opens the files and sees what a crash at that point leaves.
#pragma once

#include <functional>

namespace testsupport {

// Makes the counting layer the engine's default for files opened from now
// on in this process; the process dies (SIGKILL) before change `target`
// (counted from 1). A target of 0 never kills and only counts.
void dieAtChange(long target);
// Changes counted so far.
long changesCounted();

// How a child ended.
struct ChildEnd {
    bool killed = false; // died by SIGKILL at its target
    int exitCode = -1;   // when it returned
    long changes = 0;    // changes made before it ended (when it returned)
};

// Runs `work` in a forked child that dies before change `target` (0: never)
// and waits for it. The child ends with exit code 0 when `work` returns and
// 1 when it throws; it never returns into the test.
ChildEnd runChildDyingAt(long target, const std::function<void()>& work);

} // namespace testsupport
