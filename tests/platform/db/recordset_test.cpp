// Record sets and data connections over the surgical program's files.
#include "platform/db/dataconnection.h"
#include "platform/db/dialect.h"
#include "platform/db/keybatch.h"
#include "tests/support/datafolder_fixture.h"
#include "tests/support/otherprogram.h"

#include <QFileInfo>
#include <QSet>

#include <sqlite3.h>

#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

using namespace platform::db;

namespace {

ProgramInfo surgicalFiles()
{
    return ProgramInfo{ProgramInfo::Kind::Surgical, QStringLiteral("Sebrix"), QString(),
                       QStringLiteral("madatok.mdb"), QStringLiteral("mráfordkódok.mdb"),
                       QStringLiteral("mutkonv.mdb"), QString(), QString(), QString()};
}

struct Item {
    const char* azonosito;
    const char* rkod;
    const char* tipus;
};

class RecordsetTest : public ::testing::Test {
protected:
    testsupport::TempDataFolder folder{surgicalFiles()};

    void addItems(std::initializer_list<Item> items)
    {
        for (const Item& i : items)
            folder.entered()->exec(QStringLiteral("insert into Ráfkódok (Azonosito, Rkod, Tipus, Manuális) values (?, ?, ?, ?)"),
                                   {QString::fromUtf8(i.azonosito), QString::fromUtf8(i.rkod), QString::fromUtf8(i.tipus), true});
    }

    // A connection as a window holds one: database, source, refreshed.
    std::unique_ptr<DataConnection> connection(std::shared_ptr<Database> db, const QString& source,
                                               const QVariantList& params = {})
    {
        auto c = std::make_unique<DataConnection>(QStringLiteral("Data8"));
        c->setDatabase(std::move(db));
        c->setRecordSource(source, params);
        c->refresh();
        return c;
    }

    static QStringList column(Recordset& rs, const QString& field)
    {
        QStringList values;
        for (int row = 0; row < rs.recordCount(); ++row)
            values << rs.valueAt(row, rs.fieldIndex(field)).toString();
        return values;
    }
};

} // namespace

TEST_F(RecordsetTest, empty_set_has_no_position_and_is_both_bof_and_eof)
{
    auto data3 = connection(folder.entered(), QStringLiteral("select * from alap"));
    Recordset& rs = data3->recordset();
    EXPECT_EQ(rs.recordCount(), 0);
    EXPECT_EQ(rs.absolutePosition(), -1);
    EXPECT_TRUE(rs.bof());
    EXPECT_TRUE(rs.eof());
    EXPECT_FALSE(rs.hasCurrent());
    rs.moveNext();
    rs.moveLast();
    EXPECT_EQ(rs.absolutePosition(), -1);
    EXPECT_FALSE(rs.value(QStringLiteral("T_szam")).isValid());
    EXPECT_EQ(rs.text(QStringLiteral("T_szam")), QString());
    EXPECT_THROW(rs.value(QStringLiteral("nincs_ilyen")), DbError);
    EXPECT_THROW(rs.setAbsolutePosition(0), DbError);
}

TEST_F(RecordsetTest, walking_runs_off_both_ends_like_the_old_engine)
{
    addItems({{"1", "A", "G"}, {"1", "B", "G"}, {"1", "C", "D"}});
    auto data8 = connection(folder.entered(), QStringLiteral("Ráfkódok"));
    Recordset& rs = data8->recordset();
    ASSERT_EQ(rs.recordCount(), 3);
    EXPECT_EQ(rs.absolutePosition(), 0);
    EXPECT_FALSE(rs.bof());
    QStringList seen;
    while (!rs.eof()) {
        seen << rs.text(QStringLiteral("Rkod"));
        rs.moveNext();
    }
    EXPECT_EQ(seen, (QStringList{"A", "B", "C"}));
    EXPECT_EQ(rs.absolutePosition(), -1);
    EXPECT_FALSE(rs.hasCurrent());
    rs.movePrevious();
    EXPECT_EQ(rs.text(QStringLiteral("Rkod")), QStringLiteral("C"));
    rs.moveFirst();
    rs.movePrevious();
    EXPECT_TRUE(rs.bof());
    EXPECT_FALSE(rs.eof());
    EXPECT_EQ(rs.absolutePosition(), -1);
    rs.moveNext();
    EXPECT_EQ(rs.text(QStringLiteral("Rkod")), QStringLiteral("A"));
    rs.setAbsolutePosition(2);
    EXPECT_EQ(rs.text(QStringLiteral("Rkod")), QStringLiteral("C"));
}

TEST_F(RecordsetTest, identifiers_in_item_rows_compare_as_text)
{
    addItems({{"1240", "X", "G"}, {"0124", "Y", "G"}, {"124", "Z", "G"}, {"124", "W", "M"}});
    auto data8 = connection(folder.entered(), QStringLiteral("Ráfkódok"));
    Recordset& rs = data8->recordset();

    EXPECT_TRUE(rs.findFirst(QStringLiteral("Azonosito= ?"), {QStringLiteral("124")}));
    EXPECT_FALSE(rs.noMatch());
    EXPECT_EQ(rs.text(QStringLiteral("Rkod")), QStringLiteral("Z"));
    EXPECT_TRUE(rs.findNext(QStringLiteral("Azonosito= '124'")));
    EXPECT_EQ(rs.text(QStringLiteral("Rkod")), QStringLiteral("W"));
    EXPECT_FALSE(rs.findNext(QStringLiteral("Azonosito= '124'")));
    EXPECT_TRUE(rs.noMatch());
    EXPECT_EQ(rs.text(QStringLiteral("Rkod")), QStringLiteral("W")) << "no match leaves the position";

    EXPECT_TRUE(rs.findFirst(QStringLiteral("Azonosito= ?"), {124}));
    EXPECT_EQ(rs.text(QStringLiteral("Rkod")), QStringLiteral("Z"));
    EXPECT_TRUE(rs.findLast(QStringLiteral("Azonosito= ?"), {QStringLiteral("0124")}));
    EXPECT_EQ(rs.text(QStringLiteral("Rkod")), QStringLiteral("Y"));
    EXPECT_FALSE(rs.findFirst(QStringLiteral("Azonosito= ?"), {QStringLiteral("99")}));
    EXPECT_TRUE(rs.noMatch());

    auto items = connection(folder.entered(), QStringLiteral("select * from ráfkódok where Azonosito= ?"),
                            {QStringLiteral("124")});
    EXPECT_EQ(column(items->recordset(), QStringLiteral("Rkod")), (QStringList{"Z", "W"}));
}

TEST_F(RecordsetTest, deleting_while_walking_removes_exactly_the_chosen_rows)
{
    addItems({{"7", "1", "G"}, {"7", "2", "M"}, {"7", "3", "G"}, {"7", "4", "G"}, {"7", "5", "D"}});
    auto data8 = connection(folder.entered(), QStringLiteral("select * from Ráfkódok where Azonosito= ?"),
                            {QStringLiteral("7")});
    Recordset& rs = data8->recordset();
    while (!rs.eof()) {
        if (rs.text(QStringLiteral("Tipus")) == QStringLiteral("G")) {
            rs.deleteCurrent();
            EXPECT_FALSE(rs.hasCurrent());
            EXPECT_EQ(rs.absolutePosition(), -1);
        }
        rs.moveNext();
    }
    EXPECT_EQ(column(rs, QStringLiteral("Rkod")), (QStringList{"2", "5"}));
    auto fresh = connection(folder.entered(), QStringLiteral("Ráfkódok"));
    EXPECT_EQ(column(fresh->recordset(), QStringLiteral("Rkod")), (QStringList{"2", "5"}));
}

