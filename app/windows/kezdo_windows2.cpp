// The main window's handlers that open the overview of the entered data.
#include "app/common/kezdo.h"

#include "app/windows/attekintform.h"

void kezdo::mind_Click()
{
    // Loaded anew each time, with the record sources and texts of load time.
    auto* overview = new attekintform(program(), [this] { comeBack(); }, this);
    overview->setAttribute(Qt::WA_DeleteOnClose);
    overview->show();
    hide();
}
