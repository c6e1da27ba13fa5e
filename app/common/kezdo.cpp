// The main window's shell: activation (single instance, centring, banner,
// regional-format check), menus and toolbar, the two ways to leave, the
// certificate button and the coming back of the window after a secondary
// window.
#include "app/common/kezdo.h"

#include "app/common/dataaction.h"

#include "app/common/episodestore.h"
#include "app/common/module1.h"
#include "app/common/programinfo.h"
#include "app/entry/slots.h"
#include "app/windows/nyomtatmodul.h"
#include "app/ward/wardmain.h"
#include "platform/db/dataconnection.h"
#include "platform/sys/regional.h"
#include "platform/sys/singleinstance.h"
#include "platform/ui/controls.h"
#include "platform/ui/legacyform.h"
#include "platform/ui/maskedbox.h"
#include "platform/ui/msgbox.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QTimer>
#include <QToolBar>

#include <exception>
#include <functional>

void BannerCanvas::drawFrame(const QPixmap& banner, int width)
{
    if (m_canvas.size() != size())
        m_canvas = QPixmap(size());
    QPainter p(&m_canvas);
    p.drawPixmap(QRect(0, 0, m_canvas.width(), m_canvas.height()), banner, QRect(0, 0, width, banner.height()));
    p.end();
    ++m_frames;
    repaint();
}

void BannerCanvas::paintEvent(QPaintEvent*)
{
    if (m_canvas.isNull())
        return;
    QPainter p(this);
    p.drawPixmap(0, 0, m_canvas);
}

kezdo::kezdo(const ProgramInfo& info, QWidget* parent)
    : QMainWindow(parent), m_program(info)
{
    setObjectName(QStringLiteral("kezdo"));
    anotherInstanceRunning = [name = info.name] { return platform::anotherInstanceRunning(name); };
    printCertificate = [this] { tanusitvanynyom(*this); };

    if (info.isWard())
        ward = std::make_unique<WardMain>(*this);
    // The first screen and the data; the frames wait until they are needed.
    setupUi();
    setupData();
    connectShellHandlers();
}

namespace {

// Tells whenever a frame is shown or hidden, however that came about.
class FrameVisibilityWatch : public QObject {
public:
    using Handler = std::function<void()>;
    FrameVisibilityWatch(Handler handler, QObject* parent) : QObject(parent), m_handler(std::move(handler)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        // Sent once the frame counts as shown or hidden.
        if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)
            m_handler();
        return false;
    }

private:
    Handler m_handler;
};

} // namespace

kezdo::~kezdo()
{
    // Nothing is built for a window that goes.
    m_destroying = true;
    platform::ActivationTracker::instance().removeActivateHandler(this);
}

void kezdo::ensureFrames()
{
    if (m_framesBuilt || m_destroying)
        return;
    // Set first: the building reaches controls of the other program, which
    // stay null, through their members.
    m_framesBuilt = true;
    setupEntryFrame();
    setupOtherFrames();
    auto* watch = new FrameVisibilityWatch([this] { bannerFollowsFrames(); }, this);
    for (platform::SSFrame* frame : centralWidget()->findChildren<platform::SSFrame*>(Qt::FindDirectChildrenOnly))
        frame->installEventFilter(watch);
    // A file that fails while the grids and lists are bound to it (locked
    // beyond the busy timeout) is told to whoever reached the frames, once
    // every control and handler is in place.
    std::exception_ptr bindFailure;
    try {
        bindControls();
        m_controlsBound = true;
    } catch (const platform::db::DbError&) {
        bindFailure = std::current_exception();
    }
    connectEpisodeHandlers();
    connectItemHandlers();
    connectImportHandlers();
    connectExportHandlers();
    ev.onClick(m_certificateButton, [this] { SSCommand33_Click(); });
    if (ward)
        ward->connectHandlers();
    // What the activations so far did to the frames, they find done.
    if (m_activations > 0) {
        SSPanel22->setCaption(QString());
        if (ward)
            ward->Form_Activate();
    }
    if (bindFailure)
        std::rethrow_exception(bindFailure);
}

void kezdo::bindRefusedControls()
{
    if (!m_framesBuilt || m_controlsBound || m_destroying)
        return;
    bindControls();
    m_controlsBound = true;
}

void ensureKezdoFrames(kezdo* window)
{
    window->ensureFrames();
}

