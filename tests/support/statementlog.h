// The statements the engine runs on one database file while a log lives, and
// how it goes about those that count rows: the plan tells whether a count
// reads a whole table, runs over an index, or finds its rows by one.
#pragma once

#include <QString>
#include <QStringList>

struct sqlite3;

namespace testsupport {

class StatementLog {
public:
    explicit StatementLog(sqlite3* db);
    ~StatementLog();
    StatementLog(const StatementLog&) = delete;
    StatementLog& operator=(const StatementLog&) = delete;

    QStringList statements() const { return m_statements; }
    // Each "SELECT count(*) FROM <table>..." run, as its text, " -> " and the
    // steps of its query plan ("SCAN konv USING COVERING INDEX ...").
    QStringList countingPlans(const QString& table) const;

private:
    static int traced(unsigned type, void* self, void* statement, void* expanded);

    sqlite3* m_db;
    QStringList m_statements;
};

} // namespace testsupport
