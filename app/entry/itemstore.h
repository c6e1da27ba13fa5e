// Expenditure items and surgeries in the database, through the main window's
// data connections: narrowing and looking up codes, adding an item with its
// checks and questions, deleting an item, deleting a surgery with its items.
//
// The functions take the connections and plain form values, so they are
// tested over a data folder without a window; the window's handlers
// (kezdo_items.cpp) pass their own connections and controls' texts.
#pragma once

#include "app/entry/itemrules.h"

#include <QDate>
#include <QString>

#include <memory>

namespace platform::db {
class DataConnection;
class Database;
class Recordset;
}

namespace entry {

class SlotView;

// Gives the tab's connection the record source for the code box's text and
// refreshes it.
void narrowCodes(platform::db::DataConnection& codes, const ItemTabInfo& tab, const QString& typed);
void setQuery(platform::db::DataConnection& connection, const BoundQuery& query);

// Finds the code in the connection's current record set, as the engine
// compares text; when found its row becomes the current row.
bool lookUpCode(platform::db::DataConnection& codes, const ItemTabInfo& tab, const QString& code);
// The same for a surgery code among the rows Data12 holds.
bool lookUpSurgeryCode(platform::db::DataConnection& surgeryCodes, const QString& code);

// The code-table row of exactly this code, wherever the tab's connection stands.
std::optional<CodeRow> findCodeRow(const std::shared_ptr<platform::db::Database>& codeTables, const ItemTabInfo& tab,
                                   const QString& code);
// The code of the current row of a record set in the given column; empty
// when there is no current row.
QString currentText(platform::db::Recordset& recordset, const QString& column);

// Points the items connection at the items of an episode, or of one surgery.
void showEpisodeItems(platform::db::DataConnection& items, const QString& azonosito);
void showSurgeryItems(platform::db::DataConnection& items, const QString& azonosito, const QString& mkod);

// What the form holds for an add, besides the slots.
struct AddForm {
    QString azonosito;    // Label1
    QString codeText;     // the tab's code box
    QString quantityText; // the tab's quantity text
    QString entryCaption; // caption of SSFrame1
    QString admissionDate; // MaskEdBox1
    QDate today;
    // The form holds a new episode being entered, not a stored one: its
    // items go under an identifier that no stored episode has yet.
    bool newEpisode = true;
};

enum class AddOutcome {
    Stored,            // a row was written
    SlotRefused,       // a slot has a code and no duration (drug tab)
    DuplicateDeclined, // No to the duplicate question
    Refused,           // quantity, code or unknown code refused
};

// The add of one tab, in the order the clerk sees its checks: whether the
// identifier on show may take items at all (a stored episode, or a new one
// whose identifier no stored episode has taken), the current
// slot from the highlight (aktell), the drug tab's duration check of all ten
// slots, the duplicate question, then quantity and code. `hibajel` receives
// the result of the duration check. On Stored the items connection shows
// the episode's items with the new row as its last.
AddOutcome addItem(const ItemTabInfo& tab, const SlotView& slotView, QString& aktmutet, bool& hibajel,
                   platform::db::DataConnection& items,
                   const std::shared_ptr<platform::db::Database>& codeTables,
                   const AddForm& form);

enum class ItemDeletion { NoItems, NoneSelected, Declined, Deleted };

// Deletes the selected item of the items connection after asking; the
// selection then stands on the row that followed it, or on the new last row.
// An item no longer stored as one of the connection's rows (another program
// deleted it, or its key now names another episode's item) is a DbError
// (isRowGone): nothing is deleted and the connection shows what it showed.
ItemDeletion deleteSelectedItem(platform::db::DataConnection& items);

// Deletes the selected surgery of the surgeries connection together with
// every item of the episode booked under its code (whatever the slot), after
// asking. Surgery and items go in one transaction. False when there is no
// selected surgery, the selected one is not of the episode `azonosito`, or
// the clerk said No. A selected row that is no longer stored as a surgery
// of the set is a DbError (isRowGone), as is any failure; then nothing
// was deleted and the connection shows what it showed.
bool deleteSelectedSurgery(platform::db::DataConnection& surgeries, platform::db::DataConnection& items,
                           const QString& azonosito);

// Runs a code search on the kind's connection: true when it found rows (the
// connection then holds them); otherwise the connection is left on the empty
// result for the caller to restore.
bool runSearch(platform::db::DataConnection& connection, const SearchKind& kind, bool byCode,
               const QString& text);

} // namespace entry
