// The episode record on the main window: setting up manual entry,
// processing of converted records and review; clearing the form; the
// institution data; the header fields' checks; taking converted records into
// the form; saving, modifying, loading, browsing and finding episodes.
//
// The rules live in episoderules / konvmapping, the writes in EpisodeStore;
// the handlers here read the controls, ask those, and show the answers.
#include "app/common/kezdo.h"

#include "app/common/dataaction.h"
#include "app/common/episoderules.h"
#include "app/common/episodestore.h"
#include "app/common/konvmapping.h"
#include "app/common/programinfo.h"
#include "app/entry/slots.h"
#include "app/ward/wardmain.h"
#include "platform/db/dataconnection.h"
#include "platform/sys/regional.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbcombo.h"
#include "platform/ui/dbgrid.h"
#include "platform/ui/maskedbox.h"
#include "platform/ui/msgbox.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QSignalBlocker>
#include <QTabWidget>

#include <cmath>

using namespace episode;
using platform::MsgResult;

namespace {

// Colour of the kept patient fields and of a ticked keep box: dark red &HC0.
QColor keptColour()
{
    return platform::legacyColor(0xC0);
}

// Paints a control's text; an invalid colour gives back the system's
// window-text colour.
void paintText(QWidget* w, const QColor& colour)
{
    if (!w)
        return;
    QPalette p = w->palette();
    const QPalette system = QApplication::palette(w);
    for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        p.setColor(role, colour.isValid() ? colour : system.color(role));
    w->setPalette(p);
}

MsgResult showBox(const Message& m)
{
    return platform::msgBox(m.text, m.style, m.title);
}

// A combo's shown text: an editable combo takes any text, a list-only one
// shows the matching entry or none.
void setComboText(QComboBox* combo, const QString& text)
{
    if (combo->isEditable()) {
        combo->setEditText(text);
        return;
    }
    combo->setCurrentIndex(combo->findText(text));
}

// The numeric value of a text the way the old platform read one: leading
// blanks skipped, then an optional sign, digits and a decimal point; a text
// that does not begin with a number is 0. Rounded half to even.
long long leadingNumber(const QString& text)
{
    int i = 0;
    while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    QString number;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        number += text[i++];
    bool point = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isDigit() && c.unicode() < 128)
            number += c;
        else if (c == QLatin1Char('.') && !point) {
            point = true;
            number += c;
        } else
            break;
    }
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok ? static_cast<long long>(std::nearbyint(value)) : 0;
}

const QString kNoKonv = QStringLiteral("Nincs konvertált adat!");

// The care-type text of an episode's own care-type character; a character
// without a text shows bare, so that the header still names it and a
// modification stores it back unchanged.
QString shownCareType(const QString& careType)
{
    const QString text = careTypeText(careType);
    return text.isEmpty() ? careType : text;
}

// The ward code and the ward sign are picked from their lists, never typed;
// the Tab key still leaves the box, or the clerk is trapped in it.
void refuseTyping(int& keyAscii)
{
    if (keyAscii != 9)
        keyAscii = 0;
}

} // namespace

// ---- wiring ---------------------------------------------------------------

void kezdo::connectEpisodeHandlers()
{
    ev.onClick(SSCheck4, [this] { SSCheck4_Click(); });
    ev.onClick(SSCheck6, [this] { SSCheck6_Click(); });
    ev.onClick(SSCommand2, [this] { SSCommand2_Click(); });
    ev.onClick(SSCommand6, [this] { SSCommand6_Click(); });
    ev.onClick(SSCommand7, [this] { SSCommand7_Click(); });

    ev.onChange(DBCombo1, [this] { DBCombo1_Change(); });
    connect(DBCombo1, &platform::DBCombo::Click, this, [this](int) { DBCombo1_Click(); });
    ev.onKeyPress(DBCombo1, refuseTyping);
    ev.onChange(Text11, [this] { Text11_Change(); });
    ev.onKeyPress(Combo2, refuseTyping);

    ev.onLostFocus(MaskEdBox1, [this] { MaskEdBox1_LostFocus(); });
    ev.onLostFocus(MaskEdBox3, [this] { MaskEdBox3_LostFocus(); });
    ev.onLostFocus(MaskEdBox4, [this] { MaskEdBox4_LostFocus(); });
    ev.onLostFocus(Text3, [this] { Text3_LostFocus(); });
    ev.onLostFocus(Text4, [this] { Text4_LostFocus(); });
    ev.onLostFocus(Text14, [this] { Text14_LostFocus(); });
    ev.onChange(Text3, [this] { Text3_Change(); });

    ev.onClick(SSCommand14, [this] { SSCommand14_Click(); });
    ev.onClick(SSCommand10, [this] { SSCommand10_Click(); });
    ev.onKeyPress(Text12, [this](int& keyAscii) { Text12_KeyPress(keyAscii); });
    ev.onClick(SSCommand8, [this] { SSCommand8_Click(); });
    ev.onClick(SSCommand9, [this] { SSCommand9_Click(); });

    ev.onClick(SSCommand1, [this] { SSCommand1_Click(); });

    ev.onClick(SSCommand15, [this] { SSCommand15_Click(); });
    ev.onClick(SSCommand16, [this] { SSCommand16_Click(); });
    ev.onClick(SSCommand25, [this] { SSCommand25_Click(); });
    ev.onClick(SSCommand26, [this] { SSCommand26_Click(); });
    ev.onClick(SSCommand27, [this] { SSCommand27_Click(); });
    ev.onKeyPress(Text19, [this](int& keyAscii) { Text19_KeyPress(keyAscii); });

    // The outcome and the separate modify button are the surgical form's.
    if (ward)
        return;
    ev.onChange(Combo3, [this] { Combo3_Change(); });
    connect(Combo3, &QComboBox::activated, this, [this](int) { Combo3_Click(); });
    ev.onLostFocus(Text25, [this] { Text25_LostFocus(); });
    ev.onClick(SSCommand30, [this] { SSCommand30_Click(); });
}

