#include "tests/support/crashpoints.h"

#include "platform/sys/files.h"

#include <sqlite3.h>

#include <csignal>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

namespace {

sqlite3_vfs* g_real = nullptr;
long g_target = 0;
long g_count = 0;

void change()
{
    ++g_count;
    if (g_target > 0 && g_count >= g_target)
        ::kill(::getpid(), SIGKILL);
}

struct CountingFile {
    sqlite3_file base;
    sqlite3_file* real; // follows this struct in the same allocation
};

sqlite3_file* real(sqlite3_file* f)
{
    return reinterpret_cast<CountingFile*>(f)->real;
}

int xClose(sqlite3_file* f)
{
    const int rc = real(f)->pMethods ? real(f)->pMethods->xClose(real(f)) : SQLITE_OK;
    return rc;
}
int xRead(sqlite3_file* f, void* buf, int n, sqlite3_int64 off)
{
    return real(f)->pMethods->xRead(real(f), buf, n, off);
}
int xWrite(sqlite3_file* f, const void* buf, int n, sqlite3_int64 off)
{
    change();
    return real(f)->pMethods->xWrite(real(f), buf, n, off);
}
int xTruncate(sqlite3_file* f, sqlite3_int64 size)
{
    change();
    return real(f)->pMethods->xTruncate(real(f), size);
}
int xSync(sqlite3_file* f, int flags)
{
    change();
    return real(f)->pMethods->xSync(real(f), flags);
}
int xFileSize(sqlite3_file* f, sqlite3_int64* size)
{
    return real(f)->pMethods->xFileSize(real(f), size);
}
int xLock(sqlite3_file* f, int level)
{
    return real(f)->pMethods->xLock(real(f), level);
}
int xUnlock(sqlite3_file* f, int level)
{
    return real(f)->pMethods->xUnlock(real(f), level);
}
int xCheckReservedLock(sqlite3_file* f, int* out)
{
    return real(f)->pMethods->xCheckReservedLock(real(f), out);
}
int xFileControl(sqlite3_file* f, int op, void* arg)
{
    return real(f)->pMethods->xFileControl(real(f), op, arg);
}
int xSectorSize(sqlite3_file* f)
{
    return real(f)->pMethods->xSectorSize(real(f));
}
int xDeviceCharacteristics(sqlite3_file* f)
{
    return real(f)->pMethods->xDeviceCharacteristics(real(f));
}
int xShmMap(sqlite3_file* f, int page, int size, int extend, void volatile** p)
{
    return real(f)->pMethods->xShmMap(real(f), page, size, extend, p);
}
int xShmLock(sqlite3_file* f, int offset, int n, int flags)
{
    return real(f)->pMethods->xShmLock(real(f), offset, n, flags);
}
void xShmBarrier(sqlite3_file* f)
{
    real(f)->pMethods->xShmBarrier(real(f));
}
int xShmUnmap(sqlite3_file* f, int deleteFlag)
{
    return real(f)->pMethods->xShmUnmap(real(f), deleteFlag);
}

// Version 2 methods: the engine then maps no file into memory, so every
// change to a file passes through xWrite.
const sqlite3_io_methods kMethods = {
    2,           xClose,    xRead,        xWrite,       xTruncate,       xSync,
    xFileSize,   xLock,     xUnlock,      xCheckReservedLock, xFileControl, xSectorSize,
    xDeviceCharacteristics, xShmMap,      xShmLock,     xShmBarrier,     xShmUnmap,
    nullptr,     nullptr,
};

int xOpen(sqlite3_vfs* vfs, const char* name, sqlite3_file* f, int flags, int* outFlags)
{
    auto* file = reinterpret_cast<CountingFile*>(f);
    file->real = reinterpret_cast<sqlite3_file*>(file + 1);
    std::memset(file->real, 0, size_t(g_real->szOsFile));
    const int rc = g_real->xOpen(g_real, name, file->real, flags, outFlags);
    // The engine calls xClose even after a failed open when pMethods is set.
    file->base.pMethods = file->real->pMethods ? &kMethods : nullptr;
    (void)vfs;
    return rc;
}
int xDelete(sqlite3_vfs*, const char* name, int syncDir)
{
    change();
    return g_real->xDelete(g_real, name, syncDir);
}
int xAccess(sqlite3_vfs*, const char* name, int flags, int* out)
{
    return g_real->xAccess(g_real, name, flags, out);
}
int xFullPathname(sqlite3_vfs*, const char* name, int n, char* out)
{
    return g_real->xFullPathname(g_real, name, n, out);
}
void* xDlOpen(sqlite3_vfs*, const char* name)
{
    return g_real->xDlOpen(g_real, name);
}
void xDlError(sqlite3_vfs*, int n, char* msg)
{
    g_real->xDlError(g_real, n, msg);
}
void (*xDlSym(sqlite3_vfs*, void* h, const char* sym))(void)
{
    return g_real->xDlSym(g_real, h, sym);
}
void xDlClose(sqlite3_vfs*, void* h)
{
    g_real->xDlClose(g_real, h);
}
int xRandomness(sqlite3_vfs*, int n, char* out)
{
    return g_real->xRandomness(g_real, n, out);
}
int xSleep(sqlite3_vfs*, int us)
{
    return g_real->xSleep(g_real, us);
}
int xCurrentTime(sqlite3_vfs*, double* t)
{
    return g_real->xCurrentTime(g_real, t);
}
int xGetLastError(sqlite3_vfs*, int n, char* out)
{
    return g_real->xGetLastError ? g_real->xGetLastError(g_real, n, out) : 0;
}
int xCurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* t)
{
    return g_real->xCurrentTimeInt64(g_real, t);
}

