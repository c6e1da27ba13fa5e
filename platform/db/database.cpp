#include "platform/db/dataconnection.h"
#include "platform/db/dialect.h"
#include "platform/db/sqlitestatement.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>

#include <sqlite3.h>

#include <algorithm>
#include <map>

namespace platform::db {

namespace {

using dialect::Token;

int collate(void*, int na, const void* a, int nb, const void* b)
{
    return dialect::compareNoCase(static_cast<const char*>(a), na, static_cast<const char*>(b), nb);
}

QString argText(sqlite3_value* v)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
}

void destroyPattern(void* p)
{
    delete static_cast<dialect::LikePattern*>(p);
}

// like(pattern, value [, escape]): the LIKE operator of every query.
void likeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL
        || (argc == 3 && sqlite3_value_type(argv[2]) == SQLITE_NULL)) {
        sqlite3_result_null(ctx);
        return;
    }
    // The pattern is usually the same for every row; keep it compiled.
    auto* pattern = static_cast<dialect::LikePattern*>(sqlite3_get_auxdata(ctx, 0));
    if (!pattern) {
        char32_t escape = 0;
        if (argc == 3) {
            const QList<uint> e = argText(argv[2]).toUcs4();
            if (e.size() != 1) {
                sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
                return;
            }
            escape = e.front();
        }
        pattern = new dialect::LikePattern(argText(argv[0]), escape);
        sqlite3_set_auxdata(ctx, 0, pattern, destroyPattern);
        pattern = static_cast<dialect::LikePattern*>(sqlite3_get_auxdata(ctx, 0));
        if (!pattern) { // SQLite may drop auxiliary data at once
            dialect::LikePattern once(argText(argv[0]), escape);
            const char* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
            sqlite3_result_int(ctx, once.matchesUtf8(text, sqlite3_value_bytes(argv[1])) ? 1 : 0);
            return;
        }
    }
    const char* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    sqlite3_result_int(ctx, pattern->matchesUtf8(text, sqlite3_value_bytes(argv[1])) ? 1 : 0);
}

void resultText(sqlite3_context* ctx, const QString& s)
{
    const QByteArray u = s.toUtf8();
    sqlite3_result_text(ctx, u.constData(), int(u.size()), SQLITE_TRANSIENT);
}

// left(text, n), right(text, n), mid(text, start [, n]), len(text): counted in
// characters, not bytes.

// The length of left and right; false when the result is already given
// (Null for a Null argument, an error for a negative length).
bool lengthArgument(sqlite3_context* ctx, sqlite3_value** argv, const char* negativeError, qint64& n)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return false;
    }
    n = sqlite3_value_int64(argv[1]);
    if (n < 0) {
        sqlite3_result_error(ctx, negativeError, -1);
        return false;
    }
    return true;
}

void leftFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    qint64 n = 0;
    if (!lengthArgument(ctx, argv, "left: negative length", n))
        return;
    // Walks the UTF-8 bytes: the month selections call this for every row.
    const auto* text = sqlite3_value_text(argv[0]);
    const int bytes = sqlite3_value_bytes(argv[0]);
    int end = 0;
    for (qint64 chars = 0; end < bytes && chars < n; ++chars) {
        ++end;
        while (end < bytes && (text[end] & 0xC0) == 0x80)
            ++end;
    }
    sqlite3_result_text(ctx, reinterpret_cast<const char*>(text), end, SQLITE_TRANSIENT);
}

void rightFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    qint64 n = 0;
    if (!lengthArgument(ctx, argv, "right: negative length", n))
        return;
    resultText(ctx, argText(argv[0]).right(qsizetype(n)));
}

void midFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return;
        }
    }
    const qint64 start = sqlite3_value_int64(argv[1]);
    if (start < 1) {
        sqlite3_result_error(ctx, "mid: start must be 1 or more", -1);
        return;
    }
    const qint64 n = argc == 3 ? sqlite3_value_int64(argv[2]) : -1;
    resultText(ctx, argText(argv[0]).mid(qsizetype(start - 1), qsizetype(n)));
}

void lenFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int64(ctx, argText(argv[0]).size());
}

void check(sqlite3* db, int rc, const QString& what)
{
    if (rc != SQLITE_OK)
        throw DbError(QStringLiteral("%1: %2").arg(what, QString::fromUtf8(sqlite3_errmsg(db))),
                      QString::fromUtf8(sqlite3_db_filename(db, "main")), sqlite3_extended_errcode(db));
}

int g_busyTimeout = 5000;

void setUp(sqlite3* db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    check(db, sqlite3_create_collation_v2(db, dialect::kCollation, SQLITE_UTF8, nullptr, collate, nullptr),
          QStringLiteral("collation"));
    // The string functions of the old dialect; a failure is reported under
    // the family name (leftstr as left, rightstr as right).
    struct Function {
        const char* name;
        int args;
        void (*impl)(sqlite3_context*, int, sqlite3_value**);
        const char* label;
    };
    static const Function functions[] = {
        {"like", 2, likeFunction, "like"},
        {"like", 3, likeFunction, "like"},
        {"left", 2, leftFunction, "left"},
        {"leftstr", 2, leftFunction, "left"},
        {"rightstr", 2, rightFunction, "right"},
        {"right", 2, rightFunction, "right"},
        {"mid", 2, midFunction, "mid"},
        {"mid", 3, midFunction, "mid"},
        {"len", 1, lenFunction, "len"},
    };
    for (const Function& f : functions)
        check(db, sqlite3_create_function_v2(db, f.name, f.args, flags, nullptr, f.impl, nullptr, nullptr, nullptr),
              QString::fromLatin1(f.label));
    sqlite3_busy_timeout(db, g_busyTimeout);
    // A rollback journal, not a write-ahead log: a clerk backs up "the data
    // file" by copying it, data folders sit on network shares where a log
    // does not work, and only with a journal does a transaction over
    // attached files commit atomically. A file a log was once used on is
    // turned back here (it stays so only while another program holds it).
    sqlite3_exec(db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
}

// One connection per file and process, so that every record set of a file
// sees the same rows and the same transaction.
std::map<QString, std::weak_ptr<Database>>& openFiles()
{
    static std::map<QString, std::weak_ptr<Database>> files;
    return files;
}

QString fileKey(const QString& path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

bool isKeyword(const Token& t)
{
    static const char* const words[] = {"and", "or", "not", "where", "select", "from", "on", "when", "then", "else", "case"};
    for (const char* w : words) {
        if (t.isWord(w))
            return true;
    }
    return false;
}

bool hasNonAscii(const QString& s)
{
    for (QChar c : s) {
        if (c.unicode() >= 0x80)
            return true;
    }
    return false;
}

} // namespace

int Database::Table::columnIndex(const QString& name) const
{
    for (size_t i = 0; i < columns.size(); ++i) {
        if (dialect::compareNoCase(columns[i].name, name) == 0)
            return int(i);
    }
    return -1;
}

Database::Database(const QString& path, sqlite3* db) : m_path(path), m_db(db) {}

Database::~Database()
{
    if (m_path != QLatin1String(":memory:")) {
        auto& files = openFiles();
        const auto it = files.find(fileKey(m_path));
        // Only this object's entry: another may have replaced an expired one.
        if (it != files.end() && (it->second.expired() || it->second.lock().get() == this))
            files.erase(it);
    }
    sqlite3_finalize(m_dataVersionQuery);
    sqlite3_close_v2(m_db);
}

std::shared_ptr<Database> Database::open(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        throw DbError(QStringLiteral("Az adatbázis-fájl nem található: %1").arg(path), path, SQLITE_CANTOPEN);
    // The engine would take an empty file for a new database and write one
    // into it; an empty file is a broken copy, and it stays as it is.
    if (info.size() == 0)
        throw DbError(QStringLiteral("Az adatbázis-fájl üres (0 bájt): %1").arg(path), path, SQLITE_NOTADB);
    const QString key = fileKey(path);
    if (auto existing = openFiles()[key].lock())
        return existing;
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        const int code = db ? sqlite3_extended_errcode(db) : rc;
        sqlite3_close_v2(db);
        throw DbError(QStringLiteral("Az adatbázis-fájl nem nyitható meg: %1 (%2)").arg(path, message), path, code);
    }
    sqlite3_extended_result_codes(db, 1);
    std::shared_ptr<Database> result(new Database(path, db));
    // A file that is not a database fails here rather than at first use.
    sqlite3_busy_timeout(db, g_busyTimeout);
    if (sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) != SQLITE_OK)
        throw DbError(QStringLiteral("A fájl nem adatbázis: %1 (%2)").arg(path, QString::fromUtf8(sqlite3_errmsg(db))),
                      path, sqlite3_extended_errcode(db));
    setUp(db);
    sqlite3_update_hook(db, &Database::rowWritten, result.get());
    openFiles()[key] = result;
    return result;
}

