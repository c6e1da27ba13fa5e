// The ward program's main window: its item tabs with point prices, its own
// save, review and processing, walking, finding and jumping.
#include "tests/app/episode/episodewindow.h"
#include "tests/support/quantityboxcases.h"
#include "tests/support/quickinput.h"

#include "app/common/programinfo.h"
#include "app/ward/wardmain.h"
#include "app/windows/nevjform.h"
#include "platform/db/dataconnection.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbcombo.h"
#include "platform/ui/dbgrid.h"
#include "platform/ui/events.h"
#include "platform/ui/maskedbox.h"
#include "platform/ui/msgbox.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolBar>

#include <functional>

namespace {

using platform::MsgIcon;
using platform::MsgResult;
using platform::db::Database;

const QString kSaved = QStringLiteral("Az adatfelvitel sikeresen lezajlott!");

class WardWindow : public EpisodeWindowTest {
protected:
    const ProgramInfo& program() const override { return ProgramInfo::zorivozure(); }

    void SetUp() override
    {
        EpisodeWindowTest::SetUp();
        setInstitution("1234", "Próba Kórház");
        addWard("0101", "1");
        codes = Database::open(QDir(folder()).filePath(program().codeTableFile));
        codes->exec("delete from SGYOGY");
        codes->exec("delete from ELELEM");
        codes->exec("delete from EGYEB");
        codes->exec("insert into SGYOGY (SKOD, SNEV, SME, SAR) values ('12', 'Amoxil kapszula', 'db', 48), "
                    "('X1', 'Közös kódú gyógyszer', 'db', 10)");
        codes->exec("insert into ELELEM (KOD, NEV, ME, AR) values ('F1', 'Normál étrend', '  ', 100), "
                    "('F2', 'Diéta', NULL, 50), ('F3', 'Ár nélkül', 'adag', NULL), ('X1', 'Közös', 'adag', 1)");
        codes->exec("insert into EGYEB (KOD, NEV, ME, AR, space20) values ('E1', 'Vérkép', '', 12.5, 'Kis vérkép'), "
                    "('E12', 'Ionogram', 'db', 620, ''), ('E2', 'Mellkas röntgen', 'db', 2100, '2 irányú'), "
                    "('X1', 'Közös', 'db', 1, '')");
        open();
    }
    void TearDown() override
    {
        codes.reset();
        EpisodeWindowTest::TearDown();
    }

    void settle()
    {
        for (int i = 0; i < 3; ++i) {
            QApplication::processEvents();
            platform::Events::flush();
        }
    }
    void key(QWidget* target, int qtKey, const QString& text = QString())
    {
        QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier, text);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, qtKey, Qt::NoModifier, text);
        QApplication::sendEvent(target, &release);
    }
    // Picks the tab, types the code, moves on to the quantity box, types the
    // quantity and presses Enter there, as a clerk does.
    void addByKeys(int page, const QString& code, const QString& quantity)
    {
        kezdo& w = *window;
        w.SSTab1->setCurrentIndex(page);
        QLineEdit* codeBox[] = {w.Text1, w.Text5, w.Text8};
        platform::MaskEdBox* quantityBox[] = {w.MaskEdBox7, w.MaskEdBox8, w.MaskEdBox9};
        typeInto(codeBox[page], code);
        focusOn(quantityBox[page]);
        quantityBox[page]->setText(QString());
        typeInto(quantityBox[page], quantity);
        key(quantityBox[page], Qt::Key_Return, QStringLiteral("\r"));
        settle();
    }
    QVariant item(const QString& rkod, const char* field)
    {
        return entered()->scalar(
            QStringLiteral("select \"%1\" from Ráfkódok where Rkod = ?").arg(QString::fromUtf8(field)), {rkod});
    }
    int itemCount() { return count("select count(*) from Ráfkódok"); }
    void addEpisode(qint64 id, const QString& tSzam)
    {
        entered()->exec("insert into alap (Azonosito, Int_kod, Int_tipus, T_szam, Taj, Tsor, Fdat, Fido, Okod, Tdat, "
                        "Tido, Ojele, Vjel, Manuális) values (?, '1234', '1', ?, '123456788', '1', '2005.08.01.', "
                        "'08:00:00', '0101', '2005.08.03.', '10:00:00', '0', 0, 1)",
                        {id, tSzam});
        entered()->exec("update \"Utolso azonosito\" set UTOLSO = ?", {id});
        // As if stored before the window opened.
        window->Data3->refresh();
    }
    void addWardItem(const QString& azonosito, const QString& rkod, const QString& tipus)
    {
        entered()->exec("insert into Ráfkódok (Azonosito, Rkod, Rmen, Tipus) values (?, ?, '1,00', ?)",
                        {azonosito, rkod, tipus});
    }
    void startManualEntry()
    {
        window->fel->trigger();
        settle();
        ASSERT_EQ(window->SSFrame1->caption(), "Adatfelvitel");
        boxes->clear();
    }

    std::shared_ptr<Database> codes;
};

// ---- items ---------------------------------------------------------------------

