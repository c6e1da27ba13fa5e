#include "app/common/episodestore.h"

#include "app/common/programinfo.h"
#include "platform/db/dataconnection.h"
#include "platform/db/dialect.h"

#include <QStringList>

#include <algorithm>

#include <sqlite3.h>

namespace episode {

using platform::db::Database;
using platform::db::DbError;
using platform::db::Recordset;
namespace dialect = platform::db::dialect;

EpisodeRow rowFromForm(const EpisodeForm& form, const KonvRecord* konv)
{
    const bool processing = form.mode == Mode::Processing;
    EpisodeRow r;
    r.azonosito = form.identifier.trimmed().toLongLong();
    r.intKod = form.institutionCode;
    r.intTipus = processing ? form.konvCareType : firstChar(form.careTypeCaption);
    r.tSzam = form.registerNumber;
    r.taj = form.taj;
    r.fdat = form.admissionDate;
    r.fido = storedTime(form.admissionTime);
    r.tdat = form.dischargeDate;
    r.tido = storedTime(form.dischargeTime);
    r.okod = processing ? form.wardBox : form.wardCombo;
    r.ojele = firstChar(form.wardSign);
    r.tsor = isBlank(form.sequence) ? QStringLiteral("0") : form.sequence;
    r.vjel = form.examination;
    r.manualis = !processing;
    r.tovsors = isBlank(form.outcome) ? QStringLiteral("0") : form.outcome;
    if (processing && konv) {
        r.withImport = true;
        r.betegseg = konv->betegseg;
        r.beavatkoz = konv->beavatkoz;
    }
    return r;
}

QList<SurgeryRow> surgeriesFromForm(const EpisodeForm& form)
{
    QList<SurgeryRow> rows;
    for (int slot = 0; slot < kSlotCount; ++slot)
        if (!isBlank(form.codes[slot]))
            rows.append({form.codes[slot], storedTime(form.durations[slot])});
    return rows;
}

EpisodeRow episodeFromRecord(const Recordset& rs)
{
    EpisodeRow r;
    r.azonosito = rs.value(QStringLiteral("Azonosito")).toLongLong();
    r.intKod = rs.text(QStringLiteral("Int_kod"));
    r.intTipus = rs.text(QStringLiteral("Int_tipus"));
    r.tSzam = rs.text(QStringLiteral("T_szam"));
    r.taj = rs.text(QStringLiteral("Taj"));
    r.fdat = rs.text(QStringLiteral("Fdat"));
    r.fido = rs.text(QStringLiteral("Fido"));
    r.tdat = rs.text(QStringLiteral("Tdat"));
    r.tido = rs.text(QStringLiteral("Tido"));
    r.okod = rs.text(QStringLiteral("Okod"));
    r.ojele = rs.text(QStringLiteral("Ojele"));
    r.tsor = rs.text(QStringLiteral("Tsor"));
    r.vjel = rs.value(QStringLiteral("Vjel")).toBool();
    r.manualis = rs.value(QStringLiteral("Manuális")).toBool();
    // The ward program's episodes have no outcome.
    if (rs.fieldIndex(QStringLiteral("tovsors")) >= 0)
        r.tovsors = rs.text(QStringLiteral("tovsors"));
    r.betegseg = rs.value(QStringLiteral("Betegseg"));
    r.beavatkoz = rs.value(QStringLiteral("Beavatkoz"));
    r.withImport = !r.manualis;
    return r;
}

SlotContents slotsFromSurgeries(const QList<SurgeryRow>& rows)
{
    SlotContents s;
    s.durations.fill(kEmptyTime);
    s.rowsRead = int(rows.size());
    const int shown = std::min<int>(int(rows.size()), kSlotCount);
    for (int n = 0; n < shown; ++n)
        s.codes[n] = rows[n].code;
    // Durations fill the slots from the first one up to the first surgery
    // without a duration; that slot and the later ones keep the empty box.
    for (int n = 0; n < shown; ++n) {
        const QString d = shownTime(rows[n].duration);
        if (d.trimmed().isEmpty())
            break;
        s.durations[n] = d;
    }
    return s;
}

QList<SurgeryRow> surgeriesFromRecordset(Recordset& rs, QList<qint64>* rowids)
{
    QList<SurgeryRow> rows;
    if (rs.recordCount() == 0)
        return rows;
    rs.moveFirst();
    while (!rs.eof()) {
        rows.append({rs.text(QStringLiteral("Mkod")), rs.text(QStringLiteral("Mido"))});
        if (rowids)
            rowids->append(rs.bookmark().toLongLong());
        rs.moveNext();
    }
    rs.moveFirst();
    return rows;
}

namespace {

// Attaches the converted-data file to the entered-data connection for the
// length of one save; SQLite refuses ATTACH inside a transaction, so it
// brackets the transaction from outside.
class Attachment {
public:
    Attachment(sqlite3* db, const QString& path) : m_db(db)
    {
        sqlite3_stmt* st = nullptr;
        // A detach that could not finish last time leaves the file attached;
        // it is the same file, so it serves again.
        if (sqlite3_prepare_v2(m_db, "select 1 from pragma_database_list where name = 'konvdb'", -1, &st,
                               nullptr) == SQLITE_OK) {
            const bool already = sqlite3_step(st) == SQLITE_ROW;
            sqlite3_finalize(st);
            st = nullptr;
            if (already)
                return;
        }
        if (sqlite3_prepare_v2(m_db, "ATTACH DATABASE ?1 AS konvdb", -1, &st, nullptr) != SQLITE_OK)
            fail(path);
        const QByteArray file = path.toUtf8();
        sqlite3_bind_text(st, 1, file.constData(), int(file.size()), SQLITE_TRANSIENT);
        const int rc = sqlite3_step(st);
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE)
            fail(path);
        // The attached file keeps a rollback journal too: only then does the
        // commit take both files or neither.
        sqlite3_exec(m_db, "PRAGMA konvdb.journal_mode=DELETE", nullptr, nullptr, nullptr);
        sqlite3_exec(m_db, "PRAGMA konvdb.synchronous=FULL", nullptr, nullptr, nullptr);
    }
    ~Attachment() { sqlite3_exec(m_db, "DETACH DATABASE konvdb", nullptr, nullptr, nullptr); }
    Attachment(const Attachment&) = delete;
    Attachment& operator=(const Attachment&) = delete;

private:
    [[noreturn]] void fail(const QString& path)
    {
        throw DbError(QStringLiteral("%1: %2").arg(path, QString::fromUtf8(sqlite3_errmsg(m_db))), path,
                      sqlite3_extended_errcode(m_db));
    }
    sqlite3* m_db;
};

QVariant nullable(const QVariant& v)
{
    return v.isValid() ? v : QVariant();
}

void insertSurgery(Database& db, const QString& azonosito, const QString& code, const QString& duration)
{
    db.exec(QStringLiteral("insert into műtétek (Azonosito, Mkod, Mido, AzonB) values (?, ?, ?, ?)"),
            {azonosito, code, duration, QStringLiteral("1")});
}

// The row the statement selects by its key, as `read` makes it of the
// record; nothing when the statement selects none.
template <typename Row>
std::optional<Row> onlyRow(const QString& name, std::shared_ptr<Database> db, const QString& sql,
                           const QVariant& key, Row (*read)(const Recordset&))
{
    platform::db::DataConnection c(name);
    c.setDatabase(std::move(db));
    c.setRecordSource(sql, {key});
    c.refresh();
    if (c.recordset().recordCount() == 0)
        return std::nullopt;
    c.recordset().moveFirst();
    return read(c.recordset());
}

} // namespace

