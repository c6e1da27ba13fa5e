// The ward-code window: adding, correcting and deleting codes, its refusals,
// the view of the table, and how it holds and gives back the main window.
#include "tests/app/secondary/secondaryfixture.h"

#include "app/windows/okodkarbform.h"
#include "platform/db/dataconnection.h"
#include "platform/ui/dbcombo.h"
#include "platform/ui/dbgrid.h"

#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>

using platform::MsgIcon;

namespace {

struct WardRow {
    QString okod, name, ojelleg;
    bool operator==(const WardRow&) const = default;
};

void PrintTo(const WardRow& r, std::ostream* os)
{
    *os << r.okod.toStdString() << "|" << r.name.toStdString() << "|" << r.ojelleg.toStdString();
}

QStringList comboEntries(const platform::DBCombo* combo)
{
    QStringList out;
    for (int i = 0; i < combo->count(); ++i)
        out << combo->itemText(i);
    return out;
}

} // namespace

class WardCodesTest : public SecondaryTest {
protected:
    // The main window, in a data folder without the sample ward codes.
    kezdo& openWithoutWards()
    {
        kezdo& w = open();
        entered()->exec(QStringLiteral("delete from Osztálykódok"));
        w.Data2->refresh();
        return w;
    }

    okodkarbform& openWardCodes()
    {
        kezdo& w = openWithoutWards();
        w.okodkarb->trigger();
        EXPECT_TRUE(w.okodkarbWindow);
        activate(w.okodkarbWindow);
        boxes->clear();
        return *w.okodkarbWindow;
    }

    void addWard(const QString& okod, const QString& name, const QString& ojelleg)
    {
        entered()->exec(QStringLiteral("insert into Osztálykódok (Okod, Megnevezés, Ojelleg) values (?, ?, ?)"),
                        {okod, name, ojelleg});
    }

    QList<WardRow> rows()
    {
        QList<WardRow> out;
        auto rs = platform::db::Recordset::open(entered(), QStringLiteral("Osztálykódok"));
        for (int i = 0; i < rs->recordCount(); ++i) {
            rs->setAbsolutePosition(i);
            out.append({rs->text(QStringLiteral("Okod")), rs->text(QStringLiteral("Megnevezés")),
                        rs->text(QStringLiteral("Ojelleg"))});
        }
        return out;
    }

    static bool anyOptionSelected(const okodkarbform& f)
    {
        return f.SSOption1->isChecked() || f.SSOption2->isChecked() || f.SSOption3->isChecked()
            || f.SSOption4->isChecked();
    }
};

TEST(WardCodeRules, care_types_store_their_first_character_and_codes_need_four_characters)
{
    QStringList stored;
    for (const QString& entry : wardcodes::careTypeEntries())
        stored << wardcodes::storedCareType(entry);
    EXPECT_EQ(stored, (QStringList{"1", "2", "3", "4", "5", "A", "C", "E", "G", "K", "R", "M"}));
    EXPECT_EQ(wardcodes::storedCareType(QStringLiteral("x kézzel írt")), QStringLiteral("x"));

    const std::pair<const char*, bool> lengths[] = {
        {"", false}, {"   ", false}, {"0", true}, {"01", true}, {" 01", true}, {"0101", false}, {" 01 ", false},
    };
    for (const auto& [code, refused] : lengths)
        EXPECT_EQ(wardcodes::codeLengthRefused(QString::fromUtf8(code)), refused) << '"' << code << '"';
}

