#include "app/entry/quantity.h"

#include <QLocale>

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

// Two decimals, decimal comma, a blank between groups of thousands; a minus
// only when something is left after the rounding.
QString formatDigits(const QuantityDigits& digits, bool negative)
{
    const QString cents = roundedCents(digits);
    const QString whole = cents.left(cents.size() - 2);
    QString out;
    if (negative && cents != QStringLiteral("000"))
        out += u'-';
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            out += u' ';
        out += whole.at(i);
    }
    return out + u',' + cents.right(2);
}

} // namespace

QString formatQuantity(double value)
{
    if (!std::isfinite(value))
        return QString();
    // Rounded on the decimal digits the number reads as (its shortest text),
    // not on its binary value: a decimal half held inexactly (1.005) still
    // rounds away from zero, and a large quantity keeps every digit.
    const QString shortest = QString::number(std::fabs(value), 'f', QLocale::FloatingPointShortest);
    return formatDigits(*readQuantityDigits(shortest), value < 0);
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
    const QStringView fracPart = sep >= 0 ? QStringView(t).mid(sep + 1) : QStringView();
    // A separator needs digits on one side at least: ",5" is 0,5 and "5,"
    // is 5, as the quantity boxes' display format reads them; "," is nothing.
    if (sep >= 0 && intPart.isEmpty() && fracPart.isEmpty())
        return std::nullopt;
    const auto digits = intPart.isEmpty() && sep >= 0 ? std::optional<QString>(QStringLiteral("0"))
                                                      : integerDigits(intPart);
    if (!digits)
        return std::nullopt;
    QuantityDigits result{*digits, QString()};
    if (!fracPart.isEmpty()) {
        if (!allDigits(fracPart))
            return std::nullopt;
        result.fraction = fracPart.toString();
    }
    return result;
}

QString roundedCents(const QuantityDigits& digits)
{
    const QString fraction = digits.fraction + QStringLiteral("000");
    QString cents = digits.whole + fraction.left(2);
    if (fraction.at(2) >= u'5') {
        qsizetype i = cents.size() - 1;
        for (; i >= 0 && cents.at(i) == u'9'; --i)
            cents[i] = u'0';
        if (i >= 0)
            cents[i] = QChar(cents.at(i).unicode() + 1);
        else
            cents.prepend(u'1');
    }
    qsizetype lead = 0;
    while (lead < cents.size() - 3 && cents.at(lead) == u'0')
        ++lead;
    return cents.mid(lead);
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

// What the field's display format reads in the typed text: a quantity, or
// one with a leading minus, which the format puts in parentheses. Kept as
// digits, so that a quantity of any length shows as typed.
struct DisplayedQuantity {
    QuantityDigits digits;
    bool negative;
};

std::optional<DisplayedQuantity> displayedQuantity(const QString& typed)
{
    const QString t = typed.trimmed();
    const bool negative = t.startsWith(u'-');
    const auto digits = readQuantityDigits(negative ? t.mid(1) : t);
    if (!digits)
        return std::nullopt;
    return DisplayedQuantity{*digits, negative};
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
    const auto quantity = displayedQuantity(typed);
    if (!quantity)
        return typed;
    const QString amount = formatDigits(quantity->digits, false);
    if (quantity->negative && amount != QStringLiteral("0,00"))
        return QStringLiteral("($") + amount + u')';
    return u'$' + amount;
}

} // namespace entry
