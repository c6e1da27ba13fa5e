#include "printlib/clsInteraction.h"

#include "platform/ui/msgbox.h"
#include "printlib/liberror.h"
#include "printlib/modPrint.h"
#include "printlib/winhelpers.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWindow>

namespace printlib {

namespace {

// One setting per element for the whole program; empty means the window's
// standard font.
struct FontNames {
    QString msgTitle, msgButtons, msgText;
    QString inpTextBox, inpTitle, inpButtons, inpText;
};

FontNames& fontNames()
{
    static FontNames names;
    return names;
}

clsInteraction::BoxDriver& boxDriver()
{
    static clsInteraction::BoxDriver driver;
    return driver;
}

QString standardFontName()
{
    return QApplication::font().family();
}

QString orStandard(const QString& name)
{
    return name.isEmpty() ? standardFontName() : name;
}

void applyFontName(QWidget* w, const QString& name)
{
    if (name.isEmpty())
        return;
    QFont f = w->font();
    f.setFamily(name);
    w->setFont(f);
}

// The message text keeps the caller's line breaks and nothing else breaks it.
QString displayText(const QString& text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

QSize textSizePx(const QFont& font, const QString& text)
{
    const QFontMetrics fm(font);
    const QStringList lines = displayText(text).split(QLatin1Char('\n'));
    int width = 0;
    for (const QString& line : lines)
        width = qMax(width, fm.horizontalAdvance(line));
    return {width, int(lines.size()) * fm.lineSpacing()};
}

// Decoration: two small title-bar buttons, the lower one marked with a cross.
QPixmap decorationPicture()
{
    QPixmap pm(17, 15);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(128, 128, 128));
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(2, 0, 12, 6);
    p.drawRect(2, 7, 12, 7);
    p.setPen(Qt::black);
    p.drawLine(5, 8, 11, 13);
    p.drawLine(11, 8, 5, 13);
    return pm;
}

QRect screenRectPx()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry() : QRect(0, 0, 1024, 768);
}

void placeWindow(QWidget* w, int left, int top, int widthTw, int heightTw, QPoint* posTw)
{
    const QRect screen = screenRectPx();
    const QPoint tw = placeBoxTw(left, top, widthTw, heightTw,
                                 int(std::lround(pixelsToTwipsX(screen.width()))),
                                 int(std::lround(pixelsToTwipsY(screen.height()))));
    *posTw = tw;
    w->move(screen.left() + twipsToPixelsX(tw.x()), screen.top() + twipsToPixelsY(tw.y()));
}

// Shows a built box the way the seam in force says; returns when it is hidden.
void runBox(QDialog& box)
{
    if (const auto& driver = boxDriver()) {
        box.show();
        driver(box);
        if (box.isVisible())
            box.hide();
        return;
    }
    box.exec();
}

platform::ScriptedMsgBoxService* scriptedService()
{
    return dynamic_cast<platform::ScriptedMsgBoxService*>(&platform::msgBoxService());
}

platform::MsgIcon iconOf(int img)
{
    switch (img) {
    case 0: return platform::MsgIcon::Critical;
    case 1: return platform::MsgIcon::Question;
    case 2: return platform::MsgIcon::Exclamation;
    case 3: return platform::MsgIcon::Information;
    default: return platform::MsgIcon::None;
    }
}

// Records the box with the scripted service and turns its answer back into
// a button index: the answer's place among the request's standard buttons
// picks the visible button at that place.
int askScripted(platform::ScriptedMsgBoxService& svc, const QString& title, const QString& text,
                const std::array<bool, 5>& visible, int img, int defaultIdx)
{
    QList<int> shown;
    for (int i = 1; i <= 4; ++i)
        if (visible[i])
            shown << i;
    platform::MsgBoxRequest r;
    r.title = title;
    r.text = text;
    r.icon = iconOf(img);
    using platform::MsgButtons;
    using platform::MsgResult;
    QList<MsgResult> order;
    switch (shown.size()) {
    case 1: r.buttons = MsgButtons::Ok; order = {MsgResult::Ok}; break;
    case 2: r.buttons = MsgButtons::OkCancel; order = {MsgResult::Ok, MsgResult::Cancel}; break;
    default:
        r.buttons = MsgButtons::YesNoCancel;
        order = {MsgResult::Yes, MsgResult::No, MsgResult::Cancel};
        break;
    }
    r.defaultButton = qMax(1, int(shown.indexOf(defaultIdx)) + 1);
    const int place = int(order.indexOf(svc.show(r)));
    if (place < 0 || place >= shown.size())
        return 0;
    return shown.at(place);
}

[[noreturn]] void argumentError(int maxIdx)
{
    throw LibError(13, QStringLiteral("Argument must be between 0 and %1").arg(maxIdx));
}

} // namespace

