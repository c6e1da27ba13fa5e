#include "platform/ui/events.h"
#include "platform/ui/maskedbox.h"
#include "tests/support/qtprinters.h"
#include "tests/support/quickinput.h"
#include "tests/support/scriptedboxes.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using platform::Events;

namespace {

// A window with two text boxes and a button, shown and made active.
struct Window {
    QWidget w;
    QLineEdit* text1;
    QLineEdit* text2;
    QPushButton* button;
    Events ev{&w};

    Window()
    {
        auto* layout = new QVBoxLayout(&w);
        layout->addWidget(text1 = new QLineEdit);
        layout->addWidget(text2 = new QLineEdit);
        layout->addWidget(button = new QPushButton("OK"));
        text1->setObjectName("Text1");
        text2->setObjectName("Text2");
        w.show();
        w.activateWindow();
        QApplication::setActiveWindow(&w);
        QCoreApplication::processEvents();
    }
};

void focus(QWidget* w)
{
    w->setFocus(Qt::OtherFocusReason);
}

void settle()
{
    QCoreApplication::processEvents();
    Events::flush();
}

bool sendKey(QWidget* w, int key, const QString& text = {}, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QKeyEvent e(QEvent::KeyPress, key, mods, text);
    QCoreApplication::sendEvent(w, &e);
    return e.isAccepted();
}

} // namespace

TEST(KeyCodes, qt_keys_map_to_the_old_key_codes)
{
    const std::pair<int, int> cases[] = {
        {Qt::Key_F1, 112}, {Qt::Key_F8, 119}, {Qt::Key_F10, 121}, {Qt::Key_F12, 123},
        {Qt::Key_Return, 13}, {Qt::Key_Enter, 13}, {Qt::Key_Escape, 27}, {Qt::Key_Delete, 46},
        {Qt::Key_Left, 37}, {Qt::Key_Up, 38}, {Qt::Key_Right, 39}, {Qt::Key_Down, 40},
        {Qt::Key_A, 65}, {Qt::Key_Z, 90}, {Qt::Key_0, 48}, {Qt::Key_9, 57}, {Qt::Key_Backspace, 8},
        {Qt::Key_Tab, 9}, {Qt::Key_Home, 36}, {Qt::Key_PageDown, 34}, {Qt::Key_F13, 0}, {Qt::Key_Print, 0},
    };
    for (auto [qt, old] : cases)
        EXPECT_EQ(platform::legacyKeyCode(qt), old) << std::hex << qt;
    EXPECT_EQ(platform::legacyShift(Qt::ShiftModifier | Qt::AltModifier), 5);
    EXPECT_EQ(platform::legacyShift(Qt::ControlModifier), 2);
    EXPECT_EQ(platform::legacyShift(Qt::KeypadModifier), 0);
}

TEST(KeyEvents, keypress_gets_character_codes_and_can_swallow_or_replace)
{
    Window win;
    QList<int> seen;
    win.ev.onKeyPress(win.text1, [&](int& keyAscii) {
        seen << keyAscii;
        if (keyAscii == 'x')
            keyAscii = 0;
        else if (keyAscii == 'a')
            keyAscii = 'B';
    });
    focus(win.text1);
    sendKey(win.text1, Qt::Key_1, "1");
    sendKey(win.text1, Qt::Key_X, "x");
    sendKey(win.text1, Qt::Key_A, "a");
    sendKey(win.text1, Qt::Key_Return, "\r");
    sendKey(win.text1, Qt::Key_F1); // types nothing: no KeyPress
    EXPECT_EQ(seen, (QList<int>{'1', 'x', 'a', 13}));
    EXPECT_EQ(win.text1->text(), "1B");
}

TEST(KeyEvents, keydown_runs_first_and_zero_swallows_the_key)
{
    Window win;
    QStringList order;
    win.ev.onKeyDown(win.text1, [&](int& keyCode, int shift) {
        order << QString("down %1/%2").arg(keyCode).arg(shift);
        if (keyCode == 'Q')
            keyCode = 0;
    });
    win.ev.onKeyPress(win.text1, [&](int& keyAscii) { order << QString("press %1").arg(keyAscii); });
    sendKey(win.text1, Qt::Key_W, "W", Qt::ShiftModifier);
    sendKey(win.text1, Qt::Key_Q, "q");
    sendKey(win.text1, Qt::Key_F1);
    EXPECT_EQ(order, (QStringList{"down 87/1", "press 87", "down 81/0", "down 112/0"}));
    EXPECT_EQ(win.text1->text(), "W");
}

