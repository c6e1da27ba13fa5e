#include "core_fixture.h"

#include <deque>

using namespace printlib;

namespace {

// Printable height 287 mm; with 10 mm top and bottom margins the usable
// height is 267 mm and the bottom limit 277 mm.
class PaginateTest : public PrintCoreTest {
protected:
    void SetUp() override
    {
        PrintCoreTest::SetUp();
        job().setTopMargin(10);
        job().setBottomMargin(10);
        job().setLeftMargin(20);
        PixelsPerMM = 600 / 25.4f;
        PixelsPerPoint = 600 / 72.0f;
    }
    // The page copies are made afresh on each call: every page asked for is
    // kept until the end of the test, so references into it stay valid.
    template <class T>
    const T& item(int page, int index)
    {
        seen.push_back(job().PageItems(page));
        return static_cast<const T&>(*seen.back().at(size_t(index - 1)));
    }
    size_t itemsOn(int page) { return size_t(job().PageItemCount(page)); }
    std::deque<Page> seen;
};

} // namespace

TEST_F(PaginateTest, page_breaks_open_pages_only_after_content)
{
    job().PageBreaks.Add();
    job().PageBreaks.Add();
    job().Paginate();
    EXPECT_EQ(job().PageCount(), 1); // breaks on an empty page do nothing

    CreateJob();
    job().PageBreaks.Add();         // first entry: nothing
    job().Labels.Add("a", 0, 0, 10, 5);
    job().PageBreaks.Add();
    job().PageBreaks.Add();         // two in a row: one new page
    job().Labels.Add("b", 0, 0, 10, 5);
    job().PageBreaks.Add();         // after the last element: an empty last page
    job().Paginate();
    ASSERT_EQ(job().PageCount(), 3);
    EXPECT_EQ(itemsOn(1), 1u);
    EXPECT_EQ(itemsOn(2), 1u);
    EXPECT_EQ(itemsOn(3), 0u);
}

TEST_F(PaginateTest, flowing_elements_stack_and_absolute_ones_set_the_flow_position)
{
    job().Labels.Add("a", 0, 0, 50, 6);
    job().Rectangles.Add(5, 2, 30, 12);
    auto abs = job().Lines.Add(0, 5, 100, 2, true); // absolute, from y 5 up to y 2
    job().Labels.Add("b", 0, 1, 50, 4);
    job().Paginate();
    ASSERT_EQ(job().PageCount(), 1);
    const auto& a = item<clsLabelAttributes>(1, 1);
    EXPECT_FLOAT_EQ(a.Top, 10);
    EXPECT_FLOAT_EQ(a.Left, 20); // + LeftMargin
    const auto& r = item<clsRectangleAttributes>(1, 2);
    EXPECT_FLOAT_EQ(r.Top, 18);
    EXPECT_FLOAT_EQ(r.Bottom, 28);
    const auto& l = item<clsLineAttributes>(1, 3);
    EXPECT_FLOAT_EQ(l.Y1, 15);
    EXPECT_FLOAT_EQ(l.Y2, 12);
    // The absolute line moved the flow position up to its lower edge.
    EXPECT_FLOAT_EQ(item<clsLabelAttributes>(1, 4).Top, 16);
    EXPECT_FLOAT_EQ(job().FlowY(), 19);
    // The source elements are untouched.
    EXPECT_FLOAT_EQ(abs->Y1, 5);
}

TEST_F(PaginateTest, bottom_limit_carry_and_move)
{
    // A horizontal line whose y + FlowY equals the limit stays.
    job().Lines.Add(0, 267, 10, 267);
    job().Paginate();
    EXPECT_EQ(job().PageCount(), 1);
    EXPECT_FLOAT_EQ(item<clsLineAttributes>(1, 1).Y1, 277);

    // 1 mm lower it is carried: 1 mm below the top margin of page 2.
    CreateJob();
    job().setTopMargin(10);
    job().setBottomMargin(10);
    job().Lines.Add(0, 268, 10, 268);
    job().Paginate();
    ASSERT_EQ(job().PageCount(), 2);
    EXPECT_EQ(itemsOn(1), 0u);
    EXPECT_FLOAT_EQ(item<clsLineAttributes>(2, 1).Y1, 11);

    // A rectangle that starts on the limit but ends below it moves whole.
    CreateJob();
    job().setTopMargin(10);
    job().setBottomMargin(10);
    job().Rectangles.Add(0, 267, 10, 272);
    job().Labels.Add("x", 0, 260, 10, 270); // starts above the limit, ends below
    job().Paginate();
    ASSERT_EQ(job().PageCount(), 3);
    EXPECT_FLOAT_EQ(item<clsRectangleAttributes>(2, 1).Top, 10);
    EXPECT_FLOAT_EQ(item<clsRectangleAttributes>(2, 1).Bottom, 15);
    EXPECT_FLOAT_EQ(item<clsLabelAttributes>(3, 1).Top, 10);
}

