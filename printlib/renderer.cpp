// The page renderer: draws one laid-out page with its repeated elements and
// the margin masks on a target (printer or preview picture).
#include "printlib/clsPrint.h"

#include "platform/print/drawtarget.h"

#include <cmath>

namespace printlib {

namespace {

using platform::DrawTarget;
using platform::DT_WORDBREAK;

// Rounds up (the absolute value of the floor of the negated value).
int ceilWidth(double w) { return int(std::abs(std::floor(-w))); }

// Nearest whole number, halves to even.
int roundEven(double v) { return int(std::nearbyint(v)); }

struct Frame {
    DrawTarget& t;
    double z;
    double originX;  // of the elements drawn in this frame
    double originY;
    bool repeated;   // widths in tenths of a mm (repeated) or pixels (laid out)
    int page;

    double x(double mm) const { return z * mm + originX; }
    double y(double mm) const { return z * mm + originY; }
    int width(double w) const
    {
        return repeated ? ceilWidth(w / 10.0 * double(PixelsPerMM) * z) : ceilWidth(w * z);
    }
};

QRect textRect(const Frame& f, double L, double T, double R, double B, double cs)
{
    const DrawTarget& t = f.t;
    const int left = roundEven(t.ScaleX(L + cs, platform::vbMillimeters, platform::vbPixels));
    const int top = roundEven(t.ScaleY(T + cs, platform::vbMillimeters, platform::vbPixels));
    const int right = roundEven(t.ScaleX(R - cs, platform::vbMillimeters, platform::vbPixels));
    const int bottom = roundEven(t.ScaleY(B - cs, platform::vbMillimeters, platform::vbPixels));
    // The old rectangle's right and bottom edges are exclusive.
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

void drawTextInRect(DrawTarget& t, const QString& text, QRect rect, unsigned flags,
                    const platform::LogFont* font = nullptr)
{
    t.DrawText(text, rect, flags, font);
}

QString withPage(const QString& caption, int page)
{
    QString out = caption;
    return out.replace(QStringLiteral("&[Page]"), QString::number(page), Qt::CaseSensitive);
}

void drawPoints(const Frame& f, const clsPointAttributes& e)
{
    if (!f.repeated)
        f.t.DrawStyle = platform::vbSolid;
    f.t.DrawWidth = f.width(e.Size);
    for (int j = 1; j <= e.PointArray.UBound2(); ++j)
        f.t.PSet(f.x(e.PointArray(1, j)), f.y(e.PointArray(2, j)), e.Color);
}

void drawLine(const Frame& f, const clsLineAttributes& e)
{
    if (!f.repeated)
        f.t.DrawStyle = platform::vbSolid;
    f.t.DrawWidth = f.width(e.Size);
    f.t.Line(f.x(e.X1), f.y(e.Y1), f.x(e.X2), f.y(e.Y2), e.Color);
}

void drawRectangle(const Frame& f, const clsRectangleAttributes& e)
{
    if (!f.repeated)
        f.t.DrawStyle = platform::vbSolid;
    f.t.DrawWidth = f.width(e.BorderWidth);
    f.t.FillStyle = e.FillStyle;
    f.t.FillColor = e.FillColor;
    f.t.Box(f.x(e.Left), f.y(e.Top), f.x(e.Right), f.y(e.Bottom), e.BorderColor);
}

void drawImage(const Frame& f, const clsImageAttributes& e)
{
    const double h = e.Height ? double(*e.Height) : pictureHeightHimetric(e.Image) / 100.0;
    const double w = e.Width ? double(*e.Width) : pictureWidthHimetric(e.Image) / 100.0;
    f.t.PaintPicture(e.Image, f.x(e.Left), f.y(e.Top), f.z * w, f.z * h);
}

// The frame and fill of a label: only when the converted width is above 0.
template <class Label>
void drawLabelBox(const Frame& f, const Label& e)
{
    const int b = f.width(e.BorderWidth);
    if (b <= 0)
        return;
    if (!f.repeated)
        f.t.DrawStyle = platform::vbSolid;
    f.t.DrawWidth = b;
    f.t.FillStyle = e.FillStyle;
    f.t.FillColor = e.FillColor;
    f.t.Box(f.x(e.Left), f.y(e.Top), f.x(e.Right), f.y(e.Bottom), e.BorderColor);
}

void drawLabel(const Frame& f, const clsLabelAttributes& e)
{
    DrawTarget& t = f.t;
    unsigned flags = unsigned(e.Align);
    if (f.repeated && e.WordWrap)
        flags |= DT_WORDBREAK;
    drawLabelBox(f, e);
    t.FontBold = e.FontBold;
    t.FontItalic = e.FontItalic;
    t.FontName = e.FontName;
    t.FontSize = f.z * e.FontSize;
    t.FontStrikethru = e.FontStrikethru;
    t.FontUnderline = e.FontUnderline;
    t.ForeColor = e.ForeColor;
    const QString caption = f.repeated ? withPage(e.Caption, f.page) : e.Caption;
    const double cs = f.z * e.CellSpacing;
    drawTextInRect(t, caption, textRect(f, f.x(e.Left), f.y(e.Top), f.x(e.Right), f.y(e.Bottom), cs), flags);
}

void drawLabelEx(const Frame& f, const clsLabelExAttributes& e)
{
    DrawTarget& t = f.t;
    unsigned flags = unsigned(e.Align);
    if (f.repeated && e.WordWrap)
        flags |= DT_WORDBREAK;
    // The face name field holds 31 characters and its terminating zero.
    if (e.FontName.toLocal8Bit().size() + 1 > 32)
        throw LibError::subscript();
    platform::LogFont lf;
    const double scale = f.repeated ? double(PixelsPerPoint) * f.z : f.z;
    lf.height = roundEven(e.CharHeight * scale);
    lf.width = roundEven(e.CharWidth * scale);
    lf.escapement = e.Angle;
    lf.weight = e.CharWeight;
    lf.italic = e.FontItalic;
    lf.underline = e.FontUnderline;
    lf.strikeOut = e.FontStrikeOut;
    lf.faceName = e.FontName;
    t.ForeColor = e.ForeColor;
    drawLabelBox(f, e);
    const QString caption = f.repeated ? withPage(e.Caption, f.page) : e.Caption;
    const double cs = f.z * e.CellSpacing;
    drawTextInRect(t, caption, textRect(f, f.x(e.Left), f.y(e.Top), f.x(e.Right), f.y(e.Bottom), cs), flags, &lf);
}

// The format group of cell c in a split format text: applies only when it
// exists and names column c.
struct CellFormat {
    bool applies = false;
    int fillStyle = 0;
    std::uint32_t fillColor = 0;
    std::uint32_t outline = 0;
};

// A value read as a leading decimal number: blanks skipped, reading stops at
// the first character that cannot continue it, nothing readable is 0.
double leadingNumber(const QString& text)
{
    QString s = text;
    s.remove(QLatin1Char(' '));
    int i = 0;
    const int n = int(s.size());
    if (i < n && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+')))
        ++i;
    while (i < n && s[i].isDigit())
        ++i;
    if (i < n && s[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && s[i].isDigit())
            ++i;
    }
    bool ok = false;
    const double v = s.left(i).toDouble(&ok);
    return ok ? v : 0;
}

CellFormat cellFormat(const QStringList& parts, int c)
{
    CellFormat f;
    const int start = 4 * (c - 1);
    if (start >= parts.size())
        return f;
    if (int(leadingNumber(parts[start])) != c)
        return f;
    if (start + 3 >= parts.size())
        throw LibError::subscript();
    f.applies = true;
    f.fillStyle = int(leadingNumber(parts[start + 1]));
    f.fillColor = std::uint32_t(qint64(leadingNumber(parts[start + 2])));
    f.outline = std::uint32_t(qint64(leadingNumber(parts[start + 3])));
    return f;
}

void drawCell(const Frame& f, double left, double right, double y, double h, const QString& text, unsigned flags,
              const QStringList& format, int c, double cs)
{
    DrawTarget& t = f.t;
    const CellFormat fmt = cellFormat(format, c);
    if (fmt.applies) {
        t.FillStyle = fmt.fillStyle;
        t.FillColor = fmt.fillColor;
        t.Box(left, y, right, y + h, fmt.outline);
    }
    drawTextInRect(t, text, textRect(f, left, y, right, y + h, cs), flags);
}

void drawTable(const Frame& f, const clsTableAttributes& e)
{
    DrawTarget& t = f.t;
    const TextArray& ta = e.TextArray;
    const int n = e.Columns.Count() - 1;
    const int ub = ta.UBound2();
    const int TC = e.TotalColumns;
    if (TC < 1)
        throw LibError(5, QStringLiteral("TotalColumns must be at least 1"));
    std::vector<double> w(size_t(n) + 1, 0);
    double W = 0;
    for (int c = 1; c <= n; ++c) {
        w[size_t(c)] = f.z * e.Columns.Item(c).ColumnWidth;
        W += w[size_t(c)];
    }
    const double cs = f.z * e.CellSpacing;
    const double gap = f.z * e.ColumnSpacing;
    const double th = f.z * e.TitleHeight;
    const double bh = f.z * e.BodyHeight;
    const double top = f.y(e.Top);
    const int bw = f.width(e.BorderWidth);
    const std::uint32_t color = e.BorderColor;
    auto X = [&](int j) { return f.x(e.Left) + (j - 1) * (W + gap); };
    auto colLeft = [&](int j, int c) {
        double x = X(j);
        for (int k = 1; k < c; ++k)
            x += w[size_t(k)];
        return x;
    };

    if (bw < 1) {
        t.DrawStyle = platform::vbInvisible;
    } else {
        t.DrawStyle = platform::vbSolid;
        t.DrawWidth = bw;
    }

    if (e.FirstRowIsTitle) {
        for (int j = 1; j <= TC; ++j) {
            t.Line(X(j), top, X(j) + W, top, color);
            const QStringList format = ta(n + 1, 1).split(QLatin1Char(','));
            for (int c = 1; c <= n; ++c) {
                unsigned flags = unsigned(e.Columns.Item(c).TitleAlign);
                if (e.TitleWordWrap)
                    flags |= DT_WORDBREAK;
                t.FontBold = e.TitleFontBold;
                t.FontItalic = e.TitleFontItalic;
                t.FontName = e.TitleFontName;
                t.FontSize = f.z * e.TitleFontSize;
                t.FontStrikethru = e.TitleFontStrikethru;
                t.FontUnderline = e.TitleFontUnderline;
                t.ForeColor = e.TitleForeColor;
                drawCell(f, colLeft(j, c), colLeft(j, c) + w[size_t(c)], top, th, ta(c, 1), flags, format, c, cs);
            }
        }
    }

    const int lb = 1;
    const int firstBody = e.FirstRowIsTitle ? lb + 1 : lb;
    const int B = ub - firstBody + 1;
    const int R = B > 0 ? int(std::abs(std::floor(-double(B) / TC))) : 0;
    const double y0 = e.FirstRowIsTitle ? top + th : top;
    int cursor = firstBody - 1;
    for (int j = 1; j <= TC; ++j) {
        const int first = cursor + 1;
        if (first > ub)
            break;
        cursor += R;
        const int last = std::min(cursor, ub);
        for (int c = 1; c <= n; ++c) {
            unsigned flags = unsigned(e.Columns.Item(c).BodyAlign);
            if (e.BodyWordWrap)
                flags |= DT_WORDBREAK;
            t.FontBold = e.BodyFontBold;
            t.FontItalic = e.BodyFontItalic;
            t.FontName = e.BodyFontName;
            t.FontSize = f.z * e.BodyFontSize;
            t.FontStrikethru = e.BodyFontStrikethru;
            t.FontUnderline = e.BodyFontUnderline;
            t.ForeColor = e.BodyForeColor;
            const double left = colLeft(j, c);
            const double right = left + w[size_t(c)];
            for (int i = first; i <= last; ++i) {
                const double y = y0 + (i - first) * bh;
                const QStringList format = ta(n + 1, i).split(QLatin1Char(','));
                drawCell(f, left, right, y, bh, ta(c, i), flags, format, c, cs);
                if (c == 1)
                    t.Line(X(j), y, X(j) + W, y, color);
            }
            const double yb = y0 + (last - first + 1) * bh;
            if (c == 1)
                t.Line(X(j), yb, X(j) + W, yb, color);
            t.Line(left, top, left, yb, color);
            if (c == n)
                t.Line(right, top, right, yb, color);
        }
    }
}

void drawElement(const Frame& f, const clsElement& e)
{
    switch (e.kind()) {
    case kindPoints: drawPoints(f, static_cast<const clsPointAttributes&>(e)); break;
    case kindLine: drawLine(f, static_cast<const clsLineAttributes&>(e)); break;
    case kindRectangle: drawRectangle(f, static_cast<const clsRectangleAttributes&>(e)); break;
    case kindImage: drawImage(f, static_cast<const clsImageAttributes&>(e)); break;
    case kindLabel: drawLabel(f, static_cast<const clsLabelAttributes&>(e)); break;
    case kindLabelEx: drawLabelEx(f, static_cast<const clsLabelExAttributes&>(e)); break;
    case kindTable:
        if (!f.repeated)
            drawTable(f, static_cast<const clsTableAttributes&>(e));
        break;
    default: break;
    }
}

} // namespace

void clsPrint::DrawPage(platform::DrawTarget& target, int page, float zoom, int offX, int offY) const
{
    target.Print();
    const double z = zoom;
    const double ox = offX;
    const double oy = offY;
    target.DrawStyle = platform::vbSolid;

    const Frame repeated{target, z, z * m_leftMargin + z * ox, z * oy, true, page};
    const int repeats = Repeats.Count();
    for (int i = 1; i <= repeats; ++i)
        drawElement(repeated, *Repeats.Item(i));

    const Page items = PageItems(page); // error 9 for a page that does not exist
    const Frame laidOut{target, z, z * ox, z * oy, false, page};
    for (const auto& item : items)
        drawElement(laidOut, *item);

    // White masks over the left and right margins, from above the top edge
    // down to the bottom of the printable area. Each stops one device pixel
    // short of its margin line: a frame drawn on the margin lines is one
    // pixel wide at the preview's small zooms and would vanish under them.
    // The right mask reaches one pixel past the printable area, so nothing
    // that runs off the right shows in its last pixel column.
    target.DrawStyle = platform::vbInvisible;
    const std::uint32_t white = 0xFFFFFF;
    const double pixel = target.ScaleX(1, platform::vbPixels, platform::vbMillimeters);
    target.BoxFilled(-1, -1, z * m_leftMargin + z * ox - pixel, z * m_printableHeight + z * oy, white);
    target.BoxFilled(z * m_printableWidth - z * m_rightMargin + z * ox + pixel, -1,
                     z * m_printableWidth + 2 * z * ox + pixel, z * m_printableHeight + z * oy, white);
}

void DrawPage(platform::DrawTarget& target, int page, float zoom, int offX, int offY)
{
    if (!Job)
        throw LibError(91, QStringLiteral("Object variable or With block variable not set"));
    Job->DrawPage(target, page, zoom, offX, offY);
}

} // namespace printlib
