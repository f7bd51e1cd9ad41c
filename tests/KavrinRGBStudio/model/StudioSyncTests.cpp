#include "KavrinRGBStudio/support/StudioFakes.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace kavrin {
namespace {

using fakes::FakeStudio;
using Step = fakes::ScriptedDocks::Step;

std::string tickedText(int count)
{
    return "已勾选 " + std::to_string(count) + " 台；同步采用当前颜色、亮度和相对速度。";
}

// Three listed docks, dock 1 selected.
struct SyncStudio : FakeStudio {
    explicit SyncStudio(bool demo = false)
        : FakeStudio(demo)
    {
        platform.settle();
        model->select(1);
    }
};

TEST(StudioModelSync, TargetsOfferTheEffectsAllTheirModelsShare)
{
    SyncStudio s;
    s.model->setSyncEffect(LightingEffect::wave);
    s.model->toggleSyncTarget(2);
    EXPECT_EQ(s.model->syncEffect(), LightingEffect::wave); // the MIND CUBE alone offers it
    s.model->toggleSyncTarget(1);
    EXPECT_EQ(s.model->commonSyncEffects(),
              (std::vector {LightingEffect::solid, LightingEffect::breathing, LightingEffect::cycling,
                            LightingEffect::flashing, LightingEffect::dualFlashing}));
    EXPECT_EQ(s.model->syncEffect(), LightingEffect::solid);
    EXPECT_EQ(s.model->syncMessage(), tickedText(2));

    s.model->toggleSyncTarget(9); // not listed
    EXPECT_EQ(s.model->syncTargetIDs(), (std::set<std::uint64_t> {1, 2}));

    s.model->clearSyncTargets();
    EXPECT_TRUE(s.model->commonSyncEffects().empty());
    s.model->selectAllForSync();
    EXPECT_EQ(s.model->syncTargetIDs(), (std::set<std::uint64_t> {1, 2, 3}));
}

struct SyncCase {
    const char* name;
    bool demo;
    std::function<void(SyncStudio&)> setup;
    std::string during; // empty when the start is refused with the final line
    std::string after;
    bool syncError;
};

TEST(StudioModelSync, RunsSettleEveryTargetAndReportOnThePanel)
{
    const std::string invalidColor = "颜色必须是六位十六进制 RGB，例如 FF6400。";
    const SyncCase cases[] = {
        {"all three", false, [](SyncStudio&) {}, "正在同步到 3 台设备并回读…", "3 台已同步配置并回读确认。", false},
        {"all three in demo mode", true, [](SyncStudio&) {}, "正在同步到 3 台设备并回读…",
         "演示：3 台已同步配置并回读确认。", false},
        {"one dock fails inside the group", false,
         [](SyncStudio& s) {
             s.docks->failing[{Step::apply, 2}] = "写入失败";
         },
         "正在同步到 3 台设备并回读…", "同步未完成，已逐台尝试还原；查看各设备状态。", true},
        {"the group refuses as a whole", false,
         [](SyncStudio& s) {
             s.docks->failing[{Step::read, 3}] = "读取失败";
         },
         "正在同步到 3 台设备并回读…", "读取失败", true},
        {"colour text that does not parse", false, [](SyncStudio& s) { s.model->setHexText("12345"); }, "",
         invalidColor, true},
    };
    for (const SyncCase& c : cases) {
        SCOPED_TRACE(c.name);
        SyncStudio s(c.demo);
        s.model->setSettings({true, LightingEffect::breathing, 60, 4, {}});
        s.model->setHexText("00FF80");
        s.model->selectAllForSync();
        c.setup(s);
        EXPECT_EQ(s.model->canSynchronize(), c.during.size() > 0);
        s.model->synchronize();
        EXPECT_EQ(s.model->syncBusy(), !c.during.empty());
        EXPECT_EQ(s.model->syncMessage(), c.during.empty() ? c.after : c.during);
        for (const RGBDevice& dock : s.model->devices()) {
            EXPECT_EQ(s.model->session(dock.id)->busy(), !c.during.empty());
        }
        s.platform.settle();
        EXPECT_FALSE(s.model->hasPendingWork());
        EXPECT_EQ(s.model->syncMessage(), c.after);
        EXPECT_EQ(s.model->syncError(), c.syncError);
        for (const RGBDevice& dock : s.model->devices()) {
            const DockSession session = *s.model->session(dock.id);
            if (c.during.empty()) {
                EXPECT_EQ(session.status, "可以读取当前设置，或编辑后应用到这台扩展坞。");
                continue;
            }
            // Each dock keeps its own outcome: the read-back when it was confirmed, else nothing.
            EXPECT_EQ(session.lastRead, c.syncError ? session.lastRead : std::optional(s.docks->state.at(dock.id)));
            EXPECT_EQ(session.isError, c.syncError);
            EXPECT_NE(session.status, "正在同步配置…");
        }
    }
}

TEST(StudioModelSync, RefusedWithOneTargetWithoutSelectionOrWhileAnythingRuns)
{
    const std::pair<const char*, std::function<void(SyncStudio&)>> cases[] = {
        {"one target", [](SyncStudio& s) { s.model->toggleSyncTarget(2); }},
        {"no selection",
         [](SyncStudio& s) {
             s.model->selectAllForSync();
             s.docks->listed.erase(s.docks->listed.begin()); // the selected dock goes
             s.model->refresh(true);
             s.platform.settle();
         }},
        {"a busy target",
         [](SyncStudio& s) {
             s.model->selectAllForSync();
             s.model->read();
         }},
        {"a synchronisation",
         [](SyncStudio& s) {
             s.model->selectAllForSync();
             s.model->synchronize();
         }},
        {"live output",
         [](SyncStudio& s) {
             s.model->selectAllForSync();
             s.model->startLive();
         }},
    };
    for (const auto& [name, setup] : cases) {
        SCOPED_TRACE(name);
        SyncStudio s;
        setup(s);
        const auto targets = s.model->syncTargetIDs();
        const auto queued = s.platform.jobs->count();
        const std::string line = s.model->syncMessage();
        EXPECT_FALSE(s.model->canSynchronize());
        s.model->synchronize();
        EXPECT_EQ(s.platform.jobs->count(), queued);
        EXPECT_EQ(s.model->syncMessage(), line);
        if (s.model->syncBusy() || s.model->liveState() != LiveState::idle) {
            // Targets are frozen while a group runs.
            s.model->toggleSyncTarget(3);
            s.model->clearSyncTargets();
            EXPECT_EQ(s.model->syncTargetIDs(), targets);
        }
    }
}

TEST(StudioModelSync, ATargetOfUnknownModelRefusesTheStart)
{
    SyncStudio s;
    RGBDevice stranger = RGBDevice::demoDevices()[2];
    stranger.productID = 0x1234;
    s.docks->listed.back() = stranger;
    s.model->refresh(false);
    s.platform.settle();
    s.model->selectAllForSync();
    EXPECT_EQ(s.model->commonSyncEffects().size(), 5U); // the stranger's unknown model is left out
    s.model->synchronize();
    EXPECT_TRUE(s.model->syncError());
    EXPECT_EQ(s.platform.jobs->count(), 0U);
}

} // namespace
} // namespace kavrin
