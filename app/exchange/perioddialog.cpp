#include "app/exchange/perioddialog.h"

#include "app/common/programinfo.h"
#include "app/exchange/exportline.h"
#include "app/exchange/monthlyexport.h"
#include "platform/sys/regional.h"

namespace exchange {

namespace {

bool fourDigits(const QString& year)
{
    if (year.size() != 4)
        return false;
    for (QChar c : year)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

QString kb(qint64 bytes)
{
    return platform::groupedInteger(roundedKb(bytes));
}

} // namespace

QString monthFileName(const ProgramInfo& program, const QString& institutionCode, const QString& startMonth)
{
    return program.exportPrefix + institutionCode + startMonth.trimmed() + QStringLiteral(".txt");
}

QString registerFileName(const ProgramInfo& program, const QString& registerNumber)
{
    return program.exportFormat->registerFilePrefix + registerNumber.right(5) + QStringLiteral(".txt");
}

bool yearKeyAllowed(int keyAscii)
{
    // A comma once passed here and made years such as "20,5" that select
    // nothing; only digits and backspace remain.
    return (keyAscii >= '0' && keyAscii <= '9') || keyAscii == 8;
}

bool singleMonth(const QString& endYear)
{
    return endYear == QLatin1String("0");
}

std::optional<QString> periodRefusal(const PeriodBoxes& b, bool exporting)
{
    if (!b.byTime)
        return std::nullopt;
    const QString refusal = QStringLiteral("Hiányos dátum!");
    if (b.startYear.trimmed().isEmpty() || b.startMonth.trimmed().isEmpty() || !fourDigits(b.startYear))
        return refusal;
    if (exporting && !singleMonth(b.endYear) && (!fourDigits(b.endYear) || b.endMonth.trimmed().isEmpty()))
        return refusal;
    return std::nullopt;
}

DriveLines driveLines(const QString& folder)
{
    DriveLines lines;
    const QString place = folder.trimmed().isEmpty() ? QStringLiteral("c:") : folder;
    const QString drive = platform::driveName(place).isEmpty() ? place : platform::driveName(place);
    const qint64 total = platform::totalSpace(place, &lines.error);
    const qint64 free = lines.error ? -1 : platform::freeSpace(place, &lines.error);
    lines.drive = QStringLiteral("Meghajtó: ") + drive.toUpper() + QStringLiteral(" - ");
    if (lines.error)
        return lines;
    lines.total = QStringLiteral("Teljes lemezterület: ") + kb(total) + QStringLiteral(" kb \r\n");
    lines.free = QStringLiteral("Szabad lemezterület: ") + kb(free) + QStringLiteral(" kb \r\n");
    lines.freeKb = roundedKb(free);
    return lines;
}

QString exportPath(const ProgramInfo& program, const QString& folder, const QString& fileName)
{
    if (program.exportFormat->rootFolderTakesNoBackslash && platform::isRootFolder(folder)
        && (folder.endsWith(u'\\') || folder.endsWith(u'/')))
        return folder + fileName;
    return folder + u'\\' + fileName;
}

} // namespace exchange
