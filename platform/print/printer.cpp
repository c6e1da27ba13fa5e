#include "platform/print/printer.h"

#include "platform/print/paintersurface.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <mutex>

namespace platform {

namespace {

struct PaperEntry {
    int code;
    QPageSize::PageSizeId id;
};

const PaperEntry kPapers[] = {
    {vbPRPSLetter, QPageSize::Letter},   {vbPRPSLetterSmall, QPageSize::Letter},
    {vbPRPSTabloid, QPageSize::Tabloid}, {vbPRPSLedger, QPageSize::Ledger},
    {vbPRPSLegal, QPageSize::Legal},     {vbPRPSStatement, QPageSize::Statement},
    {vbPRPSExecutive, QPageSize::Executive}, {vbPRPSA3, QPageSize::A3},
    {vbPRPSA4, QPageSize::A4},           {vbPRPSA4Small, QPageSize::A4},
    {vbPRPSA5, QPageSize::A5},           {vbPRPSB4, QPageSize::JisB4},
    {vbPRPSB5, QPageSize::JisB5},
};

bool pageSizeId(int code, QPageSize::PageSizeId* id)
{
    for (const auto& e : kPapers)
        if (e.code == code) {
            *id = e.id;
            return true;
        }
    return false;
}

int codeOfPageSize(const QPageSize& size)
{
    for (const auto& e : kPapers)
        if (e.id == size.id())
            return e.code;
    return vbPRPSUser;
}

// Unprintable border the PDF printer reports, like an office laser printer.
constexpr double kPdfEdgeMm = 5.0;

// A device over QPrinter: a system printer or the PDF printer.
class QtPrintDevice : public PrintDevice {
public:
    explicit QtPrintDevice(const QString& systemName) : m_printer(QPrinter::HighResolution)
    {
        m_pdf = systemName.isEmpty();
        if (m_pdf) {
            m_printer.setOutputFormat(QPrinter::PdfFormat);
            m_printer.setResolution(600);
            m_printer.setPageSize(QPageSize(QPageSize::A4));
            m_printer.setPageMargins(QMarginsF(kPdfEdgeMm, kPdfEdgeMm, kPdfEdgeMm, kPdfEdgeMm),
                                     QPageLayout::Millimeter);
            m_name = pdfPrinterName();
        } else {
            m_printer.setPrinterName(systemName);
            m_name = systemName;
        }
        m_printer.setFullPage(false);
    }

    QString deviceName() const override { return m_name; }

