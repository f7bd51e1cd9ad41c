// The studio model over faulty simulated docks on simulated time, for as long as asked: random user
// actions, timer ticks, sleep announcements, unplugged and returning docks and quit requests between
// the I/O steps, with the model's rules checked after every one. Seeded and reproducible:
// KAVRIN_SOAK_SEED picks the seed, KAVRIN_SOAK_STEPS the length (a few seconds by default).
#include "SoakDocks.hpp"

#include "KavrinRGBStudio/model/StudioModel.hpp"

#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <iostream>
#include <map>
#include <sstream>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// The sanitizers' own allocator replaces malloc's bookkeeping; GCC ships no header for it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace kavrin::soak {
namespace {

std::uint64_t environmentNumber(const char* name, std::uint64_t fallback)
{
    const char* text = std::getenv(name);
    return text ? std::strtoull(text, nullptr, 10) : fallback;
}

std::size_t allocatedBytes()
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

std::size_t openDescriptors()
{
    const auto entries = std::filesystem::directory_iterator("/proc/self/fd");
    return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}

// Each target of a group action with its settings when the action began.
struct GroupStart {
    struct Target {
        std::size_t dock;
        std::uint64_t id;
        LightingSettings before;
    };
    std::vector<Target> targets;
};

class Soak {
public:
    explicit Soak(std::uint64_t seed)
        : random_(seed)
    {
        docks_->onStep = [this](const PhysicalDock& dock, SoakDocks::Step step) { checkStep(dock, step); };
    }

    // One run of the application: a model from its first scan to its quit. A long live session
    // targets every dock and sees faults a hundred times less often.
    void session(std::size_t steps, bool longLive);

    std::string failure() const { return failure_; }
    std::string summary() const
    {
        return std::to_string(sessions_) + " sessions, " + std::to_string(liveRuns_) + " live runs, "
            + std::to_string(syncs_) + " synchronisations, " + std::to_string(docks_->frames) + " frames, "
            + std::to_string(docks_->faults) + " failed I/O steps";
    }

private:
    using Action = void (Soak::*)();

    bool chance(double probability) { return std::bernoulli_distribution(probability)(random_); }
    template <class T> T pick(std::span<const T> values)
    {
        return values[std::uniform_int_distribution<std::size_t>(0, values.size() - 1)(random_)];
    }
    std::optional<std::uint64_t> randomListedID();
    void fail(const std::string& what);

    void act();
    void trace(const char* what);
    void runJob() { platform_->step(); }
    void tickFrame();
    void tickRescan();
    void selectDock();
    void readDock() { model_->read(); }
    void applyDock();
    void typeColor();
    void toggleSyncTarget();
    void synchronize() { model_->synchronize(); }
    void startLive() { model_->startLive(); }
    void stopLive()
    {
        ++stopsRequested_;
        model_->stopLive(std::nullopt, [this] { ++stopsCompleted_; });
    }
    void editAnimation();
    void announceSleep();
    void unplugOrReplug();
    void quit();

    void checkStep(const PhysicalDock& dock, SoakDocks::Step step);
    void checkAfterAction();
    GroupStart groupStart(const std::vector<RGBDevice>& targets) const;
    void checkLiveEnded();
    void checkSyncEnded();

