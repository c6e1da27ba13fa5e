// Inpatient-report files for the import tests: records built field by field
// in Windows-1250, written into a temporary folder, and a fresh data folder
// of the program whose import runs.
#pragma once

#include "app/common/programinfo.h"
#include "tests/support/datafolder_fixture.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace platform::db {
class Database;
}

// One 650-byte record: every field blank except those set, CR LF at the end.
// A plausible episode by default: institution 1234, care type E, ward 0101,
// register number 111111111, first intervention code 11111.
class TlvRecord {
public:
    TlvRecord();
    // Writes text (Windows-1250) into the named field, padded with blanks
    // to the field's width.
    TlvRecord& set(const char* field, const QString& text);
    // The code of intervention entry k (1..10).
    TlvRecord& surgeryCode(int k, const QString& code);
    TlvRecord& rawByte(int offset, char byte);
    QByteArray bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

class ImportTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    virtual const ProgramInfo& program() const { return ProgramInfo::sebrix(); }

    // Writes bytes into a file of the temporary folder; returns its path.
    QString writeFile(const QString& name, const QByteArray& bytes);
    static QByteArray records(int n, const TlvRecord& record = TlvRecord());

    std::shared_ptr<platform::db::Database> converted();
    int konvCount();
    // One column of the n-th konv row (from 1, in stored order).
    QVariant konvValue(int n, const char* column);

    QString dataFolder() const;
    QTemporaryDir files;

private:
    std::unique_ptr<testsupport::TempDataFolder> m_data;
};
