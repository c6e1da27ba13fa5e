// The ward program's overview: the same window without surgeries, with its
// own columns, question, list positions and "Mindent mutat" order.
#include "tests/app/overview/overviewfixture.h"

#include "app/windows/attekintform.h"
#include "app/windows/itemlist.h"
#include "platform/db/dataconnection.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbgrid.h"
#include "printlib/clsPrint.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>

using platform::MsgResult;

namespace {

class WardOverviewTest : public OverviewTest {
protected:
    const ProgramInfo& program() const override { return ProgramInfo::zorivozure(); }
};

} // namespace

TEST_F(WardOverviewTest, two_lists_with_the_ward_columns_and_no_surgeries)
{
    addEpisode(1, "111111111");
    addItem(1, "A1");
    attekintform& w = open();
    EXPECT_FALSE(w.hasSurgeries());
    EXPECT_EQ(w.DBGrid3, nullptr);
    EXPECT_EQ(w.Label7, nullptr);
    EXPECT_EQ(w.Label4->text(), "1");
    EXPECT_EQ(w.Label5->text(), "1");
    ASSERT_EQ(w.DBGrid1->model()->columnCount(), 14);
    EXPECT_EQ(w.DBGrid1->model()->headerData(3, Qt::Horizontal).toString(), "Törzsszszám");
    EXPECT_EQ(w.DBGrid1->model()->headerData(8, Qt::Horizontal).toString(), "Osztálykód");
    EXPECT_EQ(w.DBGrid2->model()->columnCount(), 9);
    EXPECT_EQ(w.listmenu->objectName(), "listamenu");
    EXPECT_EQ(w.torzsrend->text(), "Törzsszám szerint");
}

TEST_F(WardOverviewTest, show_everything_keeps_stored_order_and_search_leaves_the_items_list_narrowed)
{
    addEpisode(2, "222222222");
    addEpisode(1, "111111111");
    addItem(2, "B1");
    addItem(1, "A1");
    attekintform& w = open();
    w.azrend_Click();
    w.SSCommand1_Click();
    EXPECT_EQ(column(*w.Data1, "Azonosito"), (QStringList{"2", "1"}));
    EXPECT_EQ(column(*w.Data2, "Rkod"), (QStringList{"B1", "A1"}));
    EXPECT_EQ(w.Label1->text(), "[ Azonosító szerint rendezve ]");

    w.DBGrid1_DblClick(); // items of episode 2
    w.Text1->setText("111111111");
    w.SSCommand2_Click();
    EXPECT_EQ(column(*w.Data1, "Azonosito"), QStringList{"1"});
    EXPECT_EQ(column(*w.Data2, "Rkod"), QStringList{"B1"}) << "the items list is not queried again";
    EXPECT_EQ(w.Data2->recordset().absolutePosition(), 0);
    EXPECT_EQ(w.Label1->text(), "[ Azonosítóra rendezve ]");
}

TEST_F(WardOverviewTest, delete_asks_its_own_question_and_removes_every_item_of_the_episode)
{
    addEpisode(1, "111111111");
    addEpisode(2, "222222222");
    addItem(1, "A1");
    addItem(2, "B1");
    addItem(2, "B2");
    attekintform& w = open();
    w.DBGrid1_DblClick(); // items narrowed to episode 1
    w.Data1->recordset().moveLast();
    boxes->answer(MsgResult::Yes);
    w.trl->trigger();
    EXPECT_EQ(boxes.single().text, "Biztos törölni akarja?");
    EXPECT_EQ(count("select count(*) from alap"), 1);
    EXPECT_EQ(count("select count(*) from Ráfkódok where Azonosito = '2'"), 0);
    EXPECT_EQ(count("select count(*) from Ráfkódok"), 1);
    EXPECT_EQ(w.Label4->text(), "1");
}

TEST_F(WardOverviewTest, a_refused_delete_leaves_the_rows_and_the_window_as_they_were)
{
    expectRefusedDeletesLeaveTheWindowAsItWas();
}

