#include "app/entry/itemrules.h"

#include "app/entry/quantity.h"
#include "app/entry/slots.h"
#include "platform/ui/msgbox.h"

namespace entry {

const std::array<ItemTabInfo, kItemTabCount>& itemTabs()
{
    static const std::array<ItemTabInfo, kItemTabCount> tabs{{
        {ItemTab::Drug, 0, QStringLiteral("Gyógyszer"), QStringLiteral("sgyogy"),
         QStringLiteral("skod"), QStringLiteral("SNEV"), QStringLiteral("SME"), QStringLiteral("SAR"), 0,
         QStringLiteral("G"), QStringLiteral("G"),
         QStringLiteral("Data7"), QStringLiteral("Text1"), QStringLiteral("DBCombo2"), QStringLiteral("DBGrid3"),
         QStringLiteral("MaskEdBox17"), QStringLiteral("Text2"), QStringLiteral("SSCommand3"), QStringLiteral("SSCommand19"),
         /*checksSlotDurations*/ true, /*codeBoxLookUp*/ true, /*comboClickTakesRow*/ true,
         /*comboClickCopiesText*/ true, /*comboEnterClicks*/ true, /*gridEnterTakesCode*/ true,
         /*quantityFollowsTyping*/ false},
        {ItemTab::Material, 1, QStringLiteral("Műtéti eh. anyageszköz"), QStringLiteral("gyogyszm"),
         QStringLiteral("kod"), QStringLiteral("NEV"), QStringLiteral("ME"), QStringLiteral("AR"), 0,
         QStringLiteral("M"), QStringLiteral("M"),
         QStringLiteral("Data5"), QStringLiteral("Text5"), QStringLiteral("DBCombo3"), QStringLiteral("DBGrid2"),
         QStringLiteral("MaskEdBox18"), QStringLiteral("Text7"), QStringLiteral("SSCommand4"), QStringLiteral("SSCommand5"),
         false, true, true, false, false, true, false},
        // The diagnostics unit price is read from me_ar, the column the code
        // table carries it in; a table without it gives no price.
        {ItemTab::Diagnostics, 2, QStringLiteral("Diagnosztika"), QStringLiteral("DIAGNOS"),
         QStringLiteral("kod"), QStringLiteral("NEV"), QStringLiteral("ME"), QStringLiteral("me_ar"), 10,
         QStringLiteral("D"), QStringLiteral("D"),
         QStringLiteral("Data11"), QStringLiteral("Text31"), QStringLiteral("DBCombo4"), QStringLiteral("DBGrid7"),
         QStringLiteral("MaskEdBox19"), QStringLiteral("Text32"), QStringLiteral("SSCommand31"), QStringLiteral("SSCommand32"),
         false, false, false, false, false, false, true},
    }};
    return tabs;
}

const ItemTabInfo& itemTab(ItemTab tab)
{
    return itemTabs()[static_cast<int>(tab)];
}

const std::array<ItemTabInfo, kItemTabCount>& wardItemTabs()
{
    // The ward program's tabs keep the surgical drug tab's handlers, price
    // food and other services in points, and store no slot.
    static const std::array<ItemTabInfo, kItemTabCount> tabs = [] {
        ItemTabInfo drug = itemTab(ItemTab::Drug);
        drug.quantityBox = QStringLiteral("MaskEdBox7");
        drug.checksSlotDurations = false;

        ItemTabInfo food{ItemTab::Food, 1, QStringLiteral("Élelmezés"), QStringLiteral("elelem"),
                         QStringLiteral("kod"), QStringLiteral("NEV"), QStringLiteral("ME"), QStringLiteral("AR"), 0,
                         QStringLiteral("L"), QStringLiteral("L"),
                         QStringLiteral("Data6"), QStringLiteral("Text5"), QStringLiteral("DBCombo3"),
                         QStringLiteral("DBGrid2"), QStringLiteral("MaskEdBox8"), QStringLiteral("Text7"),
                         QStringLiteral("SSCommand4"), QStringLiteral("SSCommand22"),
                         /*checksSlotDurations*/ false, /*codeBoxLookUp*/ true, /*comboClickTakesRow*/ true,
                         /*comboClickCopiesText*/ false, /*comboEnterClicks*/ false, /*gridEnterTakesCode*/ true,
                         /*quantityFollowsTyping*/ false};
        food.blankUnit = QStringLiteral("Nap");
        food.duplicateQuestion = QStringLiteral("Ebből a kódból már lett felvive!,Akarja újra felvinni?");

        ItemTabInfo other = food;
        other.tab = ItemTab::OtherServices;
        other.tabIndex = 2;
        other.caption = QStringLiteral("Egyéb(röntg., labor)");
        other.table = QStringLiteral("egyeb");
        other.typeLetter = QStringLiteral("E");
        other.searchKind = QStringLiteral("E");
        other.connection = QStringLiteral("Data5");
        other.codeBox = QStringLiteral("Text8");
        other.combo = QStringLiteral("DBCombo4");
        other.grid = QStringLiteral("DBGrid4");
        other.quantityBox = QStringLiteral("MaskEdBox9");
        other.quantityText = QStringLiteral("Text9");
        other.addButton = QStringLiteral("SSCommand5");
        other.searchButton = QStringLiteral("SSCommand23");
        other.comboEnterClicks = true;
        other.quantityFollowsTyping = true;
        other.blankUnit.clear();
        other.duplicateQuestion = QStringLiteral("Ebből a kódból már lett felvive!Akarja felvinni?");
        other.hintColumn = QStringLiteral("space20");

        for (ItemTabInfo* tab : {&food, &other}) {
            tab->pricedInPoints = true;
            tab->writesEntryFlags = false;
        }
        for (ItemTabInfo* tab : {&drug, &food, &other}) {
            tab->bookedToSurgery = false;
            tab->duplicateForEveryItem = true;
        }
        // Only the drug search closes the entry frame while it is open.
        food.searchDisablesEntry = false;
        other.searchDisablesEntry = false;
        return std::array<ItemTabInfo, kItemTabCount>{drug, food, other};
    }();
    return tabs;
}

const ItemTabInfo* itemTabOfKind(const QString& kind)
{
    for (const auto& tab : itemTabs()) {
        if (tab.searchKind == kind)
            return &tab;
    }
    return nullptr;
}

BoundQuery narrowingQuery(const ItemTabInfo& tab, const QString& typed)
{
    if (typed.trimmed().isEmpty())
        return wholeTableQuery(tab);
    return {QStringLiteral("select * from %1 where %2 like ? order by %2").arg(tab.table, tab.codeColumn),
            {typed + u'*'}};
}

BoundQuery wholeTableQuery(const ItemTabInfo& tab)
{
    return {QStringLiteral("select * from %1 order by %2").arg(tab.table, tab.codeColumn), {}};
}

BoundQuery codeCriterion(const ItemTabInfo& tab, const QString& code)
{
    return {QStringLiteral("%1 = ?").arg(tab.codeColumn), {code}};
}

BoundQuery exactCodeQuery(const ItemTabInfo& tab, const QString& code)
{
    return {QStringLiteral("select * from %1 where %2 = ?").arg(tab.table, tab.codeColumn), {code}};
}

BoundQuery episodeItemsQuery(const QString& azonosito)
{
    return {QStringLiteral("select * from Ráfkódok where Azonosito = ?"), {azonosito}};
}

BoundQuery surgeryItemsQuery(const QString& azonosito, const QString& mkod)
{
    return {QStringLiteral("select * from Ráfkódok where Azonosito = ? and Mkod = ?"), {azonosito, mkod}};
}

BoundQuery duplicateItemsQuery(const QString& rkod, const QString& azonB, const QString& azonosito)
{
    return {QStringLiteral("select * from ráfkódok where Rkod = ? and AzonB = ? and Azonosito = ?"),
            {rkod, azonB, azonosito}};
}

QString dateText(const QDate& day)
{
    return day.toString(QStringLiteral("yyyy.MM.dd."));
}

ItemRow makeItemRow(const ItemTabInfo& tab, const CodeRow& code, const ItemContext& ctx)
{
    ItemRow row;
    row.azonosito = ctx.azonosito;
    row.rkod = code.code;
    row.rmen = ctx.quantityText;
    row.rmegnevezes = code.name;
    const bool priced = code.price.isValid() && !code.price.isNull();
    if (tab.pricedInPoints) {
        // A code without points leaves points, unit price and value empty.
        row.pont = priced ? code.price : QVariant();
        row.egysegar = priced ? QVariant(code.price.toDouble() * kPointValue) : QVariant();
    } else {
        row.pont = 0.0;
        row.egysegar = code.price;
    }
    if (priced) {
        const double quantity = parseQuantity(ctx.quantityText).value_or(0.0);
        row.ertek = row.egysegar.toDouble() * quantity;
    }
    row.tipus = tab.typeLetter;
    row.me = code.unit;
    const bool hasUnit = code.unit.isValid() && !code.unit.isNull();
    if (tab.unitMaxLength > 0 && hasUnit)
        row.me = code.unit.toString().left(tab.unitMaxLength);
    if (!tab.blankUnit.isEmpty() && hasUnit && code.unit.toString().trimmed().isEmpty())
        row.me = tab.blankUnit;
    if (tab.writesEntryFlags) {
        row.manualis = !ctx.processingConverted;
        row.fdat = ctx.admissionDate == kEmptyDate ? dateText(ctx.today) : ctx.admissionDate;
    }
    if (!tab.bookedToSurgery)
        return row;
    row.azonB = ctx.aktmutet;
    if (slotFromDigit(ctx.aktmutet) >= 0) {
        row.mkod = ctx.slotCode;
        row.mido = ctx.slotDuration + QStringLiteral(":00");
    }
    return row;
}

std::optional<Refusal> quantityAndCodeRefusal(const QString& codeText, const QString& quantityText)
{
    const int critical = platform::Critical;
    if (!quantityText.trimmed().isEmpty() && !quantityTextAcceptable(quantityText))
        return Refusal{QStringLiteral("Nem jó a mennyiség formátuma!"), QStringLiteral("Hiba!"), critical};
    if (codeText.trimmed().isEmpty())
        return Refusal{QStringLiteral("Nincs kiválasztott kód!"), QStringLiteral("Hiba!"), critical};
    if (quantityText.trimmed().isEmpty())
        return Refusal{QStringLiteral("Meg kell adnia a mennyiséget is!"), QStringLiteral("Hiba!"), critical};
    return std::nullopt;
}

Refusal unknownCodeRefusal()
{
    return Refusal{QStringLiteral("Nincs ilyen kód!"), QStringLiteral("Hiba!"), platform::Critical};
}

const SearchKind* searchKind(const QString& label18)
{
    static const std::array<SearchKind, 4> kinds{{
        {QStringLiteral("D"), QStringLiteral("Data11"), QStringLiteral("DIAGNOS"), QStringLiteral("KOD"),
         QStringLiteral("NEV"), QStringLiteral("Text31"), QStringLiteral("Nincs ilyen kódú!"),
         QStringLiteral("Nincs ilyen nevű diagnózis!")},
        {QStringLiteral("G"), QStringLiteral("Data7"), QStringLiteral("SGYOGY"), QStringLiteral("SKOD"),
         QStringLiteral("SNEV"), QStringLiteral("Text1"), QStringLiteral("Nincs ilyen kódú gyógyszer!"),
         QStringLiteral("Nincs ilyen nevű gyógyszer!")},
        {QStringLiteral("MAP"), QStringLiteral("Data12"), QStringLiteral("Mutet_ap"), QStringLiteral("KOD"),
         QStringLiteral("NEV"), QString(), QStringLiteral("Nincs ilyen kódú!"),
         QStringLiteral("Nincs ilyen nevű műtét!")},
        {QStringLiteral("M"), QStringLiteral("Data5"), QStringLiteral("GYOGYSZM"), QStringLiteral("KOD"),
         QStringLiteral("NEV"), QString(), QStringLiteral("Nincs ilyen kódú!"),
         QStringLiteral("Nincs ilyen nevű műtéti anyag!")},
    }};
    for (const auto& kind : kinds) {
        if (kind.kind == label18)
            return &kind;
    }
    return nullptr;
}

const SearchKind* wardSearchKind(const QString& label18)
{
    // The ward program says only "Nincs ilyen!", in a plain box.
    static const std::array<SearchKind, 3> kinds = [] {
        std::array<SearchKind, 3> k{{
            {QStringLiteral("G"), QStringLiteral("Data7"), QStringLiteral("SGYOGY"), QStringLiteral("SKOD"),
             QStringLiteral("SNEV"), QStringLiteral("Text1"), {}, {}},
            {QStringLiteral("L"), QStringLiteral("Data6"), QStringLiteral("ELELEM"), QStringLiteral("KOD"),
             QStringLiteral("NEV"), QString(), {}, {}},
            {QStringLiteral("E"), QStringLiteral("Data5"), QStringLiteral("EGYEB"), QStringLiteral("KOD"),
             QStringLiteral("NEV"), QString(), {}, {}},
        }};
        for (SearchKind& kind : k) {
            kind.notFoundByCode = kind.notFoundByName = QStringLiteral("Nincs ilyen!");
            kind.notFoundStyle = platform::OkOnly;
            kind.notFoundTitle.clear();
        }
        return k;
    }();
    for (const auto& kind : kinds) {
        if (kind.kind == label18)
            return &kind;
    }
    return nullptr;
}

BoundQuery searchQuery(const SearchKind& kind, bool byCode, const QString& text)
{
    if (byCode)
        return {QStringLiteral("select * from %1 where %2 like ? order by %2").arg(kind.table, kind.codeColumn),
                {text + u'*'}};
    return {QStringLiteral("select * from %1 where %2 like ? order by %3").arg(kind.table, kind.nameColumn,
                                                                          kind.codeColumn),
            {u'*' + text + u'*'}};
}

BoundQuery restoreQuery(const SearchKind& kind)
{
    return {QStringLiteral("select * from %1 order by %2").arg(kind.table, kind.codeColumn), {}};
}

} // namespace entry
