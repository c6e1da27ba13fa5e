#include "platform/sys/codepage.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(CodePage, hungarian_letters_round_trip_with_their_windows_bytes)
{
    const QString letters = QStringLiteral("őŐűŰáéíóöúüÁÉÍÓÖÚÜ");
    QByteArray bytes;
    ASSERT_TRUE(encodeCp1250(letters, bytes));
    EXPECT_EQ(bytes, QByteArray("\xF5\xD5\xFB\xDB\xE1\xE9\xED\xF3\xF6\xFA\xFC\xC1\xC9\xCD\xD3\xD6\xDA\xDC"));
    QString back;
    ASSERT_TRUE(decodeCp1250(bytes, back));
    EXPECT_EQ(back, letters);
}

TEST(CodePage, euro_and_ascii_encode_every_defined_byte_decodes)
{
    QByteArray bytes;
    ASSERT_TRUE(encodeCp1250(QStringLiteral("A1 €\r\n"), bytes));
    EXPECT_EQ(bytes, QByteArray("A1 \x80\r\n"));

    int defined = 0;
    for (int b = 0; b < 256; ++b) {
        QString text;
        if (decodeCp1250(QByteArray(1, char(b)), text)) {
            ++defined;
            QByteArray again;
            ASSERT_TRUE(encodeCp1250(text, again)) << b;
            EXPECT_EQ(again, QByteArray(1, char(b))) << b;
        }
    }
    EXPECT_EQ(defined, 251);
}

TEST(CodePage, character_outside_the_code_page_is_reported_with_its_position)
{
    const struct {
        QString text;
        qsizetype position;
        char32_t character;
    } cases[] = {
        {QStringLiteral("ab中c"), 2, U'中'},
        {QStringLiteral("õ"), 0, U'õ'},            // Estonian o-tilde is not Hungarian ő
        {QStringLiteral("x😀"), 1, U'😀'},          // outside the BMP
    };
    for (const auto& c : cases) {
        QByteArray out("unchanged");
        CodePageError err;
        EXPECT_FALSE(encodeCp1250(c.text, out, &err));
        EXPECT_EQ(out, QByteArray("unchanged"));
        EXPECT_EQ(err.position, c.position);
        EXPECT_EQ(err.character, c.character);
        EXPECT_FALSE(err.text.isEmpty());
        EXPECT_FALSE(fitsCp1250(c.text));
    }
}

TEST(CodePage, undefined_bytes_are_reported_not_replaced)
{
    for (int b : {0x81, 0x83, 0x88, 0x90, 0x98}) {
        QString out;
        CodePageError err;
        EXPECT_FALSE(decodeCp1250(QByteArray("ok") + char(b), out, &err)) << b;
        EXPECT_EQ(err.byte, b);
        EXPECT_EQ(err.position, 2);
    }
}
