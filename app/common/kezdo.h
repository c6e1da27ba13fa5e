// kezdo: the main window of both programs and their home for the whole run.
// It carries the menus, the toolbar, the entry frame in which episodes are
// entered and reviewed, the institution-data frame and the import, period,
// search and picker frames, and the data connections Data1 ... Data12.
//
// Every control is a public member named as the clerks' system names it
// (Text3, MaskEdBox1, SSCommand30, DBGrid1, Data8, ...), with the same
// objectName, so handlers in the other source files and the tests reach it
// directly. The handlers of each area live in their own source file and are
// declared in the marked sections below:
//   kezdo.cpp          shell: activation, menus, toolbar, leaving, certificate
//   kezdo_ui.cpp       setupUi: every control, captions, layout
//   kezdo_data.cpp     data connections and bound grids and combos
//   kezdo_episode.cpp  the episode record
//   app/entry/kezdo_items.cpp  surgery slots and expenditure items
//   app/exchange/kezdo_import.cpp  import of the monthly inpatient-report file
//   app/ward/kezdo_ward*.cpp   the ward program's own item tabs and handlers
//
// The ward program's form gives some of the names to other controls: its
// Text8 is the other-services code box, its MaskEdBox7 the drug quantity,
// its SSCommand31 the certificate button. In that program the members name
// the ward's controls, and those of the surgery slots, the outcome and the
// third surgical tab are null.
#pragma once

#include "platform/ui/events.h"

#include <QMainWindow>
#include <QPixmap>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolBar;
class QToolButton;
struct ProgramInfo;
class okodkarbform;
class konvattform;
class nevjform;
class statform;
class WardMain;
namespace episode {
struct EpisodeForm;
struct EpisodeRow;
struct KonvFormFields;
struct SurgeryRow;
}

namespace platform {
class MaskEdBox;
class DBGrid;
class DBCombo;
class SSCommand;
class SSCheck;
class SSFrame;
class SSPanel;
namespace db {
class DataConnection;
class Database;
}
}

// The canvas on which the banner animation is drawn (Picture2): it shows
// whatever was last drawn into its pixmap.
class BannerCanvas : public QWidget {
public:
    explicit BannerCanvas(QWidget* parent) : QWidget(parent) {}
    // Draws the left `width` pixels of the banner stretched over the whole
    // canvas, as a plain copy, and shows it at once.
    void drawFrame(const QPixmap& banner, int width);
    int framesDrawn() const { return m_frames; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_canvas;
    int m_frames = 0;
};

class kezdo : public QMainWindow {
    Q_OBJECT
public:
    explicit kezdo(const ProgramInfo& info, QWidget* parent = nullptr);
    ~kezdo() override;

    const ProgramInfo& program() const { return m_program; }

    // The ward program's own handlers (app/ward); null in the surgical one.
    std::unique_ptr<WardMain> ward;

    // ---- state shared by the window's areas ----
    QString aktmutet;        // current surgery slot "0".."9", empty until first taken
    QString mutetszam;       // surgery count; empty counts as 0
    int aktpoz = 0;          // walk position, counted from 1 (conversion: record number)
    int rekszam = 0;         // records of the last find or converted-record walk
    bool hibajel = false;    // set by maskell, read by the drug add
    QString mentettkonyvtar; // working folder saved when the import frame opens
    long long szabadkb = 0;  // free space of the export target, in whole kilobytes

    // ---- shell (kezdo.cpp) ----
    void Form_Activate();
    void Form_QueryUnload(int& cancel, int unloadMode);
    void kil_Click();
    void konatt_Click();
    void mind_Click();
    void nevj_Click();
    void okodkarb_Click();
    void Toolbar1_ButtonClick(int index); // index counted from 1
    void SSCommand33_Click();            // certificate (ward program: SSCommand31)
    void statmutat();

    // Menus ad, list, talviron and the whole toolbar: disabled while an entry
    // mode or a conversion runs, enabled again when it ends. Névjegy stays.
    void setMenusEnabled(bool enabled);

    // The certificate button of this program (SSCommand33; ward: SSCommand31).
    platform::SSCommand* certificateButton() const { return m_certificateButton; }

    // A secondary window gives control back: shows and enables the main
    // window, unless the clerk already closed it, in which case nothing is
    // shown and, with no window of the program left open, the program ends.
    void comeBack();
    bool closedByUser() const { return m_closed; }