TEST_F(PaginateTest, sums_compared_with_the_limit_are_single_precision)
{
    // FlowY 210 after the absolute line; 67.00001f + 210 is 277.0000076 exactly
    // but 277 in single precision, so the line fits.
    job().Lines.Add(0, 200, 10, 200, true);
    job().Lines.Add(0, 67.00001f, 10, 67.00001f);
    job().Paginate();
    EXPECT_EQ(job().PageCount(), 1);
}

TEST_F(PaginateTest, an_element_taller_than_the_page_leaves_the_empty_page_and_runs_past_the_limit)
{
    job().Rectangles.Add(0, 0, 10, 300);
    job().Labels.Add("next", 0, 0, 10, 5);
    job().Paginate();
    ASSERT_EQ(job().PageCount(), 3);
    EXPECT_EQ(itemsOn(1), 0u);
    EXPECT_FLOAT_EQ(item<clsRectangleAttributes>(2, 1).Top, 10);
    EXPECT_FLOAT_EQ(item<clsRectangleAttributes>(2, 1).Bottom, 310);
    EXPECT_EQ(itemsOn(3), 1u);
}

TEST_F(PaginateTest, laid_out_copies_convert_widths_and_word_wrap)
{
    const struct {
        float ppmm;
        short size;
        short px;
    } widths[] = {{11.811f, 1, 2}, {11.811f, 0, 0}, {3.7795f, 3, 2}};
    for (const auto& w : widths) {
        CreateJob();
        PixelsPerMM = w.ppmm;
        job().Lines.Add()->Size = w.size;
        job().Paginate();
        EXPECT_EQ(item<clsLineAttributes>(1, 1).Size, w.px) << w.ppmm << " " << w.size;
    }
    CreateJob();
    auto l3 = job().Labels.Add("w", 0, 0, 10, 5);
    l3->WordWrap = true;
    l3->Align = 1;
    job().Labels.Add("w2", 0, 0, 10, 5)->Align = 16;
    job().LabelsEx.Add("e", 0, 0, 10, 5)->CharHeight = 12;
    PixelsPerPoint = 600 / 72.0f;
    job().Paginate();
    EXPECT_EQ(item<clsLabelAttributes>(1, 1).Align, 17);
    EXPECT_FALSE(item<clsLabelAttributes>(1, 1).WordWrap);
    EXPECT_EQ(item<clsLabelAttributes>(1, 2).Align, 16);
    EXPECT_FLOAT_EQ(item<clsLabelExAttributes>(1, 3).CharHeight, 12 * 600 / 72.0f);
}

TEST_F(PaginateTest, a_point_set_is_carried_by_its_first_point)
{
    job().Rectangles.Add(0, 0, 10, 260); // FlowY 270
    PointArray pts(2, 2);
    pts(1, 1) = 1;
    pts(2, 1) = 9; // 279 > 277: carried 2 mm below the top margin
    pts(1, 2) = 2;
    pts(2, 2) = 400;
    job().Points.Add(pts);
    job().Paginate();
    ASSERT_EQ(job().PageCount(), 2);
    const auto& p = item<clsPointAttributes>(2, 1);
    EXPECT_FLOAT_EQ(p.PointArray(2, 1), 12);
    EXPECT_FLOAT_EQ(p.PointArray(2, 2), 403);
    EXPECT_FLOAT_EQ(p.PointArray(1, 1), 21);
    EXPECT_FLOAT_EQ(job().FlowY(), 12);
}

namespace {
TextArray tableText(int visible, int rows)
{
    TextArray t(visible + 1, rows);
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= visible; ++c)
            t(c, r) = QString("%1:%2").arg(c).arg(r);
    return t;
}
} // namespace

TEST_F(PaginateTest, a_table_splits_into_blocks_that_carry_the_title_row)
{
    job().Rectangles.Add(0, 0, 10, 238); // FlowY 248: room for 4 body rows below the title
    auto t = job().Tables.Add(tableText(2, 11)); // title + 10 body rows
    t->Columns.Add(30, 0, 0);
    t->Columns.Add(40, 0, 2);
    t->Columns.Add(0);
    t->TitleHeight = 7;
    t->BodyHeight = 5;
    job().Paginate();
    ASSERT_EQ(job().PageCount(), 2);
    const auto& b1 = item<clsTableAttributes>(1, 2);
    EXPECT_FLOAT_EQ(b1.Top, 248);
    EXPECT_FLOAT_EQ(b1.Left, 20);
    EXPECT_EQ(b1.TextArray.UBound2(), 5);
    EXPECT_EQ(b1.TextArray(1, 1), "1:1");
    EXPECT_EQ(b1.TextArray(2, 5), "2:5");
    EXPECT_EQ(b1.Columns.Count(), 3);
    EXPECT_EQ(b1.Columns.Item(2).BodyAlign, 2);
    const auto& b2 = item<clsTableAttributes>(2, 1);
    EXPECT_FLOAT_EQ(b2.Top, 10);
    EXPECT_EQ(b2.TextArray.UBound2(), 7);
    EXPECT_EQ(b2.TextArray(1, 1), "1:1");
    EXPECT_EQ(b2.TextArray(1, 2), "1:6");
    EXPECT_FLOAT_EQ(job().FlowY(), 10 + 7 + 6 * 5);
}

