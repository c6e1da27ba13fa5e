// The old platform's control and window events, in one place.
//
// How a window uses it:
//
//     class kezdo : public QMainWindow {
//         platform::Events ev{this};          // one per window
//         ...
//         ev.onActivate([this] { Form_Activate(); });
//         ev.onLostFocus(Text4, [this] { Text4_LostFocus(); });
//         ev.onKeyPress(Text12, [this](int& keyAscii) { Text12_KeyPress(keyAscii); });
//         ev.onKeyDown(Text1, [this](int& keyCode, int shift) { Text1_KeyDown(keyCode, shift); });
//         ev.onChange(MaskEdBox19, [this] { MaskEdBox19_Change(); });
//         ev.onClick(SSCommand3, [this] { SSCommand3_Click(); });
//     }
//
// Activate: runs when the window becomes the program's active window after
//   another window of the program was active, and on first show. A message
//   box of ours closing is not a window switch, nor is coming back from
//   another application. See ActivationTracker.
// LostFocus: runs only when the focus moves from the control to another
//   control of the SAME window (not to a message box, another window or
//   another application). It is queued and runs after the focus move has
//   completed, so the handler may show a box and send the focus back with
//   setFocus(). Focus moves made while a LostFocus handler runs raise no
//   further LostFocus, and a handler that moves the focus drops LostFocus
//   events still waiting: two invalid fields can never bounce boxes back and
//   forth.
// GotFocus: queued likewise; runs when the control receives the focus from
//   another place in the window (not when a box or another application gives
//   it back).
// Change: MaskEdBox::Change, QLineEdit::textChanged, QComboBox::editTextChanged
//   (editable) or currentTextChanged, DBCombo::Change. All of them fire on
//   text set by code as well as on typing.
// KeyDown(keyCode, shift): old key codes (legacyKeyCode); runs before
//   KeyPress. Setting keyCode to 0 swallows the key.
// KeyPress(keyAscii): character code of the key (Enter 13, Backspace 8,
//   Escape 27); only for keys that produce a character. Setting keyAscii to 0
//   swallows the key, another value replaces the typed character.
//   Registering KeyDown for the window itself previews every key of the window
//   before its controls (the old form-level KeyDown).
// Click: QAbstractButton::clicked, DBGrid::Click, DBCombo::Click (the area
//   argument is dropped; connect to DBCombo::Click directly to read it),
//   QAction::triggered is not covered: connect it directly.
// DblClick: DBGrid::DblClick, otherwise a mouse double-click on the control.
//
// Input (a click, a key) that arrives while LostFocus and GotFocus handlers
// still wait in the queue runs them first, and is dropped when they showed a
// box or moved the focus. The first event layer also puts the code-page rule
// on every text box of the program (guardTextBoxes in controls.h) and the
// wheel rule on every list box (guardListBoxes in dbcombo.h).
#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

class QKeyEvent;

namespace platform {

// Shift state of the old key events: 1 Shift, 2 Ctrl, 4 Alt, combined.
int legacyShift(Qt::KeyboardModifiers modifiers);
// Old key code of a Qt key: letters and digits as their upper-case character,
// F1..F12 = 112..123, Enter 13, Escape 27, Backspace 8, Tab 9, Space 32,
// PageUp 33, PageDown 34, End 35, Home 36, Left 37, Up 38, Right 39, Down 40,
// Insert 45, Delete 46, Shift 16, Ctrl 17, Alt 18; 0 when it has none.
int legacyKeyCode(int qtKey);
// Character code of a key press: Enter 13, Backspace 8, Escape 27, Tab 9,
// otherwise the typed character's code; 0 when the key types nothing.
int legacyKeyAscii(const QKeyEvent& event);

class Events : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void()>;
    using KeyPressHandler = std::function<void(int& keyAscii)>;
    using KeyDownHandler = std::function<void(int& keyCode, int shift)>;

    // The window's event layer; a child of the window.
    explicit Events(QWidget* window);
    ~Events() override;

    QWidget* window() const { return m_window; }

    void onActivate(Handler handler);
    void onLostFocus(QWidget* control, Handler handler);
    void onGotFocus(QWidget* control, Handler handler);
    void onKeyPress(QWidget* control, KeyPressHandler handler);
    void onKeyDown(QWidget* control, KeyDownHandler handler); // control may be window()
    void onChange(QWidget* control, Handler handler);
    void onClick(QWidget* control, Handler handler);
    void onDblClick(QWidget* control, Handler handler);

    // The focus bookkeeping entry point; the application's focusChanged
    // signal calls it, and tests may call it to simulate a move.
    void focusMoved(QWidget* from, QWidget* to);

    // True while a LostFocus or GotFocus handler of any window runs.
    static bool inFocusHandler();
    // Runs queued LostFocus/GotFocus handlers now (tests; the event loop does
    // it by itself).
    static void flush();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct ControlHandlers {
        Handler lostFocus, gotFocus, change, click, dblClick;
        KeyPressHandler keyPress;
        KeyDownHandler keyDown;
    };
    ControlHandlers& handlersOf(QWidget* control);
    // Stores a Change, Click or DblClick handler; true when it is the
    // control's first of that kind, whose signal is then connected once.
    bool storeHandler(QWidget* control, Handler ControlHandlers::*kind, Handler handler);
    // Calls the control's current handler of that kind when its signal fires.
    Handler runnerOf(QWidget* control, Handler ControlHandlers::*kind);
    QWidget* registeredControlOf(QWidget* widget) const;
    bool handleKey(QWidget* control, QKeyEvent* event, bool preview);
    void queueFocusEvent(QWidget* control, bool lost);

    QPointer<QWidget> m_window;
    QHash<QWidget*, ControlHandlers> m_controls;
    QPointer<QWidget> m_lastFocused;
    bool m_resending = false;
    bool m_preview = false;       // a form-level KeyDown is registered
    QEvent* m_seenKey = nullptr;  // key handled via the application filter
    QEvent* m_seenMouse = nullptr;
    QMetaObject::Connection m_focusConnection;
};

// Process-wide record of which top-level window of the program was active
// last, so that an activation is told apart from a box closing or a return
// from another application.
class ActivationTracker : public QObject {
    Q_OBJECT
public:
    static ActivationTracker& instance();

    // Called with the window that became active (nullptr: no window of ours).
    // The real path (QEvent::WindowActivate seen by an application filter)
    // calls this same function. Runs the Activate handler synchronously when
    // the window differs from the program window active before it.
    void windowActivated(QWidget* window);

    void setActivateHandler(QWidget* window, std::function<void()> handler);
    void removeActivateHandler(QWidget* window);

    QWidget* lastActive() const { return m_last; }
    // Forgets the last active window (tests start from a clean state).
    void reset();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ActivationTracker();
    static bool isProgramWindow(QWidget* window);

    QPointer<QWidget> m_last;
    QHash<QWidget*, std::function<void()>> m_handlers;
};

} // namespace platform
