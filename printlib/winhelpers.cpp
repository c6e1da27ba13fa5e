#include "printlib/winhelpers.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <cmath>

namespace printlib {

namespace {

double dpiX()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->logicalDotsPerInchX() : 96.0;
}

double dpiY()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->logicalDotsPerInchY() : 96.0;
}

const char* const kCloseBoxOff = "printlib_closeBoxOff";
const char* const kCloseAllowed = "printlib_closeAllowed";
const char* const kCloseGuarded = "printlib_closeGuarded";

// Refuses every close that the window's own code did not ask for, and
// swallows Alt+F4 before the window sees it.
class CloseGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        QWidget* w = qobject_cast<QWidget*>(watched);
        if (!w || !w->property(kCloseBoxOff).toBool())
            return false;
        if (event->type() == QEvent::Close) {
            if (w->property(kCloseAllowed).toBool()) {
                w->setProperty(kCloseAllowed, false);
                return false;
            }
            event->ignore();
            return true;
        }
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
            auto* k = static_cast<QKeyEvent*>(event);
            if (k->key() == Qt::Key_F4 && k->modifiers() == Qt::AltModifier) {
                event->accept();
                return true;
            }
        }
        return false;
    }
};

// Opens the list on a left click, also on an editable box whose line edit
// would otherwise just take the caret.
class OneClickDropDown : public QObject {
public:
    explicit OneClickDropDown(QComboBox* box) : QObject(box), m_box(box) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress) {
            auto* m = static_cast<QMouseEvent*>(event);
            if (m->button() == Qt::LeftButton) {
                QPointer<QComboBox> box = m_box;
                QTimer::singleShot(0, box, [box] {
                    if (box && box->isEnabled() && !box->view()->isVisible())
                        box->showPopup();
                });
            }
        }
        return false;
    }

private:
    QComboBox* m_box;
};

struct ComboHook {
    QPointer<QComboBox> box;
    QPointer<OneClickDropDown> filter;
};

ComboHook g_printerHook;
ComboHook g_rangeHook;
ComboHook g_zoomHook;

void unhook(ComboHook& hook)
{
    if (hook.box && hook.filter) {
        hook.box->removeEventFilter(hook.filter);
        if (hook.box->lineEdit())
            hook.box->lineEdit()->removeEventFilter(hook.filter);
    }
    delete hook.filter;
    hook.filter = nullptr;
    hook.box = nullptr;
}

void hook(ComboHook& hook, QComboBox* box)
{
    unhook(hook);
    if (!box)
        return;
    hook.box = box;
    hook.filter = new OneClickDropDown(box);
    box->installEventFilter(hook.filter);
    if (box->lineEdit())
        box->lineEdit()->installEventFilter(hook.filter);
}

// Select-all on focus that survives the mouse click giving the focus (the
// click would otherwise place the caret and drop the selection).
class SelectAllOnFocus : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn) {
            QPointer<QLineEdit> box = qobject_cast<QLineEdit*>(watched);
            SelectAllText(box);
            QTimer::singleShot(0, box, [box] { SelectAllText(box); });
        }
        return false;
    }
};

} // namespace

int twipsToPixelsX(double twips) { return int(std::lround(twips * dpiX() / 1440.0)); }
int twipsToPixelsY(double twips) { return int(std::lround(twips * dpiY() / 1440.0)); }
double pixelsToTwipsX(double pixels) { return pixels * 1440.0 / dpiX(); }
double pixelsToTwipsY(double pixels) { return pixels * 1440.0 / dpiY(); }

void DisableXButton(QWidget* window, bool disable)
{
    if (!window)
        return;
    const bool wasVisible = window->isVisible();
    Qt::WindowFlags flags = window->windowFlags();
    if (disable)
        flags = (flags | Qt::CustomizeWindowHint | Qt::WindowTitleHint) & ~Qt::WindowCloseButtonHint;
    else
        flags |= Qt::WindowCloseButtonHint;
    if (flags != window->windowFlags()) {
        window->setWindowFlags(flags);
        if (wasVisible)
            window->show(); // changing the flags hides a shown window
    }
    window->setProperty(kCloseBoxOff, disable);
    if (disable && !window->property(kCloseGuarded).toBool()) {
        window->installEventFilter(new CloseGuard(window));
        window->setProperty(kCloseGuarded, true);
    }
}

void allowCloseByCode(QWidget* window)
{
    if (window)
        window->setProperty(kCloseAllowed, true);
}

bool closeBoxDisabled(const QWidget* window)
{
    return window && window->property(kCloseBoxOff).toBool()
        && !(window->windowFlags() & Qt::WindowCloseButtonHint);
}

void SelectAllText(QLineEdit* box)
{
    if (box)
        box->setSelection(0, int(box->text().size()));
}

void selectAllOnFocus(QLineEdit* box)
{
    if (box)
        box->installEventFilter(new SelectAllOnFocus(box));
}

void HookPrinterCombo(QComboBox* box) { hook(g_printerHook, box); }
void HookRangeCombo(QComboBox* box) { hook(g_rangeHook, box); }
void HookZoomCombo(QComboBox* box) { hook(g_zoomHook, box); }
void UnhookPrinterCombo() { unhook(g_printerHook); }
void UnhookRangeCombo() { unhook(g_rangeHook); }
void UnhookZoomCombo() { unhook(g_zoomHook); }

namespace {
ModalDriver& modalDriver()
{
    static ModalDriver driver;
    return driver;
}
} // namespace

double Val(const QString& text)
{
    int i = 0;
    const int n = int(text.size());
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    QString number;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        number += text[i++];
    bool digits = false;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
        number += text[i++];
        digits = true;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        number += text[i++];
        while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
            number += text[i++];
            digits = true;
        }
    }
    if (!digits)
        return 0.0;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        QString exp = QStringLiteral("e");
        int j = i + 1;
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            exp += text[j++];
        bool expDigits = false;
        while (j < n && text[j].isDigit() && text[j].unicode() < 128) {
            exp += text[j++];
            expDigits = true;
        }
        if (expDigits)
            number += exp;
    }
    bool ok = false;
    const double v = number.toDouble(&ok);
    return ok ? v : 0.0;
}

long long roundHalfEven(double value)
{
    return (long long)std::nearbyint(value);
}

void setModalDriver(ModalDriver driver)
{
    modalDriver() = std::move(driver);
}

void runModal(QDialog& window)
{
    if (const ModalDriver& driver = modalDriver()) {
        window.show();
        driver(window);
        if (window.isVisible())
            window.hide();
        return;
    }
    window.exec();
}

bool comboHooked(const QComboBox* box)
{
    for (const ComboHook* h : {&g_printerHook, &g_rangeHook, &g_zoomHook})
        if (box && h->box == box && h->filter)
            return true;
    return false;
}

} // namespace printlib
