// A print device that records what is drawn, item by item, for tests: fixed
// paper metrics and resolution, every document with its pages, each page a
// list of drawn items (text with position and font, lines, boxes, dots, arcs,
// pictures) in device pixels from the printable area's top-left corner.
#pragma once

#include "platform/print/printer.h"

#include <QSet>

#include <functional>

namespace platform {

struct RecordedItem {
    enum Kind { Line, Box, Dot, Arc, Text, Picture };
    Kind kind = Line;
    QLineF line;     // Line
    QRectF rect;     // Box, Arc (ellipse rect), Picture; Text: the text's box
    QPointF point;   // Dot; Text: top-left corner of the line
    QString text;
    QString family;  // Text: the font family asked for
    double pixelSize = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int stretch = 100;
    int escapement = 0;
    QRectF clip;     // Text: invalid when not clipped
    QColor color;    // line, dot, arc, text colour; box outline (invalid: none)
    int width = 0;   // pen width in pixels
    int fillStyle = 1;
    QColor fill;
    double startAngle = 0;
    double endAngle = 0;
};

struct RecordedPage {
    std::vector<RecordedItem> items;
    QStringList texts() const;
};

struct RecordedDocument {
    std::vector<RecordedPage> pages;
    int copies = 1;
    int orientation = 1;
    int paperSize = 9;
    bool ended = false;
    bool aborted = false;
};

class RecordingDevice : public PrintDevice {
public:
    // A4 portrait with a printable area 5 mm in from every edge, at dpi.
    explicit RecordingDevice(double dpi = 600, QString name = QStringLiteral("Teszt nyomtató"));
    ~RecordingDevice() override;

    // Paper codes the device accepts (by default those of paperSizeMm).
    QSet<int> refusedPapers;
    bool refuseOrientation = false;
    bool keepsCopyCount = true; // false: behaves like the PDF printer
    double edgeMm = 5;
    // Called when a page is started (1-based page number of the document);
    // may throw PrinterError to simulate a failure.
    std::function<void(int page)> onPageStart;

    const std::vector<RecordedDocument>& documents() const { return m_docs; }
    void clearDocuments() { m_docs.clear(); }

    QString deviceName() const override { return m_name; }
    bool setOrientation(int orientation) override;
    int orientation() const override { return m_orientation; }
    bool setPaperSize(int code) override;
    int paperSize() const override { return m_paper; }
    void setCopies(int copies) override { m_copies = copies; }
    int copies() const override { return m_copies; }
    bool makesCopies() const override { return keepsCopyCount; }
    QSizeF paperMm() const override;
    QRectF printableMm() const override;
    double dpiX() const override { return m_dpi; }
    double dpiY() const override { return m_dpi; }
    Surface* beginDocument() override;
    void newPage() override;
    void endDocument() override;
    void abortDocument() override;

private:
    class Recorder;
    QString m_name;
    double m_dpi;
    int m_orientation = 1;
    int m_paper = 9;
    int m_copies = 1;
    std::vector<RecordedDocument> m_docs;
    std::unique_ptr<Recorder> m_recorder;
};

// A surface that records into a page (used by RecordingDevice, and by tests
// that draw on a target without a printer).
class RecordingSurface : public Surface {
public:
    explicit RecordingSurface(RecordedPage* page) : m_page(page) {}
    void setPage(RecordedPage* page) { m_page = page; }
    void line(const QLineF& px, const QColor& color, int width) override;
    void box(const QRectF& px, const QColor& outline, int width, int fillStyle, const QColor& fill) override;
    void dot(const QPointF& px, const QColor& color, int width) override;
    void arc(const QRectF& px, double startAngle, double endAngle, const QColor& color, int width) override;
    void text(const QPointF& topLeft, const QString& text, const QFont& font, const QColor& color, int escapement,
              const QRectF& clip) override;
    void picture(const QRectF& px, const QImage& image) override;

private:
    RecordedPage* m_page;
};

// A drawing target over a recording surface with a fixed resolution (a
// stand-in for the preview's page picture in tests).
class RecordingTarget : public DrawTarget {
public:
    explicit RecordingTarget(double dpi = 96) : DrawTarget(dpi, dpi), m_surface(&page) {}
    RecordedPage page;

protected:
    Surface* surface() override { return &m_surface; }

private:
    RecordingSurface m_surface;
};

} // namespace platform
