// The monthly inpatient-report file (TLVREC.TXT) and how one of its records
// becomes a row of `konv`. No window and no database here: bytes in, texts
// out, so every rule is tested directly.
//
// The file is a run of 650-byte records: 648 bytes of 30 fixed-width fields
// in Windows-1250, then CR LF. Fields are taken over at full width, blanks
// included; only the dates and times are rearranged.
#pragma once

#include "app/common/programinfo.h"

#include <QByteArray>
#include <QString>
#include <QByteArrayView>

#include <array>
#include <optional>

namespace exchange {

inline constexpr int kTlvRecordLength = 650; // with CR LF
inline constexpr int kTlvDataLength = 648;   // the 30 fields

// One field of the record: its name, 0-based offset and width.
struct TlvField {
    const char* name;
    int offset;
    int width;
};
inline constexpr int kTlvFieldCount = 30;
const std::array<TlvField, kTlvFieldCount>& tlvFields();

// What the import writes: the `konv` columns in table order, without the
// three that no source fills (Oszt_tipus, Felv_tipus, Felv_jell) and without
// Feldolgozva, which starts false.
inline constexpr int kKonvWrittenColumns = 29;
const std::array<const char*, kKonvWrittenColumns>& konvWrittenColumns();

// How a file splits into records. `recordCount` is the file length / 650
// rounded to the nearest whole number, a half to the even one: a last record
// without its line end still counts, a scrap of up to half a record does
// not. `completeRecords` are those that hold all 648 bytes of their fields;
// `trailingBytes` is the size of an incomplete part at the end (0 when the
// file ends on a complete record), which is never stored.
struct TlvFileShape {
    qint64 recordCount = 0;
    qint64 completeRecords = 0;
    qint64 trailingBytes = 0;
    bool operator==(const TlvFileShape&) const = default;
};
TlvFileShape tlvFileShape(qint64 fileLength);

// Why a record cannot be taken as it lies in the file. A file whose records
// lack their line ends, or that is no inpatient-report file at all, would
// otherwise be cut at the wrong places and stored as garbage.
struct TlvRecordFault {
    enum Kind {
        NoLineEnd, // bytes 649-650 are not CR LF
        NulByte,   // a NUL byte among the 648 bytes of the fields
    };
    Kind kind;
    int byte; // where, from 1
    bool operator==(const TlvRecordFault&) const = default;
};
// Checks one record as it lies in the file: 650 bytes, or 648-649 for the
// last record of a file whose final line end is missing (in whole or in
// part). The line-end bytes that are there must be CR LF; none of the 648
// bytes before them may be NUL.
std::optional<TlvRecordFault> tlvRecordFault(QByteArrayView record);

// "yyyymmdd" -> "yyyy.mm.dd"; the characters are not checked, so a blank
// date gives "    .  .  ".
QByteArray tlvDate(QByteArrayView yyyymmdd);
// "hhmm" -> "hh:mm:00". The surgical program stores the end of the day,
// "2400", as "23:59:00" so that a discharge at midnight still reads as a time
// of that day; "0000" and everything else is only rearranged.
QByteArray tlvTime(QByteArrayView hhmm, bool keeps2400);

// Whether the import takes the record: the surgical program only takes a
// record whose first intervention entry carries a surgery code (characters
// 25-29 of the entry, not blank); later entries do not count.
bool takesTlvRecord(QByteArrayView record, const ProgramInfo::ImportRules& rules);

// One converted row: the written columns as UTF-8 text, in one buffer that
// a run reuses from record to record.
class KonvRow {
public:
    QByteArrayView column(int c) const
    {
        return QByteArrayView(m_utf8.constData() + m_bounds[c], m_bounds[c + 1] - m_bounds[c]);
    }
    QString text(int c) const { return QString::fromUtf8(column(c)); }
    // Offset in the record of the first byte that Windows-1250 leaves
    // undefined among the bytes taken over, or -1. Such a byte arrives as
    // the character of the same number (U+0081, ...): kept, never dropped.
    int undefinedAt() const { return m_undefinedAt; }

private:
    friend bool convertTlvRecord(QByteArrayView, const ProgramInfo::ImportRules&, KonvRow&);
    QByteArray m_utf8;
    std::array<int, kKonvWrittenColumns + 1> m_bounds{};
    int m_undefinedAt = -1;
};

// Converts the 648 bytes of a record (Windows-1250) into `row`. False, and
// `row` untouched, when the record is passed over.
bool convertTlvRecord(QByteArrayView record, const ProgramInfo::ImportRules& rules, KonvRow& row);

// The progress frame's percentage: position / count * 100 rounded to a whole
// number, a half to the even one, then " %" ("12 %" for 1 of 8).
QString tlvPercentText(qint64 position, qint64 count);

} // namespace exchange
