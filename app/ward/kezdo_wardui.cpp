// The ward form's own controls: the ward-sign list and the four item tabs,
// named as the ward form names them, and the grids and combos bound to the
// ward program's code tables.
#include "app/ward/wardmain.h"

#include "app/common/kezdo.h"
#include "app/ward/wardrules.h"
#include "platform/db/dataconnection.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbcombo.h"
#include "platform/ui/dbgrid.h"
#include "platform/ui/maskedbox.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

namespace {

template <typename W>
W* named(W* widget, const char* name, const QRect& geometry)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(geometry);
    return widget;
}

platform::SSPanel* panel(QWidget* parent, const char* name, const QString& caption, const QRect& geometry)
{
    auto* p = named(new platform::SSPanel(caption, parent), name, geometry);
    p->setIndent(4);
    p->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return p;
}

platform::GridColumns fieldColumns(std::initializer_list<const char*> fields)
{
    platform::GridColumns columns;
    for (const char* f : fields) {
        const QString name = QString::fromUtf8(f);
        columns.append({name, name});
    }
    return columns;
}

constexpr int kNameColumnWidth = 240;

} // namespace

WardMain::WardMain(kezdo& window) : w(window) {}

void WardMain::setupHeader()
{
    w.Text6->setEnabled(false);
    w.Combo2->clear();
    w.Combo2->addItems(ward::wardSigns());
    w.Combo2->setEditText(QString());
}