TEST_F(RecordsetTest, deleting_the_selected_row_of_a_grid_leaves_the_others)
{
    addItems({{"7", "1", "G"}, {"7", "2", "G"}, {"7", "3", "G"}});
    auto data8 = connection(folder.entered(), QStringLiteral("Ráfkódok"));
    Recordset& rs = data8->recordset();
    rs.setAbsolutePosition(1);
    rs.deleteCurrent();
    EXPECT_THROW(rs.deleteCurrent(), DbError) << "no current row until a move";
    rs.movePrevious();
    EXPECT_EQ(rs.text(QStringLiteral("Rkod")), QStringLiteral("1"));
    EXPECT_EQ(column(rs, QStringLiteral("Rkod")), (QStringList{"1", "3"}));
}

TEST_F(RecordsetTest, added_row_joins_the_end_and_becomes_current_edit_persists)
{
    addItems({{"5", "A", "G"}});
    auto data8 = connection(folder.entered(), QStringLiteral("select * from Ráfkódok order by Rkod desc"));
    Recordset& rs = data8->recordset();
    rs.addNew();
    EXPECT_TRUE(rs.editing());
    rs.setValue(QStringLiteral("Azonosito"), QStringLiteral("5"));
    rs.setValue(QStringLiteral("Rkod"), QStringLiteral("B"));
    rs.setValue(QStringLiteral("Rmen"), QStringLiteral("2,5"));
    rs.setValue(QStringLiteral("Egységár"), 120.5);
    rs.setValue(QStringLiteral("Manuális"), true);
    rs.update();
    EXPECT_FALSE(rs.editing());
    EXPECT_EQ(rs.recordCount(), 2);
    EXPECT_EQ(rs.absolutePosition(), 1);
    EXPECT_EQ(rs.text(QStringLiteral("Rkod")), QStringLiteral("B"));
    EXPECT_EQ(rs.value(QStringLiteral("Pont")).toDouble(), 0.0) << "unset fields keep the table's default";

    rs.moveFirst();
    rs.edit();
    rs.setValue(QStringLiteral("Rmegnevezés"), QStringLiteral("Öltés"));
    rs.update();
    rs.edit();
    rs.setValue(QStringLiteral("Rkod"), QStringLiteral("eldobva"));
    rs.cancelUpdate();

    data8->refresh();
    EXPECT_EQ(column(rs, QStringLiteral("Rkod")), (QStringList{"B", "A"}));
    EXPECT_EQ(column(rs, QStringLiteral("Rmegnevezés")), (QStringList{"", "Öltés"}));
    EXPECT_EQ(rs.valueAt(0, rs.fieldIndex(QStringLiteral("Rmen"))).toString(), QStringLiteral("2,5"));
    EXPECT_EQ(rs.valueAt(0, rs.fieldIndex(QStringLiteral("Egységár"))).toDouble(), 120.5);
    EXPECT_EQ(rs.valueAt(0, rs.fieldIndex(QStringLiteral("Manuális"))), QVariant(true));

    EXPECT_THROW(rs.setValue(QStringLiteral("Rkod"), QStringLiteral("x")), DbError) << "no edit started";
    EXPECT_THROW(rs.update(), DbError);
}

TEST_F(RecordsetTest, bookmark_returns_to_the_same_row)
{
    addItems({{"1", "A", "G"}, {"2", "B", "G"}, {"3", "C", "G"}});
    auto data8 = connection(folder.entered(), QStringLiteral("Ráfkódok"));
    Recordset& rs = data8->recordset();
    rs.moveNext();
    const QVariant mark = rs.bookmark();
    rs.moveLast();
    rs.setBookmark(mark);
    EXPECT_EQ(rs.text(QStringLiteral("Rkod")), QStringLiteral("B"));
    rs.deleteCurrent();
    EXPECT_THROW(rs.setBookmark(mark), DbError);
}

TEST_F(RecordsetTest, hostile_values_are_stored_and_found_exactly)
{
    const QStringList hostile = {
        QStringLiteral("'"),           QStringLiteral("' or '1'='1"), QStringLiteral("%"),
        QStringLiteral("_"),           QStringLiteral("*"),           QStringLiteral("?"),
        QStringLiteral("\"; drop table alap; --"), QStringLiteral("O'Brien [1]"),
    };
    auto data8 = connection(folder.entered(), QStringLiteral("Ráfkódok"));
    Recordset& rs = data8->recordset();
    for (const QString& v : hostile) {
        rs.addNew();
        rs.setValue(QStringLiteral("Azonosito"), QStringLiteral("1"));
        rs.setValue(QStringLiteral("Rkod"), v);
        rs.update();
    }
    addItems({{"1", "plain", "G"}});
    for (const QString& v : hostile) {
        EXPECT_TRUE(rs.findFirst(QStringLiteral("Rkod= ?"), {v})) << v.toStdString();
        EXPECT_EQ(rs.text(QStringLiteral("Rkod")), v);
        auto one = connection(folder.entered(), QStringLiteral("select * from Ráfkódok where Rkod= ?"), {v});
        EXPECT_EQ(one->recordset().recordCount(), 1) << v.toStdString();
    }
    auto none = connection(folder.entered(), QStringLiteral("select * from Ráfkódok where Rkod= ?"),
                           {QStringLiteral("x' or '1'='1")});
    EXPECT_EQ(none->recordset().recordCount(), 0);
    EXPECT_EQ(folder.entered()->scalar(QStringLiteral("select count(*) from alap")).toInt(), 0)
        << "table alap is still there";
}

TEST_F(RecordsetTest, like_prefix_narrowing_uses_old_wildcards_and_ignores_case)
{
    auto data7 = connection(folder.codes(), QStringLiteral("select * from sgyogy order by skod"));
    QStringList all = column(data7->recordset(), QStringLiteral("SKOD"));
    // Each narrowing must give exactly the codes the like itself accepts, in
    // code order, whether or not it is answered through the index.
    const char* patterns[] = {"1*", "12*", "123*", "a1*", "A1*", "ö*", "É*", "1?", "*4", "1#", "[AB]*", "1_", "%", "12%*", "*"};
    for (const char* p : patterns) {
        const QString pattern = QString::fromUtf8(p);
        QStringList expected;
        for (const QString& code : all) {
            if (dialect::likeMatch(pattern, code))
                expected << code;
        }
        auto narrowed = connection(folder.codes(), QStringLiteral("select * from sgyogy where skod like ? order by skod"),
                                   {pattern});
        EXPECT_EQ(column(narrowed->recordset(), QStringLiteral("skod")), expected) << p;
        auto literal = connection(folder.codes(),
                                  QStringLiteral("select * from SGYOGY where SKOD like '%1' order by SKOD").arg(pattern));
        EXPECT_EQ(column(literal->recordset(), QStringLiteral("SKOD")), expected) << p;
    }
    auto twelve = connection(folder.codes(), QStringLiteral("select * from sgyogy where skod like ? order by skod"),
                             {QStringLiteral("12*")});
    EXPECT_EQ(column(twelve->recordset(), QStringLiteral("SKOD")),
              (QStringList{"12", "123", "1234", "12345", "124", "125"}));
    auto names = connection(folder.codes(), QStringLiteral("select * from sgyogy where snev like ?"),
                            {QStringLiteral("*INJEKCIÓ*")});
    EXPECT_GT(names->recordset().recordCount(), 5);
}

