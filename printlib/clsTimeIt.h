// A stopwatch for timing a stretch of the program by hand: Start, then TimeIt
// shows the seconds since in a plain message box.
#pragma once

#include <QElapsedTimer>

namespace printlib {

class clsTimeIt {
public:
    void Start();
    // Seconds since Start (0 before it).
    double elapsedSeconds() const;
    // Shows the elapsed seconds, e.g. "1.25", with one OK button.
    void TimeIt() const;

private:
    QElapsedTimer m_timer;
};

} // namespace printlib
