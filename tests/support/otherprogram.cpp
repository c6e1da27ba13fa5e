#include "tests/support/otherprogram.h"

#include <QFile>

#include <sqlite3.h>

namespace testsupport {

OtherProgram::OtherProgram(const QString& path)
{
    sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
}

OtherProgram::~OtherProgram()
{
    if (m_releaser.joinable())
        m_releaser.join();
    sqlite3_close_v2(m_db);
}

bool OtherProgram::lock()
{
    return sqlite3_exec(m_db, "BEGIN IMMEDIATE; CREATE TABLE other_program (x)", nullptr, nullptr, nullptr)
        == SQLITE_OK;
}

void OtherProgram::release()
{
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void OtherProgram::releaseAfter(std::chrono::milliseconds wait)
{
    m_releaser = std::thread([this, wait] {
        std::this_thread::sleep_for(wait);
        release();
    });
}

} // namespace testsupport