TEST(KeyEvents, form_level_keydown_previews_each_key_once_before_the_control)
{
    Window win;
    QStringList order;
    win.ev.onKeyDown(&win.w, [&](int& keyCode, int) {
        order << QString("form %1").arg(keyCode);
        if (keyCode == 115) // F4
            keyCode = 0;
    });
    win.ev.onKeyDown(win.text1, [&](int& keyCode, int) { order << QString("Text1 %1").arg(keyCode); });
    focus(win.text1);
    sendKey(win.text1, Qt::Key_F2);
    sendKey(win.text1, Qt::Key_F4);
    focus(win.text2);
    sendKey(win.text2, Qt::Key_5, "5");
    EXPECT_EQ(order, (QStringList{"form 113", "Text1 113", "form 115", "form 53"}));
    EXPECT_EQ(win.text2->text(), "5");
}

TEST(FocusEvents, lostfocus_runs_after_the_move_and_only_inside_the_window)
{
    Window win;
    QWidget other;
    auto* otherEdit = new QLineEdit(&other);
    other.show();
    int lost1 = 0;
    QWidget* focusedDuringHandler = nullptr;
    win.ev.onLostFocus(win.text1, [&] { ++lost1; focusedDuringHandler = QApplication::focusWidget(); });

    focus(win.text1);
    focus(win.text2);
    EXPECT_EQ(lost1, 0); // queued, not run inside the focus change
    settle();
    EXPECT_EQ(lost1, 1);
    EXPECT_EQ(focusedDuringHandler, win.text2);

    // Another window (a box, another program) taking the focus is no LostFocus.
    focus(win.text1);
    settle();
    other.activateWindow();
    QApplication::setActiveWindow(&other);
    otherEdit->setFocus();
    settle();
    EXPECT_EQ(lost1, 1);
}

TEST(FocusEvents, handler_may_show_a_box_and_refocus_without_reentering)
{
    Window win;
    testsupport::ScriptedBoxes boxes;
    int lost1 = 0;
    int lost2 = 0;
    win.ev.onLostFocus(win.text1, [&] {
        ++lost1;
        platform::msgBox("Hibás adat!", platform::Critical, "Hiba");
        win.text1->setFocus();
    });
    win.ev.onLostFocus(win.text2, [&] { ++lost2; });
    focus(win.text1);
    settle();
    focus(win.text2);
    settle();
    EXPECT_EQ(lost1, 1);
    EXPECT_EQ(lost2, 0); // the handler's own refocus is not Text2 losing the focus
    EXPECT_EQ(QApplication::focusWidget(), win.text1);
    EXPECT_EQ(boxes.texts(), QStringList{"Hibás adat!"});
}

TEST(FocusEvents, two_invalid_fields_never_ping_pong)
{
    Window win;
    testsupport::ScriptedBoxes boxes;
    // Both fields refuse their text and keep the focus, as date fields do.
    win.ev.onLostFocus(win.text1, [&] { platform::msgBox("Text1 rossz", platform::Critical); win.text1->setFocus(); });
    win.ev.onLostFocus(win.text2, [&] { platform::msgBox("Text2 rossz", platform::Critical); win.text2->setFocus(); });

    focus(win.text1);
    settle();
    focus(win.text2);
    settle();
    EXPECT_EQ(boxes.texts(), QStringList{"Text1 rossz"});
    EXPECT_EQ(QApplication::focusWidget(), win.text1);

    // Several moves before the loop runs: the first handler's refocus drops
    // the LostFocus events it overrode.
    boxes->clear();
    focus(win.text2);
    focus(win.button);
    settle();
    EXPECT_EQ(boxes.texts(), QStringList{"Text1 rossz"});
    EXPECT_EQ(QApplication::focusWidget(), win.text1);
}

TEST(FocusEvents, gotfocus_on_entering_a_control_not_when_focus_comes_back_to_it)
{
    Window win;
    QWidget other;
    auto* otherEdit = new QLineEdit(&other);
    other.show();
    int got2 = 0;
    win.ev.onGotFocus(win.text2, [&] { ++got2; });
    focus(win.text1);
    focus(win.text2);
    settle();
    EXPECT_EQ(got2, 1);

    QApplication::setActiveWindow(&other);
    otherEdit->setFocus();
    settle();
    QApplication::setActiveWindow(&win.w);
    settle();
    EXPECT_EQ(QApplication::focusWidget(), win.text2);
    EXPECT_EQ(got2, 1);
}

TEST(ChangeEvents, change_fires_for_text_set_by_code_and_typed)
{
    Window win;
    platform::MaskEdBox box("##:##", &win.w);
    int textChanges = 0;
    int boxChanges = 0;
    win.ev.onChange(win.text1, [&] { ++textChanges; });
    win.ev.onChange(&box, [&] { ++boxChanges; });
    win.text1->setText("abc");
    sendKey(win.text1, Qt::Key_D, "d");
    box.setText("12:00");
    EXPECT_EQ(textChanges, 2);
    EXPECT_EQ(boxChanges, 1);
}

TEST(ClickEvents, button_click_runs_the_handler)
{
    Window win;
    int clicks = 0;
    win.ev.onClick(win.button, [&] { ++clicks; });
    win.button->click();
    EXPECT_EQ(clicks, 1);
}

