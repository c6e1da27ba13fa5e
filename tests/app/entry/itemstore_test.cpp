#include "app/entry/itemstore.h"

#include "platform/db/dataconnection.h"
#include "tests/app/entry/entryfixture.h"

using namespace entry;
using platform::MsgResult;

namespace {

const QString kDuplicate = QStringLiteral("Ebből a kódból már lett felvive!Akarja újra felvinni?");

class CodeTabs : public EntryDataFolder {
protected:
    void SetUp() override
    {
        EntryDataFolder::SetUp();
        // Stored out of code order on purpose: a longer code before its prefix.
        setDrugs({{"123", "Betaloc", "amp", "210"},
                  {"12", "Amoxil", "db", "48"},
                  {"1", "Algopyrin", "db", "12,5"},
                  {"1%2", "Százalék", "db", "1"},
                  {"1_2", "Aláhúzás", "db", "1"},
                  {"1x2", "Iksz", "db", "1"},
                  {"AB3", "Ringer", "üveg", "230"},
                  {"A1", "Pantoprazol", "üveg", "720"},
                  {"2", "Gentamicin", "amp", "120"}});
    }
    QStringList narrowed(const QString& typed)
    {
        narrowCodes(*Data7, itemTab(ItemTab::Drug), typed);
        return codesOf(*Data7, QStringLiteral("SKOD"));
    }
};

} // namespace

TEST_F(CodeTabs, narrowing_follows_the_typed_text)
{
    const struct {
        const char* typed;
        QStringList codes;
    } cases[] = {
        {"1", {"1", "1%2", "12", "123", "1_2", "1x2"}}, // code order
        {"12", {"12", "123"}},
        {"", {"1", "1%2", "12", "123", "1_2", "1x2", "2", "A1", "AB3"}},
        {"a", {"A1", "AB3"}},          // lower-case typing finds upper-case codes
        {"1%", {"1%2"}},               // % and _ are plain characters
        {"1_", {"1_2"}},
        {"1*2", {"1%2", "12", "123", "1_2", "1x2"}}, // * is the engine's wildcard
        {"1'", {}},                    // a quote finds nothing and breaks nothing
        {"' or '1'='1", {}},
        {" 1", {}},                    // a leading blank narrows to nothing
    };
    for (const auto& c : cases) {
        EXPECT_EQ(narrowed(QString::fromUtf8(c.typed)), c.codes) << c.typed;
    }
}

TEST_F(CodeTabs, look_up_takes_the_exact_code_in_any_letter_case)
{
    // Whole table in stored order: "123" stands before "12".
    setQuery(*Data7, {QStringLiteral("select * from SGYOGY"), {}});
    ASSERT_TRUE(lookUpCode(*Data7, itemTab(ItemTab::Drug), QStringLiteral("12")));
    EXPECT_EQ(Data7->recordset().text("SNEV"), "Amoxil");
    ASSERT_TRUE(lookUpCode(*Data7, itemTab(ItemTab::Drug), QStringLiteral("ab3")));
    EXPECT_EQ(Data7->recordset().text("SKOD"), "AB3");
    EXPECT_FALSE(lookUpCode(*Data7, itemTab(ItemTab::Drug), QStringLiteral("12'")));
    EXPECT_FALSE(lookUpCode(*Data7, itemTab(ItemTab::Drug), QStringLiteral("1*")));

    // Only the rows the connection holds count: after narrowing to "2",
    // an existing "12" is not found.
    narrowCodes(*Data7, itemTab(ItemTab::Drug), QStringLiteral("2"));
    EXPECT_FALSE(lookUpCode(*Data7, itemTab(ItemTab::Drug), QStringLiteral("12")));
}

TEST_F(CodeTabs, exact_code_row_regardless_of_the_current_row)
{
    narrowCodes(*Data7, itemTab(ItemTab::Drug), QStringLiteral("12")); // current row: "12"
    Data7->recordset().moveLast();
    const auto row = findCodeRow(codes(), itemTab(ItemTab::Drug), QStringLiteral("a1"));
    ASSERT_TRUE(row);
    EXPECT_EQ(row->code, "A1");
    EXPECT_EQ(row->name, "Pantoprazol");
    EXPECT_EQ(row->unit.toString(), "üveg");
    EXPECT_DOUBLE_EQ(row->price.toDouble(), 720.0);
    EXPECT_FALSE(findCodeRow(codes(), itemTab(ItemTab::Drug), QStringLiteral("A")));
    EXPECT_FALSE(findCodeRow(codes(), itemTab(ItemTab::Drug), QStringLiteral(" A1")));
}

