#include "KavrinRGBStudio/app/StudioApp.hpp"

#include "KavrinRGBStudio/app/DisplayConnection.hpp"
#include "KavrinRGBStudio/app/QuitHandshake.hpp"
#include "KavrinRGBStudio/app/QuitRequests.hpp"
#include "KavrinRGBStudio/device/DockBackend.hpp"
#include "KavrinRGBStudio/groups/LiveLightingRun.hpp"
#include "KavrinRGBStudio/model/SerialWorkQueue.hpp"
#include "KavrinRGBStudio/model/StudioModel.hpp"
#include "KavrinRGBStudio/model/StudioSettingsStore.hpp"
#include "KavrinRGBStudio/qtplatform/LogindSystemPower.hpp"
#include "KavrinRGBStudio/qtplatform/QtMainThread.hpp"
#include "KavrinRGBStudio/qtplatform/QtTimerFactory.hpp"
#include "KavrinRGBStudio/views/StudioStyle.hpp"
#include "KavrinRGBStudio/views/StudioWindow.hpp"

#include <QApplication>
#include <QIcon>

#include <iostream>

namespace kavrin {

namespace {

StudioServices productionServices(bool demo)
{
    return {makeDockLightingIO(demo),
            demo,
            std::make_unique<SerialWorkQueue>(),
            std::make_shared<QtMainThread>(),
            std::make_shared<QtTimerFactory>(),
            LiveLightingRun::uptime,
            LogindSystemPower::onBus(QDBusConnection::systemBus()),
            StudioSettingsStore::forCurrentUser(std::cerr)};
}

} // namespace

int runStudioApp(int argc, char** argv, bool demo)
{
    const std::unique_ptr<QApplication> application = connectToDisplay(argc, argv);
    if (!application) {
        return 1;
    }
    // Only the handshake ends the application: a closed window may still be restoring docks.
    QApplication::setQuitOnLastWindowClosed(false);
    applyStudioStyle(*application);
    // Ties the window to the installed desktop entry and icon, so docks and taskbars show them.
    QGuiApplication::setDesktopFileName("kavrin-rgb-studio");
    QApplication::setWindowIcon(QIcon::fromTheme("kavrin-rgb-studio"));

    StudioModel model(productionServices(demo));
    StudioWindow window(model);
    // exit(), not quit(): quit() first asks every window to close, and the window refuses while
    // the handshake waits.
    QuitHandshake handshake(model, [] { QCoreApplication::exit(0); });
    const QuitRequests quitRequests(window, handshake);

    window.show();
    window.raise();
    window.activateWindow();
    return QApplication::exec();
}

} // namespace kavrin