void WardMain::setupItemTabs(QWidget* f)
{
    // No surgery slots: the tabs take their place.
    w.SSTab1 = named(new QTabWidget(f), "SSTab1", QRect(10, 146, 996, 312));
    w.SSTab1->setObjectName(QStringLiteral("SSTab1"));

    struct Page {
        const char* page;
        QString title;
        LazyControl<QLineEdit>* code;
        const char* codeName;
        LazyControl<platform::DBCombo>* combo;
        const char* comboName;
        LazyControl<platform::MaskEdBox>* quantity;
        const char* quantityName;
        int quantityLength;
        LazyControl<QLineEdit>* quantityText;
        const char* quantityTextName;
        LazyControl<platform::SSCommand>* add;
        const char* addName;
        LazyControl<platform::SSCommand>* search;
        const char* searchName;
        LazyControl<platform::DBGrid>* grid;
        const char* gridName;
    };
    const Page pages[3] = {
        {"tabGyogyszer", QStringLiteral("Gyógyszer"), &w.Text1, "Text1", &w.DBCombo2, "DBCombo2", &w.MaskEdBox7,
         "MaskEdBox7", 10, &w.Text2, "Text2", &w.SSCommand3, "SSCommand3", &w.SSCommand19, "SSCommand19", &w.DBGrid3,
         "DBGrid3"},
        {"tabElelmezes", QStringLiteral("Élelmezés"), &w.Text5, "Text5", &w.DBCombo3, "DBCombo3", &w.MaskEdBox8,
         "MaskEdBox8", 64, &w.Text7, "Text7", &w.SSCommand4, "SSCommand4", &w.SSCommand22, "SSCommand22", &w.DBGrid2,
         "DBGrid2"},
        {"tabEgyeb", QStringLiteral("Egyéb(röntg., labor)"), &w.Text8, "Text8", &w.DBCombo4, "DBCombo4",
         &w.MaskEdBox9, "MaskEdBox9", 64, &w.Text9, "Text9", &w.SSCommand5, "SSCommand5", &w.SSCommand23,
         "SSCommand23", &w.DBGrid4, "DBGrid4"},
    };
    for (const Page& p : pages) {
        auto* page = new QWidget(w.SSTab1);
        page->setObjectName(QString::fromLatin1(p.page));
        w.SSTab1->addTab(page, p.title);
        auto* codeCaption = new QLabel(QStringLiteral("Kód:"), page);
        codeCaption->setGeometry(8, 8, 34, 24);
        *p.code = named(new QLineEdit(page), p.codeName, QRect(44, 8, 80, 24));
        (*p.code)->setMaxLength(5);
        *p.combo = named(new platform::DBCombo(page), p.comboName, QRect(132, 8, 150, 24));
        (*p.combo)->setText(QStringLiteral("Nincs kiválasztva"));
        auto* quantityCaption = new QLabel(QStringLiteral("Mennyiség:"), page);
        quantityCaption->setGeometry(296, 8, 72, 24);
        *p.quantity = named(new platform::MaskEdBox(QString(), page), p.quantityName, QRect(370, 8, 100, 24));
        (*p.quantity)->setMaxLength(p.quantityLength);
        (*p.quantity)->setFormat(QStringLiteral("$#,##0.00;($#,##0.00)"));
        // Hidden and disabled: the add reads the quantity here. It takes the
        // quantity text whole, however long: cut to the width of `Rmen` it
        // would read as a smaller quantity that passes the add's check, which
        // must see the whole text to refuse one that does not fit.
        *p.quantityText = named(new QLineEdit(page), p.quantityTextName, QRect(476, 8, 60, 24));
        (*p.quantityText)->setEnabled(false);
        (*p.quantityText)->hide();
        *p.add = named(new platform::SSCommand(QStringLiteral("Hozzáad"), page), p.addName, QRect(520, 6, 100, 28));
        *p.search = named(new platform::SSCommand(QStringLiteral("Keresés"), page), p.searchName,
                          QRect(628, 6, 100, 28));
        *p.grid = named(new platform::DBGrid(page), p.gridName, QRect(8, 40, 974, 236));
    }
    w.Label19 = named(new QLabel(QStringLiteral("nap"), w.MaskEdBox8->parentWidget()), "Label19",
                      QRect(474, 8, 40, 24));
    w.SSPanel27 = panel(w.MaskEdBox9->parentWidget(), "SSPanel27", QString(), QRect(736, 6, 230, 28));

    // Diagnostics items are recorded with surgeries, in the surgical
    // program: this page only says so.
    auto* diagnostics = new QWidget(w.SSTab1);
    diagnostics->setObjectName(QStringLiteral("tabDiagnosztika"));
    w.SSTab1->addTab(diagnostics, QStringLiteral("Diagnosztika"));
    w.SSPanel29 = panel(diagnostics, "SSPanel29",
                        QStringLiteral("Diagnosztikai kódok csak a műtétekhez (Műtétes ráfordítás programban) "
                                       "vehetők fel!"),
                        QRect(40, 60, 900, 40));
    w.SSPanel29->setAlignment(Qt::AlignCenter);
    QFont bold = w.SSPanel29->font();
    bold.setBold(true);
    w.SSPanel29->setFont(bold);
}

void WardMain::bindData()
{
    w.DBCombo2->setRowSource(w.Data7, QStringLiteral("SKOD"));
    w.DBGrid3->setDataSource(w.Data7, fieldColumns({"SKOD", "SNEV", "SME", "SAR", "NEM", "KOR_ALSO", "KOR_FELSO",
                                                    "NAPIMENNY", "ESET_MAX", "ERV"}));
    w.DBCombo3->setRowSource(w.Data6, QStringLiteral("KOD"));
    w.DBGrid2->setDataSource(w.Data6, fieldColumns({"KOD", "NEV"}));
    w.DBCombo4->setRowSource(w.Data5, QStringLiteral("KOD"));
    w.DBGrid4->setDataSource(w.Data5, fieldColumns({"KOD", "NEV", "ME", "AR", "NEM", "KOR_ALSO", "KOR_FELSO",
                                                    "NAPI_MAX", "ESET_MAX", "ERV", "JEL", "TIPUS", "NEMET_PONT"}));
    for (platform::DBGrid* grid : {w.DBGrid3, w.DBGrid2, w.DBGrid4})
        grid->setColumnWidth(1, kNameColumnWidth);
}
