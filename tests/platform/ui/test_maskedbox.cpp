#include "platform/ui/maskedbox.h"
#include "tests/support/qtprinters.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

using platform::MaskEdBox;

namespace {

const QString kDate = "####.##.##.";
const QString kTime = "##:##";
const QString kClock = "##:##:##";

void press(QWidget* w, int key, const QString& text = {})
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(w, &down);
}

void type(QWidget* w, const QString& chars)
{
    for (QChar c : chars)
        press(w, c.isDigit() ? Qt::Key_0 + c.digitValue() : c.toUpper().unicode(), QString(c));
}

} // namespace

TEST(MaskEdBox, empty_boxes_read_blanks_where_digits_go)
{
    EXPECT_EQ(MaskEdBox(kDate).text(), "    .  .  .");
    EXPECT_EQ(MaskEdBox(kTime).text(), "  :  ");
    EXPECT_EQ(MaskEdBox(kClock).text(), "  :  :  ");
    MaskEdBox box(kDate);
    EXPECT_TRUE(box.isBlank());
    ASSERT_TRUE(box.setText("2005.08.24."));
    EXPECT_FALSE(box.isBlank());
    ASSERT_TRUE(box.setText(""));
    EXPECT_EQ(box.text(), "    .  .  .");
}

TEST(MaskEdBox, text_from_code_must_fit_the_mask_character_by_character)
{
    struct Case { QString mask, input; bool accepted; QString reads; };
    const Case cases[] = {
        {kDate, "2005.08.24.", true, "2005.08.24."},
        {kDate, "2005.08.24", true, "2005.08.24."},   // converted records lack the closing point
        {kDate, "    .  .  .", true, "    .  .  ."},
        {kDate, "2005.  .24.", true, "2005.  .24."},
        {kDate, "2005. 08. 24.", false, {}},          // blank after each point
        {kDate, "2005-08-24.", false, {}},
        {kDate, "05.08.24.", false, {}},              // two-digit year
        {kDate, "2005.8.24.", false, {}},
        {kDate, "2005.08.2a.", false, {}},
        {kDate, "2005.08.24.1", false, {}},
        {kClock, "09:05:07", true, "09:05:07"},
        {kClock, "9:05:07", false, {}},               // hour without its leading zero
        {kClock, "09.05.07", false, {}},
        {kTime, "12:30", true, "12:30"},
        {kTime, "12:3", false, {}},                   // only the date box is lenient
        {kTime, "12:30:00", false, {}},
        {kTime, "1230", false, {}},
        {kTime, QString::fromUtf8("١٢:٣٠"), false, {}}, // digits of another script
    };
    for (const Case& c : cases) {
        MaskEdBox box(c.mask);
        ASSERT_TRUE(box.setText(c.mask == kDate ? "1999.12.31." : c.mask == kTime ? "11:11" : "11:11:11"));
        const QString before = box.text();
        EXPECT_EQ(box.setText(c.input), c.accepted) << c.input.toStdString();
        EXPECT_EQ(box.lastSetFailed(), !c.accepted) << c.input.toStdString();
        EXPECT_EQ(box.text(), c.accepted ? c.reads : before) << c.input.toStdString();
    }
}

TEST(MaskEdBox, a_stored_value_that_does_not_fit_shows_blank_never_the_text_before)
{
    struct Case { QString mask, stored; QString reads; };
    const Case cases[] = {
        {kDate, "2005.08.24.", "2005.08.24."},
        {kDate, "2005.08.24", "2005.08.24."},
        {kDate, "2005.8.30.", "    .  .  ."},
        {kDate, "2005/08/20", "    .  .  ."},
        {kTime, "08:05", "08:05"},
        {kTime, "8:05:", "  :  "},
        {kTime, "", "  :  "},
    };
    for (const Case& c : cases) {
        MaskEdBox box(c.mask);
        ASSERT_TRUE(box.setText(c.mask == kDate ? "1999.12.31." : "11:11"));
        EXPECT_EQ(box.showStored(c.stored), c.reads != box.blankText() || c.stored.isEmpty()) << c.stored.toStdString();
        EXPECT_EQ(box.text(), c.reads) << c.stored.toStdString();
    }
}

TEST(MaskEdBox, change_fires_on_code_and_typing_but_not_on_refusal_or_same_text)
{
    MaskEdBox box(kTime);
    int changes = 0;
    QObject::connect(&box, &MaskEdBox::Change, [&] { ++changes; });
    box.setText("12:30");
    EXPECT_EQ(changes, 1);
    box.setText("12:30");
    EXPECT_EQ(changes, 1);
    box.setText("nonsense");
    EXPECT_EQ(changes, 1);
    box.setCursorPosition(0);
    type(&box, "2");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(box.text(), "22:30");
}