std::shared_ptr<Database> Database::inMemory()
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(db);
        throw DbError(QStringLiteral("out of memory"));
    }
    sqlite3_extended_result_codes(db, 1);
    std::shared_ptr<Database> result(new Database(QStringLiteral(":memory:"), db));
    setUp(db);
    sqlite3_update_hook(db, &Database::rowWritten, result.get());
    return result;
}

void Database::setBusyTimeout(int milliseconds)
{
    g_busyTimeout = milliseconds;
    for (const auto& [key, file] : openFiles()) {
        if (const auto db = file.lock())
            sqlite3_busy_timeout(db->m_db, milliseconds);
    }
}

int Database::busyTimeout()
{
    return g_busyTimeout;
}

bool Database::readableNow()
{
    sqlite3_busy_timeout(m_db, 0);
    bool readable = true;
    try {
        dataStamp();
    } catch (const DbError&) {
        readable = false;
    }
    sqlite3_busy_timeout(m_db, g_busyTimeout);
    return readable;
}

std::shared_ptr<Database> Database::create(const QString& path)
{
    if (QFileInfo(path).exists())
        return open(path);
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        sqlite3_close_v2(db);
        throw DbError(QStringLiteral("Az adatbázis-fájl nem hozható létre: %1 (%2)").arg(path, message), path,
                      SQLITE_CANTOPEN);
    }
    sqlite3_extended_result_codes(db, 1);
    std::shared_ptr<Database> result(new Database(path, db));
    setUp(db);
    sqlite3_update_hook(db, &Database::rowWritten, result.get());
    openFiles()[fileKey(path)] = result;
    return result;
}

void Database::forgetSchema()
{
    m_schemaLoaded = false;
    m_tables.clear();
}

void Database::loadSchema()
{
    if (m_schemaLoaded)
        return;
    m_tables.clear();
    Statement names(*this, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                          "AND substr(name, 1, 7) <> 'sqlite_' ORDER BY rowid"));
    while (names.step())
        m_tables.push_back({names.columnText(0), {}});
    for (Table& table : m_tables) {
        Statement info(*this, QStringLiteral("PRAGMA table_info(%1)").arg(dialect::quoteIdent(table.name)));
        while (info.step()) {
            Column column;
            column.name = info.columnText(1);
            column.declaredType = info.columnText(2);
            column.isBoolean = column.declaredType.contains(QLatin1String("BOOL"), Qt::CaseInsensitive)
                || column.declaredType.compare(QLatin1String("BIT"), Qt::CaseInsensitive) == 0
                || column.declaredType.compare(QLatin1String("YESNO"), Qt::CaseInsensitive) == 0;
            const char* collation = nullptr;
            const QByteArray t = table.name.toUtf8();
            const QByteArray c = column.name.toUtf8();
            if (sqlite3_table_column_metadata(m_db, "main", t.constData(), c.constData(), nullptr, &collation,
                                              nullptr, nullptr, nullptr) == SQLITE_OK && collation) {
                column.collation = QString::fromUtf8(collation);
            }
            table.columns.push_back(std::move(column));
        }
    }
    m_schemaLoaded = true;
}

