// The fixed-width line of the monthly export: one line per expenditure item
// of a selected episode, pieces written one after the other without
// separators. The receiver reads the file by position, so every piece keeps
// its width whatever is stored: a missing value or a date or time not in its
// stored form is blanked here. A value longer than its piece, and a quantity
// that cannot be written, refuse the line rather than send a different value.
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

// What the clerk calls a field in messages ("osztálykód", "mennyiség").
QString fieldName(ExportField field);
// The width of a field's piece; -1 for the item code, written as stored.
int fieldWidth(ExportField field);

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

// Right-aligned in `width`: blanks on the left. The caller makes sure the
// value fits.
QString rightAligned(const QString& value, int width);
// "2005.08.24." -> "20050824"; eight blanks for anything not in that form.
QString datePiece(const QString& stored);
// "09:05:00" (or "09:05") -> "0905"; four blanks for anything else.
QString timePiece(const QString& stored);

// Why a line was refused: the field, its stored value and what is wrong.
struct LineFault {
    ExportField field;
    QuantityFault kind; // Unreadable (a quantity only) or TooWide
    QString value;      // as stored
};

// The lines of one episode: its own pieces are laid out once, each item adds
// its code, quantity and duration. An episode field wider than its piece
// refuses every line of the episode.
class EpisodeLines {
public:
    EpisodeLines(const ExportFormat& format, const ExportEpisode& episode);

    struct Line {
        QString text; // without the line end; empty when refused
        std::optional<LineFault> fault;
    };
    Line line(const ExportItem& item) const;
    // The same line appended to `out` (the export reuses one buffer); on a
    // refused line `out` is left as it was.
    std::optional<LineFault> appendLine(const ExportItem& item, QString& out) const;

private:
    struct Part {
        ExportField field;
        QString text; // the episode's own pieces, ready
    };
    std::vector<Part> m_parts;
    std::optional<LineFault> m_episodeFault; // the first episode field that does not fit
};

} // namespace exchange
