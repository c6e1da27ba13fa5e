// The main window's shell: start-up checks through the real activation,
// menus and toolbar, the two ways to leave, the certificate button, coming
// back after a secondary window, the data store it opens.
#include "tests/app/shell/shellfixture.h"

#include "app/common/module1.h"
#include "platform/db/dataconnection.h"
#include "app/common/programinfo.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbgrid.h"
#include "platform/ui/maskedbox.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTabWidget>
#include <QToolBar>
#include <QLineEdit>

using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

namespace {

const QString kFormatMessage = QStringLiteral(
    "Nem jó a dátum-, vagy időformátum!Helyes: - Dátum:éééé.hh.nn.  ,  - Idő: OO:pp:mm Állítsa be a formátumokat!");

struct FormatCase {
    const char* what;
    const char* datePattern;
    const char* timePattern;
    QTime at;
    bool starts;
};

} // namespace

// ---- start-up checks ----

TEST_F(ShellTest, activation_accepts_only_dotted_dates_and_two_digit_hours)
{
    const FormatCase cases[] = {
        {"dotted date, two-digit hours", "%Y.%m.%d.", "%H:%M:%S", QTime(9, 59, 0), true},
        {"the same written as a Qt pattern", "yyyy.MM.dd.", "HH:mm:ss", QTime(9, 59, 0), true},
        {"a blank after each point", "%Y. %m. %d.", "%H:%M:%S", QTime(14, 0, 0), false},
        {"hyphens", "%Y-%m-%d-", "%H:%M:%S", QTime(14, 0, 0), false},
        {"two-digit year", "%y.%m.%d.", "%H:%M:%S", QTime(14, 0, 0), false},
        {"no closing point", "%Y.%m.%d", "%H:%M:%S", QTime(14, 0, 0), false},
        {"hours without leading zero at 09:59", "%Y.%m.%d.", "%k:%M:%S", QTime(9, 59, 0), false},
        {"hours without leading zero at 10:00", "%Y.%m.%d.", "%k:%M:%S", QTime(10, 0, 0), true},
        {"hours without padding at 09:59", "%Y.%m.%d.", "%-H:%M:%S", QTime(9, 59, 0), false},
        {"no seconds", "%Y.%m.%d.", "%H:%M", QTime(14, 0, 0), false},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.what);
        regional.reset();
        regional.emplace(QString::fromLatin1(c.datePattern), QString::fromLatin1(c.timePattern),
                         QDateTime(QDate(2005, 8, 24), c.at));
        boxes->clear();
        resetProgramEnd();
        platform::ActivationTracker::instance().reset();
        kezdo& w = open();
        // Another window of the program, to see that a failure closes every one.
        QWidget other;
        other.show();

        activate(&w);

        if (c.starts) {
            EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join('|').toStdString();
            EXPECT_TRUE(w.isVisible());
            EXPECT_TRUE(other.isVisible());
            EXPECT_EQ(w.MaskEdBox5->text(), QStringLiteral("2005.08.24."));
        } else {
            ASSERT_EQ(boxes.shown().size(), 1);
            const platform::MsgBoxRequest& box = boxes.single();
            EXPECT_EQ(box.text, kFormatMessage);
            EXPECT_EQ(box.title, QStringLiteral("Figyelmeztetés"));
            EXPECT_EQ(box.icon, MsgIcon::Critical);
            EXPECT_EQ(box.buttons, MsgButtons::Ok);
            EXPECT_FALSE(w.isVisible());
            EXPECT_FALSE(other.isVisible());
        }
        window.reset();
    }
}

TEST_F(ShellTest, a_passing_activation_writes_date_and_time_and_plays_the_banner)
{
    kezdo& w = open();
    w.SSPanel22->setCaption(QStringLiteral("1234E0101"));

    activate(&w);

    EXPECT_EQ(w.MaskEdBox5->text(), QStringLiteral("2005.08.24."));
    EXPECT_EQ(w.MaskEdBox6->text(), QStringLiteral("09:59:00"));
    EXPECT_EQ(w.SSPanel22->caption(), QString());
    EXPECT_EQ(w.Picture2->framesDrawn(), 37);
    EXPECT_TRUE(w.Picture1->isVisible());
    EXPECT_FALSE(programEndRequested());
}

