// The data layer the windows work through: a database file, an updatable
// record set over a table or a single-table query, and the data connection
// (Data1 ... Data12) that holds a record source and refreshes its record set.
//
// Values typed by a clerk are always bound as parameters ("?" in the query
// text), never pasted into it. Queries may use the old dialect: "*" and "?" as
// like wildcards (with "%" and "_" plain characters), bare Booleans and
// "=True", left(x,n). Text comparison and like ignore letter case for every
// letter, accented ones included.
//
// Engine failures throw platform::db::DbError; nothing is silently ignored.
#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include <memory>
#include <stdexcept>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace platform::db {

class DbError : public std::runtime_error {
public:
    // `file` is the database file concerned (empty when none is known),
    // `code` the engine's result code (0 when the layer itself refused).
    explicit DbError(const QString& message, const QString& file = QString(), int code = 0)
        : std::runtime_error(message.toStdString()), m_file(file), m_code(code)
    {
    }
    QString message() const { return QString::fromStdString(what()); }
    QString file() const { return m_file; }
    // A delete that found no row to take: the row a record set kept was
    // deleted meanwhile, or no longer belongs to the set's rows (its key
    // now names another row). Nothing was deleted.
    static DbError rowGone(const QString& file);
    bool isRowGone() const { return m_rowGone; }
    int code() const { return m_code; }            // extended result code
    int primaryCode() const { return m_code & 0xff; }

    // What a clerk reads: in Hungarian, naming the file by its name, saying
    // what went wrong (locked by another program, disk full, read-only, not
    // a database). The engine's own words stay in message().
    QString clerkText() const;

private:
    QString m_file;
    int m_code = 0;
    bool m_rowGone = false;
};

class Database {
public:
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens an existing file; a missing file is an error, never created, and
    // so is an empty (zero-byte) one, which is left untouched. Opening a file
    // that is already open gives the same object, so every record set of a
    // file shares its rows and its transaction.
    //
    // Every file works with a rollback journal and full syncing: after each
    // commit the file alone holds every committed row (a copy of it is a
    // whole backup), and a transaction over attached files commits in all
    // of them or in none.
    static std::shared_ptr<Database> open(const QString& path);
    // Creates (or opens) a file; used only by the data-folder set-up.
    static std::shared_ptr<Database> create(const QString& path);
    // A database in memory with the layer's collation and functions, shared
    // with no one (for comparing a file with the tables it should have).
    static std::shared_ptr<Database> inMemory();

    QString path() const { return m_path; }
    sqlite3* handle() const { return m_db; }

    // A column as the file declares it. Boolean columns read back as bool.
    struct Column {
        QString name;
        QString declaredType;
        QString collation;
        bool isBoolean = false;
    };
    struct Table {
        QString name; // as the file spells it
        std::vector<Column> columns;
        int columnIndex(const QString& name) const; // any letter case; -1 when absent
    };
    // The table of that name in any letter case (accented letters included);
    // nullptr when the file has none.
    const Table* findTable(const QString& name);
    QStringList tableNames();

    // Turns a query text of the old dialect into one the engine runs and
    // returns the parameters it binds (a like prefix may add some).
    QString translate(const QString& sql, QVariantList* params);

    // Advances on every write through this layer.
    quint64 changeCount() const { return m_changes; }
    void noteChange() { ++m_changes; }
    // Advances whenever the file may hold other rows than before: on every
    // write through this layer and on every commit another connection made
    // to the file since the last call (another copy of a program, the
    // sqlite3 tool). Rows kept from a read are shown again only while it
    // stands still. Each call asks the engine, which takes the file's read
    // lock for a moment (about what reading one row costs), so a grid asks
    // once per turn of the event loop, not once per cell.
    quint64 dataStamp();
    // Whether the file can be read at once: asks as dataStamp() does, but
    // without waiting for a lock another program holds. For looking again
    // and again at a file that was refused, at no cost to the clerk.
    bool readableNow();

    // Record sets read their row keys only when something first needs them.
    // A set that has begun reading must end on the rows it was opened on,
    // so every write through this layer first tells them (aboutToWrite);
    // code that writes with the engine directly, or through another file's
    // connection, calls aboutToWrite() itself before it writes.
    class WriteWatcher {
    public:
        virtual void beforeWrite() = 0;
        // The transaction (or savepoint) at `level` ended: committed, or
        // rolled back with every write made since it began.
        virtual void transactionEnded(int level, bool committed) = 0;
    protected:
        ~WriteWatcher() = default;
    };
    void watchWrites(WriteWatcher* watcher);
    void unwatchWrites(WriteWatcher* watcher);
    void aboutToWrite();
    // How deep the open transactions nest: 0 outside any, 1 in the
    // outermost one.
    int transactionLevel() const { return m_savepoints; }

