// The real main window, headless: surgery slots and item tabs driven through
// the control events, read back from the database.
#include "tests/app/entry/entryfixture.h"
#include "tests/support/otherprogram.h"
#include "tests/support/quantityboxcases.h"
#include "tests/support/quickinput.h"

#include "app/common/kezdo.h"
#include "app/common/programinfo.h"
#include "app/entry/itemrules.h"
#include "platform/db/dataconnection.h"
#include "platform/sys/regional.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbcombo.h"
#include "platform/ui/dbgrid.h"
#include "platform/ui/events.h"
#include "platform/ui/maskedbox.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

#include <functional>
#include <optional>

using platform::MsgResult;

namespace {

class ItemWindow : public EntryDataFolder {
protected:
    void SetUp() override
    {
        EntryDataFolder::SetUp();
        m_previousFolder = QDir::currentPath();
        platform::ActivationTracker::instance().reset();
        regional.emplace(QStringLiteral("%Y.%m.%d."), QStringLiteral("%H:%M:%S"),
                         QDateTime(QDate(2005, 8, 24), QTime(9, 59, 0)));
        setDrugs({{"1", "Algopyrin", "db", "12"},
                  {"12", "Amoxil", "db", "48"},
                  {"123", "Betaloc", "amp", "210"},
                  {"AB3", "Ringer", "üveg", "230"}});
        setMaterials({{"M1", "Varrófonal", "csomag", "300"}});
        setSurgeryCodes({"51000", "62000"});
        entered()->exec("insert into intadatok (int_kod, Int_neve) values ('1234', 'Próba Kórház')");
    }
    void TearDown() override
    {
        window.reset();
        regional.reset();
        platform::ActivationTracker::instance().reset();
        QDir::setCurrent(m_previousFolder);
        EntryDataFolder::TearDown();
    }

    // The window in manual entry of a new episode.
    kezdo& open()
    {
        EXPECT_TRUE(QDir::setCurrent(QFileInfo(entered()->path()).absolutePath()));
        ProgramInfo::setCurrent(ProgramInfo::sebrix());
        platform::setDefaultMsgBoxTitle(ProgramInfo::sebrix().name);
        window = std::make_unique<kezdo>(ProgramInfo::sebrix());
        window->anotherInstanceRunning = [] { return false; };
        window->show();
        QApplication::setActiveWindow(window.get());
        QApplication::processEvents();
        window->fel_Click();
        settle();
        EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join("|").toStdString();
        boxes->clear();
        return *window;
    }
    // The window with surgery 51000 of 01:30 in slot 0, on the drug tab.
    kezdo& openOnTheDrugTab()
    {
        kezdo& w = open();
        focusOn(w.Text23);
        type(w.Text23, "51000");
        focusOn(w.MaskEdBox7);
        type(w.MaskEdBox7, "0130");
        focusOn(w.SSCheck2);
        w.SSTab1->setCurrentIndex(0);
        return w;
    }
    void settle()
    {
        for (int i = 0; i < 3; ++i) {
            QApplication::processEvents();
            platform::Events::flush();
        }
    }
    // The clerk puts the focus on a control (the one left runs its LostFocus).
    void focusOn(QWidget* control)
    {
        window->activateWindow();
        QApplication::setActiveWindow(window.get());
        control->setFocus(Qt::OtherFocusReason);
        settle();
    }
    void key(QWidget* target, int qtKey, const QString& text = QString(), Qt::KeyboardModifiers mods = {})
    {
        QKeyEvent press(QEvent::KeyPress, qtKey, mods, text);
        QCoreApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, qtKey, mods, text);
        QCoreApplication::sendEvent(target, &release);
        settle();
    }
    void type(QWidget* target, const QString& text)
    {
        for (QChar c : text) {
            int qtKey = c.toUpper().unicode();
            if (c == u',')
                qtKey = Qt::Key_Comma;
            key(target, qtKey, QString(c));
        }
    }
    QStringList itemCodesInGrid()
    {
        auto& rs = window->Data8->recordset();
        QStringList out;
        for (int r = 0; r < rs.recordCount(); ++r)
            out << rs.valueAt(r, rs.fieldIndex("Rkod")).toString();
        return out;
    }
    QVariant storedItem(const char* field)
    {
        return entered()->scalar(QStringLiteral("select \"%1\" from Ráfkódok").arg(QString::fromUtf8(field)));
    }
    bool grey(QWidget* box) { return box->palette().color(QPalette::Base) == entry::kSlotGrey; }

    std::unique_ptr<kezdo> window;
    std::optional<platform::ScopedRegional> regional;

private:
    QString m_previousFolder;
};

} // namespace