TEST_F(RecordsetTest, text_equality_ignores_case_of_accented_letters)
{
    auto db = folder.entered();
    db->exec(QStringLiteral("insert into Osztálykódok (Okod, Megnevezés, Ojelleg) values (?, ?, ?)"),
             {QStringLiteral("ab1é"), QStringLiteral("Égési osztály"), QStringLiteral("1")});
    auto data2 = connection(db, QStringLiteral("Osztálykódok"));
    EXPECT_TRUE(data2->recordset().findFirst(QStringLiteral("Okod= ?"), {QStringLiteral("AB1É")}));
    EXPECT_EQ(connection(db, QStringLiteral("select * from Osztálykódok where Megnevezés = ?"),
                         {QStringLiteral("ÉGÉSI OSZTÁLY")})->recordset().recordCount(), 1);
    EXPECT_EQ(connection(db, QStringLiteral("select * from Osztálykódok where Megnevezés like '*gési*'"))
                  ->recordset().recordCount(), 1);
    EXPECT_EQ(connection(db, QStringLiteral("select * from Osztálykódok where Megnevezés = ?"),
                         {QStringLiteral("Egesi osztaly")})->recordset().recordCount(), 0);
}

TEST_F(RecordsetTest, table_and_field_names_work_in_any_letter_case)
{
    addItems({{"1", "A", "G"}});
    struct Source {
        std::shared_ptr<Database> db;
        const char* source;
    };
    const Source sources[] = {
        {folder.entered(), "Ráfkódok"},
        {folder.entered(), "ráfkódok"},
        {folder.entered(), "RÁFKÓDOK"},
        {folder.entered(), "select * from ráfkódok where azonosito= '1'"},
        {folder.entered(), "select * from RÁFKÓDOK where AZONOSITO= '1'"},
        {folder.entered(), "műtétek"},
        {folder.entered(), "select * from MŰTÉTEK"},
        {folder.entered(), "Utolso azonosito"},
        {folder.entered(), "[Utolso azonosito]"},
        {folder.entered(), "select * from [utolso azonosito]"},
        {folder.codes(), "Mutet_ap"},
        {folder.codes(), "Diagnos"},
        {folder.codes(), "select * from sgyogy order by skod"},
        {folder.codes(), "select * from gyogyszm order by kod"},
        {folder.converted(), "select * from KONV where not Feldolgozva"},
    };
    for (const Source& s : sources)
        EXPECT_NO_THROW(connection(s.db, QString::fromUtf8(s.source))) << s.source;
    EXPECT_THROW(connection(folder.entered(), QStringLiteral("nincsilyen")), DbError);

    auto data8 = connection(folder.entered(), QStringLiteral("Ráfkódok"));
    Recordset& rs = data8->recordset();
    for (const char* f : {"rmegnevezés", "RMEGNEVEZÉS", "érték", "ÉRTÉK", "egységár", "manuális", "fdat", "FDAT"})
        EXPECT_GE(rs.fieldIndex(QString::fromUtf8(f)), 0) << f;
    EXPECT_EQ(rs.value(QStringLiteral("MANUÁLIS")), QVariant(true));
    EXPECT_EQ(folder.entered()->scalar(QStringLiteral("select count(*) from RÁFKÓDOK where MANUÁLIS=True")).toInt(), 1);
}

TEST_F(RecordsetTest, booleans_and_last_identifier_read_back_in_their_types)
{
    auto konv = folder.converted();
    konv->exec(QStringLiteral("insert into konv (Torzsszam) values (?)"), {QStringLiteral("123456789")});
    konv->exec(QStringLiteral("insert into konv (Torzsszam, Feldolgozva) values (?, ?)"),
               {QStringLiteral("987654321"), true});
    auto data10 = connection(konv, QStringLiteral("select * from konv where not Feldolgozva"));
    Recordset& rs = data10->recordset();
    ASSERT_EQ(rs.recordCount(), 1);
    EXPECT_EQ(rs.value(QStringLiteral("Feldolgozva")), QVariant(false));
    EXPECT_EQ(rs.value(QStringLiteral("Feldolgozva")).typeId(), QMetaType::Bool);
    rs.edit();
    rs.setValue(QStringLiteral("Feldolgozva"), true);
    rs.update();
    EXPECT_EQ(konv->scalar(QStringLiteral("select count(*) from konv where Feldolgozva=True")).toInt(), 2);
    EXPECT_EQ(konv->scalar(QStringLiteral("select count(*) from konv where Feldolgozva = False")).toInt(), 0);

    auto data4 = connection(folder.entered(), QStringLiteral("Utolso azonosito"));
    Recordset& last = data4->recordset();
    ASSERT_EQ(last.recordCount(), 1);
    EXPECT_EQ(last.value(QStringLiteral("UTOLSO")).toLongLong() + 1, 1);
    last.edit();
    last.setValue(QStringLiteral("UTOLSO"), QStringLiteral("125"));
    last.update();
    EXPECT_EQ(last.value(QStringLiteral("UTOLSO")).typeId(), QMetaType::LongLong);
    EXPECT_EQ(last.value(QStringLiteral("UTOLSO")).toLongLong() + 1, 126);
}

TEST_F(RecordsetTest, month_selection_by_left_of_the_date)
{
    auto db = folder.entered();
    for (const char* fdat : {"2005.08.24.", "2005.08.01.", "2005.09.01.", "2005.8.24."})
        db->exec(QStringLiteral("insert into alap (Azonosito, Fdat) values (?, ?)"), {1, QString::fromUtf8(fdat)});
    auto data3 = connection(db, QStringLiteral("select * from alap where left(Fdat,7)= ?"), {QStringLiteral("2005.08")});
    EXPECT_EQ(column(data3->recordset(), QStringLiteral("Fdat")), (QStringList{"2005.08.24.", "2005.08.01."}));
}

TEST_F(RecordsetTest, a_query_over_several_tables_is_read_only_but_findable)
{
    addItems({{"1", "A", "G"}, {"1", "B", "M"}, {"2", "C", "G"}});
    auto groups = connection(folder.entered(),
                             QStringLiteral("select Tipus, count(*) as db from Ráfkódok where Azonosito <> ? "
                                            "group by Tipus order by Tipus"),
                             {QStringLiteral("2")});
    Recordset& rs = groups->recordset();
    EXPECT_FALSE(rs.updatable());
    EXPECT_EQ(column(rs, QStringLiteral("tipus")), (QStringList{"G", "M"}));
    EXPECT_TRUE(rs.findFirst(QStringLiteral("Tipus= ?"), {QStringLiteral("m")}));
    EXPECT_EQ(rs.value(QStringLiteral("db")).toInt(), 1);
    EXPECT_THROW(rs.addNew(), DbError);
    EXPECT_THROW(rs.deleteCurrent(), DbError);
}

