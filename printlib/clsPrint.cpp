#include "printlib/clsPrint.h"

#include "platform/print/printer.h"
#include "platform/sys/regional.h"
#include "printlib/frmPaginateStatus.h"

#include <cmath>

namespace printlib {

// ---------------------------------------------------------------- creation

clsPrint::clsPrint()
{
    auto& p = platform::printer();
    p.setScaleMode(platform::vbMillimeters);
    m_orientation = p.Orientation();
    m_pageSize = p.PaperSize();
    m_copies = short(p.Copies());
    ApplyPageSetup(m_pageSize, m_orientation);
}

clsPrint::~clsPrint() = default;

// ---------------------------------------------------------------- properties

static LibError rangeError(const QString& text) { return LibError(9, text); }

static void checkRange(int value, int low, int high)
{
    if (value < low || value > high)
        throw rangeError(QStringLiteral("Valid range is from %1 to %2").arg(low).arg(high));
}

void clsPrint::setCopies(int value)
{
    checkRange(value, 1, 999);
    m_copies = short(value);
}

void clsPrint::setFromPage(int value)
{
    checkRange(value, 0, kLastPageNumber);
    m_fromPage = value;
}

void clsPrint::setToPage(int value)
{
    checkRange(value, 0, kLastPageNumber);
    m_toPage = value;
}

void clsPrint::setRange(int value)
{
    checkRange(value, 0, 2);
    m_range = value;
}

void clsPrint::setOrientation(int value)
{
    if (value != 1 && value != 2)
        throw rangeError(QStringLiteral("Valid value is 1 or 2"));
    if (ApplyPageSetup(m_pageSize, value))
        m_orientation = value;
}

void clsPrint::setPageSize(int code)
{
    if (ApplyPageSetup(code, m_orientation))
        m_pageSize = code;
}

// A single-precision value as the general number format writes it: up to
// seven significant digits, no trailing zeros, the regional decimal separator.
static QString generalNumber(float value)
{
    QString text = QString::number(double(value), 'g', 7);
    return text.replace(QLatin1Char('.'), platform::decimalSeparator());
}

void clsPrint::checkMargin(float value) const
{
    if (value < 0 || value > m_maxMargin)
        throw rangeError(QStringLiteral("Valid range is from 0 to ") + generalNumber(m_maxMargin));
}

void clsPrint::setLeftMargin(float value)
{
    checkMargin(value);
    m_leftMargin = value;
}

void clsPrint::setRightMargin(float value)
{
    checkMargin(value);
    m_rightMargin = value;
}

void clsPrint::setTopMargin(float value)
{
    checkMargin(value);
    m_topMargin = value;
}

void clsPrint::setBottomMargin(float value)
{
    checkMargin(value);
    m_bottomMargin = value;
}

bool clsPrint::ApplyPageSetup(int paperCode, int orientation)
{
    auto& p = platform::printer();
    bool ok = true;
    // Orientation first, then paper; a refused step does not stop the
    // metrics from being re-read, so they describe the paper in use.
    try {
        ok = p.setOrientation(orientation) && ok;
    } catch (...) {
        ok = false;
    }
    try {
        ok = p.setPaperSize(paperCode) && ok;
    } catch (...) {
        ok = false;
    }
    m_height = float(p.Height() * 25.4 / 1440.0);
    m_width = float(p.Width() * 25.4 / 1440.0);
    const QSizeF printable = p.printableSizeMm();
    m_printableHeight = float(printable.height());
    m_printableWidth = float(printable.width());
    m_maxMargin = m_width > m_height ? 0.4f * m_height : 0.4f * m_width;
    for (float* m : {&m_leftMargin, &m_topMargin, &m_rightMargin, &m_bottomMargin})
        if (*m > m_maxMargin)
            *m = m_maxMargin;
    return ok;
}

void clsPrint::SetDeviceScale(const platform::DrawTarget& device)
{
    PixelsPerPoint = float(device.dpiY() / 72.0);
    PixelsPerMM = float(device.dpiX() / 25.4);
}

// ---------------------------------------------------------------- pagination

namespace {

// A width in tenths of a millimetre as whole device pixels, rounded up.
short pixelWidth(short tenths, float pixelsPerMM)
{
    return short(std::abs(std::floor(-(tenths / 10.0) * double(pixelsPerMM))));
}

// Keeps the progress window for exactly one pagination run, whatever way the
// run ends.
// A window already shown for the work before the pagination is taken over.
class PaginateStatusGuard {
public:
    PaginateStatusGuard(bool show, std::unique_ptr<frmPaginateStatus> shown) : m_window(std::move(shown))
    {
        if (show && !m_window)
            m_window = std::make_unique<frmPaginateStatus>();
    }
    void setPage(int page)
    {
        if (m_window)
            m_window->setPage(page);
    }
    void keepAlive()
    {
        if (m_window)
            m_window->keepAlive();
    }

private:
    std::unique_ptr<frmPaginateStatus> m_window;
};

PaginateStatusGuard* g_status = nullptr;

} // namespace

void clsPrint::StartNewPage()
{
    if (!(m_flowY > m_topMargin))
        return;
    m_flowY = m_topMargin;
    m_pageStarts.push_back(m_placed.size());
    if (g_status)
        g_status->setPage(PageCount());
}

void clsPrint::forcedBreak()
{
    if (m_flowY == m_topMargin)
        m_flowY = m_topMargin + 1;
    StartNewPage();
}

void clsPrint::ReleasePages()
{
    // Swapping with empty containers gives their blocks back; clear() alone
    // may keep a vector's capacity.
    std::deque<Placed>().swap(m_placed);
    std::vector<std::size_t>().swap(m_pageStarts);
    std::vector<TableBlock>().swap(m_tableBlocks);
}

void clsPrint::ReleaseElements()
{
    ReleasePages();
    Tables.Clear();
    Labels.Clear();
    LabelsEx.Clear();
    Lines.Clear();
    Images.Clear();
    Rectangles.Clear();
    Points.Clear();
    PageBreaks.Clear();
    Repeats.Clear();
    m_queue.Clear();
}

void clsPrint::Paginate()
{
    if (m_queue.Count() == 0)
        throw LibError(18, QStringLiteral("There is no job for print, before you must create a job."));

    m_usable = m_printableHeight - m_topMargin - m_bottomMargin;
    m_bottomLimit = m_usable + m_topMargin;
    m_flowY = m_topMargin + 1;
    ReleasePages();
    m_layout = {m_leftMargin, PixelsPerMM, PixelsPerPoint};
    // Labels nobody holds any more are stored compactly before the run.
    Labels.compact();
    LabelsEx.compact();

    PaginateStatusGuard status(m_viewPaginateStatus, std::move(m_status));
    g_status = &status;
    struct Reset {
        ~Reset() { g_status = nullptr; }
    } reset;

    try {
        StartNewPage();
        const int entries = m_queue.Count();
        for (int i = 1; i <= entries; ++i) {
            placeEntry(std::uint32_t(i));
            status.keepAlive();
        }
    } catch (...) {
        // A run that failed half way leaves no half-made layout behind.
        ReleasePages();
        throw;
    }
}

frmPaginateStatus& clsPrint::ShowPaginateStatus()
{
    if (!m_status)
        m_status = std::make_unique<frmPaginateStatus>();
    return *m_status;
}

namespace {

// Vertical placement shared by lines, rectangles and labels: returns the
// page values of the pair (a, b).
struct VerticalPair {
    float a;
    float b;
};

} // namespace

void clsPrint::appendPlaced(std::uint32_t entry, float a, float b)
{
    Placed p;
    p.entry = entry;
    p.a = a;
    p.b = b;
    m_placed.push_back(p);
}

void clsPrint::placeEntry(std::uint32_t entry)
{
    const clsQueue::Entry& q = m_queue.entry(int(entry));
    const float L = m_bottomLimit;

    // Places a vertical pair; the element is carried when its upper end lies
    // below the bottom limit and moved to the next page when its lower end does.
    auto placePair = [&](float a, float b, bool absolute) -> VerticalPair {
        if (absolute)
            return {a + m_topMargin, b + m_topMargin};
        float u = a < b ? a : b;
        float v = a < b ? b : a;
        const float height = v - u;
        if (float(u + m_flowY) > L) {
            const float shift = m_flowY - L;
            a += shift;
            b += shift;
            u += shift;
            v += shift;
            forcedBreak();
        }
        if (float(v + m_flowY) > L) {
            if (a < b) {
                a = 0;
                b = height;
            } else {
                a = height;
                b = 0;
            }
            forcedBreak();
        }
        return {a + m_flowY, b + m_flowY};
    };
    // Lines, rectangles and both label kinds: the flow continues below the
    // lower end of the placed pair.
    auto placeVertical = [&](float a, float b, bool absolute) {
        const VerticalPair y = placePair(a, b, absolute);
        appendPlaced(entry, y.a, y.b);
        m_flowY = std::max(y.a, y.b);
    };

    switch (q.kind) {
    case kindPageBreak: StartNewPage(); break;
    case kindLine: {
        const auto e = Lines.Item(q.index);
        placeVertical(e->Y1, e->Y2, e->PositionIsAbsolute);
        break;
    }
    case kindRectangle: {
        const auto e = Rectangles.Item(q.index);
        placeVertical(e->Top, e->Bottom, e->PositionIsAbsolute);
        break;
    }
    case kindLabel:
    case kindLabelEx: {
        if (q.index < 1 || q.index > (q.kind == kindLabel ? Labels.Count() : LabelsEx.Count()))
            throw LibError::subscript();
        const LabelPlace e = q.kind == kindLabel ? Labels.place(q.index) : LabelsEx.place(q.index);
        placeVertical(e.Top, e.Bottom, e.PositionIsAbsolute);
        break;
    }
    case kindImage: {
        const auto e = Images.Item(q.index);
        const float h = e->Height ? *e->Height : float(pictureHeightHimetric(e->Image) / 100.0);
        float top = e->Top;
        float pageTop;
        if (e->PositionIsAbsolute) {
            pageTop = top + m_topMargin;
        } else {
            if (float(top + m_flowY) > L) {
                top = top + m_flowY - L;
                forcedBreak();
            }
            if (float(top + h + m_flowY) > L) {
                top = 0;
                forcedBreak();
            }
            pageTop = top + m_flowY;
        }
        appendPlaced(entry, pageTop, 0);
        m_flowY = pageTop + h;
        break;
    }
    case kindPoints: {
        const auto e = Points.Item(q.index);
        const int n = e->PointArray.UBound2();
        if (n < 1 || e->PointArray.UBound1() < 2)
            throw LibError(5, QStringLiteral("A point set needs at least one point"));
        const float y1 = e->PointArray(2, 1);
        float base;
        if (e->PositionIsAbsolute) {
            base = m_topMargin;
        } else if (float(y1 + m_flowY) > L) {
            base = m_flowY - L + m_topMargin;
            forcedBreak();
        } else {
            base = m_flowY;
        }
        appendPlaced(entry, base, 0);
        m_flowY = base + y1;
        break;
    }
    case kindTable: placeTable(entry, *Tables.Item(q.index)); break;
    default: break;
    }
}

void clsPrint::placeTable(std::uint32_t entry, const clsTableAttributes& e)
{
    // Values the layout divides by or counts with are checked first, so
    // a bad table is refused instead of looping or dividing by zero.
    if (e.TotalColumns < 1)
        throw LibError(5, QStringLiteral("TotalColumns must be at least 1"));
    if (!(e.BodyHeight > 0))
        throw LibError(5, QStringLiteral("BodyHeight must be greater than 0"));
    if (e.Columns.Count() < 1)
        throw LibError(5, QStringLiteral("The table has no columns"));

    const bool T = e.FirstRowIsTitle;
    const float TH = e.TitleHeight;
    const float BH = e.BodyHeight;
    int TC = e.TotalColumns;
    const int r = e.TextArray.UBound2();
    float top = e.PositionIsAbsolute ? e.Top + m_topMargin : e.Top + m_flowY;
    const int R = T ? r - 1 : r;
    int placed = 0;
    int p = T ? 1 : 0;
    float room = m_printableHeight - top - m_bottomMargin;
    if (T)
        room -= TH;
    // Every block copies all columns of its rows when it is drawn: a text
    // narrower than the columns is refused now, not when a page is drawn.
    if (p < r && e.Columns.Count() > e.TextArray.UBound1())
        throw LibError::subscript();
    long M = 0;
    while (p < r) {
        M = long(std::floor(double(room) / double(BH)));
        if (M < 1) {
            forcedBreak();
            room = m_usable;
            if (T)
                room -= TH;
            top = m_topMargin;
            M = long(std::floor(double(room) / double(BH)));
            if (M < 1)
                M = 1;
        }
        const int rest = R - placed;
        if (long(TC) * M >= rest) {
            M = long(std::abs(std::floor(-double(rest) / TC)));
            while (long(TC - 1) * M >= rest)
                --TC;
        }
        const int first = p + 1;
        const int last = int(std::min<long>(p + long(TC) * M, r));
        placed += last - first + 1;

        m_tableBlocks.push_back({first, last, short(TC)});
        Placed block;
        block.entry = entry;
        block.a = top;
        block.block = std::uint32_t(m_tableBlocks.size() - 1);
        m_placed.push_back(block);

        p = last;
        room = 0;
    }
    m_flowY = top + float(M) * BH;
    if (T)
        m_flowY += TH;
}

namespace {

// The text fields both label kinds carry onto the page unchanged.
template <class A>
void copyCaption(A& item, const A& e)
{
    item.Align = e.WordWrap ? (e.Align | 16) : e.Align;
    item.Caption = e.Caption;
    item.CellSpacing = e.CellSpacing;
    item.FontName = e.FontName;
    item.FontItalic = e.FontItalic;
    item.FontUnderline = e.FontUnderline;
    item.ForeColor = e.ForeColor;
}

} // namespace

int clsPrint::PageItemCount(int page) const
{
    if (page < 1 || page > PageCount())
        throw LibError::subscript();
    const std::size_t end = page < PageCount() ? m_pageStarts[size_t(page)] : m_placed.size();
    return int(end - m_pageStarts[size_t(page - 1)]);
}

Page clsPrint::PageItems(int page) const
{
    const int n = PageItemCount(page);
    const std::size_t start = m_pageStarts[size_t(page - 1)];
    Page items;
    items.reserve(size_t(n));
    for (int k = 0; k < n; ++k)
        items.push_back(placedItem(m_placed[start + size_t(k)]));
    return items;
}

// The page copy of a placed element: horizontal values moved by the left
// margin, the vertical ones as placed, widths in pixels of the device the
// layout was made for.
std::shared_ptr<clsElement> clsPrint::placedItem(const Placed& p) const
{
    const clsQueue::Entry& q = m_queue.entry(int(p.entry));
    const float lm = m_layout.leftMargin;
    auto framed = [&](const auto& e, auto item) {
        item->Left = e.Left + lm;
        item->Right = e.Right + lm;
        item->Top = p.a;
        item->Bottom = p.b;
        item->BorderWidth = pixelWidth(e.BorderWidth, m_layout.pixelsPerMM);
        item->BorderColor = e.BorderColor;
        item->FillColor = e.FillColor;
        item->FillStyle = e.FillStyle;
        return item;
    };

    switch (q.kind) {
    case kindLine: {
        const auto e = Lines.Item(q.index);
        auto item = std::make_shared<clsLineAttributes>();
        item->X1 = e->X1 + lm;
        item->X2 = e->X2 + lm;
        item->Y1 = p.a;
        item->Y2 = p.b;
        item->Size = pixelWidth(e->Size, m_layout.pixelsPerMM);
        item->Color = e->Color;
        return item;
    }
    case kindRectangle:
        return framed(*Rectangles.Item(q.index), std::make_shared<clsRectangleAttributes>());
    case kindLabel: {
        const clsLabelAttributes e = Labels.value(q.index);
        auto item = std::make_shared<clsLabelAttributes>();
        copyCaption(*item, e);
        item->FontSize = e.FontSize;
        item->FontBold = e.FontBold;
        item->FontStrikethru = e.FontStrikethru;
        return framed(e, item);
    }
    case kindLabelEx: {
        const clsLabelExAttributes e = LabelsEx.value(q.index);
        auto item = std::make_shared<clsLabelExAttributes>();
        copyCaption(*item, e);
        item->CharHeight = e.CharHeight * m_layout.pixelsPerPoint;
        item->CharWidth = e.CharWidth * m_layout.pixelsPerPoint;
        item->Angle = e.Angle;
        item->CharWeight = e.CharWeight;
        item->FontStrikeOut = e.FontStrikeOut;
        return framed(e, item);
    }
    case kindImage: {
        const auto e = Images.Item(q.index);
        auto item = std::make_shared<clsImageAttributes>();
        item->Image = e->Image;
        item->Left = e->Left + lm;
        item->Top = p.a;
        item->Width = e->Width;
        item->Height = e->Height;
        return item;
    }
    case kindPoints: {
        const auto e = Points.Item(q.index);
        auto item = std::make_shared<clsPointAttributes>();
        item->PointArray = e->PointArray;
        for (int k = 1; k <= item->PointArray.UBound2(); ++k) {
            item->PointArray(1, k) += lm;
            item->PointArray(2, k) += p.a;
        }
        item->Size = pixelWidth(e->Size, m_layout.pixelsPerMM);
        item->Color = e->Color;
        return item;
    }
    case kindTable: {
        const auto src = Tables.Item(q.index);
        const clsTableAttributes& e = *src;
        const TableBlock& block = m_tableBlocks[p.block];
        const bool T = e.FirstRowIsTitle;
        const int n = e.Columns.Count();
        const int rows = block.last - block.first + 1 + (T ? 1 : 0);
        auto item = std::make_shared<clsTableAttributes>();
        item->TextArray = TextArray(n, rows);
        int out = 1;
        if (T) {
            for (int c = 1; c <= n; ++c)
                item->TextArray(c, 1) = e.TextArray(c, 1);
            out = 2;
        }
        for (int row = block.first; row <= block.last; ++row, ++out)
            for (int c = 1; c <= n; ++c)
                item->TextArray(c, out) = e.TextArray(c, row);
        item->Left = e.Left + lm;
        item->Top = p.a;
        item->TotalColumns = block.totalColumns;
        item->BorderWidth = pixelWidth(e.BorderWidth, m_layout.pixelsPerMM);
        for (int c = 1; c <= n - 1; ++c) {
            const auto& col = e.Columns.Item(c);
            item->Columns.Add(col.ColumnWidth, col.TitleAlign, col.BodyAlign);
        }
        item->Columns.Add(0, 0, 0);
        item->FirstRowIsTitle = e.FirstRowIsTitle;
        item->TitleHeight = e.TitleHeight;
        item->TitleForeColor = e.TitleForeColor;
        item->TitleFontName = e.TitleFontName;
        item->TitleFontSize = e.TitleFontSize;
        item->TitleFontBold = e.TitleFontBold;
        item->TitleFontItalic = e.TitleFontItalic;
        item->TitleFontUnderline = e.TitleFontUnderline;
        item->TitleFontStrikethru = e.TitleFontStrikethru;
        item->TitleWordWrap = e.TitleWordWrap;
        item->BodyHeight = e.BodyHeight;
        item->BodyForeColor = e.BodyForeColor;
        item->BodyFontName = e.BodyFontName;
        item->BodyFontSize = e.BodyFontSize;
        item->BodyFontBold = e.BodyFontBold;
        item->BodyFontItalic = e.BodyFontItalic;
        item->BodyFontUnderline = e.BodyFontUnderline;
        item->BodyFontStrikethru = e.BodyFontStrikethru;
        item->BodyWordWrap = e.BodyWordWrap;
        item->ColumnSpacing = e.ColumnSpacing;
        item->CellSpacing = e.CellSpacing;
        item->BorderColor = e.BorderColor;
        return item;
    }
    default: return nullptr;
    }
}

} // namespace printlib
