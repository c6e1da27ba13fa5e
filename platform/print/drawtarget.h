// A drawing target with the old printer / picture-box semantics: a scale mode
// (characters, twips, millimetres, pixels), a current position, drawing
// properties (DrawStyle, DrawWidth, FillStyle, FillColor, ForeColor, font) and
// the drawing methods (Line, box, PSet, arcs, pictures, the Print statement,
// text in a rectangle with DrawTextA flags).
//
// The target turns everything into device pixels and hands primitive drawing
// operations to a Surface: a QPainter (printer, PDF, picture) or a recorder
// for tests. Text layout (the DrawTextA flag rules) happens here, once, so the
// recorder sees exactly the lines and positions the painter would draw.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLineF>
#include <QRect>
#include <QRectF>
#include <QString>

#include <cstdint>

class QPainter;

namespace platform {

// Coordinate units of a target. Values are the old ScaleMode numbers.
enum ScaleMode : int {
    vbUser = 0,
    vbTwips = 1,
    vbPoints = 2,
    vbPixels = 3,
    vbCharacters = 4, // a cell is 120 twips wide and 240 twips high
    vbInches = 5,
    vbMillimeters = 6,
    vbCentimeters = 7,
};

// DrawTextA format flags.
enum DrawTextFlags : unsigned {
    DT_TOP = 0x0,
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_EXPANDTABS = 0x40,
    DT_NOCLIP = 0x100,
    DT_CALCRECT = 0x400,
    DT_NOPREFIX = 0x800,
};

// Fill patterns: 0 solid, 1 transparent, 2..7 hatches.
enum FillStyleValue : int {
    vbFSSolid = 0,
    vbFSTransparent = 1,
    vbHorizontalLine = 2,
    vbVerticalLine = 3,
    vbUpwardDiagonal = 4,
    vbDownwardDiagonal = 5,
    vbCross = 6,
    vbDiagonalCross = 7,
};

// DrawStyle: 0 solid outlines, 5 no outline (others are drawn solid).
enum DrawStyleValue : int { vbSolid = 0, vbInvisible = 5 };

// 0x00BBGGRR, red in the low byte.
QColor colorFromOle(std::uint32_t ole);
std::uint32_t oleFromColor(const QColor& c);

// A font described in device pixels, the way a logical-font record does:
// height and average width in pixels (width 0 lets the font choose),
// escapement in tenths of a degree counter-clockwise, weight 0..1000.
struct LogFont {
    int height = 0;
    int width = 0;
    int escapement = 0;
    int weight = 0;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QString faceName;
};

// Primitive operations in device pixels, implemented by each back end.
class Surface {
public:
    virtual ~Surface() = default;
    // A line from a to b; width in whole pixels (at least 1).
    virtual void line(const QLineF& px, const QColor& color, int width) = 0;
    // A box: filled by fillStyle/fill (transparent: not filled), then outlined
    // when outline is valid (an invalid QColor means no outline).
    virtual void box(const QRectF& px, const QColor& outline, int width, int fillStyle, const QColor& fill) = 0;
    // A dot of the given diameter.
    virtual void dot(const QPointF& px, const QColor& color, int width) = 0;
    // An arc of the ellipse in rect from startAngle to endAngle (radians,
    // counter-clockwise from 3 o'clock).
    virtual void arc(const QRectF& px, double startAngle, double endAngle, const QColor& color, int width) = 0;
    // One line of text whose top-left corner is at topLeft, rotated by
    // escapement (tenths of a degree) around that corner; clipped to clip
    // when clip is valid.
    virtual void text(const QPointF& topLeft, const QString& text, const QFont& font, const QColor& color,
                      int escapement, const QRectF& clip) = 0;
    virtual void picture(const QRectF& px, const QImage& image) = 0;
};

class DrawTarget {
public:
    // dpiX/dpiY: device resolution; originPx: device pixel of the target's
    // (0, 0) (the top left of the printable area on a printer).
    DrawTarget(double dpiX = 96, double dpiY = 96);
    virtual ~DrawTarget();

