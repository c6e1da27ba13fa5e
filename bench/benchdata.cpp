#include "bench/benchdata.h"

#include <QFile>
#include <QString>

#include <cstdio>

namespace bench {

void bulkInsert(platform::db::Database& db, const char* sql, int rows, const std::function<void(sqlite3_stmt*, int)>& bind)
{
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db.handle(), sql, -1, &stmt, nullptr) != SQLITE_OK) {
        std::printf("  prepare failed: %s\n", sqlite3_errmsg(db.handle()));
        return;
    }
    for (int i = 0; i < rows; ++i) {
        bind(stmt, i);
        if (sqlite3_step(stmt) != SQLITE_DONE) {
            std::printf("  insert failed: %s\n", sqlite3_errmsg(db.handle()));
            break;
        }
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
}

void bindText(sqlite3_stmt* stmt, int index, const QByteArray& text)
{
    sqlite3_bind_text(stmt, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}

QByteArray episodeDate(int i)
{
    return QStringLiteral("2005.%1.%2.")
        .arg(1 + i % 12, 2, 10, QChar('0'))
        .arg(1 + i % 28, 2, 10, QChar('0'))
        .toUtf8();
}

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

} // namespace bench
