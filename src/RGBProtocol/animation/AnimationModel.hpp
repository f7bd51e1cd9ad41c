#pragma once

#include "RGBProtocol/lighting/ControllerProfile.hpp"
#include "RGBProtocol/lighting/LightingValues.hpp"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kavrin {

// The software animations; the raw value is the case name.
enum class AnimationStyle : std::uint8_t {
    solid,
    breathing,
    cycling,
    flashing,
    doubleFlash,
    gradient,
    rainbow,
    tricolor,
    wave,
    comet,
    twinkle,
    candle,
};

inline constexpr std::array<AnimationStyle, 12> allAnimationStyles {
    AnimationStyle::solid,       AnimationStyle::breathing, AnimationStyle::cycling, AnimationStyle::flashing,
    AnimationStyle::doubleFlash, AnimationStyle::gradient,  AnimationStyle::rainbow, AnimationStyle::tricolor,
    AnimationStyle::wave,        AnimationStyle::comet,     AnimationStyle::twinkle, AnimationStyle::candle,
};

std::string_view rawValue(AnimationStyle style);
std::optional<AnimationStyle> animationStyleFromRaw(std::string_view raw);
std::string_view title(AnimationStyle style);
// Name of the icon in the platform's standard symbol set.
std::string_view symbol(AnimationStyle style);
// How many of primary, secondary and tertiary the style reads; 0 means it draws from the hue circle.
int colorCount(AnimationStyle style);

enum class ColorTheme : std::uint8_t { ember, aurora, ocean, neon, sunset, ice };

inline constexpr std::array<ColorTheme, 6> allColorThemes {
    ColorTheme::ember, ColorTheme::aurora, ColorTheme::ocean, ColorTheme::neon, ColorTheme::sunset, ColorTheme::ice,
};

std::string_view rawValue(ColorTheme theme);
std::optional<ColorTheme> colorThemeFromRaw(std::string_view raw);
std::string_view title(ColorTheme theme);
// Primary, secondary and tertiary, in that order.
std::array<LightColor, 3> colors(ColorTheme theme);

struct AnimationSettings {
    AnimationStyle style;
    LightColor primary;
    LightColor secondary;
    LightColor tertiary;
    std::int64_t brightness;
    std::int64_t speed;

    // Brightness 0...100 and speed 1...10, else throws ProtocolError::invalidSettings.
    AnimationSettings validated() const;
    // The software rendition of a dock's hardware settings, so the preview can show a hardware effect.
    static AnimationSettings preview(const LightingSettings& settings, ControllerProfile profile);

    friend bool operator==(const AnimationSettings&, const AnimationSettings&) = default;
};

} // namespace kavrin