TEST(MaskEdBox, typing_overwrites_and_steps_over_literals)
{
    MaskEdBox box(kDate);
    box.setCursorPosition(0);
    type(&box, "20050824");
    EXPECT_EQ(box.text(), "2005.08.24.");

    box.setCursorPosition(0);
    type(&box, "1");
    EXPECT_EQ(box.text(), "1005.08.24."); // overwrite, not insert
    type(&box, "99");
    type(&box, "9");
    EXPECT_EQ(box.text(), "1999.08.24.");
    EXPECT_EQ(box.cursorPosition(), 5); // past the point, on the month

    type(&box, "x-/ ");
    EXPECT_EQ(box.text(), "1999.08.24."); // non-digits never enter

    box.setCursorPosition(box.text().size());
    type(&box, "7");
    EXPECT_EQ(box.text(), "1999.08.24."); // nothing past the end
}

TEST(MaskEdBox, typed_literal_moves_past_it)
{
    MaskEdBox box(kTime);
    box.setCursorPosition(0);
    type(&box, "9");
    box.setCursorPosition(1);
    type(&box, ":");
    type(&box, "05");
    EXPECT_EQ(box.text(), "9 :05");
}

TEST(MaskEdBox, backspace_and_delete_blank_positions_without_shifting)
{
    MaskEdBox box(kDate);
    ASSERT_TRUE(box.setText("2005.08.24."));
    box.setCursorPosition(6);
    press(&box, Qt::Key_Backspace);
    EXPECT_EQ(box.text(), "2005. 8.24.");
    press(&box, Qt::Key_Backspace); // skips the point
    EXPECT_EQ(box.text(), "200 . 8.24.");
    EXPECT_EQ(box.cursorPosition(), 3);

    box.setCursorPosition(7);
    press(&box, Qt::Key_Delete); // on the point: blanks the next digit
    EXPECT_EQ(box.text(), "200 . 8. 4.");

    box.setSelection(0, 11);
    press(&box, Qt::Key_Delete);
    EXPECT_EQ(box.text(), "    .  .  .");
}

TEST(MaskEdBox, paste_cannot_bypass_the_mask)
{
    MaskEdBox box(kTime);
    QKeyEvent paste(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, "\x16");
    QCoreApplication::sendEvent(&box, &paste);
    EXPECT_EQ(box.text(), "  :  ");
}

TEST(MaskEdBox, without_mask_it_is_a_plain_text_box)
{
    MaskEdBox box;
    EXPECT_TRUE(box.setText("12,5 db"));
    EXPECT_EQ(box.text(), "12,5 db");
    type(&box, "x");
    EXPECT_EQ(box.text(), "12,5 dbx");
}

TEST(MaskEdBox, base_class_setters_cannot_bypass_the_mask)
{
    MaskEdBox box(kTime);
    ASSERT_TRUE(box.setText("12:30"));
    QLineEdit& plain = box;
    plain.setText("abc");
    EXPECT_EQ(box.text(), "12:30");
    plain.insert("9");
    EXPECT_EQ(box.text(), "12:30");
    plain.clear();
    EXPECT_EQ(box.text(), "  :  ");
}

TEST(MaskEdBox, new_mask_starts_blank)
{
    MaskEdBox box(kTime);
    ASSERT_TRUE(box.setText("12:30"));
    box.setMask(kDate);
    EXPECT_EQ(box.text(), "    .  .  .");
    EXPECT_TRUE(box.setText("2005.08.24."));
    box.setMask(kClock);
    EXPECT_EQ(box.text(), "  :  :  ");
}

namespace {

// A shown window with two boxes as wide as the entry form's, so clicks and
// focus moves take the window system's path.
struct ClickWindow {
    QWidget window;
    MaskEdBox* first = new MaskEdBox(kTime, &window);
    MaskEdBox* box = new MaskEdBox(&window);

    explicit ClickWindow(const QString& mask)
    {
        window.resize(300, 80);
        first->setGeometry(10, 10, 62, 24);
        box->setMask(mask);
        box->setGeometry(10, 44, mask == kDate ? 92 : mask == kClock ? 80 : 62, 24);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        first->setFocus();
    }

    // A point on the left half of the character at position pos: the
    // rightmost one that the box still reads as that position.
    QPoint onCharacter(int pos) const
    {
        const int y = box->height() / 2;
        int x = 0;
        while (x + 1 < box->width() && box->cursorPositionAt(QPoint(x + 1, y)) <= pos)
            ++x;
        return {x, y};
    }
};

} // namespace

TEST(MaskEdBox, click_past_the_filled_part_puts_the_cursor_on_the_first_unfilled_position)
{
    // at < 0: a point in the box's empty right part; otherwise a point just
    // inside the character at that position.
    struct Case { QString mask, before; int at; QString typed, reads; int caretAfterClick; };
    const Case cases[] = {
        {kTime, "", -1, "0130", "01:30", 0},
        {kDate, "", -1, "20050824", "2005.08.24.", 0},
        {kClock, "", -1, "095907", "09:59:07", 0},
        {kTime, "", 4, "0130", "01:30", 0},                  // on a blank: still past every digit
        {kTime, "01:  ", -1, "30", "01:30", 3},
        {kDate, "2005.  .24.", -1, "08", "2005.08.24.", 5},  // the gap, not past the end
        {kDate, "2005.08.  .", 2, "1", "2015.08.  .", 2},    // on a digit: stays where clicked
        {kTime, "  :30", 1, "5", " 5:30", 1},                // on a blank before a digit: stays
        {kDate, "2005.08.24.", -1, "1", "2005.08.24.", 11},  // full: nothing to move to
    };
    for (const Case& c : cases) {
        const std::string label = (c.mask + " '" + c.before + "' at " + QString::number(c.at)).toStdString();
        ClickWindow w(c.mask);
        ASSERT_TRUE(w.box->setText(c.before)) << label;
        const QPoint point = c.at < 0 ? QPoint(w.box->width() - 6, w.box->height() / 2)
                                      : w.onCharacter(c.at);
        QTest::mouseClick(w.box, Qt::LeftButton, Qt::NoModifier, point);
        EXPECT_TRUE(w.box->hasFocus()) << label;
        EXPECT_EQ(w.box->cursorPosition(), c.caretAfterClick) << label;
        QTest::keyClicks(w.box, c.typed);
        EXPECT_EQ(w.box->text(), c.reads) << label;
    }
}

