// The main window's controls: every one created, named and captioned as the
// clerks know it, laid out in fixed positions on a window of about
// 1024 x 740. Widgets are created in the order of the form, which is also
// their keyboard order. The window opens with what its first screen shows
// (menus, toolbar, banner); the frames are built together when first
// reached (ensureFrames). Frames that open over the entry frame (institution
// data, import, progress, period dialog, search, find, surgery master) are
// created after it so they lie on top of it.
#include "app/common/kezdo.h"
#include "app/common/episoderules.h"

#include "app/common/programinfo.h"
#include "app/ward/wardmain.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbcombo.h"
#include "platform/ui/dbgrid.h"
#include "platform/ui/maskedbox.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QRadialGradient>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolBar>

namespace {

template <typename W>
W* named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A caption label of a plain text, named after the control it describes.
QLabel* caption(QWidget* parent, const QString& text, const QRect& geometry, const char* forControl)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QStringLiteral("caption_") + QString::fromLatin1(forControl));
    l->setGeometry(geometry);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return l;
}

QLineEdit* textBox(QWidget* parent, const char* name, const QRect& geometry, int maxLength = 0)
{
    auto* t = named(new QLineEdit(parent), name);
    t->setGeometry(geometry);
    if (maxLength > 0)
        t->setMaxLength(maxLength);
    return t;
}

platform::MaskEdBox* maskBox(QWidget* parent, const char* name, const QString& mask, const QRect& geometry)
{
    auto* m = named(new platform::MaskEdBox(mask, parent), name);
    m->setGeometry(geometry);
    return m;
}

platform::SSCommand* button(QWidget* parent, const char* name, const QString& text, const QRect& geometry)
{
    auto* b = named(new platform::SSCommand(text, parent), name);
    b->setGeometry(geometry);
    return b;
}

platform::SSCheck* checkBox(QWidget* parent, const char* name, const QString& text, const QRect& geometry)
{
    auto* c = named(new platform::SSCheck(text, parent), name);
    c->setGeometry(geometry);
    return c;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, const QRect& geometry, bool sunken = false)
{
    auto* l = named(new QLabel(text, parent), name);
    l->setGeometry(geometry);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    if (sunken) {
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setAutoFillBackground(true);
        l->setBackgroundRole(QPalette::Base);
    }
    return l;
}

// A frame of the main window. The entry frame fills the window; the others
// open over it like small dialogs and get a clear border of their own.
platform::SSFrame* frame(QWidget* parent, const char* name, const QString& text, const QRect& geometry,
                         bool overlay = true)
{
    auto* f = named(new platform::SSFrame(text, parent), name);
    f->setGeometry(geometry);
    f->setAutoFillBackground(true);
    const QString border = overlay ? QStringLiteral("2px solid #4a5f7f") : QStringLiteral("1px solid #9aa6b8");
    const QString back = overlay ? QStringLiteral("#e9edf3") : QStringLiteral("palette(window)");
    f->setStyleSheet(QStringLiteral("QGroupBox#%1 { border: %2; border-radius: 4px; margin-top: 10px;"
                                    " background-color: %3; font-weight: bold; }"
                                    "QGroupBox#%1::title { subcontrol-origin: margin; left: 10px; padding: 0 4px; }")
                         .arg(f->objectName(), border, back));
    return f;
}

platform::DBGrid* grid(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* g = named(new platform::DBGrid(parent), name);
    g->setGeometry(geometry);
    return g;
}

platform::DBCombo* dbCombo(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* c = named(new platform::DBCombo(parent), name);
    c->setGeometry(geometry);
    return c;
}

// The old grids carry a caption line above their rows. Here it is a label
// just above the grid that appears and disappears with it.
class GridCaption : public QObject {
public:
    GridCaption(QWidget* grid, const QString& text) : QObject(grid), m_grid(grid)
    {
        m_label = new QLabel(text, grid->parentWidget());
        m_label->setObjectName(grid->objectName() + QStringLiteral("_caption"));
        m_label->setAlignment(Qt::AlignCenter);
        m_label->setFrameShape(QFrame::Panel);
        m_label->setFrameShadow(QFrame::Raised);
        m_label->setAutoFillBackground(true);
        m_label->setBackgroundRole(QPalette::Button);
        QFont f = m_label->font();
        f.setBold(true);
        m_label->setFont(f);
        // The grid gives up the top line of its place to its caption.
        const QRect g = grid->geometry();
        m_label->setGeometry(g.x(), g.y(), g.width(), kHeight);
        grid->setGeometry(g.x(), g.y() + kHeight, g.width(), g.height() - kHeight);
        m_label->setVisible(!grid->isHidden());
        grid->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_grid) {
            if (event->type() == QEvent::ShowToParent) {
                m_label->show();
                m_label->raise();
            } else if (event->type() == QEvent::HideToParent) {
                m_label->hide();
            }
        }
        return false;
    }

private:
    static constexpr int kHeight = 20;
    QWidget* m_grid;
    QLabel* m_label;
};

