#include "printlib/libwindows.h"

#include "printlib/clsInteraction.h"
#include "printlib/frmPrintDialog.h"
#include "printlib/modPrint.h"

namespace printlib {

void installLibraryWindows()
{
    setLibMsgBox([](const LibMsgBox& a) {
        return interaction().ShowMsgBox(a.Title, a.Text, a.btn1Caption, a.btn2Caption, a.btn3Caption,
                                        a.btn4Caption, a.Img, a.DefaultIdx, a.CancelIdx, a.wLeft, a.wTop,
                                        a.wTopMost, nullptr, a.AutoCloseButton, a.AutoCloseInterval);
    });
    setPrintDialog([](clsPrint& job) { return runPrintDialog(job); });
}

void uninstallLibraryWindows()
{
    setLibMsgBox({});
    setPrintDialog({});
}

} // namespace printlib
