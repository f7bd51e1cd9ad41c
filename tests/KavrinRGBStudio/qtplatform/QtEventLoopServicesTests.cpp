#include "KavrinRGBStudio/qtplatform/QtMainThread.hpp"
#include "KavrinRGBStudio/qtplatform/QtTimerFactory.hpp"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <thread>
#include <vector>

namespace kavrin {
namespace {

TEST(QtMainThread, TasksPostedFromAnotherThreadRunOnTheMainThreadInPostingOrder)
{
    QtMainThread mainThread;
    std::vector<int> order;
    std::vector<bool> onMainThread;
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i) {
            mainThread.post([&, i] {
                order.push_back(i);
                onMainThread.push_back(QThread::currentThread() == QCoreApplication::instance()->thread());
            });
        }
    });
    worker.join();
    EXPECT_TRUE(order.empty()); // nothing runs before the event loop does
    ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == 100; }));
    EXPECT_TRUE(std::ranges::is_sorted(order));
    EXPECT_EQ(std::ranges::count(onMainThread, false), 0);
}

TEST(QtTimerFactory, TicksRepeatUntilTheTimerIsDestroyed)
{
    QtTimerFactory timers;
    int ticks = 0;
    auto timer = timers.startRepeating(0.005, [&] { ++ticks; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }));
    timer.reset();
    const int stoppedAt = ticks;
    // Ten of the stopped timer's intervals pass; it must stay silent through them.
    bool later = false;
    const auto witness = timers.startRepeating(0.05, [&] { later = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return later; }));
    EXPECT_EQ(ticks, stoppedAt);
}

} // namespace
} // namespace kavrin