// Toolbar pictures, drawn here so that the program carries no picture files.
QIcon toolIcon(int index)
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(40, 40, 60);
    p.setPen(QPen(ink, 1.5));
    switch (index) {
    case 1: { // manual entry: a sheet and a pen
        p.setBrush(Qt::white);
        p.drawRect(5, 3, 18, 25);
        for (int y = 9; y <= 21; y += 4)
            p.drawLine(8, y, 20, y);
        p.setPen(QPen(QColor(30, 90, 200), 3));
        p.drawLine(16, 28, 28, 12);
        break;
    }
    case 2: { // import: an arrow into a diskette
        p.setBrush(QColor(60, 90, 160));
        p.drawRect(4, 12, 20, 18);
        p.setBrush(Qt::white);
        p.drawRect(9, 12, 10, 6);
        p.setPen(QPen(QColor(0, 140, 60), 3));
        p.drawLine(24, 2, 24, 12);
        p.drawLine(20, 8, 24, 12);
        p.drawLine(28, 8, 24, 12);
        break;
    }
    case 3: { // ward codes: a list
        p.setBrush(QColor(250, 245, 220));
        p.drawRect(4, 4, 24, 24);
        for (int y = 9; y <= 23; y += 5) {
            p.drawRect(7, y - 1, 2, 2);
            p.drawLine(12, y, 25, y);
        }
        break;
    }
    case 4: { // export: an arrow out of a diskette
        p.setBrush(QColor(60, 90, 160));
        p.drawRect(4, 12, 20, 18);
        p.setBrush(Qt::white);
        p.drawRect(9, 12, 10, 6);
        p.setPen(QPen(QColor(200, 100, 0), 3));
        p.drawLine(24, 12, 24, 2);
        p.drawLine(20, 6, 24, 2);
        p.drawLine(28, 6, 24, 2);
        break;
    }
    case 5: { // about: an "i" in a circle
        p.setBrush(QColor(40, 110, 200));
        p.setPen(Qt::NoPen);
        p.drawEllipse(3, 3, 26, 26);
        p.setBrush(Qt::white);
        p.drawEllipse(14, 7, 4, 4);
        p.drawRect(14, 13, 4, 12);
        break;
    }
    case 6: { // leave: an open door
        p.setBrush(QColor(150, 100, 60));
        p.drawRect(7, 3, 16, 26);
        p.setBrush(QColor(90, 60, 30));
        QPolygon door;
        door << QPoint(7, 3) << QPoint(16, 6) << QPoint(16, 29) << QPoint(7, 29);
        p.drawPolygon(door);
        p.setPen(QPen(QColor(200, 30, 30), 3));
        p.drawLine(19, 16, 29, 16);
        p.drawLine(25, 12, 29, 16);
        p.drawLine(25, 20, 29, 16);
        break;
    }
    default:
        break;
    }
    return QIcon(pm);
}

// The arrows of the walk buttons: a white arrow on a green disc, drawn once
// for the program (the style's own arrows are first looked for in the icon
// themes, which costs more than the whole entry frame).
QIcon walkIcon(bool forward)
{
    auto draw = [](bool right) {
        QPixmap pm(32, 32);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        QRadialGradient fill(QPointF(12, 10), 22);
        fill.setColorAt(0.0, QColor(130, 215, 120));
        fill.setColorAt(1.0, QColor(30, 130, 45));
        p.setPen(QPen(QColor(20, 95, 35), 1.5));
        p.setBrush(fill);
        p.drawEllipse(QRectF(2, 2, 28, 28));
        QPolygonF arrow;
        arrow << QPointF(7, 16) << QPointF(16, 8) << QPointF(16, 13) << QPointF(25, 13) << QPointF(25, 19)
              << QPointF(16, 19) << QPointF(16, 24);
        if (right) {
            for (QPointF& point : arrow)
                point.setX(32 - point.x());
        }
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPolygon(arrow);
        p.end();
        return QIcon(pm);
    };
    static const QIcon back = draw(false);
    static const QIcon next = draw(true);
    return forward ? next : back;
}

QIcon printerIcon()
{
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 60), 1.2));
    p.setBrush(Qt::white);
    p.drawRect(6, 2, 12, 8);
    p.setBrush(QColor(120, 120, 130));
    p.drawRoundedRect(2, 9, 20, 9, 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(6, 14, 12, 8);
    p.drawLine(8, 17, 16, 17);
    p.drawLine(8, 19, 14, 19);
    return QIcon(pm);
}

} // namespace

QPixmap drawBannerPicture(const QString& caption)
{
    QPixmap pm(771, 133);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 771, 133);
    g.setColorAt(0.0, QColor(10, 40, 100));
    g.setColorAt(0.55, QColor(20, 110, 150));
    g.setColorAt(1.0, QColor(120, 200, 210));
    p.fillRect(pm.rect(), g);
    // A few soft waves behind the text.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i) {
        QPainterPath wave;
        const int y = 80 + i * 16;
        wave.moveTo(0, y);
        wave.cubicTo(200, y - 40, 500, y + 40, 771, y - 10);
        wave.lineTo(771, 133);
        wave.lineTo(0, 133);
        wave.closeSubpath();
        p.setBrush(QColor(255, 255, 255, 22 + i * 8));
        p.drawPath(wave);
    }
    // A cross in a circle, the sign of care.
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawEllipse(QPointF(66, 66), 42, 42);
    p.setBrush(QColor(200, 30, 40));
    p.drawRect(56, 36, 20, 60);
    p.drawRect(36, 56, 60, 20);

    p.setPen(Qt::white);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(26);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(125, 22, 630, 50), Qt::AlignLeft | Qt::AlignVCenter, caption);
    f.setPixelSize(16);
    f.setBold(false);
    p.setFont(f);
    p.setPen(QColor(230, 240, 250));
    p.drawText(QRect(127, 72, 630, 30), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Ráfordítási tételek gyűjtése fekvőbeteg-ellátási esetekhez"));
    p.end();
    return pm;
}