TEST_F(ShellTest, a_second_instance_is_refused_whichever_button_is_pressed)
{
    for (MsgResult answer : {MsgResult::Yes, MsgResult::No}) {
        SCOPED_TRACE(int(answer));
        boxes->clear();
        resetProgramEnd();
        platform::ActivationTracker::instance().reset();
        kezdo& w = open();
        w.anotherInstanceRunning = [] { return true; };
        boxes->answer(answer);

        activate(&w);

        const platform::MsgBoxRequest& box = boxes.single();
        EXPECT_EQ(box.text, QStringLiteral("A program már fut egy példányban!"));
        EXPECT_EQ(box.title, QStringLiteral("Figyelmeztetés"));
        EXPECT_EQ(box.icon, MsgIcon::Critical);
        EXPECT_EQ(box.buttons, MsgButtons::YesNo);
        EXPECT_TRUE(programEndRequested());
        EXPECT_FALSE(w.isVisible());
        // It ends at once: no banner, no format check.
        EXPECT_EQ(w.Picture2->framesDrawn(), 0);
        EXPECT_EQ(w.MaskEdBox5->text(), w.MaskEdBox5->blankText());
        window.reset();
    }
}

TEST_F(ShellTest, activation_replays_when_a_secondary_window_closes_but_not_after_a_box)
{
    kezdo& w = open();
    activate(&w);
    ASSERT_EQ(w.activationCount(), 1);

    // A message box comes and goes: not a return to the window.
    {
        QMessageBox box;
        activate(&box);
        activate(&w);
    }
    EXPECT_EQ(w.activationCount(), 1);

    // A secondary window was active; closing it brings the main window back.
    w.SSPanel22->setCaption(QStringLiteral("1234E0101"));
    {
        QWidget secondary;
        secondary.show();
        activate(&secondary);
        secondary.close();
    }
    activate(&w);
    EXPECT_EQ(w.activationCount(), 2);
    EXPECT_EQ(w.SSPanel22->caption(), QString());
    EXPECT_EQ(w.Picture2->framesDrawn(), 2 * 37);

    // Formats changed meanwhile: the next return checks them again.
    regional.reset();
    regional.emplace(QStringLiteral("%m/%d/%y"), QStringLiteral("%H:%M:%S"),
                     QDateTime(QDate(2005, 8, 24), QTime(12, 0, 0)));
    {
        QWidget secondary;
        secondary.show();
        activate(&secondary);
    }
    activate(&w);
    EXPECT_EQ(boxes.single().text, kFormatMessage);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(ShellTest, a_missing_database_file_is_reported_and_not_created)
{
    open();
    window.reset();
    const ProgramInfo& info = ProgramInfo::sebrix();
    const QString missing = QDir(folder()).filePath(info.convertedFile);
    ASSERT_TRUE(QFile::remove(missing));

    EXPECT_FALSE(checkDatabaseFiles(info, folder()));

    const platform::MsgBoxRequest& box = boxes.single();
    EXPECT_TRUE(box.text.contains(info.convertedFile)) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(QDir::toNativeSeparators(QDir(folder()).absolutePath())));
    EXPECT_EQ(box.title, QStringLiteral("Hiba"));
    EXPECT_EQ(box.icon, MsgIcon::Critical);
    EXPECT_FALSE(QFile::exists(missing));

    // A folder that does not exist is not made either.
    boxes->clear();
    const QString nowhere = QDir(folder()).filePath(QStringLiteral("nowhere"));
    EXPECT_FALSE(checkDatabaseFiles(info, nowhere));
    EXPECT_FALSE(QDir(nowhere).exists());
}

// ---- menus and toolbar ----

