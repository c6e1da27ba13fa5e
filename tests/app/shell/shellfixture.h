// A fresh data folder per test, made the working folder for the test's
// length, and a main window opened in it with scripted boxes, a fixed clock,
// the shipped regional formats and no other instance running.
#pragma once

#include "app/common/kezdo.h"
#include "app/common/programinfo.h"
#include "platform/sys/regional.h"
#include "tests/support/scriptedboxes.h"

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

namespace platform::db {
class Database;
}

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens the main window of the program (shown, not yet activated).
    kezdo& open(const ProgramInfo& info = ProgramInfo::sebrix());
    // Makes the window the program's active window, as the window system
    // does when it is shown or comes back.
    void activate(QWidget* window);
    // Opens the program afresh, lets `store` fill its entered data and
    // starts the review ("Tételesen").
    kezdo& reviewStored(const ProgramInfo& info, const std::function<void(platform::db::Database&)>& store);

    QString folder() const { return m_dir.path(); }

    testsupport::ScriptedBoxes boxes;
    std::unique_ptr<kezdo> window;
    // 2005.08.24. 09:59:00 unless a test sets its own.
    std::optional<platform::ScopedRegional> regional;

private:
    QTemporaryDir m_dir;
    QString m_previousFolder;
};

// Two complete episodes, as a clerk stores them, in place of any stored
// before.
void storeTwoEpisodes(platform::db::Database& entered);
