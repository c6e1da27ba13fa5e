// The printed item list of the overview: the episodes the overview shows,
// each with its surgeries, its items and their totals, laid out as a
// document of the print library (A4 portrait) and shown in its preview.
//
// The layout is a plain function over plain rows, so it is tested on the
// recording printer without a window; the rows are read from the
// entered-data file in one ordered pass, one episode at a time, so a year's
// list holds no more than one episode's rows besides the document itself.
#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

#include <functional>
#include <memory>
#include <vector>

namespace platform::db {
class Database;
}
namespace printlib {
class clsPrint;
}

namespace overview {

struct ListedSurgery {
    QString mkod;
    QString mido;
};

struct ListedItem {
    QString rkod;
    QString name;
    QString rmen;
    QVariant me;        // Null or empty: no unit printed
    QVariant unitPrice; // Egységár; Null prints nothing and counts as 0
    QVariant value;     // Érték; likewise
};

struct ListedEpisode {
    QString tSzam, taj, fdat, fido, tdat, tido, okod;
    std::vector<ListedSurgery> surgeries;
    std::vector<ListedItem> items;
    QString identifier; // Azonosito as its surgeries and items carry it
};

// The episodes the overview shows: a condition and an order over `alap`
// in the episode table's own column names, values bound. Its record source
// is what the overview's episode list runs; the printed list reads the same
// rows in the same order (ties in stored order).
struct EpisodeSelection {
    QString where;       // without the word "where"; empty: every episode
    QString order;       // without "order by"; empty: stored order
    QVariantList params; // bound to the "?" of `where`

    QString recordSource() const;
};

// Reads the selected episodes with their surgeries (when `withSurgeries`)
// and items, each in stored order, and hands them over one at a time in the
// selection's order: one query for each table, walked side by side, so the
// cost grows with the rows and not with reopened record sets.
void forEachListedEpisode(platform::db::Database& db, const EpisodeSelection& selection, bool withSurgeries,
                          const std::function<void(const ListedEpisode&)>& take);

// Where the episode columns stand, in millimetres from the left margin. The
// ward program has no surgeries and sets its date and ward columns further
// left. The item row is the same in both programs (see the item columns in
// itemlist.cpp).
struct ItemListColumns {
    float admissionLeft, admissionRight;
    float dischargeLeft, dischargeRight;
    float wardLeft, wardRight;

    static const ItemListColumns& surgical();
    static const ItemListColumns& ward();
};

// Body rows start this far below the top margin on every page.
inline constexpr float kFirstRowY = 15;
// A page is full once the next row would start below this.
inline constexpr float kLastRowY = 220;
// The body font size; a cell that must not be cut is printed smaller when
// its text does not fit at this size.
inline constexpr float kBodyFontSize = 8;

// The column headings and the rule under them, at the top of the page the
// document currently stands on.
void raford_fej(printlib::clsPrint& job, const ItemListColumns& columns);

// Sets up the page, adds the repeated header and footer (institution line,
// title box, date, footer rule, page number) and the body rows of every
// episode. `institution` is the header line ("1234, Kórház"), `today` the
// date as the system writes it.
//
// A page is changed whenever a row of any kind left the next row's place
// past the threshold, and only when another row follows, so no page ends
// below the footer and none holds headings alone. No heading row is the
// last row of a page: an episode row keeps its "Műtét:" rows and its first
// item with it (a "Műtét:" row keeps the rows after it up to that item), and
// the page changes before the episode row when they would not all fit; an
// episode that could not fit on a page of its own runs on as far as it must.
// Likewise the "Összesen" row keeps the row before it (the episode's last
// item) on its page.
//
// On an item row nothing overlaps: the name is cut by whole characters at
// its column's end, the unit before the first figure of the amounts that
// follow it, and the quantity is printed whole, right-aligned before the
// unit column, in a smaller size when it does not fit; the amounts likewise.
void buildItemList(printlib::clsPrint& job, const QString& institution, const QString& today,
                   const std::vector<ListedEpisode>& episodes, const ItemListColumns& columns);

// The same document built one episode at a time: the set-up and the page
// furniture when made, then the rows of each episode added.
class ItemListLayout {
public:
    ItemListLayout(printlib::clsPrint& job, const QString& institution, const QString& today,
                   const ItemListColumns& columns);
    ~ItemListLayout();
    ItemListLayout(const ItemListLayout&) = delete;
    ItemListLayout& operator=(const ItemListLayout&) = delete;

    void add(const ListedEpisode& episode);

private:
    class Body;
    printlib::clsPrint& m_job;
    const ItemListColumns& m_columns;
    std::unique_ptr<Body> m_body;
};

// "##,##0.00" in the system's separators.
QString moneyText(double value);

} // namespace overview
