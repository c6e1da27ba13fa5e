#include "platform/ui/dbgrid.h"
#include "tests/support/qtprinters.h"

#include <QHeaderView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using platform::db::DataConnection;
using platform::db::Database;

namespace {

// A grid far taller than its one row, as a list of a quiet month shows.
class GridDoubleClick : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        db = Database::create(dir.filePath("adatok.mdb"));
        db->execScript("create table alap (T_szam text, Taj text);"
                       "insert into alap values ('111111111', '222222222');");
        data.setDatabase(db);
        data.setRecordSource("select * from alap");
        data.refresh();
        grid.setDataSource(&data, {{"T_szam", "T_szam"}, {"Taj", "Taj"}});
        grid.resize(600, 300);
        QObject::connect(&grid, &platform::DBGrid::DblClick, [this] { ++dblClicks; });
        grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    }

    enum class Place { Row, EmptyPart, RowHeader, EmptyRowHeader, ColumnHeader };

    void doubleClick(Place place)
    {
        const QRect row = grid.visualRect(grid.model()->index(0, 0));
        QHeaderView* rows = grid.verticalHeader();
        switch (place) {
        case Place::Row:
            QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, row.center());
            break;
        case Place::EmptyPart:
            QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, grid.viewport()->rect().center());
            break;
        case Place::RowHeader:
            QTest::mouseDClick(rows->viewport(), Qt::LeftButton, {}, QPoint(rows->width() / 2, row.center().y()));
            break;
        case Place::EmptyRowHeader:
            QTest::mouseDClick(rows->viewport(), Qt::LeftButton, {}, rows->viewport()->rect().center());
            break;
        case Place::ColumnHeader:
            QTest::mouseDClick(grid.horizontalHeader()->viewport(), Qt::LeftButton, {},
                               QPoint(row.center().x(), grid.horizontalHeader()->height() / 2));
            break;
        }
    }

    QTemporaryDir dir;
    std::shared_ptr<Database> db;
    DataConnection data{"Data3"};
    platform::DBGrid grid;
    int dblClicks = 0;
};

} // namespace

TEST_F(GridDoubleClick, a_pick_grid_reports_only_a_double_click_on_a_row)
{
    ASSERT_FALSE(grid.dblClickAnywhere());
    const std::pair<Place, int> cases[] = {
        {Place::Row, 1}, {Place::EmptyPart, 0}, {Place::RowHeader, 0},
        {Place::EmptyRowHeader, 0}, {Place::ColumnHeader, 0},
    };
    for (const auto& [place, expected] : cases) {
        dblClicks = 0;
        doubleClick(place);
        EXPECT_EQ(dblClicks, expected) << int(place);
    }
}

TEST_F(GridDoubleClick, a_grid_that_reports_anywhere_hears_its_empty_part_and_headers)
{
    grid.setDblClickAnywhere(true);
    for (Place place : {Place::Row, Place::EmptyPart, Place::RowHeader, Place::EmptyRowHeader, Place::ColumnHeader}) {
        dblClicks = 0;
        doubleClick(place);
        EXPECT_EQ(dblClicks, 1) << int(place);
        EXPECT_EQ(data.recordset().absolutePosition(), 0) << "the one row stays current";
    }
}
