// printlib_demo: opens the print library's demonstration window "Test". When
// the sample Projectek.mdb is missing beside the program it is made from the
// source tree's sample script, so the demonstration works right after a build.
#include "platform/db/dataconnection.h"
#include "platform/print/printer.h"
#include "printlib/frmDemo.h"
#include "printlib/libwindows.h"

#include <QApplication>
#include <QDir>
#include <QFile>

namespace {

void ensureSampleDatabase(const QString& path)
{
#ifdef RAFORDIT_SOURCE_DIR
    if (QFile::exists(path))
        return;
    QFile script(QStringLiteral(RAFORDIT_SOURCE_DIR "/data/sample/Projectek.sql"));
    if (!script.open(QIODevice::ReadOnly))
        return;
    try {
        platform::db::Database::create(path)->execScript(QString::fromUtf8(script.readAll()));
    } catch (const platform::db::DbError&) {
        QFile::remove(path); // the window reports the missing file
    }
#else
    Q_UNUSED(path);
#endif
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("printlib_demo"));
    platform::registerFontSubstitutions();
    printlib::installLibraryWindows();
    printlib::frmTest window;
    ensureSampleDatabase(window.databasePath);
    window.show();
    return app.exec();
}
