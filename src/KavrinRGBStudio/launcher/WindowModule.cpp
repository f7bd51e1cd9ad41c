#include "KavrinRGBStudio/launcher/WindowModule.hpp"

#include "KavrinRGBStudio/app/WindowEntry.hpp"

#include <algorithm>
#include <array>
#include <dlfcn.h>
#include <filesystem>
#include <string>
#include <system_error>

namespace kavrin {

namespace {

namespace fs = std::filesystem;

constexpr const char* failurePrefix = "无法加载窗口模块：";

std::array<fs::path, 2> moduleCandidates(const fs::path& executable)
{
    const fs::path directory = executable.parent_path();
    return {directory / windowModuleFileName,
            directory.parent_path() / "lib" / "kavrin-rgb-studio" / windowModuleFileName};
}

int fail(std::ostream& err, const std::string& reason)
{
    err << failurePrefix << reason << '\n';
    return 1;
}

std::string loaderError()
{
    const char* reason = ::dlerror();
    return reason ? reason : std::string(windowEntryName) + " 为空";
}

} // namespace

int runWindowModule(int argc, char** argv, bool demo, std::ostream& err)
{
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (error) {
        return fail(err, "/proc/self/exe: " + error.message());
    }
    const auto candidates = moduleCandidates(executable);
    const auto found = std::ranges::find_if(candidates, [](const fs::path& path) {
        std::error_code unreadable;
        return fs::exists(path, unreadable);
    });
    if (found == candidates.end()) {
        return fail(err, "未找到 " + candidates[0].string() + " 或 " + candidates[1].string());
    }
    // Never unloaded: Qt leaves handlers and threads behind that must outlive the entry's return.
    void* module = ::dlopen(found->c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        return fail(err, loaderError());
    }
    const auto entry = reinterpret_cast<WindowEntry>(::dlsym(module, windowEntryName));
    if (!entry) {
        return fail(err, loaderError());
    }
    return entry(argc, argv, demo);
}

} // namespace kavrin
