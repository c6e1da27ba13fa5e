// The certificate on the recording printer: its rounded frames, the header
// texts at their cells, the item rows with their group headings, the page
// limits and continuation pages, the closing block, and the portrait sheet.
#include "app/windows/nyomtatmodul.h"
#include "platform/print/printer.h"
#include "platform/print/recordingdevice.h"

#include <QFontMetricsF>

#include <gtest/gtest.h>

#include <cmath>

using certificate::Data;
using certificate::Item;
using certificate::Variant;
using platform::RecordedItem;

namespace {

constexpr double kDpi = 600;
// The clear space a quantity keeps before the type letter, in columns.
constexpr double kGap = 0.5;

// Character cells from device pixels: 120 twips a column, 240 a row.
double column(double px)
{
    return px * 1440 / kDpi / 120;
}
double row(double px)
{
    return px * 1440 / kDpi / 240;
}

struct Cell {
    QString text;
    double column, row;
    double pt;
    bool bold, italic;
    double end; // the column where the text ends, measured in the font it was drawn with
};

using Page = std::vector<Cell>;

std::vector<Page> cells(const platform::RecordedDocument& doc)
{
    std::vector<Page> pages;
    for (const auto& p : doc.pages) {
        Page page;
        for (const auto& it : p.items)
            if (it.kind == RecordedItem::Text) {
                QFont font(it.family);
                font.setPixelSize(int(it.pixelSize));
                font.setBold(it.bold);
                font.setItalic(it.italic);
                const double end = column(it.point.x() + QFontMetricsF(font).horizontalAdvance(it.text));
                page.push_back({it.text, column(it.point.x()), row(it.point.y()), it.pixelSize * 72 / kDpi, it.bold,
                                it.italic, end});
            }
        pages.push_back(page);
    }
    return pages;
}

const Cell* find(const Page& page, const QString& text)
{
    for (const auto& c : page)
        if (c.text == text)
            return &c;
    return nullptr;
}

const Cell* startingWith(const Page& page, const QString& prefix)
{
    for (const auto& c : page)
        if (c.text.startsWith(prefix))
            return &c;
    return nullptr;
}

// Rows on which item codes ("K...") stand, in print order.
std::vector<int> itemRows(const Page& page)
{
    std::vector<int> rows;
    for (const auto& c : page)
        if (c.text.size() > 1 && c.text[0] == QLatin1Char('K') && c.text[1].isDigit() && std::abs(c.column - 4) < 0.05)
            rows.push_back(int(std::lround(c.row)));
    return rows;
}

int closingRow(const Page& page)
{
    const Cell* c = startingWith(page, "Az adatok a valóságnak");
    return c ? int(std::lround(c->row)) : -1;
}

Data episode()
{
    Data d;
    d.institutionCode = "1234";
    d.institutionName = "Városi Kórház";
    d.wardCode = "0101";
    d.wardName = "Sebészet";
    d.careType = "1 = aktív fekvőbeteg ellátás";
    d.wardSign = "0 - Saját osztály";
    d.registerNumber = "111111111";
    d.taj = "123456788";
    d.admissionDate = "2005.08.01.";
    d.admissionTime = "08:00";
    d.dischargeDate = "2005.08.05.";
    d.dischargeTime = "12:00";
    d.sequence = "01";
    d.examination = true;
    d.today = "2005.08.24.";
    return d;
}

// n items; each of the first `groups` items under a surgery code of its
// own, the rest under the last one.
std::vector<Item> items(int n, int groups = 1)
{
    std::vector<Item> list;
    for (int i = 0; i < n; ++i)
        list.push_back({QStringLiteral("K%1").arg(i, 3, 10, QLatin1Char('0')), "Tétel", "db", "1,00", "G",
                        QStringLiteral("%1").arg(10000 + std::min(i, groups - 1))});
    return list;
}

class CertificateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto d = std::make_unique<platform::RecordingDevice>(kDpi);
        dev = d.get();
        platform::installPrintDevice(std::move(d));
    }

    std::vector<Page> print(const Data& d, const Variant& v = Variant::surgical())
    {
        certificate::printCertificate(platform::printer(), d, v);
        EXPECT_EQ(dev->documents().size(), 1u);
        EXPECT_TRUE(dev->documents().back().ended);
        return cells(dev->documents().back());
    }

    platform::RecordingDevice* dev = nullptr;
};

} // namespace

