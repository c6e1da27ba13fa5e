// The overview's printed item list on the recording printer: the page
// furniture on every page, the rows at their places, the totals, and where
// pages change.
#include "tests/app/overview/overviewfixture.h"

#include "app/entry/quantity.h"
#include "app/windows/attekintform.h"
#include "app/windows/itemlist.h"
#include "platform/db/dataconnection.h"
#include "printlib/clsPrint.h"
#include "printlib/frmPaginateStatus.h"
#include "printlib/winhelpers.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTimer>

#include <functional>

using overview::ItemListColumns;
using overview::ListedEpisode;
using overview::ListedItem;
using overview::ListedSurgery;

namespace {

struct Printed {
    QString text;
    double x; // mm from the printable area's left edge
    double y; // mm from its top edge
    bool bold;
    bool italic;
};

constexpr double kDpi = 600;
constexpr double kTop = 30;  // top margin
constexpr double kLeft = 10; // left margin

double mm(double px)
{
    return px * 25.4 / kDpi;
}

std::vector<std::vector<Printed>> printedPages(const platform::RecordingDevice& dev)
{
    std::vector<std::vector<Printed>> pages;
    for (const auto& page : dev.documents().back().pages) {
        std::vector<Printed> texts;
        for (const auto& it : page.items)
            if (it.kind == platform::RecordedItem::Text)
                texts.push_back({it.text, mm(it.point.x()), mm(it.point.y()), it.bold, it.italic});
        pages.push_back(texts);
    }
    return pages;
}

const Printed* find(const std::vector<Printed>& page, const QString& text)
{
    for (const auto& p : page)
        if (p.text == text)
            return &p;
    return nullptr;
}

// A printed amount: its thousands are grouped with the locale's no-break
// space; written here with a plain one.
QString amount(const char* text)
{
    return QString::fromUtf8(text).replace(QLatin1Char(' '), QChar(0x00A0));
}

int occurrences(const std::vector<Printed>& page, const QString& text)
{
    return int(std::count_if(page.begin(), page.end(), [&](const Printed& p) { return p.text == text; }));
}

ListedEpisode episode(const QString& tSzam, int surgeries, int items)
{
    ListedEpisode e{tSzam, "123456788", "2005.08.01.", "08:00:00", "2005.08.05.", "12:00:00", "0101", {}, {}};
    for (int s = 0; s < surgeries; ++s)
        e.surgeries.push_back({QStringLiteral("%1").arg(10000 + s), "01:30:00"});
    for (int i = 0; i < items; ++i)
        e.items.push_back({QStringLiteral("K%1").arg(i), "Tétel", "1,00", "db", 1.0, 2.0});
    return e;
}

class ItemListTest : public OverviewTest {
protected:
    std::vector<std::vector<Printed>> print(const std::vector<ListedEpisode>& episodes,
                                            const ItemListColumns& columns = ItemListColumns::surgical())
    {
        printlib::CreateJob();
        overview::buildItemList(*printlib::Job, "1234, Városi Kórház", "2005.08.24.", episodes, columns);
        printlib::Job->PrintDoc(nullptr, false);
        return printedPages(*printerDevice);
    }
};

} // namespace

