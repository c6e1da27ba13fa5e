#include "app/ward/wardrules.h"

#include "platform/ui/msgbox.h"

namespace ward {

using episode::EpisodeForm;
using episode::isBlank;
using episode::Message;
using episode::Mode;
using episode::Refusal;

Message saveQuestion()
{
    return Message{QStringLiteral("Biztos fel akarja venni?"), QStringLiteral("Kérdés"),
                   platform::Question | platform::YesNo};
}

std::optional<Refusal> headerRefusal(const EpisodeForm& form)
{
    auto refuse = [](const char* text, const char* focus) {
        return Refusal{Message{QString::fromUtf8(text), QString(), platform::Critical}, QString::fromLatin1(focus)};
    };
    if (isBlank(form.institutionCode))
        return refuse("Hiányzik az intézetkód!", "Text3");
    if (isBlank(form.registerNumber))
        return refuse("Hiányzik a törzsszám!", "Text3");
    // Review stores the ward code as it stands, even an empty one.
    if (form.mode == Mode::Manual && isBlank(form.wardCombo))
        return refuse("Hiányzik az osztálykód!", "Text3");
    if (form.mode == Mode::Processing && isBlank(form.wardBox))
        return refuse("Hiányzik az osztálykód!", "Text3");
    if (isBlank(form.wardSign))
        return refuse("Hiányzik az ellátást végző osztály jele!", "Text3");
    if (form.admissionDate == episode::kEmptyDate)
        return refuse("Üres felvételi dátum!", "MaskEdBox1");
    if (form.dischargeDate == episode::kEmptyDate)
        return refuse("Üres távozási dátum!", "MaskEdBox3");
    if (form.admissionTime == episode::kEmptyTime)
        return refuse("Üres felvételi idő!", "MaskEdBox2");
    if (form.dischargeTime == episode::kEmptyTime)
        return refuse("Üres távozási idő!", "MaskEdBox4");
    return std::nullopt;
}

SavePlan planSave(const EpisodeForm& form, const SaveState& state,
                  const std::function<bool(const Message&)>& confirm)
{
    if (!confirm(saveQuestion()))
        return {};
    if (auto refusal = headerRefusal(form))
        return SavePlan{SaveStep::Refused, *refusal};
    // A converted record already marked processed counts as stored: its
    // data are never stored a second time.
    const bool processed = form.mode == Mode::Processing && form.konvProcessed;
    const bool stored = state.modifyCaption ? false : form.stored || processed;
    if (stored)
        return SavePlan{SaveStep::Refused,
                        Refusal{Message{QStringLiteral("Feldolgozott rekordot nem lehet újra felvinni!"),
                                        QStringLiteral("Figyelmeztetés"), platform::Critical},
                                QString()}};
    if (!state.modifyFlag)
        return SavePlan{SaveStep::Add, {}};
    if (!state.episodeOnShow)
        return SavePlan{SaveStep::Refused,
                        Refusal{Message{QStringLiteral("A módosítandó adatlap nincs felvéve! Nem lehet módosítani!"),
                                        QStringLiteral("Hiba"), platform::Critical},
                                QString()}};
    return SavePlan{SaveStep::Modify, {}};
}

const QStringList& wardSigns()
{
    static const QStringList list = {
        QStringLiteral("0 - Saját osztály"),
        QStringLiteral("1 - Intézeten belüli osztály"),
        QStringLiteral("2 - Másik intézet!"),
    };
    return list;
}

} // namespace ward
