#include "app/common/datafolder.h"

#include "platform/db/dataconnection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

static void initDataResources()
{
    // The scripts live in the static app library; make sure the linker keeps them.
    Q_INIT_RESOURCE(data);
}

namespace {

using platform::db::Database;
using platform::db::DbError;

// Makes one file from scripts; leaves an existing file alone.
bool makeFile(const QString& path, const QStringList& scripts, QString* error, DataFolderReport* report)
{
    if (QFileInfo::exists(path)) {
        if (report)
            report->kept << path;
        return true;
    }
    QStringList texts;
    for (const QString& name : scripts) {
        const QString text = dataScript(name);
        if (text.isEmpty()) {
            if (error)
                *error = QStringLiteral("Hiányzó adatbázis-leírás: %1").arg(name);
            return false;
        }
        texts << text;
    }
    try {
        std::shared_ptr<Database> db = Database::create(path);
        {
            Database::Transaction transaction(*db);
            for (const QString& text : texts)
                db->execScript(text);
            transaction.commit();
        }
    } catch (const DbError& e) {
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-wal"));
        QFile::remove(path + QStringLiteral("-shm"));
        if (error)
            *error = e.message();
        return false;
    }
    if (report)
        report->made << path;
    return true;
}

} // namespace

QString dataScript(const QString& name)
{
    initDataResources();
    QFile file(QStringLiteral(":/data/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

bool makeDataFolder(const QString& folder, const ProgramInfo& info, QString* error, DataFolderReport* report)
{
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("A mappa nem hozható létre: %1").arg(folder);
        return false;
    }
    const QDir dir(folder);
    const DataFolderScripts scripts = dataFolderScripts(info);
    return makeFile(dir.filePath(info.enteredDataFile), scripts.entered, error, report)
        && makeFile(dir.filePath(info.codeTableFile), scripts.codes, error, report)
        && makeFile(dir.filePath(info.convertedFile), scripts.converted, error, report);
}

bool makeProjectekFile(const QString& folder, QString* error, DataFolderReport* report)
{
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("A mappa nem hozható létre: %1").arg(folder);
        return false;
    }
    return makeFile(QDir(folder).filePath(QStringLiteral("Projectek.mdb")), {QStringLiteral("sample/Projectek.sql")}, error,
                    report);
}