TEST_F(ItemWindow, typed_surgery_duration_and_drug_reach_the_database)
{
    kezdo& w = open();
    ASSERT_TRUE(w.SSFrame1->isVisible());
    const QString id = w.Label1->text();

    focusOn(w.Text23);
    type(w.Text23, "51000");
    EXPECT_TRUE(grey(w.Text23));
    EXPECT_TRUE(grey(w.MaskEdBox7));
    EXPECT_EQ(w.Label19->text(), "0");
    focusOn(w.MaskEdBox7);
    type(w.MaskEdBox7, "0130");
    ASSERT_EQ(w.MaskEdBox7->text(), "01:30");
    EXPECT_FALSE(w.Text9->isEnabled());
    focusOn(w.SSCheck2); // leaving the complete duration
    EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join("|").toStdString();
    EXPECT_TRUE(w.Text9->isEnabled());
    EXPECT_TRUE(w.MaskEdBox11->isEnabled());
    EXPECT_EQ(w.mutetszam, "1");
    EXPECT_EQ(w.Label19->text(), "0"); // the slot digit replaced the count
    EXPECT_TRUE(w.SSTab1->isEnabled());
    EXPECT_TRUE(w.SSTab1->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == w.SSTab1);

    w.SSTab1->setCurrentIndex(0);
    focusOn(w.Text1);
    type(w.Text1, "1");
    EXPECT_EQ(codesOf(*w.Data7, "SKOD"), QStringList({"1", "12", "123"}));
    type(w.Text1, "2");
    EXPECT_EQ(codesOf(*w.Data7, "SKOD"), QStringList({"12", "123"}));
    focusOn(w.SSCheck2); // leaving the code box looks it up and moves on to the quantity
    EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join("|").toStdString();
    EXPECT_EQ(w.DBCombo2->text(), "12");
    EXPECT_EQ(QApplication::focusWidget(), w.MaskEdBox17);
    EXPECT_EQ(w.Data7->recordset().text("SKOD"), "12");

    type(w.MaskEdBox17, "2,5");
    key(w.MaskEdBox17, Qt::Key_Return, "\r");
    EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join("|").toStdString();

    EXPECT_EQ(storedItem("Azonosito").toString(), id);
    EXPECT_EQ(storedItem("Rkod").toString(), "12");
    EXPECT_EQ(storedItem("Rmen").toString(), "2,50");
    EXPECT_EQ(storedItem("Rmegnevezés").toString(), "Amoxil");
    EXPECT_DOUBLE_EQ(storedItem("Érték").toDouble(), 120.0);
    EXPECT_EQ(storedItem("Tipus").toString(), "G");
    EXPECT_EQ(storedItem("Manuális").toInt(), 1);
    EXPECT_EQ(storedItem("Fdat").toString(), w.MaskEdBox1->text() == entry::kEmptyDate ? "2005.08.24."
                                                                                       : w.MaskEdBox1->text());
    EXPECT_EQ(storedItem("AzonB").toString(), "0");
    EXPECT_EQ(storedItem("Mkod").toString(), "51000");
    EXPECT_EQ(storedItem("Mido").toString(), "01:30:00");

    // The tab is ready for the next code; the grid shows the episode's items.
    EXPECT_EQ(w.Text1->text(), "");
    EXPECT_EQ(w.Text2->text(), "");
    EXPECT_EQ(w.MaskEdBox17->text(), "");
    EXPECT_EQ(QApplication::focusWidget(), w.Text1);
    EXPECT_EQ(itemCodesInGrid(), QStringList({"12"}));
}

// A quick click on "Hozzáad" right after typing the quantity: the quantity
// box's LostFocus (which hands the quantity to the add) runs first.
TEST_F(ItemWindow, quick_click_on_add_stores_the_quantity_just_typed)
{
    kezdo& w = openOnTheDrugTab();

    // A fresh item: the quantity never left its box before the click.
    focusOn(w.Text1);
    type(w.Text1, "12");
    focusOn(w.SSCheck2);
    ASSERT_EQ(QApplication::focusWidget(), w.MaskEdBox17);
    type(w.MaskEdBox17, "4");
    testsupport::quickClick(w.SSCommand3);
    settle();
    EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join("|").toStdString();
    EXPECT_EQ(entered()->scalar("select Rmen from Ráfkódok where Rkod = '12'").toString(), "4,00");

    // A quantity typed, left, then retyped: the retyped one is stored.
    focusOn(w.Text1);
    type(w.Text1, "123");
    focusOn(w.SSCheck2);
    type(w.MaskEdBox17, "4");
    focusOn(w.SSCheck2);
    ASSERT_EQ(w.Text2->text(), "4,00");
    focusOn(w.MaskEdBox17);
    w.MaskEdBox17->selectAll();
    type(w.MaskEdBox17, "8");
    testsupport::quickClick(w.SSCommand3);
    settle();
    EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join("|").toStdString();
    EXPECT_EQ(entered()->scalar("select Rmen from Ráfkódok where Rkod = '123'").toString(), "8,00");
}

