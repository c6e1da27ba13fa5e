// The main window's surgery slots and item tabs: the handlers of the ten
// code and duration boxes, of the three item tabs (code box, combo, grid,
// quantity, add), of the shared code search, of the surgery master picker
// and of the two deletions. The rules themselves live in slots.h,
// itemrules.h and itemstore.h.
#include "app/common/kezdo.h"

#include "app/common/dataaction.h"
#include "app/common/episoderules.h"
#include "app/common/programinfo.h"
#include "app/entry/itemrules.h"
#include "app/entry/itemstore.h"
#include "app/entry/quantity.h"
#include "app/entry/slots.h"
#include "platform/db/dataconnection.h"
#include "platform/sys/regional.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbcombo.h"
#include "platform/ui/dbgrid.h"
#include "platform/ui/maskedbox.h"
#include "platform/ui/msgbox.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

using platform::db::DataConnection;

namespace {

constexpr int kF1 = 112;
constexpr int kF8 = 119;
constexpr int kF10 = 121;
constexpr int kEnter = 13;
constexpr int kNameColumnWidth = 240;

const QString kNoSuchCode = QStringLiteral("Nincs ilyen kód!Beír másikat?");

// The widgets and connection of one item tab.
struct Tab {
    const entry::ItemTabInfo& info;
    QLineEdit* code;
    platform::DBCombo* combo;
    platform::DBGrid* grid;
    platform::MaskEdBox* quantity;
    QLineEdit* quantityText;
    DataConnection* data;
};

Tab tabOf(kezdo& w, int tab)
{
    const auto& info = entry::itemTab(static_cast<entry::ItemTab>(tab));
    switch (tab) {
    case 0: return {info, w.Text1, w.DBCombo2, w.DBGrid3, w.MaskEdBox17, w.Text2, w.Data7};
    case 1: return {info, w.Text5, w.DBCombo3, w.DBGrid2, w.MaskEdBox18, w.Text7, w.Data5};
    default: return {info, w.Text31, w.DBCombo4, w.DBGrid7, w.MaskEdBox19, w.Text32, w.Data11};
    }
}

DataConnection* connectionNamed(kezdo& w, const QString& name)
{
    if (name == QLatin1String("Data5"))
        return w.Data5;
    if (name == QLatin1String("Data7"))
        return w.Data7;
    if (name == QLatin1String("Data11"))
        return w.Data11;
    if (name == QLatin1String("Data12"))
        return w.Data12;
    return nullptr;
}

// A focus move whose target is hidden (another tab, a closed frame) or
// disabled (the entry frame while a search or the picker is open) does
// nothing.
void focusIfPossible(QWidget* target)
{
    if (target && target->isVisible() && target->isEnabled())
        target->setFocus(Qt::OtherFocusReason);
}

bool askNoSuchCode()
{
    return platform::msgBox(kNoSuchCode, platform::Critical | platform::YesNo, QStringLiteral("Figyelmeztetés!"))
        == platform::MsgResult::Yes;
}

// An unknown code typed into a tab: the clerk is told, the tab's boxes are
// emptied and `next` takes the focus; whatever the answer, the clerk types
// another code.
void refuseCode(const Tab& tab, QWidget* next)
{
    askNoSuchCode();
    tab.code->clear();
    tab.quantity->setText(QString());
    tab.combo->setText(QString());
    focusIfPossible(next);
}

// The ten slots through the window's boxes (for the add, which reads them).
class WindowSlotView : public entry::SlotView {
public:
    explicit WindowSlotView(kezdo& w) : m_w(w) {}
    QString codeText(int s) const override { return m_w.slotCode(s) ? m_w.slotCode(s)->text() : QString(); }
    QString durationText(int s) const override
    {
        return m_w.slotDuration(s) ? m_w.slotDuration(s)->text() : QString();
    }
    QColor codeBackground(int s) const override
    {
        return m_w.slotCode(s) ? m_w.slotCode(s)->palette().color(QPalette::Base) : QColor();
    }
    void setSlotBackground(int s, const QColor& c) override
    {
        for (QWidget* box : {static_cast<QWidget*>(m_w.slotCode(s)), static_cast<QWidget*>(m_w.slotDuration(s))}) {
            if (!box)
                continue;
            QPalette p = box->palette();
            p.setColor(QPalette::Base, c);
            box->setPalette(p);
        }
    }
    bool slotEnabled(int s) const override { return m_w.slotCode(s) && m_w.slotCode(s)->isEnabled(); }
    void enableSlot(int s) override
    {
        if (m_w.slotCode(s))
            m_w.slotCode(s)->setEnabled(true);
        if (m_w.slotDuration(s))
            m_w.slotDuration(s)->setEnabled(true);
    }

private:
    kezdo& m_w;
};

} // namespace

