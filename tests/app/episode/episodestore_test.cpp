// Storing, modifying and reading episodes on a fresh data folder per test.
#include "app/common/episodestore.h"
#include "tests/app/episode/episodefixture.h"

#include "platform/db/dataconnection.h"

#include <gtest/gtest.h>

using namespace episode;
using platform::db::DbError;

namespace {

class EpisodeStoreTest : public EpisodeDataFolder {};

EpisodeForm manualForm(const QString& id)
{
    EpisodeForm f;
    f.mode = Mode::Manual;
    f.identifier = id;
    f.institutionCode = "1234";
    f.careTypeCaption = "A = ápolási otthon";
    f.registerNumber = "123456789";
    f.taj = "123456788";
    f.admissionDate = "2005.08.24.";
    f.admissionTime = "08:30";
    f.dischargeDate = "2005.08.26.";
    f.dischargeTime = "10:05";
    f.wardCombo = "0101";
    f.wardSign = "1 - Intézeten belüli osztály";
    f.sequence = "";
    f.outcome = " ";
    f.durations.fill(kEmptyTime);
    f.codes[0] = "11111";
    f.durations[0] = "01:30";
    f.codes[1] = "     "; // blank code: no row
    f.durations[1] = "00:20";
    f.codes[4] = "22222";
    f.durations[4] = "02:00";
    return f;
}

TEST_F(EpisodeStoreTest, manualEpisodeIsStoredInItsTextForms)
{
    EpisodeStore store(entered(), converted());
    ASSERT_EQ(store.lastIdentifier(), 0);
    ASSERT_EQ(store.nextIdentifier(), 1);

    const EpisodeForm form = manualForm("1");
    store.saveNew(rowFromForm(form), surgeriesFromForm(form));

    const auto row = store.load(1);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->intKod, "1234");
    EXPECT_EQ(row->intTipus, "A");
    EXPECT_EQ(row->tSzam, "123456789");
    EXPECT_EQ(row->fdat, "2005.08.24.");
    EXPECT_EQ(row->fido, "08:30:00");
    EXPECT_EQ(row->tido, "10:05:00");
    EXPECT_EQ(row->okod, "0101");
    EXPECT_EQ(row->ojele, "1");
    EXPECT_EQ(row->tsor, "0");
    EXPECT_EQ(row->tovsors, "0");
    EXPECT_TRUE(row->manualis);
    EXPECT_FALSE(row->vjel);

    EXPECT_EQ(store.surgeries("1"), (QList<SurgeryRow>{{"11111", "01:30:00"}, {"22222", "02:00:00"}}));
    EXPECT_EQ(entered()->scalar("select count(*) from műtétek where AzonB = '1'").toInt(), 2);
    EXPECT_EQ(store.lastIdentifier(), 1);
    EXPECT_EQ(entered()->scalar("select UTOLSO from \"Utolso azonosito\"").toString(), "1");

    // A lower identifier stored later does not move the last identifier back.
    store.saveNew(rowFromForm(manualForm("5")), {});
    store.saveNew(rowFromForm(manualForm("3")), {});
    EXPECT_EQ(store.nextIdentifier(), 6);
}

TEST_F(EpisodeStoreTest, processingSaveMarksTheConvertedRecordWithTheAnswer)
{
    const QString beav = QString(24, ' ') + "55555" + QString(320 - 29, ' ');
    const QVariant first = addKonv("111111111", beav, false);
    const QVariant second = addKonv("222222222", QVariant(), false);

    EpisodeStore store(entered(), converted());
    KonvRecord k;
    k.betegseg = QString("I2100");
    k.beavatkoz = beav;
    EpisodeForm form = manualForm("1");
    form.mode = Mode::Processing;
    form.konvCareType = "E";
    form.wardBox = "0707";
    form.wardCombo = "";

    // "Yes, record it for another ward too": stays unprocessed.
    store.saveNew(rowFromForm(form, &k), surgeriesFromForm(form), KonvMark{first, false});
    // "No": marked processed.
    form.identifier = "2";
    store.saveNew(rowFromForm(form, &k), surgeriesFromForm(form), KonvMark{second, true});

    EXPECT_FALSE(converted()->scalar("select Feldolgozva from konv where rowid = ?", {first}).toBool());
    EXPECT_TRUE(converted()->scalar("select Feldolgozva from konv where rowid = ?", {second}).toBool());
    const auto row = store.load(2);
    ASSERT_TRUE(row);
    EXPECT_FALSE(row->manualis);
    EXPECT_EQ(row->intTipus, "E");
    EXPECT_EQ(row->okod, "0707");
    EXPECT_EQ(row->betegseg.toString(), "I2100");
    EXPECT_EQ(row->beavatkoz.toString(), beav);
    EXPECT_EQ(store.lastIdentifier(), 2);
}

TEST_F(EpisodeStoreTest, aFailedSaveLeavesNothingHalfWritten)
{
    EpisodeStore store(entered(), converted());
    const EpisodeForm form = manualForm("1");

    // The converted record vanished: the episode, its surgeries and the last
    // identifier must not stay behind.
    EXPECT_THROW(store.saveNew(rowFromForm(form), surgeriesFromForm(form), KonvMark{QVariant(4711), true}),
                 SaveError);
    EXPECT_EQ(entered()->scalar("select count(*) from alap").toInt(), 0);
    EXPECT_EQ(entered()->scalar("select count(*) from műtétek").toInt(), 0);
    EXPECT_EQ(store.lastIdentifier(), 0);

    // The store still works afterwards (the converted file was let go).
    const QVariant k = addKonv("111111111", QVariant(), false);
    store.saveNew(rowFromForm(form), surgeriesFromForm(form), KonvMark{k, true});
    EXPECT_TRUE(converted()->scalar("select Feldolgozva from konv where rowid = ?", {k}).toBool());

    // An identifier that is already stored is refused as a whole.
    EpisodeForm again = manualForm("1");
    again.registerNumber = "999999999";
    EXPECT_THROW(store.saveNew(rowFromForm(again), surgeriesFromForm(again)), SaveError);
    EXPECT_EQ(entered()->scalar("select count(*) from alap").toInt(), 1);
    EXPECT_EQ(entered()->scalar("select count(*) from műtétek").toInt(), 2);
    EXPECT_EQ(store.load(1)->tSzam, "123456789");
}

