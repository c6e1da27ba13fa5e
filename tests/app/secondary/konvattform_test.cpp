// The converted-record viewer: its choices and counts, the state of the
// current record, deleting a whole choice, and the hidden main window.
#include "tests/app/secondary/secondaryfixture.h"

#include "app/windows/konvattform.h"
#include "platform/db/dataconnection.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbgrid.h"
#include "tests/support/otherprogram.h"
#include "tests/support/statementlog.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QStyledItemDelegate>
#include <QToolButton>

#include <optional>
#include <utility>
#include <vector>

namespace {

enum class State { None, Processed, Unprocessed };

State shownState(const konvattform& f)
{
    EXPECT_FALSE(f.zoldpic->isVisible() && f.pirospic->isVisible()) << "both boxes shown";
    if (f.zoldpic->isVisible())
        return State::Processed;
    if (f.pirospic->isVisible())
        return State::Unprocessed;
    return State::None;
}

// The data-error box's words when another program holds the converted file.
QString heldFileRefusal(const QString& file)
{
    return QStringLiteral("A művelet nem sikerült, semmi nem változott!\nA(z) %1 adatbázisfájlt egy másik program "
                          "használja, a művelet nem hajtható végre. Próbálja meg újra később!")
        .arg(file);
}

} // namespace

class ViewerTest : public SecondaryTest {
protected:
    // Converted records in this order: processed flags as given.
    void addRecords(const std::vector<bool>& processed)
    {
        int n = 0;
        for (bool p : processed)
            converted()->exec(QStringLiteral("insert into konv (Munkahely_azon, Torzsszam, Feldolgozva) values (?, ?, ?)"),
                              {QStringLiteral("1234E0101"), QStringLiteral("10000000%1").arg(++n), p});
    }

    konvattform& openViewer(const ProgramInfo& info, std::initializer_list<bool> processed)
    {
        kezdo& w = open(info);
        addRecords(processed);
        w.konatt->trigger();
        EXPECT_TRUE(w.konvattWindow);
        activate(w.konvattWindow);
        return *w.konvattWindow;
    }

    int konvRows(const char* where = "1")
    {
        return converted()->scalar(QStringLiteral("select count(*) from konv where %1").arg(QLatin1String(where))).toInt();
    }
};

TEST_F(ViewerTest, choices_count_their_records_and_the_indicator_follows_the_current_record)
{
    konvattform& f = openViewer(ProgramInfo::sebrix(), {true, false, false, true, false});
    EXPECT_FALSE(window->isVisible()) << "the main window is hidden meanwhile";
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Konvertált adatok áttekintése"));
    EXPECT_EQ(f.SSPanel1->caption(), QStringLiteral("5"));
    EXPECT_EQ(f.DBGrid1->recordsetModel().columnCount(), 33);
    EXPECT_EQ(f.DBGrid1->recordsetModel().headerData(32, Qt::Horizontal).toString(), QStringLiteral("Feldolgozva"));
    EXPECT_EQ(f.Data1->recordset().absolutePosition(), 0);
    EXPECT_EQ(shownState(f), State::Processed);

    // Walking with the navigation bar, record by record.
    QList<State> walked;
    for (int i = 0; i < 5; ++i) {
        f.Data1Next->click();
        walked << shownState(f);
    }
    EXPECT_EQ(walked, (QList<State>{State::Unprocessed, State::Unprocessed, State::Processed, State::Unprocessed,
                                    State::Unprocessed}))
        << "the last click stays on the last record";
    f.Data1First->click();
    EXPECT_EQ(shownState(f), State::Processed);

    struct Choice {
        QAction* action;
        QString source;
        QString count;
        State first;
    };
    const Choice choices[] = {
        {f.tlan, konvattform::unprocessedSource(), "3", State::Unprocessed},
        {f.feld, konvattform::processedSource(), "2", State::Processed},
        {f.mind, konvattform::allSource(), "5", State::Processed},
    };
    for (const Choice& c : choices) {
        SCOPED_TRACE(c.source.toStdString());
        c.action->trigger();
        EXPECT_EQ(f.Data1->recordSource(), c.source);
        EXPECT_EQ(f.SSPanel1->caption(), c.count);
        EXPECT_EQ(shownState(f), c.first);
        EXPECT_EQ(f.DBGrid1->recordsetModel().rowCount(), c.count.toInt());
    }
}

