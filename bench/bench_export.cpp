// The monthly export of a month with 100,000 episodes and 1,000,000 items,
// side by side with the sqlite3 tool writing the same joined rows (episode,
// item, and for the surgical program the episode's surgeries) of the same
// file to a file; once for each program.
#include "bench/bench.h"
#include "bench/benchdata.h"

#include "app/common/datafolder.h"
#include "app/common/programinfo.h"
#include "app/exchange/monthlyexport.h"
#include "platform/db/dataconnection.h"
#include "platform/ui/msgbox.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using platform::db::Database;

namespace {

constexpr int kEpisodes = 100000;
constexpr int kItemsPerEpisode = 10;
constexpr int kSurgeriesPerEpisode = 2;
constexpr int kRuns = 3;

bool fill(const ProgramInfo& program, Database& db)
{
    const bool ward = program.isWard();
    Database::Transaction t(db);
    db.exec(QStringLiteral("insert into intadatok (int_kod, Int_neve) values ('1234', 'Próba Kórház')"));
    bench::bulkInsert(db,
                      ward ? "insert into alap (Azonosito, Int_kod, Int_tipus, T_szam, Taj, Tsor, Fdat, Fido, Okod, "
                             "Tdat, Tido, Ojele, Vjel, \"Manuális\") values (?, '1234', '1', ?, ?, '1', ?, "
                             "'08:30:00', '0101', '2005.08.25.', '14:05:00', '0', ?, 0)"
                           : "insert into alap (Azonosito, Int_kod, Int_tipus, T_szam, Taj, Tsor, Fdat, Fido, Okod, "
                             "Tdat, Tido, Ojele, Vjel, \"Manuális\", tovsors) values (?, '1234', '1', ?, ?, '1', ?, "
                             "'08:30:00', '0101', '2005.08.25.', '14:05:00', '0', ?, 0, '2')",
                      kEpisodes, [](sqlite3_stmt* s, int i) {
                          sqlite3_bind_int(s, 1, i + 1);
                          bench::bindText(s, 2, QByteArray::number(100000000 + i));
                          bench::bindText(s, 3, QByteArray::number(200000000 + i));
                          bench::bindText(s, 4, QByteArray("2005.08.") + QByteArray::number(10 + i % 18) + '.');
                          sqlite3_bind_int(s, 5, i % 2);
                      });
    if (!ward)
        bench::bulkInsert(db, "insert into \"műtétek\" (Azonosito, Mkod) values (?, ?)",
                          kEpisodes * kSurgeriesPerEpisode, [](sqlite3_stmt* s, int i) {
                              bench::bindText(s, 1, QByteArray::number(i / kSurgeriesPerEpisode + 1));
                              bench::bindText(s, 2, QByteArray::number(51000 + i % 900));
                          });
    // The ward's items come from its three item tabs.
    bench::bulkInsert(db,
                      ward ? "insert into \"Ráfkódok\" (Azonosito, Rkod, Rmen, Tipus) values (?, ?, ?, ?)"
                           : "insert into \"Ráfkódok\" (Azonosito, Rkod, Rmen, Mido, Tipus) values (?, ?, ?, '01:30:00', ?)",
                      kEpisodes * kItemsPerEpisode, [ward](sqlite3_stmt* s, int i) {
                          bench::bindText(s, 1, QByteArray::number(i / kItemsPerEpisode + 1));
                          bench::bindText(s, 2, QByteArray::number(1000000 + i % 5000));
                          bench::bindText(s, 3, QByteArray::number(1 + i % 40) + ',' + QByteArray::number(i % 100));
                          bench::bindText(s, 4, QByteArray(1, ward ? "GLE"[i % 3] : 'G'));
                      });
    t.commit();
    return db.scalar(QStringLiteral("select count(*) from \"Ráfkódok\"")).toLongLong() == kEpisodes * kItemsPerEpisode;
}

// The tool reads the same file. Its text columns declare a collation only
// the programs know, so every comparison names the plain one.
const char* const kSurgicalToolQuery =
    "WITH s AS (SELECT Azonosito COLLATE BINARY AS az, group_concat(Mkod, ' ') AS codes"
    "           FROM \"műtétek\" GROUP BY 1)\n"
    "SELECT a.Int_kod, a.Int_tipus, a.T_szam, a.Taj, a.Tsor, a.Fdat, a.Fido, a.Okod, a.Tdat, a.Tido, a.Ojele,\n"
    "       r.Rkod, r.Rmen, s.codes, r.Mido, a.Vjel, a.tovsors\n"
    "FROM alap a JOIN \"Ráfkódok\" r ON r.Azonosito COLLATE BINARY = CAST(a.Azonosito AS TEXT)\n"
    "LEFT JOIN s ON s.az = CAST(a.Azonosito AS TEXT)\n"
    "WHERE substr(a.Fdat, 1, 7) = '2005.08' AND a.Int_kod COLLATE BINARY = '1234';\n";
// The ward's line carries no surgeries.
const char* const kWardToolQuery =
    "SELECT a.Int_kod, a.Int_tipus, a.T_szam, a.Taj, a.Tsor, a.Fdat, a.Fido, a.Okod, a.Tdat, a.Tido, a.Ojele,\n"
    "       r.Rkod, r.Rmen, a.Vjel\n"
    "FROM alap a JOIN \"Ráfkódok\" r ON r.Azonosito COLLATE BINARY = CAST(a.Azonosito AS TEXT)\n"
    "WHERE substr(a.Fdat, 1, 7) = '2005.08' AND a.Int_kod COLLATE BINARY = '1234';\n";

bool runTool(const QString& dbPath, const QString& outPath, const char* query)
{
    QProcess tool;
    tool.start(QStringLiteral("sqlite3"), {QStringLiteral("-batch"), dbPath});
    if (!tool.waitForStarted())
        return false;
    tool.write(QStringLiteral(".mode list\n.output '%1'\n").arg(outPath).toUtf8() + query);
    tool.closeWriteChannel();
    tool.waitForFinished(-1);
    const QByteArray err = tool.readAllStandardError();
    if (!err.isEmpty())
        std::printf("  sqlite3: %s\n", err.constData());
    return tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void runExport(const ProgramInfo& program)
{
    QTemporaryDir dir;
    QString error;
    ProgramInfo::setCurrent(program);
    if (!makeDataFolder(dir.path(), program, &error)) {
        std::printf("  data folder: %s\n", qPrintable(error));
        return;
    }
    auto db = Database::open(QDir(dir.path()).filePath(program.enteredDataFile));
    if (!fill(program, *db)) {
        std::printf("  the data could not be made\n");
        return;
    }
    QDir(dir.path()).mkpath(QStringLiteral("cel"));
    const auto institution = exchange::readInstitution(*db);

    exchange::ExportRequest request;
    request.selection = exchange::Selection::Month;
    request.datum = QStringLiteral("2005.08");
    request.startYear = QStringLiteral("2005");
    request.startMonth = QStringLiteral("08");
    request.workingFolder = dir.path();
    request.targetFolder = QDir(dir.path()).filePath(QStringLiteral("cel"));
    request.elpath = QDir(request.targetFolder).filePath(program.exportPrefix + QStringLiteral("123408.txt"));
    request.freeKb = 1LL << 40;
    request.today = QStringLiteral("2005.09.01.");

    const QString toolOut = QDir(dir.path()).filePath(QStringLiteral("tool.txt"));
    const QString workingFile = QDir(dir.path()).filePath(QStringLiteral("tlakt123408.txt"));
    platform::ScriptedMsgBoxService boxes;
    platform::setMsgBoxService(&boxes);

    const char* const toolQuery = program.isWard() ? kWardToolQuery : kSurgicalToolQuery;
    // The two take turns, so both see the same load of the machine.
    std::vector<double> toolMs, fileMs, wholeMs;
    std::vector<long> rssBefore, rssAfter;
    bool toolOk = true;
    qint64 lines = 0;
    QString message;
    for (int run = 0; run < kRuns; ++run) {
        toolMs.push_back(bench::medianMs(1, [&] { toolOk = toolOk && runTool(db->path(), toolOut, toolQuery); }));
        rssBefore.push_back(bench::residentKb());
        fileMs.push_back(bench::medianMs(1, [&] {
            lines = exchange::writeExportFile(program, *db, *institution, request, workingFile, &message);
        }));
        rssAfter.push_back(bench::residentKb());
        boxes.clear();
        boxes.answer(platform::MsgResult::No); // no printed list
        boxes.answer(platform::MsgResult::No); // no diskette
        wholeMs.push_back(bench::medianMs(1, [&] {
            exchange::talvironfloppy(program, *db, *institution, request);
        }));
    }
    platform::setMsgBoxService(nullptr);

    if (!toolOk)
        std::printf("  the sqlite3 tool failed\n");
    if (lines < 0)
        std::printf("  the export failed: %s\n", qPrintable(message));
    const double tool = median(toolMs);
    const double ours = median(fileMs);
    bench::report("sqlite3 tool: joined rows to a file", tool);
    bench::report("export: the working file", ours);
    bench::report("export run: file, list, copy (boxes answered No)", median(wholeMs));
    std::printf("  %-60s %10.2f x (target <= 2.00)\n", "ratio (working file / tool)", ours / tool);
    std::printf("  %-60s %10lld lines, %lld bytes (tool: %lld bytes)\n", "written", lines,
                QFileInfo(workingFile).size(), QFileInfo(toolOut).size());
    for (int run = 0; run < kRuns; ++run)
        std::printf("  resident memory before -> after export run %d %27ld kB -> %ld kB\n", run + 1,
                    rssBefore[size_t(run)], rssAfter[size_t(run)]);
    if (boxes.texts().value(boxes.texts().size() - 1) != QStringLiteral("Kész!"))
        std::printf("  (boxes shown: %s)\n", qPrintable(boxes.texts().join(QStringLiteral(" | "))));
    ProgramInfo::setCurrent(ProgramInfo::sebrix());
}

} // namespace

BENCH_CASE("export: a month of 100,000 episodes and 1,000,000 items, surgical program (target <= 2 x the sqlite3 tool)")
{
    runExport(ProgramInfo::sebrix());
}

BENCH_CASE("export: a month of 100,000 episodes and 1,000,000 items, ward program (target <= 2 x the sqlite3 tool)")
{
    runExport(ProgramInfo::zorivozure());
}