    bool setOrientation(int orientation) override
    {
        if (orientation != 1 && orientation != 2)
            return false;
        return m_printer.setPageOrientation(orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    }
    int orientation() const override
    {
        return m_printer.pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
    }

    bool setPaperSize(int code) override
    {
        QPageSize::PageSizeId id;
        if (!pageSizeId(code, &id))
            return false;
        if (!m_pdf) {
            const auto supported = QPrinterInfo::printerInfo(m_name).supportedPageSizes();
            bool ok = supported.isEmpty();
            for (const QPageSize& s : supported)
                ok = ok || s.id() == id;
            if (!ok)
                return false;
        }
        if (!m_printer.setPageSize(QPageSize(id)))
            return false;
        if (m_pdf)
            m_printer.setPageMargins(QMarginsF(kPdfEdgeMm, kPdfEdgeMm, kPdfEdgeMm, kPdfEdgeMm),
                                     QPageLayout::Millimeter);
        m_paper = code;
        return true;
    }
    int paperSize() const override
    {
        int c = codeOfPageSize(m_printer.pageLayout().pageSize());
        // Two codes share one paper; report the one asked for.
        QPageSize::PageSizeId id;
        if (pageSizeId(m_paper, &id) && id == m_printer.pageLayout().pageSize().id())
            return m_paper;
        return c;
    }

    void setCopies(int copies) override { m_printer.setCopyCount(qMax(1, copies)); }
    int copies() const override { return m_printer.copyCount(); }
    bool makesCopies() const override { return !m_pdf; }

    QSizeF paperMm() const override { return m_printer.pageLayout().fullRect(QPageLayout::Millimeter).size(); }
    QRectF printableMm() const override { return m_printer.pageLayout().paintRect(QPageLayout::Millimeter); }
    double dpiX() const override { return m_printer.resolution(); }
    double dpiY() const override { return m_printer.resolution(); }

    Surface* beginDocument() override
    {
        if (m_pdf) {
            static int serial = 0;
            QDir().mkpath(pdfOutputFolder());
            QString base = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
            QString file;
            do {
                file = QDir(pdfOutputFolder()).absoluteFilePath(QStringLiteral("%1-%2.pdf").arg(base).arg(++serial));
            } while (QFileInfo::exists(file));
            m_printer.setOutputFileName(file);
            m_file = file;
        }
        if (!m_painter.begin(&m_printer))
            throw PrinterError(482, QStringLiteral("Printer error"));
        clipToPrintableArea();
        m_surface = std::make_unique<PainterSurface>(&m_painter, m_printer.resolution() / 96.0);
        return m_surface.get();
    }
    void newPage() override
    {
        if (!m_printer.newPage())
            throw PrinterError(482, QStringLiteral("Printer error"));
        clipToPrintableArea();
    }
    void endDocument() override
    {
        m_painter.end();
        m_surface.reset();
        m_lastFile = m_pdf ? m_file : QString();
    }
    void abortDocument() override
    {
        m_printer.abort();
        if (m_painter.isActive())
            m_painter.end();
        m_surface.reset();
        if (m_pdf && !m_file.isEmpty())
            QFile::remove(m_file);
    }
    QString lastOutputFile() const override { return m_lastFile; }

private:
    // A paper printer cannot ink its unprintable border, and the PDF printer
    // reports one too; without the clip a PDF would show what runs past it.
    // The painter's origin is the printable area's corner (no full page).
    void clipToPrintableArea() { m_painter.setClipRect(QRect(0, 0, m_printer.width(), m_printer.height())); }

    QPrinter m_printer;
    QPainter m_painter;
    std::unique_ptr<PainterSurface> m_surface;
    QString m_name;
    bool m_pdf = false;
    int m_paper = vbPRPSA4;
    QString m_file;
    QString m_lastFile;
};

std::unique_ptr<Printer> g_printer;
std::function<void(const QString&)> g_notice;

} // namespace

QSizeF paperSizeMm(int code)
{
    QPageSize::PageSizeId id;
    if (!pageSizeId(code, &id))
        return {};
    return QPageSize(id).size(QPageSize::Millimeter);
}

QString pdfPrinterName() { return QStringLiteral("PDF nyomtató"); }

QStringList printerNames()
{
    QStringList names = QPrinterInfo::availablePrinterNames();
    names << pdfPrinterName();
    return names;
}

QString pdfOutputFolder() { return QStringLiteral("nyomtatas"); }

// ---------------------------------------------------------------- Printer

Printer::Printer(std::unique_ptr<PrintDevice> device)
    : DrawTarget(device->dpiX(), device->dpiY()), m_device(std::move(device))
{
    registerFontSubstitutions();
}

Printer::~Printer()
{
    if (m_inDocument)
        KillDoc();
}

bool Printer::setOrientation(int orientation) { return m_device->setOrientation(orientation); }
bool Printer::setPaperSize(int code) { return m_device->setPaperSize(code); }
void Printer::setCopies(int copies) { m_device->setCopies(copies); }

double Printer::Width() const { return m_device->paperMm().width() / 25.4 * 1440.0; }
double Printer::Height() const { return m_device->paperMm().height() / 25.4 * 1440.0; }

QSizeF Printer::printableSizeMm() const { return m_device->printableMm().size(); }

double Printer::ScaleWidth() const { return ScaleX(printableSizeMm().width(), vbMillimeters, ScaleMode()); }
double Printer::ScaleHeight() const { return ScaleY(printableSizeMm().height(), vbMillimeters, ScaleMode()); }

Surface* Printer::surface()
{
    if (!m_inDocument) {
        setResolution(m_device->dpiX(), m_device->dpiY());
        m_surface = m_device->beginDocument();
        m_inDocument = true;
    }
    return m_surface;
}

void Printer::resetPosition()
{
    CurrentX = 0;
    CurrentY = 0;
}

void Printer::NewPage()
{
    surface();
    m_device->newPage();
    resetPosition();
}

void Printer::EndDoc()
{
    if (m_inDocument) {
        m_inDocument = false;
        m_surface = nullptr;
        m_device->endDocument();
        if (g_notice && !m_device->lastOutputFile().isEmpty())
            g_notice(m_device->lastOutputFile());
    }
    resetPosition();
}

void Printer::KillDoc()
{
    if (m_inDocument) {
        m_inDocument = false;
        m_surface = nullptr;
        m_device->abortDocument();
    }
    resetPosition();
}

// ---------------------------------------------------------------- globals

static std::unique_ptr<PrintDevice> deviceFor(const QString& name)
{
    if (name == pdfPrinterName())
        return std::make_unique<QtPrintDevice>(QString());
    return std::make_unique<QtPrintDevice>(name);
}

Printer& printer()
{
    if (!g_printer) {
        QString def = QPrinterInfo::defaultPrinterName();
        g_printer = std::make_unique<Printer>(deviceFor(def.isEmpty() ? pdfPrinterName() : def));
    }
    return *g_printer;
}

static void carryOver(const Printer& from, Printer& to)
{
    to.setOrientation(from.Orientation());
    to.setPaperSize(from.PaperSize());
    to.setCopies(from.Copies());
    to.setScaleMode(from.ScaleMode());
    to.FontName = from.FontName;
    to.FontSize = from.FontSize;
    to.FontBold = from.FontBold;
    to.FontItalic = from.FontItalic;
    to.FontUnderline = from.FontUnderline;
    to.FontStrikethru = from.FontStrikethru;
    to.ForeColor = from.ForeColor;
}

static void replacePrinter(std::unique_ptr<PrintDevice> device)
{
    auto next = std::make_unique<Printer>(std::move(device));
    if (g_printer) {
        g_printer->KillDoc();
        carryOver(*g_printer, *next);
    }
    g_printer = std::move(next);
}

bool selectPrinter(const QString& name)
{
    if (!printerNames().contains(name))
        return false;
    if (g_printer && g_printer->DeviceName() == name)
        return true;
    replacePrinter(deviceFor(name));
    return true;
}

void installPrintDevice(std::unique_ptr<PrintDevice> device)
{
    if (g_printer)
        g_printer->KillDoc();
    g_printer = std::make_unique<Printer>(std::move(device));
}

void setPrintNotice(std::function<void(const QString&)> notice) { g_notice = std::move(notice); }

void registerFontSubstitutions()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const struct {
            const char* face;
            const char* stand;
        } subs[] = {
            {"Arial", "Liberation Sans"},          {"Helvetica", "Liberation Sans"},
            {"MS Sans Serif", "Liberation Sans"},  {"Times New Roman", "Liberation Serif"},
            {"Times", "Liberation Serif"},         {"MS Serif", "Liberation Serif"},
            {"Ms Serif", "Liberation Serif"},      {"Courier New", "Liberation Mono"},
            {"Courier", "Liberation Mono"},
        };
        for (const auto& s : subs)
            QFont::insertSubstitution(QString::fromLatin1(s.face), QString::fromLatin1(s.stand));
    });
}

} // namespace platform
