#include "ExpectProtocolError.hpp"

#include "RGBProtocol/lighting/LightingController.hpp"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace kavrin {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Log = std::vector<std::string>;

struct ChannelFailure { };

// Logs every transfer in order, each sent report in hex, and answers from a script; the transfer
// numbered `failAt` fails instead.
struct ScriptedExchange : FeatureReportExchange {
    void send(std::span<const std::uint8_t> bytes) override
    {
        failOnCue();
        static constexpr char digits[] = "0123456789ABCDEF";
        std::string entry = "send";
        for (const std::uint8_t byte : bytes) {
            entry += {' ', digits[byte >> 4], digits[byte & 0xF]};
        }
        log.push_back(entry);
    }

    Bytes receive() override
    {
        failOnCue();
        log.emplace_back("receive");
        Bytes answer = answers.front();
        answers.pop_front();
        return answer;
    }

    void failOnCue() const
    {
        if (log.size() == failAt) {
            throw ChannelFailure {};
        }
    }

    std::deque<Bytes> answers;
    std::size_t failAt = SIZE_MAX;
    Log log;
};

const auto legacy = ControllerProfile::forgeCubeLegacy;
const Bytes legacyMode {0x00, 0xCB, 0x02, 0x05, 0x07, 0, 0, 0}; // breathing, level 5, speed 3
const Bytes orangeAnswer {0x00, 0xCA, 0xFF, 0x64, 0x00, 0, 0, 0};
const LightingSettings requested {true, LightingEffect::breathing, 45, 3, {0xFF, 0x64, 0x00}};
const Log legacyApplyAndSave {"send 01 C8 FF 64 00 08 01 00", "send 01 C9 02 05 07 01 08 00",
                              "send 00 CB 00 00 00 00 00 00", "receive",
                              "send 00 CA 08 00 00 00 00 00", "receive",
                              "send 01 B6 00 00 00 00 00 00"};

// Each request is followed by its answer before the next goes out: a dock answers the last request.
TEST(LightingController, ApplyReadsBackAndSavesOnlyWhenAsked)
{
    const LightingSettings rounded {true, LightingEffect::breathing, 50, 3, {0xFF, 0x64, 0x00}};
    for (const bool persist : {false, true}) {
        ScriptedExchange exchange;
        exchange.answers = {legacyMode, orangeAnswer};
        EXPECT_EQ(LightingController(exchange, legacy).apply(requested, persist), rounded);
        EXPECT_EQ(exchange.log, Log(legacyApplyAndSave.begin(), legacyApplyAndSave.end() - (persist ? 0 : 1)));
    }
    ScriptedExchange exchange;
    exchange.answers = {{0x00, 0xCB, 0x02, 45, 0x06, 0, 0, 0}, orangeAnswer};
    EXPECT_EQ(LightingController(exchange, ControllerProfile::mindCube).apply(requested, true), requested);
    EXPECT_EQ(exchange.log,
              (Log {"send C9 02 2D 02 00 00 00 00", "send CD FF 64 00 00 00 00 00", "send 00 CB 00 00 00 00 00 00",
                    "receive", "send 00 CA 00 00 00 00 00 00", "receive", "send B6 00 00 00 00 00 00 00"}));
}

TEST(LightingController, NothingIsSavedUnlessTheReadbackConfirmsTheSettings)
{
    LightingSettings wave = requested;
    wave.effect = LightingEffect::wave;
    const Bytes otherColor {0x00, 0xCA, 0xFF, 0x64, 0x01, 0, 0, 0};
    const Bytes shortMode(legacyMode.begin(), legacyMode.end() - 1);
    const struct {
        LightingSettings settings;
        std::deque<Bytes> answers;
        ProtocolError::Kind error;
        std::ptrdiff_t transfers;
    } cases[] = {
        {requested, {legacyMode, otherColor}, ProtocolError::Kind::readbackMismatch, 6},
        {requested, {shortMode, orangeAnswer}, ProtocolError::Kind::invalidResponse, 6},
        {wave, {}, ProtocolError::Kind::invalidSettings, 0}, // refused before anything is sent
    };
    for (const auto& testCase : cases) {
        ScriptedExchange exchange;
        exchange.answers = testCase.answers;
        const auto apply = [&] { LightingController(exchange, legacy).apply(testCase.settings, true); };
        EXPECT_THAT(apply, throwsProtocolError(testCase.error));
        EXPECT_EQ(exchange.log, Log(legacyApplyAndSave.begin(), legacyApplyAndSave.begin() + testCase.transfers));
    }
    EXPECT_EQ(ProtocolError::readbackMismatch().errorDescription(),
              "指令已发送，但回读与预期不一致；未标记为应用成功，也未保存。");
}

TEST(LightingController, TheFirstFailedTransferEndsTheOperation)
{
    for (std::size_t failing = 0; failing < legacyApplyAndSave.size(); ++failing) {
        ScriptedExchange exchange;
        exchange.answers = {legacyMode, orangeAnswer};
        exchange.failAt = failing;
        EXPECT_THROW(LightingController(exchange, legacy).apply(requested, true), ChannelFailure);
        const auto sentBefore = legacyApplyAndSave.begin() + static_cast<std::ptrdiff_t>(failing);
        EXPECT_EQ(exchange.log, Log(legacyApplyAndSave.begin(), sentBefore)) << failing;
    }
}

} // namespace
} // namespace kavrin
