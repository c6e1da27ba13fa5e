#include "platform/sys/files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;

namespace {

// Drive c: is a folder of a private temporary tree; drive a: (the
// diskette) is a folder there too, created only by the tests that "insert"
// a diskette.
class Files : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        root = tmp.path();
        ASSERT_TRUE(QDir(root).mkpath(QStringLiteral("c")));
        setDriveFolder(QLatin1Char('a'), root + QStringLiteral("/a"));
        setDriveFolder(QLatin1Char('c'), root + QStringLiteral("/c"));
    }
    void TearDown() override { resetDrives(); }

    void insertDiskette() { ASSERT_TRUE(QDir(root).mkpath(QStringLiteral("a"))); }

    QString write(const QString& rel, const QByteArray& data)
    {
        const QString path = root + QLatin1Char('/') + rel;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
        return path;
    }

    QByteArray read(const QString& rel)
    {
        QFile f(root + QLatin1Char('/') + rel);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    // Everything in a folder, hidden files included: no temporary file
    // may stay behind.
    QStringList entries(const QString& rel)
    {
        return QDir(root + QLatin1Char('/') + rel)
            .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    QTemporaryDir tmp;
    QString root;
};

} // namespace

TEST_F(Files, drive_paths_map_onto_their_folders)
{
    const QString a = root + QStringLiteral("/a");
    const QString c = root + QStringLiteral("/c");
    const struct {
        QString path;
        QString mapped;
    } cases[] = {
        {QStringLiteral("a:\\x\\y.txt"), a + QStringLiteral("/x/y.txt")},
        {QStringLiteral("A:/x"), a + QStringLiteral("/x")},
        {QStringLiteral("a:"), a},
        {QStringLiteral("a:\\"), a},
        {QStringLiteral("a:x.txt"), a + QStringLiteral("/x.txt")},
        {QStringLiteral("c:"), c},
        {QStringLiteral("C:\\ADAT\\"), c + QStringLiteral("/ADAT")},
        {QStringLiteral("c:\\\\mtlvraf123401.txt"), c + QStringLiteral("/mtlvraf123401.txt")},  // root + "\" + name
        {QStringLiteral("a:\\..\\..\\etc\\passwd"), a + QStringLiteral("/etc/passwd")},            // no way above the drive
        {QStringLiteral("d:\\x"), QString()},                                                      // no such drive
        {QStringLiteral("/tmp/x/y.txt"), QStringLiteral("/tmp/x/y.txt")},
        {QStringLiteral("mkiser.txt"), QStringLiteral("mkiser.txt")},
        {QStringLiteral("/work/x\\tlakt123408.txt"), QStringLiteral("/work/x/tlakt123408.txt")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mapPath(c.path), c.mapped) << c.path.toStdString();

    EXPECT_EQ(drives(), QStringList({QStringLiteral("a:"), QStringLiteral("c:")}));
    EXPECT_EQ(driveName(QStringLiteral("C:\\adat")), QStringLiteral("C:"));
    EXPECT_EQ(driveName(QStringLiteral("a:")), QStringLiteral("a:"));
    EXPECT_EQ(driveName(QStringLiteral("/tmp/x")), QString());
}

TEST_F(Files, drive_space_and_root_folders)
{
    FileError err;
    const qint64 total = totalSpace(QStringLiteral("c:"), &err);
    const qint64 free = freeSpace(QStringLiteral("c:\\"), &err);
    EXPECT_FALSE(err);
    EXPECT_GT(total, 0);
    EXPECT_GE(free, 0);
    EXPECT_LE(free, total);

    EXPECT_EQ(freeSpace(QStringLiteral("a:"), &err), -1);    // no diskette
    EXPECT_EQ(err.number, 68);

    QDir(root).mkpath(QStringLiteral("c/ADAT"));
    EXPECT_TRUE(isRootFolder(QStringLiteral("c:\\")));
    EXPECT_TRUE(isRootFolder(QStringLiteral("C:")));
    EXPECT_TRUE(isRootFolder(QStringLiteral("/")));
    EXPECT_FALSE(isRootFolder(QStringLiteral("c:\\ADAT")));
    err = {};
    EXPECT_FALSE(isRootFolder(QStringLiteral("c:\\nincs"), &err));
    EXPECT_EQ(err.number, 76);
}

// Two names are one file when the file system makes them one: drive
// letters, "." and "..", links to folders and files (also to a file not
// there yet) and hard links; a look-alike name elsewhere is another file.
TEST_F(Files, same_file_as_the_file_system_resolves_it)
{
    write(QStringLiteral("c/data/db.mdb"), "db");
    write(QStringLiteral("c/other/db.mdb"), "other");
    ASSERT_TRUE(QFile::link(root + QStringLiteral("/c/data"), root + QStringLiteral("/c/alias")));
    ASSERT_TRUE(QFile::link(root + QStringLiteral("/c/data/db.mdb"), root + QStringLiteral("/c/other/link.txt")));
    ASSERT_TRUE(QFile::link(root + QStringLiteral("/c/data/db.mdb-journal"), root + QStringLiteral("/c/other/j.txt")));
    ASSERT_EQ(::link(QFile::encodeName(root + QStringLiteral("/c/data/db.mdb")).constData(),
                     QFile::encodeName(root + QStringLiteral("/c/other/hard.txt")).constData()),
              0);
    const QString db = root + QStringLiteral("/c/data/db.mdb");
    const QString journal = db + QStringLiteral("-journal");
    const struct {
        QString a, b;
        bool same;
    } cases[] = {
        {QStringLiteral("c:\\data\\db.mdb"), db, true},
        {QStringLiteral("C:\\other\\..\\data\\.\\db.mdb"), db, true},
        {QStringLiteral("c:\\..\\..\\data\\db.mdb"), db, true}, // never above the drive's folder
        {QStringLiteral("c:\\alias\\db.mdb"), db, true},
        {QStringLiteral("c:\\other\\link.txt"), db, true},
        {QStringLiteral("c:\\other\\hard.txt"), db, true},
        {QStringLiteral("c:\\alias\\db.mdb-journal"), journal, true}, // neither is there
        {QStringLiteral("c:\\other\\j.txt"), journal, true},
        {root + QStringLiteral("/c/other/../data/db.mdb"), db, true},
        {QStringLiteral("c:\\other\\db.mdb"), db, false},
        {QStringLiteral("c:\\data\\db.mdb-journal"), db, false},
        {QStringLiteral("a:\\data\\db.mdb"), QStringLiteral("a:\\data\\db.mdb"), false}, // no diskette, no file
        {QStringLiteral("q:\\db.mdb"), db, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sameFile(c.a, c.b), c.same) << c.a.toStdString() << " / " << c.b.toStdString();
        EXPECT_EQ(sameFile(c.b, c.a), c.same) << c.b.toStdString() << " / " << c.a.toStdString();
    }
}

TEST_F(Files, file_size_and_its_errors)
{
    write(QStringLiteral("c/x.txt"), QByteArray(1457000, 'x'));
    EXPECT_EQ(fileSize(QStringLiteral("c:\\x.txt")), 1457000);

    const struct {
        const char* path;
        int number;
    } cases[] = {
        {"c:\\nincs.txt", 53},
        {"a:\\x.txt", 68},   // no diskette in the drive
        {"q:\\x.txt", 68},   // no such drive
        {"c:", 75},          // a folder is not a file
    };
    for (const auto& c : cases) {
        FileError err;
        EXPECT_EQ(fileSize(QString::fromUtf8(c.path), &err), -1) << c.path;
        EXPECT_EQ(err.number, c.number) << c.path;
        EXPECT_FALSE(err.text.isEmpty());
    }
}

TEST(FixedRecords, record_count_rounds_half_to_even)
{
    const struct {
        qint64 length;
        qint64 count;
    } cases[] = {
        {0, 0}, {650, 1}, {650 * 3, 3}, {650 * 3 - 2, 3},
        {650 * 3 + 324, 3}, {650 * 3 + 326, 4},
        {650 * 3 + 325, 4}, {650 * 2 + 325, 2},   // exactly half: even neighbour
        {325, 0}, {326, 1}, {648, 1},
        {650LL * 32767, 32767},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FixedRecordReader::countRecords(c.length, 650), c.count) << c.length;
}

TEST_F(Files, fixed_records_read_whole_and_short_last)
{
    QByteArray data;
    for (char tag : {'1', '2', '3'})
        data += QByteArray(648, tag) + "\r\n";
    data += QByteArray(400, '4');   // short last record, still counted
    write(QStringLiteral("c/TLVREC.TXT"), data);

    FixedRecordReader reader(QStringLiteral("c:\\TLVREC.TXT"), 650);
    ASSERT_TRUE(reader.open());
    EXPECT_EQ(reader.fileLength(), 650 * 3 + 400);
    ASSERT_EQ(reader.recordCount(), 4);
    EXPECT_EQ(reader.record(1), QByteArray(648, '1') + "\r\n");
    EXPECT_EQ(reader.record(3), QByteArray(648, '3') + "\r\n");
    EXPECT_EQ(reader.record(4), QByteArray(400, '4'));
    for (qint64 n : {0, 5}) {
        FileError err;
        EXPECT_TRUE(reader.record(n, &err).isEmpty());
        EXPECT_EQ(err.number, 63) << n;
    }

    const struct {
        const char* path;
        int number;
    } failures[] = {{"c:\\NINCS.TXT", 53}, {"a:\\TLVREC.TXT", 68}, {"c:", 75}};
    for (const auto& f : failures) {
        FixedRecordReader missing(QString::fromUtf8(f.path), 650);
        FileError err;
        EXPECT_FALSE(missing.open(&err)) << f.path;
        EXPECT_EQ(err.number, f.number) << f.path;
    }
}

TEST_F(Files, crlf_writer_writes_windows_bytes_only_on_commit)
{
    write(QStringLiteral("c/mkiser.txt"), "old\r\n");
    {
        CrLfWriter w(QStringLiteral("c:\\mkiser.txt"));
        ASSERT_TRUE(w.open());
        ASSERT_TRUE(w.writeLine(QStringLiteral("Kísérőlap")));
        ASSERT_TRUE(w.write(QStringLiteral("a")));
        ASSERT_TRUE(w.writeLine(QString()));
        ASSERT_TRUE(w.writeLine(QStringLiteral("€ 12,50")));
        EXPECT_EQ(read(QStringLiteral("c/mkiser.txt")), QByteArray("old\r\n"));   // not yet visible
        ASSERT_TRUE(w.commit());
        EXPECT_EQ(w.linesWritten(), 3);
    }
    EXPECT_EQ(read(QStringLiteral("c/mkiser.txt")), QByteArray("K\xEDs\xE9r\xF5lap\r\na\r\n\x80 12,50\r\n"));
    EXPECT_EQ(entries(QStringLiteral("c")), QStringList{QStringLiteral("mkiser.txt")});
}

TEST_F(Files, crlf_writer_failure_leaves_the_old_file_and_no_scrap)
{
    write(QStringLiteral("c/tlakt.txt"), "old\r\n");
    {
        CrLfWriter w(QStringLiteral("c:\\tlakt.txt"));
        ASSERT_TRUE(w.open());
        ASSERT_TRUE(w.writeLine(QStringLiteral("első sor")));
        FileError err;
        EXPECT_FALSE(w.writeLine(QStringLiteral("ab中"), &err));
        EXPECT_EQ(err.number, 5);
        EXPECT_TRUE(err.text.contains(QStringLiteral("2. sor"))) << err.text.toStdString();
        EXPECT_EQ(w.codePageError().position, 2);
        EXPECT_EQ(w.codePageError().character, U'中');
        EXPECT_FALSE(w.writeLine(QStringLiteral("later")));   // the failure sticks
        EXPECT_FALSE(w.commit());
    }
    {
        CrLfWriter abandoned(QStringLiteral("c:\\tlakt.txt"));   // destroyed without commit
        ASSERT_TRUE(abandoned.open());
        abandoned.writeLine(QStringLiteral("half"));
    }
    EXPECT_EQ(read(QStringLiteral("c/tlakt.txt")), QByteArray("old\r\n"));
    EXPECT_EQ(entries(QStringLiteral("c")), QStringList{QStringLiteral("tlakt.txt")});

    const struct {
        const char* path;
        int number;
    } failures[] = {{"c:\\nincs\\x.txt", 76}, {"a:\\x.txt", 68}, {"c:\\", 75}};
    for (const auto& f : failures) {
        CrLfWriter w(QString::fromUtf8(f.path));
        FileError err;
        EXPECT_FALSE(w.open(&err)) << f.path;
        EXPECT_EQ(err.number, f.number) << f.path;
        EXPECT_FALSE(w.commit());
    }
}

TEST_F(Files, copy_replaces_the_target_and_reports_error_numbers)
{
    write(QStringLiteral("c/tlakt.txt"), "new\r\n");
    write(QStringLiteral("c/ADAT/mtlvraf.txt"), "old contents\r\n");
    FileError err;
    ASSERT_TRUE(copyFile(QStringLiteral("c:\\tlakt.txt"), QStringLiteral("c:\\ADAT\\mtlvraf.txt"), &err))
        << err.text.toStdString();
    EXPECT_EQ(read(QStringLiteral("c/ADAT/mtlvraf.txt")), QByteArray("new\r\n"));
    EXPECT_EQ(entries(QStringLiteral("c/ADAT")), QStringList{QStringLiteral("mtlvraf.txt")});

    insertDiskette();
    ASSERT_TRUE(copyFile(QStringLiteral("c:\\ADAT\\mtlvraf.txt"), QStringLiteral("a:\\mtlvraf123401.txt")));
    EXPECT_EQ(read(QStringLiteral("a/mtlvraf123401.txt")), QByteArray("new\r\n"));

    const struct {
        const char* from;
        const char* to;
        int number;
    } failures[] = {
        {"c:\\nincs.txt", "c:\\y.txt", 53},
        {"c:\\tlakt.txt", "c:\\nincs\\y.txt", 76},
        {"c:\\tlakt.txt", "c:\\ADAT", 75},
        {"c:\\tlakt.txt", "q:\\y.txt", 68},
    };
    for (const auto& f : failures) {
        FileError e;
        EXPECT_FALSE(copyFile(QString::fromUtf8(f.from), QString::fromUtf8(f.to), &e)) << f.from << " " << f.to;
        EXPECT_EQ(e.number, f.number) << f.from << " " << f.to;
    }

    // The diskette taken out.
    QFile::remove(root + QStringLiteral("/a/mtlvraf123401.txt"));
    QDir(root).rmdir(QStringLiteral("a"));
    FileError e;
    EXPECT_FALSE(copyFile(QStringLiteral("c:\\tlakt.txt"), QStringLiteral("a:\\mtlvraf123401.txt"), &e));
    EXPECT_EQ(e.number, 68);
}

TEST_F(Files, write_protected_folder_gives_permission_denied)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes through any permission";
    insertDiskette();
    write(QStringLiteral("c/tlakt.txt"), "x\r\n");
    ASSERT_EQ(::chmod(QFile::encodeName(root + QStringLiteral("/a")).constData(), 0555), 0);
    FileError e;
    EXPECT_FALSE(copyFile(QStringLiteral("c:\\tlakt.txt"), QStringLiteral("a:\\x.txt"), &e));
    EXPECT_EQ(e.number, 70);
    CrLfWriter w(QStringLiteral("a:\\kiser.txt"));
    EXPECT_FALSE(w.open(&e));
    EXPECT_EQ(e.number, 70);
    ::chmod(QFile::encodeName(root + QStringLiteral("/a")).constData(), 0755);
}

