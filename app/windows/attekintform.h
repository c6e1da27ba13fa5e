// attekintform: the overview of the entered data ("Áttekintés"). Episodes,
// their surgeries and their items in three read-only grids; narrowing the
// lower lists by double-click, sort orders, the search by register number,
// deleting an episode with everything under it, and the printed item list.
// The ward program's overview is the same window without the surgeries.
//
// It works on the working folder's entered-data file through connections of
// its own, and asks the main window for one thing only: to be given back
// when the overview closes.
#pragma once

#include "platform/ui/events.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
struct ProgramInfo;

namespace platform {
class DBGrid;
class SSCommand;
class SSFrame;
class SSPanel;
namespace db {
class DataConnection;
class Database;
}
}

#include "app/windows/itemlist.h"

class attekintform : public QMainWindow {
    Q_OBJECT
public:
    // comeBack: hands control back to the main window once this one closed.
    attekintform(const ProgramInfo& program, std::function<void()> comeBack, QWidget* parent = nullptr);
    ~attekintform() override;

    bool hasSurgeries() const { return Data3 != nullptr; }

    // ---- handlers ----
    void Form_Activate();
    void DBGrid1_DblClick();
    void DBGrid3_DblClick();
    void fizrend_Click();
    void azrend_Click();
    void torzsrend_Click();
    void ker_Click();
    void SSCommand2_Click();
    void SSCommand3_Click();
    void Text1_KeyPress(int& keyAscii);
    void SSCommand1_Click();
    void trl_Click();
    void listmenu_Click();
    void raford_fej();

    // ---- controls ----
    platform::Events ev{this};
    platform::db::DataConnection* Data1 = nullptr; // episodes
    platform::db::DataConnection* Data2 = nullptr; // items
    platform::db::DataConnection* Data3 = nullptr; // surgeries (none in the ward program)
    platform::SSPanel* SSPanel1 = nullptr;
    platform::SSPanel* SSPanel2 = nullptr;
    platform::SSPanel* SSPanel3 = nullptr;
    QLabel* DBGrid1Caption = nullptr;
    platform::DBGrid* DBGrid1 = nullptr;
    platform::DBGrid* DBGrid2 = nullptr;
    platform::DBGrid* DBGrid3 = nullptr;
    QLabel* Label1 = nullptr; // sort order
    QLabel* Label2 = nullptr; // narrowing
    QLabel* Label4 = nullptr; // episode count
    QLabel* Label5 = nullptr; // item count
    QLabel* Label7 = nullptr; // surgery count
    platform::SSCommand* SSCommand1 = nullptr; // "Mindent mutat"
    platform::SSFrame* SSFrame1 = nullptr;     // "Keresés"
    QLabel* Label3 = nullptr;
    QLineEdit* Text1 = nullptr;
    platform::SSCommand* SSCommand2 = nullptr; // "Ok"
    platform::SSCommand* SSCommand3 = nullptr; // "Mégse"
    QAction* listmenu = nullptr; // "Lista" (ward program: listamenu)
    QAction* ker = nullptr;
    QMenu* rend = nullptr;
    QAction* fizrend = nullptr;
    QAction* azrend = nullptr;
    QAction* torzsrend = nullptr;
    QAction* trl = nullptr;

    // True from the start of "Lista" until its preview has closed.
    bool listing() const { return m_listing; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void setupUi();
    void connectHandlers();
    void setSource(platform::db::DataConnection* c, const QString& source, const QVariantList& params = {});
    // Every change of the episodes shown goes through here, so the list
    // prints what Data1 shows.
    void showEpisodes(const overview::EpisodeSelection& selection);
    void countAll();
    QString institutionLine();

    const ProgramInfo& m_program;
    std::function<void()> m_comeBack;
    std::shared_ptr<platform::db::Database> m_db;
    // The episodes Data1 shows, which the list prints in the same order; at
    // load every episode in stored order.
    overview::EpisodeSelection m_shown;
    bool m_listing = false;
};

// The count shown beside a list: "0" when empty, otherwise its record count;
// a counted list stands on its first row.
void countInto(platform::db::DataConnection& connection, QLabel& label);
