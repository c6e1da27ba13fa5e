#include "tests/support/wheelinput.h"

#include <QApplication>
#include <QWheelEvent>
#include <QWidget>
#include <QtTest/qtestspontaneevent.h>

namespace testsupport {

void turnWheel(QWidget* over, int notches)
{
    QWidget* top = over->window();
    const QPoint inTop = over->mapTo(top, over->rect().center());
    QWidget* under = top->childAt(inTop);
    if (!under)
        under = top;
    const QPointF local = under->mapFrom(top, inTop);
    QWheelEvent wheel(local, under->mapToGlobal(local), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    // Sent as the window system's own, so that the application gives the
    // focus and passes an ignored turn on as it does for a real wheel.
    QSpontaneKeyEvent::setSpontaneous(&wheel);
    QApplication::instance()->notify(under, &wheel);
    QApplication::processEvents();
}

} // namespace testsupport
