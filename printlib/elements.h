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
#include <QStringView>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
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
    int Count() const { return int(m_items.size()); }
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

// Insertion order of all flowing elements: entries "<kind>/<index>", kept as
// two numbers each so that a document of millions of elements stays small.
class clsQueue {
public:
    struct Entry {
        std::int32_t kind;
        std::int32_t index;
    };

    void Add(int objType, int objIndex);
    int Count() const { return int(m_entries.size()); }
    // 1 to the capacity; an index above Count yields an empty text.
    QString Item(int Index) const;
    // The capacity grows by 20 entries at a time, as callers see it.
    int Capacity() const { return m_capacity; }
    // Entry 1..Count without the text round trip (pagination reads these).
    const Entry& entry(int Index) const { return m_entries[size_t(Index - 1)]; }
    void Clear();

private:
    std::deque<Entry> m_entries;
    int m_capacity = 20;
};

// A 1-based list of attribute objects that appends each new one to the queue.
// Counted in 32 bits: a year's item list holds millions of elements.
template <class T, ElementKind Kind>
class clsElementList {
public:
    explicit clsElementList(clsQueue* queue) : m_queue(queue) {}
    int Count() const { return int(m_items.size()); }
    std::shared_ptr<T> Item(int Index) const
    {
        if (Index < 1 || Index > int(m_items.size()))
            throw LibError::subscript();
        return m_items[size_t(Index - 1)];
    }
    std::shared_ptr<T> operator[](int Index) const { return Item(Index); }
    void Clear() { m_items.clear(); }

protected:
    std::shared_ptr<T> append(std::shared_ptr<T> item)
    {
        m_items.push_back(item);
        m_queue->Add(Kind, int(m_items.size()));
        return item;
    }

private:
    clsQueue* m_queue;
    std::deque<std::shared_ptr<T>> m_items;
};

// Where a label stands as its caller placed it.
struct LabelPlace {
    float Left;
    float Top;
    float Right;
    float Bottom;
    bool PositionIsAbsolute;
};

// The look of a label (everything but its caption and its frame), compared
// and hashed so that equal looks are stored once.
bool sameLook(const clsLabelAttributes& a, const clsLabelAttributes& b);
bool sameLook(const clsLabelExAttributes& a, const clsLabelExAttributes& b);
std::size_t lookHash(const clsLabelAttributes& a);
std::size_t lookHash(const clsLabelExAttributes& a);

// Captions kept once each: a number stands for a text, equal texts get the
// same number, and the characters lie in large blocks, so a caption costs
// nothing when it repeats (codes, units, amounts) and its characters when
// it does not. Number 0 is the empty text.
class TextPool {
public:
    std::uint32_t intern(QStringView text);
    QStringView text(std::uint32_t id) const
    {
        return id == 0 ? QStringView() : QStringView(m_starts[id - 1], qsizetype(m_lengths[id - 1]));
    }
    void clear();

private:
    const char16_t* storeChars(QStringView text);
    void grow();

    std::vector<std::unique_ptr<char16_t[]>> m_blocks;
    std::size_t m_used = 0;
    std::size_t m_size = 0;
    std::vector<const char16_t*> m_starts;
    std::vector<std::uint32_t> m_lengths;
    std::vector<std::uint32_t> m_slots; // open addressing: id, 0 = free
};

// A 1-based list of labels stored compactly. A label is a full attribute
// object while somebody outside holds it (the pointer from Add or Item);
// once nobody does, it is kept as its caption's number, its top and bottom,
// and a reference to a look (every other property, left and right edges
// included) shared by every label that looks the same. Item gives a full
// object again whenever asked; changes made through it count as before.
// Hold the returned pointer for as long as you change the label through it.
template <class T, ElementKind Kind>
class clsLabelList {
public:
    explicit clsLabelList(clsQueue* queue) : m_queue(queue) {}
    int Count() const { return int(m_records.size()); }
    std::shared_ptr<T> Item(int Index) const
    {
        if (Index < 1 || Index > Count())
            throw LibError::subscript();
        maybeCompact();
        auto live = m_live.find(Index);
        if (live != m_live.end())
            return live->second;
        auto full = std::make_shared<T>(value(Index));
        m_live.emplace(Index, full);
        m_records[size_t(Index - 1)].look = kLive;
        return full;
    }
    std::shared_ptr<T> operator[](int Index) const { return Item(Index); }