namespace {

episode::EpisodeStore episodeStore(const kezdo& w)
{
    return episode::EpisodeStore(w.enteredData(), w.convertedData());
}


episode::EpisodeForm episodeForm(const kezdo& w)
{
    EpisodeForm f;
    f.mode = modeFromCaption(w.SSFrame1->caption());
    // With no converted record on show (none was left to take) the clerk
    // types the episode by hand, and it is stored as one typed by hand.
    if (f.mode == Mode::Processing && !w.showsConvertedRecord())
        f.mode = Mode::Manual;
    f.identifier = w.Label1->text();
    f.institutionCode = w.Text6->text();
    f.careTypeCaption = w.Label4->text();
    f.konvCareType = w.Label6->text();
    f.registerNumber = w.Text3->text();
    f.taj = w.Text4->text();
    f.admissionDate = w.MaskEdBox1->text();
    f.admissionTime = w.MaskEdBox2->text();
    f.dischargeDate = w.MaskEdBox3->text();
    f.dischargeTime = w.MaskEdBox4->text();
    f.wardCombo = w.DBCombo1->text();
    f.wardBox = w.Text11->text();
    f.wardSign = w.Combo2->currentText();
    f.sequence = w.Text14->text();
    f.examination = w.SSCheck2->isChecked();
    f.outcome = w.Text25 ? w.Text25->text() : QString();
    f.stored = w.SSCheck1->isChecked();
    for (int k = 0; k < kSlotCount; ++k) {
        if (QLineEdit* code = w.slotCode(k))
            f.codes[k] = code->text();
        f.durations[k] = w.slotDuration(k) ? w.slotDuration(k)->text() : kEmptyTime;
    }
    // The record on show as the file holds it now, wherever the walk stands.
    if (f.mode == Mode::Processing) {
        const std::optional<KonvRecord> konv = episodeStore(w).convertedRecord(w.konvOnShow);
        f.konvRowPresent = konv.has_value();
        f.konvProcessed = konv && konv->feldolgozva;
    }
    return f;
}

void focusControl(kezdo& w, const QString& name)
{
    if (name.isEmpty())
        return;
    if (auto* control = w.findChild<QWidget*>(name))
        control->setFocus();
}

void showKonvRecord(kezdo& w, const episode::KonvFormFields& f)
{
    w.showKonvHeader(f);
    w.Text25->setText(f.text25);
    for (int k = 0; k < kSlotCount; ++k)
        w.slotCode(k)->setText(f.codes[k]);
}

} // namespace

episode::EpisodeForm kezdo::currentEpisodeForm() const
{
    return episodeForm(*this);
}

void kezdo::showItemsOf(const QString& azonosito)
{
    Data8->setRecordSource(kItemsOfEpisode, {azonosito});
    Data8->refresh();
}

// ---- manual entry and clearing ------------------------------------------

void kezdo::fel_Click()
{
    if (ward)
        return ward->fel_Click();
    Data9->refresh();
    if (Data9->recordset().recordCount() == 0) {
        platform::msgBox(QStringLiteral("Ki kell töltenie az intézeti adatokat"), platform::Critical,
                         QStringLiteral("Figyelmeztetés!"));
        SSFrame1->hide();
        return;
    }
    SSPanel22->setCaption(QString());
    Data3->setRecordSource(kAllEpisodes);
    Data3->refresh();
    Data7->setRecordSource(QStringLiteral("select * from sgyogy order by skod"));
    Data7->refresh();
    Data5->setRecordSource(QStringLiteral("select * from gyogyszm order by kod"));
    Data5->refresh();

    Text23->clear();
    Text24->clear();
    Text25->setText(QStringLiteral("3"));

    // Every set-up starts clean: saving adds a new episode.
    SSCommand30->hide();
    SSCommand1->show();
    SSCommand1->setCaption(QStringLiteral("Felvitel"));
    SSCheck5->setChecked(false);
    SSCheck3->setChecked(false);
    SSCheck1->setChecked(false);
    konvOnShow = QVariant();

    DBCombo1->show();
    Text11->hide();
    Label6->hide();
    // The items grid first shows with the frame: pointed at the new
    // episode's items before, it never counts the whole item table.
    showItemsOf(QString::number(episodeStore(*this).nextIdentifier()));
    SSFrame1->show();
    for (QWidget* w : std::initializer_list<QWidget*>{Text12, SSCommand10, SSCommand8, SSCommand9, SSCommand15,
                                                      SSCommand16, SSCommand25})
        w->hide();
    SSFrame7->hide();
    setMenusEnabled(false);

    hideSurgeryDelete();
    setComboText(Combo4, QString());
    Data2->refresh();
    entry::feherit(*this);
    Label7->hide();
    Label8->hide();

    SSPanel22->setCaption(institutionIdentifier(Text6->text(), Label4->text(), DBCombo1->text()));
    SSFrame1->setCaption(kManualCaption);
    uresit();

    Data9->recordset().moveFirst();
    Text6->setText(Data9->recordset().text(QStringLiteral("int_kod")));
    Label1->setText(QString::number(episodeStore(*this).nextIdentifier()));
    // Items are stored the moment they are added: an entry that ended
    // without "Vissza" (a crash, a power cut) left its items under this
    // identifier, the only copy of that work. They show in the items grid,
    // and the clerk keeps or deletes them.
    showItemsOf(Label1->text());

    SSCommand14->show();
    Text31->clear();
}

