// The episode record driven through the real main window, headless.
#include "tests/app/episode/episodewindow.h"
#include "tests/support/otherprogram.h"
#include "tests/support/qtprinters.h"
#include "tests/support/quickinput.h"
#include "tests/support/wheelinput.h"

#include "app/common/episoderules.h"
#include "app/common/episodestore.h"
#include "app/common/programinfo.h"
#include "app/windows/attekintform.h"
#include "platform/db/dataconnection.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbcombo.h"
#include "platform/ui/dbgrid.h"
#include "platform/ui/events.h"
#include "platform/ui/maskedbox.h"
#include "platform/ui/msgbox.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTabWidget>
#include <QAbstractItemView>
#include <QTest>
#include <QToolBar>

#include <functional>

using platform::MsgIcon;
using platform::MsgResult;

namespace {

const QString kSaved = QStringLiteral("Az adatfelvitel sikeresen lezajlott!");

// ---- manual entry -------------------------------------------------------------

class ManualEntry : public EpisodeWindowTest {
protected:
    void SetUp() override
    {
        EpisodeWindowTest::SetUp();
        setInstitution("1234", "Próba Kórház");
        addWard("0101", "E");
        addWard("0202", "K");
        open();
    }
};

TEST_F(ManualEntry, refusedWithoutInstitutionData)
{
    entered()->exec("delete from intadatok");
    window->fel->trigger();
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown()[0].text, "Ki kell töltenie az intézeti adatokat");
    EXPECT_EQ(boxes.shown()[0].title, "Figyelmeztetés!");
    EXPECT_EQ(boxes.shown()[0].icon, MsgIcon::Critical);
    EXPECT_FALSE(window->SSFrame1->isVisible());
    EXPECT_TRUE(window->adAction->isEnabled());
}

TEST_F(ManualEntry, typedEpisodeIsCheckedSavedAndReadBack)
{
    kezdo& w = *window;
    w.fel->trigger();
    EXPECT_EQ(w.SSFrame1->caption(), "Adatfelvitel");
    EXPECT_EQ(w.Label1->text(), "1");
    EXPECT_EQ(w.Text6->text(), "1234");
    EXPECT_EQ(w.Text25->text(), "3");
    EXPECT_EQ(w.MaskEdBox1->text(), "2005.08.24.");
    EXPECT_EQ(w.MaskEdBox2->text(), "09:59");
    EXPECT_FALSE(w.adAction->isEnabled());
    EXPECT_FALSE(w.Toolbar1->isEnabled());

    // A wrong TAJ is reported when the box is left; the focus moves on.
    typeInto(w.Text4, "123456787");
    EXPECT_EQ(w.Text4->text(), "123456787");
    focusOn(w.Text14);
    ASSERT_EQ(boxes.texts(), QStringList{"Hibás a TAJ szám, kérem javítsa!"});
    EXPECT_TRUE(w.Text14->hasFocus());
    boxes->clear();

    // An earlier discharge date sends the focus back into its box.
    w.MaskEdBox3->setText("2005.08.23.");
    focusOn(w.MaskEdBox3);
    focusOn(w.MaskEdBox4);
    ASSERT_EQ(boxes.texts(), QStringList{"A távozási dátum nem lehet kisebb a felvételi dátumnál!"});
    EXPECT_TRUE(w.MaskEdBox3->hasFocus());
    boxes->clear();
    w.MaskEdBox3->setText("2005.08.26.");
    w.MaskEdBox4->setText("10:15");

    typeInto(w.Text3, "987654321");
    w.Text4->setText("123456788");
    // The ward code and the ward sign are only picked, never typed.
    typeInto(w.DBCombo1, "77");
    typeInto(w.Combo2, "9");
    EXPECT_EQ(w.DBCombo1->text(), "");
    EXPECT_EQ(w.Combo2->currentText(), "");
    w.DBCombo1->setText("0101");
    EXPECT_EQ(w.Label4->text(), "E = egynapos ellátás");
    EXPECT_EQ(w.SSPanel22->caption(), "1234E0101");
    w.Combo2->setEditText("2 - Másik intézet");
    w.Text14->clear();
    w.Text25->clear();
    w.SSCheck2->setChecked(true);
    w.Text23->setText("11111");
    w.MaskEdBox7->setText("01:30");
    w.Text9->setText("     ");   // blank code: nothing stored for slot 1
    w.Text29->setText("33333");
    w.MaskEdBox14->setText("00:45");

    boxes->answer(MsgResult::Yes);
    w.SSCommand1->click();
    ASSERT_EQ(boxes.texts(), (QStringList{"Biztos fel akarja venni?", kSaved}));
    EXPECT_EQ(boxes.shown()[1].icon, MsgIcon::None);
    EXPECT_TRUE(w.SSCheck1->isChecked());
    EXPECT_EQ(w.Text14->text(), "0");
    EXPECT_EQ(w.Text25->text(), "0");

    EXPECT_EQ(count("select count(*) from alap"), 1);
    EXPECT_EQ(stored(1, "Int_kod").toString(), "1234");
    EXPECT_EQ(stored(1, "Int_tipus").toString(), "E");
    EXPECT_EQ(stored(1, "T_szam").toString(), "987654321");
    EXPECT_EQ(stored(1, "Fdat").toString(), "2005.08.24.");
    EXPECT_EQ(stored(1, "Fido").toString(), "09:59:00");
    EXPECT_EQ(stored(1, "Tido").toString(), "10:15:00");
    EXPECT_EQ(stored(1, "Okod").toString(), "0101");
    EXPECT_EQ(stored(1, "Ojele").toString(), "2");
    EXPECT_EQ(stored(1, "Tsor").toString(), "0");
    EXPECT_EQ(stored(1, "tovsors").toString(), "0");
    EXPECT_TRUE(stored(1, "Vjel").toBool());
    EXPECT_TRUE(stored(1, "Manuális").toBool());
    EXPECT_EQ(count("select count(*) from műtétek where Azonosito = '1'"), 2);
    EXPECT_EQ(entered()->scalar("select Mido from műtétek where Mkod = '33333'").toString(), "00:45:00");
    EXPECT_EQ(entered()->scalar("select UTOLSO from \"Utolso azonosito\"").toString(), "1");

    // A second "Felvitel" runs the checks again and is refused at the end.
    boxes->clear();
    w.SSCommand1->click();
    EXPECT_EQ(boxes.texts(),
              (QStringList{"Biztos fel akarja venni?", "Feldolgozott rekordot nem lehet újra felvinni!"}));
    EXPECT_EQ(count("select count(*) from alap"), 1);

    // "Új" starts the next episode under the next identifier.
    boxes->clear();
    boxes->answer(MsgResult::Yes);
    w.SSCommand14->click();
    EXPECT_EQ(boxes.shown()[0].text, "Biztos újat akar kezdeni?");
    EXPECT_EQ(boxes.shown()[0].defaultButton, 2);
    EXPECT_EQ(w.Label1->text(), "2");
    EXPECT_EQ(w.Label19->text(), "0");
    EXPECT_FALSE(w.SSTab1->isEnabled());
    EXPECT_FALSE(w.SSCheck1->isChecked());
}

TEST_F(ManualEntry, refusalsWriteNothingAndSendTheFocus)
{
    kezdo& w = *window;
    w.fel->trigger();
    fillManualHeader("987654321");
    w.Text3->clear();
    w.SSCommand1->click();
    EXPECT_EQ(boxes.texts(), (QStringList{"Biztos fel akarja venni?", "Hiányzik a törzsszám!"}));
    EXPECT_EQ(boxes.shown()[1].title, "Sebrix");
    QApplication::processEvents();
    EXPECT_TRUE(w.Text3->hasFocus());

    // No at the confirmation: nothing more is said and nothing is written.
    boxes->clear();
    boxes->answer(MsgResult::No);
    w.SSCommand1->click();
    EXPECT_EQ(boxes.texts(), QStringList{"Biztos fel akarja venni?"});

    // A surgery without its duration is refused before the question.
    boxes->clear();
    w.Text3->setText("987654321");
    w.Text26->setText("99999");
    w.SSCommand1->click();
    EXPECT_EQ(boxes.texts(), QStringList{"Hiányzó műtéti időtartam!"});
    EXPECT_EQ(count("select count(*) from alap"), 0);
    EXPECT_EQ(count("select count(*) from műtétek"), 0);
}

// A quick click on "Felvitel" straight from an emptied admission date: the
// date box objects first, and the click that its box interrupted is gone.
TEST_F(ManualEntry, quickClickAfterAnEmptiedDateOnlyShowsTheDateError)
{
    kezdo& w = *window;
    w.fel->trigger();
    fillManualHeader("987654321");
    focusOn(w.MaskEdBox1);
    w.MaskEdBox1->setText(QString());
    testsupport::quickClick(w.SSCommand1);
    QApplication::processEvents();
    platform::Events::flush();
    ASSERT_EQ(boxes.texts(), QStringList{"Hibás a felviteli dátum, kérem javítsa!"});
    EXPECT_EQ(boxes.shown()[0].title, "Hiba!");
    EXPECT_TRUE(w.MaskEdBox1->hasFocus());
    EXPECT_EQ(count("select count(*) from alap"), 0);
}

