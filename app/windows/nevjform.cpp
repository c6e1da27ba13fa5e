#include "app/windows/nevjform.h"

#include "app/common/programinfo.h"

#include <QIcon>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>

QPixmap drawAboutPicture(const ProgramInfo& info)
{
    QPixmap picture(422, 248);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 248);
    sky.setColorAt(0, info.isWard() ? QColor(0x1d, 0x5e, 0x3a) : QColor(0x1c, 0x3f, 0x7a));
    sky.setColorAt(1, QColor(0xf2, 0xf4, 0xf7));
    p.fillRect(picture.rect(), sky);
    p.setPen(QPen(QColor(255, 255, 255, 160), 6));
    p.drawLine(32, 60, 32, 188);
    p.drawLine(18, 124, 46, 124);
    p.setPen(Qt::white);
    QFont big(QStringLiteral("Arial"), 30, QFont::Bold);
    p.setFont(big);
    p.drawText(QRect(60, 40, 352, 60), Qt::AlignLeft | Qt::AlignVCenter, info.name);
    QFont small(QStringLiteral("Arial"), 11);
    p.setFont(small);
    p.setPen(QColor(0x20, 0x20, 0x20));
    p.drawText(QRect(60, 120, 352, 70), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, info.caption);
    p.end();
    return picture;
}

namespace {

QIcon aboutIcon()
{
    QPixmap icon(32, 32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x1c, 0x3f, 0x7a));
    p.setPen(Qt::NoPen);
    p.drawEllipse(1, 1, 30, 30);
    p.setPen(Qt::white);
    p.setFont(QFont(QStringLiteral("Arial"), 16, QFont::Bold));
    p.drawText(icon.rect(), Qt::AlignCenter, QStringLiteral("i"));
    p.end();
    return QIcon(icon);
}

} // namespace

nevjform::nevjform(const ProgramInfo& info, QWidget* parent) : platform::LegacyForm(parent)
{
    setObjectName(QStringLiteral("nevjform"));
    setWindowTitle(QStringLiteral("Névjegy"));
    setWindowIcon(aboutIcon());
    setAttribute(Qt::WA_DeleteOnClose);
    // 6375 x 3765 twips at 15 twips a pixel; the picture fills the window.
    setFixedSize(425, 251);
    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(0, 0, 425, 251);
    Picture1->setScaledContents(true);
    Picture1->setPixmap(drawAboutPicture(info));
}

void nevjform::Form_Activate()
{
    centre();
}
