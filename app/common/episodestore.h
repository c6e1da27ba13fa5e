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

// One stored `műtétek` row as a modification finds and writes it.
struct StoredSurgery {
    qint64 rowid = 0; // 0: a row still to be added
    QString azonosito;
    QString code;
    QString duration;
    QString azonB;
    bool operator==(const StoredSurgery&) const = default;
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
QList<SurgeryRow> surgeriesFromRecordset(platform::db::Recordset& rs);

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

    // Rewrites the stored episode whose `Azonosito` is the row's: its header
    // fields and the surgery rows that surgeryChanges() gives for the slots.
    // `Betegseg` and `Beavatkoz` stay as stored, and so does every surgery
    // row whose code is in no slot, with its items. Throws SaveError when no
    // such episode is stored and DbError when a write fails; nothing is
    // changed then.
    void modify(const EpisodeRow& row, const QList<SurgeryRow>& slotRows);

    // What a modification writes of the episode's surgeries, one row each,
    // in the order of writing: slot by slot, the episode's first row (in
    // stored order) whose code equals the slot's, compared as the files
    // compare text, takes the slot's code and duration, or a row is added
    // when there is none; a later slot with the same code finds that row
    // again. Only rows that end up differing from what is stored are given,
    // so an empty list means the slots change nothing. Rows whose code is in
    // no slot are never given: a surgery goes only with its items, through
    // the deletion of a surgery.
    QList<StoredSurgery> surgeryChanges(qint64 azonosito, const QList<SurgeryRow>& slotRows) const;

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
