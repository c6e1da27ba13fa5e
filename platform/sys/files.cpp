#include "platform/sys/files.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QStorageInfo>

#include <algorithm>
#include <atomic>
#include <limits>
#include <csignal>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

// --- Error numbers ------------------------------------------------------

QString fileErrorText(int number)
{
    switch (number) {
    case fileerr::None: return QString();
    case fileerr::BadCharacter: return QStringLiteral("Invalid procedure call or argument");
    case fileerr::FileNotFound: return QStringLiteral("File not found");
    case fileerr::DeviceIo: return QStringLiteral("Device I/O error");
    case fileerr::DiskFull: return QStringLiteral("Disk full");
    case fileerr::BadRecordNumber: return QStringLiteral("Bad record number");
    case fileerr::DeviceUnavailable: return QStringLiteral("Device unavailable");
    case fileerr::PermissionDenied: return QStringLiteral("Permission denied");
    case fileerr::DiskNotReady: return QStringLiteral("Disk not ready");
    case fileerr::PathFileAccess: return QStringLiteral("Path/File access error");
    case fileerr::PathNotFound: return QStringLiteral("Path not found");
    }
    return QStringLiteral("Error %1").arg(number);
}

FileError makeFileError(int number, const QString& what)
{
    FileError e;
    e.number = number;
    e.text = what.isEmpty() ? fileErrorText(number) : fileErrorText(number) + QStringLiteral(": ") + what;
    return e;
}

int errorNumberFromErrno(int err)
{
    switch (err) {
    case 0: return fileerr::None;
    case ENOENT: return fileerr::FileNotFound;
    case EACCES:
    case EPERM:
    case EROFS: return fileerr::PermissionDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return fileerr::DiskFull;
    case ENOMEDIUM: return fileerr::DiskNotReady;
    case ENXIO:
    case ENODEV: return fileerr::DeviceUnavailable;
    case EIO: return fileerr::DeviceIo;
    case ENOTDIR:
    case ENAMETOOLONG: return fileerr::PathNotFound;
    default: return fileerr::PathFileAccess;
    }
}

int errorNumberFromFileDevice(QFileDevice::FileError err)
{
    switch (err) {
    case QFileDevice::NoError: return fileerr::None;
    case QFileDevice::ReadError:
    case QFileDevice::WriteError:
    case QFileDevice::FatalError: return fileerr::DeviceIo;
    case QFileDevice::ResourceError:
    case QFileDevice::ResizeError: return fileerr::DiskFull;
    case QFileDevice::PermissionsError: return fileerr::PermissionDenied;
    case QFileDevice::TimeOutError: return fileerr::DiskNotReady;
    default: return fileerr::PathFileAccess;
    }
}

QString shownPath(const QString& path)
{
    QString shown = path;
    if (path.size() >= 2 && path.at(1) == QLatin1Char(':') && path.at(0).isLetter())
        shown.replace(QLatin1Char('/'), QLatin1Char('\\'));
    else
        shown.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return shown;
}

QString fileErrorClerkText(const FileError& error)
{
    const QString name = shownPath(error.path);
    const QString code = QStringLiteral(" (hibakód: %1).").arg(error.number);
    if (name.isEmpty())
        return QStringLiteral("Fájlhiba") + code;
    switch (error.number) {
    case fileerr::DiskFull:
        return QStringLiteral("Betelt a lemez, a(z) %1 fájlt nem lehet kiírni").arg(name) + code;
    case fileerr::PermissionDenied:
        return QStringLiteral("A(z) %1 fájlhoz nincs jogosultság, vagy a lemez írásvédett").arg(name) + code;
    case fileerr::FileNotFound:
        return QStringLiteral("A(z) %1 fájl nem található").arg(name) + code;
    case fileerr::PathNotFound:
        return QStringLiteral("A(z) %1 fájl mappája nem található").arg(name) + code;
    case fileerr::DeviceUnavailable:
    case fileerr::DiskNotReady:
        return QStringLiteral("A(z) %1 fájl meghajtója nem érhető el (nincs lemez a meghajtóban)").arg(name) + code;
    case fileerr::DeviceIo:
        return QStringLiteral("Lemezhiba: a(z) %1 fájl nem olvasható vagy nem írható").arg(name) + code;
    case fileerr::BadCharacter:
        return QStringLiteral("A(z) %1 fájlba nem írható karakter").arg(name) + code;
    default:
        return QStringLiteral("A(z) %1 fájl nem érhető el").arg(name) + code;
    }
}

