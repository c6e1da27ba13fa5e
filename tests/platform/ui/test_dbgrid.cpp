#include "platform/db/keybatch.h"
#include "platform/ui/dbcombo.h"
#include "platform/ui/dbgrid.h"
#include "platform/ui/events.h"
#include "platform/sys/regional.h"
#include "tests/support/otherprogram.h"
#include "tests/support/qtprinters.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStyledItemDelegate>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <iterator>

using platform::db::DataConnection;
using platform::db::Database;

namespace {

// A ward-code table of five rows in a fresh database file.
class BoundControls : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        db = Database::create(dir.filePath("adatok.mdb"));
        db->execScript(QString::fromUtf8(
            "create table okod (Okod text, Megnevezes text, Ojelleg text);"
            "insert into okod values ('0100', 'Belgyógyászat', '1');"
            "insert into okod values ('0200', 'Sebészet', '1');"
            "insert into okod values ('0300', 'Szülészet', '2');"
            "insert into okod values ('0400', 'Gyermek', '1');"
            "insert into okod values ('0500', 'Krónikus', 'K');"));
        data.setDatabase(db);
        data.setRecordSource("select * from okod order by Okod");
        data.refresh();
    }

    QString cell(const QAbstractItemModel& m, int row, int column) const
    {
        return m.data(m.index(row, column)).toString();
    }

    QTemporaryDir dir;
    std::shared_ptr<Database> db;
    DataConnection data{"Data2"};
};

} // namespace

TEST_F(BoundControls, grid_shows_the_given_columns_with_their_captions)
{
    platform::DBGrid grid;
    grid.show();
    grid.setDataSource(&data, {{QString::fromUtf8("Kód"), "Okod"}, {"Megnevezes", "Megnevezes"}});
    const auto& m = grid.recordsetModel();
    ASSERT_EQ(m.rowCount(), 5);
    ASSERT_EQ(m.columnCount(), 2);
    EXPECT_EQ(m.headerData(0, Qt::Horizontal).toString(), QString::fromUtf8("Kód"));
    EXPECT_EQ(m.headerData(1, Qt::Horizontal).toString(), "Megnevezes");
    EXPECT_EQ(cell(m, 2, 0), "0300");
    EXPECT_EQ(cell(m, 4, 1), QString::fromUtf8("Krónikus"));

    grid.setDataSource(&data); // no columns: every field
    EXPECT_EQ(m.columnCount(), 3);
    EXPECT_EQ(m.headerData(2, Qt::Horizontal).toString(), "Ojelleg");
}

// A grid bound to a whole table behind a frame the clerk has not opened costs
// nothing until it is shown; then it shows the rows and the current record.
TEST_F(BoundControls, grid_takes_its_rows_when_first_shown)
{
    QWidget frame;
    auto* grid = new platform::DBGrid(&frame);
    grid->setDataSource(&data, {{"Okod", "Okod"}});
    data.recordset().moveLast();
    data.recordset().movePrevious();
    EXPECT_EQ(grid->recordsetModel().rowCount(), 0);
    EXPECT_EQ(grid->row(), 3) << "the row it will show selected";

    frame.show();
    EXPECT_EQ(grid->recordsetModel().rowCount(), 5);
    EXPECT_EQ(grid->row(), 3);
    EXPECT_EQ(grid->currentIndex().row(), 3);
    EXPECT_EQ(cell(grid->recordsetModel(), 3, 0), "0400");

    // Once shown it keeps following the set while its frame is hidden.
    frame.hide();
    data.recordset().moveFirst();
    EXPECT_EQ(grid->currentIndex().row(), 0);
    data.refresh();
    EXPECT_EQ(grid->recordsetModel().rowCount(), 5);
}

TEST_F(BoundControls, grid_row_and_current_record_follow_each_other)
{
    platform::DBGrid grid;
    grid.show();
    grid.setDataSource(&data, {{"Okod", "Okod"}});
    EXPECT_EQ(grid.row(), 0); // a refreshed set stands on its first row

    grid.selectRow(3);
    EXPECT_EQ(data.recordset().absolutePosition(), 3);
    EXPECT_EQ(data.recordset().text("Okod"), "0400");

    data.recordset().moveFirst();
    data.recordset().moveNext();
    EXPECT_EQ(grid.row(), 1);

    data.setRecordSource("select * from okod where Ojelleg = ?", {"1"});
    data.refresh();
    EXPECT_EQ(grid.recordsetModel().rowCount(), 3);
    EXPECT_EQ(grid.row(), 0);
    EXPECT_EQ(cell(grid.recordsetModel(), 2, 0), "0400");
}

TEST_F(BoundControls, grid_shows_rows_added_edited_and_deleted)
{
    platform::DBGrid grid;
    grid.show();
    grid.setDataSource(&data, {{"Okod", "Okod"}, {"Megnevezes", "Megnevezes"}});
    const auto& m = grid.recordsetModel();
    ASSERT_EQ(cell(m, 0, 1), QString::fromUtf8("Belgyógyászat")); // fetched once, now cached

    auto& rs = data.recordset();
    rs.edit();
    rs.setValue("Megnevezes", "Belgyógy.");
    rs.update();
    EXPECT_EQ(cell(m, 0, 1), "Belgyógy.");

    rs.addNew();
    rs.setValue("Okod", "0600");
    rs.update();
    ASSERT_EQ(m.rowCount(), 6);
    EXPECT_EQ(cell(m, 5, 0), "0600");

    rs.moveFirst();
    rs.deleteCurrent();
    ASSERT_EQ(m.rowCount(), 5);
    EXPECT_EQ(cell(m, 0, 0), "0200");
}

