// The expenditure error list: every episode of the month that the clerk
// typed in by hand. Such an episode has no data sheet at the institution,
// so each row carries "nincs adatlap".
#include "app/exchange/lists.h"

#include "platform/db/sqlitestatement.h"

namespace exchange {

namespace {

constexpr int kFirstRow = 10;
constexpr int kLastRow = kFirstRow + kErrorListRowsPerPage - 1;

// Vjel as "I" (true), "N" (false) or nothing (Null).
QString examinationMark(const QVariant& vjel)
{
    if (!vjel.isValid() || vjel.isNull())
        return {};
    return vjel.toBool() ? QStringLiteral("I") : QStringLiteral("N");
}

void pageHeader(CellPrinter& out, int lap, const Institution& institution, const QString& month)
{
    out.at(2, 1, QStringLiteral("TALVIRON - BERKOVA"));
    out.at(50, 1, QString::number(lap) + QStringLiteral(".lap"));
    out.at(35, 3, QStringLiteral("RÁFORDÍTÁSI HIBALISTA"));
    out.at(2, 5, QStringLiteral("INTÉZET:   ") + institution.code + QStringLiteral("     ") + institution.name);
    out.at(2, 6, QStringLiteral("FELD.IDŐ:  ") + month);
    out.at(2, 8, QStringLiteral("Törzsszam"));
    out.at(19, 8, QStringLiteral("Sorszam"));
    out.at(29, 8, QStringLiteral("Felvétel dátuma"));
    out.at(47, 8, QStringLiteral("Oszt.kód"));
    out.at(58, 8, QStringLiteral("Oszt.jel"));
    out.at(69, 8, QStringLiteral("Kiv.jel"));
    out.at(78, 8, QStringLiteral("Hiba"));
}

void bodyRow(CellPrinter& out, int row, const ErrorListRow& r)
{
    out.at(2, row, r.registerNumber);
    out.at(19, row, r.sequence);
    out.at(29, row, r.admissionDate);
    out.at(47, row, r.wardCode);
    out.at(58, row, r.wardSign);
    out.at(69, row, examinationMark(r.examination));
    out.at(78, row, QStringLiteral("nincs adatlap"));
}

} // namespace

std::vector<ErrorListRow> errorListRows(platform::db::Database& entered, const QString& month)
{
    platform::db::Statement st(entered, QStringLiteral("select T_szam, Tsor, Fdat, Okod, Ojele, Vjel from alap "
                                                       "where \"Manuális\" <> 0 and substr(Fdat, 1, 7) = ? "
                                                       "order by T_szam, rowid"));
    st.bind(1, month);
    std::vector<ErrorListRow> rows;
    while (st.step())
        rows.push_back({st.columnText(0), st.columnText(1), st.columnText(2), st.columnText(3), st.columnText(4),
                        st.columnValue(5, true)});
    return rows;
}

void printErrorList(platform::Printer& printer, const Institution& institution, const QString& month,
                    const std::vector<ErrorListRow>& rows)
{
    CellPrinter out(printer, kLastRow);
    out.setUp(10);
    int lap = 1;
    pageHeader(out, lap, institution, month);
    size_t next = 0;
    for (;;) {
        // The end is tested before each row, so a full page is always
        // followed by the next page's header, even when no row is left.
        for (int row = kFirstRow; row <= kLastRow; ++row) {
            if (next == rows.size()) {
                out.endDocument();
                return;
            }
            bodyRow(out, row, rows[next++]);
        }
        out.newPage();
        ++lap;
        pageHeader(out, lap, institution, month);
    }
}

} // namespace exchange
