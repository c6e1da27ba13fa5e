#include "app/windows/konvattform.h"

#include "app/common/dataaction.h"
#include "app/common/programinfo.h"
#include "platform/db/dataconnection.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbgrid.h"

#include <QAction>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <QVBoxLayout>

using platform::db::Database;
using platform::db::DataConnection;

namespace {

template <typename W>
W* named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

const char* const kFields[] = {
    "Munkahely_azon", "Torzsszam", "Sorszám", "Resz_sor", "Szemelyaz", "Az_tipus", "Beteg_neme",
    "Szul_datum", "Allampolg", "Csaladi_all", "Kis_torzsszam", "Feor", "Ir_szam", "Ter_kat",
    "Beutalo", "Felv_dat", "Felv_tim", "Oszt_tipus", "Felv_tipus", "Felv_jell", "Tav_dat",
    "Tav_tim", "Tov_sors", "Betegseg", "Beavatkoz", "Onkologia", "Ujsz_suly", "Baleset_min",
    "Felhaszn", "Orvoskod", "Rekord_tip", "Tartalek", "Feldolgozva",
};

// Every field of a converted record, headed by its name.
platform::GridColumns gridColumns()
{
    platform::GridColumns columns;
    for (const char* f : kFields)
        columns.append({QString::fromUtf8(f), QString::fromUtf8(f)});
    return columns;
}

// A coloured box holding one label, the way the state indicator shows.
QFrame* stateBox(QWidget* parent, const char* name, const QColor& colour, QLabel** label, const char* labelName,
                 const QString& text)
{
    auto* box = named(new QFrame(parent), name);
    box->setAutoFillBackground(true);
    QPalette p = box->palette();
    p.setColor(QPalette::Window, colour);
    box->setPalette(p);
    box->setFixedSize(130, 26);
    *label = named(new QLabel(text, box), labelName);
    (*label)->setGeometry(6, 0, 124, 26);
    return box;
}

} // namespace

konvattform::konvattform(const ProgramInfo& info, konvattLink link, QWidget* parent)
    : platform::LegacyForm(parent), m_program(info), m_link(std::move(link))
{
    setObjectName(QStringLiteral("konvattform"));
    setWindowTitle(QStringLiteral("Konvertált adatok áttekintése"));
    setAttribute(Qt::WA_DeleteOnClose);

    // The converted-record file of the working folder, by its plain name.
    m_converted = Database::open(QDir::current().filePath(info.convertedFile));
    Data1 = new DataConnection(QStringLiteral("Data1"), this);
    Data1->setDatabase(m_converted);
    Data1->setRecordSource(QStringLiteral("konv"));
    Data1->refresh();

    setupUi();

    DBGrid1->setDataSource(Data1, gridColumns());

    // A choice refused by a held file is told here rather than thrown back
    // through the menu's action: Qt's own code there does not unwind.
    connect(tlan, &QAction::triggered, this, [this] { runDataAction([this] { tlan_Click(); }); });
    connect(feld, &QAction::triggered, this, [this] { runDataAction([this] { feld_Click(); }); });
    connect(mind, &QAction::triggered, this, [this] { runDataAction([this] { mind_Click(); }); });
    connect(Data1, &DataConnection::currentChanged, this, [this] { DBGrid1_RowColChange(); });
    connect(Data1, &DataConnection::refreshed, this, [this] { DBGrid1_RowColChange(); });
    connect(&DBGrid1->recordsetModel(), &platform::RecordsetModel::readsResumed, this, [this] {
        if (m_countOwed)
            countComingUp();
    });
    events().onClick(AllDelGomb, [this] { AllDelGomb_Click(); });
    auto move = [this](void (platform::db::Recordset::*step)()) {
        auto& rs = Data1->recordset();
        if (rs.recordCount() == 0)
            return;
        (rs.*step)();
        // The bar stops on the first and the last record.
        if (rs.eof())
            rs.moveLast();
        else if (rs.bof())
            rs.moveFirst();
    };
    connect(Data1First, &QToolButton::clicked, this, [=] { move(&platform::db::Recordset::moveFirst); });
    connect(Data1Previous, &QToolButton::clicked, this, [=] { move(&platform::db::Recordset::movePrevious); });
    connect(Data1Next, &QToolButton::clicked, this, [=] { move(&platform::db::Recordset::moveNext); });
    connect(Data1Last, &QToolButton::clicked, this, [=] { move(&platform::db::Recordset::moveLast); });
}

