#include "app/exchange/tlvrec.h"

#include "platform/sys/codepage.h"

namespace exchange {

namespace {

// Where the fields the conversion reads lie in the record.
constexpr int kBeavatkozOffset = 229;
constexpr int kFirstSurgeryCode = kBeavatkozOffset + 24; // characters 25-29 of entry 1
constexpr int kSurgeryCodeWidth = 5;

QString field(QStringView record, int offset, int width)
{
    return record.mid(offset, width).toString();
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

QString tlvDate(QStringView d)
{
    QString out;
    out.reserve(10);
    out.append(d.mid(0, 4)).append(QLatin1Char('.')).append(d.mid(4, 2)).append(QLatin1Char('.')).append(d.mid(6, 2));
    return out;
}

QString tlvTime(QStringView hhmm, bool keeps2400)
{
    QStringView t = hhmm;
    if (!keeps2400 && t == u"2400")
        t = u"2359";
    QString out;
    out.reserve(8);
    out.append(t.mid(0, 2)).append(QLatin1Char(':')).append(t.mid(2, 2)).append(QLatin1String(":00"));
    return out;
}

QString decodeTlvRecord(const QByteArray& bytes, int* undefinedAt)
{
    if (undefinedAt)
        *undefinedAt = -1;
    QString text;
    if (platform::decodeCp1250(bytes, text))
        return text;
    // Byte by byte: an undefined byte keeps its number as the character, so
    // nothing of the record is lost and the clerk can be told where it was.
    text.clear();
    text.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        QString one;
        if (platform::decodeCp1250(bytes.mid(i, 1), one)) {
            text.append(one);
        } else {
            if (undefinedAt && *undefinedAt < 0)
                *undefinedAt = int(i);
            text.append(QChar(char16_t(uchar(bytes.at(i)))));
        }
    }
    return text;
}

bool takesTlvRecord(QStringView record, const ProgramInfo::ImportRules& rules)
{
    if (rules.takesEveryRecord)
        return true;
    // Only blanks count as empty, as the old trim did.
    const QStringView code = record.mid(kFirstSurgeryCode, kSurgeryCodeWidth);
    for (QChar c : code)
        if (c != QLatin1Char(' '))
            return true;
    return false;
}

std::optional<KonvValues> convertTlvRecord(QStringView r, const ProgramInfo::ImportRules& rules)
{
    if (!takesTlvRecord(r, rules))
        return std::nullopt;
    const bool keeps = rules.keeps2400;
    KonvValues v;
    int i = 0;
    v[i++] = field(r, 0, 9);    // Munkahely_azon
    v[i++] = field(r, 9, 9);    // Torzsszam
    v[i++] = field(r, 18, 2);   // Sorszám
    v[i++] = field(r, 20, 2);   // Resz_sor
    v[i++] = field(r, 22, 9);   // Szemelyaz
    v[i++] = field(r, 31, 1);   // Az_tipus
    v[i++] = field(r, 32, 1);   // Beteg_neme
    v[i++] = tlvDate(r.mid(33, 8));
    v[i++] = field(r, 41, 3);   // Allampolg
    v[i++] = field(r, 44, 1);   // Csaladi_all
    v[i++] = field(r, 45, 9);   // Kis_torzsszam
    v[i++] = field(r, 54, 4);   // Feor
    v[i++] = field(r, 58, 4);   // Ir_szam
    v[i++] = field(r, 62, 1);   // Ter_kat
    v[i++] = field(r, 63, 9);   // Beutalo
    v[i++] = tlvDate(r.mid(72, 8));        // Felv_dat
    v[i++] = tlvTime(r.mid(80, 4), keeps); // Felv_tim
    v[i++] = tlvDate(r.mid(88, 8));        // Tav_dat
    v[i++] = tlvTime(r.mid(96, 4), keeps); // Tav_tim
    v[i++] = field(r, 100, 1);  // Tov_sors
    v[i++] = field(r, 101, 128); // Betegseg
    v[i++] = field(r, kBeavatkozOffset, 320);
    v[i++] = field(r, 549, 42); // Onkologia
    v[i++] = field(r, 591, 4);  // Ujsz_suly
    v[i++] = field(r, 595, 2);  // Baleset_min
    v[i++] = field(r, 597, 30); // Felhaszn
    v[i++] = field(r, 627, 5);  // Orvoskod
    v[i++] = field(r, 632, 1);  // Rekord_tip
    v[i++] = field(r, 633, 15); // Tartalek
    return v;
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
