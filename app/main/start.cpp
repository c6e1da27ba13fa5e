#include "app/main/start.h"

#include "app/common/dataaction.h"
#include "app/common/kezdo.h"
#include "app/common/module1.h"
#include "app/common/programinfo.h"
#include "platform/db/dataconnection.h"
#include "platform/print/printer.h"
#include "platform/ui/dbgrid.h"
#include "printlib/libwindows.h"
#include "platform/ui/msgbox.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QPainter>
#include <QProxyStyle>
#include <QTranslator>

#include <exception>

namespace {

// A database error that a handler did not take up itself (a lock held too
// long while a list is read, a full disk) is told to the clerk in Hungarian,
// naming the file, and the program runs on: the writes of an action undo
// themselves as the error leaves them. Any other unexpected error ends the
// program, with its words in front of the clerk first.
class Application : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const platform::db::DbError& e) {
            if (!m_failing)
                showDataError(e);
        } catch (const std::exception& e) {
            fail(QString::fromLocal8Bit(e.what()));
        }
        return true;
    }

private:
    void fail(const QString& message)
    {
        if (m_failing)
            return;
        m_failing = true;
        platform::msgBox(message, platform::Critical, QStringLiteral("Hiba"));
        EndProgram(1);
    }
    bool m_failing = false;
};

// The extension buttons of the menu bar and the toolbar, shown only when
// their items do not fit (never, in this window), get a drawn arrow. The
// style's own are picture files, and the first picture file read loads
// every image-format plugin, before the window is on the screen.
class ShellStyle : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const override
    {
        if (icon != SP_ToolBarHorizontalExtensionButton && icon != SP_ToolBarVerticalExtensionButton)
            return QProxyStyle::standardIcon(icon, option, widget);
        QPixmap pm(16, 16);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(40, 40, 60), 1.5));
        for (int offset : {3, 8}) {
            if (icon == SP_ToolBarHorizontalExtensionButton)
                p.drawPolyline(QPolygonF{QPointF(offset, 4), QPointF(offset + 4, 8), QPointF(offset, 12)});
            else
                p.drawPolyline(QPolygonF{QPointF(4, offset), QPointF(8, offset + 4), QPointF(12, offset)});
        }
        p.end();
        return QIcon(pm);
    }
};

} // namespace

int runProgram(const ProgramInfo& info, int argc, char** argv)
{
    // The menus stay in the window: the clerks know them there, and asking
    // the desktop for a global menu bar costs the start a round on the
    // session bus.
    QApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    Application app(argc, argv);
    QApplication::setStyle(new ShellStyle);
    QApplication::setApplicationName(info.name);
    ProgramInfo::setCurrent(info);
    platform::setDefaultMsgBoxTitle(info.name);
    // A read the clerk did not ask for (a grid painting its rows) is refused
    // with the same box as an action.
    platform::setDataErrorReporter([](const platform::db::DbError& e) { showDataError(e); });

    // The clerks read Hungarian: standard buttons say "Igen"/"Nem", not "Yes"/"No".
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_hu"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    // Printed and previewed pages measure text with the same fonts on every
    // machine, and the print library shows its own boxes and print dialog.
    platform::registerFontSubstitutions();
    printlib::installLibraryWindows();

    // The database files belong to the clerk's working folder; a missing
    // one is reported and never created in its place.
    // The files stay open from the check to the window, which then works on
    // these connections: each file is opened once.
    std::vector<std::shared_ptr<platform::db::Database>> files;
    if (!checkDatabaseFiles(info, QDir::currentPath(), &files))
        return 1;

    try {
        kezdo window(info);
        window.show();
        // The first activation may already have ended the program (a second
        // instance, unsuitable regional formats).
        if (programEndRequested())
            return programExitCode();
        bool anyVisible = false;
        for (QWidget* w : QApplication::topLevelWidgets())
            anyVisible = anyVisible || (w->isWindow() && w->isVisible());
        if (!anyVisible)
            return 0;
        const int code = QApplication::exec();
        return programEndRequested() ? programExitCode() : code;
    } catch (const platform::db::DbError& e) {
        platform::msgBox(e.clerkText(), platform::Critical, QStringLiteral("Hiba"));
        return 1;
    }
}
