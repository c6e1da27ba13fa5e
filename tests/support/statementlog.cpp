#include "tests/support/statementlog.h"

#include <QByteArray>

#include <sqlite3.h>

namespace testsupport {

StatementLog::StatementLog(sqlite3* db) : m_db(db)
{
    sqlite3_trace_v2(m_db, SQLITE_TRACE_STMT, &StatementLog::traced, this);
}

StatementLog::~StatementLog()
{
    sqlite3_trace_v2(m_db, 0, nullptr, nullptr);
}

int StatementLog::traced(unsigned, void* self, void* statement, void*)
{
    static_cast<StatementLog*>(self)->m_statements
        << QString::fromUtf8(sqlite3_sql(static_cast<sqlite3_stmt*>(statement)));
    return 0;
}

QStringList StatementLog::countingPlans(const QString& table) const
{
    const QString head = QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table);
    QStringList plans;
    for (const QString& sql : m_statements) {
        if (!sql.startsWith(head, Qt::CaseInsensitive))
            continue;
        QStringList steps;
        const QByteArray explain = "EXPLAIN QUERY PLAN " + sql.toUtf8();
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, explain.constData(), -1, &stmt, nullptr) == SQLITE_OK) {
            while (sqlite3_step(stmt) == SQLITE_ROW)
                steps << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3)));
        } else {
            steps << QStringLiteral("(no plan: %1)").arg(QString::fromUtf8(sqlite3_errmsg(m_db)));
        }
        sqlite3_finalize(stmt);
        plans << sql + QStringLiteral(" -> ") + steps.join(QStringLiteral("; "));
    }
    return plans;
}

} // namespace testsupport
