// Files, drives and the old run-time error numbers.
//
// The windows speak of drives: the import path box starts as "a:", the
// export is copied to "a:\mtlvraf....txt", the period dialog measures the
// free space of "c:". Here a drive letter is a folder:
//   a:  the diskette: $RAFORDIT_DRIVE_A, else $HOME/diskette. The folder
//       missing means "no diskette in the drive" (error 68).
//   c:  $RAFORDIT_DRIVE_C, else $HOME, else the working folder.
// Tests set their own folders with setDriveFolder(). A path with a drive
// letter is mapped onto its folder; "\" is read as a folder separator in
// every path; a native path passes otherwise unchanged.
//
// Failures carry the numbers the windows react to (53 file not found,
// 68 device unavailable, 70 permission denied, 71 disk not ready, 75 path
// or file access error, ...), whatever the underlying errno was.
#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <QStringList>

#include <functional>

#include "platform/sys/codepage.h"

namespace platform {

namespace fileerr {
inline constexpr int None = 0;
inline constexpr int BadCharacter = 5;       // a character the code page lacks
inline constexpr int FileNotFound = 53;
inline constexpr int DeviceIo = 57;
inline constexpr int DiskFull = 61;
inline constexpr int BadRecordNumber = 63;
inline constexpr int DeviceUnavailable = 68;
inline constexpr int PermissionDenied = 70;
inline constexpr int DiskNotReady = 71;
inline constexpr int PathFileAccess = 75;
inline constexpr int PathNotFound = 76;
} // namespace fileerr

struct FileError {
    int number = fileerr::None;
    QString text;   // the number's usual text, then what failed
    QString path;   // the file concerned, as the caller named it (may be empty)

    explicit operator bool() const { return number != fileerr::None; }
};

// The usual text of a number ("File not found", "Device unavailable", ...).
QString fileErrorText(int number);
FileError makeFileError(int number, const QString& what = QString());
int errorNumberFromErrno(int err);
int errorNumberFromFileDevice(QFileDevice::FileError err);

// A path as a clerk reads it: one kind of separator throughout, "\" for a
// path on a drive letter ("c:\export\mkiser.txt"), the native one otherwise.
QString shownPath(const QString& path);

// What a clerk reads about a failed file: one Hungarian sentence naming the
// file (shownPath) and what went wrong, with the error number in parentheses
// for the administrator ("Betelt a lemez, a(z) c:\export\x.txt fájlt nem
// lehet kiírni (hibakód: 61).").
QString fileErrorClerkText(const FileError& error);

// --- Drives -------------------------------------------------------------

// Sets the folder of a drive letter (case does not matter); an empty
// folder removes the drive.
void setDriveFolder(QChar letter, const QString& folder);
QString driveFolder(QChar letter);   // empty: no such drive
void resetDrives();                  // back to the defaults above

// The drives for a chooser, lower case: {"a:", "c:"}.
QStringList drives();

// "a:\x\y.txt" -> <diskette folder>/x/y.txt; "c:" -> the c: folder;
// "/tmp/x" unchanged. An unknown drive letter gives an empty path.
// A ".." never leads above a drive's folder.
QString mapPath(const QString& path);

// The drive part of a path as written ("C:\adat" -> "C:"); empty for a
// path without a drive letter.
QString driveName(const QString& path);

// Size and free space in bytes of the drive a path lies on (the drive
// folder's file system); -1 and error 68 when the drive is missing.
qint64 totalSpace(const QString& path, FileError* error = nullptr);
qint64 freeSpace(const QString& path, FileError* error = nullptr);

// True when the folder is the top of its drive ("a:\", "c:", "/").
bool isRootFolder(const QString& path, FileError* error = nullptr);

// True when two paths name the same file as the file system resolves them:
// drive letters mapped, "." and ".." and symbolic links (also of a file not
// there yet) followed; two existing paths are the same file when they share
// the disk and the inode (a hard link, a name in other case on a file system
// that ignores case). A path on a missing drive is no file.
bool sameFile(const QString& a, const QString& b);

// Size of a file in bytes; -1 and error 53 when it is missing.
qint64 fileSize(const QString& path, FileError* error = nullptr);

// Copies a file, replacing the target. The copy is written beside the
// target and renamed over it at the end, so a failed copy leaves the old
// target (or none) and no partial file.
bool copyFile(const QString& source, const QString& target, FileError* error = nullptr);

// A copy made in two steps, for files that must change together: write()
// puts the whole copy on the disk under a temporary name beside the target,
// place() renames it over the target. Writing every copy of a set before
// placing any leaves, after a failure or a kill while writing, every target
// as it was. A copy not placed is removed when the object goes.
class StagedCopy {
public:
    StagedCopy(const QString& source, const QString& target);
    ~StagedCopy();
    StagedCopy(const StagedCopy&) = delete;
    StagedCopy& operator=(const StagedCopy&) = delete;

