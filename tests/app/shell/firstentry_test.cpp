// The first "2. Feldolgozás" and "Adatfelvitel" in a fresh main window of
// each program: the items grid is pointed at the new episode's items before
// the frame first shows it, so neither it nor anything else of the set-up
// counts a whole table, and the window still shows the same record, counts
// and items.
#include "tests/app/shell/shellfixture.h"

#include "app/common/episodestore.h"
#include "platform/db/dataconnection.h"
#include "platform/ui/dbgrid.h"
#include "tests/support/statementlog.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>

namespace {

// The record source a grid's connection holds when the grid is first shown.
class FirstShow : public QObject {
public:
    explicit FirstShow(platform::DBGrid* grid) : m_grid(grid) { grid->installEventFilter(this); }

    bool shown = false;
    QString source;
    QVariantList params;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_grid && event->type() == QEvent::Show && !shown) {
            shown = true;
            source = m_grid->dataSource()->recordSource();
            params = m_grid->dataSource()->recordSourceParams();
        }
        return false;
    }

private:
    platform::DBGrid* m_grid;
};

} // namespace

// Each entry mode's first opening, in each program.
TEST_F(ShellTest, a_first_entry_mode_points_the_items_grid_at_the_new_episode_before_showing_it)
{
    struct Mode {
        const char* name;
        QAction* kezdo::*action;
        bool processing;
    };
    const Mode modes[] = {{"2. Feldolgozás", &kezdo::feldolg, true}, {"Adatfelvitel", &kezdo::fel, false}};
    for (const ProgramInfo* info : {&ProgramInfo::sebrix(), &ProgramInfo::zorivozure()}) {
        for (const Mode& mode : modes) {
            SCOPED_TRACE(info->name.toStdString() + " / " + mode.name);
            window.reset();
            kezdo& w = open(*info);
            auto entered = w.Data8->database();
            auto converted = w.Data10->database();
            // The folder serves every mode of the program.
            entered->exec(QStringLiteral("delete from Ráfkódok"));
            converted->exec(QStringLiteral("delete from konv"));
            entered->exec(QStringLiteral("delete from intadatok"));
            entered->exec(QStringLiteral("insert into intadatok (int_kod, Int_neve) values ('1234', 'Próba Kórház')"));
            // Episode 7's items, and two left under the next identifier 8 by
            // an entry that ended without "Vissza".
            entered->exec(QStringLiteral("update \"Utolso azonosito\" set UTOLSO = 7"));
            for (const char* azonosito : {"7", "7", "7", "8", "8"})
                entered->exec(
                    QStringLiteral("insert into Ráfkódok (Azonosito, Rkod, Rmen, Tipus) values (?, '10001', '1', 'G')"),
                    {QString::fromLatin1(azonosito)});
            for (bool processed : {true, false, false})
                converted->exec(QStringLiteral("insert into konv (Munkahely_azon, Torzsszam, Felv_dat, Felv_tim,"
                                               " Tav_dat, Tav_tim, Feldolgozva) values ('1234E0101', '111111111',"
                                               " '2005.08.01.', '08:00', '2005.08.05.', '12:00', ?)"),
                                {processed});

            FirstShow firstShow(w.DBGrid1);
            {
                testsupport::StatementLog enteredLog(entered->handle());
                testsupport::StatementLog convertedLog(converted->handle());
                (w.*mode.action)->trigger();
                QApplication::processEvents();

                // The items and the converted records are counted only as
                // far as an index finds those wanted: never a whole table.
                const QStringList plans = enteredLog.countingPlans(QStringLiteral("Ráfkódok"))
                                          + convertedLog.countingPlans(QStringLiteral("konv"));
                EXPECT_FALSE(plans.isEmpty());
                for (const QString& plan : plans)
                    EXPECT_TRUE(plan.contains(QLatin1String("-> SEARCH "))) << plan.toStdString();
            }
            EXPECT_TRUE(boxes->texts().isEmpty()) << boxes->texts().join(u'|').toStdString();

            ASSERT_TRUE(firstShow.shown) << "the frame shows the items grid";
            EXPECT_EQ(firstShow.source.toStdString(), episode::kItemsOfEpisode.toStdString());
            EXPECT_EQ(firstShow.params, QVariantList{QStringLiteral("8")});

            EXPECT_EQ(w.Label1->text().toStdString(), "8");
            EXPECT_EQ(w.DBGrid1->recordsetModel().rowCount(), 2) << "the items left under the new identifier";
            EXPECT_EQ(w.Data8->recordset().recordCount(), 2);
            if (mode.processing) {
                EXPECT_EQ(w.Label7->text().toStdString(), "0");
                EXPECT_EQ(w.Label8->text().toStdString(), "2") << "the unprocessed records";
                EXPECT_EQ(w.Text3->text().toStdString(), "111111111");
            }
        }
    }
}