TEST_F(WardOverviewTest, item_list_sets_the_ward_columns_and_prints_no_surgeries)
{
    addEpisode(1, "111111111");
    addItem(1, "A1");
    attekintform& w = open();
    printWhilePreviewed = true;
    w.listmenu->trigger();
    ASSERT_EQ(previews, 1);
    const auto& page = printerDevice->documents().back().pages.at(0);
    auto xOf = [&page](const QString& text) {
        for (const auto& it : page.items)
            if (it.kind == platform::RecordedItem::Text && it.text == text)
                return it.point.x() * 25.4 / 600 - 10; // mm from the left margin
        return -1.0;
    };
    struct Case {
        QString text;
        double left;
    };
    const QList<Case> cases = {
        {"Felvételi dátum/idő", 55}, {"Távozási dátum/idő", 95}, {"Osztálykód", 135},
        {"2005.08.01. / 08:00:00", 55}, {"2005.08.05. / 12:00:00", 95}, {"0101", 135}, {"db", 138},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(xOf(c.text), c.left, 0.6) << c.text.toStdString();
    for (const auto& it : page.items)
        EXPECT_FALSE(it.text.startsWith("Műtét: "));
}

TEST_F(WardOverviewTest, item_list_prints_a_stored_quantity_whole_before_its_unit)
{
    // A quantity as older records carry it, without grouping, and a unit
    // that starts where the quantity's box used to end.
    addEpisode(1, "111111111");
    addItem(1, "A1", QString(), 100.0, 250.0, QStringLiteral("nap"));
    entered()->exec(QStringLiteral("update Ráfkódok set Rmen = '1234,50'"));
    attekintform& w = open();
    printWhilePreviewed = true;
    w.listmenu->trigger();
    ASSERT_EQ(previews, 1);
    const auto rows = drawnRows(printerDevice->documents().back().pages.at(0));
    const auto row = std::find_if(rows.begin(), rows.end(),
                                  [](const std::vector<DrawnText>& r) { return r.front().text == " - A1"; });
    ASSERT_NE(row, rows.end());
    EXPECT_EQ(overlaps(*row), QStringList());
    const auto quantity =
        std::find_if(row->begin(), row->end(), [](const DrawnText& t) { return t.text == "1234,50"; });
    const auto unit = std::find_if(row->begin(), row->end(), [](const DrawnText& t) { return t.text == "nap"; });
    ASSERT_NE(quantity, row->end());
    ASSERT_NE(unit, row->end());
    EXPECT_LT(quantity->right, unit->left);
    EXPECT_NEAR(unit->left, 10 + 138, 0.1);
}

TEST_F(WardOverviewTest, item_list_follows_the_shown_order_with_each_episodes_own_items)
{
    addEpisode(2, "100000000");
    addEpisode(1, "200000000");
    addItem(1, "A1");
    addItem(2, "B1");
    addItem(1, "A2");
    addItem(11, "X1");
    attekintform& w = open();
    const QStringList stored = {"100000000", " - B1", "200000000", " - A1", " - A2"};
    const QStringList byId = {"200000000", " - A1", " - A2", "100000000", " - B1"};
    for (const auto& [sort, expected] : {std::pair{&attekintform::fizrend_Click, stored},
                                         std::pair{&attekintform::azrend_Click, byId},
                                         std::pair{&attekintform::torzsrend_Click, stored}}) {
        (w.*sort)();
        previews = 0;
        printWhilePreviewed = true;
        w.listmenu->trigger();
        ASSERT_EQ(previews, 1);
        QStringList rows;
        for (const auto& row : drawnRows(printerDevice->documents().back().pages.at(0)))
            if (row.front().y > 40 && row.front().y < 258 && row.front().text != "Összesen")
                rows << row.front().text;
        EXPECT_EQ(rows, expected);
    }
}
