#include "platform/db/dataconnection.h"
#include "platform/db/dialect.h"
#include "platform/db/sqlitestatement.h"

#include <QHash>

#include <algorithm>
#include <optional>
#include <unordered_set>

namespace platform::db {

using dialect::Token;

namespace {

constexpr int kCacheRows = 2048;

// What a record source says: a table, or a query that may be kept as a
// keyset over one table ("select <fields> from <table> [where] [order by]").
struct SourcePlan {
    bool keyset = false;
    const Database::Table* table = nullptr;
    std::vector<int> fields;  // table columns the set shows, in order
    QString whereText;        // without the word "where"; may be empty
    QString orderText;        // without "order by"; may be empty
};

size_t skipSpace(const std::vector<Token>& t, size_t i)
{
    while (i < t.size() && t[i].kind == Token::Space)
        ++i;
    return i;
}

QString joinTokens(const std::vector<Token>& t, size_t from, size_t to)
{
    QString s;
    for (size_t i = from; i < to && i < t.size(); ++i)
        s += t[i].text;
    return s.trimmed();
}

bool startsWithSelect(const QString& source)
{
    const std::vector<Token> t = dialect::tokenize(source);
    const size_t i = skipSpace(t, 0);
    return i < t.size() && t[i].isWord("select");
}

SourcePlan planQuery(Database& db, const QString& sql)
{
    SourcePlan plan;
    const std::vector<Token> t = dialect::tokenize(sql);
    size_t i = skipSpace(t, 0);
    if (i >= t.size() || !t[i].isWord("select"))
        return plan;
    i = skipSpace(t, i + 1);
    // Field list: "*" or plain names separated by commas.
    QStringList names;
    bool star = false;
    if (i < t.size() && t[i].kind == Token::Punct && t[i].text == u'*') {
        star = true;
        i = skipSpace(t, i + 1);
    } else {
        while (i < t.size()) {
            if (t[i].kind != Token::Word && t[i].kind != Token::QuotedIdent)
                return plan;
            if (t[i].isWord("from") || t[i].isWord("distinct") || t[i].isWord("all") || t[i].isWord("top"))
                return plan;
            names << t[i].value();
            i = skipSpace(t, i + 1);
            if (i < t.size() && t[i].kind == Token::Punct && t[i].text == u',') {
                i = skipSpace(t, i + 1);
                continue;
            }
            break;
        }
    }
    if (i >= t.size() || !t[i].isWord("from"))
        return plan;
    i = skipSpace(t, i + 1);
    if (i >= t.size() || (t[i].kind != Token::Word && t[i].kind != Token::QuotedIdent))
        return plan;
    const Database::Table* table = db.findTable(t[i].value());
    if (!table)
        return plan;
    i = skipSpace(t, i + 1);
    size_t whereFrom = t.size();
    size_t whereTo = t.size();
    size_t orderFrom = t.size();
    if (i < t.size()) {
        if (t[i].isWord("where")) {
            whereFrom = i + 1;
        } else if (t[i].isWord("order")) {
            orderFrom = i;
        } else {
            return plan; // alias, join, group ...
        }
    }
    int depth = 0;
    for (size_t j = i + 1; j < t.size(); ++j) {
        const Token& tok = t[j];
        if (tok.kind == Token::Punct && tok.text == u'(')
            ++depth;
        else if (tok.kind == Token::Punct && tok.text == u')')
            --depth;
        if (depth != 0 || tok.kind != Token::Word)
            continue;
        if (tok.isWord("group") || tok.isWord("having") || tok.isWord("limit") || tok.isWord("union")
            || tok.isWord("except") || tok.isWord("intersect") || tok.isWord("join"))
            return plan;
        if (tok.isWord("order") && orderFrom == t.size()) {
            const size_t k = skipSpace(t, j + 1);
            if (k < t.size() && t[k].isWord("by"))
                orderFrom = j;
        }
    }
    if (whereFrom < t.size())
        whereTo = std::min(orderFrom, t.size());
    if (orderFrom < t.size()) {
        const size_t by = skipSpace(t, orderFrom + 1);
        plan.orderText = joinTokens(t, by + 1, t.size());
        if (plan.orderText.isEmpty())
            return plan;
    }
    if (whereFrom < t.size()) {
        plan.whereText = joinTokens(t, whereFrom, whereTo);
        if (plan.whereText.isEmpty())
            return plan;
    }
    if (star) {
        for (size_t c = 0; c < table->columns.size(); ++c)
            plan.fields.push_back(int(c));
    } else {
        for (const QString& name : names) {
            const int c = table->columnIndex(name);
            if (c < 0)
                return plan;
            plan.fields.push_back(c);
        }
    }
    plan.table = table;
    plan.keyset = true;
    return plan;
}

// The order clause read backwards: each term's direction turned, so that the
// last rows come first (nulls included, as they sort first ascending). Empty
// when a term says something this cannot turn.
QString reversedOrder(const QString& orderText)
{
    const std::vector<Token> t = dialect::tokenize(orderText);
    QStringList terms;
    QString term;
    int depth = 0;
    const auto turn = [&terms](const QString& text) {
        const std::vector<Token> tt = dialect::tokenize(text);
        size_t last = tt.size();
        while (last > 0 && tt[last - 1].kind == Token::Space)
            --last;
        if (last == 0)
            return false;
        const Token& end = tt[last - 1];
        if (end.isWord("first") || end.isWord("last"))
            return false;
        if (end.isWord("desc"))
            terms << joinTokens(tt, 0, last - 1) + QStringLiteral(" ASC");
        else if (end.isWord("asc"))
            terms << joinTokens(tt, 0, last - 1) + QStringLiteral(" DESC");
        else
            terms << joinTokens(tt, 0, last) + QStringLiteral(" DESC");
        return true;
    };
    for (const Token& tok : t) {
        if (tok.kind == Token::Punct && tok.text == u'(')
            ++depth;
        else if (tok.kind == Token::Punct && tok.text == u')')
            --depth;
        if (depth == 0 && tok.kind == Token::Punct && tok.text == u',') {
            if (!turn(term))
                return QString();
            term.clear();
            continue;
        }
        term += tok.text;
    }
    if (!turn(term))
        return QString();
    return terms.join(QStringLiteral(", "));
}

} // namespace

struct Recordset::Private : Database::WriteWatcher {
    enum Mode { None, Adding, Editing };