TEST(FileErrors, errno_values_map_to_the_old_numbers)
{
    const struct {
        int err;
        int number;
    } cases[] = {
        {ENOENT, 53}, {EACCES, 70}, {EROFS, 70}, {ENOSPC, 61}, {ENOMEDIUM, 71},
        {ENXIO, 68}, {ENOTDIR, 76}, {EISDIR, 75}, {EIO, 57},
    };
    for (const auto& c : cases)
        EXPECT_EQ(errorNumberFromErrno(c.err), c.number) << c.err;
    EXPECT_EQ(errorNumberFromFileDevice(QFileDevice::PermissionsError), 70);
    EXPECT_EQ(makeFileError(53).text, QStringLiteral("File not found"));
}

TEST_F(Files, staged_copies_change_their_targets_only_when_placed)
{
    write(QStringLiteral("c/tlakt.txt"), "new export\r\n");
    write(QStringLiteral("c/mkiser.txt"), "new list");
    write(QStringLiteral("c/ki/mtlvraf.txt"), "old export\r\n");
    write(QStringLiteral("c/ki/mkiser.txt"), "old list");
    {
        StagedCopy exportCopy(QStringLiteral("c:\\tlakt.txt"), QStringLiteral("c:\\ki\\mtlvraf.txt"));
        StagedCopy listCopy(QStringLiteral("c:\\mkiser.txt"), QStringLiteral("c:\\ki\\mkiser.txt"));
        ASSERT_TRUE(exportCopy.write());
        ASSERT_TRUE(listCopy.write());
        EXPECT_EQ(read(QStringLiteral("c/ki/mtlvraf.txt")), "old export\r\n");
        EXPECT_EQ(read(QStringLiteral("c/ki/mkiser.txt")), "old list");
        EXPECT_EQ(entries(QStringLiteral("c/ki")).size(), 4); // two temporary files beside the targets
        ASSERT_TRUE(exportCopy.place());
        ASSERT_TRUE(listCopy.place());
    }
    EXPECT_EQ(read(QStringLiteral("c/ki/mtlvraf.txt")), "new export\r\n");
    EXPECT_EQ(read(QStringLiteral("c/ki/mkiser.txt")), "new list");
    EXPECT_EQ(entries(QStringLiteral("c/ki")), (QStringList{"mkiser.txt", "mtlvraf.txt"}));

    // Written but never placed: the target stays, the temporary file goes.
    write(QStringLiteral("c/tlakt.txt"), "third\r\n");
    {
        StagedCopy abandoned(QStringLiteral("c:\\tlakt.txt"), QStringLiteral("c:\\ki\\mtlvraf.txt"));
        ASSERT_TRUE(abandoned.write());
    }
    EXPECT_EQ(read(QStringLiteral("c/ki/mtlvraf.txt")), "new export\r\n");
    EXPECT_EQ(entries(QStringLiteral("c/ki")), (QStringList{"mkiser.txt", "mtlvraf.txt"}));
}

