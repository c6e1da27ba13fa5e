#include "app/common/episodestore.h"

#include "app/common/programinfo.h"
#include "platform/db/dataconnection.h"
#include "platform/db/dialect.h"
#include "platform/db/sqlitestatement.h"

#include <QStringList>

#include <algorithm>

#include <sqlite3.h>

namespace episode {

using platform::db::Database;
using platform::db::DbError;
using platform::db::Recordset;
using platform::db::Statement;
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

QList<SurgeryRow> surgeriesFromRecordset(Recordset& rs)
{
    QList<SurgeryRow> rows;
    if (rs.recordCount() == 0)
        return rows;
    rs.moveFirst();
    while (!rs.eof()) {
        rows.append({rs.text(QStringLiteral("Mkod")), rs.text(QStringLiteral("Mido"))});
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

// The episode's surgery rows in stored order, which is the order in which a
// search of the episode's surgeries meets them.
QList<StoredSurgery> storedSurgeries(Database& db, const QString& azonosito)
{
    Statement st(db, QStringLiteral("select rowid, Azonosito, Mkod, Mido, AzonB from \"műtétek\" "
                                    "where Azonosito = ? order by rowid"));
    st.bind(1, azonosito);
    QList<StoredSurgery> rows;
    while (st.step())
        rows.append({st.columnInt64(0), st.columnText(1), st.columnText(2), st.columnText(3), st.columnText(4)});
    return rows;
}

// Writes the slots one after the other over the stored rows, as the
// modification does, and gives the rows that end up changed or added.
QList<StoredSurgery> surgeryWrites(const QString& azonosito, const QList<StoredSurgery>& stored,
                                   const QList<SurgeryRow>& slotRows)
{
    QList<StoredSurgery> rows = stored;
    QList<qsizetype> written; // indexes into rows, in the order first written
    for (const SurgeryRow& slot : slotRows) {
        // The code is searched for as the file compares it, without regard
        // to letter case, and the slot's spelling is what gets stored.
        const auto found = std::find_if(rows.cbegin(), rows.cend(), [&](const StoredSurgery& r) {
            return dialect::compareNoCase(r.code, slot.code) == 0;
        });
        qsizetype at = found - rows.cbegin();
        if (found == rows.cend())
            rows.append(StoredSurgery{});
        StoredSurgery& r = rows[at];
        r.azonosito = azonosito;
        r.code = slot.code;
        r.duration = slot.duration;
        r.azonB = QStringLiteral("1");
        if (!written.contains(at))
            written.append(at);
    }
    QList<StoredSurgery> changes;
    for (const qsizetype at : written)
        if (at >= stored.size() || rows[at] != stored[at])
            changes.append(rows[at]);
    return changes;
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
            // Only a record still waiting to be processed: one that another
            // program stored meanwhile is not stored a second time.
            m_db->exec(QStringLiteral("update konvdb.konv set Feldolgozva = ? where rowid = ? and not ifnull(Feldolgozva, 0)"),
                       {konv->processed, konv->rowKey});
            if (sqlite3_changes(m_db->handle()) != 1)
                throw SaveError(QStringLiteral("A konvertált rekord nem található, vagy már feldolgozott."));
        }
        tx.commit();
    }
    // The converted file changed behind its own connection's back: record
    // sets over it must read the mark, not what they had cached.
    if (konv)
        m_converted->noteChange();
}

void EpisodeStore::modify(const EpisodeRow& row, const QList<SurgeryRow>& slotRows)
{
    const QString id = QString::number(row.azonosito);
    {
        Database::Transaction tx(*m_db);
        if (!episodeExists(row.azonosito))
            throw SaveError(QStringLiteral("Nincs ilyen azonosítójú felvett adat: %1").arg(id));
        QVariantList values = {row.intKod, row.intTipus, row.tSzam, row.taj,  row.fdat,  row.fido,    row.tdat,
                               row.tido,   row.okod,     row.ojele, row.tsor, row.vjel, row.manualis};
        QString outcome;
        if (m_outcome) {
            outcome = QStringLiteral(", tovsors = ?");
            values << row.tovsors;
        }
        values << row.azonosito;
        m_db->exec(QStringLiteral("update alap set Int_kod = ?, Int_tipus = ?, T_szam = ?, Taj = ?, Fdat = ?, "
                                  "Fido = ?, Tdat = ?, Tido = ?, Okod = ?, Ojele = ?, Tsor = ?, Vjel = ?, "
                                  "Manuális = ?%1 where Azonosito = ?")
                       .arg(outcome),
                   values);
        // Only the rows that change are written: the others keep their row
        // ids and the columns the modification does not set (`Mmegnevezés`).
        for (const StoredSurgery& s : surgeryChanges(row.azonosito, slotRows)) {
            if (s.rowid == 0)
                insertSurgery(*m_db, s.azonosito, s.code, s.duration);
            else
                m_db->exec(QStringLiteral("update műtétek set Azonosito = ?, Mkod = ?, Mido = ?, AzonB = ? "
                                          "where rowid = ?"),
                           {s.azonosito, s.code, s.duration, s.azonB, s.rowid});
        }
        tx.commit();
    }
}

QList<StoredSurgery> EpisodeStore::surgeryChanges(qint64 azonosito, const QList<SurgeryRow>& slotRows) const
{
    if (!m_surgeries)
        return {};
    const QString id = QString::number(azonosito);
    return surgeryWrites(id, storedSurgeries(*m_db, id), slotRows);
}

std::optional<EpisodeRow> EpisodeStore::load(qint64 azonosito) const
{
    platform::db::DataConnection c(QStringLiteral("episode"));
    c.setDatabase(m_db);
    c.setRecordSource(QStringLiteral("select * from alap where Azonosito = ?"), {azonosito});
    c.refresh();
    if (c.recordset().recordCount() == 0)
        return std::nullopt;
    c.recordset().moveFirst();
    return episodeFromRecord(c.recordset());
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