void kezdo::uresit()
{
    Label1->setText(QString::number(episodeStore(*this).nextIdentifier()));

    if (!SSCheck4->isChecked()) {
        Text11->clear();
        DBCombo1->setText(QString());
        setComboText(Combo2, QString());
    }

    const std::initializer_list<QWidget*> patient = {Text3, Text4, MaskEdBox1, MaskEdBox2, MaskEdBox3, MaskEdBox4};
    if (SSCheck6->isChecked()) {
        for (QWidget* w : patient)
            paintText(w, keptColour());
        paintText(SSCheck6, keptColour());
    } else {
        Text3->clear();
        Text4->clear();
        paintText(Text3, QColor());
        paintText(Text4, QColor());
        paintText(SSCheck6, QColor());
        const QDateTime now = platform::Clock::now();
        const QString today = platform::shortDateText(now.date());
        const QString time = platform::timeText(now.time()).left(5);
        MaskEdBox1->setText(today);
        MaskEdBox3->setText(today);
        MaskEdBox2->setText(time);
        MaskEdBox4->setText(time);
        for (QWidget* w : {static_cast<QWidget*>(MaskEdBox1), static_cast<QWidget*>(MaskEdBox2),
                           static_cast<QWidget*>(MaskEdBox3), static_cast<QWidget*>(MaskEdBox4)})
            paintText(w, QColor());
    }

    Text14->clear();
    SSCheck2->setChecked(false);
    SSCheck1->setChecked(false);

    if (ward)
        return; // no surgery slots
    for (int k = 0; k < kSlotCount; ++k) {
        slotCode(k)->clear();
        slotDuration(k)->setText(QString());
    }
}

void kezdo::SSCheck4_Click()
{
    paintText(SSCheck4, SSCheck4->isChecked() ? keptColour() : QColor());
}

void kezdo::SSCheck6_Click()
{
    paintText(SSCheck6, SSCheck6->isChecked() ? keptColour() : QColor());
}

void kezdo::SSCommand2_Click()
{
    SSFrame1->hide();
    // Items booked to an episode that was never stored go with it; the
    // store keeps the items of any identifier that `alap` holds.
    if (!SSCheck1->isChecked() && SSFrame1->caption() != kReviewCaption) {
        episodeStore(*this).deleteItemsOfUnstoredEpisode(Label1->text());
        showItemsOf(Label1->text());
    }
    SSCheck5->setChecked(false);
    SSCommand1->setCaption(QStringLiteral("Felvitel"));
    hideSurgeryDelete();
    // The next mode finds the save button it expects.
    SSCommand1->show();
    if (SSCommand30)
        SSCommand30->hide();
    setMenusEnabled(true);
    for (QWidget* w : std::initializer_list<QWidget*>{SSCommand15, SSCommand16, SSCommand8, SSCommand9, SSCommand10,
                                                      Text12})
        w->hide();
}

// ---- institution data -----------------------------------------------------

void kezdo::alapad_Click()
{
    SSFrame2->show();
    Data9->refresh();
    auto& rs = Data9->recordset();
    if (rs.recordCount() > 0) {
        rs.moveFirst();
        Text10->setText(rs.text(QStringLiteral("int_kod")));
        Text15->setText(rs.text(QStringLiteral("Int_neve")));
    }
    Text10->setFocus();
}

void kezdo::SSCommand6_Click()
{
    auto& rs = Data9->recordset();
    const bool stored = runDataAction(*enteredData(), [&] {
        if (rs.recordCount() > 0) {
            rs.moveFirst();
            rs.edit();
        } else {
            rs.addNew();
        }
        rs.setValue(QStringLiteral("int_kod"), Text10->text());
        rs.setValue(QStringLiteral("Int_neve"), Text15->text());
        rs.update();
    });
    if (!stored) {
        // The record set may hold a row the rollback took back.
        Data9->refresh();
        return;
    }
    rs.moveFirst();
    SSFrame2->hide();
    if (SSFrame1->isVisible())
        Text6->setText(rs.text(QStringLiteral("int_kod")));
}

