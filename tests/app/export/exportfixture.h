// A data folder of a program, made the working folder for the test, with the
// drives a: (diskette) and c: as folders inside it, a target folder
// c:\export, the institution 1234, a fixed date, scripted boxes and a
// recording printer.
#pragma once

#include "app/common/programinfo.h"
#include "app/exchange/monthlyexport.h"
#include "platform/print/recordingdevice.h"
#include "platform/sys/regional.h"
#include "tests/support/datafolder_fixture.h"
#include "tests/support/qtprinters.h"
#include "tests/support/scriptedboxes.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QVariant>

#include <memory>
#include <optional>

class ExportFixture : public ::testing::Test {
protected:
    explicit ExportFixture(const ProgramInfo& program = ProgramInfo::sebrix()) : m_program(program) {}
    void SetUp() override;
    void TearDown() override;

    const ProgramInfo& program() const { return m_program; }
    platform::db::Database& db() { return *data->entered(); }
    QString folder() const { return data->path(); }
    QString diskette() const;     // the folder of a:
    QString targetFolder() const; // the folder of c:\export

    struct Episode {
        QString intKod = QStringLiteral("1234");
        QString tSzam = QStringLiteral("123456789");
        QString fdat = QStringLiteral("2005.08.01.");
        QVariant vjel = true;
        bool manual = false;
    };
    // Stores an episode (admitted 08:30, discharged 2005.08.05. 14:05, ward
    // 0101, outcome 2); returns its identifier.
    qlonglong episode(const Episode& e);
    qlonglong episode() { return episode(Episode{}); }
    void item(qlonglong episode, const QString& rkod, const QString& rmen, const QVariant& mido = QStringLiteral("01:30:00"));
    // `count` items of one code, in one transaction.
    void items(qlonglong episode, const QString& rkod, int count);
    void surgery(qlonglong episode, const QString& mkod);

    // The export of August 2005 to c:\export\mtlvraf123408.txt.
    exchange::ExportRequest monthRequest() const;
    exchange::ExportResult run(const exchange::ExportRequest& request, const exchange::RetryPolicy& retry = {1, 0});

    static QByteArray read(const QString& path);
    static void write(const QString& path, const QByteArray& bytes);

    std::unique_ptr<testsupport::TempDataFolder> data;
    testsupport::ScriptedBoxes boxes;
    platform::RecordingDevice* printerDevice = nullptr;
    std::optional<platform::ScopedRegional> regional;

private:
    const ProgramInfo& m_program;
    QString m_previousFolder;
};

// The same for the ward program.
class WardExportFixture : public ExportFixture {
protected:
    WardExportFixture() : ExportFixture(ProgramInfo::zorivozure()) {}
};
