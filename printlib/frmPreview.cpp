#include "printlib/frmPreview.h"

#include "platform/print/drawtarget.h"
#include "platform/sys/regional.h"
#include "printlib/clsInteraction.h"
#include "printlib/clsPrint.h"
#include "printlib/clsWndEffects.h"
#include "printlib/frmAnimatedLogo.h"
#include "printlib/winhelpers.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>

#include <cmath>

namespace printlib {

namespace {

struct ZoomEntry {
    const char* text;
    int tag;
};
// The last entry is the one selected at load.
const ZoomEntry kZoomList[] = {
    {"100%", 100}, {"75%", 75}, {"50%", 50}, {"25%", 25}, {"oldal szélesség", -1}, {"minden oldal", 0},
};

double screenDpiX()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->logicalDotsPerInchX() : 96.0;
}

double screenDpiY()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->logicalDotsPerInchY() : 96.0;
}

// Pictures of the toolbar: arrows for paging, a magnifier-less "go", a
// printer and an "i".
QIcon toolIcon(const QString& key)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::black);
    p.setBrush(QColor(0, 0, 128));
    auto arrow = [&p](bool left, int x) {
        const QPolygon tri = left ? QPolygon({QPoint(x + 6, 3), QPoint(x, 8), QPoint(x + 6, 13)})
                                  : QPolygon({QPoint(x, 3), QPoint(x + 6, 8), QPoint(x, 13)});
        p.drawPolygon(tri);
    };
    if (key == QLatin1String("f")) {
        p.drawRect(3, 3, 1, 10);
        arrow(true, 6);
    } else if (key == QLatin1String("p")) {
        arrow(true, 5);
    } else if (key == QLatin1String("n")) {
        arrow(false, 5);
    } else if (key == QLatin1String("l")) {
        arrow(false, 4);
        p.drawRect(12, 3, 1, 10);
    } else if (key == QLatin1String("g")) {
        p.drawRect(2, 7, 7, 2);
        arrow(false, 8);
    } else if (key == QLatin1String("pr")) {
        p.setBrush(QColor(192, 192, 192));
        p.drawRect(1, 6, 13, 6);
        p.setBrush(Qt::white);
        p.drawRect(4, 1, 7, 5);
    } else if (key == QLatin1String("i")) {
        p.setBrush(QColor(0, 0, 160));
        p.drawEllipse(QPoint(8, 8), 7, 7);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("i"));
    }
    return QIcon(pm);
}

QPixmap logoPicture()
{
    QPixmap pm(165, 33);
    pm.fill(Qt::white);
    QPainter p(&pm);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(22);
    p.setFont(f);
    p.setPen(QColor(0, 0, 128));
    p.drawText(pm.rect(), Qt::AlignCenter, QStringLiteral("Nyomtatás"));
    return pm;
}

QCursor cursorFor(int index)
{
    switch (index) {
    case 3: return QCursor(Qt::SizeAllCursor);
    case 4: return QCursor(Qt::SizeVerCursor);
    case 5: return QCursor(Qt::SizeHorCursor);
    case 6: return QCursor(Qt::ForbiddenCursor);
    default: return QCursor(Qt::OpenHandCursor);
    }
}

// A number rounded to one decimal in the regional format, without trailing
// zeros ("210", "297", "203,2").
QString oneDecimal(double value)
{
    QString s = QString::number(std::round(value * 10.0) / 10.0, 'f', 1);
    if (s.endsWith(QLatin1String(".0")))
        s.chop(2);
    s.replace(QLatin1Char('.'), platform::decimalSeparator());
    return s;
}

QString paperName(int code)
{
    switch (code) {
    case 1: return QStringLiteral("Letter");
    case 8: return QStringLiteral("A3");
    case 9: return QStringLiteral("A4");
    case 11: return QStringLiteral("A5");
    case 12: return QStringLiteral("B4");
    case 13: return QStringLiteral("B5");
    case 256: return QStringLiteral("Custom");
    default: return QString();
    }
}

