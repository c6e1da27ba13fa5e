// The main window's thin handlers for the secondary windows it opens beside
// itself: the ward codes, the converted-record viewer, the code statistics
// and the about box. Each window is its own class; the main window hands it
// only what it needs through its link.
#include "app/common/kezdo.h"

#include "app/common/programinfo.h"
#include "app/windows/konvattform.h"
#include "app/windows/nevjform.h"
#include "app/windows/okodkarbform.h"
#include "app/windows/statform.h"
#include "platform/db/dataconnection.h"

#include <QApplication>

namespace {

// Shows a window and makes it the active one.
void bringUp(QWidget* w)
{
    w->show();
    w->raise();
    w->activateWindow();
}

} // namespace

// A secondary window is parentless: living inside the main window, it would
// be disabled and hidden with it. It still goes when the main window goes.
void kezdo::closeWithMe(QWidget* secondary)
{
    QPointer<QWidget> w(secondary);
    connect(this, &QObject::destroyed, qApp, [w] { delete w.data(); });
}

okodkarbform* kezdo::showWardCodes()
{
    if (!okodkarbWindow) {
        QPointer<kezdo> self(this);
        okodkarbLink link;
        link.wardCodesChanged = [self] {
            if (self)
                self->Data2->refresh();
        };
        link.closed = [self] {
            if (self)
                self->comeBack();
        };
        okodkarbWindow = new okodkarbform(program(), std::move(link));
        closeWithMe(okodkarbWindow);
    }
    bringUp(okodkarbWindow);
    return okodkarbWindow;
}

void kezdo::okodkarb_Click()
{
    showWardCodes();
    // From the menu the main window waits until the ward codes are closed.
    setEnabled(false);
}

void kezdo::konatt_Click()
{
    // The main window is hidden while the converted records are looked through.
    hide();
    if (!konvattWindow) {
        QPointer<kezdo> self(this);
        konvattLink link;
        link.closed = [self] {
            if (self)
                self->comeBack();
        };
        konvattWindow = new konvattform(program(), std::move(link));
        closeWithMe(konvattWindow);
    }
    bringUp(konvattWindow);
}

void kezdo::nevj_Click()
{
    if (!nevjWindow) {
        nevjWindow = new nevjform(program());
        closeWithMe(nevjWindow);
    }
    bringUp(nevjWindow);
}

void kezdo::statmutat()
{
    if (!statWindow) {
        statWindow = new statform(program());
        closeWithMe(statWindow);
    }
    bringUp(statWindow);
}
