// The review ("Tételesen") of each program: its first opening never counts
// the whole item table, and its walk keeps the count beside the position in
// step with what another program deleted or added meanwhile.
#include "tests/app/shell/shellfixture.h"

#include "app/common/episodestore.h"
#include "platform/db/dataconnection.h"
#include "platform/db/dialect.h"
#include "platform/db/keybatch.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbgrid.h"
#include "tests/support/statementlog.h"

#include <QAction>
#include <QApplication>
#include <QLabel>

#include <sqlite3.h>

namespace {

// Episodes 1..n, each with one item, and two items of episode 1.
void storeEpisodes(platform::db::Database& entered, int n)
{
    entered.exec(QStringLiteral("delete from alap"));
    entered.exec(QStringLiteral("delete from Ráfkódok"));
    for (int i = 1; i <= n; ++i) {
        entered.exec(QStringLiteral("insert into alap (Azonosito, Int_kod, Int_tipus, T_szam, Fdat, Tdat)"
                                    " values (?, '0101', 'E', ?, '2005.08.01.', '2005.08.05.')"),
                     {i, QString::number(100000000 + i)});
        entered.exec(QStringLiteral("insert into Ráfkódok (Azonosito, Rkod, Rmen, Tipus) values (?, '10001', '1', 'G')"),
                     {QString::number(i)});
    }
    entered.exec(QStringLiteral("insert into Ráfkódok (Azonosito, Rkod, Rmen, Tipus) values ('1', '10002', '2', 'G')"));
}

// Another program on the same file, such as the sqlite3 tool: a connection
// of its own, whose writes this program's record sets hear nothing about.
void changeFromAnotherProgram(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    sqlite3_create_collation_v2(
        db, platform::db::dialect::kCollation, SQLITE_UTF8, nullptr,
        [](void*, int na, const void* a, int nb, const void* b) {
            return platform::db::dialect::compareNoCase(static_cast<const char*>(a), na, static_cast<const char*>(b), nb);
        },
        nullptr);
    sqlite3_busy_timeout(db, 5000);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

struct SmallBatches {
    SmallBatches() { platform::db::setFirstKeyBatch(4); }
    ~SmallBatches() { platform::db::setFirstKeyBatch(256); }
};

} // namespace

TEST_F(ShellTest, the_first_review_points_the_items_grid_at_the_first_episode_before_showing_it)
{
    for (const ProgramInfo* info : {&ProgramInfo::sebrix(), &ProgramInfo::zorivozure()}) {
        SCOPED_TRACE(info->name.toStdString());
        window.reset();
        kezdo& w = open(*info);
        auto entered = w.Data8->database();
        storeEpisodes(*entered, 5);
        w.Data3->refresh();

        QString sourceAtFirstShow;
        QVariantList paramsAtFirstShow;
        platform::DBGrid* grid = w.DBGrid1;
        struct Watch : QObject {
            std::function<void()> onShow;
            bool eventFilter(QObject*, QEvent* e) override
            {
                if (e->type() == QEvent::Show && onShow) {
                    onShow();
                    onShow = nullptr;
                }
                return false;
            }
        } watch;
        watch.onShow = [&] {
            sourceAtFirstShow = grid->dataSource()->recordSource();
            paramsAtFirstShow = grid->dataSource()->recordSourceParams();
        };
        grid->installEventFilter(&watch);
        {
            testsupport::StatementLog log(entered->handle());
            w.tete->trigger();
            QApplication::processEvents();
            for (const QString& plan : log.countingPlans(QStringLiteral("Ráfkódok")))
                EXPECT_TRUE(plan.contains(QLatin1String("-> SEARCH "))) << plan.toStdString();
        }
        grid->removeEventFilter(&watch);
        EXPECT_TRUE(boxes->texts().isEmpty()) << boxes->texts().join(u'|').toStdString();
        EXPECT_EQ(sourceAtFirstShow.toStdString(), episode::kItemsOfEpisode.toStdString());
        EXPECT_EQ(paramsAtFirstShow, QVariantList{QStringLiteral("1")});
        EXPECT_EQ(w.Label1->text().toStdString(), "1");
        EXPECT_EQ(w.Label7->text().toStdString(), "1");
        EXPECT_EQ(w.Label8->text().toStdString(), "5");
        EXPECT_EQ(w.DBGrid1->recordsetModel().rowCount(), 2);
    }
}

// Another program deletes episodes the walk has not reached, or adds some
// past its end: every stored episode is met once, and the count beside the
// position is put right once the walk meets its end.
TEST_F(ShellTest, the_review_walk_meets_every_stored_episode_and_corrects_its_count)
{
    struct Case {
        const char* name;
        const char* change; // run by another connection after the first screen
        int expectedCount;
    };
    const Case cases[] = {
        {"episodes deleted ahead of the walk", "delete from alap where Azonosito between 6 and 8", 17},
        {"episodes added past the end", "insert into alap (Azonosito, T_szam) values (21, '100000021'), (22, '100000022')",
         22},
    };
    SmallBatches small;
    for (const ProgramInfo* info : {&ProgramInfo::sebrix(), &ProgramInfo::zorivozure()}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(info->name.toStdString() + " / " + c.name);
            window.reset();
            kezdo& w = open(*info);
            storeEpisodes(*w.Data8->database(), 20);
            w.Data3->refresh();
            w.tete->trigger();
            QApplication::processEvents();
            ASSERT_EQ(w.Label8->text().toStdString(), "20");

            changeFromAnotherProgram(w.Data8->database()->path(), c.change);
            boxes->clear();

            QStringList met{w.Label1->text()};
            for (int step = 0; step < 25 && boxes->texts().isEmpty(); ++step) {
                w.SSCommand16->click();
                QApplication::processEvents();
                if (boxes->texts().isEmpty())
                    met << w.Label1->text();
            }
            EXPECT_EQ(boxes->texts().value(0).toStdString(), "Adatbázis vége!");
            EXPECT_EQ(met.size(), c.expectedCount) << met.join(u',').toStdString();
            EXPECT_EQ(met.removeDuplicates(), 0);
            EXPECT_EQ(w.Label8->text().toStdString(), std::to_string(c.expectedCount));
            EXPECT_EQ(w.Label7->text().toStdString(), std::to_string(c.expectedCount));
        }
    }
}
