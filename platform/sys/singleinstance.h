// One running copy per program.
//
// The first run of a program takes an exclusive lock on a file named after
// the program and keeps it until the process ends. The kernel drops the
// lock when the process dies, however it dies, so a crashed run never
// leaves the program locked out.
#pragma once

#include <QString>

namespace platform {

// True when another process of the same program holds the lock. When it
// does not, this process takes the lock (or already holds it) and keeps it
// for the rest of its life; asking again gives the same answer.
bool anotherInstanceRunning(const QString& programName);

// Folder of the lock files: $XDG_RUNTIME_DIR when set, otherwise the
// system's temporary folder. Tests point it at a private folder.
QString singleInstanceLockDir();
void setSingleInstanceLockDir(const QString& folder);

// The lock file of a program in that folder.
QString singleInstanceLockFile(const QString& programName);

// Closes this process's lock as its death would (tests only; a program
// keeps it to the end).
void releaseSingleInstance(const QString& programName);

} // namespace platform