namespace {

bool setError(FileError* out, const FileError& e)
{
    if (out)
        *out = e;
    return false;
}

// An error about one file: `path` is named in the text and kept apart.
FileError pathError(int number, const QString& path, const QString& detail = QString())
{
    FileError e = makeFileError(number, detail.isEmpty() ? path : detail);
    e.path = path;
    return e;
}

FileError errnoError(int err, const QString& path)
{
    return pathError(errorNumberFromErrno(err), path);
}

std::function<int(const QString&)>& changeHook()
{
    static std::function<int(const QString&)> hook;
    return hook;
}

// Asks the test hook before a change to a disk file; false with errno set
// when the hook fails the change.
bool changeAllowed(const QString& path)
{
    if (!changeHook())
        return true;
    if (const int err = changeHook()(path)) {
        errno = err;
        return false;
    }
    return true;
}

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

// --- Drive table ----------------------------------------------------------

// The folders the drives stand for when nothing else was set.
QMap<QChar, QString> defaultDrives()
{
    QMap<QChar, QString> t;
    const QString home = QDir::homePath();
    QString a = qEnvironmentVariable("RAFORDIT_DRIVE_A");
    if (a.isEmpty())
        a = QDir(home).filePath(QStringLiteral("diskette"));
    QString c = qEnvironmentVariable("RAFORDIT_DRIVE_C");
    if (c.isEmpty())
        c = home.isEmpty() ? QDir::currentPath() : home;
    t.insert(QLatin1Char('a'), QDir::cleanPath(a));
    t.insert(QLatin1Char('c'), QDir::cleanPath(c));
    return t;
}

QMap<QChar, QString>& driveTable()
{
    static QMap<QChar, QString> table = defaultDrives();
    return table;
}

bool hasDriveLetter(const QString& path)
{
    return path.size() >= 2 && path.at(1) == QLatin1Char(':') && path.at(0).isLetter()
        && path.at(0).unicode() < 0x80;
}

// Joins the part after "x:" onto the drive folder, resolving "." and ".."
// without climbing above the folder (the top of a drive has no parent).
QString joinUnderDrive(const QString& folder, QString rest)
{
    rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QStringList kept;
    for (const QString& part : rest.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (!kept.isEmpty())
                kept.removeLast();
            continue;
        }
        kept << part;
    }
    if (kept.isEmpty())
        return folder;
    return folder == QLatin1String("/") ? QLatin1Char('/') + kept.join(QLatin1Char('/'))
                                        : folder + QLatin1Char('/') + kept.join(QLatin1Char('/'));
}

// Maps a path and checks that its drive is there. A drive whose folder is
// missing is a drive without its medium.
bool resolve(const QString& path, QString& mapped, FileError* error)
{
    if (hasDriveLetter(path)) {
        const QString folder = driveFolder(path.at(0));
        if (folder.isEmpty())
            return setError(error, pathError(fileerr::DeviceUnavailable, path));
        if (!QFileInfo(folder).isDir())
            return setError(error, pathError(fileerr::DeviceUnavailable, path));
    }
    mapped = mapPath(path);
    if (mapped.isEmpty())
        return setError(error, pathError(fileerr::PathNotFound, path));
    return true;
}

