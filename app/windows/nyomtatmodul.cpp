#include "app/windows/nyomtatmodul.h"

#include "app/common/kezdo.h"
#include "app/common/programinfo.h"
#include "app/windows/fittingsize.h"
#include "platform/db/dataconnection.h"
#include "platform/print/printer.h"
#include "platform/sys/regional.h"
#include "platform/ui/controls.h"
#include "platform/ui/dbcombo.h"
#include "platform/ui/maskedbox.h"
#include "platform/ui/msgbox.h"

#include <QComboBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <cmath>

namespace certificate {

namespace {

constexpr double kQuarterTurn = 3.14 / 2;
constexpr int kItemsPerEstimate = 59;
constexpr int kLongLimit = 64;
constexpr int kShortLimit = 59;
constexpr int kNameWidth = 50;

// The item row's columns, in character cells. The quantity ends before the
// type letter (and, where the letter stands further right, before the
// "Jell." heading, so that it stays under its own heading), right-aligned,
// and may reach back to kQuantityLeft; the unit is cut by whole characters
// before wherever the quantity begins.
constexpr double kUnitColumn = 65;
constexpr double kQuantityLeft = 73;
constexpr double kTypeHeadingColumn = 85;
// Clear space kept between two texts of a row: about a millimetre, a little
// more than a blank, so that a quantity never reads as one word with its
// letter.
constexpr double kGap = 0.5;
constexpr float kItemFontSize = 10;
// A quantity is never shrunk below this size.
constexpr float kSmallestQuantitySize = 5;

struct Frame {
    double left, top, width, height;
};

const Frame kFirstPageFrames[] = {
    {250, 300, 10400, 750},  {250, 1050, 10400, 550}, {250, 1600, 10400, 550}, {250, 2150, 10400, 550},
    {250, 2700, 10400, 550}, {250, 3250, 10400, 550}, {250, 2150, 5200, 550},  {250, 2700, 5200, 550},
    {250, 3250, 5200, 550},  {250, 3800, 10400, 400}, {250, 4200, 10400, 11400},
};
const Frame kContinuationFrames[] = {
    {250, 300, 10400, 600},
    {250, 900, 10400, 14550},
    {250, 900, 10400, 350},
};

const char* const kDeclaration =
    "Az adatok a valóságnak megfelelnek, a kérelemre vonatkozó teljesítményjelentés dokumentációja rendelkezésre áll.";

QString repeated(QChar c, int n)
{
    return QString(n, c);
}

QString cut(const QString& text, int width)
{
    return width > 0 ? text.left(width) : text;
}

class Writer {
public:
    Writer(platform::Printer& p, const Data& d, const Variant& v) : p(p), d(d), v(v) {}

    void font(double size, bool bold = false, bool italic = false)
    {
        p.FontSize = size;
        p.FontBold = bold;
        p.FontItalic = italic;
    }
    void at(double column, double row, const QString& text)
    {
        p.CurrentX = column;
        p.CurrentY = row;
        p.Print(text);
    }
    template <size_t N>
    void frames(const Frame (&list)[N])
    {
        p.setScaleMode(platform::vbTwips);
        for (const Frame& f : list)
            keretnyom(p, f.left, f.top, f.width, f.height, kFrameColour, 1);
        p.setScaleMode(platform::vbCharacters);
    }
    void columnHeadings(int row)
    {
        font(10, true);
        at(4, row, QStringLiteral("Kód"));
        at(12, row, QStringLiteral("Megnevezés"));
        at(65, row, QStringLiteral("Mee."));
        at(77, row, QStringLiteral("Menny."));
        at(85, row, QStringLiteral("Jell."));
    }
    // Width of text in columns, and the font's ascent in rows, at a size of
    // the item font; the printer's own measure, so what is measured is what
    // is drawn.
    double widthAt(const QString& text, float size)
    {
        const double kept = p.FontSize;
        p.FontSize = size;
        const double w = p.TextWidth(text);
        p.FontSize = kept;
        return w;
    }
    double ascentAt(float size)
    {
        const double kept = p.FontSize;
        p.FontSize = size;
        const double a = p.ScaleY(QFontMetricsF(p.currentFont()).ascent(), platform::vbPixels, platform::vbCharacters);
        p.FontSize = kept;
        return a;
    }

