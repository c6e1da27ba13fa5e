#include "app/windows/itemlist.h"

#include "platform/print/drawtarget.h"
#include "platform/sys/regional.h"
#include "printlib/clsPrint.h"

namespace overview {

namespace {

constexpr int kLeft = 0;
constexpr int kCentre = 1;
constexpr int kRight = 2;
constexpr float kRowHeight = 5;

// A body label at y, absolute, in the list's body size of 8 points.
void cell(printlib::clsPrint& job, const QString& text, float left, float right, float y, bool bold = false,
          bool italic = false, int align = kLeft)
{
    auto l = job.Labels.Add(text, left, y, right, y + kRowHeight, true);
    l->FontSize = 8;
    l->FontBold = bold;
    l->FontItalic = italic;
    l->Align = align;
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
    r.AddLabel(QStringLiteral(" ") + today, 100, 20, 178, 26, false, kRight, 0, QStringLiteral("Arial"), 10, true);
    r.AddRectangle(0, 2, 0, 18, 177, 26, 0, platform::vbFSTransparent);
    r.AddLine(0, 260, job.PrintableWidth(), 260, 1, 0);
}

// Walks the rows down the pages. A full page is noted when a row leaves the
// next place past the threshold; the break and the new page's headings are
// only queued once another row really comes.
class Body {
public:
    Body(printlib::clsPrint& job, const ItemListColumns& columns) : m_job(job), m_columns(columns) {}

    float y = kFirstRowY;

    // Makes room for the next row.
    void place()
    {
        if (!m_pendingBreak)
            return;
        m_pendingBreak = false;
        m_job.PageBreaks.Add();
        raford_fej(m_job, m_columns);
    }
    void advance(float mm) { y += mm; }
    void checkPage()
    {
        if (y > kLastRowY) {
            y = kFirstRowY;
            m_pendingBreak = true;
        }
    }

private:
    printlib::clsPrint& m_job;
    const ItemListColumns& m_columns;
    bool m_pendingBreak = false;
};

} // namespace

const ItemListColumns& ItemListColumns::surgical()
{
    static const ItemListColumns c{60, 105, 105, 140, 150, 180, 135, 140};
    return c;
}

const ItemListColumns& ItemListColumns::ward()
{
    static const ItemListColumns c{55, 95, 95, 130, 135, 160, 130, 142};
    return c;
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
    job.setOrientation(1);
    job.setPageSize(9);
    job.setBottomMargin(30);
    job.setLeftMargin(10);
    job.setRightMargin(10);
    job.setTopMargin(30);
    addRepeats(job, institution, today);
    raford_fej(job, c);

    Body body(job, c);
    for (const ListedEpisode& e : episodes) {
        body.place();
        cell(job, e.tSzam, 1, 30, body.y, true);
        cell(job, e.taj, 35, 60, body.y, true);
        cell(job, e.fdat + QStringLiteral(" / ") + e.fido, c.admissionLeft, c.admissionRight, body.y);
        cell(job, e.tdat + QStringLiteral(" / ") + e.tido, c.dischargeLeft, c.dischargeRight, body.y);
        cell(job, e.okod, c.wardLeft, c.wardRight, body.y);
        body.advance(kRowHeight);
        body.checkPage();

        for (const ListedSurgery& s : e.surgeries) {
            body.place();
            cell(job, QStringLiteral("Műtét: ") + s.mkod, 3, 25, body.y, true, true);
            cell(job, s.mido, 30, 50, body.y);
            body.advance(kRowHeight);
            body.checkPage();
        }

        double unitPriceSum = 0;
        double valueSum = 0;
        for (const ListedItem& i : e.items) {
            body.place();
            cell(job, QStringLiteral(" - ") + i.rkod, 5, 20, body.y);
            cell(job, i.name, 23, 130, body.y);
            cell(job, i.rmen, c.quantityLeft, c.quantityRight, body.y);
            if (!i.me.isNull() && i.me.isValid())
                cell(job, i.me.toString(), 138, 143, body.y);
            cell(job, moneyOrNothing(i.unitPrice), 145, 160, body.y, false, false, kRight);
            cell(job, moneyOrNothing(i.value), 162, 180, body.y, false, false, kRight);
            unitPriceSum += number(i.unitPrice);
            valueSum += number(i.value);
            body.advance(kRowHeight);
            body.checkPage();
        }

        body.advance(kRowHeight);
        body.place();
        cell(job, QStringLiteral("Összesen"), 120, 140, body.y, true);
        cell(job, moneyText(unitPriceSum), 145, 160, body.y, false, false, kRight);
        cell(job, moneyText(valueSum), 162, 180, body.y, false, false, kRight);
        body.advance(2 * kRowHeight);
        body.checkPage();
    }
}

} // namespace overview