// The folder whose file system a path's drive is: the drive folder, or for
// a native path its nearest existing ancestor.
bool driveRoot(const QString& path, QString& root, FileError* error)
{
    if (hasDriveLetter(path)) {
        QString mapped;
        if (!resolve(path, mapped, error))
            return false;
        root = driveFolder(path.at(0));
        return true;
    }
    QString p = mapPath(path);
    if (p.isEmpty())
        p = QDir::currentPath();
    QFileInfo info(p);
    while (!info.exists()) {
        const QString parent = info.absolutePath();
        if (parent == info.absoluteFilePath())
            break;
        info.setFile(parent);
    }
    root = info.absoluteFilePath();
    return true;
}

// The name of a temporary file beside the file `name`: hidden, and naming
// the writing process, so that a later run can tell a leftover of a killed
// process from a file still being written.
QString tempName(const QString& name, qint64 pid, unsigned counter)
{
    return QStringLiteral(".%1.tmp-%2-%3").arg(name).arg(pid).arg(counter);
}

// Reads a name made by tempName(): the file it stood for and the writer's
// process id; false for any other name.
bool parseTempName(const QString& fileName, QString& name, qint64& pid)
{
    static const QRegularExpression pattern(QStringLiteral("^\\.(.+)\\.tmp-([0-9]{1,10})-[0-9]+$"));
    const QRegularExpressionMatch m = pattern.match(fileName);
    if (!m.hasMatch())
        return false;
    name = m.captured(1);
    bool ok = false;
    pid = m.captured(2).toLongLong(&ok);
    return ok && pid > 0;
}

// True while a process of this id exists (one of another user counts too).
bool processRunning(qint64 pid)
{
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

// A file beside `target` that nobody else uses: the copy or the new text
// is written there and renamed over the target at the end.
int createTempBeside(const QString& target, QString& tempPath, int& err)
{
    static std::atomic<unsigned> counter{0};
    const QFileInfo info(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = info.absolutePath() + QLatin1Char('/') + tempName(info.fileName(), ::getpid(), counter++);
        if (!changeAllowed(tempPath)) {
            err = errno;
            return -1;
        }
        const int fd = ::open(encoded(tempPath).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST) {
            err = errno;
            return -1;
        }
    }
    err = EEXIST;
    return -1;
}

// Creating a file in a folder that does not exist is "path not found".
FileError createError(int err, const QString& target)
{
    if (err == ENOENT)
        return pathError(fileerr::PathNotFound, target);
    return errnoError(err, target);
}

bool writeAll(int fd, const QString& path, const char* data, qint64 size, int& err)
{
    while (size > 0) {
        if (!changeAllowed(path)) {
            err = errno;
            return false;
        }
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            err = errno;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

// Puts the written temp file's data on the disk and closes it; on failure
// the temp file goes. `shown` is the target as the caller named it.
bool syncTemp(int fd, const QString& temp, const QString& shown, FileError* error)
{
    if (!changeAllowed(temp) || (::fsync(fd) != 0 && errno != EINVAL)) {
        const int err = errno;
        ::close(fd);
        ::unlink(encoded(temp).constData());
        return setError(error, errnoError(err, shown));
    }
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(encoded(temp).constData());
        return setError(error, errnoError(err, shown));
    }
    return true;
}

// Renames a synced temp file over the target, so the target is always
// either the old file or the whole new one.
bool placeTemp(const QString& temp, const QString& target, const QString& shown, FileError* error)
{
    if (!changeAllowed(target) || ::rename(encoded(temp).constData(), encoded(target).constData()) != 0) {
        const int err = errno;
        ::unlink(encoded(temp).constData());
        return setError(error, err == EISDIR ? pathError(fileerr::PathFileAccess, shown) : errnoError(err, shown));
    }
    return true;
}

// Opens an existing file, not a folder, for reading and reads its status;
// -1 on failure, with the error naming `shown` (the path as the caller gave it).
int openForReading(const QString& mapped, const QString& shown, struct stat& st, FileError* error)
{
    const int fd = ::open(encoded(mapped).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        setError(error, errnoError(errno, shown));
        return -1;
    }
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        setError(error, pathError(fileerr::PathFileAccess, shown));
        return -1;
    }
    return fd;
}

} // namespace

// --- Drives ---------------------------------------------------------------

