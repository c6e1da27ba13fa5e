// The print dialog "Nyomtat": printer, copies, collation, the pages to print
// and the page subset. Confirming writes the choices into the document and
// makes the chosen printer the program's current printer; cancelling leaves
// both alone.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPixmap>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace printlib {

class clsPrint;

// A label that reports the release of any mouse button over it.
class ReleaseLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void released();

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
};

// Up-down arrows that step the number in their buddy text box by 1,
// between 1 and 999.
class UpDown : public QWidget {
    Q_OBJECT
public:
    // Steps its buddy's number within 1..highest.
    UpDown(QLineEdit* buddy, int highest, QWidget* parent);
    int value() const;
    void setValue(int value);
    void stepBy(int steps);
    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

private:
    QLineEdit* m_buddy;
    int m_highest;
    QToolButton* m_up;
    QToolButton* m_down;
};

class frmPrint : public QDialog {
    Q_OBJECT
public:
    // Loading fills the printer and subset lists and hooks both lists.
    explicit frmPrint(clsPrint& job, QWidget* parent = nullptr);
    ~frmPrint() override; // the unload: hooks removed, print flag cleared

    bool isPrint() const { return m_print; }

    // Preset from the document, as the print job does before showing it.
    void presetFrom(const clsPrint& job);

    QComboBox* cboPrinters = nullptr;
    QGroupBox* fraRange = nullptr;
    QRadioButton* optAll = nullptr;
    ReleaseLabel* lblAll = nullptr;
    QRadioButton* optPages = nullptr;
    ReleaseLabel* lblPages = nullptr;
    QLineEdit* txtFrom = nullptr;
    UpDown* udFrom = nullptr;
    QLabel* Label1_0 = nullptr; // "Ig:"
    QLineEdit* txtTo = nullptr;
    UpDown* udTo = nullptr;
    QLabel* Label1_2 = nullptr; // "Nyomtat:"
    QComboBox* cboRange = nullptr;
    QGroupBox* fraCopies = nullptr;
    QLabel* Label1_1 = nullptr; // "Pédányszám:"
    QLineEdit* txtCopies = nullptr;
    UpDown* udCopies = nullptr;
    QCheckBox* chkCollate = nullptr;
    ReleaseLabel* lblCollate = nullptr;
    QLabel* imgCollate = nullptr;
    std::array<QPixmap, 2> imgCollated;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdCancel = nullptr;

    // Index of imgCollated that imgCollate shows.
    int collatePicture() const { return m_collatePicture; }

    void cmdPrint_Click();
    void cmdCancel_Click();
    void chkCollate_Click();
    void EnablePageRange();
    void HideWithEffect();
    // The caption flies from the screen's corner to where the dialog then
    // opens, centred on its screen.
    void AnimateOpen();

protected:
    void reject() override; // Esc presses "Mégse"

private:
    void Form_Load();

    clsPrint& m_job;
    bool m_print = false;
    int m_collatePicture = 0;
};

// The dialog as the print job runs it: load, preset, show modally, read
// isPrint, unload. Returns isPrint.
bool runPrintDialog(clsPrint& job);

} // namespace printlib
