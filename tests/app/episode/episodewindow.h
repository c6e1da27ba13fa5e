// The real main window of the surgical program, opened in a fresh data
// folder with a fixed clock, the shipped regional formats and scripted boxes.
#pragma once

#include "tests/app/episode/episodefixture.h"

#include "app/common/kezdo.h"
#include "platform/sys/regional.h"
#include "tests/support/scriptedboxes.h"

#include <memory>
#include <optional>
#include <string>

class EpisodeWindowTest : public EpisodeDataFolder {
protected:
    void SetUp() override;
    void TearDown() override;

    kezdo& open();
    // Puts the focus on a control as the clerk would, and lets the queued
    // LostFocus and GotFocus handlers run.
    void focusOn(QWidget* control);
    // Puts the focus on a control and types the text into it key by key.
    void typeInto(QWidget* control, const QString& text);
    // Fills the header of a typed-in episode with valid values.
    void fillManualHeader(const QString& registerNumber);
    // The stored value of one field of one episode.
    QVariant stored(qint64 azonosito, const char* field);
    int count(const char* sql);
    // Every row of an entered-data table (rowid first, then every column with
    // its stored type), in rowid order; only the rows the condition selects
    // when one is given. Empty for a table the program's file does not have.
    QStringList tableRows(const QString& table, const QString& where = QString());
    // What the episode header shows: every field's text and check state, the
    // stored mark and the keep boxes, and the colours of the patient fields.
    QStringList headerState();

    testsupport::ScriptedBoxes boxes;
    std::unique_ptr<kezdo> window;
    std::optional<platform::ScopedRegional> regional;

private:
    QString m_previousFolder;
};

// The same window in either program, the institution already set.
// Parameter: the ward program.
class BothProgramsWindowTest : public EpisodeWindowTest, public ::testing::WithParamInterface<bool> {
protected:
    const ProgramInfo& program() const override;
    bool wardProgram() const { return GetParam(); }
    void SetUp() override;
};

// Names an instance after its program: "Sebrix" or "Zorivozure".
std::string programName(const ::testing::TestParamInfo<bool>& info);
