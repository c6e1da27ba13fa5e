#include "printlib/frmPrintDialog.h"

#include "platform/print/printer.h"
#include "printlib/clsInteraction.h"
#include "printlib/clsPrint.h"
#include "printlib/clsWndEffects.h"
#include "printlib/winhelpers.h"

#include <QApplication>
#include <QGuiApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

namespace printlib {

namespace {

QRect tw(int left, int top, int width, int height)
{
    return {twipsToPixelsX(left), twipsToPixelsY(top), twipsToPixelsX(width), twipsToPixelsY(height)};
}

// 16 x 16 printer pictures: "pl" local, "pn" network (with a cable).
QPixmap printerPicture(bool network)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(1, 6, 13, 6);
    p.setBrush(Qt::white);
    p.drawRect(4, 1, 7, 5);
    if (network) {
        p.setPen(QColor(0, 0, 160));
        p.drawLine(7, 12, 7, 15);
        p.drawLine(2, 15, 13, 15);
    }
    return pm;
}

// The 94 x 38 pictures of uncollated (1 1 2 2) and collated (1 2 1 2) sheets.
QPixmap sheetsPicture(bool collated)
{
    QPixmap pm(94, 38);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    const QString order = collated ? QStringLiteral("1212") : QStringLiteral("1122");
    for (int i = 0; i < 4; ++i) {
        const QRect sheet(2 + i * 23, 4 + (i % 2) * 4, 18, 26);
        p.setPen(Qt::black);
        p.setBrush(Qt::white);
        p.drawRect(sheet);
        p.drawText(sheet, Qt::AlignCenter, order.mid(i, 1));
    }
    return pm;
}

bool isNetworkName(const QString& name)
{
    return name.size() > 1 && name.startsWith(QLatin1String("\\\\"));
}

} // namespace

// ---------------------------------------------------------------- helpers

void ReleaseLabel::mouseReleaseEvent(QMouseEvent* e)
{
    QLabel::mouseReleaseEvent(e);
    emit released();
}

UpDown::UpDown(QLineEdit* buddy, int highest, QWidget* parent) : QWidget(parent), m_buddy(buddy), m_highest(highest)
{
    m_up = new QToolButton(this);
    m_up->setArrowType(Qt::UpArrow);
    m_down = new QToolButton(this);
    m_down->setArrowType(Qt::DownArrow);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    for (QToolButton* b : {m_up, m_down}) {
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        b->setMinimumSize(1, 1);
        b->setIconSize(QSize(6, 6));
        column->addWidget(b);
    }
    m_up->setFocusPolicy(Qt::NoFocus);
    m_down->setFocusPolicy(Qt::NoFocus);
    connect(m_up, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { stepBy(-1); });
}

int UpDown::value() const
{
    return int(qBound(1LL, roundHalfEven(Val(m_buddy->text())), (long long)m_highest));
}

void UpDown::setValue(int value)
{
    m_buddy->setText(QString::number(qBound(1, value, m_highest)));
}

void UpDown::stepBy(int steps)
{
    if (isEnabled())
        setValue(value() + steps);
}

// ---------------------------------------------------------------- frmPrint

