// The import in the real main window: the import frame, the run behind the
// progress frame, the chooser "Megnyitás", and what the clerk sees when a
// run cannot start, ends or is cut short.
#include "tests/app/import/tlvfixture.h"

#include "app/common/kezdo.h"
#include "app/exchange/openform.h"
#include "platform/db/dataconnection.h"
#include "platform/sys/files.h"
#include "platform/sys/regional.h"
#include "platform/ui/controls.h"
#include "platform/ui/events.h"
#include "platform/ui/maskedbox.h"
#include "platform/ui/msgbox.h"
#include "tests/support/otherprogram.h"
#include "tests/support/scriptedboxes.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QTimer>
#include <QToolBar>

#include <optional>

using platform::MsgIcon;

namespace {

const char* const kDone = "Adatkonvertálás sikeresen lezajlott!";

QStringList listed(QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

} // namespace

class ImportWindow : public ImportTest {
protected:
    void SetUp() override
    {
        ImportTest::SetUp();
        m_previousFolder = QDir::currentPath();
        platform::ActivationTracker::instance().reset();
        regional.emplace(QStringLiteral("%Y.%m.%d."), QStringLiteral("%H:%M:%S"),
                         QDateTime(QDate(2005, 8, 24), QTime(9, 59, 0)));
        // c: is the folder the import files lie in; a: is a missing diskette.
        platform::setDriveFolder(QLatin1Char('c'), files.path());
        platform::setDriveFolder(QLatin1Char('a'), files.filePath(QStringLiteral("nincs-floppy")));
    }

    void TearDown() override
    {
        if (openform* f = openform::current())
            delete f;
        window.reset();
        platform::db::Database::setBusyTimeout(5000);
        platform::resetDrives();
        regional.reset();
        platform::ActivationTracker::instance().reset();
        QDir::setCurrent(m_previousFolder);
        ImportTest::TearDown();
    }

    kezdo& open()
    {
        EXPECT_TRUE(QDir::setCurrent(dataFolder()));
        ProgramInfo::setCurrent(program());
        platform::setDefaultMsgBoxTitle(program().name);
        window = std::make_unique<kezdo>(program());
        window->anotherInstanceRunning = [] { return false; };
        window->show();
        QApplication::setActiveWindow(window.get());
        QApplication::processEvents();
        boxes->clear();
        return *window;
    }

    // Opens the import frame from the menu and starts the run on a path,
    // clicking "Ok" the way a person does, with no event settled before it.
    void importFrom(const QString& path)
    {
        kezdo& w = *window;
        w.kesz->trigger();
        w.Text13->setText(path);
        w.SSCommand12->click();
    }

    bool menusEnabled() const
    {
        kezdo& w = *window;
        return w.adAction->isEnabled() && w.listAction->isEnabled() && w.talviron->isEnabled()
            && w.Toolbar1->isEnabled() && w.lev->menuAction()->isEnabled();
    }