    std::mt19937_64 random_;
    fakes::FakeClock clock_;
    std::shared_ptr<SoakDocks> docks_ = std::make_shared<SoakDocks>(random_, clock_);
    std::unique_ptr<fakes::FakeStudioPlatform> platform_;
    std::unique_ptr<StudioModel> model_;
    LiveState liveBefore_ = LiveState::idle;
    bool syncBefore_ = false;
    GroupStart live_;
    GroupStart sync_;
    std::map<std::size_t, bool> restoreBegan_;
    int stopsRequested_ = 0;
    int stopsCompleted_ = 0;
    bool longLive_ = false;
    std::size_t sessions_ = 0;
    std::size_t liveRuns_ = 0;
    std::size_t syncs_ = 0;
    std::string failure_;
    std::deque<std::string> trace_;
};

void Soak::fail(const std::string& what)
{
    if (failure_.empty()) {
        failure_ = "session " + std::to_string(sessions_) + ": " + what + "; last actions:";
        for (const std::string& action : trace_) {
            failure_ += " " + action + ",";
        }
    }
}

std::optional<std::uint64_t> Soak::randomListedID()
{
    const std::vector<RGBDevice>& devices = model_->devices();
    if (devices.empty()) {
        return std::nullopt;
    }
    return pick(std::span<const RGBDevice>(devices)).id;
}

void Soak::act()
{
    // Weighted per kind of session: everything at once, or a long live run that only the rare fault,
    // sleep or vanished dock interrupts (and that is then started again).
    struct Choice {
        Action action;
        const char* name;
        int everything;
        int longLive;
    };
    static constexpr Choice choices[] = {
        {&Soak::runJob, "job", 40, 40},
        {&Soak::tickFrame, "frame tick", 12, 30},
        {&Soak::tickRescan, "rescan tick", 3, 1},
        {&Soak::selectDock, "select", 4, 0},
        {&Soak::readDock, "read", 3, 0},
        {&Soak::applyDock, "apply", 3, 0},
        {&Soak::typeColor, "type colour", 1, 0},
        {&Soak::toggleSyncTarget, "sync target", 4, 0},
        {&Soak::synchronize, "synchronise", 4, 0},
        {&Soak::startLive, "start live", 4, 1},
        {&Soak::stopLive, "stop live", 2, 0},
        {&Soak::editAnimation, "edit animation", 2, 2},
        {&Soak::announceSleep, "sleep", 1, 0},
        {&Soak::unplugOrReplug, "unplug or replug", 2, 0},
    };
    std::vector<int> weights;
    for (const Choice& choice : choices) {
        weights.push_back(longLive_ ? choice.longLive : choice.everything);
    }
    const Choice& chosen = choices[std::discrete_distribution<std::size_t>(weights.begin(), weights.end())(random_)];
    trace(chosen.name);
    (this->*chosen.action)();
}

void Soak::trace(const char* what)
{
    // The last few actions go with a failure, enough to replay it by hand.
    trace_.push_back(what);
    if (trace_.size() > 16) {
        trace_.pop_front();
    }
}

void Soak::tickFrame()
{
    clock_.advance(0.125);
    platform_->timers->fire(0.125);
}

void Soak::tickRescan()
{
    clock_.advance(3.0);
    platform_->timers->fire(3.0);
}

void Soak::selectDock()
{
    if (const auto id = randomListedID()) {
        model_->select(*id);
    }
}

void Soak::applyDock()
{
    const auto device = model_->selected();
    if (!device) {
        return;
    }
    const ControllerProfile profile = *matchingProfile(device->vendorID, device->productID);
    const auto number = [this](std::int64_t low, std::int64_t high) {
        return std::uniform_int_distribution<std::int64_t>(low, high)(random_);
    };
    const auto channel = [&] { return static_cast<std::uint8_t>(number(0, 255)); };
    const LightingSettings settings {chance(0.8),
                                     pick(effects(profile)),
                                     number(10, 100),
                                     number(1, speedRange(profile).upperBound),
                                     {channel(), channel(), channel()}};
    model_->setSettings(settings);
    // Never asked to save: so any saving write the docks see came from a group action.
    model_->apply(false);
}

void Soak::typeColor()
{
    static constexpr std::string_view texts[] = {"#12AB9F", "00FF00", "#GG0000", "", "#1234567"};
    model_->setHexText(std::string(pick(std::span<const std::string_view>(texts))));
}

void Soak::toggleSyncTarget()
{
    if (chance(0.2)) {
        model_->selectAllForSync();
    } else if (const auto id = randomListedID()) {
        model_->toggleSyncTarget(*id);
    }
    const std::vector<LightingEffect> effects = model_->commonSyncEffects();
    if (!effects.empty()) {
        model_->setSyncEffect(pick(std::span<const LightingEffect>(effects)));
    }
}

void Soak::editAnimation()
{
    AnimationSettings animation = model_->animation();
    animation.style = pick(std::span<const AnimationStyle>(allAnimationStyles));
    // Now and then out of range, which the model refuses without stopping the run.
    animation.brightness = std::uniform_int_distribution<std::int64_t>(-5, 100)(random_);
    animation.speed = std::uniform_int_distribution<std::int64_t>(1, 10)(random_);
    model_->setAnimation(animation);
}

void Soak::announceSleep()
{
    if (platform_->power->willSleep) {
        platform_->power->willSleep();
    }
}

void Soak::unplugOrReplug()
{
    PhysicalDock& dock = docks_->docks[std::uniform_int_distribution<std::size_t>(0, 2)(random_)];
    if (!dock.plugged) {
        docks_->replug(dock);
    } else if (chance(0.5)) {
        docks_->unplug(dock);
    } else {
        dock.missedOnce = true;
    }
}

// Device traffic only ever happens for an operation the model holds on that dock, and no frame
// reaches a dock once its restore has begun.
void Soak::checkStep(const PhysicalDock& dock, SoakDocks::Step step)
{
    const auto index = static_cast<std::size_t>(&dock - docks_->docks.data());
    if (!model_) {
        fail("a dock was reached after the model was gone");
        return;
    }
    const std::optional<DockSession> session = model_->session(dock.device.id);
    // A dock the last scan missed has no session until listed again; its operation goes on unowned,
    // but an idle session while the dock is in use would let a second operation begin.
    if (session && !session->busy()) {
        fail("dock " + std::to_string(dock.device.id) + " was reached while the model held it idle");
    }
    if (step == SoakDocks::Step::frame && restoreBegan_[index]) {
        fail("a frame reached dock " + std::to_string(dock.device.id) + " after its restore began");
    }
    if (step == SoakDocks::Step::write && model_->liveState() == LiveState::stopping) {
        restoreBegan_[index] = true;
    }
}

GroupStart Soak::groupStart(const std::vector<RGBDevice>& targets) const
{
    GroupStart start;
    for (const RGBDevice& target : targets) {
        for (std::size_t index = 0; index < docks_->docks.size(); ++index) {
            const PhysicalDock& dock = docks_->docks[index];
            if (dock.plugged && dock.device == target) {
                start.targets.push_back({index, target.id, dock.state});
            }
        }
    }
    return start;
}

// Every dock of a finished live run is back at its snapshot or carries an error outcome.
void Soak::checkLiveEnded()
{
    for (const GroupStart::Target& target : live_.targets) {
        const PhysicalDock& dock = docks_->docks[target.dock];
        const std::optional<DockSession> session = model_->session(target.id);
        const bool restored = dock.state == target.before;
        const bool reported = session ? session->isError : model_->liveError();
        if (!restored && !reported) {
            fail("dock " + std::to_string(target.id) + " was left changed after live output without an error");
        }
    }
    if (!model_->liveTargetIDs().empty()) {
        fail("live targets remain after live output ended");
    }
    restoreBegan_.clear();
}

// Every dock of a finished synchronisation holds what the model says it holds, unless it shows an
// error. A dock no longer listed has no session to say anything, and is left out.
void Soak::checkSyncEnded()
{
    for (const GroupStart::Target& target : sync_.targets) {
        const PhysicalDock& dock = docks_->docks[target.dock];
        const std::optional<DockSession> session = model_->session(target.id);
        if (session && !session->isError && session->lastRead != dock.state) {
            fail("dock " + std::to_string(target.id) + " holds other settings than its synchronisation reported");
        }
    }
}

void Soak::checkAfterAction()
{
    if (docks_->persistedWrites != 0) {
        fail("a group action asked a dock to save");
    }
    const LiveState live = model_->liveState();
    if (platform_->power->locksHeld != (live == LiveState::idle ? 0 : 1)) {
        fail("the sleep delay is not held exactly while live output runs");
    }
    if (liveBefore_ == LiveState::idle && live != LiveState::idle) {
        live_ = groupStart(model_->realTimeTargets());
        ++liveRuns_;
    } else if (liveBefore_ != LiveState::idle && live == LiveState::idle) {
        checkLiveEnded();
    }
    if (!syncBefore_ && model_->syncBusy()) {
        sync_ = groupStart(model_->syncTargets());
        ++syncs_;
    } else if (syncBefore_ && !model_->syncBusy()) {
        checkSyncEnded();
    }
    liveBefore_ = live;
    syncBefore_ = model_->syncBusy();
}

// Quitting waits for every operation; afterwards nothing is busy and nothing touches a dock.
void Soak::quit()
{
    int quits = 0;
    model_->prepareToQuit([&quits] { ++quits; });
    checkAfterAction();
    for (int step = 0; quits == 0 && step < 100000 && failure_.empty(); ++step) {
        static constexpr std::array<Action, 4> whileQuitting {&Soak::runJob, &Soak::tickFrame, &Soak::tickRescan,
                                                              &Soak::announceSleep};
        (this->*pick(std::span<const Action>(whileQuitting)))();
        checkAfterAction();
    }
    if (quits != 1) {
        fail("the quit completion ran " + std::to_string(quits) + " times");
    }
    if (model_->hasPendingWork() || model_->liveState() != LiveState::idle || model_->syncBusy()) {
        fail("the model quit with work pending");
    }
    for (const auto& [id, session] : model_->workspace().sessions()) {
        if (session.busy()) {
            fail("dock " + std::to_string(id) + " is still busy after the quit");
        }
    }
    model_.reset();
    platform_->settle();
    if (stopsCompleted_ != stopsRequested_) {
        fail("a stop completion ran " + std::to_string(stopsCompleted_) + " times for "
             + std::to_string(stopsRequested_) + " stops");
    }
}

void Soak::session(std::size_t steps, bool longLive)
{
    ++sessions_;
    longLive_ = longLive;
    docks_->faultRate = longLive ? 0.0005 : 0.05;
    platform_ = std::make_unique<fakes::FakeStudioPlatform>();
    platform_->clock = clock_;
    model_ = std::make_unique<StudioModel>(platform_->services(docks_));
    if (longLive) {
        platform_->settle();
        model_->selectAllForSync();
    }
    liveBefore_ = LiveState::idle;
    syncBefore_ = false;
    stopsRequested_ = stopsCompleted_ = 0;
    for (std::size_t step = 0; step < steps && failure_.empty(); ++step) {
        act();
        checkAfterAction();
    }
    quit();
    platform_.reset();
}

TEST(StudioSoak, FaultyDocksNeverLeaveTheModelBusyChangedOrGrowing)
{
    const std::uint64_t seed = environmentNumber("KAVRIN_SOAK_SEED", 20261206);
    const std::uint64_t steps = environmentNumber("KAVRIN_SOAK_STEPS", 300000);
    constexpr std::size_t stepsPerSession = 5000;
    // Allocator caches and one-time statics settle during the first session.
    Soak soak(seed);
    soak.session(stepsPerSession, true);
    soak.session(stepsPerSession, false);
    const std::size_t bytes = allocatedBytes();
    const std::size_t descriptors = openDescriptors();
    std::size_t largest = bytes;
    for (std::uint64_t done = 2 * stepsPerSession; done < steps && soak.failure().empty(); done += stepsPerSession) {
        soak.session(stepsPerSession, done / stepsPerSession % 2 == 0);
        largest = std::max(largest, allocatedBytes());
        ASSERT_EQ(openDescriptors(), descriptors) << "seed " << seed;
    }
    std::cout << "seed " << seed << ": " << soak.summary() << '\n';
    EXPECT_EQ(soak.failure(), "") << "seed " << seed;
    EXPECT_LT(largest, bytes + 64 * 1024) << "seed " << seed << ": memory grew";
}

} // namespace
} // namespace kavrin::soak
