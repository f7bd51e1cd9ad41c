#pragma once

#include "KavrinRGBStudio/app/UnixQuitSignals.hpp"

#include <QObject>

class QWidget;

namespace kavrin {

class QuitHandshake;

// Every way of asking the application to end goes through one handshake: closing the only window
// (there is no application without it on Linux), Ctrl+Q, SIGINT, SIGTERM and SIGHUP, and the
// session manager's request at logout.
class QuitRequests final : public QObject {
public:
    QuitRequests(QWidget& window, QuitHandshake& handshake);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    QuitHandshake& handshake_;
    UnixQuitSignals signals_;
};

} // namespace kavrin