// Another program changes and deletes rows the grid has shown: once the turn
// of the event loop that painted them is over, the grid shows them as stored,
// a deleted one blank as one deleted before it was ever read.
TEST_F(BoundControls, grid_shows_rows_another_program_changed_or_deleted_as_they_are_stored)
{
    platform::DBGrid grid;
    grid.show();
    grid.setDataSource(&data, {{"Okod", "Okod"}, {"Megnevezes", "Megnevezes"}});
    const auto& m = grid.recordsetModel();
    ASSERT_EQ(cell(m, 1, 1), QString::fromUtf8("Sebészet"));
    ASSERT_EQ(cell(m, 2, 1), QString::fromUtf8("Szülészet"));
    QApplication::processEvents();

    testsupport::OtherProgram other(db->path());
    other.run(QString::fromUtf8("update okod set Megnevezes = 'Általános sebészet' where Okod = '0200'"));
    other.run("delete from okod where Okod = '0300'");
    QApplication::processEvents();
    EXPECT_EQ(cell(m, 1, 1), QString::fromUtf8("Általános sebészet"));
    EXPECT_EQ(cell(m, 2, 0), "");
    EXPECT_EQ(cell(m, 2, 1), "");
    EXPECT_EQ(cell(m, 3, 0), "0400");
    EXPECT_EQ(m.rowCount(), 5);
}

// Rows another program deleted before the grid read their keys are passed
// over, and the grid's rows follow the count the record set puts right.
TEST_F(BoundControls, grid_rows_follow_the_count_put_right_after_another_program_deleted_rows)
{
    platform::db::setFirstKeyBatch(2);
    platform::DBGrid grid;
    grid.show();
    grid.setDataSource(&data, {{"Okod", "Okod"}});
    const auto& m = grid.recordsetModel();
    ASSERT_EQ(m.rowCount(), 5);

    testsupport::OtherProgram other(db->path());
    other.run("delete from okod where Okod in ('0300', '0500')");
    for (int row = 0; row < 5; ++row)
        cell(m, row, 0); // the view paints the rows it counted
    QApplication::processEvents();
    platform::db::setFirstKeyBatch(256);
    ASSERT_EQ(m.rowCount(), 3);
    EXPECT_EQ(cell(m, 0, 0), "0100");
    EXPECT_EQ(cell(m, 1, 0), "0200");
    EXPECT_EQ(cell(m, 2, 0), "0400");
}

TEST_F(BoundControls, grid_cells_show_numbers_and_yes_no_fields_as_a_clerk_reads_them)
{
    db->execScript(QString::fromUtf8(
        "create table tetel (Sor integer, Ertek real, Db integer, Megj text, Kesz boolean);"
        "insert into tetel values (1, 2200000, 3, '1.5', 1);"
        "insert into tetel values (2, 12.5, -7, 'x', 0);"
        "insert into tetel values (3, 0.125, 0, '2200000', null);"
        "insert into tetel values (4, -3.75, 123456, '', 1);"
        "insert into tetel values (5, 123456789012, 1, 'a', 0);"
        "insert into tetel values (6, 850 * 0.816, 1, 'b', 0);"
        "insert into tetel values (7, 850 * 0.816 * 40, 1, 'c', 0);"
        "insert into tetel values (8, 0.0000001, 1, 'd', 0);"));
    DataConnection items{"Data3"};
    items.setDatabase(db);
    items.setRecordSource("select Ertek, Db, Megj, Kesz from tetel order by Sor");
    items.refresh();
    platform::DBGrid grid;
    grid.show();
    grid.setDataSource(&items);
    const auto& m = grid.recordsetModel();

    struct Row { const char* real; const char* whole; const char* text; const char* yesNo; };
    const Row rows[] = {
        {"2200000", "3", "1.5", "Igaz"},
        {"12,5", "-7", "x", "Hamis"},
        {"0,125", "0", "2200000", ""},
        {"-3,75", "123456", "", "Igaz"},
        {"123456789012", "1", "a", "Hamis"},
        {"693,6", "1", "b", "Hamis"},        // 850 * 0.816 is stored as 693.5999999999999
        {"27744", "1", "c", "Hamis"},        // and 40 of them as 27743.999999999996
        {"0,0000001", "1", "d", "Hamis"},
    };
    // The text as the grid paints it, through its delegate and under the
    // locale the view has (the process's: the shipped one). The delegate
    // would write a bare double as "2,2E+06" and group a whole number
    // ("123 456"), so the model hands over finished text.
    auto* delegate = qobject_cast<QStyledItemDelegate*>(grid.itemDelegate());
    ASSERT_NE(delegate, nullptr);
    auto shown = [&](int r, int c) { return delegate->displayText(m.data(m.index(r, c)), grid.locale()); };
    ASSERT_EQ(m.rowCount(), int(std::size(rows)));
    for (int r = 0; r < int(std::size(rows)); ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(shown(r, 0), rows[r].real);
        EXPECT_EQ(shown(r, 1), rows[r].whole);
        EXPECT_EQ(shown(r, 2), rows[r].text);
        EXPECT_EQ(shown(r, 3), rows[r].yesNo);
    }
    // Editing starts from the stored value, not from its shown text.
    EXPECT_EQ(m.data(m.index(1, 0), Qt::EditRole), QVariant(12.5));
    EXPECT_EQ(m.data(m.index(5, 0), Qt::EditRole), QVariant(850 * 0.816));
    EXPECT_EQ(m.data(m.index(0, 3), Qt::EditRole), QVariant(true));
}

