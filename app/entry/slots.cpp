#include "app/entry/slots.h"

#include "platform/ui/msgbox.h"

namespace entry {

const std::array<SlotControls, kSlotCount>& slotControls()
{
    static const std::array<SlotControls, kSlotCount> controls{{
        {"Text23", "MaskEdBox7"},
        {"Text9", "MaskEdBox11"},
        {"Text29", "MaskEdBox14"},
        {"Text21", "MaskEdBox12"},
        {"Text22", "MaskEdBox13"},
        {"Text27", "MaskEdBox8"},
        {"Text30", "MaskEdBox9"},
        {"Text24", "MaskEdBox10"},
        {"Text8", "MaskEdBox16"},
        {"Text26", "MaskEdBox15"},
    }};
    return controls;
}

QString slotDigit(int slot)
{
    if (slot < 0 || slot >= kSlotCount)
        return QString();
    return QString(QChar(u'0' + slot));
}

int slotFromDigit(const QString& digit)
{
    if (digit.size() != 1)
        return -1;
    const QChar c = digit.at(0);
    if (c < u'0' || c > u'9')
        return -1;
    return c.unicode() - u'0';
}

int slotOfControl(const QString& controlName)
{
    const auto& controls = slotControls();
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (controlName == QLatin1String(controls[slot].codeBox)
            || controlName == QLatin1String(controls[slot].durationBox))
            return slot;
    }
    return -1;
}

void feherit(SlotView& view)
{
    for (int slot = 0; slot < kSlotCount; ++slot)
        view.setSlotBackground(slot, kSlotWhite);
}

void sotet(SlotView& view, int slot)
{
    feherit(view);
    if (slot >= 0 && slot < kSlotCount)
        view.setSlotBackground(slot, kSlotGrey);
}

int currentSlot(const SlotView& view)
{
    int current = -1;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (view.codeBackground(slot) == kSlotGrey)
            current = slot;
    }
    return current;
}

void aktell(const SlotView& view, QString& aktmutet)
{
    const int slot = currentSlot(view);
    if (slot >= 0)
        aktmutet = slotDigit(slot);
}

void haures(SlotView& view)
{
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!view.codeText(slot).trimmed().isEmpty())
            view.enableSlot(slot);
    }
}

void datell(SlotView& view)
{
    haures(view);
}

bool maskell(const SlotView& view, int slot)
{
    if (!view.codeText(slot).trimmed().isEmpty() && view.durationText(slot) == kEmptyDuration) {
        platform::msgBox(QStringLiteral("Hiányos műtétdátum!"), platform::Critical,
                         QStringLiteral("Hiba"));
        return true;
    }
    return false;
}

bool durationComplete(const QString& durationText)
{
    return durationText.trimmed().size() >= 5;
}

DurationVerdict judgeDuration(int slot, const QString& durationText, const QString& codeText)
{
    DurationVerdict verdict;
    const bool hasCode = !codeText.trimmed().isEmpty();

    if (!durationComplete(durationText)) {
        verdict.messages << QStringLiteral("Hibás dátumformátum!Helyes dátumformátum: óó:pp");
        if (hasCode) {
            verdict.refocusDuration = true;
            return verdict;
        }
        // Slots 1 and 2 go on to the emptiness test; an incomplete duration
        // without a code goes no further anywhere.
        if ((slot == 1 || slot == 2) && durationText == kEmptyDuration)
            verdict.messages << QStringLiteral("Hiányos dátum!");
        return verdict;
    }

    if (!hasCode)
        return verdict;

    verdict.success = true;
    verdict.nextSlot = slot + 1 < kSlotCount ? slot + 1 : -1;
    verdict.enablesTabsBeforeFocus = slot == 0;
    verdict.enablesTabsAfterFocus = slot == 2;
    return verdict;
}

} // namespace entry
