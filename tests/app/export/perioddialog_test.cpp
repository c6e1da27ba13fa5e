// The period and target dialog (frame SSFrame5) in the real main window: how
// each menu item opens it, the option rule, the proposed file names, the
// refusals of its run button, and an export started from it.
#include "tests/app/export/exportfixture.h"

#include "app/common/kezdo.h"
#include "app/exchange/perioddialog.h"
#include "platform/db/dataconnection.h"
#include "platform/sys/files.h"
#include "platform/sys/regional.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbgrid.h"
#include "platform/ui/events.h"
#include "platform/ui/msgbox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

using platform::MsgResult;

namespace {

class PeriodDialog : public ExportFixture {
protected:
    explicit PeriodDialog(const ProgramInfo& program = ProgramInfo::sebrix()) : ExportFixture(program) {}
    void SetUp() override
    {
        ExportFixture::SetUp();
        platform::ActivationTracker::instance().reset();
    }
    void TearDown() override
    {
        window.reset();
        platform::ActivationTracker::instance().reset();
        ExportFixture::TearDown();
    }

    kezdo& open()
    {
        window = std::make_unique<kezdo>(program());
        window->anotherInstanceRunning = [] { return false; };
        window->show();
        QApplication::setActiveWindow(window.get());
        QApplication::processEvents();
        boxes->clear();
        return *window;
    }

    // Picks a month from a month list as the clerk does.
    static void pick(QComboBox* list, const QString& month)
    {
        const int index = list->findText(month);
        list->setCurrentIndex(index);
        emit list->activated(index);
    }

    void typeInto(QWidget* box, const QString& text)
    {
        box->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, c.unicode(), Qt::NoModifier, QString(c));
            QApplication::sendEvent(box, &press);
        }
    }

    // The export dialog filled for August 2005 to c:\export.
    void fillMonthExport()
    {
        kezdo& w = *window;
        w.talviron->trigger();
        w.Text17->setText(QStringLiteral("c:\\export"));
        w.Check1->click();
        pick(w.Combo1, QStringLiteral("08"));
        w.Text28->setText(QStringLiteral("0"));
    }

    // Every control of the frame that is shown lies inside it.
    static bool allInside(kezdo& w)
    {
        for (QWidget* c : w.SSFrame5->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (c->isVisibleTo(w.SSFrame5) && !QRect(QPoint(0, 0), w.SSFrame5->size()).contains(c->geometry()))
                return false;
        return true;
    }

    // The two collisions a clerk can type, refused with the dialog left as it
    // was; then another name, given in the same dialog, goes through.
    void refusesCollisionsThenTakesAnotherName()
    {
        kezdo& w = *window;
        const ProgramInfo& program = this->program();
        const QString dataFolder = folder();
        const QString targetFolder = this->targetFolder();
        const QString database = QDir(dataFolder).filePath(program.enteredDataFile);
        const QByteArray storedDatabase = read(database);
        const struct {
            QString folder, name, says;
        } cases[] = {
            {dataFolder, program.enteredDataFile, " a program saját fájlja, nem lehet felülírni az exporttal!"},
            {QStringLiteral("c:\\export"), program.accompanyingListFile,
             " helyére a kísérőjegyzék kerül, nem lehet oda írni az exportot!"},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name.toStdString());
            w.Text17->setText(c.folder);
            w.Text20->setText(c.name);
            boxes->clear();
            boxes->answer(MsgResult::No);  // no printed list, were it asked
            boxes->answer(MsgResult::Yes); // to the diskette, were it asked
            w.SSCommand17->click();

            const QString elpath = exchange::exportPath(program, c.folder, c.name);
            EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("A(z) ") + platform::shownPath(elpath) + c.says
                                                 + QStringLiteral(" Adjon meg másik fájlnevet!")});
            EXPECT_TRUE(w.SSFrame5->isVisible());
            EXPECT_FALSE(w.SSFrame4->isVisible());
            EXPECT_EQ(w.Text17->text(), c.folder);
            EXPECT_EQ(w.Text20->text(), c.name);
            EXPECT_EQ(w.Label17->text(), "Elérési út: ");
            EXPECT_EQ(read(database), storedDatabase);
            EXPECT_FALSE(QFile::exists(QDir(dataFolder).filePath("tlakt123408.txt")));
            EXPECT_TRUE(QDir(targetFolder).isEmpty(QDir::Files | QDir::Hidden));
        }

        w.Text17->setText(QStringLiteral("c:\\export"));
        w.Text20->setText(program.exportPrefix + QStringLiteral("123408.txt"));
        boxes->clear();
        boxes->answer(MsgResult::No);
        boxes->answer(MsgResult::Yes);
        w.SSCommand17->click();
        EXPECT_EQ(boxes.texts(), (QStringList{"Kívánja nyomtatni a kísérőlapot?",
                                              "Feldolgozás kész!Kívánja floppyra menteni?", "Kész!"}));
        EXPECT_FALSE(w.SSFrame5->isVisible());
        const QByteArray written = read(QDir(dataFolder).filePath("tlakt123408.txt"));
        EXPECT_EQ(read(QDir(targetFolder).filePath(program.exportPrefix + "123408.txt")), written);
        EXPECT_TRUE(read(QDir(targetFolder).filePath(program.accompanyingListFile)).endsWith("szama: 1"));
        EXPECT_EQ(read(platform::mapPath("a:\\" + program.exportPrefix + "123408.txt")), written);
        EXPECT_EQ(read(database).left(15), "SQLite format 3");
    }

    std::unique_ptr<kezdo> window;
};