    // Library side: the frame of label Index (1..Count) and a full copy of
    // it, neither of which keeps anything.
    LabelPlace place(int Index) const
    {
        const Record& r = m_records[size_t(Index - 1)];
        if (r.look == kLive) {
            const T& e = *m_live.find(Index)->second;
            return {e.Left, e.Top, e.Right, e.Bottom, e.PositionIsAbsolute};
        }
        const T& look = *m_looks[r.look];
        return {look.Left, r.Top, look.Right, r.Bottom, look.PositionIsAbsolute};
    }
    T value(int Index) const
    {
        const Record& r = m_records[size_t(Index - 1)];
        if (r.look == kLive)
            return *m_live.find(Index)->second;
        T e = *m_looks[r.look];
        e.Caption = m_text.text(r.caption).toString();
        e.Top = r.Top;
        e.Bottom = r.Bottom;
        return e;
    }
    // Stores every label that nobody outside holds compactly.
    void compact() const
    {
        for (auto it = m_live.begin(); it != m_live.end();) {
            if (it->second.use_count() == 1) {
                store(it->first, *it->second);
                it = m_live.erase(it);
            } else {
                ++it;
            }
        }
        m_compactAt = std::max<std::size_t>(kFirstCompact, 2 * m_live.size());
    }
    void Clear()
    {
        m_records.clear();
        m_live.clear();
        m_looks.clear();
        m_lookIndex.clear();
        m_text.clear();
        m_compactAt = kFirstCompact;
    }

protected:
    std::shared_ptr<T> append(std::shared_ptr<T> item)
    {
        maybeCompact();
        m_records.push_back(Record{0, kLive, 0, 0});
        m_live.emplace(Count(), item);
        m_queue->Add(Kind, Count());
        return item;
    }

private:
    static constexpr std::uint32_t kLive = 0xFFFFFFFFu;
    static constexpr std::size_t kFirstCompact = 64;

    struct Record {
        std::uint32_t caption; // in m_text
        std::uint32_t look;    // kLive: the full object in m_live
        float Top;
        float Bottom;
    };

    // Compacting only when the held set has doubled keeps Add and Item
    // constant in the long run, however many pointers a caller keeps.
    void maybeCompact() const
    {
        if (m_live.size() >= m_compactAt)
            compact();
    }

    void store(int index, const T& e) const
    {
        Record& r = m_records[size_t(index - 1)];
        r.caption = m_text.intern(e.Caption);
        r.look = lookOf(e);
        r.Top = e.Top;
        r.Bottom = e.Bottom;
    }

    // Labels of one column share their left and right edges: those go with
    // the look, so that a label keeps only what changes from row to row.
    std::uint32_t lookOf(const T& e) const
    {
        const std::size_t h = lookHash(e) ^ (std::hash<float>()(e.Left) * 31 + std::hash<float>()(e.Right));
        auto [first, last] = m_lookIndex.equal_range(h);
        for (auto it = first; it != last; ++it) {
            const T& look = *m_looks[it->second];
            if (look.Left == e.Left && look.Right == e.Right && sameLook(look, e))
                return it->second;
        }
        auto look = std::make_shared<T>(e);
        look->Caption = QString();
        look->Top = look->Bottom = 0;
        m_looks.push_back(std::move(look));
        const auto id = std::uint32_t(m_looks.size() - 1);
        m_lookIndex.emplace(h, id);
        return id;
    }

    clsQueue* m_queue;
    mutable std::deque<Record> m_records;
    mutable std::unordered_map<int, std::shared_ptr<T>> m_live;
    mutable std::vector<std::shared_ptr<const T>> m_looks;
    mutable std::unordered_multimap<std::size_t, std::uint32_t> m_lookIndex;
    mutable TextPool m_text;
    mutable std::size_t m_compactAt = kFirstCompact;
};

class clsLabels : public clsLabelList<clsLabelAttributes, kindLabel> {
public:
    using clsLabelList::clsLabelList;
    std::shared_ptr<clsLabelAttributes> Add(const QString& Caption, float Left = 0, float Top = 0, float Right = 0,
                                            float Bottom = 0, bool PositionIsAbsolute = false);
};

class clsLabelsEx : public clsLabelList<clsLabelExAttributes, kindLabelEx> {
public:
    using clsLabelList::clsLabelList;
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
    int Count() const { return m_count; }
    void Clear() { m_count = 0; }

private:
    clsQueue* m_queue;
    int m_count = 0;
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
    int Count() const { return int(m_items.size()); }
    void Clear() { m_items.clear(); }

private:
    std::vector<std::shared_ptr<clsElement>> m_items;
};

} // namespace printlib
