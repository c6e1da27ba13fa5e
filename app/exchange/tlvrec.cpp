#include "app/exchange/tlvrec.h"

#include "platform/sys/codepage.h"

#include <cstring>

namespace exchange {

namespace {

// Where the fields the conversion reads lie in the record.
constexpr int kBeavatkozOffset = 229;
constexpr int kFirstSurgeryCode = kBeavatkozOffset + 24; // characters 25-29 of entry 1
constexpr int kSurgeryCodeWidth = 5;
// The three unnamed pieces between the admission and the discharge are
// not taken over.
constexpr int kUnnamedFrom = 84;
constexpr int kUnnamedTo = 88;

// What each written column is made of.
struct ColumnSource {
    enum Kind { Copy, Date, Time } kind;
    int offset;
    int width; // Copy only
};
constexpr std::array<ColumnSource, kKonvWrittenColumns> kSources{{
    {ColumnSource::Copy, 0, 9},    // Munkahely_azon
    {ColumnSource::Copy, 9, 9},    // Torzsszam
    {ColumnSource::Copy, 18, 2},   // Sorszám
    {ColumnSource::Copy, 20, 2},   // Resz_sor
    {ColumnSource::Copy, 22, 9},   // Szemelyaz
    {ColumnSource::Copy, 31, 1},   // Az_tipus
    {ColumnSource::Copy, 32, 1},   // Beteg_neme
    {ColumnSource::Date, 33, 8},   // Szul_datum
    {ColumnSource::Copy, 41, 3},   // Allampolg
    {ColumnSource::Copy, 44, 1},   // Csaladi_all
    {ColumnSource::Copy, 45, 9},   // Kis_torzsszam
    {ColumnSource::Copy, 54, 4},   // Feor
    {ColumnSource::Copy, 58, 4},   // Ir_szam
    {ColumnSource::Copy, 62, 1},   // Ter_kat
    {ColumnSource::Copy, 63, 9},   // Beutalo
    {ColumnSource::Date, 72, 8},   // Felv_dat: Felv characters 1-8
    {ColumnSource::Time, 80, 4},   // Felv_tim: Felv characters 9-12
    {ColumnSource::Date, 88, 8},   // Tav_dat
    {ColumnSource::Time, 96, 4},   // Tav_tim
    {ColumnSource::Copy, 100, 1},  // Tov_sors
    {ColumnSource::Copy, 101, 128}, // Betegseg
    {ColumnSource::Copy, kBeavatkozOffset, 320},
    {ColumnSource::Copy, 549, 42}, // Onkologia
    {ColumnSource::Copy, 591, 4},  // Ujsz_suly
    {ColumnSource::Copy, 595, 2},  // Baleset_min
    {ColumnSource::Copy, 597, 30}, // Felhaszn
    {ColumnSource::Copy, 627, 5},  // Orvoskod
    {ColumnSource::Copy, 632, 1},  // Rekord_tip
    {ColumnSource::Copy, 633, 15}, // Tartalek
}};

// Every Windows-1250 byte as UTF-8, from the one code page of the system.
// A byte the code page leaves undefined keeps its number as the character.
struct Utf8Table {
    std::array<std::array<char, 3>, 256> bytes{};
    std::array<quint8, 256> length{};
    std::array<bool, 256> defined{};

