#include "tests/app/import/tlvfixture.h"

#include "app/exchange/tlvrec.h"
#include "platform/db/dataconnection.h"
#include "platform/sys/codepage.h"
#include "tests/support/datafolder_fixture.h"

#include <QFile>

#include <cstring>

TlvRecord::TlvRecord() : m_bytes(exchange::kTlvDataLength, ' ')
{
    m_bytes.append("\r\n");
    set("Munkahely_azon", QStringLiteral("1234E0101"));
    set("Torzsszam", QStringLiteral("111111111"));
    set("Sorszám", QStringLiteral("01"));
    set("Szemelyaz", QStringLiteral("123456788"));
    set("Szul_datum", QStringLiteral("19560312"));
    set("Felv", QStringLiteral("200508241230"));
    set("Tav", QStringLiteral("200508301005"));
    set("Tov_sors", QStringLiteral("3"));
    set("Betegseg", QStringLiteral("I2100"));
    surgeryCode(1, QStringLiteral("11111"));
}

TlvRecord& TlvRecord::set(const char* name, const QString& text)
{
    for (const exchange::TlvField& f : exchange::tlvFields()) {
        if (std::strcmp(f.name, name) != 0)
            continue;
        QByteArray bytes;
        EXPECT_TRUE(platform::encodeCp1250(text, bytes)) << name;
        bytes = bytes.left(f.width).leftJustified(f.width, ' ');
        m_bytes.replace(f.offset, f.width, bytes);
        return *this;
    }
    ADD_FAILURE() << "no field " << name;
    return *this;
}

TlvRecord& TlvRecord::surgeryCode(int k, const QString& code)
{
    const int offset = 229 + 32 * (k - 1) + 24;
    m_bytes.replace(offset, 5, code.toLatin1().leftJustified(5, ' '));
    return *this;
}

TlvRecord& TlvRecord::rawByte(int offset, char byte)
{
    m_bytes[offset] = byte;
    return *this;
}

void ImportTest::SetUp()
{
    ASSERT_TRUE(files.isValid());
    m_data = std::make_unique<testsupport::TempDataFolder>(program());
}

void ImportTest::TearDown()
{
    m_data.reset();
}

QString ImportTest::dataFolder() const
{
    return m_data->path();
}

QString ImportTest::writeFile(const QString& name, const QByteArray& bytes)
{
    const QString path = files.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    return path;
}

QByteArray ImportTest::records(int n, const TlvRecord& record)
{
    QByteArray out;
    for (int i = 0; i < n; ++i)
        out += record.bytes();
    return out;
}

std::shared_ptr<platform::db::Database> ImportTest::converted()
{
    return m_data->converted();
}

int ImportTest::konvCount()
{
    return converted()->scalar(QStringLiteral("select count(*) from konv")).toInt();
}

QVariant ImportTest::konvValue(int n, const char* column)
{
    return converted()->scalar(
        QStringLiteral("select \"%1\" from konv order by rowid limit 1 offset ?").arg(QString::fromUtf8(column)),
        {n - 1});
}
