// The monthly export run: the written files byte for byte, the copies, the
// diskette step, "Kész!" only when the working file and the folder copies are
// made, and what a failure or a kill leaves in the folders.
#include "tests/app/export/exportfixture.h"

#include "platform/sys/files.h"
#include "platform/ui/msgbox.h"
#include "tests/support/crashpoints.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTimer>

#include <cerrno>
#include <cstdio>

using platform::MsgResult;

namespace {

const QString kPrint = QStringLiteral("Kívánja nyomtatni a kísérőlapot?");
const QString kDiskette = QStringLiteral("Feldolgozás kész!Kívánja floppyra menteni?");
const QString kDone = QStringLiteral("Kész!");

// Pieces 1 to 11 of ExportFixture::episode() admitted on 2005.08.01.
const QByteArray kHead = "1234" "1" "123456789" "987654321" " 1" "20050801" "0830" "0101" "20050805" "1405" "0";

class MonthlyExport : public ExportFixture {};
class WardMonthlyExport : public WardExportFixture {};

// Everything in a folder, hidden files included.
QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// An export killed at every change it makes to a disk file, in a child
// process, with last month's pair in the target folder and on the diskette.
class KilledExport : public ExportFixture {
protected:
    explicit KilledExport(const ProgramInfo& program = ProgramInfo::sebrix()) : ExportFixture(program) {}

    void killAtEveryChange()
    {
        items(episode(), QStringLiteral("A1"), 3000); // a copy of several pieces
        const QString exportCopy = QDir(targetFolder()).filePath(program().exportPrefix + "123408.txt");
        const QString listCopy = QDir(targetFolder()).filePath(program().accompanyingListFile);
        const QString onDiskette = QDir(diskette()).filePath(program().exportPrefix + "123408.txt");
        const auto lastMonth = [&] {
            write(exportCopy, "last month's export");
            write(listCopy, "last month's list");
            write(onDiskette, "last month's export");
        };
        const auto exportInChild = [&](long target) {
            return testsupport::runChildDyingAt(target, [&] {
                boxes->clear();
                boxes->answer(MsgResult::No);  // no printed list
                boxes->answer(MsgResult::Yes); // to the diskette
                if (!run(monthRequest()).completed)
                    throw std::runtime_error("not completed");
            });
        };

        lastMonth();
        const testsupport::ChildEnd whole = exportInChild(0);
        ASSERT_EQ(whole.exitCode, 0);
        const QByteArray newExport = read(exportCopy);
        const QByteArray newList = read(listCopy);
        ASSERT_GT(newExport.size(), 3000);
        ASSERT_TRUE(newList.endsWith("szama: 3000"));
        ASSERT_GT(whole.changes, 20);

        int oldPair = 0, newPair = 0, newExportOldList = 0;
        for (long target = 1; target <= whole.changes; ++target) {
            SCOPED_TRACE(target);
            lastMonth();
            ASSERT_TRUE(exportInChild(target).killed);
            const QByteArray exp = read(exportCopy);
            const QByteArray list = read(listCopy);
            if (exp == "last month's export" && list == "last month's list")
                ++oldPair;
            else if (exp == newExport && list == newList)
                ++newPair;
            else if (exp == newExport && list == "last month's list")
                ++newExportOldList; // killed between the two renames
            else
                ADD_FAILURE() << "export " << exp.left(30).constData() << ", list " << list.left(30).constData();
            const QByteArray disk = read(onDiskette);
            EXPECT_TRUE(disk == "last month's export" || disk == newExport);

            // The next export clears what the killed one left.
            boxes->clear();
            boxes->answer(MsgResult::No);
            boxes->answer(MsgResult::Yes);
            ASSERT_TRUE(run(monthRequest()).completed);
            EXPECT_EQ(entries(targetFolder()), (QStringList{program().accompanyingListFile, program().exportPrefix + "123408.txt"}));
            EXPECT_EQ(entries(diskette()), QStringList{program().exportPrefix + "123408.txt"});
            for (const QString& f : entries(folder()))
                EXPECT_FALSE(f.contains(".tmp-")) << f.toStdString();
            EXPECT_EQ(read(exportCopy), newExport);
            EXPECT_EQ(read(listCopy), newList);
        }
        // Only one change lies between the renames: the list's.
        EXPECT_EQ(newExportOldList, 1);
        std::printf("[ figures  ] %s: %ld kills, target held the old pair %d times, the new pair %d times, "
                    "the new export beside the old list %d time(s); no temporary file after the next export\n",
                    qPrintable(program().name), whole.changes, oldPair, newPair, newExportOldList);
    }
};

class KilledWardExport : public KilledExport {
protected:
    KilledWardExport() : KilledExport(ProgramInfo::zorivozure()) {}
};

// Answers from a script, and runs an action when a box with a given text
// comes up (the clerk doing something while the box is open).
class BoxesWithAction : public platform::ScriptedMsgBoxService {
public:
    QString when;
    std::function<void()> action;
    platform::MsgResult show(const platform::MsgBoxRequest& request) override
    {
        if (request.text == when && action)
            action();
        return ScriptedMsgBoxService::show(request);
    }
};

} // namespace

