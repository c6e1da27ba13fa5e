#include "app/exchange/tlvimport.h"

#include "platform/db/dataconnection.h"
#include "platform/ui/msgbox.h"

#include <QFile>

#include <sqlite3.h>

namespace exchange {

using Status = TlvImportOutcome::Status;

namespace {

QString insertSql()
{
    QString columns;
    QString marks;
    for (const char* c : konvWrittenColumns()) {
        columns += QStringLiteral("\"%1\", ").arg(QString::fromUtf8(c));
        marks += QStringLiteral("?, ");
    }
    return QStringLiteral("insert into konv (") + columns + QStringLiteral("Feldolgozva) values (") + marks
        + QStringLiteral("0)");
}

QString unreadableReason(const platform::FileError& e)
{
    switch (e.number) {
    case platform::fileerr::FileNotFound:
        return QStringLiteral("Nincs ilyen fájl.");
    case platform::fileerr::DeviceUnavailable:
    case platform::fileerr::DiskNotReady:
        return QStringLiteral("A meghajtó nem érhető el (nincs floppy?).");
    case platform::fileerr::PermissionDenied:
        return QStringLiteral("Nincs jog a fájl olvasására.");
    case platform::fileerr::PathFileAccess:
        return QStringLiteral("A megadott elérési út nem fájlt jelöl.");
    case platform::fileerr::PathNotFound:
        return QStringLiteral("Nincs ilyen elérési út.");
    case platform::fileerr::DeviceIo:
        return QStringLiteral("Lemezhiba: a fájl nem olvasható.");
    default:
        // The number and its usual words are for the administrator.
        return QStringLiteral("A fájl olvasása nem sikerült. (Hibakód: %1, %2)")
            .arg(e.number)
            .arg(platform::fileErrorText(e.number));
    }
}

// The path as the clerk typed it, with one kind of separator: one with a
// drive letter the old way ("a:\adat\TLVREC.TXT"), any other the native way.
QString shownPath(const QString& path)
{
    QString shown = path;
    if (!platform::driveName(path).isEmpty())
        return shown.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return shown.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

QString badRecordReason(const TlvRecordFault& fault)
{
    switch (fault.kind) {
    case TlvRecordFault::NoLineEnd:
        return QStringLiteral("a végén nincs CR LF sorvég, a fájl nem 650 bájtos rekordokból áll");
    case TlvRecordFault::NulByte:
        return QStringLiteral("nulla bájt áll a rekord %1. bájtján").arg(fault.byte);
    }
    return QString();
}

// The prepared insert of the run. The row's text is bound where it lies,
// without a copy per column: a month's file is written as fast as the engine
// takes it.
class KonvInsert {
public:
    explicit KonvInsert(platform::db::Database& db) : m_db(db)
    {
        const QByteArray sql = insertSql().toUtf8();
        if (sqlite3_prepare_v2(db.handle(), sql.constData(), int(sql.size()), &m_stmt, nullptr) != SQLITE_OK)
            fail();
    }
    ~KonvInsert() { sqlite3_finalize(m_stmt); }
    KonvInsert(const KonvInsert&) = delete;
    KonvInsert& operator=(const KonvInsert&) = delete;

    void insert(const KonvRow& row)
    {
        for (int c = 0; c < kKonvWrittenColumns; ++c) {
            const QByteArrayView text = row.column(c);
            if (sqlite3_bind_text(m_stmt, c + 1, text.data(), int(text.size()), SQLITE_STATIC) != SQLITE_OK)
                fail();
        }
        const int rc = sqlite3_step(m_stmt);
        sqlite3_reset(m_stmt);
        if (rc != SQLITE_DONE)
            fail();
    }

private:
    [[noreturn]] void fail() const
    {
        sqlite3* db = m_db.handle();
        throw platform::db::DbError(QStringLiteral("%1 (%2)").arg(QString::fromUtf8(sqlite3_errmsg(db)), m_db.path()),
                                    m_db.path(), sqlite3_extended_errcode(db));
    }
    platform::db::Database& m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

// The records of the file in order, read a few hundred at a time rather
// than one system call each.
class RecordBlocks {
public:
    explicit RecordBlocks(const QString& path) : m_path(path), m_file(platform::mapPath(path)) {}

    bool open(platform::FileError* error)
    {
        if (m_file.open(QIODevice::ReadOnly))
            return true;
        *error = platform::makeFileError(platform::errorNumberFromFileDevice(m_file.error()), m_path);
        return false;
    }

    // Record n (from 1) as it lies in the file: its 648 bytes and its line
    // end, of which the last record may lack some. Empty when it cannot be
    // read. Blocks start on a record, so only the file's end cuts one short.
    QByteArrayView record(qint64 n, platform::FileError* error)
    {
        const qint64 offset = (n - 1) * kTlvRecordLength;
        if (offset < m_start || offset + kTlvDataLength > m_start + m_block.size()) {
            m_start = offset;
            m_block.clear();
            if (m_file.seek(offset))
                m_block = m_file.read(qint64(kBlockRecords) * kTlvRecordLength);
            if (m_block.size() < kTlvDataLength) {
                *error = platform::makeFileError(
                    m_file.error() != QFileDevice::NoError ? platform::errorNumberFromFileDevice(m_file.error())
                                                           : platform::fileerr::DeviceIo,
                    m_path);
                return QByteArrayView();
            }
        }
        const qint64 at = offset - m_start;
        return QByteArrayView(m_block).sliced(at, qMin<qint64>(kTlvRecordLength, m_block.size() - at));
    }

private:
    static constexpr int kBlockRecords = 256;
    QString m_path;
    QFile m_file;
    QByteArray m_block;
    qint64 m_start = 0;
};

} // namespace

TlvImport::TlvImport(const QString& path, const ProgramInfo::ImportRules& rules) : m_path(path), m_rules(rules) {}

TlvImport::~TlvImport() = default;

bool TlvImport::open()
{
    m_outcome = TlvImportOutcome();
    m_ready = false;
    // Opened here for what it is and how long; the run reads it again.
    platform::FixedRecordReader reader(m_path, kTlvRecordLength);
    if (!reader.open(&m_outcome.fileError)) {
        m_outcome.status = Status::Unreadable;
        return false;
    }
    m_outcome.fileLength = reader.fileLength();
    m_outcome.shape = tlvFileShape(m_outcome.fileLength);
    if (m_outcome.shape.completeRecords == 0) {
        m_outcome.status = Status::NoCompleteRecord;
        return false;
    }
    m_ready = true;
    return true;
}

const TlvImportOutcome& TlvImport::run(platform::db::Database& converted, const std::function<bool(qint64)>& step)
{
    if (!m_ready && !open())
        return m_outcome;
    m_ready = false; // one run per opening
    TlvImportOutcome& o = m_outcome;
    try {
        platform::db::Database::Transaction transaction(converted);
        // A file made before the index existed gets it with its next import.
        converted.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS konv_Feldolgozva ON konv (Feldolgozva)"));
        RecordBlocks file(m_path);
        if (!file.open(&o.fileError)) {
            o.status = Status::Unreadable;
            return o;
        }
        KonvInsert insert(converted);
        KonvRow row;
        for (qint64 n = 1; n <= o.shape.completeRecords; ++n) {
            const QByteArrayView bytes = file.record(n, &o.fileError);
            if (bytes.isEmpty()) {
                o.status = Status::Unreadable;
                o.taken = 0;
                return o; // the transaction rolls back
            }
            if ((o.fault = tlvRecordFault(bytes))) {
                o.status = Status::BadRecord;
                o.badRecord = n;
                o.taken = 0;
                return o;
            }
            if (convertTlvRecord(bytes.first(kTlvDataLength), m_rules, row)) {
                if (row.undefinedAt() >= 0 && o.undefinedRecords++ == 0) {
                    o.firstUndefinedRecord = n;
                    o.firstUndefinedByte = row.undefinedAt() + 1;
                }
                insert.insert(row);
                ++o.taken;
            }
            o.read = n;
            if (step && !step(n)) {
                o.status = Status::Stopped;
                o.taken = 0;
                return o;
            }
        }
        transaction.commit();
        converted.noteChange();
        o.status = Status::Done;
    } catch (const platform::db::DbError& e) {
        o.status = Status::DatabaseError;
        o.databaseError = e.clerkText();
        o.taken = 0;
    }
    return o;
}

QList<episode::Message> tlvImportMessages(const TlvImportOutcome& o, const QString& typedPath)
{
    const QString path = shownPath(typedPath);
    const QString hiba = QStringLiteral("Hiba");
    const QString figyelmeztetes = QStringLiteral("Figyelmeztetés");
    QList<episode::Message> boxes;
    switch (o.status) {
    case Status::Unreadable:
        boxes.append({QStringLiteral("Az importálandó fájl nem olvasható: %1\n%2").arg(path, unreadableReason(o.fileError)),
                      hiba, platform::Critical});
        return boxes;
    case Status::NoCompleteRecord:
        boxes.append({QStringLiteral("A fájlban nincs egyetlen teljes rekord sem (%1 bájt): %2\n"
                                     "Nem történt adatkonvertálás.")
                          .arg(o.fileLength)
                          .arg(path),
                      hiba, platform::Critical});
        return boxes;
    case Status::BadRecord:
        boxes.append({QStringLiteral("Hibás a(z) %1. rekord (%2): %3\nNem történt adatkonvertálás.")
                          .arg(o.badRecord)
                          .arg(badRecordReason(*o.fault), path),
                      hiba, platform::Critical});
        return boxes;
    case Status::DatabaseError:
        boxes.append({QStringLiteral("Az adatkonvertálás adatbázis-hiba miatt megszakadt, a konvertált adatok "
                                     "változatlanok maradtak.\n%1")
                          .arg(o.databaseError),
                      hiba, platform::Critical});
        return boxes;
    case Status::Stopped:
        return boxes;
    case Status::Done:
        break;
    }
    if (o.shape.trailingBytes > 0)
        boxes.append({QStringLiteral("A fájl végén egy %1 bájtos hiányos rekord van, ez nem került átvételre.")
                          .arg(o.shape.trailingBytes),
                      figyelmeztetes, platform::Exclamation});
    if (o.undefinedRecords > 0)
        boxes.append({QStringLiteral("%1 rekordban az 1250-es kódlapon nem értelmezett bájt van (először a(z) %2. "
                                     "rekord %3. bájtján). Ezek a bájtok változatlan kóddal kerültek át.")
                          .arg(o.undefinedRecords)
                          .arg(o.firstUndefinedRecord)
                          .arg(o.firstUndefinedByte),
                      figyelmeztetes, platform::Exclamation});
    boxes.append({QStringLiteral("Adatkonvertálás sikeresen lezajlott!"), figyelmeztetes, platform::Critical});
    return boxes;
}

} // namespace exchange