// A quick click (press and release delivered together) must not overtake
// the LostFocus of the box the clerk left: the handler sees what LostFocus
// did, and a LostFocus that objects (a box, the focus sent elsewhere) eats
// the click.
TEST(FocusEvents, quick_click_waits_for_the_lostfocus_of_the_box_left)
{
    const struct {
        const char* name;
        bool box;
        bool refocus;
        QStringList order;
        bool focusBack;
    } cases[] = {
        {"accepted", false, false, {"lost 8", "got", "click 8"}, false},
        {"box", true, false, {"lost 8", "got"}, false},
        {"refocus", false, true, {"lost 8"}, true},
        {"box and refocus", true, true, {"lost 8"}, true},
    };
    for (const auto& c : cases) {
        Window win;
        testsupport::ScriptedBoxes boxes;
        QStringList order;
        QString seen;
        win.ev.onLostFocus(win.text1, [&] {
            seen = win.text1->text();
            order << "lost " + seen;
            if (c.box)
                platform::msgBox("Hibás adat!", platform::Critical);
            if (c.refocus)
                win.text1->setFocus();
        });
        win.ev.onGotFocus(win.button, [&] { order << "got"; });
        win.ev.onClick(win.button, [&] { order << "click " + seen; });
        focus(win.text1);
        settle();
        sendKey(win.text1, Qt::Key_8, "8");
        testsupport::quickClick(win.button);
        settle();
        EXPECT_EQ(order, c.order) << c.name;
        EXPECT_EQ(boxes.texts().size(), c.box ? 1 : 0) << c.name;
        EXPECT_EQ(QApplication::focusWidget(), c.focusBack ? static_cast<QWidget*>(win.text1) : win.button) << c.name;
    }
}

// Keys typed into the next box right after the move reach it only after the
// LostFocus of the box left has run, and not at all when it sent the focus
// back.
TEST(FocusEvents, keys_for_the_next_box_wait_for_the_lostfocus_of_the_box_left)
{
    for (const bool refuse : {false, true}) {
        Window win;
        testsupport::ScriptedBoxes boxes;
        QStringList order;
        win.ev.onLostFocus(win.text1, [&] {
            order << "lost";
            if (refuse) {
                platform::msgBox("Hibás adat!", platform::Critical);
                win.text1->setFocus();
            }
        });
        win.ev.onKeyDown(win.text2, [&](int& keyCode, int) { order << QString("down %1").arg(keyCode); });
        win.ev.onKeyPress(win.text2, [&](int& keyAscii) { order << QString("press %1").arg(keyAscii); });
        focus(win.text1);
        settle();
        focus(win.text2);
        sendKey(win.text2, Qt::Key_5, "5");
        settle();
        if (refuse) {
            EXPECT_EQ(order, QStringList{"lost"});
            EXPECT_EQ(win.text2->text(), "");
            EXPECT_EQ(QApplication::focusWidget(), win.text1);
        } else {
            EXPECT_EQ(order, (QStringList{"lost", "down 53", "press 53"}));
            EXPECT_EQ(win.text2->text(), "5");
        }
    }
}

// ------------------------------------------------------------- activation

namespace {
struct Tracked {
    QWidget w;
    int activations = 0;
    Events ev{&w};
    Tracked() { ev.onActivate([this] { ++activations; }); }
};
} // namespace

TEST(Activation, fires_on_switch_between_program_windows_only)
{
    auto& tracker = platform::ActivationTracker::instance();
    tracker.reset();
    Tracked main, second;

    tracker.windowActivated(&main.w); // first show
    EXPECT_EQ(main.activations, 1);

    tracker.windowActivated(nullptr); // another application in front
    tracker.windowActivated(&main.w); // and back
    EXPECT_EQ(main.activations, 1);

    tracker.windowActivated(&second.w); // a secondary window opens
    EXPECT_EQ(second.activations, 1);
    tracker.windowActivated(&main.w); // and closes
    EXPECT_EQ(main.activations, 2);

    QMessageBox box; // one of our boxes closing is no window switch
    tracker.windowActivated(&box);
    tracker.windowActivated(&main.w);
    EXPECT_EQ(main.activations, 2);
}

TEST(Activation, real_window_activation_takes_the_same_path)
{
    auto& tracker = platform::ActivationTracker::instance();
    tracker.reset();
    Tracked main;
    main.w.show();
    main.w.activateWindow();
    QApplication::setActiveWindow(&main.w);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(main.activations, 1);
    {
        Tracked second;
        second.w.show();
        QApplication::setActiveWindow(&second.w);
        QCoreApplication::processEvents();
        EXPECT_EQ(second.activations, 1);
        second.w.close();
    }
    QApplication::setActiveWindow(&main.w);
    QCoreApplication::processEvents();
    EXPECT_EQ(main.activations, 2);
}
