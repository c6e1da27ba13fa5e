#include "platform/ui/controls.h"

#include "platform/sys/codepage.h"

#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QValidator>

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

// ------------------------------------------------------------------ text boxes

namespace {

class Cp1250Validator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override { return fitsCp1250(input) ? Acceptable : Invalid; }
};

class TextBoxGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Every widget is polished once, before it is first shown.
        if (event->type() == QEvent::Polish)
            if (auto* box = qobject_cast<QLineEdit*>(watched))
                guardTextBox(box);
        return false;
    }
};

QValidator* cp1250Validator()
{
    static auto* validator = new Cp1250Validator(qApp);
    return validator;
}

} // namespace

void guardTextBox(QLineEdit* box)
{
    if (box->validator())
        return;
    for (QWidget* w = box; w; w = w->parentWidget())
        if (qobject_cast<QFileDialog*>(w))
            return;
    box->setValidator(cp1250Validator());
}

void guardTextBoxes()
{
    static TextBoxGuard* guard = nullptr;
    if (!guard) {
        guard = new TextBoxGuard(qApp);
        qApp->installEventFilter(guard);
    }
}

} // namespace platform
