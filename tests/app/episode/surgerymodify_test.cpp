// What "Módosít" does to the stored surgeries of an episode: each slot the
// clerk changed edits the row it was loaded from in place, or adds a row when
// it showed none or its code was typed over; every other row, and every item,
// stays as stored.
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
#include <QRegularExpression>

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

    // The form review shows of a stored header.
    static EpisodeForm reviewForm(const EpisodeRow& r)
    {
        EpisodeForm f;
        f.mode = Mode::Review;
        f.identifier = QString::number(r.azonosito);
        f.institutionCode = r.intKod;
        f.careTypeCaption = careTypeText(r.intTipus);
        f.registerNumber = r.tSzam;
        f.taj = r.taj;
        f.admissionDate = r.fdat;
        f.admissionTime = shownTime(r.fido);
        f.dischargeDate = r.tdat;
        f.dischargeTime = shownTime(r.tido);
        f.wardCombo = r.okod;
        f.wardSign = r.ojele;
        f.sequence = r.tsor;
        f.outcome = r.tovsors;
        f.durations.fill(kEmptyTime);
        return f;
    }

    QString everyRow() { return (tableRows("alap") + tableRows("műtétek") + tableRows("Ráfkódok")).join('\n'); }
};

TEST_F(SurgeryModify, slotsEditTheirOwnRowsAndLeaveEveryOtherRowAndItem)
{
    struct Case {
        const char* name;
        int extraSurgeries; // T03, T04, … stored after 13, ten minutes each
        // What another program does after the load.
        const char* meanwhile;
        std::function<void(EpisodeRow&, EpisodeForm&)> edit;
        std::map<int, QString> changed; // rowid: the row afterwards
        QStringList added;
    };
    const Case cases[] = {
        {"nothing changed", 0, nullptr, [](EpisodeRow&, EpisodeForm&) {}, {}, {}},
        {"only the admission time changed", 0, nullptr, [](EpisodeRow& r, EpisodeForm&) { r.fido = "09:10:00"; }, {},
         {}},
        {"a duration changed", 0, nullptr, [](EpisodeRow&, EpisodeForm& f) { f.durations[0] = "02:00"; },
         {{2, "2|1|12|Első beavatkozás|02:00:00|1"}}, {}},
        {"a code typed over with another episode's code", 0, nullptr,
         [](EpisodeRow&, EpisodeForm& f) { f.codes[1] = "14"; }, {}, {"4|1|14|NULL|00:45:00|1"}},
        {"a code blanked", 0, nullptr, [](EpisodeRow&, EpisodeForm& f) { f.codes[1] = "  "; }, {}, {}},
        {"a second slot with a stored code", 0, nullptr,
         [](EpisodeRow&, EpisodeForm& f) {
             f.codes[2] = "12";
             f.durations[2] = "00:20";
         },
         {}, {"4|1|12|NULL|00:20:00|1"}},
        {"two new slots with one code", 0, nullptr,
         [](EpisodeRow&, EpisodeForm& f) {
             f.codes[2] = "15";
             f.durations[2] = "00:10";
             f.codes[3] = "15";
             f.durations[3] = "00:20";
         },
         {}, {"4|1|15|NULL|00:10:00|1", "5|1|15|NULL|00:20:00|1"}},
        {"twelve stored surgeries, the last shown one changed", 10, nullptr,
         [](EpisodeRow&, EpisodeForm& f) { f.durations[9] = "00:25"; }, {{11, "11|1|T10|NULL|00:25:00|1"}}, {}},
        {"a slot's own code in other letters", 10, nullptr, [](EpisodeRow&, EpisodeForm& f) { f.codes[3] = "t04"; },
         {{5, "5|1|t04|NULL|00:10:00|1"}}, {}},
        {"another stored code typed over a slot's", 10, nullptr,
         [](EpisodeRow&, EpisodeForm& f) {
             f.codes[1] = "t11";
             f.durations[1] = "00:05";
         },
         {}, {"14|1|t11|NULL|00:05:00|1"}},
        {"another program changed a duration, the clerk another", 0,
         "update műtétek set Mido = '03:00:00' where rowid = 2",
         [](EpisodeRow&, EpisodeForm& f) { f.durations[1] = "00:50"; },
         {{2, "2|1|12|Első beavatkozás|03:00:00|1"}, {3, "3|1|13|NULL|00:50:00|1"}}, {}},
        {"another program deleted a surgery, its slot untouched", 0, "delete from műtétek where rowid = 3",
         [](EpisodeRow& r, EpisodeForm&) { r.fido = "09:10:00"; }, {}, {}},
        {"another program deleted a surgery, the clerk changed its slot", 0, "delete from műtétek where rowid = 3",
         [](EpisodeRow&, EpisodeForm& f) { f.durations[1] = "00:50"; }, {}, {"3|1|13|NULL|00:50:00|1"}},
        {"another program put another surgery under the slot's row id", 0,
         "delete from műtétek where rowid = 3; "
         "insert into műtétek (rowid, Azonosito, Mkod, Mido, AzonB) values (3, '1', '99', '00:05:00', '1')",
         [](EpisodeRow&, EpisodeForm& f) { f.durations[1] = "00:50"; }, {}, {"4|1|13|NULL|00:50:00|1"}},
        {"the slot's row went to another episode", 0, "update műtétek set Azonosito = '2' where rowid = 3",
         [](EpisodeRow&, EpisodeForm& f) { f.durations[1] = "00:50"; }, {{3, "3|2|13|NULL|00:45:00|1"}},
         {"4|1|13|NULL|00:50:00|1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        entered()->exec("delete from műtétek where rowid > 1");
        addSurgery(1, "12", "Első beavatkozás", "01:30:00");
        addSurgery(1, "13", QVariant(), "00:45:00");
        entered()->exec("update alap set Fido = '08:05:00' where Azonosito = 1");
        for (int n = 0; n < c.extraSurgeries; ++n)
            addSurgery(1, QString("T%1").arg(n + 3, 2, 10, QChar('0')), QVariant(), "00:10:00");

        // The slots as review shows them, each with the row it was given.
        EpisodeStore store(entered(), converted());
        const SlotContents shown = slotsFromSurgeries(store.surgeries("1"));
        LoadedEpisode loaded;
        loaded.form = reviewForm(storedHeader(1));
        loaded.form.codes = shown.codes;
        loaded.form.durations = shown.durations;
        for (int k = 0; k < std::min(shown.rowsRead, kSlotCount); ++k)
            loaded.slotRows[k] = k + 2;
        if (c.meanwhile)
            entered()->execScript(c.meanwhile);

        EpisodeRow row = storedHeader(1);
        EpisodeForm form = loaded.form;
        c.edit(row, form);
        form.admissionTime = shownTime(row.fido);

        const QStringList before = surgeryTable();
        QStringList expected = before;
        for (const auto& [rowid, after] : c.changed) {
            const qsizetype at = expected.indexOf(QRegularExpression(QString("%1\\|.*").arg(rowid)));
            ASSERT_GE(at, 0) << rowid;
            expected[at] = after;
        }
        expected += c.added;
        const QStringList items = tableRows("Ráfkódok");
        const QStringList otherEpisode = tableRows("alap", "Azonosito = 2");

        const EpisodeChanges changes = store.changesSinceLoad(loaded, form);
        EXPECT_EQ(changes.isEmpty(), expected == before && row.fido == "08:05:00");
        const std::array<qint64, kSlotCount> rows = store.modify(changes);
        EXPECT_EQ(surgeryTable(), expected);
        EXPECT_EQ(tableRows("Ráfkódok"), items);
        EXPECT_EQ(tableRows("alap", "Azonosito = 2"), otherEpisode);
        EXPECT_EQ(store.load(1)->fido, row.fido);
        // Every slot the clerk changed now stands for a row of the episode
        // that holds what it shows, so the next modification edits that row.
        for (int k = 0; k < kSlotCount; ++k) {
            if (isBlank(form.codes[k]) || (form.codes[k] == loaded.form.codes[k]
                                           && form.durations[k] == loaded.form.durations[k]))
                continue;
            EXPECT_EQ(entered()->scalar("select Azonosito || '|' || Mkod || '|' || Mido from műtétek where rowid = ?",
                                        {rows[k]}).toString(),
                      "1|" + form.codes[k] + "|" + storedTime(form.durations[k]))
                << "slot " << k;
        }
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
