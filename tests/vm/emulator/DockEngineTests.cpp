#include "DockEngine.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kavrin::vmtest;
using Kind = Reply::Kind;

namespace {

std::vector<std::uint8_t> bytes(const std::string& text)
{
    std::vector<std::uint8_t> result;
    for (std::size_t at = 0; at + 1 < text.size(); at += 2)
        result.push_back(static_cast<std::uint8_t>(std::stoul(text.substr(at, 2), nullptr, 16)));
    return result;
}

const std::string forgeModeRequest = "00CB000000000000";
const std::string forgeColorRequest = "00CA080000000000";
const std::string mindModeRequest = "00CB000000000000";
const std::string mindColorRequest = "00CA000000000000";

struct Answers {
    std::string mode;
    std::string color;
};

Answers readBack(DockEngine& engine, DockModel model)
{
    const bool forge = model == DockModel::forgeCube;
    Answers answers;
    EXPECT_EQ(engine.set(bytes(forge ? forgeModeRequest : mindModeRequest)).kind, Kind::accepted);
    answers.mode = hex(engine.get().answer);
    EXPECT_EQ(engine.set(bytes(forge ? forgeColorRequest : mindColorRequest)).kind, Kind::accepted);
    answers.color = hex(engine.get().answer);
    return answers;
}

struct CommandCase {
    const char* name;
    DockModel model;
    std::vector<std::string> commands;
    Answers expected;
};

// Names instead of byte dumps in test listings.
void PrintTo(const CommandCase& c, std::ostream* out)
{
    *out << c.name;
}

class DockEngineCommands : public testing::TestWithParam<CommandCase> { };

TEST_P(DockEngineCommands, AnswersReportWhatWasCommanded)
{
    const CommandCase& c = GetParam();
    DockEngine engine(c.model, Lamp {}, FaultPlan {});
    for (const std::string& command : c.commands)
        ASSERT_EQ(engine.set(bytes(command)).kind, Kind::accepted) << command;
    const Answers answers = readBack(engine, c.model);
    EXPECT_EQ(answers.mode, c.expected.mode);
    EXPECT_EQ(answers.color, c.expected.color);
}

INSTANTIATE_TEST_SUITE_P(Models, DockEngineCommands,
                         testing::Values(CommandCase {"forgeBreathingLevel5Speed3",
                                                      DockModel::forgeCube,
                                                      {"01C8FF6400080100", "01C9020507010800"},
                                                      {"00CB020507000000", "00CAFF6400000000"}},
                                         CommandCase {"forgeFlashingTakesThePercentage",
                                                      DockModel::forgeCube,
                                                      {"01C9042D00010800"},
                                                      {"00CB042D00000000", "00CAFF6400000000"}},
                                         CommandCase {"forgeOff",
                                                      DockModel::forgeCube,
                                                      {"01C9010009010800"},
                                                      {"00CB010009000000", "00CAFF6400000000"}},
                                         // The newer model is commanded with speed - 1 and answers with 9 - speed.
                                         CommandCase {"mindBreathingSpeed3",
                                                      DockModel::mindCube,
                                                      {"C9022D0200000000", "CDFF640000000000"},
                                                      {"00CB022D06000000", "00CAFF6400000000"}},
                                         CommandCase {"mindWaveSpeed6",
                                                      DockModel::mindCube,
                                                      {"C908640500000000", "CD10203000000000"},
                                                      {"00CB086403000000", "00CA102030000000"}}),
                         [](const auto& info) { return info.param.name; });

struct RejectCase {
    const char* name;
    DockModel model;
    std::string report;
};

void PrintTo(const RejectCase& c, std::ostream* out)
{
    *out << c.name;
}

class DockEngineRejects : public testing::TestWithParam<RejectCase> { };

TEST_P(DockEngineRejects, RejectedReportChangesNothing)
{
    const RejectCase& c = GetParam();
    DockEngine engine(c.model, Lamp {}, FaultPlan {});
    EXPECT_EQ(engine.set(bytes(c.report)).kind, Kind::rejected);
    EXPECT_EQ(engine.lamp(), Lamp {});
    EXPECT_FALSE(engine.saved());
}

INSTANTIATE_TEST_SUITE_P(
    Models, DockEngineRejects,
    testing::Values(RejectCase {"forgeWave", DockModel::forgeCube, "01C9080507010800"},
                    RejectCase {"forgeLevel11", DockModel::forgeCube, "01C9010B05010800"},
                    RejectCase {"forgeFlashing101", DockModel::forgeCube, "01C9046505010800"},
                    RejectCase {"forgeSpeedByte10", DockModel::forgeCube, "01C901050A010800"},
                    RejectCase {"forgeColourWithModeTrailer", DockModel::forgeCube, "01C8FF6400010800"},
                    RejectCase {"forgeGetsMindColour", DockModel::forgeCube, "CDFF640000000000"},
                    RejectCase {"forgeGetsMindSave", DockModel::forgeCube, "B600000000000000"},
                    RejectCase {"forgeShortReport", DockModel::forgeCube, "01C8FF64000801"},
                    RejectCase {"mindSpeedByte6", DockModel::mindCube, "C901640600000000"},
                    RejectCase {"mindBrightness101", DockModel::mindCube, "C901650000000000"},
                    RejectCase {"mindEffect6", DockModel::mindCube, "C906640000000000"},
                    RejectCase {"mindColourTail", DockModel::mindCube, "CDFF640001000000"},
                    RejectCase {"mindGetsForgeColour", DockModel::mindCube, "01C8FF6400080100"},
                    RejectCase {"mindGetsForgeSave", DockModel::mindCube, "01B6000000000000"},
                    RejectCase {"mindGetsForgeColourRequest", DockModel::mindCube, "00CA080000000000"}),
    [](const auto& info) { return info.param.name; });

TEST(DockEngine, GetBeforeAnyRequestIsRejected)
{
    DockEngine engine(DockModel::mindCube, Lamp {}, FaultPlan {});
    EXPECT_EQ(engine.get().kind, Kind::rejected);
}

TEST(DockEngine, SaveKeepsTheLampOfThatMoment)
{
    DockEngine engine(DockModel::forgeCube, Lamp {}, FaultPlan {});
    engine.set(bytes("01C8102030080100"));
    ASSERT_EQ(engine.set(bytes("01B6000000000000")).kind, Kind::accepted);
    engine.set(bytes("01C8405060080100"));
    ASSERT_TRUE(engine.saved());
    EXPECT_EQ(engine.saved()->red, 0x10);
    EXPECT_EQ(engine.lamp().red, 0x40);
}

// GCC 12 warns about designated initializers that leave members to their defaults.
FaultPlan plan(void (*adjust)(FaultPlan&))
{
    FaultPlan faults;
    adjust(faults);
    return faults;
}

// A step is "s" + report for a set-feature or "g" for a get-feature.
struct FaultCase {
    const char* name;
    FaultPlan faults;
    std::vector<std::string> steps;
    std::vector<Kind> expected;
};

void PrintTo(const FaultCase& c, std::ostream* out)
{
    *out << c.name;
}

class DockEngineFaults : public testing::TestWithParam<FaultCase> { };

TEST_P(DockEngineFaults, FaultStrikesWhereAsked)
{
    const FaultCase& c = GetParam();
    DockEngine engine(DockModel::mindCube, Lamp {}, c.faults);
    std::vector<Kind> kinds;
    for (const std::string& step : c.steps)
        kinds.push_back(step == "g" ? engine.get().kind : engine.set(bytes(step.substr(1))).kind);
    EXPECT_EQ(kinds, c.expected);
}

const std::string sMode = "s" + mindModeRequest;
const std::string sColor = "s" + mindColorRequest;

INSTANTIATE_TEST_SUITE_P(
    Plans, DockEngineFaults,
    testing::Values(FaultCase {"failSetFrom2",
                               plan([](FaultPlan& f) { f.failSetFrom = 2; }),
                               {sMode, "g", sColor, sMode},
                               {Kind::accepted, Kind::answered, Kind::failed, Kind::failed}},
                    FaultCase {"failGetFrom2",
                               plan([](FaultPlan& f) { f.failGetFrom = 2; }),
                               {sMode, "g", sColor, "g", "g"},
                               {Kind::accepted, Kind::answered, Kind::accepted, Kind::failed, Kind::failed}},
                    FaultCase {"vanishAfter3CountsBothKinds",
                               plan([](FaultPlan& f) { f.vanishAfter = 3; }),
                               {sMode, "g", sColor, "g"},
                               {Kind::accepted, Kind::answered, Kind::accepted, Kind::vanish}},
                    FaultCase {"vanishAfter0", plan([](FaultPlan& f) { f.vanishAfter = 0; }), {sMode}, {Kind::vanish}}),
    [](const auto& info) { return info.param.name; });

TEST(DockEngine, IgnoringDockAcknowledgesButKeepsItsLamp)
{
    DockEngine engine(DockModel::forgeCube, Lamp {}, plan([](FaultPlan& f) { f.ignoreCommands = true; }));
    EXPECT_EQ(engine.set(bytes("01C8102030080100")).kind, Kind::accepted);
    EXPECT_EQ(engine.set(bytes("01C9AA0507010800")).kind, Kind::rejected);
    EXPECT_EQ(engine.lamp(), Lamp {});
}

TEST(DockEngine, CorruptAnswerHasAWrongCommandByteOnlyOnce)
{
    DockEngine engine(DockModel::mindCube, Lamp {}, plan([](FaultPlan& f) { f.corruptGet = 1; }));
    engine.set(bytes(mindModeRequest));
    EXPECT_EQ(engine.get().answer[1], 0xCB ^ 0xFF);
    EXPECT_EQ(engine.get().answer[1], 0xCB);
}

TEST(DockEngine, SlowDockDelaysItsAnswers)
{
    DockEngine engine(DockModel::forgeCube, Lamp {},
                      plan([](FaultPlan& f) { f.getDelay = std::chrono::milliseconds(1500); }));
    engine.set(bytes(forgeModeRequest));
    const Reply reply = engine.get();
    EXPECT_EQ(reply.kind, Kind::answered);
    EXPECT_EQ(reply.delay, std::chrono::milliseconds(1500));
}

} // namespace