TEST_F(MonthlyExport, month_export_writes_the_working_file_the_list_and_the_copies)
{
    const qlonglong first = episode();
    surgery(first, QStringLiteral("51000"));
    surgery(first, QStringLiteral("620"));
    item(first, QStringLiteral("ÁB3"), QStringLiteral("1,5"));
    item(first, QStringLiteral("12345"), QStringLiteral("0,125"), QVariant());
    Episode noItems;
    noItems.fdat = QStringLiteral("2005.08.10.");
    noItems.vjel = false;
    episode(noItems);
    Episode july;
    july.fdat = QStringLiteral("2005.07.31.");
    item(episode(july), QStringLiteral("X"), QStringLiteral("1"));
    Episode otherInstitution;
    otherInstitution.intKod = QStringLiteral("9999");
    item(episode(otherInstitution), QStringLiteral("X"), QStringLiteral("1"));

    boxes->answer(MsgResult::No); // no printed list
    boxes->answer(MsgResult::No); // no diskette
    const exchange::ExportResult result = run(monthRequest());

    EXPECT_EQ(boxes.texts(), (QStringList{kPrint, kDiskette, kDone}));
    EXPECT_TRUE(result.completed);
    EXPECT_EQ(result.episodes, 2);
    EXPECT_EQ(result.items, 2);

    const QByteArray surgeries = QByteArray("51000") + "  620" + QByteArray(15, ' ');
    const QByteArray expected = kHead + "\xC1" "B3" + "      1,50" + surgeries + "0130" + "1" + "2" + "\r\n"
        + kHead + "12345" + "      0,13" + surgeries + "    " + "1" + "2" + "\r\n";
    EXPECT_EQ(read(QDir(folder()).filePath("tlakt123408.txt")), expected);
    EXPECT_EQ(read(QDir(targetFolder()).filePath("mtlvraf123408.txt")), expected);

    const QByteArray list = "K\xED" "serojegyzek\r\n"
                            "Keszult: 2005.08.24.\r\n"
                            "Bekuldo kodja: 1234\r\n"
                            "Bekuldo neve: Pr\xF3" "ba K\xF3" "rh\xE1" "z\r\n"
                            "Jelentett honap: 08\r\n"
                            "Bekuldott adatlapok szama: 2\r\n"
                            "Bekuldott raforditasi tetelek szama: 2";
    EXPECT_EQ(read(QDir(folder()).filePath("mkiser.txt")), list);
    EXPECT_EQ(read(QDir(targetFolder()).filePath("mkiser.txt")), list);
    EXPECT_TRUE(printerDevice->documents().empty());
}

TEST_F(MonthlyExport, files_carry_the_start_month_only)
{
    for (const char* month : {"2005.01.15.", "2005.03.31.", "2005.04.01.", "2004.12.31."}) {
        Episode e;
        e.fdat = QString::fromLatin1(month);
        item(episode(e), QStringLiteral("X"), QStringLiteral("1"));
    }
    Episode elsewhere; // another institution, another month: one register number takes it too
    elsewhere.intKod = QStringLiteral("9999");
    elsewhere.tSzam = QStringLiteral("555");
    elsewhere.fdat = QStringLiteral("2003.02.02.");
    item(episode(elsewhere), QStringLiteral("Y"), QStringLiteral("1"));

    const struct {
        const char* what;
        exchange::Selection selection;
        const char* startMonth;
        const char* registerNumber;
        const char* workingFile;
        const char* disketteFile;
        int lines;
    } cases[] = {
        {"range January to March", exchange::Selection::Range, "01", "", "tlakt123401.txt", "mtlvraf123401.txt", 2},
        {"one register number, no month", exchange::Selection::RegisterNumber, "", "555", "tlakt1234.txt",
         "mtlvraf1234.txt", 1},
    };
    for (const auto& c : cases) {
        exchange::ExportRequest r = monthRequest();
        r.selection = c.selection;
        r.datum = QStringLiteral("2005.01");
        r.datum2 = QStringLiteral("2005.03");
        r.startMonth = QString::fromLatin1(c.startMonth);
        r.registerNumber = QString::fromLatin1(c.registerNumber);
        r.elpath = QStringLiteral("c:\\export\\valami.txt");
        boxes->clear();
        boxes->answer(MsgResult::No);
        boxes->answer(MsgResult::Yes);
        EXPECT_TRUE(run(r).completed) << c.what;
        const QByteArray written = read(QDir(folder()).filePath(QString::fromLatin1(c.workingFile)));
        EXPECT_EQ(written.count("\r\n"), c.lines) << c.what;
        EXPECT_EQ(read(QDir(diskette()).filePath(QString::fromLatin1(c.disketteFile))), written) << c.what;
        EXPECT_EQ(read(QDir(targetFolder()).filePath("valami.txt")), written) << c.what;
    }
}

