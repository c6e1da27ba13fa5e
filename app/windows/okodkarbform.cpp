#include "app/windows/okodkarbform.h"

#include "app/common/programinfo.h"
#include "platform/db/dataconnection.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbgrid.h"
#include "platform/ui/msgbox.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QShowEvent>

using platform::db::Database;
using platform::db::DataConnection;

namespace wardcodes {

const QStringList& careTypeEntries()
{
    static const QStringList entries = {
        QStringLiteral("1=- aktív fekvőbeteg ellátás"),
        QStringLiteral("2 = járóbeteg szakellátás, központi diagnosztika, terápia"),
        QStringLiteral("3 = nappali kórház"),
        QStringLiteral("4 = szanatórium"),
        QStringLiteral("5 = egyéb egészségügyi szolgálat"),
        QStringLiteral("A = ápolási otthon"),
        QStringLiteral("C = krónikus fekvőbeteg-ellátás"),
        QStringLiteral("E = egynapos ellátás"),
        QStringLiteral("G = gondozás"),
        QStringLiteral("K = kúraszerű ellátás"),
        QStringLiteral("R = rehabilitáció (fekvő)"),
        QStringLiteral("M = mátrix"),
    };
    return entries;
}

QString storedCareType(const QString& careTypeText)
{
    return careTypeText.left(1);
}

bool codeLengthRefused(const QString& code)
{
    return !code.trimmed().isEmpty() && code.size() < 4;
}

bool missingData(const QString& code, const QString& name, const QString& careType)
{
    return code.trimmed().isEmpty() || name.trimmed().isEmpty() || careType.trimmed().isEmpty();
}

} // namespace wardcodes

namespace {

const QString kTable = QStringLiteral("Osztálykódok");
// The code is always bound, so a quote in it is just a character.
const QString kCriterion = QStringLiteral("Okod= ?");

template <typename W>
W* named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

void plainBox(const QString& text)
{
    platform::msgBox(text, platform::OkOnly);
}

} // namespace

okodkarbform::okodkarbform(const ProgramInfo& info, okodkarbLink link, QWidget* parent)
    : platform::LegacyForm(parent), m_link(std::move(link))
{
    setObjectName(QStringLiteral("okodkarbform"));
    setWindowTitle(QStringLiteral("Osztálykódok karbantartása"));
    setAttribute(Qt::WA_DeleteOnClose);
    setupUi();

    // The entered-data file of the working folder, by its plain name.
    m_entered = Database::open(QDir::current().filePath(info.enteredDataFile));
    Data1 = new DataConnection(QStringLiteral("Data1"), this);
    Data1->setDatabase(m_entered);
    Data1->setRecordSource(kTable);
    Data1->refresh();
    DBGrid1->setDataSource(Data1, {{QStringLiteral("Osztálykód"), QStringLiteral("Okod")},
                                   {QStringLiteral("Megnevezés"), QStringLiteral("Megnevezés")},
                                   {QStringLiteral("Osztályjelleg"), QStringLiteral("Ojelleg")}});
    DBGrid1->setColumnWidth(1, 260);
    // Cells of existing rows can be corrected in place, with no check.
    DBGrid1->setAllowUpdate(true);

    events().onChange(Text1, [this] { Text1_Change(); });
    events().onLostFocus(Text1, [this] { Text1_LostFocus(); });
    events().onClick(SSOption1, [this] { SSOption1_Click(); });
    events().onClick(SSOption2, [this] { SSOption2_Click(); });
    events().onClick(SSOption3, [this] { SSOption3_Click(); });
    events().onClick(SSOption4, [this] { SSOption4_Click(); });
    events().onDblClick(DBGrid1, [this] { DBGrid1_DblClick(); });
}

okodkarbform::~okodkarbform() = default;

void okodkarbform::setupUi()
{
    resize(560, 420);
    auto panel = [this](const char* name, const QString& text, const QRect& g) {
        auto* p = named(new platform::SSPanel(text, this), name);
        p->setGeometry(g);
        return p;
    };
    SSPanel1 = panel("SSPanel1", QStringLiteral("Osztálykód:"), QRect(16, 16, 130, 26));
    Text1 = named(new QLineEdit(this), "Text1");
    Text1->setGeometry(156, 16, 80, 26);
    Text1->setMaxLength(4);
    SSPanel2 = panel("SSPanel2", QStringLiteral("Megnevezés:"), QRect(16, 52, 130, 26));
    Text2 = named(new QLineEdit(this), "Text2");
    Text2->setGeometry(156, 52, 388, 26);
    Text2->setMaxLength(90);
    SSPanel3 = panel("SSPanel3", QStringLiteral("Osztály jellege:"), QRect(16, 88, 130, 26));
    Combo1 = named(new QComboBox(this), "Combo1");
    Combo1->setGeometry(156, 88, 388, 26);
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->addItems(wardcodes::careTypeEntries());
    Combo1->setCurrentIndex(-1);
    Combo1->setEditText(QString());
    SSPanel4 = panel("SSPanel4", QStringLiteral("Teljes kód:"), QRect(16, 124, 130, 26));
    Label1 = named(new QLabel(this), "Label1");
    Label1->setGeometry(156, 124, 160, 26);

    // The options act as push buttons: each is cleared again when its action
    // ends, so none may clear another by itself.
    auto option = [this](const char* name, const QString& text, int x) {
        auto* o = named(new QRadioButton(text, this), name);
        o->setAutoExclusive(false);
        o->setGeometry(x, 166, 120, 26);
        return o;
    };
    SSOption1 = option("SSOption1", QStringLiteral("Felvitel"), 16);
    SSOption2 = option("SSOption2", QStringLiteral("Javítás"), 146);
    SSOption3 = option("SSOption3", QStringLiteral("Törlés"), 276);
    SSOption4 = option("SSOption4", QStringLiteral("Megtekint"), 406);

    DBGrid1 = named(new platform::DBGrid(this), "DBGrid1");
    DBGrid1->setGeometry(16, 204, 528, 200);
    DBGrid1->hide();
}

