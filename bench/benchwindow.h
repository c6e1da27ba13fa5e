// A program's main window for a benchmark case: opened in the data folder,
// made the working folder while it lives, with the shipped regional formats,
// a fixed clock and scripted boxes; the boxes it showed are printed at the end.
#pragma once

#include "app/common/kezdo.h"
#include "platform/sys/regional.h"
#include "platform/ui/msgbox.h"

#include <QString>

#include <memory>

struct ProgramInfo;

namespace bench {

struct WindowSession {
    WindowSession(const QString& folder, const ProgramInfo& program);
    ~WindowSession();
    WindowSession(const WindowSession&) = delete;
    WindowSession& operator=(const WindowSession&) = delete;

    QString previous;
    platform::ScopedRegional regional;
    platform::ScriptedMsgBoxService boxes;
    std::unique_ptr<kezdo> w;
};

} // namespace bench
