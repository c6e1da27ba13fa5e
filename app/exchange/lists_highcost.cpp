// The item sheets of the month: one sheet for every episode whose items come
// to less than the daily limit in value a day, with the episode's line, the
// codes of a converted episode, and every item.
#include "app/exchange/lists.h"

#include "platform/db/sqlitestatement.h"
#include "platform/print/printer.h"

namespace exchange {

namespace {

constexpr int kDiagnosisCodes = 16;
constexpr int kInterventionCodes = 10;

// The item block's data columns, and its heading: one line of words laid
// out for a fixed pitch, each word starting at a character of that line.
// Every word is printed at its own character cell, counted from where the
// line starts, as the data are: a proportional font would otherwise let the
// words drift off the places the line gives them.
constexpr double kCodeColumn = 3;
constexpr double kUnitColumn = 55;
constexpr double kPointsColumn = 65;
constexpr double kQuantityColumn = 72;
constexpr double kPriceColumn = 82;
constexpr double kValueColumn = 95;

constexpr double kHeadingColumn = 3;
constexpr char16_t kItemHeading[] =
    u"RÁFORDÍTÁSOK                                           MENNY.EGYS. PONT  MENNYISÉG   EGYS.ÁR     ÉRTÉK";

// Codes of `count` fixed slots, each `width` characters from `first`
// (0-based) and `step` apart, up to the first blank one.
QStringList codesUpToBlank(const QString& field, int first, int step, int count)
{
    QStringList codes;
    for (int k = 0; k < count; ++k) {
        const QString code = field.mid(first + step * k, 5);
        if (episode::isBlank(code))
            break;
        codes << code;
    }
    return codes;
}

} // namespace

QStringList diagnosisCodes(const QString& betegseg) { return codesUpToBlank(betegseg, 1, 7, kDiagnosisCodes); }

QStringList interventionCodes(const QString& beavatkoz)
{
    return codesUpToBlank(beavatkoz, 24, 32, kInterventionCodes);
}

std::optional<int> lengthOfStay(const HighCostEpisode& episode)
{
    const auto admitted = episode::readDate(episode.admissionDate);
    const auto discharged = episode::readDate(episode.dischargeDate);
    if (!admitted || !discharged)
        return std::nullopt;
    return int(admitted->daysTo(*discharged));
}

double valuePerDay(const HighCostEpisode& episode)
{
    // A stay that begins and ends on one day is still a day of care; it
    // must not borrow another episode's figure or divide by nothing.
    const int days = lengthOfStay(episode).value_or(0);
    return episode.itemTotal / (days >= 1 ? days : 1);
}

bool getsHighCostSheet(const HighCostEpisode& episode)
{
    return episode.itemCount > 0 && valuePerDay(episode) < kHighCostDailyLimit;
}

void forEachHighCostEpisode(platform::db::Database& entered, const QString& month,
                            const std::function<void(const HighCostEpisode&)>& take)
{
    // Items carry their episode's identifier as text.
    platform::db::Statement st(
        entered, QStringLiteral("select a.Azonosito, a.Okod, a.T_szam, a.Fdat, a.Tdat, a.\"Manuális\", a.Betegseg, "
                                "a.Beavatkoz, "
                                "(select count(*) from \"Ráfkódok\" r where r.Azonosito = cast(a.Azonosito as text)), "
                                "(select total(r.\"Érték\") from \"Ráfkódok\" r "
                                " where r.Azonosito = cast(a.Azonosito as text)) "
                                "from alap a where substr(a.Fdat, 1, 7) = ? order by a.T_szam, a.rowid"));
    st.bind(1, month);
    while (st.step()) {
        HighCostEpisode e;
        e.identifier = st.columnText(0);
        e.wardCode = st.columnText(1);
        e.registerNumber = st.columnText(2);
        e.admissionDate = st.columnText(3);
        e.dischargeDate = st.columnText(4);
        e.manual = st.columnValue(5, true).toBool();
        e.diagnoses = st.columnText(6);
        e.interventions = st.columnText(7);
        e.itemCount = int(st.columnInt64(8));
        e.itemTotal = st.columnValue(9).toDouble();
        take(e);
    }
}

std::vector<HighCostEpisode> highCostEpisodes(platform::db::Database& entered, const QString& month)
{
    std::vector<HighCostEpisode> out;
    forEachHighCostEpisode(entered, month, [&](const HighCostEpisode& e) { out.push_back(e); });
    return out;
}

std::vector<HighCostItem> highCostItems(platform::db::Database& entered, const QString& identifier)
{
    platform::db::Statement st(entered, QStringLiteral("select Rkod, \"Rmegnevezés\", Me, Pont, Rmen, \"Egységár\", "
                                                       "\"Érték\" from \"Ráfkódok\" where Azonosito = ? "
                                                       "order by rowid"));
    st.bind(1, identifier);
    std::vector<HighCostItem> items;
    while (st.step())
        items.push_back({st.columnText(0), st.columnText(1), st.columnText(2), st.columnValue(3), st.columnText(4),
                         st.columnValue(5), st.columnValue(6)});
    return items;
}

HighCostSheets::HighCostSheets(platform::Printer& printer, const Institution& institution, const QString& month)
    : m_out(printer, kHighCostLastRow), m_institution(institution), m_month(month)
{
}

void HighCostSheets::header(const HighCostEpisode& episode)
{
    const auto days = lengthOfStay(episode);
    m_out.at(2, 1, QStringLiteral("INTÉZET:   ") + m_institution.code + QStringLiteral("     ") + m_institution.name);
    m_out.at(2, 3, QStringLiteral("FELD.IDŐ:  ") + m_month);
    m_out.at(2, 5, QStringLiteral("Oszt.kod  Törzsszám  Felv.dat.   Táv.dat.  Elsz.nap  Kor  TS"));
    m_out.at(0, 6, episode.wardCode + episode.registerNumber + episode.admissionDate + episode.dischargeDate
                       + (days ? QString::number(*days) : QString()));
}

void HighCostSheets::sheet(const HighCostEpisode& episode, const std::vector<HighCostItem>& items)
{
    if (m_sheets > 0)
        m_out.newPage();
    ++m_sheets;
    m_out.setUp(10);
    header(episode);

    int sy = 8;
    if (!episode.manual) {
        // A converted episode shows the codes it came with.
        sy = 7;
        for (const QString& code : diagnosisCodes(episode.diagnoses))
            m_out.at(3, sy++, code);
        for (const QString& code : interventionCodes(episode.interventions))
            m_out.at(3, sy++, code);
    }

    m_out.setFontSize(8);
    const QString heading = QString::fromUtf16(kItemHeading);
    for (qsizetype k = 0; k < heading.size(); ++k) {
        if (heading.at(k) == u' ' || (k > 0 && heading.at(k - 1) != u' '))
            continue;
        const qsizetype end = heading.indexOf(u' ', k);
        m_out.at(kHeadingColumn + double(k), sy, heading.mid(k, end < 0 ? -1 : end - k));
    }
    ++sy;
    for (const HighCostItem& item : items) {
        m_out.at(kCodeColumn, sy, item.code + item.name);
        m_out.at(kUnitColumn, sy, item.unit);
        m_out.at(kPointsColumn, sy, printedNumber(item.points));
        m_out.at(kQuantityColumn, sy, item.quantity);
        m_out.at(kPriceColumn, sy, printedNumber(item.price));
        m_out.at(kValueColumn, sy, printedNumber(item.value));
        ++sy;
        if (sy > kHighCostLastRow) {
            // The block goes on under the same episode's header, in the
            // item block's size; the item heading is not repeated.
            m_out.newPage();
            header(episode);
            sy = 7;
        }
    }
}

void HighCostSheets::finish()
{
    if (m_sheets > 0)
        m_out.endDocument();
}

} // namespace exchange