MsgBoxLayout layoutMsgBox(int textWidthTw, int textHeightTw, const std::array<bool, 5>& visible)
{
    const int b = 1140;
    MsgBoxLayout out;
    int w = textWidthTw + 1100;
    const int h = textHeightTw + 1350;
    QList<int> shown;
    for (int i = 1; i <= 4; ++i)
        if (visible[i])
            shown << i;
    if (shown.isEmpty())
        throw LibError(13, QString());
    const int n = int(shown.size());
    w = qMax(w, n <= 2 ? 3800 : n == 3 ? 4500 : 5400);
    const int half = w / 2;
    QList<int> lefts;
    switch (n) {
    case 1: lefts = {(w - b) / 2}; break;
    case 2: lefts = {half - b - 40, half + 40}; break;
    case 3: lefts = {(w - 3 * b) / 2 - 80, (w - b) / 2, (w + b) / 2 + 80}; break;
    default: lefts = {half - 2 * b - 120, half - b - 40, half + 40, half + b + 120}; break;
    }
    out.width = w;
    out.height = h;
    out.buttonTop = h - 570;
    out.buttonLeft.fill(-1);
    for (int k = 0; k < n; ++k)
        out.buttonLeft[shown.at(k)] = lefts.at(k);
    return out;
}

QPoint placeBoxTw(int left, int top, int widthTw, int heightTw, int screenWidthTw, int screenHeightTw)
{
    if (left != 0 || top != 0)
        return {left, top};
    return {(screenWidthTw - widthTw) / 2, (screenHeightTw - heightTw) / 2};
}

// ---------------------------------------------------------------- DragBar

DragBar::DragBar(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DragBar::setCaption(const QString& text)
{
    m_caption = text;
    update();
}

QString DragBar::caption() const
{
    return m_caption;
}

void DragBar::setCaptionFont(const QFont& font)
{
    setFont(font);
    update();
}

void DragBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    // The colours of an active title bar.
    p.fillRect(rect(), palette().color(QPalette::Active, QPalette::Highlight));
    p.setPen(palette().color(QPalette::Active, QPalette::HighlightedText));
    p.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_caption);
}

void DragBar::mousePressEvent(QMouseEvent* e)
{
    if (e->buttons() == Qt::LeftButton) {
        QWidget* win = window();
        if (win->windowHandle() && win->windowHandle()->startSystemMove()) {
            m_grabbing = false;
            return;
        }
        m_grab = e->globalPosition().toPoint() - win->pos();
        m_grabbing = true;
    }
}

void DragBar::mouseMoveEvent(QMouseEvent* e)
{
    // Only while the left button alone is held, as on a title bar.
    if (m_grabbing && e->buttons() == Qt::LeftButton)
        window()->move(e->globalPosition().toPoint() - m_grab);
}

// ---------------------------------------------------------------- frmMsgBoxEx

