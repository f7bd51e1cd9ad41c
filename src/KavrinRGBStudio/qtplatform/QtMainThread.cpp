#include "KavrinRGBStudio/qtplatform/QtMainThread.hpp"

namespace kavrin {

void QtMainThread::post(std::function<void()> task)
{
    QMetaObject::invokeMethod(&context_, std::move(task), Qt::QueuedConnection);
}

} // namespace kavrin