void kezdo::connectItemHandlers()
{
    // Deleting an item works alike in both programs.
    ev.onClick(SSCommand24, [this] { SSCommand24_Click(); });

    // The ward program's slots-free tabs have their own handlers.
    if (ward)
        return;

    // Name columns wide enough to tell the codes apart by their names.
    DBGrid3->setColumnWidth(1, kNameColumnWidth);
    DBGrid2->setColumnWidth(1, kNameColumnWidth);
    DBGrid7->setColumnWidth(1, kNameColumnWidth);
    DBGrid6->setColumnWidth(2, kNameColumnWidth);
    DBGrid4->setColumnWidth(2, kNameColumnWidth);

    for (int k = 0; k < entry::kSlotCount; ++k) {
        QLineEdit* code = slotCode(k);
        platform::MaskEdBox* duration = slotDuration(k);
        ev.onGotFocus(code, [this, k] { slotCode_GotFocus(k); });
        ev.onKeyDown(code, [this, k](int& keyCode, int shift) { slotCode_KeyDown(k, keyCode, shift); });
        ev.onLostFocus(code, [this, k] { slotCode_LostFocus(k); });
        ev.onLostFocus(duration, [this, k] { slotDuration_LostFocus(k); });
    }

    for (int t = 0; t < entry::kItemTabCount; ++t) {
        const Tab tab = tabOf(*this, t);
        ev.onChange(tab.code, [this, t] { itemCode_Change(t); });
        ev.onKeyDown(tab.code, [this, t](int& keyCode, int shift) { itemCode_KeyDown(t, keyCode, shift); });
        if (tab.info.codeBoxLookUp)
            ev.onLostFocus(tab.code, [this, t] { itemCode_LostFocus(t); });
        ev.onChange(tab.combo, [this, t] { itemCombo_Change(t); });
        connect(tab.combo, &platform::DBCombo::Click, this, [this, t](int) { itemCombo_Click(t); });
        ev.onKeyPress(tab.combo, [this, t](int& keyAscii) { itemCombo_KeyPress(t, keyAscii); });
        ev.onLostFocus(tab.combo, [this, t] { itemCombo_LostFocus(t); });
        ev.onDblClick(tab.grid, [this, t] { itemGrid_DblClick(t); });
        ev.onKeyDown(tab.grid, [this, t](int& keyCode, int shift) { itemGrid_KeyDown(t, keyCode, shift); });
        ev.onLostFocus(tab.quantity, [this, t] { quantity_LostFocus(t); });
        ev.onKeyPress(tab.quantity, [this, t](int& keyAscii) { quantity_KeyPress(t, keyAscii); });
        tab.quantity->setFormatter([](const QString& text, const QString&) { return entry::displayQuantity(text); });
    }
    ev.onChange(MaskEdBox19, [this] { MaskEdBox19_Change(); });
    ev.onClick(SSCommand3, [this] { SSCommand3_Click(); });
    ev.onClick(SSCommand4, [this] { SSCommand4_Click(); });
    ev.onClick(SSCommand31, [this] { SSCommand31_Click(); });

    ev.onClick(SSCommand19, [this] { SSCommand19_Click(); });
    ev.onClick(SSCommand5, [this] { SSCommand5_Click(); });
    ev.onClick(SSCommand32, [this] { SSCommand32_Click(); });
    ev.onClick(SSOption1, [this] { SSOption1_Click(); });
    ev.onClick(SSOption2, [this] { SSOption2_Click(); });
    ev.onKeyPress(Text18, [this](int& keyAscii) { Text18_KeyPress(keyAscii); });
    ev.onClick(SSCommand20, [this] { SSCommand20_Click(); });
    ev.onClick(SSCommand21, [this] { SSCommand21_Click(); });

    ev.onDblClick(DBGrid6, [this] { DBGrid6_DblClick(); });
    ev.onKeyDown(DBGrid6, [this](int& keyCode, int shift) { DBGrid6_KeyDown(keyCode, shift); });
    ev.onClick(SSCommand22, [this] { SSCommand22_Click(); });
    ev.onClick(SSCommand29, [this] { SSCommand29_Click(); });
    ev.onClick(SSCommand23, [this] { SSCommand23_Click(); });
    ev.onKeyDown(DBGrid4, [this](int& keyCode, int shift) { DBGrid4_KeyDown(keyCode, shift); });
}

