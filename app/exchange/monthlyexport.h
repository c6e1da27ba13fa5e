// The monthly export (talvironfloppy): selects the episodes of a month, a
// range of months or one register number, writes one line per item into the
// working file, writes the accompanying list, copies both to the folder the
// clerk chose and, on request, the export to the diskette.
//
// A clerk's copy that would replace one of the program's own files, or the
// accompanying list's copy, is refused before any file is touched.
// Every failure is told to the clerk in Hungarian, naming the file. A failure
// up to the copies in the target folder ends the run without "Kész!" and
// leaves what was there before (the working file and the accompanying list
// are replaced only when written whole, the two copies only together); the
// diskette step's failures are told and the run still ends with "Kész!".
// Each run first removes the temporary files that killed runs left behind.
// The window hands in what its dialog holds and shows the progress; nothing
// here touches a control.
#pragma once

#include "app/exchange/accompanying.h"
#include "app/exchange/institution.h"

#include <QString>

#include <functional>
#include <optional>

struct ProgramInfo;

namespace platform::db {
class Database;
}

namespace exchange {

// The diskette takes at most this many bytes.
inline constexpr qint64 kDisketteBytes = 1457000;

// Kilobytes as the free-space figures count them: bytes / 1024 rounded to
// the nearest whole number, an exact half to the even one.
qint64 roundedKb(qint64 bytes);

// A whole-number percentage of done / total, an exact half to the even one.
int progressPercent(qint64 done, qint64 total);

// The files of one export. Only the start month names them, also for a
// range of months or one register number.
struct ExportNames {
    QString workingFile;      // working folder/"tlakt" code month ".txt"
    QString accompanyingList; // working folder/the program's list file
    QString disketteCopy;     // "a:\" prefix code month ".txt"
};
ExportNames exportNames(const ProgramInfo& program, const QString& workingFolder, const QString& institutionCode,
                        const QString& startMonth);

// True when a path lies on the diskette already ("a:" in either case, or a
// folder under the diskette's own).
bool onDiskette(const QString& path);

enum class Selection { Month, Range, RegisterNumber };

struct ExportRequest {
    Selection selection = Selection::Month;
    QString datum;          // start month yyyy.mm
    QString datum2;         // end month yyyy.mm (range)
    QString registerNumber; // one register number
    QString startYear;      // as typed: the accompanying list shows it
    QString startMonth;     // "01".."12" or empty: names the files
    QString elpath;         // the clerk's copy: folder and file name
    QString targetFolder;   // where the accompanying list is copied
    qint64 freeKb = 0;      // free space of the target drive (szabadkb)
    QString workingFolder;  // where the working file and the list are written
    QString today;          // date of the accompanying list
};

// What the window shows while the export runs.
struct ExportProgress {
    std::function<void(qint64 total)> show;
    std::function<void(qint64 done, qint64 total)> advance;
    std::function<void()> hide;
};

// The clerk's copy (`elpath`) may replace none of the program's own files -
// its three database files and their journals, the working file and the
// accompanying list of the working folder - nor be the list's own copy in
// the target folder. The refusal to show, naming the file, or none; paths
// are compared as the file system resolves them.
std::optional<QString> copyTargetRefusal(const ProgramInfo& program, const ExportRequest& request,
                                         const QString& institutionCode);

struct ExportResult {
    bool targetRefused = false; // the clerk's copy was refused before anything was touched
    bool completed = false; // "Kész!" was shown
    qint64 episodes = 0;
    qint64 items = 0;
};

// How often and how long the diskette step tries again after "file not
// found" or "permission denied" before it reports the error.
struct RetryPolicy {
    int attempts = 3;
    int pauseMs = 300;
};

ExportResult talvironfloppy(const ProgramInfo& program, platform::db::Database& entered,
                            const Institution& institution, const ExportRequest& request,
                            const ExportProgress& progress = {}, const RetryPolicy& retry = {});

// Writes only the working file of a request (no list, no copies, no boxes);
// the benchmark measures this part. Returns the number of lines, or -1 with
// `message` set.
qint64 writeExportFile(const ProgramInfo& program, platform::db::Database& entered, const Institution& institution,
                       const ExportRequest& request, const QString& path, QString* message);

} // namespace exchange
