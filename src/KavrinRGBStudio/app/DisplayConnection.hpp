#pragma once

#include <QApplication>

#include <memory>

namespace kavrin {

// The one line shown when there is no display to open the window on (over SSH, or under sudo on
// Wayland), instead of Qt's abort with a core dump.
inline constexpr const char* noDisplayMessage
    = "无法打开窗口：没有可用的图形显示（DISPLAY 或 WAYLAND_DISPLAY 未设置或无法连接）。命令行用法见 --help。";

// The application object, or null after printing noDisplayMessage on standard error. Qt chooses
// the platform (Wayland or X11) as usual.
std::unique_ptr<QApplication> connectToDisplay(int& argc, char** argv);

} // namespace kavrin
