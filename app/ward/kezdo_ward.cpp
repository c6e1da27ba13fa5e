// The ward program's handlers: its item tabs and code search, and the entry
// modes, save and "Új" that it does its own way. What both programs do
// alike (walking, jumping, the find by register number, loading an episode,
// leaving the entry frame) stays with the window and calls back here for
// the transfer of a converted record.
#include "app/ward/wardmain.h"

#include "app/common/episodestore.h"
#include "app/common/kezdo.h"
#include "app/common/konvmapping.h"
#include "app/entry/itemrules.h"
#include "app/entry/itemstore.h"
#include "app/entry/quantity.h"
#include "app/entry/slots.h"
#include "app/ward/wardrules.h"
#include "platform/db/dataconnection.h"
#include "platform/sys/regional.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbcombo.h"
#include "platform/ui/dbgrid.h"
#include "platform/ui/maskedbox.h"
#include "platform/ui/msgbox.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

using platform::MsgResult;
using platform::db::DataConnection;

namespace {

constexpr int kF1 = 112;
constexpr int kEnter = 13;

void focusIfPossible(QWidget* target)
{
    if (target && target->isVisible() && target->isEnabled())
        target->setFocus(Qt::OtherFocusReason);
}

// The ward form has no surgery slots: items are booked to the episode alone.
class NoSlots : public entry::SlotView {
public:
    QString codeText(int) const override { return {}; }
    QString durationText(int) const override { return {}; }
    QColor codeBackground(int) const override { return {}; }
    void setSlotBackground(int, const QColor&) override {}
    bool slotEnabled(int) const override { return false; }
    void enableSlot(int) override {}
};

episode::EpisodeStore storeOf(const kezdo& w)
{
    return episode::EpisodeStore(w.enteredData(), w.convertedData());
}

void setSource(DataConnection* c, const QString& sql)
{
    c->setRecordSource(sql);
    c->refresh();
}

} // namespace

WardMain::Tab WardMain::tab(int t) const
{
    const auto& info = entry::wardItemTabs()[t];
    switch (t) {
    case 0: return {info, w.Text1, w.DBCombo2, w.DBGrid3, w.MaskEdBox7, w.Text2, w.Data7};
    case 1: return {info, w.Text5, w.DBCombo3, w.DBGrid2, w.MaskEdBox8, w.Text7, w.Data6};
    default: return {info, w.Text8, w.DBCombo4, w.DBGrid4, w.MaskEdBox9, w.Text9, w.Data5};
    }
}

// ---- wiring -------------------------------------------------------------------

void WardMain::connectHandlers()
{
    platform::Events& ev = w.ev;
    for (int t = 0; t < entry::kItemTabCount; ++t) {
        const Tab tb = tab(t);
        ev.onChange(tb.code, [this, t] { code_Change(t); });
        ev.onKeyDown(tb.code, [this, t](int& keyCode, int shift) { code_KeyDown(t, keyCode, shift); });
        ev.onLostFocus(tb.code, [this, t] { code_LostFocus(t); });
        ev.onChange(tb.combo, [this, t] { combo_Change(t); });
        QObject::connect(tb.combo, &platform::DBCombo::Click, &w, [this, t](int) { combo_Click(t); });
        ev.onKeyPress(tb.combo, [this, t](int& keyAscii) { combo_KeyPress(t, keyAscii); });
        ev.onLostFocus(tb.combo, [this, t] { combo_LostFocus(t); });
        ev.onDblClick(tb.grid, [this, t] { grid_DblClick(t); });
        ev.onKeyDown(tb.grid, [this, t](int& keyCode, int shift) { grid_KeyDown(t, keyCode, shift); });
        if (tb.info.quantityFollowsTyping)
            ev.onChange(tb.quantity, [this, t] { quantity_LostFocus(t); });
        else
            ev.onLostFocus(tb.quantity, [this, t] { quantity_LostFocus(t); });
        ev.onKeyPress(tb.quantity, [this, t](int& keyAscii) { quantity_KeyPress(t, keyAscii); });
        tb.quantity->setFormatter([](const QString& text, const QString&) { return entry::displayQuantity(text); });
    }
    ev.onClick(w.SSCommand3, [this] { SSCommand3_Click(); });
    ev.onClick(w.SSCommand4, [this] { SSCommand4_Click(); });
    ev.onClick(w.SSCommand5, [this] { SSCommand5_Click(); });

    ev.onClick(w.SSCommand19, [this] { SSCommand19_Click(); });
    ev.onClick(w.SSCommand22, [this] { SSCommand22_Click(); });
    ev.onClick(w.SSCommand23, [this] { SSCommand23_Click(); });
    ev.onClick(w.SSOption1, [this] { w.SSOption1_Click(); });
    ev.onClick(w.SSOption2, [this] { w.SSOption2_Click(); });
    ev.onKeyPress(w.Text18, [this](int& keyAscii) { Text18_KeyPress(keyAscii); });
    ev.onClick(w.SSCommand20, [this] { SSCommand20_Click(); });
    ev.onClick(w.SSCommand21, [this] { SSCommand21_Click(); });

    // The ward clerk may type the export folder as well as choose it; the
    // run button refuses a folder that is not there either way.
    w.Text17->setEnabled(true);
}