void kezdo::SSCommand7_Click()
{
    SSFrame2->hide();
    Text10->clear();
    Text15->clear();
}

// ---- ward code, care type, ward sign, outcome -----------------------------

void kezdo::careTypeLookup(const QString& wardCode)
{
    if (showsConvertedRecord()) {
        // A converted record brings its own care type, the one its save
        // stores; the ward table has no say in what it shows.
        Label4->setText(shownCareType(Label6->text()));
    } else {
        auto& rs = Data2->recordset();
        // The ward row is the one whose code is shown, never whichever row
        // the connection happened to stand on.
        if (rs.recordCount() > 0 && !wardCode.isEmpty()
            && rs.findFirst(QStringLiteral("Okod = ?"), {wardCode})) {
            const QString text = careTypeText(rs.text(QStringLiteral("Ojelleg")));
            if (!text.isEmpty())
                Label4->setText(text);
        }
    }
    // The panel follows the header on show, found ward or not.
    SSPanel22->setCaption(institutionIdentifier(Text6->text(), Label4->text(), wardCode));
}

void kezdo::DBCombo1_Change()
{
    careTypeLookup(DBCombo1->text());
}

void kezdo::DBCombo1_Click()
{
    careTypeLookup(DBCombo1->text());
}

void kezdo::Text11_Change()
{
    careTypeLookup(Text11->text());
}

void kezdo::Combo3_Change()
{
    Text25->setText(firstChar(Combo3->currentText()));
}

void kezdo::Combo3_Click()
{
    Combo3_Change();
}

// ---- header checks ----------------------------------------------------------

void kezdo::MaskEdBox1_LostFocus()
{
    if (auto m = admissionDateProblem(MaskEdBox1->text())) {
        showBox(*m);
        MaskEdBox1->setFocus();
    }
}

void kezdo::MaskEdBox3_LostFocus()
{
    if (auto m = dischargeDateProblem(MaskEdBox1->text(), MaskEdBox3->text())) {
        showBox(*m);
        MaskEdBox3->setFocus();
    }
}

void kezdo::MaskEdBox4_LostFocus()
{
    if (auto m = dischargeTimeProblem(MaskEdBox1->text(), MaskEdBox2->text(), MaskEdBox3->text(),
                                      MaskEdBox4->text())) {
        showBox(*m);
        MaskEdBox4->setFocus();
    }
}

void kezdo::Text3_LostFocus()
{
    if (auto m = registerNumberProblem(Text3->text()))
        showBox(*m);
}

void kezdo::Text4_LostFocus()
{
    Tajellenoriz(Text4->text());
}

void kezdo::Tajellenoriz(const QString& Tajadat)
{
    if (auto m = tajProblem(Tajadat))
        showBox(*m);
}

void kezdo::Text14_LostFocus()
{
    if (isBlank(Text14->text()))
        Text14->setText(QStringLiteral("0"));
}

void kezdo::Text25_LostFocus()
{
    if (auto m = outcomeProblem(Text25->text())) {
        showBox(*m);
        Text25->setFocus();
    }
}

void kezdo::Text3_Change()
{
    paintText(Text3, QColor());
    paintText(Text4, QColor());
    paintText(SSCheck6, QColor());
    SSCheck6->setChecked(false);
}

// ---- converted records --------------------------------------------------------

// Every converted record taken into the form starts a fresh episode: the
// next free identifier and its own items, so a record shown after a save
// is never stored under the identifier just used.
void kezdo::takeKonvRow()
{
    if (ward)
        return ward->takeKonvRow();
    auto& rs = Data10->recordset();
    if (!rs.hasCurrent())
        return;
    uresit();
    konvOnShow = rs.bookmark();
    showWardBoxFor(true);
    showKonvRecord(*this, mapKonv(konvFromRecord(rs)));
    showItemsOf(Label1->text());
    entry::haures(*this);
    markStoredByIdentifier();
}

bool kezdo::showsConvertedRecord() const
{
    return SSFrame1->caption() == kProcessingCaption && konvOnShow.isValid();
}

void kezdo::showWardBoxFor(bool converted)
{
    Text11->setVisible(converted);
    Label6->setVisible(converted);
    DBCombo1->setVisible(!converted);
    if (converted)
        return;
    // For an episode typed by hand the clerk picks the ward from the list;
    // the care type shown is that ward's, never the previous record's.
    Label6->clear();
    Label4->clear();
    DBCombo1->setText(Text11->text());
    careTypeLookup(DBCombo1->text());
}

bool kezdo::forgetUnsavedItems()
{
    // Review shows stored episodes only; their items stay.
    if (SSFrame1->caption() == kReviewCaption)
        return true;
    int removed = 0;
    if (!runDataAction([&] { removed = episodeStore(*this).deleteItemsOfUnstoredEpisode(Label1->text()); }))
        return false;
    if (removed > 0)
        showItemsOf(Label1->text());
    return true;
}

void kezdo::markStoredByIdentifier()
{
    bool ok = false;
    const qint64 id = Label1->text().trimmed().toLongLong(&ok);
    SSCheck1->setChecked(ok && episodeStore(*this).episodeExists(id));
}

