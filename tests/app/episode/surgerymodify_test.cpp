// What "Módosít" does to the stored surgeries of an episode: the slots edit
// the rows of their codes in place and add the missing ones; every other row,
// and every item, stays as stored.
#include "tests/app/episode/episodewindow.h"

#include "app/common/episoderules.h"
#include "app/common/episodestore.h"
#include "platform/db/dataconnection.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbcombo.h"
#include "platform/ui/maskedbox.h"
#include "platform/ui/msgbox.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>

#include <functional>
#include <map>

using namespace episode;
using platform::MsgResult;

namespace {

// Episode 1 of ward 0101 with surgeries 12 (named) and 13, each with an item;
// episode 2 owns a surgery 14 stored before them and an item of its own.
class SurgeryModify : public EpisodeWindowTest {
protected:
    void SetUp() override
    {
        EpisodeWindowTest::SetUp();
        setInstitution("1234", "Próba Kórház");
        addWard("0101", "E");
        EpisodeStore store(entered(), converted());
        store.saveNew(storedHeader(1), {});
        store.saveNew(storedHeader(2), {});
        addSurgery(2, "14", "Másik epizódé", "01:00:00");
        addSurgery(1, "12", "Első beavatkozás", "01:30:00");
        addSurgery(1, "13", QVariant(), "00:45:00");
        addItem("1", "G100", "12");
        addItem("1", "G200", "13");
        addItem("2", "G100", "14");
    }

    static EpisodeRow storedHeader(qint64 azonosito)
    {
        EpisodeRow r;
        r.azonosito = azonosito;
        r.intKod = "1234";
        r.intTipus = "E";
        r.tSzam = "111111111";
        r.taj = "123456788";
        r.fdat = "2005.08.24.";
        r.fido = "08:05:00";
        r.tdat = "2005.08.30.";
        r.tido = "12:40:00";
        r.okod = "0101";
        r.ojele = "1";
        r.tsor = "02";
        r.tovsors = "4";
        return r;
    }

    void addSurgery(int azonosito, const QString& code, const QVariant& name, const char* duration)
    {
        entered()->exec("insert into műtétek (Azonosito, Mkod, Mmegnevezés, Mido, AzonB) values (?, ?, ?, ?, '1')",
                        {QString::number(azonosito), code, name, duration});
    }

    // Every surgery row as "rowid|Azonosito|Mkod|Mmegnevezés|Mido|AzonB".
    QStringList surgeryTable()
    {
        QStringList rows = tableRows("műtétek");
        for (QString& row : rows) {
            QStringList values;
            for (const QString& field : row.split('|'))
                values << field.section(':', 1);
            row = values.join('|');
        }
        return rows;
    }

