#include "core_fixture.h"

#include "platform/print/drawtarget.h"

#include <QImage>

#include <cmath>

using namespace printlib;
using platform::RecordedItem;

namespace {

// Draws on a recording target of 10 pixels a millimetre (254 dpi), laid out
// for that same device. Printable area 200 x 287 mm.
class RenderTest : public PrintCoreTest {
protected:
    void SetUp() override
    {
        PrintCoreTest::SetUp();
        target.setScaleMode(platform::vbMillimeters);
        job().setLeftMargin(15);
        job().setRightMargin(10);
        job().setTopMargin(30);
    }
    void layOut()
    {
        job().SetDeviceScale(target);
        job().Paginate();
    }
    std::vector<RecordedItem> draw(int page, float zoom = 1, int ox = 0, int oy = 0)
    {
        target.page.items.clear();
        job().DrawPage(target, page, zoom, ox, oy);
        return target.page.items;
    }
    static std::vector<RecordedItem> of(const std::vector<RecordedItem>& items, RecordedItem::Kind kind)
    {
        std::vector<RecordedItem> out;
        for (const auto& i : items)
            if (i.kind == kind)
                out.push_back(i);
        return out;
    }

    platform::RecordingTarget target{254};
};

} // namespace

TEST_F(RenderTest, an_empty_page_gets_its_repeats_and_the_two_margin_masks)
{
    job().Repeats.AddLine(0, 3, 50, 3);
    job().PageBreaks.Add();
    layOut();
    auto items = draw(1);
    ASSERT_EQ(items.size(), 3u);
    // Repeated elements: x from the left margin, y from the top of the
    // printable area (not from the 30 mm top margin).
    EXPECT_EQ(items[0].kind, RecordedItem::Line);
    EXPECT_EQ(items[0].line, QLineF(150, 30, 650, 30));
    EXPECT_EQ(items[0].width, 1);
    // Masks: solid white, no outline, over the left and right margins down to
    // the bottom of the printable area, leaving the margin lines' pixels free.
    EXPECT_EQ(items[1].rect, QRectF(QPointF(-10, -10), QPointF(149, 2870)));
    EXPECT_EQ(items[2].rect, QRectF(QPointF(1901, -10), QPointF(2001, 2870)));
    for (int i : {1, 2}) {
        EXPECT_EQ(items[i].fillStyle, platform::vbFSSolid);
        EXPECT_EQ(items[i].fill, QColor(Qt::white));
        EXPECT_FALSE(items[i].color.isValid());
    }
    // A page outside the list fails after the repeats are drawn.
    target.page.items.clear();
    EXPECT_THROW(job().DrawPage(target, 2, 1, 0, 0), LibError);
    EXPECT_EQ(target.page.items.size(), 1u);
}

TEST_F(RenderTest, page_placeholder_only_in_repeated_captions)
{
    job().Repeats.AddLabel("- &[Page] -", 0, 0, 100, 10, false, 0);
    job().Repeats.AddLabel("&[page]", 0, 10, 100, 20);
    job().Labels.Add("&[Page]", 0, 0, 100, 10);
    job().PageBreaks.Add();
    job().Labels.Add("második", 0, 0, 100, 10);
    layOut();
    ASSERT_EQ(job().PageCount(), 2);
    EXPECT_EQ(target.page.texts(), QStringList());
    draw(1);
    EXPECT_EQ(target.page.texts(), QStringList({"- 1 -", "&[page]", "&[Page]"}));
    draw(2);
    EXPECT_EQ(target.page.texts(), QStringList({"- 2 -", "&[page]", "második"}));
}

TEST_F(RenderTest, labels_frame_only_with_a_border_and_inset_text_by_the_cell_spacing)
{
    job().Repeats.AddLabel("keret nélkül", 0, 0, 50, 10, false, 0, 0, "", 0, false, false, false, false, 0, 0, 0,
                           0xFF, 0);
    auto l = job().Labels.Add("kerettel", 0, 0, 50, 10);
    l->BorderWidth = 2; // 0.2 mm: 2 pixels
    l->FillStyle = 0;
    l->FillColor = 0xFF;
    l->CellSpacing = 1.5;
    l->FontBold = true;
    l->FontSize = 12;
    l->ForeColor = 0xFF0000;
    layOut();
    auto items = draw(1);
    auto boxes = of(items, RecordedItem::Box);
    ASSERT_EQ(boxes.size(), 3u); // the framed label and the two masks
    EXPECT_EQ(boxes[0].rect, QRectF(QPointF(150, 300), QPointF(650, 400)));
    EXPECT_EQ(boxes[0].width, 2);
    EXPECT_EQ(boxes[0].fillStyle, 0);
    auto texts = of(items, RecordedItem::Text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1].text, "kerettel");
    // Text rectangle: 15 mm in from each side, clipped there.
    EXPECT_EQ(texts[1].clip, QRectF(QPointF(165, 315), QPointF(635, 385)));
    EXPECT_EQ(texts[1].point, QPointF(165, 315));
    EXPECT_TRUE(texts[1].bold);
    EXPECT_EQ(texts[1].pixelSize, qRound(12 * 254 / 72.0));
    EXPECT_EQ(texts[1].color, QColor(0, 0, 255));
}

