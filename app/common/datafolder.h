// Setting up a data folder: the three database files of a program, made
// empty (code tables with sample codes). Only the set-up tool and tests call
// this; the programs themselves never create a missing database file.
#pragma once

#include "app/common/programinfo.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace platform::db {
class Database;
}

// What the set-up did with each file: the paths it created and the paths it
// left alone because they were already there.
struct DataFolderReport {
    QStringList made;
    QStringList kept;
};

// Creates `folder` if needed and the entered-data, code-table and converted
// file of `info` in it. A file that exists is never touched. Each file is
// built under a temporary name and renamed into place when it is whole, so
// an interrupted run never leaves a broken file under the real name. On
// failure `error` says why and the result is false.
bool makeDataFolder(const QString& folder, const ProgramInfo& info, QString* error,
                    DataFolderReport* report = nullptr);

// The demonstration window's sample file (Projectek.mdb) in `folder`.
bool makeProjectekFile(const QString& folder, QString* error, DataFolderReport* report = nullptr);

// The scripts that make each file of a fresh data folder of `info`, in the
// order they run. The drug table and the converted records are the same in
// both programs, so their scripts are shared.
struct DataFolderScripts {
    QStringList entered;
    QStringList codes;
    QStringList converted;
};
inline DataFolderScripts dataFolderScripts(const ProgramInfo& info)
{
    const QString prefix = info.isWard() ? QStringLiteral("zorivozure") : QStringLiteral("sebrix");
    return {
        {QStringLiteral("schema/%1-entered.sql").arg(prefix), QStringLiteral("sample/%1-wards.sql").arg(prefix)},
        {QStringLiteral("schema/drug-codes.sql"), QStringLiteral("schema/%1-codes.sql").arg(prefix),
         QStringLiteral("sample/drug-codes.sql"), QStringLiteral("sample/%1-codes.sql").arg(prefix)},
        {QStringLiteral("schema/converted.sql")},
    };
}

// A schema or sample script compiled into the program, such as
// "schema/sebrix-entered.sql"; empty when there is none.
QString dataScript(const QString& name);

// Why the file at `path` cannot serve as a database file made by `scripts`
// (only their "schema/" ones count): empty, not a database, or lacking a
// table or a column of them, named. Letter case of names does not matter,
// and more tables or columns than the scripts make are fine. An empty text
// means the file is usable. The file is not changed. When `opened` is given,
// it receives the file's open connection (left empty when the file cannot
// be opened), so that whoever keeps it works on the file without opening it
// a second time.
QString dataFileProblem(const QString& path, const QStringList& scripts,
                        std::shared_ptr<platform::db::Database>* opened = nullptr);