TEST_F(MonthlyExport, empty_selection_writes_nothing)
{
    Episode july;
    july.fdat = QStringLiteral("2005.07.31.");
    item(episode(july), QStringLiteral("X"), QStringLiteral("1"));

    EXPECT_FALSE(run(monthRequest()).completed);
    const platform::MsgBoxRequest& box = boxes.single();
    EXPECT_EQ(box.text, "Nincs a paramétereknek megfelelő adat!");
    EXPECT_EQ(box.title, "Figyelmeztetés!");
    EXPECT_FALSE(QFile::exists(QDir(folder()).filePath("tlakt123408.txt")));
    EXPECT_FALSE(QFile::exists(QDir(folder()).filePath("mkiser.txt")));
}

TEST_F(MonthlyExport, refused_line_stops_the_export_and_keeps_the_old_files)
{
    const struct {
        const char* rkod;
        const char* rmen;
        const char* says;
    } cases[] = {
        {"AB3", "sok", "nem olvasható"},
        {"AB3", "123456789", "nem fér el 10 karakteren"},
        {"Ж1", "1", "nem írható karakter"},
    };
    for (const auto& c : cases) {
        db().exec(QStringLiteral("delete from alap"));
        db().exec(QStringLiteral("delete from \"Ráfkódok\""));
        const qlonglong good = episode();
        item(good, QStringLiteral("A1"), QStringLiteral("1"));
        Episode bad;
        bad.tSzam = QStringLiteral("777");
        const qlonglong id = episode(bad);
        item(id, QString::fromUtf8(c.rkod), QString::fromUtf8(c.rmen));
        write(QDir(folder()).filePath("tlakt123408.txt"), "previous month");
        write(QDir(folder()).filePath("mkiser.txt"), "previous list");
        boxes->clear();

        EXPECT_FALSE(run(monthRequest()).completed) << c.rmen;
        const QString text = boxes.single().text;
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.says))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("%1 azonosítójú").arg(id))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("777"))) << text.toStdString();
        EXPECT_EQ(read(QDir(folder()).filePath("tlakt123408.txt")), "previous month");
        EXPECT_EQ(read(QDir(folder()).filePath("mkiser.txt")), "previous list");
        EXPECT_FALSE(QFile::exists(QDir(targetFolder()).filePath("mtlvraf123408.txt")));
    }
}

TEST_F(MonthlyExport, copy_needs_the_free_space_in_rounded_kilobytes)
{
    EXPECT_EQ(exchange::roundedKb(2560), 2); // 2.5: the even neighbour
    EXPECT_EQ(exchange::roundedKb(1536), 2); // 1.5
    EXPECT_EQ(exchange::roundedKb(3584), 4); // 3.5
    EXPECT_EQ(exchange::roundedKb(1535), 1);

    // Lines of 128 bytes: a 31-character code.
    const QString code(31, u'K');
    const struct {
        int lines;
        qint64 freeKb;
        bool copied;
    } cases[] = {{20, 2, true}, {12, 2, true}, {20, 1, false}};
    for (const auto& c : cases) {
        db().exec(QStringLiteral("delete from alap"));
        db().exec(QStringLiteral("delete from \"Ráfkódok\""));
        items(episode(), code, c.lines);
        QFile::remove(QDir(targetFolder()).filePath("mtlvraf123408.txt"));
        boxes->clear();
        boxes->answer(MsgResult::No);
        boxes->answer(MsgResult::No);
        exchange::ExportRequest r = monthRequest();
        r.freeKb = c.freeKb;

        const exchange::ExportResult result = run(r);
        EXPECT_EQ(QFileInfo(QDir(folder()).filePath("tlakt123408.txt")).size(), c.lines * 128);
        EXPECT_EQ(QFile::exists(QDir(targetFolder()).filePath("mtlvraf123408.txt")), c.copied) << c.lines;
        EXPECT_EQ(result.completed, c.copied);
        if (c.copied) {
            EXPECT_EQ(boxes.texts(), (QStringList{kPrint, kDiskette, kDone}));
        } else {
            // Neither the diskette question (there is no new copy to send) nor "Kész!".
            EXPECT_EQ(boxes.texts(),
                      (QStringList{kPrint, QStringLiteral("Nem fér rá a floppyra! Filekiírás sikertelen, de mentésre "
                                                          "került a ")
                                               + QDir::toNativeSeparators(folder())
                                               + QStringLiteral(" könyvtár tlakt.txt filebe!")}));
        }
    }
}

