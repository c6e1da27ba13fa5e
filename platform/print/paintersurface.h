// The surface that draws with a QPainter (printer, PDF, image).
#pragma once

#include "platform/print/drawtarget.h"

#include <QPainter>

namespace platform {

class PainterSurface : public Surface {
public:
    // hatchScale: device pixels per hatch pixel, so hatch spacing stays the
    // same on paper whatever the resolution.
    explicit PainterSurface(QPainter* painter, double hatchScale = 1.0) : m_p(painter), m_hatchScale(hatchScale) {}
    void setPainter(QPainter* painter) { m_p = painter; }
    void line(const QLineF& px, const QColor& color, int width) override;
    void box(const QRectF& px, const QColor& outline, int width, int fillStyle, const QColor& fill) override;
    void dot(const QPointF& px, const QColor& color, int width) override;
    void arc(const QRectF& px, double startAngle, double endAngle, const QColor& color, int width) override;
    void text(const QPointF& topLeft, const QString& text, const QFont& font, const QColor& color, int escapement,
              const QRectF& clip) override;
    void picture(const QRectF& px, const QImage& image) override;

private:
    QPainter* m_p;
    double m_hatchScale;
};

// The brush of a fill style (0 solid, 2..7 hatches); NoBrush for 1.
QBrush fillBrush(int fillStyle, const QColor& color, double hatchScale);

} // namespace platform