void okodkarbform::showEvent(QShowEvent* event)
{
    platform::LegacyForm::showEvent(event);
    // Loading centres the window on the screen, once.
    if (!m_centred && !event->spontaneous()) {
        m_centred = true;
        centre();
    }
}

void okodkarbform::Form_QueryUnload(int& cancel, int unloadMode)
{
    Q_UNUSED(cancel);
    Q_UNUSED(unloadMode);
    if (m_link.closed)
        m_link.closed();
}

// ---- the code box ----

bool okodkarbform::findCode()
{
    return Data1->recordset().findFirst(kCriterion, {Text1->text()});
}

void okodkarbform::Text1_Change()
{
    if (!findCode()) {
        Text2->clear();
        Combo1->setEditText(QString());
        SSOption1->setEnabled(true);
        return;
    }
    const auto& rs = Data1->recordset();
    Text2->setText(rs.text(QStringLiteral("Megnevezés")));
    // The stored character alone, not its list entry.
    Combo1->setEditText(rs.text(QStringLiteral("Ojelleg")));
}

void okodkarbform::Text1_LostFocus()
{
    if (wardcodes::codeLengthRefused(Text1->text())) {
        plainBox(wardcodes::kCodeLengthMessage);
        Text1->setFocus();
    }
}

// ---- the four actions ----

void okodkarbform::ssoptiontrl()
{
    for (QRadioButton* o : {SSOption1, SSOption2, SSOption3, SSOption4})
        o->setChecked(false);
}

void okodkarbform::selectOnly(QRadioButton* option)
{
    for (QRadioButton* o : {SSOption1, SSOption2, SSOption3, SSOption4})
        o->setChecked(o == option);
}

bool okodkarbform::refusedForStoring()
{
    if (wardcodes::missingData(Text1->text(), Text2->text(), Combo1->currentText())) {
        platform::msgBox(QStringLiteral("Hiányzó adatok"), platform::Critical, QStringLiteral("Hiba!"));
        return true;
    }
    // The code box's own check runs only when it loses the focus; a click on
    // an option may come first, so storing checks the length again.
    if (wardcodes::codeLengthRefused(Text1->text())) {
        plainBox(wardcodes::kCodeLengthMessage);
        Text1->setFocus();
        return true;
    }
    return false;
}

void okodkarbform::writeRow()
{
    auto& rs = Data1->recordset();
    rs.setValue(QStringLiteral("Okod"), Text1->text());
    rs.setValue(QStringLiteral("Megnevezés"), Text2->text());
    rs.setValue(QStringLiteral("Ojelleg"), wardcodes::storedCareType(Combo1->currentText()));
    rs.update();
}

void okodkarbform::SSOption1_Click()
{
    if (refusedForStoring()) {
        SSOption1->setChecked(false);
        return;
    }
    selectOnly(SSOption1);
    auto& rs = Data1->recordset();
    rs.addNew();
    writeRow();
    plainBox(QStringLiteral("Az adatok felvitele sikeres!"));
    if (m_link.wardCodesChanged)
        m_link.wardCodesChanged();
    // Emptying the code box finds no row, which empties the care type too.
    Text1->clear();
    Text2->clear();
    ssoptiontrl();
}

void okodkarbform::SSOption2_Click()
{
    // A refusal leaves "Javítás" selected.
    if (refusedForStoring())
        return;
    selectOnly(SSOption2);
    if (!findCode()) {
        plainBox(QStringLiteral("Ilyen osztálykód nincs regisztrálva!"));
    } else {
        Data1->recordset().edit();
        writeRow();
        plainBox(QStringLiteral("A javítás sikeres volt!"));
        if (m_link.wardCodesChanged)
            m_link.wardCodesChanged();
    }
    ssoptiontrl();
}

void okodkarbform::SSOption3_Click()
{
    selectOnly(SSOption3);
    const QString code = Text1->text();
    if (code.trimmed().isEmpty()) {
        plainBox(QStringLiteral("Adjon meg osztálykódot!"));
    } else if (!findCode()) {
        plainBox(QStringLiteral("Ilyen osztálykód nincs regisztrálva!"));
    } else {
        Data1->recordset().deleteCurrent();
        plainBox(QStringLiteral("Az ") + code + QStringLiteral(" osztálykód törölve a regisztrációból!"));
        if (m_link.wardCodesChanged)
            m_link.wardCodesChanged();
        Text1->clear();
        Text2->clear();
    }
    ssoptiontrl();
}

void okodkarbform::SSOption4_Click()
{
    Data1->setRecordSource(QStringLiteral("select * from Osztálykódok order by Okod"));
    Data1->refresh();
    selectOnly(SSOption4);
    DBGrid1->show();
    ssoptiontrl();
}

void okodkarbform::DBGrid1_DblClick()
{
    DBGrid1->hide();
    Data1->setRecordSource(QStringLiteral("select * from Osztálykódok"));
    Data1->refresh();
}