class WardPeriodDialog : public PeriodDialog {
protected:
    WardPeriodDialog() : PeriodDialog(ProgramInfo::zorivozure()) {}
};

} // namespace

TEST_F(PeriodDialog, export_opening_sets_up_the_target_rows)
{
    kezdo& w = open();
    w.toolbarButtons[3]->trigger();

    EXPECT_TRUE(w.SSFrame5->isVisible());
    EXPECT_EQ(w.Label14->text(), exchange::kModeExport);
    EXPECT_EQ(w.Text16->text(), "2005");
    EXPECT_EQ(w.Text28->text(), "2005");
    EXPECT_EQ(w.Combo1->currentText(), "");
    EXPECT_EQ(w.Label17->text(), "Elérési út: ");
    EXPECT_TRUE(w.Text17->isVisible());
    EXPECT_EQ(w.Text17->maxLength(), 100);
    EXPECT_TRUE(w.Text20->isVisible());
    EXPECT_TRUE(w.SSCommand28->isVisible());
    // "Törzsszám" ticked: only the register number is open.
    EXPECT_TRUE(w.Check2->isChecked());
    EXPECT_FALSE(w.Check1->isChecked());
    EXPECT_TRUE(w.Text33->isEnabled());
    EXPECT_FALSE(w.Text16->isEnabled());
    EXPECT_FALSE(w.Combo4->isEnabled());
    EXPECT_EQ(w.Label21->text(), "Meghajtó: C: - ");
    EXPECT_TRUE(w.Label23->text().startsWith("Szabad lemezterület: ")) << w.Label23->text().toStdString();
    EXPECT_TRUE(w.Label23->text().endsWith(" kb \r\n"));
    EXPECT_TRUE(allInside(w));
}