    // Number of activations run so far (the banner replays on each).
    int activationCount() const { return m_activations; }

    // Seams of the start-up checks, set by tests; the defaults ask the system.
    // anotherInstanceRunning: true when this program already runs elsewhere.
    std::function<bool()> anotherInstanceRunning;
    // The certificate printout of the shown episode (tests replace it).
    std::function<void()> printCertificate;

    // ---- controls: shell ----
    platform::Events ev{this};
    QLabel* Picture1 = nullptr;       // the banner at its own size
    BannerCanvas* Picture2 = nullptr; // canvas of the banner animation
    platform::MaskEdBox* MaskEdBox5 = nullptr; // today's date, format check
    platform::MaskEdBox* MaskEdBox6 = nullptr; // current time, format check
    platform::SSPanel* SSPanel21 = nullptr;      // "Intézetazonosító:"
    platform::SSPanel* SSPanel22 = nullptr;      // institution identifier
    QToolBar* Toolbar1 = nullptr;
    QList<QAction*> toolbarButtons;   // Toolbar1's six buttons, index 1 = [0]

    // Menus (names as the system names them).
    QMenu* ad = nullptr;
    QAction* adAction = nullptr; // the menu bar entry of ad
    QAction* fel = nullptr;
    QMenu* lev = nullptr;
    QAction* kesz = nullptr;
    QAction* feldolg = nullptr;
    QMenu* megtekint = nullptr;
    QAction* tete = nullptr;
    QAction* mind = nullptr;
    QAction* konatt = nullptr;
    QAction* s1 = nullptr;
    QAction* okodkarb = nullptr;
    QAction* alapad = nullptr;
    QAction* s2 = nullptr;
    QAction* kil = nullptr;
    QMenu* list = nullptr;
    QAction* listAction = nullptr; // the menu bar entry of list
    QAction* elso = nullptr;
    QAction* mas = nullptr;
    QAction* har = nullptr;
    QAction* talviron = nullptr;
    QAction* nevj = nullptr;

    // ---- controls: entry frame SSFrame1 ----
    platform::SSFrame* SSFrame1 = nullptr;
    QLabel* Label1 = nullptr;   // episode identifier
    QLabel* Label2 = nullptr;   // target slot of the surgery picker
    QLabel* Label4 = nullptr;   // care-type text
    QLabel* Label6 = nullptr;   // care-type character of a converted record
    QLabel* Label7 = nullptr;   // walk position
    QLabel* Label8 = nullptr;   // walk count
    QLabel* Label19 = nullptr;  // slot digit / surgery count
    QLabel* Label26 = nullptr;  // "műtétszám"
    QLineEdit* Text6 = nullptr;  // institution code
    QLineEdit* Text3 = nullptr;  // register number
    QLineEdit* Text4 = nullptr;  // TAJ
    QLineEdit* Text11 = nullptr; // ward code of a converted record
    QLineEdit* Text12 = nullptr; // jump position
    QLineEdit* Text14 = nullptr; // care sequence
    QLineEdit* Text25 = nullptr; // outcome code
    platform::MaskEdBox* MaskEdBox1 = nullptr; // admission date
    platform::MaskEdBox* MaskEdBox2 = nullptr; // admission time
    platform::MaskEdBox* MaskEdBox3 = nullptr; // discharge date
    platform::MaskEdBox* MaskEdBox4 = nullptr; // discharge time
    platform::DBCombo* DBCombo1 = nullptr;     // ward code
    QComboBox* Combo2 = nullptr; // ward sign
    QComboBox* Combo3 = nullptr; // outcome list
    platform::SSCheck* SSCheck1 = nullptr; // the shown episode is stored (hidden)
    platform::SSCheck* SSCheck2 = nullptr; // "Kivizsgálás"
    platform::SSCheck* SSCheck3 = nullptr; // data from the institution's file (hidden)
    platform::SSCheck* SSCheck4 = nullptr; // keep institution data
    platform::SSCheck* SSCheck5 = nullptr; // save modifies (hidden)
    platform::SSCheck* SSCheck6 = nullptr; // keep patient data
    platform::SSCheck* SSCheck8 = nullptr; // surgery picker open (hidden)
    platform::SSCommand* SSCommand1 = nullptr;  // "Felvitel" / "Módosítás"
    platform::SSCommand* SSCommand2 = nullptr;  // "Vissza"
    platform::SSCommand* SSCommand8 = nullptr;  // previous converted record
    platform::SSCommand* SSCommand9 = nullptr;  // next converted record
    platform::SSCommand* SSCommand10 = nullptr; // "Ugrás"
    platform::SSCommand* SSCommand14 = nullptr; // "Új"
    platform::SSCommand* SSCommand15 = nullptr; // previous stored episode
    platform::SSCommand* SSCommand16 = nullptr; // next stored episode
    platform::SSCommand* SSCommand23 = nullptr; // "Törlés a műtétekből!"
    platform::SSCommand* SSCommand24 = nullptr; // "Törlés a tételekből"
    platform::SSCommand* SSCommand25 = nullptr; // "Törzsszámra keres"
    platform::SSCommand* SSCommand30 = nullptr; // "Módosít"
    platform::SSCommand* SSCommand33 = nullptr; // certificate