    // Where a quantity stands: right-aligned to end at `right`, in a smaller
    // font when it does not fit between kQuantityLeft and there, lowered so
    // that it keeps the row's baseline. Printed text is never clipped, so no
    // digit is lost.
    struct QuantityPlace {
        double start;
        float size;
        double lowered;
    };
    QuantityPlace placeQuantity(const QString& text, double right)
    {
        if (text.isEmpty())
            return {right, kItemFontSize, 0};
        const float size = printfit::fittingSize(kItemFontSize, kSmallestQuantitySize, float(right - kQuantityLeft),
                                                 [&](float s) { return widthAt(text, s); });
        return {std::max(kQuantityLeft, right - widthAt(text, size)), size,
                ascentAt(kItemFontSize) - ascentAt(size)};
    }

    // The longest beginning of text, in whole characters, that fits in width
    // columns in the item font.
    QString wholeCharacters(const QString& text, double width)
    {
        qsizetype n = text.size();
        while (n > 0 && widthAt(text.left(n), kItemFontSize) > width)
            --n;
        // Never half of a surrogate pair.
        if (n > 0 && n < text.size() && text.at(n - 1).isHighSurrogate())
            --n;
        return text.left(n);
    }

    QString pageNumber() const { return QString::number(page) + QStringLiteral(". ") + QStringLiteral("oldal"); }

    void firstPage()
    {
        frames(kFirstPageFrames);
        font(14, true);
        at(centredColumn(int(v.title.size())), 2, v.title);
        at(77, 2, pageNumber());
        font(12);
        at(centredColumn(int((d.institutionCode + d.institutionName).size())), 5,
           d.institutionCode + QLatin1Char(' ') + d.institutionName);
        at(centredColumn(int((d.wardCode + d.wardName + d.careType + d.wardSign).size())), 7,
           d.wardCode + QLatin1Char(' ') + d.wardName + QStringLiteral(" (") + d.careType + QStringLiteral(", ") +
               d.wardSign + QLatin1Char(')'));
        at(10, 10, QStringLiteral("Törzsszám: ") + d.registerNumber);
        at(48, 10, v.tajLabel + d.taj);
        at(10, 12, QStringLiteral("Felvételi dátum/idő: ") + d.admissionDate + QLatin1Char(' ') + d.admissionTime);
        at(48, 12, QStringLiteral("Távozási dátum/idő:  ") + d.dischargeDate + QLatin1Char(' ') + d.dischargeTime);
        at(10, 14, QStringLiteral("Ápolási sorszám: ") + d.sequence);
        at(48, 14, QStringLiteral("Kivizsgálás: ") + (d.examination ? QStringLiteral("Igen") : QStringLiteral("Nem")));
        columnHeadings(16);
    }

    // Closes the page in hand with its footer and starts a continuation page.
    void nextPage()
    {
        font(10);
        at(3, kFooterRow, d.today);
        at(84, kFooterRow, QStringLiteral("-->>>"));
        ++page;
        if (page == plan.estimate && plan.remainder >= 1 && plan.remainder <= 4)
            limit = kShortLimit;
        row = kContinuationFirstRow;
        p.NewPage();
        frames(kContinuationFrames);
        font(14, true);
        at(centredColumn(int(v.title.size())), 2, v.title);
        at(4, 2, QStringLiteral("Ápolási sorszám: ") + d.sequence);
        at(77, 2, pageNumber());
        columnHeadings(4);
        font(10);
    }

    void items()
    {
        QString previousSurgery;
        for (const Item& item : d.items) {
            font(10);
            if (v.surgeryGroups && item.mkod != previousSurgery) {
                font(10, true, true);
                at(3, row, item.mkod);
                const auto name = d.surgeryNames.find(item.mkod);
                if (name != d.surgeryNames.end())
                    at(11, row, name->second);
                font(10);
                ++row;
            }
            previousSurgery = item.mkod;
            at(4, row, item.rkod);
            at(12, row, item.name.size() > kNameWidth ? item.name.left(kNameWidth) + QStringLiteral("...") : item.name);
            const QString quantity = cut(item.rmen, v.quantityWidth);
            const QuantityPlace place = placeQuantity(quantity, std::min(v.typeColumn, kTypeHeadingColumn) - kGap);
            if (!item.me.isEmpty())
                at(kUnitColumn, row, wholeCharacters(cut(item.me, v.unitWidth), place.start - kGap - kUnitColumn));
            if (!quantity.isEmpty()) {
                font(place.size);
                at(place.start, row + place.lowered, quantity);
                font(kItemFontSize);
            }
            at(v.typeColumn, row, item.tipus);
            ++row;
            if (row >= limit)
                nextPage();
        }
    }

