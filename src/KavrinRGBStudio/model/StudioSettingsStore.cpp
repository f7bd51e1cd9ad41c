#include "KavrinRGBStudio/model/StudioSettingsStore.hpp"

#include "KavrinRGBStudio/device/FileDescriptor.hpp"
#include "RGBProtocol/animation/AnimationJSON.hpp"
#include "RGBProtocol/lighting/LightingJSON.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace kavrin {

namespace {

namespace fs = std::filesystem;

// Enough numbered names for any number of damaged files a person will realistically collect.
constexpr int maximumAsides = 100;

// Why a file cannot be used, in the words of the report line.
class Unusable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::system_error lastError()
{
    return {errno, std::generic_category()};
}

// The file's text; nothing when it does not exist.
std::optional<std::string> readSmallFile(const fs::path& file)
{
    // Non-blocking, so that a FIFO left in its place cannot hang the window's start.
    const FileDescriptor input(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!input.isOpen() && errno == ENOENT) {
        return std::nullopt;
    }
    struct stat info { };
    if (!input.isOpen() || ::fstat(input.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        throw Unusable("无法读取");
    }
    std::string text;
    char chunk[4096];
    for (;;) {
        const ssize_t count = ::read(input.get(), chunk, sizeof chunk);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            throw Unusable("无法读取");
        }
        if (count == 0) {
            return text;
        }
        text.append(chunk, static_cast<std::size_t>(count));
        if (text.size() > StudioSettingsStore::maximumSize) {
            throw Unusable("过大，不是本程序写的");
        }
    }
}

StudioSettings decodeSettings(const std::string& text)
{
    nlohmann::json json;
    try {
        json = nlohmann::json::parse(text);
    } catch (const nlohmann::json::exception&) {
        throw Unusable("不是有效的 JSON");
    }
    StudioSettings settings = defaultStudioSettings;
    try {
        settings.animation = decodeMember(json, "animation").get<AnimationSettings>();
        const nlohmann::json& playing = decodeMember(json, "previewPlaying");
        settings.previewPlaying = playing.get<bool>();
    } catch (const std::exception&) {
        throw Unusable("内容格式不对");
    }
    try {
        settings.animation.validated();
    } catch (const std::exception&) {
        throw Unusable("里的亮度或速度超出范围");
    }
    return settings;
}

std::string encodeSettings(const StudioSettings& settings)
{
    const nlohmann::json json {{"animation", settings.animation}, {"previewPlaying", settings.previewPlaying}};
    return json.dump(2) + "\n";
}

fs::path asideName(const fs::path& file, int attempt)
{
    std::string name = file.string() + ".damaged";
    return attempt == 1 ? name : name + "-" + std::to_string(attempt);
}

// The folder and any missing ancestors, each private to the user, as the XDG rules ask of a new one.
void makeFolder(const fs::path& folder)
{
    std::error_code ignored;
    if (fs::is_directory(folder, ignored)) {
        return;
    }
    fs::path built;
    for (const fs::path& part : folder) {
        built /= part;
        if (::mkdir(built.c_str(), 0700) != 0 && errno != EEXIST) {
            throw lastError();
        }
    }
}

// Writes and flushes to the disk; the descriptor is closed either way. Once fsync has succeeded, close
// has no delayed write error left to report.
void writeDurably(int descriptor, const std::string& text)
{
    const FileDescriptor output(descriptor);
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t count = ::write(output.get(), text.data() + written, text.size() - written);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            throw lastError();
        }
        written += static_cast<std::size_t>(count);
    }
    if (::fsync(output.get()) != 0) {
        throw lastError();
    }
}

// The rename is durable only once the folder's own entry list reaches the disk.
void syncFolder(const fs::path& folder)
{
    const FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!directory.isOpen() || ::fsync(directory.get()) != 0) {
        throw lastError();
    }
}

} // namespace

std::optional<fs::path> StudioSettingsStore::userFile(const Environment& environment)
{
    const auto absolute = [&](const char* name) -> std::optional<fs::path> {
        const char* value = environment(name);
        return value && value[0] == '/' ? std::optional<fs::path>(value) : std::nullopt;
    };
    std::optional<fs::path> base = absolute("XDG_CONFIG_HOME");
    if (!base) {
        base = absolute("HOME");
        if (!base) {
            return std::nullopt;
        }
        *base /= ".config";
    }
    return *base / "kavrin-rgb-studio" / "studio.json";
}

std::shared_ptr<StudioSettingsStore> StudioSettingsStore::forCurrentUser(std::ostream& errors)
{
    const auto file = userFile(std::getenv);
    if (!file) {
        errors << "XDG_CONFIG_HOME 和 HOME 都未设置为绝对路径，本次不读取也不保存灯效设置。" << std::endl;
        return nullptr;
    }
    return std::make_shared<StudioSettingsStore>(*file,
                                                 [&errors](const std::string& line) { errors << line << std::endl; });
}

StudioSettingsStore::StudioSettingsStore(fs::path file, Report report, Rename rename)
    : file_(std::move(file))
    , report_(std::move(report))
    , rename_(std::move(rename))
{
}

StudioSettings StudioSettingsStore::load()
{
    try {
        const std::optional<std::string> text = readSmallFile(file_);
        return text ? decodeSettings(*text) : defaultStudioSettings;
    } catch (const Unusable& problem) {
        return setAside(problem.what());
    }
}

StudioSettings StudioSettingsStore::setAside(const std::string& problem)
{
    const std::string opening = "灯效设置文件 " + file_.string() + " " + problem;
    int error = EEXIST;
    for (int attempt = 1; attempt <= maximumAsides && error == EEXIST; ++attempt) {
        const fs::path aside = asideName(file_, attempt);
        if (rename_(file_.c_str(), aside.c_str(), RENAME_NOREPLACE) == 0) {
            report_(opening + "，已改名为 " + aside.filename().string() + " 保留，本次使用默认灯效。");
            return defaultStudioSettings;
        }
        error = errno;
    }
    keepOff_ = true;
    report_(opening + "，且无法改名保留（" + std::generic_category().message(error)
            + "），本次使用默认灯效，也不会覆盖它。");
    return defaultStudioSettings;
}

bool StudioSettingsStore::save(const StudioSettings& settings)
{
    if (keepOff_) {
        return false;
    }
    try {
        writeFile(encodeSettings(settings));
    } catch (const std::system_error& error) {
        // One line for a whole run of failures, not one a second while a slider moves.
        if (!std::exchange(failing_, true)) {
            report_("无法保存灯效设置 " + file_.string() + "：" + error.code().message() + "。");
        }
        return false;
    }
    failing_ = false;
    return true;
}

void StudioSettingsStore::writeFile(const std::string& text) const
{
    const fs::path folder = file_.parent_path();
    makeFolder(folder);
    // In the same folder, so that the rename replaces the file in one step.
    std::string temporary = file_.string() + ".XXXXXX";
    const int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0) {
        throw lastError();
    }
    try {
        writeDurably(descriptor, text);
        if (rename_(temporary.c_str(), file_.c_str(), 0) != 0) {
            throw lastError();
        }
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
    syncFolder(folder);
}

int StudioSettingsStore::systemRename(const char* from, const char* to, unsigned flags)
{
    const int result = ::renameat2(AT_FDCWD, from, AT_FDCWD, to, flags);
    if (result == 0 || errno != EINVAL || flags != RENAME_NOREPLACE) {
        return result;
    }
    // File systems without the flag (NFS among them) still refuse to link over an existing name.
    if (::link(from, to) != 0) {
        return -1;
    }
    return ::unlink(from);
}

} // namespace kavrin
