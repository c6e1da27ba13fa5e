// Installs a scripted message-box service for the lifetime of a test (or a
// scope), and puts the previous one back afterwards.
//
//     ScriptedBoxes boxes;
//     boxes->answer(platform::MsgResult::No);
//     ... act ...
//     EXPECT_EQ(boxes->texts(), QStringList{"Biztos ki akar lépni?"});
#pragma once

#include "platform/ui/msgbox.h"

namespace testsupport {

class ScriptedBoxes {
public:
    ScriptedBoxes() : m_previous(&platform::msgBoxService()) { platform::setMsgBoxService(&m_service); }
    ~ScriptedBoxes() { platform::setMsgBoxService(m_previous); }
    ScriptedBoxes(const ScriptedBoxes&) = delete;
    ScriptedBoxes& operator=(const ScriptedBoxes&) = delete;

    platform::ScriptedMsgBoxService& service() { return m_service; }
    platform::ScriptedMsgBoxService* operator->() { return &m_service; }

    const QList<platform::MsgBoxRequest>& shown() const { return m_service.shown(); }
    QStringList texts() const { return m_service.texts(); }
    // The only box shown; fails the test when there were none or several.
    const platform::MsgBoxRequest& single() const;

private:
    platform::ScriptedMsgBoxService m_service;
    platform::MsgBoxService* m_previous;
};

} // namespace testsupport