konvattform::~konvattform() = default;

void konvattform::setupUi()
{
    resize(980, 600);
    auto* outer = new QVBoxLayout(this);
    menuBar = named(new QMenuBar(this), "menuBar");
    outer->setMenuBar(menuBar);
    val = named(menuBar->addMenu(QStringLiteral("&Válogatás")), "val");
    tlan = named(val->addAction(QStringLiteral("Feldolgozatlan")), "tlan");
    feld = named(val->addAction(QStringLiteral("Feldolgozott")), "feld");
    s = named(val->addSeparator(), "s");
    mind = named(val->addAction(QStringLiteral("Minden")), "mind");

    auto* top = new QHBoxLayout;
    SSPanel2 = named(new platform::SSPanel(QStringLiteral("Típusa:"), this), "SSPanel2");
    SSPanel2->setFixedSize(90, 26);
    top->addWidget(SSPanel2);
    // Both boxes stand in the same place; at most one is shown.
    auto* place = new QWidget(this);
    place->setFixedSize(130, 26);
    zoldpic = stateBox(place, "zoldpic", QColor(0, 255, 0), &Label2, "Label2", QStringLiteral("Feldolgozott"));
    pirospic = stateBox(place, "pirospic", QColor(255, 0, 0), &Label1, "Label1", QStringLiteral("Feldolgozatlan"));
    zoldpic->hide();
    pirospic->hide();
    top->addWidget(place);
    top->addStretch();
    outer->addLayout(top);

    DBGrid1 = named(new platform::DBGrid(this), "DBGrid1");
    outer->addWidget(DBGrid1, 1);

    auto* bottom = new QHBoxLayout;
    Data1Bar = named(new QFrame(this), "Data1Bar");
    static_cast<QFrame*>(Data1Bar)->setFrameShape(QFrame::Panel);
    auto* bar = new QHBoxLayout(Data1Bar);
    bar->setContentsMargins(2, 2, 2, 2);
    auto navButton = [this](const char* name, const QString& text) {
        auto* b = named(new QToolButton(Data1Bar), name);
        b->setText(text);
        return b;
    };
    Data1First = navButton("Data1First", QStringLiteral("|◀"));
    Data1Previous = navButton("Data1Previous", QStringLiteral("◀"));
    auto* barCaption = named(new QLabel(QStringLiteral("Léptet"), Data1Bar), "Data1Caption");
    barCaption->setMinimumWidth(120);
    barCaption->setAlignment(Qt::AlignCenter);
    Data1Next = navButton("Data1Next", QStringLiteral("▶"));
    Data1Last = navButton("Data1Last", QStringLiteral("▶|"));
    bar->addWidget(Data1First);
    bar->addWidget(Data1Previous);
    bar->addWidget(barCaption);
    bar->addWidget(Data1Next);
    bar->addWidget(Data1Last);
    bottom->addWidget(Data1Bar);
    bottom->addStretch();
    AllDelGomb = named(new platform::SSCommand(QStringLiteral("Mindent töröl"), this), "AllDelGomb");
    AllDelGomb->setMinimumWidth(140);
    bottom->addWidget(AllDelGomb);
    bottom->addStretch();
    SSPanel1 = named(new platform::SSPanel(this), "SSPanel1");
    SSPanel1->setFixedSize(100, 26);
    SSPanel1->setAlignment(Qt::AlignCenter);
    bottom->addWidget(SSPanel1);
    outer->addLayout(bottom);

    SSCheck1 = named(new platform::SSCheck(this), "SSCheck1");
    SSCheck1->hide();
}

// ---- activation, count, choices ----

void konvattform::Form_Activate()
{
    centre();
    countComingUp();
}

