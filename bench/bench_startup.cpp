// Start-up and the opening of the modes over a clerk's data that keeps
// growing: 1,000,000 converted records (the last 100,000 not yet processed),
// 100,000 episodes and 1,000,000 items, for each program. The main window
// must start within 1.3 x its start on an empty folder, and "2. Feldolgozás",
// "Tételesen" and "Konvertált adatok áttekintése" must open in under 100 ms.
// The data are built once and serve both cases.
#include "bench/bench.h"
#include "bench/benchdata.h"

#include "app/common/datafolder.h"
#include "app/common/kezdo.h"
#include "app/common/module1.h"
#include "app/common/programinfo.h"
#include "app/windows/konvattform.h"
#include "platform/db/dataconnection.h"
#include "platform/sys/regional.h"
#include "platform/ui/controls.h"
#include "platform/ui/events.h"
#include "platform/ui/msgbox.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

using bench::bindText;
using bench::bulkInsert;
using platform::db::Database;

namespace {

constexpr int kKonv = 1000000;
constexpr int kUnprocessed = 100000;
constexpr int kEpisodes = 100000;
constexpr int kItemsPerEpisode = 10;
constexpr int kSurgeriesPerEpisode = 2;
constexpr int kRuns = 7;

// What every folder holds, empty or not: the institution and one ward.
bool makeFolder(const QString& folder, const ProgramInfo& program)
{
    QString error;
    if (!makeDataFolder(folder, program, &error)) {
        std::printf("  data folder: %s\n", qPrintable(error));
        return false;
    }
    auto db = Database::open(QDir(folder).filePath(program.enteredDataFile));
    db->exec(QStringLiteral("insert into intadatok (int_kod, Int_neve) values ('1234', 'Próba Kórház')"));
    db->exec(QStringLiteral("insert into Osztálykódok (Okod, Megnevezés, Ojelleg) values ('AB12', 'Belgyógyászat', '1')"));
    return true;
}

bool fill(const QString& folder, const ProgramInfo& program)
{
    auto entered = Database::open(QDir(folder).filePath(program.enteredDataFile));
    {
        Database::Transaction t(*entered);
        bulkInsert(*entered,
                   "insert into alap (Azonosito, Int_kod, Int_tipus, T_szam, Taj, Fdat, Fido, Tdat, Tido, Okod, Ojele,"
                   " Tsor, Vjel, Manuális) values (?, '1234', '1', ?, '123456788', ?, '08:00:00', ?,"
                   " '12:00:00', 'AB12', '0', '1', 0, 1)",
                   kEpisodes, [](sqlite3_stmt* s, int i) {
                       sqlite3_bind_int64(s, 1, i + 1);
                       bindText(s, 2, QByteArray::number(100000000 + i * 7));
                       const QByteArray date = bench::episodeDate(i);
                       bindText(s, 3, date);
                       bindText(s, 4, date);
                   });
        bulkInsert(*entered,
                   "insert into Ráfkódok (Azonosito, Rkod, Rmen, Rmegnevezés, Pont, Egységár, Érték, Tipus, Me)"
                   " values (?, ?, '2,50', 'Tétel', 100, 81.6, 204, 'G', 'db')",
                   kEpisodes * kItemsPerEpisode, [](sqlite3_stmt* s, int i) {
                       bindText(s, 1, QByteArray::number(1 + i / kItemsPerEpisode));
                       bindText(s, 2, QByteArray::number(10000 + i % 5000));
                   });
        if (!program.isWard())
            bulkInsert(*entered, "insert into műtétek (Azonosito, Mkod, Mido, AzonB) values (?, ?, '01:30:00', '1')",
                       kEpisodes * kSurgeriesPerEpisode, [](sqlite3_stmt* s, int i) {
                           bindText(s, 1, QByteArray::number(1 + i / kSurgeriesPerEpisode));
                           bindText(s, 2, QByteArray::number(51000 + i % 900));
                       });
        entered->exec(QStringLiteral("update \"Utolso azonosito\" set UTOLSO = ?"), {QString::number(kEpisodes)});
        t.commit();
    }
    auto converted = Database::open(QDir(folder).filePath(program.convertedFile));
    Database::Transaction t(*converted);
    bulkInsert(*converted,
               "insert into konv (Munkahely_azon, Torzsszam, \"Sorszám\", Resz_sor, Szemelyaz, Az_tipus, Beteg_neme,"
               " Szul_datum, Allampolg, Csaladi_all, Kis_torzsszam, Feor, Ir_szam, Ter_kat, Beutalo, Felv_dat,"
               " Felv_tim, Oszt_tipus, Felv_tipus, Felv_jell, Tav_dat, Tav_tim, Tov_sors, Betegseg, Beavatkoz,"
               " Onkologia, Ujsz_suly, Baleset_min, Felhaszn, Orvoskod, Rekord_tip, Tartalek, Feldolgozva)"
               " values ('1234E0101', ?, '01', '1', ?, '1', '1', '19700101', 'HUN', '1', '12', '1234', '1111',"
               " '1', '1', '20050801', '0800', '1', '1', '1', '20050805', '1200', '1', 'A001', '12345', '0', '0',"
               " '0', '0', '123456', '1', '', ?)",
               kKonv, [](sqlite3_stmt* s, int i) {
                   bindText(s, 1, QByteArray::number(300000000 + i));
                   bindText(s, 2, QByteArray::number(200000000 + i));
                   sqlite3_bind_int(s, 3, i < kKonv - kUnprocessed ? 1 : 0);
               });
    t.commit();
    return true;
}

// Both folders, built once.
struct Folders {
    QTemporaryDir empty;
    QTemporaryDir full;
    bool ok = false;
};

Folders& folders()
{
    static Folders f = [] {
        Folders made;
        made.ok = true;
        for (const ProgramInfo* p : {&ProgramInfo::sebrix(), &ProgramInfo::zorivozure()}) {
            made.ok = made.ok && makeFolder(made.empty.path(), *p) && makeFolder(made.full.path(), *p)
                      && fill(made.full.path(), *p);
        }
        return made;
    }();
    return f;
}

double msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The program's start: the files checked, the main window made, shown and
// its first activation run; the window's closing is not counted.
double startMs(const ProgramInfo& program, const QString& folder)
{
    QDir::setCurrent(folder);
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        if (!checkDatabaseFiles(program, folder))
            std::printf("  the files of %s were refused\n", qPrintable(folder));
        auto w = std::make_unique<kezdo>(program);
        w->anotherInstanceRunning = [] { return false; };
        w->show();
        platform::ActivationTracker::instance().windowActivated(w.get());
        QApplication::processEvents();
        times.push_back(msSince(start));
        w.reset();
        QApplication::processEvents();
    }
    return median(times);
}