// The first opening in a fresh window counts every converted record once,
// over an index rather than the table's rows, and shows that count; each
// choice counts its records by the index on the processed flag.
TEST_F(ViewerTest, the_first_opening_and_the_choices_count_over_an_index)
{
    for (const ProgramInfo* info : {&ProgramInfo::sebrix(), &ProgramInfo::zorivozure()}) {
        SCOPED_TRACE(info->name.toStdString());
        window.reset();
        kezdo& w = open(*info);
        addRecords({true, false, false, true, false, true, true});
        std::optional<testsupport::StatementLog> log;
        log.emplace(converted()->handle());
        w.konatt->trigger();
        ASSERT_TRUE(w.konvattWindow);
        konvattform& f = *w.konvattWindow;
        activate(&f);
        EXPECT_EQ(f.SSPanel1->caption().toStdString(), "7");
        EXPECT_EQ(f.DBGrid1->recordsetModel().rowCount(), 7);
        const QStringList opening = log->countingPlans(QStringLiteral("konv"));
        ASSERT_EQ(opening.size(), 1) << opening.join(u'\n').toStdString();
        EXPECT_TRUE(opening.first().contains(QLatin1String("-> SCAN konv USING COVERING INDEX ")))
            << opening.first().toStdString();

        const std::pair<QAction*, const char*> choices[] = {{f.tlan, "3"}, {f.feld, "4"}};
        for (const auto& [action, count] : choices) {
            log.emplace(converted()->handle());
            action->trigger();
            EXPECT_EQ(f.SSPanel1->caption().toStdString(), count);
            for (const QString& plan : log->countingPlans(QStringLiteral("konv")))
                EXPECT_TRUE(plan.contains(QLatin1String("-> SEARCH konv USING COVERING INDEX "))) << plan.toStdString();
        }
        log.reset();
        f.close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(ViewerTest, the_grid_writes_the_processed_flag_in_hungarian)
{
    konvattform& f = openViewer(ProgramInfo::sebrix(), {true, false});
    const auto& m = f.DBGrid1->recordsetModel();
    const int column = 32;
    ASSERT_EQ(m.fieldOf(column), QStringLiteral("Feldolgozva"));
    // The text as the grid paints it, under the view's locale.
    auto* delegate = qobject_cast<QStyledItemDelegate*>(f.DBGrid1->itemDelegate());
    ASSERT_NE(delegate, nullptr);
    QStringList shown;
    for (int r = 0; r < m.rowCount(); ++r)
        shown << delegate->displayText(m.data(m.index(r, column)), f.DBGrid1->locale());
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Igaz"), QStringLiteral("Hamis")}));
}

TEST_F(ViewerTest, an_empty_choice_counts_zero_and_shows_no_state)
{
    konvattform& f = openViewer(ProgramInfo::sebrix(), {false, false});
    f.feld->trigger();
    EXPECT_EQ(f.SSPanel1->caption(), QStringLiteral("0"));
    EXPECT_EQ(shownState(f), State::None);
}

TEST_F(ViewerTest, deleting_a_choice_leaves_the_other_records)
{
    konvattform& f = openViewer(ProgramInfo::sebrix(), {true, false, false, true, false});
    f.tlan->trigger();
    f.AllDelGomb->click();
    EXPECT_EQ(konvRows(), 2);
    EXPECT_EQ(konvRows("Feldolgozva"), 2);
    EXPECT_EQ(f.SSPanel1->caption(), QStringLiteral("0"));
    EXPECT_EQ(shownState(f), State::None);
    EXPECT_FALSE(f.SSCheck1->isChecked());

    f.mind->trigger();
    EXPECT_EQ(f.SSPanel1->caption(), QStringLiteral("2"));
    EXPECT_EQ(f.DBGrid1->recordsetModel().rowCount(), 2);
    EXPECT_EQ(shownState(f), State::Processed);

    // With nothing chosen it deletes nothing.
    f.feld->trigger();
    f.tlan->trigger();
    f.AllDelGomb->click();
    EXPECT_EQ(konvRows(), 2);
}

// Another program holds the converted file, or reads it so that the deletion
// cannot be committed: the refusal is told in Hungarian, every record stays,
// and the viewer shows what it showed before the click (the same rows in its
// grid, the count, the current record and its state); a choice shows its
// rows, and once the file is free the same click deletes them.
TEST_F(ViewerTest, a_refused_deletion_leaves_the_records_and_the_window_as_they_were)
{
    std::vector<testsupport::Hold> holds = testsupport::holdsOn(QStringLiteral("konv"));
    // A hold on the whole file keeps even the rows from being read again.
    holds.push_back({"a hold on the whole file",
                     [](testsupport::OtherProgram& other) { other.run(QStringLiteral("begin exclusive")); }});
    struct ShortTimeout {
        const int before = platform::db::Database::busyTimeout();
        ShortTimeout() { platform::db::Database::setBusyTimeout(200); }
        ~ShortTimeout() { platform::db::Database::setBusyTimeout(before); }
    };
    for (const ProgramInfo* info : {&ProgramInfo::sebrix(), &ProgramInfo::zorivozure()}) {
        for (const testsupport::Hold& hold : holds) {
            SCOPED_TRACE(info->name.toStdString() + ", " + hold.name);
            window.reset();
            kezdo& w = open(*info);
            converted()->exec(QStringLiteral("delete from konv"));
            addRecords({true, false, false, true, false});
            w.konatt->trigger();
            ASSERT_TRUE(w.konvattWindow);
            activate(w.konvattWindow);
            konvattform& f = *w.konvattWindow;
            for (int i = 0; i < 3; ++i)
                f.Data1Next->click();
            ASSERT_EQ(f.DBGrid1->row(), 3);
            const auto gridRows = [&f] {
                QStringList rows;
                const auto& model = f.DBGrid1->recordsetModel();
                for (int row = 0; row < model.rowCount(); ++row)
                    rows << model.data(model.index(row, 1)).toString() + u'/' + model.data(model.index(row, 32)).toString();
                return rows;
            };
            const QStringList before = gridRows();
            ASSERT_EQ(before.size(), 5);
            boxes->clear();
            {
                ShortTimeout shortTimeout;
                testsupport::OtherProgram other(converted()->path());
                hold.take(other);
                f.AllDelGomb->click();
                // The window is as it was while the other program still holds the file.
                ASSERT_EQ(boxes.shown().size(), 1) << boxes.texts().join(u'|').toStdString();
                EXPECT_EQ(boxes.shown()[0].text, heldFileRefusal(info->convertedFile));
                EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("Hiba"));
                EXPECT_EQ(f.DBGrid1->dataSource(), f.Data1);
                EXPECT_EQ(gridRows(), before);
                EXPECT_EQ(f.DBGrid1->row(), 3);
                EXPECT_EQ(f.SSPanel1->caption(), QStringLiteral("5"));
                EXPECT_EQ(shownState(f), State::Processed);
                EXPECT_FALSE(f.SSCheck1->isChecked());
                other.release();
            }
            EXPECT_EQ(konvRows(), 5);

            f.tlan->trigger();
            EXPECT_EQ(f.DBGrid1->recordsetModel().rowCount(), 3);
            EXPECT_EQ(f.SSPanel1->caption(), QStringLiteral("3"));
            boxes->clear();
            f.AllDelGomb->click();
            EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join(u'|').toStdString();
            EXPECT_EQ(konvRows(), 2);
        }
    }
}

TEST_F(ViewerTest, the_ward_viewer_keeps_the_count_until_the_next_choice)
{
    konvattform& f = openViewer(ProgramInfo::zorivozure(), {true, false, false});
    EXPECT_EQ(f.SSPanel1->caption(), QStringLiteral("3"));
    f.AllDelGomb->click();
    EXPECT_EQ(konvRows(), 0);
    EXPECT_EQ(f.SSPanel1->caption(), QStringLiteral("3"));
    EXPECT_EQ(shownState(f), State::None);
    f.mind->trigger();
    EXPECT_EQ(f.SSPanel1->caption(), QStringLiteral("0"));
}

TEST_F(ViewerTest, closing_shows_the_main_window_again_and_the_next_opening_shows_every_record)
{
    konvattform& f = openViewer(ProgramInfo::sebrix(), {true, false});
    f.tlan->trigger();
    const int activations = window->activationCount();
    f.close();
    settle();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->activationCount(), activations + 1);
    EXPECT_FALSE(window->konvattWindow);

    window->konatt->trigger();
    ASSERT_TRUE(window->konvattWindow);
    activate(window->konvattWindow);
    EXPECT_EQ(window->konvattWindow->Data1->recordSource(), QStringLiteral("konv"));
    EXPECT_EQ(window->konvattWindow->SSPanel1->caption(), QStringLiteral("2"));
}

