#include "ExpectProtocolError.hpp"

#include "RGBProtocol/lighting/LightingController.hpp"
#include "RGBProtocol/lighting/LightingProtocol.hpp"

#include <cstdio>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace kavrin {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Log = std::vector<std::string>;

struct ChannelFailure : UserFacingError {
    ChannelFailure()
        : UserFacingError("channel failed")
    {
    }
};

// Records every transfer as text and answers from a script; fails the Nth transfer on cue.
class ScriptedExchange : public FeatureReportExchange {
public:
    explicit ScriptedExchange(std::deque<Bytes> answers, std::optional<int> failing = {})
        : answers_(std::move(answers))
        , failing_(failing)
    {
    }

    void send(std::span<const std::uint8_t> bytes) override
    {
        transfer("send");
        for (const std::uint8_t byte : bytes) {
            char hex[4];
            std::snprintf(hex, sizeof hex, " %02X", byte);
            log.back() += hex;
        }
    }

    Bytes receive() override
    {
        transfer("receive");
        Bytes answer = answers_.front();
        answers_.pop_front();
        return answer;
    }

    Log log;

private:
    void transfer(const char* what)
    {
        if (failing_ && transfers_++ == *failing_) {
            throw ChannelFailure();
        }
        log.emplace_back(what);
    }

    std::deque<Bytes> answers_;
    std::optional<int> failing_;
    int transfers_ = 0;
};

const Bytes legacyMode {0x00, 0xCB, 0x02, 0x05, 0x07, 0, 0, 0}; // breathing, level 5, speed 3
const Bytes orangeAnswer {0x00, 0xCA, 0xFF, 0x64, 0x00, 0, 0, 0};
const LightingSettings requested {true, LightingEffect::breathing, 45, 3, {0xFF, 0x64, 0x00}};
const Log legacyRead {"send 00 CB 00 00 00 00 00 00", "receive", "send 00 CA 08 00 00 00 00 00", "receive"};
const Log legacyApplyAndSave {"send 01 C8 FF 64 00 08 01 00", "send 01 C9 02 05 07 01 08 00",
                              "send 00 CB 00 00 00 00 00 00", "receive",
                              "send 00 CA 08 00 00 00 00 00", "receive",
                              "send 01 B6 00 00 00 00 00 00"};

TEST(LightingController, ReadSendsBothRequestsEachFollowedByAReceive)
{
    ScriptedExchange exchange({legacyMode, orangeAnswer});
    EXPECT_EQ(LightingController(exchange, ControllerProfile::forgeCubeLegacy).read(),
              (LightingSettings {true, LightingEffect::breathing, 50, 3, {0xFF, 0x64, 0x00}}));
    EXPECT_EQ(exchange.log, legacyRead);
}

TEST(LightingController, ApplyReturnsTheReadbackAndSavesOnlyWhenAsked)
{
    for (const bool persist : {false, true}) {
        ScriptedExchange exchange({legacyMode, orangeAnswer});
        EXPECT_EQ(LightingController(exchange, ControllerProfile::forgeCubeLegacy).apply(requested, persist).brightness,
                  50);
        EXPECT_EQ(exchange.log, Log(legacyApplyAndSave.begin(), legacyApplyAndSave.end() - (persist ? 0 : 1)));
    }
    ScriptedExchange exchange({{0x00, 0xCB, 0x02, 45, 0x06, 0, 0, 0}, orangeAnswer});
    LightingController(exchange, ControllerProfile::mindCube).apply(requested, true);
    EXPECT_EQ(exchange.log,
              (Log {"send C9 02 2D 02 00 00 00 00", "send CD FF 64 00 00 00 00 00", "send 00 CB 00 00 00 00 00 00",
                    "receive", "send 00 CA 00 00 00 00 00 00", "receive", "send B6 00 00 00 00 00 00 00"}));
}

TEST(LightingController, AnUnconfirmedApplyIsNeverSaved)
{
    for (const Bytes& color :
         {Bytes {0x00, 0xCA, 0xFE, 0x64, 0x00, 0, 0, 0}, Bytes {0x00, 0xCA, 0xFF, 0x64, 0x01, 0, 0, 0}}) {
        ScriptedExchange exchange({legacyMode, color});
        expectProtocolError(ProtocolError::Kind::readbackMismatch, [&] {
            LightingController(exchange, ControllerProfile::forgeCubeLegacy).apply(requested, true);
        });
        EXPECT_EQ(exchange.log, Log(legacyApplyAndSave.begin(), legacyApplyAndSave.end() - 1));
    }
    EXPECT_EQ(ProtocolError::readbackMismatch().errorDescription(),
              "指令已发送，但回读与预期不一致；未标记为应用成功，也未保存。");
}

TEST(LightingController, TheFirstFailedTransferEndsTheOperation)
{
    for (int failing = 0; failing < static_cast<int>(legacyApplyAndSave.size()); ++failing) {
        ScriptedExchange exchange({legacyMode, orangeAnswer}, failing);
        EXPECT_THROW(LightingController(exchange, ControllerProfile::forgeCubeLegacy).apply(requested, true),
                     ChannelFailure);
        EXPECT_EQ(exchange.log, Log(legacyApplyAndSave.begin(), legacyApplyAndSave.begin() + failing)) << failing;
    }
}

TEST(LightingController, InvalidSettingsOrAShortAnswerFailWithoutMoreTraffic)
{
    ScriptedExchange exchange({Bytes(legacyMode.begin(), legacyMode.end() - 1), orangeAnswer});
    LightingSettings wave = requested;
    wave.effect = LightingEffect::wave;
    LightingController controller(exchange, ControllerProfile::forgeCubeLegacy);
    expectProtocolError(ProtocolError::Kind::invalidSettings, [&] { controller.apply(wave, false); });
    EXPECT_TRUE(exchange.log.empty());
    expectProtocolError(ProtocolError::Kind::invalidResponse, [&] { controller.read(); });
    EXPECT_EQ(exchange.log, legacyRead);
}

} // namespace
} // namespace kavrin
