#include "platform/sys/regional.h"

#include <atomic>
#include <cmath>
#include <ctime>
#include <langinfo.h>
#include <limits>
#include <locale.h>
#include <mutex>
#include <vector>

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

// The regional settings the environment selects (LOCPATH, LC_ALL,
// LC_TIME, LC_NUMERIC, LANG), read once at the first use and kept: every
// date, time and number of the program is written from this one locale
// object. Reading it anew for every text would cost a locale load each time
// and, with LOCPATH set, glibc's newlocale() loses its copy of the path on
// every call; so the categories are applied to the process the way
// QApplication applies them at start (setlocale(category, "")), which keeps
// no such copy, and the kept object is a duplicate of that.
// A name that cannot be loaded leaves the category at C, as a program
// started with it would run.
class RegionalLocale {
public:
    static RegionalLocale& instance()
    {
        // Never destroyed: a window closing at exit may still write a date.
        static RegionalLocale* const kept = new RegionalLocale;
        return *kept;
    }

    locale_t handle() const { return m_current.load(std::memory_order_acquire); }

    QString info(nl_item item) const
    {
        const locale_t loc = handle();
        return loc ? QString::fromUtf8(nl_langinfo_l(item, loc)) : QString();
    }

    void reload()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_current.store(load(), std::memory_order_release);
    }

private:
    RegionalLocale() { m_current.store(load(), std::memory_order_release); }

    // Called with the mutex held, or from the constructor (which the static
    // above runs once).
    locale_t load()
    {
        for (int category : {LC_TIME, LC_NUMERIC})
            if (!setlocale(category, ""))
                setlocale(category, "C");
        locale_t loc = duplocale(LC_GLOBAL_LOCALE);
        // An object handed out earlier may still be in use on another
        // thread: replaced ones are kept, never freed (only tests reload).
        if (loc)
            m_all.push_back(loc);
        return loc;
    }

    std::mutex m_mutex;
    std::atomic<locale_t> m_current{nullptr};
    std::vector<locale_t> m_all;
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

    const locale_t loc = RegionalLocale::instance().handle();
    const QByteArray fmt = pattern.toUtf8();
    char buf[256];
    size_t n = loc ? strftime_l(buf, sizeof buf, fmt.constData(), &tm, loc)
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

void reloadRegionalSettings()
{
    RegionalLocale::instance().reload();
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
    return RegionalLocale::instance().info(D_FMT);
}

QString timeFormat()
{
    if (!state().timePattern.isEmpty())
        return state().timePattern;
    return RegionalLocale::instance().info(T_FMT);
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
    QString sep = RegionalLocale::instance().info(RADIXCHAR);
    return sep.isEmpty() ? QStringLiteral(".") : sep;
}

QString groupSeparator()
{
    if (state().numbersOverridden)
        return state().groupSep;
    return RegionalLocale::instance().info(THOUSEP);
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

QString shortestNumber(double value)
{
    if (!std::isfinite(value))
        return QString::number(value);
    if (value == 0)
        return QStringLiteral("0");
    // Rounded to 15 significant digits: "d.dddddddddddddde+XX". The digits
    // beyond (693.5999999999999's last 9) are the noise of binary
    // arithmetic, not anything a clerk entered.
    const QString e = QString::number(std::fabs(value), 'e', 14);
    const qsizetype ePos = e.indexOf(QLatin1Char('e'));
    QString digits = e.left(1) + e.mid(2, ePos - 2);
    const int exponent = e.mid(ePos + 1).toInt();
    while (digits.size() > 1 && digits.endsWith(QLatin1Char('0')))
        digits.chop(1);
    // Digits before the decimal separator.
    const qsizetype whole = exponent + 1;
    QString text;
    if (whole <= 0)
        text = QStringLiteral("0") + decimalSeparator() + QString(-whole, QLatin1Char('0')) + digits;
    else if (whole >= digits.size())
        text = digits + QString(whole - digits.size(), QLatin1Char('0'));
    else
        text = digits.left(whole) + decimalSeparator() + digits.mid(whole);
    return value < 0 ? QLatin1Char('-') + text : text;
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
