// The Windows-1250 code page of the import file, the export file and the
// accompanying list.
//
// A character that the code page lacks is reported with its position,
// never dropped or replaced: a changed letter in an export line is a wrong
// value for whoever reads the file.
#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

struct CodePageError {
    qsizetype position = -1;  // encoding: index into the text; decoding: byte offset
    char32_t character = 0;   // encoding: the character that has no byte
    int byte = -1;            // decoding: the undefined byte (0x81, 0x83, 0x88, 0x90, 0x98)
    QString text;             // a sentence for a message or a report
};

// Text to Windows-1250 bytes. False, `out` untouched and `error` filled
// when a character has no byte in the code page.
bool encodeCp1250(const QString& text, QByteArray& out, CodePageError* error = nullptr);

// Windows-1250 bytes to text. Every defined byte decodes; the five bytes
// the code page leaves undefined are reported.
bool decodeCp1250(const QByteArray& bytes, QString& out, CodePageError* error = nullptr);

// True when every character of `text` has a byte in the code page.
bool fitsCp1250(const QString& text);

} // namespace platform
