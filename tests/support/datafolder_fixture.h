// A fresh data folder per test: the three database files of a program, made
// from the schema scripts of the source tree (code tables with the sample
// codes), in a temporary folder that disappears with the object.
#pragma once

#include "app/common/programinfo.h"
#include "platform/db/dataconnection.h"

#include <QTemporaryDir>

#include <memory>

namespace testsupport {

class TempDataFolder {
public:
    explicit TempDataFolder(const ProgramInfo& info);

    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

    std::shared_ptr<platform::db::Database> entered();
    std::shared_ptr<platform::db::Database> codes();
    std::shared_ptr<platform::db::Database> converted();

    // The text of a script under data/ of the source tree, e.g. "schema/sebrix-codes.sql".
    static QString script(const QString& name);

private:
    QTemporaryDir m_dir;
    ProgramInfo m_info;
    std::shared_ptr<platform::db::Database> m_entered;
    std::shared_ptr<platform::db::Database> m_codes;
    std::shared_ptr<platform::db::Database> m_converted;
};

} // namespace testsupport
