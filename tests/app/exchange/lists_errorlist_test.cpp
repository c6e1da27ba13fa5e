// The expenditure error list on the recording printer: its header, columns
// and rows, the 40-row pages with "N.lap", the refusal without institution
// data, and what a failing printer leaves behind.
#include "tests/app/exchange/lists_fixture.h"

#include "app/exchange/lists.h"
#include "platform/print/printer.h"
#include "printlib/frmPaginateStatus.h"

#include <QApplication>

#include <functional>

using namespace liststest;
using exchange::rafordhibanyom;

namespace {

class ErrorList : public ListsFixture {};

QStringList headerCells(int lap)
{
    return {
        QStringLiteral("2,1:TALVIRON - BERKOVA"),
        QStringLiteral("50,1:%1.lap").arg(lap),
        QStringLiteral("35,3:RÁFORDÍTÁSI HIBALISTA"),
        QStringLiteral("2,5:INTÉZET:   1234     Szent Kórház"),
        QStringLiteral("2,6:FELD.IDŐ:  2005.03"),
        QStringLiteral("2,8:Törzsszam"),
        QStringLiteral("19,8:Sorszam"),
        QStringLiteral("29,8:Felvétel dátuma"),
        QStringLiteral("47,8:Oszt.kód"),
        QStringLiteral("58,8:Oszt.jel"),
        QStringLiteral("69,8:Kiv.jel"),
        QStringLiteral("78,8:Hiba"),
    };
}

} // namespace

TEST_F(ErrorList, prints_the_months_hand_entered_episodes_in_register_number_order)
{
    institution("1234", "Szent Kórház");
    Episode late;
    late.tSzam = "300000001";
    late.fdat = "2005.03.02.";
    late.vjel = true;
    episode(late);
    Episode first; // sorts first although admitted later in the month
    first.tSzam = "100000001";
    first.tsor = "2";
    first.fdat = "2005.03.28.";
    first.okod = "0202";
    first.ojele = "B";
    first.vjel = false;
    episode(first);
    Episode noFlag;
    noFlag.tSzam = "200000001";
    noFlag.vjel = QVariant();
    noFlag.ojele = "";
    episode(noFlag);
    Episode converted; // taken over from the institution's file: has its data sheet
    converted.tSzam = "000000001";
    converted.manual = false;
    episode(converted);
    Episode otherMonth;
    otherMonth.tSzam = "000000002";
    otherMonth.fdat = "2005.04.01.";
    episode(otherMonth);

    EXPECT_EQ(rafordhibanyom(db(), "2005.03"), std::nullopt);

    ASSERT_EQ(documents().size(), 1u);
    const auto& doc = documents()[0];
    EXPECT_TRUE(doc.ended);
    EXPECT_EQ(doc.orientation, 2);
    ASSERT_EQ(doc.pages.size(), 1u);
    QStringList expected = headerCells(1);
    expected << "2,10:100000001" << "19,10:2" << "29,10:2005.03.28." << "47,10:0202" << "58,10:B" << "69,10:N"
             << "78,10:nincs adatlap";
    expected << "2,11:200000001" << "19,11:0" << "29,11:2005.03.01." << "47,11:0101" << "78,11:nincs adatlap";
    expected << "2,12:300000001" << "19,12:0" << "29,12:2005.03.02." << "47,12:0101" << "58,12:A" << "69,12:I"
             << "78,12:nincs adatlap";
    EXPECT_EQ(cells(doc.pages[0]), expected);
    for (const auto& it : doc.pages[0].items) {
        EXPECT_EQ(it.family, "Arial");
        EXPECT_NEAR(it.pixelSize * 72.0 / kDpi, 10, 0.05);
    }
}

TEST_F(ErrorList, forty_rows_a_page_and_a_page_after_every_fortieth)
{
    institution("1234", "Szent Kórház");
    const struct {
        int episodes;
        int pages;
        QStringList lastPageRows; // register numbers on the last page, from row 10
    } cases[] = {
        {0, 1, {}},
        {1, 1, {"E000"}},
        {40, 2, {}},
        {41, 2, {"E040"}},
        {81, 3, {"E080"}},
    };
    for (const auto& c : cases) {
        db().exec("delete from alap");
        device->clearDocuments();
        for (int i = 0; i < c.episodes; ++i) {
            Episode e;
            e.tSzam = QStringLiteral("E%1").arg(i, 3, 10, QLatin1Char('0'));
            episode(e);
        }
        ASSERT_EQ(rafordhibanyom(db(), "2005.03"), std::nullopt);
        ASSERT_EQ(documents().size(), 1u);
        const auto& pages = documents()[0].pages;
        ASSERT_EQ(int(pages.size()), c.pages) << c.episodes;
        for (int p = 0; p < c.pages; ++p) {
            const QStringList all = cells(pages[size_t(p)]);
            EXPECT_EQ(all.mid(0, 12), headerCells(p + 1)) << c.episodes << " page " << p + 1;
            const int rows = (p + 1 < c.pages) ? 40 : int(c.lastPageRows.size());
            EXPECT_EQ(all.size(), 12 + rows * 7) << c.episodes << " page " << p + 1; // every column filled
            if (p + 1 < c.pages) {
                EXPECT_EQ(row(pages[size_t(p)], 49).value(0), QStringLiteral("E%1").arg(p * 40 + 39, 3, 10, QLatin1Char('0')));
                EXPECT_TRUE(row(pages[size_t(p)], 50).isEmpty());
            }
        }
        QStringList last;
        for (int r = 10; r < 50; ++r)
            if (!row(pages.back(), r).isEmpty())
                last << row(pages.back(), r).first();
        EXPECT_EQ(last, c.lastPageRows) << c.episodes;
    }
}

