#include "RGBProtocol/lighting/LightingValues.hpp"

#include "RGBProtocol/lighting/ControllerProfile.hpp"
#include "RGBProtocol/lighting/ProtocolError.hpp"
#include "RGBProtocol/lighting/RawValueLookup.hpp"

#include <limits>

namespace kavrin {

namespace {

int hexDigitValue(char digit)
{
    if (digit >= '0' && digit <= '9') {
        return digit - '0';
    }
    if (digit >= 'A' && digit <= 'F') {
        return digit - 'A' + 10;
    }
    if (digit >= 'a' && digit <= 'f') {
        return digit - 'a' + 10;
    }
    return -1;
}

std::uint8_t hexByte(std::string_view pair)
{
    const int high = hexDigitValue(pair[0]);
    const int low = hexDigitValue(pair[1]);
    if (high < 0 || low < 0) {
        throw ProtocolError::invalidColor();
    }
    return static_cast<std::uint8_t>(high * 16 + low);
}

bool inRange(std::int64_t value, std::int64_t low, std::int64_t high)
{
    return value >= low && value <= high;
}

} // namespace

LightColor LightColor::fromHex(std::string_view text)
{
    if (text.starts_with('#')) {
        text.remove_prefix(1);
    }
    // Byte length, so a multi-byte character never passes as one digit.
    if (text.size() != 6) {
        throw ProtocolError::invalidColor();
    }
    return LightColor {hexByte(text.substr(0, 2)), hexByte(text.substr(2, 2)), hexByte(text.substr(4, 2))};
}

std::string LightColor::hex() const
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    for (const std::uint8_t channel : {red, green, blue}) {
        text += digits[channel >> 4];
        text += digits[channel & 0x0F];
    }
    return text;
}

std::optional<LightingEffect> lightingEffectFromRaw(std::int64_t raw)
{
    return caseWithRawValue(allLightingEffects, raw);
}

std::string_view title(LightingEffect effect)
{
    switch (effect) {
    case LightingEffect::solid:
        return "单色常亮";
    case LightingEffect::breathing:
        return "呼吸";
    case LightingEffect::cycling:
        return "多色循环";
    case LightingEffect::flashing:
        return "闪烁";
    case LightingEffect::dualFlashing:
        return "双重闪烁";
    case LightingEffect::wave:
        return "波浪";
    }
    return "";
}

bool usesSpeed(LightingEffect effect)
{
    return effect != LightingEffect::solid && effect != LightingEffect::cycling;
}

bool usesColor(LightingEffect effect)
{
    return effect != LightingEffect::cycling;
}

bool rawBrightness(LightingEffect effect)
{
    return effect == LightingEffect::flashing || effect == LightingEffect::dualFlashing;
}

std::int64_t roundedToTens(std::int64_t value)
{
    constexpr std::int64_t maximum = std::numeric_limits<std::int64_t>::max();
    if (value > maximum - 5) {
        return maximum / 10 * 10;
    }
    return (value + 5) / 10 * 10;
}

LightingSettings LightingSettings::validated() const
{
    if (!inRange(brightness, 10, 100) || !inRange(speed, 1, 10)) {
        throw ProtocolError::invalidSettings();
    }
    return *this;
}

std::int64_t LightingSettings::effectiveBrightness() const
{
    return kavrin::effectiveBrightness(ControllerProfile::forgeCubeLegacy, *this);
}

bool LightingSettings::matchesReadback(const LightingSettings& readback, ControllerProfile profile) const
{
    if (readback.isOn != isOn) {
        return false;
    }
    // Speed and colour are compared even where the effect ignores them, and for a dark lamp.
    if (readback.effect != effect || readback.speed != speed || readback.color != color) {
        return false;
    }
    return !isOn || readback.brightness == kavrin::effectiveBrightness(profile, *this);
}

} // namespace kavrin