// Another program holds the converted file whole as the viewer comes up, or
// while it shows rows it has not read yet: nothing thrown leaves the showing
// or the paint, the clerk is told once however often the grid paints, and
// once the file is free the rows and the count show at the next paint,
// without a new choice.
TEST_F(ViewerTest, a_file_held_whole_while_the_grid_paints_is_told_once_and_the_rows_come_back_when_free)
{
    struct ShortTimeout {
        const int before = platform::db::Database::busyTimeout();
        ShortTimeout() { platform::db::Database::setBusyTimeout(200); }
        ~ShortTimeout() { platform::db::Database::setBusyTimeout(before); }
    } shortTimeout;
    const auto paint = [](konvattform& f) {
        for (int i = 0; i < 3; ++i) {
            f.grab();
            f.DBGrid1->viewport()->repaint();
            settle();
        }
    };
    const auto shownCell = [](konvattform& f, int row) {
        const auto& m = f.DBGrid1->recordsetModel();
        return m.data(m.index(row, 1)).toString();
    };
    enum class HeldFrom { Opening, Scrolling };
    for (const ProgramInfo* info : {&ProgramInfo::sebrix(), &ProgramInfo::zorivozure()}) {
        for (HeldFrom from : {HeldFrom::Opening, HeldFrom::Scrolling}) {
            SCOPED_TRACE(info->name.toStdString() + (from == HeldFrom::Opening ? ", opening" : ", scrolling"));
            window.reset();
            kezdo& w = open(*info);
            converted()->exec(QStringLiteral("delete from konv"));
            addRecords(std::vector<bool>(40, false));
            std::optional<testsupport::OtherProgram> other;
            if (from == HeldFrom::Opening) {
                other.emplace(converted()->path());
                other->run(QStringLiteral("begin exclusive"));
            }
            boxes->clear();
            ASSERT_NO_THROW({
                w.konatt->trigger();
                ASSERT_TRUE(w.konvattWindow);
                activate(w.konvattWindow);
            });
            konvattform& f = *w.konvattWindow;
            f.resize(600, 300);
            if (from == HeldFrom::Scrolling) {
                paint(f);
                ASSERT_EQ(shownCell(f, 0), QStringLiteral("100000001"));
                other.emplace(converted()->path());
                other->run(QStringLiteral("begin exclusive"));
                f.DBGrid1->scrollToBottom();
            }
            ASSERT_NO_THROW(paint(f));
            ASSERT_EQ(boxes.shown().size(), 1) << boxes.texts().join(u'|').toStdString();
            EXPECT_EQ(boxes.shown()[0].text, heldFileRefusal(info->convertedFile));
            EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("Hiba"));
            EXPECT_TRUE(shownCell(f, 39).isEmpty()) << "a row that could not be read shows blank";

            other->release();
            paint(f);
            EXPECT_EQ(boxes.shown().size(), 1) << boxes.texts().join(u'|').toStdString();
            EXPECT_EQ(f.DBGrid1->recordsetModel().rowCount(), 40);
            EXPECT_EQ(f.SSPanel1->caption(), QStringLiteral("40"));
            EXPECT_EQ(shownCell(f, 39), QStringLiteral("1000000040"));
            EXPECT_EQ(shownState(f), State::Unprocessed);
            // Every row on screen was read again, none kept blank.
            const QRect onScreen = f.DBGrid1->viewport()->rect();
            const int first = f.DBGrid1->rowAt(onScreen.top());
            const int last = f.DBGrid1->rowAt(onScreen.bottom() - 1);
            ASSERT_GE(first, 0);
            for (int row = first; row <= std::max(first, last); ++row)
                EXPECT_EQ(shownCell(f, row), QStringLiteral("10000000%1").arg(row + 1));
            f.close();
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
}

// Another program holds the converted file whole as the clerk picks another
// choice: the refusal says nothing changed, and so it is. Once the file is
// free the grid shows the rows of the choice on show, under its count, not
// the rows of the refused one.
TEST_F(ViewerTest, a_choice_refused_by_a_held_file_leaves_the_choice_on_show)
{
    struct ShortTimeout {
        const int before = platform::db::Database::busyTimeout();
        ShortTimeout() { platform::db::Database::setBusyTimeout(200); }
        ~ShortTimeout() { platform::db::Database::setBusyTimeout(before); }
    } shortTimeout;
    for (const ProgramInfo* info : {&ProgramInfo::sebrix(), &ProgramInfo::zorivozure()}) {
        SCOPED_TRACE(info->name.toStdString());
        konvattform& f = openViewer(*info, {true, false, false, true, false});
        f.feld->trigger();
        const QString processed = f.Data1->recordSource();
        ASSERT_EQ(f.SSPanel1->caption(), QStringLiteral("2"));
        boxes->clear();
        {
            testsupport::OtherProgram other(converted()->path());
            other.run(QStringLiteral("begin exclusive"));
            f.mind->trigger();
            other.release();
        }
        ASSERT_EQ(boxes.shown().size(), 1) << boxes.texts().join(u'|').toStdString();
        EXPECT_EQ(boxes.shown()[0].text, heldFileRefusal(info->convertedFile));
        EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("Hiba"));
        boxes->clear();
        for (int i = 0; i < 3; ++i) {
            f.DBGrid1->viewport()->repaint();
            settle();
        }
        EXPECT_EQ(f.Data1->recordSource().toStdString(), processed.toStdString());
        EXPECT_EQ(f.DBGrid1->recordsetModel().rowCount(), 2);
        EXPECT_EQ(f.SSPanel1->caption(), QStringLiteral("2"));
        EXPECT_EQ(shownState(f), State::Processed);
        EXPECT_TRUE(boxes.shown().isEmpty()) << "the refusal is told once";
        f.close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
