#include "app/common/module1.h"

#include "app/common/datafolder.h"
#include "app/common/programinfo.h"
#include "platform/ui/msgbox.h"

#include <QDir>
#include <QFileInfo>

#include <QApplication>
#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

namespace {
bool g_endRequested = false;
int g_exitCode = 0;
}

void UnloadAllForms()
{
    // Collect first: closing a window may delete it or open no other, but the
    // list of top-level widgets changes while we walk it.
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isWindow() && !w->inherits("QMenu"))
            windows.append(w);
    }
    for (const QPointer<QWidget>& w : windows) {
        if (w && w->isVisible())
            w->close();
        else if (w)
            w->hide();
    }
    // With every window closed nothing keeps the program alive.
    QCoreApplication::quit();
}

void EndProgram(int exitCode)
{
    g_endRequested = true;
    g_exitCode = exitCode;
    // Hide without running the windows' closing handlers: the program ends,
    // it does not unload anything.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isWindow() && w->isVisible())
            w->hide();
    }
    QCoreApplication::exit(exitCode);
}

bool programEndRequested()
{
    return g_endRequested;
}

int programExitCode()
{
    return g_exitCode;
}

void resetProgramEnd()
{
    g_endRequested = false;
    g_exitCode = 0;
}

bool checkDatabaseFiles(const ProgramInfo& info, const QString& folder,
                        std::vector<std::shared_ptr<platform::db::Database>>* opened)
{
    const QDir dir(folder);
    const QString where = QDir::toNativeSeparators(dir.absolutePath());
    const DataFolderScripts scripts = dataFolderScripts(info);
    const std::pair<QString, QStringList> files[] = {
        {info.enteredDataFile, scripts.entered},
        {info.codeTableFile, scripts.codes},
        {info.convertedFile, scripts.converted},
    };
    for (const auto& [file, made] : files) {
        if (!QFileInfo(dir.filePath(file)).isFile()) {
            platform::msgBox(QStringLiteral("Hiányzik a(z) %1 adatbázisfájl a munkamappából:\n%2").arg(file, where),
                             platform::Critical, QStringLiteral("Hiba"));
            return false;
        }
    }
    // Only a file the program cannot work on at all ends it here; a file it
    // merely cannot write (read-only, locked) is reported when a write fails.
    for (const auto& [file, made] : files) {
        std::shared_ptr<platform::db::Database> db;
        const QString problem = dataFileProblem(dir.filePath(file), made, &db);
        if (opened && db)
            opened->push_back(db);
        if (!problem.isEmpty()) {
            platform::msgBox(QStringLiteral("%1\nMunkamappa: %2").arg(problem, where), platform::Critical,
                             QStringLiteral("Hiba"));
            return false;
        }
    }
    return true;
}
