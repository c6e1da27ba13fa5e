// The main window's period and target dialog (frame SSFrame5) and the
// monthly export it starts: thin handlers that read the dialog's boxes, call
// the rules and the export of app/exchange and show what they return.
#include "app/common/kezdo.h"

#include "app/common/programinfo.h"
#include "app/exchange/lists.h"
#include "app/exchange/monthlyexport.h"
#include "app/exchange/openform.h"
#include "app/exchange/perioddialog.h"
#include "platform/db/dataconnection.h"
#include "platform/sys/files.h"
#include "platform/sys/regional.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbgrid.h"
#include "platform/ui/msgbox.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

using platform::MsgResult;
using platform::msgBox;

namespace {

const QString kWarning = QStringLiteral("Figyelmeztetés");
const QString kQuestion = QStringLiteral("Kérdés");
const QString kAllEpisodes = QStringLiteral("select * from alap");
const QString kHandEntered =
    QStringLiteral("select * from alap where Manuális=True and left(Fdat,7)= ? order by T_szam");

void setBand(QFrame* band, quint32 bgr)
{
    QPalette pal = band->palette();
    pal.setColor(QPalette::Window, platform::legacyColor(bgr));
    band->setPalette(pal);
}

bool asked(const QString& question)
{
    return msgBox(question, platform::Question | platform::YesNo, kQuestion) == MsgResult::Yes;
}

void tellIf(const std::optional<episode::Message>& message)
{
    if (message)
        msgBox(message->text, message->style, message->title);
}

} // namespace

