// Setting up a data folder for each program.
#include "app/common/datafolder.h"
#include "platform/db/dataconnection.h"
#include "tests/support/crashpoints.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

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

// A set-up killed at any change it makes to the disk leaves no broken file
// under a real name: the next run completes the folder and every file is a
// usable database.
TEST(DataFolder, a_set_up_killed_at_any_write_is_completed_by_the_next_run)
{
    const ProgramInfo& info = ProgramInfo::sebrix();
    auto setUp = [&](const QString& folder) {
        QString error;
        if (!makeDataFolder(folder, info, &error))
            throw std::runtime_error(error.toStdString());
    };
    QTemporaryDir counting;
    const testsupport::ChildEnd whole = testsupport::runChildDyingAt(0, [&] { setUp(counting.path()); });
    ASSERT_EQ(whole.exitCode, 0);
    ASSERT_GT(whole.changes, 20);

    // Every change point would take long; sixty spread over the run hit the
    // start, the middle and the end of each of the three files.
    const long step = std::max(1L, whole.changes / 60);
    for (long target = 1; target <= whole.changes; target += step) {
        SCOPED_TRACE(target);
        QTemporaryDir dir;
        const testsupport::ChildEnd end = testsupport::runChildDyingAt(target, [&] { setUp(dir.path()); });
        ASSERT_TRUE(end.killed);
        QString error;
        ASSERT_TRUE(makeDataFolder(dir.path(), info, &error)) << error.toStdString();
        const DataFolderScripts scripts = dataFolderScripts(info);
        EXPECT_EQ(dataFileProblem(dir.filePath(info.enteredDataFile), scripts.entered), QString());
        EXPECT_EQ(dataFileProblem(dir.filePath(info.codeTableFile), scripts.codes), QString());
        EXPECT_EQ(dataFileProblem(dir.filePath(info.convertedFile), scripts.converted), QString());
        EXPECT_GT(rows(Database::open(dir.filePath(info.codeTableFile)), QStringLiteral("SGYOGY")), 5);
    }
}

// What the program refuses at start: a file it cannot work on at all, named,
// with what is wrong; the file is left exactly as it was.
TEST(DataFolder, an_unusable_file_is_named_with_what_is_wrong_and_left_alone)
{
    const ProgramInfo& info = ProgramInfo::sebrix();
    const DataFolderScripts scripts = dataFolderScripts(info);
    struct Case {
        const char* name;
        std::function<void(const QString& path)> spoil;
        QString problem;
    };
    auto writeBytes = [](const QByteArray& bytes) {
        return [bytes](const QString& path) {
            QFile::remove(path);
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        };
    };
    auto rebuild = [](const char* sql) {
        return [sql](const QString& path) {
            auto db = Database::open(path);
            db->execScript(QString::fromUtf8(sql));
        };
    };
    QByteArray random(8192, '\0');
    for (int i = 0; i < random.size(); ++i)
        random[i] = char((i * 7919 + 13) % 251);
    const Case cases[] = {
        {"empty file", writeBytes(QByteArray()), "A(z) madatok.mdb adatbázisfájl üres (0 bájt), nem használható."},
        {"random bytes", writeBytes(random),
         "A(z) madatok.mdb fájl nem használható adatbázis (sérült, üres, vagy nem adatbázis)."},
        {"missing column",
         rebuild("ALTER TABLE alap RENAME TO regi; CREATE TABLE alap AS SELECT Azonosito, Int_kod, Int_tipus, "
                 "T_szam, Taj, Tsor, Fdat, Fido, F_okod, Okod, Tdat, Tido, Ojele, Vjel, \"Manuális\", Betegseg, "
                 "Beavatkoz, Mutido, Mut1, Mut2, Mut3, Mut4 FROM regi; DROP TABLE regi;"),
         "A(z) madatok.mdb adatbázisfájl alap táblájából hiányzik a(z) tovsors mező."},
        {"missing table", rebuild("DROP TABLE \"műtétek\""),
         "A(z) madatok.mdb adatbázisfájlból hiányzik a(z) műtétek tábla."},
        {"names in another letter case and an extra column",
         rebuild("ALTER TABLE alap RENAME COLUMN tovsors TO TOVSORS; ALTER TABLE alap ADD COLUMN Megjegyzes TEXT"),
         QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        QString error;
        ASSERT_TRUE(makeDataFolder(dir.path(), info, &error));
        const QString path = dir.filePath(info.enteredDataFile);
        c.spoil(path);
        QFile before(path);
        ASSERT_TRUE(before.open(QIODevice::ReadOnly));
        const QByteArray bytes = before.readAll();
        before.close();

        EXPECT_EQ(dataFileProblem(path, scripts.entered), c.problem);
        QFile after(path);
        ASSERT_TRUE(after.open(QIODevice::ReadOnly));
        if (!c.problem.isEmpty())
            EXPECT_EQ(after.readAll(), bytes) << "the refused file was changed";
    }
}

// The sqlite3 tool with the collation extension loaded writes and finds rows
// the way the programs compare them, and checks the file whole.
TEST(DataFolder, the_sqlite3_tool_works_on_the_files_with_the_collation_extension)
{
    const QString extension = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../app/hunocase"));
    ASSERT_TRUE(QFileInfo::exists(extension + QStringLiteral(".so"))) << extension.toStdString();
    QTemporaryDir dir;
    QString error;
    ASSERT_TRUE(makeDataFolder(dir.path(), ProgramInfo::sebrix(), &error));
    QProcess tool;
    tool.start(QStringLiteral("sqlite3"), {QStringLiteral("-cmd"), QStringLiteral(".load ") + extension,
                                          dir.filePath(QStringLiteral("mráfordkódok.mdb"))});
    ASSERT_TRUE(tool.waitForStarted());
    tool.write("INSERT INTO SGYOGY (SKOD, SNEV, SME, SAR) VALUES ('ÁRV1', 'árvíztűrő tükörfúrógép', 'db', 12.5);\n"
               "SELECT SKOD FROM SGYOGY WHERE SNEV = 'ÁRVÍZTŰRŐ TÜKÖRFÚRÓGÉP';\n"
               "PRAGMA integrity_check;\n");
    tool.closeWriteChannel();
    ASSERT_TRUE(tool.waitForFinished());
    EXPECT_EQ(QString::fromUtf8(tool.readAllStandardOutput()), QStringLiteral("ÁRV1\nok\n"))
        << tool.readAllStandardError().toStdString();
    EXPECT_EQ(tool.exitCode(), 0);

    // The programs find the tool's row through their index as well.
    auto codes = Database::open(dir.filePath(QStringLiteral("mráfordkódok.mdb")));
    EXPECT_EQ(codes->scalar(QStringLiteral("select SNEV from SGYOGY where SKOD = 'árv1'")).toString(),
              QStringLiteral("árvíztűrő tükörfúrógép"));
}
