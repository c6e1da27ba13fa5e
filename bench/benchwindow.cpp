#include "bench/benchwindow.h"

#include "app/common/programinfo.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QTime>

#include <cstdio>

namespace bench {

WindowSession::WindowSession(const QString& folder, const ProgramInfo& program)
    : previous(QDir::currentPath()),
      regional(QStringLiteral("%Y.%m.%d."), QStringLiteral("%H:%M:%S"), QDateTime(QDate(2005, 8, 24), QTime(9, 59, 0)))
{
    QDir::setCurrent(folder);
    platform::setMsgBoxService(&boxes);
    ProgramInfo::setCurrent(program);
    w = std::make_unique<kezdo>(program);
    w->anotherInstanceRunning = [] { return false; };
    w->show();
}

WindowSession::~WindowSession()
{
    if (!boxes.shown().isEmpty())
        std::printf("  (boxes shown: %s)\n", qPrintable(boxes.texts().join(QStringLiteral(" | "))));
    w.reset();
    platform::setMsgBoxService(nullptr);
    QDir::setCurrent(previous);
}

} // namespace bench
