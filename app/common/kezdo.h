// kezdo: the main window of both programs and their home for the whole run.
// It carries the menus, the toolbar, the entry frame in which episodes are
// entered and reviewed, the institution-data frame and the import, period,
// search and picker frames, and the data connections Data1 ... Data12.
//
// Every control is a public member named as the clerks' system names it
// (Text3, MaskEdBox1, SSCommand30, DBGrid1, Data8, ...), with the same
// objectName, so handlers in the other source files and the tests reach it
// directly. The hidden ones are made when first reached (LazyControl,
// below): the window opens with its menus, toolbar and banner only, and its
// hidden frames cost nothing until a mode needs them. The handlers of each
// area live in their own source file and are declared in the marked
// sections below:
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
#include <QVariant>

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
struct LoadedEpisode;
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

class kezdo;
// Build the hidden frames, or the format-check boxes, unless they are built
// (kezdo_ui.cpp).
void ensureKezdoFrames(kezdo* window);
void ensureKezdoFormatBoxes(kezdo* window);

// A control that the window makes when it is first reached, not when the
// window opens: the first screen shows the menus, the toolbar and the banner
// only. The controls of the hidden frames (the entry frame and the frames
// that open over it: institution data, import, progress, period dialog,
// search, find by register number, surgery picker, and the grid of a list's
// selection) are built together; the two hidden boxes of the format check
// when the first activation reaches them. Reaching a control through its
// member builds its group first, so handlers, the ward program's parts and
// tests use the members as plain pointers. A member stays null after the
// build when the control belongs to the other program. A copy (as in a list
// of controls) builds the group first, so it holds the control too.
template <typename T>
class LazyControl {
public:
    explicit LazyControl(kezdo* window, void (*build)(kezdo*) = &ensureKezdoFrames)
        : m_window(window), m_build(build)
    {
    }
    LazyControl(const LazyControl& other)
        : m_window(other.m_window), m_build(other.m_build), m_control(other.get())
    {
    }
    LazyControl& operator=(const LazyControl& other)
    {
        m_control = other.get();
        return *this;
    }
    // Set by the building.
    LazyControl& operator=(T* control)
    {
        m_control = control;
        return *this;
    }
    T* get() const
    {
        if (!m_control)
            m_build(m_window);
        return m_control;
    }
    operator T*() const { return get(); }
    T* operator->() const { return get(); }

private:
    kezdo* m_window;
    void (*m_build)(kezdo*);
    T* m_control = nullptr;
};

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

    // Builds the hidden frames, with their bound controls and handlers, if
    // they are not built yet; reaching any of their controls does the same.
    void ensureFrames();
    bool framesBuilt() const { return m_framesBuilt; }
    // The same for the two hidden boxes of the format check.
    void ensureFormatBoxes();

    // Seams of the start-up checks, set by tests; the defaults ask the system.
    // anotherInstanceRunning: true when this program already runs elsewhere.
    std::function<bool()> anotherInstanceRunning;
    // The certificate printout of the shown episode (tests replace it).
    std::function<void()> printCertificate;

    // ---- controls: shell ----
    platform::Events ev{this};
    QLabel* Picture1 = nullptr;       // the banner at its own size
    BannerCanvas* Picture2 = nullptr; // canvas of the banner animation
    LazyControl<platform::MaskEdBox> MaskEdBox5{this, &ensureKezdoFormatBoxes}; // today's date, format check
    LazyControl<platform::MaskEdBox> MaskEdBox6{this, &ensureKezdoFormatBoxes}; // current time, format check
    LazyControl<platform::SSPanel> SSPanel21{this}; // "Intézetazonosító:"
    LazyControl<platform::SSPanel> SSPanel22{this}; // institution identifier
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
    LazyControl<platform::SSFrame> SSFrame1{this};
    LazyControl<QLabel> Label1{this};   // episode identifier
    LazyControl<QLabel> Label2{this};   // target slot of the surgery picker
    LazyControl<QLabel> Label4{this};   // care-type text
    LazyControl<QLabel> Label6{this};   // care-type character of a converted record
    LazyControl<QLabel> Label7{this};   // walk position
    LazyControl<QLabel> Label8{this};   // walk count
    LazyControl<QLabel> Label19{this};  // slot digit / surgery count
    LazyControl<QLabel> Label26{this};  // "műtétszám"
    LazyControl<QLineEdit> Text6{this};  // institution code
    LazyControl<QLineEdit> Text3{this};  // register number
    LazyControl<QLineEdit> Text4{this};  // TAJ
    LazyControl<QLineEdit> Text11{this}; // ward code of a converted record
    LazyControl<QLineEdit> Text12{this}; // jump position
    LazyControl<QLineEdit> Text14{this}; // care sequence
    LazyControl<QLineEdit> Text25{this}; // outcome code
    LazyControl<platform::MaskEdBox> MaskEdBox1{this}; // admission date
    LazyControl<platform::MaskEdBox> MaskEdBox2{this}; // admission time
    LazyControl<platform::MaskEdBox> MaskEdBox3{this}; // discharge date
    LazyControl<platform::MaskEdBox> MaskEdBox4{this}; // discharge time
    LazyControl<platform::DBCombo> DBCombo1{this};     // ward code
    LazyControl<QComboBox> Combo2{this}; // ward sign
    LazyControl<QComboBox> Combo3{this}; // outcome list
    LazyControl<platform::SSCheck> SSCheck1{this}; // the shown episode is stored (hidden)
    LazyControl<platform::SSCheck> SSCheck2{this}; // "Kivizsgálás"
    LazyControl<platform::SSCheck> SSCheck3{this}; // data from the institution's file (hidden)
    LazyControl<platform::SSCheck> SSCheck4{this}; // keep institution data
    LazyControl<platform::SSCheck> SSCheck5{this}; // save modifies (hidden)
    LazyControl<platform::SSCheck> SSCheck6{this}; // keep patient data
    LazyControl<platform::SSCheck> SSCheck8{this}; // surgery picker open (hidden)
    LazyControl<platform::SSCommand> SSCommand1{this};  // "Felvitel" / "Módosítás"
    LazyControl<platform::SSCommand> SSCommand2{this};  // "Vissza"
    LazyControl<platform::SSCommand> SSCommand8{this};  // previous converted record
    LazyControl<platform::SSCommand> SSCommand9{this};  // next converted record
    LazyControl<platform::SSCommand> SSCommand10{this}; // "Ugrás"
    LazyControl<platform::SSCommand> SSCommand14{this}; // "Új"
    LazyControl<platform::SSCommand> SSCommand15{this}; // previous stored episode
    LazyControl<platform::SSCommand> SSCommand16{this}; // next stored episode
    LazyControl<platform::SSCommand> SSCommand23{this}; // "Törlés a műtétekből!"
    LazyControl<platform::SSCommand> SSCommand24{this}; // "Törlés a tételekből"
    LazyControl<platform::SSCommand> SSCommand25{this}; // "Törzsszámra keres"
    LazyControl<platform::SSCommand> SSCommand30{this}; // "Módosít"
    LazyControl<platform::SSCommand> SSCommand33{this}; // certificate

    // Surgery slots 0..9: code boxes and duration boxes.
    LazyControl<QLineEdit> Text23{this};
    LazyControl<QLineEdit> Text9{this};
    LazyControl<QLineEdit> Text29{this};
    LazyControl<QLineEdit> Text21{this};
    LazyControl<QLineEdit> Text22{this};
    LazyControl<QLineEdit> Text27{this};
    LazyControl<QLineEdit> Text30{this};
    LazyControl<QLineEdit> Text24{this};
    LazyControl<QLineEdit> Text8{this};
    LazyControl<QLineEdit> Text26{this};
    LazyControl<platform::MaskEdBox> MaskEdBox7{this};
    LazyControl<platform::MaskEdBox> MaskEdBox11{this};
    LazyControl<platform::MaskEdBox> MaskEdBox14{this};
    LazyControl<platform::MaskEdBox> MaskEdBox12{this};
    LazyControl<platform::MaskEdBox> MaskEdBox13{this};
    LazyControl<platform::MaskEdBox> MaskEdBox8{this};
    LazyControl<platform::MaskEdBox> MaskEdBox9{this};
    LazyControl<platform::MaskEdBox> MaskEdBox10{this};
    LazyControl<platform::MaskEdBox> MaskEdBox16{this};
    LazyControl<platform::MaskEdBox> MaskEdBox15{this};
    // Slot k's code box and duration box, k = 0..9 (the slot map).
    QLineEdit* slotCode(int k) const;
    platform::MaskEdBox* slotDuration(int k) const;

    // Item tabs.
    LazyControl<QTabWidget> SSTab1{this};
    LazyControl<QLineEdit> Text1{this};   // drug code
    LazyControl<QLineEdit> Text2{this};   // drug quantity text (hidden)
    LazyControl<QLineEdit> Text5{this};   // material code
    LazyControl<QLineEdit> Text7{this};   // material quantity text (hidden)
    LazyControl<QLineEdit> Text31{this};  // diagnostics code
    LazyControl<QLineEdit> Text32{this};  // diagnostics quantity text (hidden)
    LazyControl<platform::MaskEdBox> MaskEdBox17{this}; // drug quantity
    LazyControl<platform::MaskEdBox> MaskEdBox18{this}; // material quantity
    LazyControl<platform::MaskEdBox> MaskEdBox19{this}; // diagnostics quantity
    LazyControl<platform::DBCombo> DBCombo2{this};
    LazyControl<platform::DBCombo> DBCombo3{this};
    LazyControl<platform::DBCombo> DBCombo4{this};
    LazyControl<platform::DBGrid> DBGrid2{this};
    LazyControl<platform::DBGrid> DBGrid3{this};
    LazyControl<platform::DBGrid> DBGrid7{this};
    LazyControl<platform::SSCommand> SSCommand3{this};  // drug "Hozzáad"
    LazyControl<platform::SSCommand> SSCommand4{this};  // material "Hozzáad"
    LazyControl<platform::SSCommand> SSCommand31{this}; // diagnostics "Hozzáad" (ward: certificate)
    LazyControl<platform::SSCommand> SSCommand19{this}; // drug "Keresés"
    LazyControl<platform::SSCommand> SSCommand5{this};  // material "Keresés"
    LazyControl<platform::SSCommand> SSCommand32{this}; // diagnostics "Keresés"

    // Ward program only: the diagnostics combo, the hint of the other
    // services, the diagnostics notice.
    LazyControl<platform::DBCombo> DBCombo5{this};
    LazyControl<platform::SSPanel> SSPanel27{this};
    LazyControl<platform::SSPanel> SSPanel29{this};

    LazyControl<platform::DBGrid> DBGrid1{this}; // items of the episode
    LazyControl<platform::DBGrid> DBGrid4{this}; // surgeries of the episode, for deletion

    // ---- controls: other frames of the window ----
    // Institution data.
    LazyControl<platform::SSFrame> SSFrame2{this};
    LazyControl<QLabel> Label12{this};
    LazyControl<QLabel> Label13{this};
    LazyControl<QLineEdit> Text10{this};
    LazyControl<QLineEdit> Text15{this};
    LazyControl<platform::SSCommand> SSCommand6{this};
    LazyControl<platform::SSCommand> SSCommand7{this};
    // Import.
    LazyControl<platform::SSFrame> SSFrame3{this};
    LazyControl<platform::SSPanel> SSPanel19{this};
    LazyControl<QLineEdit> Text13{this};
    LazyControl<platform::SSCommand> SSCommand11{this};
    LazyControl<platform::SSCommand> SSCommand12{this};
    LazyControl<platform::SSCommand> SSCommand13{this};
    // Progress.
    LazyControl<platform::SSFrame> SSFrame4{this};
    LazyControl<QProgressBar> ProgressBar1{this};
    LazyControl<QLabel> Label9{this};
    LazyControl<QLabel> Label10{this};
    LazyControl<QLabel> Label11{this};
    // Period and target dialog.
    LazyControl<platform::SSFrame> SSFrame5{this};
    LazyControl<QFrame> Shape7{this};
    LazyControl<QFrame> Shape8{this};
    LazyControl<QFrame> Shape9{this};
    LazyControl<QCheckBox> Check2{this}; // "Törzsszám"
    LazyControl<QLineEdit> Text33{this};
    LazyControl<QCheckBox> Check1{this}; // "Idő"
    LazyControl<QLabel> Label15{this};
    LazyControl<QLabel> Label16{this};
    LazyControl<QLineEdit> Text16{this};
    LazyControl<QComboBox> Combo1{this};
    LazyControl<QLineEdit> Text28{this};
    LazyControl<QComboBox> Combo4{this};
    LazyControl<QLabel> Label17{this};
    LazyControl<QLineEdit> Text17{this};
    LazyControl<platform::SSCommand> SSCommand28{this};
    LazyControl<QLabel> Label24{this};
    LazyControl<QLineEdit> Text20{this};
    LazyControl<platform::SSCommand> SSCommand17{this};
    LazyControl<platform::SSCommand> SSCommand18{this};
    LazyControl<QLabel> Label14{this};
    LazyControl<QLabel> Label21{this};
    LazyControl<QLabel> Label22{this};
    LazyControl<QLabel> Label23{this};
    // Search.
    LazyControl<platform::SSFrame> SSFrame6{this};
    LazyControl<platform::SSPanel> SSPanel20{this};
    LazyControl<QLineEdit> Text18{this};
    LazyControl<QRadioButton> SSOption1{this};
    LazyControl<QRadioButton> SSOption2{this};
    LazyControl<platform::SSCommand> SSCommand20{this};
    LazyControl<platform::SSCommand> SSCommand21{this};
    LazyControl<QLabel> Label18{this};
    // Find by register number.
    LazyControl<platform::SSFrame> SSFrame7{this};
    LazyControl<QLabel> Label20{this};
    LazyControl<QLineEdit> Text19{this};
    LazyControl<platform::SSCommand> SSCommand26{this};
    LazyControl<platform::SSCommand> SSCommand27{this};
    // Surgery master picker.
    LazyControl<platform::SSFrame> SSFrame8{this};
    LazyControl<platform::DBGrid> DBGrid6{this};
    LazyControl<platform::SSCommand> SSCommand22{this};
    LazyControl<platform::SSCommand> SSCommand29{this};
    // Episodes of a list's selection.
    LazyControl<platform::DBGrid> DBGrid5{this};

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
    // The converted record whose data the form shows (its key in `konv`);
    // null while the episode on show is typed by hand. The save marks this
    // record, wherever the walk stands.
    QVariant konvOnShow;
    // Processing mode with a converted record on show.
    bool showsConvertedRecord() const;
    // The ward box of a converted record, or the ward list of an episode
    // typed by hand, with its own care type.
    void showWardBoxFor(bool converted);
    // Leaving the episode on show for another one: unless it is stored, the
    // items booked under its identifier go, as "Vissza" takes them. False
    // when they could not be removed; the form then stays as it is.
    bool forgetUnsavedItems();
    // "fel lett - e vive" follows whether the identifier on show is stored.
    void markStoredByIdentifier();
    // Saving.
    void SSCommand1_Click();
    void SSCommand30_Click();
    bool startFoundWalk(platform::db::DataConnection* conn, const QString& source, bool all, const QString& wanted);
    void showStoredForms();
    void refreshEpisodeWalk();
    // Writes what the clerk changed on the episode on show since it was
    // loaded, nothing when nothing changed; throws as EpisodeStore::modify.
    void modifyShownEpisode(const episode::EpisodeForm& form);
    // The episode on show as olvasdata3t put it on screen, kept up to date
    // by each modification; none while no stored episode is on show.
    std::shared_ptr<episode::LoadedEpisode> loadedEpisode;
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
    // False when the clerk's copy was refused before anything was written:
    // the dialog then stays as it is, for another file name.
    bool talvironfloppy(const QString& datum, const QString& elpath, const QString& datum2, const QString& Torzsszam);
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
    void setupUi();          // kezdo_ui.cpp: the first screen
    void setupMenus();       // kezdo_ui.cpp
    void setupToolbar();     // kezdo_ui.cpp
    // The hidden frames, built by ensureFrames():
    void setupEntryFrame();  // kezdo_ui.cpp
    void setupOutcome();     // kezdo_ui.cpp, surgical form
    void setupWalkLine();    // kezdo_ui.cpp
    void setupSurgeriesAndItems(); // kezdo_ui.cpp, surgical form
    void setupEpisodeButtons();    // kezdo_ui.cpp
    void setupOtherFrames(); // kezdo_ui.cpp
    void setupData();        // kezdo_data.cpp: the files and connections
    void bindControls();     // kezdo_data.cpp: the frames' grids and combos
    // Binds them again when their binding was refused as the frames were
    // built; a refusal again is thrown, before the action touches them.
    void bindRefusedControls();
    void connectShellHandlers();
    void playBanner();
    // The banner shows only while no frame is up, so no frame's caption
    // ever stands over it or beside it.
    void bannerFollowsFrames();
    bool checkRegionalFormats();
    void formatFailure();

    const ProgramInfo& m_program;
    LazyControl<platform::SSCommand> m_certificateButton{this};
    std::shared_ptr<platform::db::Database> m_enteredData;
    std::shared_ptr<platform::db::Database> m_codeTables;
    std::shared_ptr<platform::db::Database> m_convertedData;
    bool m_closed = false;
    int m_activations = 0;
    bool m_framesBuilt = false;
    bool m_controlsBound = false; // the frames' grids and combos read their files
    bool m_bannerStarted = false; // its canvas is up
    bool m_bannerPlayed = false;  // its picture is up
    bool m_formatBoxesBuilt = false;
    bool m_destroying = false;
};

// The banner picture of the program: its caption on a gradient, 771 x 133.
QPixmap drawBannerPicture(const QString& caption);
