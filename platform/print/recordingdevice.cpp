#include "platform/print/recordingdevice.h"

namespace platform {

QStringList RecordedPage::texts() const
{
    QStringList out;
    for (const auto& it : items)
        if (it.kind == RecordedItem::Text)
            out << it.text;
    return out;
}

void RecordingSurface::line(const QLineF& px, const QColor& color, int width)
{
    RecordedItem it;
    it.kind = RecordedItem::Line;
    it.line = px;
    it.color = color;
    it.width = width;
    m_page->items.push_back(it);
}

void RecordingSurface::box(const QRectF& px, const QColor& outline, int width, int fillStyle, const QColor& fill)
{
    RecordedItem it;
    it.kind = RecordedItem::Box;
    it.rect = px;
    it.color = outline;
    it.width = width;
    it.fillStyle = fillStyle;
    it.fill = fill;
    m_page->items.push_back(it);
}

void RecordingSurface::dot(const QPointF& px, const QColor& color, int width)
{
    RecordedItem it;
    it.kind = RecordedItem::Dot;
    it.point = px;
    it.color = color;
    it.width = width;
    m_page->items.push_back(it);
}

void RecordingSurface::arc(const QRectF& px, double startAngle, double endAngle, const QColor& color, int width)
{
    RecordedItem it;
    it.kind = RecordedItem::Arc;
    it.rect = px;
    it.startAngle = startAngle;
    it.endAngle = endAngle;
    it.color = color;
    it.width = width;
    m_page->items.push_back(it);
}

void RecordingSurface::text(const QPointF& topLeft, const QString& text, const QFont& font, const QColor& color,
                            int escapement, const QRectF& clip)
{
    RecordedItem it;
    it.kind = RecordedItem::Text;
    it.point = topLeft;
    it.text = text;
    it.family = font.family();
    it.pixelSize = font.pixelSize();
    it.bold = font.bold();
    it.italic = font.italic();
    it.underline = font.underline();
    it.strikeOut = font.strikeOut();
    it.stretch = font.stretch() == 0 ? 100 : font.stretch();
    it.escapement = escapement;
    it.clip = clip;
    it.color = color;
    m_page->items.push_back(it);
}

void RecordingSurface::picture(const QRectF& px, const QImage& image)
{
    RecordedItem it;
    it.kind = RecordedItem::Picture;
    it.rect = px;
    it.width = image.width();
    m_page->items.push_back(it);
}

class RecordingDevice::Recorder : public RecordingSurface {
public:
    Recorder() : RecordingSurface(nullptr) {}
};

RecordingDevice::RecordingDevice(double dpi, QString name) : m_name(std::move(name)), m_dpi(dpi) {}

RecordingDevice::~RecordingDevice() = default;

bool RecordingDevice::setOrientation(int orientation)
{
    if (refuseOrientation || (orientation != 1 && orientation != 2))
        return false;
    m_orientation = orientation;
    return true;
}

bool RecordingDevice::setPaperSize(int code)
{
    if (refusedPapers.contains(code) || paperSizeMm(code).isEmpty())
        return false;
    m_paper = code;
    return true;
}

QSizeF RecordingDevice::paperMm() const
{
    QSizeF s = paperSizeMm(m_paper);
    return m_orientation == 2 ? s.transposed() : s;
}

QRectF RecordingDevice::printableMm() const
{
    QSizeF s = paperMm();
    return QRectF(edgeMm, edgeMm, s.width() - 2 * edgeMm, s.height() - 2 * edgeMm);
}

Surface* RecordingDevice::beginDocument()
{
    RecordedDocument doc;
    doc.copies = m_copies;
    doc.orientation = m_orientation;
    doc.paperSize = m_paper;
    doc.pages.emplace_back();
    m_docs.push_back(std::move(doc));
    if (!m_recorder)
        m_recorder = std::make_unique<Recorder>();
    m_recorder->setPage(&m_docs.back().pages.back());
    if (onPageStart)
        onPageStart(1);
    return m_recorder.get();
}

void RecordingDevice::newPage()
{
    auto& doc = m_docs.back();
    doc.pages.emplace_back();
    m_recorder->setPage(&doc.pages.back());
    if (onPageStart)
        onPageStart(int(doc.pages.size()));
}

void RecordingDevice::endDocument() { m_docs.back().ended = true; }

void RecordingDevice::abortDocument() { m_docs.back().aborted = true; }

} // namespace platform
