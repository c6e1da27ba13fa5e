// What the clerk types into an item tab's quantity box, what the box shows
// once it is left, what it hands on to the add, and what the add then stores,
// the same in both programs.
#pragma once

namespace testsupport {

struct QuantityBoxCase {
    const char* typed;
    const char* shown;
    const char* handedOn; // the quantity text, always whole
    const char* stored;   // nullptr: refused with "Nem jó a mennyiség formátuma!"
    double quantity;      // the number `Érték` is the unit price times, when stored
};

inline constexpr QuantityBoxCase kQuantityBoxCases[] = {
    {"2,5", "$2,50", "2,50", "2,50", 2.5},
    // Digits on one side of the comma only, as the display format reads them.
    {",5", "$0,50", "0,50", "0,50", 0.5},
    {"5,", "$5,00", "5,00", "5,00", 5},
    {"1234,5", "$1 234,50", "1 234,50", "1 234,50", 1234.5},
    // The longest quantity that `Rmen` takes, and the first one past it.
    {"999999,99", "$999 999,99", "999 999,99", "999 999,99", 999999.99},
    {"1000000", "$1 000 000,00", "1 000 000,00", nullptr, 0},
    // Ten digits fill the drug box; their first ten characters alone
    // ("5 000 000 ") would read as a quantity that fits.
    {"5000000000", "$5 000 000 000,00", "5 000 000 000,00", nullptr, 0},
    {"9999999999", "$9 999 999 999,00", "9 999 999 999,00", nullptr, 0},
    {"-2", "($2,00)", "-2", nullptr, 0},
};

} // namespace testsupport