TEST_F(CodeTabs, search_by_code_and_by_name)
{
    const SearchKind& g = *searchKind(QStringLiteral("G"));
    ASSERT_TRUE(runSearch(*Data7, g, true, QStringLiteral("12")));
    EXPECT_EQ(codesOf(*Data7, "SKOD"), QStringList({"12", "123"}));
    ASSERT_TRUE(runSearch(*Data7, g, false, QStringLiteral("PYRIN")));
    EXPECT_EQ(codesOf(*Data7, "SKOD"), QStringList({"1"}));
    ASSERT_TRUE(runSearch(*Data7, g, true, QString())); // a lone wildcard: every row
    EXPECT_EQ(Data7->recordset().recordCount(), 9);
    EXPECT_FALSE(runSearch(*Data7, g, true, QStringLiteral("9")));
    EXPECT_EQ(Data7->recordset().recordCount(), 0);
    EXPECT_FALSE(runSearch(*Data7, g, false, QStringLiteral("'")));
}

TEST_F(CodeTabs, surgery_code_look_up_searches_the_rows_data12_holds)
{
    setSurgeryCodes({"51000", "51010", "62000"});
    EXPECT_TRUE(lookUpSurgeryCode(*Data12, QStringLiteral("62000")));
    EXPECT_EQ(Data12->recordset().text("KOD"), "62000");
    EXPECT_FALSE(lookUpSurgeryCode(*Data12, QStringLiteral("99999")));
    // A code from a converted record, filled with blanks to its field width.
    EXPECT_TRUE(lookUpSurgeryCode(*Data12, QStringLiteral("51010   ")));
    EXPECT_EQ(Data12->recordset().text("KOD"), "51010");
    EXPECT_FALSE(lookUpSurgeryCode(*Data12, QStringLiteral("   51010")));
    ASSERT_TRUE(runSearch(*Data12, *searchKind(QStringLiteral("MAP")), true, QStringLiteral("51")));
    EXPECT_FALSE(lookUpSurgeryCode(*Data12, QStringLiteral("62000")));
}

// ---- adding ---------------------------------------------------------------

namespace {

class Adding : public EntryDataFolder {
protected:
    void SetUp() override
    {
        EntryDataFolder::SetUp();
        setDrugs({{"12", "Amoxil", "db", "48"}, {"123", "Betaloc", "amp", "210"}});
        setMaterials({{"M1", "Varrófonal", "csomag", "300"}});
        setDiagnostics({{"D1", "Mellkas röntgen", "felvételenként", "1000"}});
        slotView.code[0] = "51000";
        slotView.duration[0] = "01:30";
        sotet(slotView, 0);
        form.azonosito = "124";
        form.entryCaption = "Adatfelvitel";
        form.admissionDate = "2005.08.24.";
        form.today = QDate(2006, 1, 2);
    }
    AddOutcome add(ItemTab tab, const QString& code, const QString& quantity)
    {
        form.codeText = code;
        form.quantityText = quantity;
        return addItem(itemTab(tab), slotView, aktmutet, hibajel, *Data8, codes(), form);
    }
    QVariant stored(const QString& field, int row = 0)
    {
        platform::db::DataConnection c(QStringLiteral("check"));
        c.setDatabase(entered());
        c.setRecordSource(QStringLiteral("select * from Ráfkódok"));
        c.refresh();
        return c.recordset().valueAt(row, c.recordset().fieldIndex(field));
    }

    FakeSlots slotView;
    QString aktmutet;
    bool hibajel = false;
    AddForm form;
};

} // namespace