TEST(Keretnyom, draws_four_edges_and_four_corner_arcs_inside_the_frame)
{
    platform::RecordingTarget t(1440); // one pixel a twip
    t.setScaleMode(platform::vbTwips);
    certificate::keretnyom(t, 250, 1050, 10400, 550, certificate::kFrameColour, 1);
    const auto& items = t.page.items;
    ASSERT_EQ(items.size(), 8u);
    const QList<QLineF> edges = {
        {330, 1050, 10570, 1050}, {330, 1600, 10570, 1600}, {250, 1130, 250, 1520}, {10650, 1130, 10650, 1520}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(items[i].kind, RecordedItem::Line);
        EXPECT_EQ(items[i].line, edges[i]) << i;
        EXPECT_EQ(items[i].color, QColor(Qt::black)) << "the system's button-text colour prints black";
        EXPECT_EQ(items[i].width, 1);
    }
    struct ArcCase {
        QPointF centre;
        double start, end;
    };
    const QList<ArcCase> arcs = {
        {{330, 1130}, 1.57, 3.14}, {{330, 1520}, 3.14, 4.71}, {{10570, 1130}, 0, 1.57}, {{10570, 1520}, 4.71, 6.28}};
    for (int i = 0; i < 4; ++i) {
        const auto& a = items[4 + i];
        EXPECT_EQ(a.kind, RecordedItem::Arc);
        EXPECT_EQ(a.rect.center(), arcs[i].centre) << i;
        EXPECT_DOUBLE_EQ(a.rect.width(), 160);
        EXPECT_DOUBLE_EQ(a.rect.height(), 160);
        EXPECT_NEAR(a.startAngle, arcs[i].start, 1e-9) << i;
        EXPECT_NEAR(a.endAngle, arcs[i].end, 1e-9) << i;
    }
    EXPECT_EQ(t.DrawWidth, 1);
}

TEST(Keretnyom, a_half_width_frame_shares_the_left_edge_and_divides_the_wide_one)
{
    platform::RecordingTarget t(1440);
    t.setScaleMode(platform::vbTwips);
    certificate::keretnyom(t, 250, 2150, 10400, 550, 0, 1);
    certificate::keretnyom(t, 250, 2150, 5200, 550, 0, 1);
    const auto& it = t.page.items;
    EXPECT_EQ(it[2].line, it[10].line) << "common left edge";
    EXPECT_EQ(it[8].line.y1(), it[0].line.y1()) << "top edges on one line";
    EXPECT_EQ(it[9].line.y1(), it[1].line.y1()) << "bottom edges on one line";
    EXPECT_EQ(it[11].line.x1(), 250 + 5200) << "the narrow frame's right edge halves the wide one";
    EXPECT_EQ(certificate::printedColour(0x0000FF), 0x0000FFu);
}

TEST_F(CertificateTest, page_one_has_its_frames_and_header_texts_at_their_cells_in_portrait)
{
    platform::printer().setOrientation(2); // as an earlier list leaves it
    Data d = episode();
    d.items = items(2);
    const auto pages = print(d);
    const auto& doc = dev->documents().back();
    EXPECT_EQ(doc.orientation, 1);
    ASSERT_EQ(pages.size(), 1u);
    int arcs = 0;
    for (const auto& it : doc.pages[0].items)
        arcs += it.kind == RecordedItem::Arc;
    EXPECT_EQ(arcs, 11 * 4) << "eleven rounded frames";

    struct Expect {
        QString text;
        double column, row, pt;
        bool bold;
    };
    const QList<Expect> expected = {
        {"Tanúsítvány (műtétes)", 33.5, 2, 14, true},
        {"1. oldal", 77, 2, 14, true},
        {"1234 Városi Kórház", (88 - 17) / 2.0, 5, 12, false},
        {"0101 Sebészet (1 = aktív fekvőbeteg ellátás, 0 - Saját osztály)", (88 - 57) / 2.0, 7, 12, false},
        {"Törzsszám: 111111111", 10, 10, 12, false},
        {"Tajszám:   123456788", 48, 10, 12, false},
        {"Felvételi dátum/idő: 2005.08.01. 08:00", 10, 12, 12, false},
        {"Távozási dátum/idő:  2005.08.05. 12:00", 48, 12, 12, false},
        {"Ápolási sorszám: 01", 10, 14, 12, false},
        {"Kivizsgálás: Igen", 48, 14, 12, false},
        {"Kód", 4, 16, 10, true},
        {"Megnevezés", 12, 16, 10, true},
        {"Mee.", 65, 16, 10, true},
        {"Menny.", 77, 16, 10, true},
        {"Jell.", 85, 16, 10, true},
        {"K000", 4, 20, 10, false},
        {"G", 83, 20, 10, false},
        {"2005.08.24.", 3, 66, 10, false},
    };
    for (const Expect& x : expected) {
        const Cell* c = find(pages[0], x.text);
        ASSERT_TRUE(c) << x.text.toStdString();
        EXPECT_NEAR(c->column, x.column, 0.01) << x.text.toStdString();
        EXPECT_NEAR(c->row, x.row, 0.01) << x.text.toStdString();
        EXPECT_NEAR(c->pt, x.pt, 0.2) << x.text.toStdString();
        EXPECT_EQ(c->bold, x.bold) << x.text.toStdString();
    }
    EXPECT_EQ(pages[0][0].text, "Tanúsítvány (műtétes)");
    // The quantity ends just before the type letter, in the item font.
    const Cell* quantity = find(pages[0], "1,00");
    ASSERT_TRUE(quantity);
    EXPECT_NEAR(quantity->end, 83 - kGap, 0.02);
    EXPECT_NEAR(quantity->row, 20, 0.01);
    EXPECT_NEAR(quantity->pt, 10, 0.2);
}