TEST_F(RecordsetTest, a_change_through_one_connection_shows_in_another)
{
    addItems({{"1", "A", "G"}});
    auto grid = connection(folder.entered(), QStringLiteral("Ráfkódok"));
    auto other = connection(folder.entered(), QStringLiteral("select * from ráfkódok"));
    EXPECT_EQ(grid->recordset().valueAt(0, 1).toString(), QStringLiteral("A"));
    other->recordset().edit();
    other->recordset().setValue(QStringLiteral("Rkod"), QStringLiteral("Z"));
    other->recordset().update();
    EXPECT_EQ(grid->recordset().valueAt(0, 1).toString(), QStringLiteral("Z"));
}

TEST_F(RecordsetTest, refresh_keeps_the_record_set_object_and_without_source_is_empty)
{
    addItems({{"1", "A", "G"}});
    DataConnection data8(QStringLiteral("Data8"));
    Recordset* before = &data8.recordset();
    data8.refresh();
    EXPECT_EQ(data8.recordset().recordCount(), 0);
    data8.setDatabase(folder.entered());
    data8.setRecordSource(QStringLiteral("Ráfkódok"));
    int refreshed = 0;
    QObject::connect(&data8, &DataConnection::refreshed, [&] { ++refreshed; });
    data8.refresh();
    EXPECT_EQ(&data8.recordset(), before);
    EXPECT_EQ(data8.recordset().recordCount(), 1);
    EXPECT_EQ(refreshed, 1);
    data8.setRecordSource(QStringLiteral("select * from nincsilyen"));
    EXPECT_THROW(data8.refresh(), DbError);
    EXPECT_EQ(data8.recordset().recordCount(), 1) << "a failing query leaves the old rows";
}

TEST(Database, missing_file_is_reported_by_name_and_not_created)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("madatok.mdb"));
    try {
        Database::open(path);
        FAIL() << "opened a missing file";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(path)) << e.message().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(Database, a_file_that_is_no_database_is_refused)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("adatok.mdb"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    EXPECT_THROW(Database::open(path), DbError);
}

TEST_F(RecordsetTest, transaction_rolls_back_unless_committed)
{
    auto db = folder.entered();
    {
        Database::Transaction t(*db);
        db->exec(QStringLiteral("insert into alap (Azonosito) values (?)"), {1});
        db->exec(QStringLiteral("insert into műtétek (Azonosito) values (?)"), {QStringLiteral("1")});
    }
    EXPECT_EQ(db->scalar(QStringLiteral("select count(*) from alap")).toInt(), 0);
    EXPECT_EQ(db->scalar(QStringLiteral("select count(*) from műtétek")).toInt(), 0);
    {
        Database::Transaction outer(*db);
        db->exec(QStringLiteral("insert into alap (Azonosito) values (?)"), {2});
        {
            Database::Transaction inner(*db);
            db->exec(QStringLiteral("insert into alap (Azonosito) values (?)"), {3});
        }
        outer.commit();
    }
    EXPECT_EQ(db->scalar(QStringLiteral("select Azonosito from alap")).toInt(), 2);
    EXPECT_EQ(db->scalar(QStringLiteral("select count(*) from alap")).toInt(), 1);
}

TEST_F(RecordsetTest, parameter_count_must_match)
{
    EXPECT_THROW(folder.entered()->exec(QStringLiteral("delete from alap where T_szam= ?")), DbError);
    EXPECT_THROW(folder.entered()->exec(QStringLiteral("delete from alap"), {1}), DbError);
}

namespace {

// Enough rows that a walk reads its keys in several batches. Row i has the
// code "0000" ... "0699", episode i % 7, type "D" when i is a multiple of
// three, "G" otherwise, and a unit (Rmen) that is null, "x", "X", "á" or "Á"
// by i % 5: texts equal but for letter case, and nulls, in a sorted order.
class LazyRecordsetTest : public RecordsetTest {
protected:
    static constexpr int kRows = 700;

    void SetUp() override { fill(kRows); }

    void fill(int rows)
    {
        auto db = folder.entered();
        Database::Transaction t(*db);
        db->exec(QStringLiteral("delete from Ráfkódok"));
        static const QVariant units[] = {QVariant(), QStringLiteral("x"), QStringLiteral("X"), QStringLiteral("á"),
                                         QStringLiteral("Á")};
        for (int i = 0; i < rows; ++i)
            db->exec(QStringLiteral("insert into Ráfkódok (rowid, Azonosito, Rkod, Tipus, Rmen) values (?, ?, ?, ?, ?)"),
                     {i + 1, QString::number(i % 7), code(i), i % 3 == 0 ? QStringLiteral("D") : QStringLiteral("G"),
                      units[i % 5]});
        t.commit();
    }

    static QString code(int i) { return QStringLiteral("%1").arg(i, 4, 10, QChar(u'0')); }

    static QStringList codes(const std::function<bool(int)>& taken, bool descending = false)
    {
        QStringList list;
        for (int i = 0; i < kRows; ++i)
            if (taken(i))
                list << code(i);
        if (descending)
            std::reverse(list.begin(), list.end());
        return list;
    }

    // The codes met walking forward from the first row, checking the
    // position on the way.
    static QStringList walk(Recordset& rs)
    {
        QStringList seen;
        rs.moveFirst();
        while (!rs.eof()) {
            EXPECT_EQ(rs.absolutePosition(), seen.size());
            seen << rs.text(QStringLiteral("Rkod"));
            rs.moveNext();
        }
        return seen;
    }
};

const QString kTypeG = QStringLiteral("select * from Ráfkódok where Tipus = 'G' order by Rkod desc");

} // namespace

TEST_F(LazyRecordsetTest, opening_and_counting_read_no_keys)
{
    auto db = folder.entered();
    const quint64 before = db->keyReads();
    auto data8 = connection(db, kTypeG);
    Recordset& rs = data8->recordset();
    EXPECT_EQ(db->keyReads(), before) << "opening prepares the reads only";
    EXPECT_EQ(rs.recordCount(), 466);
    EXPECT_EQ(db->keyReads(), before) << "the count is the engine's";
    rs.moveLast();
    rs.moveFirst();
    EXPECT_EQ(db->keyReads(), before) << "moving reads nothing";
    EXPECT_EQ(rs.text(QStringLiteral("Rkod")), QStringLiteral("0698"));
    EXPECT_EQ(db->keyReads(), before + 1) << "the first row reads the first batch";
    EXPECT_EQ(rs.valueAt(10, rs.fieldIndex(QStringLiteral("Rkod"))).toString(), QStringLiteral("0683"));
    EXPECT_EQ(db->keyReads(), before + 1);
}

