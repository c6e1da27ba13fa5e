// The small pagination progress window: "Making" above the page count,
// shown while a preview paginates. Placed over the lower-right corner of the
// screen, where the taskbar clock usually sits.
//
// Work that comes before the pagination (reading the rows, building the
// document) may show it from its start with the rows read so far. While it
// is open the program's windows go on repainting (keepAlive), the clerk's
// input waits until the work is done, and no window of the program closes.
#pragma once

#include <QElapsedTimer>
#include <QLabel>
#include <QWidget>

namespace printlib {

class frmPaginateStatus : public QWidget {
    Q_OBJECT
public:
    frmPaginateStatus();
    ~frmPaginateStatus() override;
    // Writes "Page: n"; it shows at the next keepAlive.
    void setPage(int page);
    // Writes "Olvasva: n", the rows read so far, before any page is laid out.
    void setRead(int count);
    // Lets pending events other than the clerk's input run, in slices of at
    // most 20 ms no more often than every 50 ms, so the windows repaint.
    // Cheap enough to call for every row.
    void keepAlive();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QElapsedTimer m_sinceEvents;

public:
    QLabel* lbl;
    QLabel* lblStatus;
};

} // namespace printlib
