#include "KavrinRGBStudio/support/StudioFakes.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace kavrin {
namespace {

using fakes::FakeStudio;
using Step = fakes::ScriptedDocks::Step;

const std::vector<RGBDevice>& demo = RGBDevice::demoDevices();
const std::string idleText = "可以读取当前设置，或编辑后应用到这台扩展坞。";

struct ScanCase {
    const char* name;
    std::function<void(FakeStudio&)> scenario;
    std::size_t devices;
    std::optional<std::uint64_t> selected;
    std::string status;
    bool isError;
};

TEST(StudioModelScan, SettlesListSelectionAndStatusLine)
{
    const auto firstScan = [](std::vector<RGBDevice> listed) {
        return [listed](FakeStudio& s) {
            s.docks->listed = listed;
            s.platform.settle();
        };
    };
    const auto rescan = [](bool quiet, std::function<void(FakeStudio&)> change) {
        return [quiet, change](FakeStudio& s) {
            s.platform.settle();
            s.model->select(2);
            change(s);
            s.model->refresh(quiet);
            s.platform.settle();
        };
    };
    const std::string vanished = "所选设备已断开。重新连接后，请重新选择。";
    const ScanCase cases[] = {
        {"one dock is selected", firstScan({demo[1]}), 1, 2, idleText, false},
        {"three docks ask for a choice", firstScan(demo), 3, std::nullopt, "检测到 3 台设备，请从左侧选择。", false},
        {"none is no error", firstScan({}), 0, std::nullopt, "未找到支持的灯光接口。请检查扩展坞供电和 USB 上行连接。",
         false},
        {"a failed scan shows its error",
         [](FakeStudio& s) {
             s.docks->failing[{Step::list, 0}] = "枚举失败";
             s.platform.settle();
         },
         0, std::nullopt, "枚举失败", true},
        {"a quiet failure keeps everything",
         rescan(true,
                [](FakeStudio& s) {
                    s.docks->failing[{Step::list, 0}] = "枚举失败";
                }),
         3, 2, idleText, false},
        {"the selected dock vanishes in a quiet scan",
         rescan(true,
                [](FakeStudio& s) {
                    s.docks->listed = {demo[0], demo[2]};
                }),
         2, std::nullopt, vanished, true},
        {"only the first scan selects a lone dock", rescan(false, [](FakeStudio& s) { s.docks->listed = {demo[0]}; }),
         1, std::nullopt, vanished, true},
    };
    for (const ScanCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeStudio s;
        c.scenario(s);
        EXPECT_EQ(s.model->devices().size(), c.devices);
        EXPECT_EQ(s.model->workspace().selectedID(), c.selected);
        EXPECT_EQ(s.model->status(), c.status);
        EXPECT_EQ(s.model->isError(), c.isError);
        EXPECT_FALSE(s.model->scanning());
    }
}

TEST(StudioModelScan, OneScanAtATimeQuietEveryThreeSecondsAndNoneAfterQuitting)
{
    FakeStudio s;
    EXPECT_TRUE(s.model->scanning());
    s.model->refresh(false);
    s.platform.timers->fire(3.0);
    EXPECT_EQ(s.platform.jobs->count(), 1U); // dropped, not queued
    s.platform.settle();

    s.model->toggleSyncTarget(1);
    s.model->toggleSyncTarget(3);
    s.docks->listed = {demo[0], demo[1]};
    s.platform.timers->fire(3.0);
    s.platform.settle();
    EXPECT_EQ(s.model->devices(), s.docks->listed);
    EXPECT_EQ(s.model->syncTargetIDs(), (std::set<std::uint64_t> {1})); // narrowed, never widened

    s.model->prepareToQuit(nullptr);
    s.model->refresh(false);
    s.platform.timers->fire(3.0);
    EXPECT_EQ(s.platform.jobs->count(), 0U);

    FakeStudio demoStudio(true);
    EXPECT_EQ(demoStudio.platform.timers->active(3.0), 0U);
    EXPECT_EQ(demoStudio.platform.jobs->count(), 0U); // the demo scan is synchronous
    EXPECT_EQ(demoStudio.model->selected(), demo[0]);
}

struct DockCase {
    const char* name;
    bool demo;
    std::function<void(StudioModel&)> operation;
    std::optional<std::pair<Step, std::string>> failure;
    std::string during; // empty when nothing is queued
    std::string after;
    bool isError;
};

TEST(StudioModelDock, ReadAndApplyReportEachOutcomeOnTheSession)
{
    const auto apply = [](bool persist, std::string hex = "00FF80") {
        return [persist, hex](StudioModel& model) {
            model.setHexText(hex);
            model.apply(persist);
        };
    };
    const auto read = [](StudioModel& model) { model.read(); };
    const std::string mismatch = "指令已发送，但回读与预期不一致；未标记为应用成功，也未保存。";
    const std::string partly = " 部分指令可能已生效，请先读取这台设备。";
    const DockCase cases[] = {
        {"read", false, read, std::nullopt, "正在读取这台扩展坞的设置…", "已读取这台扩展坞的当前灯光参数。", false},
        {"failed read", false, read, std::pair {Step::read, "读取失败"}, "正在读取这台扩展坞的设置…", "读取失败", true},
        {"apply and save", false, apply(true), std::nullopt, "正在应用并保存这台扩展坞…",
         "这台扩展坞已应用并回读确认；保存指令已发送，断电保留尚待验证。", false},
        {"apply", false, apply(false), std::nullopt, "正在应用这台扩展坞并回读…", "这台扩展坞已应用，并回读确认。",
         false},
        {"mismatching read-back", false, apply(false), std::pair {Step::apply, mismatch}, "正在应用这台扩展坞并回读…",
         mismatch + partly, true},
        {"colour text with a non-digit", false, apply(false, "FF64G0"), std::nullopt, "",
         "颜色必须是六位十六进制 RGB，例如 FF6400。", true},
        {"brightness beyond the model", false,
         [](StudioModel& model) {
             model.setSettings({true, LightingEffect::solid, 5, 5, {}});
             model.apply(false);
         },
         std::nullopt, "", "灯光参数超出支持范围。", true},
        {"demo save", true, apply(true), std::nullopt, "", "这台演示设备保存完成，未发送 USB 命令。", false},
        {"demo apply", true, apply(false), std::nullopt, "", "这台演示设备应用完成，未发送 USB 命令。", false},
    };
    for (const DockCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeStudio s(c.demo);
        s.platform.settle();
        s.model->select(2);
        if (c.failure) {
            s.docks->failing[{c.failure->first, 2}] = c.failure->second;
        }
        const int changesBefore = s.changes;
        c.operation(*s.model);
        EXPECT_EQ(s.platform.jobs->count(), c.during.empty() ? 0U : 1U);
        if (!c.during.empty()) {
            EXPECT_EQ(s.model->status(), c.during);
            EXPECT_TRUE(s.model->hasPendingWork());
        }
        s.platform.settle();
        EXPECT_EQ(s.model->status(), c.after);
        EXPECT_EQ(s.model->isError(), c.isError);
        EXPECT_FALSE(s.model->hasPendingWork());
        const auto session = *s.model->session(2);
        // What the dock reported, never what was sent; nothing confirmed after a failure.
        EXPECT_EQ(session.lastRead, c.isError ? std::nullopt : std::optional(s.docks->state.at(2)));
        EXPECT_GT(s.changes, changesBefore);
    }
}

TEST(StudioModelDock, RefusedWithoutSelectionOrWhileBusyAndDefaultsWithoutSelection)
{
    FakeStudio s;
    s.platform.settle();
    s.model->read();
    s.model->apply(true);
    s.model->setColor({1, 2, 3});
    s.model->setSettings({false, LightingEffect::wave, 30, 2, {}});
    EXPECT_EQ(s.platform.jobs->count(), 0U);
    EXPECT_EQ(s.model->settings(), (LightingSettings {true, LightingEffect::solid, 100, 5, {255, 100, 0}}));
    EXPECT_EQ(s.model->hexText(), "FF6400");

    s.model->select(1);
    s.model->read();
    const int changes = s.changes;
    s.model->read();
    s.model->apply(false);
    s.model->setColor({1, 2, 3});
    EXPECT_EQ(s.platform.jobs->count(), 1U);
    EXPECT_EQ(s.changes, changes) << "a refused operation changes nothing, so it announces nothing";
}

// One enumeration may miss a dock that is still there. Whatever runs on it keeps the dock until it
// settles, so the listing that brings it back cannot start a second operation on it meanwhile.
TEST(StudioModelDock, ADockOneScanMissesStaysBusyUntilItsOperationSettles)
{
    const struct {
        const char* name;
        std::function<void(StudioModel&)> start;
        bool busyWhenBack;
    } cases[] = {
        // Its job ran before the listing came back, and its outcome is kept.
        {"a read", [](StudioModel& model) { model.read(); }, false},
        {"live output while starting", [](StudioModel& model) { model.startLive(); }, true},
    };
    for (const auto& [name, start, busyWhenBack] : cases) {
        SCOPED_TRACE(name);
        FakeStudio s;
        s.platform.settle();
        s.model->select(1);
        s.model->refresh(true);
        start(*s.model);
        s.docks->listed = {demo[1], demo[2]};
        s.platform.step(); // the scan misses dock 1 while its operation waits
        s.docks->listed = demo;
        s.model->refresh(true);
        while (s.platform.jobs->count() > 1) {
            s.platform.step();
        }
        s.platform.step(); // the listing that brings dock 1 back
        ASSERT_TRUE(s.model->session(1));
        EXPECT_EQ(s.model->session(1)->busy(), busyWhenBack);
        const auto queued = s.platform.jobs->count();
        s.model->read();
        EXPECT_EQ(s.platform.jobs->count(), queued + (busyWhenBack ? 0 : 1));
        s.model->stopLive(std::nullopt, nullptr);
        s.platform.settle();
        EXPECT_TRUE(s.model->session(1)->lastRead) << "the operation's outcome landed on the dock";
        EXPECT_FALSE(s.model->hasPendingWork());
    }
}

// Every way of having work in flight; the quit completions run right after the last of it settles.
TEST(StudioModelQuit, WaitsForWorkInFlightAndRefusesNewWork)
{
    const std::pair<const char*, std::function<void(StudioModel&)>> cases[] = {
        {"nothing", [](StudioModel&) {}},
        {"a read", [](StudioModel& model) { model.read(); }},
        {"a synchronisation",
         [](StudioModel& model) {
             model.selectAllForSync();
             model.synchronize();
         }},
        {"live output", [](StudioModel& model) { model.startLive(); }},
    };
    for (const auto& [name, start] : cases) {
        SCOPED_TRACE(name);
        FakeStudio s;
        s.platform.settle();
        s.model->select(1);
        start(*s.model);
        const bool pending = s.model->hasPendingWork();
        std::vector<int> quits;
        s.model->prepareToQuit([&] { quits.push_back(1); });
        s.model->prepareToQuit([&] { quits.push_back(2); });
        EXPECT_EQ(quits.size(), pending ? 0U : 2U);

        const auto queued = s.platform.jobs->count();
        s.model->refresh(false);
        s.model->read();
        s.model->apply(true);
        s.model->clearSyncTargets();
        s.model->synchronize();
        s.model->startLive();
        EXPECT_EQ(s.platform.jobs->count(), queued);
        while (s.platform.step()) {
            EXPECT_EQ(quits.empty(), s.model->hasPendingWork());
        }
        EXPECT_EQ(quits, (std::vector {1, 2}));
        EXPECT_FALSE(s.model->session(1)->busy());
    }
}

} // namespace
} // namespace kavrin
