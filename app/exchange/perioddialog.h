// Rules of the period and target dialog (frame SSFrame5 of the main window)
// that need no window: the proposed file names, the key filter and checks of
// the period boxes, and the drive lines of the export target.
#pragma once

#include "platform/sys/files.h"

#include <QString>

#include <optional>

struct ProgramInfo;

namespace exchange {

// Modes of the dialog, held in its hidden label.
inline const QString kModeErrorCount = QStringLiteral("1");
inline const QString kModeErrorList = QStringLiteral("2");
inline const QString kModeHighCost = QStringLiteral("3");
inline const QString kModeExport = QStringLiteral("4");

// File name proposed when a month is picked: prefix, institution code, the
// trimmed start month, ".txt" ("mtlvraf123408.txt").
QString monthFileName(const ProgramInfo& program, const QString& institutionCode, const QString& startMonth);
// File name proposed for one register number: the program's prefix, the last
// five characters of the number (all of a shorter one), ".txt".
QString registerFileName(const ProgramInfo& program, const QString& registerNumber);

// The year boxes take digits and backspace; every other key is dropped.
bool yearKeyAllowed(int keyAscii);

// What the period boxes hold when the run button is pressed.
struct PeriodBoxes {
    bool byTime = false; // "Idő" ticked
    QString startYear, startMonth, endYear, endMonth;
};

// A single month is asked for by the end year "0".
bool singleMonth(const QString& endYear);

// "Hiányos dátum!" when the period cannot name what is to be selected: with
// "Idő" ticked the start needs a four-digit year and a month, and an export
// of a range of months also a four-digit end year and an end month.
std::optional<QString> periodRefusal(const PeriodBoxes& boxes, bool exporting);

// The three drive lines of the dialog for a target folder (or, when it is
// blank, the drive "c:") and the free kilobytes they show.
struct DriveLines {
    QString drive; // "Meghajtó: C: - "
    QString total; // "Teljes lemezterület: 1 234 kb \r\n"
    QString free;  // "Szabad lemezterület: 567 kb \r\n"
    qint64 freeKb = 0;
    platform::FileError error; // set when the drive could not be measured
};
DriveLines driveLines(const QString& folder);

// The clerk's copy: folder, "\" and file name; a program that writes no
// doubled separator leaves the "\" out after a drive's top folder.
QString exportPath(const ProgramInfo& program, const QString& folder, const QString& fileName);

} // namespace exchange
