// The ward program's main window over a large year (100,000 episodes with
// 1,000,000 items: review steps, loading and the register-number find under
// 50 ms each) and over large code tables (50,000 food and 50,000 other-service
// codes: narrowing and look-up under 20 ms a keystroke, a name search under
// 100 ms).
#include "bench/bench.h"

#include "app/common/datafolder.h"
#include "app/common/kezdo.h"
#include "app/common/programinfo.h"
#include "app/entry/itemrules.h"
#include "app/entry/itemstore.h"
#include "app/ward/wardmain.h"
#include "bench/benchdata.h"
#include "bench/benchwindow.h"
#include "platform/db/dataconnection.h"
#include "platform/sys/regional.h"
#include "platform/ui/msgbox.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>
#include <memory>

using bench::bindText;
using bench::bulkInsert;
using platform::db::Database;

namespace {

constexpr int kEpisodes = 100000;
constexpr int kItemsPerEpisode = 10;
constexpr int kCodes = 50000;

QByteArray registerNumber(int episode)
{
    return QByteArray::number(100000000 + (episode % 50000) * 7);
}

const ProgramInfo& ward()
{
    return ProgramInfo::zorivozure();
}

bool makeFolder(const QString& folder)
{
    QString error;
    if (!makeDataFolder(folder, ward(), &error)) {
        std::printf("  data folder: %s\n", qPrintable(error));
        return false;
    }
    return true;
}

bool fillYear(const QString& folder)
{
    if (!makeFolder(folder))
        return false;
    auto db = Database::open(QDir(folder).filePath(ward().enteredDataFile));
    Database::Transaction t(*db);
    db->exec(QStringLiteral("insert into intadatok (int_kod, Int_neve) values ('1234', 'Próba Kórház')"));
    db->exec(QStringLiteral("insert into Osztálykódok (Okod, Megnevezés, Ojelleg) values ('AB12', 'Belgyógyászat', '1')"));
    bulkInsert(*db,
               "insert into alap (Azonosito, Int_kod, Int_tipus, T_szam, Taj, Fdat, Fido, Tdat, Tido, Okod, Ojele,"
               " Tsor, Vjel, Manuális) values (?, '1234', '1', ?, '123456788', ?, '08:00:00', ?,"
               " '12:00:00', 'AB12', '0', '1', 0, 1)",
               kEpisodes, [](sqlite3_stmt* s, int i) {
                   sqlite3_bind_int64(s, 1, i + 1);
                   bindText(s, 2, registerNumber(i + 1));
                   const QByteArray date = bench::episodeDate(i);
                   bindText(s, 3, date);
                   bindText(s, 4, date);
               });
    bulkInsert(*db,
               "insert into Ráfkódok (Azonosito, Rkod, Rmen, Rmegnevezés, Pont, Egységár, Érték, Tipus, Me)"
               " values (?, ?, '2,50', 'Tétel', 100, 81.6, 204, 'L', 'Nap')",
               kEpisodes * kItemsPerEpisode, [](sqlite3_stmt* s, int i) {
                   bindText(s, 1, QByteArray::number(1 + i / kItemsPerEpisode));
                   bindText(s, 2, QByteArray::number(10000 + i % 5000));
               });
    db->exec(QStringLiteral("update \"Utolso azonosito\" set UTOLSO = ?"), {QString::number(kEpisodes)});
    t.commit();
    return true;
}

// 50,000 codes in each of the food and other-service tables; codes of five
// characters, so the prefixes "1", "12", "123" select 1/10, 1/100, 1/1000.
bool fillCodes(const QString& folder)
{
    auto db = Database::open(QDir(folder).filePath(ward().codeTableFile));
    static const char* const words[] = {"Vérkép", "Ionogram", "Mellkas röntgen", "Vizeletüledék", "CT koponya",
                                        "Diétás étrend", "Normál étrend", "Pépes étrend", "EKG", "Ultrahang"};
    Database::Transaction t(*db);
    for (const char* table : {"ELELEM", "EGYEB"}) {
        db->exec(QStringLiteral("delete from %1").arg(QString::fromLatin1(table)));
        const QByteArray sql = QByteArray("insert into ") + table
                               + (QByteArray(table) == "EGYEB" ? " (KOD, NEV, ME, AR, space20) values (?, ?, 'db', ?, ?)"
                                                              : " (KOD, NEV, ME, AR) values (?, ?, 'db', ?)");
        const bool hints = QByteArray(table) == "EGYEB";
        bulkInsert(*db, sql.constData(), kCodes, [hints](sqlite3_stmt* s, int i) {
            const QByteArray code = i % 5 == 0 ? QStringLiteral("A%1").arg(i, 4, 10, QChar('0')).toUtf8()
                                               : QStringLiteral("%1").arg(i, 5, 10, QChar('0')).toUtf8();
            bindText(s, 1, code);
            bindText(s, 2, QStringLiteral("%1 %2").arg(QString::fromUtf8(words[i % 10])).arg(i % 500).toUtf8());
            sqlite3_bind_double(s, 3, 10.0 + i % 300);
            if (hints)
                bindText(s, 4, QByteArray("tipp ") + code);
        });
    }
    t.commit();
    return true;
}

struct Session : bench::WindowSession {
    explicit Session(const QString& folder) : WindowSession(folder, ward()) {}
};

} // namespace

