#include "RGBProtocol/lighting/LightingProtocol.hpp"

#include "RGBProtocol/lighting/ProtocolError.hpp"

namespace kavrin::LightingProtocol {

namespace {

constexpr std::uint8_t setColorLegacyCode = 0xC8;
constexpr std::uint8_t setModeCode = 0xC9;
constexpr std::uint8_t colorCode = 0xCA;
constexpr std::uint8_t modeCode = 0xCB;
constexpr std::uint8_t setColorCode = 0xCD;

// The older dock frames writes with a leading byte and carries two trailer bytes, swapped
// between the colour and the mode report.
constexpr std::uint8_t legacyWritePrefix = *facts(ControllerProfile::forgeCubeLegacy).writePrefix;

std::uint8_t byte(std::int64_t value)
{
    return static_cast<std::uint8_t>(value);
}

// Called only with validated settings: brightness 10...100, speed within the model's range.
std::uint8_t brightnessByte(const LightingSettings& settings, ControllerProfile profile)
{
    if (!settings.isOn) {
        return 0;
    }
    const std::int64_t brightness = effectiveBrightness(profile, settings);
    return byte(brightnessInLevels(profile, settings.effect) ? brightness / 10 : brightness);
}

Report legacyModeCommand(const LightingSettings& settings)
{
    return Report {legacyWritePrefix,
                   setModeCode,
                   byte(rawValue(settings.effect)),
                   brightnessByte(settings, ControllerProfile::forgeCubeLegacy),
                   byte(10 - settings.speed),
                   0x01,
                   0x08,
                   0x00};
}

Report modeCommand(const LightingSettings& settings)
{
    return Report {setModeCode,
                   byte(rawValue(settings.effect)),
                   brightnessByte(settings, ControllerProfile::mindCube),
                   byte(settings.speed - 1),
                   0x00,
                   0x00,
                   0x00,
                   0x00};
}

struct ModeFields {
    LightingEffect effect;
    std::uint8_t brightnessByte;
    std::uint8_t speedByte;
};

ModeFields legacyModeFields(std::span<const std::uint8_t> mode)
{
    const auto effect = lightingEffectFromRaw(mode[2]);
    if (!effect || !supports(ControllerProfile::forgeCubeLegacy, *effect) || mode[4] > 9) {
        throw ProtocolError::invalidResponse();
    }
    const std::uint8_t brightnessLimit = brightnessInLevels(ControllerProfile::forgeCubeLegacy, *effect) ? 10 : 100;
    if (mode[3] > brightnessLimit) {
        throw ProtocolError::invalidResponse();
    }
    return ModeFields {*effect, mode[3], mode[4]};
}

ModeFields modeFields(std::span<const std::uint8_t> mode, std::span<const std::uint8_t> color)
{
    if (mode[0] != 0x00 || color[0] != 0x00) {
        throw ProtocolError::invalidResponse();
    }
    if (mode[1] != modeCode || color[1] != colorCode) {
        throw ProtocolError::invalidResponse();
    }
    const auto effect = lightingEffectFromRaw(mode[2]);
    if (!effect || !supports(ControllerProfile::mindCube, *effect) || mode[3] > 100 || mode[4] < 3 || mode[4] > 8) {
        throw ProtocolError::invalidResponse();
    }
    return ModeFields {*effect, mode[3], mode[4]};
}

} // namespace

Report readColorCommand(ControllerProfile profile)
{
    return facts(profile).readColor;
}

Report saveCommand(ControllerProfile profile)
{
    return facts(profile).save;
}

Report colorCommand(LightColor color, ControllerProfile profile)
{
    if (profile == ControllerProfile::mindCube) {
        return Report {setColorCode, color.red, color.green, color.blue, 0x00, 0x00, 0x00, 0x00};
    }
    return Report {legacyWritePrefix, setColorLegacyCode, color.red, color.green, color.blue, 0x08, 0x01, 0x00};
}

std::vector<Report> commands(const LightingSettings& settings, ControllerProfile profile)
{
    validate(profile, settings);
    // The colour is always sent, even for effects that ignore it and for a dark lamp.
    if (profile == ControllerProfile::mindCube) {
        return {modeCommand(settings), colorCommand(settings.color, profile)};
    }
    return {colorCommand(settings.color, profile), legacyModeCommand(settings)};
}

LightingSettings decode(std::span<const std::uint8_t> settings, std::span<const std::uint8_t> color,
                        ControllerProfile profile)
{
    if (settings.size() != 8 || color.size() != 8) {
        throw ProtocolError::invalidResponse();
    }
    ModeFields fields;
    std::int64_t speed;
    if (profile == ControllerProfile::mindCube) {
        fields = modeFields(settings, color);
        // The newer dock answers speed on another scale than it is set: 9 - speed.
        speed = 9 - fields.speedByte;
    } else {
        if (settings[1] != modeCode || color[1] != colorCode) {
            throw ProtocolError::invalidResponse();
        }
        fields = legacyModeFields(settings);
        speed = 10 - fields.speedByte;
    }
    const std::int64_t brightness
        = brightnessInLevels(profile, fields.effect) ? fields.brightnessByte * 10 : fields.brightnessByte;
    const bool isOn = fields.brightnessByte != 0;
    // A dark lamp reports brightness 0, which no valid setting has; it stands for full brightness.
    return LightingSettings {isOn, fields.effect, isOn ? brightness : 100, speed,
                             LightColor {color[2], color[3], color[4]}};
}

} // namespace kavrin::LightingProtocol