TEST_F(ItemListTest, every_page_carries_the_header_title_date_headings_footer_and_its_number)
{
    const auto pages = print({episode("111111111", 0, 60)});
    ASSERT_EQ(pages.size(), 2u);
    const auto& doc = printerDevice->documents().back();
    EXPECT_EQ(doc.orientation, 1);
    EXPECT_EQ(doc.paperSize, 9);
    for (size_t p = 0; p < pages.size(); ++p) {
        SCOPED_TRACE(p + 1);
        const auto& page = pages[p];
        const Printed* header = find(page, "1234, Városi Kórház");
        ASSERT_TRUE(header);
        EXPECT_NEAR(header->y, 5, 0.6);
        EXPECT_TRUE(header->bold);
        ASSERT_TRUE(find(page, "Ráfordítási tételek"));
        EXPECT_NEAR(find(page, "Ráfordítási tételek")->y, 19, 0.6);
        ASSERT_TRUE(find(page, " 2005.08.24."));
        const Printed* number = find(page, QStringLiteral("%1. oldal").arg(p + 1));
        ASSERT_TRUE(number);
        EXPECT_NEAR(number->y, 264, 0.6);
        for (const char* h : {"Törzsszám", "TAJ", "Felvételi dátum/idő", "Távozási dátum/idő", "Osztálykód"}) {
            EXPECT_EQ(occurrences(page, h), 1) << h;
            EXPECT_NEAR(find(page, h)->y, kTop + 4, 0.6) << h;
        }
        EXPECT_NEAR(find(page, "Felvételi dátum/idő")->x, kLeft + 60, 0.6);
        EXPECT_NEAR(find(page, "Osztálykód")->x, kLeft + 150, 0.6);
        // The footer rule at 260 mm and the rule under the headings, 12 mm
        // below the top margin, across the printable width.
        const auto& items = doc.pages[p].items;
        auto lineAt = [&](double y) {
            return std::any_of(items.begin(), items.end(), [&](const platform::RecordedItem& it) {
                if (it.kind == platform::RecordedItem::Line)
                    return std::abs(mm(it.line.y1()) - y) < 0.3 && std::abs(mm(it.line.y2()) - y) < 0.3 &&
                           mm(std::abs(it.line.dx())) > 170;
                if (it.kind == platform::RecordedItem::Box)
                    return std::abs(mm(it.rect.top()) - y) < 0.3 && mm(it.rect.width()) > 170;
                return false;
            });
        };
        EXPECT_TRUE(lineAt(260)) << "footer rule";
        EXPECT_TRUE(lineAt(kTop + 12)) << "rule under the headings";
    }
}

TEST_F(ItemListTest, rows_stand_at_their_places_and_totals_sum_unit_prices_and_values)
{
    ListedEpisode e = episode("111111111", 1, 0);
    e.items = {
        {"A1", "Első tétel", "2,50", "db", 1234.5, 3086.25},
        {"A2", "Második", "1,00", QVariant(), 10.0, 10.0},
        {"A3", "Harmadik", "1,00", "", QVariant(), QVariant()},
    };
    ListedEpisode empty = episode("222222222", 0, 0);
    const auto pages = print({e, empty});
    ASSERT_EQ(pages.size(), 1u);
    const auto& page = pages[0];

    struct Expect {
        QString text;
        double x, y;
        bool bold, italic;
    };
    const QList<Expect> expected = {
        {"111111111", 1, 15, true, false},
        {"123456788", 35, 15, true, false},
        {"2005.08.01. / 08:00:00", 60, 15, false, false},
        {"2005.08.05. / 12:00:00", 105, 15, false, false},
        {"0101", 150, 15, false, false},
        {"Műtét: 10000", 3, 20, true, true},
        {"01:30:00", 30, 20, false, false},
        {" - A1", 5, 25, false, false},
        {"Első tétel", 23, 25, false, false},
        {"db", 138, 25, false, false},
        {" - A3", 5, 35, false, false},
        {"Összesen", 120, 45, true, false},
        {"222222222", 1, 55, true, false},
    };
    for (const Expect& x : expected) {
        const Printed* p = find(page, x.text);
        ASSERT_TRUE(p) << x.text.toStdString();
        EXPECT_NEAR(p->x, kLeft + x.x, 0.6) << x.text.toStdString();
        EXPECT_NEAR(p->y, kTop + x.y, 0.6) << x.text.toStdString();
        EXPECT_EQ(p->bold, x.bold) << x.text.toStdString();
        EXPECT_EQ(p->italic, x.italic) << x.text.toStdString();
    }
    // The quantity, right-aligned, ends before the unit column, in the body
    // size when it fits.
    const auto drawn = drawnTexts(printerDevice->documents().back().pages[0]);
    const auto quantity = std::find_if(drawn.begin(), drawn.end(), [](const DrawnText& t) { return t.text == "2,50"; });
    ASSERT_NE(quantity, drawn.end());
    EXPECT_NEAR(quantity->right, kLeft + 138 - 0.5, 0.1);
    EXPECT_NEAR(quantity->points, 8, 0.1);
    EXPECT_NEAR(quantity->y, kTop + 25, 0.1);
    // Money right-aligned in "##,##0.00": unit-price total is the plain sum.
    EXPECT_TRUE(find(page, amount("1 234,50")));
    EXPECT_TRUE(find(page, amount("3 086,25")));
    EXPECT_TRUE(find(page, amount("1 244,50"))) << "unit prices added, a Null counted as nothing";
    EXPECT_TRUE(find(page, amount("3 096,25")));
    EXPECT_LT(find(page, amount("1 234,50"))->x, kLeft + 160);
    EXPECT_GT(find(page, amount("1 234,50"))->x, kLeft + 145);
    // No unit for a Null or empty Me, nothing for a Null price.
    EXPECT_EQ(occurrences(page, "db"), 1);
    // The episode without rows: its totals 10 mm below its row, both zero.
    const Printed* total = nullptr;
    for (const auto& p : page)
        if (p.text == "Összesen" && std::abs(p.y - (kTop + 65)) < 0.6)
            total = &p;
    EXPECT_TRUE(total);
    EXPECT_EQ(occurrences(page, "0,00"), 2);
}

