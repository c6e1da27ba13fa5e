// Rules of the ward program's episode save that need no window: the order of
// its checks and what the save then does. The window copies its controls
// into an EpisodeForm, asks planSave and carries the plan out.
#pragma once

#include "app/common/episoderules.h"

#include <functional>

namespace ward {

// "Biztos fel akarja venni?", asked before any check.
episode::Message saveQuestion();

// The header checks of the save in their order; the first that fails, with
// the control that takes the focus. The institution code box cannot take the
// focus (the program fills it), so its refusal sends the focus to the
// register number.
std::optional<episode::Refusal> headerRefusal(const episode::EpisodeForm& form);

enum class SaveStep { Declined, Refused, Modify, Add };

struct SavePlan {
    SaveStep step = SaveStep::Declined;
    episode::Refusal refusal; // when Refused
};

// What the form of the save button allows.
struct SaveState {
    bool modifyCaption = false; // the button reads "Módosítás"
    bool modifyFlag = false;    // SSCheck5: the save edits the episode on show
    bool episodeOnShow = false; // the walk stands on a stored episode
};

// The save in its order: the question, the header checks, the stored flag
// (which a modification clears first) or a converted record already
// processed, then whether a stored episode is
// edited or a new one added. A modification with no stored episode on show
// is refused.
SavePlan planSave(const episode::EpisodeForm& form, const SaveState& state,
                  const std::function<bool(const episode::Message&)>& confirm);

// The sign of the care-giving ward, as the ward form lists it.
const QStringList& wardSigns();

} // namespace ward