    bool write(FileError* error = nullptr);
    bool place(FileError* error = nullptr);
    void discard();

private:
    QString source_;
    QString target_;
    QString mapped_;
    QString temp_;
};

// Removes the temporary files that a killed run of a program left in
// `folder` beside the files named by `names` (wildcards as in "tlakt*.txt").
// A temporary file carries the process id of its writer; a file whose
// process still runs is another copy of the program at work and stays. The
// calling process's own files are removed too: call this only while it
// writes none of them. Returns how many files were removed; a folder that is
// not there removes nothing.
int removeLeftoverTempFiles(const QString& folder, const QStringList& names);

// Test seam: called before every change this layer makes to a disk file
// (creating, writing, syncing, renaming or removing one) with the file's
// path on the disk (for a rename, the new name). A non-zero result fails
// that change with this errno value, as the disk would (ENOSPC: the disk is
// full). An empty function removes the hook.
void setFileChangeHook(std::function<int(const QString& path)> hook);

// --- Fixed-length records ------------------------------------------------

// Reads a file of fixed-length records (the import file: 650 bytes, of
// which the last two are CR LF).
class FixedRecordReader {
public:
    FixedRecordReader(const QString& path, int recordLength);
    ~FixedRecordReader();
    FixedRecordReader(const FixedRecordReader&) = delete;
    FixedRecordReader& operator=(const FixedRecordReader&) = delete;

    bool open(FileError* error = nullptr);
    void close();
    bool isOpen() const { return fd_ >= 0; }

    qint64 fileLength() const { return length_; }

    // File length / record length rounded to the nearest whole number, a
    // half to the even one: a last record that lacks its line end still
    // counts, a short scrap of up to half a record does not.
    qint64 recordCount() const { return countRecords(length_, recordLength_); }
    static qint64 countRecords(qint64 fileLength, int recordLength);

    // Record n (from 1): its recordLength bytes, or the bytes there are
    // when the last record is short. Error 63 for n outside 1..recordCount().
    QByteArray record(qint64 n, FileError* error = nullptr) const;

private:
    QString path_;
    int recordLength_;
    int fd_ = -1;
    qint64 length_ = 0;
};

// --- CR LF text output ---------------------------------------------------

// Writes a text file of Windows-1250 lines ended by CR LF. Nothing is
// visible under the target name until commit(); a writer destroyed or
// failed before that leaves the old file (or none) as it was.
// The first failure sticks: later writes do nothing and commit() reports it.
class CrLfWriter {
public:
    explicit CrLfWriter(const QString& path);
    ~CrLfWriter();
    CrLfWriter(const CrLfWriter&) = delete;
    CrLfWriter& operator=(const CrLfWriter&) = delete;

    bool open(FileError* error = nullptr);
    bool writeLine(const QString& line, FileError* error = nullptr);   // line + "\r\n"
    bool write(const QString& text, FileError* error = nullptr);       // no line end
    bool commit(FileError* error = nullptr);
    void discard();

    bool failed() const { return bool(error_); }
    const FileError& error() const { return error_; }
    // Set when the failure was a character the code page lacks; its
    // position counts within the line.
    const CodePageError& codePageError() const { return codePageError_; }
    int linesWritten() const { return lines_; }

private:
    bool append(const QString& text, bool endLine, FileError* error);
    bool flushBuffer();
    bool fail(const FileError& e, FileError* out);

    QString path_;
    QString target_;
    QString temp_;
    int fd_ = -1;
    QByteArray buffer_;
    FileError error_;
    CodePageError codePageError_;
    int lines_ = 0;
    bool committed_ = false;
};

} // namespace platform
