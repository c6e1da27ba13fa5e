// The code statistics: totals per code, the grid, the printout page by page;
// and the about box. Neither window holds the main window back.
#include "tests/app/secondary/secondaryfixture.h"

#include "app/windows/nevjform.h"
#include "app/windows/statform.h"
#include "platform/db/dataconnection.h"
#include "platform/print/recordingdevice.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbgrid.h"
#include "tests/support/qtprinters.h"

#include <QStyledItemDelegate>
#include <QLabel>
#include <QScreen>

class StatTest : public SecondaryTest {
protected:
    void SetUp() override
    {
        SecondaryTest::SetUp();
        auto d = std::make_unique<platform::RecordingDevice>(600);
        dev = d.get();
        platform::installPrintDevice(std::move(d));
    }

    void addItem(const QString& azonosito, const QString& rkod, const QString& rmen)
    {
        entered()->exec(QStringLiteral("insert into Ráfkódok (Azonosito, Rkod, Rmen, Tipus) values (?, ?, ?, 'G')"),
                        {azonosito, rkod, rmen});
    }

    statform& openStat()
    {
        kezdo& w = open();
        w.statmutat();
        EXPECT_TRUE(w.statWindow);
        return *w.statWindow;
    }

    // Text items of a page as "column/line:text", in character cells.
    QStringList cells(const platform::RecordedPage& page) const
    {
        QStringList out;
        const double column = 120 / 1440.0 * 600, line = 240 / 1440.0 * 600;
        for (const auto& item : page.items)
            if (item.kind == platform::RecordedItem::Text)
                out << QStringLiteral("%1/%2:%3")
                           .arg(qRound(item.point.x() / column))
                           .arg(qRound(item.point.y() / line))
                           .arg(item.text);
        return out;
    }

    platform::RecordingDevice* dev = nullptr;
};

TEST_F(StatTest, grouping_totals_each_code_over_the_items_of_episodes)
{
    statform& f = openStat();
    addItem("1", "B200", "2,50");
    addItem("2", "A100", "1 234,50");
    addItem("3", "A100", "0,25");
    addItem("4", "B200", "1,00");
    addItem("", "A100", "7,00");  // no episode: does not count
    addItem("0", "B200", "9,00"); // nor this
    f.Data1->refresh();
    EXPECT_EQ(f.DBGrid1->recordsetModel().rowCount(), 6) << "before grouping the grid shows the items";

    f.Command1->click();
    auto& model = f.DBGrid1->recordsetModel();
    ASSERT_EQ(model.rowCount(), 2);
    // The grid writes the totals the way quantities are written; the text
    // as painted, under the view's locale (the shipped one).
    auto* delegate = qobject_cast<QStyledItemDelegate*>(f.DBGrid1->itemDelegateForIndex(model.index(0, 1)));
    ASSERT_NE(delegate, nullptr);
    QStringList shown;
    for (int r = 0; r < model.rowCount(); ++r)
        shown << model.index(r, 0).data().toString() + " "
                + delegate->displayText(model.index(r, 1).data(), f.DBGrid1->locale());
    EXPECT_EQ(shown, (QStringList{"A100 1 234,75", "B200 3,50"}));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("summenny"));

    f.Command2->click();
    ASSERT_EQ(dev->documents().size(), 1u);
    const auto& doc = dev->documents()[0];
    EXPECT_TRUE(doc.ended);
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_EQ(cells(doc.pages[0]), (QStringList{"2/1:A100", "30/1:1 234,75", "2/2:B200", "30/2:3,50"}));
    EXPECT_EQ(doc.pages[0].items[0].family, QStringLiteral("Arial"));
    EXPECT_EQ(doc.pages[0].items[0].pixelSize, qRound(12 * 600 / 72.0));
}

TEST_F(StatTest, printing_before_grouping_or_with_nothing_prints_nothing)
{
    statform& f = openStat();
    addItem("1", "A100", "1,00");
    f.Data1->refresh();
    f.Command2->click(); // the items themselves carry no totals
    EXPECT_TRUE(dev->documents().empty());
    EXPECT_TRUE(boxes.shown().isEmpty());

    entered()->exec(QStringLiteral("delete from Ráfkódok"));
    f.Command1->click();
    f.Command2->click();
    EXPECT_TRUE(dev->documents().empty());
}

TEST_F(StatTest, lines_past_a_full_page_go_on_to_the_next_page)
{
    statform& f = openStat();
    // 287 mm of printable height hold 67 lines of 240 twips; lines 1..66 fit.
    const int codes = 150;
    for (int i = 0; i < codes; ++i)
        addItem("1", QStringLiteral("K%1").arg(i, 3, 10, QLatin1Char('0')), "1,00");
    f.Command1->click();
    f.Command2->click();
    ASSERT_EQ(dev->documents().size(), 1u);
    const auto& pages = dev->documents()[0].pages;
    ASSERT_EQ(pages.size(), 3u);
    QStringList codesPrinted;
    for (const auto& page : pages) {
        const QStringList c = cells(page);
        EXPECT_EQ(c.first().section(':', 0, 0), QStringLiteral("2/1")) << "each page starts at line 1";
        for (const auto& item : page.items) {
            if (item.point.x() < 500) {
                codesPrinted << item.text;
                EXPECT_LE(item.point.y() + 240 / 1440.0 * 600, 287 / 25.4 * 600 + 1e-6) << "below the page";
            }
        }
    }
    EXPECT_EQ(codesPrinted.size(), codes);
    EXPECT_EQ(codesPrinted.first(), QStringLiteral("K000"));
    EXPECT_EQ(codesPrinted.last(), QStringLiteral("K149"));
    EXPECT_EQ(cells(pages[1]).first(), QStringLiteral("2/1:K066"));
}

TEST_F(StatTest, statistics_and_about_box_leave_the_main_window_usable)
{
    kezdo& w = open();
    w.statmutat();
    ASSERT_TRUE(w.statWindow);
    EXPECT_EQ(w.statWindow->windowTitle(), QStringLiteral("Statisztika"));
    EXPECT_TRUE(w.statWindow->isVisible());

    for (QAction* opener : {w.nevj, w.toolbarButtons[4]}) {
        opener->trigger();
        ASSERT_TRUE(w.nevjWindow);
        nevjform& about = *w.nevjWindow;
        EXPECT_TRUE(about.isVisible());
        EXPECT_FALSE(about.isModal());
        EXPECT_EQ(about.windowTitle(), QStringLiteral("Névjegy"));
        EXPECT_EQ(about.Picture1->pixmap().size(), QSize(422, 248));
        activate(&about);
        const QRect screen = about.screen()->geometry();
        EXPECT_LE(std::abs(about.frameGeometry().center().x() - screen.center().x()), 1);
        EXPECT_LE(std::abs(about.frameGeometry().center().y() - screen.center().y()), 1);
        EXPECT_TRUE(w.isVisible());
        EXPECT_TRUE(w.isEnabled());
        about.close();
        settle();
        EXPECT_FALSE(w.nevjWindow);
    }
    EXPECT_NE(drawAboutPicture(ProgramInfo::sebrix()).toImage(), drawAboutPicture(ProgramInfo::zorivozure()).toImage());
}
