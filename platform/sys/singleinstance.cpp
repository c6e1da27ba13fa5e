#include "platform/sys/singleinstance.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

namespace {

QString& lockDirOverride()
{
    static QString dir;
    return dir;
}

// Descriptors of the locks this process holds, by program name.
QHash<QString, int>& heldLocks()
{
    static QHash<QString, int> locks;
    return locks;
}

} // namespace

QString singleInstanceLockFile(const QString& programName)
{
    QString safe;
    for (QChar c : programName)
        safe += (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_')) ? c : QLatin1Char('_');
    return QDir(singleInstanceLockDir())
        .filePath(QStringLiteral("%1-%2.lock").arg(safe).arg(::getuid()));
}

QString singleInstanceLockDir()
{
    if (!lockDirOverride().isEmpty())
        return lockDirOverride();
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return runtime;
    return QDir::tempPath();
}

void setSingleInstanceLockDir(const QString& folder)
{
    lockDirOverride() = folder;
}

bool anotherInstanceRunning(const QString& programName)
{
    if (heldLocks().contains(programName))
        return false;

    const QByteArray path = QFile::encodeName(singleInstanceLockFile(programName));
    // Close-on-exec: a child program started later must not inherit the
    // lock and keep it alive after this process has gone.
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;   // no lock possible: do not keep the clerk out
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return held;
    }
    // For whoever looks at the file: the holder's process id.
    if (::ftruncate(fd, 0) == 0) {
        const QByteArray pid = QByteArray::number(::getpid()) + '\n';
        [[maybe_unused]] ssize_t n = ::pwrite(fd, pid.constData(), size_t(pid.size()), 0);
    }
    heldLocks().insert(programName, fd);
    return false;
}

void releaseSingleInstance(const QString& programName)
{
    if (heldLocks().contains(programName))
        ::close(heldLocks().take(programName));
}

} // namespace platform