    // Surgery slots 0..9: code boxes and duration boxes.
    QLineEdit* Text23 = nullptr;
    QLineEdit* Text9 = nullptr;
    QLineEdit* Text29 = nullptr;
    QLineEdit* Text21 = nullptr;
    QLineEdit* Text22 = nullptr;
    QLineEdit* Text27 = nullptr;
    QLineEdit* Text30 = nullptr;
    QLineEdit* Text24 = nullptr;
    QLineEdit* Text8 = nullptr;
    QLineEdit* Text26 = nullptr;
    platform::MaskEdBox* MaskEdBox7 = nullptr;
    platform::MaskEdBox* MaskEdBox11 = nullptr;
    platform::MaskEdBox* MaskEdBox14 = nullptr;
    platform::MaskEdBox* MaskEdBox12 = nullptr;
    platform::MaskEdBox* MaskEdBox13 = nullptr;
    platform::MaskEdBox* MaskEdBox8 = nullptr;
    platform::MaskEdBox* MaskEdBox9 = nullptr;
    platform::MaskEdBox* MaskEdBox10 = nullptr;
    platform::MaskEdBox* MaskEdBox16 = nullptr;
    platform::MaskEdBox* MaskEdBox15 = nullptr;
    // Slot k's code box and duration box, k = 0..9 (the slot map).
    QLineEdit* slotCode(int k) const;
    platform::MaskEdBox* slotDuration(int k) const;

    // Item tabs.
    QTabWidget* SSTab1 = nullptr;
    QLineEdit* Text1 = nullptr;   // drug code
    QLineEdit* Text2 = nullptr;   // drug quantity text (hidden)
    QLineEdit* Text5 = nullptr;   // material code
    QLineEdit* Text7 = nullptr;   // material quantity text (hidden)
    QLineEdit* Text31 = nullptr;  // diagnostics code
    QLineEdit* Text32 = nullptr;  // diagnostics quantity text (hidden)
    platform::MaskEdBox* MaskEdBox17 = nullptr; // drug quantity
    platform::MaskEdBox* MaskEdBox18 = nullptr; // material quantity
    platform::MaskEdBox* MaskEdBox19 = nullptr; // diagnostics quantity
    platform::DBCombo* DBCombo2 = nullptr;
    platform::DBCombo* DBCombo3 = nullptr;
    platform::DBCombo* DBCombo4 = nullptr;
    platform::DBGrid* DBGrid2 = nullptr;
    platform::DBGrid* DBGrid3 = nullptr;
    platform::DBGrid* DBGrid7 = nullptr;
    platform::SSCommand* SSCommand3 = nullptr;  // drug "Hozzáad"
    platform::SSCommand* SSCommand4 = nullptr;  // material "Hozzáad"
    platform::SSCommand* SSCommand31 = nullptr; // diagnostics "Hozzáad" (ward: certificate)
    platform::SSCommand* SSCommand19 = nullptr; // drug "Keresés"
    platform::SSCommand* SSCommand5 = nullptr;  // material "Keresés"
    platform::SSCommand* SSCommand32 = nullptr; // diagnostics "Keresés"

    // Ward program only: the diagnostics combo, the hint of the other
    // services, the diagnostics notice.
    platform::DBCombo* DBCombo5 = nullptr;
    platform::SSPanel* SSPanel27 = nullptr;
    platform::SSPanel* SSPanel29 = nullptr;

