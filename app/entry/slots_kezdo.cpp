// The slot rules applied to the main window's twenty boxes.
#include "app/entry/slots.h"

#include "app/common/kezdo.h"
#include "app/ward/wardmain.h"
#include "platform/ui/maskedbox.h"

#include <QLineEdit>
#include <QPalette>

namespace entry {

namespace {

void paintBox(QWidget* box, const QColor& colour)
{
    if (!box)
        return;
    QPalette p = box->palette();
    p.setColor(QPalette::Base, colour);
    box->setPalette(p);
}

class WindowSlots : public SlotView {
public:
    explicit WindowSlots(kezdo& w) : m_w(w) {}

    QString codeText(int slot) const override
    {
        QLineEdit* box = slotCodeBox(m_w, slot);
        return box ? box->text() : QString();
    }
    QString durationText(int slot) const override
    {
        platform::MaskEdBox* box = slotDurationBox(m_w, slot);
        return box ? box->text() : QString();
    }
    QColor codeBackground(int slot) const override
    {
        QLineEdit* box = slotCodeBox(m_w, slot);
        return box ? box->palette().color(QPalette::Base) : QColor();
    }
    void setSlotBackground(int slot, const QColor& colour) override
    {
        paintBox(slotCodeBox(m_w, slot), colour);
        paintBox(slotDurationBox(m_w, slot), colour);
    }
    bool slotEnabled(int slot) const override
    {
        QLineEdit* box = slotCodeBox(m_w, slot);
        return box && box->isEnabled();
    }
    void enableSlot(int slot) override
    {
        if (QLineEdit* box = slotCodeBox(m_w, slot))
            box->setEnabled(true);
        if (platform::MaskEdBox* box = slotDurationBox(m_w, slot))
            box->setEnabled(true);
    }

private:
    kezdo& m_w;
};

} // namespace

QLineEdit* slotCodeBox(kezdo& w, int slot)
{
    // The ward form has no slots; its boxes of the same names are others.
    if (w.ward)
        return nullptr;
    switch (slot) {
    case 0: return w.Text23;
    case 1: return w.Text9;
    case 2: return w.Text29;
    case 3: return w.Text21;
    case 4: return w.Text22;
    case 5: return w.Text27;
    case 6: return w.Text30;
    case 7: return w.Text24;
    case 8: return w.Text8;
    case 9: return w.Text26;
    default: return nullptr;
    }
}

platform::MaskEdBox* slotDurationBox(kezdo& w, int slot)
{
    if (w.ward)
        return nullptr;
    switch (slot) {
    case 0: return w.MaskEdBox7;
    case 1: return w.MaskEdBox11;
    case 2: return w.MaskEdBox14;
    case 3: return w.MaskEdBox12;
    case 4: return w.MaskEdBox13;
    case 5: return w.MaskEdBox8;
    case 6: return w.MaskEdBox9;
    case 7: return w.MaskEdBox10;
    case 8: return w.MaskEdBox16;
    case 9: return w.MaskEdBox15;
    default: return nullptr;
    }
}

void feherit(kezdo& w)
{
    WindowSlots view(w);
    feherit(view);
}

void sotet(kezdo& w, int slot)
{
    WindowSlots view(w);
    sotet(view, slot);
}

void haures(kezdo& w)
{
    WindowSlots view(w);
    haures(view);
}

void datell(kezdo& w)
{
    WindowSlots view(w);
    datell(view);
}

void aktell(kezdo& w)
{
    WindowSlots view(w);
    aktell(view, w.aktmutet);
}

bool maskell(kezdo& w, int slot)
{
    WindowSlots view(w);
    w.hibajel = maskell(view, slot);
    return w.hibajel;
}

} // namespace entry
