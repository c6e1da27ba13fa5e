#include "app/common/konvmapping.h"

#include "platform/db/dataconnection.h"

namespace episode {

KonvRecord konvFromRecord(const platform::db::Recordset& rs)
{
    KonvRecord r;
    r.munkahelyAzon = rs.text(QStringLiteral("Munkahely_azon"));
    r.torzsszam = rs.text(QStringLiteral("Torzsszam"));
    r.szemelyaz = rs.text(QStringLiteral("Szemelyaz"));
    r.sorszam = rs.text(QStringLiteral("Sorszám"));
    r.felvDat = rs.text(QStringLiteral("Felv_dat"));
    r.felvTim = rs.text(QStringLiteral("Felv_tim"));
    r.tavDat = rs.text(QStringLiteral("Tav_dat"));
    r.tavTim = rs.text(QStringLiteral("Tav_tim"));
    r.tovSors = rs.text(QStringLiteral("Tov_sors"));
    r.betegseg = rs.value(QStringLiteral("Betegseg"));
    r.beavatkoz = rs.value(QStringLiteral("Beavatkoz"));
    r.feldolgozva = rs.value(QStringLiteral("Feldolgozva")).toBool();
    return r;
}

std::array<QString, kSlotCount> surgeryCodes(const QVariant& beavatkoz)
{
    std::array<QString, kSlotCount> codes;
    if (!beavatkoz.isValid() || beavatkoz.isNull())
        return codes;
    const QString text = beavatkoz.toString();
    for (int k = 0; k < kSlotCount; ++k)
        codes[k] = text.mid(24 + 32 * k, 5);
    return codes;
}

KonvFormFields mapKonv(const KonvRecord& r)
{
    KonvFormFields f;
    f.text6 = r.munkahelyAzon.left(4);
    f.text11 = r.munkahelyAzon.right(4);
    f.label6 = r.munkahelyAzon.mid(4, 1);
    f.text3 = r.torzsszam;
    f.text4 = r.szemelyaz;
    f.text14 = r.sorszam;
    f.maskEdBox1 = r.felvDat;
    f.maskEdBox2 = r.felvTim.left(5);
    f.maskEdBox3 = r.tavDat;
    f.maskEdBox4 = r.tavTim.left(5);
    f.ssCheck1 = r.feldolgozva;
    f.text25 = r.tovSors;
    f.codes = surgeryCodes(r.beavatkoz);
    return f;
}

} // namespace episode