    testsupport::ScriptedBoxes boxes;
    std::unique_ptr<kezdo> window;
    std::optional<platform::ScopedRegional> regional;

private:
    QString m_previousFolder;
};

TEST_F(ImportWindow, importsAFileBehindTheProgressFrame)
{
    kezdo& w = open();
    TlvRecord blank;
    blank.surgeryCode(1, QString());
    const QString path = writeFile("TLVREC.TXT", records(2) + blank.bytes() + records(1));

    // Toolbar button 2 opens the frame as the menu item does.
    w.toolbarButtons[1]->trigger();
    EXPECT_TRUE(w.SSFrame3->isVisible());
    EXPECT_EQ(w.SSFrame3->caption(), "Megnyitás");
    EXPECT_EQ(w.SSPanel19->caption(), "Kérem a TALVIRON file elérési útvonalát a nevével együtt:");
    EXPECT_TRUE(w.SSCheck3->isChecked());
    EXPECT_EQ(w.mentettkonyvtar, QDir::currentPath());

    // What the window shows while the run lets events through.
    struct During {
        bool progressShown = false, importShown = true, menus = true, answered = false;
        QString total;
    } during;
    QTimer::singleShot(0, &w, [&] {
        during.progressShown = w.SSFrame4->isVisible();
        during.importShown = w.SSFrame3->isVisible();
        during.menus = menusEnabled();
        during.total = w.Label10->text();
        during.answered = true;
    });
    w.Text13->setText(path);
    w.SSCommand12->click();

    EXPECT_TRUE(during.answered);
    EXPECT_TRUE(during.progressShown);
    EXPECT_FALSE(during.importShown);
    EXPECT_FALSE(during.menus);
    EXPECT_EQ(during.total, "4");

    ASSERT_EQ(boxes.texts(), QStringList{kDone});
    EXPECT_EQ(boxes.single().title, "Figyelmeztetés");
    EXPECT_EQ(boxes.single().icon, MsgIcon::Critical);
    EXPECT_EQ(konvCount(), 3);
    EXPECT_EQ(w.Label8->text(), " / 4");
    EXPECT_EQ(w.Label9->text(), "4");
    EXPECT_EQ(w.Label11->text(), "100 %");
    EXPECT_EQ(w.ProgressBar1->value(), 4);
    EXPECT_EQ(w.rekszam, 4);
    EXPECT_EQ(w.aktpoz, 5);
    EXPECT_FALSE(w.SSFrame4->isVisible());
    EXPECT_FALSE(w.SSFrame3->isVisible());
    EXPECT_TRUE(menusEnabled());
    EXPECT_TRUE(w.isEnabled());
    EXPECT_EQ(w.Data1->recordset().recordCount(), 3);

    // The rows are ready for processing.
    boxes->clear();
    w.feldolg->trigger();
    EXPECT_TRUE(boxes.texts().isEmpty());
    EXPECT_EQ(w.Label8->text(), "3");
    EXPECT_EQ(w.Text3->text(), "111111111");
    EXPECT_EQ(w.MaskEdBox1->text(), "2005.08.24.");
    EXPECT_EQ(w.MaskEdBox2->text(), "12:30");
    EXPECT_EQ(w.Text23->text(), "11111");
}

// A path naming no file, the initial "a:" of a missing diskette, an empty
// file: the clerk is told, nothing is stored, and the frame, the menus and
// the toolbar are there for the next try. The program goes on.
TEST_F(ImportWindow, aRunThatCannotStartSaysWhyAndGivesEverythingBack)
{
    kezdo& w = open();
    writeFile("ures.txt", QByteArray(""));
    const struct {
        QString path;
        QString message;
    } cases[] = {
        {files.filePath("nincs.txt"), "Az importálandó fájl nem olvasható: %1\nNincs ilyen fájl."},
        {"a:", "Az importálandó fájl nem olvasható: %1\nA meghajtó nem érhető el (nincs floppy?)."},
        {"c:\\ures.txt", "A fájlban nincs egyetlen teljes rekord sem (0 bájt): %1\nNem történt adatkonvertálás."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        boxes->clear();
        importFrom(c.path);
        ASSERT_EQ(boxes.texts(), QStringList{c.message.arg(c.path)});
        EXPECT_EQ(boxes.single().title, "Hiba");
        EXPECT_EQ(boxes.single().icon, MsgIcon::Critical);
        EXPECT_TRUE(w.SSFrame3->isVisible());
        EXPECT_FALSE(w.SSFrame4->isVisible());
        EXPECT_TRUE(menusEnabled());
        EXPECT_EQ(konvCount(), 0);
    }
    // "Mégse" closes the frame.
    w.SSCommand13->click();
    EXPECT_FALSE(w.SSFrame3->isVisible());
    EXPECT_TRUE(w.isEnabled());
}

// The store failing halfway: the clerk is told, konv keeps what it had,
// the menus and the import frame come back.
TEST_F(ImportWindow, aDatabaseErrorKeepsNothingAndGivesTheWindowBack)
{
    kezdo& w = open();
    converted()->exec("insert into konv (Torzsszam, Feldolgozva) values ('000000001', 0)");
    converted()->exec("create trigger tele before insert on konv when (select count(*) from konv) >= 2 "
                      "begin select raise(abort, 'tele'); end");
    importFrom(writeFile("TLVREC.TXT", records(3)));
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_TRUE(boxes.single().text.startsWith("Az adatkonvertálás adatbázis-hiba miatt megszakadt"));
    EXPECT_FALSE(boxes.texts().contains(kDone));
    EXPECT_EQ(konvCount(), 1);
    EXPECT_TRUE(menusEnabled());
    EXPECT_FALSE(w.SSFrame4->isVisible());
    EXPECT_TRUE(w.SSFrame3->isVisible());
}

// A file of another layout is refused with its first bad record named, and
// the window is given back as after any run that kept nothing.
TEST_F(ImportWindow, aFileOfAnotherLayoutIsRefusedNamingTheRecord)
{
    kezdo& w = open();
    QByteArray withoutLineEnds;
    for (int n = 0; n < 20; ++n)
        withoutLineEnds += TlvRecord().bytes().left(648);
    writeFile("TLVREC.TXT", withoutLineEnds);
    importFrom("c:/TLVREC.TXT");
    EXPECT_EQ(boxes.texts(), QStringList{"Hibás a(z) 1. rekord (a végén nincs CR LF sorvég, a fájl nem 650 bájtos "
                                         "rekordokból áll): c:\\TLVREC.TXT\nNem történt adatkonvertálás."});
    EXPECT_EQ(boxes.single().title, "Hiba");
    EXPECT_EQ(boxes.single().icon, MsgIcon::Critical);
    EXPECT_EQ(konvCount(), 0);
    EXPECT_TRUE(menusEnabled());
    EXPECT_FALSE(w.SSFrame4->isVisible());
    EXPECT_TRUE(w.SSFrame3->isVisible());
}

// Another program holding the converted file, and a full disk: the clerk
// reads in Hungarian which file and why, and konv keeps what it had.
TEST_F(ImportWindow, aLockedFileOrAFullDiskIsToldInHungarian)
{
    open();
    const QString path = writeFile("TLVREC.TXT", records(20));
    const QString stopped = "Az adatkonvertálás adatbázis-hiba miatt megszakadt, a konvertált adatok változatlanok "
                            "maradtak.\n";
    const QString file = program().convertedFile;
    converted()->exec("insert into konv (Torzsszam, Feldolgozva) values ('000000001', 0)");
    {
        platform::db::Database::setBusyTimeout(200);
        testsupport::OtherProgram other(QDir(dataFolder()).filePath(file));
        ASSERT_TRUE(other.lock());
        importFrom(path);
        EXPECT_EQ(boxes.texts(),
                  QStringList{stopped + "A(z) " + file + " adatbázisfájlt egy másik program használja, a művelet nem "
                                                         "hajtható végre. Próbálja meg újra később!"});
    }
    EXPECT_EQ(konvCount(), 1);

    // The file may not grow: twenty records do not fit.
    boxes->clear();
    const int pages = converted()->scalar("pragma page_count").toInt();
    converted()->scalar(QStringLiteral("pragma max_page_count = %1").arg(pages));
    importFrom(path);
    EXPECT_EQ(boxes.texts(),
              QStringList{stopped + "Betelt a lemez, a(z) " + file + " adatbázisfájlba nem lehet írni."});
    EXPECT_EQ(konvCount(), 1);
    EXPECT_TRUE(menusEnabled());
    EXPECT_TRUE(window->SSFrame3->isVisible());
}

// Closing the main window while the run goes: the run stops, keeps nothing,
// and the window closes once it has unwound.
TEST_F(ImportWindow, closingTheWindowDuringARunKeepsNothing)
{
    kezdo& w = open();
    const QString path = writeFile("TLVREC.TXT", records(50));
    QTimer::singleShot(0, &w, [&] { w.close(); });
    importFrom(path);
    EXPECT_EQ(konvCount(), 0);
    EXPECT_TRUE(boxes.texts().isEmpty());
    EXPECT_TRUE(w.closedByUser());
    EXPECT_FALSE(w.isVisible());
}

TEST_F(ImportWindow, aScrapAtTheEndIsToldBeforeTheClosingMessage)
{
    open();
    importFrom(writeFile("TLVREC.TXT", records(3) + TlvRecord().bytes().left(400)));
    EXPECT_EQ(boxes.texts(), (QStringList{"A fájl végén egy 400 bájtos hiányos rekord van, ez nem került átvételre.",
                                          kDone}));
    EXPECT_EQ(konvCount(), 3);
    EXPECT_EQ(window->Label10->text(), "4");
}

// ---- the chooser ------------------------------------------------------------

class Chooser : public ImportWindow {
protected:
    void SetUp() override
    {
        ImportWindow::SetUp();
        QDir(files.path()).mkpath("ADAT/REGI");
        writeFile("ADAT/TLVREC.TXT", records(1));
        writeFile("ADAT/masik.txt", records(1));
        writeFile("ADAT/lista.Txt", QByteArray());
        writeFile("ADAT/adatok.csv", QByteArray());
        writeFile("gyoker.txt", QByteArray());
    }

    openform& keres()
    {
        window->kesz->trigger();
        window->SSCommand11->click();
        openform* f = openform::current();
        EXPECT_NE(f, nullptr);
        QApplication::processEvents();
        return *f;
    }
};

TEST_F(Chooser, picksTheImportFileIntoThePathBoxOnly)
{
    kezdo& w = open();
    w.Text17->setText("c:\\ki");
    openform& f = keres();
    EXPECT_EQ(f.windowTitle(), "Megnyitás");
    EXPECT_EQ(f.Label1->text(), "Választott elérési út:");
    EXPECT_FALSE(w.isEnabled());
    EXPECT_FALSE(w.SSCommand11->isEnabled());
    EXPECT_FALSE(w.SSCommand12->isEnabled());
    EXPECT_FALSE(w.SSCommand13->isEnabled());
    EXPECT_EQ(f.Drive1->currentText(), "c:");
    EXPECT_EQ(f.Text1->text(), "");

    f.setDirPath("C:\\ADAT");
    EXPECT_EQ(f.Text1->text(), "C:\\ADAT");
    // "*.txt" in any letter case, nothing else.
    EXPECT_EQ(listed(f.File1), (QStringList{"lista.Txt", "masik.txt", "TLVREC.TXT"}));
    EXPECT_TRUE(listed(f.Dir1).last().endsWith("REGI"));
    ASSERT_TRUE(f.clickFile("TLVREC.TXT"));
    EXPECT_EQ(f.Text1->text(), "C:\\ADAT\\TLVREC.TXT");
    // A folder change after a file click replaces the path.
    f.setDirPath("C:\\ADAT\\REGI");
    EXPECT_EQ(f.Text1->text(), "C:\\ADAT\\REGI");
    f.setDirPath("C:\\ADAT");
    f.clickFile("TLVREC.TXT");

    f.Command1->click();
    QApplication::processEvents();
    EXPECT_EQ(openform::current(), nullptr);
    EXPECT_EQ(w.Text13->text(), "C:\\ADAT\\TLVREC.TXT");
    EXPECT_EQ(w.Text17->text(), "c:\\ki");
    EXPECT_TRUE(w.isEnabled());
    EXPECT_TRUE(w.SSCommand11->isEnabled());
    EXPECT_TRUE(w.SSCommand12->isEnabled());
    EXPECT_TRUE(w.SSCommand13->isEnabled());

    // The chosen path imports.
    w.SSCommand12->click();
    EXPECT_EQ(boxes.texts(), QStringList{kDone});
    EXPECT_EQ(konvCount(), 1);
}

TEST_F(Chooser, aFileInTheDriveTopGetsOneBackslash)
{
    open();
    openform& f = keres();
    f.setDirPath("C:\\");
    ASSERT_TRUE(f.clickFile("gyoker.txt"));
    EXPECT_EQ(f.Text1->text(), "C:\\gyoker.txt");
}

// "Mégse" and the close box leave the path box as it was and give the main
// window and the frame's buttons back.
TEST_F(Chooser, cancelAndTheCloseBoxChangeNothing)
{
    kezdo& w = open();
    for (bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "Mégse");
        w.Text13->setText("a:");
        openform& f = keres();
        f.setDirPath("C:\\ADAT");
        f.clickFile("TLVREC.TXT");
        if (closeBox)
            f.close();
        else
            f.Command2->click();
        QApplication::processEvents();
        EXPECT_EQ(openform::current(), nullptr);
        EXPECT_EQ(w.Text13->text(), "a:");
        EXPECT_TRUE(w.isEnabled());
        EXPECT_TRUE(w.SSCommand11->isEnabled());
        EXPECT_TRUE(w.SSCommand12->isEnabled());
        EXPECT_TRUE(w.SSCommand13->isEnabled());
    }
}

TEST_F(Chooser, aMissingDisketteIsToldAndTheListsStay)
{
    open();
    openform& f = keres();
    f.setDirPath("C:\\ADAT");
    f.chooseDrive("a:");
    EXPECT_EQ(boxes.texts(), QStringList{"Nincs floppy!"});
    EXPECT_EQ(boxes.single().title, "Hiba");
    EXPECT_EQ(boxes.single().icon, MsgIcon::Critical);
    EXPECT_EQ(f.dirPath(), "C:\\ADAT");
    EXPECT_EQ(f.filePath(), "C:\\ADAT");
    // The drive list shows the drive of the lists, so a second try is a change.
    EXPECT_EQ(f.Drive1->currentText(), "c:");

    // With the diskette in, the lists move to it.
    QDir(files.path()).mkpath("nincs-floppy");
    writeFile("nincs-floppy/TLVREC.TXT", records(1));
    boxes->clear();
    f.chooseDrive("a:");
    EXPECT_TRUE(boxes.texts().isEmpty());
    EXPECT_EQ(f.dirPath(), "A:\\");
    EXPECT_EQ(f.Text1->text(), "A:\\");
    EXPECT_EQ(listed(f.File1), QStringList{"TLVREC.TXT"});
}

// Opened for the export target folder: only a folder can be chosen, and it
// goes into the target box only.
TEST_F(Chooser, folderModeWritesTheTargetFolderOnly)
{
    kezdo& w = open();
    w.Text13->setText("a:\\TLVREC.TXT");
    openform* f = openform::open(w, openform::Mode::Folder, w.Text17);
    QApplication::processEvents();
    EXPECT_TRUE(w.isEnabled());
    EXPECT_FALSE(f->File1->isEnabled());
    f->setDirPath("C:\\ADAT");
    EXPECT_FALSE(f->clickFile("TLVREC.TXT"));
    f->Command1->click();
    QApplication::processEvents();
    EXPECT_EQ(w.Text17->text(), "C:\\ADAT");
    EXPECT_EQ(w.Text13->text(), "a:\\TLVREC.TXT");

    // "Megnyit" before choosing anything hands over the empty path.
    f = openform::open(w, openform::Mode::Folder, w.Text17);
    QApplication::processEvents();
    f->Command1->click();
    EXPECT_EQ(w.Text17->text(), "");
}

// "Választ" of the period dialog opens the chooser for the target folder.
TEST_F(Chooser, choosingTheExportFolderFromThePeriodDialog)
{
    kezdo& w = open();
    w.SSCommand28->click();
    openform* f = openform::current();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->mode(), openform::Mode::Folder);
    EXPECT_FALSE(f->File1->isEnabled());
    EXPECT_TRUE(w.isEnabled());
    f->setDirPath("C:\\ADAT");
    f->Command1->click();
    EXPECT_EQ(w.Text17->text(), "C:\\ADAT");
    // The surgical program's chooser leaves the drive lines alone.
    EXPECT_EQ(w.Label21->text(), "-");
}

