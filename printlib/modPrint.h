// Library-wide values of the print library: the current document Job, the
// device scale of the last measured output device, and the seams through
// which the library reaches its windows (message box, print dialog).
#pragma once

#include <QString>

#include <functional>
#include <memory>

namespace printlib {

class clsPrint;
class clsInteraction;

// The current document. CreateJob releases the previous one first and then
// creates a fresh, empty document; when creation fails (no usable printer)
// the error propagates and Job stays empty.
extern std::unique_ptr<clsPrint> Job;
void CreateJob();
// Releases the current document (Job becomes empty) and gives its memory
// back to the system. Callers that are done with a printout call it, so a
// big list does not stay in memory until the next one.
void ReleaseJob();
// Hands freed heap memory back to the system where the allocator keeps it
// (a big document's elements leave many small free blocks behind).
void trimMemory();

// Scale of the device measured by the last SetDeviceScale.
extern float PixelsPerMM;
extern float PixelsPerPoint;

// The library's shared message-box object, created on first use
// (interaction()).
extern clsInteraction* Interaction;

// Arguments of the library's own message box (title "Attention", one "OK").
struct LibMsgBox {
    QString Title;
    QString Text;
    QString btn1Caption;
    QString btn2Caption;
    QString btn3Caption;
    QString btn4Caption;
    int Img = 0; // icon number of the library's box: 0 stop, 2 exclamation
    int DefaultIdx = 1;
    int CancelIdx = 1;
    int wLeft = 0;
    int wTop = 0;
    bool wTopMost = false;
    int AutoCloseButton = 0;
    int AutoCloseInterval = 0;
};

// How the library shows its message box; returns the pressed button's index.
// Defaults to the library's own box (interaction().ShowMsgBox); tests
// install a recorder.
using LibMsgBoxFn = std::function<int(const LibMsgBox&)>;
void setLibMsgBox(LibMsgBoxFn fn); // an empty function restores the default
int showLibMsgBox(const LibMsgBox& args);

// The print dialog: presets itself from the document, runs modally, stores
// the user's choices (Collate, Copies, Range, FromPage, ToPage, printer) into
// the document and returns true when "Nyomtat" closed it (isPrint). Without
// one installed, PrintDoc prints with the document's stored settings.
using PrintDialogFn = std::function<bool(clsPrint&)>;
void setPrintDialog(PrintDialogFn fn);
const PrintDialogFn& printDialog();

} // namespace printlib