    // Rows that this program updated, through any of its connections (an
    // attached file included), each update numbered in turn: such a row
    // stays the same row even when the update took it out of a record set's
    // selection. A delete of the row forgets it. rowWrites() is the number
    // of the last update so far; lastUpdateOf() that of the row's last one,
    // 0 when the row has not been updated since it was stored.
    quint64 rowWrites() const { return m_rowWrites; }
    quint64 lastUpdateOf(const QString& table, qint64 rowid) const;

    // How many times record sets of this file have read row keys (one per
    // batch of keys): opening a set or counting its rows reads none.
    quint64 keyReads() const { return m_keyReads; }
    void noteKeyRead() { ++m_keyReads; }

    // Runs one statement (dialect translated, parameters bound).
    void exec(const QString& sql, const QVariantList& params = {});
    // Runs a script of several statements without parameters (schemas).
    void execScript(const QString& sql);
    // First column of the first row, or a null QVariant when there is none.
    QVariant scalar(const QString& sql, const QVariantList& params = {});

    // How long a statement waits for a lock another connection holds before
    // it gives up with SQLITE_BUSY (5 s unless set); applies to every file.
    static void setBusyTimeout(int milliseconds);
    static int busyTimeout();

    // All-or-nothing writes: nothing of what ran since begin() stays unless
    // commit() is reached. Transaction commits only when told to. The
    // outermost one takes the write lock at once (BEGIN IMMEDIATE), waiting
    // up to the busy timeout for it, so that a transaction never fails half
    // way for a lock another program holds; inner ones are savepoints.
    class Transaction {
    public:
        explicit Transaction(Database& db);
        ~Transaction(); // rolls back unless committed
        void commit();
    private:
        Database& m_db;
        bool m_outermost = false;
        bool m_done = false;
    };

private:
    explicit Database(const QString& path, sqlite3* db);
    void forgetSchema();
    void loadSchema();
    QString m_path;
    sqlite3* m_db = nullptr;
    quint64 m_changes = 0;
    quint64 m_othersCommits = 0;      // changes of the engine's data version seen
    qint64 m_dataVersion = -1;        // the engine's data version when last asked
    sqlite3_stmt* m_dataVersionQuery = nullptr;
    quint64 m_keyReads = 0;
    std::vector<WriteWatcher*> m_watchers;
    bool m_notifying = false;
    static void rowWritten(void* self, int operation, const char* schema, const char* table, qint64 rowid);
    void noteRowWritten(int operation, const char* table, qint64 rowid);
    void transactionEnded(int level, bool committed);
    quint64 m_rowWrites = 0;
    QHash<QString, QHash<qint64, quint64>> m_updatedRows; // table -> rowid -> number of its last update
    QByteArray m_lastTableUtf8;       // the table last written, as the engine names it
    QString m_lastTable;
    int m_savepoints = 0;
    bool m_schemaLoaded = false;
    std::vector<Table> m_tables;
};

// A keyset record set over one table: rows in the query's order (stored order
// when it has no order clause), fetched on demand, updatable.
//
// Its row keys are read in batches, each one after the last key read (never
// by counting rows from an end), so that rows another program adds or
// removes while the set is walked make it neither skip nor repeat a row that
// is still stored: a row removed after its key was read shows Null fields,
// one removed before is passed over, one added where the set has not read
// yet is met, and the count is put right when a walk reaches an end. A row
// moved to stays the current row whatever is written before it is shown;
// the first and the last row are whichever rows are first and last when
// first read.
//
// A kept key reads its row only while the row still meets the set's
// selection (its where clause): the engine gives a deleted row's key to the
// next row stored, and that row, of another episode perhaps, is not the
// set's row. Such a key reads, finds, edits and deletes as a deleted row.
// A row this program itself took out of the selection with an update
// since the set was opened stays the set's row.
class Recordset : public QObject {
    Q_OBJECT
public:
    ~Recordset() override;

    int recordCount() const;
    // Zero-based position of the current row; -1 when there is none.
    int absolutePosition() const;
    void setAbsolutePosition(int position); // out of range: DbError
    bool bof() const;
    bool eof() const;
    // False also right after deleteCurrent(), until a move.
    bool hasCurrent() const { return !bof() && !eof() && absolutePosition() >= 0; }

    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();

