#include "printlib/frmAnimatedLogo.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <cmath>

namespace printlib {

frmAnimatedLogo& frmAnimatedLogo::instance()
{
    static frmAnimatedLogo* logo = new frmAnimatedLogo; // lives until the program ends
    return *logo;
}

frmAnimatedLogo::frmAnimatedLogo()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_timer.setInterval(100);
    connect(&m_timer, &QTimer::timeout, this, &frmAnimatedLogo::tmrLogo_Timer);
}

float frmAnimatedLogo::DegToRad(float degrees)
{
    return float(degrees * (3.14159265359 / 180.0));
}

int frmAnimatedLogo::nextPhase(int phase, int speed)
{
    const int next = phase + speed;
    return (next >= 360 || next <= -360) ? 0 : next;
}

QImage frmAnimatedLogo::compose(const QImage& background, const QImage& logo, int phaseX, int phaseY)
{
    QImage out = background.convertToFormat(QImage::Format_RGB32);
    const int w = logo.width();
    const int h = logo.height();
    const QImage src = logo.convertToFormat(QImage::Format_RGB32);
    const double half = w / 3.2;
    QPainter p(&out);
    p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    for (int n = w; n >= 1; --n) {
        const int xn = int(std::nearbyint(half * std::cos(DegToRad(float(phaseX + n))) + half));
        const int yn = int(std::nearbyint(5 * std::sin(DegToRad(float(phaseY + n))) + 2.5));
        p.drawImage(QPoint(xn, yn), src, QRect(n, 0, 1, h));
    }
    return out;
}

QImage frmAnimatedLogo::grabBackground() const
{
    QImage bg;
    if (QScreen* s = QGuiApplication::primaryScreen())
        bg = s->grabWindow(0, m_x, m_y, m_logo.width(), m_logo.height()).toImage();
    if (bg.size() != m_logo.size()) {
        bg = QImage(m_logo.size(), QImage::Format_RGB32);
        bg.fill(Qt::white);
    }
    return bg;
}

void frmAnimatedLogo::LoadLogo(int AngleX, int AngleY, int Speed, const QPixmap& PictureLogo)
{
    UnloadLogo();
    m_phaseX = AngleX;
    m_phaseY = AngleY;
    m_speed = Speed;
    m_logo = PictureLogo.toImage();
    if (m_logo.isNull()) {
        m_logo = QImage(165, 33, QImage::Format_RGB32);
        m_logo.fill(Qt::white);
    }
    const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry()
                                                          : QRect(0, 0, 1024, 768);
    m_x = int(std::nearbyint(screen.width() - m_logo.width() / 1.5));
    m_y = 0;
    m_background = grabBackground();
    blnWinVis = false;
    m_timer.start();
}

void frmAnimatedLogo::UnloadLogo()
{
    m_timer.stop();
    m_logo = QImage();
    m_background = QImage();
    m_composition = QImage();
    blnWinVis = false;
    hide();
}

void frmAnimatedLogo::tmrLogo_Timer()
{
    QWidget* f = QApplication::activeWindow();
    const QPoint c = QCursor::pos();
    const QRect rf = f ? f->frameGeometry() : QRect();
    const int w = m_logo.width();
    const int h = m_logo.height();
    const bool overLogo = c.x() > m_x && c.y() < h;
    const bool stable = !overLogo && f == m_lastForeground && rf == m_lastForegroundRect;
    if (!stable) {
        m_lastForeground = f;
        m_lastForegroundRect = rf;
        if (blnWinVis) {
            hide();
            blnWinVis = false;
        }
        return;
    }
    if ((c.x() < m_x || c.y() > m_y + h) && !blnWinVis) {
        m_background = grabBackground();
        setGeometry(m_x, m_y, w, h);
        show();
        raise();
        blnWinVis = true;
    }
    m_composition = compose(m_background, m_logo, m_phaseX, m_phaseY);
    update();
    m_phaseX = nextPhase(m_phaseX, m_speed);
    m_phaseY = nextPhase(m_phaseY, m_speed);
}

void frmAnimatedLogo::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!m_composition.isNull())
        p.drawImage(0, 0, m_composition);
}

} // namespace printlib