TEST_F(PeriodDialog, options_exclude_each_other_and_names_are_proposed)
{
    kezdo& w = open();
    w.talviron->trigger();

    w.Check1->click();
    EXPECT_FALSE(w.Check2->isChecked());
    EXPECT_TRUE(w.Text16->isEnabled());
    EXPECT_TRUE(w.Combo1->isEnabled());
    EXPECT_FALSE(w.Text33->isEnabled());

    // The end month names nothing: the start month does.
    pick(w.Combo4, QStringLiteral("03"));
    EXPECT_EQ(w.Text20->text(), "mtlvraf1234.txt");
    pick(w.Combo1, QStringLiteral("01"));
    EXPECT_EQ(w.Text20->text(), "mtlvraf123401.txt");

    w.Check2->click();
    EXPECT_FALSE(w.Check1->isChecked());
    EXPECT_TRUE(w.Text33->isEnabled());
    for (const auto& [number, name] : {std::pair{"123456789", "rafm56789.txt"}, std::pair{"123", "rafm123.txt"}}) {
        w.Text33->setText(QString::fromLatin1(number));
        w.Text33_LostFocus();
        EXPECT_EQ(w.Text20->text(), QString::fromLatin1(name));
    }
}

TEST_F(PeriodDialog, year_boxes_take_digits_only)
{
    kezdo& w = open();
    w.talviron->trigger();
    w.Check1->click();
    w.Text28->clear();
    typeInto(w.Text28, QStringLiteral("20,0a5"));
    EXPECT_EQ(w.Text28->text(), "2005");
    // A month is picked, never typed.
    typeInto(w.Combo1, QStringLiteral("7"));
    EXPECT_EQ(w.Combo1->currentText(), "");
}

TEST_F(PeriodDialog, run_refusals_keep_the_dialog_open)
{
    kezdo& w = open();
    const struct {
        const char* what;
        std::function<void(kezdo&)> set;
        const char* message;
    } cases[] = {
        {"no folder", [](kezdo& k) { k.Text17->clear(); }, "Hiányzik az elérési út!"},
        {"no file name", [](kezdo& k) { k.Text20->clear(); }, "Hiányzik a fájlnév!"},
        {"a folder that is not there", [](kezdo& k) { k.Text17->setText("c:\\nincs"); },
         "Nem érhető el a célkönyvtár: c:\\nincs!"},
        {"no start month", [](kezdo& k) { k.Combo1->setEditText(QString()); }, "Hiányos dátum!"},
        {"a range without its end month", [](kezdo& k) { k.Text28->setText("2005"); }, "Hiányos dátum!"},
        {"a range with a two-digit end year",
         [](kezdo& k) {
             k.Text28->setText("05");
             pick(k.Combo4, "09");
         },
         "Hiányos dátum!"},
        {"a comma in the start year", [](kezdo& k) { k.Text16->setText("20,5"); }, "Hiányos dátum!"},
        {"no register number", [](kezdo& k) { k.Check2->click(); }, "Adja meg a jelentendő törzsszámot!"},
        {"no institution", [this](kezdo&) { db().exec("delete from intadatok"); },
         "Ki kell töltenie az intézeti adatokat!"},
    };
    for (const auto& c : cases) {
        fillMonthExport();
        w.Text20->setText(QStringLiteral("mtlvraf123408.txt"));
        c.set(w);
        boxes->clear();
        w.SSCommand17->click();
        EXPECT_EQ(boxes.texts(), QStringList{QString::fromUtf8(c.message)}) << c.what;
        EXPECT_EQ(boxes.shown().value(0).icon, platform::MsgIcon::Critical) << c.what;
        EXPECT_TRUE(w.SSFrame5->isVisible()) << c.what;
    }
    EXPECT_FALSE(QFile::exists(QDir(folder()).filePath("tlakt123408.txt")));
}

