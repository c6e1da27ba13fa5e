// A window with the old window events. Windows that are QMainWindows use
// platform::Events directly (see events.h); plain windows may derive from
// LegacyForm and override the handlers they need.
#pragma once

#include "platform/ui/events.h"

#include <QWidget>

namespace platform {

class LegacyForm : public QWidget {
    Q_OBJECT
public:
    explicit LegacyForm(QWidget* parent = nullptr);

    Events& events() { return m_events; }

    // Centres the window on its screen, as the old windows do when loaded or
    // activated.
    void centre();

protected:
    // Runs when the window becomes the program's active window (events.h).
    virtual void Form_Activate() {}
    // Closing: set cancel to nonzero to keep the window open. unloadMode is 0
    // for the close box, 1 for closing by code.
    virtual void Form_QueryUnload(int& cancel, int unloadMode) { Q_UNUSED(cancel); Q_UNUSED(unloadMode); }
    virtual void Form_Unload(int& cancel) { Q_UNUSED(cancel); }

    void closeEvent(QCloseEvent* event) override;

    // Closes by code (unload mode 1); returns false when a handler refused.
    bool unload();

private:
    Events m_events{this};
    bool m_closingByCode = false;
};

// Centres any top-level window on its screen.
void centreWindow(QWidget* window);

} // namespace platform
