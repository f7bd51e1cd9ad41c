#include "RGBProtocol/lighting/LightingController.hpp"
#include "RGBProtocol/lighting/LightingProtocol.hpp"
#include "RGBProtocol/lighting/ProtocolError.hpp"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <vector>

namespace kavrin {
namespace {

using Bytes = std::vector<std::uint8_t>;

class ChannelFailure : public UserFacingError {
public:
    ChannelFailure()
        : UserFacingError("channel failed")
    {
    }
};

// Records every transfer and answers receives from a script; fails the Nth transfer on cue.
class ScriptedExchange : public FeatureReportExchange {
public:
    explicit ScriptedExchange(std::deque<Bytes> answers)
        : answers_(std::move(answers))
    {
    }

    void send(std::span<const std::uint8_t> bytes) override
    {
        countTransfer();
        log.push_back("send " + text(Bytes(bytes.begin(), bytes.end())));
    }

    Bytes receive() override
    {
        countTransfer();
        log.push_back("receive");
        Bytes answer = answers_.front();
        answers_.pop_front();
        return answer;
    }

    std::optional<int> failingTransfer;
    std::vector<std::string> log;

    static std::string text(const Bytes& bytes)
    {
        std::string result;
        for (const std::uint8_t byte : bytes) {
            static constexpr char digits[] = "0123456789ABCDEF";
            result += result.empty() ? "" : " ";
            result += digits[byte >> 4];
            result += digits[byte & 0xF];
        }
        return result;
    }

private:
    void countTransfer()
    {
        if (failingTransfer && transfers_++ == *failingTransfer) {
            throw ChannelFailure();
        }
    }

    std::deque<Bytes> answers_;
    int transfers_ = 0;
};

const Bytes legacyMode {0x00, 0xCB, 0x02, 0x05, 0x07, 0, 0, 0}; // breathing, level 5, speed 3
const Bytes orangeAnswer {0x00, 0xCA, 0xFF, 0x64, 0x00, 0, 0, 0};
const LightingSettings requested {true, LightingEffect::breathing, 45, 3, {0xFF, 0x64, 0x00}};

const std::vector<std::string> legacyApply {
    "send 01 C8 FF 64 00 08 01 00", "send 01 C9 02 05 07 01 08 00",
    "send 00 CB 00 00 00 00 00 00", "receive",
    "send 00 CA 08 00 00 00 00 00", "receive",
};

TEST(LightingControllerRead, SendsTheTwoRequestsEachFollowedByAReceive)
{
    ScriptedExchange exchange({legacyMode, orangeAnswer});
    const auto settings = LightingController(exchange, ControllerProfile::forgeCubeLegacy).read();
    EXPECT_EQ(exchange.log,
              (std::vector<std::string> {"send 00 CB 00 00 00 00 00 00", "receive", "send 00 CA 08 00 00 00 00 00",
                                         "receive"}));
    EXPECT_EQ(settings, (LightingSettings {true, LightingEffect::breathing, 50, 3, {0xFF, 0x64, 0x00}}));
}

TEST(LightingControllerApply, ReturnsTheReadbackAndSavesOnlyWhenAsked)
{
    for (const bool persist : {false, true}) {
        ScriptedExchange exchange({legacyMode, orangeAnswer});
        const auto readback
            = LightingController(exchange, ControllerProfile::forgeCubeLegacy).apply(requested, persist);
        auto expected = legacyApply;
        if (persist) {
            expected.push_back("send 01 B6 00 00 00 00 00 00");
        }
        EXPECT_EQ(exchange.log, expected);
        EXPECT_EQ(readback.brightness, 50);
    }
}

TEST(LightingControllerApply, NewerModelSendsModeThenColourAndItsOwnSave)
{
    ScriptedExchange exchange({{0x00, 0xCB, 0x02, 45, 0x06, 0, 0, 0}, orangeAnswer});
    LightingController(exchange, ControllerProfile::mindCube).apply(requested, true);
    EXPECT_EQ(exchange.log,
              (std::vector<std::string> {"send C9 02 2D 02 00 00 00 00", "send CD FF 64 00 00 00 00 00",
                                         "send 00 CB 00 00 00 00 00 00", "receive", "send 00 CA 00 00 00 00 00 00",
                                         "receive", "send B6 00 00 00 00 00 00 00"}));
}

TEST(LightingControllerApply, AnUnconfirmedReadbackIsNeverSaved)
{
    const Bytes oneOff[] = {
        {0x00, 0xCA, 0xFE, 0x64, 0x00, 0, 0, 0},
        {0x00, 0xCA, 0xFF, 0x65, 0x00, 0, 0, 0},
        {0x00, 0xCA, 0xFF, 0x64, 0x01, 0, 0, 0},
    };
    for (const Bytes& color : oneOff) {
        ScriptedExchange exchange({legacyMode, color});
        try {
            LightingController(exchange, ControllerProfile::forgeCubeLegacy).apply(requested, true);
            ADD_FAILURE() << "applied";
        } catch (const ProtocolError& error) {
            EXPECT_EQ(error.kind(), ProtocolError::Kind::readbackMismatch);
        }
        EXPECT_EQ(exchange.log, legacyApply);
    }
}

TEST(LightingControllerApply, TheFirstFailedTransferEndsTheOperation)
{
    // Transfers: 0 colour, 1 mode, 2 request, 3 receive, 4 request, 5 receive, 6 save.
    for (int failing = 0; failing <= 6; ++failing) {
        SCOPED_TRACE(failing);
        ScriptedExchange exchange({legacyMode, orangeAnswer});
        exchange.failingTransfer = failing;
        EXPECT_THROW(LightingController(exchange, ControllerProfile::forgeCubeLegacy).apply(requested, true),
                     ChannelFailure);
        auto expected = legacyApply;
        expected.push_back("send 01 B6 00 00 00 00 00 00");
        expected.resize(static_cast<std::size_t>(failing));
        EXPECT_EQ(exchange.log, expected);
    }
}

TEST(LightingControllerApply, InvalidSettingsSendNothing)
{
    ScriptedExchange exchange({});
    LightingSettings wave = requested;
    wave.effect = LightingEffect::wave;
    EXPECT_THROW(LightingController(exchange, ControllerProfile::forgeCubeLegacy).apply(wave, false), ProtocolError);
    EXPECT_TRUE(exchange.log.empty());
}

TEST(LightingControllerRead, AShortAnswerIsAnInvalidResponse)
{
    ScriptedExchange exchange({Bytes(legacyMode.begin(), legacyMode.end() - 1), orangeAnswer});
    try {
        LightingController(exchange, ControllerProfile::forgeCubeLegacy).read();
        ADD_FAILURE() << "decoded";
    } catch (const ProtocolError& error) {
        EXPECT_EQ(error.kind(), ProtocolError::Kind::invalidResponse);
    }
}

} // namespace
} // namespace kavrin
