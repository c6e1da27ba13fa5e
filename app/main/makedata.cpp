// rafordit_makedata <folder> [sebrix|zorivozure|both|projectek|all]
// Sets up a data folder: the database files of the chosen program(s), and on
// request the demonstration window's Projectek.mdb. Files already there are
// left as they are, so a clerk's data are never overwritten.
#include "app/common/datafolder.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() < 2 || args.size() > 3) {
        err << "Usage: rafordit_makedata <folder> [sebrix|zorivozure|both|projectek|all]\n";
        return 2;
    }
    const QString folder = args.at(1);
    const QString which = args.size() == 3 ? args.at(2).toLower() : QStringLiteral("both");
    const bool surgical = which == u"sebrix" || which == u"both" || which == u"all";
    const bool ward = which == u"zorivozure" || which == u"both" || which == u"all";
    const bool projectek = which == u"projectek" || which == u"all";
    if (!surgical && !ward && !projectek) {
        err << "Unknown program: " << which << "\n";
        return 2;
    }

    DataFolderReport report;
    QString error;
    bool ok = true;
    if (ok && surgical)
        ok = makeDataFolder(folder, ProgramInfo::sebrix(), &error, &report);
    if (ok && ward)
        ok = makeDataFolder(folder, ProgramInfo::zorivozure(), &error, &report);
    if (ok && projectek)
        ok = makeProjectekFile(folder, &error, &report);

    for (const QString& path : report.made)
        out << "made: " << path << "\n";
    for (const QString& path : report.kept)
        out << "kept (already there): " << path << "\n";
    out.flush();
    if (!ok) {
        err << "failed: " << error << "\n";
        return 1;
    }
    return 0;
}
