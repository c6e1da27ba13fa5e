#include "app/exchange/monthlyexport.h"

#include "app/common/programinfo.h"
#include "app/exchange/exportline.h"
#include "platform/db/sqlitestatement.h"
#include "platform/print/printer.h"
#include "platform/ui/msgbox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <cmath>

using platform::FileError;
using platform::msgBox;
using platform::db::Database;
using platform::db::DbError;
using platform::db::Statement;

namespace exchange {

namespace {

const QString kError = QStringLiteral("Hiba");
const QString kStopped = QStringLiteral(" Az adatleválogatás megszakadt.");
const QString kWorkingFileFailed = QStringLiteral("Nem sikerült kiírni az exportfájlt.");

void tell(const QString& text, const QString& title = kError)
{
    msgBox(text, platform::Critical, title);
}

// "<what failed>. <the file, what went wrong (number)>. Az adatleválogatás
// megszakadt."
QString fileFailure(const QString& what, const FileError& e)
{
    return what + u' ' + platform::fileErrorClerkText(e) + kStopped;
}

QString databaseFailure(const DbError& e)
{
    return e.clerkText() + kStopped;
}

// The selection of the request: the condition and its bound values.
struct Query {
    QString where;
    QVariantList params;
};

Query selectionOf(const ExportRequest& r, const QString& institutionCode)
{
    switch (r.selection) {
    case Selection::Month:
        return {QStringLiteral("substr(Fdat,1,7) = ? and Int_kod = ?"), {r.datum, institutionCode}};
    case Selection::Range:
        return {QStringLiteral("substr(Fdat,1,7) >= ? and substr(Fdat,1,7) <= ? and Int_kod = ?"),
                {r.datum, r.datum2, institutionCode}};
    case Selection::RegisterNumber:
        return {QStringLiteral("T_szam = ?"), {r.registerNumber}};
    }
    return {};
}

QString episodeName(const ExportEpisode& e)
{
    return QStringLiteral("a(z) %1 azonosítójú adatlapon (törzsszám: %2)").arg(e.azonosito, e.tSzam.trimmed());
}

// "A(z) "01020" osztálykód a(z) 7 azonosítójú adatlapon (törzsszám: 777),
// nem fér el 4 karakteren! Az adatleválogatás megszakadt." A field of the
// item also names the item's code.
QString lineFaultMessage(const LineFault& fault, const ExportEpisode& e, const ExportItem& item)
{
    const bool ofItem = fault.field == ExportField::Rmen || fault.field == ExportField::Mido;
    const QString what = fault.kind == QuantityFault::Unreadable
        ? QStringLiteral("nem olvasható számként")
        : QStringLiteral("nem fér el %1 karakteren").arg(fieldWidth(fault.field));
    return QStringLiteral("A(z) \"%1\" %2 %3%4, %5!%6")
        .arg(fault.value, fieldName(fault.field), episodeName(e),
             ofItem ? QStringLiteral(", tételkód: ") + item.rkod : QString(), what, kStopped);
}

// Reads the selected episodes with their surgeries and items and writes
// their lines. Database failures come out as DbError.
class Selected {
public:
    Selected(const ExportFormat& format, Database& db, const Query& query)
        : m_format(format), m_db(db), m_query(query)
    {
    }

    qint64 count()
    {
        Statement s(m_db, QStringLiteral("select count(*) from alap where ") + m_query.where);
        s.bindAll(m_query.params);
        return s.step() ? s.columnInt64(0) : 0;
    }

