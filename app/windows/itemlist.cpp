#include "app/windows/itemlist.h"

#include "app/windows/fittingsize.h"
#include "platform/db/dialect.h"
#include "platform/db/sqlitestatement.h"
#include "platform/print/drawtarget.h"
#include "platform/sys/regional.h"
#include "printlib/clsPrint.h"

#include <QFontMetricsF>
#include <QHash>

#include <cmath>
#include <functional>
#include <map>
#include <optional>

namespace overview {

namespace {

constexpr int kLeft = 0;
constexpr int kCentre = 1;
constexpr int kRight = 2;
constexpr float kRowHeight = 5;

// The item row, in millimetres from the left margin, in both programs. The
// quantity has no box of its own: it ends before the unit column and may
// reach back to the end of the name column.
constexpr float kNameLeft = 23;
constexpr float kNameRight = 130;
constexpr float kUnitLeft = 138;
constexpr float kUnitPriceLeft = 145;
constexpr float kUnitPriceRight = 160;
constexpr float kValueLeft = 162;
constexpr float kValueRight = 180;
// Clear space kept between two texts of a row.
constexpr float kGap = 0.5f;
// The title box of the page header, from the left margin to here; texts
// keep this far from a box's edge (the header line and the first column
// start 1 mm right of the margin).
constexpr float kTitleBoxRight = 177;
constexpr float kTextInset = 1;
// Widths are measured at a fine resolution; a printer or the preview rounds
// the font to whole pixels and may draw a text up to this much wider.
constexpr double kRoundingSlack = 1.03;
// No text is shrunk below this size, however long it is.
constexpr float kSmallestFontSize = 3;

// Measures text in millimetres with the font rules the pages are drawn with.
// A month's list measures every cell of tens of thousands of rows: the
// metrics of each size are made once.
class Ruler : public platform::DrawTarget {
public:
    Ruler() : DrawTarget(1200, 1200) { setScaleMode(platform::vbMillimeters); }

