// What a clerk reads when the engine fails: Hungarian, the file by its name,
// never the query or the full path; the engine's own words only after the
// sentence, where the sentence cannot name the cause.
#include "platform/db/dataconnection.h"
#include "tests/support/otherprogram.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

using platform::db::Database;
using platform::db::DbError;

namespace {

class DbErrorText : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = QDir(dir.path()).filePath(QStringLiteral("madatok.mdb"));
        db = Database::create(path);
        db->execScript(QStringLiteral("CREATE TABLE alap (x TEXT);"));
    }
    void TearDown() override { Database::setBusyTimeout(5000); }

    QString clerkTextOf(const std::function<void()>& action)
    {
        try {
            action();
        } catch (const DbError& e) {
            return e.clerkText();
        }
        ADD_FAILURE() << "no database error";
        return QString();
    }

    QTemporaryDir dir;
    QString path;
    std::shared_ptr<Database> db;
    std::optional<testsupport::OtherProgram> other;
};

} // namespace

TEST_F(DbErrorText, engineFailuresAreToldInHungarianNamingTheFile)
{
    const QString insert = QStringLiteral("insert into alap (x) values (?)");
    const struct {
        const char* name;
        std::function<void()> setUp;
        QString text;
    } cases[] = {
        {"another program holds the lock",
         [&] {
             Database::setBusyTimeout(100);
             other.emplace(path);
             ASSERT_TRUE(other->lock());
             db->exec(insert, {QStringLiteral("a")});
         },
         "A(z) madatok.mdb adatbázisfájlt egy másik program használja, a művelet nem hajtható végre. "
         "Próbálja meg újra később!"},
        {"the file may not grow",
         [&] {
             db->scalar(QStringLiteral("pragma max_page_count = %1")
                            .arg(db->scalar(QStringLiteral("pragma page_count")).toInt()));
             db->exec(insert, {QString(100000, QLatin1Char('x'))});
         },
         "Betelt a lemez, a(z) madatok.mdb adatbázisfájlba nem lehet írni."},
        {"a cause the sentence cannot name",
         [&] {
             db->execScript(QStringLiteral(
                 "CREATE TRIGGER vedett BEFORE INSERT ON alap BEGIN SELECT RAISE(ABORT, 'védett'); END;"));
             db->exec(insert, {QStringLiteral("a")});
         },
         "Adatbázis-hiba a(z) madatok.mdb adatbázisfájlban, a művelet nem hajtható végre. "
         "(constraint failed, 1811)"},
        {"a refusal of the layer itself, no file known", [] { throw DbError(QStringLiteral("Nincs aktuális rekord")); },
         "Adatbázis-hiba, a művelet nem hajtható végre. (Nincs aktuális rekord)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString text = clerkTextOf(c.setUp);
        other.reset();
        EXPECT_EQ(text, c.text);
        EXPECT_FALSE(text.contains(dir.path()));
        EXPECT_FALSE(text.contains(QStringLiteral("insert"), Qt::CaseInsensitive));
    }
}