TEST_F(PeriodDialog, export_from_the_dialog_writes_the_files_and_leaves_every_mode_usable)
{
    const qlonglong id = episode();
    item(id, QStringLiteral("A1"), QStringLiteral("1,5"));
    kezdo& w = open();
    fillMonthExport();
    ASSERT_EQ(w.Text20->text(), "mtlvraf123408.txt");
    boxes->answer(MsgResult::No);
    boxes->answer(MsgResult::No);
    w.SSCommand17->click();

    EXPECT_EQ(boxes.texts(), (QStringList{"Kívánja nyomtatni a kísérőlapot?",
                                          "Feldolgozás kész!Kívánja floppyra menteni?", "Kész!"}));
    const QByteArray written = read(QDir(folder()).filePath("tlakt123408.txt"));
    EXPECT_EQ(written.size(), 95 + 2 + 2);
    EXPECT_EQ(read(QDir(targetFolder()).filePath("mtlvraf123408.txt")), written);
    EXPECT_GT(w.szabadkb, 0);
    EXPECT_EQ(w.Label23->text(), "Szabad lemezterület: " + platform::groupedInteger(w.szabadkb) + " kb \r\n");
    EXPECT_FALSE(w.SSFrame5->isVisible());
    EXPECT_FALSE(w.SSFrame4->isVisible());
    EXPECT_EQ(w.Label9->text(), "1");
    EXPECT_EQ(w.Label11->text(), "100 %");
    // The target rows are back in their list shape.
    EXPECT_EQ(w.Label17->text(), "Törzsszám");
    EXPECT_FALSE(w.Text17->isVisibleTo(w.SSFrame5));
    EXPECT_EQ(w.Text17->text(), "");
    EXPECT_EQ(w.Text17->maxLength(), 9);
    EXPECT_EQ(w.Data3->recordSource(), "select * from alap");

    // Every list mode and the export open again with their buttons in reach
    // (the high-cost item is greyed in the menu; its handler opens the mode).
    const std::pair<const char*, std::function<void()>> openers[] = {
        {"elso", [&] { w.elso->trigger(); }},
        {"mas", [&] { w.mas->trigger(); }},
        {"har", [&] { w.har_Click(); }},
        {"talviron", [&] { w.talviron->trigger(); }},
    };
    for (const auto& [name, openDialog] : openers) {
        openDialog();
        EXPECT_TRUE(w.SSCommand17->isVisible()) << name;
        EXPECT_TRUE(w.SSCommand18->isVisible()) << name;
        EXPECT_TRUE(allInside(w)) << name;
        w.SSCommand18->click();
        EXPECT_FALSE(w.SSFrame5->isVisible());
    }
}

TEST_F(PeriodDialog, no_diskette_is_told_before_kesz_and_keeps_the_dialog_usable)
{
    item(episode(), QStringLiteral("A1"), QStringLiteral("1"));
    QDir(diskette()).removeRecursively();
    kezdo& w = open();
    fillMonthExport();
    boxes->answer(MsgResult::No);
    boxes->answer(MsgResult::Yes);
    w.SSCommand17->click();

    EXPECT_EQ(boxes.texts(), (QStringList{"Kívánja nyomtatni a kísérőlapot?",
                                          "Feldolgozás kész!Kívánja floppyra menteni?", "Nincs floppy!", "Kész!"}));
    EXPECT_FALSE(w.SSFrame4->isVisible());
    EXPECT_FALSE(w.SSFrame5->isVisible());
    w.talviron->trigger();
    EXPECT_TRUE(w.Text17->isVisible());
    EXPECT_EQ(w.Text17->maxLength(), 100);
}

TEST_F(PeriodDialog, error_list_mode_prints_and_shows_the_months_hand_entered_episodes)
{
    Episode typed;
    typed.manual = true;
    typed.tSzam = QStringLiteral("111");
    episode(typed);
    episode(); // taken over from the institution's file
    Episode july = typed;
    july.fdat = QStringLiteral("2005.07.01.");
    episode(july);
    kezdo& w = open();

    w.mas->trigger();
    EXPECT_EQ(w.SSFrame5->caption(), "Feld.idő");
    EXPECT_FALSE(w.SSCommand28->isVisible());
    w.Check1->click();
    pick(w.Combo1, QStringLiteral("08"));
    boxes->answer(MsgResult::Yes);
    boxes->answer(MsgResult::Yes);
    w.SSCommand17->click();

    EXPECT_EQ(boxes.texts(), (QStringList{"Nyomtatás indulhat?", "Meg akarja tekinteni?"}));
    EXPECT_EQ(printerDevice->documents().size(), 1u);
    EXPECT_TRUE(w.DBGrid5->isVisible());
    EXPECT_EQ(w.Data3->recordset().recordCount(), 1);
    EXPECT_EQ(w.Data3->recordset().text("T_szam"), "111");
    EXPECT_FALSE(w.SSFrame5->isVisible());
}