// ---- surgery slots -----------------------------------------------------------

void kezdo::slotCode_GotFocus(int k)
{
    entry::sotet(*this, k);
    Label19->setText(entry::slotDigit(k));
    // The items of the surgery the slot holds, found by its code as typed.
    entry::showSurgeryItems(*Data8, Label1->text(), slotCode(k)->text());
}

void kezdo::slotCode_KeyDown(int k, int& keyCode, int shift)
{
    Q_UNUSED(k);
    Q_UNUSED(shift);
    if (keyCode != kF1)
        return;
    // The flag goes up before the entry frame is disabled, so that the code
    // box losing the focus to the picker stays silent.
    SSCheck8->setChecked(true);
    Label2->setText(Label19->text());
    SSFrame8->show();
    SSFrame8->raise();
    SSFrame1->setEnabled(false);
    focusIfPossible(DBGrid6);
}

namespace {

// The look-up of a surgery code box that is left. An unknown code, while the
// picker is closed, is questioned: "Igen" sends the focus back into the box
// with the text as typed, and the answer is true; "Nem" empties the box and
// the focus goes on where it was going.
bool clerkRetypesSurgeryCode(kezdo& w, int k)
{
    QLineEdit* code = w.slotCode(k);
    const QString text = code->text();
    if (text.trimmed().isEmpty())
        return false;
    if (entry::lookUpSurgeryCode(*w.Data12, text))
        return false;
    if (w.SSCheck8->isChecked())
        return false;
    if (askNoSuchCode()) {
        focusIfPossible(code);
        return true;
    }
    code->clear();
    return false;
}

} // namespace

void kezdo::slotCode_LostFocus(int k)
{
    clerkRetypesSurgeryCode(*this, k);
}

void kezdo::slotDuration_LostFocus(int k)
{
    QLineEdit* code = slotCode(k);
    platform::MaskEdBox* duration = slotDuration(k);
    const entry::DurationVerdict verdict = entry::judgeDuration(k, duration->text(), code->text());
    for (const QString& message : verdict.messages)
        platform::msgBox(message, platform::Critical, QStringLiteral("Hiba"));
    if (verdict.refocusDuration) {
        focusIfPossible(duration);
        return;
    }
    if (!verdict.success)
        return;

    if (verdict.nextSlot >= 0) {
        slotCode(verdict.nextSlot)->setEnabled(true);
        slotDuration(verdict.nextSlot)->setEnabled(true);
    }
    mutetszam = QString::number(mutetszam.toInt() + 1);
    Label19->setText(mutetszam);
    if (verdict.enablesTabsBeforeFocus)
        SSTab1->setEnabled(true);
    // Back to the slot's code box: it becomes the current slot and shows its
    // surgery's items; then on to the item tabs, where the code box's own
    // check runs as it is left.
    focusIfPossible(code);
    slotCode_GotFocus(k);
    if (verdict.enablesTabsAfterFocus)
        SSTab1->setEnabled(true);
    // The clerk who chose to type the code again stays in its box.
    if (SSTab1->isEnabled() && SSTab1->isVisible() && !clerkRetypesSurgeryCode(*this, k))
        focusIfPossible(SSTab1);
}

