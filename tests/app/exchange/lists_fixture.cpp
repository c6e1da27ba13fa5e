#include "tests/app/exchange/lists_fixture.h"

#include "platform/print/printer.h"
#include "platform/sys/regional.h"

#include <cmath>

namespace liststest {

namespace {
constexpr double kCellWidthPx = 120 / 1440.0 * ListsFixture::kDpi;
constexpr double kCellHeightPx = 240 / 1440.0 * ListsFixture::kDpi;

QString position(double v)
{
    const double rounded = std::round(v);
    return std::abs(v - rounded) < 1e-6 ? QString::number(qlonglong(rounded)) : QString::number(v, 'f', 3);
}
} // namespace

ListsFixture::ListsFixture(const ProgramInfo& program) : folder(program) {}

void ListsFixture::SetUp()
{
    auto d = std::make_unique<platform::RecordingDevice>(kDpi);
    device = d.get();
    platform::installPrintDevice(std::move(d));
    platform::printer().setPaperSize(platform::vbPRPSA3);
    platform::printer().setOrientation(1);
}

void ListsFixture::TearDown() {}

void ListsFixture::institution(const QString& code, const QString& name)
{
    db().exec(QStringLiteral("insert into intadatok (int_kod, Int_neve) values (?, ?)"), {code, name});
}

qlonglong ListsFixture::episode(const Episode& e)
{
    const qlonglong id = db().scalar(QStringLiteral("select coalesce(max(Azonosito), 0) + 1 from alap")).toLongLong();
    db().exec(QStringLiteral("insert into alap (Azonosito, Int_kod, Int_tipus, T_szam, Taj, Tsor, Fdat, Fido, Okod, "
                             "Tdat, Tido, Ojele, Vjel, \"Manuális\", Betegseg, Beavatkoz) "
                             "values (?, '1234', '1', ?, '111111110', ?, ?, '08:00:00', ?, ?, '10:00:00', ?, ?, ?, ?, ?)"),
              {id, e.tSzam, e.tsor, e.fdat, e.okod, e.tdat, e.ojele, e.vjel, e.manual, e.betegseg, e.beavatkoz});
    return id;
}

void ListsFixture::item(qlonglong episode, const Item& it)
{
    db().exec(QStringLiteral("insert into \"Ráfkódok\" (Azonosito, Rkod, Rmen, \"Rmegnevezés\", Pont, \"Egységár\", "
                             "\"Érték\", Tipus, Me, \"Manuális\", Fdat) values (?, ?, ?, ?, ?, ?, ?, 'G', ?, ?, ?)"),
              {QString::number(episode), it.rkod, it.rmen, it.name, it.pont, it.price, it.value, it.me, it.manual,
               it.fdat});
}

QStringList ListsFixture::cells(const platform::RecordedPage& page)
{
    QStringList out;
    for (const auto& it : page.items)
        if (it.kind == platform::RecordedItem::Text)
            out << QStringLiteral("%1,%2:%3")
                       .arg(position(it.point.x() / kCellWidthPx), position(it.point.y() / kCellHeightPx), it.text);
    return out;
}

QStringList ListsFixture::row(const platform::RecordedPage& page, int r)
{
    QStringList out;
    for (const auto& it : page.items)
        if (it.kind == platform::RecordedItem::Text && std::abs(it.point.y() / kCellHeightPx - r) < 1e-6)
            out << it.text;
    return out;
}

double ListsFixture::pointSizeAt(const platform::RecordedPage& page, int r)
{
    for (const auto& it : page.items)
        if (it.kind == platform::RecordedItem::Text && std::abs(it.point.y() / kCellHeightPx - r) < 1e-6)
            return it.pixelSize * 72.0 / kDpi;
    return 0;
}

} // namespace liststest
