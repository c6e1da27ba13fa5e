// The export line, piece by piece, as the receiver reads it by position.
#include "app/exchange/exportline.h"

#include "tests/support/qtprinters.h"

#include <gtest/gtest.h>

#include <functional>

using namespace exchange;

namespace {

ExportEpisode episode()
{
    ExportEpisode e;
    e.azonosito = QStringLiteral("17");
    e.intKod = QStringLiteral("1234");
    e.intTipus = QStringLiteral("1");
    e.tSzam = QStringLiteral("123456789");
    e.taj = QStringLiteral("987654321");
    e.tsor = QStringLiteral("1");
    e.fdat = QStringLiteral("2005.08.01.");
    e.fido = QStringLiteral("08:30:00");
    e.okod = QStringLiteral("0101");
    e.tdat = QStringLiteral("2005.08.05.");
    e.tido = QStringLiteral("14:05:00");
    e.ojele = QStringLiteral("0");
    e.tovsors = QStringLiteral("2");
    e.vjel = true;
    return e;
}

// Pieces 1 to 11 of episode().
const QString kHead = QStringLiteral("1234" "1" "123456789" "987654321" " 1" "20050801" "0830" "0101" "20050805"
                                     "1405" "0");
const QString kNoSurgery = QStringLiteral("     ").repeated(5);

QString lineOf(const ExportFormat& f, const ExportEpisode& e, const ExportItem& item)
{
    const EpisodeLines::Line l = EpisodeLines(f, e).line(item);
    EXPECT_FALSE(l.fault.has_value());
    return l.text;
}

} // namespace

TEST(ExportLine, surgical_line_is_written_piece_by_piece)
{
    ExportEpisode none = episode();
    ExportEpisode two = episode();
    two.surgeries = {QStringLiteral("51000"), QStringLiteral("620")};
    two.vjel = false;
    ExportEpisode seven = episode();
    for (int i = 1; i <= 7; ++i)
        seven.surgeries << QString::number(i);
    seven.vjel = std::nullopt; // no value is "0", never another episode's sign

    const struct {
        const char* what;
        ExportEpisode episode;
        ExportItem item;
        QString expected;
    } cases[] = {
        {"no surgery, 1,5", none, {"AB3", "1,5", "01:30:00"},
         kHead + "AB3" + "      1,50" + kNoSurgery + "0130" + "1" + "2"},
        {"two surgeries, 0,125", two, {"12345", "0,125", "00:45:00"},
         kHead + "12345" + "      0,13" + "51000" + "  620" + QString(15, u' ') + "0045" + "0" + "2"},
        {"seven surgeries write five, 1,005 and no duration", seven, {"12345", "1,005", QString()},
         kHead + "12345" + "      1,01" + "    1    2    3    4    5" + "    " + "0" + "2"},
        {"a point read as the decimal comma", none, {"12345", "12.25", "00:45:00"},
         kHead + "12345" + "     12,25" + kNoSurgery + "0045" + "1" + "2"},
        {"grouped thousands, an accented code", none, {"ÁRVÍZ1", "1 234,50", "00:45:00"},
         kHead + "ÁRVÍZ1" + "   1234,50" + kNoSurgery + "0045" + "1" + "2"},
        {"empty quantity, a long code as stored", none, {"ABCDEFGHIJKLMNOP", "", "00:45:00"},
         kHead + "ABCDEFGHIJKLMNOP" + QString(10, u' ') + kNoSurgery + "0045" + "1" + "2"},
    };
    for (const auto& c : cases) {
        const QString line = lineOf(surgicalExportFormat(), c.episode, c.item);
        EXPECT_EQ(line, c.expected) << c.what;
        EXPECT_EQ(line.size(), 95 + c.item.rkod.size()) << c.what;
    }
}