    std::shared_ptr<Database> db;
    bool keyset = false;
    QString tableName;                       // keyset: the table written to
    std::vector<Database::Column> columns;   // fields of the set
    std::vector<QString> foldedNames;

    // Keyset: row ids in the set's order, read on first need a batch at a
    // time from the front, or from the back for a row near the end of a set
    // whose count is known; rows fetched on demand. Until every key is read,
    // the number of rows comes from the engine's count.
    mutable std::vector<qint64> ids;
    mutable std::vector<qint64> tail;       // keys from the last row backwards
    mutable bool complete = false;
    mutable int total = -1;                 // rows of the set; -1 while not asked
    std::unique_ptr<Statement> keys;        // "... limit ? offset ?", prepared at opening
    QVariantList keyParams;
    QString tailSql;                        // the same in reverse order; empty when it cannot be
    QVariantList tailParams;
    mutable std::unique_ptr<Statement> tailKeys;
    QString countSql;
    QVariantList countParams;
    std::unique_ptr<Statement> fetch;
    mutable QHash<qint64, QVector<QVariant>> cache;
    mutable quint64 cacheStamp = 0;

    // Anything else: the rows themselves, read once.
    std::vector<QVector<QVariant>> rows;
    QString querySql;
    QVariantList queryParams;

    int pos = -1;
    bool onDeleted = false; // the row at `pos` was deleted; no current row
    Mode mode = None;
    QVector<QVariant> buffer;
    QVector<bool> dirty;

