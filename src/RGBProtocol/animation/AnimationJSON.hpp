#pragma once

#include "RGBProtocol/animation/AnimationModel.hpp"

#include <nlohmann/json.hpp>

namespace kavrin {

// The style is its raw name; decoding an unknown name throws DecodingError.
void to_json(nlohmann::json& json, AnimationStyle style);
void from_json(const nlohmann::json& json, AnimationStyle& style);
// All six members are required; ranges are left to AnimationSettings::validated().
void to_json(nlohmann::json& json, const AnimationSettings& settings);
void from_json(const nlohmann::json& json, AnimationSettings& settings);

} // namespace kavrin
