#include "platform/ui/msgbox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace platform {

namespace {
ModalMsgBoxService g_modal;
MsgBoxService* g_service = nullptr;
QString g_defaultTitle;
int g_openBoxes = 0;
int g_shownBoxes = 0;

QList<MsgResult> buttonsOf(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::Ok: return {MsgResult::Ok};
    case MsgButtons::OkCancel: return {MsgResult::Ok, MsgResult::Cancel};
    case MsgButtons::AbortRetryIgnore: return {MsgResult::Abort, MsgResult::Retry, MsgResult::Ignore};
    case MsgButtons::YesNoCancel: return {MsgResult::Yes, MsgResult::No, MsgResult::Cancel};
    case MsgButtons::YesNo: return {MsgResult::Yes, MsgResult::No};
    case MsgButtons::RetryCancel: return {MsgResult::Retry, MsgResult::Cancel};
    }
    return {MsgResult::Ok};
}

MsgResult defaultAnswer(const MsgBoxRequest& request)
{
    const QList<MsgResult> buttons = buttonsOf(request.buttons);
    const int index = qBound(1, request.defaultButton, int(buttons.size())) - 1;
    return buttons.at(index);
}
} // namespace

MsgBoxRequest MsgBoxRequest::fromStyle(const QString& text, int style, const QString& title)
{
    MsgBoxRequest r;
    r.text = text;
    r.title = title.isEmpty() ? defaultMsgBoxTitle() : title;
    switch (style & 0x7) {
    case OkCancel: r.buttons = MsgButtons::OkCancel; break;
    case AbortRetryIgnore: r.buttons = MsgButtons::AbortRetryIgnore; break;
    case YesNoCancel: r.buttons = MsgButtons::YesNoCancel; break;
    case YesNo: r.buttons = MsgButtons::YesNo; break;
    case RetryCancel: r.buttons = MsgButtons::RetryCancel; break;
    default: r.buttons = MsgButtons::Ok; break;
    }
    switch (style & 0x70) {
    case Critical: r.icon = MsgIcon::Critical; break;
    case Question: r.icon = MsgIcon::Question; break;
    case Exclamation: r.icon = MsgIcon::Exclamation; break;
    case Information: r.icon = MsgIcon::Information; break;
    default: r.icon = MsgIcon::None; break;
    }
    r.defaultButton = ((style & 0x300) >> 8) + 1;
    return r;
}

MsgResult ModalMsgBoxService::show(const MsgBoxRequest& request)
{
    QPointer<QWidget> owner = QApplication::activeWindow();
    QMessageBox box(owner);
    box.setWindowTitle(request.title);
    box.setText(request.text);
    switch (request.icon) {
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    }
    const QList<MsgResult> results = buttonsOf(request.buttons);
    QList<QAbstractButton*> buttons;
    for (MsgResult result : results) {
        QMessageBox::StandardButton sb = QMessageBox::Ok;
        switch (result) {
        case MsgResult::Ok: sb = QMessageBox::Ok; break;
        case MsgResult::Cancel: sb = QMessageBox::Cancel; break;
        case MsgResult::Abort: sb = QMessageBox::Abort; break;
        case MsgResult::Retry: sb = QMessageBox::Retry; break;
        case MsgResult::Ignore: sb = QMessageBox::Ignore; break;
        case MsgResult::Yes: sb = QMessageBox::Yes; break;
        case MsgResult::No: sb = QMessageBox::No; break;
        }
        buttons << box.addButton(sb);
    }
    const int def = qBound(1, request.defaultButton, int(buttons.size())) - 1;
    box.setDefaultButton(qobject_cast<QPushButton*>(buttons.at(def)));
    ++g_openBoxes;
    box.exec();
    --g_openBoxes;
    // Without a window manager nobody hands the activation back to the
    // window the box came from: its focus moves would no longer be seen.
    if (owner && owner->isVisible() && !owner->isActiveWindow())
        owner->activateWindow();
    const int index = buttons.indexOf(box.clickedButton());
    if (index < 0) // closed by Escape or the close box
        return results.contains(MsgResult::Cancel) ? MsgResult::Cancel : results.at(def);
    return results.at(index);
}

MsgResult ScriptedMsgBoxService::show(const MsgBoxRequest& request)
{
    m_shown.append(request);
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    return defaultAnswer(request);
}

QStringList ScriptedMsgBoxService::texts() const
{
    QStringList out;
    for (const MsgBoxRequest& r : m_shown)
        out << r.text;
    return out;
}

MsgBoxService& msgBoxService()
{
    return g_service ? *g_service : g_modal;
}

void setMsgBoxService(MsgBoxService* service)
{
    g_service = service;
}

void setDefaultMsgBoxTitle(const QString& title)
{
    g_defaultTitle = title;
}

QString defaultMsgBoxTitle()
{
    return g_defaultTitle.isEmpty() ? QApplication::applicationName() : g_defaultTitle;
}

bool msgBoxOpen()
{
    return g_openBoxes > 0;
}

int msgBoxesShown()
{
    return g_shownBoxes;
}

MsgResult msgBox(const QString& text, int style, const QString& title)
{
    ++g_shownBoxes;
    return msgBoxService().show(MsgBoxRequest::fromStyle(text, style, title));
}

} // namespace platform