EpisodeStore::EpisodeStore(std::shared_ptr<Database> entered, std::shared_ptr<Database> converted,
                           const ProgramInfo& program)
    : m_db(std::move(entered)), m_converted(std::move(converted)), m_surgeries(!program.isWard()),
      m_outcome(!program.isWard())
{
}

qint64 EpisodeStore::lastIdentifier() const
{
    const QVariant v = m_db->scalar(QStringLiteral("select UTOLSO from \"Utolso azonosito\""));
    return v.isValid() ? v.toString().trimmed().toLongLong() : 0;
}

bool EpisodeStore::episodeExists(qint64 azonosito) const
{
    return m_db->scalar(QStringLiteral("select count(*) from alap where Azonosito = ?"), {azonosito}).toLongLong()
           > 0;
}

void EpisodeStore::saveNew(const EpisodeRow& row, const QList<SurgeryRow>& surgeries,
                           const std::optional<KonvMark>& konv)
{
    const QString id = QString::number(row.azonosito);
    if (konv && !m_converted)
        throw SaveError(QStringLiteral("Nincs megnyitva a konvertált adatok állománya."));
    std::optional<Attachment> attached;
    if (konv) {
        // The mark is written through this file's connection: the converted
        // file's record sets are told first.
        m_converted->aboutToWrite();
        attached.emplace(m_db->handle(), m_converted->path());
    }
    {
        Database::Transaction tx(*m_db);
        if (episodeExists(row.azonosito))
            throw SaveError(QStringLiteral("Ez az azonosító már foglalt: %1").arg(id));

        QStringList columns = {QStringLiteral("Azonosito"), QStringLiteral("Int_kod"), QStringLiteral("Int_tipus")};
        QVariantList values = {row.azonosito, row.intKod, row.intTipus};
        if (row.withImport) {
            columns << QStringLiteral("Betegseg") << QStringLiteral("Beavatkoz");
            values << nullable(row.betegseg) << nullable(row.beavatkoz);
        }
        columns << QStringLiteral("T_szam") << QStringLiteral("Taj") << QStringLiteral("Fdat") << QStringLiteral("Fido")
                << QStringLiteral("Tdat") << QStringLiteral("Tido") << QStringLiteral("Okod") << QStringLiteral("Ojele")
                << QStringLiteral("Tsor") << QStringLiteral("Vjel") << QStringLiteral("Manuális");
        values << row.tSzam << row.taj << row.fdat << row.fido << row.tdat << row.tido << row.okod << row.ojele
               << row.tsor << row.vjel << row.manualis;
        if (m_outcome) {
            columns << QStringLiteral("tovsors");
            values << row.tovsors;
        }
        QStringList marks;
        for (int i = 0; i < columns.size(); ++i)
            marks << QStringLiteral("?");
        m_db->exec(QStringLiteral("insert into alap (%1) values (%2)")
                       .arg(columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
                   values);

        if (m_surgeries)
            for (const SurgeryRow& s : surgeries)
                insertSurgery(*m_db, id, s.code, s.duration);

        // The last identifier is written as the identifier's text, and never
        // moves back: a lower one would hand out stored identifiers again.
        const bool hasRow =
            m_db->scalar(QStringLiteral("select count(*) from \"Utolso azonosito\"")).toLongLong() > 0;
        if (hasRow) {
            if (row.azonosito > lastIdentifier())
                m_db->exec(QStringLiteral("update \"Utolso azonosito\" set UTOLSO = ?"), {id});
        } else
            m_db->exec(QStringLiteral("insert into \"Utolso azonosito\" (UTOLSO) values (?)"), {id});

        if (konv) {
            // Only a record still open is stored: one marked processed
            // meanwhile (here or by another program) is never stored twice.
            m_db->exec(QStringLiteral("update konvdb.konv set Feldolgozva = ? "
                                      "where rowid = ? and not coalesce(Feldolgozva, 0)"),
                       {konv->processed, konv->rowKey});
            if (sqlite3_changes(m_db->handle()) != 1) {
                const bool there = m_db->scalar(QStringLiteral("select count(*) from konvdb.konv where rowid = ?"),
                                                {konv->rowKey})
                                       .toLongLong()
                                   > 0;
                throw SaveError(there ? QStringLiteral("Már feldolgozott rekord!")
                                      : QStringLiteral("A konvertált rekord nem található."));
            }
        }
        tx.commit();
    }
    // The converted file changed behind its own connection's back: record
    // sets over it must read the mark, not what they had cached.
    if (konv)
        m_converted->noteChange();
}

EpisodeChanges EpisodeStore::changesSinceLoad(const LoadedEpisode& loaded, const EpisodeForm& now) const
{
    EpisodeChanges c;
    const EpisodeRow was = rowFromForm(loaded.form);
    const EpisodeRow is = rowFromForm(now);
    c.azonosito = is.azonosito;
    c.slotRows = loaded.slotRows;
    auto field = [&](const char* column, const auto& before, const auto& after) {
        if (before != after)
            c.fields.append({QString::fromUtf8(column), QVariant(after)});
    };
    field("Int_kod", was.intKod, is.intKod);
    field("Int_tipus", was.intTipus, is.intTipus);
    field("T_szam", was.tSzam, is.tSzam);
    field("Taj", was.taj, is.taj);
    field("Fdat", was.fdat, is.fdat);
    field("Fido", was.fido, is.fido);
    field("Tdat", was.tdat, is.tdat);
    field("Tido", was.tido, is.tido);
    field("Okod", was.okod, is.okod);
    field("Ojele", was.ojele, is.ojele);
    field("Tsor", was.tsor, is.tsor);
    field("Vjel", was.vjel, is.vjel);
    if (m_outcome)
        field("tovsors", was.tovsors, is.tovsors);

    if (m_surgeries)
        for (int k = 0; k < kSlotCount; ++k) {
            const QString& code = now.codes[k];
            const bool codeChanged = code != loaded.form.codes[k];
            const bool durationChanged = now.durations[k] != loaded.form.durations[k];
            if (!codeChanged && !durationChanged)
                continue;
            const qint64 own = c.slotRows[k];
            c.slotRows[k] = 0;
            if (isBlank(code))
                continue;
            SurgeryWrite w{k, 0, loaded.form.codes[k], code, storedTime(now.durations[k])};
            if (own != 0 && dialect::compareNoCase(code, loaded.form.codes[k]) == 0) {
                c.slotRows[k] = own;
                w.rowid = own;
                w.writesCode = codeChanged;
                w.writesDuration = durationChanged;
            }
            c.surgeries.append(w);
        }

    // A modified episode counts as typed in, whatever it was taken from.
    if (!c.isEmpty())
        c.fields.append({QStringLiteral("Manuális"), true});
    return c;
}

std::array<qint64, kSlotCount> EpisodeStore::modify(const EpisodeChanges& changes)
{
    std::array<qint64, kSlotCount> rows = changes.slotRows;
    const QString id = QString::number(changes.azonosito);
    Database::Transaction tx(*m_db);
    if (!episodeExists(changes.azonosito))
        throw SaveError(QStringLiteral("Nincs ilyen azonosítójú felvett adat: %1").arg(id));
    if (!changes.fields.isEmpty()) {
        QStringList sets;
        QVariantList values;
        for (const auto& [column, value] : changes.fields) {
            sets << QStringLiteral("\"%1\" = ?").arg(column);
            values << value;
        }
        values << changes.azonosito;
        m_db->exec(QStringLiteral("update alap set %1 where Azonosito = ?").arg(sets.join(QStringLiteral(", "))),
                   values);
    }
    // Rows no slot changed keep their row ids, and every row keeps the
    // columns the slots do not show (`Mmegnevezés`, `AzonB`).
    for (const SurgeryWrite& s : changes.surgeries) {
        if (s.rowid != 0) {
            QStringList sets;
            QVariantList values;
            if (s.writesCode) {
                sets << QStringLiteral("Mkod = ?");
                values << s.code;
            }
            if (s.writesDuration) {
                sets << QStringLiteral("Mido = ?");
                values << s.duration;
            }
            // The slot's row is the one it was loaded from only while it is
            // still this episode's surgery of that code: a row id freed by
            // another program may name another surgery by now.
            values << s.rowid << id << s.loadedCode;
            m_db->exec(QStringLiteral("update műtétek set %1 where rowid = ? and Azonosito = ? and Mkod = ?")
                           .arg(sets.join(QStringLiteral(", "))),
                       values);
            if (sqlite3_changes(m_db->handle()) == 1)
                continue;
        }
        insertSurgery(*m_db, id, s.code, s.duration);
        rows[s.slot] = sqlite3_last_insert_rowid(m_db->handle());
    }
    tx.commit();
    return rows;
}

std::optional<EpisodeRow> EpisodeStore::load(qint64 azonosito) const
{
    return onlyRow(QStringLiteral("episode"), m_db, QStringLiteral("select * from alap where Azonosito = ?"),
                   azonosito, episodeFromRecord);
}

std::optional<KonvRecord> EpisodeStore::convertedRecord(const QVariant& rowKey) const
{
    if (!m_converted || !rowKey.isValid())
        return std::nullopt;
    return onlyRow(QStringLiteral("convertedRecord"), m_converted,
                   QStringLiteral("select * from konv where rowid = ?"), rowKey, konvFromRecord);
}

QList<SurgeryRow> EpisodeStore::surgeries(const QString& azonosito) const
{
    if (!m_surgeries)
        return {};
    platform::db::DataConnection c(QStringLiteral("surgeries"));
    c.setDatabase(m_db);
    c.setRecordSource(kSurgeriesOfEpisode, {azonosito});
    c.refresh();
    return surgeriesFromRecordset(c.recordset());
}

int EpisodeStore::deleteItemsOfUnstoredEpisode(const QString& azonosito)
{
    Database::Transaction tx(*m_db);
    bool ok = false;
    const qint64 id = azonosito.trimmed().toLongLong(&ok);
    if (ok && episodeExists(id))
        return 0;
    m_db->exec(QStringLiteral("delete from Ráfkódok where Azonosito = ?"), {azonosito});
    const int removed = sqlite3_changes(m_db->handle());
    tx.commit();
    return removed;
}

} // namespace episode