frmMsgBoxEx::frmMsgBoxEx()
    : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(QString());
    Label1 = new DragBar(this);
    Label1->setGeometry(0, twipsToPixelsY(5), 10, twipsToPixelsY(240));
    Label2 = new QLabel(this);
    Label2->setTextFormat(Qt::PlainText);
    Label2->setWordWrap(false);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture1 = new QLabel(this);
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture1->setGeometry(twipsToPixelsX(150), twipsToPixelsY(415), twipsToPixelsX(615), twipsToPixelsY(615));
    Image4 = new QLabel(this);
    Image4->setPixmap(decorationPicture());
    Image4->resize(twipsToPixelsX(255), twipsToPixelsY(225));
    for (int i = 1; i <= 4; ++i) {
        btn[i] = new QPushButton(this);
        btn[i]->resize(twipsToPixelsX(1140), twipsToPixelsY(345));
        btn[i]->setAutoDefault(true);
        connect(btn[i], &QPushButton::clicked, this, [this, i] { btn_Click(i); });
        if (i > 1)
            setTabOrder(btn[i - 1], btn[i]);
    }
    tmrAutoClose = new QTimer(this);
    connect(tmrAutoClose, &QTimer::timeout, this, &frmMsgBoxEx::tmrAutoClose_Timer);
}

namespace {
// The fixed dialog frame around a box that has no title bar of its own.
void paintDialogFrame(QWidget* w)
{
    QPainter p(w);
    const QRect r = w->rect().adjusted(0, 0, -1, -1);
    p.setPen(w->palette().color(QPalette::Light));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(w->palette().color(QPalette::Dark));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}
} // namespace

void frmMsgBoxEx::paintEvent(QPaintEvent* e)
{
    QDialog::paintEvent(e);
    paintDialogFrame(this);
}

void frmInputBoxEx::paintEvent(QPaintEvent* e)
{
    QDialog::paintEvent(e);
    paintDialogFrame(this);
}

void frmMsgBoxEx::btn_Click(int index)
{
    tmrAutoClose->stop();
    m_pressed = index;
    hide();
}

void frmMsgBoxEx::tmrAutoClose_Timer()
{
    // Any other index leaves the timer ticking and the box waiting.
    if (m_autoCloseButton >= 1 && m_autoCloseButton <= 4)
        btn_Click(m_autoCloseButton);
}

void frmMsgBoxEx::reject()
{
    // Escape presses the cancel button; without one it does nothing.
    if (m_cancelIdx >= 1 && m_cancelIdx <= 4 && btn[m_cancelIdx]->isVisible())
        btn[m_cancelIdx]->click();
}

// ---------------------------------------------------------------- frmInputBoxEx

frmInputBoxEx::frmInputBoxEx()
    : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint)
{
    setWindowTitle(QString());
    setFixedSize(twipsToPixelsX(5505), twipsToPixelsY(1980));
    Label1 = new DragBar(this);
    Label1->setGeometry(0, twipsToPixelsY(5), 10, twipsToPixelsY(240));
    Label2 = new QLabel(this);
    Label2->setTextFormat(Qt::PlainText);
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2->setGeometry(twipsToPixelsX(105), twipsToPixelsY(360), twipsToPixelsX(4100), twipsToPixelsY(1170));
    txtInputValue = new QLineEdit(this);
    txtInputValue->setGeometry(twipsToPixelsX(67), twipsToPixelsY(1680), twipsToPixelsX(5370), twipsToPixelsY(270));
    selectAllOnFocus(txtInputValue);
    for (int i = 1; i <= 2; ++i) {
        btn[i] = new QPushButton(this);
        btn[i]->setGeometry(twipsToPixelsX(4320), twipsToPixelsY(i == 1 ? 360 : 765),
                            twipsToPixelsX(1140), twipsToPixelsY(345));
        btn[i]->setAutoDefault(false);
        connect(btn[i], &QPushButton::clicked, this, [this, i] { btn_Click(i); });
    }
    setTabOrder(txtInputValue, btn[1]);
    setTabOrder(btn[1], btn[2]);
    Image4 = new QLabel(this);
    Image4->setPixmap(decorationPicture());
    Image4->resize(twipsToPixelsX(255), twipsToPixelsY(225));
}

void frmInputBoxEx::btn_Click(int index)
{
    if (index == 1 && !txtInputValue->text().isEmpty())
        m_result = txtInputValue->text();
    else
        m_result = m_default;
    hide();
}

void frmInputBoxEx::reject()
{
    if (m_cancelIdx >= 1 && m_cancelIdx <= 2)
        btn[m_cancelIdx]->click();
}

