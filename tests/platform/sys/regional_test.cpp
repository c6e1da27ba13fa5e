#include "platform/sys/regional.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace platform;

namespace {

struct FormatCase {
    const char* datePattern;
    const char* timePattern;
    QTime at;
    bool fits;
};

// Sets one environment variable for a scope and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value) : name_(name)
    {
        hadOld_ = qEnvironmentVariableIsSet(name);
        old_ = qgetenv(name);
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (hadOld_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    bool hadOld_;
    QByteArray old_;
};

QString sourceDir()
{
    // The test support library carries the source folder as a definition.
    return QDir::cleanPath(QStringLiteral(RAFORDIT_SOURCE_DIR));
}

} // namespace

TEST(RegionalFormats, start_up_check_accepts_only_dotted_date_and_two_digit_hours)
{
    const QDate day(2005, 8, 24);
    const FormatCase cases[] = {
        {"%Y.%m.%d.", "%H:%M:%S", QTime(9, 5, 7), true},
        {"%Y.%m.%d.", "%H:%M:%S", QTime(0, 0, 0), true},
        {"yyyy.MM.dd.", "HH:mm:ss", QTime(9, 5, 7), true},       // Qt-style patterns
        {"%Y. %m. %d.", "%H:%M:%S", QTime(12, 0, 0), false},     // blanks after the points
        {"%Y-%m-%d", "%H:%M:%S", QTime(12, 0, 0), false},        // hyphens
        {"%y.%m.%d.", "%H:%M:%S", QTime(12, 0, 0), false},       // two-digit year
        {"%Y.%m.%d", "%H:%M:%S", QTime(12, 0, 0), false},        // no closing point
        {"%m/%d/%y", "%H:%M:%S", QTime(12, 0, 0), false},        // the C locale's date
        {"%Y.%m.%d.", "%k:%M:%S", QTime(9, 59, 59), false},      // blank-padded hour
        {"%Y.%m.%d.", "%k:%M:%S", QTime(10, 0, 0), true},
        {"%Y.%m.%d.", "%-H:%M:%S", QTime(9, 59, 59), false},     // unpadded hour
        {"%Y.%m.%d.", "%-H:%M:%S", QTime(10, 0, 0), true},
        {"%Y.%m.%d.", "%I:%M:%S %p", QTime(14, 0, 0), false},    // 12-hour clock
        {"%Y.%m.%d.", "%H:%M", QTime(14, 0, 0), false},          // no seconds
    };
    for (const FormatCase& c : cases) {
        ScopedRegional regional(c.datePattern, c.timePattern);
        const QString d = shortDateText(day);
        const QString t = timeText(c.at);
        EXPECT_EQ(regionalFormatsFit(d, t), c.fits)
            << c.datePattern << " " << c.timePattern << " -> \"" << d.toStdString() << "\" \""
            << t.toStdString() << "\"";
    }
}

TEST(RegionalFormats, strftime_patterns_write_the_expected_texts)
{
    EXPECT_EQ(formatDate(QDate(2005, 8, 24), QStringLiteral("%Y.%m.%d.")), QStringLiteral("2005.08.24."));
    EXPECT_EQ(formatTime(QTime(9, 5, 7), QStringLiteral("%H:%M:%S")), QStringLiteral("09:05:07"));
    EXPECT_EQ(formatTime(QTime(9, 5, 7), QStringLiteral("%-H:%M:%S")), QStringLiteral("9:05:07"));
    EXPECT_EQ(formatTime(QTime(9, 5, 7), QStringLiteral("%k:%M:%S")), QStringLiteral(" 9:05:07"));
}

TEST(RegionalFormats, mask_check_is_character_by_character)
{
    const struct {
        const char* text;
        bool fits;
    } cases[] = {
        {"2005.08.24.", true}, {"2005.08.24", false}, {"2005.08.24.x", false},
        {"2005,08,24,", false}, {"20O5.08.24.", false}, {"2005.0８.24.", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fitsMask(QString::fromUtf8(c.text), QStringLiteral("####.##.##.")), c.fits) << c.text;
}

TEST(RegionalFormats, system_formats_come_from_lc_time)
{
    ScopedEnv all("LC_ALL", QByteArray());
    {
        ScopedEnv time("LC_TIME", "C");
        EXPECT_EQ(shortDateFormat(), QStringLiteral("%m/%d/%y"));
        EXPECT_EQ(shortDateText(QDate(2005, 8, 24)), QStringLiteral("08/24/05"));
        EXPECT_FALSE(regionalFormatsFit(shortDateText(QDate(2005, 8, 24)), timeText(QTime(9, 5, 7))));
    }
    {
        // A locale name that does not exist behaves as C.
        ScopedEnv time("LC_TIME", "xx_XX@nincs");
        EXPECT_EQ(shortDateFormat(), QStringLiteral("%m/%d/%y"));
    }
}

TEST(RegionalFormats, shipped_locale_passes_the_start_up_check)
{
    // Compiles the shipped definition into a private folder so that the
    // test does not depend on set-up having run.
    const QString def = sourceDir() + QStringLiteral("/platform/sys/locale/hu_HU.rafordit");
    ASSERT_TRUE(QFileInfo::exists(def)) << def.toStdString();
    QTemporaryDir locales;
    ASSERT_TRUE(locales.isValid());
    const QString name = QStringLiteral("hu_HU@rafordit");
    QProcess localedef;
    localedef.start(QStringLiteral("localedef"),
                    {QStringLiteral("-i"), def, QStringLiteral("-f"), QStringLiteral("UTF-8"),
                     locales.filePath(name)});
    ASSERT_TRUE(localedef.waitForFinished(120000));
    ASSERT_TRUE(QFileInfo::exists(locales.filePath(name + QStringLiteral("/LC_TIME"))))
        << localedef.readAllStandardError().toStdString();

    ScopedEnv all("LC_ALL", QByteArray());
    ScopedEnv path("LOCPATH", locales.path().toLocal8Bit());
    ScopedEnv time("LC_TIME", name.toLocal8Bit());
    ScopedEnv numeric("LC_NUMERIC", name.toLocal8Bit());
    EXPECT_EQ(shortDateFormat(), QStringLiteral("%Y.%m.%d."));
    EXPECT_EQ(timeFormat(), QStringLiteral("%H:%M:%S"));
    const QString d = shortDateText(QDate(2005, 8, 24));
    const QString t = timeText(QTime(9, 5, 7));
    EXPECT_EQ(d, QStringLiteral("2005.08.24."));
    EXPECT_EQ(t, QStringLiteral("09:05:07"));
    EXPECT_TRUE(regionalFormatsFit(d, t));
    EXPECT_EQ(decimalSeparator(), QStringLiteral(","));
}

TEST(RegionalNumbers, grouping_and_decimals_follow_the_separators)
{
    setNumberFormat(QStringLiteral(","), QStringLiteral("."));
    EXPECT_EQ(groupedInteger(0), QStringLiteral("0"));
    EXPECT_EQ(groupedInteger(999), QStringLiteral("999"));
    EXPECT_EQ(groupedInteger(1000), QStringLiteral("1.000"));
    EXPECT_EQ(groupedInteger(1234567), QStringLiteral("1.234.567"));
    EXPECT_EQ(groupedInteger(-1234567), QStringLiteral("-1.234.567"));
    EXPECT_EQ(formatNumber(1.5, 2), QStringLiteral("1,50"));
    EXPECT_EQ(formatNumber(0.125, 2), QStringLiteral("0,13"));   // half away from zero
    EXPECT_EQ(formatNumber(1.005, 2), QStringLiteral("1,01"));
    EXPECT_EQ(formatNumber(-0.001, 2), QStringLiteral("0,00"));
    EXPECT_EQ(formatNumber(1234.5, 2, true), QStringLiteral("1.234,50"));
    EXPECT_EQ(formatNumber(1234.5, 0, true), QStringLiteral("1.235"));

    setNumberFormat(QStringLiteral("."), QString());   // a locale that does not group
    EXPECT_EQ(groupedInteger(1234567), QStringLiteral("1234567"));
    EXPECT_EQ(formatNumber(2, 2), QStringLiteral("2.00"));
    clearNumberFormat();
}

TEST(Clock, fixed_now_replaces_the_system_clock_until_cleared)
{
    const QDateTime when(QDate(2005, 8, 24), QTime(9, 5, 7));
    Clock::setFixedNow(when);
    EXPECT_EQ(Clock::now(), when);
    EXPECT_EQ(Clock::today(), QDate(2005, 8, 24));
    Clock::clearFixedNow();
    EXPECT_LE(qAbs(Clock::now().secsTo(QDateTime::currentDateTime())), 5);
}
