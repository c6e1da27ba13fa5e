#include "platform/print/printer.h"
#include "platform/print/recordingdevice.h"

#include <QFontInfo>
#include <QFontMetricsF>

#include <gtest/gtest.h>

using namespace platform;

namespace {

std::vector<RecordedItem> texts(const RecordedPage& page)
{
    std::vector<RecordedItem> out;
    for (const auto& it : page.items)
        if (it.kind == RecordedItem::Text)
            out.push_back(it);
    return out;
}

QFontMetricsF metricsOf(const DrawTarget& t) { return QFontMetricsF(t.currentFont()); }

} // namespace

TEST(FontSubstitution, named_faces_measure_as_their_metric_compatible_stand_ins)
{
    registerFontSubstitutions();
    const struct {
        const char* face;
        const char* expected;
    } cases[] = {
        {"Arial", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"},
        {"Courier New", "Liberation Mono"},
        {"Courier", "Liberation Mono"},
        {"Ms Serif", "Liberation Serif"},
    };
    for (const auto& c : cases) {
        QFont f(QString::fromLatin1(c.face));
        EXPECT_EQ(QFontInfo(f).family(), QString::fromLatin1(c.expected)) << c.face;
    }
}

TEST(DrawTargetText, horizontal_and_vertical_flags_place_the_line)
{
    RecordingTarget t(96);
    t.FontName = "Arial";
    t.FontSize = 12;
    const QString s = "Abc";
    const double w = metricsOf(t).horizontalAdvance(s);
    const double h = metricsOf(t).height();
    const QRect r(100, 50, 200, 40); // x 100..299, y 50..89
    const struct {
        unsigned flags;
        double x;
        double y;
    } cases[] = {
        {DT_LEFT, 100, 50},
        {DT_CENTER, 100 + (200 - w) / 2, 50},
        {DT_RIGHT, 300 - w, 50},
        // Vertical placement needs a single line; without it text stays on top.
        {DT_VCENTER, 100, 50},
        {DT_BOTTOM, 100, 50},
        {DT_VCENTER | DT_SINGLELINE, 100, 50 + (40 - h) / 2},
        {DT_BOTTOM | DT_SINGLELINE | DT_RIGHT, 300 - w, 90 - h},
    };
    for (const auto& c : cases) {
        t.page.items.clear();
        QRect rect = r;
        t.DrawText(s, rect, c.flags);
        auto tx = texts(t.page);
        ASSERT_EQ(tx.size(), 1u) << c.flags;
        EXPECT_NEAR(tx[0].point.x(), c.x, 0.01) << c.flags;
        EXPECT_NEAR(tx[0].point.y(), c.y, 0.01) << c.flags;
    }
}

TEST(DrawTargetText, line_breaks_word_breaks_and_single_line)
{
    RecordingTarget t(96);
    t.FontSize = 10;
    const double h = metricsOf(t).height();
    const double wordW = metricsOf(t).horizontalAdvance("alma korte");

    // Line breaks split; CR LF counts once.
    QRect r(0, 0, 500, 300);
    t.DrawText("egy\r\nketto\nharom", r, DT_LEFT);
    auto tx = texts(t.page);
    ASSERT_EQ(tx.size(), 3u);
    EXPECT_EQ(tx[1].text, "ketto");
    EXPECT_NEAR(tx[2].point.y(), 2 * h, 0.01);

    // Word break keeps words whole, drops the blank at the break.
    t.page.items.clear();
    QRect narrow(0, 0, int(wordW) - 2, 300);
    t.DrawText("alma korte szilva", narrow, DT_WORDBREAK);
    EXPECT_EQ(t.page.texts(), QStringList({"alma", "korte", "szilva"}));

    // A word wider than the rectangle stays whole on its line.
    t.page.items.clear();
    QRect tiny(0, 0, 5, 300);
    t.DrawText("szilva", tiny, DT_WORDBREAK);
    EXPECT_EQ(t.page.texts(), QStringList({"szilva"}));

    // Single line ignores the line breaks.
    t.page.items.clear();
    QRect one(0, 0, 500, 300);
    t.DrawText("a\r\nb", one, DT_SINGLELINE);
    EXPECT_EQ(t.page.texts(), QStringList({"ab"}));
}

TEST(DrawTargetText, clipped_to_the_rectangle_unless_noclip)
{
    RecordingTarget t(96);
    QRect r(10, 20, 30, 15);
    t.DrawText("egy hosszu szoveg", r, DT_LEFT);
    ASSERT_EQ(texts(t.page).size(), 1u);
    EXPECT_EQ(texts(t.page)[0].clip, QRectF(10, 20, 30, 15));

    t.page.items.clear();
    t.DrawText("egy hosszu szoveg", r, DT_NOCLIP);
    EXPECT_FALSE(texts(t.page)[0].clip.isValid());
}

TEST(DrawTargetText, calcrect_measures_without_drawing)
{
    RecordingTarget t(96);
    const double h = metricsOf(t).height();
    QRect r(0, 0, 1000, 10);
    const int height = t.DrawText("a\nb\nc", r, DT_CALCRECT);
    EXPECT_TRUE(t.page.items.empty());
    EXPECT_EQ(height, int(std::ceil(3 * h)));
    EXPECT_EQ(r.height(), height);
}

TEST(DrawTargetText, logical_font_rotates_and_stretches)
{
    RecordingTarget t(96);
    LogFont lf;
    lf.faceName = "Arial";
    lf.height = 20;
    lf.escapement = 900;
    QRect r(0, 0, 300, 300);
    t.DrawText("Fel", r, DT_NOCLIP, &lf);
    auto tx = texts(t.page);
    ASSERT_EQ(tx.size(), 1u);
    EXPECT_EQ(tx[0].escapement, 900);
    EXPECT_EQ(tx[0].stretch, 100);
    // A positive height is the character cell: ascent plus descent.
    EXPECT_NEAR(QFontMetricsF(DrawTarget::fontFromLogFont(lf)).height(), 20, 1.0);

    lf.escapement = 0;
    const double natural = QFontMetricsF(DrawTarget::fontFromLogFont(lf)).averageCharWidth();
    lf.width = int(2 * natural);
    t.page.items.clear();
    t.DrawText("Szeles", r, 0, &lf);
    EXPECT_EQ(texts(t.page)[0].stretch, qRound(lf.width / natural * 100));
}

TEST(DrawTargetShapes, boxes_follow_draw_style_and_fill_style)
{
    RecordingTarget t(254); // 10 pixels a millimetre
    t.setScaleMode(vbMillimeters);
    t.DrawWidth = 3;
    t.FillStyle = vbCross;
    t.FillColor = 0x0000FF; // red
    t.Box(1, 2, 11, 7, 0x00FF00);
    ASSERT_EQ(t.page.items.size(), 1u);
    const auto& b = t.page.items[0];
    EXPECT_EQ(b.rect, QRectF(10, 20, 100, 50));
    EXPECT_EQ(b.color, QColor(0, 255, 0));
    EXPECT_EQ(b.fill, QColor(255, 0, 0));
    EXPECT_EQ(b.fillStyle, vbCross);
    EXPECT_EQ(b.width, 3);

    t.DrawStyle = vbInvisible;
    t.Box(1, 2, 11, 7, 0);
    EXPECT_FALSE(t.page.items[1].color.isValid()); // no outline, still filled
    EXPECT_EQ(t.page.items[1].fillStyle, vbCross);

    t.BoxFilled(0, 0, 1, 1, 0xFFFFFF);
    EXPECT_EQ(t.page.items[2].fillStyle, vbFSSolid);
    EXPECT_EQ(t.page.items[2].fill, QColor(Qt::white));
}

TEST(PrinterLayer, character_cells_place_text_and_print_ends_the_line)
{
    auto dev = std::make_unique<RecordingDevice>(600);
    RecordingDevice* d = dev.get();
    installPrintDevice(std::move(dev));
    Printer& p = printer();
    p.setScaleMode(vbCharacters);
    p.FontName = "Arial";
    p.FontSize = 10;
    p.CurrentX = 5;
    p.CurrentY = 2;
    p.Print("RÁFORDÍTÁSI HIBALISTA");
    // 5 cells of 120 twips and 2 rows of 240 twips at 600 dpi.
    const auto& first = d->documents().at(0).pages.at(0).items.at(0);
    EXPECT_DOUBLE_EQ(first.point.x(), 5 * 120 / 1440.0 * 600);
    EXPECT_DOUBLE_EQ(first.point.y(), 2 * 240 / 1440.0 * 600);
    EXPECT_EQ(first.family, "Arial");
    EXPECT_EQ(first.pixelSize, qRound(10 * 600 / 72.0));
    EXPECT_EQ(p.CurrentX, 0);
    EXPECT_NEAR(p.CurrentY, 2 + QFontMetricsF(p.currentFont()).height() / 600 * 6, 1e-9);

    p.CurrentX = 2.5; // fractional cells are allowed
    p.CurrentY = 4;
    p.Print("x");
    p.NewPage();
    p.Print("y");
    p.EndDoc();
    ASSERT_EQ(d->documents().size(), 1u);
    const auto& doc = d->documents()[0];
    EXPECT_TRUE(doc.ended);
    ASSERT_EQ(doc.pages.size(), 2u);
    EXPECT_DOUBLE_EQ(doc.pages[0].items[1].point.x(), 2.5 * 120 / 1440.0 * 600);
    EXPECT_EQ(doc.pages[1].texts(), QStringList({"y"}));
    EXPECT_EQ(doc.pages[1].items[0].point, QPointF(0, 0)); // a new page starts at the top left

    p.Print("z");
    p.KillDoc();
    EXPECT_TRUE(d->documents()[1].aborted);
}

TEST(PrinterLayer, paper_codes_orientation_and_metrics)
{
    installPrintDevice(std::make_unique<RecordingDevice>(300));
    Printer& p = printer();
    const struct {
        int code;
        int orientation;
        double wMm;
        double hMm;
    } cases[] = {
        {vbPRPSA4, 1, 210, 297}, {vbPRPSA4, 2, 297, 210}, {vbPRPSLetter, 1, 215.9, 279.4},
        {vbPRPSLegal, 1, 215.9, 355.6}, {vbPRPSA3, 1, 297, 420}, {vbPRPSA5, 1, 148, 210},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(p.setPaperSize(c.code));
        ASSERT_TRUE(p.setOrientation(c.orientation));
        EXPECT_NEAR(p.Width(), c.wMm / 25.4 * 1440, 1) << c.code;
        EXPECT_NEAR(p.Height(), c.hMm / 25.4 * 1440, 1) << c.code;
        EXPECT_NEAR(p.printableSizeMm().width(), c.wMm - 10, 0.01);
    }
    EXPECT_FALSE(p.setPaperSize(4711));
    EXPECT_EQ(p.PaperSize(), vbPRPSA5);
    EXPECT_EQ(p.logPixelsX(), 300);
    p.setScaleMode(vbMillimeters);
    EXPECT_NEAR(p.ScaleWidth(), 148 - 10, 1e-6); // A5 portrait, 5 mm edges
}

TEST(PrinterLayer, a_new_printer_keeps_orientation_paper_and_font)
{
    installPrintDevice(std::make_unique<RecordingDevice>(300));
    Printer& p = printer();
    p.setOrientation(2);
    p.setPaperSize(vbPRPSA3);
    p.FontName = "Courier New";
    p.FontSize = 9;
    ASSERT_TRUE(selectPrinter(pdfPrinterName()));
    Printer& q = printer();
    EXPECT_EQ(q.DeviceName(), pdfPrinterName());
    EXPECT_EQ(q.Orientation(), 2);
    EXPECT_EQ(q.PaperSize(), vbPRPSA3);
    EXPECT_EQ(q.FontName, "Courier New");
    EXPECT_EQ(q.FontSize, 9);
    EXPECT_FALSE(selectPrinter("Nincs ilyen"));
    EXPECT_TRUE(printerNames().contains(pdfPrinterName()));
}