void kezdo::feldolg_Click()
{
    if (ward)
        return ward->feldolg_Click();
    konvOnShow = QVariant();
    SSPanel22->setCaption(QString());
    for (int k = 0; k < kSlotCount; ++k) {
        slotCode(k)->clear();
        slotDuration(k)->setText(QString());
    }
    // Every set-up starts clean: saving adds a new episode.
    SSCommand30->hide();
    SSCommand1->show();
    SSCommand1->setCaption(QStringLiteral("Felvitel"));
    SSCheck5->setChecked(false);
    hideSurgeryDelete();
    SSFrame1->setCaption(kProcessingCaption);
    // The items grid first shows with the frame: pointed at the new
    // episode's items before, it never counts the whole item table.
    showItemsOf(QString::number(episodeStore(*this).nextIdentifier()));
    SSFrame1->show();

    // "Új" takes the next record; a review before may have hidden it.
    for (QWidget* w : std::initializer_list<QWidget*>{SSCommand8, SSCommand9, SSCommand25, SSCommand10, Text12,
                                                      SSCommand14})
        w->show();
    SSCommand15->hide();
    SSCommand16->hide();
    SSCheck3->setChecked(true);
    SSCheck4->setChecked(false);
    paintText(SSCheck4, QColor());
    DBCombo1->hide();
    Text11->show();
    Text11->clear();
    Label6->show();
    Label6->clear();
    Label7->setText(QString::number(aktpoz));
    Label7->show();
    Label8->show();

    const QDateTime now = platform::Clock::now();
    MaskEdBox1->setText(platform::shortDateText(now.date()));
    MaskEdBox3->setText(platform::shortDateText(now.date()));
    MaskEdBox2->setText(platform::timeText(now.time()).left(5));
    MaskEdBox4->setText(platform::timeText(now.time()).left(5));

    setMenusEnabled(false);
    Data2->refresh();
    Data10->setRecordSource(kUnprocessedKonv);
    Data10->refresh();
    auto& rs = Data10->recordset();
    if (rs.recordCount() == 0) {
        platform::msgBox(QStringLiteral("Nincs konvertált feldolgozandó adat!"), platform::Critical,
                         QStringLiteral("Figyelmeztetés"));
        SSFrame1->hide();
        setMenusEnabled(true);
        return;
    }
    rs.moveLast();
    rekszam = rs.recordCount();
    Label8->setText(QString::number(rekszam));
    rs.moveFirst();
    takeKonvRow();
    Label7->setText(QString::number(rs.absolutePosition()));
}

void kezdo::SSCommand14_Click()
{
    if (ward)
        return ward->SSCommand14_Click();
    if (platform::msgBox(QStringLiteral("Biztos újat akar kezdeni?"),
                         platform::Question | platform::YesNo | platform::DefaultButton2,
                         QStringLiteral("Kérdés")) != MsgResult::Yes)
        return;
    if (!forgetUnsavedItems())
        return;
    Data10->setRecordSource(kUnprocessedKonv);
    Data10->refresh();
    SSCheck1->setChecked(false);
    uresit();

    if (SSFrame1->caption() != kManualCaption) {
        auto& rs = Data10->recordset();
        if (rs.recordCount() == 0) {
            Label7->setText(QString::number(rs.absolutePosition()));
            // Nothing left to take: the next episode is typed by hand.
            konvOnShow = QVariant();
            showWardBoxFor(false);
            platform::msgBox(kNoKonv, platform::OkOnly);
        } else {
            rs.moveLast();
            rekszam = rs.recordCount();
            Label8->setText(QString::number(rekszam));
            rs.moveFirst();
            takeKonvRow();
            Label7->setText(QString::number(rs.absolutePosition()));
        }
    }

    mutetszam = QStringLiteral("0");
    Label19->setText(mutetszam);
    showItemsOf(Label1->text());
    SSTab1->setEnabled(false);
}

// Moves the walk to a typed position and takes that record; a position
// outside the record set changes nothing. Returns whether it moved.
bool kezdo::jumpToKonv(const QString& typed)
{
    auto& rs = Data10->recordset();
    const long long position = leadingNumber(typed);
    if (rs.recordCount() == 0 || position < 0 || position >= rs.recordCount())
        return false;
    if (!forgetUnsavedItems())
        return false;
    rs.setAbsolutePosition(int(position));
    takeKonvRow();
    return true;
}

void kezdo::SSCommand10_Click()
{
    if (jumpToKonv(Text12->text()))
        Label7->setText(QString::number(Data10->recordset().absolutePosition() + 1));
    Text12->clear();
}

void kezdo::Text12_KeyPress(int& keyAscii)
{
    if (keyAscii != 13)
        return;
    if (jumpToKonv(Text12->text()))
        Label7->setText(QString::number(Data10->recordset().absolutePosition()));
    Text12->clear();
    keyAscii = 0;
}

void kezdo::SSCommand8_Click()
{
    auto& rs = Data10->recordset();
    if (rs.recordCount() == 0 || rs.absolutePosition() <= 0) {
        Label7->setText(QStringLiteral("0"));
        platform::msgBox(QStringLiteral("Adatbázis eleje!"), platform::OkOnly);
        return;
    }
    if (!forgetUnsavedItems())
        return;
    rs.movePrevious();
    takeKonvRow();
    Label7->setText(QString::number(rs.absolutePosition()));
}

