#include "platform/ui/controls.h"
#include "platform/ui/events.h"
#include "platform/ui/maskedbox.h"
#include "tests/support/qtprinters.h"
#include "tests/support/scriptedboxes.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>

#include <gtest/gtest.h>

TEST(Controls, old_colour_numbers_hold_blue_in_the_high_byte)
{
    struct Case { quint32 bgr; QColor rgb; };
    const Case cases[] = {
        {0xC0C0C0, QColor(192, 192, 192)},
        {0x0000C0, QColor(192, 0, 0)},     // dark red
        {0xFF0000, QColor(0, 0, 255)},     // blue
        {0x00FF00, QColor(0, 255, 0)},
        {0x8000FF, QColor(255, 0, 128)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::legacyColor(c.bgr), c.rgb) << std::hex << c.bgr;
}

namespace {

enum class Input { Typed, Pasted, InputMethod };

void give(QWidget* box, QLineEdit* edit, Input how, const QString& text)
{
    switch (how) {
    case Input::Typed: {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
        QCoreApplication::sendEvent(box, &press);
        break;
    }
    case Input::Pasted:
        QApplication::clipboard()->setText(text);
        edit->paste();
        break;
    case Input::InputMethod: {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QCoreApplication::sendEvent(edit, &commit);
        break;
    }
    }
}

} // namespace

// Every kind of text box of a window refuses text that the Windows-1250 files
// and printouts cannot carry, however it comes in, and never keeps half a
// character at its length limit; what the code page holds goes in as before.
TEST(TextBoxes, refuse_what_the_code_page_cannot_hold_and_count_characters)
{
    QWidget window;
    platform::Events ev(&window);
    auto* layout = new QVBoxLayout(&window);
    auto* limited = new QLineEdit;
    limited->setMaxLength(9);
    auto* plain = new QLineEdit;
    auto* unmasked = new platform::MaskEdBox;
    auto* combo = new QComboBox;
    combo->setEditable(true);
    for (QWidget* w : {static_cast<QWidget*>(limited), static_cast<QWidget*>(plain),
                       static_cast<QWidget*>(unmasked), static_cast<QWidget*>(combo)})
        layout->addWidget(w);
    window.show();
    QCoreApplication::processEvents();
    testsupport::ScriptedBoxes boxes;

    const struct {
        const char* name;
        QWidget* box;
        QLineEdit* edit;
        QString start;
    } kinds[] = {
        {"limited to 9", limited, limited, "12345678"},
        {"plain", plain, plain, "Kovács"},
        {"mask box without a mask", unmasked, unmasked, "Kovács"},
        {"editable combo", combo, combo->lineEdit(), "Kovács"},
    };
    // What each input leaves in the unlimited boxes (after their start text)
    // and in the box limited to 9 characters that holds 8: a paste is cut at
    // the limit first, and what remains is judged.
    const struct {
        Input how;
        QString text;
        QString added;
        QString addedAtLimit;
    } inputs[] = {
        {Input::Typed, QString::fromUtf8("😀"), "", ""},
        {Input::Typed, QString::fromUtf8("中"), "", ""},
        {Input::Typed, QString::fromUtf8("ő"), QString::fromUtf8("ő"), QString::fromUtf8("ő")},
        {Input::Pasted, QString::fromUtf8("ab中c"), "", "a"},
        {Input::Pasted, QString::fromUtf8("😀1"), "", ""},
        {Input::Pasted, QString::fromUtf8("őű€"), QString::fromUtf8("őű€"), QString::fromUtf8("ő")},
        {Input::InputMethod, QString::fromUtf8("😀"), "", ""},
        {Input::InputMethod, QString::fromUtf8("é"), QString::fromUtf8("é"), QString::fromUtf8("é")},
    };
    for (const auto& kind : kinds) {
        for (const auto& input : inputs) {
            kind.edit->setText(kind.start);
            kind.edit->setFocus();
            kind.edit->end(false);
            give(kind.box, kind.edit, input.how, input.text);
            const QString added = kind.edit == limited ? input.addedAtLimit : input.added;
            EXPECT_EQ(kind.edit->text(), kind.start + added) << kind.name << " / " << input.text.toStdString();
        }
    }
    EXPECT_TRUE(boxes.shown().isEmpty());
}