// The status box is made for a short "page / count"; the page numbers of a
// long document widen it (and its place in the toolbar) so that no digit is
// cut off.
void fitStatusToPageCount(QLineEdit* status, int pageCount)
{
    const QString widest = QStringLiteral("%1 / %1").arg(pageCount);
    const QMargins m = status->textMargins();
    const int need = status->fontMetrics().horizontalAdvance(widest) + m.left() + m.right() + 12;
    if (need <= status->width())
        return;
    QWidget* holder = status->parentWidget();
    holder->setFixedWidth(holder->width() + need - status->width());
    status->setFixedWidth(need);
}

} // namespace

void PagePicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!image.isNull())
        p.drawImage(0, 0, image);
}

// ---------------------------------------------------------------- frmPreview

frmPreview::frmPreview(clsPrint& job) : QDialog(nullptr, Qt::Window), m_job(job)
{
    setWindowTitle(QStringLiteral("Nyomtatási kép"));
    setMinimumSize(twipsToPixelsX(5100), twipsToPixelsY(4000));

    tbToolBar = new QToolBar(this);
    tbToolBar->setIconSize(QSize(16, 16));
    tbToolBar->setMovable(false);
    auto addButton = [this](int index, const QString& key, const QString& picture, const QString& tip) {
        QAction* a = tbToolBar->addAction(toolIcon(picture), QString());
        a->setData(key);
        a->setToolTip(tip);
        connect(a, &QAction::triggered, this, [this, key] { tbToolBar_ButtonClick(key); });
        m_buttons[size_t(index)] = a;
    };
    auto placeholder = [this](double mm, QWidget* inner, int innerTwips) {
        auto* holder = new QWidget(tbToolBar);
        holder->setFixedWidth(int(std::lround(mm * pxPerMmX())));
        inner->setParent(holder);
        inner->setFixedWidth(twipsToPixelsX(innerTwips));
        inner->move(qMax(0, (holder->width() - inner->width()) / 2), 2);
        holder->setFixedHeight(inner->sizeHint().height() + 4);
        tbToolBar->addWidget(holder);
    };
    txtStatus = new QLineEdit;
    txtStatus->setReadOnly(true);
    txtStatus->setFocusPolicy(Qt::NoFocus);
    txtStatus->setAlignment(Qt::AlignCenter);
    txtGoto = new QLineEdit(QStringLiteral("1"));
    txtGoto->setMaxLength(9); // page numbers of a year's list
    selectAllOnFocus(txtGoto);
    cboZoom = new QComboBox;

    addButton(1, QStringLiteral("first"), QStringLiteral("f"), QStringLiteral("Első oldal"));
    addButton(2, QStringLiteral("previous"), QStringLiteral("p"), QStringLiteral("Előző oldal"));
    placeholder(22.0, txtStatus, 1180);
    addButton(4, QStringLiteral("next"), QStringLiteral("n"), QStringLiteral("Következő oldal"));
    addButton(5, QStringLiteral("last"), QStringLiteral("l"), QStringLiteral("Utolsó oldal"));
    tbToolBar->addSeparator();
    addButton(7, QStringLiteral("goto"), QStringLiteral("g"), QStringLiteral("Ugrás a megadott oldalra"));
    placeholder(13.8, txtGoto, 700);
    tbToolBar->addSeparator();
    placeholder(33.2, cboZoom, 1860);
    tbToolBar->addSeparator();
    addButton(12, QStringLiteral("print"), QStringLiteral("pr"), QStringLiteral("Nyomtatás"));
    tbToolBar->addSeparator();
    addButton(14, QStringLiteral("info"), QStringLiteral("i"), QStringLiteral("Információ"));
    auto* gap = new QWidget(tbToolBar);
    gap->setFixedWidth(twipsToPixelsX(300));
    tbToolBar->addWidget(gap);
    cmdClose = new QPushButton(QStringLiteral("Bezár"));
    cmdClose->setFixedSize(twipsToPixelsX(900), twipsToPixelsY(345));
    cmdClose->setAutoDefault(false);
    tbToolBar->addWidget(cmdClose);
    connect(cmdClose, &QPushButton::clicked, this, &frmPreview::cmdClose_Click);

    picContainer = new QWidget(this);
    picContainer->setAutoFillBackground(true);
    QPalette pal = picContainer->palette();
    pal.setColor(QPalette::Window, QColor(128, 128, 128));
    picContainer->setPalette(pal);
    picPage = new PagePicture(picContainer);
    picPage->setAttribute(Qt::WA_OpaquePaintEvent);
    HS = new QScrollBar(Qt::Horizontal, this);
    VS = new QScrollBar(Qt::Vertical, this);
    for (QScrollBar* bar : {HS, VS}) {
        bar->setRange(0, 100);
        bar->setSingleStep(1);
        bar->setPageStep(10);
    }
    connect(HS, &QScrollBar::valueChanged, this, &frmPreview::HS_Change);
    connect(VS, &QScrollBar::valueChanged, this, &frmPreview::VS_Change);
    connect(picPage, &PagePicture::pressed, this, &frmPreview::picPage_MouseDown);
    connect(picPage, &PagePicture::moved, this, &frmPreview::picPage_MouseMove);
    connect(picPage, &PagePicture::released, this, &frmPreview::picPage_MouseUp);
    connect(cboZoom, qOverload<int>(&QComboBox::activated), this, [this](int) { cboZoom_Click(); });

    const QRect avail = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                         : QRect(0, 0, 1024, 768);
    resize(qMax(minimumWidth(), avail.width() * 9 / 10), qMax(minimumHeight(), avail.height() * 9 / 10));

    Form_Load();

    // The window sees every key before the control that has the focus.
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
}

