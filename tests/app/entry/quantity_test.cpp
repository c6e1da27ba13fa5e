#include "app/entry/quantity.h"

#include <gtest/gtest.h>

using namespace entry;

TEST(Quantity, formats_two_decimals_with_comma_and_grouped_thousands)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {2.5, "2,50"},     {3, "3,00"},          {0, "0,00"},          {0.125, "0,13"},
        {1.005, "1,01"},   {1234.5, "1 234,50"}, {999999.99, "999 999,99"},
        {1234567, "1 234 567,00"}, {-2.5, "-2,50"}, {-0.001, "0,00"},
        // Every digit of a large quantity, never a cent more.
        {5000000000, "5 000 000 000,00"}, {9999999999, "9 999 999 999,00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatQuantity(c.value), QString::fromUtf8(c.text)) << c.value;
}

TEST(Quantity, parses_what_it_formats_and_what_clerks_type)
{
    const struct {
        const char* text;
        std::optional<double> value;
    } cases[] = {
        {"2,5", 2.5},       {"2,50", 2.5},         {" 3 ", 3.0},       {"1 234,50", 1234.5},
        {"1234,5", 1234.5}, {"12.25", 12.25},      {"0,125", 0.125},   {"1\u00a0234,50", 1234.5},
        {"", std::nullopt}, {"   ", std::nullopt}, {"-2", std::nullopt}, {"1,5,0", std::nullopt},
        {"1.5,0", std::nullopt}, {"$2,50", std::nullopt}, {"($2,50)", std::nullopt},
        {"abc", std::nullopt}, {"+2", std::nullopt},
        // A separator with digits on one side only reads as the display
        // format reads it; alone it is nothing.
        {"2,", 2.0}, {",5", 0.5}, {".5", 0.5}, {"1 234,", 1234.0}, {",", std::nullopt}, {" , ", std::nullopt},
        {",5,", std::nullopt}, {"1 ,5", std::nullopt}, {"-,5", std::nullopt},
        {"12 34", std::nullopt}, {"1 2345", std::nullopt}, {"1e3", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseQuantity(QString::fromUtf8(c.text)), c.value) << c.text;
}

TEST(Quantity, every_formatted_value_reads_back_as_the_same_number)
{
    for (double v : {0.0, 0.01, 1.5, 99.99, 1234.5, 100000.0, 999999.99})
        EXPECT_DOUBLE_EQ(*parseQuantity(formatQuantity(v)), v) << v;
}

TEST(Quantity, field_hands_on_formatted_text_or_the_refusable_typing)
{
    EXPECT_EQ(quantityTextFromField("2,5"), "2,50");
    EXPECT_EQ(quantityTextFromField("3"), "3,00");
    EXPECT_EQ(quantityTextFromField(""), "");
    // Never a word missing its first letter or a currency sign kept.
    EXPECT_EQ(quantityTextFromField("abc"), "abc");
    EXPECT_EQ(quantityTextFromField("-2"), "-2");
}

// What a quantity box shows once it is left, and the quantity text it hands
// on: the shown text less its "$", with the stored text's plain blank.
TEST(Quantity, box_shows_its_display_format_and_hands_on_the_shown_text_less_its_first_character)
{
    struct Case {
        const char* typed;
        const char* shown;
    } cases[] = {
        {"2,5", "$2,50"},          {"3", "$3,00"},
        {"1234,5", "$1 234,50"},   {"1 234,5", "$1 234,50"},
        {"999999,99", "$999 999,99"}, {"0,005", "$0,01"},
        {"-2", "($2,00)"},         {"-1234,5", "($1 234,50)"},
        {"-0", "$0,00"},           {"", ""},
        {"abc", "abc"},            {"1,5,0", "1,5,0"},
        {"007", "$7,00"},          {"999999,995", "$1 000 000,00"},
        {",5", "$0,50"},           {"5,", "$5,00"},
        {"-,5", "($0,50)"},        {",", ","},
        {"5000000000", "$5 000 000 000,00"}, {"9999999999", "$9 999 999 999,00"},
    };
    for (const Case& c : cases) {
        const QString typed = QString::fromUtf8(c.typed);
        const QString shown = QString::fromUtf8(c.shown);
        EXPECT_EQ(displayQuantity(typed), shown) << c.typed;
        if (shown.startsWith(u'$'))
            EXPECT_EQ(quantityTextFromField(typed), shown.mid(1)) << c.typed;
        EXPECT_FALSE(shown.contains(QChar(0x00A0))) << c.typed;
    }
}

TEST(Quantity, acceptable_only_when_it_reads_and_fits_the_stored_column)
{
    EXPECT_TRUE(quantityTextAcceptable("999 999,99"));  // ten characters
    EXPECT_FALSE(quantityTextAcceptable("1 000 000,00"));
    EXPECT_FALSE(quantityTextAcceptable("1,5,0"));
    EXPECT_FALSE(quantityTextAcceptable(""));
}