void setDriveFolder(QChar letter, const QString& folder)
{
    if (folder.isEmpty())
        driveTable().remove(letter.toLower());
    else
        driveTable().insert(letter.toLower(), QDir::cleanPath(folder));
}

QString driveFolder(QChar letter)
{
    return driveTable().value(letter.toLower());
}

void resetDrives()
{
    driveTable() = defaultDrives();
}

QStringList drives()
{
    QStringList list;
    for (auto it = driveTable().constBegin(); it != driveTable().constEnd(); ++it)
        list << QString(it.key()) + QLatin1Char(':');
    return list;
}

QString mapPath(const QString& path)
{
    if (hasDriveLetter(path)) {
        const QString folder = driveFolder(path.at(0));
        if (folder.isEmpty())
            return QString();
        return joinUnderDrive(folder, path.mid(2));
    }
    QString native = path;
    native.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return native;
}

QString driveName(const QString& path)
{
    return hasDriveLetter(path) ? path.left(2) : QString();
}

// One measure of the drive that holds `path`; -1 when the drive is not there.
static qint64 driveSpace(const QString& path, FileError* error, qint64 (QStorageInfo::*measure)() const)
{
    QString root;
    if (!driveRoot(path, root, error))
        return -1;
    QStorageInfo storage(root);
    if (!storage.isValid() || !storage.isReady()) {
        setError(error, pathError(fileerr::DiskNotReady, path));
        return -1;
    }
    return (storage.*measure)();
}

qint64 totalSpace(const QString& path, FileError* error)
{
    return driveSpace(path, error, &QStorageInfo::bytesTotal);
}

qint64 freeSpace(const QString& path, FileError* error)
{
    return driveSpace(path, error, &QStorageInfo::bytesAvailable);
}

bool isRootFolder(const QString& path, FileError* error)
{
    QString mapped;
    if (!resolve(path, mapped, error))
        return false;
    const QFileInfo info(mapped);
    if (!info.isDir())
        return setError(error, pathError(fileerr::PathNotFound, path));
    const QString folder = QDir::cleanPath(info.absoluteFilePath());
    if (folder == QLatin1String("/"))
        return true;
    for (const QString& drive : driveTable())
        if (QDir::cleanPath(QFileInfo(drive).absoluteFilePath()) == folder)
            return true;
    return false;
}

// Where a mapped path leads: the canonical path of an existing file, else
// the link's target followed, else the canonical folder and the name.
static QString resolvedPath(const QString& mapped)
{
    QString path = QDir::cleanPath(QFileInfo(mapped).absoluteFilePath());
    for (int links = 0; links < 40; ++links) {
        const QFileInfo info(path);
        if (info.exists())
            return info.canonicalFilePath();
        if (!info.isSymLink())
            break;
        path = QDir::cleanPath(info.symLinkTarget()); // dangling: where a write would land
    }
    const QFileInfo info(path);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? path : QDir(folder).filePath(info.fileName());
}