frmPreview::~frmPreview()
{
    UnhookZoomCombo();
}

double frmPreview::pxPerMmX() const { return screenDpiX() / 25.4; }
double frmPreview::pxPerMmY() const { return screenDpiY() / 25.4; }
double frmPreview::containerWidthMm() const { return picContainer->width() / pxPerMmX(); }
double frmPreview::containerHeightMm() const { return picContainer->height() / pxPerMmY(); }

void frmPreview::Form_Load()
{
    blnReady = false;
    blnDragging = false;
    intCurPage = 1;
    m_lastZoom = 0;
    m_lastPage = 0;
    m_lastWidth = 0;
    m_lastHeight = 0;
    setPageCursor(1);
    cboZoom->clear();
    for (const ZoomEntry& e : kZoomList)
        cboZoom->addItem(QString::fromUtf8(e.text), e.tag);
    cboZoom->setCurrentIndex(cboZoom->count() - 1);
    m_paperW = m_job.Width();
    m_paperH = m_job.Height();
    m_offsetX = long(roundHalfEven((m_job.Width() - m_job.PrintableWidth()) / 2.0));
    m_offsetY = long(roundHalfEven((m_job.Height() - m_job.PrintableHeight()) / 2.0));
    DisableXButton(this, true);
    HookZoomCombo(cboZoom);
}

void frmPreview::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    if (!blnReady) {
        intPageCount = m_job.PageCount();
        fitStatusToPageCount(txtStatus, intPageCount);
        blnReady = true;
    }
    if (isMinimized())
        return;
    const int sw = width();
    const int sh = height();
    tbToolBar->setGeometry(0, 0, sw, tbToolBar->sizeHint().height());
    // In millimetres of the inner area, as the layout is designed.
    const double mmX = pxPerMmX();
    const double mmY = pxPerMmY();
    const double swMm = sw / mmX;
    const double shMm = sh / mmY;
    const double t = tbToolBar->height() / mmY + 0.5;
    auto px = [](double mm, double scale) { return int(std::lround(mm * scale)); };
    VS->setGeometry(px(swMm - 4.5, mmX), px(t, mmY), px(4.5, mmX), px(shMm - 5 - t, mmY));
    HS->setGeometry(0, px(shMm - 4.5, mmY), px(swMm - 5, mmX), px(4.5, mmY));
    picContainer->setGeometry(0, px(t, mmY), px(swMm - 4.5, mmX), px(shMm - 4.5 - t, mmY));
    cboZoom_Click();
}