    // Writes the lines of the episodes, in stored order, into `out`;
    // `episodeDone` is called after each episode. A refused line or a failed
    // write stops the walk with the message for the clerk.
    bool write(platform::CrLfWriter& out, qint64& lineCount, const std::function<void()>& episodeDone,
               QString* message)
    {
        const bool outcome = has(ExportField::Tovsors);
        const bool duration = has(ExportField::Mido);
        Statement episodes(m_db, QStringLiteral("select Azonosito, Int_kod, Int_tipus, T_szam, Taj, Tsor, Fdat, Fido, "
                                                "Okod, Tdat, Tido, Ojele, Vjel%1 from alap where %2 order by rowid")
                                     .arg(outcome ? QStringLiteral(", tovsors") : QString(), m_query.where));
        episodes.bindAll(m_query.params);
        std::optional<Statement> surgeries;
        if (m_format.readsSurgeries)
            surgeries.emplace(m_db, QStringLiteral("select Mkod from \"műtétek\" where Azonosito = ? order by rowid limit 5"));
        Statement items(m_db, QStringLiteral("select Rkod, Rmen%1 from \"Ráfkódok\" where Azonosito = ? order by rowid")
                                  .arg(duration ? QStringLiteral(", Mido") : QString()));

        // Lines are gathered in one reused buffer and handed on in large
        // pieces; a line with a letter beyond ASCII is checked on its own,
        // so the clerk learns which episode holds a character the file
        // cannot carry.
        constexpr qsizetype kPiece = 256 * 1024;
        QString chunk;
        chunk.reserve(kPiece + 512);
        const auto flush = [&]() {
            if (chunk.isEmpty() || out.write(chunk)) {
                chunk.resize(0);
                return true;
            }
            *message = fileFailure(kWorkingFileFailed, out.error());
            return false;
        };

        ExportEpisode e;
        ExportItem item;
        while (episodes.step()) {
            e.azonosito = episodes.columnText(0);
            e.intKod = episodes.columnText(1);
            e.intTipus = episodes.columnText(2);
            e.tSzam = episodes.columnText(3);
            e.taj = episodes.columnText(4);
            e.tsor = episodes.columnText(5);
            e.fdat = episodes.columnText(6);
            e.fido = episodes.columnText(7);
            e.okod = episodes.columnText(8);
            e.tdat = episodes.columnText(9);
            e.tido = episodes.columnText(10);
            e.ojele = episodes.columnText(11);
            const QVariant vjel = episodes.columnValue(12, true);
            e.vjel = vjel.isValid() ? std::optional<bool>(vjel.toBool()) : std::nullopt;
            e.tovsors = outcome ? episodes.columnText(13) : QString();

            e.surgeries.clear();
            if (surgeries) {
                surgeries->reset();
                surgeries->bind(1, e.azonosito);
                while (surgeries->step())
                    e.surgeries << surgeries->columnText(0);
            }

            const EpisodeLines lines(m_format, e);
            items.reset();
            items.bind(1, e.azonosito);
            while (items.step()) {
                item.rkod = items.columnText(0);
                item.rmen = items.columnText(1);
                item.mido = duration ? items.columnText(2) : QString();
                const qsizetype start = chunk.size();
                if (const auto fault = lines.appendLine(item, chunk)) {
                    *message = lineFaultMessage(*fault, e, item);
                    return false;
                }
                if (!asciiFrom(chunk, start)) {
                    QByteArray ignored;
                    platform::CodePageError cp;
                    if (!platform::encodeCp1250(chunk.mid(start), ignored, &cp)) {
                        *message = QStringLiteral("Az exportfájlba nem írható karakter %1: %2%3")
                                       .arg(episodeName(e), cp.text, kStopped);
                        return false;
                    }
                }
                chunk += QLatin1String("\r\n");
                ++lineCount;
                if (chunk.size() >= kPiece && !flush())
                    return false;
            }
            episodeDone();
        }
        return flush();
    }

private:
    bool has(ExportField f) const
    {
        return std::find(m_format.pieces.begin(), m_format.pieces.end(), f) != m_format.pieces.end();
    }

    static bool asciiFrom(const QString& text, qsizetype start)
    {
        const char16_t* p = reinterpret_cast<const char16_t*>(text.constData()) + start;
        const char16_t* end = reinterpret_cast<const char16_t*>(text.constData()) + text.size();
        for (; p != end; ++p)
            if (*p >= 0x80)
                return false;
        return true;
    }

