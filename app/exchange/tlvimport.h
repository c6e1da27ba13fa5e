// One import run: the records of an inpatient-report file converted into
// rows of `konv`, all in one transaction, so a run that fails or is stopped
// leaves the table as it was. The window shows the progress and the boxes
// that tlvImportMessages() returns; nothing here needs a window.
#pragma once

#include "app/common/episoderules.h"
#include "app/common/programinfo.h"
#include "app/exchange/tlvrec.h"
#include "platform/sys/files.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace platform::db {
class Database;
}

namespace exchange {

struct TlvImportOutcome {
    enum class Status {
        Done,             // every complete record read, the taken ones stored
        Unreadable,       // the file could not be opened or read; nothing stored
        NoCompleteRecord, // nothing to convert; nothing stored
        BadRecord,        // a record is not one of the file's layout; nothing stored
        DatabaseError,    // the rows could not be stored; nothing stored
        Stopped,          // stopped from outside; nothing stored
    };
    Status status = Status::Done;
    TlvFileShape shape;
    qint64 fileLength = 0;
    qint64 read = 0;  // complete records read
    qint64 taken = 0; // rows stored
    // Records holding a byte that Windows-1250 leaves undefined, and where
    // the first such byte was (record from 1, byte from 1).
    qint64 undefinedRecords = 0;
    qint64 firstUndefinedRecord = 0;
    int firstUndefinedByte = 0;
    // The first record refused (from 1) and why.
    qint64 badRecord = 0;
    std::optional<TlvRecordFault> fault;
    platform::FileError fileError;
    // What the clerk reads about a database failure: in Hungarian, naming
    // the file, the engine's words after it where they help.
    QString databaseError;
};

class TlvImport {
public:
    TlvImport(const QString& path, const ProgramInfo::ImportRules& rules);
    ~TlvImport();
    TlvImport(const TlvImport&) = delete;
    TlvImport& operator=(const TlvImport&) = delete;

    // Opens and measures the file. False when it cannot be read or holds no
    // complete record; outcome() says which.
    bool open();
    const TlvFileShape& shape() const { return m_outcome.shape; }

    // Converts every complete record, in file order, and appends the rows it
    // takes to `konv` of `converted`. A record that is not one of the file's
    // layout (tlvRecordFault) stops the run, and nothing of it is kept. After each record read, `step` gets its
    // number (from 1); when it returns false the run stops and nothing is
    // kept. Only a run that ends Done leaves rows behind.
    const TlvImportOutcome& run(platform::db::Database& converted, const std::function<bool(qint64)>& step);

    const TlvImportOutcome& outcome() const { return m_outcome; }

private:
    QString m_path;
    ProgramInfo::ImportRules m_rules;
    TlvImportOutcome m_outcome;
    bool m_ready = false;
};

// The boxes that tell the clerk how a run went, in the order they are shown.
// Only a run that read records ends with "Adatkonvertálás sikeresen
// lezajlott!"; a stopped run shows nothing.
QList<episode::Message> tlvImportMessages(const TlvImportOutcome& outcome, const QString& path);

} // namespace exchange
