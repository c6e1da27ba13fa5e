// Deleting an item of the episode on show while another program writes to
// the entered data or holds it: only a row of the episode on show goes, and
// a delete that cannot be made is told and leaves the window as it was.
#include "tests/app/shell/shellfixture.h"

#include "platform/db/dataconnection.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbgrid.h"
#include "platform/ui/msgbox.h"
#include "tests/support/otherprogram.h"

#include <QApplication>

#include <vector>

namespace {

// Episodes 1 and 2, and two items of episode 1 (the second one under the
// highest key, which the engine gives again to the next row stored).
void storeEpisodeWithTwoItems(platform::db::Database& entered)
{
    entered.exec(QStringLiteral("delete from Ráfkódok"));
    storeTwoEpisodes(entered);
    for (const char* rkod : {"X1", "Y1"})
        entered.exec(QStringLiteral("insert into Ráfkódok (Azonosito, Rkod, Rmegnevezés, Rmen, Tipus, Manuális)"
                                    " values ('1', ?, 'Tétel', '1,00', 'G', 1)"),
                     {QString::fromLatin1(rkod)});
}

// The codes the items grid shows, and its selected row.
QString gridShows(kezdo& w)
{
    QApplication::processEvents();
    QStringList codes;
    const auto& model = w.DBGrid1->recordsetModel();
    for (int row = 0; row < model.rowCount(); ++row)
        codes << model.data(model.index(row, 1)).toString();
    return codes.join(u',') + QStringLiteral(" @%1").arg(w.DBGrid1->row());
}

QString busyText(const ProgramInfo& info)
{
    return QStringLiteral("A művelet nem sikerült, semmi nem változott!\nA(z) %1 adatbázisfájlt egy másik program "
                          "használja, a művelet nem hajtható végre. Próbálja meg újra később!")
        .arg(info.enteredDataFile);
}

} // namespace

// Another program deletes the second item of episode 1 and stores an item of
// episode 2, which takes the same key: episode 1's items grid shows no row of
// episode 2 there, and "Törlés a tételekből" on that row deletes nothing and
// says why.
TEST_F(ShellTest, the_items_grid_neither_shows_nor_deletes_another_episodes_item_under_a_reused_key)
{
    for (const ProgramInfo* info : {&ProgramInfo::sebrix(), &ProgramInfo::zorivozure()}) {
        SCOPED_TRACE(info->name.toStdString());
        kezdo& w = reviewStored(*info, storeEpisodeWithTwoItems);
        auto entered = w.Data8->database();
        ASSERT_EQ(w.Label1->text().toStdString(), "1");
        w.DBGrid1->selectRow(1);
        ASSERT_EQ(gridShows(w).toStdString(), "X1,Y1 @1");

        testsupport::OtherProgram other(entered->path());
        const QString key = other.run(QStringLiteral("select rowid from Ráfkódok where Rkod = 'Y1'")).value(0);
        other.run(QStringLiteral("delete from Ráfkódok where Rkod = 'Y1'"));
        other.run(QStringLiteral("insert into Ráfkódok (Azonosito, Rkod, Rmegnevezés, Rmen, Tipus, Manuális)"
                                 " values ('2', 'Z2', 'Másik', '1,00', 'G', 1)"));
        ASSERT_EQ(other.run(QStringLiteral("select rowid from Ráfkódok where Rkod = 'Z2'")).value(0), key);
        EXPECT_EQ(gridShows(w).toStdString(), "X1, @1") << "the row reads as deleted";

        boxes->clear();
        boxes->answer(platform::MsgResult::Yes);
        w.SSCommand24->click();
        QApplication::processEvents();
        ASSERT_EQ(boxes.shown().size(), 2) << boxes.texts().join(u'|').toStdString();
        EXPECT_EQ(boxes.shown()[0].text.toStdString(), "Biztos törli?");
        EXPECT_EQ(boxes.shown()[1].text.toStdString(),
                  "A művelet nem sikerült, semmi nem változott!\nA kijelölt sort közben egy másik program törölte "
                  "vagy átírta a(z) "
                      + info->enteredDataFile.toStdString() + " adatbázisfájlban, már nem az, amit a lista mutat.");
        EXPECT_EQ(boxes.shown()[1].icon, platform::MsgIcon::Critical);
        EXPECT_EQ(other.run(QStringLiteral("select Azonosito || '/' || Rkod from Ráfkódok order by Rkod")),
                  (QStringList{"1/X1", "2/Z2"}));
        EXPECT_EQ(gridShows(w).toStdString(), "X1, @1");

        // The item that is still the episode's goes as before.
        w.DBGrid1->selectRow(0);
        boxes->clear();
        boxes->answer(platform::MsgResult::Yes);
        w.SSCommand24->click();
        EXPECT_EQ(boxes.shown().size(), 1) << boxes.texts().join(u'|').toStdString();
        EXPECT_EQ(other.run(QStringLiteral("select Azonosito || '/' || Rkod from Ráfkódok order by Rkod")),
                  QStringList{"2/Z2"});
    }
}

// Another program holds the entered data (a write lock, or a read that keeps
// the delete out): "Törlés a tételekből" tells so, every item stays, and the
// items grid shows the same rows with the same row selected.
TEST_F(ShellTest, a_refused_item_delete_leaves_the_items_and_the_grid_as_they_were)
{
    const std::vector<testsupport::Hold> holds = testsupport::holdsOn(QStringLiteral("Ráfkódok"));
    const int timeout = platform::db::Database::busyTimeout();
    for (const ProgramInfo* info : {&ProgramInfo::sebrix(), &ProgramInfo::zorivozure()}) {
        kezdo& w = reviewStored(*info, storeEpisodeWithTwoItems);
        auto entered = w.Data8->database();
        w.DBGrid1->selectRow(1);
        ASSERT_EQ(gridShows(w).toStdString(), "X1,Y1 @1");
        for (const testsupport::Hold& hold : holds) {
            SCOPED_TRACE(info->name.toStdString() + ", " + hold.name);
            boxes->clear();
            boxes->answer(platform::MsgResult::Yes);
            {
                platform::db::Database::setBusyTimeout(200);
                testsupport::OtherProgram other(entered->path());
                hold.take(other);
                w.SSCommand24->click();
                other.release();
                platform::db::Database::setBusyTimeout(timeout);
            }
            ASSERT_EQ(boxes.shown().size(), 2) << boxes.texts().join(u'|').toStdString();
            EXPECT_EQ(boxes.shown()[1].text, busyText(*info));
            EXPECT_EQ(entered->scalar(QStringLiteral("select count(*) from Ráfkódok")).toInt(), 2);
            EXPECT_EQ(gridShows(w).toStdString(), "X1,Y1 @1");
        }
    }
}