bool sameFile(const QString& a, const QString& b)
{
    QString ma, mb;
    if (!resolve(a, ma, nullptr) || !resolve(b, mb, nullptr))
        return false;
    struct stat sa {}, sb {};
    if (::stat(encoded(ma).constData(), &sa) == 0 && ::stat(encoded(mb).constData(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return resolvedPath(ma) == resolvedPath(mb);
}

qint64 fileSize(const QString& path, FileError* error)
{
    QString mapped;
    if (!resolve(path, mapped, error))
        return -1;
    struct stat st {};
    if (::stat(encoded(mapped).constData(), &st) != 0) {
        setError(error, errnoError(errno, path));
        return -1;
    }
    if (S_ISDIR(st.st_mode)) {
        setError(error, pathError(fileerr::PathFileAccess, path));
        return -1;
    }
    return qint64(st.st_size);
}

bool copyFile(const QString& source, const QString& target, FileError* error)
{
    StagedCopy copy(source, target);
    return copy.write(error) && copy.place(error);
}

StagedCopy::StagedCopy(const QString& source, const QString& target) : source_(source), target_(target) {}

StagedCopy::~StagedCopy()
{
    discard();
}

void StagedCopy::discard()
{
    if (!temp_.isEmpty())
        ::unlink(encoded(temp_).constData());
    temp_.clear();
}

bool StagedCopy::write(FileError* error)
{
    discard();
    QString from;
    if (!resolve(source_, from, error) || !resolve(target_, mapped_, error))
        return false;

    struct stat st {};
    const int in = openForReading(from, source_, st, error);
    if (in < 0)
        return false;
    if (QFileInfo(mapped_).isDir()) {
        ::close(in);
        return setError(error, pathError(fileerr::PathFileAccess, target_));
    }

    QString temp;
    int err = 0;
    const int out = createTempBeside(mapped_, temp, err);
    if (out < 0) {
        ::close(in);
        return setError(error, createError(err, target_));
    }

    char buf[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(in, buf, sizeof buf);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            err = errno;
            ::close(in);
            ::close(out);
            ::unlink(encoded(temp).constData());
            return setError(error, errnoError(err, source_));
        }
        if (!writeAll(out, temp, buf, n, err)) {
            ::close(in);
            ::close(out);
            ::unlink(encoded(temp).constData());
            return setError(error, errnoError(err, target_));
        }
    }
    ::close(in);
    if (!syncTemp(out, temp, target_, error))
        return false;
    temp_ = temp;
    return true;
}

bool StagedCopy::place(FileError* error)
{
    if (temp_.isEmpty())
        return setError(error, pathError(fileerr::PathFileAccess, target_));
    const QString temp = temp_;
    temp_.clear();
    return placeTemp(temp, mapped_, target_, error);
}

int removeLeftoverTempFiles(const QString& folder, const QStringList& names)
{
    QString mapped;
    if (folder.isEmpty() || !resolve(folder, mapped, nullptr))
        return 0;
    QList<QRegularExpression> patterns;
    for (const QString& n : names)
        if (!n.isEmpty())
            patterns << QRegularExpression::fromWildcard(n, Qt::CaseInsensitive);
    const QDir dir(mapped);
    const qint64 self = ::getpid();
    int removed = 0;
    for (const QString& file : dir.entryList({QStringLiteral(".*.tmp-*")}, QDir::Files | QDir::Hidden | QDir::System)) {
        QString name;
        qint64 pid = 0;
        if (!parseTempName(file, name, pid))
            continue;
        const bool ours = std::any_of(patterns.begin(), patterns.end(),
                                      [&](const QRegularExpression& p) { return p.match(name).hasMatch(); });
        if (!ours || (pid != self && processRunning(pid)))
            continue;
        const QString leftover = dir.filePath(file);
        if (!changeAllowed(leftover))
            continue;
        if (::unlink(encoded(leftover).constData()) == 0)
            ++removed;
    }
    return removed;
}

void setFileChangeHook(std::function<int(const QString&)> hook)
{
    changeHook() = std::move(hook);
}

// --- Fixed-length records -------------------------------------------------

FixedRecordReader::FixedRecordReader(const QString& path, int recordLength)
    : path_(path), recordLength_(recordLength > 0 ? recordLength : 1)
{
}

FixedRecordReader::~FixedRecordReader()
{
    close();
}

bool FixedRecordReader::open(FileError* error)
{
    close();
    QString mapped;
    if (!resolve(path_, mapped, error))
        return false;
    struct stat st {};
    const int fd = openForReading(mapped, path_, st, error);
    if (fd < 0)
        return false;
    fd_ = fd;
    length_ = qint64(st.st_size);
    return true;
}

void FixedRecordReader::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    length_ = 0;
}

qint64 FixedRecordReader::countRecords(qint64 fileLength, int recordLength)
{
    if (recordLength <= 0 || fileLength <= 0)
        return 0;
    const qint64 whole = fileLength / recordLength;
    const qint64 rest = fileLength % recordLength;
    // Twice the rest against the record length: above half rounds up,
    // exactly half goes to the even neighbour.
    const qint64 twice = 2 * rest;
    if (twice > recordLength || (twice == recordLength && whole % 2 == 1))
        return whole + 1;
    return whole;
}

QByteArray FixedRecordReader::record(qint64 n, FileError* error) const
{
    if (fd_ < 0) {
        setError(error, pathError(fileerr::PathFileAccess, path_));
        return QByteArray();
    }
    if (n < 1 || n > recordCount()) {
        setError(error, makeFileError(fileerr::BadRecordNumber, QString::number(n)));
        return QByteArray();
    }
    const qint64 offset = (n - 1) * recordLength_;
    const qint64 size = qMin<qint64>(recordLength_, length_ - offset);
    QByteArray data(size, Qt::Uninitialized);
    qint64 done = 0;
    while (done < size) {
        const ssize_t r = ::pread(fd_, data.data() + done, size_t(size - done), off_t(offset + done));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            setError(error, errnoError(errno, path_));
            return QByteArray();
        }
        if (r == 0)   // the file shrank under us
            break;
        done += r;
    }
    data.truncate(done);
    return data;
}

