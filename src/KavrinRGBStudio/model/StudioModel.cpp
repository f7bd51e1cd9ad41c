#include "KavrinRGBStudio/model/StudioModel.hpp"

#include "KavrinRGBStudio/model/StudioModelState.hpp"

#include <algorithm>
#include <string>
#include <utility>

namespace kavrin {

namespace {

constexpr double rescanInterval = 3.0;
constexpr const char* sleepReason = "系统休眠，实时灯效已停止。";
constexpr const char* vanishedTargetReason = "实时目标断开，已停止输出并尝试还原其余设备。";
constexpr const char* partlyAppliedWarning = " 部分指令可能已生效，请先读取这台设备。";

std::vector<std::uint64_t> idsOf(const std::vector<RGBDevice>& devices)
{
    std::vector<std::uint64_t> ids;
    ids.reserve(devices.size());
    for (const RGBDevice& device : devices) {
        ids.push_back(device.id);
    }
    return ids;
}

std::string completionText(bool applying, bool persist)
{
    if (!applying) {
        return "已读取这台扩展坞的当前灯光参数。";
    }
    return persist ? "这台扩展坞已应用并回读确认；保存指令已发送，断电保留尚待验证。"
                   : "这台扩展坞已应用，并回读确认。";
}

} // namespace

std::string_view rawValue(StudioMode mode)
{
    return mode == StudioMode::hardware ? "硬件灯效" : "软件灯效";
}

StudioModel::State::Update::Update(State& state)
    : state_(state)
{
    ++state_.updateDepth;
}

StudioModel::State::Update::~Update()
{
    if (--state_.updateDepth != 0) {
        return;
    }
    // Noted at the end of every operation and completion, so that no path that changes them is missed.
    if (state_.settingsSaver) {
        state_.settingsSaver->note({state_.animation, state_.previewPlaying});
    }
    if (std::exchange(state_.dirty, false) && state_.changeHandler) {
        state_.changeHandler();
    }
}

StudioModel::State::State(StudioServices services)
    : io(std::move(services.io))
    , demo(services.demo)
    , queue(std::move(services.queue))
    , mainThread(std::move(services.mainThread))
    , timers(std::move(services.timers))
    , uptime(std::move(services.uptime))
    , power(std::move(services.power))
    , previewClock(uptime())
{
    if (services.settingsStore) {
        restoreSettings(services.settingsStore);
    }
}

StudioModel::StudioModel(StudioServices services)
    : state_(std::make_unique<State>(std::move(services)))
{
    State& state = *state_;
    state.refresh(false);
    // Timer ticks and the sleep announcement arrive on the main thread, where the model is destroyed,
    // and both are withdrawn by the destructor, so they may address the state directly.
    if (state.power) {
        state.power->setWillSleepHandler([&state] {
            const State::Update update(state);
            state.stopLive(sleepReason, nullptr);
        });
    }
    if (!state.demo) {
        state.rescanTimer = state.timers->startRepeating(rescanInterval, [&state] {
            const State::Update update(state);
            state.refresh(true);
        });
    }
}

StudioModel::~StudioModel()
{
    State& state = *state_;
    if (state.settingsSaver) {
        state.settingsSaver->flush();
    }
    state.rescanTimer.reset();
    state.cancelLiveForTeardown();
    if (state.power) {
        state.power->setWillSleepHandler(nullptr);
    }
}

void StudioModel::setChangeHandler(Callback handler)
{
    state_->changeHandler = std::move(handler);
}

const std::vector<RGBDevice>& StudioModel::devices() const
{
    return state_->devices;
}

const DeviceWorkspace& StudioModel::workspace() const
{
    return state_->workspace;
}

bool StudioModel::scanning() const
{
    return state_->scanning;
}

bool StudioModel::demo() const
{
    return state_->demo;
}

bool StudioModel::quitting() const
{
    return state_->quitting;
}

std::optional<RGBDevice> StudioModel::selected() const
{
    return state_->selected();
}

std::optional<DockSession> StudioModel::session(std::uint64_t id) const
{
    const auto& sessions = state_->workspace.sessions();
    const auto found = sessions.find(id);
    return found == sessions.end() ? std::nullopt : std::optional(found->second);
}

LightingSettings StudioModel::settings() const
{
    return state_->settings();
}

void StudioModel::setSettings(const LightingSettings& settings)
{
    const State::Update update(*state_);
    state_->editSelected([&](DockSession& session) { session.settings = settings; });
}

std::string StudioModel::hexText() const
{
    return state_->hexText();
}

void StudioModel::setHexText(const std::string& text)
{
    const State::Update update(*state_);
    state_->editSelected([&](DockSession& session) { session.hexText = text; });
}

void StudioModel::setColor(LightColor color)
{
    const State::Update update(*state_);
    state_->editSelected([&](DockSession& session) {
        session.settings.color = color;
        session.hexText = color.hex();
    });
}

std::string StudioModel::status() const
{
    const auto session = state_->workspace.selectedSession();
    return session ? session->status : state_->scanStatus;
}

bool StudioModel::isError() const
{
    const auto session = state_->workspace.selectedSession();
    return session ? session->isError : state_->scanError;
}

bool StudioModel::hasPendingWork() const
{
    return state_->hasPendingWork();
}

void StudioModel::refresh(bool quiet)
{
    const State::Update update(*state_);
    state_->refresh(quiet);
}

void StudioModel::select(std::uint64_t id)
{
    const State::Update update(*state_);
    const auto before = state_->workspace.selectedID();
    state_->workspace.select(id);
    state_->dirty = state_->dirty || before != state_->workspace.selectedID();
}

void StudioModel::read()
{
    const State::Update update(*state_);
    state_->read();
}

void StudioModel::apply(bool persist)
{
    const State::Update update(*state_);
    state_->apply(persist);
}

void StudioModel::prepareToQuit(Callback completion)
{
    const State::Update update(*state_);
    state_->prepareToQuit(std::move(completion));
}

StudioMode StudioModel::mode() const
{
    return state_->mode;
}

void StudioModel::setMode(StudioMode mode)
{
    const State::Update update(*state_);
    state_->assign(state_->mode, mode);
}

std::optional<RGBDevice> StudioModel::State::selected() const
{
    const auto id = workspace.selectedID();
    const auto found = std::ranges::find_if(devices, [&](const RGBDevice& device) { return id == device.id; });
    return found == devices.end() ? std::nullopt : std::optional(*found);
}

LightingSettings StudioModel::State::settings() const
{
    const auto session = workspace.selectedSession();
    return session ? session->settings : defaultEditingSettings;
}

std::string StudioModel::State::hexText() const
{
    const auto session = workspace.selectedSession();
    return session ? session->hexText : defaultEditingSettings.color.hex();
}

void StudioModel::State::editSession(std::optional<std::uint64_t> id, const std::function<void(DockSession&)>& mutation)
{
    const auto& sessions = workspace.sessions();
    const auto before = id && sessions.contains(*id) ? std::optional(sessions.at(*id)) : std::nullopt;
    workspace.edit(id, mutation);
    // Busy and missing sessions refuse the edit; then nothing changed and nothing is announced.
    dirty = dirty || (before && sessions.at(*id) != *before);
}

void StudioModel::State::editSelected(const std::function<void(DockSession&)>& mutation)
{
    editSession(workspace.selectedID(), mutation);
}

bool StudioModel::State::hasPendingWork() const
{
    return liveState != LiveState::idle || syncBusy || workspace.pendingCount() > 0;
}

void StudioModel::State::refresh(bool quiet)
{
    if (scanning || quitting) {
        return;
    }
    if (demo) {
        demoScan();
        return;
    }
    scanning = true;
    touch();
    // The job skips the device when the model went away while it waited.
    background(
        [io = io, alive = std::weak_ptr<int>(alive)] {
            return alive.expired() ? std::vector<RGBDevice> {} : io->list();
        },
        [quiet](State& state, const Attempt<std::vector<RGBDevice>>& scan) { state.scanCompleted(scan, quiet); });
}

void StudioModel::State::demoScan()
{
    devices = io->list();
    workspace.reconcile(idsOf(devices));
    if (firstScan && !devices.empty()) {
        workspace.select(devices.front().id);
        firstScan = false;
    }
    scanStatus = "演示模式：三台独立设备，调节只影响预览。";
    touch();
}

void StudioModel::State::scanCompleted(const Attempt<std::vector<RGBDevice>>& scan, bool quiet)
{
    scanning = false;
    touch();
    if (!scan.value) {
        if (!quiet) {
            scanStatus = scan.error;
            scanError = true;
        }
        return;
    }
    const bool hadSelection = workspace.selectedID().has_value();
    devices = *scan.value;
    const std::vector<std::uint64_t> ids = idsOf(devices);
    // A dock that one enumeration misses may still be in use by an operation in flight. Its session
    // stays until that settles, so a listing that brings the dock back cannot start a second one.
    std::vector<std::uint64_t> kept = ids;
    for (const auto& [id, session] : workspace.sessions()) {
        if (session.busy()) {
            kept.push_back(id);
        }
    }
    workspace.reconcile(kept);
    std::erase_if(syncTargetIDs, [&](std::uint64_t id) { return std::ranges::find(ids, id) == ids.end(); });
    stopIfLiveTargetVanished();

    if (hadSelection && !workspace.selectedID()) {
        scanStatus = "所选设备已断开。重新连接后，请重新选择。";
        scanError = true;
    } else if (devices.size() == 1 && firstScan) {
        workspace.select(devices.front().id);
    } else if (quiet || workspace.selectedID()) {
        // A quiet scan keeps the current line; a selected dock shows its own.
    } else if (!devices.empty()) {
        scanStatus = "检测到 " + std::to_string(devices.size()) + " 台设备，请从左侧选择。";
        scanError = false;
    } else {
        scanStatus = "未找到支持的灯光接口。请检查扩展坞供电和 USB 上行连接。";
        scanError = false;
    }
    firstScan = false;
}

void StudioModel::State::stopIfLiveTargetVanished()
{
    if (liveState == LiveState::idle || !liveRun) {
        return;
    }
    // Compared whole: the same ID at another location is another connection.
    const bool vanished = std::ranges::any_of(capturedLiveTargets, [&](const RGBDevice& target) {
        return std::ranges::find(devices, target) == devices.end();
    });
    if (vanished) {
        stopLive(vanishedTargetReason, nullptr);
    }
}

std::optional<RGBDevice> StudioModel::State::idleSelection() const
{
    const auto session = workspace.selectedSession();
    if ((session && session->busy()) || quitting) {
        return std::nullopt;
    }
    return selected();
}

void StudioModel::State::showOnSession(std::uint64_t id, const std::string& message)
{
    editSession(id, [&](DockSession& session) {
        session.status = message;
        session.isError = true;
    });
}

void StudioModel::State::read()
{
    const auto device = idleSelection();
    if (!device) {
        return;
    }
    if (!demo) {
        perform(*device, "正在读取这台扩展坞的设置…", false, false,
                [io = io, device = *device] { return io->read(device); });
        return;
    }
    try {
        completeDemo(*device, io->read(*device), "已读取这台演示设备，未访问硬件。");
    } catch (const std::exception& error) {
        showOnSession(device->id, error.what());
    }
}

void StudioModel::State::apply(bool persist)
{
    const auto device = idleSelection();
    if (!device) {
        return;
    }
    LightingSettings request = settings();
    try {
        request.color = LightColor::fromHex(hexText());
        validate(profileOrLegacy(*device), request);
    } catch (const std::exception& error) {
        showOnSession(device->id, error.what());
        return;
    }
    // The typed text stays until the read-back replaces it.
    editSelected([&](DockSession& session) { session.settings = request; });
    if (!demo) {
        perform(*device, persist ? "正在应用并保存这台扩展坞…" : "正在应用这台扩展坞并回读…", persist, true,
                [io = io, device = *device, request, persist] { return io->apply(request, device, persist); });
        return;
    }
    try {
        const LightingSettings actual = io->apply(request, *device, persist);
        completeDemo(*device, actual,
                     std::string("这台演示设备") + (persist ? "保存" : "应用") + "完成，未发送 USB 命令。");
    } catch (const std::exception& error) {
        showOnSession(device->id, error.what());
    }
}

template <class Operation>
void StudioModel::State::perform(const RGBDevice& device, const std::string& message, bool persist, bool applying,
                                 Operation operation)
{
    const auto token = workspace.begin(device.id, message);
    if (!token) {
        return;
    }
    touch();
    background(
        std::move(operation),
        [id = device.id, token = *token, persist, applying](State& state, const Attempt<LightingSettings>& result) {
            if (result.value) {
                state.workspace.finish(id, token, result.value, completionText(applying, persist), false);
            } else {
                state.workspace.finish(id, token, std::nullopt, result.error + (applying ? partlyAppliedWarning : ""),
                                       true);
            }
            state.touch();
            state.drainQuitIfIdle();
        });
}

void StudioModel::State::completeDemo(const RGBDevice& device, const LightingSettings& actual,
                                      const std::string& message)
{
    if (const auto token = workspace.begin(device.id, message)) {
        workspace.finish(device.id, *token, actual, message, false);
        touch();
    }
}

void StudioModel::State::prepareToQuit(Callback completion)
{
    quitting = true;
    if (settingsSaver) {
        settingsSaver->flush();
    }
    quitCompletions.push_back(std::move(completion));
    touch();
    if (liveState != LiveState::idle) {
        stopLive(std::nullopt, nullptr);
    }
    drainQuitIfIdle();
}

void StudioModel::State::drainQuitIfIdle()
{
    if (hasPendingWork()) {
        return;
    }
    for (const Callback& completion : std::exchange(quitCompletions, {})) {
        if (completion) {
            completion();
        }
    }
}

} // namespace kavrin
