#include "DockEngine.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

using namespace kavrin::vmtest;

namespace {

// Plays space-separated steps on a dock with the default lamp (mode 010A05, colour FF6400): a
// report in hex is a set-feature, "?" a get-feature. Each reply shows as its answer in hex, ok
// (accepted) or no (refused). The faults and the commands the product sends are pinned
// by the VM scenarios; these are the boundaries of what each model takes.
std::string play(DockModel model, const std::string& steps)
{
    DockEngine engine {model};
    std::istringstream in(steps);
    std::string replies;
    for (std::string step; in >> step;) {
        std::vector<std::uint8_t> report;
        for (std::size_t at = 0; at + 1 < step.size(); at += 2)
            report.push_back(static_cast<std::uint8_t>(std::stoul(step.substr(at, 2), nullptr, 16)));
        std::string reply;
        if (step == "?")
            reply = engine.get() ? hex(*engine.get()) : "no";
        else
            reply = engine.set(report) ? "ok" : "no";
        replies += (replies.empty() ? "" : " ") + reply;
    }
    return replies;
}

TEST(DockEngine, TakesTheModelsOwnReportsInRangeOnly)
{
    // Colour; flashing and dual flashing take the percentage. Then refused: wave, level 11, flashing 101,
    // speed byte 10, colour with the mode trailer, the newer model's colour and save, a short report.
    EXPECT_EQ(
        play(DockModel::forgeCube,
             "01C8102030080100 01C9042D00010800 01C9055A00010800 01C9080507010800 01C9010B05010800 01C9046505010800 "
             "01C901050A010800 01C8102030010800 CD10203000000000 B600000000000000 01C81020300801 "
             "00CB000000000000 ? 00CA080000000000 ?"),
        "ok ok ok no no no no no no no no ok 00CB055A00000000 ok 00CA102030000000");
    // Nothing to answer before a request; colour; effect 8 at full brightness and top speed, commanded as
    // speed - 1 and answered as 9 - speed. Then refused: speed byte 6, brightness 101, effect 6, colour
    // with a tail, the older model's colour, save and colour request.
    EXPECT_EQ(
        play(DockModel::mindCube,
             "? CD40506000000000 C908640500000000 C901640600000000 C901650000000000 C906640000000000 CD10203001000000 "
             "01C8102030080100 01B6000000000000 00CA080000000000 00CB000000000000 ? 00CA000000000000 ?"),
        "no ok ok no no no no no no no ok 00CB086403000000 ok 00CA405060000000");
}

} // namespace
