// The old dialect's like and case-insensitive text comparison, as pure
// functions.
#include "platform/db/dialect.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace platform::db::dialect;

TEST(Like, old_wildcards_match_and_percent_underscore_are_plain)
{
    struct Case {
        const char* pattern;
        const char* value;
        bool match;
    };
    const Case cases[] = {
        {"12*", "12", true},
        {"12*", "1234", true},
        {"12*", "0124", false},
        {"*tabletta*", "Algopyrin tabletta 500", true},
        {"*tabletta", "Algopyrin tabletta 500", false},
        {"?2", "12", true},
        {"?2", "2", false},
        {"1#3", "123", true},
        {"1#3", "1a3", false},
        {"[AB]*", "B12", true},
        {"[!AB]*", "B12", false},
        {"[a-c]1", "B1", true},
        {"[*]", "*", true},
        {"[*]", "x", false},
        {"10%", "10%", true},
        {"10%", "100", false},
        {"a_b", "a_b", true},
        {"a_b", "axb", false},
        {"%", "anything", false},
        {"", "", true},
        {"*", "", true},
        {"a**b", "ab", true},
        {"[", "[", true},
        {"*a*a*a*b", "aaaaaaaaaaaaaaaaaaaa", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(likeMatch(QString::fromUtf8(c.pattern), QString::fromUtf8(c.value)), c.match)
            << c.pattern << " ~ " << c.value;
}

TEST(Like, ignores_case_of_accented_letters)
{
    EXPECT_TRUE(likeMatch(QStringLiteral("*érték*"), QStringLiteral("ÉRTÉK")));
    EXPECT_TRUE(likeMatch(QStringLiteral("ŐSZ*"), QStringLiteral("őszi kikerics")));
    EXPECT_TRUE(likeMatch(QStringLiteral("*űr*"), QStringLiteral("TŰRŐ")));
    EXPECT_FALSE(likeMatch(QStringLiteral("*ö*"), QStringLiteral("ő")));
}

TEST(Collation, equal_ignoring_case_for_every_letter)
{
    EXPECT_EQ(compareNoCase(QStringLiteral("Érték"), QStringLiteral("érték")), 0);
    EXPECT_EQ(compareNoCase(QStringLiteral("ŐSZ"), QStringLiteral("ősz")), 0);
    EXPECT_EQ(compareNoCase(QStringLiteral("ŰR"), QStringLiteral("űr")), 0);
    EXPECT_NE(compareNoCase(QStringLiteral("o"), QStringLiteral("ő")), 0);
    EXPECT_LT(compareNoCase(QStringLiteral("12"), QStringLiteral("123")), 0);
    EXPECT_LT(compareNoCase(QStringLiteral("abc"), QStringLiteral("ABD")), 0);
    EXPECT_GT(compareNoCase(QStringLiteral("b"), QStringLiteral("A")), 0);
}

TEST(LikePrefix, only_a_literal_followed_by_one_star_gives_a_range)
{
    EXPECT_EQ(literalPrefix(QStringLiteral("12*")), QStringLiteral("12"));
    EXPECT_EQ(literalPrefix(QStringLiteral("10%*")), QStringLiteral("10%"));
    EXPECT_FALSE(literalPrefix(QStringLiteral("*")));
    EXPECT_FALSE(literalPrefix(QStringLiteral("1?*")));
    EXPECT_FALSE(literalPrefix(QStringLiteral("*12*")));
    EXPECT_FALSE(literalPrefix(QStringLiteral("12")));

    // Every text that begins with the prefix sorts below the bound.
    const QString prefix = QStringLiteral("ab");
    const auto upper = prefixUpperBound(prefix);
    ASSERT_TRUE(upper);
    for (const char* s : {"ab", "AB", "abzzzz", "Ab\xc5\x91"})
        EXPECT_LT(compareNoCase(QString::fromUtf8(s), *upper), 0) << s;
    EXPECT_GE(compareNoCase(QStringLiteral("ac"), *upper), 0);
}

TEST(Tokenizer, quoted_values_stay_whole)
{
    const auto tokens = tokenize(QStringLiteral("select * from [Utolso azonosito] where x= 'a''b ? *' and y=?"));
    QStringList strings;
    int params = 0;
    for (const Token& t : tokens) {
        if (t.kind == Token::String)
            strings << t.value();
        if (t.kind == Token::QuotedIdent)
            EXPECT_EQ(t.value(), QStringLiteral("Utolso azonosito"));
        if (t.kind == Token::Param)
            ++params;
    }
    EXPECT_EQ(strings, QStringList{QStringLiteral("a'b ? *")});
    EXPECT_EQ(params, 1);
}