// Each quantity box, once left, shows its quantity formatted ("$1 234,50")
// and hands that text less its "$", whole, to the add, which stores it with
// its value or refuses it when it does not fit `Rmen`; back in the box the
// clerk edits what was typed. "Hozzáad" is clicked straight from the box,
// with nothing settled in between.
TEST_F(ItemWindow, quantity_boxes_show_their_format_when_left_and_store_the_shown_text_less_its_first_character)
{
    kezdo& w = openOnTheDrugTab();
    setDiagnostics({{"D1", "Mellkas röntgen", "db", "1000"}});
    w.Data11->refresh();
    QLineEdit* codeBox[] = {w.Text1, w.Text5, w.Text31};
    platform::MaskEdBox* quantityBox[] = {w.MaskEdBox17, w.MaskEdBox18, w.MaskEdBox19};
    QLineEdit* quantityText[] = {w.Text2, w.Text7, w.Text32};
    QWidget* addButton[] = {w.SSCommand3, w.SSCommand4, w.SSCommand31};
    const char* code[] = {"12", "M1", "D1"};
    const double unitPrice[] = {48, 300, 1000};
    for (int tab = 0; tab < 3; ++tab) {
        for (const auto& c : testsupport::kQuantityBoxCases) {
            SCOPED_TRACE(std::to_string(tab) + " " + c.typed);
            entered()->exec("delete from Ráfkódok");
            boxes->clear();
            w.SSTab1->setCurrentIndex(tab);
            settle();
            // A refusal keeps what was typed: the clerk starts afresh.
            focusOn(codeBox[tab]);
            codeBox[tab]->clear();
            type(codeBox[tab], code[tab]);
            focusOn(quantityBox[tab]);
            quantityBox[tab]->setText(QString());
            type(quantityBox[tab], c.typed);
            focusOn(w.SSCheck2);
            EXPECT_EQ(quantityBox[tab]->shownText(), c.shown);
            EXPECT_EQ(quantityBox[tab]->text(), c.typed);
            EXPECT_EQ(quantityText[tab]->text(), c.handedOn);
            focusOn(quantityBox[tab]);
            EXPECT_EQ(quantityBox[tab]->shownText(), c.typed);
            testsupport::quickClick(addButton[tab]);
            settle();
            if (c.stored) {
                EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join("|").toStdString();
                EXPECT_EQ(entered()->scalar("select Rmen from Ráfkódok where Rkod = ?", {code[tab]}).toString(),
                          c.stored);
                EXPECT_DOUBLE_EQ(
                    entered()->scalar("select Érték from Ráfkódok where Rkod = ?", {code[tab]}).toDouble(),
                    unitPrice[tab] * c.quantity);
                EXPECT_EQ(quantityBox[tab]->shownText(), "");
                EXPECT_EQ(quantityText[tab]->text(), "");
            } else {
                EXPECT_EQ(boxes.texts(), QStringList{"Nem jó a mennyiség formátuma!"});
                EXPECT_EQ(entered()->scalar("select count(*) from Ráfkódok").toInt(), 0);
                EXPECT_EQ(quantityBox[tab]->text(), c.typed);
            }
        }
    }
}

TEST_F(ItemWindow, unknown_drug_code_is_questioned_and_cleared_whatever_the_answer)
{
    kezdo& w = open();
    for (MsgResult answer : {MsgResult::Yes, MsgResult::No}) {
        boxes->clear();
        w.SSTab1->setCurrentIndex(0);
        focusOn(w.Text1);
        type(w.Text1, "99");
        w.MaskEdBox17->setText("3");
        boxes->answer(answer);
        focusOn(w.SSCheck2);
        const auto& box = boxes.single();
        EXPECT_EQ(box.text, "Nincs ilyen kód!Beír másikat?");
        EXPECT_EQ(box.title, "Figyelmeztetés!");
        EXPECT_EQ(box.icon, platform::MsgIcon::Critical);
        EXPECT_EQ(box.buttons, platform::MsgButtons::YesNo);
        EXPECT_EQ(w.Text1->text(), "");
        EXPECT_EQ(w.DBCombo2->text(), "");
        EXPECT_EQ(w.MaskEdBox17->text(), "");
        EXPECT_EQ(QApplication::focusWidget(), w.Text1);
        EXPECT_EQ(w.Data7->recordset().recordCount(), 4); // whole table again
    }
}

