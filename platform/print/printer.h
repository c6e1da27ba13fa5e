// The program's current printer: one process-wide object that keeps its
// orientation, paper, copy count, scale mode and font between documents.
// Both printing roads use it: the print library's documents and the lists
// written straight in character cells.
//
//   auto& p = platform::printer();
//   p.setOrientation(2);
//   p.setScaleMode(platform::vbCharacters);   // 120 x 240 twips a cell
//   p.FontName = "Arial"; p.FontSize = 10;
//   p.CurrentX = 5; p.CurrentY = 2; p.Print("RÁFORDÍTÁSI HIBALISTA");
//   p.NewPage(); ... p.EndDoc();
//
// Drawing starts a document by itself. Printers are the system's plus,
// always, a PDF printer that writes each document to its own file under
// ./nyomtatas/ in the working folder (see lastOutputFile()).
#pragma once

#include "platform/print/drawtarget.h"

#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

namespace platform {

// A printer failure: a number and its description. 482 is the general
// printer error, 484 "driver or device unavailable".
class PrinterError : public std::runtime_error {
public:
    PrinterError(int number, const QString& description)
        : std::runtime_error(description.toStdString()), Number(number), Description(description)
    {
    }
    int Number;
    QString Description;
};

// Paper-size codes of the old printer settings.
enum PaperCode : int {
    vbPRPSLetter = 1,
    vbPRPSLetterSmall = 2,
    vbPRPSTabloid = 3,
    vbPRPSLedger = 4,
    vbPRPSLegal = 5,
    vbPRPSStatement = 6,
    vbPRPSExecutive = 7,
    vbPRPSA3 = 8,
    vbPRPSA4 = 9,
    vbPRPSA4Small = 10,
    vbPRPSA5 = 11,
    vbPRPSB4 = 12,
    vbPRPSB5 = 13,
    vbPRPSUser = 256,
};

// Paper size in mm (portrait) of a code; an empty size for unknown codes.
QSizeF paperSizeMm(int code);

// One output device: settings, metrics and the document of pages.
class PrintDevice {
public:
    virtual ~PrintDevice() = default;
    virtual QString deviceName() const = 0;
    // Settings; false when the device refuses the value (it keeps the old one).
    virtual bool setOrientation(int orientation) = 0; // 1 portrait, 2 landscape
    virtual int orientation() const = 0;
    virtual bool setPaperSize(int code) = 0;
    virtual int paperSize() const = 0;
    virtual void setCopies(int copies) = 0;
    virtual int copies() const = 0;
    // False for a device that keeps no copy count (a PDF file): whoever
    // prints uncollated copies on it draws each page as often as asked.
    virtual bool makesCopies() const { return true; }
    // Metrics for the current paper and orientation.
    virtual QSizeF paperMm() const = 0;
    // Printable area: offset from the paper's corner and size, in mm.
    virtual QRectF printableMm() const = 0;
    virtual double dpiX() const = 0;
    virtual double dpiY() const = 0;
    // Document: begin returns the surface of page 1 (coordinates are device
    // pixels from the printable area's top-left corner).
    virtual Surface* beginDocument() = 0;
    virtual void newPage() = 0;
    virtual void endDocument() = 0;
    virtual void abortDocument() = 0;
    // The file the last ended document went to (PDF printer), else empty.
    virtual QString lastOutputFile() const { return {}; }
};

// Name of the always-present PDF printer.
QString pdfPrinterName();
// The system's printers followed by the PDF printer.
QStringList printerNames();
// The folder the PDF printer writes into (relative to the working folder).
QString pdfOutputFolder();

class Printer : public DrawTarget {
public:
    explicit Printer(std::unique_ptr<PrintDevice> device);
    ~Printer() override;

    PrintDevice& device() { return *m_device; }
    QString DeviceName() const { return m_device->deviceName(); }

    int Orientation() const { return m_device->orientation(); }
    bool setOrientation(int orientation);
    int PaperSize() const { return m_device->paperSize(); }
    bool setPaperSize(int code);
    int Copies() const { return m_device->copies(); }
    void setCopies(int copies);

    // Paper in twips (current orientation), as the old printer reported it.
    double Width() const;
    double Height() const;
    // Printable area in the current scale mode.
    double ScaleWidth() const;
    double ScaleHeight() const;
    // Printable area in millimetres.
    QSizeF printableSizeMm() const;
    // Pixels per inch (LOGPIXELSX / LOGPIXELSY).
    int logPixelsX() const { return int(dpiX()); }
    int logPixelsY() const { return int(dpiY()); }

    bool inDocument() const { return m_inDocument; }
    // Ends the page and starts the next one (starting a document if needed).
    void NewPage();
    // Ends the document and sends it to the device.
    void EndDoc();
    // Cancels the document; nothing of it comes out.
    void KillDoc();

    // Where the last finished document went (the PDF file), else empty.
    QString lastOutputFile() const { return m_device->lastOutputFile(); }

protected:
    Surface* surface() override;

private:
    void resetPosition();
    std::unique_ptr<PrintDevice> m_device;
    Surface* m_surface = nullptr;
    bool m_inDocument = false;
};

// The current printer: at first use the system's default printer, or the PDF
// printer when the system has none.
Printer& printer();
// Makes the named printer current (a name of printerNames()); the
// orientation, paper, copies, scale mode and font carry over. False for an
// unknown name.
bool selectPrinter(const QString& name);
// Replaces the current printer's device (tests install a recorder).
void installPrintDevice(std::unique_ptr<PrintDevice> device);
// Receives a notice after every finished document (e.g. the PDF file's path),
// for windows that show where the output went.
void setPrintNotice(std::function<void(const QString& outputFile)> notice);

// Makes the metric-compatible free fonts stand in for the faces documents
// name ("Arial", "Times New Roman", "Courier New", "Ms Serif" ...), so text
// measures the same on every machine. Called once at program start; safe to
// call again.
void registerFontSubstitutions();

} // namespace platform
