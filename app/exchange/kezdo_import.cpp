// The main window's import of the monthly inpatient-report file: the import
// frame SSFrame3 ("1. Importálás", toolbar button 2), its chooser button,
// and the conversion run behind the progress frame SSFrame4. The rules live
// in tlvrec / tlvimport; these handlers read the controls, run them and show
// what they return.
#include "app/common/kezdo.h"

#include "app/common/programinfo.h"
#include "app/exchange/openform.h"
#include "app/exchange/tlvimport.h"
#include "platform/db/dataconnection.h"
#include "platform/ui/controls.h"
#include "platform/ui/msgbox.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QToolBar>

namespace {

// How long the run may go without letting the window repaint and answer.
constexpr int kYieldMs = 40;

bool g_importRunning = false;

// While a run lasts, closing the main window stops it instead: the run
// drops what it converted and the window closes once the run has unwound.
class CloseDuringImport : public QObject {
public:
    explicit CloseDuringImport(QWidget* window) : m_window(window) { window->installEventFilter(this); }
    ~CloseDuringImport() override { m_window->removeEventFilter(this); }
    bool closeRequested() const { return m_requested; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_window && event->type() == QEvent::Close) {
            m_requested = true;
            event->ignore();
            return true;
        }
        return false;
    }

private:
    QWidget* m_window;
    bool m_requested = false;
};

// What the run turns off and gives back as it found it.
struct WindowState {
    bool ad, list, talviron, toolbar, lev, entry;
};

void showBoxes(const QList<episode::Message>& boxes)
{
    for (const episode::Message& m : boxes)
        platform::msgBox(m.text, m.style, m.title);
}

} // namespace

void kezdo::connectImportHandlers()
{
    ev.onClick(SSCommand11, [this] { SSCommand11_Click(); });
    ev.onClick(SSCommand12, [this] { SSCommand12_Click(); });
    ev.onClick(SSCommand13, [this] { SSCommand13_Click(); });
}

void kezdo::kesz_Click()
{
    if (g_importRunning)
        return;
    SSCheck3->setChecked(true);
    SSCheck1->setChecked(false);
    SSFrame3->show();
    SSFrame3->raise();
    mentettkonyvtar = QDir::currentPath();
}

void kezdo::SSCommand11_Click()
{
    SSCommand11->setEnabled(false);
    SSCommand12->setEnabled(false);
    SSCommand13->setEnabled(false);
    setEnabled(false);
    openform::open(*this, openform::Mode::File, Text13);
}

void kezdo::SSCommand13_Click()
{
    SSFrame3->hide();
    setEnabled(true);
}

void kezdo::SSCommand12_Click()
{
    if (g_importRunning)
        return;
    const QString path = Text13->text();
    exchange::TlvImport run(path, program().importRules);
    auto restoreFolder = [this] {
        if (!mentettkonyvtar.isEmpty())
            QDir::setCurrent(mentettkonyvtar);
    };
    // A path that names nothing readable, or a file without one complete
    // record: the clerk is told and the frame stays for another path.
    if (!run.open()) {
        showBoxes(exchange::tlvImportMessages(run.outcome(), path));
        restoreFolder();
        return;
    }

    g_importRunning = true;
    const WindowState before{adAction->isEnabled(), listAction->isEnabled(), talviron->isEnabled(),
                             Toolbar1->isEnabled(), lev->menuAction()->isEnabled(), SSFrame1->isEnabled()};
    setMenusEnabled(false);
    // Neither a second run nor a save into the converted records may start
    // while this one holds them.
    lev->menuAction()->setEnabled(false);
    SSFrame1->setEnabled(false);

    const qint64 count = run.shape().recordCount;
    aktpoz = 1;
    rekszam = int(count);
    Label8->setText(QStringLiteral(" / ") + QString::number(count));
    SSFrame3->hide();
    SSFrame4->show();
    SSFrame4->raise();
    Label9->setText(QStringLiteral("0"));
    Label10->setText(QString::number(count));
    Label11->setText(exchange::tlvPercentText(0, count));
    ProgressBar1->setRange(0, int(count));
    ProgressBar1->setValue(0);

    auto showProgress = [this, count](qint64 position) {
        ProgressBar1->setValue(int(position));
        Label9->setText(QString::number(position));
        Label11->setText(exchange::tlvPercentText(position, count));
    };

    exchange::TlvImportOutcome outcome;
    {
        CloseDuringImport closing(this);
        QElapsedTimer sinceYield;
        sinceYield.start();
        bool first = true;
        auto step = [&](qint64 position) {
            aktpoz = int(position);
            if (first || sinceYield.elapsed() >= kYieldMs) {
                first = false;
                showProgress(position);
                QCoreApplication::processEvents();
                sinceYield.restart();
            }
            return !closing.closeRequested();
        };
        if (auto db = convertedData()) {
            outcome = run.run(*db, step);
        } else {
            outcome.status = exchange::TlvImportOutcome::Status::DatabaseError;
            outcome.databaseError = program().convertedFile;
        }
        const bool closeRequested = closing.closeRequested();
        if (closeRequested)
            outcome.status = exchange::TlvImportOutcome::Status::Stopped;
    }
    const bool done = outcome.status == exchange::TlvImportOutcome::Status::Done;
    showProgress(outcome.read);
    if (done) {
        aktpoz = rekszam + 1;
        Data1->refresh();
    }
    restoreFolder();
    showBoxes(exchange::tlvImportMessages(outcome, path));

    SSFrame4->hide();
    adAction->setEnabled(before.ad);
    listAction->setEnabled(before.list);
    talviron->setEnabled(before.talviron);
    Toolbar1->setEnabled(before.toolbar);
    lev->menuAction()->setEnabled(before.lev);
    SSFrame1->setEnabled(before.entry);
    g_importRunning = false;

    if (outcome.status == exchange::TlvImportOutcome::Status::Stopped) {
        // The clerk closed the window during the run: nothing was kept.
        close();
        return;
    }
    setEnabled(true);
    // A run that kept nothing gives the import frame back for another try.
    if (!done)
        SSFrame3->show();
}
