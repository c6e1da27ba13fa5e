// "Módosít" (Sebrix) and "Módosítás" (Zorivozure) write only what the clerk
// changed on the form since the episode was loaded: what another program
// wrote meanwhile stays, rows stored in another spelling stay as they are,
// and a stored date or time that its box cannot show is never replaced by
// today or now.
#include "tests/app/episode/episodewindow.h"

#include "app/common/episoderules.h"
#include "app/common/programinfo.h"
#include "platform/db/dataconnection.h"
#include "platform/ui/controls.h"
#include "platform/ui/maskedbox.h"
#include "platform/ui/msgbox.h"
#include "tests/support/otherprogram.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <functional>
#include <map>

using namespace episode;
using platform::MsgResult;

namespace {

class ModifyChanges : public BothProgramsWindowTest {
protected:
    void SetUp() override
    {
        BothProgramsWindowTest::SetUp();
        addWard("0211", "E");
        entered()->exec("update \"Utolso azonosito\" set UTOLSO = 2");
    }

    // Episode 1, taken from a converted record, with the stored values
    // given over the usual ones; episode 2 beside it. Sebrix: episode 2's
    // surgery 14 is stored first, then episode 1's 12 and 13. One item each.
    void storeEpisodes(const std::map<QString, QVariant>& spelling = {})
    {
        for (int id = 1; id <= 2; ++id) {
            std::map<QString, QVariant> v = {
                {"Azonosito", id},        {"Int_kod", "1234"},       {"Int_tipus", "E"},
                {"T_szam", "111111111"},  {"Taj", "123456788"},      {"Fdat", "2005.08.24."},
                {"Fido", "08:05:00"},     {"Tdat", "2005.08.30."},   {"Tido", "12:40:00"},
                {"Okod", "0211"},         {"Ojele", "1"},            {"Tsor", "02"},
                {"Vjel", false},          {"Manuális", id != 1},     {"Betegseg", "I2100"}};
            if (!wardProgram())
                v["tovsors"] = "4";
            if (id == 1)
                for (const auto& [column, value] : spelling)
                    v[column] = value;
            QStringList columns, marks;
            QVariantList values;
            for (const auto& [column, value] : v) {
                columns << '"' + column + '"';
                marks << "?";
                values << value;
            }
            entered()->exec(QString("insert into alap (%1) values (%2)").arg(columns.join(", "), marks.join(", ")),
                            values);
        }
        if (!wardProgram()) {
            addSurgery(2, "14", "01:00:00");
            addSurgery(1, "12", "01:30:00");
            addSurgery(1, "13", "00:45:00");
        }
        for (int id = 1; id <= 2; ++id)
            entered()->exec(wardProgram() ? "insert into Ráfkódok (Azonosito, Rkod, Rmen, Tipus) values (?, 'R1', '1', 'G')"
                                          : "insert into Ráfkódok (Azonosito, Rkod, Rmen, Tipus, Mkod, AzonB) "
                                            "values (?, 'R1', '1', 'G', '12', '0')",
                            {QString::number(id)});
    }

    void addSurgery(int id, const QString& code, const char* duration)
    {
        entered()->exec("insert into műtétek (Azonosito, Mkod, \"Mmegnevezés\", Mido, AzonB) values (?, ?, ?, ?, '1')",
                        {QString::number(id), code, "Beavatkozás " + code, duration});
    }

    QStringList everyRow() { return tableRows("alap") + tableRows("műtétek") + tableRows("Ráfkódok"); }

    // Every row as it would be after the statements, which are undone again.
    QStringList everyRowAfter(const QString& statements)
    {
        platform::db::Database::Transaction tx(*entered());
        if (!statements.isEmpty())
            entered()->execScript(statements);
        return everyRow();
    }

    // Review from the start: episode 1 is on show.
    void review()
    {
        kezdo& w = *window;
        w.tete->trigger();
        ASSERT_EQ(w.Label1->text(), "1");
    }