frmPrint::frmPrint(clsPrint& job, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), m_job(job)
{
    setWindowTitle(QStringLiteral("Nyomtat"));
    setFixedSize(twipsToPixelsX(6390), twipsToPixelsY(2355));
    // The design sizes are made for a small dialog font.
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);

    cboPrinters = new QComboBox(this);
    cboPrinters->setGeometry(tw(60, 60, 6285, 345));

    fraRange = new QGroupBox(QStringLiteral("Nyomtatási tartomány"), this);
    fraRange->setGeometry(tw(45, 480, 3435, 1455));
    optAll = new QRadioButton(fraRange);
    optAll->setGeometry(tw(120, 300, 240, 240));
    lblAll = new ReleaseLabel(QStringLiteral("  Mind"), fraRange);
    lblAll->setGeometry(tw(360, 300, 1000, 240));
    optPages = new QRadioButton(fraRange);
    optPages->setGeometry(tw(120, 660, 240, 240));
    lblPages = new ReleaseLabel(QStringLiteral("  Oldal(ak)  Tól:"), fraRange);
    lblPages->setGeometry(tw(360, 660, 1300, 240));
    txtFrom = new QLineEdit(QStringLiteral("1"), fraRange);
    txtFrom->setMaxLength(9);
    txtFrom->setGeometry(tw(1660, 630, 500, 285));
    udFrom = new UpDown(txtFrom, kLastPageNumber, fraRange);
    udFrom->setGeometry(tw(2160, 630, 200, 285));
    Label1_0 = new QLabel(QStringLiteral("Ig:"), fraRange);
    Label1_0->setGeometry(tw(2390, 660, 230, 240));
    txtTo = new QLineEdit(QStringLiteral("1"), fraRange);
    txtTo->setMaxLength(9);
    txtTo->setGeometry(tw(2620, 630, 500, 285));
    udTo = new UpDown(txtTo, kLastPageNumber, fraRange);
    udTo->setGeometry(tw(3120, 630, 200, 285));
    Label1_2 = new QLabel(QStringLiteral("Nyomtat:"), fraRange);
    Label1_2->setGeometry(tw(120, 1050, 800, 240));
    cboRange = new QComboBox(fraRange);
    cboRange->setGeometry(tw(960, 1000, 2040, 315));

    fraCopies = new QGroupBox(QStringLiteral("Másolatok"), this);
    fraCopies->setGeometry(tw(3525, 480, 2830, 1455));
    Label1_1 = new QLabel(QStringLiteral("Pédányszám:"), fraCopies);
    Label1_1->setGeometry(tw(120, 330, 1100, 240));
    txtCopies = new QLineEdit(QStringLiteral("1"), fraCopies);
    txtCopies->setMaxLength(3);
    txtCopies->setGeometry(tw(1250, 300, 500, 285));
    udCopies = new UpDown(txtCopies, 999, fraCopies);
    udCopies->setGeometry(tw(1750, 300, 200, 285));
    chkCollate = new QCheckBox(fraCopies);
    chkCollate->setGeometry(tw(120, 800, 240, 240));
    lblCollate = new ReleaseLabel(QStringLiteral(" Collate"), fraCopies);
    lblCollate->setGeometry(tw(360, 800, 800, 240));
    imgCollate = new QLabel(fraCopies);
    imgCollate->setGeometry(tw(1300, 720, 1455, 615));
    imgCollated = {sheetsPicture(false), sheetsPicture(true)};

    cmdPrint = new QPushButton(QStringLiteral("Nyomtat"), this);
    cmdPrint->setGeometry(tw(3525, 1980, 1400, 360));
    cmdPrint->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Mégse"), this);
    cmdCancel->setGeometry(tw(4960, 1980, 1400, 360));
    cmdCancel->setAutoDefault(false);

    optAll->setChecked(true);
    for (QLineEdit* box : {txtFrom, txtTo, txtCopies})
        selectAllOnFocus(box);

    connect(cmdPrint, &QPushButton::clicked, this, &frmPrint::cmdPrint_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmPrint::cmdCancel_Click);
    connect(chkCollate, &QCheckBox::stateChanged, this, &frmPrint::chkCollate_Click);
    connect(lblCollate, &ReleaseLabel::released, this, [this] { chkCollate->setChecked(!chkCollate->isChecked()); });
    connect(lblAll, &ReleaseLabel::released, this, [this] { optAll->setChecked(true); });
    connect(lblPages, &ReleaseLabel::released, this, [this] { optPages->setChecked(true); });
    connect(optAll, &QRadioButton::toggled, this, &frmPrint::EnablePageRange);
    connect(optPages, &QRadioButton::toggled, this, &frmPrint::EnablePageRange);

    Form_Load();
}

frmPrint::~frmPrint()
{
    UnhookPrinterCombo();
    UnhookRangeCombo();
    m_print = false;
}

void frmPrint::Form_Load()
{
    m_print = false;
    cboRange->clear();
    cboRange->addItem(QStringLiteral("minden oldal"));
    cboRange->addItem(QStringLiteral("páratlan oldalak"));
    cboRange->addItem(QStringLiteral("páros oldalak"));

    QStringList printers = platform::printerNames();
    const QString current = platform::printer().DeviceName();
    // A current printer the system does not list (one installed by the
    // program itself) stays choosable.
    if (!current.isEmpty() && !printers.contains(current))
        printers.prepend(current);
    if (!printers.isEmpty()) {
        int selected = 0;
        for (const QString& name : printers) {
            cboPrinters->addItem(QIcon(printerPicture(isNetworkName(name))), name, isNetworkName(name)
                                     ? QStringLiteral("pn") : QStringLiteral("pl"));
            if (name == current)
                selected = cboPrinters->count() - 1;
        }
        cboPrinters->setCurrentIndex(selected);
    } else {
        cboPrinters->addItem(QIcon(printerPicture(false)), QStringLiteral("Can't find any printer."),
                             QStringLiteral("pl"));
        cboPrinters->setCurrentIndex(0);
        cmdPrint->setEnabled(false);
    }
    chkCollate_Click();
    EnablePageRange();
    DisableXButton(this, true);
    HookPrinterCombo(cboPrinters);
    HookRangeCombo(cboRange);
}

