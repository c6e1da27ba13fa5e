#include "core_fixture.h"

using namespace printlib;

TEST_F(PrintCoreTest, queue_records_kind_and_index_in_insertion_order_and_grows_by_20)
{
    job().Labels.Add("a");
    job().Lines.Add();
    job().Labels.Add("b");
    job().PageBreaks.Add();
    const clsQueue& q = job().ElementQueue();
    EXPECT_EQ(q.Count(), 4);
    EXPECT_EQ(q.Item(1), "5/1");
    EXPECT_EQ(q.Item(2), "2/1");
    EXPECT_EQ(q.Item(3), "5/2");
    EXPECT_EQ(q.Item(4), "0/1");
    EXPECT_EQ(q.Item(5), ""); // above the count, within the capacity
    EXPECT_EQ(q.Capacity(), 20);
    for (int i = 0; i < 17; ++i)
        job().Rectangles.Add();
    EXPECT_EQ(q.Capacity(), 40);
    EXPECT_EQ(q.Item(21), "3/17");
    EXPECT_EQ(q.Item(3), "5/2");
    EXPECT_THROW(q.Item(41), LibError);
    EXPECT_THROW(q.Item(0), LibError);
}

TEST_F(PrintCoreTest, add_sets_its_arguments_and_leaves_the_class_defaults)
{
    auto l = job().Labels.Add("Felirat");
    EXPECT_EQ(l->Left + l->Top + l->Right + l->Bottom, 0);
    EXPECT_FALSE(l->PositionIsAbsolute);
    EXPECT_EQ(l->FontName, "Arial");
    EXPECT_FLOAT_EQ(l->FontSize, 8.25f);
    EXPECT_EQ(l->FillStyle, 1);
    EXPECT_EQ(l->BorderWidth, 0);

    auto r = job().Rectangles.Add(1, 2, 3, 4, true);
    EXPECT_EQ(r->BorderWidth, 1);
    EXPECT_EQ(r->FillStyle, 1);
    EXPECT_TRUE(r->PositionIsAbsolute);
    EXPECT_EQ(r->Bottom, 4);

    auto line = job().Lines.Add();
    EXPECT_EQ(line->Size, 1);

    QImage img(10, 10, QImage::Format_RGB32);
    auto i = job().Images.Add(img, 5, 6);
    EXPECT_FALSE(i->Width.has_value());
    EXPECT_FALSE(i->Height.has_value());

    // The caller's array is copied.
    PointArray pts(2, 1);
    pts(1, 1) = 3;
    auto p = job().Points.Add(pts);
    pts(1, 1) = 99;
    EXPECT_EQ(p->PointArray(1, 1), 3);

    EXPECT_EQ(job().Labels.Item(1), l);
    EXPECT_THROW(job().Labels.Item(2), LibError);
}

TEST_F(PrintCoreTest, repeats_store_their_values_with_the_documented_substitutions)
{
    auto& rp = job().Repeats;
    rp.AddLine(0, 0, 10, 0, 0);
    rp.AddRectangle(0xFF, 0, 1, 2, 3, 4);
    rp.AddLabel("x", 0, 0, 10, 5, false, 0, 0, "", 0);
    rp.AddLabelEx("y");
    ASSERT_EQ(rp.Count(), 4);
    EXPECT_EQ(static_cast<const clsLineAttributes&>(*rp.Item(1)).Size, 1);
    const auto& rect = static_cast<const clsRectangleAttributes&>(*rp.Item(2));
    EXPECT_EQ(rect.BorderWidth, 1);
    EXPECT_EQ(rect.BorderColor, 0xFFu);
    EXPECT_EQ(rect.Left, 1);
    const auto& label = static_cast<const clsLabelAttributes&>(*rp.Item(3));
    EXPECT_EQ(label.FontName, "Arial");
    EXPECT_FLOAT_EQ(label.FontSize, 8.25f);
    const auto& ex = static_cast<const clsLabelExAttributes&>(*rp.Item(4));
    EXPECT_EQ(ex.CharHeight, 0); // an omitted height stays the font's default
    EXPECT_EQ(ex.FontName, "Arial");
    // Repeats stay out of the page flow.
    EXPECT_EQ(job().ElementQueue().Count(), 0);
    EXPECT_THROW(rp.Item(5), LibError);
}
