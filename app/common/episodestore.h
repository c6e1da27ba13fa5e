// Storing, modifying and reading care episodes (`alap`, `műtétek`, the last
// identifier) on the entered-data file, with the converted-record flag of
// `konv` written in the same transaction.
//
// Every write here is all or nothing: the episode row, its surgery rows, the
// new last identifier and the converted record's `Feldolgozva` are committed
// together or not at all. The converted-data file is attached to the
// entered-data connection for the length of a save so that one transaction
// covers both files.
#pragma once

#include "app/common/episoderules.h"
#include "app/common/konvmapping.h"
#include "app/common/programinfo.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <array>
#include <memory>
#include <optional>
#include <stdexcept>

namespace platform::db {
class Database;
class Recordset;
} // namespace platform::db

namespace episode {

// Record sources the episode handlers give their connections; values are
// bound, never pasted into the text.
inline const QString kAllEpisodes = QStringLiteral("select * from alap");
inline const QString kEpisodesOfRegister = QStringLiteral("select * from alap where T_szam= ?");
inline const QString kItemsOfEpisode = QStringLiteral("select * from Ráfkódok where Azonosito= ?");
inline const QString kSurgeriesOfEpisode = QStringLiteral("select * from műtétek where Azonosito= ?");
// Written as an equality so that the engine finds the unprocessed records by
// the index on Feldolgozva instead of reading every converted record.
inline const QString kUnprocessedKonv = QStringLiteral("select * from konv where Feldolgozva = False");
inline const QString kAllKonv = QStringLiteral("select * from konv");
inline const QString kKonvOfRegister = QStringLiteral("select * from konv where Torzsszam= ? and not Feldolgozva");

// One `alap` row as the save writes it.
struct EpisodeRow {
    qint64 azonosito = 0;
    QString intKod;
    QString intTipus;
    QString tSzam;
    QString taj;
    QString fdat;
    QString fido;
    QString tdat;
    QString tido;
    QString okod;
    QString ojele;
    QString tsor;
    bool vjel = false;
    bool manualis = true;
    QString tovsors;
    // Only an episode taken from a converted record carries these.
    bool withImport = false;
    QVariant betegseg;
    QVariant beavatkoz;

    bool operator==(const EpisodeRow&) const = default;
};

// One `műtétek` row: code and duration in stored form ("01:30:00").
struct SurgeryRow {
    QString code;
    QString duration;
    bool operator==(const SurgeryRow&) const = default;
};

// A stored episode as its load put it on screen: the boxes' texts and, for
// every surgery slot, the row (its row id) that the slot was given, 0 for a
// slot that showed no row. A modification writes only what differs from it.
struct LoadedEpisode {
    EpisodeForm form;
    std::array<qint64, kSlotCount> slotRows{};
};

// One slot's write to `műtétek`: its own row edited, or a row added.
struct SurgeryWrite {
    int slot = 0;
    qint64 rowid = 0;   // the slot's own row; 0: a row is added
    QString loadedCode; // the code the slot was loaded with
    QString code;       // the code box's text
    QString duration;   // stored form ("01:30:00")
    // Of an edited row only what the clerk changed is written; a row added,
    // or one that has gone meanwhile, is written whole.
    bool writesCode = true;
    bool writesDuration = true;
    bool operator==(const SurgeryWrite&) const = default;
};

// What a modification writes: the `alap` columns whose boxes the clerk
// changed since the load, with what the boxes give now, and the surgery
// slots the clerk changed.
struct EpisodeChanges {
    qint64 azonosito = 0;
    QList<std::pair<QString, QVariant>> fields; // column and value, in writing order
    QList<SurgeryWrite> surgeries;
    // The row each slot stands for once written: its own row when the slot
    // is as loaded or edits it, none when blanked or still to be added.
    std::array<qint64, kSlotCount> slotRows{};
    bool isEmpty() const { return fields.isEmpty() && surgeries.isEmpty(); }
};

// The row the form describes. In processing mode the care type and ward come
// from the converted record's fields and `konv` gives `Betegseg` and
// `Beavatkoz`; otherwise from the care-type text and the ward combo.
// A blank sequence or outcome becomes "0".
EpisodeRow rowFromForm(const EpisodeForm& form, const KonvRecord* konv = nullptr);

// One surgery row for every slot whose code is not blank, in slot order.
QList<SurgeryRow> surgeriesFromForm(const EpisodeForm& form);

// The current row of a record set over `alap`.
EpisodeRow episodeFromRecord(const platform::db::Recordset& rs);

// What the ten slots show of an episode's surgery rows, read in stored
// order: the first ten codes, and durations from slot 0 up to the first
// empty one. Rows beyond the tenth are not shown.
struct SlotContents {
    std::array<QString, kSlotCount> codes;
    std::array<QString, kSlotCount> durations; // box texts; kEmptyTime where none
    int rowsRead = 0;                          // all rows, the unshown ones included
};
SlotContents slotsFromSurgeries(const QList<SurgeryRow>& rows);
// The rows of a record set over `műtétek`, in its order; their row ids too
// when asked.
QList<SurgeryRow> surgeriesFromRecordset(platform::db::Recordset& rs, QList<qint64>* rowids = nullptr);

// A write the store refuses (an identifier already stored, a converted
// record gone); nothing of it was stored. A failure of the engine comes as
// platform::db::DbError, with nothing stored either.
class SaveError : public std::runtime_error {
public:
    explicit SaveError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// The converted record a processing-mode save marks.
struct KonvMark {
    QVariant rowKey;  // the record's key in `konv` (its row id)
    bool processed;   // the new `Feldolgozva`
};

class EpisodeStore {
public:
    // `entered` is the entered-data file; `converted` the converted-data
    // file, attached to it only while a save marks a converted record.
    // Which fields an episode has is the program's, never guessed from the
    // file: a file that lacks one is refused when the program starts.
    EpisodeStore(std::shared_ptr<platform::db::Database> entered,
                 std::shared_ptr<platform::db::Database> converted = nullptr,
                 const ProgramInfo& program = ProgramInfo::current());

