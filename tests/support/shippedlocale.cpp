#include "tests/support/shippedlocale.h"

#include <QFileInfo>

#include <cstdio>

namespace testsupport {

QString shippedLocaleDir()
{
    return QStringLiteral(RAFORDIT_LOCALE_DIR);
}

bool useShippedLocale()
{
    const QString dir = shippedLocaleDir();
    const QString compiled = dir + QLatin1Char('/') + QLatin1String(kShippedLocale) + QStringLiteral("/LC_NUMERIC");
    if (!QFileInfo::exists(compiled)) {
        std::fprintf(stderr, "The shipped locale is not compiled: %s is missing.\n", qPrintable(compiled));
        return false;
    }
    qunsetenv("LC_ALL");
    qputenv("LOCPATH", dir.toLocal8Bit());
    qputenv("LC_TIME", kShippedLocale);
    qputenv("LC_NUMERIC", kShippedLocale);
    return true;
}

} // namespace testsupport
