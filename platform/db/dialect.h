// The pieces of the old query dialect that the engine does not speak by
// itself: text comparison that ignores letter case for every letter (the
// accented ones too), the like operator with "*", "?", "#" and "[...]" as
// wildcards ("%" and "_" are ordinary characters), and a tokenizer that lets
// the layer rewrite query texts without touching quoted values.
#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace platform::db::dialect {

// Name of the collation every text column is declared with.
inline constexpr const char* kCollation = "HUNOCASE";

// One code point folded the way text comparison ignores case.
char32_t fold(char32_t c);

// Three-way comparison of two UTF-8 texts, ignoring case; the collation.
int compareNoCase(const char* a, int na, const char* b, int nb);
int compareNoCase(const QString& a, const QString& b);

class LikePattern {
public:
    // `escape` (0 for none) makes the character after it literal.
    explicit LikePattern(const QString& pattern, char32_t escape = 0);
    bool matches(const QString& value) const;
    bool matchesUtf8(const char* text, int length) const;

private:
    struct Item {
        enum Kind { Literal, AnyOne, AnyRun, Digit, Class } kind;
        char32_t ch = 0;
        bool negated = false;
        std::vector<std::pair<char32_t, char32_t>> ranges;
        bool accepts(char32_t folded) const;
    };
    bool matchFolded(const char32_t* value, size_t n) const;
    std::vector<Item> m_items;
};

bool likeMatch(const QString& pattern, const QString& value);

// For a pattern "<literal>*" with no other wildcard, the literal; otherwise
// nothing. Such a pattern can be answered by a range on an index.
std::optional<QString> literalPrefix(const QString& pattern);
// The smallest text (in the collation) above every text that begins with
// `prefix`; nothing when it cannot be made simply.
std::optional<QString> prefixUpperBound(const QString& prefix);

struct Token {
    enum Kind { Space, Word, QuotedIdent, String, Number, Param, Punct } kind;
    QString text;     // as written
    // Word and QuotedIdent: the name without quotes; String: the value.
    QString value() const;
    bool isWord(const char* lowerWord) const;
};

std::vector<Token> tokenize(const QString& sql);

// "name" with inner quotes doubled.
QString quoteIdent(const QString& name);

} // namespace platform::db::dialect
