// Item tabs over a large drug table: narrowing at each keystroke, the code
// look-up on leaving the box, the exact look-up of an add, and a name search.
#include "bench/bench.h"

#include "app/common/datafolder.h"
#include "app/common/programinfo.h"
#include "app/entry/itemrules.h"
#include "app/entry/itemstore.h"
#include "platform/db/dataconnection.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdio>

using platform::db::DataConnection;
using platform::db::Database;

namespace {

constexpr int kDrugs = 50000;

std::shared_ptr<Database> drugTable(QTemporaryDir& dir)
{
    QString error;
    if (!makeDataFolder(dir.path(), ProgramInfo::sebrix(), &error)) {
        std::printf("  data folder: %s\n", qPrintable(error));
        return nullptr;
    }
    auto db = Database::open(QDir(dir.path()).filePath(ProgramInfo::sebrix().codeTableFile));
    static const char* const words[] = {"Aspirin", "Algopyrin", "Cataflam", "Diclofenac", "Kalmopyrin",
                                        "Noshpa", "Panadol", "Quamatel", "Rubophen", "Xanax"};
    Database::Transaction t(*db);
    db->exec(QStringLiteral("delete from SGYOGY"));
    for (int i = 0; i < kDrugs; ++i) {
        // Codes of five characters, numeric and alphanumeric mixed, so the
        // prefixes "1", "12", "123" select 1/10, 1/100, 1/1000 of the table.
        const QString code = i % 5 == 0 ? QStringLiteral("A%1").arg(i, 4, 10, QChar('0'))
                                        : QStringLiteral("%1").arg(i, 5, 10, QChar('0'));
        db->exec(QStringLiteral("insert into SGYOGY (SKOD, SNEV, SME, SAR) values (?, ?, ?, ?)"),
                 {code, QStringLiteral("%1 %2 mg").arg(QString::fromLatin1(words[i % 10])).arg(i % 500),
                  QStringLiteral("doboz"), 10.0 + i % 300});
    }
    t.commit();
    return db;
}

// What a bound grid reads after a refresh: the count and the first screenful.
void readScreen(DataConnection& c)
{
    auto& rs = c.recordset();
    const int rows = std::min(rs.recordCount(), 25);
    for (int r = 0; r < rows; ++r)
        for (int col = 0; col < 4; ++col)
            (void)rs.valueAt(r, col);
}

} // namespace

BENCH_CASE("items: 50,000 drugs (targets: narrowing and look-up < 20 ms, name search < 100 ms)")
{
    QTemporaryDir dir;
    auto db = drugTable(dir);
    if (!db)
        return;
    const auto& drug = entry::itemTab(entry::ItemTab::Drug);
    DataConnection data7(QStringLiteral("Data7"));
    data7.setDatabase(db);

    for (const char* typed : {"0", "01", "012", "0123", "A", "A00"}) {
        const QString text = QString::fromLatin1(typed);
        const QString what = QStringLiteral("keystroke narrowing to \"%1\" + first screen").arg(text);
        bench::report(qPrintable(what), bench::medianMs(7, [&] {
            entry::narrowCodes(data7, drug, text);
            readScreen(data7);
        }));
    }
    bench::report("keystroke clearing the box: whole table in code order", bench::medianMs(7, [&] {
        entry::narrowCodes(data7, drug, QString());
        readScreen(data7);
    }));

    entry::narrowCodes(data7, drug, QStringLiteral("0123"));
    bench::report("look-up on leaving the box (narrowed set)", bench::medianMs(7, [&] {
        entry::lookUpCode(data7, drug, QStringLiteral("01234"));
    }));
    entry::narrowCodes(data7, drug, QString());
    bench::report("look-up on leaving the box (whole table, last code)", bench::medianMs(7, [&] {
        entry::lookUpCode(data7, drug, QStringLiteral("49999"));
    }));
    bench::report("exact code row of an add", bench::medianMs(7, [&] {
        entry::findCodeRow(db, drug, QStringLiteral("49999"));
    }));

    const entry::SearchKind* g = entry::searchKind(QStringLiteral("G"));
    bench::report("name search \"pyrin\" + first screen", bench::medianMs(7, [&] {
        entry::runSearch(data7, *g, false, QStringLiteral("pyrin"));
        readScreen(data7);
    }));
    bench::report("name search with no match", bench::medianMs(7, [&] {
        entry::runSearch(data7, *g, false, QStringLiteral("zzzz"));
    }));
    bench::report("code search \"012\" + first screen", bench::medianMs(7, [&] {
        entry::runSearch(data7, *g, true, QStringLiteral("012"));
        readScreen(data7);
    }));
}