void WardMain::Form_Activate()
{
    // The quantity text follows the box, so that the add stores the 1 on show.
    w.MaskEdBox7->setText(QStringLiteral("1"));
    quantity_LostFocus(0);
}

// ---- entry modes --------------------------------------------------------------

void WardMain::fel_Click()
{
    w.Data9->refresh();
    if (w.Data9->recordset().recordCount() == 0) {
        platform::msgBox(QStringLiteral("Ki kell töltenie az intézeti adatokat"), platform::Critical,
                         QStringLiteral("Figyelmeztetés!"));
        w.SSFrame1->hide();
        return;
    }
    setSource(w.Data3, episode::kAllEpisodes);
    setSource(w.Data7, QStringLiteral("select * from sgyogy order by skod"));
    setSource(w.Data6, QStringLiteral("select * from elelem order by kod"));
    setSource(w.Data5, QStringLiteral("select * from egyeb order by kod"));
    // Nothing on the form reads the diagnostics table; it opens on the code
    // tables all the same, so that the set-up never stands on no file.
    w.Data12->setDatabase(w.codeTables());
    setSource(w.Data12, QStringLiteral("select * from Diagnos order by kod"));

    w.SSCheck3->setChecked(false);
    w.SSCheck1->setChecked(false);
    w.konvOnShow = QVariant();
    // Manual entry adds a new episode, whatever review left on the button.
    w.SSCheck5->setChecked(false);
    w.SSCommand1->setCaption(QStringLiteral("Felvitel"));

    w.DBCombo1->show();
    w.Text11->hide();
    w.Label6->hide();
    // The items grid first shows with the frame: pointed at the new
    // episode's items before, it never counts the whole item table.
    w.showItemsOf(QString::number(storeOf(w).nextIdentifier()));
    w.SSFrame1->show();
    for (QWidget* c : std::initializer_list<QWidget*>{w.Text12, w.SSCommand10, w.SSCommand8, w.SSCommand9,
                                                      w.SSCommand15, w.SSCommand16, w.SSCommand25, w.SSFrame7})
        c->hide();
    w.setMenusEnabled(false);
    w.Data2->refresh();
    w.Label7->hide();
    w.Label8->hide();

    w.SSPanel22->setCaption(episode::institutionIdentifier(w.Text6->text(), w.Label4->text(), w.DBCombo1->text()));
    w.SSFrame1->setCaption(episode::kManualCaption);
    w.uresit();

    w.Data9->recordset().moveFirst();
    w.Text6->setText(w.Data9->recordset().text(QStringLiteral("int_kod")));
    w.Label1->setText(QString::number(storeOf(w).nextIdentifier()));
    // Items left under this identifier by an entry that ended without
    // "Vissza" show in the items grid; the clerk keeps or deletes them.
    w.showItemsOf(w.Label1->text());
    w.SSCommand14->show();
}

void WardMain::tete_Click()
{
    w.konvOnShow = QVariant();
    w.aktpoz = 1;
    // An empty selection (a find that met nothing) leaves the form as it
    // was, the items of the episode on show included.
    const int episodes = w.Data3->recordset().recordCount() > 0 ? w.pointItemsAtFirstEpisode() : 0;
    w.DBCombo1->show();
    w.SSFrame1->show();
    w.SSFrame1->setCaption(episode::kReviewCaption);
    w.SSCommand15->show();
    w.SSCommand16->show();
    w.SSCommand25->show();
    for (QWidget* c : std::initializer_list<QWidget*>{w.SSCommand8, w.SSCommand9, w.SSCommand10, w.Text12})
        c->hide();
    w.Label7->setText(QStringLiteral("1"));
    // The selection Data3 holds now: everything, or what a find left.
    w.Label8->setText(QString::number(episodes));
    w.Label7->show();
    w.Label8->show();
    w.olvasdata3t();

    w.Text11->hide();
    w.Label6->hide();
    w.SSCheck5->setChecked(true);
    w.SSCommand1->setCaption(QStringLiteral("Módosítás"));
    // Ticked only when the episode on show is stored: a review that found
    // nothing keeps the form, and an episode left unsaved is not stored.
    w.markStoredByIdentifier();
    w.SSCommand14->hide();
}