TEST_F(Adding, each_tab_stores_its_row)
{
    const struct {
        ItemTab tab;
        const char* code;
        const char* quantity;
        const char* name;
        const char* unit;
        double value;
        const char* type;
    } cases[] = {
        {ItemTab::Drug, "12", "1,50", "Amoxil", "db", 72.0, "G"},
        {ItemTab::Material, "m1", "2,00", "Varrófonal", "csomag", 600.0, "M"},
        {ItemTab::Diagnostics, "D1", "3,00", "Mellkas röntgen", "felvételen", 3000.0, "D"},
    };
    int row = 0;
    for (const auto& c : cases) {
        ASSERT_EQ(add(c.tab, c.code, c.quantity), AddOutcome::Stored) << c.type << boxes.texts().join("|").toStdString();
        EXPECT_EQ(stored("Azonosito", row).toString(), "124");
        EXPECT_EQ(stored("Rkod", row).toString(), c.code == QString("m1") ? "M1" : c.code);
        EXPECT_EQ(stored("Rmen", row).toString(), c.quantity);
        EXPECT_EQ(stored("Rmegnevezés", row).toString(), c.name);
        EXPECT_EQ(stored("Me", row).toString(), c.unit);
        EXPECT_DOUBLE_EQ(stored("Pont", row).toDouble(), 0.0);
        EXPECT_DOUBLE_EQ(stored("Érték", row).toDouble(), c.value) << c.type;
        EXPECT_EQ(stored("Tipus", row).toString(), c.type);
        EXPECT_EQ(stored("Manuális", row), QVariant(true));
        EXPECT_EQ(stored("Fdat", row).toString(), "2005.08.24.");
        EXPECT_EQ(stored("AzonB", row).toString(), "0");
        EXPECT_EQ(stored("Mkod", row).toString(), "51000");
        EXPECT_EQ(stored("Mido", row).toString(), "01:30:00");
        ++row;
    }
    EXPECT_TRUE(boxes.shown().isEmpty());
    // The items connection ends on all items of the episode.
    EXPECT_EQ(Data8->recordset().recordCount(), 3);
}

TEST_F(Adding, items_go_only_under_a_stored_episode_or_the_new_one_being_entered)
{
    const QString gone = QStringLiteral("Az adatlap nincs felvéve! Tételt nem lehet hozzáadni!");
    const QString taken = QStringLiteral("Ezt az azonosítót már egy felvett adatlap kapta meg! Tételt nem lehet hozzáadni!");
    entered()->exec("insert into alap (Azonosito, T_szam) values (7, '777')");
    const struct {
        const char* name;
        const char* azonosito;
        bool newEpisode;
        QString refusal; // empty: stored
    } cases[] = {
        {"stored episode on show", "7", false, {}},
        {"new episode being entered", "8", true, {}},
        {"episode deleted by another program", "8", false, gone},
        {"blank form after a deleted row", "0", false, gone},
        {"identifier taken by another episode meanwhile", "7", true, taken},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        boxes->clear();
        entered()->exec("delete from Ráfkódok");
        form.azonosito = c.azonosito;
        form.newEpisode = c.newEpisode;
        const AddOutcome outcome = add(ItemTab::Material, "M1", "1,00");
        EXPECT_EQ(outcome, c.refusal.isEmpty() ? AddOutcome::Stored : AddOutcome::Refused);
        EXPECT_EQ(entered()->scalar("select count(*) from Ráfkódok").toInt(), c.refusal.isEmpty() ? 1 : 0);
        EXPECT_EQ(boxes.texts(), c.refusal.isEmpty() ? QStringList{} : QStringList{c.refusal});
        if (!c.refusal.isEmpty()) {
            EXPECT_EQ(boxes.shown().at(0).title, "Hiba!");
            EXPECT_EQ(boxes.shown().at(0).icon, platform::MsgIcon::Critical);
        }
    }
}

TEST_F(Adding, processing_mode_and_missing_admission_date)
{
    form.entryCaption = kProcessingCaption;
    form.admissionDate = kEmptyDate;
    ASSERT_EQ(add(ItemTab::Material, "M1", "1,00"), AddOutcome::Stored);
    EXPECT_EQ(stored("Manuális"), QVariant(false));
    EXPECT_EQ(stored("Fdat").toString(), "2006.01.02.");
}

