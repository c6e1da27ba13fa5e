#include "platform/ui/controls.h"

namespace platform {

QColor legacyColor(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

namespace {
void setRole(QWidget* w, QPalette::ColorRole role, quint32 bgr)
{
    QPalette p = w->palette();
    p.setColor(role, legacyColor(bgr));
    w->setPalette(p);
}
} // namespace

SSPanel::SSPanel(QWidget* parent) : SSPanel(QString(), parent) {}

SSPanel::SSPanel(const QString& caption, QWidget* parent) : QLabel(caption, parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setAlignment(Qt::AlignCenter);
}

void SSPanel::setBackColor(quint32 bgr)
{
    setAutoFillBackground(true);
    setRole(this, QPalette::Window, bgr);
}

void SSPanel::setForeColor(quint32 bgr)
{
    setRole(this, QPalette::WindowText, bgr);
}

SSCommand::SSCommand(QWidget* parent) : QPushButton(parent) {}
SSCommand::SSCommand(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}

SSCheck::SSCheck(QWidget* parent) : QCheckBox(parent) {}
SSCheck::SSCheck(const QString& caption, QWidget* parent) : QCheckBox(caption, parent) {}

SSFrame::SSFrame(QWidget* parent) : QGroupBox(parent) {}
SSFrame::SSFrame(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

} // namespace platform
