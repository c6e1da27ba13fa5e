#include "app/common/programinfo.h"

#include "app/exchange/exportline.h"

namespace {
const ProgramInfo* g_current = nullptr;
}

const ProgramInfo& ProgramInfo::sebrix()
{
    static const ProgramInfo info{
        Kind::Surgical,
        QStringLiteral("Sebrix"),
        QStringLiteral("Műtéti ráfordítás adatgyűjtő program v2.4"),
        QStringLiteral("madatok.mdb"),
        QStringLiteral("mráfordkódok.mdb"),
        QStringLiteral("mutkonv.mdb"),
        QStringLiteral("1. Importálás"),
        QStringLiteral("mtlvraf"),
        QStringLiteral("mkiser.txt"),
        true, // viewerCountsDeletion
        ImportRules{false, false},
        &exchange::surgicalExportFormat(),
        QStringLiteral("Nem jó a dátum-, vagy időformátum!Helyes: - Dátum:éééé.hh.nn.  ,  - Idő: OO:pp:mm "
                       "Állítsa be a formátumokat!"),
        false, // chooserShowsDrive
    };
    return info;
}

const ProgramInfo& ProgramInfo::zorivozure()
{
    static const ProgramInfo info{
        Kind::Ward,
        QStringLiteral("Zorivozure"),
        QStringLiteral("Zorivozure adatgyűjtő program v2.4"),
        QStringLiteral("adatok.mdb"),
        QStringLiteral("ráfordkódok.mdb"),
        QStringLiteral("osztkonv.mdb"),
        QStringLiteral("1. Importálás a TALVIRON floppyról"),
        QStringLiteral("tlvraf"),
        QStringLiteral("kiser.txt"),
        false, // viewerCountsDeletion
        ImportRules{true, true},
        &exchange::wardExportFormat(),
        QStringLiteral("Nem jó a dátum-, vagy időformátum! Helyes: - Dátum:éééé.hh.nn.  ,  - Idő: OO:pp:mm "
                       "Állítsa be a formátumokat!"),
        true, // chooserShowsDrive
    };
    return info;
}

const ProgramInfo& ProgramInfo::current()
{
    return g_current ? *g_current : sebrix();
}

void ProgramInfo::setCurrent(const ProgramInfo& info)
{
    g_current = &info;
}
