// okodkarbform: keeping the ward codes (table Osztálykódok of the entered
// data): add a code with its name and care type, correct or delete a code,
// look through the whole table.
//
// The window talks to its opener only through okodkarbLink: it tells it when
// the ward codes changed (so its ward-code list re-reads them) and when the
// window closes (so it takes input again).
#pragma once

#include "platform/ui/legacyform.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
struct ProgramInfo;

namespace platform {
class DBGrid;
class SSPanel;
namespace db {
class DataConnection;
class Database;
}
}

// Rules of the ward-code window that need no window.
namespace wardcodes {

// The care-type pick list of the window, in its order and spelling (it is
// spelled partly otherwise than the texts the main window shows; both store
// and read only the first character).
const QStringList& careTypeEntries();

// What is stored of a care type picked or typed: its first character.
QString storedCareType(const QString& careTypeText);

// A code left in the code box: blank is allowed, otherwise it must have
// four characters (blanks count, only the emptiness test trims).
bool codeLengthRefused(const QString& code);
inline const QString kCodeLengthMessage =
    QStringLiteral("Hiba: az osztálykód karaktereinek száma nem lehet kisebb mint 4!");

// The blank check of adding and correcting: code, name or care type blank.
bool missingData(const QString& code, const QString& name, const QString& careType);

} // namespace wardcodes

// What the ward-code window needs of the window that opened it.
struct okodkarbLink {
    // A ward code was added, corrected or deleted.
    std::function<void()> wardCodesChanged;
    // The window closes: the opener accepts input again.
    std::function<void()> closed;
};

class okodkarbform : public platform::LegacyForm {
    Q_OBJECT
public:
    okodkarbform(const ProgramInfo& info, okodkarbLink link, QWidget* parent = nullptr);
    ~okodkarbform() override;

    // Controls, named as the clerks' system names them.
    platform::SSPanel* SSPanel1 = nullptr; // "Osztálykód:"
    QLineEdit* Text1 = nullptr;            // ward code, at most 4 characters
    platform::SSPanel* SSPanel2 = nullptr; // "Megnevezés:"
    QLineEdit* Text2 = nullptr;            // ward name, at most 90 characters
    platform::SSPanel* SSPanel3 = nullptr; // "Osztály jellege:"
    QComboBox* Combo1 = nullptr;           // care type, pick or type
    platform::SSPanel* SSPanel4 = nullptr; // "Teljes kód:"
    QLabel* Label1 = nullptr;              // stays empty
    QRadioButton* SSOption1 = nullptr;     // "Felvitel"
    QRadioButton* SSOption2 = nullptr;     // "Javítás"
    QRadioButton* SSOption3 = nullptr;     // "Törlés"
    QRadioButton* SSOption4 = nullptr;     // "Megtekint"
    platform::DBGrid* DBGrid1 = nullptr;   // the whole table, hidden at first
    platform::db::DataConnection* Data1 = nullptr;

    // Handlers.
    void Text1_Change();
    void Text1_LostFocus();
    void SSOption1_Click(); // add
    void SSOption2_Click(); // correct
    void SSOption3_Click(); // delete
    void SSOption4_Click(); // view the table
    void DBGrid1_DblClick();
    void ssoptiontrl();     // clears the four options

protected:
    void Form_QueryUnload(int& cancel, int unloadMode) override;
    void showEvent(QShowEvent* event) override;

private:
    void setupUi();
    void selectOnly(QRadioButton* option);
    // Refuses adding or correcting with blank data or a short code; true
    // when refused (the box has been shown).
    bool refusedForStoring();
    bool findCode();
    void writeRow();

    okodkarbLink m_link;
    std::shared_ptr<platform::db::Database> m_entered;
    bool m_centred = false;
};