TEST_F(WardCodesTest, adding_stores_the_row_and_the_main_window_lists_it_at_once)
{
    okodkarbform& f = openWardCodes();
    typeInto(f.Text1, QStringLiteral("0101"));
    typeInto(f.Text2, QStringLiteral("Belgyógyászat"));
    f.Combo1->setCurrentIndex(5); // "A = ápolási otthon"
    clickOn(f.SSOption1);

    const platform::MsgBoxRequest& box = boxes.single();
    EXPECT_EQ(box.text, QStringLiteral("Az adatok felvitele sikeres!"));
    EXPECT_EQ(box.title, QStringLiteral("Sebrix"));
    EXPECT_EQ(box.icon, MsgIcon::None);
    EXPECT_EQ(rows(), (QList<WardRow>{{"0101", "Belgyógyászat", "A"}}));
    EXPECT_EQ(f.Text1->text(), QString());
    EXPECT_EQ(f.Text2->text(), QString());
    EXPECT_EQ(f.Combo1->currentText(), QString());
    EXPECT_FALSE(anyOptionSelected(f));
    EXPECT_EQ(comboEntries(window->DBCombo1), QStringList{"0101"});

    // The same code again is a second row: the window enforces no uniqueness.
    typeInto(f.Text1, QStringLiteral("0101"));
    EXPECT_EQ(f.Text2->text(), QStringLiteral("Belgyógyászat"));
    EXPECT_EQ(f.Combo1->currentText(), QStringLiteral("A")) << "the stored character alone";
    f.SSOption1->click();
    EXPECT_EQ(rows().size(), 2);
    EXPECT_EQ(comboEntries(window->DBCombo1), (QStringList{"0101", "0101"}));
}

TEST_F(WardCodesTest, a_fresh_data_folder_has_two_sample_ward_codes_to_choose_from)
{
    for (const ProgramInfo* info : {&ProgramInfo::sebrix(), &ProgramInfo::zorivozure()}) {
        SCOPED_TRACE(info->name.toStdString());
        kezdo& w = open(*info);
        EXPECT_EQ(comboEntries(w.DBCombo1), (QStringList{"0111", "0211"}));
        EXPECT_EQ(rows(), (QList<WardRow>{{"0111", "Belgyógyászat", "1"}, {"0211", "Sebészet", "1"}}));
        window.reset();
    }
}

TEST_F(WardCodesTest, correcting_and_deleting_find_the_code_in_any_letter_case)
{
    kezdo& w = openWithoutWards();
    addWard(QStringLiteral("AB01"), QStringLiteral("Sebészet"), QStringLiteral("1"));
    addWard(QStringLiteral("0202"), QStringLiteral("Szemészet"), QStringLiteral("1"));
    w.Data2->refresh();
    w.okodkarb->trigger();
    okodkarbform& f = *w.okodkarbWindow;
    activate(&f);

    typeInto(f.Text1, QStringLiteral("ab01"));
    EXPECT_EQ(f.Text2->text(), QStringLiteral("Sebészet"));
    f.Text2->setText(QStringLiteral("Általános sebészet"));
    f.Combo1->setEditText(QStringLiteral("R kézzel"));
    clickOn(f.SSOption2);
    EXPECT_EQ(boxes.texts(), QStringList{"A javítás sikeres volt!"});
    // The correction rewrites the stored code in the typed case and keeps the boxes.
    EXPECT_EQ(rows(), (QList<WardRow>{{"ab01", "Általános sebészet", "R"}, {"0202", "Szemészet", "1"}}));
    EXPECT_EQ(f.Text1->text(), QStringLiteral("ab01"));
    EXPECT_EQ(f.Text2->text(), QStringLiteral("Általános sebészet"));
    EXPECT_FALSE(anyOptionSelected(f));
    EXPECT_EQ(comboEntries(w.DBCombo1), (QStringList{"ab01", "0202"}));

    boxes->clear();
    f.Text1->setText(QStringLiteral("AB01"));
    clickOn(f.SSOption3);
    EXPECT_EQ(boxes.texts(), QStringList{"Az AB01 osztálykód törölve a regisztrációból!"});
    EXPECT_EQ(rows(), (QList<WardRow>{{"0202", "Szemészet", "1"}}));
    EXPECT_EQ(f.Text1->text(), QString());
    EXPECT_EQ(f.Text2->text(), QString());
    EXPECT_EQ(f.Combo1->currentText(), QString());
    EXPECT_EQ(comboEntries(w.DBCombo1), QStringList{"0202"});
}