    // The two episodes stored anew, in the spelling given, and a review
    // from the start, the window opened first if it is not yet.
    void reviewAfresh(const std::map<QString, QVariant>& spelling)
    {
        entered()->execScript("delete from alap; delete from Ráfkódok;"
                              + QString(wardProgram() ? "" : "delete from műtétek;"));
        storeEpisodes(spelling);
        if (!window)
            open();
        review();
    }

    // "Módosít" or "Módosítás", Yes to the question; the boxes shown.
    QStringList modify()
    {
        kezdo& w = *window;
        boxes->clear();
        boxes->answer(MsgResult::Yes);
        (wardProgram() ? w.SSCommand1 : w.SSCommand30)->click();
        return boxes.texts();
    }

    QString question() const { return wardProgram() ? "Biztos fel akarja venni?" : "Biztos fe akarja venni?"; }
    // What a modification that went through shows.
    QStringList stored() const
    {
        return wardProgram() ? QStringList{question(), kSaveSucceeded} : QStringList{question()};
    }
};

TEST_P(ModifyChanges, aModificationWritesOnlyTheBoxesTheClerkChangedSinceTheLoad)
{
    struct Case {
        const char* name;
        bool surgical; // only the surgical program keeps surgeries
        std::map<QString, QVariant> spelling;
        // Another program's statement, run while the episode is on show.
        QString meanwhile;
        std::function<void(kezdo&)> clerk;
        // What the modification must have done to the tables, on top of what
        // the other program did.
        QString written;
    };
    const std::map<QString, QVariant> otherSpelling = {
        {"Tsor", ""}, {"Fido", "08:00"}, {"Tido", "12:40"}, {"Ojele", "0 - Saját osztály"}};
    const QString typedIn = "update alap set \"Manuális\" = 1 where Azonosito = 1;";
    const Case cases[] = {
        {"another program changed the TAJ", false, {}, "update alap set Taj = '111111110' where Azonosito = 1",
         [](kezdo&) {}, ""},
        {"another program changed the TAJ, the clerk the admission time", false, {},
         "update alap set Taj = '111111110' where Azonosito = 1",
         [](kezdo& w) { w.MaskEdBox2->setText("09:10"); },
         typedIn + "update alap set Fido = '09:10:00' where Azonosito = 1"},
        {"both changed the TAJ: the clerk's stands", false, {},
         "update alap set Taj = '111111110' where Azonosito = 1",
         [](kezdo& w) { w.Text4->setText("000000000"); },
         typedIn + "update alap set Taj = '000000000' where Azonosito = 1"},
        {"another program changed the ward sign and the sequence", false, {},
         "update alap set Ojele = '2', Tsor = '05' where Azonosito = 1", [](kezdo&) {}, ""},
        {"another program changed a surgery's duration", true, {},
         "update műtétek set Mido = '03:00:00' where Azonosito = '1' and Mkod = '12'", [](kezdo&) {}, ""},
        {"another program changed a surgery's duration, the clerk the other's", true, {},
         "update műtétek set Mido = '03:00:00' where Azonosito = '1' and Mkod = '12'",
         [](kezdo& w) { w.MaskEdBox11->setText("00:50"); },
         typedIn + "update műtétek set Mido = '00:50:00' where Azonosito = '1' and Mkod = '13'"},
        {"another program deleted a surgery", true, {}, "delete from műtétek where Azonosito = '1' and Mkod = '13'",
         [](kezdo&) {}, ""},
        {"another program deleted a surgery, the clerk changed the admission time", true, {},
         "delete from műtétek where Azonosito = '1' and Mkod = '13'",
         [](kezdo& w) { w.MaskEdBox2->setText("09:10"); },
         typedIn + "update alap set Fido = '09:10:00' where Azonosito = 1"},
        {"rows in another spelling", false, otherSpelling, "", [](kezdo&) {}, ""},
        {"rows in another spelling, the clerk changed the TAJ", false, otherSpelling, "",
         [](kezdo& w) { w.Text4->setText("000000000"); },
         typedIn + "update alap set Taj = '000000000' where Azonosito = 1"},
        {"rows in another spelling, the clerk left the sequence box", false, otherSpelling, "",
         [](kezdo& w) { w.Text14_LostFocus(); }, ""},
        {"a date and a time the boxes cannot show, typed by the clerk", false,
         {{"Fdat", "2005.8.30."}, {"Fido", "8:05:00"}}, "",
         [](kezdo& w) {
             w.MaskEdBox1->setText("2005.08.30.");
             w.MaskEdBox2->setText("08:05");
         },
         typedIn + "update alap set Fdat = '2005.08.30.', Fido = '08:05:00' where Azonosito = 1"},
    };
    for (const Case& c : cases) {
        if (c.surgical && wardProgram())
            continue;
        SCOPED_TRACE(c.name);
        reviewAfresh(c.spelling);
        kezdo& w = *window;
        if (!c.meanwhile.isEmpty())
            testsupport::OtherProgram(entered()->path()).run(c.meanwhile);
        const QStringList expected = everyRowAfter(c.written);
        c.clerk(w);

        EXPECT_EQ(modify(), stored());
        EXPECT_EQ(everyRow(), expected);
        // Nothing left over for a second modification to write.
        EXPECT_EQ(modify(), stored());
        EXPECT_EQ(everyRow(), expected);
        w.SSCommand2->click();
    }
}

// A stored date or time that its box cannot show leaves the box blank, not
// on today or now: an untouched modification is refused by the save's own
// check and writes nothing.
TEST_P(ModifyChanges, aStoredDateOrTimeTheBoxCannotShowIsShownBlankAndNeverStoredAsTodayOrNow)
{
    struct Case {
        const char* name;
        std::map<QString, QVariant> spelling;
        QString refusal;
    };
    const Case cases[] = {
        {"a date without leading zeros", {{"Fdat", "2005.8.30."}}, "Üres felvételi dátum!"},
        {"a date in another order", {{"Tdat", "30/08/2005"}}, "Üres távozási dátum!"},
        {"a time without its leading zero", {{"Fido", "8:05:00"}}, "Üres felvételi idő!"},
        {"no time at all", {{"Tido", QVariant()}}, "Üres távozási idő!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reviewAfresh(c.spelling);
        kezdo& w = *window;
        const QStringList boxesShown = {w.MaskEdBox1->text(), w.MaskEdBox2->text(), w.MaskEdBox3->text(),
                                        w.MaskEdBox4->text()};
        QStringList expectedBoxes = {"2005.08.24.", "08:05", "2005.08.30.", "12:40"};
        const QStringList columns = {"Fdat", "Fido", "Tdat", "Tido"};
        for (const auto& [column, value] : c.spelling)
            expectedBoxes[columns.indexOf(column)] = column.endsWith("dat") ? kEmptyDate : kEmptyTime;
        EXPECT_EQ(boxesShown, expectedBoxes);

        const QStringList before = everyRow();
        EXPECT_EQ(modify(), (QStringList{question(), c.refusal}));
        EXPECT_EQ(everyRow(), before);
        w.SSCommand2->click();
    }
}

// A converted record's date in a form the box cannot show leaves the box
// blank: "Felvitel" asks for the date instead of storing today.
TEST_P(ModifyChanges, aConvertedDateTheBoxCannotShowIsAskedForNotStoredAsToday)
{
    const QVariant key = addKonv("555555555", QVariant(), false, "1234E0211");
    converted()->exec("update konv set Felv_dat = '2005/08/20' where rowid = ?", {key});
    kezdo& w = open();
    w.feldolg->trigger();
    ASSERT_EQ(w.Text3->text(), "555555555");
    EXPECT_EQ(w.MaskEdBox1->text(), kEmptyDate);
    EXPECT_EQ(w.MaskEdBox3->text(), "2005.08.30.");

    w.Combo2->setEditText("0 - Saját osztály");
    boxes->answer(MsgResult::Yes);
    w.SSCommand1->click();
    EXPECT_EQ(boxes.texts(), (QStringList{"Biztos fel akarja venni?", "Üres felvételi dátum!"}));
    EXPECT_EQ(count("select count(*) from alap"), 0);
    EXPECT_FALSE(converted()->scalar("select Feldolgozva from konv where rowid = ?", {key}).toBool());

    // The date the clerk types is the one stored.
    const qint64 id = w.Label1->text().toLongLong();
    w.MaskEdBox1->setText("2005.08.20.");
    boxes->clear();
    boxes->answer(MsgResult::Yes);
    boxes->answer(MsgResult::No);
    w.SSCommand1->click();
    EXPECT_EQ(boxes.texts(), (QStringList{"Biztos fel akarja venni?", "Kívánja más osztályhoz is rögzíteni?",
                                          kSaveSucceeded}));
    EXPECT_EQ(EpisodeWindowTest::stored(id, "Fdat").toString(), "2005.08.20.");
    EXPECT_EQ(EpisodeWindowTest::stored(id, "Fido").toString(), "08:05:00");
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, ModifyChanges, ::testing::Bool(), programName);

// Two slots of one code, as "Felvitel" stores them, are two rows; a
// modification of the admission time alone leaves both as they are, and a
// slot's duration goes to that slot's own row.
class TwoSlotsOfOneCode : public EpisodeWindowTest {};

TEST_F(TwoSlotsOfOneCode, stayTwoRowsEachEditedByItsOwnSlot)
{
    setInstitution("1234", "Próba Kórház");
    addWard("0101", "E");
    kezdo& w = open();
    w.fel->trigger();
    fillManualHeader("123456789");
    w.Text23->setText("12");
    w.MaskEdBox7->setText("01:30");
    w.Text9->setText("12");
    w.MaskEdBox11->setText("00:20");
    boxes->answer(MsgResult::Yes);
    w.SSCommand1->click();
    ASSERT_EQ(boxes.texts(), (QStringList{"Biztos fel akarja venni?", kSaveSucceeded}));
    auto surgeries = [&] {
        QStringList rows;
        for (const QString& row : tableRows("műtétek"))
            rows << row.section('|', 0, 0) + "|" + row.section('|', 2, 2) + "|" + row.section('|', 4, 4);
        return rows;
    };
    ASSERT_EQ(surgeries(), (QStringList{"rowid=1:1|Mkod=3:12|Mido=3:01:30:00", "rowid=1:2|Mkod=3:12|Mido=3:00:20:00"}));

    w.SSCommand2->click();
    w.tete->trigger();
    ASSERT_EQ(w.Label1->text(), "1");
    ASSERT_EQ(QStringList({w.Text23->text(), w.MaskEdBox7->text(), w.Text9->text(), w.MaskEdBox11->text()}),
              (QStringList{"12", "01:30", "12", "00:20"}));
    auto modify = [&] {
        boxes->clear();
        boxes->answer(MsgResult::Yes);
        w.SSCommand30->click();
        EXPECT_EQ(boxes.texts(), QStringList{"Biztos fe akarja venni?"});
    };

    const QStringList surgeriesBefore = tableRows("műtétek");
    w.MaskEdBox2->setText("09:10");
    modify();
    EXPECT_EQ(tableRows("műtétek"), surgeriesBefore);
    EXPECT_EQ(EpisodeWindowTest::stored(1, "Fido").toString(), "09:10:00");

    w.MaskEdBox11->setText("00:25");
    modify();
    EXPECT_EQ(surgeries(), (QStringList{"rowid=1:1|Mkod=3:12|Mido=3:01:30:00", "rowid=1:2|Mkod=3:12|Mido=3:00:25:00"}));
}

} // namespace