TEST_F(MonthlyExport, diskette_takes_at_most_1457000_bytes)
{
    // Lines of 100 bytes (a three-character code); one four-character code
    // adds the byte too many.
    const struct {
        int shortLines;
        bool oneLonger;
        bool copied;
    } cases[] = {{14570, false, true}, {14569, true, false}};
    for (const auto& c : cases) {
        db().exec(QStringLiteral("delete from alap"));
        db().exec(QStringLiteral("delete from \"Ráfkódok\""));
        const qlonglong id = episode();
        items(id, QStringLiteral("ABC"), c.shortLines);
        if (c.oneLonger)
            item(id, QStringLiteral("ABCD"), QStringLiteral("1"));
        QFile::remove(QDir(diskette()).filePath("mtlvraf123408.txt"));
        boxes->clear();
        boxes->answer(MsgResult::No);
        boxes->answer(MsgResult::Yes);

        const exchange::ExportResult result = run(monthRequest());
        const QString copy = QDir(targetFolder()).filePath("mtlvraf123408.txt");
        EXPECT_EQ(QFileInfo(copy).size(), c.copied ? 1457000 : 1457001);
        EXPECT_EQ(QFile::exists(QDir(diskette()).filePath("mtlvraf123408.txt")), c.copied);
        // The folder copy is made either way: the refusal is told, then "Kész!".
        EXPECT_TRUE(result.completed);
        if (c.copied)
            EXPECT_EQ(boxes.texts(), (QStringList{kPrint, kDiskette, kDone}));
        else
            EXPECT_EQ(boxes.texts(),
                      (QStringList{kPrint, kDiskette, QStringLiteral("Nem fér rá a floppyra!Filekiírás sikertelen!"), kDone}));
    }
}

TEST_F(MonthlyExport, kesz_follows_a_failed_diskette_step_but_never_a_failed_folder_copy)
{
    item(episode(), QStringLiteral("A1"), QStringLiteral("1"));

    // No diskette in the drive: the folder copy is made, so "Kész!" follows.
    QDir(diskette()).removeRecursively();
    boxes->answer(MsgResult::No);
    boxes->answer(MsgResult::Yes);
    EXPECT_TRUE(run(monthRequest()).completed);
    EXPECT_EQ(boxes.texts(), (QStringList{kPrint, kDiskette, QStringLiteral("Nincs floppy!"), kDone}));
    EXPECT_EQ(boxes.shown().at(2).title, "Hiba");
    EXPECT_EQ(boxes.shown().at(2).icon, platform::MsgIcon::Critical);

    // The target folder is gone: no copy, no diskette question, no "Kész!".
    QDir(targetFolder()).removeRecursively();
    boxes->clear();
    EXPECT_FALSE(run(monthRequest()).completed);
    EXPECT_EQ(boxes.texts(), (QStringList{kPrint, "Nem sikerült az exportfájlt a célkönyvtárba másolni. A(z) "
                                                  "c:\\export\\mtlvraf123408.txt fájl mappája nem található "
                                                  "(hibakód: 76). Az adatleválogatás megszakadt."}));
}

TEST_F(MonthlyExport, diskette_step_tries_again_a_bounded_number_of_times)
{
    item(episode(), QStringLiteral("A1"), QStringLiteral("1"));
    const QString copy = QDir(targetFolder()).filePath("mtlvraf123408.txt");
    const QString onDiskette = QDir(diskette()).filePath("mtlvraf123408.txt");

    // The copy disappears while the question is open and never comes back.
    BoxesWithAction gone;
    gone.when = kDiskette;
    gone.action = [&] { QFile::remove(copy); };
    gone.answer(MsgResult::No);
    gone.answer(MsgResult::Yes);
    platform::setMsgBoxService(&gone);
    EXPECT_TRUE(run(monthRequest(), {3, 0}).completed);
    EXPECT_EQ(gone.texts(), (QStringList{kPrint, kDiskette,
                                         QStringLiteral("Hiba történt.A hibakód: 53 Tájékoztassa a rendszergazdát!"), kDone}));
    EXPECT_FALSE(QFile::exists(onDiskette));

    // It comes back while the step waits: the next attempt copies it.
    BoxesWithAction back;
    back.when = kDiskette;
    back.action = [&] {
        const QByteArray bytes = read(copy);
        QFile::remove(copy);
        QTimer::singleShot(0, [=] { write(copy, bytes); });
    };
    back.answer(MsgResult::No);
    back.answer(MsgResult::Yes);
    platform::setMsgBoxService(&back);
    EXPECT_TRUE(run(monthRequest(), {3, 0}).completed);
    EXPECT_EQ(back.texts(), (QStringList{kPrint, kDiskette, kDone}));
    EXPECT_EQ(read(onDiskette), read(QDir(folder()).filePath("tlakt123408.txt")));
    platform::setMsgBoxService(&boxes.service());
}

