// Window shapes and effects: a skin taken from a picture, the tile dissolve
// and the centred rectangle that show or hide a window, topmost placement and
// whole-window transparency. A window's shape is its mask (pixels relative to
// its top-left corner); transparency is its opacity. Also the window system's
// caption animation: a title bar that flies from one screen rectangle to
// another as a window opens or closes.
#pragma once

#include <QImage>
#include <QRegion>

#include <vector>

class QWidget;

namespace printlib {

class clsWndEffects {
public:
    // Shapes the window after the picture: every pixel that differs from the
    // colour of pixel (0, 0) stays visible. A picture of only that colour
    // gives no shape, which removes any shape from the window.
    void SetWndRgn(QWidget* hWnd, const QImage& picSkin);
    // Tile dissolve: wCount x hCount tiles grow (ShowOrHide 0) or shrink
    // (1) by Step_ pixels a frame. LibError 5 for a ShowOrHide other than 0
    // or 1, or a Step_ of 0, before any frame.
    void HideOrShowRect(QWidget* hWnd, int wCount, int hCount, int ShowOrHide = 1, int Step_ = 3);
    void GetWindowOnTop(QWidget* hWnd);
    // A rectangle centred on the window grows (0) or shrinks (1) by Step_.
    void HideOrShowRect2(QWidget* hWnd, int ShowOrHide = 1, int Step_ = 3);
    // Forgets the last shape made; 1 when there was one, else 0.
    int DeleteObj();
    // 0 invisible .. 255 opaque; a null window is ignored.
    void MakeTransparent(QWidget* hWnd, unsigned char TransparencyLevel);

    // The caption animation: a title bar carrying `title` flies from the
    // screen rectangle `from` to `to` (an empty rectangle at (0, 0) is the
    // corner the bar shrinks into or grows out of) in kCaptionFrames steps
    // of kCaptionFrameMs, letting pending events run between frames. Nothing
    // of it stays on screen afterwards, and no window is touched. Where no
    // one can see it (a headless run) the frames are drawn without waiting.
    static void AnimateCaption(const QRect& from, const QRect& to, const QString& title = QString());
    static constexpr int kCaptionFrames = 12;
    static constexpr int kCaptionFrameMs = 15;
    // The bar's screen rectangle in each frame: the top strip (at most
    // captionHeight high) of the rectangle between `from` and `to`: the first
    // frame is `from`'s, the last `to`'s.
    static std::vector<QRect> captionFrames(const QRect& from, const QRect& to, int captionHeight,
                                            int frames = kCaptionFrames);

    // The shape last made (by any of the three shaping operations).
    QRegion lastRegion() const { return m_region; }

    // Pure parts, for the windows and for tests.
    static QRegion RegionFromPicture(const QImage& picture);
    // Sizes of the frames: 0, s, 2s ... up to full (show) or full, full - s
    // ... down to 0 (hide); s = |Step_|.
    static std::vector<int> frameSizes(int full, int ShowOrHide, int Step_);
    // One frame of the tile dissolve on a window of the given size.
    static QRegion tileFrame(int windowWidth, int windowHeight, int wCount, int hCount, int w);
    // Tile width and height of the dissolve.
    static QSize tileSize(int windowWidth, int windowHeight, int wCount, int hCount);

private:
    static void checkArguments(int ShowOrHide, int Step_);
    void applyRegion(QWidget* hWnd, const QRegion& region);

    QRegion m_region;
    bool m_hasRegion = false;
};

} // namespace printlib
