#include "tests/support/quickinput.h"

#include <QTest>
#include <QWidget>
#include <QWindow>

namespace testsupport {

void quickClick(QWidget* target)
{
    QWidget* top = target->window();
    QWindow* handle = top->windowHandle();
    Q_ASSERT(handle);
    const QPoint pos = target->mapTo(top, target->rect().center());
    QTest::mouseClick(handle, Qt::LeftButton, Qt::NoModifier, pos);
}

} // namespace testsupport