void WardMain::feldolg_Click()
{
    w.konvOnShow = QVariant();
    setSource(w.Data10, episode::kUnprocessedKonv);
    w.SSFrame1->setCaption(episode::kProcessingCaption);
    // The items grid first shows with the frame: pointed at the new
    // episode's items before, it never counts the whole item table.
    w.showItemsOf(QString::number(storeOf(w).nextIdentifier()));
    w.SSFrame1->show();
    // Processing adds new episodes, whatever review left on the button.
    w.SSCheck5->setChecked(false);
    w.SSCommand1->setCaption(QStringLiteral("Felvitel"));

    for (QWidget* c : std::initializer_list<QWidget*>{w.SSCommand8, w.SSCommand25, w.SSCommand9, w.SSCommand10,
                                                      w.Text12, w.SSCommand14})
        c->show();
    // A review before left its own walk on show.
    w.SSCommand15->hide();
    w.SSCommand16->hide();
    w.SSCheck3->setChecked(true);
    w.SSCheck4->setChecked(false);
    w.SSCheck4_Click();
    w.DBCombo1->hide();
    w.Text11->show();
    w.Text11->clear();
    w.Label6->show();
    w.Label6->clear();
    w.Label7->setText(QString::number(w.aktpoz));
    w.Label7->show();
    w.Label8->show();

    const QDateTime now = platform::Clock::now();
    w.MaskEdBox1->setText(platform::shortDateText(now.date()));
    w.MaskEdBox3->setText(platform::shortDateText(now.date()));
    w.MaskEdBox2->setText(platform::timeText(now.time()).left(5));
    w.MaskEdBox4->setText(platform::timeText(now.time()).left(5));

    w.setMenusEnabled(false);
    w.Data2->refresh();
    auto& rs = w.Data10->recordset();
    if (rs.recordCount() == 0) {
        platform::msgBox(QStringLiteral("Nincs konvertált feldolgozandó adat!"), platform::Critical,
                         QStringLiteral("Figyelmeztetés"));
        w.SSFrame1->hide();
        w.setMenusEnabled(true);
        return;
    }
    rs.moveLast();
    w.rekszam = rs.recordCount();
    w.Label8->setText(QString::number(w.rekszam));
    rs.moveFirst();

    w.Label1->setText(QString::number(storeOf(w).nextIdentifier()));
    // Items left under this identifier by an entry that ended without
    // "Vissza" are the only copy of that work: they show in the items grid,
    // as in manual entry, and the clerk keeps or deletes them.
    w.showItemsOf(w.Label1->text());
    takeKonvRow();
    w.Label7->setText(QString::number(rs.absolutePosition()));
}

void WardMain::takeKonvRow()
{
    auto& rs = w.Data10->recordset();
    if (!rs.hasCurrent())
        return;
    w.konvOnShow = rs.bookmark();
    w.showWardBoxFor(true);
    // Only the header: items, ward sign and examination flag stay as shown.
    const episode::KonvFormFields f = episode::mapKonv(episode::konvFromRecord(rs));
    w.showKonvHeader(f);
    // After a save the record on show is a new episode: the next free
    // identifier with its own items, never the one just stored.
    const QString next = QString::number(storeOf(w).nextIdentifier());
    if (w.Label1->text() != next) {
        w.Label1->setText(next);
        w.showItemsOf(next);
    }
    w.markStoredByIdentifier();
}

