// Program-wide procedures of the main window's module: closing every window
// and ending the program.
#pragma once

#include <functional>
#include <memory>
#include <vector>

// Closes every open window of the program, each through its own closing
// handlers. When nothing else keeps the program alive it then ends, as soon
// as the running handler returns.
void UnloadAllForms();

// Ends the program at once, without unloading the windows (the old "End").
// The running event loop is told to quit and every window is hidden, so the
// program never lingers invisibly; a handler that calls this must return
// straight away.
void EndProgram(int exitCode = 0);

// True once EndProgram() ran. The start-up code reads it to avoid entering an
// event loop that has already been told to end; tests read it instead of
// watching the process die.
bool programEndRequested();
int programExitCode();
// For tests only: forget an earlier EndProgram().
void resetProgramEnd();

struct ProgramInfo;
class QString;
namespace platform::db {
class Database;
}

// Checks that the program's three database files are in the folder and are
// databases with every table and column the program uses. A missing file is
// reported in a box (naming the file and the folder) and is never created;
// an empty file, one that is no database, or one that lacks a table or a
// column is reported by its name and what is wrong, and left as it is.
// Returns false when a file is missing or unusable. When `opened` is given,
// it receives the three files' open connections: while they are kept, the
// main window works on them instead of opening each file again.
bool checkDatabaseFiles(const ProgramInfo& info, const QString& folder,
                        std::vector<std::shared_ptr<platform::db::Database>>* opened = nullptr);
