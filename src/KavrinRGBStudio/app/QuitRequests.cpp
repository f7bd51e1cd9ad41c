#include "KavrinRGBStudio/app/QuitRequests.hpp"

#include "KavrinRGBStudio/app/QuitHandshake.hpp"

#include <QEvent>
#include <QGuiApplication>
#include <QShortcut>
#include <QWidget>

namespace kavrin {

QuitRequests::QuitRequests(QWidget& window, QuitHandshake& handshake)
    : window_(window)
    , handshake_(handshake)
    , signals_([this] { handshake_.request(); })
{
    window_.installEventFilter(this);
    // Spelled out: the platform's standard Quit binding is empty under some themes.
    const auto* quitKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), &window_);
    connect(quitKey, &QShortcut::activated, this, [this] { handshake_.request(); });
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, [this] { handshake_.request(); });
}

bool QuitRequests::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &window_ || event->type() != QEvent::Close) {
        return false;
    }
    // The window stays until the handshake ends the application, so a refused close keeps it open.
    event->ignore();
    handshake_.request();
    return true;
}

} // namespace kavrin
