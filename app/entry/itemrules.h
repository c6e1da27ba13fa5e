// The item tabs of both main windows and the rules of an item: which
// controls and code table each tab has, the query texts that narrow, look up
// and search a code table (values always bound, never pasted into the text),
// and the `Ráfkódok` row an add stores.
//
// Everything here is plain data and pure functions; the window's handlers
// (kezdo_items.cpp) and the store (itemstore.h) call them.
#pragma once

#include "platform/ui/msgbox.h"

#include <QDate>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <array>
#include <optional>

namespace entry {

enum class ItemTab { Drug, Material, Diagnostics, Food, OtherServices };
inline constexpr int kItemTabCount = 3;

// One tab: its controls, its code table and how its handlers differ.
struct ItemTabInfo {
    ItemTab tab;
    int tabIndex;          // page of SSTab1
    QString caption;       // "Gyógyszer", ...
    QString table;         // code table as the queries spell it
    QString codeColumn;    // SKOD / KOD
    QString nameColumn;    // gives Rmegnevezés
    QString unitColumn;    // gives Me
    QString priceColumn;   // gives Egységár
    int unitMaxLength;     // Me is cut to this many characters; 0: stored whole
    QString typeLetter;    // Tipus
    QString searchKind;    // Label18 of the tab's search: "G", "M", "D"

    // Controls, by name.
    QString connection;    // Data7 / Data5 / Data11
    QString codeBox;       // Text1 / Text5 / Text31
    QString combo;         // DBCombo2 / DBCombo3 / DBCombo4
    QString grid;          // DBGrid3 / DBGrid2 / DBGrid7
    QString quantityBox;   // MaskEdBox17 / 18 / 19
    QString quantityText;  // Text2 / Text7 / Text32
    QString addButton;     // SSCommand3 / 4 / 31
    QString searchButton;  // SSCommand19 / 5 / 32

    // Differences between the tabs' handlers.
    bool checksSlotDurations;   // the add refuses slots with a code and no duration
    bool codeBoxLookUp;         // leaving the code box looks the code up
    bool comboClickTakesRow;    // a chosen combo entry becomes the current row
    bool comboClickCopiesText;  // ... and its text goes into the code box
    bool comboEnterClicks;      // Enter in the combo acts as a click
    bool gridEnterTakesCode;    // Enter in the grid takes the code, focus to the quantity
    bool quantityFollowsTyping; // the quantity text follows every change of the field

