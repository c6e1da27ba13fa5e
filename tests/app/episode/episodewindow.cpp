#include "tests/app/episode/episodewindow.h"

#include "app/common/programinfo.h"
#include "platform/db/dataconnection.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbcombo.h"
#include "platform/ui/events.h"
#include "platform/ui/maskedbox.h"
#include "platform/ui/msgbox.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <sqlite3.h>

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

QStringList EpisodeWindowTest::tableRows(const QString& table, const QString& where)
{
    QStringList rows;
    if (entered()->scalar(QStringLiteral("select count(*) from sqlite_master where type = 'table' and name = ?"),
                          {table})
            .toInt()
        == 0)
        return rows;
    const QByteArray sql = QStringLiteral("select rowid, * from \"%1\" %2 order by rowid")
                               .arg(table, where.isEmpty() ? QString() : QStringLiteral("where ") + where)
                               .toUtf8();
    sqlite3_stmt* st = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(entered()->handle(), sql.constData(), -1, &st, nullptr), SQLITE_OK) << sql.data();
    while (st && sqlite3_step(st) == SQLITE_ROW) {
        QStringList row;
        for (int c = 0; c < sqlite3_column_count(st); ++c) {
            const int type = sqlite3_column_type(st, c);
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
            row << QStringLiteral("%1=%2:%3")
                       .arg(QString::fromUtf8(sqlite3_column_name(st, c)))
                       .arg(type)
                       .arg(text ? QString::fromUtf8(text) : QStringLiteral("NULL"));
        }
        rows << row.join(QLatin1Char('|'));
    }
    sqlite3_finalize(st);
    return rows;
}

QStringList EpisodeWindowTest::headerState()
{
    kezdo& w = *window;
    auto colour = [](QWidget* c) { return c->palette().color(QPalette::Text).name(); };
    QStringList s = {"Label1 " + w.Label1->text(),
                     "Text6 " + w.Text6->text(),
                     "Text11 " + w.Text11->text(),
                     "DBCombo1 " + w.DBCombo1->text(),
                     "Label4 " + w.Label4->text(),
                     "SSPanel22 " + w.SSPanel22->caption(),
                     "Combo2 " + w.Combo2->currentText(),
                     "Text3 " + w.Text3->text() + " " + colour(w.Text3),
                     "Text4 " + w.Text4->text() + " " + colour(w.Text4),
                     "MaskEdBox1 " + w.MaskEdBox1->text() + " " + colour(w.MaskEdBox1),
                     "MaskEdBox2 " + w.MaskEdBox2->text() + " " + colour(w.MaskEdBox2),
                     "MaskEdBox3 " + w.MaskEdBox3->text() + " " + colour(w.MaskEdBox3),
                     "MaskEdBox4 " + w.MaskEdBox4->text() + " " + colour(w.MaskEdBox4),
                     "Text14 " + w.Text14->text(),
                     QStringLiteral("SSCheck2 %1").arg(w.SSCheck2->isChecked()),
                     QStringLiteral("SSCheck1 %1").arg(w.SSCheck1->isChecked()),
                     QStringLiteral("SSCheck6 %1 ").arg(w.SSCheck6->isChecked()) + colour(w.SSCheck6),
                     "Data8 " + w.Data8->recordSource()};
    for (const QVariant& v : w.Data8->recordSourceParams())
        s.last() += " " + v.toString();
    if (w.Text25)
        s << "Text25 " + w.Text25->text();
    return s;
}

const ProgramInfo& BothProgramsWindowTest::program() const
{
    return GetParam() ? ProgramInfo::zorivozure() : ProgramInfo::sebrix();
}

void BothProgramsWindowTest::SetUp()
{
    EpisodeWindowTest::SetUp();
    setInstitution("1234", "Próba Kórház");
}

std::string programName(const ::testing::TestParamInfo<bool>& info)
{
    return info.param ? "Zorivozure" : "Sebrix";
}
