#include "platform/db/dialect.h"

#include <QChar>
#include <QList>

namespace platform::db::dialect {

namespace {

// Decodes one UTF-8 sequence; a malformed byte stands for itself so that
// comparison stays total even on damaged text.
char32_t decode(const unsigned char*& p, const unsigned char* end)
{
    const unsigned char c = *p++;
    if (c < 0x80)
        return c;
    int extra = 0;
    char32_t cp = 0;
    if ((c & 0xE0) == 0xC0) {
        extra = 1;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        extra = 2;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        extra = 3;
        cp = c & 0x07;
    } else {
        return c;
    }
    const unsigned char* q = p;
    for (int i = 0; i < extra; ++i) {
        if (q >= end || (*q & 0xC0) != 0x80)
            return c;
        cp = (cp << 6) | (*q++ & 0x3F);
    }
    p = q;
    return cp;
}

void foldUtf8(const char* text, int length, std::vector<char32_t>& out)
{
    out.clear();
    auto p = reinterpret_cast<const unsigned char*>(text);
    const auto end = p + length;
    while (p < end)
        out.push_back(fold(decode(p, end)));
}

void foldString(const QString& text, std::vector<char32_t>& out)
{
    out.clear();
    for (char32_t c : text.toUcs4())
        out.push_back(fold(c));
}

bool isWordStart(QChar c)
{
    return c == u'_' || c.isLetter() || (c.unicode() >= 0x80 && c.isLetterOrNumber());
}

bool isWordPart(QChar c)
{
    return c == u'_' || c.isLetterOrNumber();
}

} // namespace

char32_t fold(char32_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
    return QChar::toCaseFolded(c);
}

int compareNoCase(const char* a, int na, const char* b, int nb)
{
    auto pa = reinterpret_cast<const unsigned char*>(a);
    auto pb = reinterpret_cast<const unsigned char*>(b);
    const auto ea = pa + na;
    const auto eb = pb + nb;
    while (pa < ea && pb < eb) {
        const char32_t ca = fold(decode(pa, ea));
        const char32_t cb = fold(decode(pb, eb));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (pa < ea)
        return 1;
    if (pb < eb)
        return -1;
    return 0;
}

int compareNoCase(const QString& a, const QString& b)
{
    const QByteArray ua = a.toUtf8();
    const QByteArray ub = b.toUtf8();
    return compareNoCase(ua.constData(), int(ua.size()), ub.constData(), int(ub.size()));
}

bool LikePattern::Item::accepts(char32_t c) const
{
    switch (kind) {
    case Literal:
        return c == ch;
    case AnyOne:
        return true;
    case Digit:
        return c >= '0' && c <= '9';
    case Class: {
        bool in = false;
        for (const auto& r : ranges) {
            if (c >= r.first && c <= r.second) {
                in = true;
                break;
            }
        }
        return in != negated;
    }
    case AnyRun:
        return false;
    }
    return false;
}

LikePattern::LikePattern(const QString& pattern, char32_t escape)
{
    const QList<uint> cps = pattern.toUcs4();
    const qsizetype n = cps.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char32_t c = cps[i];
        Item item{Item::Literal};
        if (escape != 0 && c == escape && i + 1 < n) {
            item.ch = fold(cps[++i]);
        } else if (c == '*') {
            if (!m_items.empty() && m_items.back().kind == Item::AnyRun)
                continue;
            item.kind = Item::AnyRun;
        } else if (c == '?') {
            item.kind = Item::AnyOne;
        } else if (c == '#') {
            item.kind = Item::Digit;
        } else if (c == '[') {
            // A class runs to the next "]"; without one the "[" is literal.
            qsizetype close = -1;
            for (qsizetype j = i + 1; j < n; ++j) {
                if (cps[j] == ']' && j > i + 1) {
                    close = j;
                    break;
                }
            }
            if (close < 0) {
                item.ch = '[';
            } else {
                item.kind = Item::Class;
                qsizetype j = i + 1;
                if (cps[j] == '!' && j + 1 < close) {
                    item.negated = true;
                    ++j;
                }
                while (j < close) {
                    char32_t lo = fold(cps[j]);
                    char32_t hi = lo;
                    if (j + 2 < close && cps[j + 1] == '-') {
                        hi = fold(cps[j + 2]);
                        j += 3;
                    } else {
                        ++j;
                    }
                    if (hi < lo)
                        std::swap(lo, hi);
                    item.ranges.emplace_back(lo, hi);
                }
                i = close;
            }
        } else {
            item.ch = fold(c);
        }
        m_items.push_back(std::move(item));
    }
}

bool LikePattern::matchFolded(const char32_t* value, size_t n) const
{
    const size_t m = m_items.size();
    size_t p = 0;
    size_t v = 0;
    size_t starP = size_t(-1);
    size_t starV = 0;
    while (v < n) {
        if (p < m && m_items[p].kind == Item::AnyRun) {
            starP = p++;
            starV = v;
        } else if (p < m && m_items[p].accepts(value[v])) {
            ++p;
            ++v;
        } else if (starP != size_t(-1)) {
            p = starP + 1;
            v = ++starV;
        } else {
            return false;
        }
    }
    while (p < m && m_items[p].kind == Item::AnyRun)
        ++p;
    return p == m;
}

bool LikePattern::matches(const QString& value) const
{
    std::vector<char32_t> folded;
    foldString(value, folded);
    return matchFolded(folded.data(), folded.size());
}

bool LikePattern::matchesUtf8(const char* text, int length) const
{
    thread_local std::vector<char32_t> folded;
    foldUtf8(text, length, folded);
    return matchFolded(folded.data(), folded.size());
}

bool likeMatch(const QString& pattern, const QString& value)
{
    return LikePattern(pattern).matches(value);
}

std::optional<QString> literalPrefix(const QString& pattern)
{
    if (pattern.size() < 2 || !pattern.endsWith(u'*'))
        return std::nullopt;
    const QString prefix = pattern.left(pattern.size() - 1);
    for (QChar c : prefix) {
        if (c == u'*' || c == u'?' || c == u'#' || c == u'[')
            return std::nullopt;
    }
    return prefix;
}

std::optional<QString> prefixUpperBound(const QString& prefix)
{
    std::vector<char32_t> folded;
    foldString(prefix, folded);
    if (folded.empty())
        return std::nullopt;
    const char32_t last = folded.back();
    const char32_t next = last + 1;
    // The bound must fold above the prefix's last character, or the range
    // would cut off texts the pattern matches.
    if (next > 0x10FFFF || (next >= 0xD800 && next <= 0xDFFF) || fold(next) <= last)
        return std::nullopt;
    folded.back() = next;
    return QString::fromUcs4(folded.data(), qsizetype(folded.size()));
}

QString Token::value() const
{
    switch (kind) {
    case String: {
        QString inner = text.mid(1, text.endsWith(u'\'') && text.size() > 1 ? text.size() - 2 : -1);
        return inner.replace(QStringLiteral("''"), QStringLiteral("'"));
    }
    case QuotedIdent: {
        const QChar open = text.at(0);
        const QChar close = open == u'[' ? u']' : open;
        QString inner = text.mid(1, text.endsWith(close) && text.size() > 1 ? text.size() - 2 : -1);
        if (open != u'[')
            inner.replace(QString(2, close), QString(close));
        return inner;
    }
    default:
        return text;
    }
}

bool Token::isWord(const char* lowerWord) const
{
    return kind == Word && text.compare(QLatin1String(lowerWord), Qt::CaseInsensitive) == 0;
}

std::vector<Token> tokenize(const QString& sql)
{
    std::vector<Token> tokens;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    auto push = [&](Token::Kind kind, qsizetype from) { tokens.push_back({kind, sql.mid(from, i - from)}); };
    while (i < n) {
        const qsizetype start = i;
        const QChar c = sql.at(i);
        if (c.isSpace()) {
            while (i < n && sql.at(i).isSpace())
                ++i;
            push(Token::Space, start);
        } else if (c == u'-' && i + 1 < n && sql.at(i + 1) == u'-') {
            while (i < n && sql.at(i) != u'\n')
                ++i;
            push(Token::Space, start);
        } else if (c == u'/' && i + 1 < n && sql.at(i + 1) == u'*') {
            const qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? n : end + 2;
            push(Token::Space, start);
        } else if (c == u'\'' || c == u'"' || c == u'`' || c == u'[') {
            const QChar close = c == u'[' ? u']' : c;
            ++i;
            while (i < n) {
                if (sql.at(i) == close) {
                    // A doubled quote inside a quoted text stands for one.
                    if (close != u']' && i + 1 < n && sql.at(i + 1) == close) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            push(c == u'\'' ? Token::String : Token::QuotedIdent, start);
        } else if (c == u'?') {
            ++i;
            while (i < n && sql.at(i).isDigit())
                ++i;
            push(Token::Param, start);
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && sql.at(i + 1).isDigit())) {
            while (i < n && (sql.at(i).isDigit() || sql.at(i) == u'.'))
                ++i;
            if (i < n && (sql.at(i) == u'e' || sql.at(i) == u'E')) {
                qsizetype j = i + 1;
                if (j < n && (sql.at(j) == u'+' || sql.at(j) == u'-'))
                    ++j;
                if (j < n && sql.at(j).isDigit()) {
                    i = j;
                    while (i < n && sql.at(i).isDigit())
                        ++i;
                }
            }
            push(Token::Number, start);
        } else if (isWordStart(c)) {
            while (i < n && isWordPart(sql.at(i)))
                ++i;
            push(Token::Word, start);
        } else {
            ++i;
            push(Token::Punct, start);
        }
    }
    return tokens;
}

QString quoteIdent(const QString& name)
{
    QString inner = name;
    inner.replace(u'"', QStringLiteral("\"\""));
    return u'"' + inner + u'"';
}

} // namespace platform::db::dialect
