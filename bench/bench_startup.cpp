// Start-up and the opening of the modes over a clerk's data that keeps
// growing: 1,000,000 converted records (the last 100,000 not yet processed),
// 100,000 episodes and 1,000,000 items, for each program. The main window
// must start within 1.3 x its start on an empty folder.
//
// A mode is timed at its first opening in a freshly made main window, as a
// clerk meets it after starting the program: a second opening in the same
// window finds its record sets counted and its grids laid out already, which
// hides what the first one costs. Each run makes a new window, opens the mode
// once and closes the window; the median is taken over the runs, the large
// folder and a folder of 10 records taking turns. "2. Feldolgozás" and
// "Konvertált adatok áttekintése" must open in under 50 ms over the large data
// and within 1.3 x their opening over the 10 records. The data are built once
// and serve both cases; with RAFORDIT_BENCH_KEEP set in the environment the
// 10-record and the large folder are kept (their paths are printed) for a
// look at the programs in the real window.
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
#include "platform/ui/dbgrid.h"
#include "platform/ui/events.h"
#include "platform/ui/msgbox.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using bench::bindText;
using bench::bulkInsert;
using platform::db::Database;

namespace {

// What a folder holds beyond the institution and its ward.
struct Volume {
    int konv;            // converted records; the last tenth not yet processed
    int episodes;        // each with its items and (surgical program) surgeries
    int itemsPerEpisode;
    int surgeriesPerEpisode;
};

constexpr Volume kLarge{1000000, 100000, 10, 2};
// The 10 records beside it: 10 converted records, one episode with 10 items.
constexpr Volume kTen{10, 1, 10, 2};
constexpr int kRuns = 7;
// A first opening is short and varies with the machine's load: more windows.
constexpr int kModeRuns = 15;
constexpr double kModeTargetMs = 50.0;
constexpr double kModeTargetRatio = 1.3;

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

bool fill(const QString& folder, const ProgramInfo& program, const Volume& v)
{
    auto entered = Database::open(QDir(folder).filePath(program.enteredDataFile));
    {
        Database::Transaction t(*entered);
        bulkInsert(*entered,
                   "insert into alap (Azonosito, Int_kod, Int_tipus, T_szam, Taj, Fdat, Fido, Tdat, Tido, Okod, Ojele,"
                   " Tsor, Vjel, Manuális) values (?, '1234', '1', ?, '123456788', ?, '08:00:00', ?,"
                   " '12:00:00', 'AB12', '0', '1', 0, 1)",
                   v.episodes, [](sqlite3_stmt* s, int i) {
                       sqlite3_bind_int64(s, 1, i + 1);
                       bindText(s, 2, QByteArray::number(100000000 + i * 7));
                       const QByteArray date = bench::episodeDate(i);
                       bindText(s, 3, date);
                       bindText(s, 4, date);
                   });
        const int items = v.itemsPerEpisode;
        bulkInsert(*entered,
                   "insert into Ráfkódok (Azonosito, Rkod, Rmen, Rmegnevezés, Pont, Egységár, Érték, Tipus, Me)"
                   " values (?, ?, '2,50', 'Tétel', 100, 81.6, 204, 'G', 'db')",
                   v.episodes * items, [items](sqlite3_stmt* s, int i) {
                       bindText(s, 1, QByteArray::number(1 + i / items));
                       bindText(s, 2, QByteArray::number(10000 + i % 5000));
                   });
        const int surgeries = v.surgeriesPerEpisode;
        if (!program.isWard())
            bulkInsert(*entered, "insert into műtétek (Azonosito, Mkod, Mido, AzonB) values (?, ?, '01:30:00', '1')",
                       v.episodes * surgeries, [surgeries](sqlite3_stmt* s, int i) {
                           bindText(s, 1, QByteArray::number(1 + i / surgeries));
                           bindText(s, 2, QByteArray::number(51000 + i % 900));
                       });
        entered->exec(QStringLiteral("update \"Utolso azonosito\" set UTOLSO = ?"), {QString::number(v.episodes)});
        t.commit();
    }
    auto converted = Database::open(QDir(folder).filePath(program.convertedFile));
    Database::Transaction t(*converted);
    const int processed = v.konv - std::max(1, v.konv / 10);
    bulkInsert(*converted,
               "insert into konv (Munkahely_azon, Torzsszam, \"Sorszám\", Resz_sor, Szemelyaz, Az_tipus, Beteg_neme,"
               " Szul_datum, Allampolg, Csaladi_all, Kis_torzsszam, Feor, Ir_szam, Ter_kat, Beutalo, Felv_dat,"
               " Felv_tim, Oszt_tipus, Felv_tipus, Felv_jell, Tav_dat, Tav_tim, Tov_sors, Betegseg, Beavatkoz,"
               " Onkologia, Ujsz_suly, Baleset_min, Felhaszn, Orvoskod, Rekord_tip, Tartalek, Feldolgozva)"
               " values ('1234E0101', ?, '01', '1', ?, '1', '1', '19700101', 'HUN', '1', '12', '1234', '1111',"
               " '1', '1', '20050801', '0800', '1', '1', '1', '20050805', '1200', '1', 'A001', '12345', '0', '0',"
               " '0', '0', '123456', '1', '', ?)",
               v.konv, [processed](sqlite3_stmt* s, int i) {
                   bindText(s, 1, QByteArray::number(300000000 + i));
                   bindText(s, 2, QByteArray::number(200000000 + i));
                   sqlite3_bind_int(s, 3, i < processed ? 1 : 0);
               });
    t.commit();
    return true;
}

// The folders, built once: empty, 10 records, and the large one.
struct Folders {
    QTemporaryDir empty;
    QTemporaryDir ten;
    QTemporaryDir full;
    bool ok = false;
};

Folders& folders()
{
    static Folders f = [] {
        Folders made;
        made.ok = true;
        // Kept for a look in the real window when asked for.
        if (qEnvironmentVariableIsSet("RAFORDIT_BENCH_KEEP")) {
            made.ten.setAutoRemove(false);
            made.full.setAutoRemove(false);
            std::printf("  kept: 10 records in %s, 1,000,000 in %s\n", qPrintable(made.ten.path()),
                        qPrintable(made.full.path()));
        }
        for (const ProgramInfo* p : {&ProgramInfo::sebrix(), &ProgramInfo::zorivozure()}) {
            made.ok = made.ok && makeFolder(made.empty.path(), *p) && makeFolder(made.ten.path(), *p)
                      && fill(made.ten.path(), *p, kTen) && makeFolder(made.full.path(), *p)
                      && fill(made.full.path(), *p, kLarge);
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

// The program's start in the working folder: the files checked, the main
// window made, shown and its first activation run.
std::unique_ptr<kezdo> startWindow(const ProgramInfo& program, const QString& folder)
{
    if (!checkDatabaseFiles(program, folder))
        std::printf("  the files of %s were refused\n", qPrintable(folder));
    auto w = std::make_unique<kezdo>(program);
    w->anotherInstanceRunning = [] { return false; };
    w->show();
    platform::ActivationTracker::instance().windowActivated(w.get());
    QApplication::processEvents();
    return w;
}

// Closing is not counted; whatever the window opened goes with it.
void closeWindow(std::unique_ptr<kezdo>& w)
{
    w.reset();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

double startMs(const ProgramInfo& program, const QString& folder)
{
    QDir::setCurrent(folder);
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        auto w = startWindow(program, folder);
        times.push_back(msSince(start));
        closeWindow(w);
    }
    return median(times);
}

// A mode as the clerk opens it: the set-up run and the window painted.
struct Mode {
    const char* name;
    const char* target; // "" for none beyond the ratio's
    bool targeted;      // held to the 50 ms and the 1.3 x
    std::function<void(kezdo&)> open;
    std::function<QString(kezdo&)> shown; // what its first screen counts
};

std::vector<Mode> modes()
{
    return {
        {"\"2. Feldolgozás\"", "< 50 ms, <= 1.30 x", true,
         [](kezdo& w) {
             w.feldolg->trigger();
             QApplication::processEvents();
         },
         [](kezdo& w) {
             return QStringLiteral("record %1 / %2 unprocessed, %3 items shown")
                 .arg(w.Label7->text(), w.Label8->text())
                 .arg(w.DBGrid1->recordsetModel().rowCount());
         }},
        {"\"Tételesen\"", "< 100 ms", false,
         [](kezdo& w) {
             w.tete_Click();
             QApplication::processEvents();
         },
         [](kezdo& w) {
             return QStringLiteral("episode %1 / %2, register number %3")
                 .arg(w.Label7->text(), w.Label8->text(), w.Text3->text());
         }},
        {"\"Konvertált adatok áttekintése\"", "< 50 ms, <= 1.30 x", true,
         [](kezdo& w) {
             w.konatt->trigger();
             platform::ActivationTracker::instance().windowActivated(w.konvattWindow);
             QApplication::processEvents();
         },
         [](kezdo& w) {
             return w.konvattWindow ? QStringLiteral("%1 records counted").arg(w.konvattWindow->SSPanel1->caption())
                                    : QStringLiteral("no viewer");
         }},
    };
}

// The mode's first opening in a fresh main window, once per run.
double firstOpeningMs(const ProgramInfo& program, const QString& folder, const Mode& mode, QString* shown)
{
    QDir::setCurrent(folder);
    auto w = startWindow(program, folder);
    const auto start = std::chrono::steady_clock::now();
    mode.open(*w);
    const double ms = msSince(start);
    *shown = mode.shown(*w);
    closeWindow(w);
    return ms;
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

    std::printf("  first opening in a fresh main window, median of %d windows:\n", kModeRuns);
    std::printf("  %-36s %12s %12s %8s   %s\n", "", "10 records", "1,000,000", "ratio", "target");
    for (const Mode& mode : modes()) {
        std::vector<double> ten, large;
        QString tenShown, largeShown;
        for (int run = 0; run < kModeRuns; ++run) {
            ten.push_back(firstOpeningMs(program, f.ten.path(), mode, &tenShown));
            large.push_back(firstOpeningMs(program, f.full.path(), mode, &largeShown));
        }
        const double tenMs = median(ten);
        const double largeMs = median(large);
        const double ratio = largeMs / tenMs;
        const bool met = !mode.targeted || (largeMs < kModeTargetMs && ratio <= kModeTargetRatio);
        // Padded by characters, not bytes: the names carry accented letters.
        std::printf("  %s %9.3f ms %9.3f ms %6.2f x   %-20s %s\n",
                    qPrintable(QString::fromUtf8(mode.name).leftJustified(36)), tenMs, largeMs, ratio, mode.target,
                    mode.targeted ? (met ? "met" : "MISSED") : "");
        std::printf("  %-36s slowest %.3f ms / %.3f ms\n", "", *std::max_element(ten.begin(), ten.end()),
                    *std::max_element(large.begin(), large.end()));
        std::printf("  %-36s 10 records: %s\n", "", qPrintable(tenShown));
        std::printf("  %-36s 1,000,000:  %s\n", "", qPrintable(largeShown));
        std::fflush(stdout);
    }
    if (!boxes.shown().isEmpty())
        std::printf("  (boxes shown: %s)\n", qPrintable(boxes.texts().join(QStringLiteral(" | "))));
    platform::setMsgBoxService(nullptr);
    QDir::setCurrent(previous);
    ProgramInfo::setCurrent(ProgramInfo::sebrix());
}

} // namespace

BENCH_CASE("startup: surgical program, 1,000,000 converted records, 100,000 episodes, 1,000,000 items (targets: start <= 1.3 x empty; first processing and viewer < 50 ms and <= 1.3 x 10 records)")
{
    runStartup(ProgramInfo::sebrix());
}

BENCH_CASE("startup: ward program, 1,000,000 converted records, 100,000 episodes, 1,000,000 items (targets: start <= 1.3 x empty; first processing and viewer < 50 ms and <= 1.3 x 10 records)")
{
    runStartup(ProgramInfo::zorivozure());
}
