#include "KavrinRGBStudio/model/StudioSettingsSaver.hpp"
#include "KavrinRGBStudio/support/StudioFakes.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kavrin {
namespace {

constexpr double second = 1.0;

StudioSettings withBrightness(std::int64_t brightness)
{
    StudioSettings settings = defaultStudioSettings;
    settings.animation.brightness = brightness;
    return settings;
}

// Each step is a change noted with the brightness it names, a tick of the one-second timer ("tick"),
// or a flush at quit ("quit"); the saves are the brightnesses written, in order.
TEST(StudioSettingsSaver, WritesAtMostOnceASecondWhileEditsComeAndOnceMoreAtQuit)
{
    const struct {
        const char* name;
        std::vector<std::string> steps;
        std::vector<std::int64_t> saves;
        std::size_t timersLeft;
    } cases[] = {
        {"nothing changed", {"tick", "quit"}, {}, 0},
        {"a drag is saved once a second", {"10", "20", "tick", "30", "40", "tick"}, {20, 40}, 1},
        {"a quiet second stops the timer", {"10", "tick", "tick", "tick"}, {10}, 0},
        {"a change undone saves nothing", {"10", "80", "tick"}, {}, 0},
        {"quit saves what the tick has not", {"10", "tick", "20", "quit", "tick"}, {10, 20}, 0},
        {"quit with all saved writes nothing", {"10", "tick", "quit"}, {10}, 0},
        {"edits after quit start over", {"10", "quit", "20", "tick"}, {10, 20}, 1},
    };
    for (const auto& test : cases) {
        const auto timers = std::make_shared<fakes::ManualTimers>();
        std::vector<std::int64_t> saves;
        StudioSettingsSaver saver(
            [&](const StudioSettings& settings) { saves.push_back(settings.animation.brightness); }, timers,
            defaultStudioSettings);
        for (const std::string& step : test.steps) {
            if (step == "tick") {
                timers->fire(second);
            } else if (step == "quit") {
                saver.flush();
            } else {
                saver.note(withBrightness(std::stoll(step)));
            }
        }
        EXPECT_EQ(saves, test.saves) << test.name;
        EXPECT_EQ(timers->active(second), test.timersLeft) << test.name;
    }
}

} // namespace
} // namespace kavrin
