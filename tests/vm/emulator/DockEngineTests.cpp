#include "DockEngine.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

using namespace kavrin::vmtest;

namespace {

// Plays space-separated steps on a dock with the default lamp (mode 010A05, colour FF6400): a
// report in hex is a set-feature, "?" a get-feature. Each reply shows as its answer in hex or by
// kind: ok (accepted) or no (rejected). The faults are pinned by the VM scenarios.
std::string play(DockModel model, const std::string& steps)
{
    static constexpr const char* kinds[] = {"ok", "answered", "no"};
    DockEngine engine(model, Lamp {}, FaultPlan {});
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
    const char* steps;
    const char* replies;
};

TEST(DockEngine, RepliesToEachStep)
{
    const auto forge = DockModel::forgeCube;
    const auto mind = DockModel::mindCube;
    const Case cases[] = {
        // Colour, breathing level 5 speed 3, read-back; then flashing and dual flashing, which take the
        // percentage.
        {"forge commands", forge,
         "01C8102030080100 01C9020507010800 00CB000000000000 ? 00CA080000000000 ? "
         "01C9042D00010800 01C9055A00010800 00CB000000000000 ?",
         "ok ok ok 00CB020507000000 ok 00CA102030000000 ok ok ok 00CB055A00000000"},
        // Nothing to answer before a request; commanded as speed - 1 and answered as 9 - speed.
        {"mind commands", mind,
         "? C9022D0200000000 CD40506000000000 00CB000000000000 ? 00CA000000000000 ? "
         "C908640500000000 00CB000000000000 ?",
         "no ok ok ok 00CB022D06000000 ok 00CA405060000000 ok ok 00CB086403000000"},
        // Wave, level 11, flashing 101, speed byte 10, colour with the mode trailer, the newer
        // model's colour and save, a short report.
        {"forge refuses and keeps its lamp", forge,
         "01C9080507010800 01C9010B05010800 01C9046505010800 01C901050A010800 01C8102030010800 CD10203000000000 "
         "B600000000000000 01C81020300801 00CB000000000000 ? 00CA080000000000 ?",
         "no no no no no no no no ok 00CB010A05000000 ok 00CAFF6400000000"},
        // Speed byte 6, brightness 101, effect 6, colour with a tail, the older model's colour,
        // save and colour request.
        {"mind refuses and keeps its lamp", mind,
         "C901640600000000 C901650000000000 C906640000000000 CD10203001000000 01C8102030080100 01B6000000000000 "
         "00CA080000000000 00CB000000000000 ? 00CA000000000000 ?",
         "no no no no no no no ok 00CB010A05000000 ok 00CAFF6400000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(play(c.model, c.steps), c.replies);
    }
}

} // namespace