TEST_F(ManualEntry, clearingKeepsWhatTheKeepBoxesSay)
{
    struct Case {
        bool keepInstitution;
        bool keepPatient;
    };
    kezdo& w = *window;
    w.fel->trigger();
    for (const Case c : {Case{false, false}, Case{true, false}, Case{false, true}, Case{true, true}}) {
        fillManualHeader("987654321");
        w.Text11->setText("0707");
        w.MaskEdBox1->setText("2004.01.02.");
        w.MaskEdBox2->setText("07:07");
        w.Text14->setText("2");
        w.SSCheck2->setChecked(true);
        w.Text23->setText("11111");
        w.MaskEdBox7->setText("01:00");
        w.SSCheck4->setChecked(c.keepInstitution);
        w.SSCheck6->setChecked(c.keepPatient);

        w.uresit();

        const std::string name = std::string(c.keepInstitution ? "keep ward" : "clear ward") + " / "
                                 + (c.keepPatient ? "keep patient" : "clear patient");
        EXPECT_EQ(w.DBCombo1->text(), c.keepInstitution ? "0101" : "") << name;
        EXPECT_EQ(w.Text11->text(), c.keepInstitution ? "0707" : "") << name;
        EXPECT_EQ(w.Combo2->currentText(), c.keepInstitution ? "0 - Saját osztály" : "") << name;
        EXPECT_EQ(w.Text3->text(), c.keepPatient ? "987654321" : "") << name;
        EXPECT_EQ(w.Text4->text(), c.keepPatient ? "123456788" : "") << name;
        EXPECT_EQ(w.MaskEdBox1->text(), c.keepPatient ? "2004.01.02." : "2005.08.24.") << name;
        EXPECT_EQ(w.MaskEdBox2->text(), c.keepPatient ? "07:07" : "09:59") << name;
        const QColor kept = platform::legacyColor(0xC0);
        EXPECT_EQ(w.Text3->palette().color(QPalette::Text) == kept, c.keepPatient) << name;
        EXPECT_EQ(w.SSCheck6->isChecked(), c.keepPatient) << name;
        // Never kept: the institution code stays, the rest of the episode goes.
        EXPECT_EQ(w.Text6->text(), "1234") << name;
        EXPECT_EQ(w.Text14->text(), "") << name;
        EXPECT_FALSE(w.SSCheck2->isChecked()) << name;
        EXPECT_EQ(w.Text23->text(), "") << name;
        EXPECT_EQ(w.MaskEdBox7->text(), "  :  ") << name;
        EXPECT_EQ(w.Label1->text(), "1") << name;
    }
    // Typing the register number ends the keeping of patient data.
    w.SSCheck6->setChecked(true);
    w.Text3->setText("1");
    EXPECT_FALSE(w.SSCheck6->isChecked());
}

TEST_F(ManualEntry, leavingDeletesOnlyTheItemsOfAnUnstoredEpisode)
{
    kezdo& w = *window;
    w.fel->trigger();
    addItem("1", "G100", "11111");
    addItem("1", "M200", "22222");
    addItem("2", "G100");
    w.SSCommand2->click();
    EXPECT_EQ(count("select count(*) from Ráfkódok where Azonosito = '1'"), 0);
    EXPECT_EQ(count("select count(*) from Ráfkódok"), 1);
    EXPECT_TRUE(w.adAction->isEnabled());
    EXPECT_FALSE(w.SSFrame1->isVisible());

    // A stored episode keeps its items, whatever the flag on the form says.
    w.fel->trigger();
    fillManualHeader("987654321");
    w.SSCommand1->click();
    ASSERT_TRUE(boxes.texts().contains(kSaved));
    addItem("1", "G100");
    w.SSCheck1->setChecked(false);
    w.SSCommand2->click();
    EXPECT_EQ(count("select count(*) from Ráfkódok where Azonosito = '1'"), 1);
}

TEST_F(ManualEntry, itemsLeftByAnEntryThatNeverEndedShowInTheItemsGrid)
{
    // The program stopped in the middle of an entry: its items, the only
    // copy of that work, stay under the identifier the next entry shows.
    addItem("1", "G100", "11111");
    addItem("2", "G100");
    window->fel->trigger();
    EXPECT_EQ(window->Label1->text(), "1");
    EXPECT_EQ(count("select count(*) from Ráfkódok where Azonosito = '1'"), 1);
    EXPECT_EQ(window->Data8->recordset().recordCount(), 1);
    EXPECT_EQ(count("select count(*) from Ráfkódok"), 2);
}

TEST_F(ManualEntry, institutionDataAreStoredInOneRow)
{
    kezdo& w = *window;
    w.alapad_Click();
    EXPECT_TRUE(w.SSFrame2->isVisible());
    EXPECT_EQ(w.Text10->text(), "1234");
    EXPECT_EQ(w.Text15->text(), "Próba Kórház");
    w.Text15->setText("Új név");
    w.SSCommand6->click();
    EXPECT_EQ(count("select count(*) from intadatok"), 1);
    EXPECT_EQ(entered()->scalar("select Int_neve from intadatok").toString(), "Új név");
    EXPECT_FALSE(w.SSFrame2->isVisible());

    w.alapad_Click();
    w.Text10->setText("9999");
    w.SSCommand7->click();
    EXPECT_EQ(entered()->scalar("select int_kod from intadatok").toString(), "1234");
    EXPECT_EQ(w.Text10->text(), "");
}

TEST_F(ManualEntry, tabLeavesTheComboBoxesThatRefuseTyping)
{
    kezdo& w = *window;
    w.fel->trigger();
    for (QWidget* combo : {static_cast<QWidget*>(w.DBCombo1), static_cast<QWidget*>(w.Combo2)}) {
        focusOn(combo);
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
        QApplication::sendEvent(target, &press);
        QApplication::processEvents();
        platform::Events::flush();
        QWidget* now = QApplication::focusWidget();
        EXPECT_TRUE(now && now != combo && !combo->isAncestorOf(now)) << combo->objectName().toStdString();
    }
}

TEST_F(ManualEntry, wardBoxLooksTheCareTypeUpByItsOwnCode)
{
    kezdo& w = *window;
    w.fel->trigger();
    w.DBCombo1->setText("0101");
    ASSERT_EQ(w.Label4->text(), "E = egynapos ellátás");
    w.Text11->setText("0202");
    EXPECT_EQ(w.Label4->text(), "K = kúraszerű ellátás");
    EXPECT_EQ(w.SSPanel22->caption(), "1234K0202");
    // A code that is no ward leaves the care type; the panel still follows.
    w.Text11->setText("9999");
    EXPECT_EQ(w.Label4->text(), "K = kúraszerű ellátás");
    EXPECT_EQ(w.SSPanel22->caption(), "1234K9999");

    w.Combo3->setCurrentIndex(4);
    EXPECT_EQ(w.Text25->text(), "4");
    w.Combo3->setCurrentIndex(0);
    EXPECT_EQ(w.Text25->text(), "");
}

// ---- review, modify, find -----------------------------------------------------

class Review : public ManualEntry {
protected:
    // Stores episodes 1..n through the window, register numbers as given.
    void storeEpisodes(const QStringList& registerNumbers)
    {
        kezdo& w = *window;
        w.fel->trigger();
        for (const QString& t : registerNumbers) {
            boxes->answer(MsgResult::Yes);
            w.SSCommand14->click();
            fillManualHeader(t);
            w.Text23->setText("1000" + QString::number(w.Label1->text().toInt() % 10));
            w.MaskEdBox7->setText("01:00");
            w.SSCommand1->click();
        }
        ASSERT_EQ(boxes.texts().count(kSaved), registerNumbers.size());
        w.SSCommand2->click();
        boxes->clear();
    }
};

TEST_F(Review, walksToBothEnds)
{
    storeEpisodes({"111111111", "222222222", "333333333"});
    kezdo& w = *window;
    w.tete->trigger();
    EXPECT_EQ(w.SSFrame1->caption(), "Felvett adatok áttekintése");
    EXPECT_EQ(w.Label7->text(), "1");
    EXPECT_EQ(w.Label8->text(), "3");
    EXPECT_EQ(w.Text3->text(), "111111111");
    EXPECT_EQ(w.Label1->text(), "1");
    EXPECT_EQ(w.Text23->text(), "10001");
    EXPECT_EQ(w.MaskEdBox7->text(), "01:00");
    EXPECT_EQ(w.Combo2->currentText(), "0");
    EXPECT_TRUE(w.SSCheck5->isChecked());
    EXPECT_TRUE(w.SSCommand30->isVisible());
    EXPECT_FALSE(w.SSCommand1->isVisible());

    w.SSCommand15->click();
    EXPECT_EQ(boxes.texts(), QStringList{"Adatbázis eleje!"});
    EXPECT_EQ(w.Text3->text(), "111111111");
    boxes->clear();
    w.SSCommand16->click();
    w.SSCommand16->click();
    EXPECT_EQ(w.Text3->text(), "333333333");
    EXPECT_EQ(w.Label7->text(), "3");
    w.SSCommand16->click();
    EXPECT_EQ(boxes.texts(), QStringList{"Adatbázis vége!"});
    EXPECT_EQ(w.Text3->text(), "333333333");
    w.SSCommand15->click();
    EXPECT_EQ(w.Text3->text(), "222222222");
    EXPECT_EQ(w.Label1->text(), "2");
}

