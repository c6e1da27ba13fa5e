#include "printlib/clsWndEffects.h"

#include "printlib/liberror.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QThread>
#include <QWidget>

#include <cmath>
#include <cstdlib>

namespace printlib {

namespace {
// Pause between frames; pending events run after each frame, so the rest of
// the program stays responsive while a window dissolves.
void nextFrame()
{
    QThread::msleep(10);
    QApplication::processEvents();
}

int roundHalfEven(double v)
{
    return int(std::nearbyint(v));
}

// Whether anyone can see a window: a headless platform shows nothing, so an
// animation there need not wait for eyes to follow it.
bool screenIsWatched()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

// The flying title bar: a borderless bar above every window that takes no
// input and no focus, painted as an active caption.
class CaptionBar : public QWidget {
public:
    explicit CaptionBar(const QString& title)
        : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                               | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus),
          m_title(title)
    {
        setObjectName(QStringLiteral("captionAnimation"));
        setAttribute(Qt::WA_ShowWithoutActivating);
        QFont f = font();
        f.setBold(true);
        setFont(f);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        QLinearGradient fill(0, 0, width(), 0);
        fill.setColorAt(0, QColor(0, 0, 128));    // the active caption's two colours
        fill.setColorAt(1, QColor(16, 132, 208));
        p.fillRect(rect(), fill);
        p.setPen(Qt::white);
        p.drawText(rect().adjusted(4, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft,
                   p.fontMetrics().elidedText(m_title, Qt::ElideRight, qMax(0, width() - 6)));
    }

private:
    QString m_title;
};
} // namespace

void clsWndEffects::checkArguments(int ShowOrHide, int Step_)
{
    if (ShowOrHide != 0 && ShowOrHide != 1)
        throw LibError(5, QStringLiteral("ShowOrHide argument must be 0 or 1"));
    // A step of 0 would never reach the last frame.
    if (Step_ == 0)
        throw LibError(5, QStringLiteral("Step_ argument must not be 0"));
}

std::vector<int> clsWndEffects::frameSizes(int full, int ShowOrHide, int Step_)
{
    checkArguments(ShowOrHide, Step_);
    const int s = std::abs(Step_);
    std::vector<int> out;
    if (ShowOrHide == 0) {
        for (int w = 0; w <= full; w += s)
            out.push_back(w);
    } else {
        for (int w = full; w >= 0; w -= s)
            out.push_back(w);
    }
    return out;
}

QSize clsWndEffects::tileSize(int windowWidth, int windowHeight, int wCount, int hCount)
{
    return {windowWidth / wCount + 1, windowHeight / hCount + 1};
}

QRegion clsWndEffects::tileFrame(int windowWidth, int windowHeight, int wCount, int hCount, int w)
{
    const QSize tile = tileSize(windowWidth, windowHeight, wCount, hCount);
    const float ratio = float(tile.width()) / float(tile.height());
    const int h = roundHalfEven(w / ratio);
    QRegion region;
    if (w <= 0 || h <= 0)
        return region;
    for (int i = 1; i <= hCount; ++i)
        for (int j = 1; j <= wCount; ++j)
            region += QRect((j - 1) * tile.width(), (i - 1) * tile.height(), w, h);
    return region;
}

QRegion clsWndEffects::RegionFromPicture(const QImage& picture)
{
    QRegion region;
    if (picture.isNull())
        return region;
    const QImage img = picture.convertToFormat(QImage::Format_RGB32);
    const QRgb key = img.pixel(0, 0);
    const int width = img.width();
    for (int y = 0; y < img.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        int x = 0;
        while (x < width) {
            while (x < width && row[x] == key)
                ++x;
            if (x >= width)
                break;
            const int x1 = x;
            while (x < width && row[x] != key)
                ++x;
            region += QRect(x1, y, x - x1, 1); // a run ends at the key colour or the right edge
        }
    }
    return region;
}

void clsWndEffects::applyRegion(QWidget* hWnd, const QRegion& region)
{
    m_region = region;
    m_hasRegion = true;
    if (!hWnd)
        return;
    // An empty mask would show the whole window; a pixel outside it shows none.
    hWnd->setMask(region.isEmpty() ? QRegion(-1, -1, 1, 1) : region);
    hWnd->update();
}

void clsWndEffects::SetWndRgn(QWidget* hWnd, const QImage& picSkin)
{
    const QRegion region = RegionFromPicture(picSkin);
    m_region = region;
    m_hasRegion = !region.isEmpty();
    if (!hWnd)
        return;
    if (region.isEmpty())
        hWnd->clearMask(); // no shape: the whole window shows again
    else
        hWnd->setMask(region);
}

void clsWndEffects::HideOrShowRect(QWidget* hWnd, int wCount, int hCount, int ShowOrHide, int Step_)
{
    checkArguments(ShowOrHide, Step_);
    if (!hWnd || wCount <= 0 || hCount <= 0)
        return;
    const QSize r = hWnd->frameGeometry().size();
    const QSize tile = tileSize(r.width(), r.height(), wCount, hCount);
    for (int w : frameSizes(tile.width(), ShowOrHide, Step_)) {
        nextFrame();
        applyRegion(hWnd, tileFrame(r.width(), r.height(), wCount, hCount, w));
        QApplication::processEvents();
    }
}

void clsWndEffects::HideOrShowRect2(QWidget* hWnd, int ShowOrHide, int Step_)
{
    checkArguments(ShowOrHide, Step_);
    if (!hWnd)
        return;
    const QSize r = hWnd->frameGeometry().size();
    const int hw = roundHalfEven(r.width() / 2.0);
    const int hh = roundHalfEven(r.height() / 2.0);
    if (hh == 0)
        return;
    const float ratio = float(hw) / float(hh);
    for (int o : frameSizes(hw, ShowOrHide, Step_)) {
        const int d = roundHalfEven(o / ratio);
        applyRegion(hWnd, QRegion(QRect(QPoint(hw - o, hh - d), QPoint(hw + o - 1, hh + d - 1))));
        nextFrame();
    }
}

std::vector<QRect> clsWndEffects::captionFrames(const QRect& from, const QRect& to, int captionHeight, int frames)
{
    std::vector<QRect> out;
    if (frames < 1)
        return out;
    auto lerp = [](int a, int b, double t) { return int(std::lround(a + (b - a) * t)); };
    for (int i = 0; i < frames; ++i) {
        const double t = frames == 1 ? 1.0 : double(i) / (frames - 1);
        const int left = lerp(from.left(), to.left(), t);
        const int top = lerp(from.top(), to.top(), t);
        const int width = lerp(from.width(), to.width(), t);
        const int height = lerp(from.height(), to.height(), t);
        out.emplace_back(left, top, qMax(0, width), qBound(0, height, captionHeight));
    }
    return out;
}

void clsWndEffects::AnimateCaption(const QRect& from, const QRect& to, const QString& title)
{
    CaptionBar bar(title);
    const int captionHeight = bar.fontMetrics().height() + 6;
    const bool watched = screenIsWatched();
    for (const QRect& frame : captionFrames(from, to, captionHeight)) {
        if (frame.isEmpty()) {
            bar.hide();
        } else {
            bar.setGeometry(frame);
            bar.show();
            bar.raise();
            bar.repaint();
        }
        QApplication::processEvents();
        if (watched)
            QThread::msleep(kCaptionFrameMs);
    }
    bar.hide();
    QApplication::processEvents();
}

void clsWndEffects::GetWindowOnTop(QWidget* hWnd)
{
    if (!hWnd)
        return;
    const bool visible = hWnd->isVisible();
    hWnd->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (visible)
        hWnd->show();
}

int clsWndEffects::DeleteObj()
{
    const int result = m_hasRegion ? 1 : 0;
    m_region = QRegion();
    m_hasRegion = false;
    return result;
}

void clsWndEffects::MakeTransparent(QWidget* hWnd, unsigned char TransparencyLevel)
{
    if (hWnd)
        hWnd->setWindowOpacity(TransparencyLevel / 255.0);
}

} // namespace printlib