TEST_F(BoundControls, combo_lists_one_field_and_reports_changes_and_choices)
{
    platform::DBCombo combo;
    combo.setRowSource(&data, "Okod");
    ASSERT_EQ(combo.count(), 5);
    EXPECT_EQ(combo.itemText(3), "0400");

    QStringList events;
    QObject::connect(&combo, &platform::DBCombo::Change, [&] { events << "Change " + combo.text(); });
    QObject::connect(&combo, &platform::DBCombo::Click, [&](int area) { events << QString("Click %1").arg(area); });

    combo.setText("0200");
    EXPECT_EQ(combo.selectedRow(), -1);
    // Choosing from the list: the view sets the entry, then reports it.
    combo.setCurrentIndex(2);
    emit combo.activated(2);
    EXPECT_EQ(combo.selectedRow(), 2);
    EXPECT_EQ(events, (QStringList{"Change 0200", "Change 0300", "Click 2"}));

    // A refreshed list keeps the text on show and fires no Change.
    events.clear();
    data.setRecordSource("select * from okod where Ojelleg = ?", {"K"});
    data.refresh();
    EXPECT_EQ(combo.count(), 1);
    EXPECT_EQ(combo.text(), "0300");
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(BoundControls, keys_typed_into_the_bound_controls_reach_their_handlers)
{
    QWidget window;
    auto* combo = new platform::DBCombo(&window);
    auto* grid = new platform::DBGrid(&window);
    combo->setRowSource(&data, "Okod");
    grid->setDataSource(&data, {{"Okod", "Okod"}});
    platform::Events ev(&window);
    QList<int> comboKeys, gridKeys;
    ev.onKeyPress(combo, [&](int& keyAscii) { comboKeys << keyAscii; });
    ev.onKeyDown(grid, [&](int& keyCode, int) { gridKeys << keyCode; });
    window.show();
    QApplication::setActiveWindow(&window);

    // Keys go where the application delivers them: the focus widget.
    auto typeInto = [](QWidget* target, int key, const QString& text) {
        target->setFocus();
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(QApplication::focusWidget(), &e);
    };
    typeInto(combo, Qt::Key_7, "7");
    typeInto(combo, Qt::Key_Return, "\r");
    typeInto(grid, Qt::Key_Return, "\r");
    typeInto(grid, Qt::Key_F8, {});
    EXPECT_EQ(comboKeys, (QList<int>{'7', 13}));
    EXPECT_EQ(gridKeys, (QList<int>{13, 119}));
    EXPECT_EQ(combo->text(), "7");
}

TEST_F(BoundControls, grid_edits_cells_in_place_only_when_allowed_and_writes_them_at_once)
{
    platform::DBGrid grid;
    grid.show();
    grid.setDataSource(&data, {{"Okod", "Okod"}, {"Megnevezes", "Megnevezes"}});
    auto& m = grid.recordsetModel();
    EXPECT_FALSE(m.flags(m.index(1, 1)) & Qt::ItemIsEditable) << "read-only by default";
    EXPECT_FALSE(m.setData(m.index(1, 1), "x"));

    grid.setAllowUpdate(true);
    ASSERT_TRUE(m.flags(m.index(1, 1)) & Qt::ItemIsEditable);
    // Typing into the current cell starts the edit; Enter stores it.
    grid.show();
    QApplication::setActiveWindow(&grid);
    grid.setFocus();
    grid.setCurrentIndex(m.index(3, 1));
    QKeyEvent type(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "X");
    QApplication::sendEvent(&grid, &type);
    QWidget* editor = QApplication::focusWidget();
    ASSERT_TRUE(editor && editor != &grid);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(editor, &enter);
    QApplication::processEvents();
    EXPECT_EQ(db->scalar("select Megnevezes from okod where Okod = '0400'").toString(), "X");
    EXPECT_EQ(cell(m, 3, 1), "X");
    EXPECT_EQ(m.rowCount(), 5);

    // A grouped set cannot be written back, so its cells stay read-only.
    data.setRecordSource("select Ojelleg, count(*) as n from okod group by Ojelleg");
    data.refresh();
    grid.setDataSource(&data);
    EXPECT_FALSE(m.flags(m.index(0, 0)) & Qt::ItemIsEditable);
}
