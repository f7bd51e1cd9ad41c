#pragma once

#include "KavrinRGBStudio/model/StudioPlatform.hpp"

#include <QDBusConnection>
#include <QObject>

namespace kavrin {

// systemd-logind's sleep and power-off announcements and its delay inhibitor, over D-Bus.
class LogindSystemPower final : public QObject, public SystemPower {
    Q_OBJECT

public:
    // Null when the bus is not connected (no system bus, as in containers): no observer, no error.
    static std::unique_ptr<SystemPower> onBus(const QDBusConnection& bus);

    explicit LogindSystemPower(const QDBusConnection& bus);

    void setWillSleepHandler(std::function<void()> handler) override;
    // Asks logind without waiting for it; a logind that is absent or refuses leaves the lock empty.
    std::unique_ptr<PowerLock> delaySleep(const std::string& why) override;

private slots:
    void announced(bool starting);

private:
    QDBusConnection bus_;
    std::function<void()> willSleep_;
};

} // namespace kavrin
