// Another program's connection to one of the database files, outside our
// database layer (another copy of a program, the sqlite3 tool): it takes the
// write lock and lets it go when told, and writes and reads rows that this
// program's record sets hear nothing about.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

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

    // Runs one statement, its parameters bound as texts, waiting for a lock
    // as the programs do; gives the first column of its rows as texts. A
    // failure is a test failure.
    QStringList run(const QString& sql, const QVariantList& params = {});

private:
    sqlite3* m_db = nullptr;
    std::thread m_releaser;
};

// The two ways another program keeps this one's write out of a file: its
// write lock, and a read of `table` inside a transaction it leaves open, so
// that the commit cannot be made.
struct Hold {
    const char* name;
    std::function<void(OtherProgram&)> take;
};
std::vector<Hold> holdsOn(const QString& table);

} // namespace testsupport