TEST_F(Files, a_full_disk_leaves_the_target_and_no_temporary_file)
{
    write(QStringLiteral("c/tlakt.txt"), QByteArray(200 * 1024, 'x'));
    write(QStringLiteral("c/ki/mtlvraf.txt"), "old\r\n");
    // The disk fills at each change of the copy in turn: its creation, its
    // writes, its sync, its rename.
    for (int failAt = 1;; ++failAt) {
        int changes = 0;
        setFileChangeHook([&](const QString&) { return ++changes == failAt ? ENOSPC : 0; });
        FileError e;
        const bool copied = copyFile(QStringLiteral("c:\\tlakt.txt"), QStringLiteral("c:\\ki\\mtlvraf.txt"), &e);
        setFileChangeHook({});
        if (copied) {
            EXPECT_EQ(failAt, 8); // creation, four writes, sync and rename were each failed once
            break;
        }
        SCOPED_TRACE(failAt);
        EXPECT_EQ(e.number, 61);
        EXPECT_EQ(e.path, QStringLiteral("c:\\ki\\mtlvraf.txt"));
        EXPECT_EQ(read(QStringLiteral("c/ki/mtlvraf.txt")), "old\r\n");
        EXPECT_EQ(entries(QStringLiteral("c/ki")), QStringList{"mtlvraf.txt"});
    }
    EXPECT_EQ(read(QStringLiteral("c/ki/mtlvraf.txt")), QByteArray(200 * 1024, 'x'));
}