TEST(MaskEdBox, click_in_an_empty_box_that_already_has_the_focus_goes_to_its_start)
{
    ClickWindow w(kTime);
    w.box->setFocus();
    w.box->setCursorPosition(5);
    QTest::mouseClick(w.box, Qt::LeftButton, Qt::NoModifier, w.box->rect().center());
    QTest::keyClicks(w.box, "0130");
    EXPECT_EQ(w.box->text(), "01:30");
}

TEST(MaskEdBox, tab_into_a_filled_box_selects_it_so_typing_replaces_it)
{
    ClickWindow w(kTime);
    ASSERT_TRUE(w.box->setText("12:45"));
    ASSERT_TRUE(w.first->hasFocus());
    QTest::keyClick(w.first, Qt::Key_Tab);
    ASSERT_TRUE(w.box->hasFocus());
    EXPECT_EQ(w.box->selectedText(), "12:45");
    QTest::keyClicks(w.box, "0130");
    EXPECT_EQ(w.box->text(), "01:30");
}

// A box with a display format shows the formatted text only while it does
// not have the focus; its text stays the typed text throughout, and showing
// or hiding the format is no change of it.
TEST(MaskEdBox, display_format_shows_while_the_box_has_no_focus)
{
    ClickWindow w{QString()};
    // The formatted text is longer than the box may hold while typing.
    w.box->setMaxLength(6);
    w.box->setFormat("$#,##0.00;($#,##0.00)");
    w.box->setFormatter([](const QString& text, const QString& format) {
        return text.isEmpty() ? text : "<" + text + "|" + format.left(1) + ">";
    });
    int changes = 0;
    QObject::connect(w.box, &MaskEdBox::Change, [&] { ++changes; });

    QTest::mouseClick(w.box, Qt::LeftButton);
    ASSERT_TRUE(w.box->hasFocus());
    QTest::keyClicks(w.box, "123456");
    EXPECT_EQ(w.box->shownText(), "123456");
    EXPECT_EQ(changes, 6);

    w.first->setFocus();
    EXPECT_EQ(w.box->shownText(), "<123456|$>") << "the whole formatted text, past the typing limit";
    EXPECT_EQ(w.box->text(), "123456");
    EXPECT_EQ(w.box->formattedText(), "<123456|$>");

    // Back in the box the typed text is there to edit, with its limit.
    QTest::keyClick(w.first, Qt::Key_Tab);
    ASSERT_TRUE(w.box->hasFocus());
    EXPECT_EQ(w.box->shownText(), "123456");
    EXPECT_EQ(w.box->selectedText(), "123456");
    QTest::keyClicks(w.box, "98765432");
    EXPECT_EQ(w.box->text(), "987654");
    EXPECT_EQ(changes, 6 + 6);

    // Set by code while another control has the focus: shown formatted at
    // once; emptied: shows nothing.
    w.first->setFocus();
    EXPECT_TRUE(w.box->setText("7"));
    EXPECT_EQ(w.box->shownText(), "<7|$>");
    EXPECT_EQ(w.box->text(), "7");
    EXPECT_EQ(changes, 13);
    w.box->setText(QString());
    EXPECT_EQ(w.box->shownText(), "");
    EXPECT_EQ(changes, 14);
    // Reached through the base class: the text set is the typed text.
    static_cast<QLineEdit*>(w.box)->setText("42");
    EXPECT_EQ(w.box->text(), "42");
    EXPECT_EQ(w.box->shownText(), "<42|$>");
    EXPECT_EQ(changes, 15);
    // Keys sent to it without the focus edit the typed text, not the shown one.
    type(w.box, "1");
    EXPECT_EQ(w.box->text(), "421");
}

TEST(MaskEdBox, without_a_format_or_formatter_the_text_is_shown_as_typed)
{
    for (int which = 0; which < 2; ++which) {
        ClickWindow w{QString()};
        if (which == 0)
            w.box->setFormat("$#,##0.00");
        else
            w.box->setFormatter([](const QString&, const QString&) { return QString("x"); });
        QTest::mouseClick(w.box, Qt::LeftButton);
        QTest::keyClicks(w.box, "12");
        w.first->setFocus();
        EXPECT_EQ(w.box->shownText(), "12") << which;
    }
}
