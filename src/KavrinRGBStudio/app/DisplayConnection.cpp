#include "KavrinRGBStudio/app/DisplayConnection.hpp"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace kavrin {

namespace {

struct HeldMessage {
    QtMsgType type;
    std::string category;
    QString text;
};

// Qt's messages while it connects: shown afterwards when it connected, dropped when it could not
// (then the one line says it all).
std::vector<HeldMessage> heldMessages;
QtMessageHandler previousHandler = nullptr;

void holdWhileConnecting(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg) {
        // Qt aborts right after this handler returns; a half-made application cannot be unwound.
        std::cerr << noDisplayMessage << std::endl;
        std::fflush(stdout);
        ::_exit(1);
    }
    heldMessages.push_back({type, context.category ? context.category : "", text});
}

bool displayNamed()
{
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(variable);
        if (value && *value) {
            return true;
        }
    }
    return false;
}

} // namespace

std::unique_ptr<QApplication> connectToDisplay(int& argc, char** argv)
{
    if (!displayNamed()) {
        std::cerr << noDisplayMessage << std::endl;
        return nullptr;
    }
    previousHandler = qInstallMessageHandler(holdWhileConnecting);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previousHandler);
    for (const HeldMessage& message : heldMessages) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.c_str());
        qt_message_output(message.type, context, message.text);
    }
    heldMessages.clear();
    return application;
}

} // namespace kavrin