TEST_F(LazyRecordsetTest, walk_positions_and_bookmarks_are_those_of_the_whole_set)
{
    struct Case {
        QString source;
        QVariantList params;
        QStringList expected;
    };
    const Case cases[] = {
        {QStringLiteral("Ráfkódok"), {}, codes([](int) { return true; })},
        {kTypeG, {}, codes([](int i) { return i % 3 != 0; }, true)},
        {QStringLiteral("select * from Ráfkódok order by Tipus, Rkod desc"), {},
         codes([](int i) { return i % 3 == 0; }, true) + codes([](int i) { return i % 3 != 0; }, true)},
        {QStringLiteral("select Rkod from Ráfkódok where Azonosito= ?"), {QStringLiteral("3")},
         codes([](int i) { return i % 7 == 3; })},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qPrintable(c.source));
        const int n = int(c.expected.size());
        auto data = connection(folder.entered(), c.source, c.params);
        Recordset& rs = data->recordset();
        EXPECT_EQ(rs.recordCount(), n);
        EXPECT_EQ(walk(rs), c.expected);
        EXPECT_TRUE(rs.eof());
        EXPECT_FALSE(rs.bof());
        EXPECT_EQ(rs.absolutePosition(), -1);

        auto backwards = connection(folder.entered(), c.source, c.params);
        Recordset& back = backwards->recordset();
        back.moveLast();
        QStringList seen;
        while (!back.bof()) {
            EXPECT_EQ(back.absolutePosition(), n - 1 - seen.size());
            seen.prepend(back.text(QStringLiteral("Rkod")));
            back.movePrevious();
        }
        EXPECT_EQ(seen, c.expected);

        // A bookmark taken near the end of one set finds its row there and
        // in a set that has read nothing yet.
        auto first = connection(folder.entered(), c.source, c.params);
        first->recordset().moveLast();
        first->recordset().movePrevious();
        const QVariant mark = first->recordset().bookmark();
        first->recordset().moveFirst();
        first->recordset().setBookmark(mark);
        EXPECT_EQ(first->recordset().absolutePosition(), n - 2);
        EXPECT_EQ(first->recordset().text(QStringLiteral("Rkod")), c.expected.value(n - 2));
        auto second = connection(folder.entered(), c.source, c.params);
        second->recordset().setBookmark(mark);
        EXPECT_EQ(second->recordset().absolutePosition(), n - 2);
        EXPECT_EQ(second->recordset().text(QStringLiteral("Rkod")), c.expected.value(n - 2));
        EXPECT_THROW(second->recordset().setAbsolutePosition(n), DbError);
    }
}

TEST_F(LazyRecordsetTest, a_set_that_began_reading_keeps_its_rows_through_writes_elsewhere)
{
    auto db = folder.entered();
    auto data8 = connection(db, QStringLiteral("select * from Ráfkódok where Tipus = 'G'"));
    Recordset& rs = data8->recordset();
    EXPECT_EQ(rs.text(QStringLiteral("Rkod")), QStringLiteral("0001"));

    db->exec(QStringLiteral("update Ráfkódok set Tipus = 'D' where Rkod > '0400'"));
    db->exec(QStringLiteral("delete from Ráfkódok where Rkod = '0500'"));
    addItems({{"9", "9999", "G"}});

    QStringList expected = codes([](int i) { return i % 3 != 0; });
    expected[expected.indexOf(QStringLiteral("0500"))] = QString(); // a deleted row reads as Null
    EXPECT_EQ(rs.recordCount(), 466);
    EXPECT_EQ(walk(rs), expected);

    data8->refresh();
    EXPECT_EQ(rs.recordCount(), 268) << "a requery sees the table as it is";
    EXPECT_EQ(walk(rs).constLast(), QStringLiteral("9999"));
}

TEST_F(LazyRecordsetTest, adds_and_deletes_before_and_after_the_keys_are_read)
{
    auto data8 = connection(folder.entered(), kTypeG);
    Recordset& rs = data8->recordset();
    rs.addNew();
    rs.setValue(QStringLiteral("Rkod"), QStringLiteral("új"));
    rs.setValue(QStringLiteral("Tipus"), QStringLiteral("G"));
    rs.update();
    EXPECT_EQ(rs.recordCount(), 467);
    EXPECT_EQ(rs.absolutePosition(), 466) << "an added row joins the end";
    EXPECT_EQ(rs.text(QStringLiteral("Rkod")), QStringLiteral("új"));

    rs.setAbsolutePosition(300);
    const QString deleted = rs.text(QStringLiteral("Rkod"));
    const QString following = rs.valueAt(301, rs.fieldIndex(QStringLiteral("Rkod"))).toString();
    rs.deleteCurrent();
    EXPECT_FALSE(rs.hasCurrent());
    rs.moveNext();
    EXPECT_EQ(rs.text(QStringLiteral("Rkod")), following);
    EXPECT_EQ(rs.absolutePosition(), 300);
    EXPECT_EQ(rs.recordCount(), 466);

    data8->refresh();
    QStringList expected = codes([](int i) { return i % 3 != 0; }, true);
    expected.removeOne(deleted);
    expected.prepend(QStringLiteral("új")); // letters sort after digits
    EXPECT_EQ(walk(rs), expected);
}

namespace {

using testsupport::OtherProgram;

// A set in stored order and two sorted ones (nulls, texts that differ only
// in letter case, a descending term), each with the query that gives its
// codes straight from the engine, in the set's order.
struct Order {
    const char* name;
    QString source;
    QString engine;
};

const Order kOrders[] = {
    {"stored", QStringLiteral("Ráfkódok"), QStringLiteral("select Rkod from Ráfkódok order by rowid")},
    {"units descending",
     QStringLiteral("select * from Ráfkódok where Tipus = 'G' order by Rmen desc, Rkod"),
     QStringLiteral("select Rkod from Ráfkódok where Tipus = 'G' order by Rmen desc, Rkod, rowid")},
    {"units", QStringLiteral("select Rkod, Rmen from Ráfkódok order by Rmen"),
     QStringLiteral("select Rkod from Ráfkódok order by Rmen, rowid")},
};

// Walks small batches of keys, so that a walk of a few hundred rows
// crosses a batch boundary many times.
class SeekRecordsetTest : public LazyRecordsetTest {
protected:
    void SetUp() override
    {
        LazyRecordsetTest::SetUp();
        setFirstKeyBatch(4);
    }
    void TearDown() override { setFirstKeyBatch(256); }

    OtherProgram other{folder.entered()->path()};
    int m_copies = 0;

    // Deletes the row `at` in the engine's order, or adds a copy of it whose
    // code sorts right after its own ("0012" gives "0012a1").
    void change(const QStringList& order, int at, bool add)
    {
        const QString rkod = order.value(std::clamp(at, 0, int(order.size()) - 1));
        if (add)
            other.run(QStringLiteral("insert into Ráfkódok (Azonosito, Rkod, Tipus, Rmen) "
                                     "select Azonosito, Rkod || ?, Tipus, Rmen from Ráfkódok where Rkod = ?"),
                      {QStringLiteral("a%1").arg(++m_copies), rkod});
        else
            other.run(QStringLiteral("delete from Ráfkódok where Rkod = ?"), {rkod});
    }

    // What a walk must have met: every row stored both before and after it
    // exactly once and in the engine's order; no row twice; and at its end
    // the count of the rows it walked.
    static void expectWholeWalk(const QStringList& before, const QStringList& after, const QStringList& seen)
    {
        QStringList shown;
        for (const QString& s : seen)
            if (!s.isEmpty())
                shown << s;
        EXPECT_EQ(QSet<QString>(shown.begin(), shown.end()).size(), shown.size()) << "a row met twice";
        const auto kept = [&](const QStringList& list) {
            QStringList out;
            for (const QString& s : list)
                if (before.contains(s) && after.contains(s))
                    out << s;
            return out;
        };
        EXPECT_EQ(kept(shown), kept(after)) << "a stored row skipped or out of order";
        for (const QString& s : shown)
            EXPECT_TRUE(before.contains(s) || after.contains(s)) << qPrintable(s);
    }
};

} // namespace

