// The import of a monthly inpatient-report file of 100,000 records through
// the main window of each program (progress frame updating, window
// answering), against the sqlite3 tool loading the same converted rows into
// the same table in one transaction, side by side in one run. Target: at
// most 1.5 times the tool; resident memory flat in the number of records.
//
// The tool does not know the collation the programs register for text
// columns, so its copy of the table is made from the same schema script with
// the tool's own case-blind collation in its place; journal and sync
// settings are those the programs use.
#include "bench/bench.h"
#include "bench/benchdata.h"

#include "app/common/datafolder.h"
#include "app/common/kezdo.h"
#include "app/common/programinfo.h"
#include "app/exchange/tlvrec.h"
#include "platform/db/dataconnection.h"
#include "platform/sys/codepage.h"
#include "platform/sys/regional.h"
#include "platform/ui/msgbox.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRecords = 100000;
constexpr int kRuns = 5;

// Record i of the generated file: every field filled, a surgery code in the
// first intervention entry, accented letters in the user field.
QByteArray generatedRecord(int i)
{
    QByteArray r(exchange::kTlvDataLength, ' ');
    auto put = [&r](int offset, const QByteArray& text) { r.replace(offset, text.size(), text); };
    put(0, "1234E0101");
    put(9, QByteArray::number(100000000 + i));
    put(18, "01");
    put(22, QByteArray::number(200000000 + i));
    put(33, "19560312");
    put(72, QStringLiteral("2005%1%2%3").arg(1 + i % 12, 2, 10, QChar('0')).arg(1 + i % 28, 2, 10, QChar('0'))
                 .arg(i % 7 == 0 ? QStringLiteral("2400") : QStringLiteral("0830")).toLatin1());
    put(88, "200509012400");
    put(100, "3");
    put(101, "I2100 J1800 K3500");
    for (int k = 0; k < 3; ++k)
        put(229 + 32 * k + 24, QByteArray::number(11111 + k * 11111 + i % 7));
    QByteArray user;
    platform::encodeCp1250(QStringLiteral("Kőrösi Ödön Űrhajós"), user);
    put(597, user);
    put(627, "12345");
    r.append("\r\n");
    return r;
}

// The converted rows as the tool's ascii mode reads them: every column of
// konv in table order, units apart, records apart.
QByteArray toolRows(const ProgramInfo& program, const QByteArray& file)
{
    QByteArray out;
    out.reserve(file.size());
    for (qsizetype at = 0; at + exchange::kTlvDataLength <= file.size(); at += exchange::kTlvRecordLength) {
        exchange::KonvRow row;
        if (!exchange::convertTlvRecord(QByteArrayView(file).sliced(at, exchange::kTlvDataLength),
                                        program.importRules, row))
            continue;
        for (int c = 0; c < exchange::kKonvWrittenColumns; ++c) {
            if (c == 17) // Oszt_tipus, Felv_tipus, Felv_jell stand before Tav_dat
                out += "\x1f\x1f\x1f";
            out += row.column(c);
            out += '\x1f';
        }
        out += "0\x1e";
    }
    return out;
}

bool runTool(const QStringList& args, const QByteArray& input = QByteArray())
{
    QProcess tool;
    tool.start(QStringLiteral("sqlite3"), args);
    if (!tool.waitForStarted())
        return false;
    if (!input.isEmpty())
        tool.write(input);
    tool.closeWriteChannel();
    tool.waitForFinished(-1);
    const QByteArray err = tool.readAllStandardError();
    if (!err.isEmpty())
        std::printf("  sqlite3: %s\n", err.constData());
    return tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

QString toolSchema()
{
    QFile f(QStringLiteral(":/data/schema/converted.sql"));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll()).replace(QStringLiteral("HUNOCASE"), QStringLiteral("NOCASE"));
}