TEST_F(Review, findShowsEveryEpisodeOfARegisterNumber)
{
    storeEpisodes({"111111111", "222222222", "111111111"});
    kezdo& w = *window;
    w.tete->trigger();
    w.SSCommand25->click();
    EXPECT_TRUE(w.SSFrame7->isVisible());
    w.Text19->setText("111111111");
    int enter = 13;
    w.Text19_KeyPress(enter);
    EXPECT_FALSE(w.SSFrame7->isVisible());
    EXPECT_EQ(w.Label7->text(), "1");
    EXPECT_EQ(w.Label8->text(), "2");
    EXPECT_EQ(w.Label1->text(), "1");
    w.SSCommand16->click();
    EXPECT_EQ(w.Label1->text(), "3");
    w.SSCommand16->click();
    EXPECT_EQ(boxes.texts(), QStringList{"Adatbázis vége!"});

    // A number nobody has: silent, the episode stays on screen.
    boxes->clear();
    w.Text19->setText("000000000");
    w.SSCommand26->click();
    EXPECT_TRUE(boxes.texts().isEmpty());
    EXPECT_EQ(w.Label1->text(), "3");
    // A quote in the number is just a character.
    w.Text19->setText("1' or '1'='1");
    w.SSCommand26->click();
    EXPECT_TRUE(boxes.texts().isEmpty());
    // Blank: every episode again.
    w.Text19->setText("  ");
    w.SSCommand26->click();
    EXPECT_EQ(w.Label8->text(), "3");
    EXPECT_EQ(w.Label1->text(), "1");
}

TEST_F(Review, modifyInAWalkFoundByRegisterNumberKeepsTheWalk)
{
    storeEpisodes({"111111111", "222222222", "111111111"});
    kezdo& w = *window;
    w.tete->trigger();
    w.Text19->setText("111111111");
    w.SSCommand26->click();
    ASSERT_EQ(w.Label1->text(), "1");

    // The shown episode gets another register number: it leaves the found
    // set in the file, but the walk goes on from it to the next one found.
    w.Text3->setText("444444444");
    boxes->answer(MsgResult::Yes);
    w.SSCommand30->click();
    EXPECT_EQ(stored(1, "T_szam").toString(), "444444444");
    boxes->clear();
    w.SSCommand16->click();
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join(" | ").toStdString();
    EXPECT_EQ(w.Label1->text(), "3");
    EXPECT_EQ(w.Text3->text(), "111111111");
    // Back to the changed one: it shows what was stored.
    w.SSCommand15->click();
    EXPECT_EQ(w.Label1->text(), "1");
    EXPECT_EQ(w.Text3->text(), "444444444");
}

TEST_F(Review, modifyRewritesTheShownEpisodeAndItsSurgeries)
{
    storeEpisodes({"111111111", "222222222", "333333333"});
    kezdo& w = *window;
    w.tete->trigger();
    w.SSCommand16->click();
    ASSERT_EQ(w.Label1->text(), "2");
    // Something else moves the episode connection (a grid click, a list).
    w.Data3->recordset().moveFirst();

    w.Text4->setText("000000000");
    w.Text23->setText("55555");
    w.MaskEdBox7->setText("02:30");
    w.Text9->setText("66666");
    w.MaskEdBox11->setText("00:15");
    boxes->answer(MsgResult::Yes);
    w.SSCommand30->click();
    EXPECT_EQ(boxes.texts(), QStringList{"Biztos fe akarja venni?"});
    EXPECT_EQ(stored(2, "Taj").toString(), "000000000");
    EXPECT_EQ(stored(1, "Taj").toString(), "123456788");
    // The code typed over 10002 adds its own row; 10002 stays with its items.
    EXPECT_EQ(count("select count(*) from műtétek where Azonosito = '2'"), 3);
    EXPECT_EQ(count("select count(*) from műtétek where Azonosito = '2' and Mkod = '10002'"), 1);
    EXPECT_EQ(entered()->scalar("select Mido from műtétek where Mkod = '55555'").toString(), "02:30:00");
    EXPECT_EQ(count("select count(*) from alap"), 3);

    // The shown episode was deleted meanwhile: refused, nothing written.
    boxes->clear();
    entered()->exec("delete from alap where Azonosito = 2");
    boxes->answer(MsgResult::Yes);
    w.SSCommand30->click();
    ASSERT_EQ(boxes.shown().size(), 2);
    EXPECT_EQ(boxes.shown()[1].icon, MsgIcon::Critical);
    EXPECT_EQ(count("select count(*) from alap"), 2);
    EXPECT_EQ(stored(1, "Taj").toString(), "123456788");
}

TEST_F(Review, aRefusedModifyLeavesTheStoredMarkAndTheForm)
{
    storeEpisodes({"111111111"});
    kezdo& w = *window;
    int printed = 0;
    w.printCertificate = [&] { ++printed; };
    struct Case {
        const char* spoiled;
        std::function<void()> spoil;
        QStringList boxes;
    };
    const Case cases[] = {
        {"register number", [&] { w.Text3->setText("  "); }, {"Biztos fe akarja venni?", "Hiányzik a törzsszám!"}},
        {"ward sign", [&] { w.Combo2->setEditText(""); },
         {"Biztos fe akarja venni?", "Hiányzik az ellátást végző osztály jele!"}},
        {"discharge time", [&] { w.MaskEdBox4->setText(""); }, {"Biztos fe akarja venni?", "Üres távozási idő!"}},
        {"surgery duration", [&] { w.MaskEdBox7->setText(""); }, {"Hiányzó műtéti időtartam!"}},
        {"nothing, but the clerk says No", [] {}, {"Biztos fe akarja venni?"}},
    };
    for (const Case& c : cases) {
        w.tete->trigger();
        ASSERT_TRUE(w.SSCheck1->isChecked());
        boxes->clear();
        c.spoil();
        w.Text14->clear(); // a save would put "0" here
        const QString registerNumber = w.Text3->text();
        boxes->answer(c.boxes.size() > 1 ? MsgResult::Yes : MsgResult::No);
        w.SSCommand30->click();
        EXPECT_EQ(boxes.texts(), c.boxes) << c.spoiled;
        EXPECT_TRUE(w.SSCheck1->isChecked()) << c.spoiled;
        EXPECT_EQ(w.Text14->text(), "") << c.spoiled;
        EXPECT_EQ(w.Text3->text(), registerNumber) << c.spoiled;
        EXPECT_EQ(stored(1, "T_szam").toString(), "111111111") << c.spoiled;

        // The certificate still sees a stored episode.
        boxes->clear();
        const int before = printed;
        w.certificateButton()->click();
        EXPECT_TRUE(boxes.texts().isEmpty()) << c.spoiled << ": " << boxes.texts().join(" | ").toStdString();
        EXPECT_EQ(printed, before + 1) << c.spoiled;
        w.SSCommand2->click();
    }
}

TEST_F(Review, manualEntryAfterReviewAddsANewEpisode)
{
    storeEpisodes({"111111111"});
    kezdo& w = *window;
    w.tete->trigger();
    ASSERT_TRUE(w.SSCheck5->isChecked());
    w.fel->trigger();
    EXPECT_FALSE(w.SSCheck5->isChecked());
    EXPECT_EQ(w.SSCommand1->caption(), "Felvitel");
    EXPECT_TRUE(w.SSCommand1->isVisible());
    EXPECT_FALSE(w.SSCommand30->isVisible());
    EXPECT_EQ(w.Label1->text(), "2");
    fillManualHeader("999999999");
    w.SSCommand1->click();
    EXPECT_TRUE(boxes.texts().contains(kSaved));
    EXPECT_EQ(count("select count(*) from alap"), 2);
    EXPECT_EQ(stored(1, "T_szam").toString(), "111111111");
    EXPECT_EQ(stored(2, "T_szam").toString(), "999999999");

    // Leaving review deletes nothing.
    w.tete->trigger();
    addItem("1", "G1");
    w.SSCheck1->setChecked(false);
    w.SSCommand2->click();
    EXPECT_EQ(count("select count(*) from Ráfkódok where Azonosito = '1'"), 1);
}

TEST_F(Review, anEpisodeWithMoreThanTenSurgeriesLoads)
{
    storeEpisodes({"111111111"});
    for (int i = 0; i < 12; ++i)
        entered()->exec("insert into műtétek (Azonosito, Mkod, Mido, AzonB) values ('1', ?, '00:10:00', '1')",
                        {QString("S%1").arg(i, 4, 10, QChar('0'))});
    kezdo& w = *window;
    w.tete->trigger();
    EXPECT_EQ(w.Text23->text(), "10001");
    EXPECT_EQ(w.Text26->text(), "S0008");
    EXPECT_EQ(w.MaskEdBox15->text(), "00:10");
    EXPECT_TRUE(w.Text26->isEnabled());
}