TEST_F(WardWindow, each_tab_stores_its_item_row_priced_as_the_program_prices_it)
{
    startManualEntry();
    struct Case {
        int page;
        const char* code;
        const char* typed;
        QVariant rmen, pont, egysegar, ertek, me, tipus, manualis, fdat;
    };
    const QVariant null;
    const QList<Case> cases = {
        // Drugs: unit price from the drug table, no points, entry flags written.
        {0, "12", "1,5", "1,50", 0.0, 48.0, 72.0, "db", "G", 1, "2005.08.24."},
        // Food: points from AR, a blank unit stored as "Nap", no entry flags.
        {1, "F1", "2", "2,00", 100.0, 81.6, 163.2, "Nap", "L", 0, null},
        // Food without a unit stores none; without points, no prices.
        {1, "F2", "1", "1,00", 50.0, 40.8, 40.8, null, "L", 0, null},
        {1, "F3", "3", "3,00", null, null, null, "adag", "L", 0, null},
        // Other services: an empty unit stays empty.
        {2, "E1", "2,5", "2,50", 12.5, 10.2, 25.5, "", "E", 0, null},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        boxes->clear();
        addByKeys(c.page, c.code, c.typed);
        EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join(" | ").toStdString();
        EXPECT_EQ(item(c.code, "Azonosito").toString(), "1");
        EXPECT_EQ(item(c.code, "Rmen"), c.rmen);
        EXPECT_EQ(item(c.code, "Rmegnevezés").isNull(), false);
        if (c.pont.isNull())
            EXPECT_TRUE(item(c.code, "Pont").isNull());
        else
            EXPECT_DOUBLE_EQ(item(c.code, "Pont").toDouble(), c.pont.toDouble());
        for (auto [field, expected] : {std::pair{"Egységár", c.egysegar}, std::pair{"Érték", c.ertek}}) {
            if (expected.isNull())
                EXPECT_TRUE(item(c.code, field).isNull()) << field;
            else
                EXPECT_NEAR(item(c.code, field).toDouble(), expected.toDouble(), 1e-9) << field;
        }
        EXPECT_EQ(item(c.code, "Me"), c.me);
        EXPECT_EQ(item(c.code, "Tipus"), c.tipus);
        EXPECT_EQ(item(c.code, "Manuális").toInt(), c.manualis.toInt());
        EXPECT_EQ(item(c.code, "Fdat"), c.fdat);
    }
    EXPECT_EQ(count("select count(*) from Ráfkódok where Tipus = 'D'"), 0);
    // After each add the tab is empty again, its code box has the focus.
    EXPECT_EQ(window->Text8->text(), "");
    EXPECT_EQ(window->Text9->text(), "");
    EXPECT_EQ(QApplication::focusWidget(), window->Text8);
}

TEST_F(WardWindow, other_services_add_button_takes_the_quantity_just_typed)
{
    kezdo& w = *window;
    startManualEntry();
    w.SSTab1->setCurrentIndex(2);
    typeInto(w.Text8, "E2");
    focusOn(w.MaskEdBox9);
    typeInto(w.MaskEdBox9, "3");
    // The button is pressed at once, no event settled in between.
    w.SSCommand5->click();
    EXPECT_EQ(item("E2", "Rmen"), "3,00");
    EXPECT_NEAR(item("E2", "Érték").toDouble(), 3 * 2100 * 0.816, 1e-9);
}

// Each quantity box, once left, shows its quantity formatted ("$1 234,50")
// and hands that text less its "$" to the add, which stores it as before;
// back in the box the clerk edits what was typed. The add button is clicked
// straight from the box, with nothing settled in between.
TEST_F(WardWindow, quantity_boxes_show_their_format_when_left_and_store_the_shown_text_less_its_first_character)
{
    kezdo& w = *window;
    startManualEntry();
    QLineEdit* codeBox[] = {w.Text1, w.Text5, w.Text8};
    platform::MaskEdBox* quantityBox[] = {w.MaskEdBox7, w.MaskEdBox8, w.MaskEdBox9};
    QLineEdit* quantityText[] = {w.Text2, w.Text7, w.Text9};
    QWidget* addButton[] = {w.SSCommand3, w.SSCommand4, w.SSCommand5};
    const char* code[] = {"12", "F1", "E2"};
    const double unitPrice[] = {48, 100 * 0.816, 2100 * 0.816};
    for (int page = 0; page < 3; ++page) {
        for (const auto& c : testsupport::kQuantityBoxCases) {
            SCOPED_TRACE(std::to_string(page) + " " + c.typed);
            entered()->exec("delete from Ráfkódok");
            boxes->clear();
            w.SSTab1->setCurrentIndex(page);
            codeBox[page]->clear(); // a refusal keeps what was typed
            typeInto(codeBox[page], code[page]);
            focusOn(quantityBox[page]);
            quantityBox[page]->setText(QString());
            typeInto(quantityBox[page], c.typed);
            focusOn(codeBox[page]);
            EXPECT_EQ(quantityBox[page]->shownText(), c.shown);
            EXPECT_EQ(quantityBox[page]->text(), c.typed);
            EXPECT_EQ(quantityText[page]->text(), c.handedOn);
            focusOn(quantityBox[page]);
            EXPECT_EQ(quantityBox[page]->shownText(), c.typed);
            testsupport::quickClick(addButton[page]);
            settle();
            if (c.stored) {
                EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join(" | ").toStdString();
                EXPECT_EQ(item(code[page], "Rmen"), c.stored);
                EXPECT_DOUBLE_EQ(item(code[page], "Érték").toDouble(), unitPrice[page] * c.quantity);
                EXPECT_EQ(quantityBox[page]->shownText(), "");
                EXPECT_EQ(quantityText[page]->text(), "");
            } else {
                EXPECT_EQ(boxes.texts(), QStringList{"Nem jó a mennyiség formátuma!"});
                EXPECT_EQ(itemCount(), 0);
                EXPECT_EQ(quantityBox[page]->text(), c.typed);
            }
        }
    }
}