void runImport(const ProgramInfo& program)
{
    QTemporaryDir dir;
    QString error;
    if (!makeDataFolder(dir.path(), program, &error)) {
        std::printf("  data folder: %s\n", qPrintable(error));
        return;
    }
    QByteArray bytes;
    bytes.reserve(qsizetype(kRecords) * exchange::kTlvRecordLength);
    for (int i = 0; i < kRecords; ++i)
        bytes += generatedRecord(i);
    const QString filePath = QDir(dir.path()).filePath(QStringLiteral("TLVREC.TXT"));
    {
        QFile f(filePath);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
    const QString rowsPath = QDir(dir.path()).filePath(QStringLiteral("konv.rows"));
    {
        QFile f(rowsPath);
        f.open(QIODevice::WriteOnly);
        f.write(toolRows(program, bytes));
    }
    bytes = QByteArray();
    const QString schema = toolSchema();
    if (schema.isEmpty()) {
        std::printf("  no schema of konv\n");
        return;
    }

    // The tool gets a fresh copy of the table for every run (made untimed)
    // and loads the rows in one transaction. The two take turns, so both see
    // the same load of the machine.
    const QString toolDb = QDir(dir.path()).filePath(QStringLiteral("tool%1.db"));
    bool toolOk = true;
    for (int i = 0; i < kRuns; ++i)
        toolOk = toolOk && runTool({toolDb.arg(i)}, ("PRAGMA journal_mode=DELETE;\n" + schema).toUtf8());
    if (!toolOk) {
        std::printf("  the sqlite3 tool failed\n");
        return;
    }

    // The program: the main window's import frame, "Ok".
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    platform::ScopedRegional regional(QStringLiteral("%Y.%m.%d."), QStringLiteral("%H:%M:%S"),
                                      QDateTime(QDate(2005, 9, 24), QTime(9, 59, 0)));
    platform::ScriptedMsgBoxService boxes;
    platform::setMsgBoxService(&boxes);
    {
        ProgramInfo::setCurrent(program);
        auto w = std::make_unique<kezdo>(program);
        w->anotherInstanceRunning = [] { return false; };
        w->show();
        auto converted = w->convertedData();
        std::vector<double> toolMs;
        std::vector<double> importMs;
        std::vector<long> rssBefore;
        std::vector<long> rssAfter;
        qint64 rows = 0;
        for (int run = 0; run < kRuns; ++run) {
            toolMs.push_back(bench::medianMs(1, [&] {
                toolOk = toolOk && runTool({toolDb.arg(run), QStringLiteral("PRAGMA synchronous=FULL"),
                                            QStringLiteral(".mode ascii"),
                                            QStringLiteral(".import '%1' konv").arg(rowsPath)});
            }));
            converted->exec(QStringLiteral("delete from konv"));
            boxes.clear();
            rssBefore.push_back(bench::residentKb());
            importMs.push_back(bench::medianMs(1, [&] {
                w->kesz_Click();
                w->Text13->setText(filePath);
                w->SSCommand12_Click();
            }));
            rssAfter.push_back(bench::residentKb());
            rows = converted->scalar(QStringLiteral("select count(*) from konv")).toLongLong();
        }
        std::sort(toolMs.begin(), toolMs.end());
        std::sort(importMs.begin(), importMs.end());
        const double tool = toolMs[toolMs.size() / 2];
        const double ours = importMs[importMs.size() / 2];
        if (!toolOk)
            std::printf("  the sqlite3 tool failed\n");
        bench::report("sqlite3 tool: .import of the converted rows", tool);
        bench::report("import through the main window (\"Ok\")", ours);
        std::printf("  %-60s %10.2f x (target <= 1.50)\n", "ratio", ours / tool);
        std::printf("  %-60s %10lld\n", "rows in konv", rows);
        for (int run = 0; run < kRuns; ++run)
            std::printf("  resident memory before -> after import run %d %27ld kB -> %ld kB\n", run + 1,
                        rssBefore[size_t(run)], rssAfter[size_t(run)]);
        if (boxes.texts() != QStringList{QStringLiteral("Adatkonvertálás sikeresen lezajlott!")})
            std::printf("  (boxes shown: %s)\n", qPrintable(boxes.texts().join(QStringLiteral(" | "))));
    }
    platform::setMsgBoxService(nullptr);
    QDir::setCurrent(previous);
    ProgramInfo::setCurrent(ProgramInfo::sebrix());
}

} // namespace

BENCH_CASE("import: 100,000 records of TLVREC.TXT, surgical program (target <= 1.5 x the sqlite3 tool)")
{
    runImport(ProgramInfo::sebrix());
}

// The ward program takes every record and keeps "2400" as received.
BENCH_CASE("import: 100,000 records of TLVREC.TXT, ward program (target <= 1.5 x the sqlite3 tool)")
{
    runImport(ProgramInfo::zorivozure());
}
