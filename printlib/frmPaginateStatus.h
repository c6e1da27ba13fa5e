// The small pagination progress window: "Making" above the page count,
// shown while a preview paginates. Placed over the lower-right corner of the
// screen, where the taskbar clock usually sits.
#pragma once

#include <QLabel>
#include <QWidget>

namespace printlib {

class frmPaginateStatus : public QWidget {
    Q_OBJECT
public:
    frmPaginateStatus();
    // Writes "Page: n" and repaints at once (pagination lets no events through).
    void setPage(int page);

    QLabel* lbl;
    QLabel* lblStatus;
};

} // namespace printlib