void kezdo::setupUi()
{
    setWindowTitle(m_program.caption);
    resize(1024, 740);
    setMinimumSize(1024, 700);

    setupMenus();
    setupToolbar();

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    setCentralWidget(central);

    // The banner: Picture1 holds it at its own size, Picture2 is the canvas
    // of its animation in the same place.
    const QRect bannerPlace((1024 - 771) / 2, 24, 771, 133);
    Picture2 = new BannerCanvas(central);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setGeometry(bannerPlace);
    Picture2->hide();
    // Its picture is drawn when the banner is first played.
    Picture1 = label(central, "Picture1", QString(), bannerPlace);
    Picture1->hide();

    // The format-check boxes and the frames come when first reached
    // (ensureFormatBoxes, ensureFrames); the frames lie on top of the banner.
}

void kezdo::ensureFormatBoxes()
{
    if (m_formatBoxesBuilt || m_destroying)
        return;
    m_formatBoxesBuilt = true;
    // The first text a box takes wakes the accessibility bridge, which may
    // wait for the session bus: the first activation pays it, after the
    // window is on the screen, not the opening.
    QWidget* central = centralWidget();
    MaskEdBox5 = maskBox(central, "MaskEdBox5", QStringLiteral("####.##.##."), QRect(10, 200, 90, 22));
    MaskEdBox5->hide();
    MaskEdBox6 = maskBox(central, "MaskEdBox6", QStringLiteral("##:##:##"), QRect(110, 200, 80, 22));
    MaskEdBox6->hide();
}

void ensureKezdoFormatBoxes(kezdo* window)
{
    window->ensureFormatBoxes();
}

void kezdo::setupMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));

    auto item = [this](QMenu* menu, QAction*& member, const char* name, const QString& text) {
        member = menu->addAction(text);
        member->setObjectName(QString::fromLatin1(name));
    };
    auto submenu = [this](QMenu* parentMenu, QMenu*& member, const char* name, const QString& text) {
        member = parentMenu->addMenu(text);
        member->setObjectName(QString::fromLatin1(name));
        member->menuAction()->setObjectName(QString::fromLatin1(name));
    };

    ad = bar->addMenu(QStringLiteral("A&datok"));
    ad->setObjectName(QStringLiteral("ad"));
    adAction = ad->menuAction();
    adAction->setObjectName(QStringLiteral("ad"));
    item(ad, fel, "fel", QStringLiteral("Adatfelvitel"));
    submenu(ad, lev, "lev", QStringLiteral("Leválogatás"));
    item(lev, kesz, "kesz", m_program.importMenuCaption);
    item(lev, feldolg, "feldolg", QStringLiteral("2. Feldolgozás"));
    submenu(ad, megtekint, "megtekint", QStringLiteral("Felvett adatok áttekintése"));
    item(megtekint, tete, "tete", QStringLiteral("Tételesen"));
    item(megtekint, mind, "mind", QStringLiteral("Minden"));
    item(ad, konatt, "konatt", QStringLiteral("Konvertált adatok áttekintése"));
    s1 = ad->addSeparator();
    s1->setObjectName(QStringLiteral("s1"));
    item(ad, okodkarb, "okodkarb", QStringLiteral("Osztálykódok karbantartása"));
    item(ad, alapad, "alapad", QStringLiteral("Intézet kód beállítás"));
    s2 = ad->addSeparator();
    s2->setObjectName(QStringLiteral("s2"));
    item(ad, kil, "kil", QStringLiteral("Kilépés"));
    kil->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    list = bar->addMenu(QStringLiteral("&Listák készítése"));
    list->setObjectName(QStringLiteral("list"));
    listAction = list->menuAction();
    listAction->setObjectName(QStringLiteral("list"));
    item(list, elso, "elso", QStringLiteral("Hibalista"));
    item(list, mas, "mas", QStringLiteral("Ráfordítási hibalista"));
    item(list, har, "har", QStringLiteral("Magas költségű vagy mennyiségű ráfordítási adatok tételes listája"));
    // Never available: shown greyed so the clerk knows the list exists.
    har->setEnabled(false);

    talviron = bar->addAction(QStringLiteral("Adatleválogatás a TALVIRON számára"));
    talviron->setObjectName(QStringLiteral("talviron"));
    nevj = bar->addAction(QStringLiteral("Névjegy"));
    nevj->setObjectName(QStringLiteral("nevj"));
}

void kezdo::setupToolbar()
{
    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    Toolbar1->setIconSize(QSize(32, 32));
    Toolbar1->toggleViewAction()->setVisible(false);
    addToolBar(Qt::TopToolBarArea, Toolbar1);
    setContextMenuPolicy(Qt::NoContextMenu);

    const QString tips[6] = {
        QStringLiteral("Adatok manuális felvitele"),
        QStringLiteral("Adatok felvitele a TLVREC.TXT-ből"),
        QStringLiteral("Osztálykódok karbantartása"),
        QStringLiteral("Adatleválogatás a TALVIRON - nak"),
        QStringLiteral("Névjegy"),
        QStringLiteral("Kilépés"),
    };
    for (int i = 0; i < 6; ++i) {
        QAction* a = Toolbar1->addAction(toolIcon(i + 1), QString());
        a->setObjectName(QStringLiteral("Toolbar1_Button%1").arg(i + 1));
        a->setToolTip(tips[i]);
        toolbarButtons.append(a);
    }
}

