#include "tests/app/entry/entryfixture.h"

#include "app/common/datafolder.h"
#include "app/common/programinfo.h"
#include "platform/db/dataconnection.h"

#include <QDir>

using platform::db::DataConnection;
using platform::db::Database;

FakeSlots::FakeSlots()
{
    duration.fill(entry::kEmptyDuration);
    codeColour.fill(entry::kSlotWhite);
    durationColour.fill(entry::kSlotWhite);
    enabled[0] = true;
}

namespace {

std::unique_ptr<DataConnection> connection(const char* name, std::shared_ptr<Database> db, const QString& source)
{
    auto c = std::make_unique<DataConnection>(QString::fromLatin1(name));
    c->setDatabase(std::move(db));
    c->setRecordSource(source);
    c->refresh();
    return c;
}

} // namespace

void EntryDataFolder::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    const ProgramInfo& info = ProgramInfo::sebrix();
    QString error;
    ASSERT_TRUE(makeDataFolder(m_dir.path(), info, &error)) << error.toStdString();
    m_entered = Database::open(QDir(m_dir.path()).filePath(info.enteredDataFile));
    m_codes = Database::open(QDir(m_dir.path()).filePath(info.codeTableFile));
    Data5 = connection("Data5", m_codes, QStringLiteral("GYOGYSZM"));
    Data6 = connection("Data6", m_entered, QStringLiteral("műtétek"));
    Data7 = connection("Data7", m_codes, QStringLiteral("SGYOGY"));
    Data8 = connection("Data8", m_entered, QStringLiteral("Ráfkódok"));
    Data11 = connection("Data11", m_codes, QStringLiteral("DIAGNOS"));
    Data12 = connection("Data12", m_codes, QStringLiteral("MUTET_AP"));
}

void EntryDataFolder::TearDown()
{
    Data5.reset();
    Data6.reset();
    Data7.reset();
    Data8.reset();
    Data11.reset();
    Data12.reset();
    m_entered.reset();
    m_codes.reset();
}

void EntryDataFolder::setCodes(const QString& table, const QString& columns, const QList<QStringList>& rows)
{
    // Rows give code, name, unit, price; an empty price is stored as Null.
    const int columnCount = int(columns.count(u',')) + 1;
    m_codes->exec(QStringLiteral("delete from %1").arg(table));
    for (const QStringList& r : rows) {
        QVariantList values;
        QStringList marks;
        for (int i = 0; i < columnCount; ++i) {
            const QString v = i < r.size() ? r[i] : QString();
            values << (i == 3 && v.isEmpty() ? QVariant() : QVariant(v));
            marks << QStringLiteral("?");
        }
        m_codes->exec(QStringLiteral("insert into %1 (%2) values (%3)").arg(table, columns, marks.join(u',')), values);
    }
}

void EntryDataFolder::setDrugs(const QList<QStringList>& rows)
{
    setCodes(QStringLiteral("SGYOGY"), QStringLiteral("SKOD, SNEV, SME, SAR"), rows);
    Data7->refresh();
}

void EntryDataFolder::setMaterials(const QList<QStringList>& rows)
{
    setCodes(QStringLiteral("GYOGYSZM"), QStringLiteral("KOD, NEV, ME, AR"), rows);
    Data5->refresh();
}

void EntryDataFolder::setDiagnostics(const QList<QStringList>& rows)
{
    const bool priced = m_codes->findTable(QStringLiteral("DIAGNOS"))->columnIndex(QStringLiteral("me_ar")) >= 0;
    setCodes(QStringLiteral("DIAGNOS"), priced ? QStringLiteral("KOD, NEV, ME, me_ar") : QStringLiteral("KOD, NEV, ME"),
             rows);
    Data11->refresh();
}

void EntryDataFolder::setSurgeryCodes(const QStringList& codes)
{
    m_codes->exec(QStringLiteral("delete from MUTET_AP"));
    for (const QString& c : codes)
        m_codes->exec(QStringLiteral("insert into MUTET_AP (KOD, NEV) values (?, ?)"), {c, QStringLiteral("Műtét ") + c});
    Data12->refresh();
}

void EntryDataFolder::addItemRow(const QString& azonosito, const QString& rkod, const QString& azonB,
                                 const QString& mkod)
{
    m_entered->exec(QStringLiteral("insert into Ráfkódok (Azonosito, Rkod, Rmen, Tipus, AzonB, Mkod) "
                                   "values (?, ?, '1,00', 'G', ?, ?)"),
                    {azonosito, rkod, azonB, mkod});
}

void EntryDataFolder::addSurgery(const QString& azonosito, const QString& mkod)
{
    m_entered->exec(QStringLiteral("insert into műtétek (Azonosito, Mkod, Mido, AzonB) values (?, ?, '01:00:00', '1')"),
                    {azonosito, mkod});
}

QStringList EntryDataFolder::codesOf(DataConnection& c, const QString& column)
{
    auto& rs = c.recordset();
    const int col = rs.fieldIndex(column);
    QStringList out;
    for (int r = 0; r < rs.recordCount(); ++r)
        out << rs.valueAt(r, col).toString();
    return out;
}

QStringList EntryDataFolder::itemsOf(const QString& azonosito)
{
    DataConnection c(QStringLiteral("check"));
    c.setDatabase(m_entered);
    c.setRecordSource(QStringLiteral("select * from Ráfkódok where Azonosito = ?"), {azonosito});
    c.refresh();
    auto& rs = c.recordset();
    QStringList out;
    for (int r = 0; r < rs.recordCount(); ++r)
        out << rs.valueAt(r, rs.fieldIndex(QStringLiteral("Rkod"))).toString() + u'/'
                + rs.valueAt(r, rs.fieldIndex(QStringLiteral("AzonB"))).toString();
    return out;
}
