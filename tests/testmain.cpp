// Shared entry point of every test executable: one QApplication, headless,
// under the shipped locale as the programs run.
#include "tests/support/shippedlocale.h"

#include <QApplication>
#include <gtest/gtest.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define RAFORDIT_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define RAFORDIT_ASAN 1
#endif

#ifdef RAFORDIT_ASAN
// The sanitizer build (RAFORDIT_SANITIZE) stops a test at its first report,
// leaks included; the suppressions name third-party libraries only. Options
// in the environment still win over these.
// Leaks are matched against the whole stack of their allocation: the quick
// unwinder stops inside the C library, where a suppression for the library
// that called it could not see its name.
extern "C" const char* __asan_default_options()
{
    return "halt_on_error=1:detect_leaks=1:fast_unwind_on_malloc=0";
}
extern "C" const char* __lsan_default_options()
{
    return "suppressions=" RAFORDIT_SOURCE_DIR "/tests/lsan.supp:print_suppressions=0";
}
extern "C" const char* __ubsan_default_options()
{
    return "halt_on_error=1:print_stacktrace=1";
}
#endif

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!testsupport::useShippedLocale())
        return 1;
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