TEST_F(MonthlyExport, diskette_gets_this_exports_file_and_a_path_on_it_is_not_asked_about)
{
    const QString onDiskette = QDir(diskette()).filePath("mtlvraf123408.txt");
    write(onDiskette, "last month");
    item(episode(), QStringLiteral("A1"), QStringLiteral("1"));
    boxes->answer(MsgResult::No);
    boxes->answer(MsgResult::Yes);
    EXPECT_TRUE(run(monthRequest()).completed);
    EXPECT_EQ(read(onDiskette), read(QDir(folder()).filePath("tlakt123408.txt")));

    // The clerk's copy written straight on the diskette, in either letter case.
    for (const char* path : {"a:\\sajat.txt", "A:\\SAJAT2.TXT"}) {
        boxes->clear();
        exchange::ExportRequest r = monthRequest();
        r.elpath = QString::fromLatin1(path);
        EXPECT_TRUE(run(r).completed) << path;
        EXPECT_EQ(boxes.texts(), (QStringList{kPrint, kDone})) << path;
    }
}

TEST_F(MonthlyExport, accompanying_list_is_printed_on_request)
{
    const qlonglong id = episode();
    item(id, QStringLiteral("A1"), QStringLiteral("1"));
    item(id, QStringLiteral("A2"), QStringLiteral("2"));
    boxes->answer(MsgResult::Yes);
    boxes->answer(MsgResult::No);
    ASSERT_TRUE(run(monthRequest()).completed);

    ASSERT_EQ(printerDevice->documents().size(), 1u);
    const platform::RecordedDocument& doc = printerDevice->documents().front();
    EXPECT_TRUE(doc.ended);
    ASSERT_EQ(doc.pages.size(), 1u);
    // Column and row of every text in character cells (120 x 240 twips at 600 dpi).
    QStringList cells;
    for (const platform::RecordedItem& it : doc.pages.front().items) {
        if (it.kind != platform::RecordedItem::Text)
            continue;
        const double column = it.point.x() * 1440.0 / 600.0 / 120.0;
        const double row = it.point.y() * 1440.0 / 600.0 / 240.0;
        cells << QStringLiteral("%1,%2 %3pt%4 %5")
                     .arg(qRound(column))
                     .arg(qRound(row))
                     .arg(qRound(it.pixelSize * 72.0 / 600.0))
                     .arg(it.bold ? QStringLiteral(" bold") : QString())
                     .arg(it.text);
        EXPECT_EQ(it.family, "Arial");
    }
    EXPECT_EQ(cells, (QStringList{
                         "35,2 14pt bold Kísérőjegyzék",
                         "30,3 12pt bold a feladott ráfordítási adatokról",
                         "2,10 12pt Készült: 2005.08.24.",
                         "2,12 12pt Beküldő intézet: 1234",
                         "2,13 12pt Próba Kórház",
                         "2,15 12pt Jelentett hónap: 200508",
                         "2,17 12pt Beküldött adatlapok száma: 1",
                         "2,19 12pt Beküldött ráfordítási tételek száma: 2",
                         "2,24 12pt Készítette:",
                     }));
}

