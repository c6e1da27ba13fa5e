#include "app/entry/slots.h"

#include "tests/app/entry/entryfixture.h"

#include <gtest/gtest.h>

using namespace entry;


TEST(Slots, map_names_the_boxes_of_each_slot)
{
    EXPECT_STREQ(slotControls()[0].codeBox, "Text23");
    EXPECT_STREQ(slotControls()[0].durationBox, "MaskEdBox7");
    EXPECT_STREQ(slotControls()[9].codeBox, "Text26");
    EXPECT_STREQ(slotControls()[9].durationBox, "MaskEdBox15");
    EXPECT_EQ(slotOfControl("MaskEdBox16"), 8);
    EXPECT_EQ(slotOfControl("Text1"), -1);
    EXPECT_EQ(slotFromDigit("6"), 6);
    EXPECT_EQ(slotFromDigit(""), -1);
    EXPECT_EQ(slotFromDigit("10"), -1);
}

TEST(Slots, highlight_marks_exactly_one_pair_and_aktell_follows_it)
{
    FakeSlots v;
    QString aktmutet;
    aktell(v, aktmutet);
    EXPECT_EQ(aktmutet, "");  // nothing highlighted yet

    sotet(v, 3);
    sotet(v, 6);
    for (int s = 0; s < kSlotCount; ++s) {
        EXPECT_EQ(v.codeColour[s], s == 6 ? kSlotGrey : kSlotWhite) << s;
        EXPECT_EQ(v.durationColour[s], s == 6 ? kSlotGrey : kSlotWhite) << s;
    }
    aktell(v, aktmutet);
    EXPECT_EQ(aktmutet, "6");

    // After whitening, aktell keeps the slot it named before.
    feherit(v);
    EXPECT_EQ(currentSlot(v), -1);
    aktell(v, aktmutet);
    EXPECT_EQ(aktmutet, "6");
}

TEST(Slots, haures_and_datell_enable_only_slots_holding_a_code)
{
    using Enable = void (*)(SlotView&);
    for (Enable enableFilled : {Enable(&haures), Enable(&datell)}) {
        FakeSlots v;
        v.code[1] = "12345";
        v.code[3] = "   ";
        v.code[4] = " 7";
        enableFilled(v);
        const std::array<bool, kSlotCount> expected{true, true, false, false, true, false, false, false, false, false};
        EXPECT_EQ(v.enabled, expected);
    }
}

TEST(Slots, maskell_refuses_only_a_code_with_a_completely_empty_duration)
{
    const struct {
        const char* code;
        const char* duration;
        bool hibajel;
    } cases[] = {
        {"12345", "  :  ", true},
        {"12345", "1 :  ", false}, // partly typed passes
        {"", "  :  ", false},
        {"  ", "  :  ", false},
        {"12345", "01:30", false},
    };
    for (const auto& c : cases) {
        testsupport::ScriptedBoxes boxes;
        FakeSlots v;
        v.code[4] = c.code;
        v.duration[4] = c.duration;
        EXPECT_EQ(maskell(v, 4), c.hibajel) << c.code << "|" << c.duration;
        if (c.hibajel) {
            const auto& box = boxes.single();
            EXPECT_EQ(box.text, "Hiányos műtétdátum!");
            EXPECT_EQ(box.title, "Hiba");
            EXPECT_EQ(box.icon, platform::MsgIcon::Critical);
        } else {
            EXPECT_TRUE(boxes.shown().isEmpty());
        }
    }
}

TEST(Slots, duration_verdicts)
{
    const QString bad = "Hibás dátumformátum!Helyes dátumformátum: óó:pp";
    const QString empty = "Hiányos dátum!";
    const struct {
        int slot;
        const char* duration;
        const char* code;
        QStringList messages;
        bool refocus;
        bool success;
        int next;
    } cases[] = {
        {0, "01:30", "12345", {}, false, true, 1},
        {0, "1 :30", "12345", {}, false, true, 1},  // units of hours blank: complete
        {0, "12: 5", "12345", {}, false, true, 1},  // tens of minutes blank: complete
        {0, " 1:30", "12345", {bad}, true, false, -1},
        {0, "01:3 ", "12345", {bad}, true, false, -1},
        {0, "  :  ", "12345", {bad}, true, false, -1},
        {3, "  :  ", "", {bad}, false, false, -1},
        {1, "  :  ", "", {bad, empty}, false, false, -1},
        {2, "  :  ", "  ", {bad, empty}, false, false, -1},
        {1, "0 :  ", "", {bad}, false, false, -1},
        {5, "01:30", "", {}, false, false, -1},     // no code: nothing happens
        {8, "99:99", "ABC", {}, false, true, 9},    // no range test
        {9, "00:00", "ABC", {}, false, true, -1},   // last slot counts, unlocks nothing
    };
    for (const auto& c : cases) {
        const DurationVerdict v = judgeDuration(c.slot, c.duration, c.code);
        EXPECT_EQ(v.messages, c.messages) << c.slot << "|" << c.duration << "|" << c.code;
        EXPECT_EQ(v.refocusDuration, c.refocus) << c.slot << "|" << c.duration;
        EXPECT_EQ(v.success, c.success) << c.slot << "|" << c.duration;
        EXPECT_EQ(v.nextSlot, c.next) << c.slot << "|" << c.duration;
        EXPECT_EQ(v.enablesTabsBeforeFocus, c.success && c.slot == 0);
        EXPECT_EQ(v.enablesTabsAfterFocus, c.success && c.slot == 2);
    }
}