sqlite3_vfs g_vfs;

} // namespace

void dieAtChange(long target)
{
    g_target = target;
    g_count = 0;
    // The program's own text files count as well as the engine's.
    platform::setFileChangeHook([](const QString&) {
        change();
        return 0;
    });
    if (g_real)
        return;
    g_real = sqlite3_vfs_find(nullptr);
    std::memset(&g_vfs, 0, sizeof g_vfs);
    g_vfs.iVersion = 2;
    g_vfs.szOsFile = int(sizeof(CountingFile)) + g_real->szOsFile;
    g_vfs.mxPathname = g_real->mxPathname;
    g_vfs.zName = "crashpoints";
    g_vfs.xOpen = xOpen;
    g_vfs.xDelete = xDelete;
    g_vfs.xAccess = xAccess;
    g_vfs.xFullPathname = xFullPathname;
    g_vfs.xDlOpen = xDlOpen;
    g_vfs.xDlError = xDlError;
    g_vfs.xDlSym = xDlSym;
    g_vfs.xDlClose = xDlClose;
    g_vfs.xRandomness = xRandomness;
    g_vfs.xSleep = xSleep;
    g_vfs.xCurrentTime = xCurrentTime;
    g_vfs.xGetLastError = xGetLastError;
    g_vfs.xCurrentTimeInt64 = xCurrentTimeInt64;
    sqlite3_vfs_register(&g_vfs, 1);
}

long changesCounted()
{
    return g_count;
}

ChildEnd runChildDyingAt(long target, const std::function<void()>& work)
{
    int pipeEnds[2] = {-1, -1};
    if (::pipe(pipeEnds) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeEnds[0]);
        dieAtChange(target);
        int code = 0;
        try {
            work();
        } catch (...) {
            code = 1;
        }
        const long counted = g_count;
        [[maybe_unused]] const auto written = ::write(pipeEnds[1], &counted, sizeof counted);
        ::_exit(code);
    }
    ::close(pipeEnds[1]);
    ChildEnd end;
    long counted = 0;
    if (pid > 0 && ::read(pipeEnds[0], &counted, sizeof counted) == ssize_t(sizeof counted))
        end.changes = counted;
    ::close(pipeEnds[0]);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid)
        return end;
    if (WIFSIGNALED(status))
        end.killed = WTERMSIG(status) == SIGKILL;
    else if (WIFEXITED(status))
        end.exitCode = WEXITSTATUS(status);
    return end;
}

} // namespace testsupport
