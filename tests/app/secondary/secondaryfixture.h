// The real main window of a program, opened in a fresh data folder (made the
// working folder for the test's length) with scripted boxes, the shipped
// regional formats and a fixed clock, for the windows it opens beside itself.
#pragma once

#include "app/common/kezdo.h"
#include "app/common/programinfo.h"
#include "platform/sys/regional.h"
#include "tests/support/scriptedboxes.h"

#include <QTemporaryDir>
#include <QVariant>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace platform::db {
class Database;
}

class SecondaryTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    kezdo& open(const ProgramInfo& info = ProgramInfo::sebrix());
    // Makes the window the program's active one, as the window system does.
    void activate(QWidget* window);
    // Puts the focus on a control as a clerk would, and lets the queued
    // focus handlers run.
    void focusOn(QWidget* control);
    // Types the text key by key into the control that has the focus.
    void typeInto(QWidget* control, const QString& text);
    // A real left click on a control; queued events are not
    // run first, as when a clerk clicks straight after typing.
    static void clickOn(QWidget* control);
    // Lets queued events and focus handlers run.
    static void settle();

    std::shared_ptr<platform::db::Database> entered();
    std::shared_ptr<platform::db::Database> converted();
    QVariant scalar(const QString& sql, const QVariantList& params = {});
    QString folder() const { return m_dir.path(); }

    testsupport::ScriptedBoxes boxes;
    std::unique_ptr<kezdo> window;
    std::optional<platform::ScopedRegional> regional;

private:
    QTemporaryDir m_dir;
    QString m_previousFolder;
    const ProgramInfo* m_info = &ProgramInfo::sebrix();
};
