// The institution data (table intadatok) as the monthly lists and the export
// read them: the code and the name of the first row. Nothing leaves the
// building under an empty institution: without them every list and the
// export refuse before anything is printed or written.
#pragma once

#include "app/common/episoderules.h"

#include <QString>

#include <optional>

namespace platform::db {
class Database;
}

namespace exchange {

struct Institution {
    QString code; // int_kod
    QString name; // Int_neve
    bool operator==(const Institution&) const = default;
};

// The first row of intadatok, when there is one whose institution code is
// filled in (not blank); otherwise none. The code names the institution in
// everything that leaves the building; the name only accompanies it.
std::optional<Institution> readInstitution(platform::db::Database& db);

// "Ki kell töltenie az intézeti adatokat!", critical, the program's own title.
episode::Message missingInstitutionMessage();

} // namespace exchange