TEST_F(CertificateTest, items_are_grouped_under_their_surgery_with_names_cut_at_fifty_characters)
{
    Data d = episode();
    const QString fifty(50, QLatin1Char('n'));
    d.items = {
        {"K1", fifty, "db", "1,00", "G", "11111"},
        {"K2", fifty + "x", "", "2,50", "G", "11111"},
        {"K3", "Harmadik", "db", "1,00", "M", "22222"},
        {"K4", "Negyedik", "db", "1,00", "M", "11111"},
    };
    d.surgeryNames = {{"11111", "Vakbélműtét"}};
    const auto pages = print(d);
    const Page& p = pages[0];
    struct Expect {
        QString text;
        double column, row;
        bool bold, italic;
    };
    const QList<Expect> expected = {
        {"11111", 3, 19, true, true}, {"Vakbélműtét", 11, 19, true, true}, {"K1", 4, 20, false, false},
        {fifty, 12, 20, false, false}, {fifty + "...", 12, 21, false, false}, {"22222", 3, 22, true, true},
        {"K3", 4, 23, false, false},
    };
    for (const Expect& x : expected) {
        const Cell* c = find(p, x.text);
        ASSERT_TRUE(c) << x.text.toStdString();
        EXPECT_NEAR(c->column, x.column, 0.01) << x.text.toStdString();
        EXPECT_NEAR(c->row, x.row, 0.01) << x.text.toStdString();
        EXPECT_EQ(c->bold, x.bold) << x.text.toStdString();
        EXPECT_EQ(c->italic, x.italic) << x.text.toStdString();
    }
    // A surgery without a name heads its group with the code alone, and the
    // same code heads a second group after another type.
    int headings11111 = 0;
    for (const auto& c : p)
        headings11111 += c.text == "11111";
    EXPECT_EQ(headings11111, 2);
    EXPECT_EQ(itemRows(p), (std::vector<int>{20, 21, 23, 25}));
    // An empty unit leaves its column blank.
    int units = 0;
    for (const auto& c : p)
        units += c.text == "db" && std::abs(c.column - 65) < 0.01;
    EXPECT_EQ(units, 3);
}

