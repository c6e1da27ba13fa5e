#include "platform/ui/legacyform.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

namespace platform {

LegacyForm::LegacyForm(QWidget* parent) : QWidget(parent)
{
    m_events.onActivate([this] { Form_Activate(); });
}

void LegacyForm::centre()
{
    centreWindow(this);
}

void LegacyForm::closeEvent(QCloseEvent* event)
{
    int cancel = 0;
    Form_QueryUnload(cancel, m_closingByCode ? 1 : 0);
    if (cancel == 0)
        Form_Unload(cancel);
    if (cancel != 0)
        event->ignore();
    else
        event->accept();
}

bool LegacyForm::unload()
{
    m_closingByCode = true;
    const bool closed = close();
    m_closingByCode = false;
    return closed;
}

void centreWindow(QWidget* window)
{
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QRect frame = window->frameGeometry();
    window->move(area.x() + (area.width() - frame.width()) / 2, area.y() + (area.height() - frame.height()) / 2);
}

} // namespace platform