TEST_F(ErrorList, a_month_text_without_month_selects_nothing)
{
    institution("1234", "Szent Kórház");
    episode({});
    ASSERT_EQ(rafordhibanyom(db(), "2005."), std::nullopt);
    const auto& page = documents().at(0).pages.at(0);
    EXPECT_TRUE(row(page, 10).isEmpty());
    EXPECT_EQ(row(page, 6), QStringList{"FELD.IDŐ:  2005."});
}

TEST_F(ErrorList, rows_stay_on_an_a4_page)
{
    // 50 rows of 240 twips are taller than A4 in landscape: the rows close
    // up so the fortieth still lands on the paper, and columns keep their
    // cells.
    platform::printer().setPaperSize(platform::vbPRPSA4);
    institution("1234", "Szent Kórház");
    for (int i = 0; i < 40; ++i) {
        Episode e;
        e.tSzam = QStringLiteral("E%1").arg(i, 3, 10, QLatin1Char('0'));
        episode(e);
    }
    ASSERT_EQ(rafordhibanyom(db(), "2005.03"), std::nullopt);
    const auto& page = documents().at(0).pages.at(0);
    const double printableHeightPx = (210 - 2 * 5) / 25.4 * kDpi;
    double lowest = 0;
    QString lowestText;
    for (const auto& it : page.items) {
        if (it.point.y() > lowest) {
            lowest = it.point.y();
            lowestText = it.text;
        }
        EXPECT_NEAR(std::fmod(it.point.x() / (120 / 1440.0 * kDpi), 1.0), 0, 1e-6) << it.text.toStdString();
    }
    EXPECT_EQ(lowestText, "E039");
    EXPECT_LT(lowest + 240 / 1440.0 * kDpi * 0.9, printableHeightPx);
}

TEST_F(ErrorList, refuses_without_institution_data_before_printing)
{
    episode({});
    const QStringList rowsOfIntadatok[] = {{}, {"", "Szent Kórház"}, {"    ", "Szent Kórház"}};
    for (const QStringList& r : rowsOfIntadatok) {
        db().exec("delete from intadatok");
        if (!r.isEmpty())
            institution(r[0], r[1]);
        const auto message = rafordhibanyom(db(), "2005.03");
        ASSERT_TRUE(message) << r.join('|').toStdString();
        EXPECT_EQ(message->text, "Ki kell töltenie az intézeti adatokat!");
        EXPECT_EQ(message->title, QString());
        EXPECT_EQ(message->style, platform::Critical);
        EXPECT_TRUE(documents().empty());
    }
}

TEST_F(ErrorList, a_printer_failure_cancels_the_document_and_says_so)
{
    institution("1234", "Szent Kórház");
    for (int i = 0; i < 45; ++i)
        episode({});
    device->onPageStart = [](int page) {
        if (page == 2)
            throw platform::PrinterError(482, "Printer error");
    };
    const auto message = rafordhibanyom(db(), "2005.03");
    ASSERT_TRUE(message);
    EXPECT_EQ(message->text, "Hiba történt.A hibakód: 482 Tájékoztassa a rendszergazdát!");
    EXPECT_EQ(message->title, "Hiba");
    ASSERT_EQ(documents().size(), 1u);
    EXPECT_TRUE(documents()[0].aborted);
    EXPECT_FALSE(platform::printer().inDocument());
}

// Every control list stands under the pagination window from its first page
// to its last, counting the pages begun, and leaves none behind.
TEST_F(ErrorList, every_list_shows_the_pagination_window_while_it_prints)
{
    institution("1234", "Szent Kórház");
    for (int i = 0; i < 90; ++i) {
        Episode e;
        e.tSzam = QStringLiteral("E%1").arg(i, 3, 10, QLatin1Char('0'));
        const qlonglong id = episode(e);
        if (i < 3)
            item(id, {});
    }
    const struct {
        const char* name;
        std::function<std::optional<episode::Message>()> run;
        int pages;
    } lists[] = {
        {"error list", [&] { return rafordhibanyom(db(), "2005.03"); }, 3},
        {"error counts", [&] { return exchange::hibalistnyom(db(), "2005.03"); }, 1},
        {"high-cost sheets", [&] { return exchange::magasatnyom(db(), "2005.03"); }, 3},
    };
    for (const auto& list : lists) {
        SCOPED_TRACE(list.name);
        device->clearDocuments();
        QStringList shown; // the window's count as each page starts
        device->onPageStart = [&](int) {
            const auto windows = QApplication::topLevelWidgets();
            for (QWidget* w : windows)
                if (auto* s = qobject_cast<printlib::frmPaginateStatus*>(w); s && s->isVisible())
                    shown << s->lbl->text() + " " + s->lblStatus->text();
        };
        ASSERT_EQ(list.run(), std::nullopt);
        device->onPageStart = nullptr;
        ASSERT_EQ(int(documents().at(0).pages.size()), list.pages);
        QStringList expected;
        for (int p = 1; p <= list.pages; ++p)
            expected << QStringLiteral("Making Page: %1").arg(std::max(1, p - 1));
        EXPECT_EQ(shown, expected);
        for (QWidget* w : QApplication::topLevelWidgets())
            EXPECT_FALSE(qobject_cast<printlib::frmPaginateStatus*>(w)) << "left behind";
    }
}
