#include "app/exchange/exportline.h"

#include "app/entry/quantity.h"

namespace exchange {

namespace {

constexpr int kQuantityWidth = 10;

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool itemField(ExportField f)
{
    return f == ExportField::Rkod || f == ExportField::Rmen || f == ExportField::Mido;
}

} // namespace

int fieldWidth(ExportField f)
{
    switch (f) {
    case ExportField::IntKod: return 4;
    case ExportField::IntTipus: return 1;
    case ExportField::TSzam: return 9;
    case ExportField::Taj: return 9;
    case ExportField::Tsor: return 2;
    case ExportField::Fdat: return 8;
    case ExportField::Fido: return 4;
    case ExportField::Okod: return 4;
    case ExportField::Tdat: return 8;
    case ExportField::Tido: return 4;
    case ExportField::Ojele: return 1;
    case ExportField::Rkod: return -1;
    case ExportField::Rmen: return kQuantityWidth;
    case ExportField::Surgery1:
    case ExportField::Surgery2:
    case ExportField::Surgery3:
    case ExportField::Surgery4:
    case ExportField::Surgery5: return 5;
    case ExportField::Mido: return 4;
    case ExportField::Vjel: return 1;
    case ExportField::Tovsors: return 1;
    }
    return 0;
}

QString fieldName(ExportField f)
{
    switch (f) {
    case ExportField::IntKod: return QStringLiteral("intézetkód");
    case ExportField::IntTipus: return QStringLiteral("ellátási típus");
    case ExportField::TSzam: return QStringLiteral("törzsszám");
    case ExportField::Taj: return QStringLiteral("TAJ szám");
    case ExportField::Tsor: return QStringLiteral("sorszám");
    case ExportField::Fdat: return QStringLiteral("felvétel dátuma");
    case ExportField::Fido: return QStringLiteral("felvétel ideje");
    case ExportField::Okod: return QStringLiteral("osztálykód");
    case ExportField::Tdat: return QStringLiteral("távozás dátuma");
    case ExportField::Tido: return QStringLiteral("távozás ideje");
    case ExportField::Ojele: return QStringLiteral("osztály jele");
    case ExportField::Rkod: return QStringLiteral("tételkód");
    case ExportField::Rmen: return QStringLiteral("mennyiség");
    case ExportField::Surgery1: return QStringLiteral("1. műtétkód");
    case ExportField::Surgery2: return QStringLiteral("2. műtétkód");
    case ExportField::Surgery3: return QStringLiteral("3. műtétkód");
    case ExportField::Surgery4: return QStringLiteral("4. műtétkód");
    case ExportField::Surgery5: return QStringLiteral("5. műtétkód");
    case ExportField::Mido: return QStringLiteral("műtét időtartama");
    case ExportField::Vjel: return QStringLiteral("kivizsgálás");
    case ExportField::Tovsors: return QStringLiteral("távozás módja");
    }
    return QString();
}

namespace {

// The stored value that an episode piece carries right-aligned; no value
// for the pieces formed otherwise (dates, times, the examination sign) and
// for the item's own.
std::optional<QString> alignedValue(ExportField f, const ExportEpisode& e)
{
    const auto surgery = [&e](int n) { return n < e.surgeries.size() ? e.surgeries.at(n) : QString(); };
    switch (f) {
    case ExportField::IntKod: return e.intKod;
    case ExportField::IntTipus: return e.intTipus;
    case ExportField::TSzam: return e.tSzam;
    case ExportField::Taj: return e.taj;
    case ExportField::Tsor: return e.tsor;
    case ExportField::Okod: return e.okod;
    case ExportField::Ojele: return e.ojele;
    case ExportField::Surgery1: return surgery(0);
    case ExportField::Surgery2: return surgery(1);
    case ExportField::Surgery3: return surgery(2);
    case ExportField::Surgery4: return surgery(3);
    case ExportField::Surgery5: return surgery(4);
    case ExportField::Tovsors: return e.tovsors;
    default: return std::nullopt;
    }
}

QString episodePiece(ExportField f, const ExportEpisode& e)
{
    if (const auto value = alignedValue(f, e))
        return rightAligned(*value, fieldWidth(f));
    switch (f) {
    case ExportField::Fdat: return datePiece(e.fdat);
    case ExportField::Fido: return timePiece(e.fido);
    case ExportField::Tdat: return datePiece(e.tdat);
    case ExportField::Tido: return timePiece(e.tido);
    case ExportField::Vjel: return e.vjel.value_or(false) ? QStringLiteral("1") : QStringLiteral("0");
    default: return QString();
    }
}

} // namespace

int ExportFormat::fixedWidth() const
{
    int width = 0;
    for (ExportField f : pieces)
        width += std::max(0, fieldWidth(f));
    return width;
}

const ExportFormat& surgicalExportFormat()
{
    using F = ExportField;
    static const ExportFormat format{
        {F::IntKod, F::IntTipus, F::TSzam, F::Taj, F::Tsor, F::Fdat, F::Fido, F::Okod, F::Tdat, F::Tido, F::Ojele,
         F::Rkod, F::Rmen, F::Surgery1, F::Surgery2, F::Surgery3, F::Surgery4, F::Surgery5, F::Mido, F::Vjel,
         F::Tovsors},
        true,
        QStringLiteral("Nincs a paramétereknek megfelelő adat!"),
        QStringLiteral("Figyelmeztetés!"),
        QStringLiteral("rafm"),
        false,
    };
    return format;
}

const ExportFormat& wardExportFormat()
{
    using F = ExportField;
    static const ExportFormat format{
        {F::IntKod, F::IntTipus, F::TSzam, F::Taj, F::Tsor, F::Fdat, F::Fido, F::Okod, F::Tdat, F::Tido, F::Ojele,
         F::Rkod, F::Rmen, F::Vjel},
        false,
        QStringLiteral("Nincs  a paramétereknek megfelelő adat!"),
        QString(),
        QStringLiteral("rafo"),
        true,
    };
    return format;
}

QString rightAligned(const QString& value, int width)
{
    if (value.size() >= width)
        return value;
    return QString(width - value.size(), u' ') + value;
}

QString datePiece(const QString& stored)
{
    // yyyy.mm.dd with or without its closing point.
    const bool form = (stored.size() == 10 || (stored.size() == 11 && stored.at(10) == u'.'))
        && stored.at(4) == u'.' && stored.at(7) == u'.';
    if (form) {
        QString digits = stored.left(4) + stored.mid(5, 2) + stored.mid(8, 2);
        bool allDigits = true;
        for (QChar c : digits)
            allDigits = allDigits && isDigit(c);
        if (allDigits)
            return digits;
    }
    return QString(8, u' ');
}

QString timePiece(const QString& stored)
{
    // hh:mm, optionally followed by :ss.
    const bool form = (stored.size() == 5 || (stored.size() == 8 && stored.at(5) == u':' && isDigit(stored.at(6))
                                              && isDigit(stored.at(7))))
        && stored.at(2) == u':' && isDigit(stored.at(0)) && isDigit(stored.at(1)) && isDigit(stored.at(3))
        && isDigit(stored.at(4));
    if (form)
        return stored.left(2) + stored.mid(3, 2);
    return QString(4, u' ');
}

QuantityPiece quantityPiece(const QString& stored)
{
    QString text = stored;
    text.replace(u'.', u',');
    if (text.trimmed().isEmpty())
        return {QString(kQuantityWidth, u' '), QuantityFault::None};
    const auto digits = entry::readQuantityDigits(text);
    if (!digits)
        return {QString(), QuantityFault::Unreadable};

    // Whole digits without leading zeros (one zero at least), then the two
    // decimals rounded on the third: 5 or more rounds away from zero.
    const QString cents = entry::roundedCents(*digits);
    const QString written = cents.left(cents.size() - 2) + u',' + cents.right(2);
    if (written.size() > kQuantityWidth)
        return {QString(), QuantityFault::TooWide};
    return {rightAligned(written, kQuantityWidth), QuantityFault::None};
}

EpisodeLines::EpisodeLines(const ExportFormat& format, const ExportEpisode& episode)
{
    for (ExportField f : format.pieces) {
        const std::optional<QString> value = alignedValue(f, episode);
        if (!m_episodeFault && value && value->size() > fieldWidth(f))
            m_episodeFault = LineFault{f, QuantityFault::TooWide, *value};
        if (itemField(f)) {
            m_parts.push_back({f, QString()});
        } else if (!m_parts.empty() && !itemField(m_parts.back().field)) {
            m_parts.back().text += episodePiece(f, episode);
        } else {
            m_parts.push_back({f, episodePiece(f, episode)});
        }
    }
}

EpisodeLines::Line EpisodeLines::line(const ExportItem& item) const
{
    Line out;
    out.fault = appendLine(item, out.text);
    return out;
}

std::optional<LineFault> EpisodeLines::appendLine(const ExportItem& item, QString& out) const
{
    if (m_episodeFault)
        return m_episodeFault;
    const qsizetype start = out.size();
    for (const Part& part : m_parts) {
        switch (part.field) {
        case ExportField::Rkod:
            out += item.rkod; // as stored: neither filled nor cut
            break;
        case ExportField::Rmen: {
            const QuantityPiece q = quantityPiece(item.rmen);
            if (q.fault != QuantityFault::None) {
                out.truncate(start);
                return LineFault{ExportField::Rmen, q.fault, item.rmen};
            }
            out += q.text;
            break;
        }
        case ExportField::Mido:
            out += timePiece(item.mido);
            break;
        default:
            out += part.text;
        }
    }
    return std::nullopt;
}

} // namespace exchange
