#include "printlib/frmPaginateStatus.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

namespace printlib {

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
}

void frmPaginateStatus::setPage(int page)
{
    lblStatus->setText(QStringLiteral("Page: ") + QString::number(page));
    lblStatus->repaint();
}

} // namespace printlib