TEST_F(RenderTest, widths_round_up_at_any_zoom_and_positions_scale_with_offsets)
{
    job().Repeats.AddLine(0, 0, 10, 0, 1);    // 0.1 mm: 1 pixel at zoom 1
    auto r = job().Rectangles.Add(0, 0, 10, 10);
    r->BorderWidth = 1;                       // 1 pixel laid out
    layOut();
    const struct {
        float zoom;
        int ox;
        int oy;
    } cases[] = {{1, 0, 0}, {0.5f, 0, 0}, {0.25f, 5, 6}};
    for (const auto& c : cases) {
        auto items = draw(1, c.zoom, c.ox, c.oy);
        const auto& line = items[0];
        const auto& box = items[1];
        EXPECT_EQ(line.width, 1) << c.zoom;
        EXPECT_EQ(box.width, 1) << c.zoom;
        const double z = c.zoom;
        EXPECT_NEAR(line.line.p1().x(), 10 * z * (15 + c.ox), 1e-6);
        EXPECT_NEAR(line.line.p1().y(), 10 * z * c.oy, 1e-6);
        EXPECT_NEAR(box.rect.left(), 10 * z * (15 + c.ox), 1e-6);
        EXPECT_NEAR(box.rect.top(), 10 * z * (30 + c.oy), 1e-6);
        // The right mask reaches as deep as the left one.
        EXPECT_NEAR(items[3].rect.bottom(), items[2].rect.bottom(), 1e-6);
        EXPECT_NEAR(items[2].rect.bottom(), 10 * z * (287 + c.oy), 1e-6);
    }
}

TEST_F(RenderTest, fill_styles_reach_the_target)
{
    for (int style = 0; style <= 7; ++style) {
        auto r = job().Rectangles.Add(0, 0, 10, 5);
        r->FillStyle = style;
        r->FillColor = 0x00FF00;
    }
    layOut();
    auto boxes = of(draw(1), RecordedItem::Box);
    ASSERT_EQ(boxes.size(), 10u);
    for (int style = 0; style <= 7; ++style) {
        EXPECT_EQ(boxes[size_t(style)].fillStyle, style);
        EXPECT_EQ(boxes[size_t(style)].fill, QColor(0, 255, 0));
    }
}

TEST_F(RenderTest, extended_labels_rotate_and_check_the_face_name)
{
    auto e = job().LabelsEx.Add("Fel", 0, 0, 20, 50);
    e->Angle = 900;
    e->CharHeight = 10;
    job().Repeats.AddLabelEx("ism", 0, 0, 20, 10, false, 0, 0, 0, "", 12, 0);
    layOut();
    auto texts = of(draw(1), RecordedItem::Text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1].escapement, 900);
    EXPECT_EQ(texts[1].stretch, 100); // CharWidth 0: the font's own width
    // The cell height in device pixels: points for the repeat (12 pt), the
    // converted pixels for the laid-out copy (10 pt).
    auto cellHeight = [](const RecordedItem& t) {
        QFont f(t.family);
        f.setPixelSize(int(t.pixelSize));
        f.setHintingPreference(QFont::PreferNoHinting);
        return QFontMetricsF(f).height();
    };
    EXPECT_NEAR(cellHeight(texts[0]), 12 * 254 / 72.0, 1.5);
    EXPECT_NEAR(cellHeight(texts[1]), 10 * 254 / 72.0, 1.5);

    e->FontName = QString(31, QLatin1Char('A'));
    layOut();
    EXPECT_NO_THROW(draw(1));
    e->FontName = QString(32, QLatin1Char('A'));
    layOut();
    try {
        draw(1);
        FAIL();
    } catch (const LibError& err) {
        EXPECT_EQ(err.Number, 9);
    }
}