    double width(const QString& text, float points, bool bold)
    {
        Size& size = sized(points, bold);
        auto known = size.widths.constFind(text);
        if (known != size.widths.cend())
            return *known;
        if (size.widths.size() > 100000)
            size.widths.clear();
        const double w = size.metrics.horizontalAdvance(text) * unitsPerPxX() * kRoundingSlack;
        size.widths.insert(text, w);
        return w;
    }
    double ascent(float points) { return sized(points, false).metrics.ascent() * unitsPerPxY(); }

protected:
    platform::Surface* surface() override { return nullptr; } // never draws

private:
    // The texts of a list repeat (units, quantities, amounts, the names of
    // the same codes), so their widths are kept.
    struct Size {
        QFontMetricsF metrics;
        QHash<QString, double> widths;
    };
    Size& sized(float points, bool bold)
    {
        const int key = int(std::lround(points * 100)) * 2 + (bold ? 1 : 0);
        auto it = m_sizes.find(key);
        if (it == m_sizes.end()) {
            FontName = QStringLiteral("Arial");
            FontSize = points;
            FontBold = bold;
            FontItalic = false;
            it = m_sizes.emplace(key, Size{QFontMetricsF(currentFont()), {}}).first;
        }
        return it->second;
    }
    std::map<int, Size> m_sizes;
};

Ruler& ruler()
{
    static Ruler r;
    return r;
}

// The longest beginning of text, in whole characters, that fits in widthMm
// in the body size.
QString wholeCharacters(const QString& text, float widthMm)
{
    if (ruler().width(text, kBodyFontSize, false) <= widthMm)
        return text;
    // The longest fitting length, found by halving: a long name costs a
    // handful of measurements, not one per character.
    qsizetype fits = 0;
    qsizetype tooLong = text.size();
    while (tooLong - fits > 1) {
        const qsizetype mid = (fits + tooLong) / 2;
        if (ruler().width(text.left(mid), kBodyFontSize, false) <= widthMm)
            fits = mid;
        else
            tooLong = mid;
    }
    // Never half of a surrogate pair.
    if (fits > 0 && text.at(fits - 1).isHighSurrogate())
        --fits;
    return text.left(fits);
}

// The body size, or the largest size below it (in tenths of a point) at
// which text fits in widthMm.
float fittingSize(const QString& text, float widthMm)
{
    return printfit::fittingSize(kBodyFontSize, kSmallestFontSize, widthMm,
                                 [&text](float size) { return ruler().width(text, size, false); });
}

// A body label at y, absolute, in the list's body size.
std::shared_ptr<printlib::clsLabelAttributes> cell(printlib::clsPrint& job, const QString& text, float left,
                                                   float right, float y, bool bold = false, bool italic = false,
                                                   int align = kLeft)
{
    auto l = job.Labels.Add(text, left, y, right, y + kRowHeight, true);
    l->FontSize = kBodyFontSize;
    l->FontBold = bold;
    l->FontItalic = italic;
    l->Align = align;
    return l;
}

// A text that is never cut, right-aligned in its box: smaller when it does
// not fit, lowered so that it stands on the row's baseline, and drawn
// unclipped so that no rounding of the device can take a digit off its left
// end.
void wholeRightAligned(printlib::clsPrint& job, const QString& text, float left, float right, float y)
{
    const float size = fittingSize(text, right - left);
    const float lowered = float(ruler().ascent(kBodyFontSize) - ruler().ascent(size));
    auto l = cell(job, text, left, right, y + lowered, false, false, kRight | platform::DT_NOCLIP);
    l->FontSize = size;
}

double number(const QVariant& v)
{
    return v.isNull() || !v.isValid() ? 0.0 : v.toDouble();
}

QString moneyOrNothing(const QVariant& v)
{
    return v.isNull() || !v.isValid() ? QString() : moneyText(v.toDouble());
}

void addRepeats(printlib::clsPrint& job, const QString& institution, const QString& today)
{
    auto& r = job.Repeats;
    r.AddLabel(institution, 1, 5, 180, 15, false, kLeft, 0, QStringLiteral("Arial"), 12, true);
    r.AddLabel(QStringLiteral("Ráfordítási tételek"), 60, 19, 120, 25, false, kCentre, 0, QStringLiteral("Arial"), 14,
               true);
    r.AddLabel(QStringLiteral("&[Page]. oldal"), 60, 264, 120, 268, false, kCentre, 0, QStringLiteral("Arial"), 10);
    // The date ends inside the title box, as far from its right edge as the
    // header and the body rows begin from its left one.
    r.AddLabel(QStringLiteral(" ") + today, 100, 20, kTitleBoxRight - kTextInset, 26, false, kRight, 0,
               QStringLiteral("Arial"), 10, true);
    r.AddRectangle(0, 2, 0, 18, kTitleBoxRight, 26, 0, platform::vbFSTransparent);
    r.AddLine(0, 260, job.PrintableWidth(), 260, 1, 0);
}

// Where a text right-aligned in its box begins on paper.
float rightAlignedStart(const QString& text, float left, float right)
{
    if (text.isEmpty())
        return right;
    return std::max(left, float(right - ruler().width(text, fittingSize(text, right - left), false)));
}

void itemRow(printlib::clsPrint& job, const ListedItem& i, float y)
{
    const QString unitPrice = moneyOrNothing(i.unitPrice);
    const QString value = moneyOrNothing(i.value);
    cell(job, QStringLiteral(" - ") + i.rkod, 5, 20, y);
    cell(job, wholeCharacters(i.name, kNameRight - kNameLeft), kNameLeft, kNameRight, y);
    wholeRightAligned(job, i.rmen, kNameRight + kGap, kUnitLeft - kGap, y);
    if (!i.me.isNull() && i.me.isValid()) {
        // The unit runs on into the amounts' columns as far as their figures
        // leave room, and is cut by whole characters before the first one.
        const float end = std::min(rightAlignedStart(unitPrice, kUnitPriceLeft, kUnitPriceRight),
                                   rightAlignedStart(value, kValueLeft, kValueRight))
            - kGap;
        cell(job, wholeCharacters(i.me.toString(), end - kUnitLeft), kUnitLeft, end, y);
    }
    wholeRightAligned(job, unitPrice, kUnitPriceLeft, kUnitPriceRight, y);
    wholeRightAligned(job, value, kValueLeft, kValueRight, y);
}

// One body row: drawn at its top, `gapBefore` below the place it takes;
// the next row's place lies `advance` below its top.
struct Row {
    std::function<void(float y)> draw;
    float gapBefore = 0;
    float advance = kRowHeight;
    bool keepWithNext = false; // the next row must stand on the same page
};

std::vector<Row> rowsOf(printlib::clsPrint& job, const ListedEpisode& e, const ItemListColumns& c)
{
    std::vector<Row> rows;
    // The headings (the episode row and its "Műtét:" rows) keep the rows
    // after them up to the first item, so none of them ends a page.
    rows.push_back({[&job, &e, &c](float y) {
                        cell(job, e.tSzam, 1, 30, y, true);
                        cell(job, e.taj, 35, 60, y, true);
                        cell(job, e.fdat + QStringLiteral(" / ") + e.fido, c.admissionLeft, c.admissionRight, y);
                        cell(job, e.tdat + QStringLiteral(" / ") + e.tido, c.dischargeLeft, c.dischargeRight, y);
                        cell(job, e.okod, c.wardLeft, c.wardRight, y);
                    },
                    0, kRowHeight, true});
    for (const ListedSurgery& s : e.surgeries)
        rows.push_back({[&job, &s](float y) {
                            cell(job, QStringLiteral("Műtét: ") + s.mkod, 3, 25, y, true, true);
                            cell(job, s.mido, 30, 50, y);
                        },
                        0, kRowHeight, true});

    double unitPriceSum = 0;
    double valueSum = 0;
    for (const ListedItem& i : e.items) {
        rows.push_back({[&job, &i](float y) { itemRow(job, i, y); }});
        unitPriceSum += number(i.unitPrice);
        valueSum += number(i.value);
    }
    // The totals never open a page on their own: the row before them (the
    // last item, or the episode row of an episode without any) goes along.
    rows.back().keepWithNext = true;
    rows.push_back({[&job, unitPriceSum, valueSum](float y) {
                        cell(job, QStringLiteral("Összesen"), 120, 140, y, true);
                        wholeRightAligned(job, moneyText(unitPriceSum), kUnitPriceLeft, kUnitPriceRight, y);
                        wholeRightAligned(job, moneyText(valueSum), kValueLeft, kValueRight, y);
                    },
                    kRowHeight, 2 * kRowHeight, false});
    return rows;
}

} // namespace

const ItemListColumns& ItemListColumns::surgical()
{
    static const ItemListColumns c{60, 105, 105, 140, 150, 180};
    return c;
}

const ItemListColumns& ItemListColumns::ward()
{
    static const ItemListColumns c{55, 95, 95, 130, 135, 160};
    return c;
}

QString EpisodeSelection::recordSource() const
{
    QString source = QStringLiteral("select * from alap");
    if (!where.isEmpty())
        source += QStringLiteral(" where ") + where;
    if (!order.isEmpty())
        source += QStringLiteral(" order by ") + order;
    return source;
}

namespace {

// The rows of a table that belongs to the episodes (surgeries or items),
// each led by its episode's rowid, in the selection's order and then in
// the table's stored order. The table's columns are renamed inside a
// subquery so that the selection's condition and order, written with the
// episode table's bare column names, name only the episode's columns.
QString childRowsSql(const EpisodeSelection& selection, const QString& table, const QStringList& columns)
{
    QStringList inner{QStringLiteral("rowid AS l_row"), QStringLiteral("Azonosito AS l_owner")};
    QStringList outer{QStringLiteral("alap.rowid")};
    for (int c = 0; c < columns.size(); ++c) {
        inner << QStringLiteral("%1 AS l_%2").arg(platform::db::dialect::quoteIdent(columns[c])).arg(c);
        outer << QStringLiteral("c.l_%1").arg(c);
    }
    // The children carry the identifier as its text, as the overview's own
    // narrowing binds it.
    QString sql = QStringLiteral("SELECT %1 FROM alap JOIN (SELECT %2 FROM %3) AS c "
                                 "ON c.l_owner = ifnull(trim(alap.Azonosito), '')")
                      .arg(outer.join(QStringLiteral(", ")), inner.join(QStringLiteral(", ")),
                           platform::db::dialect::quoteIdent(table));
    if (!selection.where.isEmpty())
        sql += QStringLiteral(" WHERE (%1)").arg(selection.where);
    sql += selection.order.isEmpty() ? QStringLiteral(" ORDER BY alap.rowid, c.l_row")
                                     : QStringLiteral(" ORDER BY %1, alap.rowid, c.l_row").arg(selection.order);
    return sql;
}

// A statement of the walk, its values bound, standing on its first row.
class Walk {
public:
    Walk(platform::db::Database& db, const QString& sql, const QVariantList& params)
    {
        QVariantList bound = params;
        m_st = std::make_unique<platform::db::Statement>(db, db.translate(sql, &bound));
        m_st->bindAll(bound);
        m_onRow = m_st->step();
    }
    // Whether the statement stands on a row of the episode of that rowid.
    bool at(qint64 episode) const { return m_onRow && m_st->columnInt64(0) == episode; }
    bool onRow() const { return m_onRow; }
    void next() { m_onRow = m_st->step(); }
    QVariant value(int column) const { return m_st->columnValue(column); }
    QString text(int column) const { return m_st->columnValue(column).toString(); }
    qint64 key() const { return m_st->columnInt64(0); }

private:
    std::unique_ptr<platform::db::Statement> m_st;
    bool m_onRow = false;
};

} // namespace

void forEachListedEpisode(platform::db::Database& db, const EpisodeSelection& selection, bool withSurgeries,
                          const std::function<void(const ListedEpisode&)>& take)
{
    QString episodesSql =
        QStringLiteral("SELECT rowid, Azonosito, T_szam, Taj, Fdat, Fido, Tdat, Tido, Okod FROM alap");
    if (!selection.where.isEmpty())
        episodesSql += QStringLiteral(" WHERE (%1)").arg(selection.where);
    episodesSql += selection.order.isEmpty() ? QStringLiteral(" ORDER BY rowid")
                                             : QStringLiteral(" ORDER BY %1, rowid").arg(selection.order);
    Walk episodes(db, episodesSql, selection.params);
    std::optional<Walk> surgeries;
    if (withSurgeries)
        surgeries.emplace(db, childRowsSql(selection, QStringLiteral("műtétek"), {QStringLiteral("Mkod"), QStringLiteral("Mido")}),
                          selection.params);
    Walk items(db,
               childRowsSql(selection, QStringLiteral("Ráfkódok"),
                            {QStringLiteral("Rkod"), QStringLiteral("Rmegnevezés"), QStringLiteral("Rmen"),
                             QStringLiteral("Me"), QStringLiteral("Egységár"), QStringLiteral("Érték")}),
               selection.params);

    // One episode at a time: its rows are handed over and then let go.
    ListedEpisode e;
    for (; episodes.onRow(); episodes.next()) {
        const qint64 key = episodes.key();
        e.identifier = episodes.text(1).trimmed();
        e.tSzam = episodes.text(2);
        e.taj = episodes.text(3);
        e.fdat = episodes.text(4);
        e.fido = episodes.text(5);
        e.tdat = episodes.text(6);
        e.tido = episodes.text(7);
        e.okod = episodes.text(8);
        e.surgeries.clear();
        e.items.clear();
        for (; surgeries && surgeries->at(key); surgeries->next())
            e.surgeries.push_back({surgeries->text(1), surgeries->text(2)});
        for (; items.at(key); items.next())
            e.items.push_back({items.text(1), items.text(2), items.text(3), items.value(4), items.value(5),
                               items.value(6)});
        take(e);
    }
}

QString moneyText(double value)
{
    return platform::formatNumber(value, 2, true);
}

void raford_fej(printlib::clsPrint& job, const ItemListColumns& c)
{
    auto heading = [&job](const QString& text, float left, float right) {
        auto l = job.Labels.Add(text, left, 4, right, 9, true);
        l->FontBold = true;
        l->FontSize = 10;
        l->Align = kLeft;
    };
    heading(QStringLiteral("Törzsszám"), 1, 30);
    heading(QStringLiteral("TAJ"), 35, 60);
    heading(QStringLiteral("Felvételi dátum/idő"), c.admissionLeft, c.admissionRight);
    heading(QStringLiteral("Távozási dátum/idő"), c.dischargeLeft, c.dischargeRight);
    heading(QStringLiteral("Osztálykód"), c.wardLeft, c.wardRight);
    // Placed after the last heading in the flow: 3 mm under its lower edge.
    auto rule = job.Rectangles.Add(0, 3, job.PrintableWidth(), 3, false);
    rule->BorderWidth = 1;
    rule->BorderColor = 0;
}

void buildItemList(printlib::clsPrint& job, const QString& institution, const QString& today,
                   const std::vector<ListedEpisode>& episodes, const ItemListColumns& c)
{
    ItemListLayout layout(job, institution, today, c);
    for (const ListedEpisode& e : episodes)
        layout.add(e);
}

// Walks the rows down the pages. A full page is noted when a row leaves the
// next place past the threshold; the break and the new page's headings are
// only queued once another row really comes. A row that must keep the next
// one with it moves to a new page when the two would not both fit.
class ItemListLayout::Body {
public:
    Body(printlib::clsPrint& job, const ItemListColumns& columns) : m_job(job), m_columns(columns) {}

