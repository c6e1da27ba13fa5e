// The ten surgery slots of the surgical main window: which controls form
// each slot, which slot is current, when a slot may be edited, and how a
// typed duration is judged.
//
// Two ways in:
//  - the rules work on an abstract SlotView (the window supplies one over its
//    twenty boxes, tests a plain fake), so they are tested without a window;
//  - the kezdo& overloads at the bottom are what the window's own handlers
//    call (`entry::feherit(*this)`); they wrap the window's boxes in a view.
//
// The slot number is used as a one-character text "0" ... "9": shown to the
// clerk, the target of the surgery master picker, and `AzonB` of the items
// booked to the slot.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <array>

class kezdo;
class QLineEdit;
namespace platform {
class MaskEdBox;
}

namespace entry {

inline constexpr int kSlotCount = 10;

// Background of the boxes: the current slot's pair is light grey (&HC0C0C0),
// every other box white. The grey code box is the only record of which slot
// is current.
inline const QColor kSlotWhite{0xFF, 0xFF, 0xFF};
inline const QColor kSlotGrey{0xC0, 0xC0, 0xC0};

// The text of an empty duration box (mask "##:##").
inline const QString kEmptyDuration = QStringLiteral("  :  ");

struct SlotControls {
    const char* codeBox;     // surgery code, at most 5 characters
    const char* durationBox; // duration, mask "##:##"
};

// Control names of slots 0 ... 9, in slot order.
const std::array<SlotControls, kSlotCount>& slotControls();

// "0" ... "9" for 0 ... 9.
QString slotDigit(int slot);
// 0 ... 9 for the texts "0" ... "9"; -1 for anything else (empty included).
int slotFromDigit(const QString& digit);
// The slot whose code box or duration box carries this control name; -1 when none.
int slotOfControl(const QString& controlName);

// What the slot rules need of the twenty boxes.
class SlotView {
public:
    virtual ~SlotView() = default;
    virtual QString codeText(int slot) const = 0;
    virtual QString durationText(int slot) const = 0;
    // Background of the slot's code box.
    virtual QColor codeBackground(int slot) const = 0;
    // Paints the slot's code box and duration box.
    virtual void setSlotBackground(int slot, const QColor& colour) = 0;
    virtual bool slotEnabled(int slot) const = 0;
    // Enables the slot's code box, then its duration box. Never disables.
    virtual void enableSlot(int slot) = 0;
};

// Paints all twenty boxes white, then the given slot's pair grey.
void sotet(SlotView& view, int slot);
// Paints all twenty boxes white: no slot is current.
void feherit(SlotView& view);
// The digit of the grey code box (the last one in slot order should there be
// several); `aktmutet` keeps its value when no code box is grey.
void aktell(const SlotView& view, QString& aktmutet);
// The slot whose code box is grey, -1 when none.
int currentSlot(const SlotView& view);
// Enables every slot whose code, trimmed, is not empty; slots with a blank
// code keep their state. `datell` (loading a stored episode) and `haures`
// (after converted records or browsing) do exactly the same.
void haures(SlotView& view);
void datell(SlotView& view);
// A slot that holds a code with a completely empty duration shows
// "Hiányos műtétdátum!" (title "Hiba", critical) and gives true (`hibajel`);
// every other case gives false and shows nothing.
bool maskell(const SlotView& view, int slot);

// A duration is complete when, after trimming, it is five characters long:
// its tens of hours and units of minutes are typed (a blank inside passes).
bool durationComplete(const QString& durationText);

// What leaving a duration box does (the judging of the typed duration).
struct DurationVerdict {
    // Boxes shown, in order; each has the title "Hiba", critical icon, OK.
    QStringList messages;
    bool refocusDuration = false; // focus back into the duration box
    bool success = false;         // unlock the next slot, count, focus moves
    int nextSlot = -1;            // slot to enable on success; -1 for slot 9
    bool enablesTabsBeforeFocus = false; // slot 0: tabs enabled before the code box gets the focus
    bool enablesTabsAfterFocus = false;  // slot 2: tabs enabled between the two focus moves
};
DurationVerdict judgeDuration(int slot, const QString& durationText, const QString& codeText);

// ---- the window's slots ----------------------------------------------------
// These work on the main window's boxes and state (`aktmutet`, `hibajel`).

void feherit(kezdo& w);
void haures(kezdo& w);
void datell(kezdo& w);
void sotet(kezdo& w, int slot);
// Sets w.aktmutet from the highlight.
void aktell(kezdo& w);
// Sets w.hibajel and returns it.
bool maskell(kezdo& w, int slot);

// The window's boxes of one slot (0 ... 9); nullptr outside that range.
QLineEdit* slotCodeBox(kezdo& w, int slot);
platform::MaskEdBox* slotDurationBox(kezdo& w, int slot);

} // namespace entry