TEST(ExportLine, every_fixed_piece_keeps_its_width_whatever_is_stored)
{
    ExportEpisode e;
    e.intKod = QStringLiteral("12");
    e.intTipus = QStringLiteral("A");
    e.tSzam = QStringLiteral("1234");
    e.taj = QString();                       // missing: blanks
    e.tsor = QStringLiteral("3");
    e.fdat = QStringLiteral("2005.8.1.");    // not the stored form
    e.fido = QStringLiteral("8:30");
    e.okod = QStringLiteral("AB");
    e.tdat = QStringLiteral("    .  .  .");  // the empty date mask
    e.tido = QStringLiteral("  :  :00");
    e.ojele = QString();
    e.tovsors = QString();
    e.surgeries = {QStringLiteral("123")};
    const ExportItem item{QStringLiteral("X"), QStringLiteral("2"), QStringLiteral("1:30")};

    const QString line = lineOf(surgicalExportFormat(), e, item);
    EXPECT_EQ(line, QStringLiteral("  12" "A" "     1234" "         " " 3" "        " "    " "  AB" "        " "    "
                                   " " "X" "      2,00" "  123" "                    " "    " "0" " "));
    EXPECT_EQ(line.size(), 96);
}

// A value wider than its piece is never cut into a different value: every
// line of its episode is refused, naming the field and the value as stored.
// A value that fills its piece exactly is written whole.
TEST(ExportLine, value_wider_than_its_piece_refuses_the_line)
{
    const struct {
        const char* what;
        const ExportFormat& format;
        std::function<void(ExportEpisode&)> store;
        ExportField field;
        const char* value;
    } cases[] = {
        {"institution code", surgicalExportFormat(), [](ExportEpisode& e) { e.intKod = "12345"; }, ExportField::IntKod, "12345"},
        {"care type", wardExportFormat(), [](ExportEpisode& e) { e.intTipus = "AB"; }, ExportField::IntTipus, "AB"},
        {"register number", surgicalExportFormat(), [](ExportEpisode& e) { e.tSzam = "12345678901"; }, ExportField::TSzam, "12345678901"},
        {"register number, ward", wardExportFormat(), [](ExportEpisode& e) { e.tSzam = "1234567890"; }, ExportField::TSzam, "1234567890"},
        {"TAJ", surgicalExportFormat(), [](ExportEpisode& e) { e.taj = "9876543210"; }, ExportField::Taj, "9876543210"},
        {"sequence", wardExportFormat(), [](ExportEpisode& e) { e.tsor = "123"; }, ExportField::Tsor, "123"},
        {"ward code", surgicalExportFormat(), [](ExportEpisode& e) { e.okod = "01020"; }, ExportField::Okod, "01020"},
        {"ward code, ward", wardExportFormat(), [](ExportEpisode& e) { e.okod = "01020"; }, ExportField::Okod, "01020"},
        {"ward sign", wardExportFormat(), [](ExportEpisode& e) { e.ojele = "10"; }, ExportField::Ojele, "10"},
        {"outcome", surgicalExportFormat(), [](ExportEpisode& e) { e.tovsors = "10"; }, ExportField::Tovsors, "10"},
        {"third surgery", surgicalExportFormat(),
         [](ExportEpisode& e) { e.surgeries = {"1", "2", "123456"}; }, ExportField::Surgery3, "123456"},
    };
    const ExportItem item{QStringLiteral("AB3"), QStringLiteral("1"), QStringLiteral("01:30:00")};
    for (const auto& c : cases) {
        ExportEpisode e = episode();
        c.store(e);
        const EpisodeLines lines(c.format, e);
        QString buffer = QStringLiteral("earlier lines");
        const auto fault = lines.appendLine(item, buffer);
        ASSERT_TRUE(fault.has_value()) << c.what;
        EXPECT_EQ(fault->field, c.field) << c.what;
        EXPECT_EQ(fault->kind, QuantityFault::TooWide) << c.what;
        EXPECT_EQ(fault->value, QString::fromUtf8(c.value)) << c.what;
        EXPECT_EQ(buffer, "earlier lines") << c.what;
    }

    // A sixth surgery is not written, so its length does not matter.
    ExportEpisode sixth = episode();
    sixth.surgeries = {"1", "2", "3", "4", "5", "1234567"};
    EXPECT_FALSE(EpisodeLines(surgicalExportFormat(), sixth).line(item).fault.has_value());
    // Full widths are written whole (the ward line has no outcome).
    ExportEpisode full = episode();
    full.tovsors = QStringLiteral("10");
    full.tsor = QStringLiteral("12");
    full.surgeries = {QStringLiteral("12345")};
    EXPECT_TRUE(lineOf(wardExportFormat(), full, item).startsWith(QStringLiteral("1234" "1" "123456789" "987654321" "12")));
    full.tovsors = QStringLiteral("2");
    EXPECT_TRUE(lineOf(surgicalExportFormat(), full, item).contains(QStringLiteral("      1,0012345")));
}

