#include "platform/ui/events.h"

#include "platform/ui/controls.h"
#include "platform/ui/dbcombo.h"
#include "platform/ui/dbgrid.h"
#include "platform/ui/maskedbox.h"
#include "platform/ui/msgbox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>

#include <deque>

namespace platform {

// ---------------------------------------------------------------- key codes

int legacyShift(Qt::KeyboardModifiers modifiers)
{
    int shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= 1;
    if (modifiers & Qt::ControlModifier)
        shift |= 2;
    if (modifiers & Qt::AltModifier)
        shift |= 4;
    return shift;
}

int legacyKeyCode(int qtKey)
{
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return 112 + (qtKey - Qt::Key_F1);
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey; // Qt uses the upper-case character code, as the old codes do
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    default: return 0;
    }
}

int legacyKeyAscii(const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Tab: return 9;
    default: break;
    }
    const QString text = event.text();
    if (text.size() != 1)
        return 0;
    const QChar c = text.at(0);
    if (!c.isPrint() && c.unicode() >= 32)
        return 0;
    return c.unicode();
}

// ------------------------------------------------------- queued focus events

namespace {

struct PendingFocusEvent {
    QPointer<QWidget> control;
    std::function<void()> handler;
    bool lost = false;
};

std::deque<PendingFocusEvent> g_pending;
bool g_scheduled = false;
bool g_running = false;
int g_handlerDepth = 0;
bool g_handlerMovedFocus = false;
bool g_runMovedFocus = false; // some handler of the current run moved the focus

void runPending()
{
    g_scheduled = false;
    if (g_running)
        return; // a handler's modal box is spinning the loop; the outer run goes on
    g_running = true;
    struct Guard { ~Guard() { g_running = false; } } guard;
    while (!g_pending.empty()) {
        PendingFocusEvent next = std::move(g_pending.front());
        g_pending.pop_front();
        if (!next.control || !next.handler)
            continue;
        g_handlerMovedFocus = false;
        {
            ++g_handlerDepth;
            struct Depth { ~Depth() { --g_handlerDepth; } } depth;
            next.handler();
        }
        if (g_handlerMovedFocus) {
            g_runMovedFocus = true;
            // The handler sent the focus somewhere on purpose (usually back to
            // its own field): the LostFocus events of the moves it overrode
            // must not run, or two invalid fields would bounce boxes forever;
            // nor the GotFocus of a control that no longer holds the focus.
            QWidget* focused = QApplication::focusWidget();
            std::erase_if(g_pending, [focused](const PendingFocusEvent& e) {
                return e.lost || !e.control || !focused
                    || (e.control != focused && !e.control->isAncestorOf(focused));
            });
        }
    }
}

void schedule()
{
    if (g_scheduled)
        return;
    g_scheduled = true;
    QTimer::singleShot(0, qApp, &runPending);
}

// The old platform ran LostFocus to its end before the control that took the
// focus saw anything. Here LostFocus waits in the queue, and input that
// arrives together with the focus move (a quick click whose press and release
// come at once, keys typed right after Tab) would reach the new control
// first, and its handlers would read what LostFocus had not yet put right.
// So the queue runs before every input event. True when its handlers showed
// a box or sent the focus elsewhere: the input was aimed at a state of the
// window that no longer holds, and is dropped, as the old platform dropped it.
bool settleBeforeInput()
{
    if (g_pending.empty() || g_running || g_handlerDepth > 0 || msgBoxOpen())
        return false;
    const int boxes = msgBoxesShown();
    g_runMovedFocus = false;
    runPending();
    return msgBoxesShown() != boxes || g_runMovedFocus;
}

bool isInputEvent(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::InputMethod:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}

// Sees every input event before any window or control does (installed once,
// by the first window's event layer).
class InputOrder : public QObject {
public:
    static void install()
    {
        static InputOrder* filter = nullptr;
        if (!filter) {
            filter = new InputOrder;
            qApp->installEventFilter(filter);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // At the widget, not at its native window: the press has moved the
        // focus by then, and the window's own bookkeeping of the pressed
        // button still sees the release.
        if (!isInputEvent(event->type()) || !watched->isWidgetType())
            return false;
        return settleBeforeInput();
    }

private:
    InputOrder() : QObject(qApp) {}
};

} // namespace

bool Events::inFocusHandler()
{
    return g_handlerDepth > 0;
}

void Events::flush()
{
    runPending();
}

// -------------------------------------------------------------------- Events

Events::Events(QWidget* window) : QObject(window), m_window(window)
{
    m_focusConnection = connect(qApp, &QApplication::focusChanged, this, &Events::focusMoved);
    InputOrder::install();
    guardTextBoxes();
    guardListBoxes();
}

Events::~Events()
{
    disconnect(m_focusConnection);
    if (m_preview)
        qApp->removeEventFilter(this);
}

Events::ControlHandlers& Events::handlersOf(QWidget* control)
{
    auto it = m_controls.find(control);
    if (it == m_controls.end()) {
        it = m_controls.insert(control, ControlHandlers{});
        if (control != m_window)
            control->installEventFilter(this);
        connect(control, &QObject::destroyed, this, [this](QObject* gone) {
            m_controls.remove(static_cast<QWidget*>(gone));
        });
    }
    return it.value();
}

QWidget* Events::registeredControlOf(QWidget* widget) const
{
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        if (w != m_window && m_controls.contains(w))
            return w;
        if (w->isWindow())
            break;
    }
    return nullptr;
}