// ---- item tabs ---------------------------------------------------------------

void kezdo::itemCode_Change(int t)
{
    const Tab tab = tabOf(*this, t);
    entry::narrowCodes(*tab.data, tab.info, tab.code->text());
}

void kezdo::itemCode_KeyDown(int t, int& keyCode, int shift)
{
    Q_UNUSED(shift);
    if (keyCode == kF1)
        openSearch(t);
}

void kezdo::itemCode_LostFocus(int t)
{
    const Tab tab = tabOf(*this, t);
    if (!tab.info.codeBoxLookUp)
        return;
    const QString text = tab.code->text();
    if (text.trimmed().isEmpty())
        return;
    const bool found = entry::lookUpCode(*tab.data, tab.info, text);
    tab.combo->setText(text);
    focusIfPossible(tab.quantity);
    if (found)
        return;
    refuseCode(tab, tab.code);
}

void kezdo::itemCombo_Change(int t)
{
    const Tab tab = tabOf(*this, t);
    tab.code->setText(tab.combo->text());
}

void kezdo::itemCombo_Click(int t)
{
    const Tab tab = tabOf(*this, t);
    if (!tab.info.comboClickTakesRow)
        return;
    // No entry chosen from the list: nothing to take.
    if (tab.combo->selectedRow() < 0 || tab.combo->text().trimmed().isEmpty())
        return;
    // The chosen entry's row, found by its code: the list may have been
    // re-queried by the code box meanwhile, so its old position means nothing.
    entry::lookUpCode(*tab.data, tab.info, tab.combo->text());
    if (tab.info.comboClickCopiesText && tab.code->text() != tab.combo->text()) {
        tab.code->setText(tab.combo->text());
        entry::lookUpCode(*tab.data, tab.info, tab.combo->text());
    }
}

void kezdo::itemCombo_KeyPress(int t, int& keyAscii)
{
    const Tab tab = tabOf(*this, t);
    if (keyAscii == kEnter && tab.info.comboEnterClicks)
        itemCombo_Click(t);
}

void kezdo::itemCombo_LostFocus(int t)
{
    const Tab tab = tabOf(*this, t);
    const QString text = tab.combo->text();
    if (text.trimmed().isEmpty())
        return;
    if (entry::lookUpCode(*tab.data, tab.info, text))
        return;
    refuseCode(tab, tab.combo);
}

void kezdo::itemGrid_DblClick(int t)
{
    const Tab tab = tabOf(*this, t);
    if (!tab.data->recordset().hasCurrent())
        return;
    const QString code = entry::currentText(tab.data->recordset(), tab.info.codeColumn);
    tab.code->setText(code);
    tab.combo->setText(tab.code->text());
    // Narrowing to the code moved the current row; put it back on the code.
    entry::lookUpCode(*tab.data, tab.info, code);
}

void kezdo::itemGrid_KeyDown(int t, int& keyCode, int shift)
{
    Q_UNUSED(shift);
    const Tab tab = tabOf(*this, t);
    if (keyCode != kEnter || !tab.info.gridEnterTakesCode)
        return;
    itemGrid_DblClick(t);
    focusIfPossible(tab.quantity);
}