    ~Private()
    {
        if (keyset)
            db->unwatchWrites(this);
    }

    // A set that has begun reading its keys reads the rest before a write
    // could move rows in or out of it, so that its walk, positions and
    // bookmarks stay those of the rows it was opened on. A set that has
    // read no key yet has nothing to keep but a count, which is asked again.
    void beforeWrite() override
    {
        if (complete)
            return;
        if (!ids.empty() || !tail.empty())
            readAllKeys();
        else
            total = -1;
    }

    // Reads up to `limit` keys from the `offset`th on (-1: all the rest).
    void readKeys(qint64 limit, qint64 offset) const
    {
        keys->reset();
        keys->bindAll(keyParams + QVariantList{limit, offset});
        qint64 got = 0;
        while (keys->step()) {
            ids.push_back(keys->columnInt64(0));
            ++got;
        }
        keys->reset();
        db->noteKeyRead();
        if (limit < 0 || got < limit) {
            complete = true;
            total = int(ids.size());
            tail.clear();
        }
    }

    void readAllKeys() const
    {
        if (!complete)
            readKeys(-1, qint64(ids.size()));
    }

    // Makes sure the key `fromEnd` rows before the end is read; false when
    // the set cannot be read from the back.
    bool readTailTo(int fromEnd) const
    {
        if (fromEnd < int(tail.size()))
            return true;
        if (tailSql.isEmpty() || total < 0)
            return false;
        constexpr qint64 kFirstKeys = 256;
        const qint64 want = std::max({qint64(fromEnd) + 1, qint64(tail.size()) * 2, kFirstKeys});
        if (qint64(ids.size()) + want * 2 >= total) {
            readAllKeys();
            return false;
        }
        if (!tailKeys)
            tailKeys = std::make_unique<Statement>(*db, tailSql);
        tailKeys->reset();
        const qint64 limit = want - qint64(tail.size());
        tailKeys->bindAll(tailParams + QVariantList{limit, qint64(tail.size())});
        qint64 got = 0;
        while (tailKeys->step()) {
            tail.push_back(tailKeys->columnInt64(0));
            ++got;
        }
        tailKeys->reset();
        db->noteKeyRead();
        // Fewer rows than counted: another program changed the table.
        if (got < limit)
            readAllKeys();
        return fromEnd < int(tail.size());
    }

    // Makes sure the key at `index` is read, when the set has that many rows.
    void readKeysTo(int index) const
    {
        if (complete || index < int(ids.size()))
            return;
        constexpr qint64 kFirstKeys = 256;
        const qint64 want = std::max({qint64(index) + 1, qint64(ids.size()) * 2, kFirstKeys});
        // Most of the set wanted: one read of the rest costs less than two.
        if (total >= 0 && want * 2 >= total)
            readAllKeys();
        else
            readKeys(want - qint64(ids.size()), qint64(ids.size()));
    }

    int count() const
    {
        if (!keyset)
            return int(rows.size());
        if (complete)
            return int(ids.size());
        if (total < 0) {
            Statement s(*db, countSql);
            s.bindAll(countParams);
            total = s.step() ? int(s.columnInt64(0)) : 0;
        }
        return total;
    }

    // Whether the set has a row at `index`, reading no more than it must.
    bool has(int index) const
    {
        if (index < 0)
            return false;
        if (!keyset)
            return index < int(rows.size());
        if (index < int(ids.size()))
            return true;
        if (complete)
            return false;
        if (total >= 0)
            return index < total;
        readKeysTo(index);
        return index < int(ids.size());
    }

    bool isEmpty() const { return !has(0); }
    bool atRow() const { return !onDeleted && has(pos); }