void WardMain::SSCommand14_Click()
{
    // Re-selected before the question, whatever the answer.
    setSource(w.Data10, episode::kUnprocessedKonv);
    if (platform::msgBox(QStringLiteral("Biztos újat akar kezdeni?"),
                         platform::Question | platform::YesNo | platform::DefaultButton2,
                         QStringLiteral("Kérdés")) != MsgResult::Yes)
        return;
    if (!w.forgetUnsavedItems())
        return;
    w.SSCheck1->setChecked(false);
    w.uresit();

    if (w.SSFrame1->caption() != episode::kManualCaption) {
        auto& rs = w.Data10->recordset();
        if (rs.recordCount() == 0) {
            w.Label7->setText(QString::number(rs.absolutePosition()));
            // Nothing left to take: the next episode is typed by hand.
            w.konvOnShow = QVariant();
            w.showWardBoxFor(false);
            platform::msgBox(QStringLiteral("Nincs konvertált adat!"), platform::OkOnly);
        } else {
            rs.moveLast();
            w.rekszam = rs.recordCount();
            w.Label8->setText(QString::number(w.rekszam));
            rs.moveFirst();
            takeKonvRow();
            w.Label7->setText(QString::number(rs.absolutePosition()));
        }
    }
    w.showItemsOf(w.Label1->text());
}

void WardMain::SSCommand15_Click()
{
    --w.aktpoz;
    if (w.aktpoz <= 0) {
        platform::msgBox(QStringLiteral("Adatbázis eleje!"), platform::OkOnly);
        w.aktpoz = 1;
        return;
    }
    auto& rs = w.Data3->recordset();
    if (rs.recordCount() > 0)
        rs.movePrevious();
    w.Label7->setText(QString::number(w.aktpoz));
    w.showWalkCount();
    w.olvasdata3t();
    w.markStoredByIdentifier();
}

void WardMain::SSCommand16_Click()
{
    ++w.aktpoz;
    const int count = w.Label8->text().trimmed().toInt();
    auto& rs = w.Data3->recordset();
    // A find that selected nothing leaves no row to step to.
    if (count < w.aktpoz || rs.recordCount() < w.aktpoz) {
        platform::msgBox(QStringLiteral("Adatbázis vége!"), platform::OkOnly);
        w.aktpoz = std::max(1, std::min(count, rs.recordCount()));
        return;
    }
    rs.moveNext();
    w.Label7->setText(QString::number(w.aktpoz));
    w.showWalkCount();
    w.olvasdata3t();
    w.markStoredByIdentifier();
}

// ---- the save -----------------------------------------------------------------

void WardMain::SSCommand1_Click()
{
    const episode::EpisodeForm form = w.currentEpisodeForm();
    ward::SaveState state;
    state.modifyCaption = w.SSCommand1->caption() == QStringLiteral("Módosítás");
    state.modifyFlag = w.SSCheck5->isChecked();
    auto& alap = w.Data3->recordset();
    state.episodeOnShow = alap.recordCount() > 0 && alap.hasCurrent();
    const ward::SavePlan plan = ward::planSave(form, state, [](const episode::Message& m) {
        return platform::msgBox(m.text, m.style, m.title) == MsgResult::Yes;
    });
    if (plan.step == ward::SaveStep::Declined)
        return;
    // A modification is let past the stored mark by the plan alone; the mark
    // itself stays until the save is through, so a refused or failed save
    // leaves a stored episode stored (the certificate reads it).
    if (plan.step == ward::SaveStep::Refused) {
        const episode::Message& m = plan.refusal.message;
        platform::msgBox(m.text, m.style, m.title);
        if (!plan.refusal.focus.isEmpty())
            focusIfPossible(w.findChild<QWidget*>(plan.refusal.focus));
        return;
    }

    episode::EpisodeStore store = storeOf(w);
    try {
        if (plan.step == ward::SaveStep::Modify) {
            // The episode modified is the one on show, found by its
            // identifier, wherever a list or an export left the walk.
            if (!store.episodeExists(episode::rowFromForm(form).azonosito)) {
                platform::msgBox(QStringLiteral("A módosítandó adatlap nincs felvéve! Nem lehet módosítani!"),
                                 platform::Critical, QStringLiteral("Hiba"));
                return;
            }
            // Only what the clerk changed since the load is written.
            w.modifyShownEpisode(form);
        } else {
            std::optional<episode::KonvRecord> konv;
            std::optional<episode::KonvMark> mark;
            if (form.mode == episode::Mode::Processing) {
                // The record whose data the form shows, wherever the walk
                // stands; one gone meanwhile is refused by the store.
                konv = store.convertedRecord(w.konvOnShow);
                // Asked before anything is written: the episode, the last
                // identifier and the record's mark are stored together.
                const episode::Message q = episode::anotherWardQuestion();
                const bool anotherWard = platform::msgBox(q.text, q.style, q.title) == MsgResult::Yes;
                mark = episode::KonvMark{w.konvOnShow, !anotherWard};
            }
            store.saveNew(episode::rowFromForm(form, konv ? &*konv : nullptr), {}, mark);
        }
    } catch (const episode::SaveError& e) {
        platform::msgBox(QStringLiteral("Az adatfelvitel nem sikerült, semmi nem került tárolásra!\n") + e.message(),
                         platform::Critical, QStringLiteral("Hiba"));
        return;
    }

    if (episode::isBlank(w.Text14->text()))
        w.Text14->setText(QStringLiteral("0"));
    if (plan.step != ward::SaveStep::Modify)
        w.refreshEpisodeWalk();
    platform::msgBox(episode::kSaveSucceeded, platform::OkOnly);
    w.SSCheck1->setChecked(true);
}

