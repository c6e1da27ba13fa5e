#include "platform/db/keybatch.h"
#include "platform/ui/dbcombo.h"
#include "platform/ui/events.h"
#include "tests/support/otherprogram.h"
#include "tests/support/qtprinters.h"
#include "tests/support/scriptedboxes.h"
#include "tests/support/statementlog.h"
#include "tests/support/wheelinput.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>

using platform::db::DataConnection;
using platform::db::Database;

namespace {

// Twelve codes in a fresh file, stored out of code order, with an index on
// the code as the code tables have; record sets read their keys two at a
// time, so a list crosses many batches.
class CodeList : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        previousBatch = platform::db::firstKeyBatch();
        platform::db::setFirstKeyBatch(2);
        db = Database::create(dir.filePath("kodok.mdb"));
        db->execScript("create table kod (KOD text collate hunocase, NEV text, CSOP text);"
                       "create index kod_kod on kod (KOD);");
        const char* const codes[] = {"0700", "0100", "AB12", "0300", "0900", "0200",
                                     "0500", "0400", "0800", "1000", "0600", "1100"};
        for (const char* code : codes)
            db->exec("insert into kod (KOD, NEV, CSOP) values (?, ?, ?)",
                     {QString(code), QString("Név ") + code, QString(code).endsWith("00") ? "A" : "B"});
        data.setDatabase(db);
    }
    void TearDown() override { platform::db::setFirstKeyBatch(previousBatch); }

    // Opens the list of a fresh box over the source showing the text; the
    // entry the opened list stands on, "" when none.
    QString openedOn(const QString& source, const QString& text)
    {
        data.setRecordSource(source);
        data.refresh();
        platform::DBCombo box;
        box.setRowSource(&data, "KOD");
        box.setText(text);
        box.show();
        box.showPopup();
        QApplication::processEvents();
        const QModelIndex current = box.view()->currentIndex();
        const bool selected = box.view()->selectionModel()->isSelected(current);
        box.hidePopup();
        EXPECT_EQ(box.text(), text) << "opening the list changed the text";
        if (!current.isValid())
            return QString();
        EXPECT_TRUE(selected) << "the entry stood on is not the one highlighted";
        return current.data().toString();
    }

    QTemporaryDir dir;
    std::shared_ptr<Database> db;
    DataConnection data{"Data7"};
    int previousBatch = 0;
};

} // namespace

TEST_F(CodeList, the_list_opens_on_the_entry_the_box_shows_and_on_nothing_for_a_text_that_is_no_entry)
{
    struct Case {
        const char* source;
        const char* text;
        const char* openedOn;
    };
    const Case cases[] = {
        // Stored order.
        {"kod", "0700", "0700"},
        {"kod", "1100", "1100"},
        {"kod", "0500", "0500"},
        // Code order, from both ends and the middle.
        {"select * from kod order by KOD", "0100", "0100"},
        {"select * from kod order by KOD", "AB12", "AB12"},
        {"select * from kod order by KOD", "0600", "0600"},
        {"select * from kod order by KOD desc", "0200", "0200"},
        // A narrowed list: a code outside it is no entry of it.
        {"select * from kod where CSOP = 'A' order by KOD", "0900", "0900"},
        {"select * from kod where CSOP = 'B' order by KOD", "0900", ""},
        // A grouped query, read into memory.
        {"select KOD, count(*) as n from kod group by KOD", "0800", "0800"},
        // Texts that are no entry: the entry reads otherwise, letter case
        // included, or there is none at all.
        {"select * from kod order by KOD", "ab12", ""},
        {"select * from kod order by KOD", "0800 ", ""},
        {"select * from kod order by KOD", "Nincs kiválasztva", ""},
        {"select * from kod order by KOD", "", ""},
        {"select * from kod where KOD like '9*'", "0100", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.source) + " / " + c.text);
        EXPECT_EQ(openedOn(c.source, QString::fromUtf8(c.text)), QString::fromUtf8(c.openedOn));
    }
}

// The entry on show is looked up, not searched for row by row: however long
// the list, opening it reads no more rows than it shows, whether the text
// is an entry near the end, one in the middle, or no entry at all.
TEST_F(CodeList, opening_the_list_reads_only_the_rows_it_shows)
{
    {
        Database::Transaction t(*db);
        for (int i = 0; i < 500; ++i)
            db->exec("insert into kod (KOD, NEV, CSOP) values (?, 'x', 'C')", {QString("C%1").arg(i, 3, 10, QChar('0'))});
        t.commit();
    }
    data.setRecordSource("select * from kod order by KOD");
    data.refresh();
    platform::DBCombo box;
    box.setRowSource(&data, "KOD");
    box.show();
    for (const char* text : {"C480", "C250", "Nincs kiválasztva"}) {
        SCOPED_TRACE(text);
        data.refresh();
        box.setText(QString::fromUtf8(text));
        int rowReads = 0;
        {
            testsupport::StatementLog log(db->handle());
            box.showPopup();
            QApplication::processEvents();
            for (const QString& sql : log.statements())
                rowReads += sql.contains("rowid = ?") ? 1 : 0;
        }
        EXPECT_EQ(box.view()->currentIndex().data().toString(), QString(text).startsWith('C') ? text : "");
        box.hidePopup();
        EXPECT_LE(rowReads, box.maxVisibleItems() + 2) << "rows read one by one";
    }
}

