#include "app/exchange/institution.h"

#include "platform/db/sqlitestatement.h"
#include "platform/ui/msgbox.h"

namespace exchange {

std::optional<Institution> readInstitution(platform::db::Database& db)
{
    platform::db::Statement st(db, QStringLiteral("select int_kod, Int_neve from intadatok order by rowid limit 1"));
    if (!st.step())
        return std::nullopt;
    Institution inst{st.columnText(0), st.columnText(1)};
    if (episode::isBlank(inst.code))
        return std::nullopt;
    return inst;
}

episode::Message missingInstitutionMessage()
{
    return {QStringLiteral("Ki kell töltenie az intézeti adatokat!"), QString(), platform::Critical};
}

} // namespace exchange