TEST_F(WardCodesTest, refusals_store_nothing_and_say_why)
{
    struct Case {
        const char* what;
        QString code, name, careType;
        int option; // 1 add, 2 correct, 3 delete
        QString message;
        MsgIcon icon;
        QString title;
        bool optionStaysSelected;
    };
    const QString missing = QStringLiteral("Hiányzó adatok");
    const QString unknown = QStringLiteral("Ilyen osztálykód nincs regisztrálva!");
    const QString shortCode = wardcodes::kCodeLengthMessage;
    const Case cases[] = {
        {"add without a name", "0303", "", "1", 1, missing, MsgIcon::Critical, "Hiba!", false},
        {"add without a care type", "0303", "Fül-orr-gégészet", " ", 1, missing, MsgIcon::Critical, "Hiba!", false},
        {"add without a code", "  ", "Fül-orr-gégészet", "1", 1, missing, MsgIcon::Critical, "Hiba!", false},
        {"add with a short code", "03", "Fül-orr-gégészet", "1", 1, shortCode, MsgIcon::None, "Sebrix", false},
        {"correct without a name", "0101", "", "1", 2, missing, MsgIcon::Critical, "Hiba!", true},
        {"correct with a short code", "01", "Fül-orr-gégészet", "1", 2, shortCode, MsgIcon::None, "Sebrix", true},
        {"correct an unknown code", "0909", "Fül-orr-gégészet", "1", 2, unknown, MsgIcon::None, "Sebrix", false},
        {"delete an unknown code", "0909", "", "", 3, unknown, MsgIcon::None, "Sebrix", false},
        {"delete without a code", "", "", "", 3, "Adjon meg osztálykódot!", MsgIcon::None, "Sebrix", false},
    };
    okodkarbform& f = openWardCodes();
    addWard(QStringLiteral("0101"), QStringLiteral("Belgyógyászat"), QStringLiteral("1"));
    const QList<WardRow> before = rows();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        f.Text1->setText(c.code);
        f.Text2->setText(c.name);
        f.Combo1->setEditText(c.careType);
        boxes->clear();
        QRadioButton* option = c.option == 1 ? f.SSOption1 : c.option == 2 ? f.SSOption2 : f.SSOption3;
        option->click();
        const platform::MsgBoxRequest& box = boxes.single();
        EXPECT_EQ(box.text, c.message);
        EXPECT_EQ(box.icon, c.icon);
        EXPECT_EQ(box.title, c.title);
        EXPECT_EQ(rows(), before);
        EXPECT_EQ(option->isChecked(), c.optionStaysSelected);
        f.ssoptiontrl();
    }
}

TEST_F(WardCodesTest, leaving_the_code_box_with_a_short_code_sends_the_focus_back)
{
    okodkarbform& f = openWardCodes();
    for (const char* code : {"", " 01 ", "0101"}) {
        SCOPED_TRACE(code);
        boxes->clear();
        typeInto(f.Text1, QString::fromUtf8(code));
        focusOn(f.Text2);
        EXPECT_TRUE(boxes.shown().isEmpty());
        f.Text1->clear();
    }
    typeInto(f.Text1, QStringLiteral("01"));
    focusOn(f.Text2);
    const platform::MsgBoxRequest& box = boxes.single();
    EXPECT_EQ(box.text, wardcodes::kCodeLengthMessage);
    EXPECT_EQ(box.icon, MsgIcon::None);
    EXPECT_EQ(QApplication::focusWidget(), f.Text1);
}

TEST_F(WardCodesTest, a_quote_in_a_code_is_stored_found_and_deleted_like_any_character)
{
    okodkarbform& f = openWardCodes();
    f.Text1->setText(QStringLiteral("0'1A"));
    f.Text2->setText(QStringLiteral("Idé'zőjel"));
    f.Combo1->setEditText(QStringLiteral("1"));
    f.SSOption1->click();
    EXPECT_EQ(rows(), (QList<WardRow>{{"0'1A", "Idé'zőjel", "1"}}));

    f.Text1->setText(QStringLiteral("0'1a"));
    EXPECT_EQ(f.Text2->text(), QStringLiteral("Idé'zőjel"));
    boxes->clear();
    f.SSOption3->click();
    EXPECT_EQ(boxes.texts(), QStringList{"Az 0'1a osztálykód törölve a regisztrációból!"});
    EXPECT_TRUE(rows().isEmpty());
}

