// The drawing elements of a document: one attribute class per kind of element
// and the collections that create them in insertion order. Every collection
// that takes part in the page flow appends "<kind>/<index>" to the document's
// element queue, so pagination replays all kinds in the order they were added.
//
// Lengths are millimetres (floats); Size and BorderWidth tenths of a
// millimetre; colours 0x00BBGGRR; Align the DrawTextA flag word.
#pragma once

#include "printlib/liberror.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace printlib {

// A two-dimensional array indexed from 1 in both dimensions, (first, second).
// Out-of-range access raises error 9.
template <class T>
class Array2D {
public:
    Array2D() = default;
    Array2D(int ubound1, int ubound2) : m_n1(ubound1), m_n2(ubound2), m_data(size_t(ubound1) * ubound2) {}
    int UBound1() const { return m_n1; }
    int UBound2() const { return m_n2; }
    bool isEmpty() const { return m_data.empty(); }
    T& operator()(int i, int j)
    {
        check(i, j);
        return m_data[size_t(j - 1) * m_n1 + (i - 1)];
    }
    const T& operator()(int i, int j) const
    {
        check(i, j);
        return m_data[size_t(j - 1) * m_n1 + (i - 1)];
    }

private:
    void check(int i, int j) const
    {
        if (i < 1 || i > m_n1 || j < 1 || j > m_n2)
            throw LibError::subscript();
    }
    int m_n1 = 0;
    int m_n2 = 0;
    std::vector<T> m_data;
};

// PointArray(1, k) is the x, PointArray(2, k) the y of point k.
using PointArray = Array2D<float>;
// TextArray(column, row); the last column holds each row's cell-format text.
using TextArray = Array2D<QString>;

// Queue codes of the element kinds.
enum ElementKind : int {
    kindPageBreak = 0,
    kindPoints = 1,
    kindLine = 2,
    kindRectangle = 3,
    kindImage = 4,
    kindLabel = 5,
    kindLabelEx = 6,
    kindTable = 7,
};

// Base of the attribute classes: its kind tells the class of an item.
class clsElement {
public:
    virtual ~clsElement() = default;
    virtual ElementKind kind() const = 0;
};

class clsLabelAttributes : public clsElement {
public:
    ElementKind kind() const override { return kindLabel; }
    QString Caption;
    std::uint32_t ForeColor = 0;
    QString FontName = QStringLiteral("Arial");
    float FontSize = 8.25f;
    bool FontBold = false;
    bool FontItalic = false;
    bool FontUnderline = false;
    bool FontStrikethru = false;
    bool PositionIsAbsolute = false;
    float Left = 0;
    float Top = 0;
    float Bottom = 0;
    float Right = 0;
    float CellSpacing = 0;
    bool WordWrap = false;
    int FillStyle = 1;
    std::uint32_t FillColor = 0;
    std::uint32_t BorderColor = 0;
    short BorderWidth = 0;
    int Align = 0;
    QString Tag;
};

class clsLabelExAttributes : public clsElement {
public:
    ElementKind kind() const override { return kindLabelEx; }
    QString Caption;
    std::uint32_t ForeColor = 0;
    QString FontName = QStringLiteral("Arial");
    float CharHeight = 8.25f;
    float CharWidth = 0;
    int Angle = 0;
    int CharWeight = 0;
    bool FontItalic = false;
    bool FontUnderline = false;
    bool FontStrikeOut = false;
    bool PositionIsAbsolute = false;
    float Left = 0;
    float Top = 0;
    float Bottom = 0;
    float Right = 0;
    float CellSpacing = 0;
    int FillStyle = 1;
    std::uint32_t FillColor = 0;
    short BorderWidth = 0;
    std::uint32_t BorderColor = 0;
    bool WordWrap = false;
    int Align = 0;
    QString Tag;
};

class clsLineAttributes : public clsElement {
public:
    ElementKind kind() const override { return kindLine; }
    float X1 = 0;
    float Y1 = 0;
    float X2 = 0;
    float Y2 = 0;
    short Size = 1;
    std::uint32_t Color = 0;
    bool PositionIsAbsolute = false;
    QString Tag;
};

class clsPointAttributes : public clsElement {
public:
    ElementKind kind() const override { return kindPoints; }
    printlib::PointArray PointArray;
    short Size = 1;
    std::uint32_t Color = 0;
    bool PositionIsAbsolute = false;
    QString Tag;
};

