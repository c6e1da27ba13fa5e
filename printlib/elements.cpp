#include "printlib/elements.h"

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

clsQueue::clsQueue() : m_entries(20) {}

void clsQueue::Add(int objType, int objIndex)
{
    ++m_count;
    if (m_count > int(m_entries.size()))
        m_entries.resize(m_entries.size() + 20);
    m_entries[size_t(m_count - 1)] = QString::number(objType) + QLatin1Char('/') + QString::number(objIndex);
}

QString clsQueue::Item(int Index) const
{
    if (Index < 1 || Index > int(m_entries.size()))
        throw LibError::subscript();
    return m_entries[size_t(Index - 1)];
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
    m_items << QStringLiteral("pbr");
    m_queue->Add(kindPageBreak, int(m_items.size()));
}

std::shared_ptr<clsColumnAttributes> clsColumns::Add(float ColumnWidth, int TitleAlign, int BodyAlign)
{
    if (m_items.size() >= 32767)
        throw LibError::overflow();
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
