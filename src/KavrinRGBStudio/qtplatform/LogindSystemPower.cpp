#include "KavrinRGBStudio/qtplatform/LogindSystemPower.hpp"

#include <QDBusMessage>
#include <QDBusPendingCall>

namespace kavrin {

namespace {

const QString logindService = QStringLiteral("org.freedesktop.login1");
const QString logindPath = QStringLiteral("/org/freedesktop/login1");
const QString managerInterface = QStringLiteral("org.freedesktop.login1.Manager");

class LogindInhibitor final : public PowerLock {
public:
    explicit LogindInhibitor(QDBusPendingCall inhibit)
        : inhibit_(std::move(inhibit))
    {
    }

private:
    // logind's answer carries the inhibitor's file descriptor, and logind holds sleep and power-off
    // back until it is closed: that happens when the last copy of the answer goes, with this lock,
    // also when the answer arrives only after the lock was dropped.
    QDBusPendingCall inhibit_;
};

} // namespace

std::unique_ptr<SystemPower> LogindSystemPower::onBus(const QDBusConnection& bus)
{
    if (!bus.isConnected()) {
        return nullptr;
    }
    return std::make_unique<LogindSystemPower>(bus);
}

LogindSystemPower::LogindSystemPower(const QDBusConnection& bus)
    : bus_(bus)
{
    // Naming the service makes the bus deliver only what logind itself sends, not any peer's copy.
    for (const char* announcement : {"PrepareForSleep", "PrepareForShutdown"}) {
        bus_.connect(logindService, logindPath, managerInterface, QString::fromLatin1(announcement), this,
                     SLOT(announced(bool)));
    }
}

void LogindSystemPower::setWillSleepHandler(std::function<void()> handler)
{
    willSleep_ = std::move(handler);
}

std::unique_ptr<PowerLock> LogindSystemPower::delaySleep(const std::string& why)
{
    QDBusMessage inhibit
        = QDBusMessage::createMethodCall(logindService, logindPath, managerInterface, QStringLiteral("Inhibit"));
    inhibit << QStringLiteral("sleep:shutdown") << QStringLiteral("KAVRIN RGB Studio") << QString::fromStdString(why)
            << QStringLiteral("delay");
    return std::make_unique<LogindInhibitor>(bus_.asyncCall(inhibit));
}

void LogindSystemPower::announced(bool starting)
{
    // The same signals announce the resume with false; only the way down matters here.
    if (starting && willSleep_) {
        willSleep_();
    }
}

} // namespace kavrin
