// Another program writes to the entered data while the review walks it: the
// form shows the episode as it is stored, and a modification the clerk made
// no change to keeps the other program's values.
#include "tests/app/shell/shellfixture.h"

#include "platform/db/dataconnection.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbcombo.h"
#include "platform/ui/dbgrid.h"
#include "platform/ui/msgbox.h"
#include "tests/support/otherprogram.h"

#include <QApplication>
#include <QLineEdit>

TEST_F(ShellTest, the_review_shows_and_keeps_an_episode_another_program_changed_after_it_was_shown)
{
    for (const ProgramInfo* info : {&ProgramInfo::sebrix(), &ProgramInfo::zorivozure()}) {
        SCOPED_TRACE(info->name.toStdString());
        kezdo& w = reviewStored(*info, storeTwoEpisodes);
        auto entered = w.Data8->database();
        ASSERT_EQ(w.Label1->text().toStdString(), "1");
        ASSERT_EQ(w.Text4->text().toStdString(), "123456788");
        w.SSCommand16->click();
        ASSERT_EQ(w.Label1->text().toStdString(), "2");

        testsupport::OtherProgram other(entered->path());
        other.run(QStringLiteral("update alap set Taj = '111111110' where Azonosito = 1"));

        w.SSCommand15->click();
        EXPECT_EQ(w.Label1->text().toStdString(), "1");
        EXPECT_EQ(w.Text4->text().toStdString(), "111111110") << "the form shows what is stored";

        boxes->clear();
        boxes->answer(platform::MsgResult::Yes);
        platform::SSCommand* modify = info->isWard() ? w.SSCommand1.get() : w.SSCommand30.get();
        EXPECT_EQ(modify->caption().toStdString(), info->isWard() ? "Módosítás" : "Módosít");
        modify->click();
        QApplication::processEvents();
        for (const platform::MsgBoxRequest& box : boxes->shown())
            EXPECT_NE(box.icon, platform::MsgIcon::Critical) << box.text.toStdString();
        EXPECT_EQ(other.run(QStringLiteral("select Taj from alap where Azonosito = 1")).value(0).toStdString(),
                  "111111110");
    }
}

// Another program holds the entered data whole as the clerk first starts the
// review, so the frames' grids and lists cannot be bound: the start is
// refused, and the next start, with the file free, shows the episode's items
// and the ward list as a start that was never refused does.
TEST_F(ShellTest, a_review_refused_at_its_first_start_shows_its_grids_and_lists_at_the_next)
{
    struct ShortTimeout {
        int before = platform::db::Database::busyTimeout();
        ShortTimeout() { platform::db::Database::setBusyTimeout(200); }
        ~ShortTimeout() { platform::db::Database::setBusyTimeout(before); }
    };
    for (const ProgramInfo* info : {&ProgramInfo::sebrix(), &ProgramInfo::zorivozure()}) {
        SCOPED_TRACE(info->name.toStdString());
        window.reset();
        kezdo& w = open(*info);
        auto entered = w.Data3->database();
        storeTwoEpisodes(*entered);
        {
            ShortTimeout timeout;
            testsupport::OtherProgram other(entered->path());
            other.run(QStringLiteral("begin exclusive"));
            boxes->clear();
            w.tete->trigger();
            ASSERT_EQ(boxes.shown().size(), 1) << boxes.texts().join(u'|').toStdString();
            EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("Hiba"));
        }
        w.tete->trigger();
        QApplication::processEvents();
        ASSERT_EQ(w.Label1->text().toStdString(), "1");
        EXPECT_EQ(w.DBGrid1->model()->columnCount(), 9) << "the items";
        EXPECT_EQ(w.DBGrid3->model()->columnCount(), 10) << "a code grid on an item tab";
        EXPECT_EQ(w.DBCombo1->model()->rowCount(), 2) << "the ward codes";
    }
}