    // The last identifier issued, read as a number; 0 when the row or its
    // value is missing.
    qint64 lastIdentifier() const;
    qint64 nextIdentifier() const { return lastIdentifier() + 1; }

    bool episodeExists(qint64 azonosito) const;

    // A new episode: the `alap` row, the surgery rows, `UTOLSO` set to its
    // identifier and (in processing mode) the converted record's flag, in one
    // transaction. Throws SaveError, with nothing written, when the identifier
    // is already stored or the converted record is gone or already marked
    // processed (so a record is never stored twice), and DbError, with
    // nothing written either, when the engine fails.
    void saveNew(const EpisodeRow& row, const QList<SurgeryRow>& surgeries,
                 const std::optional<KonvMark>& konv = std::nullopt);

    // What the clerk changed on the form since the episode was loaded,
    // compared box by box with what the load put on screen, never with the
    // rows as stored now: another program's changes to the episode stay
    // unless the clerk typed over the same box. A header box counts as
    // changed when the value it would store differs, so a sequence shown
    // blank and then "0", or a time stored as "08:00" and shown so, is no
    // change. Slot by slot:
    //  - a slot as loaded writes nothing;
    //  - a slot whose code was blanked writes nothing, its row stays with
    //    its items (a surgery goes only through its deletion);
    //  - a slot that still shows the code of its own row (letter case
    //    aside) edits that row: the code and the duration as far as they
    //    were changed;
    //  - any other slot with a code (one that showed no row, or whose code
    //    was typed over) adds a row; two slots of one code are two rows.
    // Anything written marks the episode typed in (`Manuális`).
    EpisodeChanges changesSinceLoad(const LoadedEpisode& loaded, const EpisodeForm& now) const;

    // Writes the changes in one transaction and gives the row every slot
    // stands for afterwards: the changes' slot rows with the rows added. A
    // slot's row that another program deleted, or that is no longer this
    // episode's, is added again only because the clerk changed its slot.
    // Throws SaveError when the episode is not stored and DbError when a
    // write fails; nothing is changed then.
    std::array<qint64, kSlotCount> modify(const EpisodeChanges& changes);

    std::optional<EpisodeRow> load(qint64 azonosito) const;
    // The converted record of a key in `konv` as stored now; none when it is
    // gone or no converted-data file is open.
    std::optional<KonvRecord> convertedRecord(const QVariant& rowKey) const;
    QList<SurgeryRow> surgeries(const QString& azonosito) const;

    // Removes the items booked under an identifier that no stored episode
    // carries (an abandoned new episode); returns how many went. Items of a
    // stored episode are never touched.
    int deleteItemsOfUnstoredEpisode(const QString& azonosito);

    // The surgical program keeps `műtétek` and the outcome `tovsors`; the
    // ward program keeps neither, and its episodes are stored without.
    bool keepsSurgeries() const { return m_surgeries; }
    bool keepsOutcome() const { return m_outcome; }

private:
    std::shared_ptr<platform::db::Database> m_db;
    std::shared_ptr<platform::db::Database> m_converted;
    bool m_surgeries = true;
    bool m_outcome = true;
};

} // namespace episode