void konvattform::countComingUp()
{
    // Another program may hold the file whole as the window comes up: the
    // grid, which could not read its rows either, tells the clerk once, and
    // the count follows when the grid reads again.
    try {
        szamol();
        m_countOwed = false;
    } catch (const platform::db::DbError& e) {
        m_countOwed = true;
        DBGrid1->recordsetModel().readRefused(e);
    }
}

void konvattform::szamol()
{
    auto& rs = Data1->recordset();
    if (rs.recordCount() >= 1) {
        rs.moveLast();
        SSPanel1->setCaption(QString::number(rs.recordCount()));
        rs.moveFirst();
    } else {
        SSPanel1->setCaption(QStringLiteral("0"));
    }
}

void konvattform::choose(const QString& source)
{
    const QString shown = Data1->recordSource();
    Data1->setRecordSource(source);
    try {
        Data1->refresh();
        szamol();
    } catch (const platform::db::DbError&) {
        // The clerk is told nothing changed: the window goes back to the
        // choice on show. A file still held leaves the grid to read its rows
        // once it is free, and the count follows them.
        Data1->setRecordSource(shown);
        try {
            Data1->refresh();
            szamol();
            m_countOwed = false;
        } catch (const platform::db::DbError&) {
            m_countOwed = true;
        }
        throw;
    }
}

void konvattform::tlan_Click()
{
    choose(unprocessedSource());
}

void konvattform::feld_Click()
{
    choose(processedSource());
}

void konvattform::mind_Click()
{
    choose(allSource());
}

// ---- state of the current record ----

void konvattform::showState()
{
    const auto& rs = Data1->recordset();
    if (!rs.hasCurrent()) {
        zoldpic->hide();
        pirospic->hide();
        return;
    }
    const bool processed = rs.value(QStringLiteral("Feldolgozva")).toBool();
    zoldpic->setVisible(processed);
    pirospic->setVisible(!processed);
}

void konvattform::DBGrid1_RowColChange()
{
    // Rows that a deletion moves through are not shown one by one.
    if (SSCheck1->isChecked())
        return;
    showState();
}

// ---- deleting the whole choice ----

void konvattform::AllDelGomb_Click()
{
    auto& rs = Data1->recordset();
    // What a refused or failed deletion puts back: the rows come back into
    // the set with the transaction's rollback, the rest is the window's.
    const int position = rs.hasCurrent() ? rs.absolutePosition() : -1;
    const QString count = SSPanel1->caption();
    const auto bindAgain = [this] {
        DBGrid1->setDataSource(Data1, gridColumns());
        SSCheck1->setChecked(false);
        showState();
    };
    SSCheck1->setChecked(true);
    // Once the first row is gone the grid is let go, so it does not redraw
    // for every row; it is bound again however the deletion ends. A deletion
    // refused before any row went keeps the grid bound: another program that
    // holds the file keeps its rows from being read again, and the grid
    // shows the rows it showed.
    bool released = false;
    try {
        Database::Transaction transaction(*m_converted);
        while (rs.recordCount() >= 1) {
            rs.moveFirst();
            rs.deleteCurrent();
            if (!released) {
                DBGrid1->setDataSource(nullptr);
                released = true;
            }
            // The ward program leaves the count as it was until the next choice.
            if (m_program.viewerCountsDeletion)
                SSPanel1->setCaption(QString::number(rs.recordCount()));
        }
        transaction.commit();
    } catch (const platform::db::DbError& e) {
        if (position >= 0 && position < rs.recordCount() && rs.absolutePosition() != position)
            rs.setAbsolutePosition(position);
        SSPanel1->setCaption(count);
        if (released)
            bindAgain();
        else
            SSCheck1->setChecked(false);
        showDataError(e);
        return;
    }
    bindAgain();
}

// ---- closing ----

void konvattform::Form_QueryUnload(int& cancel, int unloadMode)
{
    Q_UNUSED(cancel);
    Q_UNUSED(unloadMode);
    if (m_link.closed)
        m_link.closed();
}