TEST_F(WardMonthlyExport, ward_export_writes_its_own_line_and_names)
{
    const qlonglong id = episode();
    item(id, QStringLiteral("1234567"), QStringLiteral("1.5"));
    Episode noVjel;
    noVjel.vjel = QVariant();
    item(episode(noVjel), QStringLiteral("12345"), QStringLiteral("2"));
    boxes->answer(MsgResult::No);
    boxes->answer(MsgResult::Yes);
    ASSERT_TRUE(run(monthRequest()).completed);

    const QByteArray expected = kHead + "1234567" + "      1,50" + "1" + "\r\n" + kHead + "12345" + "      2,00" + "0" + "\r\n";
    EXPECT_EQ(read(QDir(folder()).filePath("tlakt123408.txt")), expected);
    EXPECT_EQ(read(QDir(diskette()).filePath("tlvraf123408.txt")), expected);
    EXPECT_TRUE(read(QDir(targetFolder()).filePath("kiser.txt")).endsWith("tetelek szama: 2"));
    EXPECT_FALSE(QFile::exists(QDir(folder()).filePath("mkiser.txt")));

    // Nothing selected: the ward program's own words, under its own title.
    boxes->clear();
    exchange::ExportRequest r = monthRequest();
    r.datum = QStringLiteral("2006.01");
    EXPECT_FALSE(run(r).completed);
    EXPECT_EQ(boxes.single().text, "Nincs  a paramétereknek megfelelő adat!");
    EXPECT_EQ(boxes.single().title, "Zorivozure");
}

TEST_F(MonthlyExport, database_failure_is_reported_and_writes_nothing)
{
    item(episode(), QStringLiteral("A1"), QStringLiteral("1"));
    write(QDir(folder()).filePath("tlakt123408.txt"), "previous month");
    db().exec(QStringLiteral("drop table \"műtétek\""));

    EXPECT_FALSE(run(monthRequest()).completed);
    ASSERT_EQ(boxes.texts().size(), 1);
    // In the store's words, naming the database file; the engine's own text
    // at most after them.
    const QString text = boxes.single().text;
    EXPECT_TRUE(text.contains(program().enteredDataFile)) << text.toStdString();
    EXPECT_FALSE(text.startsWith("no such")) << text.toStdString();
    EXPECT_TRUE(text.endsWith(" Az adatleválogatás megszakadt.")) << text.toStdString();
    EXPECT_EQ(boxes.single().title, "Hiba");
    EXPECT_EQ(read(QDir(folder()).filePath("tlakt123408.txt")), "previous month");
    EXPECT_FALSE(QFile::exists(QDir(folder()).filePath("mkiser.txt")));
}

TEST_F(KilledExport, a_kill_never_leaves_a_new_list_beside_an_old_export)
{
    killAtEveryChange();
}

TEST_F(KilledWardExport, a_kill_never_leaves_a_new_list_beside_an_old_export)
{
    killAtEveryChange();
}

TEST_F(MonthlyExport, failed_file_is_told_in_hungarian_and_leaves_the_folders_as_they_were)
{
    item(episode(), QStringLiteral("A1"), QStringLiteral("1"));
    const QString exportCopy = QDir(targetFolder()).filePath("mtlvraf123408.txt");
    const QString listCopy = QDir(targetFolder()).filePath("mkiser.txt");
    const QString working = QDir(folder()).filePath("tlakt123408.txt");
    const QString stopped = QStringLiteral(" Az adatleválogatás megszakadt.");

    const struct {
        const char* what;
        QString full; // the disk is full for the paths that start so
        QStringList texts;
        bool workingKept;
    } cases[] = {
        {"working folder full", QDir(folder()).filePath(".tlakt"),
         {"Nem sikerült kiírni az exportfájlt. Betelt a lemez, a(z) " + working
          + " fájlt nem lehet kiírni (hibakód: 61)." + stopped},
         true},
        {"target disk full", targetFolder() + u'/',
         {kPrint, "Nem sikerült az exportfájlt a célkönyvtárba másolni. Betelt a lemez, a(z) "
                  "c:\\export\\mtlvraf123408.txt fájlt nem lehet kiírni (hibakód: 61)." + stopped},
         false},
        {"the list's copy fails", QDir(targetFolder()).filePath(".mkiser"),
         {kPrint, "Nem sikerült a kísérőjegyzéket a célkönyvtárba másolni. Betelt a lemez, a(z) "
                  "c:\\export\\mkiser.txt fájlt nem lehet kiírni (hibakód: 61)." + stopped},
         false},
    };
    for (const auto& c : cases) {
        write(working, "last month's working file");
        write(exportCopy, "last month's export");
        write(listCopy, "last month's list");
        boxes->clear();
        boxes->answer(MsgResult::No);
        platform::setFileChangeHook([&](const QString& path) { return path.startsWith(c.full) ? ENOSPC : 0; });
        const bool completed = run(monthRequest()).completed;
        platform::setFileChangeHook({});

        EXPECT_FALSE(completed) << c.what;
        EXPECT_EQ(boxes.texts(), c.texts) << c.what;
        EXPECT_EQ(read(exportCopy), "last month's export") << c.what;
        EXPECT_EQ(read(listCopy), "last month's list") << c.what;
        EXPECT_EQ(entries(targetFolder()), (QStringList{"mkiser.txt", "mtlvraf123408.txt"})) << c.what;
        EXPECT_EQ(read(working) == "last month's working file", c.workingKept) << c.what;
        for (const QString& f : entries(folder()))
            EXPECT_FALSE(f.contains(".tmp-")) << c.what << " " << f.toStdString();
    }
}