const Database::Table* Database::findTable(const QString& name)
{
    loadSchema();
    for (const Table& table : m_tables) {
        if (dialect::compareNoCase(table.name, name) == 0)
            return &table;
    }
    return nullptr;
}

QStringList Database::tableNames()
{
    loadSchema();
    QStringList names;
    for (const Table& table : m_tables)
        names << table.name;
    return names;
}

QString Database::translate(const QString& sql, QVariantList* params)
{
    const std::vector<Token> tokens = dialect::tokenize(sql);
    const QVariantList given = params ? *params : QVariantList();
    QVariantList bound;
    int nextParam = 0;

    // The table the statement works on decides whether a like prefix may
    // become an index range (only on a text column with the collation).
    const Table* context = nullptr;
    auto nextSolid = [&](size_t from) {
        while (from < tokens.size() && tokens[from].kind == Token::Space)
            ++from;
        return from;
    };
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].isWord("from") || tokens[i].isWord("update") || tokens[i].isWord("into")) {
            const size_t j = nextSolid(i + 1);
            if (j < tokens.size() && (tokens[j].kind == Token::Word || tokens[j].kind == Token::QuotedIdent)) {
                context = findTable(tokens[j].value());
                break;
            }
        }
    }

    auto canonical = [&](const QString& name) -> QString {
        loadSchema();
        for (const Table& table : m_tables) {
            if (dialect::compareNoCase(table.name, name) == 0)
                return table.name;
            for (const Column& column : table.columns) {
                if (dialect::compareNoCase(column.name, name) == 0)
                    return column.name;
            }
        }
        return QString();
    };
    auto identText = [&](const Token& t) -> QString {
        if (t.kind == Token::QuotedIdent) {
            const QString known = canonical(t.value());
            return dialect::quoteIdent(known.isEmpty() ? t.value() : known);
        }
        // The engine folds only ASCII letters in names; give it the file's
        // own spelling when an accented letter is written in another case.
        if (hasNonAscii(t.text)) {
            const QString known = canonical(t.text);
            if (!known.isEmpty())
                return dialect::quoteIdent(known);
        }
        return t.text;
    };
    auto takeParam = [&]() -> QVariant {
        if (nextParam >= given.size())
            throw DbError(QStringLiteral("Too few parameters for: %1").arg(sql));
        return given.at(nextParam++);
    };

    QString out;
    out.reserve(sql.size() + 16);
    const Token* previousSolid = nullptr;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.kind == Token::Space) {
            out += t.text;
            continue;
        }
        bool rewritten = false;
        if ((t.kind == Token::Word || t.kind == Token::QuotedIdent) && context && !isKeyword(t)
            && !(previousSolid && previousSolid->kind == Token::Punct && previousSolid->text == u'.')) {
            // "<column> like <pattern>" with a pattern "<literal>*": add an
            // index range in front of the like, which still decides.
            const size_t likeAt = nextSolid(i + 1);
            const size_t patAt = likeAt < tokens.size() ? nextSolid(likeAt + 1) : tokens.size();
            const size_t afterAt = patAt < tokens.size() ? nextSolid(patAt + 1) : tokens.size();
            const int col = context->columnIndex(t.value());
            if (col >= 0 && likeAt < tokens.size() && tokens[likeAt].isWord("like") && patAt < tokens.size()
                && (tokens[patAt].kind == Token::Param || tokens[patAt].kind == Token::String)
                && !(afterAt < tokens.size() && tokens[afterAt].isWord("escape"))
                && context->columns[size_t(col)].collation.compare(QLatin1String(dialect::kCollation),
                                                                    Qt::CaseInsensitive) == 0
                && context->columns[size_t(col)].declaredType.contains(QLatin1String("TEXT"), Qt::CaseInsensitive)) {
                QVariant pattern;
                const bool isParam = tokens[patAt].kind == Token::Param && tokens[patAt].text == u'?';
                if (isParam)
                    pattern = nextParam < given.size() ? given.at(nextParam) : QVariant();
                else if (tokens[patAt].kind == Token::String)
                    pattern = tokens[patAt].value();
                std::optional<QString> prefix;
                std::optional<QString> upper;
                if (pattern.typeId() == QMetaType::QString) {
                    prefix = dialect::literalPrefix(pattern.toString());
                    if (prefix)
                        upper = dialect::prefixUpperBound(*prefix);
                }
                if (prefix && upper) {
                    const QString name = dialect::quoteIdent(context->columns[size_t(col)].name);
                    out += QStringLiteral("(%1 >= ? AND %1 < ? AND %1 LIKE ?)").arg(name);
                    bound << *prefix << *upper;
                    if (isParam)
                        bound << takeParam();
                    else
                        bound << pattern;
                    i = patAt;
                    previousSolid = &tokens[patAt];
                    rewritten = true;
                }
            }
        }
        if (rewritten)
            continue;
        switch (t.kind) {
        case Token::Word:
            if ((t.isWord("left") || t.isWord("right")) && nextSolid(i + 1) < tokens.size()
                && tokens[nextSolid(i + 1)].text == u'(')
                // The engine reads left and right as join words; the
                // functions go by other names.
                out += t.isWord("left") ? QLatin1String("leftstr") : QLatin1String("rightstr");
            else if (t.isWord("true"))
                out += QLatin1String("1");
            else if (t.isWord("false"))
                out += QLatin1String("0");
            else
                out += identText(t);
            break;
        case Token::QuotedIdent:
            out += identText(t);
            break;
        case Token::Param:
            if (t.text != u'?')
                throw DbError(QStringLiteral("Only plain ? parameters are supported: %1").arg(sql));
            out += t.text;
            bound << takeParam();
            break;
        default:
            out += t.text;
        }
        previousSolid = &t;
    }
    if (nextParam != given.size())
        throw DbError(QStringLiteral("Too many parameters (%1 given, %2 used) for: %3")
                          .arg(given.size())
                          .arg(nextParam)
                          .arg(sql));
    if (params)
        *params = bound;
    return out;
}