    platform::DBGrid* DBGrid1 = nullptr; // items of the episode
    platform::DBGrid* DBGrid4 = nullptr; // surgeries of the episode, for deletion

    // ---- controls: other frames of the window ----
    // Institution data.
    platform::SSFrame* SSFrame2 = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label13 = nullptr;
    QLineEdit* Text10 = nullptr;
    QLineEdit* Text15 = nullptr;
    platform::SSCommand* SSCommand6 = nullptr;
    platform::SSCommand* SSCommand7 = nullptr;
    // Import.
    platform::SSFrame* SSFrame3 = nullptr;
    platform::SSPanel* SSPanel19 = nullptr;
    QLineEdit* Text13 = nullptr;
    platform::SSCommand* SSCommand11 = nullptr;
    platform::SSCommand* SSCommand12 = nullptr;
    platform::SSCommand* SSCommand13 = nullptr;
    // Progress.
    platform::SSFrame* SSFrame4 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label11 = nullptr;
    // Period and target dialog.
    platform::SSFrame* SSFrame5 = nullptr;
    QFrame* Shape7 = nullptr;
    QFrame* Shape8 = nullptr;
    QFrame* Shape9 = nullptr;
    QCheckBox* Check2 = nullptr; // "Törzsszám"
    QLineEdit* Text33 = nullptr;
    QCheckBox* Check1 = nullptr; // "Idő"
    QLabel* Label15 = nullptr;
    QLabel* Label16 = nullptr;
    QLineEdit* Text16 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLineEdit* Text28 = nullptr;
    QComboBox* Combo4 = nullptr;
    QLabel* Label17 = nullptr;
    QLineEdit* Text17 = nullptr;
    platform::SSCommand* SSCommand28 = nullptr;
    QLabel* Label24 = nullptr;
    QLineEdit* Text20 = nullptr;
    platform::SSCommand* SSCommand17 = nullptr;
    platform::SSCommand* SSCommand18 = nullptr;
    QLabel* Label14 = nullptr;
    QLabel* Label21 = nullptr;
    QLabel* Label22 = nullptr;
    QLabel* Label23 = nullptr;
    // Search.
    platform::SSFrame* SSFrame6 = nullptr;
    platform::SSPanel* SSPanel20 = nullptr;
    QLineEdit* Text18 = nullptr;
    QRadioButton* SSOption1 = nullptr;
    QRadioButton* SSOption2 = nullptr;
    platform::SSCommand* SSCommand20 = nullptr;
    platform::SSCommand* SSCommand21 = nullptr;
    QLabel* Label18 = nullptr;
    // Find by register number.
    platform::SSFrame* SSFrame7 = nullptr;
    QLabel* Label20 = nullptr;
    QLineEdit* Text19 = nullptr;
    platform::SSCommand* SSCommand26 = nullptr;
    platform::SSCommand* SSCommand27 = nullptr;
    // Surgery master picker.
    platform::SSFrame* SSFrame8 = nullptr;
    platform::DBGrid* DBGrid6 = nullptr;
    platform::SSCommand* SSCommand22 = nullptr;
    platform::SSCommand* SSCommand29 = nullptr;
    // Episodes of a list's selection.
    platform::DBGrid* DBGrid5 = nullptr;

    // ---- data connections (kezdo_data.cpp) ----
    platform::db::DataConnection* Data1 = nullptr;
    platform::db::DataConnection* Data2 = nullptr;
    platform::db::DataConnection* Data3 = nullptr;
    platform::db::DataConnection* Data4 = nullptr;
    platform::db::DataConnection* Data5 = nullptr;
    platform::db::DataConnection* Data6 = nullptr;
    platform::db::DataConnection* Data7 = nullptr;
    platform::db::DataConnection* Data8 = nullptr;
    platform::db::DataConnection* Data9 = nullptr;
    platform::db::DataConnection* Data10 = nullptr;
    platform::db::DataConnection* Data11 = nullptr; // none in the ward program
    platform::db::DataConnection* Data12 = nullptr;
    // The three database files, opened from the working folder.
    std::shared_ptr<platform::db::Database> enteredData() const { return m_enteredData; }
    std::shared_ptr<platform::db::Database> codeTables() const { return m_codeTables; }
    std::shared_ptr<platform::db::Database> convertedData() const { return m_convertedData; }

