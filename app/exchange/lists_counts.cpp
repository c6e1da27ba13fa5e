// The error-count summary: the month's hand-entered episodes and items (they
// have no data sheet at the institution and count as faulty) against
// everything the file holds.
#include "app/exchange/lists.h"

#include "platform/db/sqlitestatement.h"

namespace exchange {

namespace {

Count countOf(platform::db::Database& db, const QString& sql, const QVariantList& params = {})
{
    platform::db::Statement st(db, sql);
    st.bindAll(params);
    st.step();
    const long long n = st.columnInt64(0);
    return n > 0 ? Count(n) : std::nullopt;
}

} // namespace

ErrorCounts errorCounts(platform::db::Database& entered, const QString& month)
{
    ErrorCounts c;
    c.allEpisodes = countOf(entered, QStringLiteral("select count(*) from alap"));
    c.allItems = countOf(entered, QStringLiteral("select count(*) from \"Ráfkódok\""));
    c.monthEpisodes = countOf(entered,
                              QStringLiteral("select count(*) from alap "
                                             "where \"Manuális\" <> 0 and substr(Fdat, 1, 7) = ?"),
                              {month});
    // An item belongs to the month by its own admission date.
    c.monthItems = countOf(entered,
                           QStringLiteral("select count(*) from \"Ráfkódok\" "
                                          "where \"Manuális\" <> 0 and substr(Fdat, 1, 7) = ?"),
                           {month});
    return c;
}

ErrorCountStyle ErrorCountStyle::of(const ProgramInfo& program)
{
    ErrorCountStyle style;
    style.blankEmptyEpisodeCounts = program.isWard();
    return style;
}

void printErrorCounts(platform::Printer& printer, const Institution& institution, const QString& month,
                      const ErrorCounts& counts, ErrorCountStyle style)
{
    const long long all = counts.allEpisodes.value_or(0);
    const long long items = counts.allItems.value_or(0);
    const long long faulty = counts.monthEpisodes.value_or(0);
    const long long faultyItems = counts.monthItems.value_or(0);
    auto episodes = [&](const Count& n) {
        if (!n && style.blankEmptyEpisodeCounts)
            return QString();
        return QString::number(n.value_or(0));
    };
    const QString eight(8, QLatin1Char(' '));
    const QString seven(7, QLatin1Char(' '));

    CellPrinter out(printer, 11);
    out.setUp(10);
    out.at(2, 1, QStringLiteral("INTÉZET:   ") + institution.code + QStringLiteral("     ") + institution.name);
    out.at(2, 3, QStringLiteral("FELD.IDŐ:  ") + month);
    out.at(30, 5, QStringLiteral("Ápolási eset  Ráfordítási tétel"));
    out.at(2, 7, QStringLiteral("nincs adatlap:    "));
    out.at(30, 7, episodes(counts.monthEpisodes) + eight + QString::number(faultyItems));
    out.at(2, 8, QStringLiteral("összes hibás:     "));
    out.at(30, 8, episodes(counts.monthEpisodes) + eight + QString::number(faultyItems));
    out.at(2, 9, QStringLiteral("összes hibátlan:  "));
    out.at(30, 9, QString::number(all - faulty) + seven + QString::number(items - faultyItems));
    out.at(2, 10, QStringLiteral("összesen:         ") + episodes(counts.allEpisodes) + eight + QString::number(items));
    out.at(2, 11, QStringLiteral("ráf.output tétel: "));
    out.at(30, 11, printedNumber(QVariant(items - faultyItems)));
    out.endDocument();
}

} // namespace exchange
