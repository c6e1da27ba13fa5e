// The episode record on the real main window over a large year: 100,000
// episodes with 1,000,000 items and 200,000 surgeries. Starting review, each
// browse step, loading an episode and a register-number find must each stay
// under 50 ms, and walking the episodes must not make memory grow.
#include "bench/bench.h"

#include "app/common/datafolder.h"
#include "app/common/kezdo.h"
#include "app/common/programinfo.h"
#include "platform/db/dataconnection.h"
#include "platform/sys/regional.h"
#include "platform/ui/msgbox.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <sqlite3.h>

#include "bench/benchdata.h"

#include <cstdio>
#include <functional>
#include <memory>

using platform::db::Database;

using bench::bindText;
using bench::bulkInsert;

namespace {

constexpr int kEpisodes = 100000;
constexpr int kItemsPerEpisode = 10;
constexpr int kSurgeriesPerEpisode = 2;


// Register numbers repeat every 50,000 episodes, so a find shows two.
QByteArray registerNumber(int episode)
{
    return QByteArray::number(100000000 + (episode % 50000) * 7);
}

bool fillYear(const QString& folder)
{
    QString error;
    if (!makeDataFolder(folder, ProgramInfo::sebrix(), &error)) {
        std::printf("  data folder: %s\n", qPrintable(error));
        return false;
    }
    auto db = Database::open(QDir(folder).filePath(ProgramInfo::sebrix().enteredDataFile));
    Database::Transaction t(*db);
    db->exec(QStringLiteral("insert into intadatok (int_kod, Int_neve) values ('1234', 'Próba Kórház')"));
    db->exec(QStringLiteral("insert into Osztálykódok (Okod, Megnevezés, Ojelleg) values ('AB12', 'Belgyógyászat', '1')"));
    bulkInsert(*db,
               "insert into alap (Azonosito, Int_kod, Int_tipus, T_szam, Taj, Fdat, Fido, Tdat, Tido, Okod, Ojele,"
               " Tsor, Vjel, Manuális, tovsors) values (?, '1234', '1', ?, '123456788', ?, '08:00:00', ?,"
               " '12:00:00', 'AB12', '0', '1', 0, 1, '3')",
               kEpisodes, [](sqlite3_stmt* s, int i) {
                   sqlite3_bind_int64(s, 1, i + 1);
                   bindText(s, 2, registerNumber(i + 1));
                   const QByteArray date = bench::episodeDate(i);
                   bindText(s, 3, date);
                   bindText(s, 4, date);
               });
    bulkInsert(*db,
               "insert into Ráfkódok (Azonosito, Rkod, Rmen, Rmegnevezés, Pont, Egységár, Érték, Tipus, Me,"
               " Manuális, Fdat, AzonB, Mkod, Mido) values (?, ?, '2,50', 'Tétel', 0, 100, 250, 'G', 'db', 1,"
               " '2005.08.24.', '0', '12345', '01:30:00')",
               kEpisodes * kItemsPerEpisode, [](sqlite3_stmt* s, int i) {
                   bindText(s, 1, QByteArray::number(1 + i / kItemsPerEpisode));
                   bindText(s, 2, QByteArray::number(10000 + i % 5000));
               });
    bulkInsert(*db, "insert into műtétek (Azonosito, Mkod, Mido, AzonB) values (?, ?, '01:30:00', '1')",
               kEpisodes * kSurgeriesPerEpisode, [](sqlite3_stmt* s, int i) {
                   bindText(s, 1, QByteArray::number(1 + i / kSurgeriesPerEpisode));
                   bindText(s, 2, QByteArray::number(12345 + i % kSurgeriesPerEpisode));
               });
    db->exec(QStringLiteral("update \"Utolso azonosito\" set UTOLSO = ?"), {QString::number(kEpisodes)});
    t.commit();
    return true;
}

} // namespace

BENCH_CASE("episode: 100,000 episodes on the main window (target < 50 ms each)")
{
    QTemporaryDir dir;
    if (!fillYear(dir.path()))
        return;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    platform::ScopedRegional regional(QStringLiteral("%Y.%m.%d."), QStringLiteral("%H:%M:%S"),
                                      QDateTime(QDate(2005, 8, 24), QTime(9, 59, 0)));
    platform::ScriptedMsgBoxService boxes;
    platform::setMsgBoxService(&boxes);
    {
        ProgramInfo::setCurrent(ProgramInfo::sebrix());
        auto w = std::make_unique<kezdo>(ProgramInfo::sebrix());
        w->anotherInstanceRunning = [] { return false; };
        w->show();

        bench::report("\"Adatfelvitel\" set-up (every episode into the walk)", bench::medianMs(7, [&] {
                          w->fel_Click();
                      }));
        w->SSCommand2_Click();
        bench::report("start review (\"Tételesen\")", bench::medianMs(7, [&] { w->tete_Click(); }));
        bench::report("next episode", bench::medianMs(7, [&] { w->SSCommand16_Click(); }));
        bench::report("previous episode", bench::medianMs(7, [&] { w->SSCommand15_Click(); }));
        bench::report("load the current episode (olvasdata3t)", bench::medianMs(7, [&] { w->olvasdata3t(); }));
        w->Text19->setText(QString::fromLatin1(registerNumber(43210)));
        bench::report("find by register number (two episodes)", bench::medianMs(7, [&] {
                          w->SSCommand26_Click();
                      }));
        w->Text19->clear();
        w->SSCommand26_Click();

        // Memory while walking: the grid of every episode and the walk must
        // not hold rows that were shown once.
        for (int i = 0; i < 200; ++i)
            w->SSCommand16_Click();
        const long before = bench::residentKb();
        for (int i = 0; i < 2000; ++i)
            w->SSCommand16_Click();
        const long after = bench::residentKb();
        std::printf("  %-60s %10ld kB\n", "resident memory growth over 2,000 more steps", after - before);
        if (!boxes.shown().isEmpty())
            std::printf("  (boxes shown: %s)\n", qPrintable(boxes.texts().join(QStringLiteral(" | "))));
    }
    platform::setMsgBoxService(nullptr);
    QDir::setCurrent(previous);
}
