#include "app/windows/attekintform.h"

#include "app/common/dataaction.h"
#include "app/common/programinfo.h"
#include "app/windows/itemlist.h"
#include "platform/db/dataconnection.h"
#include "platform/print/printer.h"
#include "platform/sys/regional.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbgrid.h"
#include "platform/ui/legacyform.h"
#include "platform/ui/msgbox.h"
#include "printlib/clsPrint.h"
#include "printlib/frmPaginateStatus.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QTimer>
#include <QVBoxLayout>

using platform::GridColumns;
using platform::db::DataConnection;
using platform::db::Database;

namespace {

using overview::EpisodeSelection;

const EpisodeSelection kAllEpisodes{};
const EpisodeSelection kEpisodesById{QString(), QStringLiteral("Azonosito"), {}};
const EpisodeSelection kEpisodesByRegister{QString(), QStringLiteral("T_szam"), {}};
// The register number exactly as typed, blanks included, bound as a value.
EpisodeSelection episodesOfRegister(const QString& tSzam)
{
    return {QStringLiteral("T_szam= ?"), QString(), {tSzam}};
}
const QString kAllItems = QStringLiteral("select * from Ráfkódok");
const QString kItemsById = QStringLiteral("select * from Ráfkódok order by Azonosito");
const QString kItemsOfEpisode = QStringLiteral("select * from Ráfkódok where Azonosito= ?");
const QString kItemsOfSurgery = QStringLiteral("select * from Ráfkódok where Azonosito= ? and Mkod= ?");
const QString kAllSurgeries = QStringLiteral("select * from műtétek");
const QString kSurgeriesById = QStringLiteral("select * from műtétek order by Azonosito");
const QString kSurgeriesOfEpisode = QStringLiteral("select * from műtétek where Azonosito= ?");

const QString kPhysicalOrder = QStringLiteral("[ Fizikailag rendezve ]");

GridColumns columns(std::initializer_list<std::pair<const char*, const char*>> list)
{
    GridColumns c;
    for (const auto& [caption, field] : list)
        c.append({QString::fromUtf8(caption), QString::fromUtf8(field)});
    return c;
}

GridColumns episodeColumns(bool ward)
{
    if (ward)
        return columns({{"Azonosító", "Azonosito"}, {"Intézetkód", "Int_kod"}, {"Intézet tipusa", "Int_tipus"},
                        {"Törzsszszám", "T_szam"}, {"Tajszám", "Taj"}, {"Tsor", "Tsor"},
                        {"Felvétel dátuma", "Fdat"}, {"Felvételi idő", "Fido"}, {"Osztálykód", "Okod"},
                        {"Távozás dátuma", "Tdat"}, {"Távozási idő", "Tido"}, {"Ojele", "Ojele"}, {"Vjel", "Vjel"},
                        {"Manuális", "Manuális"}});
    return columns({{"Azonosito", "Azonosito"}, {"Int.kod", "Int_kod"}, {"Int.típus", "Int_tipus"},
                    {"Törzsszam", "T_szam"}, {"Taj", "Taj"}, {"Tsor", "Tsor"}, {"Felvételi dátum", "Fdat"},
                    {"Felvételi idő", "Fido"}, {"F_okod", "F_okod"}, {"Okod", "Okod"}, {"Távozási dátum", "Tdat"},
                    {"Távozási idő", "Tido"}, {"Ojele", "Ojele"}, {"Vjel", "Vjel"}, {"Manuális", "Manuális"},
                    {"Betegseg", "Betegseg"}, {"Beavatkoz", "Beavatkoz"}, {"tovsors", "tovsors"},
                    {"Mutido", "Mutido"}, {"Mut1", "Mut1"}, {"Mut2", "Mut2"}, {"Mut3", "Mut3"}, {"Mut4", "Mut4"}});
}

GridColumns itemColumns()
{
    return columns({{"Azonosító", "Azonosito"}, {"Zorivozure kód", "Rkod"}, {"Zorivozure megnevezés", "Rmegnevezés"},
                    {"Mennyiség", "Rmen"}, {"Menny.egys.", "Me"}, {"Pont", "Pont"}, {"Egységár", "Egységár"},
                    {"Érték", "Érték"}, {"Tipus", "Tipus"}});
}

GridColumns surgeryColumns()
{
    return columns({{"Azonosito", "Azonosito"}, {"Műtétkód", "Mkod"}, {"Mmegnevezés", "Mmegnevezés"},
                    {"Műtétidőtartam", "Mido"}, {"AzonB", "AzonB"}});
}

void lightBlue(platform::DBGrid* grid)
{
    QPalette p = grid->palette();
    p.setColor(QPalette::Base, QColor(192, 192, 255));
    grid->setPalette(p);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
}

// A panel with its label at the right, as the heading of a list.
QWidget* headingRow(platform::SSPanel* panel, QLabel* right)
{
    auto* row = new QWidget;
    auto* l = new QHBoxLayout(row);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(panel, 1);
    if (right)
        l->addWidget(right);
    return row;
}

QWidget* countRow(QLabel* count, QWidget* left = nullptr)
{
    auto* row = new QWidget;
    auto* l = new QHBoxLayout(row);
    l->setContentsMargins(0, 0, 0, 0);
    if (left)
        l->addWidget(left);
    l->addStretch(1);
    l->addWidget(count);
    return row;
}

} // namespace