    void closingBlock()
    {
        // The block's last line must stay above the footer row; otherwise
        // it goes on a page of its own.
        if (row + 6 >= kFooterRow)
            nextPage();
        const int r = row;
        font(8);
        at(5, r + 1, QString::fromUtf8(kDeclaration));
        at(5, r + 3, QStringLiteral("Az adatok az alábbi dokumentumokból származnak:") + repeated(QLatin1Char('.'), 134));
        font(10);
        at(3, r + 5,
           repeated(QLatin1Char(' '), 13) + repeated(QLatin1Char('.'), 29) + repeated(QLatin1Char(' '), 97) +
               repeated(QLatin1Char('.'), 29));
        at(3, r + 6,
           repeated(QLatin1Char(' '), 22) + QStringLiteral("aláírás") + repeated(QLatin1Char(' '), 114) +
               QStringLiteral("pecsét"));
        at(3, kFooterRow, d.today);
    }

    platform::Printer& p;
    const Data& d;
    const Variant& v;
    PagePlan plan;
    int page = 1;
    int row = kFirstItemRow;
    int limit = kLongLimit;
};

} // namespace

std::uint32_t printedColour(std::uint32_t colour)
{
    return (colour & 0x80000000u) ? 0u : colour;
}

void keretnyom(platform::DrawTarget& t, double L, double T, double W, double H, std::uint32_t colour, int lineWidth)
{
    const double r = kCornerRadius;
    const std::uint32_t c = printedColour(colour);
    t.DrawWidth = lineWidth;
    t.Line(L + r, T, L + W - r, T, c);
    t.Line(L + r, T + H, L + W - r, T + H, c);
    t.Line(L, T + r, L, T + H - r, c);
    t.Line(L + W, T + r, L + W, T + H - r, c);
    t.Arc(L + r, T + r, r, c, kQuarterTurn, 3.14);
    t.Arc(L + r, T + H - r, r, c, 3.14, 4.71);
    t.Arc(L + W - r, T + r, r, c, 0, kQuarterTurn);
    t.Arc(L + W - r, T + H - r, r, c, 4.71, 6.28);
}

const Variant& Variant::surgical()
{
    static const Variant v{QStringLiteral("Tanúsítvány (műtétes)"), QStringLiteral("Tajszám:   "), true, 0, 0, 83,
                           QStringLiteral("Tipus,Mkod,Rkod")};
    return v;
}

const Variant& Variant::ward()
{
    static const Variant v{QStringLiteral("Tanúsítvány (osztályos)"), QStringLiteral("Taj szám:   "), false, 10, 10,
                           87, QStringLiteral("Tipus,Rkod")};
    return v;
}

double centredColumn(int length)
{
    return std::max(0.0, (kColumns - length) / 2.0);
}

PagePlan planPages(int itemCount)
{
    PagePlan plan;
    if (itemCount < 1)
        return plan;
    plan.estimate = int(std::lround(double(itemCount) / kItemsPerEstimate));
    plan.remainder = itemCount - kItemsPerEstimate * plan.estimate;
    if (plan.estimate == 1)
        plan.firstLimit = kShortLimit;
    return plan;
}

void printCertificate(platform::Printer& printer, const Data& data, const Variant& variant)
{
    // The layout needs a portrait sheet; a list printed before may have
    // left the printer in landscape.
    printer.setOrientation(1);
    printer.FontName = QStringLiteral("Ms Serif");
    Writer w(printer, data, variant);
    w.plan = planPages(int(data.items.size()));
    w.limit = w.plan.firstLimit;
    w.firstPage();
    w.items();
    w.closingBlock();
    printer.EndDoc();
}

} // namespace certificate

// ---- the main window's side ----

