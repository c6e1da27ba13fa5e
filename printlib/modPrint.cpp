#include "printlib/modPrint.h"

#include "printlib/clsInteraction.h"
#include "printlib/clsPrint.h"

#include <QCoreApplication>
#include <QTimer>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace printlib {

std::unique_ptr<clsPrint> Job;
float PixelsPerMM = 0;
float PixelsPerPoint = 0;
clsInteraction* Interaction = nullptr;

void CreateJob()
{
    // The old document goes first: its release clears the queue and pages
    // before the new one exists. A failing creation leaves Job empty.
    ReleaseJob();
    Job = std::make_unique<clsPrint>();
}

void ReleaseJob()
{
    if (!Job)
        return;
    Job.reset();
    trimMemory();
    // Once more when the caller is back in the event loop: what it built the
    // document from (a list's rows) is usually freed only after this call.
    if (QCoreApplication::instance())
        QTimer::singleShot(0, QCoreApplication::instance(), [] { trimMemory(); });
}

void trimMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

namespace {
LibMsgBoxFn& msgBoxFn()
{
    static LibMsgBoxFn fn;
    return fn;
}
PrintDialogFn& dialogFn()
{
    static PrintDialogFn fn;
    return fn;
}
} // namespace

void setLibMsgBox(LibMsgBoxFn fn) { msgBoxFn() = std::move(fn); }

int showLibMsgBox(const LibMsgBox& a)
{
    if (msgBoxFn())
        return msgBoxFn()(a);
    return interaction().ShowMsgBox(a.Title, a.Text, a.btn1Caption, a.btn2Caption, a.btn3Caption, a.btn4Caption,
                                    a.Img, a.DefaultIdx, a.CancelIdx, a.wLeft, a.wTop, a.wTopMost, nullptr,
                                    a.AutoCloseButton, a.AutoCloseInterval);
}

void setPrintDialog(PrintDialogFn fn) { dialogFn() = std::move(fn); }
const PrintDialogFn& printDialog() { return dialogFn(); }

} // namespace printlib
