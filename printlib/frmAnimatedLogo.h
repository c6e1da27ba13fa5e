// A logo spinning like a cylinder in the top right corner of the screen,
// above every window, while the preview's information box is open. It hides
// while the cursor is over it or the foreground window changes or moves.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QWidget>

namespace printlib {

class frmAnimatedLogo : public QWidget {
    Q_OBJECT
public:
    // The one logo window of the library.
    static frmAnimatedLogo& instance();

    void LoadLogo(int AngleX, int AngleY, int Speed, const QPixmap& PictureLogo);
    void UnloadLogo();
    void tmrLogo_Timer();

    bool blnWinVis = false;
    bool running() const { return m_timer.isActive(); }
    int phaseX() const { return m_phaseX; }
    int phaseY() const { return m_phaseY; }
    QPoint logoPos() const { return {m_x, m_y}; }
    QSize logoSize() const { return m_logo.size(); }

    // One frame: the background with the logo's columns laid over it
    // (darkening AND of the colours), squeezed into the first 62.5 %.
    static QImage compose(const QImage& background, const QImage& logo, int phaseX, int phaseY);
    // A phase after one tick: it grows by the speed and returns to 0 on
    // reaching 360 or -360.
    static int nextPhase(int phase, int speed);
    static float DegToRad(float degrees);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    frmAnimatedLogo();
    QImage grabBackground() const;

    QTimer m_timer;
    QImage m_logo;
    QImage m_background;
    QImage m_composition;
    int m_phaseX = 0;
    int m_phaseY = 0;
    int m_speed = 0;
    int m_x = 0;
    int m_y = 0;
    QPointer<QWidget> m_lastForeground;
    QRect m_lastForegroundRect;
};

} // namespace printlib
