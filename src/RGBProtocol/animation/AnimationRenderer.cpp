#include "RGBProtocol/animation/AnimationRenderer.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace kavrin::AnimationRenderer {

namespace {

constexpr double twoPi = 2 * std::numbers::pi;
constexpr double longestElapsed = 1e8;

struct Shade {
    LightColor color;
    double level;
};

// Everything a style reads besides the colours; x is the conditioned position.
struct Moment {
    double t;
    double x;
    double p;
    // The unclamped speed as a double, so that no 64-bit value overflows in twinkle and candle.
    double n;
};

double frac(double y)
{
    return y - std::floor(y);
}

// Rounds half away from zero and clamps to 0...255; NaN counts as 0, so the conversion is always
// defined. Clamping first lets a truncation do the rounding without a call to round().
std::uint8_t channel(double value)
{
    const double clamped = std::min(value > 0 ? value : 0.0, 255.0);
    const auto whole = static_cast<int>(clamped);
    return static_cast<std::uint8_t>(whole + static_cast<int>(clamped - whole >= 0.5));
}

// Only the sector's rising or falling channel lies between 0 and 1; the others are 0 or 255.
LightColor hue(double h)
{
    const double h6 = frac(h) * 6;
    const std::uint8_t x = channel(255 * (1 - std::abs((h6 - 2 * std::trunc(h6 / 2)) - 1)));
    switch (static_cast<int>(h6)) {
    case 0:
        return {255, x, 0};
    case 1:
        return {x, 255, 0};
    case 2:
        return {0, 255, x};
    case 3:
        return {0, x, 255};
    case 4:
        return {x, 0, 255};
    default:
        return {255, 0, x};
    }
}

std::uint8_t mixChannel(std::uint8_t a, std::uint8_t b, double t)
{
    return channel(a + t * (static_cast<int>(b) - static_cast<int>(a)));
}

LightColor mix(LightColor a, LightColor b, double t)
{
    return LightColor {mixChannel(a.red, b.red, t), mixChannel(a.green, b.green, t), mixChannel(a.blue, b.blue, t)};
}

double rise(double p)
{
    return 0.5 - 0.5 * std::cos(twoPi * p);
}

Shade tricolor(const AnimationSettings& settings, double p)
{
    const std::array<LightColor, 3> palette {settings.primary, settings.secondary, settings.tertiary};
    const double third = 3 * p;
    const auto i = static_cast<std::size_t>(std::min(third, 2.0));
    return {mix(palette[i], palette[(i + 1) % 3], frac(third)), 1};
}

double cometLevel(double p, double x)
{
    const double d = std::abs(p - x);
    const double circular = std::min(d, 1 - d);
    return 0.02 + 0.98 * std::exp(-90 * circular * circular);
}

// Each of 16 cells along the lamp draws a fresh pseudo-random value n + 2 times a second.
double twinkleLevel(const Moment& m)
{
    const double tick = std::floor(m.t * (m.n + 2));
    const double cell = std::floor(16 * m.x);
    const double r = frac(43758.5453 * std::sin(12.9898 * (tick + 17 * cell) + 1));
    return r > 0.72 ? 1 : 0.03;
}

Shade candle(const AnimationSettings& settings, const Moment& m)
{
    const double drift = 0.12 + 0.08 * std::sin(2.3 * m.t);
    const double level
        = 0.55 + 0.22 * std::sin(1.7 * (m.n + 1) * m.t) + 0.13 * std::sin(13.3 * m.t) + 0.08 * std::cos(27.1 * m.t);
    return {mix(settings.primary, settings.secondary, drift), level};
}

Shade shade(const AnimationSettings& settings, const Moment& m)
{
    const LightColor primary = settings.primary;
    const double p = m.p;
    switch (settings.style) {
    case AnimationStyle::solid:
        return {primary, 1};
    case AnimationStyle::breathing:
        return {primary, 0.04 + 0.96 * rise(p)};
    case AnimationStyle::cycling:
        return {hue(p), 1};
    case AnimationStyle::flashing:
        return {primary, p < 0.18 ? 1.0 : 0.0};
    case AnimationStyle::doubleFlash:
        return {primary, p < 0.10 || (p >= 0.22 && p < 0.32) ? 1.0 : 0.0};
    case AnimationStyle::gradient:
        return {mix(primary, settings.secondary, rise(p)), 1};
    case AnimationStyle::rainbow:
        return {hue(frac(p + 0.65 * m.x)), 1};
    case AnimationStyle::tricolor:
        return tricolor(settings, p);
    case AnimationStyle::wave:
        return {primary, 0.08 + 0.92 * (0.5 + 0.5 * std::sin(twoPi * (p - m.x)))};
    case AnimationStyle::comet:
        return {mix(primary, settings.secondary, m.x), cometLevel(p, m.x)};
    case AnimationStyle::twinkle:
        return {mix(primary, settings.secondary, m.x), twinkleLevel(m)};
    case AnimationStyle::candle:
        return candle(settings, m);
    }
    return {primary, 1};
}

Moment moment(const AnimationSettings& settings, double elapsed, double position)
{
    const double t = std::isfinite(elapsed) && elapsed >= 0 ? std::min(elapsed, longestElapsed) : 0;
    const double x = std::isfinite(position) ? std::clamp(position, 0.0, 1.0) : 0.5;
    const auto period = static_cast<double>(12 - std::clamp<std::int64_t>(settings.speed, 1, 10));
    return Moment {t, x, frac(t / period), static_cast<double>(settings.speed)};
}

} // namespace

LightColor color(const AnimationSettings& settings, double elapsed, double position) noexcept
{
    const Shade result = shade(settings, moment(settings, elapsed, position));
    // A level that is not a number counts as dark.
    const double level = std::isnan(result.level) ? 0 : std::clamp(result.level, 0.0, 1.0);
    const auto brightness = static_cast<double>(std::clamp<std::int64_t>(settings.brightness, 0, 100));
    const double k = level * brightness / 100;
    return LightColor {channel(k * result.color.red), channel(k * result.color.green), channel(k * result.color.blue)};
}

} // namespace kavrin::AnimationRenderer