void printTarget(const char* what, double ms, const char* target)
{
    std::printf("  %-60s %10.3f ms (median)  target %s\n", what, ms, target);
    std::fflush(stdout);
}

void runStartup(const ProgramInfo& program)
{
    Folders& f = folders();
    if (!f.ok)
        return;
    const QString previous = QDir::currentPath();
    platform::ScopedRegional regional(QStringLiteral("%Y.%m.%d."), QStringLiteral("%H:%M:%S"),
                                      QDateTime(QDate(2005, 8, 24), QTime(9, 59, 0)));
    platform::ScriptedMsgBoxService boxes;
    platform::setMsgBoxService(&boxes);
    ProgramInfo::setCurrent(program);

    // The two take turns, so both see the same load of the machine.
    std::vector<double> empty, full;
    for (int i = 0; i < 3; ++i) {
        empty.push_back(startMs(program, f.empty.path()));
        full.push_back(startMs(program, f.full.path()));
    }
    const double emptyMs = median(empty);
    const double fullMs = median(full);
    bench::report("main window start, empty folder", emptyMs);
    bench::report("main window start, 1,000,000 records / 100,000 episodes", fullMs);
    std::printf("  %-60s %10.2f x (target <= 1.30)\n", "ratio (large data / empty folder)", fullMs / emptyMs);

    QDir::setCurrent(f.full.path());
    {
        auto w = std::make_unique<kezdo>(program);
        w->anotherInstanceRunning = [] { return false; };
        w->show();
        platform::ActivationTracker::instance().windowActivated(w.get());
        QApplication::processEvents();

        printTarget("\"2. Feldolgozás\"", bench::medianMs(kRuns, [&] { w->feldolg_Click(); }), "< 100 ms");
        std::printf("  %-60s %s / %s\n", "  first screen: record / unprocessed records",
                    qPrintable(w->Label7->text()), qPrintable(w->Label8->text()));
        w->SSCommand2_Click();
        printTarget("\"Tételesen\"", bench::medianMs(kRuns, [&] { w->tete_Click(); }), "< 100 ms");
        std::printf("  %-60s %s / %s, register number %s\n", "  first screen: episode / episodes",
                    qPrintable(w->Label7->text()), qPrintable(w->Label8->text()), qPrintable(w->Text3->text()));
        w->SSCommand2_Click();

        // Each opening makes the viewer anew; its closing is not counted.
        QString shownCount;
        std::vector<double> viewer;
        for (int run = 0; run < kRuns; ++run) {
            const auto start = std::chrono::steady_clock::now();
            w->konatt_Click();
            platform::ActivationTracker::instance().windowActivated(w->konvattWindow);
            QApplication::processEvents();
            viewer.push_back(msSince(start));
            shownCount = w->konvattWindow->SSPanel1->caption();
            w->konvattWindow->close();
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QApplication::processEvents();
        }
        printTarget("\"Konvertált adatok áttekintése\"", median(viewer), "< 100 ms");
        std::printf("  %-60s %s\n", "  first screen: records counted", qPrintable(shownCount));
    }
    if (!boxes.shown().isEmpty())
        std::printf("  (boxes shown: %s)\n", qPrintable(boxes.texts().join(QStringLiteral(" | "))));
    platform::setMsgBoxService(nullptr);
    QDir::setCurrent(previous);
    ProgramInfo::setCurrent(ProgramInfo::sebrix());
}

} // namespace

BENCH_CASE("startup: surgical program, 1,000,000 converted records, 100,000 episodes, 1,000,000 items (targets: start <= 1.3 x empty, modes < 100 ms)")
{
    runStartup(ProgramInfo::sebrix());
}

BENCH_CASE("startup: ward program, 1,000,000 converted records, 100,000 episodes, 1,000,000 items (targets: start <= 1.3 x empty, modes < 100 ms)")
{
    runStartup(ProgramInfo::zorivozure());
}
