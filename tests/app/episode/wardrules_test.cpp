// The ward program's save: the order of its checks and what it then does.
#include "app/ward/wardrules.h"

#include "platform/ui/msgbox.h"

#include <gtest/gtest.h>

namespace {

using episode::EpisodeForm;
using episode::Mode;
using ward::SaveStep;

EpisodeForm completeForm(Mode mode)
{
    EpisodeForm f;
    f.mode = mode;
    f.identifier = "42";
    f.institutionCode = "1234";
    f.careTypeCaption = "1 = aktív fekvőbeteg ellátás";
    f.registerNumber = "987654321";
    f.admissionDate = "2005.08.24.";
    f.admissionTime = "08:30";
    f.dischargeDate = "2005.08.30.";
    f.dischargeTime = "12:00";
    f.wardCombo = "0101";
    f.wardBox = "0101";
    f.wardSign = "0 - Saját osztály";
    return f;
}

struct CheckCase {
    const char* name;
    Mode mode;
    std::function<void(EpisodeForm&)> change;
    const char* message; // nullptr: the header passes
    const char* focus;
};

TEST(WardSave, header_checks_refuse_in_their_order)
{
    const QList<CheckCase> cases = {
        {"everything missing", Mode::Manual,
         [](EpisodeForm& f) {
             f.institutionCode = f.registerNumber = f.wardCombo = f.wardSign = "";
             f.admissionDate = f.dischargeDate = episode::kEmptyDate;
         },
         "Hiányzik az intézetkód!", "Text3"},
        {"blank register number", Mode::Manual,
         [](EpisodeForm& f) { f.registerNumber = "   "; f.wardCombo = ""; }, "Hiányzik a törzsszám!", "Text3"},
        {"manual entry without ward", Mode::Manual, [](EpisodeForm& f) { f.wardCombo = " "; f.wardSign = ""; },
         "Hiányzik az osztálykód!", "Text3"},
        {"processing without ward", Mode::Processing, [](EpisodeForm& f) { f.wardBox = ""; },
         "Hiányzik az osztálykód!", "Text3"},
        {"review stores an empty ward", Mode::Review, [](EpisodeForm& f) { f.wardCombo = f.wardBox = ""; }, nullptr,
         ""},
        {"no ward sign", Mode::Manual, [](EpisodeForm& f) { f.wardSign = " "; f.admissionDate = episode::kEmptyDate; },
         "Hiányzik az ellátást végző osztály jele!", "Text3"},
        {"empty admission date", Mode::Manual,
         [](EpisodeForm& f) { f.admissionDate = episode::kEmptyDate; f.dischargeTime = episode::kEmptyTime; },
         "Üres felvételi dátum!", "MaskEdBox1"},
        {"partly typed admission date passes", Mode::Manual, [](EpisodeForm& f) { f.admissionDate = "2005.  .  ."; },
         nullptr, ""},
        {"empty discharge date", Mode::Manual,
         [](EpisodeForm& f) { f.dischargeDate = episode::kEmptyDate; f.admissionTime = episode::kEmptyTime; },
         "Üres távozási dátum!", "MaskEdBox3"},
        {"empty admission time", Mode::Manual,
         [](EpisodeForm& f) { f.admissionTime = episode::kEmptyTime; f.dischargeTime = episode::kEmptyTime; },
         "Üres felvételi idő!", "MaskEdBox2"},
        {"empty discharge time", Mode::Manual, [](EpisodeForm& f) { f.dischargeTime = episode::kEmptyTime; },
         "Üres távozási idő!", "MaskEdBox4"},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.name);
        EpisodeForm f = completeForm(c.mode);
        c.change(f);
        const auto refusal = ward::headerRefusal(f);
        if (!c.message) {
            EXPECT_FALSE(refusal.has_value());
            continue;
        }
        ASSERT_TRUE(refusal.has_value());
        EXPECT_EQ(refusal->message.text, QString::fromUtf8(c.message));
        EXPECT_EQ(refusal->message.title, QString());
        EXPECT_EQ(refusal->message.style, platform::Critical);
        EXPECT_EQ(refusal->focus, QString::fromLatin1(c.focus));
    }
}

TEST(WardSave, question_then_checks_then_stored_flag_then_add_or_modify)
{
    struct PlanCase {
        const char* name;
        bool answer;
        bool blankInstitution;
        bool stored;
        ward::SaveState state;
        SaveStep step;
        const char* message;
    };
    const QList<PlanCase> cases = {
        {"No ends the save before any check", false, true, false, {}, SaveStep::Declined, ""},
        {"a missing field after Yes", true, true, true, {}, SaveStep::Refused, "Hiányzik az intézetkód!"},
        {"a stored episode is not added again", true, false, true, {}, SaveStep::Refused,
         "Feldolgozott rekordot nem lehet újra felvinni!"},
        {"a new episode is added", true, false, false, {}, SaveStep::Add, ""},
        {"review modifies the stored episode on show", true, false, true, {true, true, true}, SaveStep::Modify, ""},
        {"review of an empty selection has nothing to modify", true, false, true, {true, true, false},
         SaveStep::Refused, "A módosítandó adatlap nincs felvéve! Nem lehet módosítani!"},
    };
    for (const PlanCase& c : cases) {
        SCOPED_TRACE(c.name);
        EpisodeForm f = completeForm(c.state.modifyCaption ? Mode::Review : Mode::Manual);
        if (c.blankInstitution)
            f.institutionCode = "";
        f.stored = c.stored;
        QStringList asked;
        const ward::SavePlan plan = ward::planSave(f, c.state, [&](const episode::Message& m) {
            asked << m.text;
            EXPECT_EQ(m.title, "Kérdés");
            return c.answer;
        });
        EXPECT_EQ(asked, QStringList{"Biztos fel akarja venni?"});
        EXPECT_EQ(plan.step, c.step);
        EXPECT_EQ(plan.refusal.message.text, QString::fromUtf8(c.message));
    }
}

} // namespace
