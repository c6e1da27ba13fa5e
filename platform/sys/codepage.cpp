#include "platform/sys/codepage.h"

#include <QHash>

#include <array>
#include <iconv.h>

namespace platform {

namespace {

// Both directions are tables built once from glibc's converter: a lookup
// per character keeps large exports fast, and the tables say exactly what
// iconv says.
struct Cp1250Tables {
    std::array<char32_t, 256> toUnicode{};  // 0 marks an undefined byte (byte 0 is U+0000 itself)
    std::array<bool, 256> defined{};
    QHash<char32_t, uchar> fromUnicode;

    Cp1250Tables()
    {
        iconv_t cd = iconv_open("UTF-32LE", "CP1250");
        if (cd == reinterpret_cast<iconv_t>(-1))
            qFatal("iconv has no CP1250 converter");
        for (int b = 0; b < 256; ++b) {
            char in = static_cast<char>(b);
            char* inPtr = &in;
            size_t inLeft = 1;
            char32_t cp = 0;
            char* outPtr = reinterpret_cast<char*>(&cp);
            size_t outLeft = sizeof cp;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1) && outLeft == 0) {
                toUnicode[b] = cp;
                defined[b] = true;
                fromUnicode.insert(cp, static_cast<uchar>(b));
            }
        }
        iconv_close(cd);
    }
};

const Cp1250Tables& tables()
{
    static const Cp1250Tables t;
    return t;
}

} // namespace

bool encodeCp1250(const QString& text, QByteArray& out, CodePageError* error)
{
    const Cp1250Tables& t = tables();
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t cp = text.at(i).unicode();
        const qsizetype start = i;
        if (QChar::isHighSurrogate(cp) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        if (cp < 0x80) {   // ASCII maps onto itself
            bytes.append(static_cast<char>(cp));
            continue;
        }
        auto it = t.fromUnicode.constFind(cp);
        if (it == t.fromUnicode.constEnd()) {
            if (error) {
                error->position = start;
                error->character = cp;
                error->byte = -1;
                error->text = QStringLiteral("A(z) „%1” (U+%2) karakter nem írható az 1250-es kódlappal, hely: %3.")
                                  .arg(QString::fromUcs4(&cp, 1))
                                  .arg(uint(cp), 4, 16, QLatin1Char('0'))
                                  .arg(start + 1);
            }
            return false;
        }
        bytes.append(static_cast<char>(it.value()));
    }
    out = bytes;
    return true;
}

bool decodeCp1250(const QByteArray& bytes, QString& out, CodePageError* error)
{
    const Cp1250Tables& t = tables();
    QString text;
    text.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar b = static_cast<uchar>(bytes.at(i));
        if (!t.defined[b]) {
            if (error) {
                error->position = i;
                error->character = 0;
                error->byte = b;
                error->text = QStringLiteral("A 0x%1 bájt nem értelmezett az 1250-es kódlapon, hely: %2.")
                                  .arg(uint(b), 2, 16, QLatin1Char('0'))
                                  .arg(i + 1);
            }
            return false;
        }
        const char32_t cp = t.toUnicode[b];
        text.append(QChar(static_cast<char16_t>(cp)));   // every CP1250 character is in the BMP
    }
    out = text;
    return true;
}

bool fitsCp1250(const QString& text)
{
    QByteArray ignored;
    return encodeCp1250(text, ignored);
}

} // namespace platform