    // The key at `index` read from the nearer end; none when the set has no
    // such row.
    std::optional<qint64> idAt(int index) const
    {
        if (index < 0)
            return std::nullopt;
        if (!complete && index >= int(ids.size()) && total >= 0 && index >= total / 2 && index < total
            && readTailTo(total - 1 - index) && !complete)
            return tail[size_t(total - 1 - index)];
        readKeysTo(index);
        if (index < int(ids.size()))
            return ids[size_t(index)];
        return std::nullopt;
    }

    // Position of a key in the set, or -1.
    int positionOf(qint64 key) const
    {
        auto it = std::find(ids.begin(), ids.end(), key);
        if (it != ids.end())
            return int(it - ids.begin());
        auto back = std::find(tail.begin(), tail.end(), key);
        if (back != tail.end())
            return total - 1 - int(back - tail.begin());
        if (complete)
            return -1;
        readAllKeys();
        it = std::find(ids.begin(), ids.end(), key);
        return it != ids.end() ? int(it - ids.begin()) : -1;
    }

    QVector<QVariant> row(int index) const
    {
        if (!has(index))
            return QVector<QVariant>(int(columns.size()));
        if (!keyset)
            return rows[size_t(index)];
        const std::optional<qint64> key = idAt(index);
        if (!key)
            return QVector<QVariant>(int(columns.size()));
        const qint64 id = *key;
        if (db->changeCount() != cacheStamp) {
            cache.clear();
            cacheStamp = db->changeCount();
        }
        auto it = cache.constFind(id);
        if (it != cache.constEnd())
            return *it;
        QVector<QVariant> values(int(columns.size()));
        fetch->reset();
        fetch->bind(1, id);
        if (fetch->step()) {
            for (size_t c = 0; c < columns.size(); ++c)
                values[int(c)] = fetch->columnValue(int(c), columns[c].isBoolean);
        }
        // A row another record set deleted reads as Null fields.
        fetch->reset();
        if (cache.size() >= kCacheRows)
            cache.clear();
        cache.insert(id, values);
        return values;
    }

    int field(const QString& name) const
    {
        for (size_t i = 0; i < columns.size(); ++i) {
            if (dialect::compareNoCase(columns[i].name, name) == 0)
                return int(i);
        }
        return -1;
    }

    int requireField(const QString& name) const
    {
        const int i = field(name);
        if (i < 0)
            throw DbError(QStringLiteral("Nincs ilyen mező: %1").arg(name));
        return i;
    }

    void requireUpdatable() const
    {
        if (!keyset)
            throw DbError(QStringLiteral("A rekordhalmaz nem módosítható: %1").arg(querySql));
    }