// An arrow key in the closed box steps from the entry on show, wherever it
// stands, and reports the step as a choice; at either end it stays.
TEST_F(CodeList, an_arrow_key_in_the_closed_box_steps_from_the_entry_on_show)
{
    data.setRecordSource("select * from kod order by KOD");
    data.refresh();
    platform::DBCombo box;
    box.setRowSource(&data, "KOD");
    QStringList clicks;
    QObject::connect(&box, &platform::DBCombo::Click, [&] { clicks << box.text(); });
    struct Case {
        const char* shown;
        Qt::Key key;
        const char* after;
    };
    const Case cases[] = {
        {"0500", Qt::Key_Down, "0600"},
        {"0500", Qt::Key_Up, "0400"},
        {"0100", Qt::Key_Up, "0100"},
        {"AB12", Qt::Key_Down, "AB12"},
        {"1000", Qt::Key_Down, "1100"},
        // A text that is no entry stands on none, whatever was picked before:
        // down takes the first entry, up nothing.
        {"", Qt::Key_Down, "0100"},
        {"0550", Qt::Key_Down, "0100"},
        {"0550", Qt::Key_Up, "0550"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.shown) + (c.key == Qt::Key_Down ? " down" : " up"));
        // The box stood on an entry before the text was set.
        box.setText("0500");
        QKeyEvent step(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(&box, &step);
        box.setText(c.shown);
        clicks.clear();
        QKeyEvent press(QEvent::KeyPress, c.key, Qt::NoModifier);
        QApplication::sendEvent(&box, &press);
        EXPECT_EQ(box.text(), c.after);
        EXPECT_EQ(clicks, QString(c.after) == c.shown ? QStringList() : QStringList{c.after});
    }
}

// Every list box of a window: the wheel over one the clerk has not put the
// focus in turns nothing, gives it no focus and scrolls what holds it; in
// the box the clerk is in, it turns the box.
TEST(ListBoxes, the_wheel_turns_only_the_box_the_clerk_is_in_and_scrolls_past_the_others)
{
    QScrollArea window;
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* plain = new QComboBox;
    plain->addItems({"01", "02", "03", "04"});
    auto* editable = new QComboBox;
    editable->setEditable(true);
    editable->addItems({"0 - Saját osztály", "1 - Más osztály", "2 - Másik intézet"});
    auto* other = new QLineEdit;
    layout->addWidget(other);
    layout->addWidget(plain);
    layout->addWidget(editable);
    layout->addSpacing(2000);
    window.setWidget(page);
    window.resize(300, 200);
    platform::Events ev(&window);
    window.show();
    QApplication::setActiveWindow(&window);
    other->setFocus();
    QApplication::processEvents();

    for (QComboBox* box : {plain, editable}) {
        SCOPED_TRACE(box->currentText().toStdString());
        box->setCurrentIndex(1);
        window.verticalScrollBar()->setValue(0);
        testsupport::turnWheel(box, -1);
        EXPECT_EQ(box->currentIndex(), 1);
        EXPECT_EQ(QApplication::focusWidget(), other);
        EXPECT_GT(window.verticalScrollBar()->value(), 0) << "the window did not scroll";

        box->setFocus();
        QApplication::processEvents();
        window.verticalScrollBar()->setValue(0);
        testsupport::turnWheel(box, -1);
        EXPECT_EQ(box->currentIndex(), 2);
        other->setFocus();
        QApplication::processEvents();
    }
}

// A list-only box changes by a pick from its list alone.
TEST(ListBoxes, a_list_only_box_takes_no_edit_but_a_pick)
{
    QWidget window;
    auto* box = new QComboBox(&window);
    box->setEditable(true);
    box->addItems({"0 - Saját osztály", "1 - Más osztály"});
    box->setEditText("1");
    platform::setListOnly(box);
    window.show();
    QApplication::setActiveWindow(&window);
    box->setFocus();
    QApplication::processEvents();

    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
        {Qt::Key_7, Qt::NoModifier},         {Qt::Key_Home, Qt::NoModifier}, {Qt::Key_Delete, Qt::NoModifier},
        {Qt::Key_End, Qt::NoModifier},       {Qt::Key_Backspace, Qt::NoModifier},
        {Qt::Key_A, Qt::ControlModifier},    {Qt::Key_X, Qt::ControlModifier},
        {Qt::Key_V, Qt::ControlModifier},    {Qt::Key_Insert, Qt::ShiftModifier},
        {Qt::Key_Z, Qt::ControlModifier},
    };
    QApplication::clipboard()->setText("0211123456788");
    for (const auto& [key, modifiers] : keys) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, key == Qt::Key_7 ? QString("7") : QString());
        QApplication::sendEvent(QApplication::focusWidget(), &press);
    }
    EXPECT_EQ(box->currentText(), "1");

    // The program still sets the text; the arrow keys still pick.
    box->setEditText("0");
    EXPECT_EQ(box->currentText(), "0");
    box->setCurrentIndex(0);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(QApplication::focusWidget(), &down);
    EXPECT_EQ(box->currentText(), "1 - Más osztály");
}