TEST_F(Review, noStoredEpisode)
{
    kezdo& w = *window;
    w.tete->trigger();
    EXPECT_EQ(boxes.texts(), QStringList{"Nincs adat!"});
    EXPECT_EQ(boxes.shown()[0].title, "Figyelmeztetés!");
    EXPECT_EQ(w.Label7->text(), "1");
    EXPECT_EQ(w.Label8->text(), "0");
    boxes->clear();
    w.SSCommand15->click();
    w.SSCommand16->click();
    EXPECT_EQ(boxes.texts(), (QStringList{"Adatbázis eleje!", "Adatbázis vége!"}));
}

// ---- converted records ------------------------------------------------------------

class Processing : public EpisodeWindowTest {
protected:
    void SetUp() override
    {
        EpisodeWindowTest::SetUp();
        setInstitution("1234", "Próba Kórház");
        addWard("0101", "E");
        QString beav(320, ' ');
        beav.replace(24, 5, "11111");
        beav.replace(32 + 24, 5, "22222");
        first = addKonv("111111111", beav, false, "1234E0101");
        second = addKonv("222222222", QVariant(), false, "1234K0202");
        third = addKonv("333333333", QString(320, ' '), false, "1234A0303");
        open();
    }

    // Completes the shown converted record and saves it, answering the
    // question about another ward.
    void completeAndSave(MsgResult anotherWard)
    {
        kezdo& w = *window;
        w.Combo2->setEditText("0 - Saját osztály");
        for (int k = 0; k < 10; ++k)
            if (!w.slotCode(k)->text().trimmed().isEmpty())
                w.slotDuration(k)->setText("01:00");
        boxes->answer(MsgResult::Yes);
        boxes->answer(anotherWard);
        w.SSCommand1->click();
    }

    bool processed(const QVariant& key)
    {
        return converted()->scalar("select Feldolgozva from konv where rowid = ?", {key}).toBool();
    }

    QVariant first, second, third;
};

TEST_F(Processing, setUpTakesTheFirstRecordWithItsSurgeries)
{
    kezdo& w = *window;
    w.feldolg->trigger();
    EXPECT_EQ(w.SSFrame1->caption(), "Adatleválogatás a TALVIRON floppyról");
    EXPECT_EQ(w.Label1->text(), "1");
    EXPECT_EQ(w.Label7->text(), "0");
    EXPECT_EQ(w.Label8->text(), "3");
    EXPECT_EQ(w.Text3->text(), "111111111");
    EXPECT_EQ(w.Text11->text(), "0101");
    EXPECT_EQ(w.Label6->text(), "E");
    EXPECT_EQ(w.MaskEdBox1->text(), "2005.08.24.");
    EXPECT_EQ(w.MaskEdBox2->text(), "08:05");
    EXPECT_EQ(w.Text23->text(), "11111");
    EXPECT_EQ(w.Text9->text(), "22222");
    EXPECT_EQ(w.Text29->text(), "     ");
    EXPECT_TRUE(w.Text9->isEnabled());
    EXPECT_FALSE(w.Text29->isEnabled());
    EXPECT_FALSE(w.DBCombo1->isVisible());
    EXPECT_TRUE(w.Text11->isVisible());
    EXPECT_TRUE(w.SSCommand1->isVisible());
    EXPECT_TRUE(w.SSCommand14->isVisible());
    EXPECT_FALSE(w.adAction->isEnabled());
}

TEST_F(Processing, theRecordsCareTypeShowsOnlyWhileProcessing)
{
    kezdo& w = *window;
    w.feldolg->trigger();
    EXPECT_TRUE(w.Label6->isVisible());
    // It stands clear of the institution-identifier panel.
    EXPECT_LE(w.Label6->geometry().right(), w.SSPanel21->geometry().left());
    w.SSCommand2->click();
    boxes->clear();
    w.tete->trigger();
    EXPECT_FALSE(w.Label6->isVisible());
    w.SSCommand2->click();
    boxes->clear();
    w.feldolg->trigger();
    EXPECT_TRUE(w.Label6->isVisible());
    w.SSCommand2->click();
    boxes->clear();
    w.fel->trigger();
    EXPECT_FALSE(w.Label6->isVisible());
}

TEST_F(Processing, processingAfterReviewSavesNewEpisodes)
{
    kezdo& w = *window;
    w.tete->trigger();
    w.SSCommand2->click();
    boxes->clear();
    w.feldolg->trigger();
    EXPECT_FALSE(w.SSCheck5->isChecked());
    EXPECT_EQ(w.SSCommand1->caption(), "Felvitel");
    EXPECT_TRUE(w.SSCommand1->isVisible());
    EXPECT_FALSE(w.SSCommand30->isVisible());
    EXPECT_TRUE(w.SSCommand14->isVisible());
    completeAndSave(MsgResult::No);
    EXPECT_TRUE(boxes.texts().contains(kSaved));
    EXPECT_EQ(count("select count(*) from alap"), 1);
}

TEST_F(Processing, savingMarksTheRecordByTheAnswer)
{
    kezdo& w = *window;
    w.feldolg->trigger();
    completeAndSave(MsgResult::No);
    EXPECT_EQ(boxes.texts(),
              (QStringList{"Biztos fel akarja venni?", "Kívánja más osztályhoz is rögzíteni?", kSaved}));
    EXPECT_TRUE(processed(first));
    EXPECT_FALSE(stored(1, "Manuális").toBool());
    EXPECT_EQ(stored(1, "Int_tipus").toString(), "E");
    EXPECT_EQ(stored(1, "Okod").toString(), "0101");
    EXPECT_EQ(stored(1, "Betegseg").toString(), "I2100");
    EXPECT_EQ(stored(1, "Beavatkoz").toString().mid(24, 5), "11111");
    EXPECT_EQ(count("select count(*) from műtétek where Azonosito = '1'"), 2);
    EXPECT_EQ(entered()->scalar("select UTOLSO from \"Utolso azonosito\"").toString(), "1");
    EXPECT_TRUE(w.SSCheck1->isChecked());

    // "Új" takes the next unprocessed record under the next identifier.
    boxes->clear();
    boxes->answer(MsgResult::Yes);
    w.SSCommand14->click();
    EXPECT_EQ(w.Text3->text(), "222222222");
    EXPECT_EQ(w.Label1->text(), "2");
    EXPECT_EQ(w.Label8->text(), "2");
    EXPECT_EQ(w.Text23->text(), "");   // no Beavatkoz value: every slot empty

    // Yes: the record stays open for another ward and comes back next.
    completeAndSave(MsgResult::Yes);
    EXPECT_FALSE(processed(second));
    boxes->clear();
    boxes->answer(MsgResult::Yes);
    w.SSCommand14->click();
    EXPECT_EQ(w.Text3->text(), "222222222");
    EXPECT_EQ(w.Label1->text(), "3");
    completeAndSave(MsgResult::No);
    EXPECT_TRUE(processed(second));
    EXPECT_EQ(count("select count(*) from alap where T_szam = '222222222'"), 2);
}

TEST_F(Processing, itemsLeftUnderTheNextIdentifierShowUntilVisszaRemovesThem)
{
    // An entry that never ended left its items under the identifier that
    // processing shows next: the only copy of that work.
    addItem("1", "G100", "11111");
    addItem("2", "G100");
    kezdo& w = *window;
    w.feldolg->trigger();
    ASSERT_EQ(w.Label1->text(), "1");
    EXPECT_EQ(count("select count(*) from Ráfkódok where Azonosito = '1'"), 1);
    EXPECT_EQ(w.Data8->recordset().recordCount(), 1);

    w.SSCommand2->click();
    EXPECT_EQ(count("select count(*) from Ráfkódok where Azonosito = '1'"), 0);
    EXPECT_EQ(count("select count(*) from Ráfkódok"), 1);
}

TEST_F(Processing, aRecordShownAfterASaveStartsAFreshEpisode)
{
    kezdo& w = *window;
    w.feldolg->trigger();
    completeAndSave(MsgResult::Yes);
    ASSERT_TRUE(boxes.texts().contains(kSaved));
    addItem("1", "G1");

    // The jump takes the whole record, surgery codes included.
    w.Text12->setText("0");
    w.SSCommand10->click();
    EXPECT_EQ(w.Label1->text(), "2");
    EXPECT_EQ(w.Label7->text(), "1");
    EXPECT_FALSE(w.SSCheck1->isChecked());
    EXPECT_EQ(w.Text23->text(), "11111");
    EXPECT_EQ(w.Text12->text(), "");
    EXPECT_EQ(w.Data8->recordset().recordCount(), 0);

    // Storing it again gives a new identifier, never a second row under 1.
    boxes->clear();
    completeAndSave(MsgResult::No);
    EXPECT_TRUE(boxes.texts().contains(kSaved));
    EXPECT_EQ(count("select count(*) from alap where Azonosito = 1"), 1);
    EXPECT_EQ(count("select count(*) from alap where Azonosito = 2"), 1);

    // The walk and the find take records the same way.
    w.SSCommand9->click();
    EXPECT_EQ(w.Label1->text(), "3");
    EXPECT_EQ(w.Text3->text(), "222222222");
    w.Text19->setText("333333333");
    w.SSCommand26->click();
    EXPECT_EQ(w.Text3->text(), "333333333");
    EXPECT_EQ(w.Label1->text(), "3");
    EXPECT_EQ(w.Text23->text(), "     ");

    // Leaving after the save keeps the stored episode's items.
    w.SSCommand2->click();
    EXPECT_EQ(count("select count(*) from Ráfkódok where Azonosito = '1'"), 1);
}

