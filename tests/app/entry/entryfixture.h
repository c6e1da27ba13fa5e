// A fresh data folder of the surgical program per test, with the data
// connections the item tabs work through, a small code table of our own and
// a plain stand-in for the ten surgery slots.
#pragma once

#include "app/entry/slots.h"

#include "tests/support/qtprinters.h"
#include "tests/support/scriptedboxes.h"

#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace platform::db {
class Database;
class DataConnection;
}

struct FakeSlots : entry::SlotView {
    std::array<QString, entry::kSlotCount> code;
    std::array<QString, entry::kSlotCount> duration;
    std::array<QColor, entry::kSlotCount> codeColour;
    std::array<QColor, entry::kSlotCount> durationColour;
    std::array<bool, entry::kSlotCount> enabled{};

    FakeSlots();
    QString codeText(int s) const override { return code[s]; }
    QString durationText(int s) const override { return duration[s]; }
    QColor codeBackground(int s) const override { return codeColour[s]; }
    void setSlotBackground(int s, const QColor& c) override { codeColour[s] = durationColour[s] = c; }
    bool slotEnabled(int s) const override { return enabled[s]; }
    void enableSlot(int s) override { enabled[s] = true; }
};

class EntryDataFolder : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::shared_ptr<platform::db::Database> entered() const { return m_entered; }
    std::shared_ptr<platform::db::Database> codes() const { return m_codes; }

    // Replaces a code table's rows: (code, name, unit, price) per row, in
    // this stored order.
    void setDrugs(const QList<QStringList>& rows);
    void setMaterials(const QList<QStringList>& rows);
    void setDiagnostics(const QList<QStringList>& rows);
    void setSurgeryCodes(const QStringList& codes);

    void addItemRow(const QString& azonosito, const QString& rkod, const QString& azonB, const QString& mkod);
    void addSurgery(const QString& azonosito, const QString& mkod);

    // Codes held by a connection's record set, in its order.
    static QStringList codesOf(platform::db::DataConnection& c, const QString& column);
    // "Rkod/AzonB" of the episode's items, in stored order.
    QStringList itemsOf(const QString& azonosito);

    std::unique_ptr<platform::db::DataConnection> Data5, Data6, Data7, Data8, Data11, Data12;
    testsupport::ScriptedBoxes boxes;

private:
    void setCodes(const QString& table, const QString& columns, const QList<QStringList>& rows);

    QTemporaryDir m_dir;
    std::shared_ptr<platform::db::Database> m_entered;
    std::shared_ptr<platform::db::Database> m_codes;
};
