// The month's printed control lists, written straight on the current printer
// (platform::printer()) in character cells, one cell 120 twips wide and 240
// high, "Arial" in landscape:
//
//   rafordhibanyom  the expenditure error list "RÁFORDÍTÁSI HIBALISTA"
//   hibalistnyom    the one-page error-count summary
//   magasatnyom     the high-cost item sheets, one sheet per episode
//
// Each list is a query of its rows (values bound) and a layout that draws
// those rows; the entry points join the two. An entry point returns the
// message the caller shows (platform::msgBox), or none when the list went to
// the printer. Every entry point refuses without institution data before
// anything is printed, and runs its queries before it draws, so a database
// error leaves no half-printed document behind. The lists never touch the
// main window's data connections.
#pragma once

#include "app/common/episoderules.h"
#include "app/common/programinfo.h"
#include "app/exchange/institution.h"
#include "app/exchange/lists_cells.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <optional>
#include <vector>

namespace platform::db {
class Database;
}

namespace exchange {

// ---- entry points (the period dialog's run button calls these) -------------
// `datum` is the month as the dialog forms it: start year, a point, start
// month ("2005.03"), taken as it stands.

// The expenditure error list: the month's hand-entered episodes.
std::optional<episode::Message> rafordhibanyom(platform::db::Database& entered, const QString& datum);
// The error-count summary; the ward program prints counts of empty
// selections as nothing (see ErrorCountStyle).
std::optional<episode::Message> hibalistnyom(platform::db::Database& entered, const QString& datum,
                                             const ProgramInfo& program = ProgramInfo::current());
// The high-cost item sheets. A month without any episode gives
// "Nincs a feltételeknek megfelelő adat!" and prints nothing.
std::optional<episode::Message> magasatnyom(platform::db::Database& entered, const QString& datum);

// ---- expenditure error list --------------------------------------------------

struct ErrorListRow {
    QString registerNumber; // T_szam
    QString sequence;       // Tsor
    QString admissionDate;  // Fdat
    QString wardCode;       // Okod
    QString wardSign;       // Ojele
    QVariant examination;   // Vjel: true, false or Null
};

// Hand-entered episodes admitted in the month, of every institution code, in
// register-number order.
std::vector<ErrorListRow> errorListRows(platform::db::Database& entered, const QString& month);
// Rows a page holds: printer rows 10 to 49.
inline constexpr int kErrorListRowsPerPage = 40;
void printErrorList(platform::Printer& printer, const Institution& institution, const QString& month,
                    const std::vector<ErrorListRow>& rows);

// ---- error-count summary -------------------------------------------------------

// A count of a selection; none when the selection has no row.
using Count = std::optional<long long>;

struct ErrorCounts {
    Count allEpisodes;   // every episode in the file
    Count allItems;      // every item in the file
    Count monthEpisodes; // hand-entered episodes admitted in the month
    Count monthItems;    // hand-entered items of the month (by the item's own Fdat)
};

ErrorCounts errorCounts(platform::db::Database& entered, const QString& month);

// How the summary writes a count of an empty selection: the surgical program
// prints 0 everywhere; the ward program prints nothing for the episode counts
// (the item counts still read 0).
struct ErrorCountStyle {
    bool blankEmptyEpisodeCounts = false;
    static ErrorCountStyle of(const ProgramInfo& program);
};

void printErrorCounts(platform::Printer& printer, const Institution& institution, const QString& month,
                      const ErrorCounts& counts, ErrorCountStyle style = {});

// ---- high-cost item sheets ------------------------------------------------------

// Episodes whose items come to less than this much value a day get a sheet.
inline constexpr double kHighCostDailyLimit = 5000;
// The last printer row of an item block before it goes on on a new page.
inline constexpr int kHighCostLastRow = 50;

struct HighCostEpisode {
    QString identifier;    // Azonosito, as the items carry it
    QString wardCode;      // Okod
    QString registerNumber; // T_szam
    QString admissionDate; // Fdat
    QString dischargeDate; // Tdat
    bool manual = false;   // Manuális
    QString diagnoses;     // Betegseg
    QString interventions; // Beavatkoz
    int itemCount = 0;
    double itemTotal = 0;  // sum of Érték
};

struct HighCostItem {
    QString code;     // Rkod
    QString name;     // Rmegnevezés
    QString unit;     // Me
    QVariant points;  // Pont
    QString quantity; // Rmen
    QVariant price;   // Egységár
    QVariant value;   // Érték
};

// Every episode admitted in the month, hand-entered or not, of every
// institution code, in register-number order, with the count and total of
// its items; one at a time, so a month of any size costs the memory of one.
void forEachHighCostEpisode(platform::db::Database& entered, const QString& month,
                            const std::function<void(const HighCostEpisode&)>& take);
std::vector<HighCostEpisode> highCostEpisodes(platform::db::Database& entered, const QString& month);
// The items of one episode in stored order.
std::vector<HighCostItem> highCostItems(platform::db::Database& entered, const QString& identifier);

// Whole days from admission to discharge; none when a date does not read.
std::optional<int> lengthOfStay(const HighCostEpisode& episode);
// The value a day that decides the sheet. A stay of 0 days (or one whose
// dates do not read) counts as one day.
double valuePerDay(const HighCostEpisode& episode);
// An episode with items whose value a day stays below the limit.
bool getsHighCostSheet(const HighCostEpisode& episode);
// The 5-character diagnosis codes (up to 16) and intervention codes (up to
// 10) printed on a converted episode's sheet: each list up to its first blank
// code.
QStringList diagnosisCodes(const QString& betegseg);
QStringList interventionCodes(const QString& beavatkoz);

// Draws the sheets; `items` gives the items of an episode when its sheet is
// drawn. Begins no document when `episodes` holds no sheet.
class HighCostSheets {
public:
    HighCostSheets(platform::Printer& printer, const Institution& institution, const QString& month);
    // One more sheet; the first one starts the document.
    void sheet(const HighCostEpisode& episode, const std::vector<HighCostItem>& items);
    // Ends the document when a sheet was drawn.
    void finish();
    int sheetCount() const { return m_sheets; }

private:
    void header(const HighCostEpisode& episode);
    CellPrinter m_out;
    Institution m_institution;
    QString m_month;
    int m_sheets = 0;
};

// ---- shared by the layouts --------------------------------------------------------

// A number as the lists print it: the general number form (up to 15
// significant digits, no trailing zeros, the regional decimal separator)
// after one blank, or after the minus sign; nothing for Null. A text that
// reads as no number is printed as it stands.
QString printedNumber(const QVariant& value);

} // namespace exchange
