// konvattform: looking through the converted records (table konv of the
// program's converted-record file): all of them, only the processed or only
// the unprocessed ones, with the state of the current record and the number
// of records chosen, and deleting the whole choice at once.
//
// The window hands nothing to its opener but its closing (konvattLink).
#pragma once

#include "platform/ui/legacyform.h"

#include <QString>

#include <functional>
#include <memory>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QToolButton;
struct ProgramInfo;

namespace platform {
class DBGrid;
class SSCheck;
class SSCommand;
class SSPanel;
namespace db {
class DataConnection;
class Database;
}
}

struct konvattLink {
    // The window closes: the opener shows itself again.
    std::function<void()> closed;
};

class konvattform : public platform::LegacyForm {
    Q_OBJECT
public:
    konvattform(const ProgramInfo& info, konvattLink link, QWidget* parent = nullptr);
    ~konvattform() override;

    // The record sources of the three choices of the "Válogatás" menu.
    static QString unprocessedSource() { return QStringLiteral("select * from konv where Feldolgozva=False"); }
    static QString processedSource() { return QStringLiteral("select * from konv where Feldolgozva=True"); }
    static QString allSource() { return QStringLiteral("select * from konv"); }

    // Controls, named as the clerks' system names them.
    QMenuBar* menuBar = nullptr;
    QMenu* val = nullptr;    // "&Válogatás"
    QAction* tlan = nullptr; // "Feldolgozatlan"
    QAction* feld = nullptr; // "Feldolgozott"
    QAction* s = nullptr;
    QAction* mind = nullptr; // "Minden"
    platform::SSPanel* SSPanel2 = nullptr; // "Típusa:"
    QFrame* zoldpic = nullptr;             // green: processed
    QLabel* Label2 = nullptr;              // "Feldolgozott"
    QFrame* pirospic = nullptr;            // red: not processed
    QLabel* Label1 = nullptr;              // "Feldolgozatlan"
    platform::DBGrid* DBGrid1 = nullptr;
    platform::db::DataConnection* Data1 = nullptr;
    // Data1's navigation bar "Léptet": first, previous, next, last.
    QWidget* Data1Bar = nullptr;
    QToolButton* Data1First = nullptr;
    QToolButton* Data1Previous = nullptr;
    QToolButton* Data1Next = nullptr;
    QToolButton* Data1Last = nullptr;
    platform::SSPanel* SSPanel1 = nullptr;    // records of the choice
    platform::SSCommand* AllDelGomb = nullptr; // "Mindent töröl"
    platform::SSCheck* SSCheck1 = nullptr;     // set while deleting (hidden)

    // Handlers.
    void tlan_Click();
    void feld_Click();
    void mind_Click();
    void DBGrid1_RowColChange(); // the current record changed
    void AllDelGomb_Click();

protected:
    void Form_Activate() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;

private:
    void setupUi();
    void choose(const QString& source);
    // Shows the number of records of the choice; leaves the first current.
    void szamol();
    // szamol() as the window comes up, where a refusal is the grid's to tell.
    void countComingUp();
    // Shows the state of the current record, and nothing without one.
    void showState();

    const ProgramInfo& m_program;
    konvattLink m_link;
    std::shared_ptr<platform::db::Database> m_converted;
    bool m_countOwed = false; // the count was refused as the window came up
};
