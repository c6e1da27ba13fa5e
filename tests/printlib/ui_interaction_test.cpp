// The library's message box and input box: layout, buttons, keys, timer,
// placement, icons, and the routing to the program's scripted service.
#include "tests/printlib/ui_support.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using printlib::clsInteraction;
using printlib::frmInputBoxEx;
using printlib::frmMsgBoxEx;
using printlib::LibError;
using uitest::key;

namespace {

struct LayoutCase {
    const char* name;
    int textW;
    std::array<bool, 5> visible;
    int width;
    std::array<int, 5> lefts;
};

TEST(MsgBoxLayout, widthAndButtonPlacesFollowTheVisibleButtons)
{
    const LayoutCase cases[] = {
        {"one button", 100, {false, true, false, false, false}, 3800, {-1, 1330, -1, -1, -1}},
        {"only the third", 100, {false, false, false, true, false}, 3800, {-1, -1, -1, 1330, -1}},
        {"first and fourth", 100, {false, true, false, false, true}, 3800, {-1, 720, -1, -1, 1940}},
        {"three", 100, {false, true, true, true, false}, 4500, {-1, 460, 1680, 2900, -1}},
        {"four", 100, {false, true, true, true, true}, 5400, {-1, 300, 1520, 2740, 3960}},
        {"wide text", 5000, {false, true, false, false, false}, 6100, {-1, 2480, -1, -1, -1}},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        const printlib::MsgBoxLayout lay = printlib::layoutMsgBox(c.textW, 200, c.visible);
        EXPECT_EQ(lay.width, c.width);
        EXPECT_EQ(lay.height, 200 + 1350);
        EXPECT_EQ(lay.buttonTop, lay.height - 570);
        for (int i = 1; i <= 4; ++i)
            EXPECT_EQ(lay.buttonLeft[size_t(i)], c.lefts[size_t(i)]) << "button " << i;
    }
}

TEST(MsgBoxPlacement, zeroZeroCentresAnythingElseIsTheCorner)
{
    EXPECT_EQ(printlib::placeBoxTw(0, 0, 3800, 1590, 15360, 11520), QPoint(5780, 4965));
    EXPECT_EQ(printlib::placeBoxTw(0, 100, 3800, 1590, 15360, 11520), QPoint(0, 100));
    EXPECT_EQ(printlib::placeBoxTw(200, 0, 5505, 1980, 15360, 11520), QPoint(200, 0));
}

class InteractionTest : public uitest::LibraryWindowsTest {
protected:
    // Shows the next box to `drive` instead of waiting for a user.
    void drive(std::function<void(QDialog&)> fn) { clsInteraction::setBoxDriver(std::move(fn)); }
    clsInteraction box;
};

TEST_F(InteractionTest, defaultBoxShowsAttentionOkAndInformationAndEnterPressesOk)
{
    QString title;
    int icon = 0, sound = 0, width = 0;
    bool okVisible = false, othersHidden = true;
    drive([&](QDialog& d) {
        auto& b = static_cast<frmMsgBoxEx&>(d);
        title = b.Label1->caption();
        icon = b.iconId();
        sound = b.soundType();
        width = b.layoutTw().width;
        okVisible = b.btn[1]->isVisible() && b.btn[1]->text() == "OK";
        for (int i = 2; i <= 4; ++i)
            othersHidden = othersHidden && !b.btn[size_t(i)]->isVisible();
        key(uitest::focused(&b), Qt::Key_Return);
    });
    EXPECT_EQ(box.ShowMsgBox(), 1);
    EXPECT_EQ(title, " Attention");
    EXPECT_EQ(icon, 32516);
    EXPECT_EQ(sound, 64);
    EXPECT_EQ(width, 3800);
    EXPECT_TRUE(okVisible);
    EXPECT_TRUE(othersHidden);
    EXPECT_TRUE(boxes.shown().isEmpty()) << "a driven box is not routed to the service";
}

TEST_F(InteractionTest, escapeWithoutCancelButtonLeavesTheBoxOpen)
{
    bool stillOpen = false;
    drive([&](QDialog& d) {
        key(uitest::focused(&d), Qt::Key_Escape);
        stillOpen = d.isVisible();
    });
    EXPECT_EQ(box.ShowMsgBox(), 0);
    EXPECT_TRUE(stillOpen);
}

TEST_F(InteractionTest, buttonsKeepTheirIndexAndEscapePressesTheCancelButton)
{
    drive([](QDialog& d) { static_cast<frmMsgBoxEx&>(d).btn[3]->click(); });
    EXPECT_EQ(box.ShowMsgBox("T", "x", "", "", "Harmadik"), 3);

    drive([](QDialog& d) { static_cast<frmMsgBoxEx&>(d).btn[4]->click(); });
    EXPECT_EQ(box.ShowMsgBox("T", "x", "Egy", "", "", "Négy"), 4);

    drive([](QDialog& d) { key(uitest::focused(&d), Qt::Key_Escape); });
    EXPECT_EQ(box.ShowMsgBox("T", "x", "Igen", "Nem", "", "", 1, 1, 2), 2);

    // The default button holds the focus, so Enter presses it.
    drive([](QDialog& d) { key(uitest::focused(&d), Qt::Key_Return); });
    EXPECT_EQ(box.ShowMsgBox("T", "x", "Igen", "Nem", "", "", 1, 2, 0), 2);
}

TEST_F(InteractionTest, badArgumentsFailBeforeAnythingIsShown)
{
    bool shown = false;
    drive([&](QDialog&) { shown = true; });
    struct Case {
        int def, cancel;
        QString caption;
        QString description;
    } cases[] = {
        {5, 0, "OK", "Argument must be between 0 and 4"},
        {1, 5, "OK", "Argument must be between 0 and 4"},
        {1, 0, "", ""},
    };
    for (const Case& c : cases) {
        try {
            box.ShowMsgBox("T", "x", c.caption, "", "", "", 3, c.def, c.cancel);
            ADD_FAILURE() << "no error for " << c.def << "/" << c.cancel;
        } catch (const LibError& e) {
            EXPECT_EQ(e.Number, 13);
            EXPECT_EQ(e.Description, c.description);
        }
    }
    EXPECT_FALSE(shown);
    drive([](QDialog& d) { static_cast<frmMsgBoxEx&>(d).btn[1]->click(); });
    EXPECT_EQ(box.ShowMsgBox("T", "x", "OK", "", "", "", 3, -1, 0), 1) << "a negative default is no default";
}

TEST_F(InteractionTest, autoClosePressesItsButtonEvenWhenHidden)
{
    drive([](QDialog& d) { uitest::waitFor([&] { return !d.isVisible(); }); });
    EXPECT_EQ(box.ShowMsgBox("T", "x", "OK", "", "", "", 3, 1, 0, 0, 0, false, nullptr, 2, 150), 2);

    bool open = false;
    drive([&](QDialog& d) { open = !uitest::waitFor([&] { return !d.isVisible(); }, 400); });
    EXPECT_EQ(box.ShowMsgBox("T", "x", "OK", "", "", "", 3, 1, 0, 0, 0, false, nullptr, 0, 100), 0);
    EXPECT_TRUE(open) << "button 0 never closes the box by itself";
}

TEST_F(InteractionTest, positionIconAndSoundFollowTheArguments)
{
    QPoint pos;
    int icon = -1, sound = -1;
    drive([&](QDialog& d) {
        auto& b = static_cast<frmMsgBoxEx&>(d);
        pos = b.positionTw();
        icon = b.iconId();
        sound = b.soundType();
    });
    box.ShowMsgBox("T", "x", "OK", "", "", "", 4, 1, 0, 0, 100);
    EXPECT_EQ(pos, QPoint(0, 100));
    EXPECT_EQ(icon, 0);
    EXPECT_EQ(sound, -1) << "a picture of the caller's plays no sound";
    box.ShowMsgBox("T", "x", "OK", "", "", "", 9);
    EXPECT_EQ(icon, 0);
    EXPECT_EQ(sound, 0) << "an unknown Img plays the default sound";
    box.ShowMsgBox("T", "x", "OK", "", "", "", 0);
    EXPECT_EQ(icon, 32513);
    EXPECT_EQ(sound, 16);
}

TEST_F(InteractionTest, textSizeDrivesTheBoxSize)
{
    int narrow = 0, wide = 0, height1 = 0, height3 = 0;
    drive([&](QDialog& d) { narrow = static_cast<frmMsgBoxEx&>(d).layoutTw().width; });
    box.ShowMsgBox("T", "x");
    const QString line(120, QLatin1Char('W'));
    drive([&](QDialog& d) {
        wide = static_cast<frmMsgBoxEx&>(d).layoutTw().width;
        height1 = static_cast<frmMsgBoxEx&>(d).layoutTw().height;
    });
    box.ShowMsgBox("T", line);
    drive([&](QDialog& d) { height3 = static_cast<frmMsgBoxEx&>(d).layoutTw().height; });
    box.ShowMsgBox("T", line + "\r\n" + line + "\r\n" + line);
    EXPECT_EQ(narrow, 3800);
    EXPECT_GT(wide, 3800) << "no maximum width: the line decides";
    EXPECT_GT(height3, height1) << "line breaks only where the text has them";
}

TEST_F(InteractionTest, scriptedServiceRecordsTheLibrarysNotices)
{
    EXPECT_EQ(box.ShowMsgBox("Attention", "Invalid print range.", "OK", "", "", "", 2, 1, 1), 1);
    ASSERT_EQ(boxes.shown().size(), 1);
    const platform::MsgBoxRequest& r = boxes.shown().first();
    EXPECT_EQ(r.title, "Attention");
    EXPECT_EQ(r.text, "Invalid print range.");
    EXPECT_EQ(r.icon, platform::MsgIcon::Exclamation);
    EXPECT_EQ(r.buttons, platform::MsgButtons::Ok);

    boxes.answer(platform::MsgResult::Cancel);
    EXPECT_EQ(box.ShowMsgBox("Kérdés", "?", "", "Igen", "", "Nem", 1), 4) << "second visible button";
}

TEST_F(InteractionTest, fontNamesAreOneSettingForEveryBox)
{
    clsInteraction other;
    const QString standard = box.msgTextFont();
    EXPECT_FALSE(standard.isEmpty());
    box.setMsgTextFont("Liberation Mono");
    EXPECT_EQ(other.msgTextFont(), "Liberation Mono");
    QString used;
    drive([&](QDialog& d) { used = static_cast<frmMsgBoxEx&>(d).Label2->font().family(); });
    other.ShowMsgBox("T", "x");
    EXPECT_EQ(used, "Liberation Mono");
    box.setMsgTextFont(QString());
}

// ---------------------------------------------------------------- input box

struct InputCase {
    const char* name;
    QString defaultText;
    QString fallback;
    std::function<void(frmInputBoxEx&)> act;
    QString expected;
};

TEST_F(InteractionTest, inputBoxResultByHowItClosed)
{
    const InputCase cases[] = {
        {"Enter at once", "alap", "tartalék", [](frmInputBoxEx& b) { key(b.txtInputValue, Qt::Key_Return); }, "alap"},
        {"cleared field", "alap", "tartalék",
         [](frmInputBoxEx& b) {
             b.txtInputValue->clear();
             key(b.txtInputValue, Qt::Key_Return);
         },
         "tartalék"},
        {"typed then Escape", "alap", "tartalék",
         [](frmInputBoxEx& b) {
             b.txtInputValue->setText("új");
             key(b.txtInputValue, Qt::Key_Escape);
         },
         "tartalék"},
        {"typed then button 1", "", "", [](frmInputBoxEx& b) {
             b.txtInputValue->setText("új");
             b.btn[1]->click();
         },
         "új"},
        {"no press", "alap", "tartalék", [](frmInputBoxEx&) {}, ""},
    };
    for (const InputCase& c : cases) {
        SCOPED_TRACE(c.name);
        drive([&](QDialog& d) { c.act(static_cast<frmInputBoxEx&>(d)); });
        EXPECT_EQ(box.ShowInputBox("Cím", "Kérdés", c.defaultText, c.fallback), c.expected);
    }
}

TEST_F(InteractionTest, inputBoxDefaultsAndArguments)
{
    QString title, btn1, btn2;
    bool btn2Shown = false, selected = false;
    QPoint pos;
    drive([&](QDialog& d) {
        auto& b = static_cast<frmInputBoxEx&>(d);
        title = b.Label1->caption();
        btn1 = b.btn[1]->text();
        btn2 = b.btn[2]->text();
        btn2Shown = b.btn[2]->isVisible();
        pos = b.positionTw();
        key(b.txtInputValue, Qt::Key_Return);
    });
    EXPECT_EQ(box.ShowInputBox(), "");
    EXPECT_EQ(title, " Attention");
    EXPECT_EQ(btn1, "OK");
    EXPECT_EQ(btn2, "");
    EXPECT_TRUE(btn2Shown) << "the second button shows even without a caption";

    drive([&](QDialog& d) {
        auto& b = static_cast<frmInputBoxEx&>(d);
        pos = b.positionTw();
        selected = b.txtInputValue->selectedText() == "abc";
    });
    box.ShowInputBox("T", "", "abc", "", 0, "OK", "Mégse", 1, 2, 200, 0);
    EXPECT_EQ(pos, QPoint(200, 0));
    EXPECT_TRUE(selected) << "the field opens with its text selected";

    bool open = false;
    drive([&](QDialog& d) {
        key(static_cast<frmInputBoxEx&>(d).txtInputValue, Qt::Key_Escape);
        open = d.isVisible();
    });
    EXPECT_EQ(box.ShowInputBox("T", "", "abc", "x", 0, "OK", "Mégse", 1, 0), "");
    EXPECT_TRUE(open) << "CancelIdx 0 leaves Escape without effect";

    for (auto [def, cancel] : {std::pair{3, 2}, std::pair{1, 3}}) {
        try {
            box.ShowInputBox("T", "", "", "", 0, "OK", "", def, cancel);
            ADD_FAILURE() << def << "/" << cancel;
        } catch (const LibError& e) {
            EXPECT_EQ(e.Number, 13);
            EXPECT_EQ(e.Description, "Argument must be between 0 and 2");
        }
    }
}

TEST_F(InteractionTest, inputBoxPromptWrapsInsideItsFixedLabel)
{
    QSize labelSize;
    bool wraps = false;
    drive([&](QDialog& d) {
        auto& b = static_cast<frmInputBoxEx&>(d);
        labelSize = b.Label2->size();
        wraps = b.Label2->wordWrap();
    });
    box.ShowInputBox("T", QString("szó ").repeated(200));
    EXPECT_EQ(labelSize, QSize(printlib::twipsToPixelsX(4100), printlib::twipsToPixelsY(1170)));
    EXPECT_TRUE(wraps);
}

} // namespace