void kezdo::connectExportHandlers()
{
    ev.onClick(Check1, [this] { Check1_Click(); });
    ev.onClick(Check2, [this] { Check2_Click(); });
    connect(Combo1, &QComboBox::activated, this, [this](int) { Combo1_Click(); });
    connect(Combo4, &QComboBox::activated, this, [this](int) { Combo4_Click(); });
    // A month is only picked from the list, never typed.
    const auto refuseTyping = [](int& keyAscii) { keyAscii = 0; };
    ev.onKeyPress(Combo1, refuseTyping);
    ev.onKeyPress(Combo4, refuseTyping);
    ev.onKeyPress(Text16, [this](int& k) { Text16_KeyPress(k); });
    ev.onKeyPress(Text28, [this](int& k) { Text28_KeyPress(k); });
    ev.onLostFocus(Text16, [this] { Text16_LostFocus(); });
    ev.onLostFocus(Text33, [this] { Text33_LostFocus(); });
    ev.onClick(SSCommand28, [this] { SSCommand28_Click(); });
    ev.onClick(SSCommand17, [this] { SSCommand17_Click(); });
    ev.onClick(SSCommand18, [this] { SSCommand18_Click(); });
    ev.onDblClick(DBGrid5, [this] { DBGrid5_DblClick(); });
    // The drive lines end in a line break; their first line is the one to read.
    for (QLabel* line : {Label21, Label22, Label23})
        line->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

// ---- opening the dialog ----

namespace {

// What every list item does: show the frame in its mode with this year and
// no month.
void openForList(kezdo& w, const QString& mode, const QString& caption)
{
    w.SSFrame5->setCaption(caption);
    w.SSFrame5->show();
    w.SSFrame5->raise();
    w.Label14->setText(mode);
    w.Text16->setText(QString::number(platform::Clock::today().year()));
    w.Combo1->setEditText(QString());
    if (w.Text16->isEnabled())
        w.Text16->setFocus(Qt::OtherFocusReason);
}

} // namespace

void kezdo::elso_Click()
{
    openForList(*this, exchange::kModeErrorCount, QStringLiteral("Feldolgozási idő"));
    SSCommand28->hide();
    Label17->hide();
    Text17->hide();
}

void kezdo::mas_Click()
{
    openForList(*this, exchange::kModeErrorList, QStringLiteral("Feld.idő"));
    SSCommand28->hide();
}

void kezdo::har_Click()
{
    openForList(*this, exchange::kModeHighCost, QStringLiteral("Feldolgozási idő"));
    Label17->hide();
    Text17->hide();
}

void kezdo::talviron_Click()
{
    SSCommand28->show();
    SSFrame5->show();
    SSFrame5->raise();
    Label14->setText(exchange::kModeExport);
    const QString year = QString::number(platform::Clock::today().year());
    Text16->setText(year);
    Text28->setText(year);
    Combo1->setEditText(QString());
    Combo4->setEditText(QString());
    Label17->setText(QStringLiteral("Elérési út: "));
    Label17->show();
    Label24->show();
    Text20->show();
    Text20->clear();
    Text17->setMaxLength(100);
    Text17->show();
    Text17->clear();
    Text33->clear();
    Check2->setChecked(true);
    Check2_Click();

    const exchange::DriveLines lines = exchange::driveLines(Text17->text());
    Label21->setText(lines.drive);
    Label22->setText(lines.total);
    Label23->setText(lines.free);
    if (!lines.error && lines.freeKb < 100)
        msgBox(QStringLiteral("Kevés hely van a c: meghajtón!"), platform::Critical, QStringLiteral("Figyelmeztetés!"));
}

// ---- boxes of the dialog ----

void kezdo::Check1_Click()
{
    Check2->setChecked(!Check1->isChecked());
    const bool byTime = Check1->isChecked();
    setBand(Shape8, byTime ? 0x80C0FF : 0xC0E0FF);
    setBand(Shape7, byTime ? 0xC0E0FF : 0x80C0FF);
    for (QWidget* box : {static_cast<QWidget*>(Text16), static_cast<QWidget*>(Text28),
                         static_cast<QWidget*>(Combo1), static_cast<QWidget*>(Combo4)})
        box->setEnabled(byTime);
    Text33->setEnabled(!byTime);
}

void kezdo::Check2_Click()
{
    Check1->setChecked(!Check2->isChecked());
    Check1_Click();
}

namespace {

QString institutionCode(platform::db::DataConnection& data9)
{
    data9.refresh();
    auto& rs = data9.recordset();
    if (rs.recordCount() == 0)
        return QString();
    rs.moveFirst();
    return rs.text(QStringLiteral("int_kod"));
}

} // namespace

void kezdo::Combo1_Click()
{
    Text20->setText(exchange::monthFileName(m_program, institutionCode(*Data9), Combo1->currentText()));
}

void kezdo::Combo4_Click()
{
    // The end month names nothing: the files carry the start month.
    Text20->setText(exchange::monthFileName(m_program, institutionCode(*Data9), Combo1->currentText()));
}

void kezdo::Text16_KeyPress(int& keyAscii)
{
    if (!exchange::yearKeyAllowed(keyAscii))
        keyAscii = 0;
}

void kezdo::Text28_KeyPress(int& keyAscii)
{
    if (!exchange::yearKeyAllowed(keyAscii))
        keyAscii = 0;
}

void kezdo::Text16_LostFocus()
{
    if (Text16->text().size() < 4) {
        msgBox(QStringLiteral("Nem lehet 4-nél kevesebb karakterű!"), platform::Critical, kQuestion);
        Text16->setFocus(Qt::OtherFocusReason);
    }
}

void kezdo::Text33_LostFocus()
{
    if (Check2->isChecked())
        Text20->setText(exchange::registerFileName(m_program, Text33->text()));
}

void kezdo::SSCommand28_Click()
{
    // Only a folder can be chosen; the main window stays usable meanwhile.
    openform::open(*this, openform::Mode::Folder, Text17);
}

void kezdo::SSCommand18_Click()
{
    SSFrame5->hide();
    SSFrame1->setEnabled(true);
}

void kezdo::DBGrid5_DblClick()
{
    DBGrid5->hide();
}

// ---- run ----

void kezdo::SSCommand17_Click()
{
    const QString mode = Label14->text();
    const bool exporting = mode == exchange::kModeExport;

    // 1. The target of an export.
    if (exporting) {
        if (Text17->text().trimmed().isEmpty()) {
            msgBox(QStringLiteral("Hiányzik az elérési út!"), platform::Critical, kWarning);
            return;
        }
        if (Text20->text().trimmed().isEmpty()) {
            msgBox(QStringLiteral("Hiányzik a fájlnév!"), platform::Critical, kWarning);
            return;
        }
        const exchange::DriveLines lines = exchange::driveLines(Text17->text());
        Label21->setText(lines.drive);
        Label22->setText(lines.total);
        Label23->setText(lines.free);
        if (lines.error || !QFileInfo(platform::mapPath(Text17->text())).isDir()) {
            msgBox(QStringLiteral("Nem érhető el a célkönyvtár: %1!").arg(Text17->text()), platform::Critical,
                   kWarning);
            return;
        }
        szabadkb = lines.freeKb;
    }

    // 2. The period.
    const exchange::PeriodBoxes period{Check1->isChecked(), Text16->text(), Combo1->currentText(), Text28->text(),
                                       Combo4->currentText()};
    if (const auto refusal = exchange::periodRefusal(period, exporting)) {
        msgBox(*refusal, platform::Critical, kWarning);
        return;
    }
    if (exporting && !Check1->isChecked() && Text33->text().trimmed().isEmpty()) {
        msgBox(QStringLiteral("Adja meg a jelentendő törzsszámot!"), platform::Critical, QStringLiteral("Hiba"));
        return;
    }

    // 3. Nothing is listed or exported for an institution not set up.
    if (!exchange::readInstitution(*m_enteredData)) {
        tellIf(exchange::missingInstitutionMessage());
        return;
    }

    // 4. The run of the mode.
    const QString datum = Text16->text() + u'.' + Combo1->currentText();
    if (mode == exchange::kModeErrorCount) {
        if (asked(QStringLiteral("Nyomtatás indulhat?")))
            tellIf(exchange::hibalistnyom(*m_enteredData, datum, m_program));
    } else if (mode == exchange::kModeErrorList) {
        if (asked(QStringLiteral("Nyomtatás indulhat?")))
            tellIf(exchange::rafordhibanyom(*m_enteredData, datum));
        if (asked(QStringLiteral("Meg akarja tekinteni?"))) {
            Data3->setRecordSource(kHandEntered, {datum});
            Data3->refresh();
            DBGrid5->show();
            DBGrid5->raise();
        }
    } else if (mode == exchange::kModeHighCost) {
        if (asked(QStringLiteral("Nyomtatás indulhat?")))
            tellIf(exchange::magasatnyom(*m_enteredData, datum));
    } else if (exporting) {
        const QString datum2 = Text28->text() + u'.' + Combo4->currentText();
        const QString elpath = exchange::exportPath(m_program, Text17->text(), Text20->text());
        if (!talvironfloppy(datum, elpath, datum2, Check1->isChecked() ? QString() : Text33->text()))
            return;
    }

    SSFrame5->hide();
}

bool kezdo::talvironfloppy(const QString& datum, const QString& elpath, const QString& datum2,
                           const QString& Torzsszam)
{
    exchange::ExportRequest request;
    request.selection = Check1->isChecked() ? (exchange::singleMonth(Text28->text()) ? exchange::Selection::Month
                                                                                      : exchange::Selection::Range)
                                            : exchange::Selection::RegisterNumber;
    request.datum = datum;
    request.datum2 = datum2;
    request.registerNumber = Torzsszam;
    request.startYear = Text16->text();
    request.startMonth = Combo1->currentText();
    request.elpath = elpath;
    request.targetFolder = Text17->text();
    request.freeKb = szabadkb;
    request.workingFolder = QDir::currentPath();
    request.today = platform::shortDateText(platform::Clock::today());

    // The episode loop lets no events through: the progress frame is
    // painted at once, and only when its percentage moves.
    int shownPercent = -1;
    exchange::ExportProgress progress;
    progress.show = [this, &shownPercent](qint64 total) {
        SSFrame4->show();
        SSFrame4->raise();
        ProgressBar1->setRange(0, int(std::min<qint64>(total, INT_MAX)));
        ProgressBar1->setValue(0);
        Label9->setText(QStringLiteral("0"));
        Label10->setText(QString::number(total));
        Label11->clear();
        shownPercent = -1;
        SSFrame4->repaint();
    };
    progress.advance = [this, &shownPercent](qint64 done, qint64 total) {
        const int percent = exchange::progressPercent(done, total);
        if (percent == shownPercent && done != total)
            return;
        shownPercent = percent;
        ProgressBar1->setValue(int(std::min<qint64>(done, INT_MAX)));
        Label9->setText(QString::number(done));
        Label11->setText(QString::number(percent) + QStringLiteral(" %"));
        SSFrame4->repaint();
    };
    progress.hide = [this] { SSFrame4->hide(); };

    const auto institution = exchange::readInstitution(*m_enteredData);
    if (institution && exchange::talvironfloppy(m_program, *m_enteredData, *institution, request, progress).targetRefused)
        return false;

    // Whatever the outcome: the progress frame goes, the target rows return
    // to their list shape and the episodes to the whole table.
    SSFrame4->hide();
    Label17->setText(QStringLiteral("Törzsszám"));
    Label17->hide();
    Text17->clear();
    Text17->hide();
    Text17->setMaxLength(9);
    Label24->show();
    Text20->show();
    Data3->setRecordSource(kAllEpisodes);
    Data3->refresh();
    return true;
}
