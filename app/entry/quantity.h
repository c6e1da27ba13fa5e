// The quantity of an expenditure item as text: how a typed quantity becomes
// the stored `Rmen` text ("2,50": two decimals, decimal comma, a blank between
// thousands) and how every reader of `Rmen` reads it back as a number.
//
// One formatter, one parser: the item tabs, the add operations and the
// monthly export all go through these, so a stored quantity always reads back
// as the number it was written from.
#pragma once

#include <QString>

#include <optional>

namespace entry {

// `Rmen` holds at most this many characters.
inline constexpr int kRmenMaxLength = 10;

// Two decimals (halves away from zero), decimal comma, a blank between groups
// of thousands: 2.5 -> "2,50", 1234.5 -> "1 234,50", 0.125 -> "0,13".
QString formatQuantity(double value);

// A non-negative decimal number: digits (optionally grouped by blanks in
// threes), at most one decimal separator (a comma; a point is read as one too,
// as older stored quantities carry it) with digits on one side at least
// (",5" is 0,5 and "5," is 5). Surrounding blanks are ignored. Anything
// else - empty text, a separator alone, a sign, letters, a currency sign, two
// separators - gives no value.
std::optional<double> parseQuantity(const QString& text);

// The same reading kept as digits, for writers that must round on the
// decimal digits themselves rather than through a binary number:
// "1 234,5" -> {"1234", "5"}, "12" -> {"12", ""}, ",5" -> {"0", "5"}. No value where
// parseQuantity gives none.
struct QuantityDigits {
    QString whole;    // at least one digit
    QString fraction; // the digits after the separator, possibly none
};
std::optional<QuantityDigits> readQuantityDigits(const QString& text);

// The quantity in cents, rounded on the third decimal with halves away from
// zero: digits without leading zeros, at least three of them ("005" for
// 0,05, "100000" for 999,995).
QString roundedCents(const QuantityDigits& digits);

// The quantity text that a quantity field hands on when it is left: its
// formatted text without the first character when the typed text reads as a
// quantity ("1234,5" -> "1 234,50"), the empty text for an empty field, and
// otherwise (a negative number, letters) the typed text itself (trimmed),
// which the add operation then refuses.
QString quantityTextFromField(const QString& typed);

// The quantity text is one the add operation may store: it reads as a
// quantity and fits in `Rmen`.
bool quantityTextAcceptable(const QString& quantityText);

// What the quantity field shows while it does not have the focus (its format
// "$#,##0.00;($#,##0.00)"): the value after a "$" ("$2,50", "$1 234,50"), a
// negative one in parentheses ("($2,50)"), or the typed text unchanged when
// it is no number. Thousands are grouped with the plain blank that the stored
// quantity text keeps.
QString displayQuantity(const QString& typed);

} // namespace entry
