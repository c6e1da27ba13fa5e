// Shared set-up of the tests of the library's windows: a recording printer,
// the scripted message-box service, the library's windows connected, and
// helpers that type keys into a window without a real keyboard.
#pragma once

#include "platform/print/printer.h"
#include "platform/print/recordingdevice.h"
#include "platform/ui/msgbox.h"
#include "printlib/clsInteraction.h"
#include "printlib/clsPrint.h"
#include "printlib/libwindows.h"
#include "printlib/winhelpers.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

#include <vector>

#include <gtest/gtest.h>

namespace uitest {

// Types one key into a widget: press and release, through the event
// filters as a real key would go.
inline void key(QWidget* target, int k, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, k, mods, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, k, mods, text);
    QApplication::sendEvent(target, &release);
}

// The widget that holds the focus inside a window, else the window.
inline QWidget* focused(QWidget* window)
{
    QWidget* f = window->focusWidget();
    return f ? f : window;
}

// Lets events run until the condition holds or the time is up.
template <class Pred>
bool waitFor(Pred pred, int ms = 3000)
{
    QElapsedTimer t;
    t.start();
    while (!pred() && t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return pred();
}

// Watches the window system's caption animation while it plays: the screen
// rectangle of the flying title bar each time pending events run.
class CaptionWatch {
public:
    CaptionWatch()
    {
        m_timer.setInterval(0);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == QLatin1String("captionAnimation") && w->isVisible()
                    && (seen.empty() || seen.back() != w->geometry()))
                    seen.push_back(w->geometry());
        });
        m_timer.start();
    }
    // Whether a title bar of the animation is still there, shown or not.
    static bool leftBehind()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("captionAnimation"))
                return true;
        return false;
    }
    std::vector<QRect> seen;

private:
    QTimer m_timer;
};

class LibraryWindowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto device = std::make_unique<platform::RecordingDevice>(600);
        recorder = device.get();
        platform::installPrintDevice(std::move(device));
        platform::setMsgBoxService(&boxes);
        printlib::installLibraryWindows();
        printlib::CreateJob();
    }

    void TearDown() override
    {
        printlib::setModalDriver({});
        printlib::clsInteraction::setBoxDriver({});
        printlib::uninstallLibraryWindows();
        platform::setMsgBoxService(nullptr);
    }

    printlib::clsPrint& job() { return *printlib::Job; }

    // A document of n pages, each with the label "Oldal <n>".
    void buildPages(int n)
    {
        for (int p = 1; p <= n; ++p) {
            job().Labels.Add(QStringLiteral("Oldal %1").arg(p), 0, 0, 100, 10);
            if (p < n)
                job().PageBreaks.Add();
        }
    }

    platform::ScriptedMsgBoxService boxes;
    platform::RecordingDevice* recorder = nullptr;
};

} // namespace uitest
