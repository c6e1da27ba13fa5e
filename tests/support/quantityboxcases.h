// What the clerk types into an item tab's quantity box, what the box shows
// once it is left, and what the add then stores, the same in both programs.
#pragma once

namespace testsupport {

struct QuantityBoxCase {
    const char* typed;
    const char* shown;
    const char* stored; // nullptr: refused with "Nem jó a mennyiség formátuma!"
};

inline constexpr QuantityBoxCase kQuantityBoxCases[] = {
    {"2,5", "$2,50", "2,50"},
    {"1234,5", "$1 234,50", "1 234,50"},
    {"999999,99", "$999 999,99", "999 999,99"}, // the longest the stored column takes
    {"-2", "($2,00)", nullptr},
};

} // namespace testsupport