void frmPreview::cboZoom_Click()
{
    if (!blnReady)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    setUpdatesEnabled(false);

    const int tag = cboZoom->currentData().toInt();
    const float v = float(tag) / 100.0f;
    const double u = containerWidthMm();
    const double d = containerHeightMm();
    float z = 1;
    if (v > 0)
        z = v;
    else if (tag == -1)
        z = float((u - 6) / m_paperW);
    else if (m_paperH / d >= m_paperW / u)
        z = float((d - 6) / m_paperH);
    else
        z = float((u - 6) / m_paperW);
    const double w = double(z) * m_paperW;
    const double h = double(z) * m_paperH;
    picPage->resize(qMax(1, int(std::lround(w * pxPerMmX()))), qMax(1, int(std::lround(h * pxPerMmY()))));

    // Both bars start centred; a bar whose page direction fits is switched off.
    const QSignalBlocker bh(HS);
    const QSignalBlocker bv(VS);
    HS->setMaximum(100);
    HS->setValue(50);
    HS_Change();
    if (u - 3 >= w) {
        HS->setMaximum(0);
        HS->setEnabled(false);
    } else {
        HS->setEnabled(true);
    }
    VS->setMaximum(100);
    VS->setValue(50);
    VS_Change();
    if (d - 3 >= h) {
        VS->setMaximum(0);
        VS->setEnabled(false);
    } else {
        VS->setEnabled(true);
    }

    if (v != m_lastZoom || intCurPage != m_lastPage || w != m_lastWidth || h != m_lastHeight) {
        txtStatus->setText(QStringLiteral("%1 / %2").arg(intCurPage).arg(intPageCount));
        m_lastZoom = v;
        m_lastPage = intCurPage;
        m_lastWidth = w;
        m_lastHeight = h;
        picPage->image = QImage(picPage->size(), QImage::Format_RGB32);
        picPage->image.fill(Qt::white);
        try {
            platform::ImageTarget target(&picPage->image, screenDpiX(), screenDpiY());
            target.setScaleMode(platform::vbMillimeters);
            m_job.DrawPage(target, intCurPage, z, int(m_offsetX), int(m_offsetY));
        } catch (const LibError& e) {
            interaction().ShowMsgBox(QStringLiteral("Attention"), e.Description, QStringLiteral("OK"), QString(),
                                     QString(), QString(), 0, 1, 1);
        }
        ++m_drawCount;
        picPage->update();
        m_buttons[1]->setEnabled(intCurPage > 1);
        m_buttons[2]->setEnabled(intCurPage > 1);
        m_buttons[4]->setEnabled(intCurPage < intPageCount);
        m_buttons[5]->setEnabled(intCurPage < intPageCount);
    }
    setUpdatesEnabled(true);
    QApplication::restoreOverrideCursor();
}

void frmPreview::HS_Change()
{
    // A bar of range 0 never moves the picture.
    if (blnDragging || HS->maximum() == 0)
        return;
    picPage->move(int(std::lround(picContainer->width() / 2.0 - double(HS->value()) * picPage->width() / HS->maximum())),
                  picPage->y());
}

void frmPreview::VS_Change()
{
    if (blnDragging || VS->maximum() == 0)
        return;
    picPage->move(picPage->x(),
                  int(std::lround(picContainer->height() / 2.0 - double(VS->value()) * picPage->height() / VS->maximum())));
}

void frmPreview::setPageCursor(int index)
{
    m_cursor = index;
    picPage->setCursor(cursorFor(index));
}

void frmPreview::picPage_MouseDown(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const bool h = HS->isEnabled();
    const bool v = VS->isEnabled();
    setPageCursor(h && v ? 3 : v ? 4 : h ? 5 : 6);
    m_grab = picContainer->mapFromGlobal(e->globalPosition().toPoint()) - picPage->pos();
    blnDragging = true;
}

void frmPreview::picPage_MouseMove(QMouseEvent* e)
{
    if (!blnDragging || !(e->buttons() & Qt::LeftButton))
        return;
    const QPoint c = picContainer->mapFromGlobal(e->globalPosition().toPoint());
    // The picture may travel until its near edge reaches the centre line.
    if (HS->isEnabled() && HS->maximum() > 0) {
        const int half = picContainer->width() / 2;
        const int w = picPage->width();
        const int left = qBound(half - w, c.x() - m_grab.x(), half);
        picPage->move(left, picPage->y());
        HS->setValue(int(std::lround(double(half - left) * HS->maximum() / w)));
    }
    if (VS->isEnabled() && VS->maximum() > 0) {
        const int half = picContainer->height() / 2;
        const int h = picPage->height();
        const int top = qBound(half - h, c.y() - m_grab.y(), half);
        picPage->move(picPage->x(), top);
        VS->setValue(int(std::lround(double(half - top) * VS->maximum() / h)));
    }
}

