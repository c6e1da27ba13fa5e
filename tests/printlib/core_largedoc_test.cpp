// Documents past the old 16-bit limits, and labels stored compactly: what a
// caller sets on a label reaches the page whether or not it still holds it.
#include "core_fixture.h"

#include "platform/print/drawtarget.h"

using namespace printlib;

namespace {

class LargeDocumentTest : public PrintCoreTest {
protected:
    void SetUp() override
    {
        PrintCoreTest::SetUp();
        PixelsPerMM = 600 / 25.4f;
        PixelsPerPoint = 600 / 72.0f;
    }
    // One numbered label a page.
    void onePerPage(int pages)
    {
        for (int p = 1; p <= pages; ++p) {
            job().Labels.Add(QString::number(p), 0, 0, 50, 5);
            if (p < pages)
                job().PageBreaks.Add();
        }
    }
    QStringList textsOf(int page)
    {
        platform::RecordingTarget target(254);
        target.setScaleMode(platform::vbMillimeters);
        job().DrawPage(target, page, 1, 0, 0);
        return target.page.texts();
    }
};

TEST_F(LargeDocumentTest, more_than_32767_elements_and_pages_paginate_and_number_their_pages)
{
    const int pages = 40000;
    job().Repeats.AddLabel("&[Page]. oldal", 0, 280, 100, 285);
    onePerPage(pages);
    ASSERT_EQ(job().Labels.Count(), pages);
    EXPECT_EQ(job().PageBreaks.Count(), pages - 1);
    EXPECT_EQ(job().ElementQueue().Count(), 2 * pages - 1);
    EXPECT_EQ(job().ElementQueue().Item(2 * pages - 1), "5/40000");
    EXPECT_EQ(job().Labels.Item(pages)->Caption, "40000");

    job().Paginate();
    ASSERT_EQ(job().PageCount(), pages);
    for (int page : {1, 32767, 32768, 40000}) {
        ASSERT_EQ(job().PageItemCount(page), 1) << page;
        const auto items = job().PageItems(page);
        EXPECT_EQ(static_cast<const clsLabelAttributes&>(*items.at(0)).Caption, QString::number(page));
        EXPECT_EQ(textsOf(page), QStringList({QStringLiteral("%1. oldal").arg(page), QString::number(page)}));
    }
    EXPECT_THROW(job().PageItems(pages + 1), LibError);
    EXPECT_THROW(textsOf(0), LibError);
}

TEST_F(LargeDocumentTest, what_is_set_on_a_label_reaches_its_page_however_it_is_stored)
{
    // More labels than are ever kept whole, so the early ones are stored
    // compactly while later ones are added.
    auto held = job().Labels.Add("tartott", 0, 0, 50, 5);
    job().Labels.Add("dőlt", 0, 0, 50, 5)->FontItalic = true;
    job().Labels.Add("vastag piros", 0, 0, 50, 5);
    for (int i = 0; i < 500; ++i)
        job().Labels.Add(QStringLiteral("sima %1").arg(i), 0, 0, 50, 5);
    // Differs from the plain ones above in one property only.
    job().Labels.Add("félkövér", 0, 0, 50, 5)->FontBold = true;
    // Set on the held pointer long after Add.
    held->FontBold = true;
    held->Tag = "címke";
    held.reset();
    // Fetched again after it was stored compactly, then changed.
    {
        auto again = job().Labels.Item(3);
        again->FontBold = true;
        again->ForeColor = 0xFF;
        again->Caption = "vastag piros!";
    }
    for (int i = 0; i < 500; ++i)
        job().Labels.Add(QString(), 0, 0, 50, 5, true)->FontSize = float(8 + i % 3);
    job().LabelsEx.Add("forgatott", 0, 0, 50, 5)->Angle = 900;
    for (int i = 0; i < 100; ++i)
        job().LabelsEx.Add("ex", 0, 0, 50, 5);

    job().Paginate();
    struct Expected {
        int index;
        QString caption;
        bool bold;
        bool italic;
        std::uint32_t colour;
        float size;
        QString tag;
    };
    const Expected cases[] = {
        {1, "tartott", true, false, 0, 8.25f, "címke"},
        {2, "dőlt", false, true, 0, 8.25f, ""},
        {3, "vastag piros!", true, false, 0xFF, 8.25f, ""},
        {4, "sima 0", false, false, 0, 8.25f, ""},
        {503, "sima 499", false, false, 0, 8.25f, ""},
        {504, "félkövér", true, false, 0, 8.25f, ""},
        {505, "", false, false, 0, 8, ""},
        {506, "", false, false, 0, 9, ""},
        {1004, "", false, false, 0, 9, ""},
    };
    for (const Expected& c : cases) {
        const auto source = job().Labels.Item(c.index);
        EXPECT_EQ(source->Caption, c.caption) << c.index;
        EXPECT_EQ(source->FontBold, c.bold) << c.index;
        EXPECT_EQ(source->FontItalic, c.italic) << c.index;
        EXPECT_EQ(source->ForeColor, c.colour) << c.index;
        EXPECT_FLOAT_EQ(source->FontSize, c.size) << c.index;
        EXPECT_EQ(source->Tag, c.tag) << c.index;
        EXPECT_EQ(source->PositionIsAbsolute, c.index > 504) << c.index;
    }
    // The page copies carry the same look.
    const Page page1 = job().PageItems(1);
    const auto& first = static_cast<const clsLabelAttributes&>(*page1.at(0));
    EXPECT_EQ(first.Caption, "tartott");
    EXPECT_TRUE(first.FontBold);
    const auto& third = static_cast<const clsLabelAttributes&>(*page1.at(2));
    EXPECT_EQ(third.Caption, "vastag piros!");
    EXPECT_EQ(third.ForeColor, 0xFFu);
    EXPECT_TRUE(third.FontBold);
    EXPECT_EQ(job().LabelsEx.Item(1)->Angle, 900);
    EXPECT_EQ(job().LabelsEx.Item(2)->Angle, 0);
    EXPECT_EQ(job().LabelsEx.Item(1)->Caption, "forgatott");
}

TEST_F(LargeDocumentTest, a_failed_run_leaves_no_layout_and_a_released_document_no_job)
{
    onePerPage(3);
    job().Paginate();
    ASSERT_EQ(job().PageCount(), 3);
    // A table that cannot be laid out, after thousands of labels.
    for (int i = 0; i < 5000; ++i)
        job().Labels.Add("x", 0, 0, 50, 5);
    auto t = job().Tables.Add(TextArray(2, 3));
    t->Columns.Add(20);
    t->Columns.Add(0);
    t->TotalColumns = 0;
    EXPECT_THROW(job().Paginate(), LibError);
    EXPECT_EQ(job().PageCount(), 0) << "no half-made layout";
    EXPECT_EQ(job().Labels.Count(), 5003) << "pagination alone keeps the elements";

    job().ReleaseElements();
    EXPECT_EQ(job().Labels.Count(), 0);
    EXPECT_EQ(job().Tables.Count(), 0);
    EXPECT_EQ(job().ElementQueue().Count(), 0);
    EXPECT_THROW(job().Paginate(), LibError) << "an emptied document is an empty one";

    ReleaseJob();
    EXPECT_FALSE(Job);
    ReleaseJob(); // nothing to release: no harm
    CreateJob();
    EXPECT_TRUE(Job);
}

} // namespace
