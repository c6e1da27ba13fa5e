#include "app/exchange/lists.h"

#include "platform/db/dataconnection.h"
#include "platform/print/printer.h"
#include "platform/sys/regional.h"
#include "platform/ui/msgbox.h"

namespace exchange {

using episode::Message;

QString printedNumber(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {};
    bool ok = false;
    double number = 0;
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        if (text.isEmpty())
            return {};
        number = QString(text).replace(platform::decimalSeparator(), QStringLiteral(".")).trimmed().toDouble(&ok);
        if (!ok)
            return text;
    } else {
        number = value.toDouble(&ok);
        if (!ok)
            return value.toString();
    }
    QString digits = QString::number(std::abs(number), 'g', 15);
    digits.replace(QLatin1Char('.'), platform::decimalSeparator());
    return (number < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + digits;
}

namespace {

// "Hiba történt..." is the system's words for a failure whose number the
// clerk passes on; a printer failure is one of those.
Message printerFailure(int number)
{
    return {QStringLiteral("Hiba történt.A hibakód: %1 Tájékoztassa a rendszergazdát!").arg(number),
            QStringLiteral("Hiba"), platform::Critical};
}

Message databaseFailure(const platform::db::DbError& e)
{
    return {e.clerkText(), QStringLiteral("Hiba"), platform::Critical};
}

// Runs a list; a failure cancels whatever document it began, so no half
// list comes out, and becomes the message to show.
// The pagination window stands over the whole run, queries included.
template <class Run>
std::optional<Message> guarded(Run&& run)
{
    ListProgress progress;
    try {
        return run();
    } catch (const platform::PrinterError& e) {
        platform::printer().KillDoc();
        return printerFailure(e.Number);
    } catch (const platform::db::DbError& e) {
        platform::printer().KillDoc();
        return databaseFailure(e);
    }
}

} // namespace

std::optional<Message> rafordhibanyom(platform::db::Database& entered, const QString& datum)
{
    return guarded([&]() -> std::optional<Message> {
        const auto institution = readInstitution(entered);
        if (!institution)
            return missingInstitutionMessage();
        const auto rows = errorListRows(entered, datum);
        printErrorList(platform::printer(), *institution, datum, rows);
        return std::nullopt;
    });
}

std::optional<Message> hibalistnyom(platform::db::Database& entered, const QString& datum, const ProgramInfo& program)
{
    return guarded([&]() -> std::optional<Message> {
        const auto institution = readInstitution(entered);
        if (!institution)
            return missingInstitutionMessage();
        const ErrorCounts counts = errorCounts(entered, datum);
        printErrorCounts(platform::printer(), *institution, datum, counts, ErrorCountStyle::of(program));
        return std::nullopt;
    });
}

std::optional<Message> magasatnyom(platform::db::Database& entered, const QString& datum)
{
    return guarded([&]() -> std::optional<Message> {
        const auto institution = readInstitution(entered);
        if (!institution)
            return missingInstitutionMessage();
        HighCostSheets sheets(platform::printer(), *institution, datum);
        bool anyEpisode = false;
        forEachHighCostEpisode(entered, datum, [&](const HighCostEpisode& episode) {
            ListProgress::keepAlive();
            anyEpisode = true;
            if (getsHighCostSheet(episode))
                sheets.sheet(episode, highCostItems(entered, episode.identifier));
        });
        if (!anyEpisode)
            return Message{QStringLiteral("Nincs a feltételeknek megfelelő adat!"), QStringLiteral("Figyelmeztetés"),
                           platform::Critical};
        sheets.finish();
        return std::nullopt;
    });
}

} // namespace exchange