TEST_F(ItemWindow, items_grid_follows_the_current_slot)
{
    kezdo& w = open();
    const QString id = w.Label1->text();
    addItemRow(id, "A", "0", "51000");
    addItemRow(id, "B", "1", "62000");
    addItemRow(id, "C", "2", "51000"); // the same surgery in another slot
    w.Text23->setText("51000");
    w.Text9->setEnabled(true);
    w.Text9->setText("62000");

    focusOn(w.Text23);
    EXPECT_EQ(itemCodesInGrid(), QStringList({"A", "C"}));
    focusOn(w.Text9);
    EXPECT_EQ(itemCodesInGrid(), QStringList({"B"}));
    EXPECT_EQ(w.Label19->text(), "1");
    for (int k = 0; k < entry::kSlotCount; ++k) {
        EXPECT_EQ(grey(w.slotCode(k)), k == 1) << k;
        EXPECT_EQ(grey(w.slotDuration(k)), k == 1) << k;
    }
    // The highlight stays while the focus goes elsewhere.
    focusOn(w.SSCheck2);
    EXPECT_TRUE(grey(w.Text9));
}

TEST_F(ItemWindow, surgery_code_box_questions_unknown_codes_unless_the_picker_is_open)
{
    kezdo& w = open();
    focusOn(w.Text23);
    type(w.Text23, "99999");
    boxes->answer(MsgResult::No);
    focusOn(w.SSCheck2);
    EXPECT_EQ(boxes.single().text, "Nincs ilyen kód!Beír másikat?");
    EXPECT_EQ(w.Text23->text(), "");

    boxes->clear();
    focusOn(w.Text23);
    type(w.Text23, "99999");
    boxes->answer(MsgResult::Yes);
    focusOn(w.SSCheck2);
    EXPECT_EQ(boxes.single().text, "Nincs ilyen kód!Beír másikat?");
    EXPECT_EQ(w.Text23->text(), "99999");
    EXPECT_EQ(QApplication::focusWidget(), w.Text23);

    // F1 opens the picker for this slot; leaving the box is silent then.
    boxes->clear();
    key(w.Text23, Qt::Key_F1, QString(), Qt::ShiftModifier);
    settle();
    EXPECT_TRUE(w.SSCheck8->isChecked());
    EXPECT_EQ(w.Label2->text(), "0");
    EXPECT_TRUE(w.SSFrame8->isVisible());
    EXPECT_FALSE(w.SSFrame1->isEnabled());
    EXPECT_TRUE(boxes.shown().isEmpty());

    // Picking the second row writes its code into slot 0.
    w.Data12->recordset().moveLast();
    key(w.DBGrid6, Qt::Key_Return, "\r");
    EXPECT_EQ(w.Text23->text(), "62000");
    EXPECT_FALSE(w.SSFrame8->isVisible());
    EXPECT_TRUE(w.SSFrame1->isEnabled());
    EXPECT_FALSE(w.SSCheck8->isChecked());
}

TEST_F(ItemWindow, unknown_surgery_code_met_on_leaving_its_duration_box)
{
    // A converted record or a stored episode brings a code that the surgery
    // table lacks; the clerk meets the question when leaving the duration.
    struct Case {
        MsgResult answer;
        QString codeAfter;
        bool focusInCodeBox; // otherwise on to the item tabs
    };
    for (const Case& c : {Case{MsgResult::Yes, "99999", true}, Case{MsgResult::No, "", false}}) {
        boxes->clear();
        kezdo& w = open();
        w.Text23->setText("99999");
        focusOn(w.MaskEdBox7);
        type(w.MaskEdBox7, "0130");
        boxes->answer(c.answer);
        focusOn(w.SSCheck2);
        EXPECT_EQ(boxes.texts(), QStringList{"Nincs ilyen kód!Beír másikat?"});
        EXPECT_EQ(w.Text23->text(), c.codeAfter);
        QWidget* focus = QApplication::focusWidget();
        if (c.focusInCodeBox)
            EXPECT_EQ(focus, w.Text23);
        else
            EXPECT_TRUE(focus == w.SSTab1 || w.SSTab1->isAncestorOf(focus));
        window.reset();
    }
}

TEST_F(ItemWindow, picker_on_an_empty_surgery_table_does_nothing)
{
    setSurgeryCodes({});
    kezdo& w = open();
    focusOn(w.Text23);
    key(w.Text23, Qt::Key_F1);
    w.DBGrid6_DblClick();
    EXPECT_EQ(w.Text23->text(), "");
    EXPECT_TRUE(w.SSFrame8->isVisible()); // still open for "Mégse"
    w.SSCommand22_Click();
    EXPECT_FALSE(w.SSFrame8->isVisible());
    EXPECT_TRUE(w.SSFrame1->isEnabled());
}