void kezdo::SSCommand9_Click()
{
    auto& rs = Data10->recordset();
    if (rs.recordCount() == 0 || rs.absolutePosition() >= rekszam - 1) {
        platform::msgBox(QStringLiteral("Adatbázis vége!"), platform::OkOnly);
        return;
    }
    if (!forgetUnsavedItems())
        return;
    rs.moveNext();
    takeKonvRow();
    Label7->setText(QString::number(rs.absolutePosition()));
}

// ---- saving -----------------------------------------------------------------

namespace {

bool confirmed(const Message& m)
{
    return showBox(m) == MsgResult::Yes;
}

} // namespace

void kezdo::SSCommand1_Click()
{
    if (ward)
        return ward->SSCommand1_Click();
    const EpisodeForm form = episodeForm(*this);
    const SaveCheckResult checks = runSaveChecks(form, SaveButton::Felvitel, confirmed);
    if (checks.verdict == SaveVerdict::Declined)
        return;
    if (checks.verdict == SaveVerdict::Refused) {
        showBox(checks.refusal.message);
        focusControl(*this, checks.refusal.focus);
        return;
    }

    std::optional<KonvRecord> konv;
    std::optional<KonvMark> mark;
    if (form.mode == Mode::Processing) {
        // The record whose data the form shows, wherever the walk stands;
        // one gone meanwhile is refused by the store.
        konv = episodeStore(*this).convertedRecord(konvOnShow);
        // Asked before anything is written, so that the episode and the
        // converted record's mark are stored together.
        const bool anotherWard = showBox(anotherWardQuestion()) == MsgResult::Yes;
        mark = KonvMark{konvOnShow, !anotherWard};
    }

    const QString notStored = QStringLiteral("Az adatfelvitel nem sikerült, semmi nem került tárolásra!");
    try {
        // The store attaches the converted file and keeps its own transaction.
        if (!runDataAction(
                [&] {
                    episodeStore(*this).saveNew(rowFromForm(form, konv ? &*konv : nullptr), surgeriesFromForm(form),
                                                mark);
                },
                notStored))
            return;
    } catch (const SaveError& e) {
        platform::msgBox(notStored + QLatin1Char('\n') + e.message(), platform::Critical, QStringLiteral("Hiba"));
        return;
    }

    showStoredForms();
    refreshEpisodeWalk();
    platform::msgBox(kSaveSucceeded, platform::OkOnly);
    SSCheck1->setChecked(true);
}

void kezdo::SSCommand30_Click()
{
    const EpisodeForm form = episodeForm(*this);
    const SaveCheckResult checks = runSaveChecks(form, SaveButton::Modosit, confirmed);
    if (checks.verdict == SaveVerdict::Declined)
        return;
    if (checks.verdict == SaveVerdict::Refused) {
        showBox(checks.refusal.message);
        focusControl(*this, checks.refusal.focus);
        return;
    }

    // The episode modified is the one shown, found by its identifier.
    if (!episodeStore(*this).episodeExists(rowFromForm(form).azonosito)) {
        platform::msgBox(QStringLiteral("A módosítandó adatlap nincs felvéve! Nem lehet módosítani!"),
                         platform::Critical, QStringLiteral("Hiba"));
        return;
    }
    // Surgeries beyond the ten the slots show are in no slot, so they stay
    // as stored, like any other surgery whose code the clerk took out.
    const QString notChanged = QStringLiteral("A módosítás nem sikerült, semmi nem változott!");
    try {
        if (!runDataAction([&] { modifyShownEpisode(form); }, notChanged))
            return;
    } catch (const SaveError& e) {
        platform::msgBox(notChanged + QLatin1Char('\n') + e.message(), platform::Critical, QStringLiteral("Hiba"));
        return;
    }
    showStoredForms();
    Data6->refresh();
}

// Only what the clerk changed since the load is written: another program
// may have changed the episode while it was on show, and the form's older
// values must not overwrite that. A form that no load put on screen has
// nothing to be compared with, and is not written.
void kezdo::modifyShownEpisode(const episode::EpisodeForm& form)
{
    if (!loadedEpisode || loadedEpisode->form.identifier != form.identifier)
        throw SaveError(QStringLiteral("A módosítandó adatlap nincs betöltve!"));
    EpisodeStore store = episodeStore(*this);
    const EpisodeChanges changes = store.changesSinceLoad(*loadedEpisode, form);
    if (changes.isEmpty())
        return;
    const auto rows = store.modify(changes);
    // What was written is on screen now: the next modification starts from it.
    loadedEpisode->form = form;
    loadedEpisode->slotRows = rows;
}

// After a save the form shows what was stored: a blank sequence number and
// outcome are stored as "0".
void kezdo::showStoredForms()
{
    if (isBlank(Text14->text()))
        Text14->setText(QStringLiteral("0"));
    if (isBlank(Text25->text()))
        Text25->setText(QStringLiteral("0"));
}

