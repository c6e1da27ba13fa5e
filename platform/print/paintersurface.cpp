#include "platform/print/paintersurface.h"

#include <QtMath>

namespace platform {

QBrush fillBrush(int fillStyle, const QColor& color, double hatchScale)
{
    Qt::BrushStyle style = Qt::NoBrush;
    switch (fillStyle) {
    case vbFSSolid: style = Qt::SolidPattern; break;
    case vbHorizontalLine: style = Qt::HorPattern; break;
    case vbVerticalLine: style = Qt::VerPattern; break;
    case vbUpwardDiagonal: style = Qt::BDiagPattern; break;
    case vbDownwardDiagonal: style = Qt::FDiagPattern; break;
    case vbCross: style = Qt::CrossPattern; break;
    case vbDiagonalCross: style = Qt::DiagCrossPattern; break;
    default: return QBrush(Qt::NoBrush);
    }
    QBrush brush(color, style);
    if (style != Qt::SolidPattern && hatchScale != 1.0)
        brush.setTransform(QTransform::fromScale(hatchScale, hatchScale));
    return brush;
}

static QPen penOf(const QColor& color, int width)
{
    QPen pen(color);
    pen.setWidthF(qMax(1, width));
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

void PainterSurface::line(const QLineF& px, const QColor& color, int width)
{
    QPen pen = penOf(color, width);
    pen.setCapStyle(Qt::SquareCap);
    m_p->setPen(pen);
    m_p->drawLine(px);
}

void PainterSurface::box(const QRectF& px, const QColor& outline, int width, int fillStyle, const QColor& fill)
{
    QRectF r = px.normalized();
    QBrush brush = fillBrush(fillStyle, fill, m_hatchScale);
    if (brush.style() != Qt::NoBrush)
        m_p->fillRect(r, brush);
    if (outline.isValid()) {
        m_p->setPen(penOf(outline, width));
        m_p->setBrush(Qt::NoBrush);
        m_p->drawRect(r);
    }
}

void PainterSurface::dot(const QPointF& px, const QColor& color, int width)
{
    if (width <= 1) {
        m_p->fillRect(QRectF(px.x() - 0.5, px.y() - 0.5, 1, 1), color);
        return;
    }
    m_p->setPen(Qt::NoPen);
    m_p->setBrush(color);
    m_p->drawEllipse(px, width / 2.0, width / 2.0);
}

void PainterSurface::arc(const QRectF& px, double startAngle, double endAngle, const QColor& color, int width)
{
    m_p->setPen(penOf(color, width));
    m_p->setBrush(Qt::NoBrush);
    double span = endAngle - startAngle;
    if (span <= 0)
        span += 2 * M_PI;
    m_p->drawArc(px, qRound(qRadiansToDegrees(startAngle) * 16), qRound(qRadiansToDegrees(span) * 16));
}

void PainterSurface::text(const QPointF& topLeft, const QString& text, const QFont& font, const QColor& color,
                          int escapement, const QRectF& clip)
{
    m_p->save();
    if (clip.isValid())
        m_p->setClipRect(clip, Qt::IntersectClip);
    m_p->setFont(font);
    m_p->setPen(color);
    QFontMetricsF fm(font);
    m_p->translate(topLeft);
    if (escapement != 0)
        m_p->rotate(-escapement / 10.0);
    m_p->drawText(QPointF(0, fm.ascent()), text);
    m_p->restore();
}

void PainterSurface::picture(const QRectF& px, const QImage& image)
{
    m_p->drawImage(px, image);
}

} // namespace platform