TEST_F(SeekRecordsetTest, walks_meet_every_stored_row_once_whatever_another_program_deletes_or_adds)
{
    // Where the other program writes, counted in rows past the row the walk
    // is about to show (negative: rows already shown). At the 10th and 70th
    // row shown, 6 and 58 ahead fall on the first key of the next batch.
    const std::vector<int> ahead = {-3, 0, 1, 6, 40, 58, 250, 100000};
    struct Case {
        const char* name;
        bool deletes;
        bool adds;
    };
    const Case cases[] = {{"deletes", true, false}, {"adds", false, true}, {"deletes and adds", true, true}};
    // With both ends shown first, the walk reads the rows between keys read
    // from the front and keys read from the back.
    struct Walk {
        const char* name;
        bool forward;
        bool endsShown;
    };
    const Walk walks[] = {{"forward", true, false},
                          {"backward", false, false},
                          {"forward after both ends shown", true, true},
                          {"backward after both ends shown", false, true}};
    for (const Order& order : kOrders) {
        for (const Case& c : cases) {
            for (const Walk& w : walks) {
                SCOPED_TRACE(std::string(order.name) + ", " + c.name + ", " + w.name);
                const bool forward = w.forward;
                fill(kRows);
                const QStringList before = other.run(order.engine);
                auto data = connection(folder.entered(), order.source);
                Recordset& rs = data->recordset();
                EXPECT_EQ(rs.recordCount(), before.size());
                if (w.endsShown) {
                    rs.moveLast();
                    EXPECT_EQ(rs.text(QStringLiteral("Rkod")), before.constLast());
                    rs.moveFirst();
                    EXPECT_EQ(rs.text(QStringLiteral("Rkod")), before.constFirst());
                }
                QStringList seen;
                QString last;
                forward ? rs.moveFirst() : rs.moveLast();
                int expectedPosition = 0;
                while (forward ? !rs.eof() : !rs.bof()) {
                    if (forward)
                        EXPECT_EQ(rs.absolutePosition(), expectedPosition++) << "positions walked forward never move";
                    const QString rkod = rs.text(QStringLiteral("Rkod"));
                    seen << rkod;
                    if (!rkod.isEmpty())
                        last = rkod;
                    if (seen.size() == 10 || seen.size() == 70) {
                        const QStringList now = other.run(order.engine);
                        const int at = int(now.indexOf(last));
                        for (int a : ahead) {
                            const int row = forward ? at + 1 + a : at - 1 - a;
                            if (c.adds)
                                change(now, row, true);
                            if (c.deletes)
                                change(now, row, false);
                        }
                    }
                    forward ? rs.moveNext() : rs.movePrevious();
                    if (seen.size() > 3 * kRows)
                        break;
                }
                if (!forward)
                    std::reverse(seen.begin(), seen.end());
                expectWholeWalk(before, other.run(order.engine), seen);
                EXPECT_EQ(rs.recordCount(), seen.size()) << "the count is put right at the end";
                EXPECT_EQ(rs.absolutePosition(), -1);
            }
        }
    }
}

TEST_F(SeekRecordsetTest, bookmarks_and_positions_keep_their_rows_whatever_another_program_does)
{
    for (const Order& order : kOrders) {
        SCOPED_TRACE(order.name);
        fill(kRows);
        const QStringList before = other.run(order.engine);
        const int n = int(before.size());
        auto data = connection(folder.entered(), order.source);
        Recordset& rs = data->recordset();
        const QString rkod = QStringLiteral("Rkod");
        // Rows reached by walking from the front and from the back, and by
        // jumps past the keys read on either side.
        struct Mark {
            int position;
            QString rkod;
            QVariant bookmark;
        };
        std::vector<Mark> marks;
        const auto mark = [&] { marks.push_back({rs.absolutePosition(), rs.text(rkod), rs.bookmark()}); };
        rs.moveFirst();
        for (int i = 0; i < 20; ++i)
            rs.moveNext();
        mark();
        rs.moveLast();
        for (int i = 0; i < 5; ++i)
            rs.movePrevious();
        mark();
        rs.setAbsolutePosition(n - 60);
        mark();
        rs.setAbsolutePosition(100);
        mark();
        for (const Mark& m : marks)
            EXPECT_EQ(m.rkod, before[m.position]);

        // Before, between and after the marked rows; on the first key not
        // read on either side; and in the keys not read at all.
        for (int at : {5, 100, n / 2 + 3, n - 3, n - 1})
            change(before, at, true);
        for (int at : {0, 10, 21, 101, n / 2, n - 61, n - 1})
            change(before, at, false);

        for (const Mark& m : marks) {
            rs.moveFirst();
            rs.setBookmark(m.bookmark);
            EXPECT_EQ(rs.text(rkod), m.rkod) << "bookmark";
            rs.moveFirst();
            rs.setAbsolutePosition(m.position);
            EXPECT_EQ(rs.text(rkod), m.rkod) << "position " << m.position;
        }
        QStringList seen;
        rs.moveFirst();
        while (!rs.eof()) {
            seen << rs.text(rkod);
            rs.moveNext();
        }
        expectWholeWalk(before, other.run(order.engine), seen);
        // Once the count is put right, the rows read from the back have
        // moved with it, and the bookmarks still find them.
        for (const Mark& m : marks) {
            rs.setBookmark(m.bookmark);
            EXPECT_EQ(rs.text(rkod), m.rkod);
            EXPECT_EQ(rs.absolutePosition(), seen.indexOf(m.rkod));
        }
    }
}

TEST_F(SeekRecordsetTest, a_set_moved_to_a_row_keeps_it_when_others_write_before_it_is_read)
{
    // Rows 1 ... 1000 (codes "0000" ... "0999"); the set stands on the
    // 501st ("0500") but has not shown it yet when the write comes.
    fill(1000);
    setFirstKeyBatch(256);
    struct Write {
        const char* name;
        QString sql;
    };
    const Write writes[] = {
        {"the first row deleted", QStringLiteral("delete from Ráfkódok where Rkod = '0000'")},
        {"the last row deleted", QStringLiteral("delete from Ráfkódok where Rkod = '0999'")},
        {"a row added that sorts first", QStringLiteral("insert into Ráfkódok (Rkod, Rmen) values ('!', 'x')")},
        {"a row added at the end", QStringLiteral("insert into Ráfkódok (Rkod, Rmen) values ('~', 'x')")},
    };
    const std::function<void(Recordset&)> moves[] = {
        [](Recordset& rs) { rs.setAbsolutePosition(500); },
        [](Recordset& rs) {
            rs.moveFirst();
            for (int i = 0; i < 500; ++i)
                rs.moveNext();
        },
        [](Recordset& rs) {
            rs.moveLast();
            for (int i = 0; i < 499; ++i)
                rs.movePrevious();
        },
    };
    for (const QString& source : {QStringLiteral("Ráfkódok"), QStringLiteral("select * from Ráfkódok order by Rkod")}) {
        for (const Write& w : writes) {
            for (size_t m = 0; m < std::size(moves); ++m) {
                for (const bool sameProgram : {true, false}) {
                    SCOPED_TRACE(qPrintable(QStringLiteral("%1, %2, move %3, %4")
                                                .arg(source, QString::fromUtf8(w.name)).arg(m)
                                                .arg(sameProgram ? QStringLiteral("another record set")
                                                                 : QStringLiteral("another program"))));
                    fill(1000);
                    auto data = connection(folder.entered(), source);
                    Recordset& rs = data->recordset();
                    EXPECT_EQ(rs.recordCount(), 1000);
                    moves[m](rs);
                    if (sameProgram) {
                        auto writer = connection(folder.entered(), QStringLiteral("Ráfkódok"));
                        folder.entered()->exec(w.sql);
                    } else {
                        other.run(w.sql);
                    }
                    EXPECT_EQ(rs.text(QStringLiteral("Rkod")), QStringLiteral("0500"));
                    rs.moveNext();
                    EXPECT_EQ(rs.text(QStringLiteral("Rkod")), QStringLiteral("0501"));
                }
            }
        }
    }
}