// --- CR LF text output ----------------------------------------------------

CrLfWriter::CrLfWriter(const QString& path) : path_(path) {}

CrLfWriter::~CrLfWriter()
{
    if (!committed_)
        discard();
}

bool CrLfWriter::fail(const FileError& e, FileError* out)
{
    if (!error_)
        error_ = e;
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
        ::unlink(encoded(temp_).constData());
    }
    buffer_.clear();
    return setError(out, error_);
}

bool CrLfWriter::open(FileError* error)
{
    if (error_)
        return setError(error, error_);
    FileError e;
    if (!resolve(path_, target_, &e))
        return fail(e, error);
    if (QFileInfo(target_).isDir())
        return fail(pathError(fileerr::PathFileAccess, path_), error);
    int err = 0;
    fd_ = createTempBeside(target_, temp_, err);
    if (fd_ < 0)
        return fail(createError(err, path_), error);
    return true;
}

bool CrLfWriter::append(const QString& text, bool endLine, FileError* error)
{
    if (error_)
        return setError(error, error_);
    if (fd_ < 0)
        return fail(pathError(fileerr::PathFileAccess, path_, path_ + QStringLiteral(" (not open)")), error);
    QByteArray bytes;
    CodePageError cpError;
    if (!encodeCp1250(text, bytes, &cpError)) {
        codePageError_ = cpError;
        return fail(pathError(fileerr::BadCharacter, path_,
                              QStringLiteral("%1, %2. sor: %3").arg(path_).arg(lines_ + 1).arg(cpError.text)),
                    error);
    }
    buffer_ += bytes;
    if (endLine) {
        buffer_ += "\r\n";
        ++lines_;
    }
    if (buffer_.size() >= 64 * 1024 && !flushBuffer())
        return setError(error, error_);
    return true;
}

bool CrLfWriter::flushBuffer()
{
    int err = 0;
    if (!writeAll(fd_, temp_, buffer_.constData(), buffer_.size(), err))
        return fail(errnoError(err, path_), nullptr);
    buffer_.clear();
    return true;
}

bool CrLfWriter::writeLine(const QString& line, FileError* error)
{
    return append(line, true, error);
}

bool CrLfWriter::write(const QString& text, FileError* error)
{
    return append(text, false, error);
}

bool CrLfWriter::commit(FileError* error)
{
    if (error_)
        return setError(error, error_);
    if (fd_ < 0)
        return fail(pathError(fileerr::PathFileAccess, path_, path_ + QStringLiteral(" (not open)")), error);
    if (!flushBuffer())
        return setError(error, error_);
    const int fd = fd_;
    fd_ = -1;
    FileError e;
    if (!syncTemp(fd, temp_, path_, &e) || !placeTemp(temp_, target_, path_, &e)) {
        error_ = e;
        return setError(error, e);
    }
    committed_ = true;
    return true;
}

void CrLfWriter::discard()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
        ::unlink(encoded(temp_).constData());
    }
    buffer_.clear();
}

} // namespace platform