// Whatever puts a drug quantity into the box or takes it out behind the
// clerk's back - the activation that starts it at 1 again, a refused code
// that empties it - the add stores the quantity on show, or refuses as for
// no quantity when none is on show; never the one typed before.
TEST_F(WardWindow, drug_add_stores_the_quantity_on_show_after_the_box_was_set_behind_the_clerks_back)
{
    kezdo& w = *window;
    startManualEntry();
    const struct {
        const char* what;
        std::function<void()> meanwhile;
        const char* shown;
        const char* stored; // nullptr: refused
    } cases[] = {
        {"the about box opened and closed",
         [&] {
             w.nevj->trigger();
             ASSERT_TRUE(w.nevjWindow);
             QWidget* about = w.nevjWindow;
             platform::ActivationTracker::instance().windowActivated(about);
             about->close();
             settle();
             platform::ActivationTracker::instance().windowActivated(&w);
             settle();
         },
         "$1,00", "1,00"},
        {"an unknown code refused",
         [&] {
             focusOn(w.Text1);
             w.Text1->setText("ZZ");
             focusOn(w.DBGrid3);
             focusOn(w.Text1);
             typeInto(w.Text1, "12");
         },
         "", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        entered()->exec("delete from Ráfkódok");
        w.SSTab1->setCurrentIndex(0);
        w.Text1->clear();
        typeInto(w.Text1, "12");
        focusOn(w.MaskEdBox7);
        w.MaskEdBox7->setText(QString());
        typeInto(w.MaskEdBox7, "5");
        focusOn(w.Text1);
        ASSERT_EQ(w.Text2->text(), "5,00");
        c.meanwhile();
        EXPECT_EQ(w.MaskEdBox7->shownText(), c.shown);
        boxes->clear();
        w.SSCommand3->click();
        settle();
        if (c.stored) {
            EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join(" | ").toStdString();
            EXPECT_EQ(item("12", "Rmen"), c.stored);
            EXPECT_DOUBLE_EQ(item("12", "Érték").toDouble(), 48 * QString::fromUtf8(c.stored).replace(',', '.').toDouble());
        } else {
            EXPECT_EQ(boxes.texts(), QStringList{"Meg kell adnia a mennyiséget is!"});
            EXPECT_EQ(itemCount(), 0);
        }
    }
}

TEST_F(WardWindow, repeated_code_is_asked_once_for_every_stored_item_of_any_type)
{
    kezdo& w = *window;
    startManualEntry();
    addWardItem("1", "X1", "L");
    addWardItem("1", "X1", "E");
    struct Case {
        int page;
        const char* question;
    };
    const QList<Case> cases = {
        {0, "Ebből a kódból már lett felvive!Akarja újra felvinni?"},
        {1, "Ebből a kódból már lett felvive!,Akarja újra felvinni?"},
        {2, "Ebből a kódból már lett felvive!Akarja felvinni?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        const int before = itemCount();
        boxes->clear();
        boxes->answer(MsgResult::Yes);
        boxes->answer(MsgResult::No);
        addByKeys(c.page, "X1", "1");
        EXPECT_EQ(boxes.texts(), (QStringList{c.question, c.question}));
        EXPECT_EQ(boxes.shown().at(0).title, "Figyelmeztetés!");
        EXPECT_EQ(itemCount(), before);
        // Yes to every question stores one more.
        boxes->clear();
        for (int i = 0; i < before; ++i)
            boxes->answer(MsgResult::Yes);
        QLineEdit* codeBox[] = {w.Text1, w.Text5, w.Text8};
        QLineEdit* quantityText[] = {w.Text2, w.Text7, w.Text9};
        codeBox[c.page]->setText("X1");
        quantityText[c.page]->setText("1,00");
        w.ward->addItem(c.page);
        EXPECT_EQ(boxes.texts().size(), before);
        EXPECT_EQ(itemCount(), before + 1);
    }
}

TEST_F(WardWindow, quantities_that_do_not_read_as_numbers_are_refused_before_anything_is_stored)
{
    kezdo& w = *window;
    startManualEntry();
    for (const char* quantity : {"1,2,3", "abc", "-5", "(5,00)", "1.234,50", "2,5x"}) {
        SCOPED_TRACE(quantity);
        boxes->clear();
        w.Text5->setText("F1");
        w.Text7->setText(QString::fromUtf8(quantity));
        w.ward->SSCommand4_Click();
        EXPECT_EQ(boxes.texts(), QStringList{"Nem jó a mennyiség formátuma!"});
        EXPECT_EQ(itemCount(), 0);
    }
    // The format is judged before the code is missed.
    boxes->clear();
    w.Text1->clear();
    w.Text2->setText("1,2,3");
    w.ward->SSCommand3_Click();
    EXPECT_EQ(boxes.texts(), QStringList{"Nem jó a mennyiség formátuma!"});
    boxes->clear();
    w.Text2->clear();
    w.ward->SSCommand3_Click();
    EXPECT_EQ(boxes.texts(), QStringList{"Nincs kiválasztott kód!"});
    boxes->clear();
    w.Text1->setText("12");
    w.ward->SSCommand3_Click();
    EXPECT_EQ(boxes.texts(), QStringList{"Meg kell adnia a mennyiséget is!"});
    EXPECT_EQ(itemCount(), 0);
}

TEST_F(WardWindow, other_services_code_box_narrows_the_table_and_shows_the_only_codes_hint)
{
    kezdo& w = *window;
    startManualEntry();
    w.Text8->setText("E");
    EXPECT_EQ(w.Data5->recordset().recordCount(), 3);
    EXPECT_EQ(w.SSPanel27->caption(), "");
    w.Text8->setText("E2");
    EXPECT_EQ(w.Data5->recordset().recordCount(), 1);
    EXPECT_EQ(w.SSPanel27->caption(), "2 irányú");
    // A single code without a hint of its own leaves the last one.
    w.Text8->setText("E12");
    EXPECT_EQ(w.SSPanel27->caption(), "2 irányú");
    // Emptying restores the whole table and keeps the hint.
    w.Text8->clear();
    EXPECT_EQ(w.Data5->recordset().recordCount(), 4);
    EXPECT_EQ(w.SSPanel27->caption(), "2 irányú");
    // Typed pattern characters of the engine are plain characters.
    w.Text8->setText("%");
    EXPECT_EQ(w.Data5->recordset().recordCount(), 0);
    EXPECT_EQ(w.SSPanel27->caption(), "");
}

TEST_F(WardWindow, unknown_code_is_refused_and_every_box_of_the_tab_emptied)
{
    kezdo& w = *window;
    startManualEntry();
    w.SSTab1->setCurrentIndex(1);
    typeInto(w.Text5, "ZZ");
    boxes->answer(MsgResult::Yes);
    focusOn(w.MaskEdBox8);
    EXPECT_EQ(boxes.texts(), QStringList{"Nincs ilyen kód!Beír másikat?"});
    EXPECT_EQ(w.Text5->text(), "");
    EXPECT_EQ(w.DBCombo3->text(), "");
    EXPECT_EQ(QApplication::focusWidget(), w.Text5);
}

TEST_F(WardWindow, search_runs_on_the_tab_that_opened_it)
{
    kezdo& w = *window;
    startManualEntry();
    // Food: the entry frame stays usable; a name search closes the frame.
    w.SSCommand22->click();
    EXPECT_TRUE(w.SSFrame6->isVisible());
    EXPECT_TRUE(w.SSFrame1->isEnabled());
    EXPECT_EQ(w.Label18->text(), "L");
    w.SSOption2->click();
    w.Text18->setText("étr");
    w.SSCommand20->click();
    EXPECT_FALSE(w.SSFrame6->isVisible());
    EXPECT_EQ(w.Data6->recordset().recordCount(), 1);

    // Nothing found: a plain box, the whole table back, the frame open.
    w.Text5->setText("F1");
    w.SSCommand22->click();
    w.Text18->setText("nincs");
    w.SSCommand20->click();
    ASSERT_EQ(boxes.texts(), QStringList{"Nincs ilyen!"});
    EXPECT_EQ(boxes.shown().at(0).icon, MsgIcon::None);
    EXPECT_EQ(boxes.shown().at(0).title, "Zorivozure");
    EXPECT_TRUE(w.SSFrame6->isVisible());
    EXPECT_EQ(w.Text5->text(), "F1");
    EXPECT_EQ(w.Data6->recordset().recordCount(), 4);
    w.SSCommand21->click();

    // Drugs: the entry frame waits for the search; a failed one empties the code.
    boxes->clear();
    w.Text1->setText("12");
    w.SSCommand19->click();
    EXPECT_FALSE(w.SSFrame1->isEnabled());
    w.Text18->setText("9");
    w.SSCommand20->click();
    EXPECT_EQ(w.Text1->text(), "");
    w.Text18->setText("1");
    w.SSCommand20->click();
    EXPECT_TRUE(w.SSFrame1->isEnabled());
    EXPECT_EQ(w.Data7->recordset().recordCount(), 1);
}

// ---- save -------------------------------------------------------------------------

TEST_F(WardWindow, manual_episode_is_stored_once_with_its_identifier)
{
    kezdo& w = *window;
    startManualEntry();
    fillManualHeader("987654321");
    w.Text14->clear();
    w.SSCheck2->setChecked(true);
    boxes->answer(MsgResult::Yes);
    w.SSCommand1->click();
    EXPECT_EQ(boxes.texts(), (QStringList{"Biztos fel akarja venni?", kSaved}));
    EXPECT_EQ(stored(1, "Manuális").toInt(), 1);
    EXPECT_EQ(stored(1, "Vjel").toInt(), 1);
    EXPECT_EQ(stored(1, "Tsor").toString(), "0");
    EXPECT_EQ(stored(1, "Fido").toString(), "09:59:00");
    EXPECT_EQ(stored(1, "Int_tipus").toString(), "1");
    EXPECT_EQ(w.Text14->text(), "0");
    EXPECT_EQ(count("select UTOLSO from \"Utolso azonosito\""), 1);
    EXPECT_TRUE(w.SSCheck1->isChecked());

    boxes->clear();
    boxes->answer(MsgResult::Yes);
    w.SSCommand1->click();
    EXPECT_EQ(boxes.texts(), (QStringList{"Biztos fel akarja venni?", "Feldolgozott rekordot nem lehet újra felvinni!"}));
    EXPECT_EQ(count("select count(*) from alap"), 1);
}

// The institution code is the program's to fill: the clerk can neither type
// into it nor be sent to it by a refusal.
TEST_F(WardWindow, missing_institution_code_never_sends_the_focus_to_the_filled_in_box)
{
    kezdo& w = *window;
    startManualEntry();
    EXPECT_FALSE(w.Text6->isEnabled());
    w.Text6->clear();
    boxes->answer(MsgResult::Yes);
    w.SSCommand1->click();
    settle();
    EXPECT_EQ(boxes.texts(), (QStringList{"Biztos fel akarja venni?", "Hiányzik az intézetkód!"}));
    EXPECT_EQ(QApplication::focusWidget(), w.Text3);
    EXPECT_EQ(count("select count(*) from alap"), 0);
}

TEST_F(WardWindow, review_modifies_in_place_and_manual_entry_after_it_adds_again)
{
    kezdo& w = *window;
    addEpisode(7, "111111111");
    w.tete->trigger();
    EXPECT_EQ(w.SSCommand1->caption(), "Módosítás");
    EXPECT_TRUE(w.SSCommand1->isVisible());
    w.Text4->setText("000000000");
    boxes->answer(MsgResult::Yes);
    w.SSCommand1->click();
    EXPECT_EQ(stored(7, "Taj").toString(), "000000000");
    EXPECT_EQ(count("select UTOLSO from \"Utolso azonosito\""), 7);

    // Manual entry straight after review adds a new episode.
    startManualEntry();
    EXPECT_FALSE(w.SSCheck5->isChecked());
    EXPECT_EQ(w.SSCommand1->caption(), "Felvitel");
    EXPECT_EQ(w.Label1->text(), "8");
    fillManualHeader("222222222");
    boxes->answer(MsgResult::Yes);
    w.SSCommand1->click();
    EXPECT_EQ(count("select count(*) from alap"), 2);
    EXPECT_EQ(stored(7, "T_szam").toString(), "111111111");
    EXPECT_EQ(stored(8, "T_szam").toString(), "222222222");
}

TEST_F(WardWindow, modification_writes_the_episode_on_show_wherever_the_walk_stands)
{
    kezdo& w = *window;
    addEpisode(7, "111111111");
    addEpisode(8, "222222222");
    w.tete->trigger();
    w.SSCommand16->click();
    ASSERT_EQ(w.Label1->text(), "8");
    // Something else moves the episode connection (a list, an export).
    w.Data3->recordset().moveFirst();
    w.Text4->setText("000000000");
    boxes->clear();
    boxes->answer(MsgResult::Yes);
    w.SSCommand1->click();
    EXPECT_EQ(boxes.texts(), (QStringList{"Biztos fel akarja venni?", kSaved}));
    EXPECT_EQ(stored(8, "Taj").toString(), "000000000");
    EXPECT_EQ(stored(8, "T_szam").toString(), "222222222");
    EXPECT_EQ(stored(7, "Taj").toString(), "123456788");
    EXPECT_EQ(stored(7, "T_szam").toString(), "111111111");

    // The episode on show was deleted meanwhile: refused, nothing written.
    entered()->exec("delete from alap where Azonosito = 8");
    boxes->clear();
    boxes->answer(MsgResult::Yes);
    w.SSCommand1->click();
    EXPECT_EQ(boxes.texts().last(), "A módosítandó adatlap nincs felvéve! Nem lehet módosítani!");
    EXPECT_EQ(count("select count(*) from alap"), 1);
    EXPECT_EQ(stored(7, "Taj").toString(), "123456788");
}

TEST_F(WardWindow, a_refused_modification_leaves_the_stored_mark_and_the_form)
{
    kezdo& w = *window;
    addEpisode(7, "111111111");
    int printed = 0;
    w.printCertificate = [&] { ++printed; };
    struct Case {
        const char* spoiled;
        std::function<void()> spoil;
        QString refusal;
    };
    const Case cases[] = {
        {"register number", [&] { w.Text3->setText(" "); }, "Hiányzik a törzsszám!"},
        {"institution code", [&] { w.Text6->clear(); }, "Hiányzik az intézetkód!"},
        {"ward sign", [&] { w.Combo2->setEditText(""); }, "Hiányzik az ellátást végző osztály jele!"},
        {"admission date", [&] { w.MaskEdBox1->setText(""); }, "Üres felvételi dátum!"},
    };
    for (const Case& c : cases) {
        w.tete->trigger();
        ASSERT_TRUE(w.SSCheck1->isChecked());
        boxes->clear();
        c.spoil();
        w.Text14->clear(); // a save would put "0" here
        boxes->answer(MsgResult::Yes);
        w.SSCommand1->click();
        EXPECT_EQ(boxes.texts(), (QStringList{"Biztos fel akarja venni?", c.refusal})) << c.spoiled;
        EXPECT_TRUE(w.SSCheck1->isChecked()) << c.spoiled;
        EXPECT_EQ(w.SSCommand1->caption(), "Módosítás") << c.spoiled;
        EXPECT_EQ(w.Text14->text(), "") << c.spoiled;
        EXPECT_EQ(stored(7, "T_szam").toString(), "111111111") << c.spoiled;

        // The certificate still sees a stored episode.
        boxes->clear();
        const int before = printed;
        w.certificateButton()->click();
        EXPECT_TRUE(boxes.texts().isEmpty()) << c.spoiled << ": " << boxes.texts().join(" | ").toStdString();
        EXPECT_EQ(printed, before + 1) << c.spoiled;
        w.SSCommand2->click();
    }

    // Once every check passes, the modification is stored and the mark stays.
    w.tete->trigger();
    w.Text4->setText("000000000");
    boxes->clear();
    boxes->answer(MsgResult::Yes);
    w.SSCommand1->click();
    EXPECT_EQ(boxes.texts(), (QStringList{"Biztos fel akarja venni?", kSaved}));
    EXPECT_EQ(stored(7, "Taj").toString(), "000000000");
    EXPECT_TRUE(w.SSCheck1->isChecked());
}

TEST_F(WardWindow, review_of_an_empty_selection_refuses_the_save)
{
    kezdo& w = *window;
    w.tete->trigger();
    EXPECT_EQ(boxes.texts(), QStringList{"Nincs adat!"});
    EXPECT_EQ(w.Label8->text(), "0");
    boxes->clear();
    // The form was left as it was (empty), so the clerk types a whole header.
    fillManualHeader("333333333");
    w.Text6->setText("1234");
    w.MaskEdBox1->setText("2005.08.24.");
    w.MaskEdBox2->setText("08:00");
    w.MaskEdBox3->setText("2005.08.24.");
    w.MaskEdBox4->setText("10:00");
    boxes->answer(MsgResult::Yes);
    w.SSCommand1->click();
    EXPECT_EQ(boxes.texts().last(), "A módosítandó adatlap nincs felvéve! Nem lehet módosítani!");
    EXPECT_EQ(count("select count(*) from alap"), 0);
}

TEST_F(WardWindow, review_loads_a_row_with_empty_fields)
{
    kezdo& w = *window;
    entered()->exec("insert into alap (Azonosito, T_szam) values (3, '444')");
    w.Data3->refresh();
    w.tete->trigger();
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join(" | ").toStdString();
    EXPECT_EQ(w.Label1->text(), "3");
    EXPECT_EQ(w.Text3->text(), "444");
    EXPECT_EQ(w.Text4->text(), "");
}

// ---- processing, walking, finding, jumping -------------------------------------------

TEST_F(WardWindow, processing_save_writes_episode_identifier_and_mark_together_and_walks_on_to_a_new_one)
{
    kezdo& w = *window;
    addKonv("100000001", QVariant(), false);
    addKonv("100000002", QVariant(), false);
    w.feldolg->trigger();
    EXPECT_EQ(w.SSFrame1->caption(), "Adatleválogatás a TALVIRON floppyról");
    EXPECT_EQ(w.Label1->text(), "1");
    EXPECT_EQ(w.Label8->text(), "2");
    EXPECT_EQ(w.Text3->text(), "100000001");
    EXPECT_EQ(w.Text11->text(), "0101");
    w.Combo2->setEditText("0 - Saját osztály");
    addByKeys(0, "12", "1");
    EXPECT_EQ(item("12", "Manuális").toInt(), 0);

    boxes->clear();
    boxes->answer(MsgResult::Yes); // save
    boxes->answer(MsgResult::No);  // not for another ward: processed
    w.SSCommand1->click();
    EXPECT_EQ(boxes.texts(),
              (QStringList{"Biztos fel akarja venni?", "Kívánja más osztályhoz is rögzíteni?", kSaved}));
    EXPECT_EQ(stored(1, "Manuális").toInt(), 0);
    EXPECT_EQ(stored(1, "Betegseg").toString(), "I2100");
    EXPECT_EQ(converted()->scalar("select Feldolgozva from konv where Torzsszam = '100000001'").toInt(), 1);
    EXPECT_EQ(count("select UTOLSO from \"Utolso azonosito\""), 1);

    // The next record is a new episode: its own identifier, no items yet.
    boxes->clear();
    w.SSCommand9->click();
    EXPECT_EQ(w.Text3->text(), "100000002");
    EXPECT_EQ(w.Label1->text(), "2");
    EXPECT_EQ(w.Data8->recordset().recordCount(), 0);
    boxes->answer(MsgResult::Yes);
    boxes->answer(MsgResult::Yes); // for another ward too: stays unprocessed
    w.SSCommand1->click();
    EXPECT_EQ(count("select count(*) from alap"), 2);
    EXPECT_EQ(converted()->scalar("select Feldolgozva from konv where Torzsszam = '100000002'").toInt(), 0);
}

TEST_F(WardWindow, processing_keeps_and_shows_the_items_left_under_the_next_identifier_until_vissza)
{
    // An entry that never ended left its items under the identifier that
    // processing shows next: the only copy of that work.
    addWardItem("1", "12", "G");
    addWardItem("1", "F1", "L");
    addWardItem("2", "E1", "E");
    addKonv("100000001", QVariant(), false);
    addKonv("100000002", QVariant(), false);
    kezdo& w = *window;
    w.feldolg->trigger();
    ASSERT_EQ(w.Label1->text(), "1");
    EXPECT_EQ(count("select count(*) from Ráfkódok where Azonosito = '1'"), 2);
    EXPECT_EQ(w.Data8->recordset().recordCount(), 2);

    w.SSCommand2->click();
    EXPECT_EQ(count("select count(*) from Ráfkódok where Azonosito = '1'"), 0);
    EXPECT_EQ(count("select count(*) from Ráfkódok"), 1);
}

TEST_F(WardWindow, a_failed_processing_save_leaves_episode_identifier_and_mark_untouched)
{
    kezdo& w = *window;
    addKonv("100000001", QVariant(), false);
    w.feldolg->trigger();
    w.Combo2->setEditText("0 - Saját osztály");
    // Someone else stored this identifier meanwhile.
    entered()->exec("insert into alap (Azonosito, T_szam) values (1, 'más')");
    boxes->clear();
    boxes->answer(MsgResult::Yes);
    boxes->answer(MsgResult::No);
    w.SSCommand1->click();
    EXPECT_TRUE(boxes.texts().last().startsWith("Az adatfelvitel nem sikerült")) << boxes.texts().last().toStdString();
    EXPECT_EQ(count("select count(*) from alap"), 1);
    EXPECT_EQ(count("select UTOLSO from \"Utolso azonosito\""), 0);
    EXPECT_EQ(converted()->scalar("select Feldolgozva from konv").toInt(), 0);
    EXPECT_FALSE(w.SSCheck1->isChecked());
}

TEST_F(WardWindow, converted_records_walk_to_both_ends)
{
    kezdo& w = *window;
    for (const char* t : {"1", "2", "3"})
        addKonv(t, QVariant(), false);
    w.feldolg->trigger();
    EXPECT_EQ(w.Label7->text(), "0");
    boxes->clear();
    w.SSCommand8->click();
    EXPECT_EQ(boxes.texts(), QStringList{"Adatbázis eleje!"});
    EXPECT_EQ(boxes.shown().at(0).icon, MsgIcon::None);
    w.SSCommand9->click();
    w.SSCommand9->click();
    EXPECT_EQ(w.Label7->text(), "2");
    EXPECT_EQ(w.Text3->text(), "3");
    boxes->clear();
    w.SSCommand9->click();
    EXPECT_EQ(boxes.texts(), QStringList{"Adatbázis vége!"});
    EXPECT_EQ(w.Text3->text(), "3");
    EXPECT_EQ(w.Label7->text(), "2");
}

TEST_F(WardWindow, stored_episodes_walk_to_both_ends)
{
    kezdo& w = *window;
    addEpisode(1, "111");
    addEpisode(2, "222");
    w.tete->trigger();
    EXPECT_EQ(w.Label7->text(), "1");
    EXPECT_EQ(w.Label8->text(), "2");
    w.SSCommand16->click();
    EXPECT_EQ(w.Label7->text(), "2");
    EXPECT_EQ(w.Text3->text(), "222");
    boxes->clear();
    w.SSCommand16->click();
    EXPECT_EQ(boxes.texts(), QStringList{"Adatbázis vége!"});
    EXPECT_EQ(w.Label7->text(), "2");
    w.SSCommand15->click();
    EXPECT_EQ(w.Text3->text(), "111");
    boxes->clear();
    w.SSCommand15->click();
    EXPECT_EQ(boxes.texts(), QStringList{"Adatbázis eleje!"});
    EXPECT_EQ(w.Label7->text(), "1");
}

TEST_F(WardWindow, find_by_register_number_in_review_and_in_processing)
{
    kezdo& w = *window;
    addEpisode(1, "111");
    addEpisode(2, "222");
    addEpisode(3, "222");
    w.tete->trigger();
    w.SSCommand25->click();
    w.Text19->setText("222");
    w.SSCommand26->click();
    EXPECT_EQ(w.Label8->text(), "2");
    EXPECT_EQ(w.Label7->text(), "1");
    EXPECT_EQ(w.Label1->text(), "2");
    // Typed pattern characters are plain: nothing is found, nothing changes.
    w.Text19->setText("22%");
    w.SSCommand26->click();
    EXPECT_EQ(w.Label1->text(), "2");
    // Walking the empty selection that find left is no failure.
    boxes->clear();
    w.SSCommand16->click();
    w.SSCommand16->click();
    EXPECT_TRUE(boxes.texts().contains("Adatbázis vége!"));
    w.SSCommand2->click();

    addKonv("555", QVariant(), false);
    addKonv("555", QVariant(), true);
    addKonv("666", QVariant(), true);
    w.feldolg->trigger();
    w.Text19->setText("555");
    w.SSCommand26->click();
    EXPECT_EQ(w.Label8->text(), "1");
    EXPECT_FALSE(w.SSCheck1->isVisible());
    // A blank register number selects every record, processed ones too.
    w.Text19->setText(" ");
    w.SSCommand26->click();
    EXPECT_EQ(w.Label8->text(), "3");
    w.SSCommand9->click();
    w.SSCommand9->click();
    EXPECT_EQ(w.Text3->text(), "666");
    // Processed, shown under the next free identifier, which is not stored.
    EXPECT_TRUE(w.SSCheck1->isVisible());
    EXPECT_FALSE(w.SSCheck1->isChecked());
    // An empty find keeps the record on show and the walk it belongs to.
    w.Text19->setText("nincs");
    w.SSCommand26->click();
    EXPECT_EQ(w.Text3->text(), "666");
    EXPECT_EQ(w.Label8->text(), "3");
    boxes->clear();
    w.SSCommand9->click();
    EXPECT_EQ(boxes.texts(), QStringList{"Adatbázis vége!"});
    w.SSCommand8->click();
    EXPECT_EQ(w.Label7->text(), "1");
}

TEST_F(WardWindow, a_review_after_a_find_that_met_nothing_keeps_the_episode_and_its_items_on_show)
{
    kezdo& w = *window;
    addEpisode(1, "111");
    addEpisode(2, "222");
    addWardItem("1", "E1", "E");
    addWardItem("2", "12", "G");
    addWardItem("2", "F1", "L");
    auto shownItems = [&] {
        QStringList codes;
        const auto& m = w.DBGrid1->recordsetModel();
        for (int r = 0; r < m.rowCount(); ++r)
            for (int c = 0; c < m.columnCount(); ++c)
                if (m.headerData(c, Qt::Horizontal).toString() == "Ráfordításkód")
                    codes << m.data(m.index(r, c)).toString();
        return codes;
    };
    w.tete->trigger();
    w.SSCommand25->click();
    w.Text19->setText("222");
    w.SSCommand26->click();
    ASSERT_EQ(w.Label1->text(), "2");
    const QStringList items = shownItems();
    ASSERT_EQ(items, (QStringList{"12", "F1"}));

    w.SSCommand25->click();
    w.Text19->setText("nincs");
    w.SSCommand26->click();
    boxes->clear();
    w.tete->trigger();
    EXPECT_EQ(boxes.texts(), QStringList{"Nincs adat!"});
    EXPECT_EQ(w.Label1->text(), "2");
    EXPECT_EQ(w.Text3->text(), "222");
    EXPECT_EQ(shownItems(), items);
}

TEST_F(WardWindow, jump_takes_the_whole_record_and_a_position_outside_changes_nothing)
{
    kezdo& w = *window;
    for (const char* t : {"1", "2", "3", "4", "5"})
        addKonv(t, QVariant(), false, QStringLiteral("9876A0202"));
    w.feldolg->trigger();
    w.Text12->setText("2");
    w.SSCommand10->click();
    EXPECT_EQ(w.Label7->text(), "3");
    EXPECT_EQ(w.Text3->text(), "3");
    EXPECT_EQ(w.Text6->text(), "9876");
    EXPECT_EQ(w.Label6->text(), "A");
    EXPECT_EQ(w.Text11->text(), "0202");
    EXPECT_EQ(w.MaskEdBox2->text(), "08:05");
    EXPECT_EQ(w.MaskEdBox3->text(), "2005.08.30.");
    EXPECT_EQ(w.Text12->text(), "");
    for (const char* outside : {"5", "-1", "99"}) {
        w.Text12->setText(outside);
        w.SSCommand10->click();
        EXPECT_EQ(w.Text3->text(), "3") << outside;
        EXPECT_EQ(w.Label7->text(), "3") << outside;
    }
    w.Text12->clear();
    w.SSCommand10->click();
    EXPECT_EQ(w.Text3->text(), "1");
    EXPECT_EQ(w.Label7->text(), "1");
}

TEST_F(WardWindow, new_episode_in_processing_takes_the_first_unprocessed_record)
{
    kezdo& w = *window;
    addKonv("1", QVariant(), false);
    addKonv("2", QVariant(), false);
    w.feldolg->trigger();
    w.SSCommand9->click();
    EXPECT_EQ(w.Text3->text(), "2");
    boxes->answer(MsgResult::Yes);
    w.SSCommand14->click();
    EXPECT_EQ(w.Text3->text(), "1");
    EXPECT_EQ(w.Label7->text(), "0");
    EXPECT_EQ(w.Label8->text(), "2");
}

// ---- set-ups and controls without a row ---------------------------------------------

TEST_F(WardWindow, manual_entry_opens_the_diagnostics_table_on_the_code_tables)
{
    kezdo& w = *window;
    startManualEntry();
    ASSERT_NE(w.Data12->database(), nullptr);
    EXPECT_EQ(w.Data12->database(), w.codeTables());
    EXPECT_EQ(w.Data12->recordSource(), "select * from Diagnos order by kod");
    EXPECT_EQ(w.SSTab1->tabText(3), "Diagnosztika");
    EXPECT_TRUE(w.SSPanel29->isVisibleTo(w.SSTab1->widget(3)));
}

TEST_F(WardWindow, combo_click_or_grid_enter_without_a_row_does_nothing)
{
    kezdo& w = *window;
    startManualEntry();
    w.Text5->setText("F9"); // narrows the food table to nothing
    ASSERT_EQ(w.Data6->recordset().recordCount(), 0);
    int enter = 13;
    w.ward->grid_KeyDown(1, enter, 0);
    w.ward->grid_DblClick(1);
    w.ward->combo_Click(1);
    w.ward->combo_Click(2);
    EXPECT_EQ(w.Text5->text(), "F9");
    EXPECT_TRUE(boxes.texts().isEmpty());
}

} // namespace

namespace {

TEST_F(WardWindow, processing_set_up_takes_the_first_unprocessed_record_and_sets_its_flags)
{
    kezdo& w = *window;
    entered()->exec("update \"Utolso azonosito\" set UTOLSO = 41");
    addKonv("1", QVariant(), true);
    addKonv("2", QVariant(), false);
    addKonv("3", QVariant(), false);
    w.SSCheck4->setChecked(true);
    w.feldolg->trigger();
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join(" | ").toStdString();
    EXPECT_EQ(w.Label8->text(), "2");
    EXPECT_EQ(w.Label7->text(), "0");
    EXPECT_EQ(w.Label1->text(), "42");
    EXPECT_EQ(w.Text3->text(), "2");
    EXPECT_TRUE(w.SSCheck3->isChecked());
    EXPECT_FALSE(w.SSCheck4->isChecked());
    // The panel shows the record's own identifier, care type included,
    // whatever care type the ward table gives its ward.
    EXPECT_EQ(w.SSPanel22->caption(), "1234E0101");
    EXPECT_FALSE(w.adAction->isEnabled());
    for (QWidget* shown : std::initializer_list<QWidget*>{w.SSCommand8, w.SSCommand9, w.SSCommand10, w.Text12,
                                                          w.SSCommand25, w.Text11})
        EXPECT_TRUE(shown->isVisible()) << shown->objectName().toStdString();
    EXPECT_FALSE(w.DBCombo1->isVisible());
}

TEST_F(WardWindow, processing_with_nothing_to_process_gives_the_window_back)
{
    kezdo& w = *window;
    addKonv("1", QVariant(), true);
    w.feldolg->trigger();
    EXPECT_EQ(boxes.texts(), QStringList{"Nincs konvertált feldolgozandó adat!"});
    EXPECT_EQ(boxes.shown().at(0).title, "Figyelmeztetés");
    EXPECT_FALSE(w.SSFrame1->isVisible());
    EXPECT_TRUE(w.adAction->isEnabled());
    EXPECT_TRUE(w.Toolbar1->isEnabled());
}

TEST_F(WardWindow, manual_entry_without_institution_data_is_refused)
{
    kezdo& w = *window;
    entered()->exec("delete from intadatok");
    w.fel->trigger();
    EXPECT_EQ(boxes.texts(), QStringList{"Ki kell töltenie az intézeti adatokat"});
    EXPECT_FALSE(w.SSFrame1->isVisible());
    EXPECT_TRUE(w.adAction->isEnabled());
}

} // namespace