// ---------------------------------------------------------------- clsInteraction

int clsInteraction::ShowMsgBox(const QString& Title, const QString& Text, const QString& btn1Caption,
                               const QString& btn2Caption, const QString& btn3Caption,
                               const QString& btn4Caption, int Img, int DefaultIdx, int CancelIdx,
                               int wLeft, int wTop, bool wTopMost, const QPixmap* CustomImg,
                               int AutoCloseButton, int AutoCloseInterval)
{
    if (DefaultIdx > 4 || CancelIdx > 4)
        argumentError(4);
    const std::array<QString, 5> captions{QString(), btn1Caption, btn2Caption, btn3Caption, btn4Caption};
    std::array<bool, 5> visible{};
    for (int i = 1; i <= 4; ++i)
        visible[i] = !captions[i].isEmpty();

    frmMsgBoxEx box;
    const FontNames& fonts = fontNames();
    applyFontName(box.Label1, fonts.msgTitle);
    applyFontName(box.Label2, fonts.msgText);
    for (int i = 1; i <= 4; ++i)
        applyFontName(box.btn[i], fonts.msgButtons);

    box.m_defaultIdx = DefaultIdx > 0 ? DefaultIdx : 0;
    box.m_cancelIdx = CancelIdx > 0 ? CancelIdx : 0;
    if (box.m_defaultIdx)
        box.btn[box.m_defaultIdx]->setDefault(true);

    box.Label1->setCaption(QLatin1Char(' ') + Title);
    box.Label2->setText(displayText(Text));
    const QSize textPx = textSizePx(box.Label2->font(), Text);
    const int textWTw = int(std::lround(pixelsToTwipsX(textPx.width())));
    const int textHTw = int(std::lround(pixelsToTwipsY(textPx.height())));
    const MsgBoxLayout lay = layoutMsgBox(textWTw, textHTw, visible); // throws with no caption
    box.m_layout = lay;
    box.Label2->setGeometry(twipsToPixelsX(795), twipsToPixelsY(480), textPx.width(), textPx.height());

    for (int i = 1; i <= 4; ++i) {
        box.btn[i]->setText(captions[i]);
        box.btn[i]->setVisible(visible[i]);
        if (visible[i])
            box.btn[i]->move(twipsToPixelsX(lay.buttonLeft[i]), twipsToPixelsY(lay.buttonTop));
    }
    box.setFixedSize(twipsToPixelsX(lay.width), twipsToPixelsY(lay.height));
    box.Image4->move(twipsToPixelsX(lay.width - 350), 0);
    box.Label1->resize(twipsToPixelsX(lay.width - 55), box.Label1->height());
    placeWindow(&box, wLeft, wTop, lay.width, lay.height, &box.m_posTw);

    // Icon and sound.
    static const int icons[] = {32513, 32514, 32515, 32516};
    static const int sounds[] = {16, 32, 48, 64};
    static const QStyle::StandardPixmap pixmaps[] = {QStyle::SP_MessageBoxCritical, QStyle::SP_MessageBoxQuestion,
                                                     QStyle::SP_MessageBoxWarning, QStyle::SP_MessageBoxInformation};
    if (Img >= 0 && Img <= 3) {
        box.m_iconId = icons[Img];
        box.m_soundType = sounds[Img];
        box.Picture1->setPixmap(box.style()->standardIcon(pixmaps[Img]).pixmap(32, 32));
    } else if (Img == 4) {
        box.m_soundType = -1;
        if (CustomImg)
            box.Picture1->setPixmap(*CustomImg);
    } else {
        box.m_soundType = 0;
    }

    if (wTopMost)
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);

    box.m_autoCloseButton = AutoCloseButton;
    box.tmrAutoClose->setInterval(qMax(0, AutoCloseInterval));
    box.setWindowModality(Qt::ApplicationModal);

    if (!boxDriver()) {
        if (platform::ScriptedMsgBoxService* svc = scriptedService())
            return askScripted(*svc, Title, Text, visible, Img, box.m_defaultIdx);
    }

    if (box.m_soundType >= 0)
        QApplication::beep();
    if (AutoCloseInterval > 0)
        box.tmrAutoClose->start();
    // The default button leads the tab order, so it holds the focus.
    if (box.m_defaultIdx && visible[box.m_defaultIdx])
        box.btn[box.m_defaultIdx]->setFocus();
    runBox(box);
    box.tmrAutoClose->stop();
    return box.getButton();
}