void kezdo::quantity_LostFocus(int t)
{
    const Tab tab = tabOf(*this, t);
    tab.quantityText->setText(entry::quantityTextFromField(tab.quantity->text()));
}

void kezdo::quantity_KeyPress(int t, int& keyAscii)
{
    if (keyAscii != kEnter)
        return;
    keyAscii = 0;
    quantity_LostFocus(t);
    addItem(t);
}

void kezdo::MaskEdBox19_Change()
{
    quantity_LostFocus(2);
}

void kezdo::addItem(int t)
{
    const Tab tab = tabOf(*this, t);
    WindowSlotView slotView(*this);
    entry::AddForm form;
    form.azonosito = Label1->text();
    form.codeText = tab.code->text();
    form.quantityText = tab.quantityText->text();
    // An episode typed by hand in processing mode books its items as typed.
    form.entryCaption = SSFrame1->caption() == episode::kProcessingCaption && !showsConvertedRecord()
                            ? episode::kManualCaption
                            : SSFrame1->caption();
    form.admissionDate = MaskEdBox1->text();
    form.today = platform::Clock::today();
    form.newEpisode = SSFrame1->caption() != episode::kReviewCaption && !SSCheck1->isChecked();
    // A failed write leaves code and quantity as typed, for another try.
    entry::AddOutcome outcome = entry::AddOutcome::Refused;
    if (!runDataAction([&] { outcome = entry::addItem(tab.info, slotView, aktmutet, hibajel, *Data8, codeTables(), form); })
        || outcome != entry::AddOutcome::Stored)
        return;
    tab.code->clear();
    tab.quantityText->clear();
    tab.quantity->setText(QString());
    focusIfPossible(tab.code);
}

void kezdo::SSCommand24_Click()
{
    // A refused delete leaves the items grid as it was: the set keeps its
    // rows and its selected row when nothing was deleted.
    runDataAction([this] { entry::deleteSelectedItem(*Data8); });
}

// ---- code search -------------------------------------------------------------

void kezdo::openSearch(int t)
{
    const Tab tab = tabOf(*this, t);
    Text18->clear();
    SSFrame6->show();
    SSFrame6->raise();
    Label18->setText(tab.info.searchKind);
    SSOption1->setChecked(true);
    SSFrame1->setEnabled(false);
    focusIfPossible(Text18);
}

void kezdo::SSOption1_Click()
{
    SSOption1->setChecked(true);
    SSOption2->setChecked(false);
    focusIfPossible(Text18);
}

void kezdo::SSOption2_Click()
{
    SSOption2->setChecked(true);
    SSOption1->setChecked(false);
    focusIfPossible(Text18);
}

void kezdo::Text18_KeyPress(int& keyAscii)
{
    if (keyAscii != kEnter)
        return;
    keyAscii = 0;
    SSCommand20_Click();
}

void kezdo::SSCommand20_Click()
{
    const entry::SearchKind* kind = entry::searchKind(Label18->text());
    DataConnection* data = kind ? connectionNamed(*this, kind->connection) : nullptr;
    if (!kind || !data) {
        closeSearch();
        return;
    }
    // Neither option selected searches by name.
    const bool byCode = SSOption1->isChecked();
    if (entry::runSearch(*data, *kind, byCode, Text18->text())) {
        closeSearch();
        return;
    }
    // Nothing found: say so, show the whole table again, keep the frame open.
    if (kind->codeBoxToEmpty == QLatin1String("Text1"))
        Text1->clear();
    else if (kind->codeBoxToEmpty == QLatin1String("Text31"))
        Text31->clear();
    // One plain word for every kind and either option: no icon, OK, the
    // program's own title.
    platform::msgBox(QStringLiteral("Nincs ilyen!"), platform::OkOnly);
    entry::setQuery(*data, entry::restoreQuery(*kind));
}

