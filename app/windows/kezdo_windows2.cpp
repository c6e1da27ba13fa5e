// The main window's handlers that open the overview of the entered data.
#include "app/common/kezdo.h"

#include "app/windows/attekintform.h"

#include <QPointer>

void kezdo::mind_Click()
{
    // A window of its own, not a child of the hidden main window: with the
    // main window hidden it is what keeps the program running (closing the
    // item list's preview must not end it). Loaded anew each time, with the
    // record sources and texts of load time.
    QPointer<kezdo> main(this);
    auto* overview = new attekintform(program(), [main] {
        if (main)
            main->comeBack();
    });
    overview->setAttribute(Qt::WA_DeleteOnClose);
    connect(this, &QObject::destroyed, overview, &QObject::deleteLater);
    overview->show();
    hide();
}