    double dpiX() const { return m_dpiX; }
    double dpiY() const { return m_dpiY; }
    void setResolution(double dpiX, double dpiY) { m_dpiX = dpiX; m_dpiY = dpiY; }

    // --- coordinates
    int ScaleMode() const { return m_scaleMode; }
    void setScaleMode(int mode);
    // Length conversion between scale modes (the old ScaleX/ScaleY); for
    // vbCharacters horizontal is 120 twips a unit, vertical 240.
    double ScaleX(double value, int from, int to) const;
    double ScaleY(double value, int from, int to) const;
    double CurrentX = 0;
    double CurrentY = 0;

    // --- drawing properties
    int DrawStyle = vbSolid;
    int DrawWidth = 1;
    int FillStyle = vbFSTransparent;
    std::uint32_t FillColor = 0;
    std::uint32_t ForeColor = 0;
    QString FontName = QStringLiteral("Arial");
    double FontSize = 10; // points
    bool FontBold = false;
    bool FontItalic = false;
    bool FontUnderline = false;
    bool FontStrikethru = false;

    // --- drawing, in the current scale mode
    void Line(double x1, double y1, double x2, double y2, std::uint32_t color);
    // Line ..., B: outlined (unless DrawStyle 5) and filled with FillStyle/FillColor.
    void Box(double x1, double y1, double x2, double y2, std::uint32_t color);
    // Line ..., BF: filled solidly with color, no separate outline.
    void BoxFilled(double x1, double y1, double x2, double y2, std::uint32_t color);
    void PSet(double x, double y, std::uint32_t color);
    // Circle x, y, radius, color, start, end (radians); a full circle when
    // start == end.
    void Arc(double x, double y, double radius, std::uint32_t color, double start, double end);
    void PaintPicture(const QImage& picture, double x, double y, double width, double height);
    // The Print statement: text at (CurrentX, CurrentY) in the target font;
    // then CurrentY moves down one line and CurrentX returns to 0. With
    // newLine false (Print "x";) CurrentX moves past the text instead.
    void Print(const QString& text = QString(), bool newLine = true);
    double TextWidth(const QString& text) const;  // in the current scale mode
    double TextHeight(const QString& text) const; // in the current scale mode

    // --- text in a pixel rectangle with DrawTextA flags. With font given the
    // text uses that logical font (rotation, stretch), otherwise the target's
    // font and ForeColor. Returns the height of the text in pixels; with
    // DT_CALCRECT nothing is drawn and rect is widened/heightened to fit.
    int DrawText(const QString& text, QRect& rect, unsigned flags, const LogFont* font = nullptr);

    // The target's font at this device's resolution (pixel sized).
    QFont currentFont() const;
    static QFont fontFromLogFont(const LogFont& lf);

protected:
    // The surface drawn on; a printer starts its document here.
    virtual Surface* surface() = 0;
    // Device pixel of the target's (0, 0).
    virtual QPointF originPx() const { return {}; }

    QPointF toPx(double x, double y) const;
    double unitsPerPxX() const;
    double unitsPerPxY() const;

private:
    double m_dpiX;
    double m_dpiY;
    int m_scaleMode = vbTwips;
};

// A target that draws into an image, for the preview's page picture. The
// image is painted on from the first drawing call until finish() or the
// target's destruction.
class ImageTarget : public DrawTarget {
public:
    ImageTarget(QImage* image, double dpiX, double dpiY);
    ~ImageTarget() override;
    ImageTarget(const ImageTarget&) = delete;
    ImageTarget& operator=(const ImageTarget&) = delete;
    void clear(const QColor& color = Qt::white);
    // Ends painting so the image can be shown.
    void finish();

protected:
    Surface* surface() override;

private:
    QImage* m_image;
    QPainter* m_painter = nullptr;
    Surface* m_surface = nullptr;
};

} // namespace platform