    // How the tabs of the two programs store their items.
    bool bookedToSurgery = true;   // the item carries the current slot (AzonB, Mkod, Mido)
    bool pricedInPoints = false;   // Pont = price column, Egységár = Pont x kPointValue
    bool writesEntryFlags = true;  // Manuális and Fdat are written; otherwise the table's defaults
    QString blankUnit;             // unit stored for a blank (not missing) one; empty: kept as is
    QString duplicateQuestion = QStringLiteral("Ebből a kódból már lett felvive!Akarja újra felvinni?");
    // The duplicate question is asked once for every stored item of the
    // episode with the same code, whatever its type or slot; otherwise once
    // when the code is booked to the same slot.
    bool duplicateForEveryItem = false;
    QString hintColumn;            // shown beside the code while exactly one code matches
    bool searchDisablesEntry = true; // the entry frame is unusable while the search is open
};

// Value of one point in the ward program's prices.
inline constexpr double kPointValue = 0.816;

const std::array<ItemTabInfo, kItemTabCount>& itemTabs();
const ItemTabInfo& itemTab(ItemTab tab);
// The ward program's three item tabs (drugs, food, other services), in page
// order; its fourth page, diagnostics, takes no items.
const std::array<ItemTabInfo, kItemTabCount>& wardItemTabs();
// The tab whose search kind ("G", "M", "D") this is; nullptr otherwise.
const ItemTabInfo* itemTabOfKind(const QString& kind);

// A query text with the values it binds.
struct BoundQuery {
    QString sql;
    QVariantList params;
    bool operator==(const BoundQuery& o) const { return sql == o.sql && params == o.params; }
};

// The tab's record source while its code box holds `typed`: the codes that
// begin with the text (the engine's like: "*" is its wildcard, "%" and "_"
// are plain), or the whole table in code order when the box is blank.
BoundQuery narrowingQuery(const ItemTabInfo& tab, const QString& typed);
// The whole table in code order (what manual entry starts with).
BoundQuery wholeTableQuery(const ItemTabInfo& tab);
// Criterion of the exact look-up of a code, as the engine compares text.
BoundQuery codeCriterion(const ItemTabInfo& tab, const QString& code);
// The one code-table row of exactly this code (for the add).
BoundQuery exactCodeQuery(const ItemTabInfo& tab, const QString& code);

// ---- items of an episode -------------------------------------------------

// The items of one episode, or of one surgery of it.
BoundQuery episodeItemsQuery(const QString& azonosito);
BoundQuery surgeryItemsQuery(const QString& azonosito, const QString& mkod);
// Items of the same code booked to the same slot of the episode.
BoundQuery duplicateItemsQuery(const QString& rkod, const QString& azonB, const QString& azonosito);

// The code-table row an item is made from.
struct CodeRow {
    QString code;
    QString name;
    QVariant unit;  // Null stays Null
    QVariant price; // Null gives a Null value
};

// What the form says about the item besides its code row.
struct ItemContext {
    QString azonosito;        // Label1
    QString quantityText;     // Text2 / Text7 / Text32, already accepted
    bool processingConverted; // entry frame captioned "Adatleválogatás a TALVIRON floppyról"
    QString admissionDate;    // MaskEdBox1 text
    QDate today;
    QString aktmutet;         // current slot digit, may be empty
    QString slotCode;         // code box of that slot
    QString slotDuration;     // duration box of that slot
};

// The fields of the new `Ráfkódok` row, in the order they are written.
struct ItemRow {
    QString azonosito;
    QString rkod;
    QString rmen;
    QString rmegnevezes;
    QVariant pont = 0.0;
    QVariant egysegar;
    QVariant ertek;
    QString tipus;
    QVariant me;
    // Written only by tabs that write the entry flags.
    std::optional<bool> manualis;
    std::optional<QString> fdat;
    std::optional<QString> azonB; // written only by tabs booked to a surgery
    std::optional<QString> mkod; // written only when aktmutet names a slot
    std::optional<QString> mido;
};

// Caption of the entry frame while a converted record is being processed.
inline const QString kProcessingCaption = QStringLiteral("Adatleválogatás a TALVIRON floppyról");
// Text of an empty date box.
inline const QString kEmptyDate = QStringLiteral("    .  .  .");

// Today in the date form the program requires: "2005.08.24.".
QString dateText(const QDate& day);

ItemRow makeItemRow(const ItemTabInfo& tab, const CodeRow& code, const ItemContext& ctx);

// ---- what the add refuses, in the order it tests ----------------------------

struct Refusal {
    QString text;
    QString title;
    int style; // platform::MsgStyle bits
};

// Quantity and code of the form, tested after the duplicate question.
std::optional<Refusal> quantityAndCodeRefusal(const QString& codeText, const QString& quantityText);
// The typed code is not in the tab's code table.
Refusal unknownCodeRefusal();

// ---- code search --------------------------------------------------------

// One kind of the shared search frame: "G", "M", "D" or "MAP".
struct SearchKind {
    QString kind;
    QString connection;   // Data7, Data5, Data11, Data12
    QString table;        // as the queries spell it
    QString codeColumn;
    QString nameColumn;
    QString codeBoxToEmpty; // Text1 / Text31 for "G" / "D" when nothing is found
    QString notFoundByCode;
    QString notFoundByName;
    int notFoundStyle = platform::Critical; // style bits of the not-found box
    QString notFoundTitle = QStringLiteral("Figyelmeztetés!");
};

// The kind of this Label18 text; nullptr for any other text.
const SearchKind* searchKind(const QString& label18);
// The same for the ward program's search frame ("G", "L", "E").
const SearchKind* wardSearchKind(const QString& label18);
BoundQuery searchQuery(const SearchKind& kind, bool byCode, const QString& text);
BoundQuery restoreQuery(const SearchKind& kind);

} // namespace entry
