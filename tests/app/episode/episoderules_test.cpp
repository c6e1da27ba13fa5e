// The episode header's checks and the save's check order, without a window.
#include "app/common/episoderules.h"
#include "app/common/episodestore.h"
#include "app/common/konvmapping.h"
#include "platform/ui/msgbox.h"

#include <gtest/gtest.h>

using namespace episode;

namespace {

struct TajCase {
    const char* taj;
    TajVerdict verdict;
};

TEST(TajCheck, verdicts)
{
    const TajCase cases[] = {
        {"123456788", TajVerdict::Valid},          // 3*16 + 7*20 = 188
        {"000000000", TajVerdict::Valid},
        {"123456787", TajVerdict::WrongCheckDigit},
        {"12345678", TajVerdict::WrongLength},
        {"1234567888", TajVerdict::WrongLength},
        {"", TajVerdict::WrongLength},
        {"12345a788", TajVerdict::NotDigits},
        {"12345678x", TajVerdict::NotDigits},      // the check digit is read too
        {"1234 6788", TajVerdict::NotDigits},
        {"١٢٣٤٥٦٧٨٨", TajVerdict::NotDigits},      // only decimal digits 0-9 count
    };
    for (const auto& c : cases)
        EXPECT_EQ(checkTaj(QString::fromUtf8(c.taj)), c.verdict) << c.taj;
}

TEST(TajCheck, messages)
{
    EXPECT_FALSE(tajProblem("123456788"));
    EXPECT_EQ(*tajProblem("12345678"),
              (Message{"A TAJ számnak 9 számjegyűnek kell lennie !", "Hiba!", platform::Critical}));
    // A letter: a plain box under the program's own title.
    EXPECT_EQ(*tajProblem("1234567a8"), (Message{"Ez a Taj. nem felel meg az előírásoknak!", "", platform::OkOnly}));
    EXPECT_EQ(*tajProblem("123456787"), (Message{"Hibás a TAJ szám, kérem javítsa!", "Hiba!", platform::Critical}));
}

TEST(DateText, readsOnlyExistingDatesInYearMonthDayOrder)
{
    EXPECT_EQ(readDate("2005.08.24."), QDate(2005, 8, 24));
    EXPECT_EQ(readDate("2005.08.24"), QDate(2005, 8, 24)); // converted records carry no closing point
    EXPECT_EQ(readDate("2004.02.29."), QDate(2004, 2, 29));
    for (const char* bad : {"    .  .  .", "2005.02.29.", "2005.13.01.", "2005.00.10.", "2005.08.  .",
                            "24.08.2005.", "2005-08-24.", "2005.8.24.", " 2005.08.24."})
        EXPECT_FALSE(readDate(bad)) << bad;
}

TEST(DateChecks, admissionAndDischargeDates)
{
    const Message unreadable{"Hibás a felviteli dátum, kérem javítsa!", "Hiba!", platform::Critical};
    const Message order{"A távozási dátum nem lehet kisebb a felvételi dátumnál!", "Figyelmeztetés!",
                        platform::Critical};
    EXPECT_EQ(admissionDateProblem(kEmptyDate), unreadable);
    EXPECT_FALSE(admissionDateProblem("2005.08.24."));

    struct Case {
        const char* admission;
        const char* discharge;
        std::optional<Message> expected;
    };
    const Case cases[] = {
        {"2005.08.24.", "2005.08.24.", std::nullopt},   // same day passes
        {"2005.08.24.", "2005.08.25.", std::nullopt},
        {"2005.08.24.", "2005.08.23.", order},
        {"2005.08.24.", "2004.12.31.", order},
        {"2005.08.24.", "2005.08.  .", unreadable},     // unreadable: only its own message
        {"    .  .  .", "2005.08.23.", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dischargeDateProblem(c.admission, c.discharge), c.expected) << c.admission << " " << c.discharge;
}

TEST(DateChecks, sameDayDischargeTimeMustBeLater)
{
    struct Case {
        const char* admDate;
        const char* admTime;
        const char* disDate;
        const char* disTime;
        bool refused;
    };
    const Case cases[] = {
        {"2005.08.24.", "08:30", "2005.08.24.", "08:30", true},
        {"2005.08.24.", "08:30", "2005.08.24.", "08:29", true},
        {"2005.08.24.", "08:30", "2005.08.24.", "07:59", true},
        {"2005.08.24.", "08:30", "2005.08.24.", "08:31", false},
        {"2005.08.24.", "08:30", "2005.08.24.", "09:00", false},
        {"2005.08.24.", "08:30", "2005.08.24.", "  :  ", true},   // blanks sort before digits
        {"2005.08.24.", "23:59", "2005.08.25.", "00:00", false},  // other day: any times
        {"2005.08.24.", "08:30", "    .  .  .", "07:00", false},  // unreadable date: no refusal
        {"2005.08.  .", "08:30", "2005.08.24.", "07:00", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dischargeTimeRefused(c.admDate, c.admTime, c.disDate, c.disTime), c.refused)
            << c.admDate << " " << c.admTime << " / " << c.disDate << " " << c.disTime;
    EXPECT_EQ(dischargeTimeProblem("2005.08.24.", "08:30", "2005.08.24.", "08:30")->text,
              "Nem lehet ugyanazon a napon a távozási idő kisebb vagy egyenlő a fevételi idővel!");
}

TEST(HeaderChecks, registerSequenceAndOutcome)
{
    EXPECT_EQ(*registerNumberProblem("12345678"),
              (Message{"A törzsszámnak 9 hosszúnak kell lenni!", "", platform::Critical}));
    EXPECT_EQ(*registerNumberProblem(""), (Message{"A törzsszámnak 9 hosszúnak kell lenni!", "", platform::Critical}));
    EXPECT_FALSE(registerNumberProblem("ABC 45678"));

    EXPECT_EQ(normalisedSequence(""), "0");
    EXPECT_EQ(normalisedSequence("  "), "0");
    EXPECT_EQ(normalisedSequence("5"), "5");

    for (const char* ok : {"1", "9", "A", "B"})
        EXPECT_FALSE(outcomeProblem(ok)) << ok;
    for (const char* bad : {"", "0", "a", "b", "C", "x", " "})
        EXPECT_EQ(outcomeProblem(bad), (Message{"Nem helyes érték!", "Hiba", platform::Critical})) << bad;
}

TEST(CodeTables, careTypesOutcomesAndWardSigns)
{
    EXPECT_EQ(careTypeText("E"), "E = egynapos ellátás");
    EXPECT_EQ(careTypeText("R"), "R = rehabilitáció(fekvő)");
    EXPECT_EQ(careTypeText("e"), "");  // exact and with case
    EXPECT_EQ(careTypeText("1 "), "");
    for (const auto& t : careTypes())
        EXPECT_EQ(firstChar(t.text), t.key);

    ASSERT_EQ(outcomeList().size(), 12);
    EXPECT_EQ(outcomeList().first(), "");
    EXPECT_EQ(outcomeList()[4], "4. Meghalt");
    EXPECT_EQ(outcomeList().last(), "B. Otthoni szakápolásra javasolt");
    EXPECT_EQ(wardSigns(), (QStringList{"0 - Saját osztály", "1 - Intézeten belüli osztály", "2 - Másik intézet"}));

    EXPECT_EQ(institutionIdentifier("1234", "E = egynapos ellátás", "0101"), "1234E0101");
    EXPECT_EQ(institutionIdentifier("1234", "", "0101"), "12340101");
}

// ---- the save's checks --------------------------------------------------

EpisodeForm validForm(Mode mode)
{
    EpisodeForm f;
    f.mode = mode;
    f.identifier = "7";
    f.institutionCode = "1234";
    f.careTypeCaption = "1 = aktív fekvőbeteg ellátás";
    f.konvCareType = "E";
    f.registerNumber = "123456789";
    f.taj = "123456788";
    f.admissionDate = "2005.08.24.";
    f.admissionTime = "08:30";
    f.dischargeDate = "2005.08.26.";
    f.dischargeTime = "10:00";
    f.wardCombo = "0101";
    f.wardBox = "0202";
    f.wardSign = "0 - Saját osztály";
    f.sequence = "1";
    f.outcome = "3";
    f.durations.fill(kEmptyTime);
    f.codes[0] = "12345";
    f.durations[0] = "01:30";
    f.konvRowPresent = mode == Mode::Processing;
    return f;
}

struct CheckCase {
    const char* name;
    Mode mode;
    SaveButton button;
    std::function<void(EpisodeForm&)> spoil;
    const char* text;
    const char* title;
    const char* focus;
    bool confirmationAsked;
};

TEST(SaveChecks, firstFailingStepInOrder)
{
    const auto M = Mode::Manual, P = Mode::Processing, R = Mode::Review;
    const auto F = SaveButton::Felvitel, Mo = SaveButton::Modosit;
    const CheckCase cases[] = {
        {"processed konv row", P, F, [](EpisodeForm& f) { f.konvProcessed = true; f.institutionCode = ""; },
         "Már feldolgozott rekord!", "Hiba", "", false},
        {"duration missing in slot 9 only", M, F,
         [](EpisodeForm& f) { f.codes[0] = ""; f.codes[9] = "99999"; },
         "Hiányzó műtéti időtartam!", "Hiba", "", false},
        {"duration missing before a blank register", M, F,
         [](EpisodeForm& f) { f.durations[0] = kEmptyTime; f.registerNumber = ""; },
         "Hiányzó műtéti időtartam!", "Hiba", "", false},
        {"institution code", M, F, [](EpisodeForm& f) { f.institutionCode = "   "; f.registerNumber = ""; },
         "Hiányzik az intézetkód!", "", "Text6", true},
        {"register number", M, F, [](EpisodeForm& f) { f.registerNumber = " "; f.wardCombo = ""; },
         "Hiányzik a törzsszám!", "", "Text3", true},
        {"ward combo in manual entry", M, F, [](EpisodeForm& f) { f.wardCombo = ""; },
         "Hiányzik az osztálykód!", "", "Text3", true},
        {"ward box in processing", P, F, [](EpisodeForm& f) { f.wardBox = ""; },
         "Hiányzik az osztálykód!", "", "Text3", true},
        {"ward sign", M, F, [](EpisodeForm& f) { f.wardSign = ""; f.admissionDate = kEmptyDate; },
         "Hiányzik az ellátást végző osztály jele!", "", "Text3", true},
        {"admission date", M, F, [](EpisodeForm& f) { f.admissionDate = kEmptyDate; f.dischargeDate = kEmptyDate; },
         "Üres felvételi dátum!", "", "MaskEdBox1", true},
        {"discharge date", M, F, [](EpisodeForm& f) { f.dischargeDate = kEmptyDate; f.admissionTime = kEmptyTime; },
         "Üres távozási dátum!", "", "MaskEdBox3", true},
        {"admission time", M, F, [](EpisodeForm& f) { f.admissionTime = kEmptyTime; f.dischargeTime = kEmptyTime; },
         "Üres felvételi idő!", "", "MaskEdBox2", true},
        {"discharge time", M, F, [](EpisodeForm& f) { f.dischargeTime = kEmptyTime; f.stored = true; },
         "Üres távozási idő!", "", "MaskEdBox4", true},
        {"already stored", M, F, [](EpisodeForm& f) { f.stored = true; },
         "Feldolgozott rekordot nem lehet újra felvinni!", "Figyelmeztetés", "", true},
        {"modify ignores ward fields in review", R, Mo,
         [](EpisodeForm& f) { f.wardCombo = ""; f.wardBox = ""; f.wardSign = ""; },
         "Hiányzik az ellátást végző osztály jele!", "", "Text3", true},
    };
    for (const auto& c : cases) {
        EpisodeForm form = validForm(c.mode);
        c.spoil(form);
        bool asked = false;
        const auto result = runSaveChecks(form, c.button, [&](const Message&) { asked = true; return true; });
        ASSERT_EQ(result.verdict, SaveVerdict::Refused) << c.name;
        EXPECT_EQ(result.refusal.message.text, c.text) << c.name;
        EXPECT_EQ(result.refusal.message.title, c.title) << c.name;
        EXPECT_EQ(result.refusal.message.style, platform::Critical) << c.name;
        EXPECT_EQ(result.refusal.focus, c.focus) << c.name;
        EXPECT_EQ(asked, c.confirmationAsked) << c.name;
    }
}

TEST(SaveChecks, passingFormsAndTheConfirmation)
{
    for (Mode mode : {Mode::Manual, Mode::Processing}) {
        QList<Message> asked;
        const auto ok = runSaveChecks(validForm(mode), SaveButton::Felvitel, [&](const Message& m) {
            asked.append(m);
            return true;
        });
        EXPECT_EQ(ok.verdict, SaveVerdict::Go);
        ASSERT_EQ(asked.size(), 1);
        EXPECT_EQ(asked[0], (Message{"Biztos fel akarja venni?", "Kérdés", platform::Question | platform::YesNo}));
    }

    // "Módosít" skips the stored and processed checks and keeps its own wording.
    EpisodeForm stored = validForm(Mode::Review);
    stored.stored = true;
    QString question;
    EXPECT_EQ(runSaveChecks(stored, SaveButton::Modosit, [&](const Message& m) { question = m.text; return true; })
                  .verdict,
              SaveVerdict::Go);
    EXPECT_EQ(question, "Biztos fe akarja venni?");

    // No at the confirmation: nothing further is checked or reported.
    EpisodeForm blank = validForm(Mode::Manual);
    blank.registerNumber = "";
    EXPECT_EQ(runSaveChecks(blank, SaveButton::Felvitel, [](const Message&) { return false; }).verdict,
              SaveVerdict::Declined);

    // A duration without a code is neither refused nor stored; a code of blanks counts as none.
    EpisodeForm loose = validForm(Mode::Manual);
    loose.codes[3] = "     ";
    loose.durations[4] = "02:00";
    EXPECT_EQ(runSaveChecks(loose, SaveButton::Felvitel, [](const Message&) { return true; }).verdict,
              SaveVerdict::Go);
    EXPECT_EQ(surgeriesFromForm(loose), (QList<SurgeryRow>{{"12345", "01:30:00"}}));
}

// ---- the stored forms ---------------------------------------------------

TEST(StoredForms, manualAndProcessingRows)
{
    EpisodeForm f = validForm(Mode::Manual);
    f.sequence = " ";
    f.outcome = "";
    f.wardSign = "2 - Másik intézet";
    f.examination = true;
    f.admissionTime = "08:0 "; // a partly typed time is stored as shown
    const EpisodeRow manual = rowFromForm(f);
    EXPECT_EQ(manual.azonosito, 7);
    EXPECT_EQ(manual.intTipus, "1");
    EXPECT_EQ(manual.okod, "0101");
    EXPECT_EQ(manual.ojele, "2");
    EXPECT_EQ(manual.fido, "08:0 :00");
    EXPECT_EQ(manual.tido, "10:00:00");
    EXPECT_EQ(manual.tsor, "0");
    EXPECT_EQ(manual.tovsors, "0");
    EXPECT_TRUE(manual.vjel);
    EXPECT_TRUE(manual.manualis);
    EXPECT_FALSE(manual.withImport);

    KonvRecord k;
    k.betegseg = QString("A01");
    k.beavatkoz = QString(320, ' ');
    const EpisodeRow processed = rowFromForm(validForm(Mode::Processing), &k);
    EXPECT_EQ(processed.intTipus, "E");
    EXPECT_EQ(processed.okod, "0202");
    EXPECT_FALSE(processed.manualis);
    EXPECT_TRUE(processed.withImport);
    EXPECT_EQ(processed.betegseg.toString(), "A01");

    // Review keeps the typed-in forms: a modified imported episode stores
    // Manuális True and the care type of the care-type text.
    const EpisodeRow reviewed = rowFromForm(validForm(Mode::Review), &k);
    EXPECT_TRUE(reviewed.manualis);
    EXPECT_EQ(reviewed.intTipus, "1");
    EXPECT_FALSE(reviewed.withImport);
}

TEST(KonvMapping, fieldsAndSurgeryCodes)
{
    QString beav(320, ' ');
    beav.replace(24, 5, "11111");
    beav.replace(32 + 24, 5, "2222 ");
    beav.replace(9 * 32 + 24, 5, "ZZZZZ");
    KonvRecord r;
    r.munkahelyAzon = "1234E0101";
    r.torzsszam = "987654321";
    r.szemelyaz = "123456788";
    r.sorszam = "02";
    r.felvDat = "2005.08.24";
    r.felvTim = "08:05:00";
    r.tavDat = "2005.08.30";
    r.tavTim = "12:40:00";
    r.tovSors = "3";
    r.feldolgozva = true;
    r.beavatkoz = beav;
    const KonvFormFields f = mapKonv(r);
    EXPECT_EQ(f.text6, "1234");
    EXPECT_EQ(f.label6, "E");
    EXPECT_EQ(f.text11, "0101");
    EXPECT_EQ(f.maskEdBox2, "08:05");
    EXPECT_EQ(f.maskEdBox4, "12:40");
    EXPECT_EQ(f.maskEdBox1, "2005.08.24");
    EXPECT_TRUE(f.ssCheck1);
    EXPECT_EQ(f.codes[0], "11111");
    EXPECT_EQ(f.codes[1], "2222 ");
    EXPECT_EQ(f.codes[2], "     ");
    EXPECT_EQ(f.codes[9], "ZZZZZ");

    EXPECT_EQ(surgeryCodes(QVariant()), (std::array<QString, kSlotCount>{}));
    const auto shortField = surgeryCodes(QString(40, 'x'));
    EXPECT_EQ(shortField[0], "xxxxx");
    EXPECT_EQ(shortField[1], "");
}

TEST(SlotsFromSurgeries, durationsStopAtFirstEmptyAndExtraRowsAreNotShown)
{
    QList<SurgeryRow> rows;
    rows.append(SurgeryRow{"A0001", "01:30:00"});
    rows.append(SurgeryRow{"A0002", ""});
    rows.append(SurgeryRow{"A0003", "00:45:00"});
    const SlotContents s = slotsFromSurgeries(rows);
    EXPECT_EQ(s.codes[0], "A0001");
    EXPECT_EQ(s.codes[2], "A0003");
    EXPECT_EQ(s.codes[3], "");
    EXPECT_EQ(s.durations[0], "01:30");
    EXPECT_EQ(s.durations[1], kEmptyTime);
    EXPECT_EQ(s.durations[2], kEmptyTime);

    QList<SurgeryRow> many;
    for (int i = 0; i < 13; ++i)
        many.append(SurgeryRow{QString("C%1").arg(i, 4, 10, QChar('0')), "00:10:00"});
    const SlotContents m = slotsFromSurgeries(many);
    EXPECT_EQ(m.rowsRead, 13);
    EXPECT_EQ(m.codes[9], "C0009");
    EXPECT_EQ(m.durations[9], "00:10");
}

} // namespace
