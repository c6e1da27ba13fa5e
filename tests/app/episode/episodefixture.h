// A fresh data folder of the surgical program per test, with the three
// database files opened, and small helpers that put converted records and
// items into it.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QVariant>

#include <gtest/gtest.h>

#include <memory>

namespace platform::db {
class Database;
}
struct ProgramInfo;

class EpisodeDataFolder : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The program whose data folder the test works in.
    virtual const ProgramInfo& program() const;

    QString folder() const { return m_dir.path(); }
    QString convertedPath() const;
    std::shared_ptr<platform::db::Database> entered() const { return m_entered; }
    std::shared_ptr<platform::db::Database> converted() const { return m_converted; }

    // Adds a converted record; returns its row key.
    QVariant addKonv(const QString& torzsszam, const QVariant& beavatkoz, bool feldolgozva,
                     const QString& munkahely = QStringLiteral("1234E0101"));
    void addItem(const QString& azonosito, const QString& rkod, const QString& mkod = QString());
    void addWard(const QString& okod, const QString& ojelleg);
    void setInstitution(const QString& kod, const QString& nev);

private:
    QTemporaryDir m_dir;
    std::shared_ptr<platform::db::Database> m_entered;
    std::shared_ptr<platform::db::Database> m_converted;
};
