#include "tests/app/episode/episodefixture.h"

#include "app/common/datafolder.h"
#include "app/common/programinfo.h"
#include "platform/db/dataconnection.h"

#include <QDir>

using platform::db::Database;

void EpisodeDataFolder::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    const ProgramInfo& info = program();
    QString error;
    ASSERT_TRUE(makeDataFolder(m_dir.path(), info, &error)) << error.toStdString();
    m_entered = Database::open(QDir(m_dir.path()).filePath(info.enteredDataFile));
    m_converted = Database::open(convertedPath());
}

void EpisodeDataFolder::TearDown()
{
    m_entered.reset();
    m_converted.reset();
}

const ProgramInfo& EpisodeDataFolder::program() const
{
    return ProgramInfo::sebrix();
}

QString EpisodeDataFolder::convertedPath() const
{
    return QDir(m_dir.path()).filePath(program().convertedFile);
}

QVariant EpisodeDataFolder::addKonv(const QString& torzsszam, const QVariant& beavatkoz, bool feldolgozva,
                                    const QString& munkahely)
{
    m_converted->exec(QStringLiteral("insert into konv (Munkahely_azon, Torzsszam, Szemelyaz, Sorszám, Felv_dat, "
                                     "Felv_tim, Tav_dat, Tav_tim, Tov_sors, Betegseg, Beavatkoz, Feldolgozva) "
                                     "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                      {munkahely, torzsszam, QStringLiteral("123456788"), QStringLiteral("01"),
                       QStringLiteral("2005.08.24"), QStringLiteral("08:05:00"), QStringLiteral("2005.08.30"),
                       QStringLiteral("12:40:00"), QStringLiteral("3"), QStringLiteral("I2100"), beavatkoz,
                       feldolgozva});
    return m_converted->scalar(QStringLiteral("select max(rowid) from konv"));
}

void EpisodeDataFolder::addItem(const QString& azonosito, const QString& rkod, const QString& mkod)
{
    m_entered->exec(QStringLiteral("insert into Ráfkódok (Azonosito, Rkod, Rmen, Tipus, Mkod, AzonB) "
                                   "values (?, ?, '1', 'G', ?, '0')"),
                    {azonosito, rkod, mkod});
}

void EpisodeDataFolder::addWard(const QString& okod, const QString& ojelleg)
{
    m_entered->exec(QStringLiteral("insert into Osztálykódok (Okod, Megnevezés, Ojelleg) values (?, ?, ?)"),
                    {okod, QStringLiteral("Osztály ") + okod, ojelleg});
}

void EpisodeDataFolder::setInstitution(const QString& kod, const QString& nev)
{
    m_entered->exec(QStringLiteral("insert into intadatok (int_kod, Int_neve) values (?, ?)"), {kod, nev});
}