namespace {

// Every file under a folder, hidden ones included, with its bytes.
QMap<QString, QByteArray> snapshot(const QString& root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        files.insert(QDir(root).relativeFilePath(path), f.open(QIODevice::ReadOnly) ? f.readAll() : "<unreadable>");
    }
    return files;
}

// Where the clerk's copy may go: never onto one of the program's own files
// or onto the accompanying list's copy, however the path is spelled; an
// ordinary name, the program's file names in another folder included, goes
// through.
class ExportTargets : public ExportFixture {
protected:
    explicit ExportTargets(const ProgramInfo& program = ProgramInfo::sebrix()) : ExportFixture(program) {}

    void refusesOwnFilesAndTheListsPlace()
    {
        item(episode(), QStringLiteral("A1"), QStringLiteral("1"));
        const ProgramInfo& p = program();
        // Last month's working files, and a temporary file a killed run left.
        write(QDir(folder()).filePath(QStringLiteral("tlakt123408.txt")), "previous month");
        write(QDir(folder()).filePath(p.accompanyingListFile), "previous list");
        write(QDir(folder()).filePath(QStringLiteral(".tlakt123408.txt.tmp-999999999-1")), "left by a kill");
        // c:\adat is the data folder under another name; c:\export\db.txt
        // a link to the entered data.
        ASSERT_TRUE(QFile::link(folder(), QDir(folder()).filePath(QStringLiteral("c/adat"))));
        ASSERT_TRUE(QFile::link(QDir(folder()).filePath(p.enteredDataFile),
                                QDir(targetFolder()).filePath(QStringLiteral("db.txt"))));
        // A link to a journal that is not there now.
        ASSERT_TRUE(QFile::link(QDir(folder()).filePath(p.enteredDataFile + QStringLiteral("-journal")),
                                QDir(targetFolder()).filePath(QStringLiteral("journal.txt"))));

        const QString own = QStringLiteral(" a program saját fájlja, nem lehet felülírni az exporttal! "
                                           "Adjon meg másik fájlnevet!");
        const QString list = QStringLiteral(" helyére a kísérőjegyzék kerül, nem lehet oda írni az exportot! "
                                            "Adjon meg másik fájlnevet!");
        const QString journal = QStringLiteral("-journal");
        const struct {
            QString folder, name;
            const QString& says;
        } refused[] = {
            {folder(), p.enteredDataFile, own},
            {folder(), p.codeTableFile, own},
            {folder(), p.convertedFile, own},
            {folder() + QStringLiteral("/."), p.enteredDataFile + journal, own}, // no journal there now
            {QStringLiteral("c:\\adat"), p.convertedFile + journal, own},
            {targetFolder() + QStringLiteral("/.."), QStringLiteral("..\\") + p.codeTableFile, own},
            {QStringLiteral("c:\\export"), QStringLiteral("db.txt"), own},
            {QStringLiteral("c:\\export"), QStringLiteral("journal.txt"), own},
            {QStringLiteral("c:\\adat"), QStringLiteral("tlakt123408.txt"), own},
            {folder(), p.accompanyingListFile, own},
            {QStringLiteral("c:\\export"), p.accompanyingListFile, list},
            {QStringLiteral("c:\\export"), QStringLiteral("..\\export\\.\\") + p.accompanyingListFile, list},
        };
        const QMap<QString, QByteArray> before = snapshot(folder());
        for (const auto& c : refused) {
            exchange::ExportRequest r = monthRequest();
            r.elpath = c.folder + u'\\' + c.name;
            r.targetFolder = QStringLiteral("c:\\export");
            SCOPED_TRACE(r.elpath.toStdString());
            boxes->clear();
            boxes->answer(MsgResult::No);
            boxes->answer(MsgResult::Yes); // to the diskette, were it asked

            const exchange::ExportResult result = run(r);
            EXPECT_TRUE(result.targetRefused);
            EXPECT_FALSE(result.completed);
            EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("A(z) ") + platform::shownPath(r.elpath) + c.says});
            EXPECT_EQ(boxes.single().title, "Figyelmeztetés");
            EXPECT_EQ(boxes.single().icon, platform::MsgIcon::Critical);
            EXPECT_EQ(snapshot(folder()), before);
        }

        const QString ordinary[] = {
            QStringLiteral("c:\\export\\") + p.exportPrefix + QStringLiteral("123408.txt"),
            QStringLiteral("c:\\export\\") + p.enteredDataFile, // the name alone is no own file
            folder() + QStringLiteral("/export.txt"),
        };
        for (const QString& elpath : ordinary) {
            SCOPED_TRACE(elpath.toStdString());
            exchange::ExportRequest r = monthRequest();
            r.elpath = elpath;
            boxes->clear();
            boxes->answer(MsgResult::No);
            boxes->answer(MsgResult::No);
            ASSERT_TRUE(run(r).completed);
            EXPECT_EQ(read(platform::mapPath(elpath)), read(QDir(folder()).filePath(QStringLiteral("tlakt123408.txt"))));
            EXPECT_TRUE(read(QDir(targetFolder()).filePath(p.accompanyingListFile)).endsWith("szama: 1"));
        }
        EXPECT_TRUE(read(QDir(folder()).filePath(p.enteredDataFile)).startsWith("SQLite format 3"));
    }
};

