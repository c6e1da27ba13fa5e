#include "tests/app/shell/shellfixture.h"

#include "app/common/datafolder.h"
#include "app/common/module1.h"
#include "platform/db/dataconnection.h"
#include "platform/ui/controls.h"
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

kezdo& ShellTest::reviewStored(const ProgramInfo& info, const std::function<void(platform::db::Database&)>& store)
{
    window.reset();
    kezdo& w = open(info);
    store(*w.Data8->database());
    w.Data3->refresh();
    w.tete->trigger();
    QApplication::processEvents();
    return w;
}

void storeTwoEpisodes(platform::db::Database& entered)
{
    entered.exec(QStringLiteral("delete from alap"));
    for (int i = 1; i <= 2; ++i)
        entered.exec(QStringLiteral("insert into alap (Azonosito, Int_kod, Int_tipus, T_szam, Taj, Tsor, Fdat, Fido,"
                                    " Okod, Tdat, Tido, Ojele, Vjel, Manuális)"
                                    " values (?, '1234', 'E', ?, '123456788', '1', '2005.08.01.', '08:00:00',"
                                    " '0111', '2005.08.05.', '10:00:00', '0', 0, 1)"),
                     {i, QString::number(100000000 + i)});
}
