// Controls of the main window as a clerk meets them with the mouse and with
// large data: the list grid put away by a double-click, the walk line's
// position and count, the masked boxes of the entry frame.
#include "tests/app/shell/shellfixture.h"

#include "platform/db/dataconnection.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbgrid.h"
#include "platform/ui/events.h"
#include "platform/ui/maskedbox.h"
#include "tests/support/qtprinters.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using platform::MsgResult;

namespace {

const ProgramInfo* const kPrograms[] = {&ProgramInfo::sebrix(), &ProgramInfo::zorivozure()};

// The error list of March 2005, not printed but viewed: the grid of the
// month's hand-entered episodes comes up over the entry frame.
void viewHandEnteredEpisodes(kezdo& w, testsupport::ScriptedBoxes& boxes)
{
    boxes->clear();
    boxes->answer(MsgResult::No);  // "Nyomtatás indulhat?"
    boxes->answer(MsgResult::Yes); // "Meg akarja tekinteni?"
    w.mas_Click();
    w.Text16->setText("2005");
    w.Combo1->setCurrentIndex(w.Combo1->findText("03"));
    w.SSCommand17->click();
}

} // namespace

TEST_F(ShellTest, the_list_grid_goes_away_on_a_double_click_anywhere_in_it)
{
    for (const ProgramInfo* info : kPrograms) {
        SCOPED_TRACE(info->name.toStdString());
        kezdo& w = open(*info);
        auto db = platform::db::Database::open(QDir(folder()).filePath(info->enteredDataFile));
        db->exec("insert into intadatok (int_kod, Int_neve) values ('1234', 'Városi Kórház')");
        db->exec("insert into alap (Azonosito, Int_kod, T_szam, Fdat, Manuális) "
                 "values (1, '1234', '111111111', '2005.03.01.', 1)");

        QHeaderView* rowHeaders = w.DBGrid5->verticalHeader();
        const struct {
            const char* where;
            QWidget* target;
            QPoint point;
        } cases[] = {
            {"empty part", w.DBGrid5->viewport(), w.DBGrid5->viewport()->rect().center()},
            {"row header", rowHeaders->viewport(), QPoint(rowHeaders->width() / 2, rowHeaders->sectionSize(0) / 2)},
            {"row", w.DBGrid5->viewport(), QPoint(20, rowHeaders->sectionSize(0) / 2)},
        };
        for (const auto& c : cases) {
            viewHandEnteredEpisodes(w, boxes);
            ASSERT_TRUE(w.DBGrid5->isVisible()) << c.where;
            ASSERT_EQ(w.DBGrid5->model()->rowCount(), 1);
            QTest::mouseDClick(c.target, Qt::LeftButton, {}, c.point);
            EXPECT_FALSE(w.DBGrid5->isVisible()) << c.where;
        }
        window.reset();
    }
}

TEST_F(ShellTest, walk_position_and_count_show_seven_digits_clear_of_their_neighbours)
{
    for (const ProgramInfo* info : kPrograms) {
        SCOPED_TRACE(info->name.toStdString());
        kezdo& w = open(*info);
        // The count reads " / n" while converted records are processed.
        w.Label7->setText("9999999");
        w.Label8->setText(" / 9999999");
        for (QLabel* count : {w.Label7, w.Label8})
            EXPECT_LE(count->sizeHint().width(), count->width()) << count->objectName().toStdString();

        const QList<QWidget*> line = {w.SSCheck4,  w.SSCheck6, w.SSCommand15, w.SSCommand16, w.Label7,
                                      w.Label8,    w.SSCommand8, w.SSCommand9, w.Text12,      w.SSCommand10,
                                      w.SSCommand25};
        for (int i = 0; i < line.size(); ++i) {
            EXPECT_TRUE(w.SSFrame1->contentsRect().contains(line[i]->geometry()))
                << line[i]->objectName().toStdString();
            for (int j = i + 1; j < line.size(); ++j)
                EXPECT_FALSE(line[i]->geometry().intersects(line[j]->geometry()))
                    << line[i]->objectName().toStdString() << " / " << line[j]->objectName().toStdString();
        }
        window.reset();
    }
}

TEST_F(ShellTest, a_click_in_the_empty_part_of_an_entry_box_takes_the_digits_typed_next)
{
    for (const ProgramInfo* info : kPrograms) {
        SCOPED_TRACE(info->name.toStdString());
        kezdo& w = open(*info);
        auto db = platform::db::Database::open(QDir(folder()).filePath(info->enteredDataFile));
        db->exec("insert into intadatok (int_kod, Int_neve) values ('1234', 'Városi Kórház')");
        QApplication::setActiveWindow(&w);
        w.fel->trigger();
        ASSERT_TRUE(w.SSFrame1->isVisible());

        struct Case { platform::MaskEdBox* box; QString typed, reads; };
        QList<Case> cases = {{w.MaskEdBox3, "20050824", "2005.08.24."}, {w.MaskEdBox4, "1130", "11:30"}};
        if (!w.ward)
            cases.append({w.MaskEdBox7, "0130", "01:30"});
        for (const Case& c : cases) {
            const std::string name = c.box->objectName().toStdString();
            ASSERT_TRUE(c.box->isEnabled()) << name;
            c.box->setText("");
            boxes->clear();
            QTest::mouseClick(c.box, Qt::LeftButton, {}, c.box->rect().center());
            QTest::keyClicks(c.box, c.typed);
            EXPECT_EQ(c.box->text(), c.reads) << name;
            // Leaving the box finds a complete value.
            QTest::mouseClick(w.Text3, Qt::LeftButton);
            platform::Events::flush();
            for (const QString& text : boxes.texts())
                EXPECT_FALSE(text.startsWith("Hibás dátumformátum!")) << name << ": " << text.toStdString();
        }
        window.reset();
    }
}
