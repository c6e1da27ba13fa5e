// The main window's data store: the three database files of the program,
// opened from the working folder, the data connections Data1 ... Data12 with
// the record sources the window starts with, and the grids and combo lists
// bound to them (bound when their frames are built).
#include "app/common/kezdo.h"

#include "app/common/programinfo.h"
#include "app/ward/wardmain.h"
#include "platform/db/dataconnection.h"
#include "platform/ui/dbcombo.h"
#include "platform/ui/dbgrid.h"

#include <QDir>

using platform::GridColumns;
using platform::db::Database;
using platform::db::DataConnection;

namespace {

// Columns headed by their own field names.
GridColumns fieldColumns(std::initializer_list<const char*> fields)
{
    GridColumns columns;
    for (const char* f : fields) {
        const QString name = QString::fromUtf8(f);
        columns.append({name, name});
    }
    return columns;
}

} // namespace

void kezdo::setupData()
{
    // The files are named without a folder: they are the working folder's.
    const QDir here = QDir::current();
    m_enteredData = Database::open(here.filePath(m_program.enteredDataFile));
    m_codeTables = Database::open(here.filePath(m_program.codeTableFile));
    m_convertedData = Database::open(here.filePath(m_program.convertedFile));

    auto connection = [this](const char* name, const std::shared_ptr<Database>& db, const QString& source) {
        auto* c = new DataConnection(QString::fromLatin1(name), this);
        if (db) {
            c->setDatabase(db);
            c->setRecordSource(source);
        }
        c->refresh();
        return c;
    };

    Data1 = connection("Data1", m_convertedData, QStringLiteral("konv"));
    Data2 = connection("Data2", m_enteredData, QStringLiteral("Osztálykódok"));
    Data3 = connection("Data3", m_enteredData, QStringLiteral("alap"));
    Data4 = connection("Data4", m_enteredData, QStringLiteral("Utolso azonosito"));
    Data8 = connection("Data8", m_enteredData, QStringLiteral("Ráfkódok"));
    Data9 = connection("Data9", m_enteredData, QStringLiteral("intadatok"));
    Data10 = connection("Data10", m_convertedData, QStringLiteral("konv"));
    if (!ward) {
        Data5 = connection("Data5", m_codeTables, QStringLiteral("GYOGYSZM"));
        Data6 = connection("Data6", m_enteredData, QStringLiteral("műtétek"));
        Data7 = connection("Data7", m_codeTables, QStringLiteral("SGYOGY"));
        Data11 = connection("Data11", m_codeTables, QStringLiteral("DIAGNOS"));
        Data12 = connection("Data12", m_codeTables, QStringLiteral("MUTET_AP"));
    } else {
        // The ward program binds some of the same names to its own tables;
        // its diagnostics connection gets its file and table only when
        // manual entry starts.
        Data5 = connection("Data5", m_codeTables, QStringLiteral("EGYEB"));
        Data6 = connection("Data6", m_codeTables, QStringLiteral("ELELEM"));
        Data7 = connection("Data7", m_codeTables, QStringLiteral("SGYOGY"));
        Data12 = connection("Data12", nullptr, QString());
    }
}

void kezdo::bindControls()
{
    DBCombo1->setRowSource(Data2, QStringLiteral("Okod"));
    DBGrid1->setDataSource(Data8, {
        {QStringLiteral("Azonosito"), QStringLiteral("Azonosito")},
        {QStringLiteral("Ráfordításkód"), QStringLiteral("Rkod")},
        {QStringLiteral("Ráford.megnevezés"), QStringLiteral("Rmegnevezés")},
        {QStringLiteral("Mennyiség"), QStringLiteral("Rmen")},
        {QStringLiteral("Menny.egység"), QStringLiteral("Me")},
        {QStringLiteral("Pont"), QStringLiteral("Pont")},
        {QStringLiteral("Egységár"), QStringLiteral("Egységár")},
        {QStringLiteral("Érték"), QStringLiteral("Érték")},
        {QStringLiteral("Tipus"), QStringLiteral("Tipus")},
    });
    DBGrid1->setColumnWidth(1, 110);
    DBGrid1->setColumnWidth(2, 300);
    DBGrid5->setDataSource(Data3, fieldColumns({"Azonosito", "Int_kod", "Int_tipus", "T_szam", "Taj", "Tsor", "Fdat",
                                                "Fido", "Okod", "Tdat", "Tido", "Ojele", "Vjel", "Manuális"}));
    if (ward) {
        ward->bindData();
        return;
    }
    DBCombo2->setRowSource(Data7, QStringLiteral("SKOD"));
    DBGrid3->setDataSource(Data7, fieldColumns({"SKOD", "SNEV", "SME", "SAR", "NEM", "KOR_ALSO", "KOR_FELSO",
                                                "NAPIMENNY", "ESET_MAX", "ERV"}));
    {
        DBGrid2->setDataSource(Data5, fieldColumns({"KOD", "NEV", "ME", "AR", "NEM", "KOR_ALSO", "KOR_FELSO",
                                                    "NAPI_MAX", "ESET_MAX", "ERV", "CSOPORT", "SORSZAM", "GYARTO",
                                                    "SZALLITO"}));
        DBCombo3->setRowSource(Data5, QStringLiteral("KOD"));
        DBGrid4->setDataSource(Data6, fieldColumns({"Azonosito", "MKod", "Mmegnevezés", "Mido", "AzonB"}));
        DBGrid6->setDataSource(Data12, fieldColumns({"KOD", "PONT", "NEV", "NEM", "ALSO", "FELSO", "FLAG",
                                                     "ERV_KEZD", "ERV_VEGE"}));
        // The diagnostics grid shows whatever columns its record set has.
        DBGrid7->setDataSource(Data11);
        DBCombo4->setRowSource(Data11, QStringLiteral("KOD"));
    }
}