TEST_F(Adding, duplicate_question_only_under_the_same_slot)
{
    ASSERT_EQ(add(ItemTab::Drug, "12", "1,00"), AddOutcome::Stored);

    boxes->answer(MsgResult::No);
    EXPECT_EQ(add(ItemTab::Drug, "12", "2,00"), AddOutcome::DuplicateDeclined);
    const auto& q = boxes.single();
    EXPECT_EQ(q.text, kDuplicate);
    EXPECT_EQ(q.title, "Figyelmeztetés!");
    EXPECT_EQ(q.icon, platform::MsgIcon::Question);
    EXPECT_EQ(q.buttons, platform::MsgButtons::YesNo);
    EXPECT_EQ(itemsOf("124"), QStringList({"12/0"}));

    boxes->clear();
    boxes->answer(MsgResult::Yes);
    EXPECT_EQ(add(ItemTab::Drug, "12", "2,00"), AddOutcome::Stored);
    EXPECT_EQ(itemsOf("124"), QStringList({"12/0", "12/0"}));

    // Same code under slot 1: no question.
    boxes->clear();
    slotView.code[1] = "51010";
    slotView.duration[1] = "00:45";
    sotet(slotView, 1);
    EXPECT_EQ(add(ItemTab::Drug, "12", "1,00"), AddOutcome::Stored);
    EXPECT_TRUE(boxes.shown().isEmpty());
    EXPECT_EQ(itemsOf("124"), QStringList({"12/0", "12/0", "12/1"}));
}

TEST_F(Adding, drug_add_refuses_a_slot_with_a_code_and_no_duration)
{
    slotView.code[4] = "62000"; // slot 4: code, empty duration; slot 0 current
    EXPECT_EQ(add(ItemTab::Drug, "12", "1,00"), AddOutcome::SlotRefused);
    EXPECT_TRUE(hibajel);
    EXPECT_EQ(boxes.single().text, "Hiányos műtétdátum!");
    EXPECT_EQ(itemsOf("124"), QStringList());

    boxes->clear();
    EXPECT_EQ(add(ItemTab::Material, "M1", "1,00"), AddOutcome::Stored);
    EXPECT_EQ(itemsOf("124"), QStringList({"M1/0"}));
}

TEST_F(Adding, refusals_store_nothing)
{
    const struct {
        ItemTab tab;
        const char* code;
        const char* quantity;
        const char* message;
    } cases[] = {
        {ItemTab::Drug, "", "1,5,0", "Nem jó a mennyiség formátuma!"},
        {ItemTab::Drug, "12", "-1", "Nem jó a mennyiség formátuma!"},
        {ItemTab::Material, "M1", "kettő", "Nem jó a mennyiség formátuma!"},
        {ItemTab::Drug, " ", "1,00", "Nincs kiválasztott kód!"},
        {ItemTab::Drug, "12", "", "Meg kell adnia a mennyiséget is!"},
        {ItemTab::Drug, "99", "1,00", "Nincs ilyen kód!"},       // not in the code table
        {ItemTab::Diagnostics, "D9", "1,00", "Nincs ilyen kód!"}, // diagnostics too
        {ItemTab::Material, "12", "1,00", "Nincs ilyen kód!"},    // a drug code on the material tab
    };
    for (const auto& c : cases) {
        boxes->clear();
        EXPECT_EQ(add(c.tab, QString::fromUtf8(c.code), QString::fromUtf8(c.quantity)), AddOutcome::Refused)
            << c.code << "|" << c.quantity;
        const auto& box = boxes.single();
        EXPECT_EQ(box.text, QString::fromUtf8(c.message));
        EXPECT_EQ(box.title, "Hiba!");
        EXPECT_EQ(box.icon, platform::MsgIcon::Critical);
    }
    EXPECT_EQ(itemsOf("124"), QStringList());
}

TEST_F(Adding, no_current_slot_yet_stores_no_surgery)
{
    feherit(slotView);
    ASSERT_EQ(add(ItemTab::Material, "M1", "1,00"), AddOutcome::Stored);
    EXPECT_EQ(aktmutet, "");
    EXPECT_EQ(stored("AzonB").toString(), "");
    EXPECT_FALSE(stored("Mkod").isValid());
    EXPECT_FALSE(stored("Mido").isValid());
}

