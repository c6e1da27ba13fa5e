// The start of the main window: it opens with its menus, toolbar and banner
// only, builds its hidden frames the first time anything reaches them
// (whichever menu item, toolbar button or control that is) and works on the
// database files that the start-up check opened.
#include "tests/app/shell/shellfixture.h"

#include "app/common/datafolder.h"
#include "app/common/module1.h"
#include "platform/db/dataconnection.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbgrid.h"
#include "platform/ui/maskedbox.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>

#include <functional>

namespace {

const ProgramInfo* const kPrograms[] = {&ProgramInfo::sebrix(), &ProgramInfo::zorivozure()};

void addInstitution(const ProgramInfo& info, const QString& folder)
{
    auto db = platform::db::Database::open(QDir(folder).filePath(info.enteredDataFile));
    db->exec(QStringLiteral("insert into intadatok (int_kod, Int_neve) values ('1234', 'Próba Kórház')"));
}

} // namespace

TEST_F(ShellTest, the_window_opens_and_activates_without_its_hidden_frames)
{
    for (const ProgramInfo* info : kPrograms) {
        SCOPED_TRACE(info->name.toStdString());
        kezdo& w = open(*info);
        activate(&w);

        EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join('|').toStdString();
        EXPECT_FALSE(w.framesBuilt());
        EXPECT_EQ(w.findChild<QWidget*>(QStringLiteral("SSFrame1")), nullptr);
        EXPECT_EQ(w.findChild<QWidget*>(QStringLiteral("DBGrid5")), nullptr);
        // What the first screen shows is there: the banner and the menus.
        EXPECT_FALSE(w.Picture1->pixmap().isNull());
        EXPECT_TRUE(w.Picture1->isVisible());

        // Reaching one control builds every frame, as the window would have
        // been after the activation: no stale identifier, the ward form's
        // drug quantity at 1.
        EXPECT_TRUE(w.Text3->text().isEmpty());
        EXPECT_TRUE(w.framesBuilt());
        for (QWidget* f : std::initializer_list<QWidget*>{w.SSFrame1, w.SSFrame2, w.SSFrame3, w.SSFrame4,
                                                         w.SSFrame5, w.SSFrame6, w.SSFrame7, w.DBGrid5}) {
            ASSERT_NE(f, nullptr);
            EXPECT_EQ(f->parentWidget(), w.centralWidget());
            EXPECT_TRUE(f->isHidden()) << f->objectName().toStdString();
        }
        EXPECT_EQ(w.SSFrame8 == nullptr, info->isWard());
        EXPECT_EQ(w.SSPanel22->caption(), QString());
        if (info->isWard())
            EXPECT_EQ(w.MaskEdBox7->text(), QStringLiteral("1"));
        else
            EXPECT_EQ(w.Text25->maxLength(), 1);
        window.reset();
    }
}

TEST_F(ShellTest, every_way_into_a_mode_of_a_fresh_window_builds_and_shows_its_frame)
{
    struct Case {
        const char* what;
        std::function<void(kezdo&)> start;
        std::function<QWidget*(kezdo&)> frame;
        QString caption; // the entry frame's, where it is the one shown
    };
    const QList<Case> cases = {
        {"menu Adatfelvitel", [](kezdo& w) { w.fel->trigger(); }, [](kezdo& w) { return w.SSFrame1.get(); },
         QStringLiteral("Adatfelvitel")},
        {"toolbar button 1", [](kezdo& w) { w.toolbarButtons[0]->trigger(); },
         [](kezdo& w) { return w.SSFrame1.get(); }, QStringLiteral("Adatfelvitel")},
        {"menu 1. Importálás", [](kezdo& w) { w.kesz->trigger(); }, [](kezdo& w) { return w.SSFrame3.get(); }, {}},
        {"toolbar button 2", [](kezdo& w) { w.toolbarButtons[1]->trigger(); },
         [](kezdo& w) { return w.SSFrame3.get(); }, {}},
        {"menu Intézet kód beállítás", [](kezdo& w) { w.alapad->trigger(); },
         [](kezdo& w) { return w.SSFrame2.get(); }, {}},
        {"menu Hibalista", [](kezdo& w) { w.elso->trigger(); }, [](kezdo& w) { return w.SSFrame5.get(); }, {}},
        {"menu Ráfordítási hibalista", [](kezdo& w) { w.mas->trigger(); },
         [](kezdo& w) { return w.SSFrame5.get(); }, {}},
        {"menu export", [](kezdo& w) { w.talviron->trigger(); }, [](kezdo& w) { return w.SSFrame5.get(); }, {}},
        {"toolbar button 4", [](kezdo& w) { w.toolbarButtons[3]->trigger(); },
         [](kezdo& w) { return w.SSFrame5.get(); }, {}},
    };
    for (const ProgramInfo* info : kPrograms) {
        for (const Case& c : cases) {
            SCOPED_TRACE(info->name.toStdString() + ": " + c.what);
            boxes->clear();
            kezdo& w = open(*info);
            addInstitution(*info, folder());
            activate(&w);
            ASSERT_FALSE(w.framesBuilt());

            c.start(w);

            EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join('|').toStdString();
            QWidget* frame = c.frame(w);
            ASSERT_NE(frame, nullptr);
            EXPECT_TRUE(frame->isVisible());
            if (!c.caption.isEmpty()) {
                EXPECT_EQ(w.SSFrame1->caption(), c.caption);
                // The frame's own controls came up with it.
                EXPECT_TRUE(w.Text3->isVisible());
                EXPECT_TRUE(w.SSCommand1->isVisible());
                EXPECT_TRUE(w.SSTab1->isVisible());
            }
            window.reset();
        }
    }
}

TEST_F(ShellTest, the_window_works_on_the_files_the_start_up_check_opened)
{
    for (const ProgramInfo* info : kPrograms) {
        SCOPED_TRACE(info->name.toStdString());
        QString error;
        ASSERT_TRUE(makeDataFolder(folder(), *info, &error)) << error.toStdString();
        std::vector<std::shared_ptr<platform::db::Database>> files;
        ASSERT_TRUE(checkDatabaseFiles(*info, folder(), &files));
        ASSERT_EQ(files.size(), 3u);
        kezdo& w = open(*info);
        EXPECT_EQ(w.enteredData(), files[0]);
        EXPECT_EQ(w.codeTables(), files[1]);
        EXPECT_EQ(w.convertedData(), files[2]);
        window.reset();
    }
}