void kezdo::closeSearch()
{
    // Where the clerk picks from the result: the picker's grid when the
    // search ran over the surgery master, else the grid of the tab that
    // opened it. Hiding the frame that held the focus would otherwise leave
    // the focus nowhere.
    QWidget* pickFrom = nullptr;
    if (Label18->text() == QLatin1String("MAP"))
        pickFrom = DBGrid6;
    else
        for (int t = 0; t < entry::kItemTabCount; ++t)
            if (Label18->text() == tabOf(*this, t).info.searchKind)
                pickFrom = tabOf(*this, t).grid;
    // Both options cleared: the radio buttons must stop excluding each other
    // for a moment.
    SSOption1->setAutoExclusive(false);
    SSOption2->setAutoExclusive(false);
    SSOption1->setChecked(false);
    SSOption2->setChecked(false);
    SSOption1->setAutoExclusive(true);
    SSOption2->setAutoExclusive(true);
    Label18->clear();
    Text18->clear();
    SSFrame6->hide();
    SSFrame1->setEnabled(true);
    focusIfPossible(pickFrom);
}

void kezdo::SSCommand21_Click()
{
    closeSearch();
}

// ---- surgery master picker and deleting a surgery ------------------------------

void kezdo::DBGrid6_DblClick()
{
    // With no row to pick (an empty surgery table) the picker stays open.
    if (!Data12->recordset().hasCurrent())
        return;
    const int slot = entry::slotFromDigit(Label2->text());
    if (slot >= 0)
        slotCode(slot)->setText(entry::currentText(Data12->recordset(), QStringLiteral("KOD")));
    SSCommand22_Click();
}

void kezdo::DBGrid6_KeyDown(int& keyCode, int shift)
{
    Q_UNUSED(shift);
    if (keyCode == kEnter)
        DBGrid6_DblClick();
}

void kezdo::SSCommand22_Click()
{
    SSFrame8->hide();
    SSFrame1->setEnabled(true);
    SSCheck8->setChecked(false);
    // Back to the code box the picker was opened from (its duration comes
    // next), instead of nowhere with the picker's grid hidden.
    const int slot = entry::slotFromDigit(Label2->text());
    if (slot >= 0)
        focusIfPossible(slotCode(slot));
}

void kezdo::SSCommand29_Click()
{
    SSFrame6->show();
    SSFrame6->raise();
    Label18->setText(QStringLiteral("MAP"));
    Text18->clear();
    focusIfPossible(Text18);
}

void kezdo::SSCommand23_Click()
{
    DBGrid4->show();
    DBGrid4->raise();
}

void kezdo::DBGrid4_KeyDown(int& keyCode, int shift)
{
    Q_UNUSED(shift);
    // The grid belongs to review, with its button: in any other mode, or
    // after "Vissza", it is not there to use.
    if (SSFrame1->caption() != episode::kReviewCaption || SSCommand23->isHidden()) {
        hideSurgeryDelete();
        return;
    }
    if (keyCode == kF8) {
        // A refused delete leaves the surgeries and the form as they were:
        // the rolled-back delete puts the surgery back where it stood.
        bool deleted = false;
        runDataAction([&] { deleted = entry::deleteSelectedSurgery(*Data6, *Data8, Label1->text()); });
        if (deleted) {
            DBGrid4->hide();
            // Reload the episode on show, even when something moved the
            // walk off it meanwhile (a list, an export).
            auto& episodes = Data3->recordset();
            if (!episodes.hasCurrent() || episodes.text(QStringLiteral("Azonosito")) != Label1->text())
                episodes.findFirst(QStringLiteral("Azonosito = ?"), {Label1->text().toLongLong()});
            olvasdata3t();
        }
    } else if (keyCode == kF10) {
        DBGrid4->hide();
    }
    SSCommand23->setVisible(true);
}

void kezdo::hideSurgeryDelete()
{
    // The ward form gives these names to its own search button and grid.
    if (ward)
        return;
    SSCommand23->hide();
    DBGrid4->hide();
}
