#include "tests/support/datafolder_fixture.h"

#include "app/common/datafolder.h"

#include <QFile>

#include <stdexcept>

namespace testsupport {

using platform::db::Database;

namespace {

void build(const QString& path, const QStringList& scripts)
{
    std::shared_ptr<Database> db = Database::create(path);
    Database::Transaction transaction(*db);
    for (const QString& name : scripts)
        db->execScript(TempDataFolder::script(name));
    transaction.commit();
}

} // namespace

QString TempDataFolder::script(const QString& name)
{
    QFile file(QStringLiteral(RAFORDIT_SOURCE_DIR "/data/") + name);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("missing script data/" + name.toStdString());
    return QString::fromUtf8(file.readAll());
}

TempDataFolder::TempDataFolder(const ProgramInfo& info) : m_info(info)
{
    if (!m_dir.isValid())
        throw std::runtime_error("no temporary folder");
    const DataFolderScripts scripts = dataFolderScripts(info);
    build(filePath(info.enteredDataFile), scripts.entered);
    build(filePath(info.codeTableFile), scripts.codes);
    build(filePath(info.convertedFile), scripts.converted);
}

std::shared_ptr<Database> TempDataFolder::entered()
{
    if (!m_entered)
        m_entered = Database::open(filePath(m_info.enteredDataFile));
    return m_entered;
}

std::shared_ptr<Database> TempDataFolder::codes()
{
    if (!m_codes)
        m_codes = Database::open(filePath(m_info.codeTableFile));
    return m_codes;
}

std::shared_ptr<Database> TempDataFolder::converted()
{
    if (!m_converted)
        m_converted = Database::open(filePath(m_info.convertedFile));
    return m_converted;
}

} // namespace testsupport
