// The ward program's main window where it parts from the surgical one: its
// four item tabs (drugs, food, other services and the diagnostics notice),
// the handlers of those tabs and of its code search, and its own manual
// entry, review, processing, save and record walking.
//
// The window (kezdo) owns one WardMain in the ward program and hands over to
// it wherever the two programs differ; everything else the two share. The
// handlers keep the names the ward form gives them, so one grep finds them.
#pragma once

#include <QString>

#include <optional>

class kezdo;
class QLabel;
class QLineEdit;
class QWidget;

namespace entry {
struct ItemTabInfo;
}
namespace episode {
struct EpisodeForm;
struct Refusal;
}
namespace platform {
class DBCombo;
class DBGrid;
class MaskEdBox;
namespace db {
class DataConnection;
}
}

class WardMain {
public:
    explicit WardMain(kezdo& window);

    // ---- building (kezdo_wardui.cpp) ----
    void setupHeader(); // the ward signs; the institution code only the program fills
    void setupItemTabs(QWidget* entryFrame);
    void bindData();

    // ---- wiring (kezdo_ward.cpp) ----
    void connectHandlers();

    // Activation: the drug quantity starts at 1 every time, its text with it.
    void Form_Activate();

    // ---- entry modes and the episode ----
    void fel_Click();
    void tete_Click();
    void feldolg_Click();
    void SSCommand1_Click();  // save ("Felvitel" / "Módosítás")
    void SSCommand14_Click(); // "Új"
    void SSCommand15_Click();
    void SSCommand16_Click();
    // Takes the current converted record into the header (walk, jump, find).
    void takeKonvRow();

    // ---- item tabs, tab = 0 drugs, 1 food, 2 other services ----
    void code_Change(int tab);     // Text1_Change, Text5_Change, Text8_Change
    void code_KeyDown(int tab, int& keyCode, int shift);
    void code_LostFocus(int tab);  // Text1_LostFocus, Text5_LostFocus, Text8_LostFocus
    void combo_Change(int tab);    // DBCombo2_Change, DBCombo3_Change, DBCombo4_Change
    void combo_Click(int tab);     // DBCombo2_Click, DBCombo3_Click, DBCombo4_Click
    void combo_KeyPress(int tab, int& keyAscii);
    void combo_LostFocus(int tab);
    void grid_DblClick(int tab);   // DBGrid3_DblClick, DBGrid2_DblClick, DBGrid4_DblClick
    void grid_KeyDown(int tab, int& keyCode, int shift);
    void quantity_LostFocus(int tab); // MaskEdBox7_LostFocus, MaskEdBox8_LostFocus
    void quantity_KeyPress(int tab, int& keyAscii);
    void MaskEdBox9_Change() { quantity_LostFocus(2); }
    void addItem(int tab);
    void SSCommand3_Click() { addItem(0); }
    void SSCommand4_Click() { addItem(1); }
    void SSCommand5_Click() { addItem(2); }
    void Text8_Change() { code_Change(2); }

    // ---- code search ----
    void openSearch(int tab);
    void SSCommand19_Click() { openSearch(0); }
    void SSCommand22_Click() { openSearch(1); }
    void SSCommand23_Click() { openSearch(2); }
    void SSCommand20_Click();
    void SSCommand21_Click();
    void Text18_KeyPress(int& keyAscii);

private:
    struct Tab {
        const entry::ItemTabInfo& info;
        QLineEdit* code;
        platform::DBCombo* combo;
        platform::DBGrid* grid;
        platform::MaskEdBox* quantity;
        QLineEdit* quantityText;
        platform::db::DataConnection* data;
    };
    Tab tab(int t) const;
    void closeSearch();
    void refuseCode(const Tab& t, QWidget* next);
    void showCodeHint();

    kezdo& w;
};