    // --- episode handlers (kezdo_episode.cpp) ---
    void connectEpisodeHandlers();
    // Manual entry, clearing the form, leaving the entry frame.
    void fel_Click();
    void uresit();
    void SSCheck4_Click();
    void SSCheck6_Click();
    void SSCommand2_Click();
    // Institution data.
    void alapad_Click();
    void SSCommand6_Click();
    void SSCommand7_Click();
    // Ward code, care type, outcome list.
    void DBCombo1_Change();
    void DBCombo1_Click();
    void Text11_Change();
    void Combo3_Change();
    void Combo3_Click();
    void careTypeLookup(const QString& wardCode);
    // Checks of the header fields.
    void MaskEdBox1_LostFocus();
    void MaskEdBox3_LostFocus();
    void MaskEdBox4_LostFocus();
    void Text3_LostFocus();
    void Text4_LostFocus();
    void Text14_LostFocus();
    void Text25_LostFocus();
    void Text3_Change();
    void Tajellenoriz(const QString& Tajadat);
    // Converted records.
    void feldolg_Click();
    void SSCommand14_Click();
    void SSCommand10_Click();
    void Text12_KeyPress(int& keyAscii);
    void SSCommand8_Click();
    void SSCommand9_Click();
    void takeKonvRow();
    bool jumpToKonv(const QString& typed);
    // Saving.
    void SSCommand1_Click();
    void SSCommand30_Click();
    bool startFoundWalk(platform::db::DataConnection* conn, const QString& source, bool all, const QString& wanted);
    void showStoredForms();
    void refreshEpisodeWalk();
    bool storedAsShown(const episode::EpisodeRow& row, const QList<episode::SurgeryRow>* surgeries) const;
    // Loading, review, find by register number.
    void olvasdata3t();
    void showEpisodeHeader(const episode::EpisodeRow& r);
    void tete_Click();
    // Moves the review's walk to its first episode and points the items grid
    // at that episode's items; gives the number of episodes in the walk.
    int pointItemsAtFirstEpisode();
    // The walk's count beside its position, as the record set now counts it.
    void showWalkCount();
    void SSCommand15_Click();
    void SSCommand16_Click();
    void SSCommand25_Click();
    void SSCommand26_Click();
    void SSCommand27_Click();
    void Text19_KeyPress(int& keyAscii);
    void showItemsOf(const QString& azonosito);
    // The header fields of a converted record, as both programs show them.
    void showKonvHeader(const episode::KonvFormFields& f);
    // The episode header as the form holds it now (what the save checks).
    episode::EpisodeForm currentEpisodeForm() const;
    // --- end episode handlers ---

    // --- item handlers (kezdo_items.cpp) ---
    void connectItemHandlers();
    // Surgery slots, k = 0..9 in slot order: code boxes Text23, Text9, Text29,
    // Text21, Text22, Text27, Text30, Text24, Text8, Text26 (their GotFocus,
    // KeyDown and LostFocus), duration boxes MaskEdBox7, MaskEdBox11,
    // MaskEdBox14, MaskEdBox12, MaskEdBox13, MaskEdBox8, MaskEdBox9,
    // MaskEdBox10, MaskEdBox16, MaskEdBox15 (their LostFocus).
    void slotCode_GotFocus(int k);
    void slotCode_KeyDown(int k, int& keyCode, int shift);
    void slotCode_LostFocus(int k);
    void slotDuration_LostFocus(int k);
    // Item tabs, tab = 0 drug, 1 material, 2 diagnostics.
    void itemCode_Change(int tab);   // Text1_Change, Text5_Change, Text31_Change
    void itemCode_KeyDown(int tab, int& keyCode, int shift);
    void itemCode_LostFocus(int tab); // Text1_LostFocus, Text5_LostFocus
    void itemCombo_Change(int tab);  // DBCombo2_Change, DBCombo3_Change, DBCombo4_Change
    void itemCombo_Click(int tab);   // DBCombo2_Click, DBCombo3_Click, DBCombo4_Click
    void itemCombo_KeyPress(int tab, int& keyAscii);
    void itemCombo_LostFocus(int tab);
    void itemGrid_DblClick(int tab); // DBGrid3_DblClick, DBGrid2_DblClick, DBGrid7_DblClick
    void itemGrid_KeyDown(int tab, int& keyCode, int shift);
    void quantity_LostFocus(int tab); // MaskEdBox17_LostFocus, MaskEdBox18_..., MaskEdBox19_...
    void quantity_KeyPress(int tab, int& keyAscii);
    void MaskEdBox19_Change();
    void addItem(int tab);
    void SSCommand3_Click() { addItem(0); }
    void SSCommand4_Click() { addItem(1); }
    void SSCommand31_Click() { addItem(2); }
    void SSCommand24_Click(); // delete the selected item
    // Code search.
    void openSearch(int tab);
    void SSCommand19_Click() { openSearch(0); }
    void SSCommand5_Click() { openSearch(1); }
    void SSCommand32_Click() { openSearch(2); }
    void SSOption1_Click();
    void SSOption2_Click();
    void Text18_KeyPress(int& keyAscii);
    void SSCommand20_Click();
    void SSCommand21_Click();
    void closeSearch();
    // Surgery master picker and deleting a surgery.
    void DBGrid6_DblClick();
    void DBGrid6_KeyDown(int& keyCode, int shift);
    void SSCommand22_Click();
    void SSCommand29_Click();
    void SSCommand23_Click();
    void DBGrid4_KeyDown(int& keyCode, int shift);
    void hideSurgeryDelete(); // every mode but review
    // --- end item handlers ---

