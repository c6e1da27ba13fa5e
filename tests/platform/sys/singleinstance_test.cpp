#include "platform/sys/singleinstance.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace platform;

namespace {

// The lock is an ordinary flock(2) lock, so the util-linux tool stands in
// for a second running copy of the program.
int tryLockFromOtherProcess(const QString& file)
{
    QProcess p;
    p.start(QStringLiteral("flock"), {QStringLiteral("-n"), file, QStringLiteral("true")});
    p.waitForFinished(10000);
    return p.exitCode();   // 0: the lock was free
}

class SingleInstance : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        setSingleInstanceLockDir(dir.path());
    }
    void TearDown() override { setSingleInstanceLockDir(QString()); }
    QTemporaryDir dir;
};

} // namespace

TEST_F(SingleInstance, first_run_holds_the_lock_that_a_second_process_sees)
{
    EXPECT_FALSE(anotherInstanceRunning(QStringLiteral("elso")));
    EXPECT_FALSE(anotherInstanceRunning(QStringLiteral("elso")));   // every activation asks again
    EXPECT_EQ(tryLockFromOtherProcess(singleInstanceLockFile(QStringLiteral("elso"))), 1);
    // Another program name is a separate lock.
    EXPECT_EQ(tryLockFromOtherProcess(singleInstanceLockFile(QStringLiteral("masik"))), 0);
    releaseSingleInstance(QStringLiteral("elso"));
    EXPECT_EQ(tryLockFromOtherProcess(singleInstanceLockFile(QStringLiteral("elso"))), 0);
}

TEST_F(SingleInstance, lock_of_a_killed_holder_is_free_again)
{
    const QString file = singleInstanceLockFile(QStringLiteral("holder"));
    QProcess holder;
    // One process that takes the lock and waits: killing it is a crash.
    holder.start(QStringLiteral("perl"),
                 {QStringLiteral("-e"),
                  QStringLiteral("use Fcntl qw(:flock); open(my $f, '>>', $ARGV[0]) or exit 2;"
                                 " flock($f, LOCK_EX | LOCK_NB) or exit 1; $| = 1; print \"held\\n\"; sleep 60"),
                  file});
    ASSERT_TRUE(holder.waitForReadyRead(10000));
    EXPECT_TRUE(anotherInstanceRunning(QStringLiteral("holder")));
    EXPECT_TRUE(anotherInstanceRunning(QStringLiteral("holder")));   // same answer on every activation

    holder.kill();
    ASSERT_TRUE(holder.waitForFinished(10000));
    EXPECT_FALSE(anotherInstanceRunning(QStringLiteral("holder")));
    releaseSingleInstance(QStringLiteral("holder"));
}

TEST_F(SingleInstance, child_programs_do_not_inherit_the_lock)
{
    EXPECT_FALSE(anotherInstanceRunning(QStringLiteral("szulo")));
    QProcess child;
    child.start(QStringLiteral("sleep"), {QStringLiteral("60")});
    ASSERT_TRUE(child.waitForStarted(10000));
    // The holder ends while its child runs on: the lock must go with it.
    releaseSingleInstance(QStringLiteral("szulo"));
    EXPECT_EQ(tryLockFromOtherProcess(singleInstanceLockFile(QStringLiteral("szulo"))), 0);
    child.kill();
    child.waitForFinished(10000);
}
