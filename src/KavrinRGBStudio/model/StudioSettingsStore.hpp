#pragma once

#include "RGBProtocol/animation/AnimationModel.hpp"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

namespace kavrin {

// The software lighting the window reopens with.
struct StudioSettings {
    AnimationSettings animation;
    bool previewPlaying;

    friend bool operator==(const StudioSettings&, const StudioSettings&) = default;
};

// The built-in rainbow, playing: what a first start and a damaged file give.
inline const StudioSettings defaultStudioSettings {
    {AnimationStyle::rainbow, {0xFF, 0x64, 0x00}, {0xA8, 0x55, 0xF7}, {0x22, 0xD3, 0xEE}, 80, 5}, true};

// The person's software lighting in one small JSON file, replaced whole on every save so that a crash
// or power loss leaves the old file or the new one. A file that cannot be used is renamed aside, never
// deleted or overwritten, and reported in one line; loading always yields usable settings.
class StudioSettingsStore {
public:
    // One line for the person, without its newline.
    using Report = std::function<void(const std::string& line)>;
    // rename(2) with renameat2's flags: 0 replaces `to`, RENAME_NOREPLACE refuses an existing one.
    // Returns 0, or -1 with errno set.
    using Rename = std::function<int(const char* from, const char* to, unsigned flags)>;
    using Environment = std::function<const char*(const char* name)>;

    // Files larger than this were not written by us.
    static constexpr std::size_t maximumSize = 64 * 1024;

    // $XDG_CONFIG_HOME/kavrin-rgb-studio/studio.json, or under $HOME/.config when that is unset; relative
    // values are ignored, as the XDG base directory rules ask. Nothing when neither gives a folder.
    static std::optional<std::filesystem::path> userFile(const Environment& environment);
    // The signed-in user's store, reporting to `errors`; null when the user has no folder for it.
    static std::shared_ptr<StudioSettingsStore> forCurrentUser(std::ostream& errors);

    StudioSettingsStore(std::filesystem::path file, Report report, Rename rename = systemRename);

    // The saved settings; the defaults, silently, when there is no file yet.
    StudioSettings load();
    // False, after one report line per run of failures, when the settings could not be saved; the
    // previous file is left as it was.
    bool save(const StudioSettings& settings);

    static int systemRename(const char* from, const char* to, unsigned flags);

private:
    StudioSettings setAside(const std::string& problem);
    void writeFile(const std::string& text) const;

    std::filesystem::path file_;
    Report report_;
    Rename rename_;
    // Set when a damaged file could not be moved aside: saving would overwrite it.
    bool keepOff_ = false;
    bool failing_ = false;
};

} // namespace kavrin
