// The accompanying list that travels with every monthly export: a short
// text file beside the export and, on request, one printed page. Both name
// the sender institution, the reported month and the numbers of data sheets
// (episodes) and items sent.
#pragma once

#include "platform/sys/files.h"

#include <QString>

namespace platform {
class Printer;
}

namespace exchange {

struct AccompanyingList {
    QString made;            // today's date in the short date form
    QString institutionCode;
    QString institutionName;
    QString startYear;       // the dialog's start year, as typed
    QString startMonth;      // "01".."12", or empty
    qint64 episodes = 0;     // episodes selected, also those without items
    qint64 items = 0;        // export lines written
};

// The seven lines of the file, joined by CR LF, with no line end after the
// last one.
QString accompanyingListText(const AccompanyingList& list);

// Writes the file (Windows-1250), replacing an existing one; on failure the
// old file stays as it was and `error` says why.
bool writeAccompanyingList(const QString& path, const AccompanyingList& list, platform::FileError* error);

// Prints the page in character cells on the printer and ends the document.
// Printer failures come out as platform::PrinterError.
void printAccompanyingList(platform::Printer& printer, const AccompanyingList& list);

} // namespace exchange
