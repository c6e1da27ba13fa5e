#include "tests/app/shell/shellfixture.h"

#include "app/common/datafolder.h"
#include "app/common/module1.h"
#include "platform/ui/events.h"
#include "platform/ui/msgbox.h"

#include <QApplication>
#include <QDir>

void ShellTest::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    m_previousFolder = QDir::currentPath();
    resetProgramEnd();
    platform::ActivationTracker::instance().reset();
    regional.emplace(QStringLiteral("%Y.%m.%d."), QStringLiteral("%H:%M:%S"),
                     QDateTime(QDate(2005, 8, 24), QTime(9, 59, 0)));
}

void ShellTest::TearDown()
{
    window.reset();
    regional.reset();
    platform::ActivationTracker::instance().reset();
    resetProgramEnd();
    QDir::setCurrent(m_previousFolder);
}

kezdo& ShellTest::open(const ProgramInfo& info)
{
    QString error;
    EXPECT_TRUE(makeDataFolder(m_dir.path(), info, &error)) << error.toStdString();
    EXPECT_TRUE(QDir::setCurrent(m_dir.path()));
    ProgramInfo::setCurrent(info);
    platform::setDefaultMsgBoxTitle(info.name);
    window = std::make_unique<kezdo>(info);
    // Never the real lock: test processes run side by side.
    window->anotherInstanceRunning = [] { return false; };
    window->show();
    return *window;
}

void ShellTest::activate(QWidget* w)
{
    platform::ActivationTracker::instance().windowActivated(w);
    QApplication::processEvents();
}