BENCH_CASE("ward: 100,000 episodes and 1,000,000 items on the ward main window (target < 50 ms each)")
{
    QTemporaryDir dir;
    if (!fillYear(dir.path()))
        return;
    Session s(dir.path());
    kezdo& w = *s.w;
    bench::report("\"Adatfelvitel\" set-up", bench::medianMs(7, [&] { w.fel_Click(); }));
    w.SSCommand2_Click();
    bench::report("start review (\"Tételesen\")", bench::medianMs(7, [&] { w.tete_Click(); }));
    bench::report("next episode", bench::medianMs(7, [&] { w.SSCommand16_Click(); }));
    bench::report("previous episode", bench::medianMs(7, [&] { w.SSCommand15_Click(); }));
    bench::report("load the current episode with its items", bench::medianMs(7, [&] { w.olvasdata3t(); }));
    w.Text19->setText(QString::fromLatin1(registerNumber(43210)));
    bench::report("find by register number (two episodes)", bench::medianMs(7, [&] { w.SSCommand26_Click(); }));
    w.Text19->clear();
    w.SSCommand26_Click();
    w.SSCommand2_Click();

    // The add asks about codes already booked to the episode: it reads the
    // episode's items, never the whole table.
    w.fel_Click();
    s.boxes.clear();
    int n = 0;
    bench::report("add a food item (repeated-code check + write)", bench::medianMs(7, [&] {
                      w.Text5->setText(QStringLiteral("X%1").arg(n++));
                      w.Text7->setText(QStringLiteral("1,00"));
                      w.ward->SSCommand4_Click();
                  }));
    s.boxes.clear(); // unknown codes are refused; the check ran all the same
}

BENCH_CASE("ward items: 50,000 food and other-service codes (targets: narrowing and look-up < 20 ms, name search < 100 ms)")
{
    QTemporaryDir dir;
    if (!makeFolder(dir.path()) || !fillCodes(dir.path()))
        return;
    {
        auto db = Database::open(QDir(dir.path()).filePath(ward().enteredDataFile));
        db->exec(QStringLiteral("insert into intadatok (int_kod, Int_neve) values ('1234', 'Próba Kórház')"));
    }
    Session s(dir.path());
    kezdo& w = *s.w;
    w.fel_Click();

    // A keystroke in the other-services code box: the table is narrowed, the
    // combo and grid follow, and the hint of a single match is shown.
    for (const char* typed : {"0", "01", "012", "0123", "01234", "A", "A00"}) {
        const QString text = QString::fromLatin1(typed);
        const QString what = QStringLiteral("other services: keystroke \"%1\" (narrow, grid, hint)").arg(text);
        bench::report(qPrintable(what), bench::medianMs(7, [&] {
                          w.Text8->setText(QString());
                          w.Text8->setText(text);
                      }));
    }
    w.Text5->setText(QStringLiteral("0123"));
    bench::report("food: look-up on leaving the code box", bench::medianMs(7, [&] {
                      entry::lookUpCode(*w.Data6, entry::wardItemTabs()[1], QStringLiteral("01234"));
                  }));
    bench::report("food: exact code row of an add", bench::medianMs(7, [&] {
                      entry::findCodeRow(w.codeTables(), entry::wardItemTabs()[1], QStringLiteral("49999"));
                  }));
    bench::report("food: name search \"étrend\"", bench::medianMs(7, [&] {
                      w.ward->SSCommand22_Click();
                      w.SSOption2->setChecked(true);
                      w.Text18->setText(QStringLiteral("étrend"));
                      w.ward->SSCommand20_Click();
                  }));
    bench::report("other services: name search with no match", bench::medianMs(7, [&] {
                      w.ward->SSCommand23_Click();
                      w.SSOption2->setChecked(true);
                      w.Text18->setText(QStringLiteral("zzzz"));
                      w.ward->SSCommand20_Click();
                      w.ward->SSCommand21_Click();
                  }));
    s.boxes.clear();
}
