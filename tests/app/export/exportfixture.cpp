#include "tests/app/export/exportfixture.h"

#include "platform/db/dataconnection.h"
#include "platform/sys/files.h"

#include <QDir>
#include <QFile>

using platform::db::Database;

void ExportFixture::SetUp()
{
    data = std::make_unique<testsupport::TempDataFolder>(m_program);
    m_previousFolder = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(data->path()));
    ProgramInfo::setCurrent(m_program);
    platform::setDefaultMsgBoxTitle(m_program.name);
    QDir(data->path()).mkpath(QStringLiteral("diskette"));
    QDir(data->path()).mkpath(QStringLiteral("c/export"));
    platform::setDriveFolder(u'a', data->filePath(QStringLiteral("diskette")));
    platform::setDriveFolder(u'c', data->filePath(QStringLiteral("c")));
    auto device = std::make_unique<platform::RecordingDevice>();
    printerDevice = device.get();
    platform::installPrintDevice(std::move(device));
    regional.emplace(QStringLiteral("%Y.%m.%d."), QStringLiteral("%H:%M:%S"),
                     QDateTime(QDate(2005, 8, 24), QTime(9, 59, 0)));
    db().exec(QStringLiteral("insert into intadatok (int_kod, Int_neve) values (?, ?)"),
              {QStringLiteral("1234"), QStringLiteral("Próba Kórház")});
}

void ExportFixture::TearDown()
{
    regional.reset();
    platform::resetDrives();
    ProgramInfo::setCurrent(ProgramInfo::sebrix());
    QDir::setCurrent(m_previousFolder);
    data.reset();
}

QString ExportFixture::diskette() const
{
    return data->filePath(QStringLiteral("diskette"));
}

QString ExportFixture::targetFolder() const
{
    return data->filePath(QStringLiteral("c/export"));
}

qlonglong ExportFixture::episode(const Episode& e)
{
    const qlonglong id = db().scalar(QStringLiteral("select coalesce(max(Azonosito), 0) + 1 from alap")).toLongLong();
    QString columns = QStringLiteral("Azonosito, Int_kod, Int_tipus, T_szam, Taj, Tsor, Fdat, Fido, Okod, Tdat, Tido, "
                                     "Ojele, Vjel, \"Manuális\"");
    QString marks = QStringLiteral("?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?");
    QVariantList values{id, e.intKod, QStringLiteral("1"), e.tSzam, QStringLiteral("987654321"), QStringLiteral("1"),
                        e.fdat, QStringLiteral("08:30:00"), QStringLiteral("0101"), QStringLiteral("2005.08.05."),
                        QStringLiteral("14:05:00"), QStringLiteral("0"), e.vjel, e.manual};
    if (!m_program.isWard()) {
        columns += QStringLiteral(", tovsors");
        marks += QStringLiteral(", ?");
        values << QStringLiteral("2");
    }
    db().exec(QStringLiteral("insert into alap (%1) values (%2)").arg(columns, marks), values);
    return id;
}

void ExportFixture::item(qlonglong episode, const QString& rkod, const QString& rmen, const QVariant& mido)
{
    if (m_program.isWard())
        db().exec(QStringLiteral("insert into \"Ráfkódok\" (Azonosito, Rkod, Rmen) values (?, ?, ?)"),
                  {QString::number(episode), rkod, rmen});
    else
        db().exec(QStringLiteral("insert into \"Ráfkódok\" (Azonosito, Rkod, Rmen, Mido) values (?, ?, ?, ?)"),
                  {QString::number(episode), rkod, rmen, mido});
}

void ExportFixture::items(qlonglong episode, const QString& rkod, int count)
{
    Database::Transaction t(db());
    for (int i = 0; i < count; ++i)
        item(episode, rkod, QStringLiteral("1"));
    t.commit();
}

void ExportFixture::surgery(qlonglong episode, const QString& mkod)
{
    db().exec(QStringLiteral("insert into \"műtétek\" (Azonosito, Mkod) values (?, ?)"), {QString::number(episode), mkod});
}

exchange::ExportRequest ExportFixture::monthRequest() const
{
    exchange::ExportRequest r;
    r.selection = exchange::Selection::Month;
    r.datum = QStringLiteral("2005.08");
    r.datum2 = QStringLiteral("0.");
    r.startYear = QStringLiteral("2005");
    r.startMonth = QStringLiteral("08");
    r.elpath = QStringLiteral("c:\\export\\") + m_program.exportPrefix + QStringLiteral("123408.txt");
    r.targetFolder = QStringLiteral("c:\\export");
    r.freeKb = 100000;
    r.workingFolder = data->path();
    r.today = QStringLiteral("2005.08.24.");
    return r;
}

exchange::ExportResult ExportFixture::run(const exchange::ExportRequest& request, const exchange::RetryPolicy& retry)
{
    const auto institution = exchange::readInstitution(db());
    EXPECT_TRUE(institution.has_value());
    return exchange::talvironfloppy(m_program, db(), *institution, request, {}, retry);
}

QByteArray ExportFixture::read(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return f.readAll();
}

void ExportFixture::write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}
