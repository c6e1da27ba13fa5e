#include "platform/ui/controls.h"

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