void countInto(DataConnection& connection, QLabel& label)
{
    auto& rs = connection.recordset();
    if (rs.recordCount() < 1) {
        label.setText(QStringLiteral("0"));
        return;
    }
    rs.moveLast();
    label.setText(QString::number(rs.recordCount()));
    rs.moveFirst();
}

attekintform::attekintform(const ProgramInfo& program, std::function<void()> comeBack, QWidget* parent)
    : QMainWindow(parent), m_program(program), m_comeBack(std::move(comeBack))
{
    setObjectName(QStringLiteral("attekintform"));
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("Áttekintés"));
    // The working folder's file, the one the main window works on.
    m_db = Database::open(QDir::current().filePath(program.enteredDataFile));
    auto connection = [this](const char* name, const QString& table) {
        auto* c = new DataConnection(QString::fromLatin1(name), this);
        c->setDatabase(m_db);
        c->setRecordSource(table);
        c->refresh();
        return c;
    };
    Data1 = connection("Data1", QStringLiteral("alap"));
    Data2 = connection("Data2", QStringLiteral("Ráfkódok"));
    if (!program.isWard())
        Data3 = connection("Data3", QStringLiteral("műtétek"));
    setupUi();
    connectHandlers();
}

attekintform::~attekintform() = default;

void attekintform::setupUi()
{
    const bool ward = m_program.isWard();
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* v = new QVBoxLayout(central);

    auto label = [](const char* name, const QString& text = QString()) {
        auto* l = new QLabel(text);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    auto grid = [](const char* name) {
        auto* g = new platform::DBGrid;
        g->setObjectName(QString::fromLatin1(name));
        lightBlue(g);
        return g;
    };

    SSPanel1 = new platform::SSPanel(QStringLiteral("Alapadatok:"));
    SSPanel1->setObjectName(QStringLiteral("SSPanel1"));
    Label1 = label("Label1", kPhysicalOrder);
    DBGrid1Caption = label("DBGrid1Caption",
                           QStringLiteral("Dupla kattintással leszűkítheti a törzsszámhoz tartozó ráfordításkódokat!"));
    DBGrid1Caption->setAlignment(Qt::AlignCenter);
    DBGrid1 = grid("DBGrid1");
    Label4 = label("Label4");
    SSPanel2 = new platform::SSPanel(QStringLiteral("Felvett ráfordításkódok:"));
    SSPanel2->setObjectName(QStringLiteral("SSPanel2"));
    Label2 = label("Label2", QStringLiteral("[]"));
    DBGrid2 = grid("DBGrid2");
    Label5 = label("Label5");
    SSCommand1 = new platform::SSCommand(QStringLiteral("Mindent mutat"));
    SSCommand1->setObjectName(QStringLiteral("SSCommand1"));

    v->addWidget(headingRow(SSPanel1, Label1));
    v->addWidget(DBGrid1Caption);
    v->addWidget(DBGrid1, 3);
    v->addWidget(countRow(Label4));
    if (!ward) {
        SSPanel3 = new platform::SSPanel(QStringLiteral("Felvett műtétkódok:"));
        SSPanel3->setObjectName(QStringLiteral("SSPanel3"));
        DBGrid3 = grid("DBGrid3");
        Label7 = label("Label7");
        // The narrowing is named beside the surgeries in the surgical window.
        v->addWidget(headingRow(SSPanel3, Label2));
        v->addWidget(DBGrid3, 2);
        v->addWidget(countRow(Label7));
        v->addWidget(headingRow(SSPanel2, nullptr));
        v->addWidget(DBGrid2, 3);
    } else {
        v->addWidget(headingRow(SSPanel2, Label2));
        v->addWidget(DBGrid2, 5);
    }
    v->addWidget(countRow(Label5, SSCommand1));

    DBGrid1->setDataSource(Data1, episodeColumns(ward));
    DBGrid2->setDataSource(Data2, itemColumns());
    if (DBGrid3)
        DBGrid3->setDataSource(Data3, surgeryColumns());

    // The search frame lies over the upper middle of the window.
    SSFrame1 = new platform::SSFrame(QStringLiteral("Keresés"), central);
    SSFrame1->setObjectName(QStringLiteral("SSFrame1"));
    auto* f = new QVBoxLayout(SSFrame1);
    Label3 = label("Label3", QStringLiteral("Kérem a keresett törzsszámot!"));
    Text1 = new QLineEdit;
    Text1->setObjectName(QStringLiteral("Text1"));
    SSCommand2 = new platform::SSCommand(QStringLiteral("Ok"));
    SSCommand2->setObjectName(QStringLiteral("SSCommand2"));
    SSCommand3 = new platform::SSCommand(QStringLiteral("Mégse"));
    SSCommand3->setObjectName(QStringLiteral("SSCommand3"));
    f->addWidget(Label3);
    f->addWidget(Text1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(SSCommand2);
    buttons->addWidget(SSCommand3);
    f->addLayout(buttons);
    SSFrame1->setAutoFillBackground(true);
    SSFrame1->setGeometry(300, 60, 300, 130);
    SSFrame1->hide();

    listmenu = menuBar()->addAction(QStringLiteral("Lista"));
    listmenu->setObjectName(ward ? QStringLiteral("listamenu") : QStringLiteral("listmenu"));
    ker = menuBar()->addAction(QStringLiteral("Keresés"));
    ker->setObjectName(QStringLiteral("ker"));
    rend = menuBar()->addMenu(QStringLiteral("Rendezés"));
    rend->setObjectName(QStringLiteral("rend"));
    fizrend = rend->addAction(QStringLiteral("Fizikailag"));
    fizrend->setObjectName(QStringLiteral("fizrend"));
    azrend = rend->addAction(QStringLiteral("Azonosító szerint"));
    azrend->setObjectName(QStringLiteral("azrend"));
    torzsrend = rend->addAction(ward ? QStringLiteral("Törzsszám szerint")
                                     : QStringLiteral("Törzsszám szerint(csak alapadatokban)"));
    torzsrend->setObjectName(QStringLiteral("torzsrend"));
    trl = menuBar()->addAction(QStringLiteral("Töröl"));
    trl->setObjectName(QStringLiteral("trl"));

    resize(900, 700);
}

void attekintform::connectHandlers()
{
    ev.onActivate([this] { Form_Activate(); });
    ev.onDblClick(DBGrid1, [this] { DBGrid1_DblClick(); });
    if (DBGrid3)
        ev.onDblClick(DBGrid3, [this] { DBGrid3_DblClick(); });
    ev.onClick(SSCommand1, [this] { SSCommand1_Click(); });
    ev.onClick(SSCommand2, [this] { SSCommand2_Click(); });
    ev.onClick(SSCommand3, [this] { SSCommand3_Click(); });
    ev.onKeyPress(Text1, [this](int& keyAscii) { Text1_KeyPress(keyAscii); });
    connect(listmenu, &QAction::triggered, this, [this] { listmenu_Click(); });
    connect(ker, &QAction::triggered, this, [this] { ker_Click(); });
    connect(fizrend, &QAction::triggered, this, [this] { fizrend_Click(); });
    connect(azrend, &QAction::triggered, this, [this] { azrend_Click(); });
    connect(torzsrend, &QAction::triggered, this, [this] { torzsrend_Click(); });
    connect(trl, &QAction::triggered, this, [this] { trl_Click(); });
}

void attekintform::setSource(DataConnection* c, const QString& source, const QVariantList& params)
{
    if (!c)
        return;
    c->setRecordSource(source, params);
    c->refresh();
}

void attekintform::showEpisodes(const EpisodeSelection& selection)
{
    m_shown = selection;
    setSource(Data1, selection.recordSource(), selection.params);
}

void attekintform::countAll()
{
    countInto(*Data1, *Label4);
    countInto(*Data2, *Label5);
    if (Data3)
        countInto(*Data3, *Label7);
}

// ---- activation and closing ----

void attekintform::Form_Activate()
{
    platform::centreWindow(this);
    countAll();
}

void attekintform::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Without a window manager nobody makes the new window active, and its
    // activation is where it centres itself and counts its lists.
    QTimer::singleShot(0, this, [this] {
        if (isVisible() && !isActiveWindow())
            activateWindow();
    });
}

void attekintform::closeEvent(QCloseEvent* event)
{
    // The list reads through this window's file: it closes after the list.
    if (m_listing) {
        event->ignore();
        return;
    }
    event->accept();
    if (m_comeBack)
        m_comeBack();
}

// ---- narrowing ----

void attekintform::DBGrid1_DblClick()
{
    auto& rs = Data1->recordset();
    if (!rs.hasCurrent())
        return;
    const QString id = rs.text(QStringLiteral("Azonosito"));
    setSource(Data2, kItemsOfEpisode, {id});
    Label2->setText(QStringLiteral("[ Lebontva: ") + id + QStringLiteral(" törzsszámra ]"));
    countInto(*Data2, *Label5);
    if (Data3) {
        setSource(Data3, kSurgeriesOfEpisode, {id});
        countInto(*Data3, *Label7);
    }
}

void attekintform::DBGrid3_DblClick()
{
    if (!Data3)
        return;
    auto& rs = Data3->recordset();
    if (!rs.hasCurrent())
        return;
    setSource(Data2, kItemsOfSurgery, {rs.text(QStringLiteral("Azonosito")), rs.text(QStringLiteral("Mkod"))});
}

// ---- sort orders ----

void attekintform::fizrend_Click()
{
    showEpisodes(kAllEpisodes);
    setSource(Data2, kAllItems);
    setSource(Data3, kAllSurgeries);
    Label1->setText(kPhysicalOrder);
}

void attekintform::azrend_Click()
{
    showEpisodes(kEpisodesById);
    setSource(Data2, kItemsById);
    setSource(Data3, kSurgeriesById);
    Label1->setText(QStringLiteral("[ Azonosító szerint rendezve ]"));
}

void attekintform::torzsrend_Click()
{
    showEpisodes(kEpisodesByRegister);
    Label1->setText(QStringLiteral("[ Törzsszám szerint rendezve ]"));
}

// ---- search by register number ----

void attekintform::ker_Click()
{
    SSFrame1->show();
    SSFrame1->raise();
    Text1->setFocus();
}

void attekintform::SSCommand3_Click()
{
    SSFrame1->hide();
}

void attekintform::Text1_KeyPress(int& keyAscii)
{
    if (keyAscii == 13) {
        keyAscii = 0;
        SSCommand2_Click();
    }
}

void attekintform::SSCommand2_Click()
{
    if (Data1->recordset().recordCount() < 1) {
        SSFrame1->hide();
        return;
    }
    showEpisodes(episodesOfRegister(Text1->text()));
    auto& found = Data1->recordset();
    if (found.recordCount() < 1) {
        platform::msgBox(QStringLiteral("Nincs ilyen törzsszám!"), platform::Critical);
        showEpisodes(kEpisodesById);
        return;
    }
    countInto(*Data1, *Label4);
    Label1->setText(QStringLiteral("[ Azonosítóra rendezve ]"));
    const QString id = found.text(QStringLiteral("Azonosito"));

    auto positionOnEpisode = [&id](DataConnection& c) {
        auto& rs = c.recordset();
        if (rs.recordCount() > 0)
            rs.findFirst(QStringLiteral("Azonosito= ?"), {id});
    };
    if (!m_program.isWard())
        setSource(Data2, kItemsById);
    countInto(*Data2, *Label5);
    positionOnEpisode(*Data2);
    if (Data3) {
        setSource(Data3, kSurgeriesById);
        countInto(*Data3, *Label7);
        positionOnEpisode(*Data3);
    }
    SSFrame1->hide();
}

// ---- show everything ----

void attekintform::SSCommand1_Click()
{
    if (m_program.isWard()) {
        showEpisodes(kAllEpisodes);
        setSource(Data2, kAllItems);
    } else {
        showEpisodes(kEpisodesById);
        setSource(Data2, kItemsById);
        setSource(Data3, kSurgeriesById);
    }
    Label2->setText(QStringLiteral("[]"));
    countAll();
}

// ---- delete ----

void attekintform::trl_Click()
{
    auto& rs = Data1->recordset();
    if (!rs.hasCurrent())
        return; // nothing chosen: nothing to ask, nothing deleted
    const QString question = m_program.isWard()
        ? QStringLiteral("Biztos törölni akarja?")
        : QStringLiteral("Biztos törölni akarja?Törlődni fog az összes felvett ráfordítás-, és műtétkód!");
    if (platform::msgBox(question, platform::Question | platform::YesNo, QStringLiteral("Kérdés"))
        != platform::MsgResult::Yes)
        return;

    const QString id = rs.text(QStringLiteral("Azonosito"));
    // The episode goes with its items and surgeries, or nothing goes.
    try {
        Database::Transaction tx(*m_db);
        rs.deleteCurrent();
        m_db->exec(QStringLiteral("delete from Ráfkódok where Azonosito = ?"), {id});
        if (Data3)
            m_db->exec(QStringLiteral("delete from műtétek where Azonosito = ?"), {id});
        tx.commit();
    } catch (const platform::db::DbError& e) {
        // Nothing was deleted: the lists, their narrowing and their counts
        // stay as the clerk had them (a rolled-back delete puts the episode
        // back where it stood).
        showDataError(e, QStringLiteral("Nem sikerült a törlés, semmi sem törlődött!"));
        return;
    }
    if (Data1->recordset().recordCount() > 0)
        Data1->recordset().moveFirst();
    setSource(Data2, kAllItems);
    setSource(Data3, kAllSurgeries);
    countAll();
}

// ---- printed item list ----

QString attekintform::institutionLine()
{
    // An institution never entered gives an empty header line, not a failure.
    auto rs = platform::db::Recordset::open(m_db, QStringLiteral("select * from intadatok"));
    if (rs->recordCount() < 1)
        return QString();
    rs->moveFirst();
    return rs->text(QStringLiteral("Int_kod")) + QStringLiteral(", ") + rs->text(QStringLiteral("Int_neve"));
}

void attekintform::raford_fej()
{
    overview::raford_fej(*printlib::Job,
                         m_program.isWard() ? overview::ItemListColumns::ward() : overview::ItemListColumns::surgical());
}

void attekintform::listmenu_Click()
{
    // The list runs to its preview with the windows repainting; a second
    // start in the meantime is no start.
    if (m_listing)
        return;
    unsetCursor();
    if (Data1->recordset().recordCount() < 1) {
        platform::msgBox(QStringLiteral("Nincs nyomtatandó tétel!"), platform::Critical, QStringLiteral("Hiba"));
        return;
    }
    m_listing = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{m_listing};
    const overview::ItemListColumns& columns =
        m_program.isWard() ? overview::ItemListColumns::ward() : overview::ItemListColumns::surgical();
    QString lastListed;
    bool listed = false;
    // A list that failed half way is of no use: its document goes, with the
    // pagination window and the memory it holds.
    const auto dropDocument = [] { printlib::ReleaseJob(); };
    try {
        const QString institution = institutionLine();
        printlib::CreateJob();
        // The pagination window stands from the first row read to the
        // preview, counting the episodes and then the pages.
        printlib::frmPaginateStatus& status = printlib::Job->ShowPaginateStatus();
        {
            overview::ItemListLayout layout(*printlib::Job, institution,
                                            platform::shortDateText(platform::Clock::today()), columns);
            int read = 0;
            constexpr int kShownEvery = 256;
            overview::forEachListedEpisode(*m_db, m_shown, !m_program.isWard(),
                                           [&](const overview::ListedEpisode& e) {
                                               layout.add(e);
                                               lastListed = e.identifier;
                                               listed = true;
                                               if (++read % kShownEvery == 0)
                                                   status.setRead(read);
                                               status.keepAlive();
                                           });
            status.setRead(read);
        }
        // The lower lists show the last listed episode's rows, as they did
        // when the list walked them episode by episode.
        if (listed) {
            setSource(Data2, kItemsOfEpisode, {lastListed});
            setSource(Data3, kSurgeriesOfEpisode, {lastListed});
        }
        printlib::Job->PreviewDoc(this, true);
    } catch (const printlib::LibError& e) {
        dropDocument();
        platform::msgBox(QStringLiteral("%1  %2").arg(e.Number).arg(e.Description), platform::Critical,
                         QStringLiteral("Hiba"));
    } catch (const platform::PrinterError& e) {
        dropDocument();
        platform::msgBox(QStringLiteral("%1  %2").arg(e.Number).arg(e.Description), platform::Critical,
                         QStringLiteral("Hiba"));
    } catch (const platform::db::DbError& e) {
        dropDocument();
        showDataError(e, QStringLiteral("Nem sikerült a lista összeállítása!"));
    }
    // The list is not kept once its preview is closed or its work failed: a
    // year's list would otherwise hold its memory until the next printout.
    printlib::ReleaseJob();
    // Back from the preview: the lists are counted again, as on every return
    // to this window (a window system may or may not report the activation).
    countAll();
}