void frmPreview::picPage_MouseUp(QMouseEvent*)
{
    setPageCursor(1);
    blnDragging = false;
}

bool frmPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* k = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = k->modifiers() & ~Qt::KeypadModifier;
    if (Form_KeyDown(k->key(), k->modifiers()))
        return true;
    if (watched == txtGoto && (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)) {
        runButton(7);
        return true;
    }
    // Arrow and letter keys never change the zoom entry.
    if (watched == cboZoom && mods != Qt::AltModifier && mods != Qt::ShiftModifier)
        return true;
    return QDialog::eventFilter(watched, event);
}

bool frmPreview::Form_KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    const bool keypad = modifiers & Qt::KeypadModifier;
    const Qt::KeyboardModifiers mods = modifiers & ~Qt::KeypadModifier;
    const bool ctrl = mods == Qt::ControlModifier;
    const int step = ctrl ? 1 : 4;
    switch (key) {
    case Qt::Key_F4:
        return mods == Qt::AltModifier; // Alt+F4 does not close the window
    case Qt::Key_Up:
        if (!VS->isEnabled())
            return false;
        VS->setValue(qMax(0, VS->value() - step));
        return true;
    case Qt::Key_Down:
        if (!VS->isEnabled())
            return false;
        VS->setValue(qMin(VS->maximum(), VS->value() + step));
        return true;
    case Qt::Key_Right:
        if (!HS->isEnabled())
            return false;
        HS->setValue(qMin(HS->maximum(), HS->value() + step));
        return true;
    case Qt::Key_Left:
        if (!HS->isEnabled())
            return false;
        HS->setValue(qMax(0, HS->value() - step));
        return true;
    case Qt::Key_Home:
        if (!VS->isEnabled())
            return false;
        VS->setValue(VS->minimum());
        return true;
    case Qt::Key_End:
        if (!VS->isEnabled())
            return false;
        VS->setValue(VS->maximum());
        return true;
    case Qt::Key_PageDown:
        if (ctrl && m_buttons[5]->isEnabled())
            runButton(5);
        else if (m_buttons[4]->isEnabled())
            runButton(4);
        return true;
    case Qt::Key_PageUp:
        if (ctrl && m_buttons[1]->isEnabled())
            runButton(1);
        else if (m_buttons[2]->isEnabled())
            runButton(2);
        return true;
    case Qt::Key_P:
        if (!ctrl)
            return false;
        runButton(12);
        return true;
    case Qt::Key_I:
        if (!ctrl)
            return false;
        runButton(14);
        return true;
    default:
        break;
    }
    if (ctrl && keypad && key >= Qt::Key_1 && key <= Qt::Key_6) {
        cboZoom->setCurrentIndex(key - Qt::Key_1);
        cboZoom_Click();
        return true;
    }
    return false;
}

void frmPreview::runButton(int index)
{
    // Runs the command whether or not the button is enabled.
    if (QAction* a = m_buttons[size_t(index)])
        tbToolBar_ButtonClick(a->data().toString());
}

