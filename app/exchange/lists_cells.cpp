#include "app/exchange/lists_cells.h"

#include "platform/print/printer.h"
#include "printlib/frmPaginateStatus.h"

#include <algorithm>

namespace exchange {

CellPrinter::CellPrinter(platform::Printer& printer, int lastRow) : m_printer(printer), m_lastRow(lastRow) {}

void CellPrinter::setUp(double fontSize)
{
    m_printer.setScaleMode(platform::vbCharacters);
    m_printer.FontName = QStringLiteral("Arial");
    m_printer.FontSize = fontSize;
    // Once a document runs, its orientation is settled; asking again for the
    // same one must not disturb the pages already drawn.
    if (m_printer.Orientation() != 2)
        m_printer.setOrientation(2);
    const double rowsOnPage = m_printer.ScaleHeight();
    const double rowsNeeded = m_lastRow + 1;
    m_rowFactor = rowsOnPage > 0 ? std::min(1.0, rowsOnPage / rowsNeeded) : 1.0;
}

void CellPrinter::setFontSize(double fontSize) { m_printer.FontSize = fontSize; }

void CellPrinter::at(double column, int row, const QString& text)
{
    ListProgress::keepAlive();
    if (text.isEmpty())
        return;
    m_printer.CurrentX = column;
    m_printer.CurrentY = row * m_rowFactor;
    m_printer.Print(text);
}

void CellPrinter::newPage()
{
    m_printer.NewPage();
    ListProgress::pageBegun(++m_page);
}

namespace {
printlib::frmPaginateStatus* g_progress = nullptr;
} // namespace

ListProgress::ListProgress() : m_window(std::make_unique<printlib::frmPaginateStatus>())
{
    m_window->setPage(1);
    g_progress = m_window.get();
}

ListProgress::~ListProgress()
{
    g_progress = nullptr;
}

void ListProgress::pageBegun(int page)
{
    if (g_progress) {
        g_progress->setPage(page);
        g_progress->keepAlive();
    }
}

void ListProgress::keepAlive()
{
    if (g_progress)
        g_progress->keepAlive();
}

void CellPrinter::endDocument() { m_printer.EndDoc(); }

void CellPrinter::cancel() { m_printer.KillDoc(); }

} // namespace exchange
