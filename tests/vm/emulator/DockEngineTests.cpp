#include "DockEngine.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using namespace kavrin::vmtest;

namespace {

// GCC 12 warns about designated initializers that leave members to their defaults.
FaultPlan plan(void (*adjust)(FaultPlan&))
{
    FaultPlan faults;
    adjust(faults);
    return faults;
}

// Plays space-separated steps on a dock with the default lamp (mode 010A05, colour FF6400): a
// report in hex is a set-feature, "?" a get-feature. Each reply shows as its answer in hex or by
// kind (listed in Reply::Kind's order): ok (accepted), no (rejected), failed or gone (vanished).
std::string play(DockModel model, const FaultPlan& faults, const std::string& steps)
{
    static constexpr const char* kinds[] = {"ok", "answered", "no", "failed", "gone"};
    DockEngine engine(model, Lamp {}, faults);
    std::istringstream in(steps);
    std::string replies;
    for (std::string step; in >> step;) {
        std::vector<std::uint8_t> report;
        for (std::size_t at = 0; at + 1 < step.size(); at += 2)
            report.push_back(static_cast<std::uint8_t>(std::stoul(step.substr(at, 2), nullptr, 16)));
        const Reply reply = step == "?" ? engine.get() : engine.set(report);
        replies += (replies.empty() ? "" : " ")
            + (reply.kind == Reply::Kind::answered ? hex(reply.answer) : kinds[static_cast<int>(reply.kind)]);
    }
    return replies;
}

struct Case {
    const char* name;
    DockModel model;
    FaultPlan faults;
    const char* steps;
    const char* replies;
};

TEST(DockEngine, RepliesToEachStep)
{
    const auto forge = DockModel::forgeCube;
    const auto mind = DockModel::mindCube;
    const FaultPlan none;
    const Case cases[] = {
        // Colour, breathing level 5 speed 3, read-back; then flashing and dual flashing, which take the
        // percentage.
        {"forge commands", forge, none,
         "01C8102030080100 01C9020507010800 00CB000000000000 ? 00CA080000000000 ? "
         "01C9042D00010800 01C9055A00010800 00CB000000000000 ?",
         "ok ok ok 00CB020507000000 ok 00CA102030000000 ok ok ok 00CB055A00000000"},
        // Nothing to answer before a request; commanded as speed - 1 and answered as 9 - speed.
        {"mind commands", mind, none,
         "? C9022D0200000000 CD40506000000000 00CB000000000000 ? 00CA000000000000 ? "
         "C908640500000000 00CB000000000000 ?",
         "no ok ok ok 00CB022D06000000 ok 00CA405060000000 ok ok 00CB086403000000"},
        // Wave, level 11, flashing 101, speed byte 10, colour with the mode trailer, the newer
        // model's colour and save, a short report.
        {"forge refuses and keeps its lamp", forge, none,
         "01C9080507010800 01C9010B05010800 01C9046505010800 01C901050A010800 01C8102030010800 CD10203000000000 "
         "B600000000000000 01C81020300801 00CB000000000000 ? 00CA080000000000 ?",
         "no no no no no no no no ok 00CB010A05000000 ok 00CAFF6400000000"},
        // Speed byte 6, brightness 101, effect 6, colour with a tail, the older model's colour,
        // save and colour request.
        {"mind refuses and keeps its lamp", mind, none,
         "C901640600000000 C901650000000000 C906640000000000 CD10203001000000 01C8102030080100 01B6000000000000 "
         "00CA080000000000 00CB000000000000 ? 00CA000000000000 ?",
         "no no no no no no no ok 00CB010A05000000 ok 00CAFF6400000000"},
        {"sets fail from the second on", mind, plan([](FaultPlan& f) { f.failSetFrom = 2; }),
         "00CB000000000000 ? 00CA000000000000 00CB000000000000", "ok 00CB010A05000000 failed failed"},
        {"gets fail from the second on", mind, plan([](FaultPlan& f) { f.failGetFrom = 2; }),
         "00CB000000000000 ? 00CA000000000000 ? ?", "ok 00CB010A05000000 ok failed failed"},
        {"vanishes after three reports of either kind", mind, plan([](FaultPlan& f) { f.vanishAfter = 3; }),
         "00CB000000000000 ? 00CA000000000000 ?", "ok 00CB010A05000000 ok gone"},
        {"vanishes at once", mind, plan([](FaultPlan& f) { f.vanishAfter = 0; }), "00CB000000000000", "gone"},
        {"only the first answer is corrupt", mind, plan([](FaultPlan& f) { f.corruptGet = 1; }), "00CB000000000000 ? ?",
         "ok 0034010A05000000 00CB010A05000000"},
        // Acknowledges valid commands without carrying them out, and still refuses invalid ones.
        {"ignores commands", forge, plan([](FaultPlan& f) { f.ignoreCommands = true; }),
         "01C8102030080100 01C9AA0507010800 01C9020507010800 00CB000000000000 ? 00CA080000000000 ?",
         "ok no ok ok 00CB010A05000000 ok 00CAFF6400000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(play(c.model, c.faults, c.steps), c.replies);
    }
}

} // namespace