namespace {

struct MenuEntry {
    QString name;
    QString caption;
    int level;
    bool operator==(const MenuEntry& o) const = default;
};

void walk(const QList<QAction*>& actions, int level, QList<MenuEntry>& out)
{
    for (QAction* a : actions) {
        out.append({a->objectName(), a->isSeparator() ? QStringLiteral("-") : a->text(), level});
        if (a->menu())
            walk(a->menu()->actions(), level + 1, out);
    }
}

QList<MenuEntry> expectedMenus(const QString& importCaption)
{
    return {
        {"ad", "A&datok", 0},
        {"fel", "Adatfelvitel", 1},
        {"lev", "Leválogatás", 1},
        {"kesz", importCaption, 2},
        {"feldolg", "2. Feldolgozás", 2},
        {"megtekint", "Felvett adatok áttekintése", 1},
        {"tete", "Tételesen", 2},
        {"mind", "Minden", 2},
        {"konatt", "Konvertált adatok áttekintése", 1},
        {"s1", "-", 1},
        {"okodkarb", "Osztálykódok karbantartása", 1},
        {"alapad", "Intézet kód beállítás", 1},
        {"s2", "-", 1},
        {"kil", "Kilépés", 1},
        {"list", "&Listák készítése", 0},
        {"elso", "Hibalista", 1},
        {"mas", "Ráfordítási hibalista", 1},
        {"har", "Magas költségű vagy mennyiségű ráfordítási adatok tételes listája", 1},
        {"talviron", "Adatleválogatás a TALVIRON számára", 0},
        {"nevj", "Névjegy", 0},
    };
}

} // namespace

void PrintTo(const MenuEntry& e, std::ostream* os)
{
    *os << e.name.toStdString() << " \"" << e.caption.toStdString() << "\" " << e.level;
}

TEST_F(ShellTest, menu_tree_has_the_names_and_captions_of_each_program)
{
    for (const ProgramInfo* info : {&ProgramInfo::sebrix(), &ProgramInfo::zorivozure()}) {
        SCOPED_TRACE(info->name.toStdString());
        kezdo& w = open(*info);
        QList<MenuEntry> tree;
        walk(w.menuBar()->actions(), 0, tree);
        EXPECT_EQ(tree, expectedMenus(info->importMenuCaption));
        EXPECT_FALSE(w.har->isEnabled());
        EXPECT_EQ(w.kil->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
        EXPECT_EQ(w.windowTitle(), info->caption);
        window.reset();
    }
}

TEST_F(ShellTest, toolbar_buttons_carry_their_tooltips_and_start_their_menu_items)
{
    kezdo& w = open();
    QStringList tips;
    for (QAction* a : w.toolbarButtons) {
        tips << a->toolTip();
        EXPECT_TRUE(a->text().isEmpty());
    }
    EXPECT_EQ(tips, (QStringList{"Adatok manuális felvitele", "Adatok felvitele a TLVREC.TXT-ből",
                                 "Osztálykódok karbantartása", "Adatleválogatás a TALVIRON - nak", "Névjegy",
                                 "Kilépés"}));

    int fel = 0, kesz = 0, talviron = 0;
    QObject::connect(w.fel, &QAction::triggered, [&] { ++fel; });
    QObject::connect(w.kesz, &QAction::triggered, [&] { ++kesz; });
    QObject::connect(w.talviron, &QAction::triggered, [&] { ++talviron; });
    w.toolbarButtons[0]->trigger();
    w.toolbarButtons[1]->trigger();
    w.toolbarButtons[3]->trigger();
    w.Toolbar1_ButtonClick(7); // no such button: nothing
    EXPECT_EQ(fel, 1);
    EXPECT_EQ(kesz, 1);
    EXPECT_EQ(talviron, 1);
}

TEST_F(ShellTest, entry_modes_lock_menus_and_toolbar_but_not_the_about_box)
{
    kezdo& w = open();
    w.setMenusEnabled(false);
    EXPECT_FALSE(w.adAction->isEnabled());
    EXPECT_FALSE(w.listAction->isEnabled());
    EXPECT_FALSE(w.talviron->isEnabled());
    EXPECT_FALSE(w.Toolbar1->isEnabled());
    EXPECT_TRUE(w.nevj->isEnabled());
    w.setMenusEnabled(true);
    EXPECT_TRUE(w.adAction->isEnabled());
    EXPECT_TRUE(w.Toolbar1->isEnabled());
    EXPECT_FALSE(w.har->isEnabled());
}

// ---- leaving ----

TEST_F(ShellTest, leaving_by_the_toolbar_asks_and_only_yes_closes_every_window)
{
    kezdo& w = open();
    QWidget other;
    other.show();

    boxes->answer(MsgResult::No);
    w.toolbarButtons[5]->trigger();
    const platform::MsgBoxRequest& box = boxes.single();
    EXPECT_EQ(box.text, QStringLiteral("Biztos ki akar lépni?"));
    EXPECT_EQ(box.title, QStringLiteral("Kérdés"));
    EXPECT_EQ(box.icon, MsgIcon::Question);
    EXPECT_EQ(box.buttons, MsgButtons::YesNo);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(other.isVisible());
    EXPECT_FALSE(programEndRequested());

    boxes->answer(MsgResult::Yes);
    w.toolbarButtons[5]->trigger();
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(other.isVisible());
    EXPECT_TRUE(w.closedByUser());
    EXPECT_TRUE(programEndRequested());
}

TEST_F(ShellTest, leaving_by_the_menu_says_goodbye_and_ends_without_unloading)
{
    kezdo& w = open();
    w.kil->trigger();
    const platform::MsgBoxRequest& box = boxes.single();
    EXPECT_EQ(box.text, QStringLiteral("Bye,Bye"));
    EXPECT_EQ(box.title, QStringLiteral("Sebrix"));
    EXPECT_EQ(box.icon, MsgIcon::None);
    EXPECT_EQ(box.buttons, MsgButtons::Ok);
    EXPECT_TRUE(programEndRequested());
    EXPECT_FALSE(w.closedByUser());
}

TEST_F(ShellTest, the_close_box_asks_nothing_and_a_closed_window_never_comes_back)
{
    kezdo& w = open();
    QWidget secondary;
    secondary.show();

    EXPECT_TRUE(w.close());
    EXPECT_TRUE(boxes.shown().isEmpty());
    EXPECT_TRUE(w.closedByUser());

    // The secondary window gives control back after the main window closed.
    secondary.close();
    w.comeBack();
    EXPECT_FALSE(w.isVisible());
}

TEST_F(ShellTest, coming_back_shows_and_enables_the_main_window)
{
    kezdo& w = open();
    w.setEnabled(false);
    w.hide();
    w.comeBack();
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.isEnabled());
}