quint64 Database::dataStamp()
{
    // The engine's data version moves with every commit of another
    // connection, never with this one's own; this layer counts its own.
    if (!m_dataVersionQuery)
        check(m_db, sqlite3_prepare_v2(m_db, "PRAGMA data_version", -1, &m_dataVersionQuery, nullptr),
              QStringLiteral("data_version"));
    if (sqlite3_step(m_dataVersionQuery) != SQLITE_ROW) {
        const DbError error(QStringLiteral("%1 (in: PRAGMA data_version; file: %2)")
                                .arg(QString::fromUtf8(sqlite3_errmsg(m_db)), m_path),
                            m_path, sqlite3_extended_errcode(m_db));
        sqlite3_reset(m_dataVersionQuery);
        throw error;
    }
    const qint64 version = sqlite3_column_int64(m_dataVersionQuery, 0);
    sqlite3_reset(m_dataVersionQuery);
    if (version != m_dataVersion) {
        m_dataVersion = version;
        ++m_othersCommits;
    }
    return m_changes + m_othersCommits;
}

void Database::rowWritten(void* self, int operation, const char* schema, const char* table, qint64 rowid)
{
    auto* db = static_cast<Database*>(self);
    if (qstrcmp(schema, "main") == 0) {
        db->noteRowWritten(operation, table, rowid);
        return;
    }
    // A write into an attached file is a write of this program into that
    // file: its own connection, when it is open, hears of it.
    const char* attached = sqlite3_db_filename(db->m_db, schema);
    if (!attached || !*attached)
        return;
    const auto it = openFiles().find(fileKey(QString::fromUtf8(attached)));
    if (it == openFiles().end())
        return;
    if (const std::shared_ptr<Database> file = it->second.lock())
        file->noteRowWritten(operation, table, rowid);
}

