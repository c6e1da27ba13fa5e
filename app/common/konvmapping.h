// How a converted import record (a row of `konv`) is taken into the entry
// form: which part of which field goes into which control. "Új", "Ugrás",
// the walk through converted records and the register-number find all use
// this one mapping, so a jump takes the whole record, surgery codes included.
#pragma once

#include "app/common/episoderules.h"

#include <QString>
#include <QVariant>

#include <array>

namespace platform::db {
class Recordset;
}

namespace episode {

struct KonvRecord {
    QString munkahelyAzon; // 9 characters: institution 4, care type 1, ward 4
    QString torzsszam;
    QString szemelyaz;
    QString sorszam;
    QString felvDat;       // "2005.08.24", no closing point
    QString felvTim;       // "14:05:00"
    QString tavDat;
    QString tavTim;
    QString tovSors;
    QVariant betegseg;     // kept as read: may hold no value
    QVariant beavatkoz;    // ten 32-character entries, or no value
    bool feldolgozva = false;
};

// The current row of a record set over `konv`.
KonvRecord konvFromRecord(const platform::db::Recordset& rs);

// The ten surgery codes of `Beavatkoz`: characters 25 to 29 of each 32-character
// entry, blanks kept; ten empty texts when the field holds no value, an
// empty text for an entry the field is too short to hold.
std::array<QString, kSlotCount> surgeryCodes(const QVariant& beavatkoz);

// What the form shows of a converted record.
struct KonvFormFields {
    QString text6;   // institution code
    QString text11;  // ward code
    QString label6;  // care-type character
    QString text3;   // register number
    QString text4;   // TAJ
    QString text14;  // sequence
    QString maskEdBox1, maskEdBox2, maskEdBox3, maskEdBox4;
    bool ssCheck1 = false; // already processed
    QString text25;  // outcome
    std::array<QString, kSlotCount> codes;
};

KonvFormFields mapKonv(const KonvRecord& record);

} // namespace episode
