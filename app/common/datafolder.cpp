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
    // What an earlier, interrupted run left under the temporary name goes.
    const QString building = path + QStringLiteral(".keszul");
    auto removeBuilding = [&] {
        QFile::remove(building);
        QFile::remove(building + QStringLiteral("-journal"));
    };
    removeBuilding();
    try {
        std::shared_ptr<Database> db = Database::create(building);
        Database::Transaction transaction(*db);
        for (const QString& text : texts)
            db->execScript(text);
        transaction.commit();
    } catch (const DbError& e) {
        removeBuilding();
        if (error)
            *error = e.message();
        return false;
    }
    // The connection is closed here; the whole file takes its real name.
    if (!QFile::rename(building, path)) {
        removeBuilding();
        if (error)
            *error = QStringLiteral("A fájl nem nevezhető át: %1").arg(path);
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

QString dataFileProblem(const QString& path, const QStringList& scripts, std::shared_ptr<Database>* opened)
{
    const QFileInfo info(path);
    const QString file = info.fileName();
    if (info.isFile() && info.size() == 0)
        return QStringLiteral("A(z) %1 adatbázisfájl üres (0 bájt), nem használható.").arg(file);
    std::shared_ptr<Database> db;
    try {
        db = Database::open(path);
    } catch (const DbError& e) {
        return e.clerkText();
    }
    if (opened)
        *opened = db;
    std::shared_ptr<Database> expected = Database::inMemory();
    for (const QString& name : scripts) {
        if (name.startsWith(QLatin1String("schema/")))
            expected->execScript(dataScript(name));
    }
    try {
        for (const QString& tableName : expected->tableNames()) {
            const Database::Table* want = expected->findTable(tableName);
            const Database::Table* have = db->findTable(tableName);
            if (!have)
                return QStringLiteral("A(z) %1 adatbázisfájlból hiányzik a(z) %2 tábla.").arg(file, tableName);
            for (const Database::Column& column : want->columns) {
                if (have->columnIndex(column.name) < 0)
                    return QStringLiteral("A(z) %1 adatbázisfájl %2 táblájából hiányzik a(z) %3 mező.")
                        .arg(file, tableName, column.name);
            }
        }
    } catch (const DbError& e) {
        return e.clerkText();
    }
    return QString();
}