    void add(const std::vector<Row>& rows)
    {
        for (size_t i = 0; i < rows.size(); ++i) {
            const bool startsGroup = i == 0 || !rows[i - 1].keepWithNext;
            if (m_pendingBreak || (startsGroup && m_y > kFirstRowY && !groupFits(rows, i)))
                newPage();
            rows[i].draw(m_y + rows[i].gapBefore);
            m_y += rows[i].gapBefore + rows[i].advance;
            if (m_y > kLastRowY)
                m_pendingBreak = true;
        }
    }

private:
    // Whether rows[first] and the rows it keeps with it all find their
    // places on this page.
    bool groupFits(const std::vector<Row>& rows, size_t first) const
    {
        float place = m_y;
        for (size_t k = first; rows[k].keepWithNext && k + 1 < rows.size(); ++k) {
            place += rows[k].gapBefore + rows[k].advance;
            if (place > kLastRowY)
                return false;
        }
        return true;
    }

    void newPage()
    {
        m_pendingBreak = false;
        m_y = kFirstRowY;
        m_job.PageBreaks.Add();
        raford_fej(m_job, m_columns);
    }

    printlib::clsPrint& m_job;
    const ItemListColumns& m_columns;
    float m_y = kFirstRowY;
    bool m_pendingBreak = false;
};

ItemListLayout::ItemListLayout(printlib::clsPrint& job, const QString& institution, const QString& today,
                               const ItemListColumns& columns)
    : m_job(job), m_columns(columns)
{
    job.setOrientation(1);
    job.setPageSize(9);
    job.setBottomMargin(30);
    job.setLeftMargin(10);
    job.setRightMargin(10);
    job.setTopMargin(30);
    addRepeats(job, institution, today);
    raford_fej(job, columns);
    m_body = std::make_unique<Body>(job, columns);
}

ItemListLayout::~ItemListLayout() = default;

void ItemListLayout::add(const ListedEpisode& episode)
{
    // The rows draw from the episode while they are added, and keep nothing
    // of it afterwards.
    m_body->add(rowsOf(m_job, episode, m_columns));
}

} // namespace overview
