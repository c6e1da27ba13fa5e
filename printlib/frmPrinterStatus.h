// The printing progress window ("Nyomtatás"): the printer's name, the page
// being printed and "Mégse", which stops the job. Closing the window stops
// it the same way.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <functional>

namespace printlib {

class frmPrinterStatus : public QWidget {
    Q_OBJECT
public:
    // onUnload runs on every close, whatever closed the window.
    explicit frmPrinterStatus(std::function<void()> onUnload);
    ~frmPrinterStatus() override;

    // The window of the running job, or null.
    static frmPrinterStatus* current();

    QLabel* lblPrinter;
    QLabel* lblStatus[2];
    QPushButton* cmdStop;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::function<void()> m_onUnload;
};

} // namespace printlib
