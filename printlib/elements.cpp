#include "printlib/elements.h"

#include <QHash>

#include <cstring>

namespace printlib {

static double dotsPerMm(int dotsPerMeter) { return dotsPerMeter > 0 ? dotsPerMeter / 1000.0 : 96.0 / 25.4; }

double pictureWidthHimetric(const QImage& image)
{
    return image.isNull() ? 0 : image.width() / dotsPerMm(image.dotsPerMeterX()) * 100.0;
}

double pictureHeightHimetric(const QImage& image)
{
    return image.isNull() ? 0 : image.height() / dotsPerMm(image.dotsPerMeterY()) * 100.0;
}

// ---------------------------------------------------------------- clsQueue

void clsQueue::Add(int objType, int objIndex)
{
    m_entries.push_back({objType, objIndex});
    while (int(m_entries.size()) > m_capacity)
        m_capacity += 20;
}

QString clsQueue::Item(int Index) const
{
    if (Index < 1 || Index > m_capacity)
        throw LibError::subscript();
    if (Index > Count())
        return QString();
    const Entry& e = entry(Index);
    return QString::number(e.kind) + QLatin1Char('/') + QString::number(e.index);
}

void clsQueue::Clear()
{
    m_entries.clear();
    m_capacity = 20;
}

// ---------------------------------------------------------------- compact labels

namespace {

// Bits of a float, so that the hash agrees with == for everything but 0/-0
// and NaN (which only cost a second copy of the look).
std::size_t bitsOf(float f)
{
    std::uint32_t u = 0;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

struct HashMix {
    std::size_t h = 0x9e3779b97f4a7c15ull;
    HashMix& operator<<(std::size_t v)
    {
        h ^= v + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
        return *this;
    }
};

} // namespace

bool sameLook(const clsLabelAttributes& a, const clsLabelAttributes& b)
{
    return a.ForeColor == b.ForeColor && a.FontName == b.FontName && a.FontSize == b.FontSize
        && a.FontBold == b.FontBold && a.FontItalic == b.FontItalic && a.FontUnderline == b.FontUnderline
        && a.FontStrikethru == b.FontStrikethru && a.PositionIsAbsolute == b.PositionIsAbsolute
        && a.CellSpacing == b.CellSpacing && a.WordWrap == b.WordWrap && a.FillStyle == b.FillStyle
        && a.FillColor == b.FillColor && a.BorderColor == b.BorderColor && a.BorderWidth == b.BorderWidth
        && a.Align == b.Align && a.Tag == b.Tag;
}

bool sameLook(const clsLabelExAttributes& a, const clsLabelExAttributes& b)
{
    return a.ForeColor == b.ForeColor && a.FontName == b.FontName && a.CharHeight == b.CharHeight
        && a.CharWidth == b.CharWidth && a.Angle == b.Angle && a.CharWeight == b.CharWeight
        && a.FontItalic == b.FontItalic && a.FontUnderline == b.FontUnderline && a.FontStrikeOut == b.FontStrikeOut
        && a.PositionIsAbsolute == b.PositionIsAbsolute && a.CellSpacing == b.CellSpacing
        && a.FillStyle == b.FillStyle && a.FillColor == b.FillColor && a.BorderWidth == b.BorderWidth
        && a.BorderColor == b.BorderColor && a.WordWrap == b.WordWrap && a.Align == b.Align && a.Tag == b.Tag;
}

std::size_t lookHash(const clsLabelAttributes& a)
{
    HashMix m;
    m << a.ForeColor << qHash(a.FontName) << bitsOf(a.FontSize) << std::size_t(a.FontBold)
      << std::size_t(a.FontItalic) << std::size_t(a.FontUnderline) << std::size_t(a.FontStrikethru)
      << std::size_t(a.PositionIsAbsolute) << bitsOf(a.CellSpacing) << std::size_t(a.WordWrap)
      << std::size_t(a.FillStyle) << a.FillColor << a.BorderColor << std::size_t(a.BorderWidth)
      << std::size_t(a.Align) << qHash(a.Tag);
    return m.h;
}

std::size_t lookHash(const clsLabelExAttributes& a)
{
    HashMix m;
    m << a.ForeColor << qHash(a.FontName) << bitsOf(a.CharHeight) << bitsOf(a.CharWidth) << std::size_t(a.Angle)
      << std::size_t(a.CharWeight) << std::size_t(a.FontItalic) << std::size_t(a.FontUnderline)
      << std::size_t(a.FontStrikeOut) << std::size_t(a.PositionIsAbsolute) << bitsOf(a.CellSpacing)
      << std::size_t(a.FillStyle) << a.FillColor << std::size_t(a.BorderWidth) << a.BorderColor
      << std::size_t(a.WordWrap) << std::size_t(a.Align) << qHash(a.Tag);
    return m.h;
}

std::uint32_t TextPool::intern(QStringView text)
{
    if (text.isEmpty())
        return 0;
    if (2 * (m_starts.size() + 1) > m_slots.size())
        grow();
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = qHash(text) & mask;; i = (i + 1) & mask) {
        const std::uint32_t id = m_slots[i];
        if (id == 0) {
            m_starts.push_back(storeChars(text));
            m_lengths.push_back(std::uint32_t(text.size()));
            m_slots[i] = std::uint32_t(m_starts.size());
            return m_slots[i];
        }
        if (this->text(id) == text)
            return id;
    }
}

// Twice the slots, every text placed again: at most half the slots are used,
// so a search meets a free slot soon.
void TextPool::grow()
{
    std::vector<std::uint32_t> table(std::max<std::size_t>(64, 2 * m_slots.size()), 0);
    const std::size_t mask = table.size() - 1;
    for (std::uint32_t id = 1; id <= m_starts.size(); ++id) {
        std::size_t i = qHash(text(id)) & mask;
        while (table[i] != 0)
            i = (i + 1) & mask;
        table[i] = id;
    }
    m_slots.swap(table);
}

const char16_t* TextPool::storeChars(QStringView text)
{
    // Blocks of 64 K characters; a longer text gets a block of its own.
    constexpr std::size_t kBlock = 65536;
    const auto n = std::size_t(text.size());
    if (n > kBlock / 4) {
        auto own = std::make_unique<char16_t[]>(n);
        std::memcpy(own.get(), text.utf16(), n * sizeof(char16_t));
        const char16_t* p = own.get();
        // Kept before the current block so that the block stays last.
        m_blocks.insert(m_blocks.end() - (m_blocks.empty() ? 0 : 1), std::move(own));
        return p;
    }
    if (m_blocks.empty() || m_used + n > m_size) {
        m_blocks.push_back(std::make_unique<char16_t[]>(kBlock));
        m_used = 0;
        m_size = kBlock;
    }
    char16_t* p = m_blocks.back().get() + m_used;
    std::memcpy(p, text.utf16(), n * sizeof(char16_t));
    m_used += n;
    return p;
}

void TextPool::clear()
{
    m_blocks.clear();
    m_used = 0;
    m_size = 0;
    std::vector<const char16_t*>().swap(m_starts);
    std::vector<std::uint32_t>().swap(m_lengths);
    std::vector<std::uint32_t>().swap(m_slots);
}

// ---------------------------------------------------------------- collections

namespace {

// A new rectangle or label with its frame set.
template <class A>
std::shared_ptr<A> makeFramed(float Left, float Top, float Right, float Bottom)
{
    auto a = std::make_shared<A>();
    a->Left = Left;
    a->Top = Top;
    a->Right = Right;
    a->Bottom = Bottom;
    return a;
}

template <class A>
std::shared_ptr<A> makeCaptioned(const QString& Caption, float Left, float Top, float Right, float Bottom)
{
    auto l = makeFramed<A>(Left, Top, Right, Bottom);
    l->Caption = Caption;
    return l;
}

std::shared_ptr<clsLineAttributes> makeLine(float X1, float Y1, float X2, float Y2)
{
    auto l = std::make_shared<clsLineAttributes>();
    l->X1 = X1;
    l->Y1 = Y1;
    l->X2 = X2;
    l->Y2 = Y2;
    return l;
}

std::shared_ptr<clsImageAttributes> makeImage(const QImage& Image, float Left, float Top, std::optional<float> Width,
                                              std::optional<float> Height)
{
    auto i = std::make_shared<clsImageAttributes>();
    i->Image = Image;
    i->Left = Left;
    i->Top = Top;
    i->Width = Width;
    i->Height = Height;
    return i;
}

// The look both repeated label kinds take from their arguments; an empty font
// name means the default face.
template <class A>
void setRepeatedLook(A& l, bool WordWrap, int Align, std::uint32_t ForeColor, const QString& FontName,
                     bool FontItalic, bool FontUnderline, short BorderWidth, float CellSpacing,
                     std::uint32_t BorderColor, std::uint32_t FillColor, int FillStyle)
{
    l.WordWrap = WordWrap;
    l.Align = Align;
    l.ForeColor = ForeColor;
    l.FontName = FontName.isEmpty() ? QStringLiteral("Arial") : FontName;
    l.FontItalic = FontItalic;
    l.FontUnderline = FontUnderline;
    l.BorderWidth = BorderWidth;
    l.CellSpacing = CellSpacing;
    l.BorderColor = BorderColor;
    l.FillColor = FillColor;
    l.FillStyle = FillStyle;
}

} // namespace

std::shared_ptr<clsLabelAttributes> clsLabels::Add(const QString& Caption, float Left, float Top, float Right,
                                                   float Bottom, bool PositionIsAbsolute)
{
    auto l = makeCaptioned<clsLabelAttributes>(Caption, Left, Top, Right, Bottom);
    l->PositionIsAbsolute = PositionIsAbsolute;
    return append(l);
}

std::shared_ptr<clsLabelExAttributes> clsLabelsEx::Add(const QString& Caption, float Left, float Top, float Right,
                                                       float Bottom, bool PositionIsAbsolute)
{
    auto l = makeCaptioned<clsLabelExAttributes>(Caption, Left, Top, Right, Bottom);
    l->PositionIsAbsolute = PositionIsAbsolute;
    return append(l);
}

std::shared_ptr<clsLineAttributes> clsLines::Add(float X1, float Y1, float X2, float Y2, bool PositionIsAbsolute)
{
    auto l = makeLine(X1, Y1, X2, Y2);
    l->PositionIsAbsolute = PositionIsAbsolute;
    return append(l);
}

std::shared_ptr<clsPointAttributes> clsPoints::Add(const printlib::PointArray& PointArray, bool PositionIsAbsolute)
{
    auto p = std::make_shared<clsPointAttributes>();
    p->PointArray = PointArray;
    p->PositionIsAbsolute = PositionIsAbsolute;
    return append(p);
}

std::shared_ptr<clsRectangleAttributes> clsRectangles::Add(float Left, float Top, float Right, float Bottom,
                                                           bool PositionIsAbsolute)
{
    auto r = makeFramed<clsRectangleAttributes>(Left, Top, Right, Bottom);
    r->PositionIsAbsolute = PositionIsAbsolute;
    return append(r);
}

std::shared_ptr<clsImageAttributes> clsImages::Add(const QImage& Image, float Left, float Top,
                                                   std::optional<float> Width, std::optional<float> Height,
                                                   bool PositionIsAbsolute)
{
    auto i = makeImage(Image, Left, Top, Width, Height);
    i->PositionIsAbsolute = PositionIsAbsolute;
    return append(i);
}

std::shared_ptr<clsTableAttributes> clsTables::Add(const printlib::TextArray& TextArray, float Left, float Top,
                                                   short BorderWidth, float CellSpacing, bool PositionIsAbsolute)
{
    auto t = std::make_shared<clsTableAttributes>();
    t->TextArray = TextArray;
    t->Left = Left;
    t->Top = Top;
    t->BorderWidth = BorderWidth;
    t->CellSpacing = CellSpacing;
    t->PositionIsAbsolute = PositionIsAbsolute;
    return append(t);
}

void clsPageBreaks::Add()
{
    ++m_count;
    m_queue->Add(kindPageBreak, m_count);
}

std::shared_ptr<clsColumnAttributes> clsColumns::Add(float ColumnWidth, int TitleAlign, int BodyAlign)
{
    auto c = std::make_shared<clsColumnAttributes>();
    c->ColumnWidth = ColumnWidth;
    c->TitleAlign = TitleAlign;
    c->BodyAlign = BodyAlign;
    m_items.push_back(c);
    return c;
}

clsColumnAttributes& clsColumns::Item(int Index) const
{
    if (Index < 1 || Index > int(m_items.size()))
        throw LibError::subscript();
    return *m_items[size_t(Index - 1)];
}

// ---------------------------------------------------------------- clsRepeats

void clsRepeats::AddPoint(const PointArray& PointArray, short Size, std::uint32_t Color)
{
    auto p = std::make_shared<clsPointAttributes>();
    p->PointArray = PointArray;
    p->Color = Color;
    p->Size = Size == 0 ? 1 : Size;
    m_items.push_back(p);
}

void clsRepeats::AddLine(float X1, float Y1, float X2, float Y2, short Size, std::uint32_t Color)
{
    auto l = makeLine(X1, Y1, X2, Y2);
    l->Color = Color;
    l->Size = Size == 0 ? 1 : Size;
    m_items.push_back(l);
}

void clsRepeats::AddLabel(const QString& Caption, float Left, float Top, float Right, float Bottom, bool WordWrap,
                          int Align, std::uint32_t ForeColor, const QString& FontName, float FontSize, bool FontBold,
                          bool FontItalic, bool FontUnderline, bool FontStrikethru, short BorderWidth,
                          float CellSpacing, std::uint32_t BorderColor, std::uint32_t FillColor, int FillStyle)
{
    auto l = makeCaptioned<clsLabelAttributes>(Caption, Left, Top, Right, Bottom);
    setRepeatedLook(*l, WordWrap, Align, ForeColor, FontName, FontItalic, FontUnderline, BorderWidth, CellSpacing,
                    BorderColor, FillColor, FillStyle);
    l->FontSize = FontSize <= 0 ? 8.25f : FontSize;
    l->FontBold = FontBold;
    l->FontStrikethru = FontStrikethru;
    m_items.push_back(l);
}

void clsRepeats::AddLabelEx(const QString& Caption, float Left, float Top, float Right, float Bottom, bool WordWrap,
                            int Align, std::uint32_t ForeColor, int Angle, const QString& FontName, int CharHeight,
                            int CharWidth, int CharWeight, bool FontItalic, bool FontUnderline, bool FontStrikeOut,
                            short BorderWidth, float CellSpacing, std::uint32_t BorderColor, std::uint32_t FillColor,
                            int FillStyle)
{
    auto l = makeCaptioned<clsLabelExAttributes>(Caption, Left, Top, Right, Bottom);
    setRepeatedLook(*l, WordWrap, Align, ForeColor, FontName, FontItalic, FontUnderline, BorderWidth, CellSpacing,
                    BorderColor, FillColor, FillStyle);
    l->Angle = Angle;
    l->CharHeight = float(CharHeight);
    l->CharWidth = float(CharWidth);
    l->CharWeight = CharWeight;
    l->FontStrikeOut = FontStrikeOut;
    m_items.push_back(l);
}

void clsRepeats::AddImage(const QImage& Image, float Left, float Top, std::optional<float> Width,
                          std::optional<float> Height)
{
    m_items.push_back(makeImage(Image, Left, Top, Width, Height));
}

void clsRepeats::AddRectangle(std::uint32_t BorderColor, short BorderWidth, float Left, float Top, float Right,
                              float Bottom, std::uint32_t FillColor, int FillStyle)
{
    auto r = makeFramed<clsRectangleAttributes>(Left, Top, Right, Bottom);
    r->BorderColor = BorderColor;
    r->BorderWidth = BorderWidth == 0 ? 1 : BorderWidth;
    r->FillColor = FillColor;
    r->FillStyle = FillStyle;
    m_items.push_back(r);
}

const std::shared_ptr<clsElement>& clsRepeats::Item(int Index) const
{
    if (Index < 1 || Index > int(m_items.size()))
        throw LibError::subscript();
    return m_items[size_t(Index - 1)];
}

} // namespace printlib