QLineEdit* kezdo::slotCode(int k) const
{
    // The ward form has no slots; its boxes of the same names are others.
    if (ward || k < 0 || k >= entry::kSlotCount)
        return nullptr;
    const_cast<kezdo*>(this)->ensureFrames();
    return findChild<QLineEdit*>(QString::fromLatin1(entry::slotControls()[k].codeBox));
}

platform::MaskEdBox* kezdo::slotDuration(int k) const
{
    if (ward || k < 0 || k >= entry::kSlotCount)
        return nullptr;
    const_cast<kezdo*>(this)->ensureFrames();
    return findChild<platform::MaskEdBox*>(QString::fromLatin1(entry::slotControls()[k].durationBox));
}

void kezdo::connectShellHandlers()
{
    ev.onActivate([this] { Form_Activate(); });

    // Every menu item works from the start; the handlers of the modes build
    // the frames as they reach them.
    // A file held by another program as the frames were built left their
    // grids and lists unbound: an item that opens a frame binds them first,
    // and a refusal stops the item before it starts. The refusal is told
    // here rather than thrown back through the action: Qt's own code between
    // the action and the program does not unwind.
    auto opensFrame = [this](QAction* action, void (kezdo::*handler)()) {
        connect(action, &QAction::triggered, this, [this, handler] {
            runDataAction([this, handler] {
                bindRefusedControls();
                (this->*handler)();
            });
        });
    };
    opensFrame(fel, &kezdo::fel_Click);
    opensFrame(kesz, &kezdo::kesz_Click);
    opensFrame(feldolg, &kezdo::feldolg_Click);
    opensFrame(tete, &kezdo::tete_Click);
    connect(mind, &QAction::triggered, this, [this] { mind_Click(); });
    connect(konatt, &QAction::triggered, this, [this] { konatt_Click(); });
    connect(okodkarb, &QAction::triggered, this, [this] { okodkarb_Click(); });
    opensFrame(alapad, &kezdo::alapad_Click);
    connect(kil, &QAction::triggered, this, [this] { kil_Click(); });
    opensFrame(elso, &kezdo::elso_Click);
    opensFrame(mas, &kezdo::mas_Click);
    opensFrame(har, &kezdo::har_Click);
    opensFrame(talviron, &kezdo::talviron_Click);
    connect(nevj, &QAction::triggered, this, [this] { nevj_Click(); });
    for (int i = 0; i < toolbarButtons.size(); ++i)
        connect(toolbarButtons[i], &QAction::triggered, this, [this, i] { Toolbar1_ButtonClick(i + 1); });
}

// ---- activation ----

void kezdo::Form_Activate()
{
    ++m_activations;
    try {
        // 1. A second instance of the program is refused, whatever the answer.
        if (anotherInstanceRunning && anotherInstanceRunning()) {
            platform::msgBox(QStringLiteral("A program már fut egy példányban!"),
                             platform::Critical | platform::YesNo, QStringLiteral("Figyelmeztetés"));
            EndProgram(0);
            return;
        }
        // 2. Centre.
        platform::centreWindow(this);
        // 3.-5. Banner.
        playBanner();
        // 6. An identifier shown before another window was opened is stale.
        // Frames not built yet get it empty when they are.
        if (m_framesBuilt)
            SSPanel22->setCaption(QString());
        // 7. The date and time forms every stored field relies on.
        if (!checkRegionalFormats()) {
            formatFailure();
            return;
        }
        if (ward && m_framesBuilt)
            ward->Form_Activate();
    } catch (...) {
        formatFailure();
    }
}

void kezdo::playBanner()
{
    // Both pictures lie under the entry frame and the other frames, and stay
    // hidden while one of them is up.
    m_bannerStarted = true;
    bannerFollowsFrames();
    QCoreApplication::processEvents();
    // The banner is drawn on the first activation, after the window is
    // on the screen, and kept.
    if (Picture1->pixmap().isNull())
        Picture1->setPixmap(drawBannerPicture(m_program.caption));
    const QPixmap banner = Picture1->pixmap();
    if (!banner.isNull()) {
        // 37 frames: t = 50, 70, ..., 770; no events run between them.
        for (int t = 50; t <= 771; t += 20)
            Picture2->drawFrame(banner, t);
    }
    m_bannerPlayed = true;
    bannerFollowsFrames();
}

