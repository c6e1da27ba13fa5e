// Regional settings and the clock.
//
// The programs turn today's date and the current time into text the way the
// system's regional settings say (short date format, time format) and refuse
// to start when those texts do not look like 2005.08.24. and 09:05:07.
// The formats come from the POSIX locale the environment selects for
// LC_TIME; numbers use the decimal point and digit grouping of LC_NUMERIC.
// The programs run under the shipped locale (platform/sys/locale, see
// scripts/run.sh): "2005.08.24.", "09:05:07", decimal comma, thousands
// grouped with a no-break space. The settings are read from the environment
// once, at the first use, and kept. Tests replace the formats and the clock.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

namespace platform {

// The program's notion of "now". Tests fix it so that a window writes a
// known date and time.
class Clock {
public:
    static QDateTime now();
    static QDate today() { return now().date(); }
    static void setFixedNow(const QDateTime& when);
    static void clearFixedNow();
};

// Short date and time format in force: strftime patterns ("%Y.%m.%d.")
// read from LC_TIME, or whatever a test set (strftime or Qt patterns).
QString shortDateFormat();
QString timeFormat();

// A date or time written by the regional format, e.g. "2005.08.24." and
// "09:05:07" under the shipped locale, "08/24/05" under C.
QString shortDateText(const QDate& date);
QString timeText(const QTime& time);

// Writes with an explicit pattern: one containing '%' is a strftime
// pattern (glibc flags such as "%-H" and "%k" included), anything else a
// Qt pattern ("yyyy.MM.dd.").
QString formatDate(const QDate& date, const QString& pattern);
QString formatTime(const QTime& time, const QString& pattern);

// Reads the regional settings from the environment again, as a program
// started now would get them; for tests that change LC_TIME, LC_NUMERIC or
// LOCPATH. It sets the process's own LC_TIME and LC_NUMERIC the way
// QApplication does at start, so it is no call for a running window.
void reloadRegionalSettings();

// Replaces the regional formats until cleared; an empty pattern keeps the
// system's for that half.
void setRegionalFormats(const QString& shortDatePattern, const QString& timePattern);
void clearRegionalFormats();

// Number conventions (LC_NUMERIC unless overridden): decimal separator
// ("," in Hungarian) and the digit-group separator (empty when the locale
// does not group, as in C).
QString decimalSeparator();
QString groupSeparator();
void setNumberFormat(const QString& decimalSep, const QString& groupSep);
void clearNumberFormat();

// A whole number written with the regional digit grouping, groups of three:
// 1234567 -> "1.234.567" with "." as group separator.
QString groupedInteger(qint64 value);
// A number with a fixed count of decimals (halves away from zero) and the
// regional decimal separator; grouped when asked.
QString formatNumber(double value, int decimals, bool grouped = false);
// A stored real the way a clerk reads it in a grid: the shortest text that
// gives the value back to the 15 significant digits a double carries
// (850 * 0.816, stored as 693.5999999999999, reads "693,6"), the regional
// decimal separator, every digit written out (2200000, 0,0000001; never an
// exponent), no grouping.
QString shortestNumber(double value);

// True when `text` fits `mask` character by character: a digit wherever
// the mask has '#', the mask's own character everywhere else, same length.
bool fitsMask(const QString& text, const QString& mask);

// The start-up check: today's date text must fit "####.##.##." and the
// time text "##:##:##".
bool regionalFormatsFit(const QString& dateText, const QString& timeText);

// RAII for tests: fixes formats and/or clock for one scope.
class ScopedRegional {
public:
    ScopedRegional(const QString& datePattern, const QString& timePattern,
                   const QDateTime& now = QDateTime())
    {
        setRegionalFormats(datePattern, timePattern);
        if (now.isValid())
            Clock::setFixedNow(now);
    }
    ~ScopedRegional()
    {
        clearRegionalFormats();
        Clock::clearFixedNow();
    }
    ScopedRegional(const ScopedRegional&) = delete;
    ScopedRegional& operator=(const ScopedRegional&) = delete;
};

} // namespace platform
