#include "RGBProtocol/lighting/ProtocolError.hpp"
#include "RGBProtocol/workspace/DeviceWorkspace.hpp"
#include "RGBProtocol/workspace/NativeSynchronization.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <thread>
#include <tuple>
#include <vector>

namespace kavrin {
namespace {

using namespace NativeSynchronization;
using enum ControllerProfile;
using enum LightingEffect;
using Members = std::vector<SyncMember>;

constexpr LightingSettings confirmed {true, breathing, 40, 3, LightColor {10, 11, 255}};

// Nothing ties token drawing to one thread, so the generator must not be shared unguarded.
TEST(OperationTokenConcurrency, DrawsFromSeveralThreadsWithoutRaceOrRepeat)
{
    std::vector<OperationToken> drawn[2];
    std::jthread other([&] { std::ranges::generate_n(std::back_inserter(drawn[1]), 100, OperationToken::random); });
    std::ranges::generate_n(std::back_inserter(drawn[0]), 100, OperationToken::random);
    other.join();
    EXPECT_EQ(std::ranges::find_first_of(drawn[0], drawn[1]), drawn[0].end());
}

TEST(DeviceWorkspace, OnlyAnOperationsOwnTokenSettlesItAndReconcileKeepsListedSessionsAsTheyWere)
{
    DeviceWorkspace workspace;
    workspace.reconcile({1, 2, 3});
    EXPECT_FALSE(workspace.begin(7, "missing"));
    const auto token = workspace.begin(1, "reading");
    EXPECT_FALSE(workspace.begin(1, "second"));
    workspace.edit(1, [](DockSession&) { ADD_FAILURE() << "edited a busy session"; });
    // Assigning a busy session inside an edit must not smuggle its token into another dock.
    workspace.edit(2, [&](DockSession& session) { session = workspace.sessions().at(1); });
    EXPECT_FALSE(workspace.finish(2, *token, confirmed, "done", false));
    EXPECT_TRUE(workspace.finish(1, *token, confirmed, "done", false));
    const DockSession& session = workspace.sessions().at(1);
    EXPECT_FALSE(session.edited());

    const std::tuple<const char*, std::int64_t, bool> edits[] {
        {"0A0BFF", 4, true}, {"0A0BFE", 3, true}, {"0A0B", 3, true}, {"#0a0bff", 3, false}};
    for (const auto& [hex, speed, edited] : edits) {
        workspace.edit(1, [value = speed](DockSession& changed) { changed.settings.speed = value; });
        workspace.edit(1, [text = hex](DockSession& changed) { changed.hexText = text; });
        EXPECT_EQ(session.edited(), edited) << hex << " " << speed;
    }

    workspace.finish(1, *workspace.begin(1, "applying"), std::nullopt, "failed", true); // dock state now unknown
    EXPECT_TRUE(session.edited());
    EXPECT_EQ(session.hexText, "#0a0bff");
    EXPECT_TRUE(session.isError);

    workspace.select(3);
    EXPECT_EQ(workspace.selectedSession(), DockSession());
    const auto dropped = workspace.begin(3, "busy");
    const auto before = workspace.sessions();
    workspace.reconcile({2, 1});
    EXPECT_EQ(workspace.sessions(), (std::map<std::uint64_t, DockSession> {{1, before.at(1)}, {2, before.at(2)}}));
    EXPECT_FALSE(workspace.selectedSession());
    // A dock that comes back gets a fresh session that its old operation's result must not touch.
    workspace.reconcile({1, 2, 3});
    EXPECT_FALSE(workspace.finish(3, *dropped, confirmed, "late", false));
    EXPECT_EQ(workspace.sessions().at(3).status, "可以读取当前设置，或编辑后应用到这台扩展坞。");
}

TEST(NativeSynchronizationPlan, AlignsSpeedAndBrightnessCopiesTheRestAndRefusesInvalidSettings)
{
    EXPECT_TRUE(commonEffects({}).empty());
    EXPECT_EQ(commonEffects(std::vector {mindCube, forgeCubeLegacy}),
              (std::vector {solid, breathing, cycling, flashing, dualFlashing}));

    const Members mixed {{1, mindCube}, {2, forgeCubeLegacy}};
    const auto source = [](auto level, auto speed) { return LightingSettings {true, solid, level, speed, {}}; };
    // Cycling ignores speed on the older model, yet the position still follows the source.
    const std::int64_t mindFromForge[] {1, 2, 2, 3, 3, 4, 4, 5, 5, 6};
    for (std::int64_t speed = 1; speed <= 10; ++speed)
        EXPECT_EQ(plan(source(100, speed), forgeCubeLegacy, cycling, mixed).at(1).speed, mindFromForge[speed - 1]);
    // Brightness goes to tens only when the older model shows a level-based effect.
    EXPECT_EQ(plan(source(57, 5), mindCube, breathing, Members {{1, mindCube}}).at(1).brightness, 57);
    EXPECT_EQ(plan(source(57, 5), mindCube, breathing, mixed).at(1).brightness, 60);
    EXPECT_EQ(plan(source(57, 5), mindCube, flashing, mixed).at(1).brightness, 57);

    const LightingSettings dark {false, solid, 30, 10, LightColor {1, 2, 3}};
    EXPECT_EQ(plan(dark, forgeCubeLegacy, cycling, mixed).at(1), (LightingSettings {false, cycling, 30, 6, {1, 2, 3}}));
    // The source's own model need not offer the effect when it is not a member.
    EXPECT_EQ(plan(dark, forgeCubeLegacy, wave, Members {{8, mindCube}}).at(8).effect, wave);

    EXPECT_THROW(plan(source(50, 8), mindCube, breathing, mixed), ProtocolError);
    EXPECT_THROW(plan(source(50, 5), mindCube, breathing, Members {}), ProtocolError);
    EXPECT_THROW(plan(source(50, 5), mindCube, breathing, Members {{1, mindCube}, {1, mindCube}}), ProtocolError);
    EXPECT_THROW(plan(source(50, 5), mindCube, wave, mixed), ProtocolError);
}

} // namespace
} // namespace kavrin
