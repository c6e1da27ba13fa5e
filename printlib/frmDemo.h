// "Test": the print library's own demonstration window. It builds two sample
// documents that exercise almost the whole element model and previews or
// prints the current document. Nothing in the programs opens it; the
// printlib_demo launcher does.
#pragma once

#include <QWidget>

#include <random>

class QLabel;
class QPushButton;

namespace printlib {

class frmTest : public QWidget {
    Q_OBJECT
public:
    explicit frmTest(QWidget* parent = nullptr);

    QPushButton* Command1 = nullptr; // "Create Job 1"
    QPushButton* Command2 = nullptr; // "Számlanyomtatás"
    QPushButton* Command3 = nullptr; // "Nyomtat modulból"
    QPushButton* Command7 = nullptr; // "Print"
    QPushButton* Command8 = nullptr; // "Preview"
    QLabel* Label1 = nullptr;

    // The sample database; Projectek.mdb beside the program unless set.
    QString databasePath;

    // Each handler reports its own failures in the library's message box and
    // leaves the program running.
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command7_Click();
    void Command8_Click();

    // 0 .. b - 1, after reseeding with b plus the seconds since midnight.
    short RandomInt(short b);

private:
    void buildJob1();
    void buildInvoice();
    void reseed(unsigned seed);
    double rnd();
    template <class F>
    void guarded(F&& action);

    std::mt19937 m_rng;
};

} // namespace printlib
