// The data layer over a full year of a large hospital: 100,000 episodes with
// 1,000,000 items, and a drug table of 50,000 codes.
#include "bench/bench.h"

#include "app/common/datafolder.h"
#include "app/common/programinfo.h"
#include "platform/db/dataconnection.h"

#include <QDir>
#include <QTemporaryDir>

#include <sqlite3.h>

#include "bench/benchdata.h"

#include <cstdio>

using platform::db::DataConnection;
using platform::db::Database;

using bench::bindText;
using bench::bulkInsert;

namespace {

constexpr int kEpisodes = 100000;
constexpr int kItemsPerEpisode = 10;
constexpr int kDrugs = 50000;


QByteArray registerNumber(int episode)
{
    return QByteArray::number(100000000 + episode * 7);
}

std::unique_ptr<DataConnection> connection(std::shared_ptr<Database> db, const QString& source,
                                           const QVariantList& params = {})
{
    auto c = std::make_unique<DataConnection>(QStringLiteral("bench"));
    c->setDatabase(std::move(db));
    c->setRecordSource(source, params);
    return c;
}

void readScreen(DataConnection& c)
{
    auto& rs = c.recordset();
    const int rows = std::min(rs.recordCount(), 25);
    for (int r = 0; r < rows; ++r)
        for (int col = 0; col < 6; ++col)
            (void)rs.valueAt(r, col);
}

} // namespace

BENCH_CASE("db: 100,000 episodes, 1,000,000 items (target < 50 ms each)")
{
    QTemporaryDir dir;
    QString error;
    if (!makeDataFolder(dir.path(), ProgramInfo::sebrix(), &error)) {
        std::printf("  data folder: %s\n", qPrintable(error));
        return;
    }
    auto db = Database::open(QDir(dir.path()).filePath(ProgramInfo::sebrix().enteredDataFile));
    {
        Database::Transaction t(*db);
        bulkInsert(*db,
                   "insert into alap (Azonosito, Int_kod, Int_tipus, T_szam, Taj, Fdat, Fido, Okod, Vjel, Manuális)"
                   " values (?, '1234', '1', ?, ?, ?, '08:00:00', 'AB12', 0, 1)",
                   kEpisodes, [](sqlite3_stmt* s, int i) {
                       sqlite3_bind_int64(s, 1, i + 1);
                       bindText(s, 2, registerNumber(i + 1));
                       bindText(s, 3, QByteArray::number(200000000 + i));
                       bindText(s, 4, bench::episodeDate(i));
                   });
        bulkInsert(*db,
                   "insert into Ráfkódok (Azonosito, Rkod, Rmen, Rmegnevezés, Pont, Egységár, Érték, Tipus, Me,"
                   " Manuális, Fdat, AzonB, Mkod, Mido) values (?, ?, '2,50', 'Tétel', 0, 100, 250, 'G', 'db', 1,"
                   " '2005.08.24.', '0', '12345', '01:30:00')",
                   kEpisodes * kItemsPerEpisode, [](sqlite3_stmt* s, int i) {
                       bindText(s, 1, QByteArray::number(1 + i / kItemsPerEpisode));
                       bindText(s, 2, QByteArray::number(10000 + i % 5000));
                   });
        t.commit();
    }

    auto data3 = connection(db, QStringLiteral("select * from alap"));
    bench::report("refresh \"select * from alap\" + first screen", bench::medianMs(7, [&] {
                      data3->refresh();
                      readScreen(*data3);
                  }));
    bench::report("1,000 x moveNext reading T_szam (whole run)", bench::medianMs(7, [&] {
                      auto& rs = data3->recordset();
                      rs.setAbsolutePosition(50000);
                      for (int i = 0; i < 1000; ++i) {
                          rs.moveNext();
                          (void)rs.text(QStringLiteral("T_szam"));
                      }
                  }));
    auto data8 = connection(db, QStringLiteral("select * from Ráfkódok where Azonosito= ?"), {QStringLiteral("77777")});
    bench::report("load one episode's items", bench::medianMs(7, [&] {
                      data8->refresh();
                      readScreen(*data8);
                  }));
    auto data8all = connection(db, QStringLiteral("Ráfkódok"));
    bench::report("refresh all 1,000,000 items (table source)", bench::medianMs(3, [&] {
                      data8all->refresh();
                      readScreen(*data8all);
                  }));
    bench::report("findFirst T_szam= ? on the 100,000 episodes", bench::medianMs(7, [&] {
                      data3->recordset().findFirst(QStringLiteral("T_szam= ?"),
                                                   {QString::fromLatin1(registerNumber(88888))});
                  }));
    auto byNumber = connection(db, QStringLiteral("select * from alap where T_szam= ?"),
                               {QString::fromLatin1(registerNumber(4321))});
    bench::report("refresh \"select * from alap where T_szam= ?\"", bench::medianMs(7, [&] { byNumber->refresh(); }));
    auto month = connection(db, QStringLiteral("select * from alap where left(Fdat,7)= ?"), {QStringLiteral("2005.08")});
    bench::report("refresh one month of episodes (left(Fdat,7))", bench::medianMs(7, [&] { month->refresh(); }));
}

BENCH_CASE("db: 50,000 drugs (target: narrowing < 20 ms)")
{
    QTemporaryDir dir;
    QString error;
    if (!makeDataFolder(dir.path(), ProgramInfo::sebrix(), &error)) {
        std::printf("  data folder: %s\n", qPrintable(error));
        return;
    }
    auto db = Database::open(QDir(dir.path()).filePath(ProgramInfo::sebrix().codeTableFile));
    {
        Database::Transaction t(*db);
        db->exec(QStringLiteral("delete from SGYOGY"));
        bulkInsert(*db, "insert into SGYOGY (SKOD, SNEV, SME, SAR) values (?, ?, 'doboz', 12.5)", kDrugs,
                   [](sqlite3_stmt* s, int i) {
                       static const char* const words[] = {"Algopyrin", "Béres csepp", "Cataflam", "Noshpa", "Őrlemény"};
                       bindText(s, 1, i % 4 == 0 ? QByteArray("A") + QByteArray::number(i)
                                                 : QByteArray::number(i).rightJustified(5, '0'));
                       bindText(s, 2, QByteArray(words[i % 5]) + ' ' + QByteArray::number(i % 700) + " mg");
                   });
        t.commit();
    }
    auto data7 = connection(db, QStringLiteral("select * from sgyogy where skod like ? order by skod"));
    for (const char* prefix : {"1*", "12*", "123*", "a12*"}) {
        data7->setRecordSource(data7->recordSource(), {QString::fromLatin1(prefix)});
        const double ms = bench::medianMs(7, [&] {
            data7->refresh();
            readScreen(*data7);
        });
        const QString what = QStringLiteral("narrowing skod like \"%1\" (%2 rows)").arg(prefix).arg(data7->recordset().recordCount());
        bench::report(qPrintable(what), ms);
    }
    auto all = connection(db, QStringLiteral("select * from sgyogy order by skod"));
    all->refresh();
    bench::report("exact look-up findFirst Skod= ? in the ordered table", bench::medianMs(7, [&] {
                      all->recordset().findFirst(QStringLiteral("Skod= ?"), {QStringLiteral("04321")});
                  }));
    auto names = connection(db, QStringLiteral("select * from sgyogy where snev like ?"), {QStringLiteral("*pyrin 12*")});
    bench::report("name contains \"*pyrin 12*\"", bench::medianMs(7, [&] {
                      names->refresh();
                      readScreen(*names);
                  }));
}