// ---- certificate ----

TEST_F(ShellTest, certificate_of_an_unstored_episode_is_refused)
{
    kezdo& w = open();
    int printed = 0;
    w.printCertificate = [&] { ++printed; };

    w.SSCheck1->setChecked(false);
    w.certificateButton()->click();
    const platform::MsgBoxRequest& box = boxes.single();
    EXPECT_EQ(box.text, QStringLiteral("Még nem került az adatlap felvételre!Nem lehet nyomtatni!"));
    EXPECT_EQ(box.title, QStringLiteral("Figyelmezetetés"));
    EXPECT_EQ(box.icon, MsgIcon::Critical);
    EXPECT_EQ(printed, 0);

    // The mark alone is not enough: the identifier on show must be stored.
    boxes->clear();
    w.Label1->setText("1");
    w.SSCheck1->setChecked(true);
    w.certificateButton()->click();
    EXPECT_EQ(boxes.texts(), QStringList{"Még nem került az adatlap felvételre!Nem lehet nyomtatni!"});
    EXPECT_EQ(printed, 0);

    boxes->clear();
    w.enteredData()->exec("insert into alap (Azonosito, T_szam) values (1, '111')");
    w.certificateButton()->click();
    EXPECT_TRUE(boxes.shown().isEmpty());
    EXPECT_EQ(printed, 1);
}

// ---- data store ----

namespace {

struct ConnectionCase {
    const char* name;
    QString file;   // empty: no database
    QString source;
};

} // namespace

