// The certificate of one stored episode, written straight on the current
// printer: a framed header with the institution, the ward and the episode,
// the episode's items (in the surgical program grouped by surgery), and a
// closing block with the declarations and the lines for signature and
// stamp. Frames are drawn in twips with rounded corners, text is placed by
// character cell (120 twips by 240).
//
// The layout is a plain function of plain data, tested on the recording
// printer; tanusitvanynyom() gathers the data from the main window.
#pragma once

#include <QString>

#include <cstdint>
#include <map>
#include <vector>

class kezdo;

namespace platform {
class DrawTarget;
class Printer;
}

namespace certificate {

// The frames' colour: the system's button-text colour.
inline constexpr std::uint32_t kFrameColour = 0x80000012;
inline constexpr double kCornerRadius = 80;

// The colour a number stands for on paper: an RGB number as it is; a system
// colour (top bit set) prints black, as the system's text colours do.
std::uint32_t printedColour(std::uint32_t colour);

// One frame with rounded corners (radius 80 units) in the target's current
// scale unit: four edges, then the four corner arcs, in `colour` with a pen
// of `lineWidth` dots. The pen width stays set afterwards.
void keretnyom(platform::DrawTarget& target, double left, double top, double width, double height,
               std::uint32_t colour, int lineWidth);

struct Item {
    QString rkod;
    QString name;
    QString me;
    QString rmen;
    QString tipus;
    QString mkod; // trimmed; empty in the ward program
};

struct Data {
    QString institutionCode; // printed as the episode shows it
    QString institutionName;
    QString wardCode;
    QString wardName;
    QString careType; // "1 = aktív fekvőbeteg ellátás"
    QString wardSign; // "0 - Saját osztály"
    QString registerNumber;
    QString taj;
    QString admissionDate, admissionTime;
    QString dischargeDate, dischargeTime;
    QString sequence;
    bool examination = false;
    std::vector<Item> items;                  // in print order
    std::map<QString, QString> surgeryNames;  // surgery code -> name, for the group headings
    QString today;
};

// What the two programs print differently.
struct Variant {
    QString title;
    QString tajLabel;
    bool surgeryGroups; // a heading before each new surgery code
    int unitWidth;      // characters of the unit printed; 0: all
    int quantityWidth;  // characters of the quantity printed; 0: all
    double typeColumn;
    QString itemOrder;  // the item query's order clause

    static const Variant& surgical();
    static const Variant& ward();
};

// Page layout values.
inline constexpr int kColumns = 88;
inline constexpr int kFirstItemRow = 19;
inline constexpr int kContinuationFirstRow = 6;
inline constexpr int kFooterRow = 66;

// Column at which a text of `length` characters is centred on the page,
// never left of the first column.
double centredColumn(int length);

// The row limit of page 1 and what later pages need: the page estimate
// (item count / 59, rounded) and its remainder.
struct PagePlan {
    int estimate = 0;
    int remainder = 0;
    int firstLimit = 64;
};
PagePlan planPages(int itemCount);

// Prints the whole certificate as one document in portrait, whatever
// orientation an earlier printout left set.
void printCertificate(platform::Printer& printer, const Data& data, const Variant& variant);

} // namespace certificate

// The certificate button's printout for the episode the main window shows.
// Refuses with "Intézetnév hiba!" or "Osztálynév hiba!" when the institution
// or the ward is not found, printing nothing and leaving the item list on
// the shown episode's items.
void tanusitvanynyom(kezdo& w);
