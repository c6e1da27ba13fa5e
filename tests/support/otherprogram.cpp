#include "tests/support/otherprogram.h"

#include "platform/db/dialect.h"

#include <QFile>

#include <sqlite3.h>

#include <gtest/gtest.h>

namespace testsupport {

OtherProgram::OtherProgram(const QString& path)
{
    sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
    // The text columns' collation, as the tool loads it from its extension.
    sqlite3_create_collation_v2(
        m_db, platform::db::dialect::kCollation, SQLITE_UTF8, nullptr,
        [](void*, int na, const void* a, int nb, const void* b) {
            return platform::db::dialect::compareNoCase(static_cast<const char*>(a), na, static_cast<const char*>(b),
                                                        nb);
        },
        nullptr);
}

OtherProgram::~OtherProgram()
{
    if (m_releaser.joinable())
        m_releaser.join();
    sqlite3_close_v2(m_db);
}

bool OtherProgram::lock()
{
    return sqlite3_exec(m_db, "BEGIN IMMEDIATE; CREATE TABLE other_program (x)", nullptr, nullptr, nullptr)
        == SQLITE_OK;
}

void OtherProgram::release()
{
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void OtherProgram::releaseAfter(std::chrono::milliseconds wait)
{
    m_releaser = std::thread([this, wait] {
        std::this_thread::sleep_for(wait);
        release();
    });
}

QStringList OtherProgram::run(const QString& sql, const QVariantList& params)
{
    QStringList out;
    sqlite3_busy_timeout(m_db, 5000);
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &s, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(m_db) << " in " << sql.toStdString();
        sqlite3_busy_timeout(m_db, 0);
        return out;
    }
    for (int i = 0; i < params.size(); ++i) {
        const QByteArray text = params[i].toString().toUtf8();
        sqlite3_bind_text(s, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW)
        out << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
    EXPECT_EQ(rc, SQLITE_DONE) << sqlite3_errmsg(m_db) << " in " << sql.toStdString();
    sqlite3_finalize(s);
    // lock() answers at once whether the file is free.
    sqlite3_busy_timeout(m_db, 0);
    return out;
}

std::vector<Hold> holdsOn(const QString& table)
{
    return {
        {"a write lock", [](OtherProgram& other) { ASSERT_TRUE(other.lock()); }},
        {"a read that keeps the commit out",
         [table](OtherProgram& other) {
             other.run(QStringLiteral("begin"));
             other.run(QStringLiteral("select count(*) from ") + table);
         }},
    };
}

} // namespace testsupport