TEST_F(CertificateTest, page_limits_continuation_pages_and_where_the_closing_block_goes)
{
    struct Case {
        const char* name;
        int items, groups;
        std::vector<size_t> itemsPerPage;
        int closingPage; // 0-based
        int closingRow;  // row of its first line
    };
    const QList<Case> cases = {
        {"no items", 0, 1, {0}, 0, 20},
        {"29 items and a heading leave room for the block", 29, 1, {29}, 0, 50},
        {"45 heading and item rows close page 1 under limit 64", 23, 22, {23, 0}, 1, 7},
        {"30 items: limit 59", 30, 1, {30}, 0, 51},
        {"39 items and a heading close page 1 at 59", 39, 1, {39, 0}, 1, 7},
        {"120 items: page 2 gets limit 59", 120, 1, {44, 53, 23}, 2, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dev->clearDocuments();
        Data d = episode();
        d.items = items(c.items, c.groups);
        const auto pages = print(d);
        ASSERT_EQ(pages.size(), c.itemsPerPage.size());
        for (size_t p = 0; p < pages.size(); ++p) {
            EXPECT_EQ(itemRows(pages[p]).size(), c.itemsPerPage[p]) << "page " << p + 1;
            EXPECT_TRUE(find(pages[p], QStringLiteral("%1. oldal").arg(p + 1))) << "page " << p + 1;
            const bool last = p + 1 == pages.size();
            EXPECT_EQ(find(pages[p], "-->>>") != nullptr, !last) << "page " << p + 1;
            if (p > 0) {
                const Cell* seq = find(pages[p], "Ápolási sorszám: 01");
                ASSERT_TRUE(seq);
                EXPECT_NEAR(seq->row, 2, 0.01);
                EXPECT_NEAR(seq->column, 4, 0.01);
                EXPECT_NEAR(find(pages[p], "Kód")->row, 4, 0.01);
                EXPECT_FALSE(find(pages[p], "Törzsszám: 111111111")) << "only page 1 has the full header";
                EXPECT_EQ(itemRows(pages[p]).empty() ? 6 : itemRows(pages[p]).front(), 6);
            }
        }
        EXPECT_EQ(closingRow(pages[c.closingPage]), c.closingRow);
    }
}

TEST_F(CertificateTest, a_closing_block_that_would_reach_the_footer_moves_to_a_new_page)
{
    // 21 one-item groups take rows 19 to 60 under limit 64: the block would
    // stand on rows 62 to 67, over the footer.
    Data d = episode();
    d.items = items(21, 21);
    const auto pages = print(d);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(closingRow(pages[0]), -1);
    EXPECT_TRUE(find(pages[0], "-->>>"));
    EXPECT_EQ(closingRow(pages[1]), 7);
    for (const auto& page : pages)
        for (const auto& c : page)
            if (c.row > 64.5)
                EXPECT_NEAR(c.row, 66, 0.01) << c.text.toStdString() << " runs into the footer";
    const Cell* stamp = startingWith(pages[1], QString(22, QLatin1Char(' ')) + "aláírás");
    ASSERT_TRUE(stamp);
    EXPECT_NEAR(stamp->row, 12, 0.01);
    EXPECT_TRUE(stamp->text.endsWith(QString(114, QLatin1Char(' ')) + "pecsét"));
}

TEST_F(CertificateTest, a_centred_line_longer_than_the_page_starts_at_the_first_column)
{
    Data d = episode();
    d.institutionName = QString(100, QLatin1Char('A'));
    const auto pages = print(d);
    const Cell* c = startingWith(pages[0], "1234 AAAA");
    ASSERT_TRUE(c);
    EXPECT_NEAR(c->column, 0, 0.01);
    EXPECT_EQ(c->text.size(), 105);
    EXPECT_EQ(certificate::centredColumn(21), 33.5);
}

TEST(PagePlan, estimate_remainder_and_first_limit)
{
    struct Case {
        int n, estimate, remainder, limit;
    };
    const QList<Case> cases = {
        {0, 0, 0, 64}, {20, 0, 20, 64}, {29, 0, 29, 64}, {30, 1, -29, 59},
        {88, 1, 29, 59}, {89, 2, -29, 64}, {120, 2, 2, 64},
    };
    for (const Case& c : cases) {
        const auto plan = certificate::planPages(c.n);
        EXPECT_EQ(plan.estimate, c.estimate) << c.n;
        EXPECT_EQ(plan.remainder, c.remainder) << c.n;
        EXPECT_EQ(plan.firstLimit, c.limit) << c.n;
    }
}

TEST_F(CertificateTest, ward_certificate_has_its_title_taj_label_cut_columns_and_no_group_headings)
{
    Data d = episode();
    d.items = {
        {"E1", "Labor", "vizsgálatonként", "1234567,50", "E", ""},
        {"L1", "Étkezés", "Nap", "3,00", "L", ""},
    };
    const auto pages = print(d, Variant::ward());
    const Page& p = pages[0];
    struct Expect {
        QString text;
        double column, row;
    };
    const QList<Expect> expected = {
        {"Tanúsítvány (osztályos)", 32.5, 2}, {"Taj szám:   123456788", 48, 10}, {"E1", 4, 19},
        {"vizsgálato", 65, 19}, {"E", 87, 19}, {"Nap", 65, 20}, {"L", 87, 20},
    };
    for (const Expect& x : expected) {
        const Cell* c = find(p, x.text);
        ASSERT_TRUE(c) << x.text.toStdString();
        EXPECT_NEAR(c->column, x.column, 0.01) << x.text.toStdString();
        EXPECT_NEAR(c->row, x.row, 0.01) << x.text.toStdString();
    }
    EXPECT_EQ(closingRow(p), 22);
    // The ward's quantity stays under its own heading, before "Jell.".
    const Cell* quantity = find(p, "1234567,50");
    ASSERT_TRUE(quantity);
    EXPECT_NEAR(quantity->end, 85 - kGap, 0.02);
}

// The longest quantity a box takes, and shorter ones, in both programs: each
// ends right-aligned before the type letter (the ward's before its "Jell."
// heading), whole, on its row's baseline, never over the letter or the unit;
// only a quantity that does not fit gets a smaller font. A unit long enough
// to reach the quantity is cut by whole characters before it.
TEST_F(CertificateTest, quantities_end_right_aligned_before_the_type_letter_whole_and_clear_of_their_neighbours)
{
    struct Case {
        const char* quantity;
        const char* unit;
        const char* unitPrinted;
    };
    const Case cases[] = {
        {"999 999,99", "db", "db"},
        {"1 234,50", "doboz", "doboz"},
        {"2,50", "üveg", "üveg"},
        {"999 999,99", "vizsgálatonként, csomagban", nullptr},
    };
    for (const Variant* v : {&Variant::surgical(), &Variant::ward()}) {
        Data d = episode();
        for (const Case& c : cases)
            d.items.push_back({"K1", "Tétel", c.unit, c.quantity, "D", "10000"});
        dev->clearDocuments();
        const auto pages = print(d, *v);
        const Page& p = pages[0];
        const double right = std::min(v->typeColumn, 85.0) - kGap;
        int row = 0;
        for (const Cell& cell : p) {
            if (cell.text != "K1")
                continue;
            const Case& c = cases[row];
            const std::string label = (v->title + " " + c.quantity).toStdString();
            const Cell *quantity = nullptr, *letter = nullptr, *unit = nullptr;
            for (const Cell& other : p) {
                if (std::abs(other.column - 4) < 0.01 || std::abs(other.row - cell.row) > 0.5)
                    continue;
                if (other.text == QString::fromUtf8(c.quantity))
                    quantity = &other;
                else if (other.text == "D")
                    letter = &other;
                else if (std::abs(other.column - 65) < 0.01)
                    unit = &other;
            }
            ++row;
            ASSERT_TRUE(quantity && letter && unit) << label;
            EXPECT_NEAR(quantity->end, right, 0.02) << label;
            EXPECT_LT(quantity->end, letter->column) << label;
            EXPECT_LT(unit->end, quantity->column) << label;
            if (c.unitPrinted)
                EXPECT_EQ(unit->text, QString::fromUtf8(c.unitPrinted)) << label;
            else
                EXPECT_TRUE(QString::fromUtf8(c.unit).startsWith(unit->text) && !unit->text.isEmpty()) << label;
            // The quantity keeps the item font whenever there is room for it.
            EXPECT_GE(quantity->column, 73 - 0.01) << label;
            EXPECT_NEAR(quantity->pt, 10, 0.2) << label;
            EXPECT_FALSE(quantity->bold) << label;
        }
        EXPECT_EQ(row, 4) << v->title.toStdString();
    }
}

// A quantity too wide for its room is shrunk, only that cell, and lowered
// onto the row's baseline; its next row is back at the item font.
TEST_F(CertificateTest, a_quantity_too_wide_for_its_room_gets_a_smaller_font_on_the_same_baseline)
{
    Data d = episode();
    d.items = {{"K1", "Tétel", "db", "9 999 999 999,99", "G", "10000"}, {"K2", "Tétel", "db", "2,50", "G", "10000"}};
    const auto pages = print(d);
    const Cell* wide = find(pages[0], "9 999 999 999,99");
    const Cell* narrow = find(pages[0], "2,50");
    ASSERT_TRUE(wide && narrow);
    EXPECT_LT(wide->pt, 10);
    EXPECT_GE(wide->column, 73 - 0.01);
    EXPECT_NEAR(wide->end, 83 - kGap, 0.02);
    EXPECT_GT(wide->row, 20) << "lowered onto the baseline";
    EXPECT_LT(wide->row, 20.5);
    EXPECT_NEAR(narrow->pt, 10, 0.2);
    EXPECT_NEAR(narrow->row, 21, 0.01);
    EXPECT_NEAR(find(pages[0], "K1")->pt, 10, 0.2) << "only the quantity shrinks";
}

TEST_F(CertificateTest, ward_certificate_of_120_items_runs_over_three_pages)
{
    Data d = episode();
    for (int i = 0; i < 120; ++i)
        d.items.push_back({QStringLiteral("K%1").arg(i, 3, 10, QLatin1Char('0')), "Tétel", "db", "1,00", "G", ""});
    const auto pages = print(d, Variant::ward());
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(itemRows(pages[0]).size(), 45u);
    EXPECT_EQ(itemRows(pages[1]).size(), 53u);
    EXPECT_EQ(itemRows(pages[2]).size(), 22u);
    EXPECT_EQ(itemRows(pages[2]).back(), 27);
    EXPECT_EQ(closingRow(pages[2]), 29);
    EXPECT_TRUE(find(pages[1], "Tanúsítvány (osztályos)"));
}
