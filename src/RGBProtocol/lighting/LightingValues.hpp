#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kavrin {

enum class ControllerProfile : std::uint8_t;

struct LightColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    // Accepts six hexadecimal digits with at most one leading "#"; throws ProtocolError::invalidColor.
    static LightColor fromHex(std::string_view text);
    // Six upper-case hexadecimal digits, red first, no prefix.
    std::string hex() const;

    friend bool operator==(const LightColor&, const LightColor&) = default;
};

// The raw value is the effect byte on the wire, so there is no 6 or 7.
enum class LightingEffect : std::uint8_t {
    solid = 1,
    breathing = 2,
    cycling = 3,
    flashing = 4,
    dualFlashing = 5,
    wave = 8
};

inline constexpr std::array<LightingEffect, 6> allLightingEffects {
    LightingEffect::solid,    LightingEffect::breathing,    LightingEffect::cycling,
    LightingEffect::flashing, LightingEffect::dualFlashing, LightingEffect::wave,
};

constexpr int rawValue(LightingEffect effect)
{
    return static_cast<int>(effect);
}
std::optional<LightingEffect> lightingEffectFromRaw(std::int64_t raw);
std::string_view title(LightingEffect effect);
// Whether speed matters for the effect itself; user-facing code asks usesSpeed(profile, effect).
bool usesSpeed(LightingEffect effect);
bool usesColor(LightingEffect effect);
// Whether the older dock takes the brightness percentage as is instead of as a level of ten steps.
bool rawBrightness(LightingEffect effect);

struct LightingSettings {
    bool isOn;
    LightingEffect effect;
    std::int64_t brightness;
    std::int64_t speed;
    LightColor color;

    // Brightness 10...100 and speed 1...10, else throws ProtocolError::invalidSettings.
    LightingSettings validated() const;
    // What the older dock reports back: brightness rounded half up to tens, unless the effect
    // takes it raw (effectiveBrightness(ControllerProfile, ...) holds the rule for both models).
    // Saturates instead of overflowing for brightness near the 64-bit limits.
    std::int64_t effectiveBrightness() const;
    // Whether the dock's read-back confirms these (sent) settings.
    bool matchesReadback(const LightingSettings& readback, ControllerProfile profile) const;

    friend bool operator==(const LightingSettings&, const LightingSettings&) = default;
};

// Half-up rounding to a multiple of ten, ((value + 5) / 10) * 10 with truncating division,
// saturated at the 64-bit limits.
std::int64_t roundedToTens(std::int64_t value);

} // namespace kavrin