TEST(ExportLine, ward_line_has_fourteen_pieces)
{
    ExportEpisode e = episode();
    e.fdat = QStringLiteral("2006.10.05.");
    e.fido = QStringLiteral("08:30:00");
    e.tdat = QStringLiteral("2006.10.09.");
    e.tido = QStringLiteral("14:00:00");
    e.vjel = false;
    e.surgeries = {QStringLiteral("51000")}; // never written by the ward line
    const QString line = lineOf(wardExportFormat(), e, {QStringLiteral("1234567"), QStringLiteral("1.5"), QString()});
    EXPECT_EQ(line, QStringLiteral("1234" "1" "123456789" "987654321" " 1" "20061005" "0830" "0101" "20061009" "1400"
                                   "0" "1234567" "      1,50" "0"));
    EXPECT_EQ(line.size(), 72);
    EXPECT_EQ(wardExportFormat().fixedWidth(), 65);
    EXPECT_EQ(surgicalExportFormat().fixedWidth(), 95);
}

TEST(ExportLine, quantity_is_rounded_on_its_digits_or_refused)
{
    const struct {
        const char* stored;
        const char* written;
        QuantityFault fault;
    } cases[] = {
        {"1,5", "      1,50", QuantityFault::None},
        {"2", "      2,00", QuantityFault::None},
        {"0,125", "      0,13", QuantityFault::None},
        {"1,005", "      1,01", QuantityFault::None},     // a double would give 1,00
        {"2,675", "      2,68", QuantityFault::None},     // and 2,67 here
        {"0,004", "      0,00", QuantityFault::None},
        {"99,995", "    100,00", QuantityFault::None},
        {"007,5", "      7,50", QuantityFault::None},
        {"1234,5", "   1234,50", QuantityFault::None},
        {"1 234,50", "   1234,50", QuantityFault::None},
        {"  ", "          ", QuantityFault::None},
        {",5", "      0,50", QuantityFault::None},
        {"5,", "      5,00", QuantityFault::None},
        {".5", "      0,50", QuantityFault::None},
        {",", "", QuantityFault::Unreadable},
        {"9999999,99", "9999999,99", QuantityFault::None},
        {"9999999,995", "", QuantityFault::TooWide},
        {"12345678", "", QuantityFault::TooWide},
        {"abc", "", QuantityFault::Unreadable},
        {"-2", "", QuantityFault::Unreadable},
        {"1.234,5", "", QuantityFault::Unreadable},
        {"$2,50", "", QuantityFault::Unreadable},
    };
    for (const auto& c : cases) {
        const QuantityPiece q = quantityPiece(QString::fromUtf8(c.stored));
        EXPECT_EQ(q.fault, c.fault) << c.stored;
        EXPECT_EQ(q.text, QString::fromUtf8(c.written)) << c.stored;
    }
}

TEST(ExportLine, refused_quantity_refuses_the_line)
{
    const EpisodeLines lines(surgicalExportFormat(), episode());
    const EpisodeLines::Line l = lines.line({QStringLiteral("AB3"), QStringLiteral("sok"), QString()});
    ASSERT_TRUE(l.fault.has_value());
    EXPECT_EQ(l.fault->field, ExportField::Rmen);
    EXPECT_EQ(l.fault->kind, QuantityFault::Unreadable);
    EXPECT_EQ(l.fault->value, "sok");
    EXPECT_TRUE(l.text.isEmpty());
}
