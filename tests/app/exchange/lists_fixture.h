// A data folder and a recording printer for the printed control lists.
//
// The recorder's paper is A3, whose landscape page holds every row of the
// lists at full height, so a text's position reads back as the character
// cell it was placed in (column = x / 120 twips, row = y / 240 twips).
#pragma once

#include "app/common/programinfo.h"
#include "platform/db/dataconnection.h"
#include "platform/print/recordingdevice.h"
#include "platform/sys/regional.h"
#include "platform/ui/msgbox.h"
#include "tests/support/datafolder_fixture.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace liststest {

class ListsFixture : public ::testing::Test {
public:
    static constexpr double kDpi = 600;

protected:
    explicit ListsFixture(const ProgramInfo& program = ProgramInfo::sebrix());
    void SetUp() override;
    void TearDown() override;

    platform::db::Database& db() { return *folder.entered(); }

    void institution(const QString& code, const QString& name);
    // An episode row; returns its identifier.
    struct Episode {
        QString tSzam = QStringLiteral("123456789");
        QString tsor = QStringLiteral("0");
        QString fdat = QStringLiteral("2005.03.01.");
        QString tdat = QStringLiteral("2005.03.10.");
        QString okod = QStringLiteral("0101");
        QString ojele = QStringLiteral("A");
        QVariant vjel = false;
        bool manual = true;
        QVariant betegseg;
        QVariant beavatkoz;
    };
    qlonglong episode(const Episode& e);
    struct Item {
        QString rkod = QStringLiteral("G0001");
        QString name = QStringLiteral("Gyógyszer");
        QString me = QStringLiteral("db");
        QVariant pont = 0;
        QString rmen = QStringLiteral("1,00");
        QVariant price = 100.0;
        QVariant value = 100.0;
        bool manual = true;
        QString fdat = QStringLiteral("2005.03.01.");
    };
    void item(qlonglong episode, const Item& it);

    const std::vector<platform::RecordedDocument>& documents() const { return device->documents(); }
    // The texts of a page as "column,row:text", in drawing order, with the
    // position in whole cells (a text off the cell grid shows its fraction).
    static QStringList cells(const platform::RecordedPage& page);
    // The texts of a page at one row.
    static QStringList row(const platform::RecordedPage& page, int r);
    // The font size in points of the first text at a row.
    static double pointSizeAt(const platform::RecordedPage& page, int r);

    testsupport::TempDataFolder folder;
    platform::RecordingDevice* device = nullptr;
};

class WardListsFixture : public ListsFixture {
protected:
    WardListsFixture() : ListsFixture(ProgramInfo::zorivozure()) {}
};

} // namespace liststest
