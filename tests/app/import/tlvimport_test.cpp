// The conversion of the monthly inpatient-report file into konv, without a
// window: how a file splits into records, which records are taken, what a
// record's fields become, and that a run that fails keeps nothing.
#include "tests/app/import/tlvfixture.h"

#include "app/exchange/tlvimport.h"
#include "app/exchange/tlvrec.h"
#include "platform/db/dataconnection.h"
#include "platform/ui/msgbox.h"

using exchange::TlvImport;
using exchange::TlvImportOutcome;
using Status = exchange::TlvImportOutcome::Status;

namespace {

TlvImportOutcome runImport(const QString& path, platform::db::Database& db,
                           const ProgramInfo::ImportRules& rules = ProgramInfo::sebrix().importRules,
                           const std::function<bool(qint64)>& step = {})
{
    TlvImport run(path, rules);
    run.open();
    return run.run(db, step);
}

QStringList texts(const QList<episode::Message>& boxes)
{
    QStringList out;
    for (const auto& b : boxes)
        out << b.text;
    return out;
}

} // namespace

// Files of N whole records, with and without the last line end, and with a
// trailing scrap of about half a record, for N odd and even; records whose
// first intervention code is blank. The trailing scrap is the start of a
// record with a code, so storing it by mistake would show as one row more.
TEST_F(ImportTest, recordCountAndTakingRules)
{
    struct Case {
        const char* name;
        int records;
        int trailing;          // bytes of a record's start after the whole records
        bool lastWithoutCrLf;
        QList<int> blankFirst; // records (from 1) whose entry 1 code is blank, entry 2 coded
        bool ward;
        qint64 count;          // the record count shown
        qint64 rows;           // rows stored
    };
    const Case cases[] = {
        {"650 x 3", 3, 0, false, {}, false, 3, 3},
        {"650 x 3 - 2", 3, 0, true, {}, false, 3, 3},
        {"N odd, 324 more", 3, 324, false, {}, false, 3, 3},
        {"N odd, 325 more", 3, 325, false, {}, false, 4, 3},
        {"N odd, 326 more", 3, 326, false, {}, false, 4, 3},
        {"N even, 324 more", 2, 324, false, {}, false, 2, 2},
        {"N even, 325 more", 2, 325, false, {}, false, 2, 2},
        {"N even, 326 more", 2, 326, false, {}, false, 3, 2},
        {"647 more", 2, 647, false, {}, false, 3, 2},
        {"entry 1 blank, entry 2 coded", 3, 0, false, {2}, false, 3, 2},
        {"every record blank", 2, 0, false, {1, 2}, false, 2, 0},
        {"ward: every record", 3, 0, false, {1, 3}, true, 3, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        converted()->exec(QStringLiteral("delete from konv"));
        QByteArray bytes;
        for (int n = 1; n <= c.records; ++n) {
            TlvRecord r;
            r.set("Torzsszam", QString::number(100000000 + n));
            if (c.blankFirst.contains(n))
                r.surgeryCode(1, QString()).surgeryCode(2, QStringLiteral("22222"));
            bytes += r.bytes();
        }
        if (c.lastWithoutCrLf)
            bytes.chop(2);
        bytes += TlvRecord().set("Torzsszam", QStringLiteral("999999999")).bytes().left(c.trailing);
        const QString path = writeFile(QStringLiteral("TLVREC.TXT"), bytes);

        const auto rules = c.ward ? ProgramInfo::zorivozure().importRules : ProgramInfo::sebrix().importRules;
        const TlvImportOutcome o = runImport(path, *converted(), rules);
        EXPECT_EQ(o.status, Status::Done);
        EXPECT_EQ(o.shape.recordCount, c.count);
        EXPECT_EQ(o.taken, c.rows);
        EXPECT_EQ(konvCount(), c.rows);
        EXPECT_EQ(converted()->scalar(QStringLiteral("select count(*) from konv where Torzsszam = '999999999'")).toInt(),
                  0);
        EXPECT_EQ(o.shape.trailingBytes, qint64(c.trailing));
        // The clerk hears of a scrap at the end before the closing message.
        const QStringList shown = texts(exchange::tlvImportMessages(o, path));
        EXPECT_EQ(shown.last(), "Adatkonvertálás sikeresen lezajlott!");
        EXPECT_EQ(shown.size(), c.trailing > 0 ? 2 : 1);
        if (c.trailing > 0)
            EXPECT_EQ(shown.first(), QStringLiteral("A fájl végén egy %1 bájtos hiányos rekord van, ez nem került "
                                                    "átvételre.").arg(c.trailing));
    }
}

// Every field of a taken record, at full width, as the row stores it.
TEST_F(ImportTest, aRecordBecomesItsRow)
{
    TlvRecord r;
    r.set("Munkahely_azon", "1234K0202")
        .set("Resz_sor", "07")
        .set("Az_tipus", "1")
        .set("Beteg_neme", "2")
        .set("Allampolg", "HUN")
        .set("Ir_szam", "1111")
        .set("Felv", "200512312400")
        .set("Tav", "200601010000")
        .set("Betegseg", "I2100 J1800")
        .set("Onkologia", "O")
        .set("Felhaszn", "Kovács Ödön")
        .set("Tartalek", "T")
        .surgeryCode(2, "22222");
    // The three unnamed pieces between the two dates are not taken over.
    r.rawByte(84, 'X').rawByte(85, 'Y').rawByte(87, 'Z');
    const QString path = writeFile("TLVREC.TXT", r.bytes());
    ASSERT_EQ(runImport(path, *converted()).taken, 1);

    EXPECT_EQ(konvValue(1, "Munkahely_azon").toString(), "1234K0202");
    EXPECT_EQ(konvValue(1, "Torzsszam").toString(), "111111111");
    EXPECT_EQ(konvValue(1, "Resz_sor").toString(), "07");
    EXPECT_EQ(konvValue(1, "Allampolg").toString(), "HUN");
    EXPECT_EQ(konvValue(1, "Kis_torzsszam").toString(), QString(9, ' '));
    EXPECT_EQ(konvValue(1, "Szul_datum").toString(), "1956.03.12");
    EXPECT_EQ(konvValue(1, "Felv_dat").toString(), "2005.12.31");
    EXPECT_EQ(konvValue(1, "Felv_tim").toString(), "23:59:00");
    EXPECT_EQ(konvValue(1, "Tav_dat").toString(), "2006.01.01");
    EXPECT_EQ(konvValue(1, "Tav_tim").toString(), "00:00:00");
    EXPECT_EQ(konvValue(1, "Betegseg").toString(), QString("I2100 J1800").leftJustified(128, ' '));
    const QString beavatkoz = konvValue(1, "Beavatkoz").toString();
    EXPECT_EQ(beavatkoz.size(), 320);
    EXPECT_EQ(beavatkoz.mid(24, 5), "11111");
    EXPECT_EQ(beavatkoz.mid(32 + 24, 5), "22222");
    EXPECT_EQ(konvValue(1, "Onkologia").toString(), QString("O").leftJustified(42, ' '));
    EXPECT_EQ(konvValue(1, "Felhaszn").toString(), QString("Kovács Ödön").leftJustified(30, ' '));
    EXPECT_EQ(konvValue(1, "Tartalek").toString(), QString("T").leftJustified(15, ' '));
    EXPECT_FALSE(konvValue(1, "Oszt_tipus").isValid());
    EXPECT_FALSE(konvValue(1, "Felv_jell").isValid());
    EXPECT_EQ(konvValue(1, "Feldolgozva").toBool(), false);
    // Processing finds the new row.
    EXPECT_EQ(converted()->scalar("select count(*) from konv where not Feldolgozva").toInt(), 1);
}

TEST(TlvRules, datesAndTimes)
{
    EXPECT_EQ(exchange::tlvDate("19560312"), "1956.03.12");
    EXPECT_EQ(exchange::tlvDate("        "), "    .  .  ");
    struct Case {
        const char* hhmm;
        bool keeps2400;
        const char* stored;
    };
    const Case cases[] = {
        {"2400", false, "23:59:00"}, {"2400", true, "24:00:00"}, {"0000", false, "00:00:00"},
        {"1230", false, "12:30:00"}, {"    ", false, "  :  :00"}, {"2359", false, "23:59:00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(exchange::tlvTime(c.hhmm, c.keeps2400), c.stored) << c.hhmm;
}

TEST(TlvRules, percentageRoundsHalvesToEven)
{
    const struct {
        qint64 position, count;
        const char* text;
    } cases[] = {{0, 8, "0 %"}, {1, 8, "12 %"}, {3, 8, "38 %"}, {5, 8, "62 %"}, {8, 8, "100 %"},
                 {1, 3, "33 %"}, {2, 3, "67 %"}, {100000, 100000, "100 %"}};
    for (const auto& c : cases)
        EXPECT_EQ(exchange::tlvPercentText(c.position, c.count), c.text) << c.position << "/" << c.count;
}

// A blank birth date, and the letters of the code page arriving as the same
// letters.
TEST_F(ImportTest, blankBirthDateAndAccentedLetters)
{
    TlvRecord r;
    r.set("Szul_datum", "").set("Felhaszn", "őűŐ Űr Áron");
    const QString path = writeFile("tlvrec.txt", r.bytes());
    // The letters are single Windows-1250 bytes in the file.
    ASSERT_EQ(r.bytes().mid(597, 3), QByteArray("\xF5\xFB\xD5"));
    const TlvImportOutcome o = runImport(path, *converted());
    ASSERT_EQ(o.status, Status::Done);
    EXPECT_EQ(o.undefinedRecords, 0);
    EXPECT_EQ(konvValue(1, "Szul_datum").toString(), "    .  .  ");
    EXPECT_EQ(konvValue(1, "Felhaszn").toString(), QString("őűŐ Űr Áron").leftJustified(30, ' '));
    EXPECT_EQ(converted()->scalar("select count(*) from konv where Felhaszn like 'ŐŰő*'").toInt(), 1);
}

// A byte the code page leaves undefined neither stops the run nor vanishes:
// it arrives as the character of the same number and the clerk is told.
TEST_F(ImportTest, undefinedBytesAreKeptAndReported)
{
    QByteArray bytes = TlvRecord().bytes();
    bytes += TlvRecord().set("Felhaszn", "ab").rawByte(599, '\x81').rawByte(600, '\x98').bytes();
    bytes += TlvRecord().bytes();
    const QString path = writeFile("TLVREC.TXT", bytes);
    const TlvImportOutcome o = runImport(path, *converted());
    ASSERT_EQ(o.status, Status::Done);
    EXPECT_EQ(o.taken, 3);
    EXPECT_EQ(konvValue(2, "Felhaszn").toString().left(4), QString("ab") + QChar(0x81) + QChar(0x98));
    EXPECT_EQ(o.undefinedRecords, 1);
    const auto boxes = exchange::tlvImportMessages(o, path);
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[0].text, "1 rekordban az 1250-es kódlapon nem értelmezett bájt van (először a(z) 2. rekord 600. "
                             "bájtján). Ezek a bájtok változatlan kóddal kerültek át.");
    EXPECT_EQ(boxes[1].text, "Adatkonvertálás sikeresen lezajlott!");
}

TEST_F(ImportTest, missingEmptyAndScrapFilesAreRefused)
{
    const struct {
        const char* name;
        QByteArray bytes; // null: no file at all
        Status status;
        const char* message;
    } cases[] = {
        {"TLVREC.TXT", QByteArray(), Status::Unreadable, "Az importálandó fájl nem olvasható: %1\nNincs ilyen fájl."},
        {"ures.txt", QByteArray(""), Status::NoCompleteRecord,
         "A fájlban nincs egyetlen teljes rekord sem (0 bájt): %1\nNem történt adatkonvertálás."},
        {"rovid.txt", TlvRecord().bytes().left(400), Status::NoCompleteRecord,
         "A fájlban nincs egyetlen teljes rekord sem (400 bájt): %1\nNem történt adatkonvertálás."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = c.bytes.isNull() ? files.filePath(c.name) : writeFile(c.name, c.bytes);
        TlvImport run(path, ProgramInfo::sebrix().importRules);
        EXPECT_FALSE(run.open());
        EXPECT_EQ(run.outcome().status, c.status);
        const auto boxes = exchange::tlvImportMessages(run.outcome(), path);
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_EQ(boxes[0].text, QString::fromUtf8(c.message).arg(path));
        EXPECT_EQ(boxes[0].title, "Hiba");
        EXPECT_EQ(boxes[0].style, platform::Critical);
        EXPECT_EQ(run.run(*converted(), {}).status, c.status);
        EXPECT_EQ(konvCount(), 0);
    }
    // A folder is no file either.
    TlvImport folder(files.path(), ProgramInfo::sebrix().importRules);
    EXPECT_FALSE(folder.open());
    EXPECT_EQ(folder.outcome().status, Status::Unreadable);
}

// A run that fails halfway, or is stopped, leaves konv exactly as it was:
// the rows already there stay, none of the new ones appear.
TEST_F(ImportTest, aFailedOrStoppedRunLeavesKonvUnchanged)
{
    converted()->exec("insert into konv (Torzsszam, Feldolgozva) values ('000000001', 0)");
    const QString path = writeFile("TLVREC.TXT", records(5));

    // The table refuses its fourth row.
    converted()->exec("create trigger tele before insert on konv when (select count(*) from konv) >= 3 "
                      "begin select raise(abort, 'tele'); end");
    TlvImportOutcome o = runImport(path, *converted());
    EXPECT_EQ(o.status, Status::DatabaseError);
    EXPECT_EQ(konvCount(), 1);
    const auto boxes = exchange::tlvImportMessages(o, path);
    ASSERT_EQ(boxes.size(), 1);
    // The clerk reads Hungarian naming the file; the engine's words follow
    // for the administrator.
    EXPECT_EQ(boxes[0].text, "Az adatkonvertálás adatbázis-hiba miatt megszakadt, a konvertált adatok "
                             "változatlanok maradtak.\nAdatbázis-hiba a(z) mutkonv.mdb adatbázisfájlban, a művelet "
                             "nem hajtható végre. (constraint failed, 1811)");
    converted()->exec("drop trigger tele");

    o = runImport(path, *converted(), ProgramInfo::sebrix().importRules, [](qint64 n) { return n < 4; });
    EXPECT_EQ(o.status, Status::Stopped);
    EXPECT_TRUE(exchange::tlvImportMessages(o, path).isEmpty());
    EXPECT_EQ(konvCount(), 1);

    // And a whole run appends after what was there; twice, twice over.
    EXPECT_EQ(runImport(path, *converted()).status, Status::Done);
    EXPECT_EQ(runImport(path, *converted()).status, Status::Done);
    EXPECT_EQ(konvCount(), 11);
}

// A file that is not made of 650-byte records ending in CR LF, or that holds
// a NUL byte, is refused at its first such record, whether the program would
// take that record or pass over it; nothing of it is stored. Only the very
// last record may lack (part of) its line end.
TEST_F(ImportTest, aFileNotOfTheRecordLayoutIsRefusedWhole)
{
    const QByteArray good = TlvRecord().bytes();
    const QByteArray noCode = TlvRecord().surgeryCode(1, QString()).bytes();
    QByteArray withoutLineEnds;
    for (int n = 0; n < 20; ++n)
        withoutLineEnds += good.left(exchange::kTlvDataLength);
    QByteArray random(50 * exchange::kTlvRecordLength, '\0');
    quint32 seed = 12345;
    for (char& b : random) {
        seed = seed * 1103515245u + 12345u;
        b = char(seed >> 24);
    }
    QByteArray badMiddle = records(5);
    badMiddle[2 * 650 + 648] = ' '; // record 3 ends in a blank and LF
    const QByteArray nulInPassedOver =
        good + TlvRecord().surgeryCode(1, QString()).rawByte(600, '\0').bytes() + good;

    const struct Case {
        const char* name;
        QByteArray bytes;
        qint64 badRecord; // 0: taken
        QString reason;
        qint64 rows;      // rows stored by the surgical / the ward program
        qint64 wardRows;
    } cases[] = {
        {"records without CR LF", withoutLineEnds, 1,
         "a végén nincs CR LF sorvég, a fájl nem 650 bájtos rekordokból áll", 0, 0},
        {"random bytes", random, 1, QString(), 0, 0},
        {"a NUL inside a record", good + TlvRecord().rawByte(100, '\0').bytes() + good, 2,
         "nulla bájt áll a rekord 101. bájtján", 0, 0},
        {"a NUL in a record the surgical program passes over", nulInPassedOver, 2,
         "nulla bájt áll a rekord 601. bájtján", 0, 0},
        {"a bad record in the middle", badMiddle, 3,
         "a végén nincs CR LF sorvég, a fájl nem 650 bájtos rekordokból áll", 0, 0},
        {"the last record without its line end", (good + good).chopped(2), 0, QString(), 2, 2},
        {"the last record without its LF", (good + good).chopped(1), 0, QString(), 2, 2},
        {"CR LF at every 650th byte", good + noCode + good, 0, QString(), 2, 3},
    };
    for (const bool ward : {false, true}) {
        const ProgramInfo& info = ward ? ProgramInfo::zorivozure() : ProgramInfo::sebrix();
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (ward ? " (ward)" : ""));
            converted()->exec(QStringLiteral("delete from konv"));
            converted()->exec("insert into konv (Torzsszam, Feldolgozva) values ('000000001', 0)");
            const QString path = writeFile(QStringLiteral("TLVREC.TXT"), c.bytes);
            const TlvImportOutcome o = runImport(path, *converted(), info.importRules);
            const auto boxes = exchange::tlvImportMessages(o, path);
            ASSERT_FALSE(boxes.isEmpty());
            if (c.badRecord == 0) {
                EXPECT_EQ(o.status, Status::Done);
                EXPECT_EQ(konvCount(), 1 + (ward ? c.wardRows : c.rows));
                EXPECT_EQ(boxes.last().text, "Adatkonvertálás sikeresen lezajlott!");
                continue;
            }
            EXPECT_EQ(o.status, Status::BadRecord);
            EXPECT_EQ(o.badRecord, c.badRecord);
            EXPECT_EQ(o.taken, 0);
            EXPECT_EQ(konvCount(), 1) << "nothing of the file is stored, what was there stays";
            ASSERT_EQ(boxes.size(), 1);
            EXPECT_EQ(boxes[0].title, "Hiba");
            EXPECT_EQ(boxes[0].style, platform::Critical);
            if (!c.reason.isEmpty())
                EXPECT_EQ(boxes[0].text, QStringLiteral("Hibás a(z) %1. rekord (%2): %3\nNem történt adatkonvertálás.")
                                             .arg(c.badRecord)
                                             .arg(c.reason, path));
            else
                EXPECT_TRUE(boxes[0].text.startsWith("Hibás a(z) 1. rekord (")) << boxes[0].text.toStdString();
        }
    }
}

TEST(TlvRules, recordFaults)
{
    using exchange::TlvRecordFault;
    const QByteArray record = TlvRecord().bytes();
    auto with = [&](int offset, const QByteArray& bytes) {
        return QByteArray(record).replace(offset, bytes.size(), bytes);
    };
    const struct {
        const char* name;
        QByteArray bytes;
        std::optional<TlvRecordFault> fault;
    } cases[] = {
        {"whole", record, std::nullopt},
        {"line end missing", record.left(648), std::nullopt},
        {"LF missing", record.left(649), std::nullopt},
        {"no CR", with(648, "\n\n"), TlvRecordFault{TlvRecordFault::NoLineEnd, 649}},
        {"no LF", with(649, " "), TlvRecordFault{TlvRecordFault::NoLineEnd, 650}},
        {"a blank for the CR of a short last record", record.left(648) + ' ',
         TlvRecordFault{TlvRecordFault::NoLineEnd, 649}},
        {"NUL first", with(0, QByteArray(1, '\0')), TlvRecordFault{TlvRecordFault::NulByte, 1}},
        {"NUL last", with(647, QByteArray(1, '\0')), TlvRecordFault{TlvRecordFault::NulByte, 648}},
        {"NUL for the LF", with(649, QByteArray(1, '\0')), TlvRecordFault{TlvRecordFault::NoLineEnd, 650}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(exchange::tlvRecordFault(c.bytes), c.fault) << c.name;
}