void kezdo::setupEntryFrame()
{
    QWidget* central = centralWidget();
    SSFrame1 = frame(central, "SSFrame1", QStringLiteral("Adatfelvitel"), QRect(4, 2, 1016, 668), false);
    SSFrame1->hide();
    QWidget* f = SSFrame1;

    // --- header, first line: identifier, institution, ward, care type ---
    caption(f, QStringLiteral("Azonosító:"), QRect(10, 24, 68, 24), "Label1");
    Label1 = label(f, "Label1", QString(), QRect(80, 24, 80, 24), true);
    caption(f, QStringLiteral("Intézet kód:"), QRect(172, 24, 76, 24), "Text6");
    Text6 = textBox(f, "Text6", QRect(250, 24, 52, 24), 4);
    caption(f, QStringLiteral("Osztálykód:"), QRect(314, 24, 74, 24), "DBCombo1");
    DBCombo1 = dbCombo(f, "DBCombo1", QRect(390, 24, 90, 24));
    platform::setListOnly(DBCombo1);
    Text11 = textBox(f, "Text11", QRect(390, 24, 90, 24));
    Text11->hide();
    Label4 = label(f, "Label4", QString(), QRect(490, 24, 300, 24), true);
    Label6 = label(f, "Label6", QString(), QRect(792, 24, 18, 24));
    SSPanel21 = named(new platform::SSPanel(QStringLiteral("Intézetazonosító:"), f), "SSPanel21");
    SSPanel21->setGeometry(816, 22, 188, 28);
    SSPanel21->setIndent(4);
    SSPanel21->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    SSPanel22 = named(new platform::SSPanel(QStringLiteral("SSPanel22"), SSPanel21), "SSPanel22");
    SSPanel22->setGeometry(110, 3, 74, 22);

    // --- second line: register number, TAJ, sequence, ward sign, examination ---
    caption(f, QStringLiteral("Törzsszám:"), QRect(10, 54, 68, 24), "Text3");
    Text3 = textBox(f, "Text3", QRect(80, 54, 92, 24), 9);
    caption(f, QStringLiteral("TAJ szám:"), QRect(184, 54, 64, 24), "Text4");
    Text4 = textBox(f, "Text4", QRect(250, 54, 92, 24), 9);
    caption(f, QStringLiteral("Sorszám:"), QRect(354, 54, 60, 24), "Text14");
    Text14 = textBox(f, "Text14", QRect(416, 54, 36, 24), 2);
    caption(f, QStringLiteral("Osztály jele:"), QRect(466, 54, 82, 24), "Combo2");
    Combo2 = named(new QComboBox(f), "Combo2");
    Combo2->setGeometry(550, 54, 240, 24);
    Combo2->setEditable(true);
    Combo2->addItems(episode::wardSigns());
    Combo2->setEditText(QString());
    platform::setListOnly(Combo2);
    SSCheck2 = checkBox(f, "SSCheck2", QStringLiteral("Kivizsgálás"), QRect(818, 54, 150, 24));

    // --- third line: admission and discharge, outcome ---
    caption(f, QStringLiteral("Felvétel:"), QRect(10, 84, 68, 24), "MaskEdBox1");
    MaskEdBox1 = maskBox(f, "MaskEdBox1", QStringLiteral("####.##.##."), QRect(80, 84, 92, 24));
    MaskEdBox2 = maskBox(f, "MaskEdBox2", QStringLiteral("##:##"), QRect(176, 84, 52, 24));
    caption(f, QStringLiteral("Távozás:"), QRect(240, 84, 58, 24), "MaskEdBox3");
    MaskEdBox3 = maskBox(f, "MaskEdBox3", QStringLiteral("####.##.##."), QRect(300, 84, 92, 24));
    MaskEdBox4 = maskBox(f, "MaskEdBox4", QStringLiteral("##:##"), QRect(396, 84, 52, 24));
    if (m_program.isWard())
        ward->setupHeader();
    else
        setupOutcome();

    setupWalkLine();
    if (m_program.isWard())
        ward->setupItemTabs(f);
    else
        setupSurgeriesAndItems();
    setupEpisodeButtons();
}

void kezdo::setupOutcome()
{
    QWidget* f = SSFrame1;
    caption(f, QStringLiteral("Távozás módja:"), QRect(466, 84, 96, 24), "Combo3");
    Combo3 = named(new QComboBox(f), "Combo3");
    Combo3->setGeometry(564, 84, 320, 24);
    Combo3->setEditable(true);
    Combo3->addItems(episode::outcomeList());
    caption(f, QStringLiteral("Kód:"), QRect(892, 84, 30, 24), "Text25");
    Text25 = textBox(f, "Text25", QRect(924, 84, 28, 24), 1);
}