TEST(Database, the_data_stamp_moves_with_every_commit_to_the_file_whoever_made_it)
{
    testsupport::TempDataFolder folder{surgicalFiles()};
    auto db = folder.entered();
    OtherProgram other{db->path()};
    struct Case {
        const char* name;
        std::function<void()> act;
        bool moves;
    };
    const Case cases[] = {
        {"nothing", [] {}, false},
        {"another program reads", [&] { other.run(QStringLiteral("select count(*) from alap")); }, false},
        {"another program commits", [&] { other.run(QStringLiteral("insert into alap (Azonosito) values (1)")); }, true},
        {"another program rolls back",
         [&] {
             other.run(QStringLiteral("begin"));
             other.run(QStringLiteral("delete from alap"));
             other.run(QStringLiteral("rollback"));
         },
         false},
        {"this program writes", [&] { db->exec(QStringLiteral("update alap set Taj = '1'")); }, true},
    };
    for (const Case& c : cases) {
        const quint64 before = db->dataStamp();
        c.act();
        EXPECT_EQ(db->dataStamp() != before, c.moves) << c.name;
    }
}

// A row read and kept is shown as stored once another program has changed or
// deleted it, in a walk and to a grid alike; a deleted one shows Null fields,
// as one deleted before it was ever read does.
TEST_F(LazyRecordsetTest, rows_another_program_changes_or_deletes_after_they_were_read_are_shown_as_stored)
{
    OtherProgram other{folder.entered()->path()};
    for (const QString& source : {QStringLiteral("Ráfkódok"), QStringLiteral("select * from Ráfkódok order by Rkod desc")}) {
        SCOPED_TRACE(qPrintable(source));
        fill(kRows);
        auto data = connection(folder.entered(), source);
        Recordset& rs = data->recordset();
        const int rkod = rs.fieldIndex(QStringLiteral("Rkod"));
        const int rmen = rs.fieldIndex(QStringLiteral("Rmen"));
        QStringList shown;
        for (rs.moveFirst(); shown.size() < 3; rs.moveNext())
            shown << rs.text(QStringLiteral("Rkod")) + u'/' + rs.text(QStringLiteral("Rmen"));
        for (int row = 0; row < 3; ++row)
            EXPECT_EQ(rs.valuesAt(row).value(rkod).toString() + u'/' + rs.valuesAt(row).value(rmen).toString(),
                      shown[row]);

        const QString first = shown[0].section(u'/', 0, 0);
        const QString second = shown[1].section(u'/', 0, 0);
        other.run(QStringLiteral("update Ráfkódok set Rmen = 'új' where Rkod = ?"), {first});
        other.run(QStringLiteral("delete from Ráfkódok where Rkod = ?"), {second});

        // To a grid, with the set standing on its fourth row.
        EXPECT_EQ(rs.valueAt(0, rmen).toString(), QStringLiteral("új"));
        EXPECT_FALSE(rs.valueAt(1, rkod).isValid());
        EXPECT_FALSE(rs.valuesAt(1).value(rmen).isValid());
        EXPECT_EQ(rs.valueAt(2, rkod).toString() + u'/' + rs.valueAt(2, rmen).toString(), shown[2]);

        // In a walk back.
        rs.movePrevious();
        rs.movePrevious();
        EXPECT_EQ(rs.absolutePosition(), 1);
        EXPECT_TRUE(rs.hasCurrent());
        EXPECT_EQ(rs.text(QStringLiteral("Rkod")), QString());
        EXPECT_EQ(rs.text(QStringLiteral("Rmen")), QString());
        rs.movePrevious();
        EXPECT_EQ(rs.text(QStringLiteral("Rkod")), first);
        EXPECT_EQ(rs.text(QStringLiteral("Rmen")), QStringLiteral("új"));
    }
}

// What the clerk types over a row is written, whatever another program wrote
// to the row meanwhile; an edit begins from the row as stored, and fields the
// clerk left alone keep the other program's values.
TEST_F(LazyRecordsetTest, an_edit_begins_from_the_stored_row_and_writes_only_what_the_clerk_typed)
{
    OtherProgram other{folder.entered()->path()};
    auto data = connection(folder.entered(), QStringLiteral("Ráfkódok"));
    Recordset& rs = data->recordset();
    ASSERT_EQ(rs.text(QStringLiteral("Rkod")), QStringLiteral("0000"));
    const auto stored = [&] {
        return other.run(QStringLiteral("select Rmen || '/' || Tipus from Ráfkódok where Rkod = '0000'")).value(0);
    };

    other.run(QStringLiteral("update Ráfkódok set Rmen = 'másik', Tipus = 'X' where Rkod = '0000'"));
    rs.edit();
    EXPECT_EQ(rs.text(QStringLiteral("Rmen")), QStringLiteral("másik"));
    rs.update();
    EXPECT_EQ(stored(), QStringLiteral("másik/X"));

    rs.edit();
    rs.setValue(QStringLiteral("Rmen"), QStringLiteral("gépelt"));
    other.run(QStringLiteral("update Ráfkódok set Rmen = 'harmadik', Tipus = 'Y' where Rkod = '0000'"));
    EXPECT_EQ(rs.text(QStringLiteral("Rmen")), QStringLiteral("gépelt")) << "the edit shows what was typed";
    rs.update();
    EXPECT_EQ(stored(), QStringLiteral("gépelt/Y"));
    EXPECT_EQ(rs.text(QStringLiteral("Tipus")), QStringLiteral("Y"));
}

TEST_F(LazyRecordsetTest, a_set_that_has_read_no_key_counts_again_after_another_program_wrote)
{
    OtherProgram other{folder.entered()->path()};
    auto data = connection(folder.entered(), kTypeG);
    Recordset& rs = data->recordset();
    EXPECT_EQ(rs.recordCount(), 466);
    other.run(QStringLiteral("delete from Ráfkódok where Rkod in ('0698', '0697')"));
    EXPECT_EQ(rs.recordCount(), 464);
    EXPECT_EQ(rs.text(QStringLiteral("Rkod")), QStringLiteral("0695"));

    // Once it has read keys, the set keeps its rows and its count until a
    // walk meets an end.
    other.run(QStringLiteral("delete from Ráfkódok where Rkod = '0695'"));
    EXPECT_EQ(rs.recordCount(), 464);
    EXPECT_EQ(rs.text(QStringLiteral("Rkod")), QString());
}

