// Answers as docks send them: the first byte picks the model, the next two 8-byte reports are
// the settings and colour answers (other lengths are what a faulty dock may send).
#include "FuzzProperty.hpp"

#include "DockEngine.hpp"

#include "RGBProtocol/animation/AnimationModel.hpp"
#include "RGBProtocol/lighting/LightingProtocol.hpp"
#include "RGBProtocol/lighting/ProtocolError.hpp"

#include <algorithm>

namespace kavrin::fuzz {
namespace {

bool writable(const LightingSettings& settings, ControllerProfile profile)
{
    try {
        validate(profile, settings);
        return true;
    } catch (const ProtocolError&) {
        return false;
    }
}

vmtest::Report answerTo(vmtest::DockEngine& dock, const Report& request)
{
    require(dock.set(request), "the dock refused a read request");
    return dock.get().value_or(vmtest::Report {});
}

// Sends the settings the way the application would to an emulated dock, and reads them back.
LightingSettings roundTrip(const LightingSettings& settings, ControllerProfile profile)
{
    vmtest::DockEngine dock {profile == ControllerProfile::mindCube ? vmtest::DockModel::mindCube
                                                                    : vmtest::DockModel::forgeCube};
    for (const Report& report : LightingProtocol::commands(settings, profile)) {
        require(dock.set(report), "the dock refused a command made from decoded settings");
    }
    const vmtest::Report mode = answerTo(dock, LightingProtocol::readSettings);
    const vmtest::Report color = answerTo(dock, LightingProtocol::readColorCommand(profile));
    return LightingProtocol::decode(mode, color, profile);
}

} // namespace
} // namespace kavrin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kavrin;
    if (size < 1) {
        return 0;
    }
    const ControllerProfile profile = allControllerProfiles[data[0] % allControllerProfiles.size()];
    const auto answers = fuzz::bytes(data + 1, size - 1);
    const std::size_t split = std::min<std::size_t>(8, answers.size());
    LightingSettings decoded {};
    try {
        decoded = LightingProtocol::decode(answers.first(split), answers.subspan(split), profile);
    } catch (const ProtocolError& error) {
        fuzz::require(error.kind() == ProtocolError::Kind::invalidResponse, "an answer refused for another reason");
        return 0;
    }
    // The preview draws whatever a dock reports.
    static_cast<void>(AnimationSettings::preview(decoded, profile).validated());
    // A dock may report a brightness below what can be set (1...9 %); only settable ones go back.
    if (fuzz::writable(decoded, profile)) {
        const LightingSettings again = fuzz::roundTrip(decoded, profile);
        fuzz::require(again == decoded, "decoded settings did not survive being sent and read back");
        fuzz::require(decoded.matchesReadback(again, profile), "a faithful read-back was not taken as a match");
    }
    return 0;
}