    QString everyRow() { return (tableRows("alap") + tableRows("műtétek") + tableRows("Ráfkódok")).join('\n'); }
};

TEST_F(SurgeryModify, slotsEditTheRowsOfTheirCodesAndLeaveEveryOtherRowAndItem)
{
    struct Case {
        const char* name;
        int extraSurgeries; // T03, T04, … stored after 13, ten minutes each
        std::function<void(EpisodeRow&, EpisodeForm&)> edit;
        std::map<int, QString> changed; // rowid: the row afterwards
        QStringList added;
    };
    const Case cases[] = {
        {"nothing changed", 0, [](EpisodeRow&, EpisodeForm&) {}, {}, {}},
        {"only the admission time changed", 0, [](EpisodeRow& r, EpisodeForm&) { r.fido = "09:10:00"; }, {}, {}},
        {"a duration changed", 0, [](EpisodeRow&, EpisodeForm& f) { f.durations[0] = "02:00"; },
         {{2, "2|1|12|Első beavatkozás|02:00:00|1"}}, {}},
        {"a code typed over another episode's code", 0, [](EpisodeRow&, EpisodeForm& f) { f.codes[1] = "14"; },
         {}, {"4|1|14|NULL|00:45:00|1"}},
        {"a code blanked", 0, [](EpisodeRow&, EpisodeForm& f) { f.codes[1] = "  "; }, {}, {}},
        {"a second slot with a stored code", 0,
         [](EpisodeRow&, EpisodeForm& f) {
             f.codes[2] = "12";
             f.durations[2] = "00:20";
         },
         {{2, "2|1|12|Első beavatkozás|00:20:00|1"}}, {}},
        {"two new slots with one code", 0,
         [](EpisodeRow&, EpisodeForm& f) {
             f.codes[2] = "15";
             f.durations[2] = "00:10";
             f.codes[3] = "15";
             f.durations[3] = "00:20";
         },
         {}, {"4|1|15|NULL|00:20:00|1"}},
        {"twelve stored surgeries, the last shown one changed", 10,
         [](EpisodeRow&, EpisodeForm& f) { f.durations[9] = "00:25"; }, {{11, "11|1|T10|NULL|00:25:00|1"}}, {}},
        {"a stored code typed in other letters", 10,
         [](EpisodeRow&, EpisodeForm& f) {
             f.codes[1] = "t11";
             f.durations[1] = "00:05";
         },
         {{12, "12|1|t11|NULL|00:05:00|1"}}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        entered()->exec("update műtétek set Mkod = '12', Mido = '01:30:00' where rowid = 2");
        entered()->exec("update műtétek set Mkod = '13', Mido = '00:45:00' where rowid = 3");
        entered()->exec("delete from műtétek where rowid > 3");
        entered()->exec("update alap set Fido = '08:05:00' where Azonosito = 1");
        for (int n = 0; n < c.extraSurgeries; ++n)
            addSurgery(1, QString("T%1").arg(n + 3, 2, 10, QChar('0')), QVariant(), "00:10:00");

        EpisodeStore store(entered(), converted());
        const SlotContents shown = slotsFromSurgeries(store.surgeries("1"));
        EpisodeForm form;
        form.codes = shown.codes;
        form.durations = shown.durations;
        EpisodeRow row = storedHeader(1);
        c.edit(row, form);
        const QList<SurgeryRow> slotRows = surgeriesFromForm(form);

        const QStringList before = surgeryTable();
        QStringList expected = before;
        for (const auto& [rowid, after] : c.changed)
            expected[rowid - 1] = after;
        expected += c.added;
        const QStringList items = tableRows("Ráfkódok");
        const QStringList otherEpisode = tableRows("alap", "Azonosito = 2");

        EXPECT_EQ(store.surgeryChanges(1, slotRows).isEmpty(), expected == before);
        store.modify(row, slotRows);
        EXPECT_EQ(surgeryTable(), expected);
        EXPECT_EQ(tableRows("Ráfkódok"), items);
        EXPECT_EQ(tableRows("alap", "Azonosito = 2"), otherEpisode);
        EXPECT_EQ(store.load(1)->fido, row.fido);
    }
}

// The filed case, through the window: "Tételesen", a slot emptied or typed
// over, "Módosít" and Yes.
TEST_F(SurgeryModify, modifyButtonKeepsTheSurgeryTakenOutOfItsSlotWithItsItems)
{
    kezdo& w = open();
    w.tete->trigger();
    ASSERT_EQ(w.Label1->text(), "1");
    ASSERT_EQ(w.Text23->text(), "12");
    ASSERT_EQ(w.Text9->text(), "13");
    auto modify = [&] {
        boxes->clear();
        boxes->answer(MsgResult::Yes);
        w.SSCommand30->click();
        EXPECT_EQ(boxes.texts(), QStringList{"Biztos fe akarja venni?"});
    };

    // Emptied: nothing to write at all.
    const QString asStored = everyRow();
    const quint64 writes = entered()->changeCount();
    w.Text9->setText("");
    modify();
    EXPECT_EQ(everyRow(), asStored);
    EXPECT_EQ(entered()->changeCount(), writes);

    // Typed over, with the admission time and a duration changed: the new
    // code gets a row, the others are edited where they are.
    const QStringList items = tableRows("Ráfkódok");
    w.Text9->setText("16");
    w.MaskEdBox11->setText("00:50");
    w.MaskEdBox7->setText("02:00");
    w.MaskEdBox2->setText("09:10");
    modify();
    EXPECT_EQ(surgeryTable(), (QStringList{"1|2|14|Másik epizódé|01:00:00|1", "2|1|12|Első beavatkozás|02:00:00|1",
                                           "3|1|13|NULL|00:45:00|1", "4|1|16|NULL|00:50:00|1"}));
    EXPECT_EQ(tableRows("Ráfkódok"), items);
    EXPECT_EQ(stored(1, "Fido").toString(), "09:10:00");

    // Shown again, the kept surgery has its slot back.
    w.tete->trigger();
    EXPECT_EQ(w.Text23->text(), "12");
    EXPECT_EQ(w.Text9->text(), "13");
    EXPECT_EQ(w.Text29->text(), "16");
}

} // namespace
