#include "platform/sys/regional.h"

#include "tests/support/shippedlocale.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

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

// Sets environment variables and reads the regional settings again, as a
// program started with them would; puts both back at the end.
class ScopedSettings {
public:
    ScopedSettings(std::initializer_list<std::pair<const char*, QByteArray>> values)
    {
        for (const auto& [name, value] : values)
            envs_.push_back(std::make_unique<ScopedEnv>(name, value));
        reloadRegionalSettings();
    }
    ~ScopedSettings()
    {
        envs_.clear();
        reloadRegionalSettings();
    }

private:
    std::vector<std::unique_ptr<ScopedEnv>> envs_;
};

const QChar kNbsp(0x00A0);

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
    {
        ScopedSettings settings({{"LC_ALL", QByteArray()}, {"LC_TIME", "C"}});
        EXPECT_EQ(shortDateFormat(), QStringLiteral("%m/%d/%y"));
        EXPECT_EQ(shortDateText(QDate(2005, 8, 24)), QStringLiteral("08/24/05"));
        EXPECT_FALSE(regionalFormatsFit(shortDateText(QDate(2005, 8, 24)), timeText(QTime(9, 5, 7))));
    }
    {
        // A locale name that does not exist behaves as C.
        ScopedSettings settings({{"LC_ALL", QByteArray()}, {"LC_TIME", "xx_XX@nincs"}});
        EXPECT_EQ(shortDateFormat(), QStringLiteral("%m/%d/%y"));
    }
    EXPECT_EQ(shortDateFormat(), QStringLiteral("%Y.%m.%d.")) << "the test process's own settings are back";
}

TEST(RegionalFormats, shipped_locale_passes_the_start_up_check)
{
    // The test process runs as scripts/run.sh starts the programs.
    EXPECT_EQ(qgetenv("LC_TIME"), QByteArray(testsupport::kShippedLocale));
    EXPECT_EQ(qgetenv("LC_NUMERIC"), QByteArray(testsupport::kShippedLocale));
    EXPECT_EQ(qgetenv("LOCPATH"), testsupport::shippedLocaleDir().toLocal8Bit());

    EXPECT_EQ(shortDateFormat(), QStringLiteral("%Y.%m.%d."));
    EXPECT_EQ(timeFormat(), QStringLiteral("%H:%M:%S"));
    const QString d = shortDateText(QDate(2005, 8, 24));
    const QString t = timeText(QTime(9, 5, 7));
    EXPECT_EQ(d, QStringLiteral("2005.08.24."));
    EXPECT_EQ(t, QStringLiteral("09:05:07"));
    EXPECT_TRUE(regionalFormatsFit(d, t));
    EXPECT_EQ(decimalSeparator(), QStringLiteral(","));
    EXPECT_EQ(groupSeparator(), QString(kNbsp));
    // QApplication took the same settings for the system QLocale.
    EXPECT_EQ(QLocale().decimalPoint(), QStringLiteral(","));
    EXPECT_EQ(QLocale().groupSeparator(), QString(kNbsp));
}

TEST(RegionalFormats, settings_are_read_once_and_kept_until_reloaded)
{
    struct ReloadAtEnd {
        ~ReloadAtEnd() { reloadRegionalSettings(); }
    } reloadAtEnd;   // after the variables are back
    // The program has written a number before its settings change.
    ASSERT_EQ(decimalSeparator(), QStringLiteral(","));
    ScopedEnv numeric("LC_NUMERIC", "C");
    ScopedEnv time("LC_TIME", "C");
    // A running program does not load the locale again for every text.
    EXPECT_EQ(decimalSeparator(), QStringLiteral(","));
    EXPECT_EQ(shortDateFormat(), QStringLiteral("%Y.%m.%d."));
    reloadRegionalSettings();
    EXPECT_EQ(decimalSeparator(), QStringLiteral("."));
    EXPECT_EQ(groupSeparator(), QString());
    EXPECT_EQ(shortDateFormat(), QStringLiteral("%m/%d/%y"));
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

TEST(RegionalNumbers, shipped_locale_groups_thousands_with_a_no_break_space)
{
    // "_" stands for the no-break space.
    const struct {
        double value;
        int decimals;
        const char* text;
    } amounts[] = {
        {185000, 2, "185_000,00"},
        {27743.999999999996, 2, "27_744,00"},
        {999.995, 2, "1_000,00"},
        {1234567.891, 2, "1_234_567,89"},
        {-1234.5, 2, "-1_234,50"},
        {999.99, 2, "999,99"},
        {0.5, 2, "0,50"},
        {1234567, 0, "1_234_567"},
    };
    for (const auto& a : amounts)
        EXPECT_EQ(formatNumber(a.value, a.decimals, true), QString::fromUtf8(a.text).replace(u'_', kNbsp))
            << a.value;
    EXPECT_EQ(groupedInteger(-9876543210), QStringLiteral("-9_876_543_210").replace(u'_', kNbsp));
    EXPECT_EQ(groupedInteger(100), QStringLiteral("100"));
    // Stored quantities keep their plain blank ("1 234,50"); an amount
    // groups the same digits at the same places.
    EXPECT_EQ(formatNumber(1234.5, 2, true).replace(kNbsp, u' '), QStringLiteral("1 234,50"));
}

TEST(RegionalNumbers, shortest_number_drops_binary_noise_and_never_uses_an_exponent)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {850 * 0.816, "693,6"},            // stored as 693.5999999999999
        {850 * 0.816 * 40, "27744"},       // 27743.999999999996
        {0.1 + 0.2, "0,3"},
        {1 - 0.9, "0,1"},
        {693.6, "693,6"},
        {12.5, "12,5"},
        {0.125, "0,125"},
        {1.0 / 3, "0,333333333333333"},
        {2200000, "2200000"},
        {123456789012, "123456789012"},
        {1e20, "100000000000000000000"},
        {1.5e15 + 0.5, "1500000000000000"},
        {-3.75, "-3,75"},
        {-850 * 0.816, "-693,6"},
        {1e-7, "0,0000001"},
        {-2.5e-12, "-0,0000000000025"},
        {0, "0"},
        {-0.0, "0"},
    };
    for (const auto& c : cases) {
        const QString text = shortestNumber(c.value);
        EXPECT_EQ(text, QString::fromUtf8(c.text)) << c.value;
        EXPECT_FALSE(text.contains(u'e') || text.contains(u'E')) << text.toStdString();
        // Read back, it is the stored value to the precision a double keeps.
        const double back = QString(text).replace(u',', u'.').toDouble();
        EXPECT_NEAR(back, c.value, std::fabs(c.value) * 1e-15) << text.toStdString();
    }
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
