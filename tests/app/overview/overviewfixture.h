// A fresh data folder per test, made the working folder, with a recording
// printer, scripted boxes, a fixed clock and a preview that is only counted;
// helpers put episodes, surgeries and items into the entered-data file.
#pragma once

#include "app/common/programinfo.h"
#include "platform/print/recordingdevice.h"
#include "platform/sys/regional.h"
#include "tests/support/scriptedboxes.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <gtest/gtest.h>

#include <memory>
#include <vector>
#include <optional>

namespace platform::db {
class Database;
class DataConnection;
}
class attekintform;

// A text as a recorded page holds it, in millimetres from the printable
// area's top-left corner: where its line starts and ends by the metrics of
// the font it was drawn in, and the part of it that its clip lets through.
struct DrawnText {
    QString text;
    double y = 0;
    double left = 0, right = 0;         // the whole line
    double shownLeft = 0, shownRight = 0; // after clipping
    double points = 0;                  // font size
    bool whole() const { return shownLeft <= left + 1e-6 && shownRight >= right - 1e-6; }
};
std::vector<DrawnText> drawnTexts(const platform::RecordedPage& page, double dpi = 600);
// The texts of a page grouped by row, top to bottom: a text within 2 mm
// below a row's first text belongs to that row (rows are 5 mm apart); each
// row's texts from left to right.
std::vector<std::vector<DrawnText>> drawnRows(const platform::RecordedPage& page, double dpi = 600);
// Pairs of texts of one row whose shown parts overlap, as "a | b".
QStringList overlaps(const std::vector<DrawnText>& row);

class OverviewTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    virtual const ProgramInfo& program() const { return ProgramInfo::sebrix(); }

    std::shared_ptr<platform::db::Database> entered() const { return m_entered; }

    void addEpisode(int id, const QString& tSzam, const QString& okod = QStringLiteral("0101"));
    void addSurgery(int id, const QString& mkod, const QString& mido = QStringLiteral("01:30:00"));
    void addItem(int id, const QString& rkod, const QString& mkod = QString(), const QVariant& price = 100.0,
                 const QVariant& value = 250.0, const QVariant& me = QStringLiteral("db"),
                 const QString& name = QStringLiteral("Tétel"));
    void setInstitution(const QString& kod, const QString& nev);
    int count(const QString& sql, const QVariantList& params = {});

    // The overview, opened and activated as the window system does.
    attekintform& open();

    // Values of one column of a connection's rows, in its order.
    static QStringList column(platform::db::DataConnection& c, const QString& field);

    // Deletes an episode while another program holds the file (a write lock,
    // or a read that keeps the commit out) and checks that the refusal is
    // told and leaves the rows and the whole window as they were.
    void expectRefusedDeletesLeaveTheWindowAsItWas();

    testsupport::ScriptedBoxes boxes;
    platform::RecordingDevice* printerDevice = nullptr;
    std::unique_ptr<attekintform> window;
    int comeBacks = 0;
    int previews = 0;
    int previewPages = 0;
    // Prints the previewed document on the recording printer while its
    // preview is open (the window releases it once the preview closes).
    bool printWhilePreviewed = false;

private:
    QTemporaryDir m_dir;
    QString m_previousFolder;
    std::optional<platform::ScopedRegional> m_regional;
    std::shared_ptr<platform::db::Database> m_entered;
};