void kezdo::setupWalkLine()
{
    QWidget* f = SSFrame1;
    // --- fourth line: keep boxes, walks, find ---
    SSCheck4 = checkBox(f, "SSCheck4", QStringLiteral("Intézeti adatok megtartása"), QRect(10, 114, 190, 24));
    SSCheck6 = checkBox(f, "SSCheck6", QStringLiteral("Betegadatok megtartása"), QRect(204, 114, 170, 24));
    const QIcon left = walkIcon(false);
    const QIcon right = walkIcon(true);
    SSCommand15 = button(f, "SSCommand15", QString(), QRect(384, 112, 34, 28));
    SSCommand15->setIcon(left);
    SSCommand16 = button(f, "SSCommand16", QString(), QRect(420, 112, 34, 28));
    SSCommand16->setIcon(right);
    // Position and count hold seven digits, the count also the " / " that
    // the import puts before it: a year's episodes or a large converted file
    // run past 100,000.
    Label7 = label(f, "Label7", QString(), QRect(462, 114, 70, 24), true);
    Label7->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label8 = label(f, "Label8", QString(), QRect(536, 114, 86, 24), true);
    Label8->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SSCommand8 = button(f, "SSCommand8", QString(), QRect(628, 112, 34, 28));
    SSCommand8->setIcon(left);
    SSCommand9 = button(f, "SSCommand9", QString(), QRect(664, 112, 34, 28));
    SSCommand9->setIcon(right);
    Text12 = textBox(f, "Text12", QRect(704, 114, 56, 24));
    SSCommand10 = button(f, "SSCommand10", QStringLiteral("Ugrás"), QRect(764, 112, 70, 28));
    SSCommand25 = button(f, "SSCommand25", QStringLiteral("Törzsszámra keres"), QRect(842, 112, 150, 28));
    for (QWidget* w : {static_cast<QWidget*>(SSCommand15), static_cast<QWidget*>(SSCommand16),
                       static_cast<QWidget*>(Label7), static_cast<QWidget*>(Label8),
                       static_cast<QWidget*>(SSCommand8), static_cast<QWidget*>(SSCommand9),
                       static_cast<QWidget*>(Text12), static_cast<QWidget*>(SSCommand10),
                       static_cast<QWidget*>(SSCommand25)})
        w->hide();
}