TEST_F(Processing, aRecordMarkedProcessedCannotBeStoredAgain)
{
    kezdo& w = *window;
    w.feldolg->trigger();
    completeAndSave(MsgResult::No);
    ASSERT_TRUE(processed(first));

    // The walk still holds the record; going back to it shows it processed,
    // under the next free identifier, which is not stored.
    w.Text12->setText("0");
    w.SSCommand10->click();
    EXPECT_TRUE(w.SSCheck1->isVisible());
    EXPECT_FALSE(w.SSCheck1->isChecked());
    EXPECT_EQ(w.Label1->text(), "2");
    boxes->clear();
    w.SSCommand1->click();
    EXPECT_EQ(boxes.texts(), QStringList{"Már feldolgozott rekord!"});
    EXPECT_EQ(count("select count(*) from alap"), 1);
}

TEST_F(Processing, aJumpOutsideTheRecordsChangesNothing)
{
    kezdo& w = *window;
    w.feldolg->trigger();
    for (const char* position : {"3", "-1", "99"}) {
        w.Text12->setText(position);
        w.SSCommand10->click();
        EXPECT_EQ(w.Text3->text(), "111111111") << position;
        EXPECT_EQ(w.Text12->text(), "") << position;
    }
    // Enter in the jump box takes the record like the button.
    w.Text12->setText("2");
    int enter = 13;
    w.Text12_KeyPress(enter);
    EXPECT_EQ(w.Text3->text(), "333333333");
    EXPECT_EQ(w.Text23->text(), "     ");
    EXPECT_TRUE(boxes.texts().isEmpty());
}

TEST_F(Processing, aFailedSaveSaysSoAndLeavesNothing)
{
    kezdo& w = *window;
    w.feldolg->trigger();
    // The converted record disappears behind the form's back.
    converted()->exec("delete from konv where rowid = ?", {first});
    completeAndSave(MsgResult::No);
    ASSERT_EQ(boxes.shown().size(), 3);
    EXPECT_FALSE(boxes.texts().contains(kSaved));
    EXPECT_EQ(boxes.shown()[2].icon, MsgIcon::Critical);
    EXPECT_EQ(count("select count(*) from alap"), 0);
    EXPECT_EQ(count("select count(*) from műtétek"), 0);
    EXPECT_EQ(entered()->scalar("select UTOLSO from \"Utolso azonosito\"").toString(), "0");
    EXPECT_FALSE(w.SSCheck1->isChecked());
}

TEST_F(Processing, anAlreadyProcessedRecordIsRefusedFirst)
{
    kezdo& w = *window;
    converted()->exec("update konv set Feldolgozva = 1");
    w.feldolg->trigger();
    EXPECT_EQ(boxes.texts(), QStringList{"Nincs konvertált feldolgozandó adat!"});
    EXPECT_FALSE(w.SSFrame1->isVisible());
    EXPECT_TRUE(w.adAction->isEnabled());

    // A blank find in processing mode shows processed records too; saving
    // one is refused before anything else.
    w.feldolg->trigger();
    boxes->clear();
    w.SSFrame1->setCaption(episode::kProcessingCaption);
    w.SSFrame1->show();
    w.Text19->clear();
    w.SSCommand26->click();
    EXPECT_TRUE(w.SSCheck1->isVisible());
    w.SSCommand1->click();
    EXPECT_EQ(boxes.texts(), QStringList{"Már feldolgozott rekord!"});
}

class ProcessedElsewhere : public BothProgramsWindowTest {
protected:
    void SetUp() override
    {
        BothProgramsWindowTest::SetUp();
        addWard("0101", "E");
        key = addKonv("111111111", QVariant(), false);
        open();
    }
    QVariant key;
};

// Another program stores the converted record on show (its record is marked
// processed, and so no longer one of the records waiting): "Felvitel" here
// stores nothing and says so, and the record is not stored a second time.
TEST_P(ProcessedElsewhere, felvitel_stores_nothing_when_another_program_stored_the_record_meanwhile)
{
    kezdo& w = *window;
    w.feldolg->trigger();
    ASSERT_EQ(w.Text3->text(), "111111111");
    testsupport::OtherProgram other(convertedPath());
    other.run("update konv set Feldolgozva = 1 where rowid = ?", {key});

    w.Combo2->setEditText("0 - Saját osztály");
    boxes->clear();
    boxes->answer(MsgResult::Yes);
    boxes->answer(MsgResult::No);
    w.SSCommand1->click();
    EXPECT_FALSE(boxes.texts().contains(kSaved)) << boxes.texts().join("|").toStdString();
    ASSERT_FALSE(boxes.shown().isEmpty());
    EXPECT_EQ(boxes.shown().last().icon, MsgIcon::Critical);
    EXPECT_EQ(count("select count(*) from alap"), 0);
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, ProcessedElsewhere, ::testing::Bool());

// ---- the header shows the episode on show, in both programs ------------------

class EpisodeHeader : public BothProgramsWindowTest {
protected:
    void SetUp() override
    {
        BothProgramsWindowTest::SetUp();
        addWard("0101", "2");
        // Episode 2's ward code is not (or no longer) in the ward table.
        entered()->exec("insert into alap (Azonosito, Int_kod, Int_tipus, T_szam, Okod) values "
                        "(1, '1234', '2', '111111111', '0101'), (2, '1234', 'M', '222222222', '0026')");
        entered()->exec("update \"Utolso azonosito\" set UTOLSO = 2");
        open();
    }
    void expectHeader(const QString& careType, const QString& identifier, const char* where)
    {
        EXPECT_EQ(window->Label4->text(), careType) << where;
        EXPECT_EQ(window->SSPanel22->caption(), identifier) << where;
    }
};

const QString kType2 = QStringLiteral("2 = járóbeteg-szakellátás, központi diagnosztika, terápia");
const QString kTypeM = QStringLiteral("M = mátrix");

TEST_P(EpisodeHeader, reviewShowsEachEpisodesOwnCareTypeAndIdentifier)
{
    kezdo& w = *window;
    w.tete->trigger();
    expectHeader(kType2, "123420101", "first");
    w.SSCommand16->click();
    expectHeader(kTypeM, "1234M0026", "next, ward not in the table");
    w.SSCommand15->click();
    expectHeader(kType2, "123420101", "back");
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join(" | ").toStdString();
}