TEST_F(EpisodeStoreTest, aConvertedRecordAlreadyProcessedIsNeverStoredAgain)
{
    // Marked processed by an earlier save, here or in another program, after
    // the form took it.
    const QVariant k = addKonv("111111111", QVariant(), true);
    EpisodeStore store(entered(), converted());
    KonvRecord konv;
    konv.betegseg = QString("I2100");
    EpisodeForm form = manualForm("1");
    form.mode = Mode::Processing;
    for (const bool processed : {true, false}) {
        try {
            store.saveNew(rowFromForm(form, &konv), surgeriesFromForm(form), KonvMark{k, processed});
            ADD_FAILURE() << "stored again";
        } catch (const SaveError& e) {
            EXPECT_EQ(e.message(), "Már feldolgozott rekord!");
        }
        EXPECT_EQ(entered()->scalar("select count(*) from alap").toInt(), 0);
        EXPECT_EQ(entered()->scalar("select count(*) from műtétek").toInt(), 0);
        EXPECT_EQ(store.lastIdentifier(), 0);
        EXPECT_TRUE(converted()->scalar("select Feldolgozva from konv where rowid = ?", {k}).toBool());
    }
    EXPECT_EQ(store.convertedRecord(k)->torzsszam, "111111111");
    EXPECT_FALSE(store.convertedRecord(QVariant(4711)));
}

TEST_F(EpisodeStoreTest, modifyRewritesTheEpisodeOfItsIdentifierAndKeepsSurgeriesTakenOutOfTheSlots)
{
    EpisodeStore store(entered(), converted());
    KonvRecord k;
    k.betegseg = QString("B1");
    k.beavatkoz = QString(320, 'x');
    EpisodeForm imported = manualForm("1");
    imported.mode = Mode::Processing;
    imported.konvCareType = "E";
    imported.wardBox = "0707";
    store.saveNew(rowFromForm(imported, &k), surgeriesFromForm(imported));
    store.saveNew(rowFromForm(manualForm("2")), surgeriesFromForm(manualForm("2")));

    // As review shows episode 1: its surgeries in slots 0 and 1.
    LoadedEpisode loaded;
    loaded.form = manualForm("1");
    loaded.form.mode = Mode::Review;
    loaded.form.careTypeCaption = "E = egynapos ellátás";
    loaded.form.wardCombo = "0707";
    loaded.form.wardSign = "1";
    loaded.form.codes = {"11111", "22222"};
    loaded.form.durations.fill(kEmptyTime);
    loaded.form.durations[0] = "01:30";
    loaded.form.durations[1] = "02:00";
    loaded.slotRows = {1, 2};

    EpisodeForm edited = loaded.form;
    edited.registerNumber = "111111111";
    edited.careTypeCaption = "K = kúraszerű ellátás";
    edited.codes[0] = "33333"; // changed code: a row of its own, the old one stays
    edited.durations[0] = "00:45";
    edited.codes[1] = "";      // taken out of its slot: stays as stored
    const std::array<qint64, kSlotCount> rows = store.modify(store.changesSinceLoad(loaded, edited));
    EXPECT_EQ(rows, (std::array<qint64, kSlotCount>{5}));

    const auto one = store.load(1);
    EXPECT_EQ(one->tSzam, "111111111");
    EXPECT_EQ(one->intTipus, "K");
    EXPECT_EQ(one->okod, "0707");
    EXPECT_TRUE(one->manualis);                    // kept: modify stores a typed-in episode
    EXPECT_EQ(one->betegseg.toString(), "B1");     // import fields stay as stored
    EXPECT_EQ(store.surgeries("1"),
              (QList<SurgeryRow>{{"11111", "01:30:00"}, {"22222", "02:00:00"}, {"33333", "00:45:00"}}));
    EXPECT_EQ(store.load(2)->tSzam, "123456789");  // the other episode is untouched
    EXPECT_EQ(store.surgeries("2").size(), 2);
    EXPECT_EQ(store.lastIdentifier(), 2);

    LoadedEpisode missing;
    missing.form = manualForm("9");
    EpisodeForm changed = missing.form;
    changed.taj = "000000000";
    EXPECT_THROW(store.modify(store.changesSinceLoad(missing, changed)), SaveError);
    EXPECT_FALSE(store.load(9));
}

TEST_F(EpisodeStoreTest, abandoningDeletesOnlyTheItemsOfAnUnstoredEpisode)
{
    EpisodeStore store(entered(), converted());
    store.saveNew(rowFromForm(manualForm("1")), {});
    addItem("1", "G100");
    addItem("2", "G100");
    addItem("2", "M200");
    addItem("12", "G100");

    EXPECT_EQ(store.deleteItemsOfUnstoredEpisode("1"), 0);
    EXPECT_EQ(store.deleteItemsOfUnstoredEpisode("2"), 2);
    EXPECT_EQ(entered()->scalar("select count(*) from Ráfkódok where Azonosito = '1'").toInt(), 1);
    EXPECT_EQ(entered()->scalar("select count(*) from Ráfkódok where Azonosito = '12'").toInt(), 1);
}

} // namespace