    Utf8Table()
    {
        for (int b = 0; b < 256; ++b) {
            QString one;
            defined[b] = platform::decodeCp1250(QByteArray(1, char(b)), one);
            if (!defined[b])
                one = QString(QChar(char16_t(b)));
            const QByteArray utf8 = one.toUtf8();
            length[b] = quint8(utf8.size());
            for (qsizetype i = 0; i < utf8.size() && i < 3; ++i)
                bytes[b][size_t(i)] = utf8.at(i);
        }
    }
};

// Up to n bytes from pos, fewer where the text ends.
QByteArrayView part(QByteArrayView v, qsizetype pos, qsizetype n)
{
    if (pos >= v.size())
        return QByteArrayView();
    return v.sliced(pos, qMin(n, v.size() - pos));
}

const Utf8Table& utf8Table()
{
    static const Utf8Table table;
    return table;
}

} // namespace

const std::array<TlvField, kTlvFieldCount>& tlvFields()
{
    static const std::array<TlvField, kTlvFieldCount> fields{{
        {"Munkahely_azon", 0, 9},
        {"Torzsszam", 9, 9},
        {"Sorszám", 18, 2},
        {"Resz_sor", 20, 2},
        {"Szemelyaz", 22, 9},
        {"Az_tipus", 31, 1},
        {"Beteg_neme", 32, 1},
        {"Szul_datum", 33, 8},
        {"Allampolg", 41, 3},
        {"Csaladi_all", 44, 1},
        {"Kis_torzsszam", 45, 9},
        {"Feor", 54, 4},
        {"Ir_szam", 58, 4},
        {"Ter_kat", 62, 1},
        {"Beutalo", 63, 9},
        {"Felv", 72, 12},
        {"", 84, 1},
        {"", 85, 2},
        {"", 87, 1},
        {"Tav", 88, 12},
        {"Tov_sors", 100, 1},
        {"Betegseg", 101, 128},
        {"Beavatkoz", kBeavatkozOffset, 320},
        {"Onkologia", 549, 42},
        {"Ujsz_suly", 591, 4},
        {"Baleset_min", 595, 2},
        {"Felhaszn", 597, 30},
        {"Orvoskod", 627, 5},
        {"Rekord_tip", 632, 1},
        {"Tartalek", 633, 15},
    }};
    return fields;
}

const std::array<const char*, kKonvWrittenColumns>& konvWrittenColumns()
{
    static const std::array<const char*, kKonvWrittenColumns> columns{
        "Munkahely_azon", "Torzsszam", "Sorszám",  "Resz_sor",  "Szemelyaz", "Az_tipus",    "Beteg_neme",
        "Szul_datum",     "Allampolg", "Csaladi_all", "Kis_torzsszam", "Feor", "Ir_szam",   "Ter_kat",
        "Beutalo",        "Felv_dat",  "Felv_tim", "Tav_dat",   "Tav_tim",   "Tov_sors",    "Betegseg",
        "Beavatkoz",      "Onkologia", "Ujsz_suly", "Baleset_min", "Felhaszn", "Orvoskod",  "Rekord_tip",
        "Tartalek",
    };
    return columns;
}

TlvFileShape tlvFileShape(qint64 fileLength)
{
    TlvFileShape shape;
    if (fileLength <= 0)
        return shape;
    const qint64 whole = fileLength / kTlvRecordLength;
    const qint64 rest = fileLength % kTlvRecordLength;
    // Twice the rest against the record length: above half rounds up,
    // exactly half goes to the even neighbour.
    const qint64 twice = 2 * rest;
    shape.recordCount = whole + ((twice > kTlvRecordLength || (twice == kTlvRecordLength && whole % 2 == 1)) ? 1 : 0);
    // A last record that lacks only (part of) its line end is complete.
    shape.completeRecords = whole + (rest >= kTlvDataLength ? 1 : 0);
    shape.trailingBytes = rest >= kTlvDataLength ? 0 : rest;
    return shape;
}

std::optional<TlvRecordFault> tlvRecordFault(QByteArrayView record)
{
    static constexpr char kLineEnd[] = {'\r', '\n'};
    for (qsizetype i = kTlvDataLength; i < qMin<qsizetype>(record.size(), kTlvRecordLength); ++i)
        if (record[i] != kLineEnd[i - kTlvDataLength])
            return TlvRecordFault{TlvRecordFault::NoLineEnd, int(i) + 1};
    const QByteArrayView fields = part(record, 0, kTlvDataLength);
    if (const void* nul = std::memchr(fields.data(), 0, size_t(fields.size())))
        return TlvRecordFault{TlvRecordFault::NulByte, int(static_cast<const char*>(nul) - fields.data()) + 1};
    return std::nullopt;
}

QByteArray tlvDate(QByteArrayView d)
{
    QByteArray out;
    out.reserve(10);
    out.append(part(d, 0, 4)).append('.').append(part(d, 4, 2)).append('.').append(part(d, 6, 2));
    return out;
}

QByteArray tlvTime(QByteArrayView hhmm, bool keeps2400)
{
    QByteArrayView t = hhmm;
    if (!keeps2400 && t == "2400")
        t = "2359";
    QByteArray out;
    out.reserve(8);
    out.append(part(t, 0, 2)).append(':').append(part(t, 2, 2)).append(":00");
    return out;
}

bool takesTlvRecord(QByteArrayView record, const ProgramInfo::ImportRules& rules)
{
    if (rules.takesEveryRecord)
        return true;
    // Only blanks count as empty, as the old trim did.
    for (char c : part(record, kFirstSurgeryCode, kSurgeryCodeWidth))
        if (c != ' ')
            return true;
    return false;
}

bool convertTlvRecord(QByteArrayView record, const ProgramInfo::ImportRules& rules, KonvRow& row)
{
    if (record.size() < kTlvDataLength || !takesTlvRecord(record, rules))
        return false;
    const Utf8Table& table = utf8Table();
    row.m_undefinedAt = -1;
    for (int i = 0; i < kTlvDataLength; ++i) {
        if (i == kUnnamedFrom)
            i = kUnnamedTo;
        if (!table.defined[uchar(record[i])]) {
            row.m_undefinedAt = i;
            break;
        }
    }
    // At most three UTF-8 bytes a character, and the points and colons
    // the dates and times gain.
    row.m_utf8.resize(3 * (kTlvDataLength + 16));
    char* out = row.m_utf8.data();
    int at = 0;
    auto put = [&](QByteArrayView bytes) {
        for (char c : bytes) {
            const uchar b = uchar(c);
            const auto& u = table.bytes[b];
            out[at] = u[0];
            if (table.length[b] > 1) {
                out[at + 1] = u[1];
                if (table.length[b] > 2)
                    out[at + 2] = u[2];
            }
            at += table.length[b];
        }
    };
    for (int c = 0; c < kKonvWrittenColumns; ++c) {
        const ColumnSource& src = kSources[size_t(c)];
        row.m_bounds[size_t(c)] = at;
        switch (src.kind) {
        case ColumnSource::Copy:
            put(part(record, src.offset, src.width));
            break;
        case ColumnSource::Date:
            put(tlvDate(part(record, src.offset, 8)));
            break;
        case ColumnSource::Time:
            put(tlvTime(part(record, src.offset, 4), rules.keeps2400));
            break;
        }
    }
    row.m_bounds[kKonvWrittenColumns] = at;
    row.m_utf8.resize(at);
    return true;
}

QString tlvPercentText(qint64 position, qint64 count)
{
    qint64 percent = 0;
    if (count > 0) {
        const qint64 num = position * 100;
        percent = num / count;
        const qint64 twice = 2 * (num % count);
        if (twice > count || (twice == count && percent % 2 == 1))
            ++percent;
    }
    return QString::number(percent) + QStringLiteral(" %");
}

} // namespace exchange