// ---- item tabs ----------------------------------------------------------------

void WardMain::code_Change(int t)
{
    const Tab tb = tab(t);
    const QString typed = tb.code->text();
    entry::narrowCodes(*tb.data, tb.info, typed);
    if (tb.info.hintColumn.isEmpty() || episode::isBlank(typed))
        return;
    showCodeHint();
}

// The hint of the other-services code while exactly one code begins with
// what is typed; a code without a hint leaves the last one on show.
void WardMain::showCodeHint()
{
    const Tab tb = tab(2);
    auto& rs = tb.data->recordset();
    if (rs.recordCount() != 1) {
        w.SSPanel27->setCaption(QString());
        return;
    }
    rs.moveFirst();
    const QString hint = entry::currentText(rs, tb.info.hintColumn).trimmed();
    if (!hint.isEmpty())
        w.SSPanel27->setCaption(hint);
}

void WardMain::code_KeyDown(int t, int& keyCode, int shift)
{
    Q_UNUSED(shift);
    if (keyCode == kF1)
        openSearch(t);
}

void WardMain::refuseCode(const Tab& tb, QWidget* next)
{
    platform::msgBox(QStringLiteral("Nincs ilyen kód!Beír másikat?"), platform::Critical | platform::YesNo,
                     QStringLiteral("Figyelmeztetés!"));
    tb.code->clear();
    tb.quantity->setText(QString());
    tb.quantityText->clear(); // with the box: nothing on show, nothing to store
    tb.combo->setText(QString());
    focusIfPossible(next);
}

void WardMain::code_LostFocus(int t)
{
    const Tab tb = tab(t);
    const QString text = tb.code->text();
    if (episode::isBlank(text))
        return;
    const bool found = entry::lookUpCode(*tb.data, tb.info, text);
    tb.combo->setText(text);
    focusIfPossible(tb.quantity);
    if (!found)
        refuseCode(tb, tb.code);
}

void WardMain::combo_Change(int t)
{
    const Tab tb = tab(t);
    tb.code->setText(tb.combo->text());
}

void WardMain::combo_Click(int t)
{
    const Tab tb = tab(t);
    // Nothing chosen from the list: nothing to take.
    if (tb.combo->selectedRow() < 0 || episode::isBlank(tb.combo->text()))
        return;
    // The chosen entry's row, found by its code: the list may have been
    // narrowed by the code box since it was shown.
    entry::lookUpCode(*tb.data, tb.info, tb.combo->text());
    if (tb.info.comboClickCopiesText && tb.code->text() != tb.combo->text()) {
        tb.code->setText(tb.combo->text());
        entry::lookUpCode(*tb.data, tb.info, tb.combo->text());
    }
}

void WardMain::combo_KeyPress(int t, int& keyAscii)
{
    if (keyAscii == kEnter && tab(t).info.comboEnterClicks)
        combo_Click(t);
}

void WardMain::combo_LostFocus(int t)
{
    const Tab tb = tab(t);
    const QString text = tb.combo->text();
    if (episode::isBlank(text))
        return;
    if (!entry::lookUpCode(*tb.data, tb.info, text))
        refuseCode(tb, tb.combo);
}

void WardMain::grid_DblClick(int t)
{
    const Tab tb = tab(t);
    if (!tb.data->recordset().hasCurrent())
        return;
    const QString code = entry::currentText(tb.data->recordset(), tb.info.codeColumn);
    tb.code->setText(code);
    tb.combo->setText(tb.code->text());
    // Narrowing to the code moved the current row; put it back on the code.
    entry::lookUpCode(*tb.data, tb.info, code);
}