    // Positions of the set's rows that match a criterion, as flags by position.
    std::vector<char> matching(const QString& criterion, const QVariantList& params) const
    {
        if (keyset)
            readAllKeys();
        std::vector<char> flags(size_t(count()), 0);
        if (count() == 0)
            return flags;
        if (keyset) {
            QVariantList bound = params;
            const QString sql = db->translate(QStringLiteral("SELECT rowid FROM %1 WHERE (%2)")
                                                  .arg(dialect::quoteIdent(tableName), criterion),
                                              &bound);
            Statement s(*db, sql);
            s.bindAll(bound);
            std::unordered_set<qint64> hits;
            while (s.step())
                hits.insert(s.columnInt64(0));
            if (hits.empty())
                return flags;
            for (size_t i = 0; i < ids.size(); ++i)
                flags[i] = hits.count(ids[i]) ? 1 : 0;
            return flags;
        }
        // A query read into memory: evaluate the criterion over it, row by
        // row in the same order.
        // The criterion stands before the query in the text, so its
        // parameters come first.
        QVariantList bound = params;
        bound += queryParams;
        const QString sql = db->translate(
            QStringLiteral("SELECT (%1) FROM (%2)").arg(criterion, querySql), &bound);
        Statement s(*db, sql);
        s.bindAll(bound);
        size_t i = 0;
        while (s.step() && i < flags.size())
            flags[i++] = s.columnValue(0).toBool() ? 1 : 0;
        return flags;
    }
};

std::unique_ptr<Recordset::Private> Recordset::empty()
{
    return std::make_unique<Private>();
}

std::unique_ptr<Recordset::Private> Recordset::build(const std::shared_ptr<Database>& db, const QString& source,
                                                     const QVariantList& params)
{
    auto d = std::make_unique<Recordset::Private>();
    d->db = db;
    const QString trimmed = source.trimmed();
    SourcePlan plan;
    if (startsWithSelect(trimmed)) {
        plan = planQuery(*db, trimmed);
    } else {
        // A table name, bracketed or quoted when it holds a space.
        QString name = trimmed;
        const std::vector<Token> t = dialect::tokenize(trimmed);
        if (t.size() == 1 && t[0].kind == Token::QuotedIdent)
            name = t[0].value();
        plan.table = db->findTable(name);
        if (!plan.table)
            throw DbError(QStringLiteral("Nincs ilyen tábla: %1 (%2)").arg(name, db->path()));
        if (!params.isEmpty())
            throw DbError(QStringLiteral("A tábla rekordforrásnak nincs paramétere: %1").arg(name));
        for (size_t c = 0; c < plan.table->columns.size(); ++c)
            plan.fields.push_back(int(c));
        plan.keyset = true;
    }

    if (plan.keyset) {
        d->keyset = true;
        d->tableName = plan.table->name;
        QStringList selected;
        for (int c : plan.fields) {
            d->columns.push_back(plan.table->columns[size_t(c)]);
            selected << dialect::quoteIdent(plan.table->columns[size_t(c)].name);
        }
        QString keys = QStringLiteral("SELECT rowid FROM %1").arg(dialect::quoteIdent(d->tableName));
        if (!plan.whereText.isEmpty())
            keys += QStringLiteral(" WHERE (%1)").arg(plan.whereText);
        // Without an order the stored order; with one, ties keep it too.
        keys += plan.orderText.isEmpty() ? QStringLiteral(" ORDER BY rowid")
                                         : QStringLiteral(" ORDER BY %1, rowid").arg(plan.orderText);
        // Opening only prepares the reads: a query the engine refuses, or
        // parameters that do not fit it, fail here all the same.
        QVariantList bound = params;
        d->keys = std::make_unique<Statement>(*db, db->translate(keys, &bound) + QStringLiteral(" LIMIT ? OFFSET ?"));
        d->keyParams = bound;
        d->keys->bindAll(bound + QVariantList{0, 0});
        d->keys->reset();
        // The same keys from the back, for a row near the end.
        const QString reversed = plan.orderText.isEmpty() ? QStringLiteral("rowid DESC") : reversedOrder(plan.orderText);
        if (!reversed.isEmpty() && (plan.orderText.isEmpty() || !reversed.contains(u'?'))) {
            QString back = QStringLiteral("SELECT rowid FROM %1").arg(dialect::quoteIdent(d->tableName));
            if (!plan.whereText.isEmpty())
                back += QStringLiteral(" WHERE (%1)").arg(plan.whereText);
            back += plan.orderText.isEmpty() ? QStringLiteral(" ORDER BY rowid DESC")
                                             : QStringLiteral(" ORDER BY %1, rowid DESC").arg(reversed);
            d->tailParams = params;
            d->tailSql = db->translate(back, &d->tailParams) + QStringLiteral(" LIMIT ? OFFSET ?");
        }
        QString counting = QStringLiteral("SELECT count(*) FROM %1").arg(dialect::quoteIdent(d->tableName));
        if (!plan.whereText.isEmpty())
            counting += QStringLiteral(" WHERE (%1)").arg(plan.whereText);
        d->countParams = params;
        d->countSql = db->translate(counting, &d->countParams);
        db->watchWrites(d.get());
        const QString fetchSql = QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
                                     .arg(selected.isEmpty() ? QStringLiteral("rowid") : selected.join(u','),
                                          dialect::quoteIdent(d->tableName));
        d->fetch = std::make_unique<Statement>(*db, fetchSql);
        d->cacheStamp = db->changeCount();
    } else {
        QVariantList bound = params;
        d->querySql = trimmed;
        d->queryParams = params;
        const QString sql = db->translate(trimmed, &bound);
        Statement s(*db, sql);
        s.bindAll(bound);
        const int n = s.columnCount();
        for (int c = 0; c < n; ++c)
            d->columns.push_back({s.columnName(c), QString(), QString(), s.columnIsBoolean(c)});
        while (s.step()) {
            QVector<QVariant> values(n);
            for (int c = 0; c < n; ++c)
                values[c] = s.columnValue(c, d->columns[size_t(c)].isBoolean);
            d->rows.push_back(std::move(values));
        }
    }
    // The first row is the current one, once it is known to be there.
    d->pos = d->keyset || d->count() > 0 ? 0 : -1;
    return d;
}

Recordset::Recordset(std::unique_ptr<Private> d) : d(std::move(d)) {}

Recordset::~Recordset() = default;

std::unique_ptr<Recordset> Recordset::open(std::shared_ptr<Database> db, const QString& source,
                                           const QVariantList& params)
{
    if (!db)
        throw DbError(QStringLiteral("No database for: %1").arg(source));
    return std::unique_ptr<Recordset>(new Recordset(Recordset::build(db, source, params)));
}

int Recordset::recordCount() const
{
    return d->count();
}

int Recordset::absolutePosition() const
{
    return d->atRow() ? d->pos : -1;
}

void Recordset::setAbsolutePosition(int position)
{
    if (!d->has(position))
        throw DbError(QStringLiteral("Érvénytelen pozíció: %1 (%2 rekord)").arg(position).arg(d->count()));
    cancelUpdate();
    d->pos = position;
    d->onDeleted = false;
    emit currentChanged();
}

bool Recordset::bof() const
{
    return d->isEmpty() || (!d->onDeleted && d->pos < 0);
}

bool Recordset::eof() const
{
    return d->isEmpty() || (d->pos >= 0 && !d->has(d->pos));
}

void Recordset::moveFirst()
{
    if (d->isEmpty())
        return;
    cancelUpdate();
    d->pos = 0;
    d->onDeleted = false;
    emit currentChanged();
}

void Recordset::moveLast()
{
    if (d->isEmpty())
        return;
    cancelUpdate();
    d->pos = d->count() - 1;
    d->onDeleted = false;
    emit currentChanged();
}

void Recordset::moveNext()
{
    if (d->isEmpty() || (d->pos >= 0 && !d->has(d->pos)))
        return;
    cancelUpdate();
    // After a delete the row that followed the deleted one already stands
    // at the deleted row's place.
    if (d->onDeleted)
        d->onDeleted = false;
    else
        ++d->pos;
    emit currentChanged();
}

void Recordset::movePrevious()
{
    if (d->isEmpty() || (d->pos < 0 && !d->onDeleted))
        return;
    cancelUpdate();
    d->onDeleted = false;
    --d->pos;
    emit currentChanged();
}

namespace {

// The first row from `from` on, walking by `step`, that the criterion
// matched; -1 when there is none.
int nextHit(const std::vector<char>& hits, int from, int step)
{
    for (int i = from; i >= 0 && i < int(hits.size()); i += step)
        if (hits[size_t(i)])
            return i;
    return -1;
}

} // namespace

bool Recordset::moveToHit(int row)
{
    m_noMatch = row < 0;
    if (m_noMatch)
        return false;
    cancelUpdate();
    d->pos = row;
    d->onDeleted = false;
    emit currentChanged();
    return true;
}

bool Recordset::findFirst(const QString& criterion, const QVariantList& params)
{
    return moveToHit(nextHit(d->matching(criterion, params), 0, 1));
}

bool Recordset::findNext(const QString& criterion, const QVariantList& params)
{
    const std::vector<char> hits = d->matching(criterion, params);
    const int from = d->onDeleted ? d->pos : d->pos + 1;
    return moveToHit(nextHit(hits, std::max(from, 0), 1));
}

bool Recordset::findLast(const QString& criterion, const QVariantList& params)
{
    const std::vector<char> hits = d->matching(criterion, params);
    return moveToHit(nextHit(hits, int(hits.size()) - 1, -1));
}

bool Recordset::findPrevious(const QString& criterion, const QVariantList& params)
{
    const std::vector<char> hits = d->matching(criterion, params);
    return moveToHit(nextHit(hits, std::min(d->pos - 1, int(hits.size()) - 1), -1));
}

QVariant Recordset::bookmark() const
{
    if (!d->atRow())
        throw DbError(QStringLiteral("Nincs aktuális rekord"));
    if (d->keyset)
        return QVariant(qlonglong(d->idAt(d->pos).value()));
    return QVariant(qlonglong(-1 - d->pos)); // a row of a query read into memory
}

void Recordset::setBookmark(const QVariant& bookmark)
{
    bool ok = false;
    const qint64 mark = bookmark.toLongLong(&ok);
    int position = -1;
    if (ok && d->keyset) {
        position = d->positionOf(mark);
    } else if (ok && mark < 0 && -1 - mark < d->count()) {
        position = int(-1 - mark);
    }
    if (position < 0)
        throw DbError(QStringLiteral("Érvénytelen könyvjelző"));
    cancelUpdate();
    d->pos = position;
    d->onDeleted = false;
    emit currentChanged();
}

void Recordset::addNew()
{
    d->requireUpdatable();
    cancelUpdate();
    d->mode = Private::Adding;
    d->buffer = QVector<QVariant>(int(d->columns.size()));
    d->dirty = QVector<bool>(int(d->columns.size()), false);
}

void Recordset::edit()
{
    d->requireUpdatable();
    if (!d->atRow())
        throw DbError(QStringLiteral("Nincs aktuális rekord"));
    cancelUpdate();
    d->mode = Private::Editing;
    d->buffer = d->row(d->pos);
    d->dirty = QVector<bool>(int(d->columns.size()), false);
}

void Recordset::update()
{
    if (d->mode == Private::None)
        throw DbError(QStringLiteral("Update without AddNew or Edit"));
    Database& db = *d->db;
    QStringList names;
    QVariantList values;
    std::vector<bool> asBool;
    for (int c = 0; c < d->buffer.size(); ++c) {
        if (!d->dirty[c])
            continue;
        names << dialect::quoteIdent(d->columns[size_t(c)].name);
        values << d->buffer[c];
        asBool.push_back(d->columns[size_t(c)].isBoolean);
    }
    const QString table = dialect::quoteIdent(d->tableName);
    if (d->mode == Private::Adding) {
        // The added row joins the end of the rows the set was opened on.
        d->readAllKeys();
        QString sql;
        if (names.isEmpty()) {
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table);
        } else {
            QStringList marks;
            for (qsizetype i = 0; i < names.size(); ++i)
                marks << QStringLiteral("?");
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, names.join(u','), marks.join(u','));
        }
        Statement s(db, sql);
        for (int i = 0; i < values.size(); ++i)
            s.bind(i + 1, values[i], asBool[size_t(i)]);
        s.step();
        d->ids.push_back(sqlite3_last_insert_rowid(db.handle()));
        d->pos = int(d->ids.size()) - 1;
        d->onDeleted = false;
    } else {
        if (!names.isEmpty()) {
            QStringList sets;
            for (const QString& n : names)
                sets << n + QStringLiteral(" = ?");
            Statement s(db, QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(table, sets.join(u',')));
            int i = 0;
            for (; i < values.size(); ++i)
                s.bind(i + 1, values[i], asBool[size_t(i)]);
            s.bind(i + 1, d->idAt(d->pos).value());
            s.step();
        }
    }
    const bool added = d->mode == Private::Adding;
    d->mode = Private::None;
    d->buffer.clear();
    d->dirty.clear();
    db.noteChange();
    emit rowsChanged();
    if (added)
        emit currentChanged();
}

