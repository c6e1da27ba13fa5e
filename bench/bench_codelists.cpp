// The list boxes of the entry frame over long lists: the ward list and the
// code list of every item tab, with 50,000 entries against the same with 10.
// Opening a list (the first time in a fresh window and again later) and an
// arrow-key step in the closed box must each cost under one frame (16 ms),
// whatever the length of the list.
#include "bench/bench.h"

#include "app/common/datafolder.h"
#include "app/common/kezdo.h"
#include "app/common/programinfo.h"
#include "bench/benchdata.h"
#include "bench/benchwindow.h"
#include "platform/db/dataconnection.h"
#include "platform/sys/regional.h"
#include "platform/ui/dbcombo.h"
#include "platform/ui/msgbox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <memory>
#include <vector>

using platform::db::Database;

namespace {

constexpr int kRuns = 7;

// One list box of the entry frame: the tab it stands on (-1: the header),
// the table that fills it and its list field.
struct ListBox {
    const char* name;
    int tab;
    const char* table;
    const char* field;
    bool codeTable;
    LazyControl<platform::DBCombo> kezdo::*combo;
};

std::vector<ListBox> listBoxes(bool ward)
{
    std::vector<ListBox> boxes = {{"ward list", -1, "Osztálykódok", "Okod", false, &kezdo::DBCombo1},
                                  {"drug list", 0, "SGYOGY", "SKOD", true, &kezdo::DBCombo2}};
    if (ward) {
        boxes.push_back({"food list", 1, "ELELEM", "KOD", true, &kezdo::DBCombo3});
        boxes.push_back({"other-service list", 2, "EGYEB", "KOD", true, &kezdo::DBCombo4});
    } else {
        boxes.push_back({"material list", 1, "GYOGYSZM", "KOD", true, &kezdo::DBCombo3});
        boxes.push_back({"diagnostics list", 2, "DIAGNOS", "KOD", true, &kezdo::DBCombo4});
    }
    return boxes;
}

QString code(int i)
{
    return QStringLiteral("%1").arg(i, 5, 10, QChar('0'));
}

bool fillLists(const QString& folder, const ProgramInfo& program, int entries)
{
    QString error;
    if (!makeDataFolder(folder, program, &error)) {
        std::printf("  data folder: %s\n", qPrintable(error));
        return false;
    }
    auto entered = Database::open(QDir(folder).filePath(program.enteredDataFile));
    auto codes = Database::open(QDir(folder).filePath(program.codeTableFile));
    entered->exec(QStringLiteral("insert into intadatok (int_kod, Int_neve) values ('1234', 'Próba Kórház')"));
    for (const ListBox& box : listBoxes(program.isWard())) {
        Database& db = box.codeTable ? *codes : *entered;
        Database::Transaction t(db);
        const QString table = QString::fromUtf8(box.table);
        db.exec(QStringLiteral("delete from \"%1\"").arg(table));
        const QByteArray sql = QStringLiteral("insert into \"%1\" (%2) values (?)")
                                   .arg(table, QString::fromLatin1(box.field))
                                   .toUtf8();
        bench::bulkInsert(db, sql.constData(), entries,
                          [](sqlite3_stmt* s, int i) { bench::bindText(s, 1, code(i).toUtf8()); });
        t.commit();
    }
    return true;
}

struct Session : bench::WindowSession {
    Session(const QString& folder, const ProgramInfo& program) : WindowSession(folder, program)
    {
        w->fel_Click();
        QApplication::processEvents();
    }
};

// The program's own work: the processor time of its main thread, which the
// display server's share and other programs on the machine do not swell.
double workMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1e6;
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Opening the list as a click on its arrow does, until it is laid out and
// painted; then it is closed again (not timed).
double timedOpening(platform::DBCombo* box)
{
    const double start = workMs();
    box->showPopup();
    QApplication::processEvents();
    const double ms = workMs() - start;
    box->hidePopup();
    QApplication::processEvents();
    return ms;
}

// The box shows the entry without a choice, as a loaded episode shows its
// ward; an item tab's full list is put back first.
void showEntry(kezdo& w, const ListBox& box, const QString& text)
{
    if (box.tab >= 0) {
        QLineEdit* codeBox = box.tab == 0 ? w.Text1.get() : box.tab == 1 ? w.Text5.get() : w.Text8.get();
        if (!w.program().isWard() && box.tab == 2)
            codeBox = w.Text31;
        codeBox->setText(QStringLiteral("-"));
        codeBox->clear();
    }
    platform::DBCombo* combo = w.*box.combo;
    {
        const QSignalBlocker quiet(combo);
        combo->setText(text);
    }
    // The grids follow the new list before the clock starts.
    QApplication::processEvents();
}

void measure(const ProgramInfo& program, int entries)
{
    QTemporaryDir dir;
    if (!fillLists(dir.path(), program, entries))
        return;
    const QString deep = code(entries * 3 / 4);
    for (const ListBox& box : listBoxes(program.isWard())) {
        std::vector<double> first, later, noEntry, arrow;
        for (int run = 0; run < kRuns; ++run) {
            Session s(dir.path(), program);
            kezdo& w = *s.w;
            if (box.tab >= 0)
                w.SSTab1->setCurrentIndex(box.tab);
            QApplication::processEvents();
            platform::DBCombo* combo = w.*box.combo;
            showEntry(w, box, deep);
            first.push_back(timedOpening(combo));
            later.push_back(timedOpening(combo));
            showEntry(w, box, QStringLiteral("Nincs kiválasztva"));
            noEntry.push_back(timedOpening(combo));
            showEntry(w, box, deep);
            QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
            const double start = workMs();
            QApplication::sendEvent(combo, &down);
            QApplication::processEvents();
            arrow.push_back(workMs() - start);
            if (combo->text() != code(entries * 3 / 4 + 1))
                std::printf("  (%s: the arrow key went to \"%s\")\n", box.name, qPrintable(combo->text()));
        }
        const QString what = QStringLiteral("%1, %2 entries: ").arg(QString::fromLatin1(box.name)).arg(entries);
        bench::report(qPrintable(what + QStringLiteral("first opening on an entry 3/4 down")), median(first));
        bench::report(qPrintable(what + QStringLiteral("later opening on it")), median(later));
        bench::report(qPrintable(what + QStringLiteral("opening on a text that is no entry")), median(noEntry));
        bench::report(qPrintable(what + QStringLiteral("arrow-key step in the closed box")), median(arrow));
    }
}

} // namespace

BENCH_CASE("code lists: Sebrix's list boxes, 10 and 50,000 entries (target < 16 ms each)")
{
    measure(ProgramInfo::sebrix(), 10);
    measure(ProgramInfo::sebrix(), 50000);
}

BENCH_CASE("code lists: Zorivozure's list boxes, 10 and 50,000 entries (target < 16 ms each)")
{
    measure(ProgramInfo::zorivozure(), 10);
    measure(ProgramInfo::zorivozure(), 50000);
}