QString clsInteraction::ShowInputBox(const QString& Title, const QString& Text, const QString& DefaultTextValue,
                                     const QString& DefaultValue, int MaxTextLen, const QString& btn1Caption,
                                     const QString& btn2Caption, int DefaultIdx, int CancelIdx, int wLeft,
                                     int wTop, bool wTopMost)
{
    if (DefaultIdx > 2 || CancelIdx > 2)
        argumentError(2);

    frmInputBoxEx box;
    const FontNames& fonts = fontNames();
    applyFontName(box.Label1, fonts.inpTitle);
    applyFontName(box.Label2, fonts.inpText);
    applyFontName(box.txtInputValue, fonts.inpTextBox);
    for (int i = 1; i <= 2; ++i)
        applyFontName(box.btn[i], fonts.inpButtons);

    box.m_defaultIdx = DefaultIdx > 0 ? DefaultIdx : 0;
    box.m_cancelIdx = CancelIdx > 0 ? CancelIdx : 0;
    if (box.m_defaultIdx)
        box.btn[box.m_defaultIdx]->setDefault(true);

    box.Label1->setCaption(QLatin1Char(' ') + Title);
    box.Label2->setText(displayText(Text));
    box.txtInputValue->setText(DefaultTextValue);
    if (MaxTextLen > 0)
        box.txtInputValue->setMaxLength(MaxTextLen);
    box.m_default = DefaultValue;

    const int widthTw = 5505;
    const int heightTw = 1980;
    box.btn[1]->setText(btn1Caption);
    box.btn[2]->setText(btn2Caption);
    box.Image4->move(twipsToPixelsX(widthTw - 350), 0);
    box.Label1->resize(twipsToPixelsX(widthTw - 55), box.Label1->height());
    placeWindow(&box, wLeft, wTop, widthTw, heightTw, &box.m_posTw);
    if (wTopMost)
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.setWindowModality(Qt::ApplicationModal);

    if (!boxDriver() && scriptedService())
        return QString();

    box.txtInputValue->setFocus();
    SelectAllText(box.txtInputValue);
    runBox(box);
    return box.getRetVal();
}

QString clsInteraction::msgTitleFont() const { return orStandard(fontNames().msgTitle); }
void clsInteraction::setMsgTitleFont(const QString& name) { fontNames().msgTitle = name; }
QString clsInteraction::msgButtonsFont() const { return orStandard(fontNames().msgButtons); }
void clsInteraction::setMsgButtonsFont(const QString& name) { fontNames().msgButtons = name; }
QString clsInteraction::msgTextFont() const { return orStandard(fontNames().msgText); }
void clsInteraction::setMsgTextFont(const QString& name) { fontNames().msgText = name; }
QString clsInteraction::inpTextBoxFont() const { return orStandard(fontNames().inpTextBox); }
void clsInteraction::setInpTextBoxFont(const QString& name) { fontNames().inpTextBox = name; }
QString clsInteraction::inpTitleFont() const { return orStandard(fontNames().inpTitle); }
void clsInteraction::setInpTitleFont(const QString& name) { fontNames().inpTitle = name; }
QString clsInteraction::inpButtonsFont() const { return orStandard(fontNames().inpButtons); }
void clsInteraction::setInpButtonsFont(const QString& name) { fontNames().inpButtons = name; }
QString clsInteraction::inpTextFont() const { return orStandard(fontNames().inpText); }
void clsInteraction::setInpTextFont(const QString& name) { fontNames().inpText = name; }

void clsInteraction::setBoxDriver(BoxDriver driver)
{
    boxDriver() = std::move(driver);
}

clsInteraction& interaction()
{
    if (!Interaction)
        Interaction = new clsInteraction; // lives until the program ends
    return *Interaction;
}

} // namespace printlib