// The program shows a stored text in an editable list box without choosing
// its entry; the clerk's step, by key or wheel, goes on from the entry on
// show, not from one picked for an earlier episode, and the opened list
// stands on it.
TEST(ListBoxes, a_step_goes_on_from_the_entry_the_box_shows)
{
    QWidget window;
    auto* box = new QComboBox(&window);
    box->setEditable(true);
    box->addItems({"0 - Saját osztály", "1 - Más osztály", "2 - Másik intézet", "3 - Egyéb"});
    platform::setListOnly(box);
    platform::Events ev(&window);
    window.show();
    QApplication::setActiveWindow(&window);
    box->setFocus();
    QApplication::processEvents();

    const auto clickArrow = [&] {
        const QPointF arrow(box->width() - 6, box->height() / 2.0);
        QMouseEvent press(QEvent::MouseButtonPress, arrow, box->mapToGlobal(arrow), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(box, &press);
        QApplication::processEvents();
    };
    struct Step {
        const char* how;
        std::function<void()> take;
        const char* after;
    };
    const Step steps[] = {
        {"Down key",
         [&] {
             QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
             QApplication::sendEvent(QApplication::focusWidget(), &down);
         },
         "1 - Más osztály"},
        {"wheel towards the clerk", [&] { testsupport::turnWheel(box, -1); }, "1 - Más osztály"},
        {"list opened by a click", clickArrow, "0 - Saját osztály"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.how);
        box->setCurrentIndex(3);   // picked for an earlier episode
        box->setEditText("0 - Saját osztály");   // the episode on show
        s.take();
        if (QString(s.how).startsWith("list")) {
            ASSERT_TRUE(box->view()->isVisible());
            EXPECT_EQ(box->view()->currentIndex().row(), 0);
            box->hidePopup();
        }
        EXPECT_EQ(box->currentText(), s.after);
    }

    // A stored code shown alone stands on its entry; a text that is no entry
    // on none, so a step starts at the top.
    const std::pair<const char*, const char*> shownAndNext[] = {
        {"1", "2 - Másik intézet"}, {"9", "0 - Saját osztály"}, {"12", "0 - Saját osztály"}};
    for (const auto& [shown, next] : shownAndNext) {
        box->setCurrentIndex(3);
        box->setEditText(shown);
        // Opening the list and closing it again leaves the text as it was.
        clickArrow();
        ASSERT_TRUE(box->view()->isVisible()) << shown;
        box->hidePopup();
        EXPECT_EQ(box->currentText(), shown);
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(QApplication::focusWidget(), &down);
        EXPECT_EQ(box->currentText(), next) << shown;
    }
}

// Another program holds the file whole while the open list paints entries
// it has not read: nothing thrown leaves the paint, the clerk is told once
// however often the list paints, and the entries show once the file is free.
TEST_F(CodeList, a_list_painting_a_file_held_whole_tells_once_and_shows_its_entries_when_free)
{
    for (int i = 0; i < 60; ++i)
        db->exec("insert into kod (KOD, NEV, CSOP) values (?, 'x', 'C')", {QString("C%1").arg(i, 3, 10, QChar('0'))});
    data.setRecordSource("select * from kod order by KOD");
    data.refresh();
    platform::DBCombo box;
    box.setRowSource(&data, "KOD");
    box.show();
    box.showPopup();
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    QAbstractItemView* list = box.view();
    testsupport::ScriptedBoxes boxes;
    const int timeout = Database::busyTimeout();
    Database::setBusyTimeout(200);
    testsupport::OtherProgram other(db->path());
    other.run("begin exclusive");
    const auto paint = [&] {
        for (int i = 0; i < 3; ++i) {
            list->viewport()->repaint();
            QApplication::processEvents();
        }
    };
    list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
    EXPECT_NO_THROW(paint());
    ASSERT_EQ(boxes.texts(), QStringList{QString::fromUtf8("A(z) kodok.mdb adatbázisfájlt egy másik program használja, a "
                                                           "művelet nem hajtható végre. Próbálja meg újra később!")});
    EXPECT_EQ(boxes.shown()[0].title, "Hiba");
    const QModelIndex last = list->model()->index(list->model()->rowCount() - 1, 0);

    other.release();
    Database::setBusyTimeout(timeout);
    paint();
    EXPECT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(last.data().toString(), "C059");
    box.hidePopup();
}