void frmPreview::tbToolBar_ButtonClick(const QString& key)
{
    if (key == QLatin1String("print")) {
        hide();
        m_job.PrintDoc(m_job.Owner_hWnd(), true);
        closeByCode();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (key == QLatin1String("first")) {
        intCurPage = 1;
        cboZoom_Click();
    } else if (key == QLatin1String("previous")) {
        intCurPage -= 1;
        cboZoom_Click();
    } else if (key == QLatin1String("next")) {
        intCurPage += 1;
        cboZoom_Click();
    } else if (key == QLatin1String("last")) {
        intCurPage = intPageCount;
        cboZoom_Click();
    } else if (key == QLatin1String("goto")) {
        const long long n = roundHalfEven(Val(txtGoto->text()));
        if (n >= 1 && n <= intPageCount) {
            intCurPage = int(n);
            cboZoom_Click();
            txtGoto->setFocus();
            SelectAllText(txtGoto);
        } else if (intPageCount > 1) {
            QApplication::restoreOverrideCursor();
            interaction().ShowMsgBox(QStringLiteral("Attention"),
                                     QStringLiteral("Enter number between 1 and %1.").arg(intPageCount),
                                     QStringLiteral("OK"), QString(), QString(), QString(), 2, 1, 1);
            return;
        }
    } else if (key == QLatin1String("info")) {
        QApplication::restoreOverrideCursor();
        const bool spin = cboZoom->currentIndex() == 3; // "25%"
        if (spin)
            frmAnimatedLogo::instance().LoadLogo(0, 0, -10, logoPicture());
        interaction().ShowMsgBox(QStringLiteral("Information"), infoText(), QStringLiteral("OK"), QString(),
                                 QString(), QString(), 3, 1, 1);
        if (spin)
            frmAnimatedLogo::instance().UnloadLogo();
        return;
    }
    QApplication::restoreOverrideCursor();
}

QString frmPreview::infoText() const
{
    const double zoom = std::round(m_lastWidth / m_job.Width() * 100.0) / 100.0;
    QStringList lines;
    lines << QStringLiteral("Orientation:  ") + (m_job.Orientation() == 1 ? QStringLiteral("Portrait")
                                                                          : QStringLiteral("Landscape"));
    lines << QStringLiteral("Page format:  ") + paperName(m_job.PageSize());
    lines << QStringLiteral("Size:  %1 x %2 mm").arg(oneDecimal(m_job.Width()), oneDecimal(m_job.Height()));
    lines << QStringLiteral("Printable area:  %1 x %2 mm")
                 .arg(oneDecimal(m_job.PrintableWidth()), oneDecimal(m_job.PrintableHeight()));
    lines << QStringLiteral("Zoom:  %1%").arg(qlonglong(std::llround(zoom * 100.0)));
    return lines.join(QStringLiteral("\r\n"));
}

void frmPreview::AnimateClose()
{
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QSize screenSize = screen->geometry().size();
    QRect r = frameGeometry();
    r.translate((screenSize.width() - r.width()) / 2, (screenSize.height() - r.height()) / 2);
    const QRect t(int(std::lround(screenSize.width() * 3.0 / 4.0)), int(std::lround(screenSize.height() * 2.0 / 3.0)),
                  r.width() / 3, r.height() / 3);
    clsWndEffects::AnimateCaption(r, t, windowTitle());
    clsWndEffects::AnimateCaption(t, QRect(0, 0, 0, 0), windowTitle());
}

void frmPreview::cmdClose_Click()
{
    AnimateClose();
    closeByCode();
}

void frmPreview::reject()
{
    cmdClose_Click();
}

void frmPreview::closeByCode()
{
    done(QDialog::Rejected);
}

// ---------------------------------------------------------------- PreviewDoc

void clsPrint::PreviewDoc(QWidget* Owner_hWnd, bool ViewPaginateStatus)
{
    setOwner(Owner_hWnd);
    setViewPaginateStatus(ViewPaginateStatus);
    frmPreview preview(*this);
    // The page picture is measured at the screen's resolution.
    QImage probe(1, 1, QImage::Format_RGB32);
    platform::ImageTarget device(&probe, screenDpiX(), screenDpiY());
    SetDeviceScale(device);
    try {
        Paginate(); // errors (an empty document's 18) go to the caller, nothing shown
    } catch (...) {
        // A document that cannot be laid out is given up whole, so a failed
        // big list does not keep its memory.
        ReleaseElements();
        trimMemory();
        throw;
    }
    preview.setWindowModality(Qt::ApplicationModal);
    runModal(preview);
    // The screen layout is of no use once the window is closed (printing lays
    // the document out again for the printer); its memory goes back now.
    ReleasePages();
    trimMemory();
    if (Owner_hWnd) {
        Owner_hWnd->raise();
        Owner_hWnd->activateWindow();
    }
}

} // namespace printlib
