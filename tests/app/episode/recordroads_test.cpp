// Leaving the record on show for another one, in both programs: by the
// walk, the jump, the find and "Új" while converted records are processed,
// and by the review's walk. Whatever the road, the items of an episode never
// reach another one, the converted record whose data are stored is the one
// marked, and the stored mark on the form, the identifier on show and the
// certificate agree.
#include "tests/app/episode/episodewindow.h"
#include "tests/support/otherprogram.h"

#include "app/common/episodestore.h"
#include "app/common/programinfo.h"
#include "app/ward/wardmain.h"
#include "platform/db/dataconnection.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbcombo.h"
#include "platform/ui/msgbox.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <functional>

namespace {

using platform::MsgResult;

const QString kSaved = QStringLiteral("Az adatfelvitel sikeresen lezajlott!");
const QString kAnotherWard = QStringLiteral("Kívánja más osztályhoz is rögzíteni?");
const QString kNoCertificate = QStringLiteral("Még nem került az adatlap felvételre!Nem lehet nyomtatni!");

// Parameter: the ward program.
class RecordRoads : public EpisodeWindowTest, public ::testing::WithParamInterface<bool> {
protected:
    const ProgramInfo& program() const override
    {
        return GetParam() ? ProgramInfo::zorivozure() : ProgramInfo::sebrix();
    }
    void SetUp() override
    {
        EpisodeWindowTest::SetUp();
        setInstitution("1234", "Próba Kórház");
        addWard("0101", "E");
        addWard("0202", "K");
        recordA = addKonv("111111111", QVariant(), false, "1234E0101");
        recordB = addKonv("222222222", QVariant(), false, "1234K0202");
        recordC = addKonv("333333333", QVariant(), false, "1234E0101");
        open();
        window->printCertificate = [this] { printedFor << window->Label1->text(); };
    }

    // "Hozzáad" on the drug tab with drug 12, as the clerk adds an item.
    void addDrug()
    {
        kezdo& w = *window;
        w.Text1->setText("12");
        w.Text2->setText("1,00");
        if (w.ward)
            w.ward->addItem(0);
        else
            w.addItem(0);
    }
    // Picks the ward sign and saves, answering the question of another ward
    // when it comes.
    void save(MsgResult anotherWard = MsgResult::No)
    {
        window->Combo2->setEditText("0 - Saját osztály");
        boxes->clear();
        boxes->answer(MsgResult::Yes);
        boxes->answer(anotherWard);
        window->SSCommand1->click();
    }
    int itemsOf(const char* azonosito)
    {
        return entered()->scalar("select count(*) from Ráfkódok where Azonosito = ?", {azonosito}).toInt();
    }
    bool processed(const QVariant& key)
    {
        return converted()->scalar("select Feldolgozva from konv where rowid = ?", {key}).toBool();
    }
    void find(const QString& registerNumber)
    {
        window->SSCommand25->click();
        window->Text19->setText(registerNumber);
        int enter = 13;
        window->Text19_KeyPress(enter);
    }
    void startProcessing()
    {
        window->feldolg->trigger();
        ASSERT_EQ(window->SSFrame1->caption(), "Adatleválogatás a TALVIRON floppyról");
        boxes->clear();
    }
    void printCertificate()
    {
        boxes->clear();
        window->certificateButton()->click();
    }