TEST_F(PeriodDialog, clerks_copy_joins_folder_and_name_as_each_program_does)
{
    const struct {
        const ProgramInfo* program;
        const char* folder;
        const char* path;
    } cases[] = {
        {&ProgramInfo::sebrix(), "c:\\export", "c:\\export\\x.txt"},
        {&ProgramInfo::sebrix(), "c:\\", "c:\\\\x.txt"}, // the doubled separator still names c:\x.txt
        {&ProgramInfo::zorivozure(), "c:\\export", "c:\\export\\x.txt"},
        {&ProgramInfo::zorivozure(), "c:\\", "c:\\x.txt"},
    };
    for (const auto& c : cases) {
        const QString path = exchange::exportPath(*c.program, QString::fromLatin1(c.folder), QStringLiteral("x.txt"));
        EXPECT_EQ(path, QString::fromLatin1(c.path)) << c.program->name.toStdString() << " " << c.folder;
        EXPECT_EQ(platform::mapPath(path), QDir(folder()).filePath(QStringLiteral("c/")) + (QString::fromLatin1(c.folder).size() > 3 ? "export/x.txt" : "x.txt"));
    }
}

TEST_F(PeriodDialog, surgical_export_folder_is_only_chosen)
{
    kezdo& w = open();
    w.talviron->trigger();
    EXPECT_FALSE(w.Text17->isEnabled());
    typeInto(w.Text17, QStringLiteral("c:\\export"));
    EXPECT_EQ(w.Text17->text(), "");
}

TEST_F(WardPeriodDialog, ward_export_folder_is_typed_and_checked_like_a_chosen_one)
{
    item(episode(), QStringLiteral("A1"), QStringLiteral("1"));
    kezdo& w = open();
    fillMonthExport();
    ASSERT_TRUE(w.Text17->isEnabled());

    w.Text17->clear();
    typeInto(w.Text17, QStringLiteral("c:\\nincs"));
    boxes->clear();
    w.SSCommand17->click();
    EXPECT_EQ(boxes.texts(), QStringList{"Nem érhető el a célkönyvtár: c:\\nincs!"});
    EXPECT_TRUE(w.SSFrame5->isVisible());

    w.Text17->clear();
    typeInto(w.Text17, QStringLiteral("c:\\export"));
    EXPECT_EQ(w.Text17->text(), "c:\\export");
    boxes->clear();
    boxes->answer(MsgResult::No); // no printed list
    boxes->answer(MsgResult::No); // no diskette
    w.SSCommand17->click();
    EXPECT_EQ(boxes.texts(), (QStringList{"Kívánja nyomtatni a kísérőlapot?",
                                          "Feldolgozás kész!Kívánja floppyra menteni?", "Kész!"}));
    EXPECT_EQ(read(QDir(targetFolder()).filePath("tlvraf123408.txt")), read(QDir(folder()).filePath("tlakt123408.txt")));
    EXPECT_TRUE(QFile::exists(QDir(targetFolder()).filePath("kiser.txt")));
}

TEST_F(PeriodDialog, a_copy_onto_the_database_or_the_lists_place_is_refused_and_another_name_taken)
{
    item(episode(), QStringLiteral("A1"), QStringLiteral("1"));
    open();
    fillMonthExport();
    refusesCollisionsThenTakesAnotherName();
}

TEST_F(WardPeriodDialog, a_copy_onto_the_database_or_the_lists_place_is_refused_and_another_name_taken)
{
    item(episode(), QStringLiteral("A1"), QStringLiteral("1"));
    open();
    fillMonthExport();
    refusesCollisionsThenTakesAnotherName();
}
