#include "RGBProtocol/workspace/DeviceWorkspace.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <thread>
#include <vector>

namespace kavrin {
namespace {

constexpr LightingSettings confirmed {true, LightingEffect::breathing, 40, 3, LightColor {10, 11, 255}};

void setBrightness(DockSession& session)
{
    session.settings.brightness = 70;
}

// Nothing ties token drawing to one thread, so the generator must not be shared unguarded.
TEST(OperationTokenConcurrency, DrawsFromSeveralThreadsWithoutRaceOrRepeat)
{
    std::vector<OperationToken> drawn[2];
    {
        std::jthread other([&] { std::ranges::generate_n(std::back_inserter(drawn[1]), 100, OperationToken::random); });
        std::ranges::generate_n(std::back_inserter(drawn[0]), 100, OperationToken::random);
    }
    EXPECT_EQ(std::ranges::find_first_of(drawn[0], drawn[1]), drawn[0].end());
}

TEST(DeviceWorkspaceReconcile, KeepsListedSessionsAsTheyWereAndDropsTheRestWithTheirTokens)
{
    DeviceWorkspace workspace;
    workspace.reconcile({1, 2, 2, 3});
    EXPECT_EQ(workspace.sessions().size(), 3U);
    workspace.select(3);
    workspace.edit(1, setBrightness);
    const auto kept = workspace.begin(2, "busy");
    const auto dropped = workspace.begin(3, "busy");
    const auto before = workspace.sessions();

    workspace.reconcile({2, 1});
    EXPECT_EQ(workspace.sessions(), (std::map<std::uint64_t, DockSession> {{1, before.at(1)}, {2, before.at(2)}}));
    EXPECT_EQ(workspace.pendingCount(), 1U);
    EXPECT_FALSE(workspace.selectedID());

    // A dock that comes back gets a fresh session that its old operation's result must not touch.
    workspace.reconcile({1, 2, 3});
    EXPECT_FALSE(workspace.finish(3, *dropped, confirmed, "late", false));
    EXPECT_EQ(workspace.sessions().at(3), DockSession());
    EXPECT_TRUE(workspace.finish(2, *kept, confirmed, "done", false));

    workspace.reconcile({});
    EXPECT_TRUE(workspace.sessions().empty());
}

TEST(DeviceWorkspaceSelect, OnlyKnownDocksBecomeSelected)
{
    DeviceWorkspace workspace;
    workspace.reconcile({1});
    workspace.select(1);
    workspace.select(9);
    EXPECT_EQ(workspace.selectedSession(), DockSession());
    workspace.select(std::nullopt);
    EXPECT_FALSE(workspace.selectedSession());
}

TEST(DeviceWorkspaceOperation, OneAtATimeAndOnlyItsTokenSettlesIt)
{
    DeviceWorkspace workspace;
    workspace.reconcile({1, 2});
    EXPECT_FALSE(workspace.begin(7, "missing"));
    const auto token = workspace.begin(1, "reading");
    EXPECT_FALSE(workspace.begin(1, "second"));
    bool ran = false;
    workspace.edit(1, [&](DockSession&) { ran = true; });
    EXPECT_FALSE(ran);
    // Assigning a busy session inside an edit must not smuggle its token into another dock.
    workspace.edit(2, [&](DockSession& session) { session = workspace.sessions().at(1); });
    EXPECT_FALSE(workspace.finish(2, *token, confirmed, "done", false));
    EXPECT_FALSE(workspace.finish(1, OperationToken::random(), confirmed, "other", false));
    EXPECT_EQ(workspace.pendingCount(), 1U);

    EXPECT_TRUE(workspace.finish(1, *token, confirmed, "done", false));
    const DockSession& session = workspace.sessions().at(1);
    EXPECT_EQ(session.hexText, "0A0BFF");
    EXPECT_FALSE(session.edited());
    EXPECT_FALSE(session.busy());
    workspace.edit(1, setBrightness);
    EXPECT_EQ(session.settings.brightness, 70);
}

TEST(DeviceWorkspaceOperation, FailureForgetsTheReadButKeepsTheEditor)
{
    DeviceWorkspace workspace;
    workspace.reconcile({1});
    workspace.finish(1, *workspace.begin(1, "reading"), confirmed, "done", false);
    workspace.edit(1, [](DockSession& session) { session.hexText = "#0a0bff"; });
    workspace.finish(1, *workspace.begin(1, "applying"), std::nullopt, "failed", true);
    const DockSession& session = workspace.sessions().at(1);
    EXPECT_FALSE(session.lastRead);
    EXPECT_EQ(session.settings, confirmed);
    EXPECT_EQ(session.hexText, "#0a0bff");
    EXPECT_TRUE(session.edited());
    EXPECT_TRUE(session.isError);
    workspace.begin(1, "retry");
    EXPECT_FALSE(session.isError);
}

TEST(DockSessionEdited, ComparesEveryFieldAndTheParsedColourText)
{
    const struct {
        void (*change)(DockSession&);
        bool edited;
    } cases[] = {
        {[](DockSession&) {}, false},
        {[](DockSession& s) { s.hexText = "0a0bff"; }, false},
        {[](DockSession& s) { s.hexText = "#0A0BFF"; }, false},
        {[](DockSession& s) { s.hexText = "0A0BF"; }, true},
        {[](DockSession& s) { s.hexText = "0A0BFE"; }, true},
        {[](DockSession& s) { s.lastRead.reset(); }, true},
        {[](DockSession& s) { s.settings.isOn = false; }, true},
        {[](DockSession& s) { s.settings.speed = 4; }, true},
        {[](DockSession& s) { s.settings.color.green = 0; }, true},
    };
    for (std::size_t index = 0; index < std::size(cases); ++index) {
        DockSession session;
        session.settings = session.lastRead.emplace(confirmed);
        session.hexText = "0A0BFF";
        cases[index].change(session);
        EXPECT_EQ(session.edited(), cases[index].edited) << "case " << index;
    }
    EXPECT_TRUE(DockSession().edited());
}

} // namespace
} // namespace kavrin
