// Every test process runs under the shipped locale the way scripts/run.sh
// starts the programs: LOCPATH names the compiled locale of the build,
// LC_TIME and LC_NUMERIC select it, LC_ALL is unset. QApplication then takes
// the process's C locale and the system QLocale from these, as the programs'
// does, so a test sees the dates, times and numbers a clerk sees.
#pragma once

#include <QString>

namespace testsupport {

// The name of the shipped locale and the folder it is compiled into.
inline constexpr const char* kShippedLocale = "hu_HU@rafordit";
QString shippedLocaleDir();

// Sets the environment; to be called before QApplication is made. False
// (with a message on stderr) when the compiled locale is missing.
bool useShippedLocale();

} // namespace testsupport