// ---- the ward program ---------------------------------------------------------

class WardImport : public Chooser {
protected:
    const ProgramInfo& program() const override { return ProgramInfo::zorivozure(); }
};

// The ward program takes every record and keeps the times as received.
TEST_F(WardImport, takesEveryRecordAndKeeps2400)
{
    kezdo& w = open();
    EXPECT_EQ(w.kesz->text(), "1. Importálás a TALVIRON floppyról");
    TlvRecord noCode;
    noCode.surgeryCode(1, QString()).set("Felv", "200601152400").set("Tav", "");
    importFrom(writeFile("TLVREC.TXT", records(2) + noCode.bytes()));
    EXPECT_EQ(boxes.texts(), QStringList{kDone});
    ASSERT_EQ(konvCount(), 3);
    EXPECT_EQ(konvValue(3, "Felv_dat").toString(), "2006.01.15");
    EXPECT_EQ(konvValue(3, "Felv_tim").toString(), "24:00:00");
    EXPECT_EQ(konvValue(3, "Tav_dat").toString(), "    .  .  ");
    EXPECT_EQ(konvValue(3, "Tav_tim").toString(), "  :  :00");
    EXPECT_EQ(w.Label8->text(), " / 3");
    EXPECT_EQ(w.Label11->text(), "100 %");
}