void WardMain::grid_KeyDown(int t, int& keyCode, int shift)
{
    Q_UNUSED(shift);
    if (keyCode != kEnter)
        return;
    grid_DblClick(t);
    focusIfPossible(tab(t).quantity);
}

void WardMain::quantity_LostFocus(int t)
{
    const Tab tb = tab(t);
    tb.quantityText->setText(entry::quantityTextFromField(tb.quantity->text()));
}

void WardMain::quantity_KeyPress(int t, int& keyAscii)
{
    if (keyAscii != kEnter)
        return;
    keyAscii = 0;
    quantity_LostFocus(t);
    addItem(t);
}

void WardMain::addItem(int t)
{
    const Tab tb = tab(t);
    entry::AddForm form;
    form.azonosito = w.Label1->text();
    form.codeText = tb.code->text();
    form.quantityText = tb.quantityText->text();
    // An episode typed by hand in processing mode books its items as typed.
    form.entryCaption = w.SSFrame1->caption() == episode::kProcessingCaption && !w.showsConvertedRecord()
                            ? episode::kManualCaption
                            : w.SSFrame1->caption();
    form.admissionDate = w.MaskEdBox1->text();
    form.today = platform::Clock::today();
    form.newEpisode = w.SSFrame1->caption() != episode::kReviewCaption && !w.SSCheck1->isChecked();
    NoSlots noSlots;
    QString noSlot;
    bool unused = false;
    if (entry::addItem(tb.info, noSlots, noSlot, unused, *w.Data8, w.codeTables(), form)
        != entry::AddOutcome::Stored)
        return;
    tb.code->clear();
    tb.quantityText->clear();
    tb.quantity->setText(QString());
    focusIfPossible(tb.code);
}

// ---- code search --------------------------------------------------------------

void WardMain::openSearch(int t)
{
    const Tab tb = tab(t);
    w.Text18->clear();
    w.SSFrame6->show();
    w.SSFrame6->raise();
    w.Label18->setText(tb.info.searchKind);
    w.SSOption1->setChecked(true);
    if (tb.info.searchDisablesEntry)
        w.SSFrame1->setEnabled(false);
    focusIfPossible(w.Text18);
}

void WardMain::Text18_KeyPress(int& keyAscii)
{
    if (keyAscii != kEnter)
        return;
    keyAscii = 0;
    SSCommand20_Click();
}

void WardMain::SSCommand20_Click()
{
    const entry::SearchKind* kind = entry::wardSearchKind(w.Label18->text());
    if (!kind) {
        closeSearch();
        return;
    }
    DataConnection* data = kind->connection == QLatin1String("Data7")   ? w.Data7
                           : kind->connection == QLatin1String("Data6") ? w.Data6
                                                                        : w.Data5;
    // Neither option selected searches by name.
    const bool byCode = w.SSOption1->isChecked();
    if (entry::runSearch(*data, *kind, byCode, w.Text18->text())) {
        closeSearch();
        return;
    }
    // Nothing found: say so, show the whole table again, keep the frame open.
    if (kind->codeBoxToEmpty == QLatin1String("Text1"))
        w.Text1->clear();
    platform::msgBox(byCode ? kind->notFoundByCode : kind->notFoundByName, kind->notFoundStyle,
                     kind->notFoundTitle);
    entry::setQuery(*data, entry::restoreQuery(*kind));
}

void WardMain::closeSearch()
{
    // The clerk picks from the grid of the tab that opened the search.
    QWidget* pickFrom = nullptr;
    for (int t = 0; t < entry::kItemTabCount; ++t)
        if (w.Label18->text() == tab(t).info.searchKind)
            pickFrom = tab(t).grid;
    w.SSOption1->setAutoExclusive(false);
    w.SSOption2->setAutoExclusive(false);
    w.SSOption1->setChecked(false);
    w.SSOption2->setChecked(false);
    w.SSOption1->setAutoExclusive(true);
    w.SSOption2->setAutoExclusive(true);
    w.Label18->clear();
    w.Text18->clear();
    w.SSFrame6->hide();
    w.SSFrame1->setEnabled(true);
    focusIfPossible(pickFrom);
}

void WardMain::SSCommand21_Click()
{
    closeSearch();
}