TEST_F(WardCodesTest, viewing_sorts_the_table_and_a_double_click_hides_it)
{
    okodkarbform& f = openWardCodes();
    addWard(QStringLiteral("0303"), QStringLiteral("C"), QStringLiteral("1"));
    addWard(QStringLiteral("0101"), QStringLiteral("A"), QStringLiteral("1"));
    addWard(QStringLiteral("0202"), QStringLiteral("B"), QStringLiteral("1"));
    EXPECT_FALSE(f.DBGrid1->isVisible());

    f.SSOption4->click();
    EXPECT_TRUE(f.DBGrid1->isVisible());
    EXPECT_FALSE(anyOptionSelected(f));
    auto& model = f.DBGrid1->recordsetModel();
    QStringList shown, headings;
    for (int r = 0; r < model.rowCount(); ++r)
        shown << model.index(r, 0).data().toString();
    for (int c = 0; c < model.columnCount(); ++c)
        headings << model.headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(shown, (QStringList{"0101", "0202", "0303"}));
    EXPECT_EQ(headings, (QStringList{"Osztálykód", "Megnevezés", "Osztályjelleg"}));

    // A cell of the grid is corrected in place and stored with no check.
    EXPECT_TRUE(model.setData(model.index(1, 1), QStringLiteral("B2")));
    EXPECT_EQ(scalar(QStringLiteral("select Megnevezés from Osztálykódok where Okod = '0202'")).toString(),
              QStringLiteral("B2"));

    emit f.DBGrid1->DblClick();
    EXPECT_FALSE(f.DBGrid1->isVisible());
    EXPECT_EQ(f.Data1->recordSource(), QStringLiteral("select * from Osztálykódok"));
    EXPECT_EQ(f.Data1->recordset().text(QStringLiteral("Okod")), QStringLiteral("0303"));
}

TEST_F(WardCodesTest, the_menu_disables_the_main_window_the_toolbar_does_not_and_closing_gives_it_back)
{
    kezdo& w = open();
    w.okodkarb->trigger();
    ASSERT_TRUE(w.okodkarbWindow);
    EXPECT_TRUE(w.okodkarbWindow->isVisible());
    EXPECT_TRUE(w.okodkarbWindow->isEnabled());
    EXPECT_FALSE(w.isEnabled());
    const int activations = w.activationCount();
    activate(w.okodkarbWindow);
    w.okodkarbWindow->close();
    settle();
    EXPECT_TRUE(w.isEnabled());
    EXPECT_FALSE(w.okodkarbWindow) << "closing unloads the window";
    EXPECT_EQ(w.activationCount(), activations + 1) << "coming back replays the activation";

    w.toolbarButtons[2]->trigger();
    ASSERT_TRUE(w.okodkarbWindow);
    EXPECT_TRUE(w.okodkarbWindow->isVisible());
    EXPECT_TRUE(w.isEnabled());
    // A second click shows the same window.
    okodkarbform* first = w.okodkarbWindow;
    w.toolbarButtons[2]->trigger();
    EXPECT_EQ(w.okodkarbWindow.data(), first);
    w.setEnabled(false);
    w.okodkarbWindow->close();
    settle();
    EXPECT_TRUE(w.isEnabled());
}

TEST_F(WardCodesTest, the_window_centres_itself_on_the_screen)
{
    okodkarbform& f = openWardCodes();
    const QRect screen = f.screen()->geometry();
    const QRect frame = f.frameGeometry();
    EXPECT_LE(std::abs(frame.center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(frame.center().y() - screen.center().y()), 1);
}

TEST_F(WardCodesTest, a_short_code_clicked_straight_into_storing_is_refused_once)
{
    okodkarbform& f = openWardCodes();
    typeInto(f.Text1, QStringLiteral("03"));
    f.Text2->setText(QStringLiteral("Fül-orr-gégészet"));
    f.Combo1->setEditText(QStringLiteral("1"));
    // The click takes the focus from the code box and stores at once.
    clickOn(f.SSOption1);
    settle();
    EXPECT_EQ(boxes.texts(), QStringList{wardcodes::kCodeLengthMessage});
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), f.Text1);
}