class WardExportTargets : public ExportTargets {
protected:
    WardExportTargets() : ExportTargets(ProgramInfo::zorivozure()) {}
};

// An episode or item value wider than its piece stops the export before
// anything is written, naming the episode and the field, in both programs.
class WideValues : public ExportFixture {
protected:
    explicit WideValues(const ProgramInfo& program = ProgramInfo::sebrix()) : ExportFixture(program) {}

    void stopTheExport()
    {
        const struct {
            const char* column;
            const char* value;
            const char* says;
        } cases[] = {
            {"T_szam", "12345678901", "A(z) \"12345678901\" törzsszám a(z) %1 azonosítójú adatlapon (törzsszám: "
                                      "12345678901), nem fér el 9 karakteren!"},
            {"Okod", "01020", "A(z) \"01020\" osztálykód a(z) %1 azonosítójú adatlapon (törzsszám: 777), "
                              "nem fér el 4 karakteren!"},
            {"Int_tipus", "12", "A(z) \"12\" ellátási típus a(z) %1 azonosítójú adatlapon (törzsszám: 777), "
                                "nem fér el 1 karakteren!"},
            {"Rmen", "123456789", "A(z) \"123456789\" mennyiség a(z) %1 azonosítójú adatlapon (törzsszám: 777), "
                                  "tételkód: AB3, nem fér el 10 karakteren!"},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.column);
            db().exec(QStringLiteral("delete from alap"));
            db().exec(QStringLiteral("delete from \"Ráfkódok\""));
            item(episode(), QStringLiteral("A1"), QStringLiteral("1"));
            Episode bad;
            bad.tSzam = QStringLiteral("777");
            const qlonglong id = episode(bad);
            item(id, QStringLiteral("AB3"), QStringLiteral("2"));
            const QString column = QString::fromLatin1(c.column);
            if (column == QLatin1String("Rmen"))
                db().exec(QStringLiteral("update \"Ráfkódok\" set Rmen = ? where Azonosito = ?"),
                          {QString::fromUtf8(c.value), QString::number(id)});
            else
                db().exec(QStringLiteral("update alap set %1 = ? where Azonosito = ?").arg(column),
                          {QString::fromUtf8(c.value), id});
            write(QDir(folder()).filePath("tlakt123408.txt"), "previous month");
            write(QDir(folder()).filePath(program().accompanyingListFile), "previous list");
            const QMap<QString, QByteArray> before = snapshot(folder());
            boxes->clear();

            EXPECT_FALSE(run(monthRequest()).completed);
            EXPECT_EQ(boxes.texts(), QStringList{QString::fromUtf8(c.says).arg(id)
                                                 + QStringLiteral(" Az adatleválogatás megszakadt.")});
            EXPECT_EQ(boxes.single().title, "Hiba");
            EXPECT_EQ(snapshot(folder()), before);
        }
    }
};

class WardWideValues : public WideValues {
protected:
    WardWideValues() : WideValues(ProgramInfo::zorivozure()) {}
};

} // namespace

TEST_F(ExportTargets, own_files_and_the_lists_place_are_refused_before_anything_is_touched)
{
    refusesOwnFilesAndTheListsPlace();
}

TEST_F(WardExportTargets, own_files_and_the_lists_place_are_refused_before_anything_is_touched)
{
    refusesOwnFilesAndTheListsPlace();
}

TEST_F(WideValues, a_value_wider_than_its_piece_stops_the_export_naming_episode_and_field)
{
    stopTheExport();
}

TEST_F(WardWideValues, a_value_wider_than_its_piece_stops_the_export_naming_episode_and_field)
{
    stopTheExport();
}