TEST_P(EpisodeHeader, processingShowsEachRecordsOwnCareTypeAndIdentifier)
{
    addKonv("1", QVariant(), false, "123420101");
    addKonv("2", QVariant(), false, "1234M0026");
    // The ward table gives this ward care type 2; the record says E.
    addKonv("3", QVariant(), false, "1234E0101");
    kezdo& w = *window;
    w.feldolg->trigger();
    expectHeader(kType2, "123420101", "first");
    w.SSCommand9->click();
    expectHeader(kTypeM, "1234M0026", "next, ward not in the table");
    w.SSCommand9->click();
    expectHeader("E = egynapos ellátás", "1234E0101", "the record's own care type");
    w.SSCommand8->click();
    expectHeader(kTypeM, "1234M0026", "back");
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join(" | ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, EpisodeHeader, ::testing::Bool(), programName);

// ---- stored episodes shown and stored back, both programs -----------------------

class StoredEpisode : public BothProgramsWindowTest {
protected:
    void SetUp() override
    {
        BothProgramsWindowTest::SetUp();
        addWard("0211", "E");
        addWard("0101", "2");
        addWard("0303", "A");
        // 1: typed in while ward 0211 was of care type E, two surgeries.
        // 2: of ward 0101, which later goes from the ward table.
        // 3: taken from a converted record, items of several types.
        // 4: twelve surgeries, more than the slots show.
        insertEpisode(1, "0211", "E", "111111111", true);
        insertEpisode(2, "0101", "2", "222222222", true);
        insertEpisode(3, "0303", "A", "333333333", false);
        insertEpisode(4, "0211", "E", "444444444", true);
        entered()->exec("update \"Utolso azonosito\" set UTOLSO = 4");
        if (!wardProgram()) {
            addSurgery(1, "12", "01:30:00");
            addSurgery(1, "1", "00:45:00");
            addSurgery(3, "12", "02:00:00");
            for (int i = 0; i < 12; ++i)
                addSurgery(4, QString("S%1").arg(i, 4, 10, QChar('0')), "00:10:00");
        }
        const QStringList types = wardProgram() ? QStringList{"G", "L", "E"} : QStringList{"G", "A", "D"};
        for (int id = 1; id <= 4; ++id)
            for (int t = 0; t < types.size(); ++t) {
                QVariantList values = {QString::number(id), "R" + types[t], QString("%1,50").arg(t + 1), types[t],
                                       10 * t};
                QString surgery, marks;
                if (!wardProgram()) {
                    surgery = ", Mkod, AzonB";
                    marks = ", ?, ?";
                    values << "12" << QString::number(t);
                }
                entered()->exec(QString("insert into Ráfkódok (Azonosito, Rkod, Rmen, Tipus, Pont, Me, Fdat%1) "
                                        "values (?, ?, ?, ?, ?, 'db', '2005.08.24.'%2)")
                                    .arg(surgery, marks),
                                values);
            }
        open();
    }

    void insertEpisode(int id, const char* okod, const char* careType, const char* registerNumber, bool manual)
    {
        const QString columns = "Azonosito, Int_kod, Int_tipus, T_szam, Taj, Fdat, Fido, Tdat, Tido, Okod, "
                                "Ojele, Tsor, Vjel, \"Manuális\", Betegseg, Beavatkoz";
        QVariantList values = {id,           "1234",         careType,   registerNumber, "123456788",
                               "2005.08.24.", "08:05:00",   "2005.08.30.", "12:40:00",  okod,
                               "1",           "02",          id == 2,     manual,
                               manual ? QVariant() : QVariant("I2100"),
                               manual ? QVariant() : QVariant(QString(320, ' '))};
        QString marks = QString("?, ").repeated(values.size());
        QString outcome;
        if (!wardProgram()) {
            outcome = ", tovsors";
            values << "4";
            marks += "?, ";
        }
        marks.chop(2);
        entered()->exec(QString("insert into alap (%1%2) values (%3)").arg(columns, outcome, marks), values);
    }
    void addSurgery(int id, const QString& code, const char* duration)
    {
        entered()->exec("insert into műtétek (Azonosito, Mkod, Mido, AzonB) values (?, ?, ?, '1')",
                        {QString::number(id), code, duration});
    }
    QString everyRow()
    {
        return (tableRows("alap") + tableRows("műtétek") + tableRows("Ráfkódok")).join('\n');
    }
    // Reviews from the start and walks to the episode.
    void reviewEpisode(int id)
    {
        kezdo& w = *window;
        w.tete->trigger();
        for (int i = 0; i < 4 && w.Label1->text() != QString::number(id); ++i)
            w.SSCommand16->click();
        ASSERT_EQ(w.Label1->text(), QString::number(id));
    }
    // "Módosít" in the surgical program, "Módosítás" in the ward program;
    // Yes to the question.
    void modify()
    {
        kezdo& w = *window;
        boxes->clear();
        boxes->answer(MsgResult::Yes);
        (wardProgram() ? w.SSCommand1 : w.SSCommand30)->click();
        const QStringList expected = wardProgram() ? QStringList{"Biztos fel akarja venni?", kSaved}
                                                   : QStringList{"Biztos fe akarja venni?"};
        EXPECT_EQ(boxes.texts(), expected);
    }
};

QStringList withoutFields(QStringList rows, const QStringList& fields)
{
    for (QString& row : rows) {
        QStringList kept;
        for (const QString& field : row.split('|'))
            if (!fields.contains(field.section('=', 0, 0)))
                kept << field;
        row = kept.join('|');
    }
    return rows;
}

TEST_P(StoredEpisode, aModificationThatChangesNothingLeavesEveryStoredColumnAsItWas)
{
    kezdo& w = *window;
    struct Case {
        const char* name;
        int id;
        std::function<void()> before;
        QString careType;
        QString identifier;
    };
    const Case cases[] = {
        {"care type of the ward changed to C", 1,
         [&] { entered()->exec("update Osztálykódok set Ojelleg = 'C' where Okod = '0211'"); },
         "E = egynapos ellátás", "1234E0211"},
        {"ward removed from the ward table", 2,
         [&] { entered()->exec("delete from Osztálykódok where Okod = '0101'"); },
         "2 = járóbeteg-szakellátás, központi diagnosztika, terápia", "123420101"},
        {"taken from a converted record, items of several types", 3, [] {}, "A = ápolási otthon", "1234A0303"},
        {"twelve surgeries", 4, [] {}, "E = egynapos ellátás", "1234E0211"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.before();
        w.Data2->refresh(); // as the ward code window has the window do
        reviewEpisode(c.id);
        EXPECT_EQ(w.Label4->text(), c.careType);
        EXPECT_EQ(w.SSPanel22->caption(), c.identifier);
        const QString episode = QString("Azonosito = %1").arg(c.id);
        const QString others = QString("Azonosito <> %1").arg(c.id);
        const QString surgeriesOfEpisode = QString("Azonosito = '%1'").arg(c.id);
        const QString otherSurgeries = QString("Azonosito <> '%1'").arg(c.id);
        const QString stored = everyRow();
        const QStringList storedEpisode = tableRows("alap", episode);
        const QStringList storedSurgeries = tableRows("műtétek", surgeriesOfEpisode);

        modify();
        EXPECT_EQ(everyRow(), stored);
        EXPECT_EQ(w.Label4->text(), c.careType);
        EXPECT_EQ(w.SSPanel22->caption(), c.identifier);
        // Walking away and back shows the same.
        w.SSCommand15->click();
        w.SSCommand16->click();
        if (c.id == 1)
            w.SSCommand15->click(); // the first has none before it
        EXPECT_EQ(w.Label1->text(), QString::number(c.id));
        EXPECT_EQ(w.Label4->text(), c.careType);
        EXPECT_EQ(w.SSPanel22->caption(), c.identifier);

        // A real change writes that change and keeps every other column: the
        // care type, the ward code and the surgeries the slots do not show
        // included. A modified converted episode counts as typed in.
        const QStringList otherEpisodes = tableRows("alap", others);
        const QStringList otherSurgeryRows = tableRows("műtétek", otherSurgeries);
        const QStringList items = tableRows("Ráfkódok");
        w.Text4->setText("000000000");
        modify();
        const QStringList changing = {"Taj", "Manuális"};
        EXPECT_EQ(withoutFields(tableRows("alap", episode), changing).join('\n'),
                  withoutFields(storedEpisode, changing).join('\n'));
        EXPECT_EQ(EpisodeWindowTest::stored(c.id, "Taj").toString(), "000000000");
        EXPECT_EQ(tableRows("alap", others).join('\n'),
                  otherEpisodes.join('\n'));
        EXPECT_EQ(tableRows("műtétek", surgeriesOfEpisode).join('\n'), storedSurgeries.join('\n'));
        EXPECT_EQ(tableRows("műtétek", otherSurgeries).join('\n'),
                  otherSurgeryRows.join('\n'));
        EXPECT_EQ(tableRows("Ráfkódok").join('\n'),
                  items.join('\n'));
        w.SSCommand2->click();
    }
}

// The ward box is touched in every way a clerk touches it without picking an
// entry: the header keeps the episode's own care type and an untouched save
// stores nothing. The ward table says C for ward 0211 meanwhile, so any
// look-up would show it.
TEST_P(StoredEpisode, touchingTheWardBoxWithoutAPickChangesNothingShownOrStored)
{
    kezdo& w = *window;
    // Ward 0211 goes to the end of the list, so its entry is not the one a
    // fresh list stands on.
    entered()->exec("delete from Osztálykódok where Okod = '0211'");
    addWard("0211", "C");
    w.Data2->refresh();
    auto keyTo = [](QWidget* target, int key) {
        QTest::keyClick(target, static_cast<Qt::Key>(key));
        QApplication::processEvents();
        platform::Events::flush();
        QApplication::processEvents();
    };
    auto list = [&] { return w.DBCombo1->view(); };
    struct Case {
        const char* name;
        std::function<void()> touch;
    };
    const Case cases[] = {
        {"enter the box and leave it", [&] { focusOn(w.DBCombo1); focusOn(w.Text3); }},
        {"tab through the box", [&] {
             focusOn(w.DBCombo1);
             keyTo(QApplication::focusWidget(), Qt::Key_Tab);
         }},
        {"open the list and close it with Esc", [&] {
             focusOn(w.DBCombo1);
             w.DBCombo1->showPopup();
             QApplication::processEvents();
             // The opened list stands on the ward on show.
             EXPECT_EQ(list()->currentIndex().data().toString(), "0211");
             keyTo(list(), Qt::Key_Escape);
             EXPECT_FALSE(list()->isVisible());
             focusOn(w.Text3);
         }},
        {"open the list and close it without a choice", [&] {
             w.DBCombo1->showPopup();
             QApplication::processEvents();
             w.DBCombo1->hidePopup();
             focusOn(w.Text4);
         }},
        {"click into the box and out", [&] {
             testsupport::quickClick(w.DBCombo1->lineEdit());
             testsupport::quickClick(w.Text4);
             platform::Events::flush();
             QApplication::processEvents();
         }},
        {"a register-number find leaves the focus in the box", [&] {
             w.SSCommand25->click();
             w.Text19->setText("111111111");
             keyTo(w.Text19, Qt::Key_Return);
             ASSERT_EQ(w.Label1->text(), "1");
             if (QApplication::focusWidget() != w.DBCombo1->lineEdit())
                 focusOn(w.DBCombo1);
             focusOn(w.Text3);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reviewEpisode(1);
        const QString stored = everyRow();
        c.touch();
        EXPECT_EQ(w.DBCombo1->text(), "0211");
        EXPECT_EQ(w.Label4->text(), "E = egynapos ellátás");
        EXPECT_EQ(w.SSPanel22->caption(), "1234E0211");
        modify();
        EXPECT_EQ(everyRow(), stored);
        w.SSCommand2->click();
    }

    // A real pick, by keys in the opened list, shows and stores the picked
    // ward's care type.
    reviewEpisode(1);
    focusOn(w.DBCombo1);
    w.DBCombo1->showPopup();
    QApplication::processEvents();
    ASSERT_EQ(list()->currentIndex().data().toString(), "0211");
    keyTo(list(), Qt::Key_Up);
    ASSERT_EQ(list()->currentIndex().data().toString(), "0303");
    keyTo(list(), Qt::Key_Return);
    EXPECT_EQ(w.DBCombo1->text(), "0303");
    EXPECT_EQ(w.Label4->text(), "A = ápolási otthon");
    EXPECT_EQ(w.SSPanel22->caption(), "1234A0303");
    modify();
    EXPECT_EQ(stored(1, "Okod").toString(), "0303");
    EXPECT_EQ(stored(1, "Int_tipus").toString(), "A");
}

// The wheel over a list box the clerk never put the focus in turns nothing,
// and the ward box, which only a pick from its list changes, takes no edit
// of another kind: whatever the clerk did, the shown boxes and, after an
// untouched save, every stored row stay as they were.
TEST_P(StoredEpisode, theWheelAndEditsThatAreNoPickChangeNoListBox)
{
    kezdo& w = *window;
    struct Box {
        const char* name;
        QComboBox* box;
        int tab; // the item tab it stands on; -1 for the header
    };
    std::vector<Box> listBoxes = {{"ward code", w.DBCombo1, -1}, {"ward sign", w.Combo2, -1},
                                  {"first item tab's code list", w.DBCombo2, 0},
                                  {"second item tab's code list", w.DBCombo3, 1},
                                  {"third item tab's code list", w.DBCombo4, 2}};
    if (!wardProgram())
        listBoxes.push_back({"outcome", w.Combo3, -1});
    auto shownTexts = [&] {
        QStringList texts;
        for (const Box& b : listBoxes)
            texts << QString("%1=%2").arg(b.name, b.box->currentText());
        return texts.join(" | ");
    };
    auto settle = [] {
        QApplication::processEvents();
        platform::Events::flush();
        QApplication::processEvents();
    };
    QLineEdit* wardText = w.DBCombo1->lineEdit();
    auto keysInWardBox = [&](std::initializer_list<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys) {
        focusOn(w.DBCombo1);
        for (const auto& [key, modifiers] : keys)
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        settle();
        focusOn(w.Text3);
    };
    const QString pasted = "0211123456788";

    struct Case {
        std::string name;
        std::function<void()> touch;
    };
    std::vector<Case> cases;
    for (const Box& b : listBoxes)
        cases.push_back({std::string("the wheel over the ") + b.name + " box", [&, b] {
                             w.SSTab1->setCurrentIndex(std::max(b.tab, 0));
                             focusOn(w.Text3);
                             for (int notches : {-1, -1, 1, 2})
                                 testsupport::turnWheel(b.box, notches);
                             settle();
                             EXPECT_EQ(QApplication::focusWidget(), w.Text3.get())
                                 << "the wheel put the focus in "
                                 << qPrintable(QApplication::focusWidget() ? QApplication::focusWidget()->objectName()
                                                                           : QString("nothing"));
                         }});
    cases.push_back({"Ctrl+V in the ward box", [&] {
                         QApplication::clipboard()->setText(pasted);
                         keysInWardBox({{Qt::Key_End, Qt::NoModifier}, {Qt::Key_V, Qt::ControlModifier}});
                     }});
    cases.push_back({"Shift+Insert in the ward box", [&] {
                         QApplication::clipboard()->setText(pasted);
                         keysInWardBox({{Qt::Key_Insert, Qt::ShiftModifier}});
                     }});
    cases.push_back({"Home and Delete twice", [&] {
                         keysInWardBox({{Qt::Key_Home, Qt::NoModifier},
                                        {Qt::Key_Delete, Qt::NoModifier},
                                        {Qt::Key_Delete, Qt::NoModifier}});
                     }});
    cases.push_back({"Backspace at the end", [&] {
                         keysInWardBox({{Qt::Key_End, Qt::NoModifier}, {Qt::Key_Backspace, Qt::NoModifier}});
                     }});
    cases.push_back({"Shift+Home and Shift+Delete (a cut)", [&] {
                         keysInWardBox({{Qt::Key_End, Qt::NoModifier},
                                        {Qt::Key_Home, Qt::ShiftModifier},
                                        {Qt::Key_Delete, Qt::ShiftModifier}});
                     }});
    cases.push_back({"Ctrl+A and Ctrl+X (a cut)", [&] {
                         keysInWardBox({{Qt::Key_A, Qt::ControlModifier}, {Qt::Key_X, Qt::ControlModifier}});
                     }});
    cases.push_back({"every entry of the context menu", [&] {
                         QApplication::clipboard()->setText(pasted);
                         focusOn(w.DBCombo1);
                         wardText->selectAll();
                         const QPoint at = w.DBCombo1->rect().center();
                         QContextMenuEvent menuKey(QContextMenuEvent::Mouse, at, w.DBCombo1->mapToGlobal(at));
                         QApplication::sendEvent(w.DBCombo1, &menuKey);
                         auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                         EXPECT_TRUE(menu) << "no context menu came";
                         if (menu) {
                             const QList<QAction*> entries = menu->actions();
                             menu->close();
                             for (QAction* entry : entries)
                                 if (!entry->isSeparator() && entry->isEnabled())
                                     entry->trigger();
                         }
                         settle();
                         focusOn(w.Text3);
                     }});
    cases.push_back({"a text dropped on the ward box", [&] {
                         QMimeData text;
                         text.setText(pasted);
                         const QPoint at = wardText->rect().center();
                         QDragEnterEvent enter(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
                         QApplication::sendEvent(wardText, &enter);
                         QDropEvent drop(QPointF(at), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
                         QApplication::sendEvent(wardText, &drop);
                         settle();
                     }});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reviewEpisode(1);
        const QString stored = everyRow();
        const QString shown = shownTexts();
        ASSERT_EQ(w.DBCombo1->text(), "0211");
        c.touch();
        EXPECT_EQ(shownTexts(), shown);
        modify();
        EXPECT_EQ(everyRow(), stored);
        w.SSCommand2->click();
    }

    // The clerk who puts the focus in a box may turn it with the wheel.
    reviewEpisode(1);
    focusOn(w.Combo2);
    const QString sign = w.Combo2->currentText();
    testsupport::turnWheel(w.Combo2, -1);
    EXPECT_NE(w.Combo2->currentText(), sign);
}

// Loading a stored episode over a filled form: the ward form is written over
// (with no row it keeps everything, colours and marks included); the surgical
// form is cleared first, as "Új" would, and then counts as stored.
TEST_P(StoredEpisode, loadingShowsExactlyTheStoredEpisodeOrSaysThereIsNone)
{
    kezdo& w = *window;
    struct Case {
        const char* name;
        const char* selection; // register number of the walk
        bool keepPatient;
        bool mark;
    };
    const Case cases[] = {
        {"no row, patient data kept", "000000000", true, true},
        {"no row, nothing kept", "000000000", false, false},
        {"a row over kept patient data", "222222222", true, false},
        {"a row over a plain form marked stored", "222222222", false, true},
    };
    auto fill = [&](const Case& c) {
        w.fel->trigger();
        fillManualHeader("999999999");
        w.MaskEdBox1->setText("2005.01.02.");
        w.SSCheck6->setChecked(c.keepPatient);
        w.SSCheck6_Click();
        w.uresit(); // kept patient data turn dark red
        w.DBCombo1->setText("0303");
        w.Combo2->setEditText("2 - Másik intézet");
        w.Text14->setText("7");
        w.SSCheck2->setChecked(false);
        w.SSCheck1->setChecked(c.mark);
        w.SSCommand2->click();
        w.Data3->setRecordSource(episode::kEpisodesOfRegister, {QString(c.selection)});
        w.Data3->refresh();
    };
    auto colours = [&] {
        QStringList out;
        for (QWidget* c : std::initializer_list<QWidget*>{w.Text3, w.Text4, w.MaskEdBox1, w.MaskEdBox2, w.MaskEdBox3,
                                                          w.MaskEdBox4, w.SSCheck6})
            out << c->palette().color(QPalette::Text).name();
        return out;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fill(c);
        w.uresit();
        const QStringList cleared = headerState();
        fill(c);
        const QStringList before = headerState();
        const QStringList coloursBefore = colours();
        boxes->clear();
        w.olvasdata3t();

        if (QString(c.selection) == "000000000") {
            ASSERT_EQ(boxes.texts(), QStringList{"Nincs adat!"});
            EXPECT_EQ(boxes.shown()[0].title, "Figyelmeztetés!");
            EXPECT_EQ(boxes.shown()[0].icon, MsgIcon::Critical);
            EXPECT_EQ(headerState(), wardProgram() ? before : cleared);
            continue;
        }
        EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join(" | ").toStdString();
        EXPECT_EQ(w.Label1->text(), "2");
        EXPECT_EQ(w.Text6->text(), "1234");
        EXPECT_EQ(w.DBCombo1->text(), "0101");
        EXPECT_EQ(w.Label4->text(), "2 = járóbeteg-szakellátás, központi diagnosztika, terápia");
        EXPECT_EQ(w.SSPanel22->caption(), "123420101");
        EXPECT_EQ(w.Combo2->currentText(), "1");
        EXPECT_EQ(w.Text3->text(), "222222222");
        EXPECT_EQ(w.Text4->text(), "123456788");
        EXPECT_EQ(w.MaskEdBox1->text(), "2005.08.24.");
        EXPECT_EQ(w.MaskEdBox2->text(), "08:05");
        EXPECT_EQ(w.MaskEdBox3->text(), "2005.08.30.");
        EXPECT_EQ(w.MaskEdBox4->text(), "12:40");
        EXPECT_EQ(w.Text14->text(), "02");
        EXPECT_TRUE(w.SSCheck2->isChecked());
        EXPECT_EQ(w.Data8->recordSourceParams(), QVariantList{"2"});
        if (wardProgram()) {
            EXPECT_EQ(w.Text11->text(), "0101");
            EXPECT_EQ(colours(), coloursBefore);
            EXPECT_EQ(w.SSCheck6->isChecked(), c.keepPatient);
            EXPECT_EQ(w.SSCheck1->isChecked(), c.mark);
        } else {
            EXPECT_EQ(w.Text25->text(), "4");
            EXPECT_TRUE(w.SSCheck1->isChecked());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, StoredEpisode, ::testing::Bool(), programName);

// ---- "Törlés a műtétekből!": review's own, for the episode on show --------------

class SurgeryDelete : public StoredEpisode {
protected:
    void SetUp() override
    {
        StoredEpisode::SetUp();
        addItem("1", "R1", "1");
        addKonv("555555555", QVariant(), false, "1234E0211");
    }
    void pressF8()
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_F8, Qt::NoModifier);
        QApplication::sendEvent(window->DBGrid4, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_F8, Qt::NoModifier);
        QApplication::sendEvent(window->DBGrid4, &release);
    }
};

TEST_P(SurgeryDelete, theButtonAndItsGridAreGoneInEveryOtherMode)
{
    kezdo& w = *window;
    struct Case {
        const char* name;
        std::function<void()> go;
    };
    const Case cases[] = {
        {"Adatfelvitel", [&] { w.fel->trigger(); }},
        {"the toolbar's Adatfelvitel", [&] { w.toolbarButtons[0]->trigger(); }},
        {"2. Feldolgozás", [&] { w.feldolg->trigger(); }},
        {"Vissza", [&] { w.SSCommand2->click(); }},
        {"Vissza, then 2. Feldolgozás",
         [&] {
             w.SSCommand2->click();
             w.feldolg->trigger();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        w.tete->trigger();
        ASSERT_EQ(w.Label1->text(), "1");
        w.SSCommand23->click();
        ASSERT_FALSE(w.DBGrid4->isHidden());
        c.go();
        EXPECT_TRUE(w.SSCommand23->isHidden());
        EXPECT_TRUE(w.DBGrid4->isHidden());
        // Nor does a key that reaches the grid delete anything.
        const QString rows = everyRow();
        boxes->clear();
        boxes->answer(MsgResult::Yes);
        w.Data6->recordset().moveFirst();
        int f8 = 119;
        w.DBGrid4_KeyDown(f8, 0);
        EXPECT_FALSE(boxes.texts().contains("Biztos törli?"));
        EXPECT_EQ(everyRow(), rows);
        w.SSCommand2->click();
    }

    // A new review shows the button with its grid closed.
    w.tete->trigger();
    w.SSCommand23->click();
    w.tete->trigger();
    EXPECT_FALSE(w.SSCommand23->isHidden());
    EXPECT_TRUE(w.DBGrid4->isHidden());
}

TEST_P(SurgeryDelete, f8DeletesTheChosenSurgeryOfTheEpisodeOnShowWithItsItemsAndNothingElse)
{
    kezdo& w = *window;
    w.tete->trigger();
    ASSERT_EQ(w.Label1->text(), "1");
    w.SSCommand23->click();
    ASSERT_TRUE(w.Data6->recordset().findFirst("Mkod = ?", {"12"}));
    // Episode 3 has surgery 12 and items of it too; they stay.
    const QString gone = "Azonosito = '1' and Mkod = '12'";
    const QStringList surgeries = tableRows("műtétek", "not (" + gone + ")");
    const QStringList items = tableRows("Ráfkódok", "not (" + gone + ")");
    const QStringList episodes = tableRows("alap");
    ASSERT_LT(surgeries.size(), tableRows("műtétek").size());
    ASSERT_LT(items.size(), tableRows("Ráfkódok").size());
    // The overview opened from the review and closed again leaves the review
    // on show, the delete with it.
    w.mind->trigger();
    for (QWidget* t : QApplication::topLevelWidgets())
        if (auto* overview = qobject_cast<attekintform*>(t))
            overview->close();
    ASSERT_TRUE(w.isVisible());
    EXPECT_FALSE(w.SSCommand23->isHidden());
    // Something moved the walk off the episode meanwhile (a list, an export).
    w.Data3->recordset().moveLast();

    boxes->clear();
    boxes->answer(MsgResult::Yes);
    pressF8();
    EXPECT_EQ(boxes.texts(), QStringList{"Biztos törli?"});
    EXPECT_EQ(tableRows("műtétek").join('\n'),
              surgeries.join('\n'));
    EXPECT_EQ(tableRows("Ráfkódok").join('\n'),
              items.join('\n'));
    EXPECT_EQ(tableRows("alap").join('\n'),
              episodes.join('\n'));
    // The episode on show is reloaded without the surgery.
    EXPECT_EQ(w.Label1->text(), "1");
    EXPECT_EQ(w.Text23->text(), "1");
    EXPECT_EQ(w.Text9->text(), "");
    EXPECT_TRUE(w.DBGrid4->isHidden());
    EXPECT_FALSE(w.SSCommand23->isHidden());
}

TEST_P(SurgeryDelete, f8NeverReachesTheSurgeriesOfAnEpisodeNoLongerOnShow)
{
    kezdo& w = *window;
    w.tete->trigger();
    // A find that matches nothing, then a step: no episode on show, while
    // the grid still lists the surgeries of the one shown before.
    w.Text19->setText("000000000");
    w.SSCommand26->click();
    w.SSCommand16->click();
    ASSERT_EQ(boxes.texts(), QStringList{"Nincs adat!"});
    w.SSCommand23->click();
    w.Data6->recordset().moveFirst();
    ASSERT_TRUE(w.Data6->recordset().hasCurrent());
    const QString rows = everyRow();
    boxes->clear();
    boxes->answer(MsgResult::Yes);
    pressF8();
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join(" | ").toStdString();
    EXPECT_EQ(everyRow(), rows);
}

INSTANTIATE_TEST_SUITE_P(SurgicalProgram, SurgeryDelete, ::testing::Values(false),
                         [](const ::testing::TestParamInfo<bool>&) { return std::string("Sebrix"); });

// ---- the ward program --------------------------------------------------------

class WardProgram : public EpisodeWindowTest {
protected:
    const ProgramInfo& program() const override { return ProgramInfo::zorivozure(); }
    void SetUp() override
    {
        EpisodeWindowTest::SetUp();
        setInstitution("1234", "Próba Kórház");
        addWard("0101", "E");
        open();
    }
};

TEST_F(WardProgram, storesAndShowsEpisodesWithoutSurgeriesOrOutcome)
{
    kezdo& w = *window;
    w.fel->trigger();
    EXPECT_EQ(w.SSFrame1->caption(), "Adatfelvitel");
    fillManualHeader("987654321");
    w.SSCommand1->click();
    ASSERT_TRUE(boxes.texts().contains(kSaved)) << boxes.texts().join(" | ").toStdString();
    EXPECT_EQ(stored(1, "T_szam").toString(), "987654321");
    EXPECT_EQ(stored(1, "Int_tipus").toString(), "E");
    w.SSCommand2->click();

    boxes->clear();
    w.tete->trigger();
    EXPECT_TRUE(boxes.texts().isEmpty());
    EXPECT_EQ(w.Text3->text(), "987654321");
    w.Text4->setText("000000000");
    boxes->answer(MsgResult::Yes);
    w.SSCommand1->click();
    EXPECT_EQ(stored(1, "Taj").toString(), "000000000");
}

} // namespace