void Recordset::cancelUpdate()
{
    d->mode = Private::None;
    d->buffer.clear();
    d->dirty.clear();
}

void Recordset::deleteCurrent()
{
    d->requireUpdatable();
    if (!d->atRow())
        throw DbError(QStringLiteral("Nincs aktuális rekord"));
    cancelUpdate();
    // The set reads all its keys before the row leaves it.
    d->readAllKeys();
    Statement s(*d->db, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(dialect::quoteIdent(d->tableName)));
    s.bind(1, d->ids[size_t(d->pos)]);
    s.step();
    d->ids.erase(d->ids.begin() + d->pos);
    d->onDeleted = true;
    if (d->ids.empty()) {
        d->pos = -1;
        d->onDeleted = false;
    }
    d->db->noteChange();
    emit rowsChanged();
    emit currentChanged();
}

bool Recordset::editing() const
{
    return d->mode != Private::None;
}

bool Recordset::updatable() const
{
    return d->keyset;
}

QStringList Recordset::fieldNames() const
{
    QStringList names;
    for (const auto& c : d->columns)
        names << c.name;
    return names;
}

int Recordset::fieldIndex(const QString& name) const
{
    return d->field(name);
}

QVariant Recordset::value(const QString& field) const
{
    const int c = d->requireField(field);
    if (d->mode != Private::None) {
        const QVariant& v = d->buffer[c];
        if (v.isValid() && !v.isNull() && d->columns[size_t(c)].isBoolean)
            return v.toBool();
        return v;
    }
    if (!d->atRow())
        return QVariant();
    return d->row(d->pos)[c];
}

