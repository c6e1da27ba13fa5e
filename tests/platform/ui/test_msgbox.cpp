#include "platform/ui/msgbox.h"
#include "tests/support/qtprinters.h"
#include "tests/support/scriptedboxes.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(MsgBox, style_numbers_decode_into_icon_buttons_and_default)
{
    struct Case { int style; MsgIcon icon; MsgButtons buttons; int def; };
    const Case cases[] = {
        {OkOnly, MsgIcon::None, MsgButtons::Ok, 1},
        {Critical, MsgIcon::Critical, MsgButtons::Ok, 1},
        {Critical | YesNo | DefaultButton2, MsgIcon::Critical, MsgButtons::YesNo, 2},
        {Question | YesNo, MsgIcon::Question, MsgButtons::YesNo, 1},
        {Exclamation | OkCancel, MsgIcon::Exclamation, MsgButtons::OkCancel, 1},
        {Information | YesNoCancel | DefaultButton3, MsgIcon::Information, MsgButtons::YesNoCancel, 3},
        {AbortRetryIgnore, MsgIcon::None, MsgButtons::AbortRetryIgnore, 1},
        {RetryCancel | Critical, MsgIcon::Critical, MsgButtons::RetryCancel, 1},
    };
    for (const Case& c : cases) {
        const MsgBoxRequest r = MsgBoxRequest::fromStyle("t", c.style, "Hiba");
        EXPECT_EQ(r.icon, c.icon) << c.style;
        EXPECT_EQ(r.buttons, c.buttons) << c.style;
        EXPECT_EQ(r.defaultButton, c.def) << c.style;
    }
}

TEST(MsgBox, untitled_box_carries_the_program_name)
{
    testsupport::ScriptedBoxes boxes;
    setDefaultMsgBoxTitle("Zorivozure");
    msgBox("Bye,Bye");
    msgBox(QString::fromUtf8("Biztos ki akar lépni?"), Question | YesNo, QString::fromUtf8("Kérdés"));
    setDefaultMsgBoxTitle(QString());
    ASSERT_EQ(boxes.shown().size(), 2);
    EXPECT_EQ(boxes.shown()[0].title, "Zorivozure");
    EXPECT_EQ(boxes.shown()[0].text, "Bye,Bye");
    EXPECT_EQ(boxes.shown()[1].title, QString::fromUtf8("Kérdés"));
}

TEST(MsgBox, scripted_answers_in_order_then_the_default_button)
{
    testsupport::ScriptedBoxes boxes;
    boxes->answer(MsgResult::Yes);
    EXPECT_EQ(msgBox("a", Question | YesNo | DefaultButton2), MsgResult::Yes);
    EXPECT_EQ(msgBox("b", Question | YesNo | DefaultButton2), MsgResult::No);
    EXPECT_EQ(msgBox("c", YesNoCancel | DefaultButton3), MsgResult::Cancel);
    EXPECT_EQ(msgBox("d", Critical), MsgResult::Ok);
    EXPECT_EQ(boxes.texts(), (QStringList{"a", "b", "c", "d"}));
}

TEST(MsgBox, guard_puts_the_previous_service_back)
{
    ScriptedMsgBoxService outer;
    setMsgBoxService(&outer);
    {
        testsupport::ScriptedBoxes boxes;
        msgBox("inner");
        EXPECT_EQ(boxes.texts(), QStringList{"inner"});
    }
    msgBox("outer");
    EXPECT_EQ(outer.texts(), QStringList{"outer"});
    setMsgBoxService(nullptr);
}
