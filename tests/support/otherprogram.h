// Another program's connection to one of the database files, outside our
// database layer: it takes the write lock and lets it go when told.
#pragma once

#include <QString>

#include <chrono>
#include <thread>

struct sqlite3;

namespace testsupport {

class OtherProgram {
public:
    explicit OtherProgram(const QString& path);
    ~OtherProgram();
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;

    // Takes the write lock with a change of its own (a table the programs
    // do not have, so no collation is needed).
    bool lock();
    void release();
    // Lets go of the lock from another thread after `wait`.
    void releaseAfter(std::chrono::milliseconds wait);

private:
    sqlite3* m_db = nullptr;
    std::thread m_releaser;
};

} // namespace testsupport
