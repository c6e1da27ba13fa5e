// Setting up a data folder for each program.
#include "app/common/datafolder.h"
#include "platform/db/dataconnection.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::db::Database;
using platform::db::DataConnection;

namespace {

int rows(const std::shared_ptr<Database>& db, const QString& table)
{
    return db->scalar(QStringLiteral("select count(*) from [%1]").arg(table)).toInt();
}

} // namespace

TEST(DataFolder, makes_the_three_files_of_each_program)
{
    struct Expect {
        const ProgramInfo& info;
        QStringList enteredTables;
        QStringList codeTables;
    };
    const Expect programs[] = {
        {ProgramInfo::sebrix(),
         {"alap", "Ráfkódok", "intadatok", "Utolso azonosito", "Osztálykódok", "műtétek"},
         {"SGYOGY", "GYOGYSZM", "DIAGNOS", "MUTET_AP"}},
        {ProgramInfo::zorivozure(),
         {"alap", "Ráfkódok", "intadatok", "Utolso azonosito", "Osztálykódok"},
         {"SGYOGY", "ELELEM", "EGYEB", "DIAGNOS"}},
    };
    for (const Expect& p : programs) {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("uj mappa"));
        QString error;
        DataFolderReport report;
        ASSERT_TRUE(makeDataFolder(folder, p.info, &error, &report)) << error.toStdString();
        EXPECT_EQ(report.made.size(), 3);

        auto entered = Database::open(QDir(folder).filePath(p.info.enteredDataFile));
        EXPECT_EQ(entered->tableNames(), p.enteredTables);
        EXPECT_EQ(rows(entered, QStringLiteral("Utolso azonosito")), 1);
        EXPECT_EQ(entered->scalar(QStringLiteral("select UTOLSO from [Utolso azonosito]")), QVariant(qlonglong(0)));
        EXPECT_EQ(rows(entered, QStringLiteral("intadatok")), 0);
        EXPECT_EQ(rows(entered, QStringLiteral("alap")), 0);

        auto codes = Database::open(QDir(folder).filePath(p.info.codeTableFile));
        EXPECT_EQ(codes->tableNames(), p.codeTables);
        for (const QString& table : p.codeTables)
            EXPECT_GT(rows(codes, table), 5) << table.toStdString();

        auto converted = Database::open(QDir(folder).filePath(p.info.convertedFile));
        const auto* konv = converted->findTable(QStringLiteral("konv"));
        ASSERT_TRUE(konv);
        ASSERT_EQ(konv->columns.size(), 33u);
        EXPECT_EQ(konv->columns.front().name, QStringLiteral("Munkahely_azon"));
        EXPECT_EQ(konv->columns[2].name, QStringLiteral("Sorszám"));
        EXPECT_TRUE(konv->columns.back().isBoolean);
        converted->exec(QStringLiteral("insert into konv (Torzsszam) values ('123456789')"));
        EXPECT_EQ(converted->scalar(QStringLiteral("select count(*) from konv where not Feldolgozva")).toInt(), 1)
            << "a new converted row starts unprocessed";
    }
}

TEST(DataFolder, never_overwrites_a_file_that_is_there)
{
    QTemporaryDir dir;
    const ProgramInfo& info = ProgramInfo::sebrix();
    QString error;
    ASSERT_TRUE(makeDataFolder(dir.path(), info, &error));
    {
        auto entered = Database::open(dir.filePath(info.enteredDataFile));
        entered->exec(QStringLiteral("insert into intadatok (int_kod, Int_neve) values ('1234', 'Kórház')"));
    }
    QFile::remove(dir.filePath(info.convertedFile));
    DataFolderReport report;
    ASSERT_TRUE(makeDataFolder(dir.path(), info, &error, &report));
    EXPECT_EQ(report.made, QStringList{dir.filePath(info.convertedFile)});
    EXPECT_EQ(report.kept.size(), 2);
    auto entered = Database::open(dir.filePath(info.enteredDataFile));
    EXPECT_EQ(rows(entered, QStringLiteral("intadatok")), 1);
}

TEST(DataFolder, demonstration_file_answers_its_query)
{
    QTemporaryDir dir;
    QString error;
    ASSERT_TRUE(makeProjectekFile(dir.path(), &error)) << error.toStdString();
    DataConnection data(QStringLiteral("Data1"));
    data.setDatabase(Database::open(dir.filePath(QStringLiteral("Projectek.mdb"))));
    data.setRecordSource(QStringLiteral("select PrAzonosito,PrNev,PrTipus from Projectek"));
    data.refresh();
    auto& rs = data.recordset();
    EXPECT_EQ(rs.fieldNames(), (QStringList{"PrAzonosito", "PrNev", "PrTipus"}));
    EXPECT_GT(rs.recordCount(), 5);
    rs.moveLast();
    EXPECT_FALSE(rs.value(QStringLiteral("PrTipus")).isValid()) << "an empty field reads as Null";
}