    // Moves to the first row of the set that matches the criterion (a where
    // clause in the old dialect, values bound); on no match the position
    // stays and noMatch() turns true.
    bool findFirst(const QString& criterion, const QVariantList& params = {});
    bool findNext(const QString& criterion, const QVariantList& params = {});
    bool findLast(const QString& criterion, const QVariantList& params = {});
    bool findPrevious(const QString& criterion, const QVariantList& params = {});
    bool noMatch() const { return m_noMatch; }
    // Positions of the rows of the set that match the criterion, in the
    // set's order, without moving the current row (a list opening on the
    // entry on show). A criterion no row matches is answered by the engine
    // alone, an index on its field serving it; only a hit makes the set read
    // its row keys.
    std::vector<int> positionsWhere(const QString& criterion, const QVariantList& params = {}) const;

    // For a set over a table the bookmark is the row's rowid. A bookmark of
    // a deleted row, or none at all, is a DbError.
    QVariant bookmark() const;
    void setBookmark(const QVariant& bookmark);

    void addNew();        // starts a new row buffer
    void edit();          // starts editing the current row
    // Writes the buffer. An added row joins the end of the set and becomes
    // the current row; an edited row keeps its place even if it no longer
    // matches the query.
    void update();
    void cancelUpdate();
    // The position then stands on no row until a move. A row no longer
    // stored as one of the set's rows is not deleted: DbError (isRowGone),
    // the set unchanged. A row deleted inside a transaction that rolls back
    // comes back into the set where it stood, with the position it had.
    void deleteCurrent();
    bool editing() const;

    QStringList fieldNames() const;
    int fieldIndex(const QString& name) const; // any letter case; -1 when absent

    // Field of the current row (or of the edit buffer while editing).
    // A Null value is an invalid QVariant; text() gives "" for it. Without a
    // current row the value is Null; an unknown field name is a DbError.
    // Numbers come as qlonglong or double, Boolean columns as bool.
    QVariant value(const QString& field) const;
    QString text(const QString& field) const;
    void setValue(const QString& field, const QVariant& value);

    // Any row without moving the current one (for bound grids and lists).
    // Out of range gives Null.
    QVariant valueAt(int row, int column) const;
    // Every field of such a row at once (a grid's row, checked once).
    QVector<QVariant> valuesAt(int row) const;

    // False for a query the layer cannot write back (joins, groups); such a
    // set is read once and kept in memory.
    bool updatable() const;

    // A record set of its own, outside any data connection (the overview's
    // explicitly opened database). `source` is a table name or a query.
    static std::unique_ptr<Recordset> open(std::shared_ptr<Database> db, const QString& source,
                                           const QVariantList& params = {});

signals:
    void currentChanged();  // the current row moved
    void rowsChanged();     // rows added, deleted or edited

private:
    friend class DataConnection;
    struct Private;
    explicit Recordset(std::unique_ptr<Private> d);
    static std::unique_ptr<Private> build(const std::shared_ptr<Database>& db, const QString& source,
                                          const QVariantList& params);
    static std::unique_ptr<Private> empty();
    bool moveToHit(int row); // the end of every find; -1 is no match
    std::unique_ptr<Private> d;
    bool m_noMatch = false;
};

// A hidden data control of a window: a database file, a record source (table
// name or query), and after refresh() one record set whose current row is
// its first row.
class DataConnection : public QObject {
    Q_OBJECT
public:
    explicit DataConnection(const QString& name, QObject* parent = nullptr);
    ~DataConnection() override;

    QString name() const { return objectName(); }

    void setDatabase(std::shared_ptr<Database> db);
    std::shared_ptr<Database> database() const { return m_db; }

    void setRecordSource(const QString& source, const QVariantList& params = {});
    QString recordSource() const { return m_source; }
    QVariantList recordSourceParams() const { return m_params; }

    // Re-runs the record source. Without a database or a source it leaves
    // an empty record set.
    void refresh();

    Recordset& recordset();

signals:
    void refreshed();       // a new record set replaced the old one
    void currentChanged();  // relayed from the record set
    void rowsChanged();     // relayed from the record set

private:
    std::shared_ptr<Database> m_db;
    QString m_source;
    QVariantList m_params;
    std::unique_ptr<Recordset> m_recordset;
};

} // namespace platform::db
