// The print job: optional print dialog, pagination for the printer, and the
// chosen pages sent page by page with a progress window that can stop it.
#include "printlib/clsPrint.h"

#include "platform/print/printer.h"
#include "platform/ui/msgbox.h"
#include "printlib/frmPrinterStatus.h"

#include <QCoreApplication>

namespace printlib {

namespace {

LibMsgBox attention(const QString& text, int img)
{
    LibMsgBox box;
    box.Title = QStringLiteral("Attention");
    box.Text = text;
    box.btn1Caption = QStringLiteral("OK");
    box.Img = img;
    box.DefaultIdx = 1;
    box.CancelIdx = 1;
    return box;
}

void reportPrinterError(int number, const QString& description)
{
    if (number == 482 || number == 484)
        showLibMsgBox(attention(QStringLiteral("Printer error."), 0));
    else
        platform::msgBox(QString::number(number) + QStringLiteral("  ") + description, platform::Critical,
                         QStringLiteral("Printer error"));
}

} // namespace

void clsPrint::PrintDoc(QWidget* Owner_hWnd, bool ShowPrinterWindow)
{
    m_owner = Owner_hWnd;
    m_viewPaginateStatus = false;
    if (m_owner)
        m_owner->setEnabled(false);

    std::unique_ptr<frmPrinterStatus> status;
    platform::Printer* prn = nullptr;
    int savedCopies = 0;
    try {
        bool proceed = true;
        if (ShowPrinterWindow && printDialog())
            proceed = printDialog()(*this);
        if (proceed) {
            // The dialog may have chosen another printer: take it only now.
            prn = &platform::printer();
            savedCopies = prn->Copies();
            prn->setScaleMode(platform::vbMillimeters);
            ApplyPageSetup(m_pageSize, m_orientation);
            prn->setCopies(Collate ? 1 : m_copies);
            SetDeviceScale(*prn);
            Paginate();
            const int count = PageCount();

            int first = 1;
            int last = count;
            if (m_fromPage != 0 || m_toPage != 0) {
                first = m_fromPage;
                last = std::min<int>(m_toPage, count);
            }
            // Page 0 does not exist: a range starting there is as invalid as
            // one that ends before it starts.
            if (first < 1 || first > last) {
                showLibMsgBox(attention(QStringLiteral("Invalid print range."), 2));
            } else {
                const int passes = Collate ? m_copies : 1;
                for (int pass = 1; pass <= passes; ++pass) {
                    m_abortPrint = false;
                    if (!status)
                        status = std::make_unique<frmPrinterStatus>([this] { KillDoc(); });
                    status->lblPrinter->setText(prn->DeviceName());
                    status->show();

                    int p = first;
                    int step = 1;
                    if (m_range == 1) {
                        if (first % 2 == 0)
                            p = first + 1;
                        step = 2;
                    } else if (m_range == 2) {
                        if (first % 2 != 0)
                            p = first + 1;
                        step = 2;
                    }
                    while (true) {
                        if (m_abortPrint || p > last)
                            break;
                        status->lblStatus[1]->setText(QString::number(p) + QStringLiteral(" / ") +
                                                      QString::number(count));
                        QCoreApplication::processEvents();
                        // Uncollated copies on a device without a copy count:
                        // each page as often as asked, one after the other.
                        const int repeats = (!Collate && !prn->device().makesCopies()) ? m_copies : 1;
                        for (int r = 1; r <= repeats; ++r) {
                            DrawPage(*prn, p, 1.0f, 0, 0);
                            if (r < repeats)
                                prn->NewPage();
                        }
                        p += step;
                        if (p <= last)
                            prn->NewPage();
                    }
                    if (m_abortPrint) {
                        prn->KillDoc();
                        // "Mégse" stops the whole job, not only this set.
                        break;
                    }
                    prn->EndDoc();
                }
            }
        }
    } catch (const LibError& e) {
        reportPrinterError(e.Number, e.Description);
        if (prn)
            prn->KillDoc();
    } catch (const platform::PrinterError& e) {
        reportPrinterError(e.Number, e.Description);
        if (prn)
            prn->KillDoc();
    } catch (const std::exception& e) {
        reportPrinterError(5, QString::fromLocal8Bit(e.what()));
        if (prn)
            prn->KillDoc();
    }

    if (status) {
        if (status->isVisible())
            status->close();
        status.reset();
    }
    // The copy count was the job's own: a later list or certificate prints once.
    if (prn)
        prn->setCopies(savedCopies);
    if (m_owner) {
        m_owner->setEnabled(true);
        m_owner->raise();
        m_owner->activateWindow();
    }
}

} // namespace printlib