// A new episode joins the walk, as a row added through it would: re-read the
// walk and stand on the same position again. A modified episode does not go
// through here: it keeps its place in the walk it was found by, even when its
// register number no longer matches, so "next" goes on from it (its values are
// read afresh anyway, as the record set drops its cache on every change).
void kezdo::refreshEpisodeWalk()
{
    auto& rs = Data3->recordset();
    const int position = rs.absolutePosition();
    Data3->refresh();
    auto& fresh = Data3->recordset();
    if (position >= 0 && position < fresh.recordCount())
        fresh.setAbsolutePosition(position);
}

// ---- loading, review, find --------------------------------------------------

// The header of a stored episode, field by field, with its own care type
// last: writing the ward code looks the ward's current one up, and the
// header never keeps that, nor the one of the episode shown before.
void kezdo::showEpisodeHeader(const episode::EpisodeRow& r)
{
    Text6->setText(r.intKod);
    if (ward)
        Text11->setText(r.okod);
    DBCombo1->setText(r.okod);
    setComboText(Combo2, r.ojele);
    {
        // The ward form's load leaves the marking of kept patient data as
        // it is; a register number the clerk types still ends it.
        const QSignalBlocker keepMarking(ward ? Text3.get() : nullptr);
        Text3->setText(r.tSzam);
    }
    Text4->setText(r.taj);
    // A date or time the box cannot show leaves it blank, never with what
    // it showed before (the clearing's today and now).
    MaskEdBox1->showStored(r.fdat);
    MaskEdBox2->showStored(shownTime(r.fido));
    MaskEdBox3->showStored(r.tdat);
    MaskEdBox4->showStored(shownTime(r.tido));
    SSCheck2->setChecked(r.vjel);
    Label1->setText(QString::number(r.azonosito));
    Text14->setText(r.tsor);
    if (Text25)
        Text25->setText(r.tovsors);
    Label4->setText(shownCareType(r.intTipus));
    SSPanel22->setCaption(institutionIdentifier(Text6->text(), Label4->text(), DBCombo1->text()));
}

void kezdo::olvasdata3t()
{
    // The surgical form starts the episode from a cleared form; the ward
    // form is written over what it shows, and with no row keeps it all.
    if (!ward)
        uresit();
    auto& rs = Data3->recordset();
    if (rs.recordCount() == 0 || !rs.hasCurrent()) {
        // The surgical form is cleared: no stored episode is on show.
        if (!ward)
            loadedEpisode.reset();
        platform::msgBox(QStringLiteral("Nincs adat!"), platform::Critical, QStringLiteral("Figyelmeztetés!"));
        return;
    }
    const EpisodeRow r = episodeFromRecord(rs);
    showEpisodeHeader(r);
    // The ward program's callers say whether the episode counts as stored.
    if (!ward)
        SSCheck1->setChecked(true);

    showItemsOf(Label1->text());
    // What the load puts on screen is what a modification compares with;
    // each slot remembers the row it shows, so two slots of one code stay
    // two rows.
    auto loaded = std::make_shared<LoadedEpisode>();
    if (!program().isWard()) { // no surgeries in the ward program
        Data6->setRecordSource(kSurgeriesOfEpisode, {Label1->text()});
        Data6->refresh();
        if (Data6->recordset().recordCount() > 0) {
            // The slots show the first ten surgeries; the surgery grid lists them all.
            QList<qint64> rowids;
            const SlotContents placed = slotsFromSurgeries(surgeriesFromRecordset(Data6->recordset(), &rowids));
            for (int k = 0; k < kSlotCount; ++k)
                slotCode(k)->setText(placed.codes[k]);
            for (int k = 0; k < kSlotCount; ++k)
                slotDuration(k)->showStored(placed.durations[k] == kEmptyTime ? QString() : placed.durations[k]);
            for (int k = 0; k < kSlotCount && k < rowids.size(); ++k)
                loaded->slotRows[k] = rowids[k];
            entry::datell(*this);
        }
    }
    loaded->form = episodeForm(*this);
    loadedEpisode = std::move(loaded);
}

void kezdo::showWalkCount()
{
    // Another program may have added or deleted episodes since the walk was
    // counted; the record set puts its count right when the walk meets an
    // end, and the count beside the position follows it.
    const int episodes = Data3->recordset().recordCount();
    if (leadingNumber(Label8->text()) != episodes)
        Label8->setText(QString::number(episodes));
}

int kezdo::pointItemsAtFirstEpisode()
{
    // The review's frame shows the items grid: pointed first at the first
    // episode's items, it never counts the whole item table on its way.
    auto& rs = Data3->recordset();
    const int episodes = rs.recordCount();
    if (episodes > 0)
        rs.moveFirst();
    showItemsOf(rs.hasCurrent() ? rs.text(QStringLiteral("Azonosito")) : QString());
    return episodes;
}