void kezdo::setupSurgeriesAndItems()
{
    QWidget* f = SSFrame1;
    // --- surgery slots: ten columns, code box above duration box ---
    caption(f, QStringLiteral("Műtétek (kód / időtartam):"), QRect(10, 146, 220, 20), "Text23");
    const char* codeNames[10] = {"Text23", "Text9", "Text29", "Text21", "Text22",
                                 "Text27", "Text30", "Text24", "Text8", "Text26"};
    const char* durationNames[10] = {"MaskEdBox7", "MaskEdBox11", "MaskEdBox14", "MaskEdBox12", "MaskEdBox13",
                                     "MaskEdBox8", "MaskEdBox9", "MaskEdBox10", "MaskEdBox16", "MaskEdBox15"};
    LazyControl<QLineEdit>* codeMembers[10] = {&Text23, &Text9, &Text29, &Text21, &Text22,
                                               &Text27, &Text30, &Text24, &Text8, &Text26};
    LazyControl<platform::MaskEdBox>* durationMembers[10] = {&MaskEdBox7, &MaskEdBox11, &MaskEdBox14,
                                                             &MaskEdBox12, &MaskEdBox13, &MaskEdBox8,
                                                             &MaskEdBox9, &MaskEdBox10, &MaskEdBox16,
                                                             &MaskEdBox15};
    for (int k = 0; k < 10; ++k) {
        const int x = 10 + k * 68;
        auto* digit = new QLabel(QString::number(k), f);
        digit->setObjectName(QStringLiteral("slotDigit%1").arg(k));
        digit->setGeometry(x, 166, 62, 16);
        digit->setAlignment(Qt::AlignCenter);
        *codeMembers[k] = textBox(f, codeNames[k], QRect(x, 182, 62, 24), 5);
        *durationMembers[k] = maskBox(f, durationNames[k], QStringLiteral("##:##"), QRect(x, 208, 62, 24));
        for (QWidget* w : {static_cast<QWidget*>(*codeMembers[k]), static_cast<QWidget*>(*durationMembers[k])}) {
            w->setAutoFillBackground(true);
            QPalette pal = w->palette();
            pal.setColor(QPalette::Base, Qt::white);
            w->setPalette(pal);
            // Slot 0 starts editable; each completed duration opens the next.
            w->setEnabled(k == 0);
        }
    }
    Label26 = label(f, "Label26", QStringLiteral("műtétszám"), QRect(700, 182, 70, 24));
    Label19 = label(f, "Label19", QStringLiteral("0"), QRect(772, 182, 30, 24), true);
    Label19->setAlignment(Qt::AlignCenter);
    SSCommand23 = button(f, "SSCommand23", QStringLiteral("Törlés a műtétekből!"), QRect(700, 206, 180, 28));
    SSCommand23->hide();

    // --- item tabs ---
    SSTab1 = named(new QTabWidget(f), "SSTab1");
    SSTab1->setGeometry(10, 240, 996, 218);
    struct TabControls {
        const char* page;
        QString title;
        LazyControl<QLineEdit>* code;
        const char* codeName;
        int codeLength;
        LazyControl<platform::DBCombo>* combo;
        const char* comboName;
        LazyControl<platform::MaskEdBox>* quantity;
        const char* quantityName;
        LazyControl<QLineEdit>* quantityText;
        const char* quantityTextName;
        LazyControl<platform::SSCommand>* add;
        const char* addName;
        LazyControl<platform::SSCommand>* search;
        const char* searchName;
        LazyControl<platform::DBGrid>* grid;
        const char* gridName;
    };
    const TabControls tabs[3] = {
        {"tabGyogyszer", QStringLiteral("Gyógyszer"), &Text1, "Text1", 5, &DBCombo2, "DBCombo2", &MaskEdBox17,
         "MaskEdBox17", &Text2, "Text2", &SSCommand3, "SSCommand3", &SSCommand19, "SSCommand19", &DBGrid3, "DBGrid3"},
        {"tabAnyageszkoz", QStringLiteral("Műtéti eh. anyageszköz"), &Text5, "Text5", 5, &DBCombo3, "DBCombo3",
         &MaskEdBox18, "MaskEdBox18", &Text7, "Text7", &SSCommand4, "SSCommand4", &SSCommand5, "SSCommand5",
         &DBGrid2, "DBGrid2"},
        {"tabDiagnosztika", QStringLiteral("Diagnosztika"), &Text31, "Text31", 0, &DBCombo4, "DBCombo4",
         &MaskEdBox19, "MaskEdBox19", &Text32, "Text32", &SSCommand31, "SSCommand31", &SSCommand32, "SSCommand32",
         &DBGrid7, "DBGrid7"},
    };
    for (const TabControls& t : tabs) {
        auto* page = new QWidget(SSTab1);
        page->setObjectName(QString::fromLatin1(t.page));
        SSTab1->addTab(page, t.title);
        caption(page, QStringLiteral("Kód:"), QRect(8, 8, 34, 24), t.codeName);
        *t.code = textBox(page, t.codeName, QRect(44, 8, 80, 24), t.codeLength);
        *t.combo = dbCombo(page, t.comboName, QRect(132, 8, 150, 24));
        caption(page, QStringLiteral("Mennyiség:"), QRect(296, 8, 72, 24), t.quantityName);
        *t.quantity = maskBox(page, t.quantityName, QString(), QRect(370, 8, 100, 24));
        (*t.quantity)->setMaxLength(64);
        (*t.quantity)->setFormat(QStringLiteral("$#,##0.00;($#,##0.00)"));
        *t.quantityText = textBox(page, t.quantityTextName, QRect(476, 8, 60, 24));
        (*t.quantityText)->hide();
        *t.add = button(page, t.addName, QStringLiteral("Hozzáad"), QRect(480, 6, 100, 28));
        *t.search = button(page, t.searchName, QStringLiteral("Keresés"), QRect(588, 6, 100, 28));
        *t.grid = grid(page, t.gridName, QRect(8, 40, 974, 142));
    }
    DBCombo2->setText(QStringLiteral("Nincs kiválasztva"));
    new GridCaption(DBGrid7, QStringLiteral("Dupla kattintással felviszi a ráfordításkódokat!"));

    DBGrid4 = grid(f, "DBGrid4", QRect(10, 462, 996, 158));
    DBGrid4->hide();
    new GridCaption(DBGrid4, QStringLiteral(
        "F8 lenyomására törli a műtét és a hozzá tartozó ráfordításkódokat,F10-re kilép!"));
}

void kezdo::setupEpisodeButtons()
{
    QWidget* f = SSFrame1;
    const bool surgical = !m_program.isWard();
    // --- items of the episode ---
    caption(f, QStringLiteral("Az eset ráfordítási tételei:"), QRect(10, 462, 300, 20), "DBGrid1");
    DBGrid1 = grid(f, "DBGrid1", QRect(10, 482, 996, 138));
    if (surgical)
        DBGrid4->raise();

    // --- the buttons of the episode ---
    SSCommand1 = button(f, "SSCommand1", QStringLiteral("Felvitel"), QRect(10, 626, 120, 32));
    if (surgical) {
        SSCommand30 = button(f, "SSCommand30", QStringLiteral("Módosít"), QRect(136, 626, 120, 32));
        SSCommand30->hide();
    }
    SSCommand14 = button(f, "SSCommand14", QStringLiteral("Új"), QRect(262, 626, 100, 32));
    SSCommand14->hide();
    SSCommand24 = button(f, "SSCommand24", QStringLiteral("Törlés a tételekből"), QRect(380, 626, 170, 32));
    // The certificate: SSCommand33 here, SSCommand31 on the ward form.
    m_certificateButton = button(f, surgical ? "SSCommand33" : "SSCommand31", QString(), QRect(566, 626, 44, 32));
    m_certificateButton->setIcon(printerIcon());
    m_certificateButton->setIconSize(QSize(24, 24));
    (surgical ? SSCommand33 : SSCommand31) = m_certificateButton;
    SSCommand2 = button(f, "SSCommand2", QStringLiteral("Vissza"), QRect(886, 626, 120, 32));

    // --- hidden flags ---
    SSCheck1 = checkBox(f, "SSCheck1", QStringLiteral("fel lett - e vive x:igen"), QRect(620, 626, 200, 16));
    SSCheck3 = checkBox(f, "SSCheck3", QStringLiteral("&x: ha talviron floppyról jön az adat"), QRect(620, 642, 200, 16));
    SSCheck5 = checkBox(f, "SSCheck5", QStringLiteral("ha x akkor módosítás"), QRect(620, 626, 200, 16));
    for (QWidget* w : {static_cast<QWidget*>(SSCheck1), static_cast<QWidget*>(SSCheck3),
                       static_cast<QWidget*>(SSCheck5)})
        w->hide();
    if (surgical) {
        SSCheck8 = checkBox(f, "SSCheck8", QStringLiteral("jelzés"), QRect(620, 642, 200, 16));
        Label2 = label(f, "Label2", QStringLiteral("Label2"), QRect(830, 626, 40, 16));
        SSCheck8->hide();
        Label2->hide();
    }
}