namespace {

// The items of episode 1 as a grid keeps them, the last one under the
// highest key, so that the engine gives that key to the next row stored.
class KeptKeyTest : public RecordsetTest {
protected:
    void SetUp() override
    {
        addItems({{"1", "1111", "G"}, {"2", "2222", "G"}, {"1", "1112", "G"}});
        items = connection(folder.entered(), QStringLiteral("select * from Ráfkódok where Azonosito = ?"),
                           {QStringLiteral("1")});
        ASSERT_EQ(column(items->recordset(), QStringLiteral("Rkod")), (QStringList{"1111", "1112"}));
    }
    QVariant rowidOf(const QString& rkod)
    {
        return folder.entered()->scalar(QStringLiteral("select rowid from Ráfkódok where Rkod = ?"), {rkod});
    }
    QStringList stored()
    {
        QStringList rows;
        auto all = Recordset::open(folder.entered(), QStringLiteral("select * from Ráfkódok order by Rkod"));
        for (int row = 0; row < all->recordCount(); ++row)
            rows << all->valueAt(row, all->fieldIndex(QStringLiteral("Azonosito"))).toString() + u'/'
                    + all->valueAt(row, all->fieldIndex(QStringLiteral("Rkod"))).toString();
        return rows;
    }
    std::unique_ptr<DataConnection> items;
};

} // namespace

// A kept key names the row the set read only while that row still meets the
// set's selection: after another program deleted it and stored another
// episode's item under the same key, or moved it to another episode, the
// key reads as a deleted row, no find lands on it, an edit writes nothing
// and a delete is refused. A row this program itself took out of the
// selection stays the set's row, as an edit of the set's own does.
TEST_F(KeptKeyTest, a_kept_key_whose_row_left_the_selection_reads_as_deleted_and_is_neither_found_edited_nor_deleted)
{
    struct Case {
        const char* name;
        std::function<void()> act;
        bool stillOurs;
    };
    const qint64 key = rowidOf(QStringLiteral("1112")).toLongLong();
    const Case cases[] = {
        {"another program reused the key",
         [&] {
             OtherProgram other{folder.entered()->path()};
             other.run(QStringLiteral("delete from Ráfkódok where rowid = ?"), {key});
             other.run(QStringLiteral("insert into Ráfkódok (Azonosito, Rkod, Tipus) values ('2', '9999', 'G')"));
             ASSERT_EQ(rowidOf(QStringLiteral("9999")).toLongLong(), key);
         },
         false},
        {"another program moved the row to another episode",
         [&] {
             OtherProgram other{folder.entered()->path()};
             other.run(QStringLiteral("update Ráfkódok set Azonosito = '2', Rkod = '9999' where rowid = ?"), {key});
         },
         false},
        {"this program moved the row to another episode",
         [&] {
             folder.entered()->exec(QStringLiteral("update Ráfkódok set Azonosito = '2', Rkod = '9999' where rowid = ?"),
                                    {key});
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        folder.entered()->exec(QStringLiteral("delete from Ráfkódok"));
        SetUp();
        Recordset& rs = items->recordset();
        const int rkod = rs.fieldIndex(QStringLiteral("Rkod"));
        c.act();

        EXPECT_EQ(rs.recordCount(), 2);
        EXPECT_EQ(rs.valueAt(1, rkod).toString(), c.stillOurs ? QStringLiteral("9999") : QString());
        EXPECT_EQ(rs.findFirst(QStringLiteral("Rkod = ?"), {QStringLiteral("9999")}), c.stillOurs);

        rs.setAbsolutePosition(1);
        rs.edit();
        rs.setValue(QStringLiteral("Rmen"), QStringLiteral("5"));
        rs.update();
        const QString rmen = folder.entered()
                                 ->scalar(QStringLiteral("select Rmen from Ráfkódok where Rkod = '9999'"))
                                 .toString();
        EXPECT_EQ(rmen, c.stillOurs ? QStringLiteral("5") : QString());

        if (c.stillOurs) {
            rs.deleteCurrent();
            EXPECT_EQ(stored(), (QStringList{"1/1111", "2/2222"}));
            continue;
        }
        try {
            rs.deleteCurrent();
            ADD_FAILURE() << "a delete that found no row of the set passed for a deletion";
        } catch (const DbError& e) {
            EXPECT_TRUE(e.isRowGone());
            EXPECT_EQ(e.clerkText(),
                      QStringLiteral("A kijelölt sort közben egy másik program törölte vagy átírta a(z) madatok.mdb "
                                     "adatbázisfájlban, már nem az, amit a lista mutat."));
        }
        EXPECT_EQ(stored(), (QStringList{"1/1111", "2/2222", "2/9999"}));
        EXPECT_EQ(rs.recordCount(), 2) << "the set stays as it was";
        EXPECT_EQ(rs.absolutePosition(), 1);
        EXPECT_EQ(rs.valueAt(0, rkod).toString(), QStringLiteral("1111"));
    }
}

// Rows a set deleted inside a transaction that does not commit - rolled back
// by a failure, or a commit refused because another program reads the file -
// come back into the set where they stood, with the position it had; a
// savepoint that rolls back returns only its own, and a commit keeps them
// deleted.
TEST_F(KeptKeyTest, rows_deleted_in_a_transaction_that_does_not_commit_come_back_into_the_set)
{
    auto db = folder.entered();
    Recordset& rs = items->recordset();
    int heard = 0;
    QObject::connect(items.get(), &DataConnection::rowsChanged, [&] { ++heard; });

    {
        Database::Transaction outer(*db);
        rs.moveFirst();
        rs.deleteCurrent();
        {
            Database::Transaction inner(*db);
            rs.moveFirst();
            rs.deleteCurrent();
            EXPECT_EQ(rs.recordCount(), 0);
        }
        EXPECT_EQ(column(rs, QStringLiteral("Rkod")), QStringList{"1112"}) << "the savepoint's delete came back";
        EXPECT_EQ(rs.absolutePosition(), 0);
    }
    EXPECT_EQ(column(rs, QStringLiteral("Rkod")), (QStringList{"1111", "1112"}));
    EXPECT_EQ(rs.absolutePosition(), 0);
    EXPECT_TRUE(rs.hasCurrent());
    EXPECT_GE(heard, 4) << "bound controls hear of the rows that came back";

    // A commit that another program's read refuses.
    const int timeout = Database::busyTimeout();
    Database::setBusyTimeout(200);
    {
        OtherProgram reader{db->path()};
        reader.run(QStringLiteral("begin"));
        reader.run(QStringLiteral("select count(*) from Ráfkódok"));
        rs.setAbsolutePosition(1);
        EXPECT_THROW(
            {
                Database::Transaction t(*db);
                rs.deleteCurrent();
                t.commit();
            },
            DbError);
        reader.run(QStringLiteral("rollback"));
    }
    Database::setBusyTimeout(timeout);
    EXPECT_EQ(column(rs, QStringLiteral("Rkod")), (QStringList{"1111", "1112"}));
    EXPECT_EQ(rs.absolutePosition(), 1);
    EXPECT_EQ(stored(), (QStringList{"1/1111", "1/1112", "2/2222"}));

    {
        Database::Transaction outer(*db);
        {
            Database::Transaction inner(*db);
            rs.moveFirst();
            rs.deleteCurrent();
            inner.commit();
        }
        outer.commit();
    }
    EXPECT_EQ(column(rs, QStringLiteral("Rkod")), QStringList{"1112"});
    EXPECT_EQ(stored(), (QStringList{"1/1112", "2/2222"}));
}
