#include "KavrinRGBStudio/app/QuitHandshake.hpp"
#include "KavrinRGBStudio/app/QuitRequests.hpp"
#include "KavrinRGBStudio/support/StudioFakes.hpp"

#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>

#include <csignal>

namespace kavrin {
namespace {

using fakes::FakeStudio;

// A model over the scripted docks with a read, a live run or nothing in flight, and what the quit
// saw of the docks when it came.
struct QuittingStudio : FakeStudio {
    enum class Work { none, read, live };

    explicit QuittingStudio(Work work)
    {
        platform.settle();
        model->select(1);
        if (work == Work::read) {
            model->read();
        } else if (work == Work::live) {
            model->startLive();
            platform.step(); // the docks are prepared
            platform.step(); // the first frame is written, so there is something to restore
            EXPECT_NE(docks->state, before);
        }
    }

    void quit()
    {
        ++quits;
        busyAtQuit = model->session(1)->busy();
        statusAtQuit = model->session(1)->status;
        docksAtQuit = docks->state;
    }

    decltype(fakes::ScriptedDocks::state) before = docks->state;
    QuitHandshake handshake {*model, [this] { quit(); }};
    int quits = 0;
    bool busyAtQuit = true;
    std::string statusAtQuit;
    decltype(before) docksAtQuit;
};

TEST(QuitHandshake, EndsAtOnceWhenIdleOtherwiseRightAfterTheLastCompletionWithTheDocksRestored)
{
    using Work = QuittingStudio::Work;
    const struct {
        Work work;
        std::string status; // dock 1's status when the application ends
    } cases[] = {
        {Work::none, ""},
        {Work::read, "已读取这台扩展坞的当前灯光参数。"},
        {Work::live, "实时灯效已停止，已还原启动前设置。"},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(static_cast<int>(testCase.work));
        QuittingStudio s(testCase.work);
        s.handshake.request();
        if (testCase.work == Work::none) {
            EXPECT_EQ(s.quits, 1);
            EXPECT_FALSE(s.model->quitting()); // an idle quit leaves the model as it is
            continue;
        }
        s.handshake.request(); // the same drain answers a second request
        EXPECT_EQ(s.quits, 0);
        EXPECT_TRUE(s.model->quitting());
        s.platform.settle();
        EXPECT_EQ(s.quits, 1);
        EXPECT_FALSE(s.busyAtQuit);
        EXPECT_EQ(s.statusAtQuit, testCase.status);
        EXPECT_EQ(s.docksAtQuit, s.before);
    }
}

// The real requests in-process: a refused close keeps the window, a real signal is delivered.
TEST(QuitRequests, EveryRequestGoesThroughTheHandshake)
{
    const std::function<void(QWidget&)> requests[] = {
        [](QWidget& window) { window.close(); },
        [](QWidget& window) { QTest::keyClick(window.windowHandle(), Qt::Key_Q, Qt::ControlModifier); },
        // SIGTERM is raised by the live test below.
        [](QWidget&) { std::raise(SIGINT); },
        [](QWidget&) { std::raise(SIGHUP); },
    };
    int index = 0;
    for (const auto& request : requests) {
        SCOPED_TRACE(index++);
        QuittingStudio s(QuittingStudio::Work::none);
        QWidget window;
        window.show();
        window.activateWindow(); // shortcuts reach the active window only
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        const QuitRequests quitRequests(window, s.handshake);
        request(window);
        EXPECT_TRUE(QTest::qWaitFor([&] { return s.quits == 1; }));
    }
}

TEST(QuitRequests, ASignalInheritedAsIgnoredStaysIgnoredAndComesBackAfterwards)
{
    QuittingStudio s(QuittingStudio::Work::none);
    QWidget window;
    const auto disposition = [](int signal) {
        struct sigaction current { };
        ::sigaction(signal, nullptr, &current);
        return current.sa_handler;
    };
    std::signal(SIGHUP, SIG_IGN); // as under nohup
    {
        const QuitRequests quitRequests(window, s.handshake);
        EXPECT_EQ(disposition(SIGHUP), SIG_IGN);
        EXPECT_NE(disposition(SIGTERM), SIG_DFL);
    }
    EXPECT_EQ(disposition(SIGTERM), SIG_DFL);
    std::signal(SIGHUP, SIG_DFL);
}

TEST(QuitRequests, ASignalWhileLiveOutputRunsRestoresTheDocksBeforeTheEnd)
{
    QuittingStudio s(QuittingStudio::Work::live);
    QWidget window;
    window.show();
    const QuitRequests quitRequests(window, s.handshake);
    std::raise(SIGTERM);
    ASSERT_TRUE(QTest::qWaitFor([&] { return s.model->quitting(); }));
    window.close();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(s.quits, 0);
    s.platform.settle();
    EXPECT_EQ(s.quits, 1);
    EXPECT_EQ(s.docksAtQuit, s.before);
}

} // namespace
} // namespace kavrin
