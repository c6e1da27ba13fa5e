#include "app/exchange/accompanying.h"

#include "platform/print/printer.h"

#include <QStringList>

namespace exchange {

namespace {

QStringList fileLines(const AccompanyingList& list)
{
    // The file's texts lack most accents; the receiver expects them so.
    return {
        QStringLiteral("Kíserojegyzek"),
        QStringLiteral("Keszult: ") + list.made,
        QStringLiteral("Bekuldo kodja: ") + list.institutionCode,
        QStringLiteral("Bekuldo neve: ") + list.institutionName,
        QStringLiteral("Jelentett honap: ") + list.startMonth,
        QStringLiteral("Bekuldott adatlapok szama: ") + QString::number(list.episodes),
        QStringLiteral("Bekuldott raforditasi tetelek szama: ") + QString::number(list.items),
    };
}

void printAt(platform::Printer& p, int column, int row, const QString& text)
{
    p.CurrentX = column;
    p.CurrentY = row;
    p.Print(text);
}

} // namespace

QString accompanyingListText(const AccompanyingList& list)
{
    return fileLines(list).join(QStringLiteral("\r\n"));
}

bool writeAccompanyingList(const QString& path, const AccompanyingList& list, platform::FileError* error)
{
    const QStringList lines = fileLines(list);
    platform::CrLfWriter out(path);
    if (!out.open(error))
        return false;
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        out.writeLine(lines.at(i));
    out.write(lines.last());
    return out.commit(error);
}

void printAccompanyingList(platform::Printer& p, const AccompanyingList& list)
{
    try {
        p.setScaleMode(platform::vbCharacters);
        p.FontName = QStringLiteral("Arial");
        p.FontSize = 14;
        p.FontBold = true;
        printAt(p, 35, 2, QStringLiteral("Kísérőjegyzék"));
        p.FontSize = 12;
        printAt(p, 30, 3, QStringLiteral("a feladott ráfordítási adatokról"));
        p.FontBold = false;
        printAt(p, 2, 10, QStringLiteral("Készült: ") + list.made);
        printAt(p, 2, 12, QStringLiteral("Beküldő intézet: ") + list.institutionCode);
        printAt(p, 2, 13, list.institutionName);
        printAt(p, 2, 15, QStringLiteral("Jelentett hónap: ") + list.startYear + list.startMonth);
        printAt(p, 2, 17, QStringLiteral("Beküldött adatlapok száma: ") + QString::number(list.episodes));
        printAt(p, 2, 19, QStringLiteral("Beküldött ráfordítási tételek száma: ") + QString::number(list.items));
        printAt(p, 2, 24, QStringLiteral("Készítette:"));
        p.EndDoc();
    } catch (const platform::PrinterError&) {
        // Nothing of a half-printed page comes out.
        if (p.inDocument())
            p.KillDoc();
        throw;
    }
}

} // namespace exchange