class clsRectangleAttributes : public clsElement {
public:
    ElementKind kind() const override { return kindRectangle; }
    bool PositionIsAbsolute = false;
    float Left = 0;
    float Top = 0;
    float Right = 0;
    float Bottom = 0;
    int FillStyle = 1;
    std::uint32_t FillColor = 0;
    std::uint32_t BorderColor = 0;
    short BorderWidth = 1;
    QString Tag;
};

// A picture; its natural size (hundredths of a millimetre) comes from the
// image's own resolution (96 dpi when it has none).
class clsImageAttributes : public clsElement {
public:
    ElementKind kind() const override { return kindImage; }
    QImage Image;
    bool PositionIsAbsolute = false;
    float Left = 0;
    float Top = 0;
    std::optional<float> Width;
    std::optional<float> Height;
    QString Tag;
};

// Natural size of a picture in hundredths of a millimetre.
double pictureWidthHimetric(const QImage& image);
double pictureHeightHimetric(const QImage& image);

class clsColumnAttributes {
public:
    float ColumnWidth = 0;
    int TitleAlign = 0;
    int BodyAlign = 0;
    QString Tag;
};

class clsColumns {
public:
    std::shared_ptr<clsColumnAttributes> Add(float ColumnWidth = 0, int TitleAlign = 0, int BodyAlign = 0);
    short Count() const { return short(m_items.size()); }
    void Clear() { m_items.clear(); }
    clsColumnAttributes& Item(int Index) const;
    clsColumnAttributes& operator[](int Index) const { return Item(Index); }

private:
    std::vector<std::shared_ptr<clsColumnAttributes>> m_items;
};

class clsTableAttributes : public clsElement {
public:
    ElementKind kind() const override { return kindTable; }
    printlib::TextArray TextArray;
    bool FirstRowIsTitle = true;
    float Left = 0;
    float Top = 0;
    bool PositionIsAbsolute = false;
    float TitleHeight = 7.0f;
    std::uint32_t TitleForeColor = 0;
    QString TitleFontName = QStringLiteral("Arial");
    float TitleFontSize = 8.25f;
    bool TitleFontBold = true;
    bool TitleFontItalic = false;
    bool TitleFontUnderline = false;
    bool TitleFontStrikethru = false;
    bool TitleWordWrap = false;
    float BodyHeight = 5.5f;
    std::uint32_t BodyForeColor = 0;
    QString BodyFontName = QStringLiteral("Arial");
    float BodyFontSize = 8.25f;
    bool BodyFontBold = false;
    bool BodyFontItalic = false;
    bool BodyFontUnderline = false;
    bool BodyFontStrikethru = false;
    bool BodyWordWrap = false;
    short TotalColumns = 1;
    float ColumnSpacing = 0;
    float CellSpacing = 0;
    short BorderWidth = 0;
    std::uint32_t BorderColor = 0;
    clsColumns Columns;
    QString Tag;
};

// Insertion order of all flowing elements: entries "<kind>/<index>".
class clsQueue {
public:
    clsQueue();
    void Add(int objType, int objIndex);
    int Count() const { return m_count; }
    // 1 to the capacity; an index above Count yields an empty text.
    QString Item(int Index) const;
    int Capacity() const { return int(m_entries.size()); }

private:
    std::vector<QString> m_entries;
    int m_count = 0;
};

// A 1-based list of attribute objects that appends each new one to the queue.
// Its size is not capped at 32767: a month's item list can hold more labels.
template <class T, ElementKind Kind>
class clsElementList {
public:
    explicit clsElementList(clsQueue* queue) : m_queue(queue) {}
    int Count() const { return int(m_items.size()); }
    const std::shared_ptr<T>& Item(int Index) const
    {
        if (Index < 1 || Index > int(m_items.size()))
            throw LibError::subscript();
        return m_items[size_t(Index - 1)];
    }
    const std::shared_ptr<T>& operator[](int Index) const { return Item(Index); }

protected:
    std::shared_ptr<T> append(std::shared_ptr<T> item)
    {
        m_items.push_back(item);
        m_queue->Add(Kind, int(m_items.size()));
        return item;
    }

private:
    clsQueue* m_queue;
    std::vector<std::shared_ptr<T>> m_items;
};

class clsLabels : public clsElementList<clsLabelAttributes, kindLabel> {
public:
    using clsElementList::clsElementList;
    std::shared_ptr<clsLabelAttributes> Add(const QString& Caption, float Left = 0, float Top = 0, float Right = 0,
                                            float Bottom = 0, bool PositionIsAbsolute = false);
};