TEST_F(ItemWindow, code_search_reports_its_own_result)
{
    kezdo& w = open();
    w.SSTab1->setCurrentIndex(0);
    // A failed look-up leaves a no-match flag on the drug record set ...
    EXPECT_FALSE(w.Data7->recordset().findFirst("skod = ?", {"zz"}));
    w.SSCommand19_Click();
    EXPECT_TRUE(w.SSFrame6->isVisible());
    EXPECT_EQ(w.Label18->text(), "G");
    EXPECT_TRUE(w.SSOption1->isChecked());
    EXPECT_FALSE(w.SSFrame1->isEnabled());

    // ... which does not turn a search that found rows into a refusal.
    w.Text18->setText("12");
    w.SSCommand20_Click();
    EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join("|").toStdString();
    EXPECT_FALSE(w.SSFrame6->isVisible());
    EXPECT_TRUE(w.SSFrame1->isEnabled());
    EXPECT_EQ(w.Label18->text(), "");
    EXPECT_FALSE(w.SSOption1->isChecked() || w.SSOption2->isChecked());
    EXPECT_EQ(codesOf(*w.Data7, "SKOD"), QStringList({"12", "123"}));

    // Nothing found: the message, the drug code box emptied, the whole table
    // back, the frame still open with its text.
    w.Text1->setText("1");
    w.SSCommand19_Click();
    w.Text18->setText("9");
    w.SSCommand20_Click();
    const auto& box = boxes.single();
    EXPECT_EQ(box.text, "Nincs ilyen!");
    EXPECT_EQ(box.title, "Sebrix");
    EXPECT_EQ(box.icon, platform::MsgIcon::None);
    EXPECT_EQ(w.Text1->text(), "");
    EXPECT_EQ(w.Data7->recordset().recordCount(), 4);
    EXPECT_TRUE(w.SSFrame6->isVisible());
    EXPECT_EQ(w.Text18->text(), "9");

    // By name, any letter case.
    boxes->clear();
    w.SSOption2_Click();
    w.Text18->setText("RINGER");
    w.SSCommand20_Click();
    EXPECT_TRUE(boxes.shown().isEmpty());
    EXPECT_EQ(codesOf(*w.Data7, "SKOD"), QStringList({"AB3"}));
}

TEST_F(ItemWindow, f8_deletes_the_selected_surgery_with_its_items_after_asking)
{
    kezdo& w = open();
    // A stored episode with two surgeries and items under both.
    entered()->exec("insert into alap (Azonosito, T_szam, Fdat, Fido, Tdat, Tido, Okod) values "
                    "(7, '123', '2005.08.24.', '08:00:00', '2005.08.30.', '10:00:00', '0101')");
    addSurgery("7", "51000");
    addSurgery("7", "62000");
    addItemRow("7", "A", "0", "51000");
    addItemRow("7", "B", "1", "62000");
    addItemRow("7", "C", "2", "51000");
    w.Data3->refresh();
    w.tete_Click();
    settle();
    boxes->clear();
    ASSERT_EQ(w.Label1->text(), "7");

    w.SSCommand23_Click();
    ASSERT_TRUE(w.DBGrid4->isVisible());
    w.Data6->recordset().moveFirst(); // 51000

    boxes->answer(MsgResult::No);
    key(w.DBGrid4, Qt::Key_F8);
    EXPECT_EQ(boxes.single().text, "Biztos törli?");
    EXPECT_EQ(boxes.single().title, "Kérdés");
    EXPECT_EQ(itemsOf("7").size(), 3);
    EXPECT_TRUE(w.DBGrid4->isVisible());

    boxes->clear();
    boxes->answer(MsgResult::Yes);
    key(w.DBGrid4, Qt::Key_F8);
    EXPECT_EQ(itemsOf("7"), QStringList({"B/1"}));
    EXPECT_EQ(entered()->scalar("select count(*) from műtétek where Azonosito = '7'").toInt(), 1);
    EXPECT_FALSE(w.DBGrid4->isVisible());
    EXPECT_TRUE(w.SSCommand23->isVisible());
    // Reloaded: slot 0 now holds the remaining surgery.
    EXPECT_EQ(w.Text23->text(), "62000");
}

