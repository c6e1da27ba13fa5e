// One message-box service for the whole program. Windows never call
// QMessageBox directly: they call platform::msgBox(), which the running
// program answers with a real modal box and tests answer from a script.
#pragma once

#include <QList>
#include <QQueue>
#include <QString>

namespace platform {

// Values keep the old platform's numbers so that styles can be combined
// the way the window code reads best: Critical | YesNo | DefaultButton2.
enum MsgStyle : int {
    OkOnly = 0,
    OkCancel = 1,
    AbortRetryIgnore = 2,
    YesNoCancel = 3,
    YesNo = 4,
    RetryCancel = 5,
    Critical = 16,
    Question = 32,
    Exclamation = 48,
    Information = 64,
    DefaultButton1 = 0,
    DefaultButton2 = 256,
    DefaultButton3 = 512,
};

enum class MsgResult : int { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { Ok, OkCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };

struct MsgBoxRequest {
    QString text;
    QString title;          // already resolved: the program's name when none was given
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    int defaultButton = 1;  // 1-based position among the buttons

    static MsgBoxRequest fromStyle(const QString& text, int style, const QString& title);
};

class MsgBoxService {
public:
    virtual ~MsgBoxService() = default;
    virtual MsgResult show(const MsgBoxRequest& request) = 0;
};

// The real one: a modal box with exactly the given texts.
class ModalMsgBoxService : public MsgBoxService {
public:
    MsgResult show(const MsgBoxRequest& request) override;
};

// For tests: records every box and answers from a queue. With the queue empty
// it answers the box's default button, so an unexpected box never blocks.
class ScriptedMsgBoxService : public MsgBoxService {
public:
    MsgResult show(const MsgBoxRequest& request) override;

    void answer(MsgResult result) { m_answers.enqueue(result); }
    const QList<MsgBoxRequest>& shown() const { return m_shown; }
    QStringList texts() const;
    void clear() { m_shown.clear(); m_answers.clear(); }

private:
    QList<MsgBoxRequest> m_shown;
    QQueue<MsgResult> m_answers;
};

// The service in force. Defaults to ModalMsgBoxService.
MsgBoxService& msgBoxService();
// Installs a service (not owned); nullptr restores the modal one.
void setMsgBoxService(MsgBoxService* service);

// The program's name, shown as the title of a box without one of its own.
void setDefaultMsgBoxTitle(const QString& title);
QString defaultMsgBoxTitle();

// True while a box is open; the event layer uses it so that a box closing is
// not taken for a window of the program becoming active again.
bool msgBoxOpen();

// How many boxes have been shown so far, by whichever service; the event layer
// compares two readings to learn whether a handler showed one.
int msgBoxesShown();

MsgResult msgBox(const QString& text, int style = OkOnly, const QString& title = QString());

} // namespace platform
