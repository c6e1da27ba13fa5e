#include "platform/print/drawtarget.h"

#include "platform/print/paintersurface.h"
#include "platform/print/printer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QRegularExpression>
#include <QtMath>

namespace platform {

QColor colorFromOle(std::uint32_t ole)
{
    return QColor(int(ole & 0xFF), int((ole >> 8) & 0xFF), int((ole >> 16) & 0xFF));
}

std::uint32_t oleFromColor(const QColor& c)
{
    return std::uint32_t(c.red()) | (std::uint32_t(c.green()) << 8) | (std::uint32_t(c.blue()) << 16);
}

DrawTarget::DrawTarget(double dpiX, double dpiY) : m_dpiX(dpiX), m_dpiY(dpiY)
{
    registerFontSubstitutions();
}

DrawTarget::~DrawTarget() = default;

void DrawTarget::setScaleMode(int mode)
{
    m_scaleMode = mode;
    CurrentX = 0;
    CurrentY = 0;
}

// Units of a scale mode per inch; horizontal and vertical differ only for
// characters (a cell is 120 twips wide and 240 high).
static double unitsPerInch(int mode, bool horizontal, double dpi)
{
    switch (mode) {
    case vbTwips: return 1440.0;
    case vbPoints: return 72.0;
    case vbPixels: return dpi;
    case vbCharacters: return horizontal ? 1440.0 / 120.0 : 1440.0 / 240.0;
    case vbInches: return 1.0;
    case vbMillimeters: return 25.4;
    case vbCentimeters: return 2.54;
    default: return 1440.0;
    }
}

double DrawTarget::ScaleX(double value, int from, int to) const
{
    return value / unitsPerInch(from, true, m_dpiX) * unitsPerInch(to, true, m_dpiX);
}

double DrawTarget::ScaleY(double value, int from, int to) const
{
    return value / unitsPerInch(from, false, m_dpiY) * unitsPerInch(to, false, m_dpiY);
}

double DrawTarget::unitsPerPxX() const { return unitsPerInch(m_scaleMode, true, m_dpiX) / m_dpiX; }
double DrawTarget::unitsPerPxY() const { return unitsPerInch(m_scaleMode, false, m_dpiY) / m_dpiY; }

QPointF DrawTarget::toPx(double x, double y) const
{
    return QPointF(x / unitsPerPxX(), y / unitsPerPxY()) + originPx();
}

static int penWidth(int drawWidth) { return drawWidth < 1 ? 1 : drawWidth; }

void DrawTarget::Line(double x1, double y1, double x2, double y2, std::uint32_t color)
{
    Surface* s = surface();
    if (DrawStyle != vbInvisible)
        s->line(QLineF(toPx(x1, y1), toPx(x2, y2)), colorFromOle(color), penWidth(DrawWidth));
    CurrentX = x2;
    CurrentY = y2;
}

void DrawTarget::Box(double x1, double y1, double x2, double y2, std::uint32_t color)
{
    Surface* s = surface();
    QColor outline = DrawStyle == vbInvisible ? QColor() : colorFromOle(color);
    s->box(QRectF(toPx(x1, y1), toPx(x2, y2)).normalized(), outline, penWidth(DrawWidth), FillStyle,
           colorFromOle(FillColor));
    CurrentX = x2;
    CurrentY = y2;
}

void DrawTarget::BoxFilled(double x1, double y1, double x2, double y2, std::uint32_t color)
{
    Surface* s = surface();
    s->box(QRectF(toPx(x1, y1), toPx(x2, y2)).normalized(), QColor(), 0, vbFSSolid, colorFromOle(color));
    CurrentX = x2;
    CurrentY = y2;
}

void DrawTarget::PSet(double x, double y, std::uint32_t color)
{
    surface()->dot(toPx(x, y), colorFromOle(color), penWidth(DrawWidth));
    CurrentX = x;
    CurrentY = y;
}

void DrawTarget::Arc(double x, double y, double radius, std::uint32_t color, double start, double end)
{
    QPointF c = toPx(x, y);
    // The radius is measured along the horizontal axis.
    double rx = radius / unitsPerPxX();
    double ry = rx * m_dpiY / m_dpiX;
    double s = std::abs(start);
    double e = std::abs(end);
    if (s == e) {
        s = 0;
        e = 2 * M_PI;
    }
    surface()->arc(QRectF(c.x() - rx, c.y() - ry, 2 * rx, 2 * ry), s, e, colorFromOle(color), penWidth(DrawWidth));
    CurrentX = x;
    CurrentY = y;
}

void DrawTarget::PaintPicture(const QImage& picture, double x, double y, double width, double height)
{
    surface()->picture(QRectF(toPx(x, y), toPx(x + width, y + height)), picture);
}

QFont DrawTarget::currentFont() const
{
    QFont f(FontName);
    f.setPixelSize(qMax(1, qRound(FontSize * m_dpiY / 72.0)));
    f.setBold(FontBold);
    f.setItalic(FontItalic);
    f.setUnderline(FontUnderline);
    f.setStrikeOut(FontStrikethru);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    return f;
}

QFont DrawTarget::fontFromLogFont(const LogFont& lf)
{
    QFont f(lf.faceName.isEmpty() ? QStringLiteral("Arial") : lf.faceName);
    // A negative height is the em height; a positive one the character cell
    // (ascent plus descent); 0 the font's default size (12 points at 96 dpi).
    if (lf.height > 0) {
        QFont probe(f);
        probe.setPixelSize(1000);
        probe.setHintingPreference(QFont::PreferNoHinting);
        const double cell = QFontMetricsF(probe).height();
        f.setPixelSize(qMax(1, qRound(lf.height * 1000.0 / cell)));
    } else {
        f.setPixelSize(qMax(1, lf.height == 0 ? 16 : -lf.height));
    }
    if (lf.weight > 0)
        f.setWeight(QFont::Weight(qBound(1, lf.weight, 1000)));
    f.setItalic(lf.italic);
    f.setUnderline(lf.underline);
    f.setStrikeOut(lf.strikeOut);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    if (lf.width > 0) {
        QFontMetricsF fm(f);
        double natural = fm.averageCharWidth();
        if (natural > 0)
            f.setStretch(qBound(1, qRound(lf.width / natural * 100.0), 4000));
    }
    return f;
}

void DrawTarget::Print(const QString& text, bool newLine)
{
    QFont font = currentFont();
    QFontMetricsF fm(font);
    if (!text.isEmpty())
        surface()->text(toPx(CurrentX, CurrentY), text, font, colorFromOle(ForeColor), 0, QRectF());
    else
        surface(); // an empty line still starts the document
    if (newLine) {
        CurrentX = 0;
        CurrentY += fm.height() * unitsPerPxY();
    } else {
        CurrentX += fm.horizontalAdvance(text) * unitsPerPxX();
    }
}

double DrawTarget::TextWidth(const QString& text) const
{
    QFontMetricsF fm(currentFont());
    double widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = qMax(widest, fm.horizontalAdvance(line));
    return widest * unitsPerPxX();
}

double DrawTarget::TextHeight(const QString& text) const
{
    QFontMetricsF fm(currentFont());
    int lines = text.isEmpty() ? 1 : int(text.count(QLatin1Char('\n'))) + 1;
    return lines * fm.height() * unitsPerPxY();
}

// Breaks one paragraph at spaces so that every line fits width; a word wider
// than width stays alone on its line.
static QStringList wrapParagraph(const QString& para, double width, const QFontMetricsF& fm)
{
    QStringList lines;
    if (para.isEmpty()) {
        lines << QString();
        return lines;
    }
    QString current;
    int i = 0;
    const int n = int(para.size());
    while (i < n) {
        int j = i;
        while (j < n && para[j] != QLatin1Char(' '))
            ++j;
        int k = j;
        while (k < n && para[k] == QLatin1Char(' '))
            ++k;
        QString word = para.mid(i, j - i);
        QString candidate = current.isEmpty() ? word : current + word;
        if (!current.isEmpty() && fm.horizontalAdvance(candidate) > width + 1e-6) {
            // Trailing blanks of a broken line are dropped.
            while (current.endsWith(QLatin1Char(' ')))
                current.chop(1);
            lines << current;
            current = word;
        } else {
            current = candidate;
        }
        current += para.mid(j, k - j);
        i = k;
    }
    while (current.endsWith(QLatin1Char(' ')) && current.trimmed().size() > 0)
        current.chop(1);
    lines << current;
    return lines;
}

int DrawTarget::DrawText(const QString& text, QRect& rect, unsigned flags, const LogFont* logFont)
{
    const QFont font = logFont ? fontFromLogFont(*logFont) : currentFont();
    const QFontMetricsF fm(font);
    const double lineHeight = fm.height();
    const int escapement = logFont ? logFont->escapement : 0;

    QStringList lines;
    if (flags & DT_SINGLELINE) {
        QString one = text;
        one.remove(QLatin1Char('\r'));
        one.remove(QLatin1Char('\n'));
        lines << one;
    } else {
        static const QRegularExpression breaks(QStringLiteral("\r\n|\n|\r"));
        const QStringList paras = text.split(breaks);
        for (const QString& p : paras) {
            if (flags & DT_WORDBREAK)
                lines << wrapParagraph(p, rect.width(), fm);
            else
                lines << p;
        }
    }

    const double height = lines.size() * lineHeight;
    if (flags & DT_CALCRECT) {
        double widest = 0;
        for (const QString& l : lines)
            widest = qMax(widest, fm.horizontalAdvance(l));
        if (!(flags & DT_WORDBREAK) || widest > rect.width())
            rect.setRight(rect.left() + qCeil(widest) - 1);
        rect.setBottom(rect.top() + qCeil(height) - 1);
        return qCeil(height);
    }

    double y = rect.top();
    if (flags & DT_SINGLELINE) {
        // Qt's QRect bottom is inclusive; the old rectangle's is exclusive.
        const double rh = rect.height();
        if (flags & DT_BOTTOM)
            y = rect.top() + rh - lineHeight;
        else if (flags & DT_VCENTER)
            y = rect.top() + (rh - lineHeight) / 2.0;
    }
    const QRectF clip = (flags & DT_NOCLIP) ? QRectF() : QRectF(rect.left(), rect.top(), rect.width(), rect.height());
    const QColor color = colorFromOle(ForeColor);
    Surface* s = surface();
    const double angle = qDegreesToRadians(escapement / 10.0);
    for (int i = 0; i < lines.size(); ++i) {
        const QString& l = lines[i];
        double lineY = y + i * lineHeight;
        if (!l.isEmpty()) {
            double w = fm.horizontalAdvance(l);
            double x = rect.left();
            if (flags & DT_CENTER)
                x = rect.left() + (rect.width() - w) / 2.0;
            else if (flags & DT_RIGHT)
                x = rect.left() + rect.width() - w;
            QPointF at(x, lineY);
            if (escapement != 0 && i > 0) {
                // Later lines of rotated text step perpendicular to the
                // text direction, from the first line's start.
                const double d = i * lineHeight;
                at = QPointF(rect.left() + d * std::sin(angle), y + d * std::cos(angle));
            }
            s->text(at + originPx(), l, font, color, escapement, clip.isValid() ? clip.translated(originPx()) : clip);
        }
    }
    return qCeil(height);
}

// ---------------------------------------------------------------- ImageTarget

ImageTarget::ImageTarget(QImage* image, double dpiX, double dpiY) : DrawTarget(dpiX, dpiY), m_image(image) {}

ImageTarget::~ImageTarget()
{
    finish();
}

void ImageTarget::clear(const QColor& color)
{
    finish();
    m_image->fill(color);
}

void ImageTarget::finish()
{
    delete m_surface;
    m_surface = nullptr;
    if (m_painter) {
        m_painter->end();
        delete m_painter;
        m_painter = nullptr;
    }
}

Surface* ImageTarget::surface()
{
    if (!m_surface) {
        m_painter = new QPainter(m_image);
        m_painter->setRenderHint(QPainter::Antialiasing, false);
        m_painter->setRenderHint(QPainter::TextAntialiasing, true);
        m_surface = new PainterSurface(m_painter, dpiX() / 96.0);
    }
    return m_surface;
}

} // namespace platform