TEST_F(ItemListTest, nothing_on_an_item_row_overlaps_and_the_quantity_is_drawn_whole)
{
    // The longest quantity text the quantity box hands on.
    const QString longest = entry::formatQuantity(999999.99);
    ASSERT_EQ(longest.size(), entry::kRmenMaxLength);
    const QString longName = QStringLiteral("Nagyon hosszú megnevezésű tétel, amely a mennyiség oszlopáig "
                                            "is elérne, ha nem vágnák le a saját oszlopa végén");
    ListedEpisode e = episode("111111111", 0, 0);
    e.items = {
        {"A1", "Tétel", "10,00", "db", 12.5, 125.0},
        {"A2", longName, entry::formatQuantity(1234.5), "nap", 99999.99, 9999999.99},
        {"A3", longName, "1234,50", "fecskendő", 1.0, 1234.5},
        {"A4", "Vizsgálat", longest, "vizsgálat", QVariant(), QVariant()},
        {"A5", longName, longest, QVariant(), 999999.99, 99999999.99},
        {"A6", "Fecskendő", "1,00", "fecskendő", 999999.99, 999999.99},
    };
    // Units that find room before the amounts' figures; the last one's
    // unit price leaves it only the unit column.
    const QStringList unitsWhole = {"A1", "A2", "A3", "A4"};
    const struct {
        const char* program;
        const ItemListColumns& columns;
    } programs[] = {{"surgical", ItemListColumns::surgical()}, {"ward", ItemListColumns::ward()}};
    for (const auto& program : programs) {
        SCOPED_TRACE(program.program);
        print({e}, program.columns);
        const auto rows = drawnRows(printerDevice->documents().back().pages.at(0));
        for (const ListedItem& item : e.items) {
            SCOPED_TRACE(item.rkod.toStdString());
            const auto row = std::find_if(rows.begin(), rows.end(), [&](const std::vector<DrawnText>& r) {
                return r.front().text == " - " + item.rkod;
            });
            ASSERT_NE(row, rows.end());
            EXPECT_EQ(overlaps(*row), QStringList());
            auto text = [&](int k) -> const DrawnText* { return k < int(row->size()) ? &(*row)[size_t(k)] : nullptr; };
            // Code, name, quantity, unit (when there is one), unit price, value.
            const DrawnText* name = text(1);
            const DrawnText* quantity = text(2);
            ASSERT_TRUE(name && quantity);
            EXPECT_TRUE(item.name.startsWith(name->text));
            EXPECT_TRUE(name->whole()) << "the name is cut by whole characters";
            EXPECT_LE(name->right, kLeft + 130 + 0.01);
            EXPECT_EQ(quantity->text, item.rmen);
            EXPECT_TRUE(quantity->whole()) << quantity->text.toStdString();
            EXPECT_LT(quantity->right, kLeft + 138) << "the quantity ends before the unit column";
            EXPECT_GT(quantity->left, name->right);
            EXPECT_GE(quantity->points, 3.5) << "still a printable size";
            if (item.me.isNull())
                continue;
            const DrawnText* unit = text(3);
            ASSERT_TRUE(unit);
            EXPECT_NEAR(unit->left, kLeft + 138, 0.1);
            EXPECT_FALSE(unit->text.isEmpty());
            EXPECT_TRUE(item.me.toString().startsWith(unit->text)) << unit->text.toStdString();
            EXPECT_TRUE(unit->whole()) << "the unit is cut by whole characters";
            if (unitsWhole.contains(item.rkod))
                EXPECT_EQ(unit->text, item.me.toString());
            else
                EXPECT_LT(unit->right, kLeft + 145);
            for (int k = 4; k < int(row->size()); ++k)
                EXPECT_TRUE(text(k)->whole()) << text(k)->text.toStdString();
        }
    }
}

