#include "KavrinRGBStudio/launcher/SettingsFile.hpp"

#include "KavrinRGBStudio/device/FileDescriptor.hpp"
#include "RGBProtocol/lighting/LightingJSON.hpp"
#include "RGBProtocol/lighting/ProtocolError.hpp"

#include <nlohmann/json.hpp>

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace kavrin {

namespace {

// A file name may hold any byte but '/' and NUL. Control characters in it would split the one-line
// message, or drive the terminal, so they are shown as \xNN.
std::string shown(const std::string& path)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    for (const char character : path) {
        const auto byte = static_cast<unsigned char>(character);
        if (byte < 0x20 || byte == 0x7F) {
            text += {'\\', 'x', digits[byte >> 4], digits[byte & 0x0F]};
        } else {
            text += character;
        }
    }
    return text;
}

std::string nameOf(const std::string& path)
{
    return path == "-" ? "标准输入" : "设置文件“" + shown(path) + "”";
}

SettingsFileError unreadable(const std::string& path, int error)
{
    return SettingsFileError(nameOf(path) + "无法读取（" + std::strerror(error) + "）。");
}

FileDescriptor openSettings(const std::string& path)
{
    int descriptor;
    do {
        descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0 && errno == ENOENT) {
        throw SettingsFileError("未找到设置文件“" + shown(path) + "”。");
    }
    if (descriptor < 0) {
        throw unreadable(path, errno);
    }
    return FileDescriptor(descriptor);
}

// Up to one byte past the limit, so that a larger file is told from one exactly at it.
std::string readCapped(int descriptor, const std::string& path)
{
    std::string text(settingsFileLimit + 1, '\0');
    std::size_t filled = 0;
    while (filled < text.size()) {
        const ssize_t count = ::read(descriptor, text.data() + filled, text.size() - filled);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            throw unreadable(path, errno);
        }
        if (count == 0) {
            break;
        }
        filled += static_cast<std::size_t>(count);
    }
    text.resize(filled);
    return text;
}

bool isBlank(const std::string& text)
{
    return std::ranges::all_of(text, [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; });
}

// The members "--read" prints, each of the JSON type it prints; values are checked afterwards.
bool hasSettingsShape(const nlohmann::json& json)
{
    using Test = bool (nlohmann::json::*)() const noexcept;
    const std::pair<const char*, Test> members[] = {
        {"isOn", &nlohmann::json::is_boolean},
        {"effect", &nlohmann::json::is_number_integer},
        {"brightness", &nlohmann::json::is_number_integer},
        {"speed", &nlohmann::json::is_number_integer},
        {"color", &nlohmann::json::is_object},
    };
    const auto hasMember = [](const nlohmann::json& object, const char* key, Test test) {
        return object.contains(key) && (object[key].*test)();
    };
    const auto integer = &nlohmann::json::is_number_integer;
    return json.is_object()
        && std::ranges::all_of(members,
                               [&](const auto& member) { return hasMember(json, member.first, member.second); })
        && hasMember(json["color"], "red", integer) && hasMember(json["color"], "green", integer)
        && hasMember(json["color"], "blue", integer);
}

} // namespace

LightingSettings readSettingsFile(const std::string& path, int standardInput)
{
    FileDescriptor file;
    if (path != "-") {
        file = openSettings(path);
    }
    const std::string text = readCapped(file.isOpen() ? file.get() : standardInput, path);
    if (text.size() > settingsFileLimit) {
        throw SettingsFileError(nameOf(path) + "超过 " + std::to_string(settingsFileLimit)
                                + " 字节，不可能是一份灯光设置。");
    }
    if (isBlank(text)) {
        throw SettingsFileError(nameOf(path) + "是空的，没有灯光设置。");
    }
    const nlohmann::json json = nlohmann::json::parse(text, nullptr, false);
    if (json.is_discarded()) {
        throw SettingsFileError(nameOf(path) + "不是有效的 JSON。");
    }
    if (!hasSettingsShape(json)) {
        throw SettingsFileError(nameOf(path)
                                + "不是灯光设置：应为与 --read 输出相同的 JSON 对象，含 isOn、effect、brightness、"
                                  "speed 和 color（red、green、blue）。");
    }
    // With the shape right, what the decoder still refuses is a value out of range: an effect
    // number no dock knows, a colour channel above 255.
    try {
        return decodeLightingSettings(json).validated();
    } catch (const DecodingError&) {
        throw ProtocolError::invalidSettings();
    }
}

} // namespace kavrin