namespace {

const QString kProcessingCaption = QStringLiteral("Adatleválogatás a TALVIRON floppyról");

// The ward code of the episode on show: the stored row's, which no combo
// left over from another mode can make stale.
QString shownWardCode(kezdo& w, const QString& id)
{
    const QVariant stored =
        w.enteredData()->scalar(QStringLiteral("select Okod from alap where Azonosito = ?"), {id.toLongLong()});
    if (stored.isValid() && !stored.isNull())
        return stored.toString().trimmed();
    if (w.SSFrame1->caption() == kProcessingCaption)
        return w.Text11->text().trimmed();
    return w.DBCombo1->text().trimmed();
}

void refuse(kezdo& w, const QString& text, const QString& id)
{
    platform::msgBox(text, platform::Critical, QStringLiteral("Figyelmeztetés"));
    w.showItemsOf(id);
}

} // namespace

void tanusitvanynyom(kezdo& w)
{
    const bool ward = w.program().isWard();
    const certificate::Variant& variant = ward ? certificate::Variant::ward() : certificate::Variant::surgical();
    const QString id = w.Label1->text().trimmed();
    certificate::Data d;

    d.institutionCode = w.Text6->text();
    w.Data9->refresh();
    auto& institutions = w.Data9->recordset();
    if (institutions.recordCount() < 1 ||
        !institutions.findFirst(QStringLiteral("Int_kod= ?"), {d.institutionCode.trimmed()})) {
        refuse(w, QStringLiteral("Intézetnév hiba!"), id);
        return;
    }
    d.institutionName = institutions.text(QStringLiteral("Int_neve")).trimmed();

    d.wardCode = shownWardCode(w, id);
    // Read afresh, like the institution: a ward the list did not hold when
    // the mode began is found all the same.
    w.Data2->refresh();
    auto& wards = w.Data2->recordset();
    if (wards.recordCount() < 1 || !wards.findFirst(QStringLiteral("Okod= ?"), {d.wardCode})) {
        refuse(w, QStringLiteral("Osztálynév hiba!"), id);
        return;
    }
    d.wardName = wards.text(QStringLiteral("Megnevezés")).trimmed();

    d.careType = w.Label4->text().trimmed();
    d.wardSign = w.Combo2->currentText().trimmed();
    d.registerNumber = w.Text3->text();
    d.taj = w.Text4->text();
    d.admissionDate = w.MaskEdBox1->text();
    d.admissionTime = w.MaskEdBox2->text();
    d.dischargeDate = w.MaskEdBox3->text();
    d.dischargeTime = w.MaskEdBox4->text();
    d.sequence = w.Text14->text();
    d.examination = w.SSCheck2->isChecked();
    d.today = platform::shortDateText(platform::Clock::today());

    // The item list of the main window shows the certificate's selection
    // afterwards.
    w.Data8->setRecordSource(QStringLiteral("select * from Ráfkódok where Azonosito= ? order by ") + variant.itemOrder,
                             {id});
    w.Data8->refresh();
    auto& items = w.Data8->recordset();
    if (items.recordCount() > 0) {
        for (items.moveFirst(); !items.eof(); items.moveNext()) {
            certificate::Item it{items.text(QStringLiteral("Rkod")), items.text(QStringLiteral("Rmegnevezés")),
                                 items.text(QStringLiteral("Me")), items.text(QStringLiteral("Rmen")),
                                 items.text(QStringLiteral("Tipus")), QString()};
            if (!ward)
                it.mkod = items.text(QStringLiteral("Mkod")).trimmed();
            d.items.push_back(it);
        }
    }
    if (!ward && w.Data12) {
        auto& surgeries = w.Data12->recordset();
        QString last;
        for (const auto& it : d.items) {
            if (it.mkod == last || surgeries.recordCount() < 1)
                continue;
            last = it.mkod;
            surgeries.moveFirst();
            if (surgeries.findFirst(QStringLiteral("Kod= ?"), {it.mkod}))
                d.surgeryNames[it.mkod] = surgeries.text(QStringLiteral("NEV")).trimmed();
        }
    }

    platform::Printer& printer = platform::printer();
    try {
        certificate::printCertificate(printer, d, variant);
    } catch (const platform::PrinterError& e) {
        printer.KillDoc();
        platform::msgBox(QStringLiteral("Nyomtatási hiba: %1 %2").arg(e.Number).arg(e.Description), platform::Critical,
                         QStringLiteral("Hiba"));
    }
}