QString Recordset::text(const QString& field) const
{
    const QVariant v = value(field);
    if (!v.isValid() || v.isNull())
        return QString();
    return v.toString();
}

void Recordset::setValue(const QString& field, const QVariant& value)
{
    const int c = d->requireField(field);
    if (d->mode == Private::None)
        throw DbError(QStringLiteral("Mező írása AddNew vagy Edit nélkül: %1").arg(field));
    d->buffer[c] = value;
    d->dirty[c] = true;
}

QVariant Recordset::valueAt(int row, int column) const
{
    if (column < 0 || column >= int(d->columns.size()) || !d->has(row))
        return QVariant();
    return d->row(row)[column];
}

DataConnection::DataConnection(const QString& name, QObject* parent)
    : QObject(parent), m_recordset(new Recordset(Recordset::empty()))
{
    setObjectName(name);
    connect(m_recordset.get(), &Recordset::currentChanged, this, &DataConnection::currentChanged);
    connect(m_recordset.get(), &Recordset::rowsChanged, this, &DataConnection::rowsChanged);
}

DataConnection::~DataConnection() = default;

void DataConnection::setDatabase(std::shared_ptr<Database> db)
{
    m_db = std::move(db);
}

void DataConnection::setRecordSource(const QString& source, const QVariantList& params)
{
    m_source = source;
    m_params = params;
}

void DataConnection::refresh()
{
    // The record set object stays the same, so bound controls keep it; only
    // its rows are replaced. A failing query leaves the old rows in place.
    std::unique_ptr<Recordset::Private> next = (m_db && !m_source.trimmed().isEmpty())
        ? Recordset::build(m_db, m_source, m_params)
        : Recordset::empty();
    m_recordset->d = std::move(next);
    m_recordset->m_noMatch = false;
    emit refreshed();
    emit m_recordset->rowsChanged();
    emit m_recordset->currentChanged();
}

Recordset& DataConnection::recordset()
{
    return *m_recordset;
}

} // namespace platform::db
