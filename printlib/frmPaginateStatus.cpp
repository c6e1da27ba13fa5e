#include "printlib/frmPaginateStatus.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

namespace printlib {

namespace {
constexpr int kEventsEveryMs = 50;
constexpr int kEventSliceMs = 20;
} // namespace

frmPaginateStatus::frmPaginateStatus()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmPaginateStatus"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    QFont small(QStringLiteral("Arial"));
    small.setPointSizeF(6.75);
    lbl = new QLabel(QStringLiteral("Making"), this);
    lblStatus = new QLabel(this);
    for (QLabel* l : {lbl, lblStatus}) {
        l->setFont(small);
        l->setAlignment(Qt::AlignCenter);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(0);
    layout->addWidget(lbl);
    layout->addWidget(lblStatus);
    resize(70, 30);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.right() - width() - 4, area.bottom() - height() - 4);
    }
    show();
    QCoreApplication::instance()->installEventFilter(this);
    // m_sinceEvents stays unstarted: the first keepAlive paints the window
    // at once, so it stands from the first row however quick the work.
}

frmPaginateStatus::~frmPaginateStatus()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

// The new text is painted in the next slice of keepAlive: a page laid out
// takes far less time than painting its number.
void frmPaginateStatus::setPage(int page)
{
    lblStatus->setText(QStringLiteral("Page: ") + QString::number(page));
}

void frmPaginateStatus::setRead(int count)
{
    lblStatus->setText(QStringLiteral("Olvasva: ") + QString::number(count));
}

void frmPaginateStatus::keepAlive()
{
    if (m_sinceEvents.isValid() && m_sinceEvents.elapsed() < kEventsEveryMs)
        return;
    // Input is left queued, not dropped: it reaches the windows once the
    // work is over, when a second start or a close can do no harm.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, kEventSliceMs);
    m_sinceEvents.restart();
}

bool frmPaginateStatus::eventFilter(QObject* watched, QEvent* event)
{
    // A window closed in the middle of the work would take the work's data
    // with it: the close is refused, and may be asked again afterwards.
    if (event->type() == QEvent::Close && watched != this && watched->isWidgetType()) {
        const Qt::WindowType type = static_cast<QWidget*>(watched)->windowType();
        if (type == Qt::Window || type == Qt::Dialog) {
            event->ignore();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace printlib
