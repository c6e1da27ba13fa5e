// The error-count summary of both programs on the recording printer.
#include "tests/app/exchange/lists_fixture.h"

#include "app/exchange/lists.h"

using namespace liststest;
using exchange::hibalistnyom;

namespace {

class ErrorCounts : public ListsFixture {
protected:
    // In the month: 2 hand-entered episodes with 3 hand-entered items, one
    // converted episode with 2 items. Another month: one hand-entered
    // episode with 1 item. Totals: 4 episodes, 6 items.
    void monthOfData()
    {
        Episode manual;
        const auto a = episode(manual);
        item(a, {});
        item(a, {});
        const auto b = episode(manual);
        item(b, {});
        Episode converted;
        converted.manual = false;
        const auto c = episode(converted);
        Item taken;
        taken.manual = false;
        item(c, taken);
        item(c, taken);
        Episode april;
        april.fdat = "2005.04.02.";
        const auto d = episode(april);
        Item aprilItem;
        aprilItem.fdat = "2005.04.02.";
        item(d, aprilItem);
    }
};

class WardErrorCounts : public WardListsFixture {};

QStringList page(const QString& rows7and8, const QString& row9, const QString& row10, const QString& row11,
                 const QString& month = "2005.03")
{
    return {
        "2,1:INTÉZET:   1234     Szent Kórház",
        "2,3:FELD.IDŐ:  " + month,
        "30,5:Ápolási eset  Ráfordítási tétel",
        "2,7:nincs adatlap:    ",
        "30,7:" + rows7and8,
        "2,8:összes hibás:     ",
        "30,8:" + rows7and8,
        "2,9:összes hibátlan:  ",
        "30,9:" + row9,
        "2,10:összesen:         " + row10,
        "2,11:ráf.output tétel: ",
        "30,11:" + row11,
    };
}

} // namespace

TEST_F(ErrorCounts, sets_the_months_hand_entered_data_against_the_whole_file)
{
    institution("1234", "Szent Kórház");
    monthOfData();
    ASSERT_EQ(hibalistnyom(db(), "2005.03", ProgramInfo::sebrix()), std::nullopt);
    ASSERT_EQ(documents().size(), 1u);
    const auto& doc = documents()[0];
    EXPECT_TRUE(doc.ended);
    EXPECT_EQ(doc.orientation, 2);
    ASSERT_EQ(doc.pages.size(), 1u);
    // Hand-entered data of April count among the faultless ones.
    EXPECT_EQ(cells(doc.pages[0]), page("2        3", "2       3", "4        6", " 3"));
    EXPECT_NEAR(pointSizeAt(doc.pages[0], 1), 10, 0.05);
    EXPECT_EQ(doc.pages[0].items[0].family, "Arial");
}

TEST_F(ErrorCounts, empty_selections_by_program)
{
    // The ward program prints an episode count of an empty selection as
    // nothing; item counts and the differences read 0 in both.
    const struct {
        const ProgramInfo* program;
        QString rows7and8;
        QString row10;
    } cases[] = {
        {&ProgramInfo::sebrix(), "0        0", "0        0"},
        {&ProgramInfo::zorivozure(), "        0", "        0"},
    };
    institution("1234", "Szent Kórház");
    for (const auto& c : cases) {
        device->clearDocuments();
        ASSERT_EQ(hibalistnyom(db(), "2005.03", *c.program), std::nullopt);
        EXPECT_EQ(cells(documents().at(0).pages.at(0)), page(c.rows7and8, "0       0", c.row10, " 0"))
            << c.program->name.toStdString();
    }
}

TEST_F(ErrorCounts, refuses_without_institution_data)
{
    monthOfData();
    for (const ProgramInfo* program : {&ProgramInfo::sebrix(), &ProgramInfo::zorivozure()}) {
        const auto message = hibalistnyom(db(), "2005.03", *program);
        ASSERT_TRUE(message);
        EXPECT_EQ(message->text, "Ki kell töltenie az intézeti adatokat!");
        EXPECT_EQ(message->style, platform::Critical);
    }
    EXPECT_TRUE(documents().empty());
}

TEST_F(WardErrorCounts, counts_the_ward_file_with_its_own_style)
{
    institution("1234", "Szent Kórház");
    // A month of other data only: the hand-entered episode count is empty,
    // the file's totals are not.
    Episode april;
    april.fdat = "2005.04.02.";
    const auto d = episode(april);
    Item aprilItem;
    aprilItem.fdat = "2005.04.02.";
    item(d, aprilItem);
    item(d, aprilItem);
    ASSERT_EQ(hibalistnyom(db(), "2005.03", ProgramInfo::zorivozure()), std::nullopt);
    EXPECT_EQ(cells(documents().at(0).pages.at(0)), page("        0", "1       2", "1        2", " 2"));

    device->clearDocuments();
    ASSERT_EQ(hibalistnyom(db(), "2005.04", ProgramInfo::zorivozure()), std::nullopt);
    EXPECT_EQ(cells(documents().at(0).pages.at(0)), page("1        2", "0       0", "1        2", " 0", "2005.04"));
}