void frmPrint::presetFrom(const clsPrint& job)
{
    chkCollate->setChecked(job.Collate);
    udCopies->setValue(job.Copies());
    cboRange->setCurrentIndex(job.Range());
    if (job.FromPage() != 0 && job.ToPage() != 0) {
        optPages->setChecked(true);
        udFrom->setValue(job.FromPage());
        udTo->setValue(job.ToPage());
    } else {
        optAll->setChecked(true);
        udFrom->setValue(1);
        udTo->setValue(1);
    }
}

void frmPrint::chkCollate_Click()
{
    m_collatePicture = chkCollate->isChecked() ? 1 : 0;
    imgCollate->setPixmap(imgCollated[size_t(m_collatePicture)]);
}

void frmPrint::EnablePageRange()
{
    const bool pages = optPages->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{txtFrom, txtTo, udFrom, udTo, Label1_0})
        w->setEnabled(pages);
}

void frmPrint::cmdPrint_Click()
{
    if (!cmdPrint->isEnabled())
        return;
    const long long from = roundHalfEven(Val(txtFrom->text()));
    const long long to = roundHalfEven(Val(txtTo->text()));
    // Page numbers outside 1..kLastPageNumber are refused here, before any
    // option is written, so the document never receives a range it cannot hold.
    if (optPages->isChecked()
        && (to < from || from < 1 || to < 1 || from > kLastPageNumber || to > kLastPageNumber)) {
        interaction().ShowMsgBox(QStringLiteral("Attention"), QStringLiteral("Invalid print range."),
                                 QStringLiteral("OK"), QString(), QString(), QString(), 2, 1, 1);
        txtFrom->setFocus();
        return;
    }
    const long long copies = roundHalfEven(Val(txtCopies->text()));
    if (copies < 1 || copies > 999) {
        interaction().ShowMsgBox(QStringLiteral("Attention"), QStringLiteral("Copies can be between 1 and 999"),
                                 QStringLiteral("OK"), QString(), QString(), QString(), 2, 1, 1);
        txtCopies->setFocus();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    cmdPrint->setEnabled(false);
    cmdCancel->setEnabled(false);

    // The chosen printer becomes the program's current printer.
    const QString chosen = cboPrinters->currentText();
    if (platform::printer().DeviceName() != chosen && platform::printerNames().contains(chosen))
        platform::selectPrinter(chosen);

    m_job.Collate = chkCollate->isChecked();
    m_job.setCopies(int(copies));
    m_job.setRange(qMax(0, cboRange->currentIndex()));
    if (optPages->isChecked()) {
        m_job.setFromPage(int(from));
        m_job.setToPage(int(to));
    } else {
        m_job.setFromPage(0);
        m_job.setToPage(0);
    }
    m_print = true;
    HideWithEffect();
    hide();
    QApplication::restoreOverrideCursor();
}

void frmPrint::cmdCancel_Click()
{
    if (!cmdCancel->isEnabled())
        return;
    cmdPrint->setEnabled(false);
    cmdCancel->setEnabled(false);
    m_print = false;
    HideWithEffect();
    hide();
}

void frmPrint::reject()
{
    cmdCancel_Click();
}

void frmPrint::HideWithEffect()
{
    if (!isVisible())
        return;
    clsWndEffects effects;
    effects.HideOrShowRect(this, 5, 5, 1, 10);
    effects.DeleteObj();
}

void frmPrint::AnimateOpen()
{
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The dialog opens centred on its screen, where the caption lands.
    adjustSize();
    const QRect screenRect = screen->geometry();
    QRect r(screenRect.topLeft(), frameGeometry().size());
    r.translate((screenRect.width() - r.width()) / 2, (screenRect.height() - r.height()) / 2);
    move(r.topLeft());
    clsWndEffects::AnimateCaption(QRect(0, 0, 0, 0), r, windowTitle());
}

bool runPrintDialog(clsPrint& job)
{
    frmPrint dialog(job);
    dialog.presetFrom(job);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.AnimateOpen();
    runModal(dialog);
    return dialog.isPrint();
}

} // namespace printlib