    // --- exchange handlers ---
    // Import of the monthly inpatient-report file (app/exchange/kezdo_import.cpp).
    void connectImportHandlers();
    void kesz_Click();        // opens the import frame SSFrame3
    void SSCommand11_Click(); // "Keres": the chooser for the import file
    void SSCommand12_Click(); // "Ok": the conversion
    void SSCommand13_Click(); // "Mégse"
    // Period and target dialog SSFrame5 and the monthly export
    // (app/exchange/kezdo_export.cpp).
    void connectExportHandlers();
    void elso_Click();
    void mas_Click();
    void har_Click();
    void talviron_Click();
    void Check1_Click();
    void Check2_Click();
    void Combo1_Click();
    void Combo4_Click();
    void Text16_KeyPress(int& keyAscii);
    void Text28_KeyPress(int& keyAscii);
    void Text16_LostFocus();
    void Text33_LostFocus();
    void SSCommand28_Click();
    void SSCommand17_Click();
    void SSCommand18_Click();
    void DBGrid5_DblClick();
    void talvironfloppy(const QString& datum, const QString& elpath, const QString& datum2, const QString& Torzsszam);
    // --- end exchange handlers ---

    // --- secondary windows: ward codes, converted records, statistics,
    // about box (app/windows/kezdo_windows1.cpp) ---
    // Shows the ward-code window (made on first use, kept until closed).
    okodkarbform* showWardCodes();
    QPointer<okodkarbform> okodkarbWindow;
    QPointer<konvattform> konvattWindow;
    QPointer<nevjform> nevjWindow;
    QPointer<statform> statWindow;
    void closeWithMe(QWidget* secondary);
    // --- end secondary windows ---

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void setupUi();          // kezdo_ui.cpp
    void setupMenus();       // kezdo_ui.cpp
    void setupToolbar();     // kezdo_ui.cpp
    void setupEntryFrame();  // kezdo_ui.cpp
    void setupOutcome();     // kezdo_ui.cpp, surgical form
    void setupWalkLine();    // kezdo_ui.cpp
    void setupSurgeriesAndItems(); // kezdo_ui.cpp, surgical form
    void setupEpisodeButtons();    // kezdo_ui.cpp
    void setupOtherFrames(); // kezdo_ui.cpp
    void setupData();        // kezdo_data.cpp
    void connectShellHandlers();
    void playBanner();
    bool checkRegionalFormats();
    void formatFailure();

    const ProgramInfo& m_program;
    platform::SSCommand* m_certificateButton = nullptr;
    std::shared_ptr<platform::db::Database> m_enteredData;
    std::shared_ptr<platform::db::Database> m_codeTables;
    std::shared_ptr<platform::db::Database> m_convertedData;
    bool m_closed = false;
    int m_activations = 0;
};

// The banner picture of the program: its caption on a gradient, 771 x 133.
QPixmap drawBannerPicture(const QString& caption);