TEST_F(ShellTest, data_connections_open_their_files_and_tables_in_the_working_folder)
{
    const ProgramInfo& s = ProgramInfo::sebrix();
    const ProgramInfo& z = ProgramInfo::zorivozure();
    const QList<std::pair<const ProgramInfo*, QList<ConnectionCase>>> programs = {
        {&s,
         {{"Data1", s.convertedFile, "konv"},
          {"Data2", s.enteredDataFile, "Osztálykódok"},
          {"Data3", s.enteredDataFile, "alap"},
          {"Data4", s.enteredDataFile, "Utolso azonosito"},
          {"Data5", s.codeTableFile, "GYOGYSZM"},
          {"Data6", s.enteredDataFile, "műtétek"},
          {"Data7", s.codeTableFile, "SGYOGY"},
          {"Data8", s.enteredDataFile, "Ráfkódok"},
          {"Data9", s.enteredDataFile, "intadatok"},
          {"Data10", s.convertedFile, "konv"},
          {"Data11", s.codeTableFile, "DIAGNOS"},
          {"Data12", s.codeTableFile, "MUTET_AP"}}},
        {&z,
         {{"Data1", z.convertedFile, "konv"},
          {"Data2", z.enteredDataFile, "Osztálykódok"},
          {"Data3", z.enteredDataFile, "alap"},
          {"Data4", z.enteredDataFile, "Utolso azonosito"},
          {"Data5", z.codeTableFile, "EGYEB"},
          {"Data6", z.codeTableFile, "ELELEM"},
          {"Data7", z.codeTableFile, "SGYOGY"},
          {"Data8", z.enteredDataFile, "Ráfkódok"},
          {"Data9", z.enteredDataFile, "intadatok"},
          {"Data10", z.convertedFile, "konv"},
          {"Data12", QString(), QString()}}},
    };
    for (const auto& [info, cases] : programs) {
        SCOPED_TRACE(info->name.toStdString());
        kezdo& w = open(*info);
        for (const ConnectionCase& c : cases) {
            SCOPED_TRACE(c.name);
            auto* d = w.findChild<platform::db::DataConnection*>(QString::fromLatin1(c.name));
            ASSERT_NE(d, nullptr);
            EXPECT_EQ(d->recordSource(), c.source);
            if (c.file.isEmpty()) {
                EXPECT_EQ(d->database(), nullptr);
            } else {
                ASSERT_NE(d->database(), nullptr);
                EXPECT_EQ(QFileInfo(d->database()->path()).canonicalFilePath(),
                          QFileInfo(QDir(folder()).filePath(c.file)).canonicalFilePath());
            }
        }
        EXPECT_EQ(w.Data11 == nullptr, info->isWard());
        window.reset();
    }
}

TEST_F(ShellTest, items_grid_shows_its_columns_under_their_captions)
{
    kezdo& w = open();
    QStringList captions;
    const int columns = w.DBGrid1->model()->columnCount();
    for (int c = 0; c < columns; ++c)
        captions << w.DBGrid1->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(captions, (QStringList{"Azonosito", "Ráfordításkód", "Ráford.megnevezés", "Mennyiség", "Menny.egység",
                                     "Pont", "Egységár", "Érték", "Tipus"}));
    EXPECT_EQ(w.DBGrid1->recordsetModel().fieldOf(2), QStringLiteral("Rmegnevezés"));
}

TEST_F(ShellTest, the_window_opens_with_its_frames_hidden_and_its_placeholders)
{
    kezdo& w = open();
    for (QWidget* f : std::initializer_list<QWidget*>{w.SSFrame1, w.SSFrame2, w.SSFrame3, w.SSFrame4, w.SSFrame5,
                                                     w.SSFrame6, w.SSFrame7, w.SSFrame8, w.DBGrid5})
        EXPECT_TRUE(f->isHidden()) << f->objectName().toStdString();
    EXPECT_EQ(w.SSPanel22->caption(), QStringLiteral("SSPanel22"));
    EXPECT_EQ(w.Label19->text(), QStringLiteral("0"));
    EXPECT_TRUE(w.slotCode(0)->isEnabled());
    for (int k = 1; k < 10; ++k)
        EXPECT_FALSE(w.slotCode(k)->isEnabled() || w.slotDuration(k)->isEnabled()) << k;
    EXPECT_EQ(w.slotCode(9), w.Text26);
    EXPECT_EQ(w.slotDuration(2), w.MaskEdBox14);
}