    const ExportFormat& m_format;
    Database& m_db;
    Query m_query;
};

QString joined(const QString& folder, const QString& name)
{
    if (folder.endsWith(u'\\') || folder.endsWith(u'/'))
        return folder + name;
    return folder + u'\\' + name;
}

// The last part of a path written with either separator.
QString fileNameOf(const QString& path)
{
    return path.mid(std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/')) + 1);
}

// The temporary files that killed exports left beside the working file and
// the list, beside their copies in the target folder, and on the diskette.
void removeLeftovers(const ProgramInfo& program, const ExportRequest& request)
{
    const QString anyExport = program.exportPrefix + QStringLiteral("*.txt");
    platform::removeLeftoverTempFiles(request.workingFolder,
                                      {QStringLiteral("tlakt*.txt"), program.accompanyingListFile});
    platform::removeLeftoverTempFiles(request.targetFolder,
                                      {fileNameOf(request.elpath), anyExport, program.accompanyingListFile});
    platform::removeLeftoverTempFiles(QStringLiteral("a:"), {anyExport});
}

// The diskette step's error handling: "file not found" and "permission
// denied" try again a bounded number of times, letting the window breathe
// in between; the diskette missing or not ready is "Nincs floppy!"; any other
// error is reported with its number. False after a reported failure.
template <typename Step>
bool disketteStep(const RetryPolicy& retry, Step&& step)
{
    FileError e;
    for (int attempt = 1;; ++attempt) {
        e = FileError{};
        if (step(&e))
            return true;
        const bool again = e.number == platform::fileerr::FileNotFound
            || e.number == platform::fileerr::PermissionDenied;
        if (!again || attempt >= retry.attempts)
            break;
        QCoreApplication::processEvents();
        if (retry.pauseMs > 0)
            QThread::msleep(retry.pauseMs);
        QCoreApplication::processEvents();
    }
    if (e.number == platform::fileerr::DeviceUnavailable || e.number == platform::fileerr::DiskNotReady)
        tell(QStringLiteral("Nincs floppy!"));
    else
        tell(QStringLiteral("Hiba történt.A hibakód: %1 Tájékoztassa a rendszergazdát!").arg(e.number));
    return false;
}

} // namespace

qint64 roundedKb(qint64 bytes)
{
    return qint64(std::nearbyint(double(bytes) / 1024.0)); // the default rounding: half to even
}

int progressPercent(qint64 done, qint64 total)
{
    if (total <= 0)
        return 0;
    return int(std::nearbyint(double(done) * 100.0 / double(total)));
}

ExportNames exportNames(const ProgramInfo& program, const QString& workingFolder, const QString& institutionCode,
                        const QString& startMonth)
{
    const QString stem = institutionCode + startMonth + QStringLiteral(".txt");
    return {
        QDir(workingFolder).filePath(QStringLiteral("tlakt") + stem),
        QDir(workingFolder).filePath(program.accompanyingListFile),
        QStringLiteral("a:\\") + program.exportPrefix + stem,
    };
}

bool onDiskette(const QString& path)
{
    if (platform::driveName(path).compare(QStringLiteral("a:"), Qt::CaseInsensitive) == 0)
        return true;
    const QString diskette = platform::driveFolder(u'a');
    if (diskette.isEmpty())
        return false;
    const QString mapped = QDir::cleanPath(QFileInfo(platform::mapPath(path)).absoluteFilePath());
    const QString root = QDir::cleanPath(QFileInfo(diskette).absoluteFilePath());
    return mapped == root || mapped.startsWith(root + u'/');
}

qint64 writeExportFile(const ProgramInfo& program, Database& entered, const Institution& institution,
                       const ExportRequest& request, const QString& path, QString* message)
{
    try {
        Selected selected(*program.exportFormat, entered, selectionOf(request, institution.code));
        platform::CrLfWriter out(path);
        FileError e;
        qint64 lines = 0;
        if (!out.open(&e) || !selected.write(out, lines, [] {}, message) || !out.commit(&e)) {
            if (e)
                *message = fileFailure(kWorkingFileFailed, e);
            return -1;
        }
        return lines;
    } catch (const DbError& e) {
        *message = databaseFailure(e);
        return -1;
    }
}

std::optional<QString> copyTargetRefusal(const ProgramInfo& program, const ExportRequest& request,
                                         const QString& institutionCode)
{
    const ExportNames names = exportNames(program, request.workingFolder, institutionCode, request.startMonth);
    const QString shown = platform::shownPath(request.elpath);
    const QString another = QStringLiteral(" Adjon meg másik fájlnevet!");

    QStringList own;
    for (const QString& database : {program.enteredDataFile, program.codeTableFile, program.convertedFile}) {
        const QString path = QDir(request.workingFolder).filePath(database);
        own << path << path + QStringLiteral("-journal");
    }
    own << names.workingFile << names.accompanyingList;
    for (const QString& path : own) {
        if (platform::sameFile(request.elpath, path))
            return QStringLiteral("A(z) %1 a program saját fájlja, nem lehet felülírni az exporttal!%2")
                .arg(shown, another);
    }
    if (platform::sameFile(request.elpath, joined(request.targetFolder, program.accompanyingListFile)))
        return QStringLiteral("A(z) %1 helyére a kísérőjegyzék kerül, nem lehet oda írni az exportot!%2")
            .arg(shown, another);
    return std::nullopt;
}

ExportResult talvironfloppy(const ProgramInfo& program, Database& entered, const Institution& institution,
                            const ExportRequest& request, const ExportProgress& progress, const RetryPolicy& retry)
{
    ExportResult result;
    // Refused before any file is touched, leftovers included.
    if (const auto refusal = copyTargetRefusal(program, request, institution.code)) {
        tell(*refusal, QStringLiteral("Figyelmeztetés"));
        result.targetRefused = true;
        return result;
    }
    const ExportFormat& format = *program.exportFormat;
    const ExportNames names = exportNames(program, request.workingFolder, institution.code, request.startMonth);
    removeLeftovers(program, request);

    bool shown = false;
    const auto hideProgress = [&] {
        if (shown && progress.hide)
            progress.hide();
        shown = false;
    };

    // 1. The working file: written whole or not at all.
    try {
        Selected selected(format, entered, selectionOf(request, institution.code));
        result.episodes = selected.count();
        if (progress.show)
            progress.show(result.episodes);
        shown = true;
        if (result.episodes == 0) {
            hideProgress();
            tell(format.emptySelectionMessage, format.emptySelectionTitle);
            return result;
        }
        platform::CrLfWriter out(names.workingFile);
        FileError e;
        if (!out.open(&e)) {
            hideProgress();
            tell(fileFailure(kWorkingFileFailed, e));
            return result;
        }
        qint64 done = 0;
        QString message;
        const bool written = selected.write(out, result.items, [&] {
            ++done;
            if (progress.advance)
                progress.advance(done, result.episodes);
        }, &message);
        if (!written) {
            out.discard();
            hideProgress();
            tell(message);
            return result;
        }
        if (!out.commit(&e)) {
            hideProgress();
            tell(fileFailure(kWorkingFileFailed, e));
            return result;
        }
    } catch (const DbError& e) {
        hideProgress();
        tell(databaseFailure(e));
        return result;
    }
    hideProgress();

    // 2. The accompanying list beside the working file, and its page.
    const AccompanyingList list{request.today, institution.code, institution.name, request.startYear,
                                request.startMonth, result.episodes, result.items};
    FileError e;
    if (!writeAccompanyingList(names.accompanyingList, list, &e)) {
        tell(fileFailure(QStringLiteral("Nem sikerült kiírni a kísérőjegyzéket."), e));
        return result;
    }
    if (msgBox(QStringLiteral("Kívánja nyomtatni a kísérőlapot?"), platform::Question | platform::YesNo,
               QStringLiteral("Kérdés"))
        == platform::MsgResult::Yes) {
        try {
            printAccompanyingList(platform::printer(), list);
        } catch (const platform::PrinterError& pe) {
            // The files are sound; only the page is missing.
            tell(QStringLiteral("A kísérőlap nyomtatása nem sikerült: %1").arg(pe.Description));
        }
    }

    // 3. The clerk's copy and the list's copy in the target folder, when the
    // target drive has room. The two go together: both are written whole
    // under temporary names first, then put in place, the export first and
    // the list last, so the folder never holds a new list beside an old
    // export; a failure before that leaves the folder as it was.
    const qint64 bytes = platform::fileSize(names.workingFile, &e);
    if (bytes < 0) {
        tell(fileFailure(QStringLiteral("Nem olvasható az exportfájl mérete."), e));
        return result;
    }
    if (roundedKb(bytes) > request.freeKb) {
        tell(QStringLiteral("Nem fér rá a floppyra! Filekiírás sikertelen, de mentésre került a ")
                 + platform::shownPath(request.workingFolder) + QStringLiteral(" könyvtár tlakt.txt filebe!"),
             QStringLiteral("Hiba!"));
        return result;
    }
    platform::StagedCopy exportCopy(names.workingFile, request.elpath);
    platform::StagedCopy listCopy(names.accompanyingList, joined(request.targetFolder, program.accompanyingListFile));
    const QString exportCopyFailed = QStringLiteral("Nem sikerült az exportfájlt a célkönyvtárba másolni.");
    const QString listCopyFailed = QStringLiteral("Nem sikerült a kísérőjegyzéket a célkönyvtárba másolni.");
    if (!exportCopy.write(&e)) {
        tell(fileFailure(exportCopyFailed, e));
        return result;
    }
    if (!listCopy.write(&e)) {
        tell(fileFailure(listCopyFailed, e));
        return result;
    }
    if (!exportCopy.place(&e)) {
        tell(fileFailure(exportCopyFailed, e));
        return result;
    }
    if (!listCopy.place(&e)) {
        tell(fileFailure(listCopyFailed, e));
        return result;
    }

    // 4. The diskette, on request, with this export's copy. Whatever comes
    // of it is told, and the export still ends with "Kész!": the working file
    // and the folder copy are made.
    if (!onDiskette(request.elpath)
        && msgBox(QStringLiteral("Feldolgozás kész!Kívánja floppyra menteni?"), platform::Question | platform::YesNo,
                  QStringLiteral("Kérdés"))
            == platform::MsgResult::Yes) {
        qint64 size = -1;
        if (disketteStep(retry, [&](FileError* err) { return (size = platform::fileSize(request.elpath, err)) >= 0; })) {
            if (size > kDisketteBytes)
                tell(QStringLiteral("Nem fér rá a floppyra!Filekiírás sikertelen!"), QStringLiteral("Hiba!"));
            else
                disketteStep(retry, [&](FileError* err) { return platform::copyFile(request.elpath, names.disketteCopy, err); });
        }
    }

    msgBox(QStringLiteral("Kész!"), platform::Exclamation);
    result.completed = true;
    return result;
}

} // namespace exchange
