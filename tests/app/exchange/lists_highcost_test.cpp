// The high-cost item sheets: which episodes get a sheet (a stay of 0 days
// counting as one day), the sheet's header, codes and item block, the
// continuation page of a long block, and the messages.
#include "tests/app/exchange/lists_fixture.h"

#include "app/exchange/lists.h"

#include <QFontMetricsF>

using namespace liststest;
using exchange::HighCostEpisode;
using exchange::magasatnyom;

namespace {

class HighCost : public ListsFixture {};

HighCostEpisode stay(const QString& from, const QString& to, double total, int items = 1)
{
    HighCostEpisode e;
    e.admissionDate = from;
    e.dischargeDate = to;
    e.itemTotal = total;
    e.itemCount = items;
    return e;
}

// The item heading at a row, word by word over the item columns.
QStringList heading(int row)
{
    QStringList out;
    for (const char* cell : {"3,%1:RÁFORDÍTÁSOK", "58,%1:MENNY.EGYS.", "70,%1:PONT", "76,%1:MENNYISÉG",
                             "88,%1:EGYS.ÁR", "100,%1:ÉRTÉK"})
        out << QString::fromUtf8(cell).arg(row);
    return out;
}

} // namespace

TEST(HighCostRules, an_episode_gets_a_sheet_below_5000_a_day)
{
    const struct {
        HighCostEpisode episode;
        bool sheet;
    } cases[] = {
        {stay("2005.03.01.", "2005.03.10.", 45000), false},     // 5000 a day
        {stay("2005.03.01.", "2005.03.10.", 44999.99), true},
        {stay("2005.03.01.", "2005.03.10.", 0), true},
        {stay("2005.03.01.", "2005.03.10.", 100, 0), false},    // no items, no sheet
        {stay("2005.03.01.", "2005.03.01.", 4999), true},       // 0 days count as one
        {stay("2005.03.01.", "2005.03.01.", 5000), false},
        {stay("2005.03.31.", "2005.04.02.", 9998), true},       // 2 days across a month end
        {stay("2005.03.01.", "", 4000), true},                  // no discharge date: one day
        {stay("2005.03.01.", "", 6000), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(exchange::getsHighCostSheet(c.episode), c.sheet)
            << c.episode.admissionDate.toStdString() << " " << c.episode.dischargeDate.toStdString() << " "
            << c.episode.itemTotal;
}

TEST(HighCostRules, codes_of_a_converted_episode_up_to_the_first_blank_one)
{
    // Diagnosis code k: 5 characters from position 2 + 7(k-1) of Betegseg;
    // intervention code k: characters 25..29 of the k-th 32-character entry.
    const QString betegseg = " A0100  B0200  C0300         D0400 ";
    EXPECT_EQ(exchange::diagnosisCodes(betegseg), QStringList({"A0100", "B0200", "C0300"}));
    EXPECT_EQ(exchange::diagnosisCodes(QString()), QStringList());
    QString full;
    for (int k = 0; k < 16; ++k)
        full += QStringLiteral(" K%1  ").arg(k, 4, 10, QLatin1Char('0')).left(7);
    EXPECT_EQ(exchange::diagnosisCodes(full).size(), 16);
    EXPECT_EQ(exchange::diagnosisCodes(full).last(), "K0015");

    QString beavatkoz;
    for (const char* code : {"12345", "23456", "     ", "34567"})
        beavatkoz += QString(24, QLatin1Char('x')) + QString::fromLatin1(code) + "yyy";
    EXPECT_EQ(exchange::interventionCodes(beavatkoz), QStringList({"12345", "23456"}));
    EXPECT_EQ(exchange::interventionCodes(beavatkoz.left(40)), QStringList({"12345"}));
}

TEST(HighCostRules, numbers_print_in_general_form_after_a_blank)
{
    const struct {
        QVariant value;
        QString printed;
    } cases[] = {
        {QVariant(), ""},         {0.0, " 0"},           {12.5, " 12,5"},  {qlonglong(1500), " 1500"},
        {1234567.25, " 1234567,25"}, {-3.0, "-3"},       {0.1 + 0.2, " 0,3"}, {QString("12.5"), " 12,5"},
        {QString("n/a"), "n/a"},  {QString(), ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(exchange::printedNumber(c.value), c.printed) << c.value.toString().toStdString();
}

TEST_F(HighCost, a_hand_entered_episode_sheet)
{
    institution("1234", "Szent Kórház");
    Episode e;
    e.okod = "0101";
    e.tSzam = "123456789";
    e.fdat = "2005.03.01.";
    e.tdat = "2005.03.10.";
    const auto id = episode(e);
    Item drug;
    drug.rkod = "G0001";
    drug.name = "Aspirin";
    drug.me = "db";
    drug.pont = 0;
    drug.rmen = "2,50";
    drug.price = 12.5;
    drug.value = 31.25;
    item(id, drug);
    Item noUnit;
    noUnit.rkod = "M0002";
    noUnit.name = "Kötszer";
    noUnit.me = "";
    noUnit.pont = QVariant();
    noUnit.rmen = "1 000,00";
    noUnit.price = 3.0;
    noUnit.value = 3000.0;
    item(id, noUnit);

    ASSERT_EQ(magasatnyom(db(), "2005.03"), std::nullopt);
    ASSERT_EQ(documents().size(), 1u);
    const auto& doc = documents()[0];
    EXPECT_TRUE(doc.ended);
    EXPECT_EQ(doc.orientation, 2);
    ASSERT_EQ(doc.pages.size(), 1u);
    const QStringList header = {
        "2,1:INTÉZET:   1234     Szent Kórház",
        "2,3:FELD.IDŐ:  2005.03",
        "2,5:Oszt.kod  Törzsszám  Felv.dat.   Táv.dat.  Elsz.nap  Kor  TS",
        "0,6:01011234567892005.03.01.2005.03.10.9",
    };
    const QStringList items = {
        "3,9:G0001Aspirin", "55,9:db",           "65,9: 0",  "72,9:2,50",  "82,9: 12,5", "95,9: 31,25",
        "3,10:M0002Kötszer", "72,10:1 000,00", "82,10: 3", "95,10: 3000",
    };
    EXPECT_EQ(cells(doc.pages[0]), header + heading(8) + items);
    EXPECT_NEAR(pointSizeAt(doc.pages[0], 1), 10, 0.05);
    EXPECT_NEAR(pointSizeAt(doc.pages[0], 6), 10, 0.05);
    EXPECT_NEAR(pointSizeAt(doc.pages[0], 8), 8, 0.05);
    EXPECT_NEAR(pointSizeAt(doc.pages[0], 10), 8, 0.05);
    EXPECT_EQ(doc.pages[0].items[0].family, "Arial");
}

// The heading is a line laid out for a fixed pitch; in the proportional font
// each word must still start at the character cell the line gives it, the
// cells the data rows are placed by, and no word may run into the next.
TEST_F(HighCost, each_heading_word_stands_at_its_character_column)
{
    institution("1234", "Szent Kórház");
    Item it;
    it.name = "Fecskendős oldat";
    it.me = "fecskendő";
    it.pont = 120;
    it.rmen = "12,50";
    it.price = 999.5;
    it.value = 12493.75;
    item(episode({}), it);
    ASSERT_EQ(magasatnyom(db(), "2005.03"), std::nullopt);
    const auto& page = documents().at(0).pages.at(0);
    auto textsAt = [&page](int r) {
        std::vector<platform::RecordedItem> out;
        for (const auto& item : page.items)
            if (item.kind == platform::RecordedItem::Text && std::abs(item.point.y() * 1440 / kDpi / 240 - r) < 1e-6)
                out.push_back(item);
        return out;
    };
    const auto headings = textsAt(8);
    const auto data = textsAt(9);
    ASSERT_EQ(headings.size(), 6u);
    ASSERT_EQ(data.size(), 6u);
    auto column = [](const platform::RecordedItem& item) { return item.point.x() * 1440 / kDpi / 120; };
    const double headingColumns[] = {3, 58, 70, 76, 88, 100};
    for (size_t k = 0; k < headings.size(); ++k) {
        SCOPED_TRACE(headings[k].text.toStdString());
        EXPECT_NEAR(column(headings[k]), headingColumns[k], 1e-6);
        if (k + 1 == headings.size())
            continue;
        QFont font(headings[k].family);
        font.setPixelSize(int(headings[k].pixelSize));
        font.setHintingPreference(QFont::PreferNoHinting);
        font.setKerning(false);
        EXPECT_LT(headings[k].point.x() + QFontMetricsF(font).horizontalAdvance(headings[k].text),
                  headings[k + 1].point.x());
    }
    // The data are placed by the same cells.
    EXPECT_NEAR(column(data[0]), 3, 1e-6);
    EXPECT_NEAR(column(data[5]), 95, 1e-6);
}

TEST_F(HighCost, a_converted_episode_shows_its_codes_before_the_items)
{
    institution("1234", "Szent Kórház");
    Episode e;
    e.manual = false;
    e.betegseg = " A0100  B0200  C0300  " + QString(106, QLatin1Char(' '));
    QString beavatkoz;
    for (const char* code : {"12345", "23456"})
        beavatkoz += QString(24, QLatin1Char(' ')) + QString::fromLatin1(code) + "   ";
    e.beavatkoz = beavatkoz + QString(8 * 32, QLatin1Char(' '));
    item(episode(e), {});
    ASSERT_EQ(magasatnyom(db(), "2005.03"), std::nullopt);
    const auto& page = documents().at(0).pages.at(0);
    const QStringList all = cells(page);
    EXPECT_EQ(all.mid(4, 12), QStringList({"3,7:A0100", "3,8:B0200", "3,9:C0300", "3,10:12345", "3,11:23456"})
                                  + heading(12) + QStringList{"3,13:G0001Gyógyszer"});
    EXPECT_NEAR(pointSizeAt(page, 7), 10, 0.05);

    // Without codes the block starts on row 7.
    db().exec("update alap set Betegseg = null, Beavatkoz = null");
    device->clearDocuments();
    ASSERT_EQ(magasatnyom(db(), "2005.03"), std::nullopt);
    EXPECT_EQ(cells(documents().at(0).pages.at(0)).mid(4, 7), heading(7) + QStringList{"3,8:G0001Gyógyszer"});
}

TEST_F(HighCost, a_long_item_block_goes_on_under_a_small_header)
{
    institution("1234", "Szent Kórház");
    const auto id = episode({});
    // Items on rows 9 to 50 fill the first page; the 43rd goes on row 7.
    for (int i = 0; i < 43; ++i) {
        Item it;
        it.rkod = QStringLiteral("G%1").arg(i, 4, 10, QLatin1Char('0'));
        item(id, it);
    }
    ASSERT_EQ(magasatnyom(db(), "2005.03"), std::nullopt);
    const auto& pages = documents().at(0).pages;
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(row(pages[0], 50).value(0), "G0041Gyógyszer");
    EXPECT_EQ(cells(pages[1]), QStringList({
                                   "2,1:INTÉZET:   1234     Szent Kórház",
                                   "2,3:FELD.IDŐ:  2005.03",
                                   "2,5:Oszt.kod  Törzsszám  Felv.dat.   Táv.dat.  Elsz.nap  Kor  TS",
                                   "0,6:01011234567892005.03.01.2005.03.10.9",
                                   "3,7:G0042Gyógyszer",
                                   "55,7:db",
                                   "65,7: 0",
                                   "72,7:1,00",
                                   "82,7: 100",
                                   "95,7: 100",
                               }));
    EXPECT_NEAR(pointSizeAt(pages[1], 1), 8, 0.05);

    // A block that ends on row 50 still turns the page: the sheet ends with
    // its header alone.
    db().exec("delete from \"Ráfkódok\" where Rkod = 'G0042'");
    device->clearDocuments();
    ASSERT_EQ(magasatnyom(db(), "2005.03"), std::nullopt);
    ASSERT_EQ(documents().at(0).pages.size(), 2u);
    EXPECT_EQ(cells(documents()[0].pages[1]).size(), 4);
}

TEST_F(HighCost, a_stay_of_no_days_counts_as_one_day)
{
    // The first episode leaves a value of 100 a day behind; the 0-day stay
    // after it (6000 in one day) must be judged on its own figure.
    institution("1234", "Szent Kórház");
    Episode cheap;
    cheap.tSzam = "100000001";
    Item hundred;
    hundred.value = 900.0;
    item(episode(cheap), hundred);
    Episode sameDay;
    sameDay.tSzam = "200000001";
    sameDay.fdat = "2005.03.05.";
    sameDay.tdat = "2005.03.05.";
    Item big;
    big.value = 6000.0;
    item(episode(sameDay), big);
    Episode sameDayCheap;
    sameDayCheap.tSzam = "300000001";
    sameDayCheap.fdat = "2005.03.06.";
    sameDayCheap.tdat = "2005.03.06.";
    Item small;
    small.value = 4000.0;
    item(episode(sameDayCheap), small);

    ASSERT_EQ(magasatnyom(db(), "2005.03"), std::nullopt);
    const auto& pages = documents().at(0).pages;
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(row(pages[0], 6), QStringList{"01011000000012005.03.01.2005.03.10.9"});
    EXPECT_EQ(row(pages[1], 6), QStringList{"01013000000012005.03.06.2005.03.06.0"});
    EXPECT_EQ(row(pages[1], 9).value(5), " 4000");
}

TEST_F(HighCost, sheets_in_register_number_order_in_one_document)
{
    institution("1234", "Szent Kórház");
    Episode b;
    b.tSzam = "B";
    item(episode(b), {});
    Episode none; // no items: no sheet
    none.tSzam = "C";
    episode(none);
    Episode expensive; // 5000 a day
    expensive.tSzam = "D";
    Item costly;
    costly.value = 45000.0;
    item(episode(expensive), costly);
    Episode a;
    a.tSzam = "A";
    a.manual = false;
    item(episode(a), {});
    Episode april;
    april.tSzam = "0";
    april.fdat = "2005.04.01.";
    item(episode(april), {});

    ASSERT_EQ(magasatnyom(db(), "2005.03"), std::nullopt);
    ASSERT_EQ(documents().size(), 1u);
    const auto& pages = documents()[0].pages;
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_TRUE(row(pages[0], 6).value(0).startsWith("0101A"));
    EXPECT_TRUE(row(pages[1], 6).value(0).startsWith("0101B"));
    EXPECT_NEAR(pointSizeAt(pages[1], 1), 10, 0.05); // each sheet starts in size 10
}

TEST_F(HighCost, messages_and_silence)
{
    // No episode in the month: the message, nothing printed.
    institution("1234", "Szent Kórház");
    Episode april;
    april.fdat = "2005.04.01.";
    item(episode(april), {});
    auto message = magasatnyom(db(), "2005.03");
    ASSERT_TRUE(message);
    EXPECT_EQ(message->text, "Nincs a feltételeknek megfelelő adat!");
    EXPECT_EQ(message->title, "Figyelmeztetés");
    EXPECT_EQ(message->style, platform::Critical);
    EXPECT_TRUE(documents().empty());

    // Episodes that all fail the test: nothing printed, no message.
    Episode expensive;
    Item costly;
    costly.value = 90000.0;
    item(episode(expensive), costly);
    EXPECT_EQ(magasatnyom(db(), "2005.03"), std::nullopt);
    EXPECT_TRUE(documents().empty());

    // Without institution data the refusal comes first.
    db().exec("delete from intadatok");
    message = magasatnyom(db(), "2005.03");
    ASSERT_TRUE(message);
    EXPECT_EQ(message->text, "Ki kell töltenie az intézeti adatokat!");
    EXPECT_TRUE(documents().empty());
}
