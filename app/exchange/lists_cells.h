// Text placed by character cell on the printer, the way the control lists
// lay out their pages: column and row counted from the top left of the
// printable area, one cell 120 twips wide and 240 twips high.
//
// A layout names the last row it uses. When the printable height holds
// fewer rows than that (50 rows of 240 twips do not fit an A4 page in
// landscape), the rows are drawn evenly closer together so that the last
// one still lands on the paper; columns never move.
#pragma once

#include <QString>

#include <memory>

namespace platform {
class Printer;
}
namespace printlib {
class frmPaginateStatus;
}

namespace exchange {

class CellPrinter {
public:
    CellPrinter(platform::Printer& printer, int lastRow);

    // Page set-up of the lists: character cells, "Arial" of the given size,
    // landscape. Nothing else of the printer changes.
    void setUp(double fontSize);
    void setFontSize(double fontSize);
    // Prints text at the cell; an empty text draws nothing.
    void at(double column, int row, const QString& text);
    void newPage();
    void endDocument();
    // Cancels the document after a failure; nothing of it comes out.
    void cancel();

    platform::Printer& printer() { return m_printer; }
    // Printer rows per layout row (1 where the page is tall enough).
    double rowFactor() const { return m_rowFactor; }

private:
    platform::Printer& m_printer;
    int m_lastRow;
    double m_rowFactor = 1;
    int m_page = 1;
};

// The pagination window over a list's whole run, from its first query to
// its last page: it counts the pages the list's CellPrinter begins and lets
// the windows repaint meanwhile (see printlib::frmPaginateStatus). One list
// runs at a time; CellPrinter and the row loops report to the open one.
class ListProgress {
public:
    ListProgress();
    ~ListProgress();
    ListProgress(const ListProgress&) = delete;
    ListProgress& operator=(const ListProgress&) = delete;

    // Both do nothing while no list runs.
    static void pageBegun(int page);
    static void keepAlive();

private:
    std::unique_ptr<printlib::frmPaginateStatus> m_window;
};

} // namespace exchange