void kezdo::setupOtherFrames()
{
    QWidget* central = centralWidget();

    // --- institution data ---
    SSFrame2 = frame(central, "SSFrame2", QStringLiteral("Intézeti adatok beállítása"), QRect(262, 190, 500, 150));
    Label12 = label(SSFrame2, "Label12", QStringLiteral("Kód:"), QRect(16, 30, 50, 24));
    Text10 = textBox(SSFrame2, "Text10", QRect(70, 30, 60, 24), 4);
    Label13 = label(SSFrame2, "Label13", QStringLiteral("Neve:"), QRect(16, 62, 50, 24));
    Text15 = textBox(SSFrame2, "Text15", QRect(70, 62, 414, 24), 150);
    SSCommand6 = button(SSFrame2, "SSCommand6", QStringLiteral("Ok"), QRect(270, 104, 100, 30));
    SSCommand7 = button(SSFrame2, "SSCommand7", QStringLiteral("Mégse"), QRect(384, 104, 100, 30));
    SSFrame2->hide();

    // --- import ---
    SSFrame3 = frame(central, "SSFrame3", QStringLiteral("Megnyitás"), QRect(232, 190, 560, 160));
    SSPanel19 = named(new platform::SSPanel(
                          QStringLiteral("Kérem a TALVIRON file elérési útvonalát a nevével együtt:"), SSFrame3),
                      "SSPanel19");
    SSPanel19->setGeometry(16, 28, 528, 26);
    SSPanel19->setIndent(6);
    Text13 = textBox(SSFrame3, "Text13", QRect(16, 64, 420, 24));
    Text13->setText(QStringLiteral("a:"));
    SSCommand11 = button(SSFrame3, "SSCommand11", QStringLiteral("Keres"), QRect(444, 62, 100, 28));
    SSCommand12 = button(SSFrame3, "SSCommand12", QStringLiteral("Ok"), QRect(330, 112, 100, 30));
    SSCommand13 = button(SSFrame3, "SSCommand13", QStringLiteral("Mégse"), QRect(444, 112, 100, 30));
    SSFrame3->hide();

    // --- progress ---
    SSFrame4 = frame(central, "SSFrame4", QStringLiteral("Feldolgozás"), QRect(292, 210, 440, 130));
    ProgressBar1 = named(new QProgressBar(SSFrame4), "ProgressBar1");
    ProgressBar1->setGeometry(16, 30, 408, 26);
    ProgressBar1->setRange(0, 0);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    Label9 = label(SSFrame4, "Label9", QStringLiteral("0"), QRect(16, 70, 100, 24), true);
    caption(SSFrame4, QStringLiteral("/"), QRect(122, 70, 10, 24), "Label10");
    Label10 = label(SSFrame4, "Label10", QString(), QRect(136, 70, 100, 24), true);
    Label11 = label(SSFrame4, "Label11", QString(), QRect(324, 70, 100, 24), true);
    Label11->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SSFrame4->hide();

    // --- period and target dialog ---
    SSFrame5 = frame(central, "SSFrame5", QStringLiteral("Feldolgozási idő"), QRect(282, 110, 460, 400));
    auto band = [this](const char* name, quint32 bgr, const QRect& r) {
        auto* s = named(new QFrame(SSFrame5), name);
        s->setGeometry(r);
        s->setAutoFillBackground(true);
        QPalette pal = s->palette();
        pal.setColor(QPalette::Window, platform::legacyColor(bgr));
        s->setPalette(pal);
        return s;
    };
    Shape7 = band("Shape7", 0x80C0FF, QRect(10, 24, 440, 44));
    Shape8 = band("Shape8", 0xC0E0FF, QRect(10, 72, 440, 110));
    Shape9 = band("Shape9", 0x808080, QRect(10, 186, 440, 150));
    Check2 = named(new QCheckBox(QStringLiteral("Törzsszám"), SSFrame5), "Check2");
    Check2->setGeometry(20, 34, 120, 24);
    Check2->setChecked(true);
    Text33 = textBox(SSFrame5, "Text33", QRect(150, 34, 110, 24), 9);
    Check1 = named(new QCheckBox(QStringLiteral("Idő"), SSFrame5), "Check1");
    Check1->setGeometry(20, 80, 120, 24);
    Label15 = label(SSFrame5, "Label15", QStringLiteral("Év:"), QRect(150, 80, 60, 20));
    Label16 = label(SSFrame5, "Label16", QStringLiteral("Hónap:"), QRect(230, 80, 60, 20));
    Text16 = textBox(SSFrame5, "Text16", QRect(150, 110, 70, 24), 4);
    Combo1 = named(new QComboBox(SSFrame5), "Combo1");
    Combo1->setGeometry(230, 110, 70, 24);
    Text28 = textBox(SSFrame5, "Text28", QRect(150, 146, 70, 24));
    Combo4 = named(new QComboBox(SSFrame5), "Combo4");
    Combo4->setGeometry(230, 146, 70, 24);
    for (QComboBox* c : {Combo1, Combo4}) {
        c->setEditable(true);
        for (int m = 1; m <= 12; ++m)
            c->addItem(QStringLiteral("%1").arg(m, 2, 10, QLatin1Char('0')));
        c->setEditText(QString());
    }
    Label17 = label(SSFrame5, "Label17", QString(), QRect(20, 196, 90, 24));
    Label17->hide();
    Text17 = textBox(SSFrame5, "Text17", QRect(112, 196, 220, 24), 9);
    Text17->hide();
    Text17->setEnabled(false);
    SSCommand28 = button(SSFrame5, "SSCommand28", QStringLiteral("Választ"), QRect(340, 194, 100, 28));
    Label24 = label(SSFrame5, "Label24", QStringLiteral("Fájlnév:"), QRect(20, 230, 90, 24));
    Label24->hide();
    Text20 = textBox(SSFrame5, "Text20", QRect(112, 230, 220, 24));
    Text20->hide();
    SSCommand17 = button(SSFrame5, "SSCommand17", QStringLiteral("OK"), QRect(340, 260, 100, 30));
    SSCommand18 = button(SSFrame5, "SSCommand18", QStringLiteral("Mégse"), QRect(340, 296, 100, 30));
    Label14 = label(SSFrame5, "Label14", QString(), QRect(20, 300, 30, 20));
    Label14->hide();
    Label21 = label(SSFrame5, "Label21", QStringLiteral("-"), QRect(20, 342, 420, 16));
    Label22 = label(SSFrame5, "Label22", QStringLiteral("-"), QRect(20, 358, 420, 16));
    Label23 = label(SSFrame5, "Label23", QStringLiteral("-"), QRect(20, 374, 420, 16));
    SSFrame5->hide();

    // --- code search ---
    SSFrame6 = frame(central, "SSFrame6", QStringLiteral("Keresés"), QRect(322, 200, 380, 170));
    SSPanel20 = named(new platform::SSPanel(QStringLiteral("Írja be a keresendő adatot!"), SSFrame6), "SSPanel20");
    SSPanel20->setGeometry(16, 28, 348, 26);
    SSPanel20->setIndent(6);
    Text18 = textBox(SSFrame6, "Text18", QRect(16, 62, 348, 24));
    SSOption1 = named(new QRadioButton(QStringLiteral("Kódra"), SSFrame6), "SSOption1");
    SSOption1->setGeometry(16, 96, 100, 24);
    SSOption2 = named(new QRadioButton(QStringLiteral("Névre"), SSFrame6), "SSOption2");
    SSOption2->setGeometry(120, 96, 100, 24);
    SSCommand20 = button(SSFrame6, "SSCommand20", QStringLiteral("Keres"), QRect(150, 128, 100, 30));
    SSCommand21 = button(SSFrame6, "SSCommand21", QStringLiteral("Mégse"), QRect(264, 128, 100, 30));
    Label18 = label(SSFrame6, "Label18", QString(), QRect(16, 132, 40, 20));
    Label18->hide();
    SSFrame6->hide();

    // --- find by register number ---
    SSFrame7 = frame(central, "SSFrame7", QStringLiteral("Törzsszámra keres"), QRect(352, 220, 320, 140));
    Label20 = label(SSFrame7, "Label20", QStringLiteral("Kérem a keresett törzsszámot!"), QRect(16, 28, 288, 24));
    Text19 = textBox(SSFrame7, "Text19", QRect(16, 58, 150, 24));
    SSCommand26 = button(SSFrame7, "SSCommand26", QStringLiteral("Ok"), QRect(90, 96, 100, 30));
    SSCommand27 = button(SSFrame7, "SSCommand27", QStringLiteral("Mégse"), QRect(204, 96, 100, 30));
    SSFrame7->hide();

    // --- surgery master picker ---
    if (!m_program.isWard()) {
        SSFrame8 = frame(central, "SSFrame8", QStringLiteral("Műtéttörzs"), QRect(112, 150, 800, 340));
        DBGrid6 = grid(SSFrame8, "DBGrid6", QRect(12, 26, 776, 258));
        new GridCaption(DBGrid6, QStringLiteral("Dupla kattintással rögzíti a kódot"));
        SSCommand29 = button(SSFrame8, "SSCommand29", QStringLiteral("Keres"), QRect(574, 294, 100, 32));
        SSCommand22 = button(SSFrame8, "SSCommand22", QStringLiteral("Mégse"), QRect(688, 294, 100, 32));
        SSFrame8->hide();
    }

    // --- episodes of a list's selection ---
    DBGrid5 = grid(central, "DBGrid5", QRect(4, 360, 1016, 310));
    // It lies over the entry frame's buttons until it is double-clicked away;
    // with a few rows most of it is empty space.
    DBGrid5->setDblClickAnywhere(true);
    DBGrid5->hide();

    // The code search also opens from the surgery master: it lies above it.
    SSFrame6->raise();
}