    QVariant recordA, recordB, recordC;
    QStringList printedFor;
};

TEST_P(RecordRoads, everyRoadAwayFromAnUnsavedRecordTakesItsItemsAlong)
{
    kezdo& w = *window;
    struct Road {
        const char* name;
        std::function<void()> go;
        const char* shownAfter; // register number on show afterwards; empty: none taken
    };
    const Road roads[] = {
        {"next", [&] { w.SSCommand9->click(); }, "222222222"},
        {"jump", [&] { w.Text12->setText("2"); w.SSCommand10->click(); }, "333333333"},
        {"Enter in the jump box", [&] { w.Text12->setText("1"); int enter = 13; w.Text12_KeyPress(enter); },
         "222222222"},
        {"find", [&] { find("333333333"); }, "333333333"},
        {"Új", [&] { boxes->answer(MsgResult::Yes); w.SSCommand14->click(); }, "111111111"},
        {"Új with nothing left to take",
         [&] {
             testsupport::OtherProgram other(converted()->path());
             other.run("update konv set Feldolgozva = 1");
             boxes->answer(MsgResult::Yes);
             w.SSCommand14->click();
         },
         ""},
    };
    for (const Road& road : roads) {
        converted()->exec("update konv set Feldolgozva = 0");
        startProcessing();
        ASSERT_EQ(w.Label1->text(), "1") << road.name;
        addDrug();
        ASSERT_EQ(itemsOf("1"), 1) << road.name << ": " << boxes.texts().join(" | ").toStdString();

        road.go();
        EXPECT_EQ(itemsOf("1"), 0) << road.name;
        EXPECT_EQ(w.Data8->recordset().recordCount(), 0) << road.name;
        EXPECT_EQ(w.Label1->text(), "1") << road.name;
        if (*road.shownAfter) {
            EXPECT_EQ(w.Text3->text(), road.shownAfter) << road.name;
            // The record reached is stored without the item of the one left.
            save();
            EXPECT_TRUE(boxes.texts().contains(kSaved)) << road.name << ": " << boxes.texts().join(" | ").toStdString();
            EXPECT_EQ(stored(1, "T_szam").toString(), road.shownAfter) << road.name;
            EXPECT_EQ(itemsOf("1"), 0) << road.name;
        }
        w.SSCommand2->click();
        entered()->exec("delete from alap");
        entered()->exec("delete from Ráfkódok");
        entered()->exec("update \"Utolso azonosito\" set UTOLSO = 0");
    }

    // "Új" in manual entry starts the next episode without the last one's items.
    w.fel->trigger();
    fillManualHeader("444444444");
    addDrug();
    ASSERT_EQ(itemsOf("1"), 1) << boxes.texts().join(" | ").toStdString();
    boxes->clear();
    boxes->answer(MsgResult::Yes);
    w.SSCommand14->click();
    EXPECT_EQ(w.Label1->text(), "1");
    EXPECT_EQ(itemsOf("1"), 0);
    w.SSCommand2->click();

    // A stored record keeps its items when the clerk walks on.
    converted()->exec("update konv set Feldolgozva = 0");
    startProcessing();
    addDrug();
    save(MsgResult::Yes);
    ASSERT_TRUE(boxes.texts().contains(kSaved));
    w.SSCommand9->click();
    EXPECT_EQ(itemsOf("1"), 1);
    EXPECT_EQ(w.Label1->text(), "2");
}

// The close box of the main window is one more road away from the record on
// show: an unsaved record's items must not wait for the next episode typed
// after the restart, which takes the same identifier.
TEST_P(RecordRoads, closingTheWindowTakesTheItemsOfAnUnsavedRecordAlong)
{
    struct Case {
        const char* name;
        std::function<void(kezdo&)> before;
        int itemsKept;
    };
    const Case cases[] = {
        {"converted record not saved", [&](kezdo&) { startProcessing(); addDrug(); }, 0},
        {"typed episode not saved", [&](kezdo& w) { w.fel->trigger(); fillManualHeader("444444444"); addDrug(); }, 0},
        {"converted record saved", [&](kezdo&) { startProcessing(); addDrug(); save(); }, 1},
    };
    for (const Case& c : cases) {
        entered()->exec("delete from alap");
        entered()->exec("delete from Ráfkódok");
        entered()->exec("update \"Utolso azonosito\" set UTOLSO = 0");
        converted()->exec("update konv set Feldolgozva = 0");
        kezdo& w = open();
        c.before(w);
        ASSERT_EQ(w.Label1->text(), "1") << c.name;
        ASSERT_EQ(itemsOf("1"), 1) << c.name << ": " << boxes.texts().join(" | ").toStdString();

        EXPECT_TRUE(w.close()) << c.name;
        EXPECT_EQ(itemsOf("1"), c.itemsKept) << c.name;
    }
}

TEST_P(RecordRoads, theRecordWhoseDataAreStoredIsTheOneMarkedAndNeverTwice)
{
    kezdo& w = *window;
    struct Case {
        const char* name;
        std::function<void()> before; // after processing starts on record A
        QVariant* expectedMarked;
    };
    const Case cases[] = {
        // The find selects nothing: record A stays on show, linked as it was.
        {"find that finds nothing", [&] { find("999999999"); }, &recordA},
        {"blank find", [&] { find(" "); w.SSCommand9->click(); }, &recordB},
        // "Új" answered No leaves the record on show, wherever the walk stands.
        {"Új answered No", [&] { w.SSCommand9->click(); boxes->answer(MsgResult::No); w.SSCommand14->click(); },
         &recordB},
    };
    for (const Case& c : cases) {
        converted()->exec("update konv set Feldolgozva = 0");
        startProcessing();
        c.before();
        const QString shown = w.Text3->text();
        save();
        EXPECT_EQ(boxes.texts(), (QStringList{"Biztos fel akarja venni?", kAnotherWard, kSaved})) << c.name;
        EXPECT_EQ(stored(1, "T_szam").toString(), shown) << c.name;
        EXPECT_EQ(stored(1, "Betegseg").toString(), "I2100") << c.name;
        EXPECT_FALSE(stored(1, "Manuális").toBool()) << c.name;
        for (QVariant* key : {&recordA, &recordB, &recordC})
            EXPECT_EQ(processed(*key), key == c.expectedMarked) << c.name << " record " << key->toString().toStdString();

        // "Új" offers the records still open, never the one just stored.
        boxes->clear();
        boxes->answer(MsgResult::Yes);
        w.SSCommand14->click();
        EXPECT_NE(w.Text3->text(), shown) << c.name;
        w.SSCommand2->click();
        entered()->exec("delete from alap");
        entered()->exec("update \"Utolso azonosito\" set UTOLSO = 0");
    }

    // Another program marks the record on show processed: it is not stored again.
    converted()->exec("update konv set Feldolgozva = 0");
    startProcessing();
    {
        testsupport::OtherProgram other(converted()->path());
        other.run("update konv set Feldolgozva = 1 where rowid = ?", {recordA});
    }
    save();
    EXPECT_EQ(boxes.texts().last(),
              GetParam() ? "Feldolgozott rekordot nem lehet újra felvinni!" : "Már feldolgozott rekord!");
    EXPECT_EQ(count("select count(*) from alap"), 0);
}

TEST_P(RecordRoads, anEpisodeTypedAfterTheLastRecordIsStoredAsTypedByHand)
{
    kezdo& w = *window;
    converted()->exec("update konv set Feldolgozva = 1 where rowid <> ?", {recordB});
    startProcessing();
    ASSERT_EQ(w.Label6->text(), "K");
    save();
    ASSERT_TRUE(boxes.texts().contains(kSaved));
    boxes->clear();
    boxes->answer(MsgResult::Yes);
    w.SSCommand14->click();
    ASSERT_EQ(boxes.texts(), (QStringList{"Biztos újat akar kezdeni?", "Nincs konvertált adat!"}));
    // The ward is picked from the list, as in manual entry.
    EXPECT_TRUE(w.DBCombo1->isVisible());
    EXPECT_FALSE(w.Text11->isVisible());
    EXPECT_EQ(w.Label6->text(), "");

    fillManualHeader("444444444");
    w.DBCombo1->setText("0101");
    EXPECT_EQ(w.Label4->text(), "E = egynapos ellátás");
    addDrug();
    save();
    EXPECT_EQ(boxes.texts(), (QStringList{"Biztos fel akarja venni?", kSaved}));
    EXPECT_TRUE(stored(2, "Manuális").toBool());
    EXPECT_EQ(stored(2, "Int_tipus").toString(), "E");
    EXPECT_EQ(stored(2, "Okod").toString(), "0101");
    EXPECT_TRUE(stored(2, "Betegseg").isNull());
    EXPECT_EQ(entered()->scalar("select Manuális from Ráfkódok where Azonosito = '2'").toInt(), 1);
    for (QVariant* key : {&recordA, &recordB, &recordC})
        EXPECT_TRUE(processed(*key));
}

TEST_P(RecordRoads, theStoredMarkAndTheCertificateFollowTheIdentifierOnShow)
{
    kezdo& w = *window;
    // A record stored with an item: its certificate prints.
    startProcessing();
    addDrug();
    save();
    ASSERT_TRUE(boxes.texts().contains(kSaved));
    printCertificate();
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join(" | ").toStdString();
    EXPECT_EQ(printedFor, QStringList{"1"});

    struct Road {
        const char* name;
        std::function<void()> go;
    };
    const Road roads[] = {
        {"walk back", [&] { w.SSCommand9->click(); w.SSCommand8->click(); }},
        {"jump back", [&] { w.Text12->setText("0"); w.SSCommand10->click(); }},
        {"blank find", [&] { find(""); }},
    };
    for (const Road& road : roads) {
        road.go();
        EXPECT_EQ(w.Text3->text(), "111111111") << road.name;
        EXPECT_EQ(w.Label1->text(), "2") << road.name;
        EXPECT_FALSE(w.SSCheck1->isChecked()) << road.name;
        printedFor.clear();
        printCertificate();
        EXPECT_EQ(boxes.texts(), QStringList{kNoCertificate}) << road.name;
        EXPECT_TRUE(printedFor.isEmpty()) << road.name;
    }
    w.SSCommand2->click();

    // An episode typed and left with "Vissza": a review that finds nothing
    // does not show it as stored.
    entered()->exec("delete from alap");
    entered()->exec("delete from Ráfkódok");
    entered()->exec("update \"Utolso azonosito\" set UTOLSO = 0");
    w.fel->trigger();
    fillManualHeader("555555555");
    w.SSCommand2->click();
    boxes->clear();
    w.tete->trigger();
    EXPECT_EQ(boxes.texts(), QStringList{"Nincs adat!"});
    EXPECT_FALSE(w.SSCheck1->isChecked());
    printCertificate();
    EXPECT_EQ(boxes.texts(), QStringList{kNoCertificate});
    EXPECT_TRUE(printedFor.isEmpty());
    w.SSCommand2->click();
}

TEST_P(RecordRoads, anEpisodeDeletedByAnotherProgramTakesNoItemAndPrintsNoCertificate)
{
    kezdo& w = *window;
    entered()->exec("insert into alap (Azonosito, Int_kod, Int_tipus, T_szam, Okod, Ojele, Fdat, Fido, Tdat, Tido) "
                    "values (1, '1234', 'E', '111', '0101', '0', '2005.08.01.', '08:00:00', '2005.08.03.', '10:00:00'), "
                    "(2, '1234', 'E', '222', '0101', '0', '2005.08.01.', '08:00:00', '2005.08.03.', '10:00:00')");
    entered()->exec("update \"Utolso azonosito\" set UTOLSO = 2");
    w.Data3->refresh();
    w.tete->trigger();
    ASSERT_EQ(w.Label1->text(), "1");
    EXPECT_TRUE(w.SSCheck1->isChecked());
    {
        testsupport::OtherProgram other(entered()->path());
        other.run("delete from alap where Azonosito = 2");
    }
    w.SSCommand16->click();
    w.SSCommand15->click();
    w.SSCommand16->click();
    EXPECT_FALSE(w.SSCheck1->isChecked()) << w.Label1->text().toStdString();

    boxes->clear();
    addDrug();
    EXPECT_EQ(boxes.texts(), QStringList{"Az adatlap nincs felvéve! Tételt nem lehet hozzáadni!"});
    EXPECT_EQ(count("select count(*) from Ráfkódok"), 0);
    printCertificate();
    EXPECT_EQ(boxes.texts(), QStringList{kNoCertificate});
    EXPECT_TRUE(printedFor.isEmpty());

    // The stored episode before it still takes items.
    w.SSCommand15->click();
    ASSERT_EQ(w.Label1->text(), "1");
    boxes->clear();
    addDrug();
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join(" | ").toStdString();
    EXPECT_EQ(itemsOf("1"), 1);
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, RecordRoads, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Zorivozure" : "Sebrix";
                         });

} // namespace