TEST_F(Files, leftover_temporary_files_of_ended_processes_are_removed)
{
    // A process that has ended, and one that runs (this test's parent).
    const pid_t ended = ::fork();
    if (ended == 0)
        ::_exit(0);
    ASSERT_GT(ended, 0);
    ASSERT_EQ(::waitpid(ended, nullptr, 0), ended);
    const pid_t running = ::getppid();
    const auto temp = [](const char* name, qint64 pid) {
        return QStringLiteral("c/ki/.%1.tmp-%2-0").arg(QString::fromLatin1(name)).arg(pid);
    };

    const struct {
        QString file;
        bool removed;
    } files[] = {
        {temp("tlakt123408.txt", ended), true},
        {temp("MKISER.TXT", ended), true},                 // the name in any letter case
        {temp("tlakt123408.txt", ::getpid()), true},       // this process writes none now
        {temp("tlakt123408.txt", running), false},         // another copy at work
        {temp("madatok.mdb", ended), false},               // not a file of the export
        {QStringLiteral("c/ki/.tlakt123408.txt.tmp-x-0"), false}, // not a temporary name
        {QStringLiteral("c/ki/tlakt123408.txt"), false},
        {QStringLiteral("c/ki/mkiser.txt"), false},
    };
    for (const auto& f : files)
        write(f.file, "x");

    EXPECT_EQ(removeLeftoverTempFiles(QStringLiteral("c:\\ki"), {QStringLiteral("tlakt*.txt"), QStringLiteral("mkiser.txt")}),
              3);
    for (const auto& f : files)
        EXPECT_EQ(QFile::exists(root + u'/' + f.file), !f.removed) << f.file.toStdString();
    EXPECT_EQ(removeLeftoverTempFiles(QStringLiteral("q:\\"), {QStringLiteral("*")}), 0); // no such drive
}

