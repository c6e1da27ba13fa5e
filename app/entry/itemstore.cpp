#include "app/entry/itemstore.h"

#include "app/entry/slots.h"
#include "platform/db/dataconnection.h"
#include "platform/ui/msgbox.h"

using platform::db::DataConnection;
using platform::db::Database;
using platform::db::Recordset;

namespace entry {

namespace {

QVariant fieldOrNull(Recordset& rs, const QString& column)
{
    if (column.isEmpty() || rs.fieldIndex(column) < 0)
        return QVariant();
    return rs.value(column);
}

void writeRow(Recordset& rs, const ItemRow& row)
{
    if (rs.recordCount() > 0)
        rs.moveLast();
    rs.addNew();
    rs.setValue(QStringLiteral("Azonosito"), row.azonosito);
    rs.setValue(QStringLiteral("Rkod"), row.rkod);
    rs.setValue(QStringLiteral("Rmen"), row.rmen);
    rs.setValue(QStringLiteral("Rmegnevezés"), row.rmegnevezes);
    rs.setValue(QStringLiteral("Pont"), row.pont);
    rs.setValue(QStringLiteral("Egységár"), row.egysegar);
    rs.setValue(QStringLiteral("Érték"), row.ertek);
    rs.setValue(QStringLiteral("Tipus"), row.tipus);
    rs.setValue(QStringLiteral("Me"), row.me);
    if (row.manualis)
        rs.setValue(QStringLiteral("Manuális"), *row.manualis);
    if (row.fdat)
        rs.setValue(QStringLiteral("Fdat"), *row.fdat);
    if (row.azonB)
        rs.setValue(QStringLiteral("AzonB"), *row.azonB);
    if (row.mkod)
        rs.setValue(QStringLiteral("Mkod"), *row.mkod);
    if (row.mido)
        rs.setValue(QStringLiteral("Mido"), *row.mido);
    rs.update();
}

void refuse(const Refusal& r)
{
    platform::msgBox(r.text, r.style, r.title);
}

// Items belong to an episode: the stored one on show, or the new one being
// entered. An identifier whose episode is gone (another program deleted it)
// or that another episode took meanwhile would hand the item to no patient,
// or to another one.
std::optional<Refusal> episodeRefusal(Database& entered, const AddForm& form)
{
    bool number = false;
    const qint64 id = form.azonosito.trimmed().toLongLong(&number);
    const bool stored =
        number && entered.scalar(QStringLiteral("select count(*) from alap where Azonosito = ?"), {id}).toLongLong() > 0;
    if (form.newEpisode && stored)
        return Refusal{QStringLiteral("Ezt az azonosítót már egy felvett adatlap kapta meg! Tételt nem lehet hozzáadni!"),
                       QStringLiteral("Hiba!"), platform::Critical};
    if (!form.newEpisode && !stored)
        return Refusal{QStringLiteral("Az adatlap nincs felvéve! Tételt nem lehet hozzáadni!"), QStringLiteral("Hiba!"),
                       platform::Critical};
    return std::nullopt;
}

} // namespace

void setQuery(DataConnection& connection, const BoundQuery& query)
{
    connection.setRecordSource(query.sql, query.params);
    connection.refresh();
}

void narrowCodes(DataConnection& codes, const ItemTabInfo& tab, const QString& typed)
{
    setQuery(codes, narrowingQuery(tab, typed));
}

bool lookUpCode(DataConnection& codes, const ItemTabInfo& tab, const QString& code)
{
    const BoundQuery criterion = codeCriterion(tab, code);
    return codes.recordset().findFirst(criterion.sql, criterion.params);
}

bool lookUpSurgeryCode(DataConnection& surgeryCodes, const QString& code)
{
    // A code taken from a converted record keeps the blanks that fill its
    // field ("123  "); they are no part of the code.
    QString wanted = code;
    while (wanted.endsWith(QLatin1Char(' ')))
        wanted.chop(1);
    return surgeryCodes.recordset().findFirst(QStringLiteral("kod = ?"), {wanted});
}

std::optional<CodeRow> findCodeRow(const std::shared_ptr<Database>& codeTables, const ItemTabInfo& tab, const QString& code)
{
    // Looked up in the code table itself, so the item takes the data of its
    // own code whatever row the tab's grid happens to stand on.
    DataConnection lookUp(QStringLiteral("itemCodeLookUp"));
    lookUp.setDatabase(codeTables);
    setQuery(lookUp, exactCodeQuery(tab, code));
    Recordset& rs = lookUp.recordset();
    if (rs.recordCount() == 0)
        return std::nullopt;
    rs.moveFirst();
    CodeRow row;
    row.code = rs.text(tab.codeColumn);
    row.name = rs.text(tab.nameColumn);
    row.unit = fieldOrNull(rs, tab.unitColumn);
    row.price = fieldOrNull(rs, tab.priceColumn);
    return row;
}

QString currentText(Recordset& recordset, const QString& column)
{
    if (!recordset.hasCurrent() || recordset.fieldIndex(column) < 0)
        return QString();
    return recordset.text(column);
}

void showEpisodeItems(DataConnection& items, const QString& azonosito)
{
    setQuery(items, episodeItemsQuery(azonosito));
}

void showSurgeryItems(DataConnection& items, const QString& azonosito, const QString& mkod)
{
    setQuery(items, surgeryItemsQuery(azonosito, mkod));
}

AddOutcome addItem(const ItemTabInfo& tab, const SlotView& slotView, QString& aktmutet, bool& hibajel,
                   DataConnection& items, const std::shared_ptr<Database>& codeTables,
                   const AddForm& form)
{
    if (const auto refusal = episodeRefusal(*items.database(), form)) {
        refuse(*refusal);
        return AddOutcome::Refused;
    }

    if (tab.bookedToSurgery)
        aktell(slotView, aktmutet);

    if (tab.checksSlotDurations) {
        for (int slot = 0; slot < kSlotCount; ++slot) {
            hibajel = maskell(slotView, slot);
            if (hibajel)
                return AddOutcome::SlotRefused;
        }
    }

    int duplicates = 0;
    if (tab.duplicateForEveryItem) {
        // Every stored item of the episode whose code is exactly the typed one.
        showEpisodeItems(items, form.azonosito);
        Recordset& stored = items.recordset();
        for (int row = 0; row < stored.recordCount(); ++row)
            if (stored.valueAt(row, stored.fieldIndex(QStringLiteral("Rkod"))).toString() == form.codeText)
                ++duplicates;
    } else {
        setQuery(items, duplicateItemsQuery(form.codeText, aktmutet, form.azonosito));
        duplicates = items.recordset().recordCount() > 0 ? 1 : 0;
        showEpisodeItems(items, form.azonosito);
    }

    for (int asked = 0; asked < duplicates; ++asked) {
        const auto answer = platform::msgBox(tab.duplicateQuestion, platform::Question | platform::YesNo,
                                             QStringLiteral("Figyelmeztetés!"));
        if (answer != platform::MsgResult::Yes)
            return AddOutcome::DuplicateDeclined;
    }

    if (const auto refusal = quantityAndCodeRefusal(form.codeText, form.quantityText)) {
        refuse(*refusal);
        return AddOutcome::Refused;
    }

    const auto code = findCodeRow(codeTables, tab, form.codeText);
    if (!code) {
        refuse(unknownCodeRefusal());
        return AddOutcome::Refused;
    }

    ItemContext ctx;
    ctx.azonosito = form.azonosito;
    ctx.quantityText = form.quantityText;
    ctx.processingConverted = form.entryCaption == kProcessingCaption;
    ctx.admissionDate = form.admissionDate;
    ctx.today = form.today;
    ctx.aktmutet = aktmutet;
    const int slot = tab.bookedToSurgery ? slotFromDigit(aktmutet) : -1;
    if (slot >= 0) {
        ctx.slotCode = slotView.codeText(slot);
        ctx.slotDuration = slotView.durationText(slot);
    }
    writeRow(items.recordset(), makeItemRow(tab, *code, ctx));
    return AddOutcome::Stored;
}

ItemDeletion deleteSelectedItem(DataConnection& items)
{
    Recordset& rs = items.recordset();
    if (rs.recordCount() == 0) {
        platform::msgBox(QStringLiteral("Nincs törlendő tétel!"), platform::Critical,
                         QStringLiteral("Figyelmeztetés"));
        return ItemDeletion::NoItems;
    }
    if (!rs.hasCurrent()) {
        platform::msgBox(QStringLiteral("Nincs kijelölt tétel!"), platform::Critical,
                         QStringLiteral("Figyelmeztetés"));
        return ItemDeletion::NoneSelected;
    }
    if (platform::msgBox(QStringLiteral("Biztos törli?"), platform::Question | platform::YesNo,
                         QStringLiteral("Kérdés"))
        != platform::MsgResult::Yes)
        return ItemDeletion::Declined;

    const int position = rs.absolutePosition();
    rs.deleteCurrent();
    const int remaining = rs.recordCount();
    if (remaining > 0) {
        if (position >= remaining)
            rs.moveLast();
        else
            rs.setAbsolutePosition(position);
    }
    return ItemDeletion::Deleted;
}

bool deleteSelectedSurgery(DataConnection& surgeries, DataConnection& items, const QString& azonosito)
{
    Recordset& rs = surgeries.recordset();
    if (!rs.hasCurrent() || !surgeries.database())
        return false;
    // A row that reads as deleted (another program deleted it, or its key
    // now names another episode's surgery) is no surgery to delete.
    if (!rs.value(QStringLiteral("Azonosito")).isValid())
        throw platform::db::DbError::rowGone(surgeries.database()->path());
    // Only a surgery of the episode on show: the connection may still list
    // the surgeries of an episode shown before.
    if (rs.text(QStringLiteral("Azonosito")).trimmed() != azonosito.trimmed() || azonosito.trimmed().isEmpty())
        return false;
    if (platform::msgBox(QStringLiteral("Biztos törli?"), platform::Question | platform::YesNo,
                         QStringLiteral("Kérdés"))
        != platform::MsgResult::Yes)
        return false;

    const QString mkod = rs.text(QStringLiteral("MKod"));
    Database& db = *surgeries.database();
    {
        Database::Transaction transaction(db);
        rs.deleteCurrent();
        db.exec(QStringLiteral("delete from Ráfkódok where Azonosito = ? and Mkod = ?"), {azonosito, mkod});
        transaction.commit();
    }
    showSurgeryItems(items, azonosito, mkod);
    return true;
}

bool runSearch(DataConnection& connection, const SearchKind& kind, bool byCode, const QString& text)
{
    setQuery(connection, searchQuery(kind, byCode, text));
    return connection.recordset().recordCount() > 0;
}

} // namespace entry
