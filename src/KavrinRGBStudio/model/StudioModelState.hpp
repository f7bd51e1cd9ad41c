#pragma once

// The studio model's private state and its operations, shared by the model's source files.

#include "KavrinRGBStudio/groups/DockGroupOperations.hpp"
#include "KavrinRGBStudio/groups/LiveLightingRun.hpp"
#include "KavrinRGBStudio/model/StudioModel.hpp"
#include "KavrinRGBStudio/model/StudioSettingsSaver.hpp"
#include "RGBProtocol/lighting/ControllerProfile.hpp"
#include "RGBProtocol/workspace/OperationToken.hpp"

#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace kavrin {

// What a blocking job produced: its value, or the user-facing text of its failure.
template <class T> struct Attempt {
    std::optional<T> value;
    std::string error;
};

template <class Work> auto attempt(Work& work) -> Attempt<std::invoke_result_t<Work&>>
{
    try {
        return {work(), {}};
    } catch (const std::exception& error) {
        return {std::nullopt, error.what()};
    }
}

using DockTokens = std::map<std::uint64_t, OperationToken>;

struct StudioModel::State {
    explicit State(StudioServices services);

    // One change notification per operation or completion, however many properties it changed:
    // every entry point holds an Update, and the outermost one notifies.
    class Update {
    public:
        explicit Update(State& state);
        ~Update();
        Update(const Update&) = delete;
        Update& operator=(const Update&) = delete;

    private:
        State& state_;
    };
    void touch() { dirty = true; }
    // Sets a published field, announcing only a real change, so views writing back what they show
    // cause no further notification.
    template <class T> void assign(T& field, const T& value)
    {
        if (field != value) {
            field = value;
            touch();
        }
    }

    // Runs `work` on the queue and `done(state, attempt)` back on the main thread, unless the model
    // is gone by then. The work captures its inputs by value and never reads the model.
    template <class Work, class Done> void background(Work work, Done done);

    // Scanning, selection, reading and applying.
    void refresh(bool quiet);
    void demoScan();
    void scanCompleted(const Attempt<std::vector<RGBDevice>>& scan, bool quiet);
    void stopIfLiveTargetVanished();
    void read();
    void apply(bool persist);
    std::optional<RGBDevice> idleSelection() const;
    void showOnSession(std::uint64_t id, const std::string& message);
    template <class Operation>
    void perform(const RGBDevice& device, const std::string& message, bool persist, bool applying, Operation operation);
    void completeDemo(const RGBDevice& device, const LightingSettings& actual, const std::string& message);
    void editSession(std::optional<std::uint64_t> id, const std::function<void(DockSession&)>& mutation);
    void editSelected(const std::function<void(DockSession&)>& mutation);
    std::optional<RGBDevice> selected() const;
    LightingSettings settings() const;
    std::string hexText() const;
    bool hasPendingWork() const;
    void prepareToQuit(Callback completion);
    void drainQuitIfIdle();

    // Synchronisation.
    bool targetsIdle(const std::vector<RGBDevice>& targets) const;
    bool targetsFrozen() const;
    void setSyncTargets(std::set<std::uint64_t> ids);
    void reconcileSyncEffect();
    std::vector<RGBDevice> syncTargets() const;
    std::vector<LightingEffect> commonSyncEffects() const;
    bool canSynchronize() const;
    void synchronize();
    DockGroupOperations::Plan syncPlan(const std::vector<RGBDevice>& targets) const;
    void syncCompleted(const Attempt<std::vector<DockOutcome>>& result, std::size_t targetCount,
                       const DockTokens& tokens);
    void finishGroup(const std::vector<DockOutcome>& outcomes, const DockTokens& tokens);
    void failTokens(const DockTokens& tokens, const std::string& message);

    // Software animation, preview and live output.
    void restoreSettings(const std::shared_ptr<StudioSettingsStore>& store);
    void setAnimation(const AnimationSettings& settings);
    void setPreviewPlaying(bool playing);
    AnimationSettings previewSettings() const;
    std::vector<RGBDevice> realTimeTargets() const;
    void startLive();
    void startCompleted(const Attempt<std::shared_ptr<LiveLightingRun>>& start, std::uint64_t generation);
    void beginRunning();
    void tickLive();
    void frameCompleted(const Attempt<bool>& frame, std::uint64_t generation);
    void stopLive(const std::optional<std::string>& reason, Callback completion);
    void stopCompleted(const Attempt<std::vector<DockOutcome>>& restore, const DockTokens& tokens);
    void endLiveWithError(const DockTokens& tokens, const std::string& message);
    void finishLiveStop();
    void completeStopWaiters();
    void cancelLiveForTeardown();

    // The back-end and the platform.
    std::shared_ptr<DockLightingIO> io;
    bool demo;
    std::unique_ptr<WorkQueue> queue;
    std::shared_ptr<MainThread> mainThread;
    std::shared_ptr<TimerFactory> timers;
    UptimeClock uptime;
    std::unique_ptr<SystemPower> power;
    // Completions hold it weakly and check it on the main thread, where the model is destroyed.
    std::shared_ptr<int> alive = std::make_shared<int>(0);

    Callback changeHandler;
    int updateDepth = 0;
    bool dirty = false;

    // Scanning, selection, reading and applying.
    std::vector<RGBDevice> devices;
    DeviceWorkspace workspace;
    bool scanning = false;
    std::string scanStatus = "正在查找灯光控制器…";
    bool scanError = false;
    bool firstScan = true;
    bool quitting = false;
    std::vector<Callback> quitCompletions;
    std::unique_ptr<RepeatingTimer> rescanTimer;

    StudioMode mode = StudioMode::hardware;

    // Synchronisation.
    std::set<std::uint64_t> syncTargetIDs;
    LightingEffect syncEffect = LightingEffect::solid;
    bool syncBusy = false;
    std::string syncMessage = "勾选左侧设备，选择共同灯效后同步应用。";
    bool syncError = false;

    // Software animation, preview and live output.
    AnimationSettings animation = defaultStudioSettings.animation;
    bool previewPlaying = defaultStudioSettings.previewPlaying;
    PreviewClock previewClock;
    LiveState liveState = LiveState::idle;
    std::string liveMessage = "在界面里预览，或开始实时输出到目标扩展坞。";
    bool liveError = false;
    std::set<std::uint64_t> liveTargetIDs;
    std::shared_ptr<LiveLightingRun> liveRun;
    std::vector<RGBDevice> capturedLiveTargets;
    DockTokens liveTokens;
    // Identity of the latest start; results of older starts and their frames are ignored.
    std::uint64_t liveGeneration = 0;
    std::unique_ptr<RepeatingTimer> liveTimer;
    bool frameInFlight = false;
    bool stopRequested = false;
    std::vector<Callback> stopCompletions;
    std::unique_ptr<PowerLock> sleepDelay;
    // Absent without a settings store.
    std::unique_ptr<StudioSettingsSaver> settingsSaver;
};

template <class Work, class Done> void StudioModel::State::background(Work work, Done done)
{
    queue->submit([work = std::move(work), done = std::move(done), main = mainThread, alive = std::weak_ptr<int>(alive),
                   state = this]() mutable {
        auto result = attempt(work);
        main->post([done = std::move(done), result = std::move(result), alive, state]() mutable {
            if (alive.lock()) {
                const Update update(*state);
                done(*state, result);
            }
        });
    });
}

} // namespace kavrin
