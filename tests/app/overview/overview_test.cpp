// The overview of the entered data: its grids and counts, narrowing, sort
// orders, the search by register number, deleting an episode with all of
// its rows, and the item list's effect on the window.
#include "tests/app/overview/overviewfixture.h"

#include "app/common/kezdo.h"
#include "app/windows/attekintform.h"
#include "platform/db/dataconnection.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbgrid.h"
#include "printlib/clsPrint.h"
#include "tests/support/otherprogram.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

#include <vector>

using platform::MsgIcon;
using platform::db::Database;
using platform::MsgResult;

namespace {

QString heading(platform::DBGrid* g, int column)
{
    return g->model()->headerData(column, Qt::Horizontal).toString();
}

} // namespace

TEST_F(OverviewTest, activation_counts_each_list_and_empty_tables_read_zero)
{
    {
        attekintform& w = open();
        EXPECT_EQ(w.windowTitle(), "Áttekintés");
        EXPECT_EQ(w.Label4->text(), "0");
        EXPECT_EQ(w.Label5->text(), "0");
        EXPECT_EQ(w.Label7->text(), "0");
        EXPECT_EQ(w.Label1->text(), "[ Fizikailag rendezve ]");
        EXPECT_EQ(w.Label2->text(), "[]");
        EXPECT_FALSE(w.SSFrame1->isVisible());
        window.reset();
    }
    addEpisode(1, "111111111");
    addEpisode(2, "222222222");
    addSurgery(2, "11111");
    addItem(1, "A1");
    addItem(2, "B1", "11111");
    addItem(2, "B2", "11111");
    attekintform& w = open();
    EXPECT_EQ(w.Label4->text(), "2");
    EXPECT_EQ(w.Label5->text(), "3");
    EXPECT_EQ(w.Label7->text(), "1");
    EXPECT_EQ(w.Data1->recordset().absolutePosition(), 0) << "a counted list stands on its first row";

    ASSERT_EQ(w.DBGrid1->model()->columnCount(), 23);
    EXPECT_EQ(heading(w.DBGrid1, 3), "Törzsszam");
    EXPECT_EQ(heading(w.DBGrid1, 22), "Mut4");
    ASSERT_EQ(w.DBGrid2->model()->columnCount(), 9);
    EXPECT_EQ(heading(w.DBGrid2, 1), "Zorivozure kód");
    EXPECT_EQ(heading(w.DBGrid2, 7), "Érték");
    ASSERT_EQ(w.DBGrid3->model()->columnCount(), 5);
    EXPECT_EQ(heading(w.DBGrid3, 3), "Műtétidőtartam");
    EXPECT_EQ(w.DBGrid1->editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST_F(OverviewTest, double_clicks_narrow_to_an_episode_and_to_a_surgery)
{
    addEpisode(1, "111111111");
    addEpisode(2, "222222222");
    addSurgery(2, "11111");
    addSurgery(2, "22222");
    addItem(1, "A1");
    addItem(2, "B1", "11111");
    addItem(2, "B2", "22222");
    addItem(2, "B3", "22222");
    attekintform& w = open();

    w.Data1->recordset().moveLast();
    w.DBGrid1_DblClick();
    EXPECT_EQ(column(*w.Data2, "Rkod"), (QStringList{"B1", "B2", "B3"}));
    EXPECT_EQ(column(*w.Data3, "Mkod"), (QStringList{"11111", "22222"}));
    EXPECT_EQ(w.Label2->text(), "[ Lebontva: 2 törzsszámra ]");
    EXPECT_EQ(w.Label5->text(), "3");
    EXPECT_EQ(w.Label7->text(), "2");

    w.Data3->recordset().moveLast();
    w.DBGrid3_DblClick();
    EXPECT_EQ(column(*w.Data2, "Rkod"), (QStringList{"B2", "B3"}));
    EXPECT_EQ(w.Label5->text(), "3") << "the item count is not taken again";
    EXPECT_EQ(w.Label2->text(), "[ Lebontva: 2 törzsszámra ]");
}

TEST_F(OverviewTest, double_clicks_without_a_current_row_change_nothing)
{
    attekintform& w = open();
    const QString items = w.Data2->recordSource();
    w.DBGrid1_DblClick();
    w.DBGrid3_DblClick();
    EXPECT_EQ(w.Data2->recordSource(), items);
    EXPECT_EQ(w.Label2->text(), "[]");
    EXPECT_TRUE(boxes.shown().isEmpty());
}

TEST_F(OverviewTest, sort_orders_set_their_lists_and_name_the_order)
{
    addEpisode(3, "111111111");
    addEpisode(1, "333333333");
    addEpisode(2, "222222222");
    struct Case {
        void (attekintform::*handler)();
        QStringList ids;
        QString label;
        bool lowerListsReordered;
    };
    const QList<Case> cases = {
        {&attekintform::torzsrend_Click, {"3", "2", "1"}, "[ Törzsszám szerint rendezve ]", false},
        {&attekintform::azrend_Click, {"1", "2", "3"}, "[ Azonosító szerint rendezve ]", true},
        {&attekintform::fizrend_Click, {"3", "1", "2"}, "[ Fizikailag rendezve ]", true},
    };
    attekintform& w = open();
    w.Data1->recordset().moveLast();
    w.DBGrid1_DblClick(); // narrowed to episode 2
    for (const Case& c : cases) {
        (w.*c.handler)();
        EXPECT_EQ(column(*w.Data1, "Azonosito"), c.ids) << c.label.toStdString();
        EXPECT_EQ(w.Label1->text(), c.label);
        EXPECT_EQ(w.Data2->recordSourceParams().isEmpty(), c.lowerListsReordered) << c.label.toStdString();
        EXPECT_EQ(w.Label2->text(), "[ Lebontva: 2 törzsszámra ]") << "the narrowing label stays";
    }
}

TEST_F(OverviewTest, search_finds_every_episode_of_a_register_number_and_positions_the_lower_lists)
{
    addEpisode(1, "111111111");
    addEpisode(2, "222222222");
    addEpisode(3, "111111111");
    addSurgery(1, "11111");
    addSurgery(3, "33333");
    addItem(1, "A1");
    addItem(3, "C1");
    addItem(3, "C2");
    attekintform& w = open();

    w.ker->trigger();
    EXPECT_TRUE(w.SSFrame1->isVisible());
    w.Text1->setText("111111111");
    w.SSCommand2->click();
    EXPECT_EQ(column(*w.Data1, "Azonosito"), (QStringList{"1", "3"}));
    EXPECT_EQ(w.Label4->text(), "2");
    EXPECT_EQ(w.Label1->text(), "[ Azonosítóra rendezve ]");
    EXPECT_EQ(w.Data2->recordset().text("Rkod"), "A1") << "items stand on the first found episode's first row";
    EXPECT_EQ(w.Data3->recordset().text("Mkod"), "11111");
    EXPECT_EQ(w.Label5->text(), "3");
    EXPECT_FALSE(w.SSFrame1->isVisible());
    EXPECT_EQ(w.Text1->text(), "111111111") << "the text stays for the next search";
    EXPECT_TRUE(boxes.shown().isEmpty());
}

TEST_F(OverviewTest, search_binds_the_text_as_typed_and_reports_an_unknown_number)
{
    addEpisode(1, "111111111");
    addEpisode(2, "222'2222");
    const QStringList missing = {" 111111111", "111111111 ", "x' or '1'='1", "9'"};
    attekintform& w = open();
    for (const QString& typed : missing) {
        boxes->clear();
        w.ker_Click();
        w.Text1->setText(typed);
        int enter = 13;
        w.Text1_KeyPress(enter);
        const auto& box = boxes.single();
        EXPECT_EQ(box.text, "Nincs ilyen törzsszám!") << typed.toStdString();
        EXPECT_EQ(box.icon, MsgIcon::Critical);
        EXPECT_EQ(box.title, "Sebrix");
        EXPECT_EQ(w.Data1->recordset().recordCount(), 2) << "the whole list comes back";
        EXPECT_TRUE(w.SSFrame1->isVisible()) << "the frame stays open";
    }
    boxes->clear();
    w.Text1->setText("222'2222");
    w.SSCommand2_Click();
    EXPECT_TRUE(boxes.shown().isEmpty());
    EXPECT_EQ(column(*w.Data1, "Azonosito"), QStringList{"2"});
}

TEST_F(OverviewTest, search_on_an_empty_list_only_hides_the_frame)
{
    attekintform& w = open();
    w.ker_Click();
    w.Text1->setText("111111111");
    w.SSCommand2_Click();
    EXPECT_FALSE(w.SSFrame1->isVisible());
    EXPECT_TRUE(boxes.shown().isEmpty());
    EXPECT_EQ(w.Data1->recordSource(), "alap");
    w.ker_Click();
    w.SSCommand3->click();
    EXPECT_FALSE(w.SSFrame1->isVisible());
}

TEST_F(OverviewTest, show_everything_resets_sources_and_narrowing_but_not_the_order_label)
{
    addEpisode(2, "222222222");
    addEpisode(1, "111111111");
    addItem(2, "B1");
    addItem(1, "A1");
    attekintform& w = open();
    w.torzsrend_Click();
    w.DBGrid1_DblClick();
    w.SSCommand1->click();
    EXPECT_EQ(column(*w.Data1, "Azonosito"), (QStringList{"1", "2"}));
    EXPECT_EQ(column(*w.Data2, "Rkod"), (QStringList{"A1", "B1"}));
    EXPECT_EQ(w.Label2->text(), "[]");
    EXPECT_EQ(w.Label1->text(), "[ Törzsszám szerint rendezve ]");
    EXPECT_EQ(w.Label5->text(), "2");
}

TEST_F(OverviewTest, delete_removes_the_episode_with_its_items_and_surgeries_whatever_the_lists_show)
{
    addEpisode(1, "111111111");
    addEpisode(2, "222222222");
    addSurgery(1, "11111");
    addSurgery(2, "22222");
    addSurgery(2, "22223");
    addItem(1, "A1", "11111");
    addItem(2, "B1", "22222");
    addItem(2, "B2", "22223");
    attekintform& w = open();
    // The lower lists narrowed to episode 1, the episode list on episode 2.
    w.DBGrid1_DblClick();
    w.Data1->recordset().moveLast();

    boxes->answer(MsgResult::No);
    w.trl->trigger();
    EXPECT_EQ(count("select count(*) from alap"), 2) << "No deletes nothing";

    boxes->clear();
    boxes->answer(MsgResult::Yes);
    w.trl->trigger();
    const auto& box = boxes.single();
    EXPECT_EQ(box.text, "Biztos törölni akarja?Törlődni fog az összes felvett ráfordítás-, és műtétkód!");
    EXPECT_EQ(box.title, "Kérdés");
    EXPECT_EQ(box.icon, MsgIcon::Question);
    EXPECT_EQ(count("select count(*) from alap where Azonosito = 2"), 0);
    EXPECT_EQ(count("select count(*) from Ráfkódok where Azonosito = '2'"), 0);
    EXPECT_EQ(count("select count(*) from műtétek where Azonosito = '2'"), 0);
    EXPECT_EQ(count("select count(*) from Ráfkódok"), 1) << "other episodes keep their rows";
    EXPECT_EQ(count("select count(*) from műtétek"), 1);
    EXPECT_EQ(w.Data2->recordSource(), "select * from Ráfkódok") << "lower lists back to all rows";
    EXPECT_EQ(w.Data3->recordSource(), "select * from műtétek");
    EXPECT_EQ(w.Label4->text(), "1");
    EXPECT_EQ(w.Label5->text(), "1");
    EXPECT_EQ(w.Label7->text(), "1");
    EXPECT_EQ(w.Label2->text(), "[ Lebontva: 1 törzsszámra ]");
}

TEST_F(OverviewTest, delete_is_all_or_nothing_and_without_a_current_row_asks_nothing)
{
    addEpisode(1, "111111111");
    addSurgery(1, "11111");
    addItem(1, "A1", "11111");
    // A surgery that cannot be deleted makes the last step fail.
    entered()->execScript(QStringLiteral(
        "CREATE TRIGGER keep BEFORE DELETE ON \"műtétek\" BEGIN SELECT RAISE(ABORT, 'védett'); END;"));
    attekintform& w = open();
    boxes->answer(MsgResult::Yes);
    w.trl_Click();
    ASSERT_EQ(boxes.shown().size(), 2);
    EXPECT_EQ(boxes.shown()[1].title, "Hiba");
    EXPECT_EQ(count("select count(*) from alap"), 1);
    EXPECT_EQ(count("select count(*) from Ráfkódok"), 1);
    EXPECT_EQ(count("select count(*) from műtétek"), 1);
    EXPECT_EQ(w.Label4->text(), "1") << "the episode is still listed";

    // No current row: neither a question nor a deletion.
    boxes->clear();
    w.Text1->setText("nincs");
    w.SSCommand2_Click(); // not found: the list comes back...
    boxes->clear();
    w.Data1->setRecordSource("select * from alap where T_szam= ?", {"nincs"});
    w.Data1->refresh(); // ...and is emptied here to leave no current row
    w.trl_Click();
    EXPECT_TRUE(boxes.shown().isEmpty());
    EXPECT_EQ(count("select count(*) from alap"), 1);
}

// Another program holding the file, and a disk that fills up during the
// delete: the box says so in Hungarian, naming the file, and nothing goes.
TEST_F(OverviewTest, delete_under_a_lock_or_on_a_full_disk_is_told_in_hungarian)
{
    addEpisode(1, "111111111");
    addSurgery(1, "11111");
    addItem(1, "A1", "11111");
    const QString notDeleted = "Nem sikerült a törlés, semmi sem törlődött!\n";
    attekintform& w = open();
    {
        Database::setBusyTimeout(200);
        testsupport::OtherProgram other(entered()->path());
        ASSERT_TRUE(other.lock());
        boxes->answer(MsgResult::Yes);
        w.trl_Click();
        Database::setBusyTimeout(5000);
        ASSERT_EQ(boxes.shown().size(), 2);
        EXPECT_EQ(boxes.shown()[1].text, notDeleted + "A(z) madatok.mdb adatbázisfájlt egy másik program használja, "
                                                      "a művelet nem hajtható végre. Próbálja meg újra később!");
        EXPECT_EQ(boxes.shown()[1].title, "Hiba");
        EXPECT_EQ(boxes.shown()[1].icon, MsgIcon::Critical);
    }
    EXPECT_EQ(count("select count(*) from alap"), 1);

    // The delete has to write a large row that the file, kept at its size,
    // cannot take.
    entered()->execScript(QStringLiteral("CREATE TABLE naplo (x); CREATE TRIGGER naplo BEFORE DELETE ON alap "
                                         "BEGIN INSERT INTO naplo VALUES (zeroblob(100000)); END;"));
    entered()->scalar(QStringLiteral("pragma max_page_count = %1")
                          .arg(entered()->scalar(QStringLiteral("pragma page_count")).toInt()));
    boxes->clear();
    boxes->answer(MsgResult::Yes);
    w.trl_Click();
    ASSERT_EQ(boxes.shown().size(), 2);
    EXPECT_EQ(boxes.shown()[1].text, notDeleted + "Betelt a lemez, a(z) madatok.mdb adatbázisfájlba nem lehet írni.");
    EXPECT_EQ(count("select count(*) from alap"), 1);
    EXPECT_EQ(count("select count(*) from Ráfkódok"), 1);
    EXPECT_EQ(count("select count(*) from műtétek"), 1);
    EXPECT_EQ(w.Label4->text(), "1");
}

void OverviewTest::expectRefusedDeletesLeaveTheWindowAsItWas()
{
    addEpisode(1, "111111111");
    addEpisode(2, "222222222");
    addEpisode(3, "333333333");
    for (int id = 1; id <= 3; ++id) {
        if (!program().isWard())
            addSurgery(id, QStringLiteral("1111%1").arg(id));
        addItem(id, QStringLiteral("A%1").arg(id), QStringLiteral("1111%1").arg(id));
        addItem(id, QStringLiteral("B%1").arg(id), QStringLiteral("1111%1").arg(id));
    }
    attekintform& w = open();
    // The lower lists narrowed to episode 2, the episode list on episode 3.
    w.Data1->recordset().setAbsolutePosition(1);
    w.DBGrid1_DblClick();
    w.Data1->recordset().setAbsolutePosition(2);
    QApplication::processEvents();

    // What the clerk sees: each grid's rows and selected row, the labels.
    const auto shown = [&w] {
        QStringList seen;
        for (platform::DBGrid* grid : {w.DBGrid1, w.DBGrid2, w.DBGrid3}) {
            if (!grid)
                continue;
            QStringList rows;
            for (int row = 0; row < grid->model()->rowCount(); ++row)
                rows << grid->model()->index(row, 0).data().toString() + u'/'
                        + grid->model()->index(row, 1).data().toString();
            seen << grid->objectName() + u':' + rows.join(u',') + QStringLiteral(" @%1").arg(grid->row());
        }
        for (QLabel* label : {w.Label1, w.Label2, w.Label4, w.Label5, w.Label7})
            if (label)
                seen << label->objectName() + u':' + label->text();
        return seen;
    };
    const QStringList before = shown();
    ASSERT_TRUE(before.contains(QStringLiteral("Label2:[ Lebontva: 2 törzsszámra ]"))) << before.join(u'|').toStdString();
    const auto stored = [this] {
        return QStringLiteral("%1/%2/%3")
            .arg(count("select count(*) from alap"))
            .arg(count("select count(*) from Ráfkódok"))
            .arg(program().isWard() ? 0 : count("select count(*) from műtétek"));
    };
    const QString storedBefore = stored();

    const std::vector<testsupport::Hold> holds = testsupport::holdsOn(QStringLiteral("alap"));
    for (const testsupport::Hold& hold : holds) {
        SCOPED_TRACE(hold.name);
        boxes->clear();
        boxes->answer(MsgResult::Yes);
        {
            Database::setBusyTimeout(200);
            testsupport::OtherProgram other(entered()->path());
            hold.take(other);
            w.trl->trigger();
            other.release();
            Database::setBusyTimeout(5000);
        }
        ASSERT_EQ(boxes.shown().size(), 2) << boxes.texts().join(u'|').toStdString();
        EXPECT_EQ(boxes.shown()[1].text, "Nem sikerült a törlés, semmi sem törlődött!\nA(z) " + program().enteredDataFile
                                             + " adatbázisfájlt egy másik program használja, a művelet nem hajtható "
                                               "végre. Próbálja meg újra később!");
        EXPECT_EQ(stored(), storedBefore);
        QApplication::processEvents();
        EXPECT_EQ(shown(), before);
    }

    // Once the file is free the same choice deletes episode 3.
    boxes->clear();
    boxes->answer(MsgResult::Yes);
    w.trl->trigger();
    EXPECT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(count("select count(*) from alap where Azonosito = 3"), 0);
}

TEST_F(OverviewTest, a_refused_delete_leaves_the_rows_and_the_window_as_they_were)
{
    expectRefusedDeletesLeaveTheWindowAsItWas();
}

TEST_F(OverviewTest, closing_hands_control_back_to_the_main_window)
{
    attekintform& w = open();
    EXPECT_EQ(comeBacks, 0);
    w.close();
    EXPECT_EQ(comeBacks, 1);
}

TEST_F(OverviewTest, item_list_of_an_empty_selection_is_refused_without_a_preview)
{
    attekintform& w = open();
    w.listmenu->trigger();
    const auto& box = boxes.single();
    EXPECT_EQ(box.text, "Nincs nyomtatandó tétel!");
    EXPECT_EQ(box.title, "Hiba");
    EXPECT_EQ(box.icon, MsgIcon::Critical);
    EXPECT_EQ(previews, 0);
}

TEST_F(OverviewTest, after_the_item_list_the_lower_lists_show_the_last_listed_episode_recounted)
{
    addEpisode(1, "111111111");
    addEpisode(2, "222222222");
    addSurgery(1, "11111");
    addSurgery(2, "22222");
    addItem(1, "A1");
    addItem(1, "A2");
    addItem(2, "B1");
    attekintform& w = open();
    w.azrend_Click();
    ASSERT_EQ(w.Label5->text(), "3");
    w.listmenu->trigger();
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(previewPages, 1);
    EXPECT_FALSE(printlib::Job) << "the list's document is released once its preview closes";
    EXPECT_EQ(column(*w.Data2, "Rkod"), QStringList{"B1"});
    EXPECT_EQ(w.Label5->text(), "1");
    EXPECT_EQ(w.Label7->text(), "1");
    EXPECT_EQ(w.Label4->text(), "2");
    EXPECT_EQ(w.Data1->recordset().absolutePosition(), 0);
    EXPECT_TRUE(boxes.shown().isEmpty());
}

TEST_F(OverviewTest, minden_hides_the_main_window_until_the_overview_closes)
{
    addEpisode(1, "111111111");
    kezdo main(program());
    main.anotherInstanceRunning = [] { return false; };
    main.show();
    platform::ActivationTracker::instance().windowActivated(&main);
    const int activations = main.activationCount();

    main.mind->trigger();
    QPointer<attekintform> o;
    for (QWidget* t : QApplication::topLevelWidgets())
        if (auto* a = qobject_cast<attekintform*>(t))
            o = a;
    ASSERT_TRUE(o);
    EXPECT_TRUE(o->isVisible());
    EXPECT_FALSE(main.isVisible());
    platform::ActivationTracker::instance().windowActivated(o);
    EXPECT_EQ(o->Label4->text(), "1");

    o->close();
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(main.isEnabled());
    platform::ActivationTracker::instance().windowActivated(&main);
    EXPECT_EQ(main.activationCount(), activations + 1) << "the main window's activation replays";
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(o) << "a later Minden loads the window anew";

    // The overview is a window of its own: a preview closing over it, with
    // the main window hidden, leaves the program running.
    main.mind->trigger();
    for (QWidget* t : QApplication::topLevelWidgets())
        if (auto* a = qobject_cast<attekintform*>(t))
            o = a;
    ASSERT_TRUE(o);
    EXPECT_EQ(o->parentWidget(), nullptr);
}
