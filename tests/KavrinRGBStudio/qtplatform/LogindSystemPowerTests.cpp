#include "KavrinRGBStudio/qtplatform/LogindSystemPower.hpp"

#include <gtest/gtest.h>

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <poll.h>
#include <unistd.h>

namespace kavrin {
namespace {

// Just enough of systemd-logind's manager: the two announcements and a delay inhibitor whose
// release shows as the far end of a pipe hanging up.
class FakeLogind : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    ~FakeLogind() override
    {
        if (held_ >= 0) {
            ::close(held_);
        }
    }

    QStringList inhibitArguments;

    bool inhibitorReleased() const
    {
        pollfd end {held_, POLLIN, 0};
        return ::poll(&end, 1, 0) == 1 && (end.revents & POLLHUP);
    }

public slots:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why, const QString& mode)
    {
        inhibitArguments = {what, who, why, mode};
        int ends[2];
        if (::pipe(ends) != 0) {
            return {};
        }
        held_ = ends[0];
        const QDBusUnixFileDescriptor lock(ends[1]); // a copy; the caller's is the only one left
        ::close(ends[1]);
        return lock;
    }

signals:
    void PrepareForSleep(bool start);
    void PrepareForShutdown(bool start);

private:
    int held_ = -1;
};

// A private bus, so the test neither needs nor disturbs the machine's system bus.
class LogindSystemPowerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFile config(directory.filePath("bus.conf"));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write(QStringLiteral("<busconfig><type>session</type><listen>unix:dir=%1</listen>"
                                    "<auth>EXTERNAL</auth><policy context=\"default\"><allow send_destination=\"*\" "
                                    "eavesdrop=\"true\"/><allow eavesdrop=\"true\"/><allow own=\"*\"/></policy>"
                                    "</busconfig>")
                         .arg(directory.path())
                         .toUtf8());
        config.close();
        daemon.start("dbus-daemon", {"--nofork", "--print-address", "--config-file=" + config.fileName()});
        if (!daemon.waitForStarted() || !daemon.waitForReadyRead(10000)) {
            GTEST_SKIP() << "dbus-daemon could not start (" << daemon.errorString().toStdString()
                         << "); scripts/install-deps.sh installs it";
        }
        address = QString::fromUtf8(daemon.readLine()).trimmed();
    }

    void TearDown() override
    {
        for (const char* name : {"logind", "studio", "peer"}) {
            QDBusConnection::disconnectFromBus(name);
        }
        daemon.kill();
        daemon.waitForFinished();
    }

    QDBusConnection connect(const char* name) { return QDBusConnection::connectToBus(address, name); }

    // logind on the bus under its own name.
    void serveLogind()
    {
        QDBusConnection bus = connect("logind");
        ASSERT_TRUE(bus.registerObject("/org/freedesktop/login1", &logind,
                                       QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
        ASSERT_TRUE(bus.registerService("org.freedesktop.login1"));
    }

    QTemporaryDir directory;
    QProcess daemon;
    QString address;
    FakeLogind logind;
};

TEST_F(LogindSystemPowerTest, OnlyLogindsAnnouncementsOfTheWayDownReachTheHandler)
{
    serveLogind();
    const auto power = LogindSystemPower::onBus(connect("studio"));
    ASSERT_NE(power, nullptr);
    int announced = 0;
    power->setWillSleepHandler([&] { ++announced; });

    // Another peer may send the same signal; the bus must not hand it over as logind's.
    QDBusConnection peer = connect("peer");
    peer.send(QDBusMessage::createSignal("/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep")
              << true);
    peer.call(QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                             "GetId")); // routed before what follows
    // Only the two "going down" announcements count.
    emit logind.PrepareForSleep(false);
    emit logind.PrepareForShutdown(false);
    emit logind.PrepareForShutdown(true);
    emit logind.PrepareForSleep(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return announced == 2; }));
    // A last one arrives after anything that might have counted late.
    emit logind.PrepareForSleep(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return announced == 3; }));
}

TEST_F(LogindSystemPowerTest, TheDelayLockHoldsLogindsInhibitorUntilItIsDestroyed)
{
    serveLogind();
    const auto power = LogindSystemPower::onBus(connect("studio"));
    auto lock = power->delaySleep("实时灯效运行中");
    ASSERT_NE(lock, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !logind.inhibitArguments.isEmpty(); }));
    EXPECT_EQ(logind.inhibitArguments, QStringList({"sleep:shutdown", "KAVRIN RGB Studio", "实时灯效运行中", "delay"}));
    // A round trip to logind comes back after the inhibitor's answer reached the studio.
    const QDBusPendingCall ping
        = QDBusConnection(QStringLiteral("studio"))
              .asyncCall(QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                                        "org.freedesktop.DBus.Peer", "Ping"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ping.isFinished(); }));
    EXPECT_FALSE(logind.inhibitorReleased());
    lock.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return logind.inhibitorReleased(); }));
}

TEST_F(LogindSystemPowerTest, WithoutLogindOrWithoutABusThereIsNoErrorAndNoObserver)
{
    const auto power = LogindSystemPower::onBus(connect("studio"));
    ASSERT_NE(power, nullptr);
    auto lock = power->delaySleep("no logind");
    QCoreApplication::processEvents();
    lock.reset();
    EXPECT_EQ(LogindSystemPower::onBus(QDBusConnection::connectToBus("unix:path=/nonexistent", "peer")), nullptr);
}

} // namespace
} // namespace kavrin

#include "LogindSystemPowerTests.moc"