TEST_F(ShellTest, each_program_starts_with_its_caption_files_and_item_tabs)
{
    struct Case {
        const ProgramInfo* info;
        QStringList tabs;
        const char* certificate;
    };
    const QList<Case> cases = {
        {&ProgramInfo::sebrix(), {"Gyógyszer", "Műtéti eh. anyageszköz", "Diagnosztika"}, "SSCommand33"},
        {&ProgramInfo::zorivozure(), {"Gyógyszer", "Élelmezés", "Egyéb(röntg., labor)", "Diagnosztika"}, "SSCommand31"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.info->name.toStdString());
        kezdo& w = open(*c.info);
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(w.windowTitle(), c.info->caption);
        EXPECT_EQ(QFileInfo(w.enteredData()->path()).fileName(), c.info->enteredDataFile);
        EXPECT_EQ(QFileInfo(w.codeTables()->path()).fileName(), c.info->codeTableFile);
        EXPECT_EQ(QFileInfo(w.convertedData()->path()).fileName(), c.info->convertedFile);
        QStringList tabs;
        for (int t = 0; t < w.SSTab1->count(); ++t)
            tabs << w.SSTab1->tabText(t);
        EXPECT_EQ(tabs, c.tabs);
        EXPECT_EQ(w.certificateButton()->objectName(), c.certificate);
        // The surgery slots belong to the surgical form alone; the ward form
        // gives the name Text8 to its other-services code box.
        EXPECT_EQ(w.slotCode(8) != nullptr, !c.info->isWard());
        EXPECT_EQ(w.findChildren<QLineEdit*>(QStringLiteral("Text8")).size(), 1);
        if (c.info->isWard()) {
            EXPECT_EQ(w.Text8->parentWidget()->objectName(), "tabEgyeb");
            EXPECT_EQ(w.SSPanel29->text(),
                      "Diagnosztikai kódok csak a műtétekhez (Műtétes ráfordítás programban) vehetők fel!");
            // Every activation puts the drug quantity back to 1.
            w.MaskEdBox7->setText("3");
            w.Form_Activate();
            EXPECT_EQ(w.MaskEdBox7->text(), "1");
        }
        window.reset();
    }
}

// A frame's caption stands on its own: the banner is down while any frame
// is up, an activation meanwhile included, and back when the last goes.
TEST_F(ShellTest, the_banner_is_down_while_a_frame_is_up)
{
    for (const ProgramInfo* info : {&ProgramInfo::sebrix(), &ProgramInfo::zorivozure()}) {
        SCOPED_TRACE(info->name.toStdString());
        platform::ActivationTracker::instance().reset();
        kezdo& w = open(*info);
        activate(&w);
        ASSERT_TRUE(w.Picture1->isVisible());
        auto bannerShows = [&] { return w.Picture1->isVisible() || w.Picture2->isVisible(); };

        struct Opening {
            const char* name;
            QAction* action;
            QWidget* frame;
            QWidget* close;
        };
        const Opening openings[] = {
            {"control list", w.elso, w.SSFrame5, w.SSCommand18},
            {"export", w.talviron, w.SSFrame5, w.SSCommand18},
            {"institution", w.alapad, w.SSFrame2, w.SSCommand7},
        };
        for (const Opening& o : openings) {
            SCOPED_TRACE(o.name);
            o.action->trigger();
            QApplication::processEvents();
            ASSERT_TRUE(o.frame->isVisible());
            EXPECT_FALSE(bannerShows());
            // Coming back to the window replays the banner out of sight.
            {
                QWidget secondary;
                secondary.show();
                activate(&secondary);
            }
            activate(&w);
            EXPECT_FALSE(bannerShows());
            static_cast<QAbstractButton*>(o.close)->click();
            QApplication::processEvents();
            EXPECT_FALSE(o.frame->isVisible());
            EXPECT_TRUE(w.Picture1->isVisible());
        }
        // The entry frame hides it too, and "Vissza" brings it back.
        w.tete->trigger();
        ASSERT_TRUE(w.SSFrame1->isVisible());
        EXPECT_FALSE(bannerShows());
        w.SSCommand2->click();
        EXPECT_TRUE(w.Picture1->isVisible());
        window.reset();
    }
}
