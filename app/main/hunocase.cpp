// A loadable extension for the sqlite3 tool and other SQLite programs: the
// HUNOCASE collation every text column of the database files is declared
// with, built from the programs' own comparison, so that a tool can query,
// write and check the files:
//   sqlite3 -cmd '.load <build>/app/hunocase' mráfordkódok.mdb
#include "platform/db/dialect.h"

#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT1

namespace {

int collate(void*, int na, const void* a, int nb, const void* b)
{
    return platform::db::dialect::compareNoCase(static_cast<const char*>(a), na, static_cast<const char*>(b), nb);
}

} // namespace

extern "C" int sqlite3_hunocase_init(sqlite3* db, char** error, const sqlite3_api_routines* api)
{
    (void)error;
    SQLITE_EXTENSION_INIT2(api);
    return sqlite3_create_collation_v2(db, platform::db::dialect::kCollation, SQLITE_UTF8, nullptr, collate, nullptr);
}
