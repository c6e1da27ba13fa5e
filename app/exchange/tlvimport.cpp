#include "app/exchange/tlvimport.h"

#include "platform/db/dataconnection.h"
#include "platform/db/sqlitestatement.h"
#include "platform/ui/msgbox.h"

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
    default:
        return QStringLiteral("Hibakód: %1 (%2)").arg(e.number).arg(e.text);
    }
}

} // namespace

TlvImport::TlvImport(const QString& path, const ProgramInfo::ImportRules& rules) : m_path(path), m_rules(rules) {}

TlvImport::~TlvImport() = default;

bool TlvImport::open()
{
    m_outcome = TlvImportOutcome();
    m_ready = false;
    m_reader = std::make_unique<platform::FixedRecordReader>(m_path, kTlvRecordLength);
    if (!m_reader->open(&m_outcome.fileError)) {
        m_outcome.status = Status::Unreadable;
        return false;
    }
    m_outcome.fileLength = m_reader->fileLength();
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
        platform::db::Statement insert(converted, insertSql());
        for (qint64 n = 1; n <= o.shape.completeRecords; ++n) {
            platform::FileError error;
            const QByteArray bytes = m_reader->record(n, &error);
            if (error || bytes.size() < kTlvDataLength) {
                o.status = Status::Unreadable;
                o.fileError = error ? error : platform::makeFileError(platform::fileerr::DeviceIo, m_path);
                o.taken = 0;
                return o; // the transaction rolls back
            }
            int undefinedAt = -1;
            const QString record = decodeTlvRecord(bytes.left(kTlvDataLength), &undefinedAt);
            if (undefinedAt >= 0) {
                if (o.undefinedRecords++ == 0) {
                    o.firstUndefinedRecord = n;
                    o.firstUndefinedByte = undefinedAt + 1;
                }
            }
            if (const auto row = convertTlvRecord(record, m_rules)) {
                for (int c = 0; c < kKonvWrittenColumns; ++c)
                    insert.bind(c + 1, (*row)[c]);
                insert.step();
                insert.reset();
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
        o.databaseError = e.message();
        o.taken = 0;
    }
    return o;
}

QList<episode::Message> tlvImportMessages(const TlvImportOutcome& o, const QString& path)
{
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
