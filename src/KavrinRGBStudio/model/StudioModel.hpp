#pragma once

#include "KavrinRGBStudio/device/DockLightingIO.hpp"
#include "KavrinRGBStudio/device/RGBDevice.hpp"
#include "KavrinRGBStudio/model/StudioPlatform.hpp"
#include "RGBProtocol/animation/AnimationModel.hpp"
#include "RGBProtocol/animation/PreviewClock.hpp"
#include "RGBProtocol/lighting/LightingValues.hpp"
#include "RGBProtocol/workspace/DeviceWorkspace.hpp"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kavrin {

class StudioSettingsStore;

enum class StudioMode : std::uint8_t { hardware, software };

inline constexpr std::array<StudioMode, 2> allStudioModes {StudioMode::hardware, StudioMode::software};

// The label shown in the mode switch.
std::string_view rawValue(StudioMode mode);

enum class LiveState : std::uint8_t { idle, starting, running, stopping };

// What the model is built from. `demo` is true exactly when `io` is the demonstration back-end.
struct StudioServices {
    std::shared_ptr<DockLightingIO> io;
    bool demo = false;
    std::unique_ptr<WorkQueue> queue;
    std::shared_ptr<MainThread> mainThread;
    std::shared_ptr<TimerFactory> timers;
    UptimeClock uptime;
    // Absent where the system has no power-management service to listen to.
    std::unique_ptr<SystemPower> power;
    // Where the software lighting is remembered between runs; absent, it starts from the defaults and
    // nothing is read or written. Initialised so that a brace list ending before it draws no warning.
    std::shared_ptr<StudioSettingsStore> settingsStore = nullptr;
};

// The window application's one controller. Every member is called on the main thread and returns at
// once; blocking device work runs on the queue and its result is folded back on the main thread.
// Guards fail silently: an operation the current state does not allow does nothing.
class StudioModel {
public:
    using Callback = std::function<void()>;

    // Starts the first scan, listens for system sleep and, outside demo mode, rescans quietly every 3 s.
    explicit StudioModel(StudioServices services);
    // Stops the timers and cancels a live run without restoring it; owners drain first (prepareToQuit).
    ~StudioModel();

    StudioModel(const StudioModel&) = delete;
    StudioModel& operator=(const StudioModel&) = delete;

    // Called after every operation or completion that changed published state; views re-read then.
    void setChangeHandler(Callback handler);

    // Scanning, selection, reading and applying.
    const std::vector<RGBDevice>& devices() const;
    const DeviceWorkspace& workspace() const;
    bool scanning() const;
    bool demo() const;
    bool quitting() const;
    std::optional<RGBDevice> selected() const;
    std::optional<DockSession> session(std::uint64_t id) const;
    LightingSettings settings() const;
    void setSettings(const LightingSettings& settings);
    std::string hexText() const;
    void setHexText(const std::string& text);
    void setColor(LightColor color);
    std::string status() const;
    bool isError() const;
    bool hasPendingWork() const;

    void refresh(bool quiet);
    void select(std::uint64_t id);
    void read();
    void apply(bool persist);

    // Quitting: the completion runs once, on the main thread, when no device work is left.
    void prepareToQuit(Callback completion);

    // Editor mode.
    StudioMode mode() const;
    void setMode(StudioMode mode);

    // Synchronisation.
    const std::set<std::uint64_t>& syncTargetIDs() const;
    std::vector<RGBDevice> syncTargets() const;
    LightingEffect syncEffect() const;
    void setSyncEffect(LightingEffect effect);
    std::vector<LightingEffect> commonSyncEffects() const;
    bool syncBusy() const;
    const std::string& syncMessage() const;
    bool syncError() const;
    bool canSynchronize() const;

    void toggleSyncTarget(std::uint64_t id);
    void selectAllForSync();
    void clearSyncTargets();
    void synchronize();

    // Software animation, preview and live output.
    const AnimationSettings& animation() const;
    void setAnimation(const AnimationSettings& animation);
    void setTheme(ColorTheme theme);
    bool previewPlaying() const;
    void setPreviewPlaying(bool playing);
    AnimationSettings previewSettings() const;
    double previewElapsed() const;

    LiveState liveState() const;
    const std::string& liveMessage() const;
    bool liveError() const;
    const std::set<std::uint64_t>& liveTargetIDs() const;
    std::vector<RGBDevice> realTimeTargets() const;

    void startLive();
    // The reason, when given, is shown as an error; the completion runs once the docks are restored.
    void stopLive(std::optional<std::string> reason, Callback completion);

private:
    // Private state and helpers are the implementation's; see StudioModel.cpp.
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace kavrin
