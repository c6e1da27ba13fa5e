#include "platform/db/sqlitestatement.h"

#include <QDate>
#include <QDateTime>

namespace platform::db {

Statement::Statement(Database& db, const QString& sql) : m_db(db), m_sql(sql)
{
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db.handle(), text.constData(), int(text.size()), &m_stmt, nullptr) != SQLITE_OK)
        fail(QString());
    if (!m_stmt)
        throw DbError(QStringLiteral("Empty statement: %1").arg(sql));
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

void Statement::fail(const QString& what) const
{
    QString message = QString::fromUtf8(sqlite3_errmsg(m_db.handle()));
    if (!what.isEmpty())
        message = what + QStringLiteral(": ") + message;
    throw DbError(QStringLiteral("%1 (in: %2; file: %3)").arg(message, m_sql, m_db.path()), m_db.path(),
                  sqlite3_extended_errcode(m_db.handle()));
}

void Statement::bind(int index, const QVariant& value, bool asBoolean)
{
    int rc = SQLITE_OK;
    if (!value.isValid() || value.isNull()) {
        rc = sqlite3_bind_null(m_stmt, index);
    } else if (asBoolean || value.typeId() == QMetaType::Bool) {
        bool truth = value.toBool();
        // The old dialect writes True as -1 and may hand over the words.
        if (value.typeId() == QMetaType::QString) {
            const QString s = value.toString().trimmed();
            truth = s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0
                || s.compare(QLatin1String("igaz"), Qt::CaseInsensitive) == 0
                || (s.toLongLong() != 0);
        }
        rc = sqlite3_bind_int(m_stmt, index, truth ? 1 : 0);
    } else {
        switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
            rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            rc = sqlite3_bind_blob(m_stmt, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::QDate:
            // The date form the programs store: year.month.day. with points.
            rc = sqlite3_bind_text(m_stmt, index, value.toDate().toString(QStringLiteral("yyyy.MM.dd.")).toUtf8().constData(),
                                   -1, SQLITE_TRANSIENT);
            break;
        default: {
            const QByteArray text = value.toString().toUtf8();
            rc = sqlite3_bind_text(m_stmt, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
        }
    }
    if (rc != SQLITE_OK)
        fail(QStringLiteral("bind %1").arg(index));
}

void Statement::bindAll(const QVariantList& values)
{
    const int expected = sqlite3_bind_parameter_count(m_stmt);
    if (expected != values.size())
        throw DbError(QStringLiteral("%1 parameters given, %2 expected (in: %3)").arg(values.size()).arg(expected).arg(m_sql));
    for (int i = 0; i < values.size(); ++i)
        bind(i + 1, values.at(i));
}

bool Statement::step()
{
    if (!sqlite3_stmt_busy(m_stmt) && !sqlite3_stmt_readonly(m_stmt))
        m_db.aboutToWrite();
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    sqlite3_reset(m_stmt);
    fail(QString());
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QString Statement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

bool Statement::columnIsBoolean(int column) const
{
    const char* type = sqlite3_column_decltype(m_stmt, column);
    return type && QByteArray(type).toUpper().contains("BOOL");
}

QVariant Statement::columnValue(int column, bool asBoolean) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER: {
        const qint64 v = sqlite3_column_int64(m_stmt, column);
        return asBoolean ? QVariant(v != 0) : QVariant(qlonglong(v));
    }
    case SQLITE_FLOAT: {
        const double v = sqlite3_column_double(m_stmt, column);
        return asBoolean ? QVariant(v != 0.0) : QVariant(v);
    }
    case SQLITE_TEXT:
        return columnText(column);
    case SQLITE_BLOB: {
        const void* data = sqlite3_column_blob(m_stmt, column);
        return QByteArray(static_cast<const char*>(data), sqlite3_column_bytes(m_stmt, column));
    }
    default:
        return QVariant();
    }
}

QString Statement::columnText(int column) const
{
    const char* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, column));
}

qint64 Statement::columnInt64(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

bool Statement::readOnly() const
{
    return sqlite3_stmt_readonly(m_stmt) != 0;
}

} // namespace platform::db