TEST(FileErrors, clerk_text_is_hungarian_and_names_the_file_with_one_separator)
{
    const struct {
        int number;
        const char* path;
        const char* text;
    } cases[] = {
        {61, "c:\\export/mkiser.txt", "Betelt a lemez, a(z) c:\\export\\mkiser.txt fájlt nem lehet kiírni (hibakód: 61)."},
        {70, "/adat\\ki/mtlvraf.txt",
         "A(z) /adat/ki/mtlvraf.txt fájlhoz nincs jogosultság, vagy a lemez írásvédett (hibakód: 70)."},
        {53, "c:\\tlakt.txt", "A(z) c:\\tlakt.txt fájl nem található (hibakód: 53)."},
        {76, "c:\\nincs\\x.txt", "A(z) c:\\nincs\\x.txt fájl mappája nem található (hibakód: 76)."},
        {68, "a:\\x.txt", "A(z) a:\\x.txt fájl meghajtója nem érhető el (nincs lemez a meghajtóban) (hibakód: 68)."},
        {57, "c:\\x.txt", "Lemezhiba: a(z) c:\\x.txt fájl nem olvasható vagy nem írható (hibakód: 57)."},
        {75, "c:\\", "A(z) c:\\ fájl nem érhető el (hibakód: 75)."},
    };
    for (const auto& c : cases) {
        FileError e = makeFileError(c.number, QStringLiteral("ignored"));
        e.path = QString::fromUtf8(c.path);
        EXPECT_EQ(fileErrorClerkText(e), QString::fromUtf8(c.text)) << c.number;
    }
}