void kezdo::bannerFollowsFrames()
{
    bool frameUp = false;
    if (m_framesBuilt)
        for (const platform::SSFrame* frame :
             centralWidget()->findChildren<platform::SSFrame*>(Qt::FindDirectChildrenOnly))
            frameUp = frameUp || !frame->isHidden();
    Picture2->setVisible(m_bannerStarted && !frameUp);
    Picture1->setVisible(m_bannerPlayed && !frameUp);
}

bool kezdo::checkRegionalFormats()
{
    const QDateTime now = platform::Clock::now();
    const QString dateText = platform::shortDateText(now.date());
    const QString timeText = platform::timeText(now.time());
    const bool dateTaken = MaskEdBox5->setText(dateText);
    const bool timeTaken = MaskEdBox6->setText(timeText);
    // The boxes tolerate blanks in digit positions (an unfilled box) and a
    // date without its closing point; the regional forms must be complete.
    return dateTaken && timeTaken && platform::regionalFormatsFit(dateText, timeText);
}

void kezdo::formatFailure()
{
    platform::msgBox(m_program.formatMessage, platform::Critical, QStringLiteral("Figyelmeztetés"));
    UnloadAllForms();
}

// ---- closing ----

void kezdo::Form_QueryUnload(int& cancel, int unloadMode)
{
    // Closing by the title-bar close box is never refused and asks nothing.
    Q_UNUSED(cancel);
    Q_UNUSED(unloadMode);
}

void kezdo::closeEvent(QCloseEvent* event)
{
    int cancel = 0;
    Form_QueryUnload(cancel, 0);
    if (cancel) {
        event->ignore();
        return;
    }
    // Closing is one more road away from the record on show: the items of an
    // episode never stored would otherwise wait under its identifier for the
    // next episode typed in. The close goes on even if they cannot be removed.
    if (m_framesBuilt && !SSFrame1->isHidden())
        forgetUnsavedItems();
    m_closed = true;
    event->accept();
}

void kezdo::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Ask for the focus when shown: without a window manager (a bare virtual
    // display) nobody else makes the window active, and its activation is
    // where the start-up checks run.
    QTimer::singleShot(0, this, [this] {
        if (isVisible() && !isActiveWindow())
            activateWindow();
    });
}

void kezdo::comeBack()
{
    if (m_closed) {
        // The clerk closed the main window while the other window was open:
        // it must not come back, nor may the program go on without a window.
        bool anyVisible = false;
        for (QWidget* w : QApplication::topLevelWidgets())
            anyVisible = anyVisible || (w->isWindow() && w->isVisible() && w != this);
        if (!anyVisible)
            QCoreApplication::quit();
        return;
    }
    setEnabled(true);
    show();
    raise();
    activateWindow();
}

// ---- menus and toolbar ----

void kezdo::setMenusEnabled(bool enabled)
{
    adAction->setEnabled(enabled);
    listAction->setEnabled(enabled);
    talviron->setEnabled(enabled);
    Toolbar1->setEnabled(enabled);
}

void kezdo::kil_Click()
{
    platform::msgBox(QStringLiteral("Bye,Bye"), platform::OkOnly);
    EndProgram(0);
}

void kezdo::Toolbar1_ButtonClick(int index)
{
    switch (index) {
    case 1:
        fel->trigger(); // each program's own manual-entry set-up
        break;
    case 2:
        kesz->trigger();
        break;
    case 3:
        showWardCodes(); // the main window stays enabled
        break;
    case 4:
        talviron->trigger();
        break;
    case 5:
        nevj_Click();
        break;
    case 6:
        if (platform::msgBox(QStringLiteral("Biztos ki akar lépni?"), platform::Question | platform::YesNo,
                             QStringLiteral("Kérdés"))
            == platform::MsgResult::Yes) {
            UnloadAllForms();
            EndProgram(0);
        }
        break;
    default:
        break;
    }
}

void kezdo::SSCommand33_Click()
{
    // Only a stored episode has a certificate, printed with its stored
    // items: the mark on the form alone may be left from another episode.
    bool number = false;
    const qint64 id = Label1->text().trimmed().toLongLong(&number);
    if (SSCheck1->isChecked() && number
        && episode::EpisodeStore(enteredData(), nullptr, program()).episodeExists(id)) {
        if (printCertificate)
            printCertificate();
        return;
    }
    platform::msgBox(QStringLiteral("Még nem került az adatlap felvételre!Nem lehet nyomtatni!"), platform::Critical,
                     QStringLiteral("Figyelmezetetés"));
}