// F8 on a surgery while another program holds the entered data (a write
// lock, or a read that keeps the commit out), or after another program took
// the surgery's key for a surgery of another episode: the clerk is told,
// nothing is deleted, and the surgeries grid, the slots and the items stay
// as they were.
TEST_F(ItemWindow, a_refused_surgery_delete_leaves_the_surgeries_items_and_form_as_they_were)
{
    kezdo& w = open();
    for (int id : {7, 8})
        entered()->exec("insert into alap (Azonosito, T_szam, Fdat, Fido, Tdat, Tido, Okod) values "
                        "(?, '123', '2005.08.24.', '08:00:00', '2005.08.30.', '10:00:00', '0101')",
                        {id});
    addSurgery("7", "51000");
    addSurgery("7", "62000");
    addItemRow("7", "A", "0", "51000");
    addItemRow("7", "B", "1", "62000");
    w.Data3->refresh();
    w.tete_Click();
    settle();
    ASSERT_EQ(w.Label1->text(), "7");
    w.SSCommand23_Click();
    w.Data6->recordset().moveLast(); // 62000
    settle();
    const auto shown = [&w] {
        QApplication::processEvents();
        QStringList rows;
        const auto& model = w.DBGrid4->recordsetModel();
        for (int row = 0; row < model.rowCount(); ++row)
            rows << model.data(model.index(row, 1)).toString();
        return rows.join(u',') + QStringLiteral(" @%1 ").arg(w.DBGrid4->row())
            + (w.DBGrid4->isVisible() ? QStringLiteral("shown ") : QStringLiteral("hidden "))
            + w.slotCode(0)->text() + u'/' + w.slotCode(1)->text();
    };
    const QString before = shown();
    ASSERT_EQ(before.left(19), "51000,62000 @1 show");
    const QString busy = "A művelet nem sikerült, semmi nem változott!\nA(z) madatok.mdb adatbázisfájlt egy másik "
                         "program használja, a művelet nem hajtható végre. Próbálja meg újra később!";
    const QString gone = "A művelet nem sikerült, semmi nem változott!\nA kijelölt sort közben egy másik program "
                         "törölte vagy átírta a(z) madatok.mdb adatbázisfájlban, már nem az, amit a lista mutat.";

    struct Case {
        const char* name;
        std::function<void(testsupport::OtherProgram&)> hold;
        QStringList boxes;
        QString shownAfter;
    };
    const Case cases[] = {
        {"a write lock", [](testsupport::OtherProgram& other) { ASSERT_TRUE(other.lock()); },
         {"Biztos törli?", busy}, before},
        {"a read",
         [](testsupport::OtherProgram& other) {
             other.run("begin");
             other.run("select count(*) from műtétek");
         },
         {"Biztos törli?", busy}, before},
        // The surgery under the last key goes and one of episode 8 takes
        // the key: the grid shows the row as deleted, and F8 asks nothing.
        {"its key taken by another episode's surgery",
         [](testsupport::OtherProgram& other) {
             other.run("delete from műtétek where Mkod = '62000'");
             other.run("insert into műtétek (Azonosito, Mkod, Mido, AzonB) values ('8', '99999', '00:10', '1')");
             other.release();
         },
         {gone}, QString(before).replace("62000 @", " @")},
    };
    const int timeout = platform::db::Database::busyTimeout();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList itemsBefore = itemsOf("7");
        boxes->clear();
        boxes->answer(MsgResult::Yes);
        {
            platform::db::Database::setBusyTimeout(200);
            testsupport::OtherProgram other(entered()->path());
            c.hold(other);
            key(w.DBGrid4, Qt::Key_F8);
            other.release();
            platform::db::Database::setBusyTimeout(timeout);
        }
        EXPECT_EQ(boxes.texts(), c.boxes);
        EXPECT_EQ(itemsOf("7"), itemsBefore);
        EXPECT_EQ(shown(), c.shownAfter);
    }
    EXPECT_EQ(entered()->scalar("select group_concat(Azonosito || '/' || Mkod) from műtétek").toString(),
              "7/51000,8/99999");
}

TEST_F(ItemWindow, no_current_row_is_no_crash)
{
    kezdo& w = open();
    // F8 on an episode without surgeries.
    w.Data6->setRecordSource("select * from műtétek where Azonosito = ?", {"none"});
    w.Data6->refresh();
    w.SSCommand23_Click();
    key(w.DBGrid4, Qt::Key_F8);
    EXPECT_TRUE(boxes.shown().isEmpty());

    // A combo click or Enter with no entry chosen from the list.
    w.SSTab1->setCurrentIndex(0);
    w.DBCombo2->setText("12");
    const QString before = w.Data7->recordset().text("SKOD");
    int enter = 13;
    w.itemCombo_KeyPress(0, enter);
    w.itemCombo_Click(1);
    EXPECT_EQ(w.Data7->recordset().text("SKOD"), before);

    // Deleting with an empty item list.
    w.SSCommand24_Click();
    EXPECT_EQ(boxes.single().text, "Nincs törlendő tétel!");

    // A look-up whose focus target sits on a hidden tab moves nothing.
    boxes->clear();
    focusOn(w.Text1);
    type(w.Text1, "12");
    w.SSTab1->setCurrentIndex(1);
    settle();
    EXPECT_NE(QApplication::focusWidget(), w.MaskEdBox17);
}