class clsLabelsEx : public clsElementList<clsLabelExAttributes, kindLabelEx> {
public:
    using clsElementList::clsElementList;
    std::shared_ptr<clsLabelExAttributes> Add(const QString& Caption, float Left = 0, float Top = 0, float Right = 0,
                                              float Bottom = 0, bool PositionIsAbsolute = false);
};

class clsLines : public clsElementList<clsLineAttributes, kindLine> {
public:
    using clsElementList::clsElementList;
    std::shared_ptr<clsLineAttributes> Add(float X1 = 0, float Y1 = 0, float X2 = 0, float Y2 = 0,
                                           bool PositionIsAbsolute = false);
};

class clsPoints : public clsElementList<clsPointAttributes, kindPoints> {
public:
    using clsElementList::clsElementList;
    std::shared_ptr<clsPointAttributes> Add(const PointArray& PointArray, bool PositionIsAbsolute = false);
};

class clsRectangles : public clsElementList<clsRectangleAttributes, kindRectangle> {
public:
    using clsElementList::clsElementList;
    std::shared_ptr<clsRectangleAttributes> Add(float Left = 0, float Top = 0, float Right = 0, float Bottom = 0,
                                                bool PositionIsAbsolute = false);
};

class clsImages : public clsElementList<clsImageAttributes, kindImage> {
public:
    using clsElementList::clsElementList;
    std::shared_ptr<clsImageAttributes> Add(const QImage& Image, float Left = 0, float Top = 0,
                                            std::optional<float> Width = std::nullopt,
                                            std::optional<float> Height = std::nullopt,
                                            bool PositionIsAbsolute = false);
};

class clsTables : public clsElementList<clsTableAttributes, kindTable> {
public:
    using clsElementList::clsElementList;
    std::shared_ptr<clsTableAttributes> Add(const printlib::TextArray& TextArray, float Left = 0, float Top = 0,
                                            short BorderWidth = 0, float CellSpacing = 0,
                                            bool PositionIsAbsolute = false);
};

class clsPageBreaks {
public:
    explicit clsPageBreaks(clsQueue* queue) : m_queue(queue) {}
    void Add();
    int Count() const { return int(m_items.size()); }

private:
    clsQueue* m_queue;
    QStringList m_items; // one "pbr" per break
};

// Page furniture drawn on every page; not part of the page flow. x from the
// left margin, y from the top of the printable area; "&[Page]" in captions
// becomes the page number.
class clsRepeats {
public:
    void AddPoint(const PointArray& PointArray, short Size = 1, std::uint32_t Color = 0);
    void AddLine(float X1 = 0, float Y1 = 0, float X2 = 0, float Y2 = 0, short Size = 1, std::uint32_t Color = 0);
    void AddLabel(const QString& Caption, float Left = 0, float Top = 0, float Right = 0, float Bottom = 0,
                  bool WordWrap = false, int Align = 0, std::uint32_t ForeColor = 0, const QString& FontName = {},
                  float FontSize = 0, bool FontBold = false, bool FontItalic = false, bool FontUnderline = false,
                  bool FontStrikethru = false, short BorderWidth = 0, float CellSpacing = 0,
                  std::uint32_t BorderColor = 0, std::uint32_t FillColor = 0, int FillStyle = 1);
    void AddLabelEx(const QString& Caption, float Left = 0, float Top = 0, float Right = 0, float Bottom = 0,
                    bool WordWrap = false, int Align = 0, std::uint32_t ForeColor = 0, int Angle = 0,
                    const QString& FontName = {}, int CharHeight = 0, int CharWidth = 0, int CharWeight = 0,
                    bool FontItalic = false, bool FontUnderline = false, bool FontStrikeOut = false,
                    short BorderWidth = 0, float CellSpacing = 0, std::uint32_t BorderColor = 0,
                    std::uint32_t FillColor = 0, int FillStyle = 1);
    void AddImage(const QImage& Image, float Left = 0, float Top = 0, std::optional<float> Width = std::nullopt,
                  std::optional<float> Height = std::nullopt);
    void AddRectangle(std::uint32_t BorderColor = 0, short BorderWidth = 1, float Left = 0, float Top = 0,
                      float Right = 0, float Bottom = 0, std::uint32_t FillColor = 0, int FillStyle = 1);
    const std::shared_ptr<clsElement>& Item(int Index) const;
    short Count() const { return short(m_items.size()); }

private:
    std::vector<std::shared_ptr<clsElement>> m_items;
};

} // namespace printlib