TEST_F(RenderTest, table_blocks_grid_and_cell_formats)
{
    job().setLeftMargin(0);
    job().setTopMargin(0);
    TextArray ta(3, 6); // 2 visible columns, title + 5 body rows
    for (int r = 1; r <= 6; ++r) {
        ta(1, r) = QString("a%1").arg(r);
        ta(2, r) = QString("b%1").arg(r);
    }
    ta(3, 2) = "1,0,12632256,0,3,0,255,0"; // column 1 grey; the second group names column 3: ignored
    ta(3, 3) = "0,4,255,0,2,0,65280,0";    // only column 2
    auto t = job().Tables.Add(ta, 0, 0, 1);
    t->Columns.Add(20, 1, 2);
    t->Columns.Add(30);
    t->Columns.Add(0);
    t->TotalColumns = 3;
    t->TitleHeight = 10;
    t->BodyHeight = 5;
    t->ColumnSpacing = 5;
    layOut();
    auto items = draw(1);
    auto texts = of(items, RecordedItem::Text);
    QStringList drawn;
    for (const auto& x : texts)
        drawn << x.text;
    // Title row on all three blocks, then blocks of 2, 2 and 1 rows, column by column.
    EXPECT_EQ(drawn, QStringList({"a1", "b1", "a1", "b1", "a1", "b1", "a2", "a3", "b2", "b3", "a4", "a5", "b4",
                                  "b5", "a6", "b6"}));
    auto boxes = of(items, RecordedItem::Box);
    ASSERT_EQ(boxes.size(), 4u); // two formatted cells and the masks
    EXPECT_EQ(boxes[0].rect, QRectF(QPointF(0, 100), QPointF(200, 150)));
    EXPECT_EQ(boxes[0].fill, QColor(192, 192, 192));
    EXPECT_EQ(boxes[1].rect, QRectF(QPointF(200, 150), QPointF(500, 200)));
    EXPECT_EQ(boxes[1].fill, QColor(0, 255, 0));
    // Vertical grid lines: blocks 1 and 2 end at 10 + 2 x 5 mm, block 3 one row higher.
    double bottomOfBlock[4] = {0, 0, 0, 0};
    for (const auto& l : of(items, RecordedItem::Line))
        if (l.line.x1() == l.line.x2()) {
            const int block = int(l.line.x1() / 550.0) + 1; // blocks are 50 mm + 5 mm apart
            bottomOfBlock[std::min(block, 3)] = std::max(bottomOfBlock[std::min(block, 3)], l.line.y2());
        }
    EXPECT_NEAR(bottomOfBlock[1], 200, 1e-6);
    EXPECT_NEAR(bottomOfBlock[2], 200, 1e-6);
    EXPECT_NEAR(bottomOfBlock[3], 150, 1e-6);
}

TEST_F(RenderTest, a_table_without_borders_still_fills_formatted_cells)
{
    TextArray ta(2, 2);
    ta(1, 1) = "cím";
    ta(1, 2) = "érték";
    ta(2, 2) = "1,0,255,0";
    auto t = job().Tables.Add(ta);
    t->Columns.Add(40);
    t->Columns.Add(0);
    layOut();
    auto items = draw(1);
    EXPECT_TRUE(of(items, RecordedItem::Line).empty());
    auto boxes = of(items, RecordedItem::Box);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_FALSE(boxes[0].color.isValid()); // no outline
    EXPECT_EQ(boxes[0].fill, QColor(255, 0, 0));
}

// A frame drawn on the margin lines is the usual page border; the masks must
// not swallow its sides at the small zooms of the preview, where the line is
// a single screen pixel.
TEST_F(RenderTest, a_frame_on_the_margin_lines_keeps_its_sides_at_every_zoom)
{
    const double dpi = 96;
    const double pxPerMm = dpi / 25.4;
    for (float zoom : {0.45f, 0.5f, 0.55f, 0.62f, 0.67f, 0.73f, 0.8f, 0.91f, 1.0f, 1.5f}) {
        SCOPED_TRACE(zoom);
        QImage image(int(210 * zoom * pxPerMm) + 2, int(297 * zoom * pxPerMm) + 2, QImage::Format_RGB32);
        image.fill(Qt::white);
        platform::ImageTarget picture(&image, dpi, dpi);
        picture.setScaleMode(platform::vbMillimeters);
        printlib::CreateJob();
        job().setLeftMargin(15);
        job().setRightMargin(10);
        const float right = job().PrintableWidth() - job().LeftMargin() - job().RightMargin();
        job().Repeats.AddRectangle(0x0000FF, 3, 0, 20, right, 250);
        job().PageBreaks.Add();
        job().SetDeviceScale(picture);
        job().Paginate();
        // Offsets of the preview: the printable area centred on the paper.
        job().DrawPage(picture, 1, zoom, 5, 5);
        picture.finish();

        const int row = int(150 * zoom * pxPerMm);
        auto redNear = [&](double mm) {
            const int centre = int(std::lround(mm * zoom * pxPerMm));
            for (int x = centre - 2; x <= centre + 2; ++x)
                if (image.pixelColor(x, row) == QColor(Qt::red))
                    return true;
            return false;
        };
        EXPECT_TRUE(redNear(5 + 15)) << "left side";
        EXPECT_TRUE(redNear(5 + job().PrintableWidth() - 10)) << "right side";
    }
}
