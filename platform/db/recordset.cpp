#include "platform/db/dataconnection.h"
#include "platform/db/dialect.h"
#include "platform/db/keybatch.h"
#include "platform/db/sqlitestatement.h"

#include <QHash>

#include <algorithm>
#include <optional>
#include <unordered_set>

namespace platform::db {

using dialect::Token;

namespace {
int g_firstKeyBatch = 256;
} // namespace

int firstKeyBatch()
{
    return g_firstKeyBatch;
}

void setFirstKeyBatch(int keys)
{
    g_firstKeyBatch = std::max(keys, 1);
}

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

// One term of a set's order: its expression as written and its direction.
struct OrderTerm {
    QString expr;
    bool desc = false;
};

// The order clause as terms. Nothing when a term says something a seek
// cannot follow (an explicit place for nulls, a parameter).
std::optional<std::vector<OrderTerm>> orderTerms(const QString& orderText)
{
    std::vector<OrderTerm> terms;
    if (orderText.trimmed().isEmpty())
        return terms;
    const std::vector<Token> t = dialect::tokenize(orderText);
    std::vector<Token> term;
    const auto take = [&terms](std::vector<Token> tt) {
        while (!tt.empty() && tt.back().kind == Token::Space)
            tt.pop_back();
        if (tt.empty())
            return false;
        OrderTerm out;
        const Token end = tt.back();
        if (end.isWord("first") || end.isWord("last"))
            return false;
        if (end.isWord("desc") || end.isWord("asc")) {
            out.desc = end.isWord("desc");
            tt.pop_back();
        }
        out.expr = joinTokens(tt, 0, tt.size());
        if (out.expr.isEmpty())
            return false;
        terms.push_back(out);
        return true;
    };
    int depth = 0;
    for (const Token& tok : t) {
        if (tok.kind == Token::Param)
            return std::nullopt;
        if (tok.kind == Token::Punct && tok.text == u'(')
            ++depth;
        else if (tok.kind == Token::Punct && tok.text == u')')
            --depth;
        if (depth == 0 && tok.kind == Token::Punct && tok.text == u',') {
            if (!take(std::move(term)))
                return std::nullopt;
            term.clear();
            continue;
        }
        term.push_back(tok);
    }
    if (!take(std::move(term)))
        return std::nullopt;
    return terms;
}

// The order clause of a key read: the terms, then the rowid that breaks
// ties; every direction turned for a read from the back.
QString orderClause(const std::vector<OrderTerm>& terms, bool fromBack)
{
    QStringList parts;
    for (const OrderTerm& term : terms)
        parts << term.expr + (term.desc != fromBack ? QStringLiteral(" DESC") : QStringLiteral(" ASC"));
    parts << (fromBack ? QStringLiteral("rowid DESC") : QStringLiteral("rowid"));
    return parts.join(QStringLiteral(", "));
}

// The rows strictly after (or, `before`, strictly before) the row whose
// order values and rowid are `at`, in the set's order. Each comparison is
// made on the term's own expression, so its collation decides as it does in
// the order; a null sorts first in an ascending term and last in a
// descending one, as the engine orders them. The values are bound.
QString seekCondition(const std::vector<OrderTerm>& terms, const QVariantList& at, bool before,
                      QVariantList* params)
{
    QString cond = before ? QStringLiteral("rowid < ?") : QStringLiteral("rowid > ?");
    QVariantList bound{at.constLast()};
    for (int i = int(terms.size()) - 1; i >= 0; --i) {
        const QString e = QStringLiteral("(%1)").arg(terms[size_t(i)].expr);
        const QVariant& v = at[i];
        const bool null = !v.isValid() || v.isNull();
        // Whether the rows beyond `at` hold larger values of this term.
        const bool larger = terms[size_t(i)].desc == before;
        QString beyond;
        QVariantList ahead;
        if (null) {
            beyond = larger ? e + QStringLiteral(" IS NOT NULL") : QStringLiteral("0");
        } else {
            beyond = larger ? e + QStringLiteral(" > ?") : QStringLiteral("(%1 < ? OR %1 IS NULL)").arg(e);
            ahead << v;
        }
        const QString equal = null ? e + QStringLiteral(" IS NULL") : e + QStringLiteral(" = ?");
        if (!null)
            ahead << v;
        cond = QStringLiteral("(%1 OR (%2 AND %3))").arg(beyond, equal, cond);
        bound = ahead + bound;
    }
    // The same bound once more as a plain range on the first term, which an
    // index on it can answer.
    if (!terms.empty() && at[0].isValid() && !at[0].isNull() && terms[0].desc == before) {
        cond = QStringLiteral("(%1) >= ? AND %2").arg(terms[0].expr, cond);
        bound.prepend(at[0]);
    }
    *params += bound;
    return cond;
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
    //
    // Each batch is read after the last key read on its side (a seek on the
    // order values and the rowid, never an offset), and no further than the
    // keys read on the other side, so a row another program adds or removes
    // anywhere moves no key already read: a walk neither skips nor repeats a
    // row still stored. When a read comes back short, the keys from the two
    // sides meet: the set is complete and its count exact.
    mutable std::vector<qint64> ids;
    mutable std::vector<qint64> tail;       // keys from the last row backwards
    mutable QVariantList frontLast;         // order values and rowid of ids.back()
    mutable QVariantList tailInner;         // the same of tail.back()
    mutable bool complete = false;
    mutable int total = -1;                 // rows of the set; -1 while not asked
    mutable quint64 countStamp = 0;         // the file's data stamp when it was asked
    // Without terms the stored order. Not seekable: the order says something
    // a seek cannot follow, and the first need reads every key at once.
    bool seekable = true;
    std::vector<OrderTerm> terms;
    QString orderText;                      // as the source says it
    QString whereText;
    QVariantList whereParams;
    std::unique_ptr<Statement> firstKeys;   // the first batch from the front, prepared at opening
    QVariantList firstParams;               // its parameters before the limit
    QString countSql;
    QVariantList countParams;
    std::unique_ptr<Statement> fetch;       // a kept row by its key alone
    // A kept row by its key, only while it still meets the set's selection:
    // a key that SQLite gave to another row after its own was deleted (an
    // item of another episode under the key of a deleted one) reads as a
    // deleted row. Its parameters: the selection's, then the key.
    std::unique_ptr<Statement> fetchSelected;
    QVariantList fetchSelectedParams;
    // This program's row writes when the set was opened: a row that this
    // program updated since is read by its key alone, so that an edit that
    // takes a row out of the selection keeps it in its place.
    quint64 openedAt = 0;
    mutable QHash<qint64, QVector<QVariant>> cache;
    mutable quint64 cacheStamp = 0;

    // Rows deleted inside a transaction that has not ended: a rollback puts
    // their keys back where they were, so the set shows again what it
    // showed before the failed action.
    struct Removed {
        int level;          // the transaction level the delete was made at
        size_t index;       // where the key stood in `ids`
        qint64 id;
        int pos;            // the position and its state before the delete
        bool onDeleted;
    };
    std::vector<Removed> removed;
    Recordset* owner = nullptr;             // told of a rollback's rows

    // Anything else: the rows themselves, read once.
    std::vector<QVector<QVariant>> rows;
    QString querySql;
    QVariantList queryParams;

    // The current position. While keys are still to be read, a position is
    // counted from the nearer end of the set (fromEnd): a position in the
    // back half of the set is kept as the number of rows after it, and moves
    // with the count when the count is put right.
    mutable int pos = -1;
    mutable bool fromEnd = false;
    bool onDeleted = false; // the row at `pos` was deleted; no current row
    Mode mode = None;
    QVector<QVariant> buffer;
    QVector<bool> dirty;

    ~Private()
    {
        if (keyset)
            db->unwatchWrites(this);
    }

    void transactionEnded(int level, bool committed) override
    {
        if (committed) {
            // A released savepoint's deletes belong to the transaction
            // around it; the outermost one's commit makes them final.
            for (Removed& r : removed)
                r.level = std::min(r.level, level - 1);
            removed.erase(std::remove_if(removed.begin(), removed.end(), [](const Removed& r) { return r.level <= 0; }),
                          removed.end());
            return;
        }
        // Deletes made since the savepoint began are the last ones kept.
        bool restored = false;
        while (!removed.empty() && removed.back().level >= level) {
            const Removed r = removed.back();
            removed.pop_back();
            ids.insert(ids.begin() + std::ptrdiff_t(std::min(r.index, ids.size())), r.id);
            pos = r.pos;
            onDeleted = r.onDeleted;
            restored = true;
        }
        if (!restored)
            return;
        fromEnd = false;
        if (complete)
            total = int(ids.size());
        // Heard while a failed action unwinds: nothing may leave here, and
        // bound controls read the rows again anyway at their next paint.
        try {
            if (owner) {
                emit owner->rowsChanged();
                emit owner->currentChanged();
            }
        } catch (...) {
        }
    }

    // Whether this program updated the row since the set was opened.
    bool updatedHere(qint64 id) const
    {
        return db->lastUpdateOf(tableName, id) > openedAt;
    }

    // A set that has begun reading its keys reads the rest before a write
    // could move rows in or out of it, so that its walk, positions and
    // bookmarks stay those of the rows it was opened on. A set that has
    // read no key yet has nothing to keep but a count, which is asked again,
    // and the row it was moved to: its first row stays its first row, any
    // other is held by reading the keys as a set that has begun.
    void beforeWrite() override
    {
        if (complete)
            return;
        if (ids.empty() && tail.empty() && (pos <= 0 || onDeleted)) {
            total = -1;
            return;
        }
        readAllKeys();
    }

    // Whether a position is counted from the end: it stands in the back
    // half of a set whose keys are still being read, past the keys read
    // from the front.
    bool backward(int index) const
    {
        return keyset && seekable && !complete && total >= 0 && index >= int(ids.size())
            && (index >= total / 2 || index >= total - int(tail.size()));
    }

    void place(int index)
    {
        pos = index;
        onDeleted = false;
        fromEnd = backward(index);
    }

    // The key query: rowid and the order values, between the keys read on
    // the two sides, in the set's order or from the back; `limit` -1 for all.
    QString keySql(bool fromBack, qint64 limit, QVariantList* params) const
    {
        QString sql = QStringLiteral("SELECT rowid");
        if (seekable) {
            for (const OrderTerm& term : terms)
                sql += QStringLiteral(", (%1)").arg(term.expr);
        }
        sql += QStringLiteral(" FROM %1").arg(dialect::quoteIdent(tableName));
        *params = whereParams;
        QStringList conditions;
        if (!whereText.isEmpty())
            conditions << QStringLiteral("(%1)").arg(whereText);
        if (seekable && !ids.empty())
            conditions << seekCondition(terms, frontLast, false, params);
        if (seekable && !tail.empty())
            conditions << seekCondition(terms, tailInner, true, params);
        if (!conditions.isEmpty())
            sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
        if (seekable)
            sql += QStringLiteral(" ORDER BY ") + orderClause(terms, fromBack);
        else
            sql += orderText.isEmpty() ? QStringLiteral(" ORDER BY rowid")
                                       : QStringLiteral(" ORDER BY %1, rowid").arg(orderText);
        if (limit >= 0) {
            sql += QStringLiteral(" LIMIT ?");
            *params << limit;
        }
        return sql;
    }

    // Reads up to `limit` keys (-1: all) of those not read yet, from the
    // front or from the back.
    void readGap(qint64 limit, bool fromBack) const
    {
        if (!seekable)
            limit = -1;
        std::unique_ptr<Statement> own;
        Statement* s = nullptr;
        if (!fromBack && ids.empty() && tail.empty() && limit >= 0) {
            s = firstKeys.get();
            s->reset();
            s->bindAll(firstParams + QVariantList{limit});
        } else {
            QVariantList params;
            const QString sql = keySql(fromBack, limit, &params);
            own = std::make_unique<Statement>(*db, db->translate(sql, &params));
            own->bindAll(params);
            s = own.get();
        }
        std::vector<qint64>& side = fromBack ? tail : ids;
        QVariantList& edge = fromBack ? tailInner : frontLast;
        const int values = seekable ? int(terms.size()) : 0;
        qint64 got = 0;
        while (s->step()) {
            side.push_back(s->columnInt64(0));
            ++got;
            // Only a batch that may stop short of the rest needs to know
            // where it ended.
            if (limit >= 0 && got == limit) {
                edge.clear();
                for (int c = 1; c <= values; ++c)
                    edge << s->columnValue(c);
                edge << side.back();
            }
        }
        s->reset();
        db->noteKeyRead();
        if (limit < 0 || got < limit) {
            meet();
            return;
        }
        // More rows than counted (another program added some): the count
        // grows to what is known, positions counted from the end with it.
        const int atLeast = int(ids.size() + tail.size()) + 1;
        if (total >= 0 && total < atLeast) {
            if (fromEnd && pos >= 0)
                pos += atLeast - total;
            total = atLeast;
        }
    }

    // The keys read from the two sides meet: the set is complete, its count
    // exact, and a position counted from the end moves with the count.
    void meet() const
    {
        const int counted = total;
        ids.insert(ids.end(), tail.rbegin(), tail.rend());
        tail.clear();
        tailInner.clear();
        frontLast.clear();
        complete = true;
        total = int(ids.size());
        if (fromEnd && counted >= 0 && pos >= 0) {
            pos += total - counted;
            if (pos < 0)
                pos = total > 0 ? 0 : -1;
        }
        fromEnd = false;
    }

    void readAllKeys() const
    {
        if (!complete)
            readGap(-1, false);
    }

    // Makes sure the key `back` rows before the end is read; false when the
    // set cannot be read from the back, or when reading made it complete.
    bool readTailTo(int back) const
    {
        if (back < int(tail.size()))
            return true;
        if (complete || !seekable || total < 0)
            return false;
        const qint64 want = std::max({qint64(back) + 1, qint64(tail.size()) * 2, qint64(firstKeyBatch())});
        // Most of the set wanted: one read of the rest costs less than two.
        if (qint64(ids.size()) + want * 2 >= total) {
            readAllKeys();
            return false;
        }
        readGap(want - qint64(tail.size()), true);
        return !complete && back < int(tail.size());
    }

    // Makes sure the key at `index` is read from the front, when the set
    // has that many rows.
    void readKeysTo(int index) const
    {
        if (complete || index < int(ids.size()))
            return;
        const qint64 want = std::max({qint64(index) + 1, qint64(ids.size()) * 2, qint64(firstKeyBatch())});
        if (total >= 0 && want * 2 >= total)
            readAllKeys();
        else
            readGap(want - qint64(ids.size()), false);
    }

    // A position moved to (but for the ends, which stay the ends) is the
    // row there now: its key is read at once, as the row is about to be
    // shown anyway, so that what other programs add or remove before it is
    // shown does not move the set to another row. A walk that reaches the
    // edge of the keys read thus reads the next batch at once, and meets
    // the end where the rows end, not where the count said.
    void settle() const
    {
        if (keyset && !complete && !onDeleted && has(pos))
            idAt(pos);
    }

    int count() const
    {
        if (!keyset)
            return int(rows.size());
        if (complete)
            return int(ids.size());
        // A set that has read no key keeps nothing but its count, which is
        // asked again once another program has written, as it is after a
        // write of this one (beforeWrite).
        if (total >= 0 && ids.empty() && tail.empty() && (pos <= 0 || onDeleted)
            && db->dataStamp() != countStamp)
            total = -1;
        if (total < 0) {
            countStamp = db->dataStamp();
            Statement s(*db, countSql);
            s.bindAll(countParams);
            total = s.step() ? int(s.columnInt64(0)) : 0;
            // Keys read before another program removed rows stay in the set.
            if (!ids.empty())
                total = std::max(total, int(ids.size()) + 1);
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
        if (index < int(ids.size()))
            return ids[size_t(index)];
        if (complete)
            return std::nullopt;
        if (backward(index) && index < total) {
            const int back = total - 1 - index;
            if (readTailTo(back))
                return tail[size_t(back)];
            if (complete) {
                // Read whole: the row as many rows before the end.
                const int at = total - 1 - back;
                return at >= 0 && at < int(ids.size()) ? std::optional<qint64>(ids[size_t(at)]) : std::nullopt;
            }
        }
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
        // A kept row is shown only while the file stands as it did when the
        // rows were kept, whoever wrote to it since; a row read now is read
        // as stored anyway. The stamp is taken before the first row is kept,
        // so a write between the two only makes the rows read again.
        auto it = cache.constFind(id);
        if (it != cache.constEnd()) {
            const quint64 stamp = db->dataStamp();
            if (stamp == cacheStamp)
                return *it;
            cache.clear();
            cacheStamp = stamp;
        } else {
            if (cache.size() >= kCacheRows)
                cache.clear();
            if (cache.isEmpty())
                cacheStamp = db->dataStamp();
        }
        QVector<QVariant> values(int(columns.size()));
        // A row deleted since its key was read, here or by another
        // program, or one that no longer meets the selection, reads as
        // Null fields.
        if (!fetchRow(fetchSelected ? *fetchSelected : *fetch, id, values) && fetchSelected && updatedHere(id))
            fetchRow(*fetch, id, values);
        cache.insert(id, values);
        return values;
    }

    bool fetchRow(Statement& s, qint64 id, QVector<QVariant>& values) const
    {
        s.reset();
        if (&s == fetchSelected.get()) {
            QVariantList bound = fetchSelectedParams;
            bound.last() = id;
            s.bindAll(bound);
        } else {
            s.bind(1, id);
        }
        const bool found = s.step();
        if (found) {
            for (size_t c = 0; c < columns.size(); ++c)
                values[int(c)] = s.columnValue(int(c), columns[c].isBoolean);
        }
        s.reset();
        return found;
    }

    // A write of the row under a kept key, conditioned like its read: the
    // text after "where", with `params` (the key last) to bind.
    QString keptRowCondition(qint64 id, QVariantList* params) const
    {
        if (whereText.isEmpty() || updatedHere(id)) {
            *params = {id};
            return QStringLiteral("rowid = ?");
        }
        *params = whereParams;
        *params << id;
        return db->translate(QStringLiteral("(%1) AND rowid = ?").arg(whereText), params);
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
            // A kept key whose row left the selection is no hit: its key
            // may name another episode's row now.
            QVariantList bound = whereParams;
            bound += params;
            const QString selected = whereText.isEmpty() ? QStringLiteral("1") : QStringLiteral("(%1)").arg(whereText);
            const QString sql = db->translate(QStringLiteral("SELECT rowid, %1 FROM %2 WHERE (%3)")
                                                  .arg(selected, dialect::quoteIdent(tableName), criterion),
                                              &bound);
            Statement s(*db, sql);
            s.bindAll(bound);
            std::unordered_set<qint64> hits;
            while (s.step()) {
                const qint64 id = s.columnInt64(0);
                if (s.columnValue(1).toBool() || updatedHere(id))
                    hits.insert(id);
            }
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
        d->whereText = plan.whereText;
        d->whereParams = params;
        d->orderText = plan.orderText;
        if (std::optional<std::vector<OrderTerm>> terms = orderTerms(plan.orderText))
            d->terms = std::move(*terms);
        else
            d->seekable = false;
        // Opening only prepares the first read: a query the engine refuses,
        // or parameters that do not fit it, fail here all the same.
        QVariantList bound;
        const QString first = db->translate(d->keySql(false, 0, &bound), &bound);
        d->firstKeys = std::make_unique<Statement>(*db, first);
        d->firstKeys->bindAll(bound);
        d->firstKeys->reset();
        bound.removeLast();
        d->firstParams = bound;
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
        if (!plan.whereText.isEmpty()) {
            d->fetchSelectedParams = params;
            d->fetchSelectedParams << qint64(0);
            const QString selectedSql = db->translate(
                QStringLiteral("SELECT %1 FROM %2 WHERE (%3) AND rowid = ?")
                    .arg(selected.isEmpty() ? QStringLiteral("rowid") : selected.join(u','),
                         dialect::quoteIdent(d->tableName), plan.whereText),
                &d->fetchSelectedParams);
            d->fetchSelected = std::make_unique<Statement>(*db, selectedSql);
        }
        d->openedAt = db->rowWrites();
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

Recordset::Recordset(std::unique_ptr<Private> d) : d(std::move(d))
{
    this->d->owner = this;
}

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
    d->place(position);
    d->settle();
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
    d->place(0);
    emit currentChanged();
}

void Recordset::moveLast()
{
    if (d->isEmpty())
        return;
    cancelUpdate();
    d->place(d->count() - 1);
    emit currentChanged();
}

void Recordset::moveNext()
{
    if (d->isEmpty() || (d->pos >= 0 && !d->has(d->pos)))
        return;
    cancelUpdate();
    // After a delete the row that followed the deleted one already stands
    // at the deleted row's place.
    d->place(d->onDeleted ? d->pos : d->pos + 1);
    d->settle();
    emit currentChanged();
}

void Recordset::movePrevious()
{
    if (d->isEmpty() || (d->pos < 0 && !d->onDeleted))
        return;
    cancelUpdate();
    d->place(d->pos - 1);
    d->settle();
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
    d->place(row);
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

std::vector<int> Recordset::positionsWhere(const QString& criterion, const QVariantList& params) const
{
    std::vector<int> positions;
    if (d->keyset) {
        // Whether any row of the table matches at all: one look-up, which
        // spares a set that has read none of its keys from reading them.
        QVariantList bound = params;
        const QString any = d->db->translate(QStringLiteral("SELECT 1 FROM %1 WHERE (%2) LIMIT 1")
                                                 .arg(dialect::quoteIdent(d->tableName), criterion),
                                             &bound);
        Statement s(*d->db, any);
        s.bindAll(bound);
        if (!s.step())
            return positions;
    }
    const std::vector<char> hits = d->matching(criterion, params);
    for (size_t i = 0; i < hits.size(); ++i)
        if (hits[i])
            positions.push_back(int(i));
    return positions;
}

QVariant Recordset::bookmark() const
{
    if (!d->atRow())
        throw DbError(QStringLiteral("Nincs aktuális rekord"));
    if (d->keyset) {
        // The count may have promised a row that another program removed.
        const std::optional<qint64> key = d->idAt(d->pos);
        if (!key)
            throw DbError(QStringLiteral("Nincs aktuális rekord"));
        return QVariant(qlonglong(*key));
    }
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
    d->place(position);
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
        d->place(int(d->ids.size()) - 1);
    } else {
        if (!names.isEmpty()) {
            QStringList sets;
            for (const QString& n : names)
                sets << n + QStringLiteral(" = ?");
            const std::optional<qint64> key = d->idAt(d->pos);
            if (!key)
                throw DbError(QStringLiteral("Nincs aktuális rekord"));
            // Never the row of another selection that took the key over.
            QVariantList keyParams;
            const QString condition = d->keptRowCondition(*key, &keyParams);
            Statement s(db, QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(table, sets.join(u','), condition));
            int i = 0;
            for (; i < values.size(); ++i)
                s.bind(i + 1, values[i], asBool[size_t(i)]);
            for (const QVariant& p : keyParams)
                s.bind(++i, p);
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
    if (d->pos >= int(d->ids.size()))
        throw DbError(QStringLiteral("Nincs aktuális rekord"));
    // Only the row the set kept: one deleted meanwhile, or whose key now
    // names a row outside the selection, is not deleted, and the caller
    // hears so instead of taking nothing for a deletion.
    const qint64 id = d->ids[size_t(d->pos)];
    QVariantList keyParams;
    const QString condition = d->keptRowCondition(id, &keyParams);
    Statement s(*d->db, QStringLiteral("DELETE FROM %1 WHERE %2").arg(dialect::quoteIdent(d->tableName), condition));
    s.bindAll(keyParams);
    s.step();
    if (sqlite3_changes(d->db->handle()) == 0)
        throw DbError::rowGone(d->db->path());
    if (d->db->transactionLevel() > 0)
        d->removed.push_back({d->db->transactionLevel(), size_t(d->pos), id, d->pos, d->onDeleted});
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

QVector<QVariant> Recordset::valuesAt(int row) const
{
    return d->row(row);
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
    next->owner = m_recordset.get();
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