void Events::onActivate(Handler handler)
{
    ActivationTracker::instance().setActivateHandler(m_window, std::move(handler));
}

void Events::onLostFocus(QWidget* control, Handler handler)
{
    handlersOf(control).lostFocus = std::move(handler);
}

void Events::onGotFocus(QWidget* control, Handler handler)
{
    handlersOf(control).gotFocus = std::move(handler);
}

void Events::onKeyPress(QWidget* control, KeyPressHandler handler)
{
    handlersOf(control).keyPress = std::move(handler);
}

void Events::onKeyDown(QWidget* control, KeyDownHandler handler)
{
    handlersOf(control).keyDown = std::move(handler);
    if (control == m_window && !m_preview) {
        // The form-level KeyDown sees every key of the window first.
        m_preview = true;
        qApp->installEventFilter(this);
    }
}

void Events::onChange(QWidget* control, Handler handler)
{
    if (!storeHandler(control, &ControlHandlers::change, std::move(handler)))
        return;
    const Handler run = runnerOf(control, &ControlHandlers::change);
    if (auto* box = qobject_cast<MaskEdBox*>(control))
        connect(box, &MaskEdBox::Change, this, run);
    else if (auto* combo = qobject_cast<DBCombo*>(control))
        connect(combo, &DBCombo::Change, this, run);
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        connect(edit, &QLineEdit::textChanged, this, run);
    else if (auto* cb = qobject_cast<QComboBox*>(control)) {
        if (cb->isEditable())
            connect(cb, &QComboBox::editTextChanged, this, run);
        else
            connect(cb, &QComboBox::currentTextChanged, this, run);
    } else if (auto* te = qobject_cast<QTextEdit*>(control))
        connect(te, &QTextEdit::textChanged, this, run);
    else if (auto* pe = qobject_cast<QPlainTextEdit*>(control))
        connect(pe, &QPlainTextEdit::textChanged, this, run);
}

void Events::onClick(QWidget* control, Handler handler)
{
    if (!storeHandler(control, &ControlHandlers::click, std::move(handler)))
        return;
    const Handler run = runnerOf(control, &ControlHandlers::click);
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        connect(button, &QAbstractButton::clicked, this, run);
    else if (auto* grid = qobject_cast<DBGrid*>(control))
        connect(grid, &DBGrid::Click, this, run);
    else if (auto* combo = qobject_cast<DBCombo*>(control))
        connect(combo, &DBCombo::Click, this, run);
    // Other widgets: a mouse release inside them (eventFilter).
}