TEST_F(PaginateTest, side_by_side_blocks_shrink_to_the_rows_left)
{
    const struct {
        int bodyRows;
        int tc;
        int expectedTc;
        int rowsPerBlock;
    } cases[] = {{4, 3, 2, 2}, {5, 3, 3, 2}, {1, 3, 1, 1}};
    for (const auto& c : cases) {
        CreateJob();
        auto t = job().Tables.Add(tableText(1, c.bodyRows + 1));
        t->Columns.Add(20);
        t->Columns.Add(0);
        t->TotalColumns = short(c.tc);
        job().Paginate();
        ASSERT_EQ(job().PageCount(), 1);
        const auto& b = item<clsTableAttributes>(1, 1);
        EXPECT_EQ(b.TotalColumns, c.expectedTc) << c.bodyRows;
        EXPECT_EQ(b.TextArray.UBound2(), c.bodyRows + 1);
        EXPECT_FLOAT_EQ(job().FlowY(), 7 + c.rowsPerBlock * 5.5f) << c.bodyRows;
    }
}

TEST_F(PaginateTest, table_edge_shapes)
{
    // Only a title row: nothing placed, the flow moves below the title.
    auto t = job().Tables.Add(tableText(1, 1));
    t->Columns.Add(20);
    t->Columns.Add(0);
    job().Paginate();
    EXPECT_EQ(itemsOn(1), 0u);
    EXPECT_FLOAT_EQ(job().FlowY(), 17);

    // One row and no title: one block with that row.
    CreateJob();
    auto u = job().Tables.Add(tableText(1, 1));
    u->FirstRowIsTitle = false;
    u->Columns.Add(20);
    u->Columns.Add(0);
    job().Paginate();
    EXPECT_EQ(item<clsTableAttributes>(1, 1).TextArray.UBound2(), 1);

    // A table starting where not one body row fits moves whole to the next page.
    CreateJob();
    job().setTopMargin(10);
    job().setBottomMargin(10);
    job().Rectangles.Add(0, 0, 10, 262);
    auto v = job().Tables.Add(tableText(1, 3));
    v->Columns.Add(20);
    v->Columns.Add(0);
    job().Paginate();
    ASSERT_EQ(job().PageCount(), 2);
    EXPECT_FLOAT_EQ(item<clsTableAttributes>(2, 1).Top, 10);
    EXPECT_EQ(item<clsTableAttributes>(2, 1).TextArray.UBound2(), 3);
}

TEST_F(PaginateTest, refused_inputs)
{
    // Empty document: error 18, earlier pages kept.
    CreateJob();
    try {
        job().Paginate();
        FAIL();
    } catch (const LibError& e) {
        EXPECT_EQ(e.Number, 18);
        EXPECT_EQ(e.Description, "There is no job for print, before you must create a job.");
    }

    // Values that would loop or divide by zero are refused.
    const struct {
        short tc;
        float bh;
    } bad[] = {{0, 5.5f}, {-1, 5.5f}, {1, 0.0f}, {1, -2.0f}};
    for (const auto& b : bad) {
        CreateJob();
        auto t = job().Tables.Add(tableText(1, 3));
        t->Columns.Add(20);
        t->Columns.Add(0);
        t->TotalColumns = b.tc;
        t->BodyHeight = b.bh;
        EXPECT_THROW(job().Paginate(), LibError) << b.tc << " " << b.bh;
    }
    CreateJob();
    job().Points.Add(PointArray());
    EXPECT_THROW(job().Paginate(), LibError);
}

TEST_F(PaginateTest, an_image_without_height_uses_its_own)
{
    QImage img(96, 192, QImage::Format_RGB32); // 96 dpi: 25.4 x 50.8 mm
    img.setDotsPerMeterX(3780);
    img.setDotsPerMeterY(3780);
    job().Rectangles.Add(0, 0, 10, 230); // FlowY 240: 50.8 mm do not fit
    job().Images.Add(img);
    job().Paginate();
    ASSERT_EQ(job().PageCount(), 2);
    EXPECT_FLOAT_EQ(item<clsImageAttributes>(2, 1).Top, 10);
    EXPECT_NEAR(job().FlowY(), 10 + 192 / 3.78, 0.01);
}
