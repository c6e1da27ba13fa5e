// Bulk loading of benchmark data straight through the engine: the data
// layer's one-statement exec is not what the benchmarks measure.
#pragma once

#include "platform/db/dataconnection.h"

#include <QByteArray>

#include <sqlite3.h>

#include <functional>

namespace bench {

// Runs the prepared insert `rows` times, letting bind fill row i.
void bulkInsert(platform::db::Database& db, const char* sql, int rows,
                const std::function<void(sqlite3_stmt*, int)>& bind);
void bindText(sqlite3_stmt* stmt, int index, const QByteArray& text);
// The date of the i-th generated episode ("2005.mm.dd."): spread over every
// month of 2005 so that each month's lists and export find their share.
QByteArray episodeDate(int i);

// Resident memory of this process in kB, or -1 where the system does not say.
long residentKb();

} // namespace bench
