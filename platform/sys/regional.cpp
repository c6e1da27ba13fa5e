#include "platform/sys/regional.h"

#include <cmath>
#include <limits>
#include <ctime>
#include <langinfo.h>
#include <locale.h>

namespace platform {

namespace {

struct RegionalState {
    QDateTime fixedNow;
    QString datePattern;   // empty: the system's
    QString timePattern;
    bool numbersOverridden = false;
    QString decimalSep;
    QString groupSep;
};

RegionalState& state()
{
    static RegionalState s;
    return s;
}

// The locale the environment selects for one category, loaded afresh on
// every call so that a changed setting is seen by the next check. A name
// that cannot be loaded leaves the category at C, as a program started
// with it would run. The process-wide locale is left alone: changing
// LC_NUMERIC globally would change how every strtod() in the process reads.
class EnvLocale {
public:
    explicit EnvLocale(int mask)
    {
        loc_ = newlocale(mask, "", static_cast<locale_t>(nullptr));
        if (!loc_)
            loc_ = newlocale(mask, "C", static_cast<locale_t>(nullptr));
    }
    ~EnvLocale()
    {
        if (loc_)
            freelocale(loc_);
    }
    EnvLocale(const EnvLocale&) = delete;
    EnvLocale& operator=(const EnvLocale&) = delete;

    QString info(nl_item item) const
    {
        return loc_ ? QString::fromUtf8(nl_langinfo_l(item, loc_)) : QString();
    }
    locale_t handle() const { return loc_; }

private:
    locale_t loc_ = nullptr;
};

QString strftimeText(const QString& pattern, const QDate& date, const QTime& time)
{
    std::tm tm{};
    if (date.isValid()) {
        tm.tm_year = date.year() - 1900;
        tm.tm_mon = date.month() - 1;
        tm.tm_mday = date.day();
        tm.tm_wday = date.dayOfWeek() % 7;
        tm.tm_yday = date.dayOfYear() - 1;
    } else {
        tm.tm_mday = 1;
    }
    if (time.isValid()) {
        tm.tm_hour = time.hour();
        tm.tm_min = time.minute();
        tm.tm_sec = time.second();
    }
    tm.tm_isdst = -1;

    EnvLocale loc(LC_TIME_MASK);
    const QByteArray fmt = pattern.toUtf8();
    char buf[256];
    size_t n = loc.handle() ? strftime_l(buf, sizeof buf, fmt.constData(), &tm, loc.handle())
                            : strftime(buf, sizeof buf, fmt.constData(), &tm);
    return QString::fromUtf8(buf, static_cast<qsizetype>(n));
}

bool isStrftimePattern(const QString& pattern)
{
    return pattern.contains(QLatin1Char('%'));
}

} // namespace

QDateTime Clock::now()
{
    const QDateTime& fixed = state().fixedNow;
    return fixed.isValid() ? fixed : QDateTime::currentDateTime();
}

void Clock::setFixedNow(const QDateTime& when)
{
    state().fixedNow = when;
}

void Clock::clearFixedNow()
{
    state().fixedNow = QDateTime();
}

QString shortDateFormat()
{
    if (!state().datePattern.isEmpty())
        return state().datePattern;
    return EnvLocale(LC_TIME_MASK).info(D_FMT);
}

QString timeFormat()
{
    if (!state().timePattern.isEmpty())
        return state().timePattern;
    return EnvLocale(LC_TIME_MASK).info(T_FMT);
}

QString formatDate(const QDate& date, const QString& pattern)
{
    return isStrftimePattern(pattern) ? strftimeText(pattern, date, QTime(0, 0))
                                      : date.toString(pattern);
}

QString formatTime(const QTime& time, const QString& pattern)
{
    return isStrftimePattern(pattern) ? strftimeText(pattern, QDate(), time)
                                      : time.toString(pattern);
}

QString shortDateText(const QDate& date)
{
    return formatDate(date, shortDateFormat());
}

QString timeText(const QTime& time)
{
    return formatTime(time, timeFormat());
}

void setRegionalFormats(const QString& shortDatePattern, const QString& timePattern)
{
    state().datePattern = shortDatePattern;
    state().timePattern = timePattern;
}

void clearRegionalFormats()
{
    state().datePattern.clear();
    state().timePattern.clear();
}

QString decimalSeparator()
{
    if (state().numbersOverridden)
        return state().decimalSep;
    QString sep = EnvLocale(LC_NUMERIC_MASK).info(RADIXCHAR);
    return sep.isEmpty() ? QStringLiteral(".") : sep;
}

QString groupSeparator()
{
    if (state().numbersOverridden)
        return state().groupSep;
    return EnvLocale(LC_NUMERIC_MASK).info(THOUSEP);
}

void setNumberFormat(const QString& decimalSep, const QString& groupSep)
{
    state().numbersOverridden = true;
    state().decimalSep = decimalSep;
    state().groupSep = groupSep;
}

void clearNumberFormat()
{
    state().numbersOverridden = false;
    state().decimalSep.clear();
    state().groupSep.clear();
}

namespace {

QString groupDigits(const QString& digits, const QString& sep)
{
    if (sep.isEmpty() || digits.size() <= 3)
        return digits;
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += sep;
        out += digits.at(i);
    }
    return out;
}

} // namespace

QString groupedInteger(qint64 value)
{
    const bool negative = value < 0;
    // Through the unsigned magnitude so that the smallest qint64 survives.
    quint64 magnitude = negative ? quint64(0) - quint64(value) : quint64(value);
    QString text = groupDigits(QString::number(magnitude), groupSeparator());
    return negative ? QLatin1Char('-') + text : text;
}

QString formatNumber(double value, int decimals, bool grouped)
{
    if (decimals < 0)
        decimals = 0;
    const double scale = std::pow(10.0, decimals);
    // Halves away from zero; the small nudge absorbs binary noise such as
    // 0.125 * 100 = 12.499999...
    double scaled = std::round(value * scale * (1 + 4 * std::numeric_limits<double>::epsilon()));
    const bool negative = scaled < 0;
    QString digits = QString::number(std::fabs(scaled), 'f', 0);
    if (digits.size() <= decimals)
        digits = QString(decimals + 1 - digits.size(), QLatin1Char('0')) + digits;
    QString whole = digits.left(digits.size() - decimals);
    QString frac = digits.right(decimals);
    if (grouped)
        whole = groupDigits(whole, groupSeparator());
    QString text = decimals > 0 ? whole + decimalSeparator() + frac : whole;
    return negative && scaled != 0 ? QLatin1Char('-') + text : text;
}

bool fitsMask(const QString& text, const QString& mask)
{
    if (text.size() != mask.size())
        return false;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const QChar m = mask.at(i);
        const QChar c = text.at(i);
        if (m == QLatin1Char('#')) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
        } else if (c != m) {
            return false;
        }
    }
    return true;
}

bool regionalFormatsFit(const QString& dateText, const QString& timeText)
{
    return fitsMask(dateText, QStringLiteral("####.##.##."))
        && fitsMask(timeText, QStringLiteral("##:##:##"));
}

} // namespace platform
