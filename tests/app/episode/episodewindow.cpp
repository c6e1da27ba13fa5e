#include "tests/app/episode/episodewindow.h"

#include "app/common/programinfo.h"
#include "platform/db/dataconnection.h"
#include "platform/ui/dbcombo.h"
#include "platform/ui/events.h"
#include "platform/ui/msgbox.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>

void EpisodeWindowTest::SetUp()
{
    EpisodeDataFolder::SetUp();
    m_previousFolder = QDir::currentPath();
    platform::ActivationTracker::instance().reset();
    regional.emplace(QStringLiteral("%Y.%m.%d."), QStringLiteral("%H:%M:%S"),
                     QDateTime(QDate(2005, 8, 24), QTime(9, 59, 0)));
}

void EpisodeWindowTest::TearDown()
{
    window.reset();
    ProgramInfo::setCurrent(ProgramInfo::sebrix());
    regional.reset();
    platform::ActivationTracker::instance().reset();
    QDir::setCurrent(m_previousFolder);
    EpisodeDataFolder::TearDown();
}

kezdo& EpisodeWindowTest::open()
{
    EXPECT_TRUE(QDir::setCurrent(folder()));
    ProgramInfo::setCurrent(program());
    platform::setDefaultMsgBoxTitle(program().name);
    window = std::make_unique<kezdo>(program());
    window->anotherInstanceRunning = [] { return false; };
    window->show();
    QApplication::setActiveWindow(window.get());
    QApplication::processEvents();
    return *window;
}

void EpisodeWindowTest::focusOn(QWidget* control)
{
    window->activateWindow();
    QApplication::setActiveWindow(window.get());
    control->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
    platform::Events::flush();
    QApplication::processEvents();
}

void EpisodeWindowTest::typeInto(QWidget* control, const QString& text)
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
    QApplication::processEvents();
}

void EpisodeWindowTest::fillManualHeader(const QString& registerNumber)
{
    kezdo& w = *window;
    w.Text3->setText(registerNumber);
    w.Text4->setText(QStringLiteral("123456788"));
    w.DBCombo1->setText(QStringLiteral("0101"));
    w.Combo2->setEditText(QStringLiteral("0 - Saját osztály"));
    w.Text14->setText(QStringLiteral("1"));
}

QVariant EpisodeWindowTest::stored(qint64 azonosito, const char* field)
{
    return entered()->scalar(QStringLiteral("select \"%1\" from alap where Azonosito = ?").arg(QString::fromUtf8(field)),
                             {azonosito});
}

int EpisodeWindowTest::count(const char* sql)
{
    return entered()->scalar(QString::fromUtf8(sql)).toInt();
}