void Events::onDblClick(QWidget* control, Handler handler)
{
    if (!storeHandler(control, &ControlHandlers::dblClick, std::move(handler)))
        return;
    if (auto* grid = qobject_cast<DBGrid*>(control))
        connect(grid, &DBGrid::DblClick, this, runnerOf(control, &ControlHandlers::dblClick));
}

bool Events::storeHandler(QWidget* control, Handler ControlHandlers::*kind, Handler handler)
{
    Handler& slot = handlersOf(control).*kind;
    const bool first = !slot;
    slot = std::move(handler);
    return first;
}

Events::Handler Events::runnerOf(QWidget* control, Handler ControlHandlers::*kind)
{
    const bool input = kind == &ControlHandlers::click || kind == &ControlHandlers::dblClick;
    return [this, control, kind, input] {
        // A click that the control reports by its own signal, after input
        // the filters did not see (a key that clicks a button), keeps the
        // order too.
        if (input && settleBeforeInput())
            return;
        auto it = m_controls.constFind(control);
        // A copy: the handler may replace itself while it runs.
        if (it != m_controls.constEnd() && (*it).*kind) {
            Handler copy = (*it).*kind;
            copy();
        }
    };
}

void Events::queueFocusEvent(QWidget* control, bool lost)
{
    const ControlHandlers& h = m_controls.value(control);
    const Handler& handler = lost ? h.lostFocus : h.gotFocus;
    if (!handler)
        return;
    g_pending.push_back({QPointer<QWidget>(control), handler, lost});
    schedule();
}

void Events::focusMoved(QWidget* from, QWidget* to)
{
    if (!m_window)
        return;
    const bool toHere = to && to->window() == m_window;
    const bool fromHere = from && from->window() == m_window;
    if (!toHere && !fromHere)
        return;
    if (toHere && g_handlerDepth > 0)
        g_handlerMovedFocus = true;

    QWidget* fromControl = fromHere ? registeredControlOf(from) : nullptr;
    QWidget* toControl = toHere ? registeredControlOf(to) : nullptr;
    QWidget* lastControl = m_lastFocused ? registeredControlOf(m_lastFocused) : nullptr;

    // Only a move inside this window is a LostFocus; a box, another window
    // or another application taking the focus is not.
    if (fromControl && toHere && fromControl != toControl && g_handlerDepth == 0)
        queueFocusEvent(fromControl, true);
    // A box or another application handing the focus back to the control
    // that had it is no GotFocus either.
    if (toControl && toControl != lastControl && !(fromControl == toControl))
        queueFocusEvent(toControl, false);
    if (toHere)
        m_lastFocused = to;
}

bool Events::handleKey(QWidget* control, QKeyEvent* event, bool preview)
{
    auto it = m_controls.constFind(control);
    if (it == m_controls.constEnd())
        return false;
    const KeyDownHandler keyDown = it->keyDown;
    const KeyPressHandler keyPress = preview ? KeyPressHandler{} : it->keyPress;
    QPointer<QWidget> guard(control);

    if (keyDown) {
        int keyCode = legacyKeyCode(event->key());
        if (keyCode != 0) {
            keyDown(keyCode, legacyShift(event->modifiers()));
            if (keyCode == 0 || !guard)
                return true;
        }
    }
    if (keyPress) {
        const int original = legacyKeyAscii(*event);
        int keyAscii = original;
        if (keyAscii != 0) {
            keyPress(keyAscii);
            if (keyAscii == 0 || !guard)
                return true;
            if (keyAscii != original) {
                // The handler changed the character: deliver the new one.
                const QChar c(keyAscii);
                QKeyEvent replaced(QEvent::KeyPress, keyAscii == 13 ? int(Qt::Key_Return) : int(c.toUpper().unicode()),
                                   event->modifiers(), QString(c));
                m_resending = true;
                QCoreApplication::sendEvent(control, &replaced);
                m_resending = false;
                return true;
            }
        }
    }
    return false;
}