TEST_F(ItemListTest, page_changes_once_a_row_ends_past_220_mm_and_no_page_holds_headings_alone)
{
    struct Case {
        const char* name;
        std::vector<ListedEpisode> episodes;
        size_t pages;
        QString firstOnNextPage; // text of the first body row of page 2
        double itsY;             // mm below the top margin
    };
    // An episode of n items takes 20 + 5n mm with its totals: after one of
    // 36 items the next episode row stands at 215, after 37 at 220.
    const QList<Case> cases = {
        // 40 items: the last at 215, totals at 225; nothing follows, one page.
        {"items up to the threshold", {episode("111111111", 0, 40)}, 1, {}, 0},
        // The 41st item would stand at 220 and leave its totals alone on the
        // next page; it goes along with them.
        {"the totals keep the last item", {episode("111111111", 0, 41)}, 2, " - K40", 15},
        // Surgeries change the page too: none may run under the footer.
        {"many surgeries", {episode("111111111", 60, 0)}, 2, "Műtét: 10041", 15},
        // An episode row at 220 would stand alone: it opens the next page.
        {"episode row at the foot", {episode("111111111", 0, 37), episode("222222222", 0, 2)}, 2, "222222222",
         15},
        // At 215 its first item fits below it, but that item is its last and
        // keeps its totals: all three go over.
        {"episode of one item at 215", {episode("111111111", 0, 36), episode("222222222", 0, 1)}, 2, "222222222",
         15},
        // At 215 with two items the first stays with it; the page changes
        // after that item, as for any item.
        {"episode of two items at 215", {episode("111111111", 0, 36), episode("222222222", 0, 2)}, 2, " - K1", 15},
        // An episode without rows keeps its totals.
        {"empty episode at the foot", {episode("111111111", 0, 37), episode("222222222", 0, 0)}, 2, "222222222",
         15},
        // At 215 the episode row and its "Műtét:" row fit, its first item
        // does not: all three open the next page.
        {"episode, surgery and first item at 215", {episode("111111111", 0, 36), episode("222222222", 1, 2)}, 2,
         "222222222", 15},
        // At 210 with two surgeries the second one would end the page.
        {"two surgeries at 210", {episode("111111111", 0, 35), episode("222222222", 2, 3)}, 2, "222222222", 15},
        // At 205 the episode, both surgeries and the first item fit; the
        // page changes after that item.
        {"two surgeries and the first item at 205", {episode("111111111", 0, 34), episode("222222222", 2, 3)}, 2,
         " - K1", 15},
        // At 210 one surgery and its first item fit below the episode row.
        {"surgery and first item at 210", {episode("111111111", 0, 35), episode("222222222", 1, 2)}, 2, " - K1",
         15},
        // A surgery without items keeps the totals.
        {"surgery without items at 215", {episode("111111111", 0, 36), episode("222222222", 1, 0)}, 2,
         "222222222", 15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto pages = print(c.episodes);
        ASSERT_EQ(pages.size(), c.pages);
        for (const auto& page : pages)
            for (const auto& p : page)
                if (!p.text.endsWith(". oldal"))
                    EXPECT_LE(p.y, kTop + 225 + 0.6) << p.text.toStdString();
        if (c.pages < 2)
            continue;
        const Printed* first = nullptr;
        for (const auto& p : pages[1])
            if (p.y > kTop + 10 && p.y < 250 && (!first || p.y < first->y))
                first = &p;
        ASSERT_TRUE(first);
        EXPECT_EQ(first->text, c.firstOnNextPage);
        EXPECT_NEAR(first->y, kTop + c.itsY, 0.6);
    }
}

// Over a long list of episodes of every shape, the last body row of every
// page but the last is an item or a totals row, never an episode or a
// "Műtét:" row; the ward list (no surgeries) likewise never ends a page with
// an episode row.
TEST_F(ItemListTest, no_page_ends_with_an_episode_or_surgery_row)
{
    std::vector<ListedEpisode> episodes;
    QStringList registers;
    for (int k = 0; k < 150; ++k) {
        const QString tSzam = QStringLiteral("%1").arg(100000000 + k);
        registers << tSzam;
        episodes.push_back(episode(tSzam, (k * 7) % 4, (k * 5) % 13));
    }
    const struct {
        const char* program;
        const ItemListColumns& columns;
        bool surgeries;
    } programs[] = {{"surgical", ItemListColumns::surgical(), true}, {"ward", ItemListColumns::ward(), false}};
    for (const auto& program : programs) {
        SCOPED_TRACE(program.program);
        std::vector<ListedEpisode> listed = episodes;
        if (!program.surgeries)
            for (ListedEpisode& e : listed)
                e.surgeries.clear();
        const auto pages = print(listed, program.columns);
        ASSERT_GT(pages.size(), 10u);
        int episodeRows = 0;
        for (size_t p = 0; p < pages.size(); ++p) {
            const Printed* last = nullptr;
            for (const auto& t : pages[p]) {
                if (t.y < kTop + 10 || t.y > kTop + 228)
                    continue; // headings and page furniture
                if (registers.contains(t.text))
                    ++episodeRows;
                if (!last || t.y > last->y + 0.1 || (std::abs(t.y - last->y) <= 0.1 && t.x < last->x))
                    last = &t;
            }
            ASSERT_TRUE(last);
            if (p + 1 == pages.size())
                continue;
            SCOPED_TRACE(p + 1);
            EXPECT_FALSE(registers.contains(last->text)) << last->text.toStdString();
            EXPECT_FALSE(last->text.startsWith("Műtét: ")) << last->text.toStdString();
        }
        EXPECT_EQ(episodeRows, 150) << "every episode printed once";
    }
}

// The title box holds the date: it ends as far inside the box's right edge
// as the header line begins right of the box's left edge.
TEST_F(ItemListTest, the_date_stays_inside_the_title_box)
{
    print({episode("111111111", 0, 1)});
    const auto& page = printerDevice->documents().back().pages.at(0);
    const platform::RecordedItem* box = nullptr;
    for (const auto& it : page.items)
        if (it.kind == platform::RecordedItem::Box && std::abs(mm(it.rect.top()) - 18) < 0.3)
            box = &it;
    ASSERT_TRUE(box);
    const auto texts = drawnTexts(page);
    const auto date = std::find_if(texts.begin(), texts.end(), [](const DrawnText& t) { return t.text == " 2005.08.24."; });
    const auto header =
        std::find_if(texts.begin(), texts.end(), [](const DrawnText& t) { return t.text == "1234, Városi Kórház"; });
    ASSERT_NE(date, texts.end());
    ASSERT_NE(header, texts.end());
    const double leftInset = header->left - mm(box->rect.left());
    const double rightInset = mm(box->rect.right()) - date->right;
    EXPECT_NEAR(leftInset, 1, 0.1);
    EXPECT_GT(rightInset, 0.5) << "the date runs into the box's edge";
    EXPECT_NEAR(rightInset, leftInset, 0.3);
    EXPECT_TRUE(date->whole());
    EXPECT_GT(date->y, mm(box->rect.top()));
    EXPECT_LT(date->y + 4, mm(box->rect.bottom()));
}

TEST_F(ItemListTest, the_list_menu_prints_the_working_folders_institution_and_shown_episodes)
{
    setInstitution("4321", "Megyei Kórház");
    addEpisode(1, "111111111");
    addEpisode(2, "222222222");
    addItem(2, "B1", "", 1000.0, 2500.0);
    attekintform& w = open();
    w.ker_Click();
    w.Text1->setText("222222222");
    w.SSCommand2_Click();
    printWhilePreviewed = true;
    w.listmenu->trigger();
    ASSERT_EQ(previews, 1);
    const auto pages = printedPages(*printerDevice);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(find(pages[0], "4321, Megyei Kórház"));
    EXPECT_TRUE(find(pages[0], "222222222"));
    EXPECT_FALSE(find(pages[0], "111111111")) << "only the episodes the overview shows";
    EXPECT_TRUE(find(pages[0], amount("2 500,00")));
}

// The list reads the episodes in the order and selection the overview
// shows, each with its own surgeries and items in stored order, whatever
// order they were stored in among the other episodes' rows.
TEST_F(ItemListTest, the_list_follows_the_overviews_order_and_selection)
{
    // Stored order of the episodes: 3, 1, 2; register numbers in yet
    // another order.
    addEpisode(3, "200000000");
    addEpisode(1, "300000000");
    addEpisode(2, "100000000");
    addSurgery(2, "22222");
    addSurgery(1, "11111");
    addSurgery(2, "22221");
    addItem(2, "B1");
    addItem(1, "A1");
    addItem(2, "B2");
    addItem(3, "C1");
    addItem(1, "A2");
    addItem(12, "X1"); // an identifier that only begins like episode 1's
    const QStringList rowsOf1 = {"300000000", "Műtét: 11111", " - A1", " - A2"};
    const QStringList rowsOf2 = {"100000000", "Műtét: 22222", "Műtét: 22221", " - B1", " - B2"};
    const QStringList rowsOf3 = {"200000000", " - C1"};
    struct Case {
        const char* name;
        std::function<void(attekintform&)> order;
        QStringList rows;
    };
    const QList<Case> cases = {
        {"as opened", [](attekintform&) {}, rowsOf3 + rowsOf1 + rowsOf2},
        {"Fizikailag", [](attekintform& w) { w.fizrend->trigger(); }, rowsOf3 + rowsOf1 + rowsOf2},
        {"Azonosító szerint", [](attekintform& w) { w.azrend->trigger(); }, rowsOf1 + rowsOf2 + rowsOf3},
        {"Törzsszám szerint", [](attekintform& w) { w.torzsrend->trigger(); }, rowsOf2 + rowsOf3 + rowsOf1},
        {"found by register number",
         [](attekintform& w) {
             w.ker_Click();
             w.Text1->setText("200000000");
             w.SSCommand2_Click();
         },
         rowsOf3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        previews = 0;
        printWhilePreviewed = true;
        attekintform& w = open();
        c.order(w);
        w.listmenu->trigger();
        ASSERT_EQ(previews, 1);
        const auto pages = printedPages(*printerDevice);
        ASSERT_EQ(pages.size(), 1u);
        // The first text of each body row, top to bottom.
        QStringList rows;
        double lastY = -1;
        for (const auto& row : drawnRows(printerDevice->documents().back().pages[0])) {
            const DrawnText& first = row.front();
            if (first.y < kTop + 10 || first.y > kTop + 228 || first.text == "Összesen" || first.y == lastY)
                continue;
            rows << first.text;
            lastY = first.y;
        }
        EXPECT_EQ(rows, c.rows);
    }
}

// While the list is made and previewed, a second "Lista" starts nothing and
// the overview does not close; the pagination window stands while the rows
// are read and is gone once the preview opens.
TEST_F(ItemListTest, the_list_shows_its_progress_and_refuses_a_second_start_or_a_close)
{
    {
        platform::db::Database::Transaction tx(*entered());
        for (int k = 1; k <= 1500; ++k) {
            addEpisode(k, QStringLiteral("%1").arg(100000000 + k));
            for (int i = 0; i < 4; ++i)
                addItem(k, QStringLiteral("K%1").arg(i));
        }
        tx.commit();
    }
    attekintform& w = open();
    bool statusSeen = false;
    bool listingSeen = false;
    // Timers run in the work's event slices, as the repaints do.
    QTimer::singleShot(0, &w, [&] {
        listingSeen = w.listing();
        for (QWidget* t : QApplication::topLevelWidgets())
            if (auto* s = qobject_cast<printlib::frmPaginateStatus*>(t); s && s->isVisible())
                statusSeen = s->lbl->text() == "Making";
    });
    bool statusAtPreview = true;
    bool closedInPreview = true;
    printlib::setModalDriver([&](QDialog&) {
        ++previews;
        statusAtPreview = false;
        for (QWidget* t : QApplication::topLevelWidgets())
            if (qobject_cast<printlib::frmPaginateStatus*>(t))
                statusAtPreview = true;
        w.listmenu->trigger();
        closedInPreview = w.close();
    });
    w.listmenu->trigger();
    EXPECT_EQ(previews, 1) << "no second list";
    EXPECT_TRUE(listingSeen);
    EXPECT_TRUE(statusSeen) << "the pagination window stands from the first rows";
    EXPECT_FALSE(statusAtPreview);
    EXPECT_FALSE(closedInPreview);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(comeBacks, 0);
    EXPECT_FALSE(w.listing());
    EXPECT_TRUE(w.close()) << "closes once the list is over";
    EXPECT_EQ(comeBacks, 1);
}

TEST_F(ItemListTest, an_institution_never_entered_leaves_the_header_line_empty)
{
    addEpisode(1, "111111111");
    attekintform& w = open();
    printWhilePreviewed = true;
    w.listmenu->trigger();
    EXPECT_EQ(previews, 1);
    EXPECT_TRUE(boxes.shown().isEmpty());
    const auto pages = printedPages(*printerDevice);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(find(pages[0], "111111111"));
}
