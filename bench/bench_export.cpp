// The monthly export of a month with 100,000 episodes and 1,000,000 items,
// side by side with the sqlite3 tool writing the same lines (episode, item,
// and for the surgical program the episode's surgeries, laid out as the
// program lays them out) of the same file to a file; once for each program.
#include "bench/bench.h"
#include "bench/benchdata.h"

#include "app/common/datafolder.h"
#include "app/common/programinfo.h"
#include "app/exchange/monthlyexport.h"
#include "platform/db/dataconnection.h"
#include "platform/ui/msgbox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
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

// The tool does the program's work: it loads the files' collation, so the
// selection and the items' join compare as the program does and use the same
// indexes, and writes each line with the program's layout (pieces cut or
// filled to their widths, dates and times reformatted, the quantity rounded
// to two decimals), so both sides write the same bytes. Its quantity reads
// the forms the data hold: digits, a decimal comma or point, decimals.
QString datePiece(const QString& v)
{
    return QStringLiteral("(CASE WHEN (length(%1) = 10 OR (length(%1) = 11 AND substr(%1, 11, 1) = '.'))"
                          " AND substr(%1, 5, 1) = '.' AND substr(%1, 8, 1) = '.'"
                          " AND (substr(%1, 1, 4) || substr(%1, 6, 2) || substr(%1, 9, 2)) GLOB"
                          " '[0-9][0-9][0-9][0-9][0-9][0-9][0-9][0-9]'"
                          " THEN substr(%1, 1, 4) || substr(%1, 6, 2) || substr(%1, 9, 2) ELSE '        ' END)")
        .arg(v);
}

QString timePiece(const QString& v)
{
    return QStringLiteral("(CASE WHEN (length(%1) = 5 OR (length(%1) = 8 AND substr(%1, 6, 3) GLOB ':[0-9][0-9]'))"
                          " AND substr(%1, 1, 5) GLOB '[0-9][0-9]:[0-9][0-9]'"
                          " THEN substr(%1, 1, 2) || substr(%1, 4, 2) ELSE '    ' END)")
        .arg(v);
}

QString quantityPiece(const QString& v)
{
    // q: the text with a decimal comma; c: hundredths, rounded half up.
    const QString q = QStringLiteral("replace(trim(coalesce(%1, '')), '.', ',')").arg(v);
    const QString whole = QStringLiteral("(CASE WHEN instr(%1, ',') > 0 THEN substr(%1, 1, instr(%1, ',') - 1) ELSE %1 END)").arg(q);
    const QString fraction =
        QStringLiteral("((CASE WHEN instr(%1, ',') > 0 THEN substr(%1, instr(%1, ',') + 1) ELSE '' END) || '000')").arg(q);
    const QString cents = QStringLiteral("(CAST(%1 AS INTEGER) * 100 + CAST(substr(%2, 1, 2) AS INTEGER)"
                                         " + (substr(%2, 3, 1) >= '5'))")
                              .arg(whole, fraction);
    // Put together without arg(): the printf formats hold "%10" and "%02".
    return QStringLiteral("(CASE WHEN ") + q + QStringLiteral(" = '' THEN '          ' ELSE printf('%10s', printf('%d,%02d', ")
        + cents + QStringLiteral(" / 100, ") + cents + QStringLiteral(" % 100)) END)");
}

QString text(const QString& v, int width)
{
    return QStringLiteral("printf('%!%1.%1s', %2)").arg(width).arg(v);
}

QString toolQuery(bool ward)
{
    QStringList head = {text("a.Int_kod", 4), text("a.Int_tipus", 1), text("a.T_szam", 9), text("a.Taj", 9),
                        text("a.Tsor", 2),    datePiece("a.Fdat"),    timePiece("a.Fido"),  text("a.Okod", 4),
                        datePiece("a.Tdat"),  timePiece("a.Tido"),    text("a.Ojele", 1)};
    QString surgeries;
    for (int n = 0; n < 5; ++n)
        surgeries += QStringLiteral(" || ") + text(QStringLiteral("(SELECT m.Mkod FROM \"műtétek\" m WHERE m.Azonosito ="
                                                                  " CAST(a.Azonosito AS TEXT) ORDER BY m.rowid LIMIT 1"
                                                                  " OFFSET %1)").arg(n), 5);
    const QString vjel = QStringLiteral("(CASE WHEN coalesce(a.Vjel, 0) <> 0 THEN '1' ELSE '0' END)");
    // Per episode once: its own pieces before the item's, its surgeries, and
    // its pieces after the item's.
    const QString episodes =
        QStringLiteral("SELECT a.rowid AS arow, CAST(a.Azonosito AS TEXT) AS az, %1 AS head, %2 AS surgeries,"
                       " %3 AS tail FROM alap a WHERE substr(a.Fdat, 1, 7) = '2005.08' AND a.Int_kod = '1234'")
            .arg(head.join(QStringLiteral(" || ")), ward ? QStringLiteral("''") : QStringLiteral("''") + surgeries,
                 ward ? vjel : vjel + QStringLiteral(" || ") + text("a.tovsors", 1));
    const QString duration = ward ? QString() : QStringLiteral(" || ") + timePiece("r.Mido");
    return QStringLiteral("SELECT e.head || coalesce(r.Rkod, '') || %1 || e.surgeries%2 || e.tail\n"
                          "FROM (%3) e CROSS JOIN \"Ráfkódok\" r ON r.Azonosito = e.az ORDER BY e.arow, r.rowid;\n")
        .arg(quantityPiece("r.Rmen"), duration, episodes);
}

// The collation extension built beside the benchmark.
QString hunocaseModule()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../app/hunocase"));
}

bool runTool(const QString& dbPath, const QString& outPath, const QString& query)
{
    QProcess tool;
    tool.start(QStringLiteral("sqlite3"), {QStringLiteral("-batch"), dbPath});
    if (!tool.waitForStarted())
        return false;
    tool.write(QStringLiteral(".load '%1'\n.mode list\n.separator \"\" \"\\r\\n\"\n.output '%2'\n")
                   .arg(hunocaseModule(), outPath)
                   .toUtf8()
               + query.toUtf8());
    tool.closeWriteChannel();
    tool.waitForFinished(-1);
    const QByteArray err = tool.readAllStandardError();
    if (!err.isEmpty())
        std::printf("  sqlite3: %s\n", err.constData());
    return tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

bool sameContents(const QString& a, const QString& b)
{
    QFile first(a);
    QFile second(b);
    return first.open(QIODevice::ReadOnly) && second.open(QIODevice::ReadOnly) && first.readAll() == second.readAll();
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

    const QString toolQuery = ::toolQuery(program.isWard());
    // The two take turns, so both see the same load of the machine.
    std::vector<double> toolMs, fileMs, wholeMs;
    std::vector<long> rssBefore, rssAfter;
    bool toolOk = true;
    qint64 lines = 0;
    QString message;
    bool sameBytes = false;
    for (int run = 0; run < kRuns; ++run) {
        toolMs.push_back(bench::medianMs(1, [&] { toolOk = toolOk && runTool(db->path(), toolOut, toolQuery); }));
        rssBefore.push_back(bench::residentKb());
        fileMs.push_back(bench::medianMs(1, [&] {
            lines = exchange::writeExportFile(program, *db, *institution, request, workingFile, &message);
        }));
        rssAfter.push_back(bench::residentKb());
        if (run == 0)
            sameBytes = sameContents(workingFile, toolOut);
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
    std::printf("  %-60s %s\n", "the tool's file and the working file", sameBytes ? "same bytes" : "DIFFER");
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
