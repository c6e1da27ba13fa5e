// A prepared statement of the layer: binds QVariants, steps, reads columns
// back as QVariants, and reports every engine failure as a DbError.
#pragma once

#include "platform/db/dataconnection.h"

#include <sqlite3.h>

namespace platform::db {

class Statement {
public:
    Statement(Database& db, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int index, const QVariant& value, bool asBoolean = false); // index from 1
    void bindAll(const QVariantList& values);
    // True while a row is there; false when the statement is done.
    bool step();
    void reset();

    int columnCount() const;
    QString columnName(int column) const;
    bool columnIsBoolean(int column) const;
    QVariant columnValue(int column, bool asBoolean = false) const;
    QString columnText(int column) const;
    qint64 columnInt64(int column) const;
    bool readOnly() const;

private:
    [[noreturn]] void fail(const QString& what) const;
    Database& m_db;
    QString m_sql;
    sqlite3_stmt* m_stmt = nullptr;
};

} // namespace platform::db
