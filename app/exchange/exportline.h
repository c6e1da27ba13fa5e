// The fixed-width line of the monthly export: one line per expenditure item
// of a selected episode, pieces written one after the other without
// separators. The receiver reads the file by position, so every piece keeps
// its width whatever is stored: a missing value, a date or time not in its
// stored form or a value longer than its piece is blanked or cut here, and a
// quantity that cannot be written is refused rather than written wrong.
//
// The two programs write different lines (the surgical one carries the
// episode's surgery codes, the item's surgery duration and the outcome); the
// line of a program is its ExportFormat, reached through ProgramInfo.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace exchange {

// The values of one selected episode that its lines repeat.
struct ExportEpisode {
    QString azonosito; // names the episode in messages; not written
    QString intKod, intTipus, tSzam, taj, tsor;
    QString fdat, fido, okod, tdat, tido, ojele, tovsors;
    std::optional<bool> vjel; // no value: written as "0"
    QStringList surgeries;    // codes of the first surgery rows, in order
};

// The values of one item that its line carries.
struct ExportItem {
    QString rkod, rmen, mido;
};

enum class ExportField {
    IntKod, IntTipus, TSzam, Taj, Tsor, Fdat, Fido, Okod, Tdat, Tido, Ojele,
    Rkod, Rmen,
    Surgery1, Surgery2, Surgery3, Surgery4, Surgery5,
    Mido, Vjel, Tovsors,
};

// What one program writes and how it names and reports its export.
struct ExportFormat {
    std::vector<ExportField> pieces;
    bool readsSurgeries = false;      // the episode's surgery codes are looked up
    QString emptySelectionMessage;    // nothing selected
    QString emptySelectionTitle;      // empty: the program's name
    QString registerFilePrefix;       // file name proposed for one register number
    bool rootFolderTakesNoBackslash = false; // "A:\" & name instead of "A:\\" & name

    // Characters of a line apart from the item code.
    int fixedWidth() const;
};

const ExportFormat& surgicalExportFormat();
const ExportFormat& wardExportFormat();

// The quantity piece: the stored text read as a decimal number (a point read
// as the decimal comma, blanks between thousands allowed), rounded to two
// decimals on its digits (halves away from zero), written as at least one
// whole digit, a comma and two decimals, right-aligned in 10. An empty
// quantity gives ten blanks.
enum class QuantityFault { None, Unreadable, TooWide };
struct QuantityPiece {
    QString text;
    QuantityFault fault = QuantityFault::None;
};
QuantityPiece quantityPiece(const QString& stored);

// Right-aligned in `width`: blanks on the left, a longer value cut to its
// first `width` characters.
QString rightAligned(const QString& value, int width);
// "2005.08.24." -> "20050824"; eight blanks for anything not in that form.
QString datePiece(const QString& stored);
// "09:05:00" (or "09:05") -> "0905"; four blanks for anything else.
QString timePiece(const QString& stored);

// The lines of one episode: its own pieces are laid out once, each item adds
// its code, quantity and duration.
class EpisodeLines {
public:
    EpisodeLines(const ExportFormat& format, const ExportEpisode& episode);

    struct Line {
        QString text; // without the line end; empty when refused
        QuantityFault fault = QuantityFault::None;
    };
    Line line(const ExportItem& item) const;
    // The same line appended to `out` (the export reuses one buffer); on a
    // refused quantity `out` is left as it was.
    QuantityFault appendLine(const ExportItem& item, QString& out) const;

private:
    struct Part {
        ExportField field;
        QString text; // the episode's own pieces, ready
    };
    std::vector<Part> m_parts;
};

} // namespace exchange