void Database::noteRowWritten(int operation, const char* table, qint64 rowid)
{
    // Most writes are inserts (an import, a save): while no row has been
    // updated they cost nothing here.
    if (operation != SQLITE_UPDATE && m_updatedRows.isEmpty())
        return;
    if (m_lastTable.isNull() || qstrcmp(m_lastTableUtf8.constData(), table) != 0) {
        m_lastTableUtf8 = QByteArray(table);
        m_lastTable = QString::fromUtf8(m_lastTableUtf8);
    }
    if (operation == SQLITE_UPDATE) {
        m_updatedRows[m_lastTable].insert(rowid, ++m_rowWrites);
        return;
    }
    // A deleted row's key may be given to another row; an inserted row is
    // a new one, whatever key it took.
    const auto it = m_updatedRows.find(m_lastTable);
    if (it == m_updatedRows.end())
        return;
    it->remove(rowid);
    if (it->isEmpty())
        m_updatedRows.erase(it);
}

quint64 Database::lastUpdateOf(const QString& table, qint64 rowid) const
{
    const auto it = m_updatedRows.constFind(table);
    return it == m_updatedRows.constEnd() ? 0 : it->value(rowid, 0);
}

void Database::watchWrites(WriteWatcher* watcher)
{
    m_watchers.push_back(watcher);
}

void Database::unwatchWrites(WriteWatcher* watcher)
{
    m_watchers.erase(std::remove(m_watchers.begin(), m_watchers.end(), watcher), m_watchers.end());
}

void Database::aboutToWrite()
{
    // The watchers only read; a read of theirs is no write to tell about.
    if (m_notifying || m_watchers.empty())
        return;
    m_notifying = true;
    try {
        const std::vector<WriteWatcher*> watchers = m_watchers;
        for (WriteWatcher* w : watchers)
            w->beforeWrite();
    } catch (...) {
        m_notifying = false;
        throw;
    }
    m_notifying = false;
}

void Database::exec(const QString& sql, const QVariantList& params)
{
    QVariantList bound = params;
    const QString text = translate(sql, &bound);
    Statement statement(*this, text);
    statement.bindAll(bound);
    while (statement.step()) {
    }
    if (!statement.readOnly()) {
        noteChange();
        const QString head = text.trimmed().left(6);
        if (head.compare(QLatin1String("CREATE"), Qt::CaseInsensitive) == 0
            || head.startsWith(QLatin1String("DROP"), Qt::CaseInsensitive)
            || head.startsWith(QLatin1String("ALTER"), Qt::CaseInsensitive))
            forgetSchema();
    }
}

void Database::execScript(const QString& sql)
{
    aboutToWrite();
    char* error = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &error);
    forgetSchema();
    noteChange();
    if (rc != SQLITE_OK) {
        const QString message = error ? QString::fromUtf8(error) : QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_free(error);
        throw DbError(QStringLiteral("%1 (%2)").arg(message, m_path), m_path, sqlite3_extended_errcode(m_db));
    }
}

QVariant Database::scalar(const QString& sql, const QVariantList& params)
{
    QVariantList bound = params;
    const QString text = translate(sql, &bound);
    Statement statement(*this, text);
    statement.bindAll(bound);
    if (!statement.step())
        return QVariant();
    const QVariant value = statement.columnValue(0, statement.columnIsBoolean(0));
    if (!statement.readOnly()) {
        while (statement.step()) {
        }
        noteChange();
    }
    return value;
}

Database::Transaction::Transaction(Database& db) : m_db(db)
{
    // A transaction is there to write, also with the engine directly.
    m_db.aboutToWrite();
    if (m_db.m_savepoints == 0 && sqlite3_get_autocommit(m_db.m_db)) {
        m_db.exec(QStringLiteral("BEGIN IMMEDIATE"));
        m_outermost = true;
        m_db.m_savepoints = 1;
        return;
    }
    // Savepoints nest, so a transaction inside another one works as well.
    const int level = m_db.m_savepoints + 1;
    m_db.exec(QStringLiteral("SAVEPOINT rafordit_%1").arg(level));
    m_db.m_savepoints = level;
}