// Its chooser also shows the chosen drive with its size and free space, in
// whole kilobytes with the digit grouping; the drive in capitals.
TEST_F(WardImport, chooserShowsTheChosenDrive)
{
    kezdo& w = open();
    openform& f = keres();
    f.Text1->setText("c:\\adat\\tlvrec.txt");
    f.Command1->click();
    EXPECT_EQ(w.Text13->text(), "c:\\adat\\tlvrec.txt");
    EXPECT_EQ(w.Label21->text(), "Meghajtó: C: - ");
    EXPECT_TRUE(w.Label22->text().startsWith("Teljes lemezterület: "));
    EXPECT_TRUE(w.Label22->text().endsWith(" kb \r\n"));
    EXPECT_TRUE(w.Label23->text().startsWith("Szabad lemezterület: "));

    // A path without a drive is still handed over; the lines stay.
    openform& again = keres();
    again.Command1->click();
    EXPECT_EQ(w.Text13->text(), "");
    EXPECT_EQ(w.Label21->text(), "Meghajtó: C: - ");
    EXPECT_TRUE(w.isEnabled());

    // A diskette drive without a diskette shows its name only.
    openform& floppy = keres();
    floppy.Text1->setText("a:\\TLVREC.TXT");
    floppy.Command1->click();
    EXPECT_EQ(w.Text13->text(), "a:\\TLVREC.TXT");
    EXPECT_EQ(w.Label21->text(), "Meghajtó: A: - ");
    EXPECT_EQ(w.Label22->text(), "");
    EXPECT_TRUE(w.isEnabled());
}

// The ward program refuses a bad file the same way and tells of its own
// converted file.
TEST_F(WardImport, refusesABadFileAndNamesItsConvertedFile)
{
    open();
    importFrom(writeFile("TLVREC.TXT", records(2) + TlvRecord().rawByte(9, '\0').bytes()));
    EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("Hibás a(z) 3. rekord (nulla bájt áll a rekord 10. bájtján): "
                                                        "%1\nNem történt adatkonvertálás.")
                                             .arg(files.filePath("TLVREC.TXT"))});
    EXPECT_EQ(konvCount(), 0);

    boxes->clear();
    platform::db::Database::setBusyTimeout(200);
    testsupport::OtherProgram other(QDir(dataFolder()).filePath("osztkonv.mdb"));
    ASSERT_TRUE(other.lock());
    importFrom(writeFile("jo.txt", records(2)));
    EXPECT_EQ(boxes.texts(), QStringList{"Az adatkonvertálás adatbázis-hiba miatt megszakadt, a konvertált adatok "
                                         "változatlanok maradtak.\nA(z) osztkonv.mdb adatbázisfájlt egy másik program "
                                         "használja, a művelet nem hajtható végre. Próbálja meg újra később!"});
}