// ---- deleting -------------------------------------------------------------

namespace {

class Deleting : public EntryDataFolder {
protected:
    void SetUp() override
    {
        EntryDataFolder::SetUp();
        addItemRow("124", "A", "0", "51000");
        addItemRow("124", "B", "0", "51000");
        addItemRow("124", "C", "1", "62000");
        showEpisodeItems(*Data8, "124");
    }
    QString current() { return currentText(Data8->recordset(), "Rkod"); }
};

} // namespace

TEST_F(Deleting, selection_moves_to_the_follower_or_the_new_last_row)
{
    Data8->recordset().setAbsolutePosition(1);
    boxes->answer(MsgResult::Yes);
    EXPECT_EQ(deleteSelectedItem(*Data8), ItemDeletion::Deleted);
    EXPECT_EQ(boxes.single().text, "Biztos törli?");
    EXPECT_EQ(boxes.single().title, "Kérdés");
    EXPECT_EQ(current(), "C");
    EXPECT_EQ(itemsOf("124"), QStringList({"A/0", "C/1"}));

    boxes->answer(MsgResult::Yes);
    EXPECT_EQ(deleteSelectedItem(*Data8), ItemDeletion::Deleted); // the last row
    EXPECT_EQ(current(), "A");

    boxes->answer(MsgResult::Yes);
    EXPECT_EQ(deleteSelectedItem(*Data8), ItemDeletion::Deleted); // the only row
    EXPECT_EQ(Data8->recordset().recordCount(), 0);

    boxes->clear();
    EXPECT_EQ(deleteSelectedItem(*Data8), ItemDeletion::NoItems);
    EXPECT_EQ(boxes.single().text, "Nincs törlendő tétel!");
    EXPECT_EQ(boxes.single().title, "Figyelmeztetés");
    EXPECT_EQ(boxes.single().icon, platform::MsgIcon::Critical);
}

TEST_F(Deleting, no_and_no_selection_delete_nothing)
{
    Data8->recordset().setAbsolutePosition(1);
    boxes->answer(MsgResult::No);
    EXPECT_EQ(deleteSelectedItem(*Data8), ItemDeletion::Declined);
    EXPECT_EQ(current(), "B");

    boxes->clear();
    Data8->recordset().moveLast();
    Data8->recordset().moveNext(); // past the last row
    EXPECT_EQ(deleteSelectedItem(*Data8), ItemDeletion::NoneSelected);
    EXPECT_EQ(boxes.single().text, "Nincs kijelölt tétel!");
    EXPECT_EQ(itemsOf("124"), QStringList({"A/0", "B/0", "C/1"}));
}

TEST_F(Deleting, surgery_goes_with_every_item_of_its_code_in_any_slot)
{
    addItemRow("124", "D", "3", "51000"); // the same surgery code in another slot
    addItemRow("125", "E", "0", "51000"); // another episode
    addSurgery("124", "51000");
    addSurgery("124", "62000");
    setQuery(*Data6, {QStringLiteral("select * from műtétek where Azonosito = ?"), {"124"}});

    boxes->answer(MsgResult::No);
    EXPECT_FALSE(deleteSelectedSurgery(*Data6, *Data8, "124"));
    EXPECT_EQ(itemsOf("124").size(), 4);

    boxes->answer(MsgResult::Yes);
    ASSERT_TRUE(deleteSelectedSurgery(*Data6, *Data8, "124"));
    EXPECT_EQ(itemsOf("124"), QStringList({"C/1"}));
    EXPECT_EQ(itemsOf("125"), QStringList({"E/0"}));
    Data6->refresh();
    EXPECT_EQ(codesOf(*Data6, "Mkod"), QStringList({"62000"}));
}

TEST_F(Deleting, surgery_deletion_without_a_selected_surgery_does_nothing)
{
    setQuery(*Data6, {QStringLiteral("select * from műtétek where Azonosito = ?"), {"999"}});
    EXPECT_FALSE(deleteSelectedSurgery(*Data6, *Data8, "999"));
    EXPECT_TRUE(boxes.shown().isEmpty());
    EXPECT_EQ(itemsOf("124").size(), 3);
}
