#include "app/entry/itemrules.h"

#include "platform/ui/msgbox.h"

#include <gtest/gtest.h>

using namespace entry;

TEST(ItemRules, tabs_differ_only_as_described)
{
    const auto& drug = itemTab(ItemTab::Drug);
    const auto& material = itemTab(ItemTab::Material);
    const auto& diag = itemTab(ItemTab::Diagnostics);
    EXPECT_EQ(drug.caption, "Gyógyszer");
    EXPECT_EQ(material.caption, "Műtéti eh. anyageszköz");
    EXPECT_EQ(diag.caption, "Diagnosztika");
    EXPECT_EQ(QStringList({drug.typeLetter, material.typeLetter, diag.typeLetter}), QStringList({"G", "M", "D"}));
    EXPECT_EQ(QStringList({drug.connection, material.connection, diag.connection}),
              QStringList({"Data7", "Data5", "Data11"}));
    EXPECT_TRUE(drug.checksSlotDurations);
    EXPECT_FALSE(material.checksSlotDurations || diag.checksSlotDurations);
    EXPECT_FALSE(diag.codeBoxLookUp);
    EXPECT_EQ(diag.unitMaxLength, 10);
    EXPECT_EQ(itemTabOfKind("M"), &material);
    EXPECT_EQ(itemTabOfKind("MAP"), nullptr);
}

TEST(ItemRules, narrowing_binds_the_typed_text_as_a_prefix_pattern)
{
    const auto& drug = itemTab(ItemTab::Drug);
    const BoundQuery narrowed = narrowingQuery(drug, "12");
    EXPECT_FALSE(narrowed.sql.contains("12"));
    EXPECT_EQ(narrowed.params, QVariantList{"12*"});
    // A quote is a value, never part of the text.
    EXPECT_EQ(narrowingQuery(drug, "1'2").params, QVariantList{"1'2*"});
    EXPECT_FALSE(narrowingQuery(drug, "1'2").sql.contains('\''));
    // A leading blank still narrows (to codes beginning with it).
    EXPECT_EQ(narrowingQuery(drug, " 1").params, QVariantList{" 1*"});
    EXPECT_EQ(narrowingQuery(drug, "  "), wholeTableQuery(drug));
    EXPECT_TRUE(wholeTableQuery(drug).params.isEmpty());
}

TEST(ItemRules, item_row_from_code_row_and_form)
{
    CodeRow code{"ABC12", "Aspirin", QVariant("doboz"), QVariant(40.0)};
    ItemContext ctx;
    ctx.azonosito = "124";
    ctx.quantityText = "1,50";
    ctx.processingConverted = false;
    ctx.admissionDate = "2005.08.24.";
    ctx.today = QDate(2006, 1, 2);
    ctx.aktmutet = "3";
    ctx.slotCode = "51234";
    ctx.slotDuration = "01:30";

    ItemRow row = makeItemRow(itemTab(ItemTab::Drug), code, ctx);
    EXPECT_EQ(row.azonosito, "124");
    EXPECT_EQ(row.rkod, "ABC12");
    EXPECT_EQ(row.rmen, "1,50");
    EXPECT_EQ(row.rmegnevezes, "Aspirin");
    EXPECT_DOUBLE_EQ(row.ertek.toDouble(), 60.0);
    EXPECT_EQ(row.tipus, "G");
    EXPECT_EQ(row.me.toString(), "doboz");
    EXPECT_EQ(row.manualis, true);
    EXPECT_EQ(row.fdat, "2005.08.24.");
    EXPECT_EQ(row.azonB, "3");
    EXPECT_EQ(row.mkod, QString("51234"));
    EXPECT_EQ(row.mido, QString("01:30:00"));

    // Processing a converted record, no admission date, empty duration,
    // a long diagnostics unit and no price.
    ctx.processingConverted = true;
    ctx.admissionDate = kEmptyDate;
    ctx.slotDuration = "  :  ";
    CodeRow diag{"D1", "Röntgen", QVariant("123456789012"), QVariant()};
    row = makeItemRow(itemTab(ItemTab::Diagnostics), diag, ctx);
    EXPECT_EQ(row.manualis, false);
    EXPECT_EQ(row.fdat, "2006.01.02.");
    EXPECT_EQ(row.mido, QString("  :  :00"));
    EXPECT_EQ(row.me.toString(), "1234567890");
    EXPECT_FALSE(row.egysegar.isValid());
    EXPECT_FALSE(row.ertek.isValid());
    EXPECT_EQ(row.tipus, "D");

    // Before any slot was current: no surgery written.
    ctx.aktmutet = "";
    row = makeItemRow(itemTab(ItemTab::Material), code, ctx);
    EXPECT_EQ(row.azonB, "");
    EXPECT_FALSE(row.mkod.has_value());
    EXPECT_FALSE(row.mido.has_value());
}

TEST(ItemRules, refusals_in_the_order_they_are_tested)
{
    const QString format = "Nem jó a mennyiség formátuma!";
    const QString noCode = "Nincs kiválasztott kód!";
    const QString noQuantity = "Meg kell adnia a mennyiséget is!";
    const struct {
        const char* code;
        const char* quantity;
        QString expected;
    } cases[] = {
        {"", "1,5,0", format},          // format before the missing code
        {"A1", "-2", format},
        {"A1", "abc", format},
        {"A1", "1 000 000,00", format}, // does not fit Rmen
        {"  ", "2,00", noCode},
        {"A1", " ", noQuantity},
        {"A1", "2,50", QString()},
        {"A1", "1,5", QString()},
    };
    for (const auto& c : cases) {
        const auto r = quantityAndCodeRefusal(c.code, c.quantity);
        EXPECT_EQ(r ? r->text : QString(), c.expected) << c.code << "|" << c.quantity;
        if (r) {
            EXPECT_EQ(r->title, "Hiba!");
            EXPECT_EQ(r->style, platform::Critical);
        }
    }
}

TEST(ItemRules, search_kinds_and_their_queries)
{
    EXPECT_EQ(searchKind("X"), nullptr);
    EXPECT_EQ(searchKind(""), nullptr);
    const SearchKind* g = searchKind("G");
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->connection, "Data7");
    EXPECT_EQ(g->notFoundByCode, "Nincs ilyen kódú gyógyszer!");
    EXPECT_EQ(g->notFoundByName, "Nincs ilyen nevű gyógyszer!");
    EXPECT_EQ(searchQuery(*g, true, "12").params, QVariantList{"12*"});
    EXPECT_EQ(searchQuery(*g, false, "asp").params, QVariantList{"*asp*"});
    EXPECT_EQ(searchKind("D")->notFoundByName, "Nincs ilyen nevű diagnózis!");
    EXPECT_EQ(searchKind("MAP")->connection, "Data12");
    EXPECT_EQ(searchKind("M")->notFoundByCode, "Nincs ilyen kódú!");
}