TEST_F(ItemWindow, duration_box_sends_the_focus_back_while_its_slot_has_a_code)
{
    kezdo& w = open();
    focusOn(w.Text23);
    type(w.Text23, "51000");
    focusOn(w.MaskEdBox7);
    type(w.MaskEdBox7, "1");
    focusOn(w.SSCheck2);
    const auto& box = boxes.single();
    EXPECT_EQ(box.text, "Hibás dátumformátum!Helyes dátumformátum: óó:pp");
    EXPECT_EQ(box.title, "Hiba");
    EXPECT_EQ(box.icon, platform::MsgIcon::Critical);
    EXPECT_EQ(QApplication::focusWidget(), w.MaskEdBox7);
    EXPECT_FALSE(w.Text9->isEnabled());
    EXPECT_EQ(w.mutetszam, "");

    // Slot 1 left empty without a code: both messages, the focus goes on.
    w.Text23->clear();
    w.MaskEdBox7->setText("01:30");
    boxes->clear();
    w.Text9->setEnabled(true);
    w.MaskEdBox11->setEnabled(true);
    focusOn(w.MaskEdBox11);
    focusOn(w.SSCheck2);
    EXPECT_EQ(boxes.texts(), QStringList({"Hibás dátumformátum!Helyes dátumformátum: óó:pp", "Hiányos dátum!"}));
    EXPECT_EQ(QApplication::focusWidget(), w.SSCheck2);
}

TEST_F(ItemWindow, tabs_take_codes_from_their_grids_and_quantities_as_the_tab_says)
{
    kezdo& w = open();
    setDiagnostics({{"D1", "Mellkas röntgen", "db", "1000"}, {"D2", "Hasi ultrahang", "db", "2000"}});
    w.Data11->refresh();
    const struct {
        int tab;
        platform::DBGrid* grid;
        QLineEdit* code;
        platform::DBCombo* combo;
        platform::MaskEdBox* quantity;
        const char* lastCode;
        bool enterTakesCode;
    } cases[] = {
        {0, w.DBGrid3, w.Text1, w.DBCombo2, w.MaskEdBox17, "AB3", true},
        {1, w.DBGrid2, w.Text5, w.DBCombo3, w.MaskEdBox18, "M1", true},
        {2, w.DBGrid7, w.Text31, w.DBCombo4, w.MaskEdBox19, "D2", false},
    };
    for (const auto& c : cases) {
        boxes->clear();
        w.SSTab1->setCurrentIndex(c.tab);
        settle();
        auto* data = c.grid->dataSource();
        data->recordset().moveLast();
        focusOn(c.grid);
        key(c.grid, Qt::Key_Return, "\r");
        if (c.enterTakesCode) {
            EXPECT_EQ(c.code->text(), c.lastCode) << c.tab;
            EXPECT_EQ(c.combo->text(), c.lastCode) << c.tab;
            EXPECT_EQ(QApplication::focusWidget(), c.quantity) << c.tab;
        } else {
            EXPECT_EQ(c.code->text(), "") << c.tab;
        }
        data->recordset().moveLast();
        w.itemGrid_DblClick(c.tab);
        EXPECT_EQ(c.code->text(), c.lastCode) << c.tab;
        EXPECT_EQ(c.combo->text(), c.lastCode) << c.tab;
        EXPECT_EQ(data->recordset().text(entry::itemTab(entry::ItemTab(c.tab)).codeColumn), c.lastCode);
        EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join("|").toStdString();
    }
    // Only the diagnostics quantity follows every keystroke.
    focusOn(w.MaskEdBox19);
    type(w.MaskEdBox19, "4");
    EXPECT_EQ(w.Text32->text(), "4,00");
    w.SSTab1->setCurrentIndex(1);
    focusOn(w.MaskEdBox18);
    type(w.MaskEdBox18, "4");
    EXPECT_EQ(w.Text7->text(), "");
    focusOn(w.Text5);
    EXPECT_EQ(w.Text7->text(), "4,00");
}

TEST_F(ItemWindow, delete_button_removes_the_item_selected_in_the_grid)
{
    kezdo& w = open();
    const QString id = w.Label1->text();
    addItemRow(id, "A", "0", "51000");
    addItemRow(id, "B", "0", "51000");
    w.Text23->setText("51000");
    focusOn(w.Text23);
    w.DBGrid1->selectRow(0);
    settle();
    ASSERT_EQ(w.Data8->recordset().text("Rkod"), "A");
    boxes->answer(MsgResult::Yes);
    w.SSCommand24->click();
    settle();
    EXPECT_EQ(boxes.single().text, "Biztos törli?");
    EXPECT_EQ(itemsOf(id), QStringList({"B/0"}));
    EXPECT_EQ(w.Data8->recordset().text("Rkod"), "B");
    EXPECT_EQ(w.DBGrid1->row(), 0);
}