bool Events::eventFilter(QObject* watched, QEvent* event)
{
    if (m_resending)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget)
        return false;
    // The form-level KeyDown filter may see a key before InputOrder does.
    if (isInputEvent(event->type()) && settleBeforeInput())
        return true;

    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool isControl = widget != m_window && m_controls.contains(widget);
        if (event == m_seenKey) {
            // Second delivery of a key already handled through the
            // application filter, now through the control's own filter.
            m_seenKey = nullptr;
            return false;
        }
        if (m_preview && m_window && widget->window() == m_window) {
            // Application-wide filter: the form-level KeyDown sees the key
            // once, at the widget that has the focus (or the window itself),
            // and then the control's own handlers run.
            // A registered control gets the key through both filters; the
            // first delivery does the work.
            if (!isControl) {
                QWidget* target = QApplication::focusWidget();
                if (!target || target->window() != m_window)
                    target = m_window;
                if (widget != target)
                    return false;
            }
            bool swallowed = handleKey(m_window, key, true);
            if (!swallowed && isControl)
                swallowed = handleKey(widget, key, false);
            if (!swallowed && isControl)
                m_seenKey = event;
            return swallowed;
        }
        return isControl ? handleKey(widget, key, false) : false;
    }

    if (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::MouseButtonDblClick) {
        auto it = m_controls.constFind(widget);
        if (it == m_controls.constEnd() || widget == m_window)
            return false;
        if (qobject_cast<QAbstractButton*>(widget) || qobject_cast<DBGrid*>(widget) || qobject_cast<DBCombo*>(widget))
            return false; // these report through their own signals
        if (event == m_seenMouse) {
            m_seenMouse = nullptr;
            return false;
        }
        if (m_preview)
            m_seenMouse = event; // the control's own filter sees it next
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (!widget->rect().contains(mouse->position().toPoint()))
            return false;
        const Handler h = event->type() == QEvent::MouseButtonRelease ? it->click : it->dblClick;
        if (h)
            h();
    }
    return false;
}

// --------------------------------------------------------- ActivationTracker

ActivationTracker& ActivationTracker::instance()
{
    static ActivationTracker* tracker = new ActivationTracker;
    return *tracker;
}

ActivationTracker::ActivationTracker() : QObject(qApp)
{
    qApp->installEventFilter(this);
}

bool ActivationTracker::isProgramWindow(QWidget* window)
{
    if (!window || !window->isWindow())
        return false;
    if (qobject_cast<QMessageBox*>(window))
        return false;
    switch (window->windowType()) {
    case Qt::Popup:
    case Qt::ToolTip:
    case Qt::Desktop:
    case Qt::SplashScreen:
        return false;
    default:
        return true;
    }
}

void ActivationTracker::windowActivated(QWidget* window)
{
    // No window of ours (another application in front): remember nothing, so
    // that coming back to the same window is no activation.
    if (!window || msgBoxOpen() || !isProgramWindow(window))
        return;
    if (window == m_last)
        return;
    m_last = window;
    const std::function<void()> handler = m_handlers.value(window);
    if (handler)
        handler();
}

void ActivationTracker::setActivateHandler(QWidget* window, std::function<void()> handler)
{
    if (!m_handlers.contains(window)) {
        connect(window, &QObject::destroyed, this, [this](QObject* gone) {
            m_handlers.remove(static_cast<QWidget*>(gone));
        });
    }
    m_handlers.insert(window, std::move(handler));
}

void ActivationTracker::removeActivateHandler(QWidget* window)
{
    m_handlers.remove(window);
}

void ActivationTracker::reset()
{
    m_last = nullptr;
}

bool ActivationTracker::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::WindowActivate) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->isWindow() && isProgramWindow(widget) && !msgBoxOpen()) {
            // After the activation has settled, so that the handler may show
            // boxes and move windows freely.
            QPointer<QWidget> p(widget);
            QTimer::singleShot(0, this, [this, p] {
                if (p && p->isVisible())
                    windowActivated(p);
            });
        }
    }
    return false;
}

} // namespace platform
