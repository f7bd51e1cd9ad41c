#include "RGBProtocol/animation/AnimationModel.hpp"

#include "RGBProtocol/lighting/ProtocolError.hpp"
#include "RGBProtocol/lighting/RawValueLookup.hpp"

#include <cmath>
#include <limits>

namespace kavrin {

namespace {

struct StyleFacts {
    std::string_view raw;
    std::string_view title;
    std::string_view symbol;
    int colorCount;
};

// Indexed by the style's position in allAnimationStyles.
constexpr std::array<StyleFacts, allAnimationStyles.size()> styleFacts {{
    {"solid", "常亮", "sun.max.fill", 1},
    {"breathing", "柔和呼吸", "wind", 1},
    {"cycling", "色彩循环", "arrow.triangle.2.circlepath", 0},
    {"flashing", "闪烁", "bolt.fill", 1},
    {"doubleFlash", "双闪", "bolt.fill", 1},
    {"gradient", "双色渐变", "circle.lefthalf.filled", 2},
    {"rainbow", "彩虹流动", "rainbow", 0},
    {"tricolor", "三色轮转", "arrow.triangle.2.circlepath", 3},
    {"wave", "波浪", "water.waves", 1},
    {"comet", "彗星追光", "sparkle", 2},
    {"twinkle", "星光", "sparkles", 2},
    {"candle", "烛光", "flame.fill", 2},
}};

struct ThemeFacts {
    std::string_view raw;
    std::string_view title;
    std::array<LightColor, 3> colors;
};

constexpr std::array<ThemeFacts, allColorThemes.size()> themeFacts {{
    {"ember", "KAVRIN 橙", {{{0xFF, 0x64, 0x00}, {0xFF, 0x14, 0x14}, {0xFF, 0xD2, 0x28}}}},
    {"aurora", "极光", {{{0x00, 0xFF, 0xA0}, {0x78, 0x28, 0xFF}, {0x00, 0xB4, 0xFF}}}},
    {"ocean", "深海", {{{0x00, 0x32, 0xFF}, {0x00, 0xDC, 0xE6}, {0x1E, 0x00, 0x64}}}},
    {"neon", "霓虹", {{{0xFF, 0x00, 0x8C}, {0x6E, 0x14, 0xFF}, {0x00, 0xFF, 0xF0}}}},
    {"sunset", "日落", {{{0xFF, 0x32, 0x0A}, {0xFF, 0xA0, 0x00}, {0xAA, 0x00, 0x8C}}}},
    {"ice", "冰蓝", {{{0x6E, 0xD2, 0xFF}, {0xFF, 0xFF, 0xFF}, {0x1E, 0x3C, 0xFF}}}},
}};

const StyleFacts& facts(AnimationStyle style)
{
    return styleFacts[static_cast<std::size_t>(style)];
}
const ThemeFacts& facts(ColorTheme theme)
{
    return themeFacts[static_cast<std::size_t>(theme)];
}

// Fills the preview's unused colour wells; the single-colour styles of the preview never read them.
constexpr LightColor previewSecondary {0xA8, 0x55, 0xF7};
constexpr LightColor previewTertiary {0x22, 0xD3, 0xEE};

AnimationStyle previewStyle(LightingEffect effect)
{
    switch (effect) {
    case LightingEffect::solid:
        return AnimationStyle::solid;
    case LightingEffect::breathing:
        return AnimationStyle::breathing;
    case LightingEffect::cycling:
        return AnimationStyle::cycling;
    case LightingEffect::flashing:
        return AnimationStyle::flashing;
    case LightingEffect::dualFlashing:
        return AnimationStyle::doubleFlash;
    case LightingEffect::wave:
        return AnimationStyle::wave;
    }
    return AnimationStyle::solid;
}

// Saturates instead of converting out of range, which would be undefined.
std::int64_t saturatedInteger(double integral)
{
    constexpr double limit = 9223372036854775808.0; // 2^63
    if (integral >= limit) {
        return std::numeric_limits<std::int64_t>::max();
    }
    if (integral <= -limit) {
        return std::numeric_limits<std::int64_t>::min();
    }
    return static_cast<std::int64_t>(integral);
}

// Stretches the profile's hardware speed range onto the software range 1...10. Computed in floating
// point so that no 64-bit hardware speed overflows; only speeds beyond 2^53 lose precision.
std::int64_t previewSpeed(std::int64_t hardwareSpeed, ControllerProfile profile)
{
    const SpeedRange range = speedRange(profile);
    const double width = static_cast<double>(range.upperBound - range.lowerBound);
    return saturatedInteger(std::round((static_cast<double>(hardwareSpeed) - 1.0) / width * 9.0) + 1.0);
}

} // namespace

std::string_view rawValue(AnimationStyle style)
{
    return facts(style).raw;
}

std::optional<AnimationStyle> animationStyleFromRaw(std::string_view raw)
{
    return caseWithRawValue(allAnimationStyles, raw);
}

std::string_view title(AnimationStyle style)
{
    return facts(style).title;
}

std::string_view symbol(AnimationStyle style)
{
    return facts(style).symbol;
}

int colorCount(AnimationStyle style)
{
    return facts(style).colorCount;
}

std::string_view rawValue(ColorTheme theme)
{
    return facts(theme).raw;
}

std::optional<ColorTheme> colorThemeFromRaw(std::string_view raw)
{
    return caseWithRawValue(allColorThemes, raw);
}

std::string_view title(ColorTheme theme)
{
    return facts(theme).title;
}

std::array<LightColor, 3> colors(ColorTheme theme)
{
    return facts(theme).colors;
}

AnimationSettings AnimationSettings::validated() const
{
    if (brightness < 0 || brightness > 100 || speed < 1 || speed > 10) {
        throw ProtocolError::invalidSettings();
    }
    return *this;
}

AnimationSettings AnimationSettings::preview(const LightingSettings& settings, ControllerProfile profile)
{
    return AnimationSettings {
        previewStyle(settings.effect),
        settings.color,
        previewSecondary,
        previewTertiary,
        settings.isOn ? effectiveBrightness(profile, settings) : 0,
        previewSpeed(settings.speed, profile),
    };
}

} // namespace kavrin
