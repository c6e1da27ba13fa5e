// The database files as a clerk and a crash meet them: a copy of the
// entered-data file alone is a whole backup, a save killed at any write
// leaves its episode whole or absent, and a lock another program holds
// delays a save or refuses it without losing the form.
#include "tests/app/episode/episodewindow.h"

#include "app/common/datafolder.h"
#include "app/common/episodestore.h"
#include "app/common/module1.h"
#include "app/common/programinfo.h"
#include "platform/db/dataconnection.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbcombo.h"
#include "platform/ui/msgbox.h"
#include "tests/support/crashpoints.h"
#include "tests/support/otherprogram.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <chrono>

using namespace episode;
using platform::MsgResult;
using platform::db::Database;
using testsupport::OtherProgram;

namespace {

EpisodeRow processedRow()
{
    EpisodeRow r;
    r.azonosito = 1;
    r.intKod = QStringLiteral("1234");
    r.intTipus = QStringLiteral("E");
    r.tSzam = QStringLiteral("111111111");
    r.taj = QStringLiteral("123456788");
    r.fdat = QStringLiteral("2005.08.24.");
    r.fido = QStringLiteral("08:05:00");
    r.tdat = QStringLiteral("2005.08.30.");
    r.tido = QStringLiteral("12:40:00");
    r.okod = QStringLiteral("0101");
    r.ojele = QStringLiteral("0");
    r.tsor = QStringLiteral("1");
    r.manualis = false;
    r.tovsors = QStringLiteral("3");
    r.withImport = true;
    r.betegseg = QStringLiteral("I2100");
    return r;
}

const QList<SurgeryRow> kSurgeries = {{QStringLiteral("11111"), QStringLiteral("01:30:00")},
                                      {QStringLiteral("22222"), QStringLiteral("00:45:00")}};

class DataFiles : public EpisodeDataFolder {};

TEST_F(DataFiles, aCopyOfTheEnteredDataFileAloneHoldsTheSavedEpisode)
{
    const QVariant k = addKonv("111111111", QVariant(), false);
    EpisodeStore store(entered(), converted(), ProgramInfo::sebrix());
    store.saveNew(processedRow(), kSurgeries, KonvMark{k, true});

    // Copied while the program still has the files open, as a clerk backs
    // up "the data file": nothing of the save waits beside it.
    const QDir here(folder());
    for (const char* beside : {"madatok.mdb-wal", "madatok.mdb-journal", "mutkonv.mdb-wal", "mutkonv.mdb-journal"})
        EXPECT_FALSE(QFileInfo::exists(here.filePath(QString::fromLatin1(beside)))) << beside;
    QTemporaryDir backup;
    ASSERT_TRUE(QFile::copy(here.filePath("madatok.mdb"), backup.filePath("madatok.mdb")));
    ASSERT_TRUE(QFile::copy(here.filePath("mutkonv.mdb"), backup.filePath("mutkonv.mdb")));

    auto copy = Database::open(backup.filePath("madatok.mdb"));
    EXPECT_EQ(copy->scalar("select T_szam from alap where Azonosito = 1").toString(), "111111111");
    EXPECT_EQ(copy->scalar("select count(*) from műtétek where Azonosito = '1'").toInt(), 2);
    EXPECT_EQ(copy->scalar("select UTOLSO from \"Utolso azonosito\"").toString(), "1");
    auto copiedKonv = Database::open(backup.filePath("mutkonv.mdb"));
    EXPECT_TRUE(copiedKonv->scalar("select Feldolgozva from konv where rowid = ?", {k}).toBool());
}

// Kills a child process just before each change to the disk that a
// processing-mode save makes, one point after the other, in a fresh copy of
// the same data folder: whatever a crash leaves, the episode with its
// surgeries and the last identifier are there together with the converted
// record's mark, or none of them is.
TEST(DataFilesCrash, aProcessingSaveKilledAtAnyWriteLeavesItWholeOrAbsent)
{
    const ProgramInfo& info = ProgramInfo::sebrix();
    QTemporaryDir base;
    QString error;
    ASSERT_TRUE(makeDataFolder(base.path(), info, &error)) << error.toStdString();
    {
        auto konv = Database::open(QDir(base.path()).filePath(info.convertedFile));
        konv->exec("insert into konv (Torzsszam, Feldolgozva) values ('111111111', 0)");
    }

    long target = 1;
    int killed = 0;
    for (;; ++target) {
        ASSERT_LT(target, 1000) << "the save never completed";
        QTemporaryDir dir;
        const QDir at(dir.path());
        for (const QString& file : {info.enteredDataFile, info.codeTableFile, info.convertedFile})
            ASSERT_TRUE(QFile::copy(QDir(base.path()).filePath(file), at.filePath(file)));

        const testsupport::ChildEnd end = testsupport::runChildDyingAt(target, [&] {
            auto entered = Database::open(at.filePath(info.enteredDataFile));
            auto converted = Database::open(at.filePath(info.convertedFile));
            EpisodeStore(entered, converted, info).saveNew(processedRow(), kSurgeries, KonvMark{1, true});
        });

        auto entered = Database::open(at.filePath(info.enteredDataFile));
        auto converted = Database::open(at.filePath(info.convertedFile));
        const int episodes = entered->scalar("select count(*) from alap").toInt();
        const int surgeries = entered->scalar("select count(*) from műtétek").toInt();
        const QString last = entered->scalar("select UTOLSO from \"Utolso azonosito\"").toString();
        const bool marked = converted->scalar("select Feldolgozva from konv").toBool();
        SCOPED_TRACE(target);
        if (episodes == 1) {
            EXPECT_EQ(surgeries, 2);
            EXPECT_EQ(last, "1");
            EXPECT_TRUE(marked);
        } else {
            EXPECT_EQ(episodes, 0);
            EXPECT_EQ(surgeries, 0);
            EXPECT_EQ(last, "0");
            EXPECT_FALSE(marked);
        }
        if (!end.killed) {
            EXPECT_EQ(end.exitCode, 0);
            EXPECT_EQ(episodes, 1);
            break;
        }
        ++killed;
    }
    // The save changes the disk at many points; each one was a crash.
    EXPECT_GT(killed, 10);
}

// ---- a lock held by another program during a save -------------------------

class LockedSave : public EpisodeWindowTest {
protected:
    void SetUp() override
    {
        EpisodeWindowTest::SetUp();
        setInstitution("1234", "Próba Kórház");
        addWard("0101", "E");
        open();
        window->fel->trigger();
        fillManualHeader("987654321");
    }
    void TearDown() override
    {
        Database::setBusyTimeout(5000);
        EpisodeWindowTest::TearDown();
    }
    QString enteredPath() const { return QDir(folder()).filePath("madatok.mdb"); }
};

TEST_F(LockedSave, aShortLockIsWaitedFor)
{
    OtherProgram other(enteredPath());
    ASSERT_TRUE(other.lock());
    other.releaseAfter(std::chrono::milliseconds(1000));
    boxes->answer(MsgResult::Yes);
    window->SSCommand1->click();
    EXPECT_EQ(boxes.texts(), (QStringList{"Biztos fel akarja venni?", "Az adatfelvitel sikeresen lezajlott!"}));
    EXPECT_EQ(count("select count(*) from alap"), 1);
}

TEST_F(LockedSave, aLockLongerThanTheTimeoutRefusesTheSaveAndKeepsTheForm)
{
    Database::setBusyTimeout(300);
    OtherProgram other(enteredPath());
    ASSERT_TRUE(other.lock());
    kezdo& w = *window;
    boxes->answer(MsgResult::Yes);
    w.SSCommand1->click();
    ASSERT_EQ(boxes.shown().size(), 2);
    EXPECT_EQ(boxes.shown()[1].text,
              "Az adatfelvitel nem sikerült, semmi nem került tárolásra!\n"
              "A(z) madatok.mdb adatbázisfájlt egy másik program használja, a művelet nem hajtható végre. "
              "Próbálja meg újra később!");
    EXPECT_EQ(boxes.shown()[1].title, "Hiba");
    EXPECT_EQ(boxes.shown()[1].icon, platform::MsgIcon::Critical);
    EXPECT_FALSE(programEndRequested());
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.SSFrame1->isVisible());
    EXPECT_EQ(w.Label1->text(), "1");
    EXPECT_EQ(w.Text3->text(), "987654321");
    EXPECT_EQ(w.DBCombo1->text(), "0101");
    EXPECT_FALSE(w.SSCheck1->isChecked());

    // Once the other program lets go, the same form is stored.
    other.release();
    EXPECT_EQ(count("select count(*) from alap"), 0);
    boxes->clear();
    boxes->answer(MsgResult::Yes);
    w.SSCommand1->click();
    EXPECT_EQ(boxes.texts(), (QStringList{"Biztos fel akarja venni?", "Az adatfelvitel sikeresen lezajlott!"}));
    EXPECT_EQ(stored(1, "T_szam").toString(), "987654321");
}

} // namespace
