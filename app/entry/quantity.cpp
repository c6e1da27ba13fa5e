#include "app/entry/quantity.h"

#include <cmath>

namespace entry {

namespace {

bool isGroupBlank(QChar c)
{
    return c == u' ' || c == QChar(0x00A0) || c == QChar(0x202F);
}

bool allDigits(QStringView s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

// Integer part: plain digits, or 1-3 digits followed by blank-separated
// groups of exactly three.
std::optional<QString> integerDigits(QStringView s)
{
    bool grouped = false;
    for (QChar c : s) {
        if (isGroupBlank(c))
            grouped = true;
    }
    if (!grouped)
        return allDigits(s) ? std::optional<QString>(s.toString()) : std::nullopt;

    QString digits;
    qsizetype start = 0;
    bool first = true;
    for (qsizetype i = 0; i <= s.size(); ++i) {
        if (i < s.size() && !isGroupBlank(s.at(i)))
            continue;
        const QStringView group = s.mid(start, i - start);
        if (!allDigits(group))
            return std::nullopt;
        if (first ? group.size() > 3 : group.size() != 3)
            return std::nullopt;
        digits += group;
        first = false;
        start = i + 1;
    }
    return digits;
}

} // namespace

QString formatQuantity(double value)
{
    // A tiny relative nudge so that decimal halves stored inexactly in binary
    // (1.005) still round away from zero as they read.
    const long long cents = std::llround(value * 100.0 * (1.0 + 1e-12));
    const bool negative = cents < 0;
    const unsigned long long abs = negative ? 0ULL - static_cast<unsigned long long>(cents)
                                            : static_cast<unsigned long long>(cents);
    const QString whole = QString::number(abs / 100);
    QString grouped;
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            grouped += u' ';
        grouped += whole.at(i);
    }
    const unsigned long long frac = abs % 100;
    return (negative ? QStringLiteral("-") : QString()) + grouped + u','
        + QChar(u'0' + int(frac / 10)) + QChar(u'0' + int(frac % 10));
}

std::optional<QuantityDigits> readQuantityDigits(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;

    qsizetype sep = -1;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t.at(i) == u',' || t.at(i) == u'.') {
            if (sep >= 0)
                return std::nullopt;
            sep = i;
        }
    }
    const QStringView intPart = sep >= 0 ? QStringView(t).left(sep) : QStringView(t);
    const auto digits = integerDigits(intPart);
    if (!digits)
        return std::nullopt;
    QuantityDigits result{*digits, QString()};
    if (sep >= 0) {
        const QStringView fracPart = QStringView(t).mid(sep + 1);
        if (!allDigits(fracPart))
            return std::nullopt;
        result.fraction = fracPart.toString();
    }
    return result;
}

std::optional<double> parseQuantity(const QString& text)
{
    const auto digits = readQuantityDigits(text);
    if (!digits)
        return std::nullopt;
    QString number = digits->whole;
    if (!digits->fraction.isEmpty()) {
        number += u'.';
        number += digits->fraction;
    }
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

namespace {

// The value the field's display format shows: a quantity, or one with a
// leading minus, which the format puts in parentheses.
std::optional<double> displayedValue(const QString& typed)
{
    const QString t = typed.trimmed();
    if (t.startsWith(u'-')) {
        const auto value = parseQuantity(t.mid(1));
        return value ? std::optional<double>(-*value) : std::nullopt;
    }
    return parseQuantity(t);
}

} // namespace

QString quantityTextFromField(const QString& typed)
{
    const QString t = typed.trimmed();
    if (t.isEmpty())
        return QString();
    // The field's formatted text less its "$". A negative number keeps the
    // clerk's typing rather than "$2,00)": the add refuses either, and the
    // typing says better what was refused.
    const QString shown = displayQuantity(t);
    return shown.startsWith(u'$') ? shown.mid(1) : t;
}

bool quantityTextAcceptable(const QString& quantityText)
{
    return parseQuantity(quantityText).has_value() && quantityText.size() <= kRmenMaxLength;
}

QString displayQuantity(const QString& typed)
{
    const auto value = displayedValue(typed);
    if (!value)
        return typed;
    if (*value < 0 && formatQuantity(-*value) != formatQuantity(0))
        return QStringLiteral("($") + formatQuantity(-*value) + u')';
    return u'$' + formatQuantity(std::fabs(*value));
}

} // namespace entry