void kezdo::tete_Click()
{
    if (ward)
        return ward->tete_Click();
    konvOnShow = QVariant();
    uresit();
    aktpoz = 1;
    const int episodes = pointItemsAtFirstEpisode();
    DBCombo1->show();
    SSPanel22->setCaption(QString());
    SSFrame1->show();
    SSFrame1->setCaption(kReviewCaption);
    SSCommand15->show();
    SSCommand16->show();
    Label7->setText(QStringLiteral("1"));
    Label8->setText(QString::number(episodes));
    Label7->show();
    Label8->show();
    SSCommand23->show();
    DBGrid4->hide();
    SSCommand30->show();
    SSCommand1->hide();
    SSCommand25->show();

    olvasdata3t();
    entry::haures(*this);

    Text11->hide();
    Label6->hide();
    SSCheck5->setChecked(true);
    SSCommand1->setCaption(QStringLiteral("Módosítás"));
    // Ticked only when the episode on show is stored: a review that found
    // nothing shows the next free identifier.
    markStoredByIdentifier();
    SSCommand14->hide();
    // The header keeps the care type the load showed: the episode's own,
    // which a modification stores back, not its ward's current one.
}

void kezdo::SSCommand15_Click()
{
    if (ward)
        return ward->SSCommand15_Click();
    --aktpoz;
    if (aktpoz == 0) {
        platform::msgBox(QStringLiteral("Adatbázis eleje!"), platform::OkOnly);
        aktpoz = 1;
        return;
    }
    auto& rs = Data3->recordset();
    if (rs.recordCount() > 0)
        rs.movePrevious();
    Label7->setText(QString::number(aktpoz));
    showWalkCount();
    olvasdata3t();
    markStoredByIdentifier();
    entry::haures(*this);
}

void kezdo::SSCommand16_Click()
{
    if (ward)
        return ward->SSCommand16_Click();
    ++aktpoz;
    const int count = int(leadingNumber(Label8->text()));
    if (count < aktpoz) {
        platform::msgBox(QStringLiteral("Adatbázis vége!"), platform::OkOnly);
        aktpoz = count;
        return;
    }
    auto& rs = Data3->recordset();
    if (rs.recordCount() > 0) {
        rs.moveNext();
        Label7->setText(QString::number(aktpoz));
    }
    showWalkCount();
    olvasdata3t();
    markStoredByIdentifier();
    entry::haures(*this);
}

void kezdo::SSCommand25_Click()
{
    SSFrame7->show();
    Text19->setFocus();
}

void kezdo::SSCommand27_Click()
{
    SSFrame7->hide();
}

void kezdo::SSCommand26_Click()
{
    SSFrame7->hide();
    const QString wanted = Text19->text();
    const bool blank = isBlank(wanted);
    if (SSFrame1->caption() == kReviewCaption) {
        if (!startFoundWalk(Data3, blank ? kAllEpisodes : kEpisodesOfRegister, blank, wanted))
            return;
        aktpoz = 1;
        Label7->setText(QStringLiteral("1"));
        olvasdata3t();
        markStoredByIdentifier();
        return;
    }

    // A find that selects no converted record leaves the record on show,
    // and the walk it belongs to, as they were: the save still marks it.
    const QString source = blank ? kAllKonv : kKonvOfRegister;
    const QVariantList params = blank ? QVariantList{} : QVariantList{wanted};
    platform::db::DataConnection probe(QStringLiteral("konvFind"));
    probe.setDatabase(Data10->database());
    probe.setRecordSource(source, params);
    probe.refresh();
    if (probe.recordset().recordCount() == 0 || !forgetUnsavedItems())
        return;
    if (!startFoundWalk(Data10, source, blank, wanted))
        return;
    takeKonvRow();
    Label7->setText(QString::number(Data10->recordset().absolutePosition()));
}

// Points the connection at what the find selects (everything for a blank
// register number), counts it for the walk and stands on its first row.
// False when the find selected nothing.
bool kezdo::startFoundWalk(platform::db::DataConnection* conn, const QString& source, bool all,
                           const QString& wanted)
{
    conn->setRecordSource(source, all ? QVariantList{} : QVariantList{wanted});
    conn->refresh();
    auto& rs = conn->recordset();
    if (rs.recordCount() == 0)
        return false;
    rs.moveLast();
    rekszam = rs.recordCount();
    Label8->setText(QString::number(rekszam));
    rs.moveFirst();
    return true;
}

void kezdo::Text19_KeyPress(int& keyAscii)
{
    if (keyAscii == 13) {
        keyAscii = 0;
        SSCommand26_Click();
    }
}

void kezdo::showKonvHeader(const episode::KonvFormFields& f)
{
    Text6->setText(f.text6);
    Label6->setText(f.label6);
    Text11->setText(f.text11);
    Text3->setText(f.text3);
    Text4->setText(f.text4);
    Text14->setText(f.text14);
    // A date or time the box cannot show ("2005/08/20") leaves it blank,
    // so the save asks for it instead of storing today or now.
    MaskEdBox1->showStored(f.maskEdBox1);
    MaskEdBox2->showStored(f.maskEdBox2);
    MaskEdBox3->showStored(f.maskEdBox3);
    MaskEdBox4->showStored(f.maskEdBox4);
    SSCheck1->setChecked(f.ssCheck1);
    SSCheck1->setVisible(f.ssCheck1);
    // A ward code equal to the one before changes no text and looks nothing
    // up: the care type and the panel are this record's all the same.
    careTypeLookup(Text11->text());
}