// Closing the picker or the search frame hides the control that held the
// focus: the focus must land where the clerk goes on, not nowhere.
TEST_F(ItemWindow, closing_the_picker_or_the_search_leaves_the_focus_where_the_clerk_goes_on)
{
    kezdo& w = open();
    // A pick returns to the code box the picker was opened from.
    focusOn(w.Text23);
    key(w.Text23, Qt::Key_F1);
    EXPECT_EQ(QApplication::focusWidget(), w.DBGrid6);
    key(w.DBGrid6, Qt::Key_Return, "\r");
    EXPECT_EQ(w.Text23->text(), "51000");
    EXPECT_EQ(QApplication::focusWidget(), w.Text23);
    EXPECT_TRUE(grey(w.Text23));

    // "Mégse" as well.
    key(w.Text23, Qt::Key_F1);
    w.SSCommand22_Click();
    settle();
    EXPECT_EQ(QApplication::focusWidget(), w.Text23);

    // "Keres" of the picker puts the focus in the search text; the result
    // is picked in the picker's grid.
    key(w.Text23, Qt::Key_F1);
    w.SSCommand29_Click();
    settle();
    EXPECT_EQ(QApplication::focusWidget(), w.Text18);
    w.SSOption1_Click();
    type(w.Text18, "51");
    key(w.Text18, Qt::Key_Return, "\r");
    EXPECT_FALSE(w.SSFrame6->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), w.DBGrid6);
    w.SSCommand22_Click();
    settle();

    // A tab's search, found or cancelled, hands the focus to that tab's grid.
    struct Case { int tab; QWidget* grid; QString text; bool cancel; };
    const QList<Case> cases = {
        {0, w.DBGrid3, "12", false},
        {1, w.DBGrid2, "M", false},
        {0, w.DBGrid3, "", true},
    };
    for (const Case& c : cases) {
        w.SSTab1->setCurrentIndex(c.tab);
        settle();
        focusOn(w.SSTab1);
        if (c.tab == 0) w.SSCommand19_Click(); else w.SSCommand5_Click();
        settle();
        w.Text18->setText(c.text);
        if (c.cancel)
            w.SSCommand21_Click();
        else
            key(w.Text18, Qt::Key_Return, "\r");
        settle();
        EXPECT_FALSE(w.SSFrame6->isVisible()) << c.tab;
        EXPECT_EQ(QApplication::focusWidget(), c.grid) << c.tab << c.text.toStdString();
    }
    EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join("|").toStdString();
}

// Another program holds the entered-data file while the clerk adds a drug:
// a short lock is waited for; a long one is refused in Hungarian, nothing is
// stored, the program runs on and the typed code and quantity stay for
// another try.
TEST_F(ItemWindow, add_under_a_lock_waits_or_refuses_and_keeps_what_was_typed)
{
    kezdo& w = openOnTheDrugTab();
    auto typeDrug = [&](const QString& code, const QString& quantity) {
        focusOn(w.Text1);
        type(w.Text1, code);
        focusOn(w.SSCheck2);
        ASSERT_EQ(QApplication::focusWidget(), w.MaskEdBox17);
        type(w.MaskEdBox17, quantity);
    };
    const QString path = entered()->path();

    {
        testsupport::OtherProgram other(path);
        ASSERT_TRUE(other.lock());
        other.releaseAfter(std::chrono::milliseconds(1000));
        typeDrug("12", "2");
        testsupport::quickClick(w.SSCommand3);
        settle();
        EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join("|").toStdString();
        EXPECT_EQ(entered()->scalar("select Rmen from Ráfkódok where Rkod = '12'").toString(), "2,00");
    }

    struct ShortTimeout {
        const int before = platform::db::Database::busyTimeout();
        ShortTimeout() { platform::db::Database::setBusyTimeout(300); }
        ~ShortTimeout() { platform::db::Database::setBusyTimeout(before); }
    } shortTimeout;
    testsupport::OtherProgram other(path);
    ASSERT_TRUE(other.lock());
    typeDrug("123", "3");
    testsupport::quickClick(w.SSCommand3);
    settle();
    ASSERT_EQ(boxes.shown().size(), 1) << boxes.texts().join("|").toStdString();
    EXPECT_TRUE(boxes.shown()[0].text.contains("madatok.mdb")) << boxes.shown()[0].text.toStdString();
    EXPECT_TRUE(boxes.shown()[0].text.contains("másik program")) << boxes.shown()[0].text.toStdString();
    EXPECT_EQ(boxes.shown()[0].title, "Hiba");
    EXPECT_EQ(boxes.shown()[0].icon, platform::MsgIcon::Critical);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.DBCombo2->text(), "123");
    EXPECT_EQ(w.MaskEdBox17->text(), "3");
    EXPECT_EQ(entered()->scalar("select count(*) from Ráfkódok").toInt(), 1);

    // Once the other program lets go, the same click stores the item.
    other.release();
    boxes->clear();
    testsupport::quickClick(w.SSCommand3);
    settle();
    EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join("|").toStdString();
    EXPECT_EQ(entered()->scalar("select Rmen from Ráfkódok where Rkod = '123'").toString(), "3,00");
    EXPECT_EQ(itemCodesInGrid(), QStringList({"12", "123"}));
}
