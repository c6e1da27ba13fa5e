#include "printlib/frmPrinterStatus.h"

#include <QCloseEvent>

namespace printlib {

namespace {
frmPrinterStatus* g_current = nullptr;

// Design sizes are twips; the window works in pixels at 15 twips a pixel.
QRect twips(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}
} // namespace

frmPrinterStatus::frmPrinterStatus(std::function<void()> onUnload)
    : QWidget(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), m_onUnload(std::move(onUnload))
{
    setObjectName(QStringLiteral("frmPrinterStatus"));
    setWindowTitle(QStringLiteral("Nyomtatás"));
    setFixedSize(5250 / 15, 1290 / 15);
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSizeF(8.25);

    lblPrinter = new QLabel(this);
    lblPrinter->setGeometry(twips(465, 120, 4320, 270));
    lblPrinter->setAlignment(Qt::AlignCenter);
    lblStatus[0] = new QLabel(QStringLiteral("Oldal:"), this);
    lblStatus[0]->setFont(arial);
    lblStatus[0]->setGeometry(twips(2063, 420, 1125, 180));
    lblStatus[0]->setAlignment(Qt::AlignCenter);
    lblStatus[1] = new QLabel(this);
    // As wide as the printer's name: "page / count" of a long document keeps
    // every digit, centred as before.
    lblStatus[1]->setGeometry(twips(465, 660, 4320, 180));
    lblStatus[1]->setAlignment(Qt::AlignCenter);
    cmdStop = new QPushButton(QStringLiteral("Mégse"), this);
    cmdStop->setFont(arial);
    cmdStop->setGeometry(twips(2085, 900, 1080, 330));
    connect(cmdStop, &QPushButton::clicked, this, &QWidget::close);
    g_current = this;
}

frmPrinterStatus::~frmPrinterStatus()
{
    if (g_current == this)
        g_current = nullptr;
}

frmPrinterStatus* frmPrinterStatus::current() { return g_current; }

void frmPrinterStatus::closeEvent(QCloseEvent* event)
{
    if (m_onUnload)
        m_onUnload();
    event->accept();
}

} // namespace printlib