Database::Transaction::~Transaction()
{
    if (m_done)
        return;
    const int level = m_db.m_savepoints--;
    // The engine may have rolled the whole transaction back already (a full
    // disk, an I/O error); then there is nothing left to undo.
    if (m_outermost) {
        if (!sqlite3_get_autocommit(m_db.m_db))
            sqlite3_exec(m_db.m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    } else if (!sqlite3_get_autocommit(m_db.m_db)) {
        const QByteArray name = QStringLiteral("rafordit_%1").arg(level).toUtf8();
        sqlite3_exec(m_db.m_db, ("ROLLBACK TO " + name).constData(), nullptr, nullptr, nullptr);
        sqlite3_exec(m_db.m_db, ("RELEASE " + name).constData(), nullptr, nullptr, nullptr);
    }
    m_db.noteChange();
    m_db.forgetSchema();
    m_db.transactionEnded(level, false);
}

void Database::Transaction::commit()
{
    if (m_done)
        throw DbError(QStringLiteral("Transaction already finished"), m_db.m_path);
    // A commit that fails (a lock held past the timeout, a full disk) leaves
    // the transaction open; the destructor then rolls it back.
    if (m_outermost)
        m_db.exec(QStringLiteral("COMMIT"));
    else
        m_db.exec(QStringLiteral("RELEASE rafordit_%1").arg(m_db.m_savepoints));
    const int level = m_db.m_savepoints--;
    m_done = true;
    m_db.transactionEnded(level, true);
}

void Database::transactionEnded(int level, bool committed)
{
    // A copy: a watcher may open or close record sets as it hears.
    const std::vector<WriteWatcher*> watchers = m_watchers;
    for (WriteWatcher* w : watchers)
        w->transactionEnded(level, committed);
}

namespace {

QString fileName(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? path : name;
}

} // namespace

DbError DbError::rowGone(const QString& file)
{
    DbError error(QStringLiteral("A törlendő sor már nincs a rekordhalmazban (%1)").arg(file), file);
    error.m_rowGone = true;
    return error;
}

QString DbError::clerkText() const
{
    const QString file = fileName(m_file);
    if (m_rowGone)
        return QStringLiteral("A kijelölt sort közben egy másik program törölte vagy átírta a(z) %1 "
                              "adatbázisfájlban, már nem az, amit a lista mutat.")
            .arg(file);
    // For the administrator, after a sentence that cannot name the cause:
    // the engine's words and number, or this layer's own words for a
    // refusal of its own (no engine code).
    const QString engine = m_code != 0
        ? QStringLiteral(" (%1, %2)").arg(QString::fromUtf8(sqlite3_errstr(m_code))).arg(m_code)
        : QStringLiteral(" (%1)").arg(message());
    if (file.isEmpty())
        return QStringLiteral("Adatbázis-hiba, a művelet nem hajtható végre.") + engine;
    switch (primaryCode()) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("A(z) %1 adatbázisfájlt egy másik program használja, a művelet nem hajtható végre. "
                              "Próbálja meg újra később!")
            .arg(file);
    case SQLITE_FULL:
        return QStringLiteral("Betelt a lemez, a(z) %1 adatbázisfájlba nem lehet írni.").arg(file);
    case SQLITE_READONLY:
        return QStringLiteral("A(z) %1 adatbázisfájl csak olvasható, nem lehet bele írni.").arg(file);
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_CANTOPEN:
        return QStringLiteral("A(z) %1 adatbázisfájl nem nyitható meg (nem található, vagy nincs hozzá jogosultság).")
            .arg(file);
    case SQLITE_IOERR:
        return QStringLiteral("Lemezhiba: a(z) %1 adatbázisfájl nem olvasható vagy nem írható.").arg(file) + engine;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("A(z) %1 fájl nem használható adatbázis (sérült, üres, vagy nem adatbázis).").arg(file);
    default:
        return QStringLiteral("Adatbázis-hiba a(z) %1 adatbázisfájlban, a művelet nem hajtható végre.").arg(file)
            + engine;
    }
}

} // namespace platform::db
