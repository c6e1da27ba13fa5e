#include "tests/app/secondary/secondaryfixture.h"

#include "app/common/dataaction.h"
#include "app/common/datafolder.h"
#include "app/common/module1.h"
#include "platform/db/dataconnection.h"
#include "platform/ui/dbgrid.h"
#include "platform/ui/events.h"
#include "platform/ui/msgbox.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>

void SecondaryTest::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    m_previousFolder = QDir::currentPath();
    resetProgramEnd();
    platform::ActivationTracker::instance().reset();
    regional.emplace(QStringLiteral("%Y.%m.%d."), QStringLiteral("%H:%M:%S"),
                     QDateTime(QDate(2005, 8, 24), QTime(9, 59, 0)));
}

void SecondaryTest::TearDown()
{
    window.reset();
    QApplication::processEvents();
    ProgramInfo::setCurrent(ProgramInfo::sebrix());
    regional.reset();
    platform::ActivationTracker::instance().reset();
    platform::setDataErrorReporter({});
    resetProgramEnd();
    QDir::setCurrent(m_previousFolder);
}

kezdo& SecondaryTest::open(const ProgramInfo& info)
{
    m_info = &info;
    QString error;
    EXPECT_TRUE(makeDataFolder(m_dir.path(), info, &error)) << error.toStdString();
    EXPECT_TRUE(QDir::setCurrent(m_dir.path()));
    ProgramInfo::setCurrent(info);
    platform::setDefaultMsgBoxTitle(info.name);
    platform::setDataErrorReporter([](const platform::db::DbError& e) { showDataError(e); });
    window = std::make_unique<kezdo>(info);
    // Never the real lock: test processes run side by side.
    window->anotherInstanceRunning = [] { return false; };
    window->show();
    activate(window.get());
    return *window;
}

void SecondaryTest::activate(QWidget* w)
{
    QApplication::setActiveWindow(w);
    platform::ActivationTracker::instance().windowActivated(w);
    QApplication::processEvents();
}

void SecondaryTest::settle()
{
    QApplication::processEvents();
    platform::Events::flush();
    QApplication::processEvents();
}

void SecondaryTest::focusOn(QWidget* control)
{
    QWidget* w = control->window();
    QApplication::setActiveWindow(w);
    control->setFocus(Qt::OtherFocusReason);
    settle();
}

void SecondaryTest::typeInto(QWidget* control, const QString& text)
{
    focusOn(control);
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : control;
    for (QChar c : text) {
        const int key = c.toUpper().unicode();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &release);
    }
}

void SecondaryTest::clickOn(QWidget* control)
{
    // Near the left edge: an option button takes clicks only on its mark and text.
    const QPointF local(std::min(8.0, control->width() / 2.0), control->height() / 2.0);
    const QPointF global = control->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(control, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(control, &release);
}

std::shared_ptr<platform::db::Database> SecondaryTest::entered()
{
    return platform::db::Database::open(QDir(m_dir.path()).filePath(m_info->enteredDataFile));
}

std::shared_ptr<platform::db::Database> SecondaryTest::converted()
{
    return platform::db::Database::open(QDir(m_dir.path()).filePath(m_info->convertedFile));
}

QVariant SecondaryTest::scalar(const QString& sql, const QVariantList& params)
{
    return entered()->scalar(sql, params);
}
