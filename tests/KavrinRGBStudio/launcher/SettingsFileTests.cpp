#include "KavrinRGBStudio/launcher/SettingsFile.hpp"

#include <gmock/gmock.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace kavrin {
namespace {

const std::string breathing45
    = R"({"isOn":true,"effect":2,"brightness":45,"speed":3,"color":{"red":255,"green":100,"blue":0}})";
const std::string shape = "不是灯光设置：应为与 --read 输出相同的 JSON 对象，含 isOn、effect、brightness、speed 和 "
                          "color（red、green、blue）。";
const std::string outOfRange = "灯光参数超出支持范围。";

// `text` with `from` replaced by `to` once.
std::string with(std::string text, const std::string& from, const std::string& to)
{
    return text.replace(text.find(from), from.size(), to);
}

class SettingsFileTest : public ::testing::Test {
protected:
    std::string write(const std::string& content)
    {
        const std::filesystem::path path = folder / ("settings" + std::to_string(files++) + ".json");
        std::ofstream(path) << content;
        return path;
    }

    std::filesystem::path folder = std::filesystem::temp_directory_path()
        / ("kavrin-settings-" + std::to_string(::getpid()) + "-"
           + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    int files = 0;

    void SetUp() override { std::filesystem::create_directories(folder); }
    void TearDown() override { std::filesystem::remove_all(folder); }
};

TEST_F(SettingsFileTest, ReadsTheFormReadPrintsUpToTheLimit)
{
    const LightingSettings expected {true, LightingEffect::breathing, 45, 3, {0xFF, 0x64, 0x00}};
    EXPECT_EQ(readSettingsFile(write("\xEF\xBB\xBF" + breathing45 + "\n"), -1), expected);
    EXPECT_EQ(readSettingsFile(write(breathing45 + std::string(settingsFileLimit - breathing45.size(), ' ')), -1),
              expected);
    EXPECT_EQ(readSettingsFile(write(with(breathing45, "{", R"({"comment":"kept for later",)")), -1), expected);
}

TEST_F(SettingsFileTest, RefusesEachKindOfBadInputWithItsOwnLine)
{
    const struct {
        std::string content;
        std::string expected; // after the file's name, except the out-of-range line
    } cases[] = {
        {" \n\t\r\n", "是空的，没有灯光设置。"},
        {breathing45 + std::string(settingsFileLimit + 1 - breathing45.size(), ' '),
         "超过 4096 字节，不可能是一份灯光设置。"},
        {"[1,2", "不是有效的 JSON。"},
        {with(breathing45, R"("effect":2)", R"("effect":"breathing")"), shape},
        {with(breathing45, R"("brightness":45)", R"("brightness":45.0)"), shape},
        {with(breathing45, R"("isOn":true)", R"("isOn":1)"), shape},
        {with(breathing45, R"(,"blue":0)", ""), shape},
        {with(breathing45, R"("effect":2)", R"("effect":6)"), outOfRange},
        {with(breathing45, R"("red":255)", R"("red":256)"), outOfRange},
        {with(breathing45, R"("speed":3)", R"("speed":18446744073709551615)"), outOfRange},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.content.substr(0, 80));
        const std::string path = write(testCase.content);
        const std::string expected
            = testCase.expected == outOfRange ? outOfRange : "设置文件“" + path + "”" + testCase.expected;
        EXPECT_THAT([&] { readSettingsFile(path, -1); }, ::testing::ThrowsMessage<UserFacingError>(expected));
    }
    EXPECT_THAT([&] { readSettingsFile((folder / "none.json").string(), -1); },
                ::testing::ThrowsMessage<UserFacingError>("未找到设置文件“" + (folder / "none.json").string() + "”。"));
    EXPECT_THAT(
        [&] { readSettingsFile(folder.string(), -1); },
        ::testing::ThrowsMessage<UserFacingError>("设置文件“" + folder.string() + "”无法读取（Is a directory）。"));
    // The message stays one line whatever the name holds.
    EXPECT_THAT(
        [&] { readSettingsFile((folder / "a\nb\x1B[2J").string(), -1); },
        ::testing::ThrowsMessage<UserFacingError>("未找到设置文件“" + (folder / "a\\x0Ab\\x1B[2J").string() + "”。"));
}

// Standard input may never end (a device, a stream that stays open): it is read up to one byte
// past the limit and no further. The pipe stays open but does not block, so reading on would fail
// at once instead of hanging the test.
TEST_F(SettingsFileTest, StandardInputIsReadNoFurtherThanTheLimit)
{
    int ends[2];
    ASSERT_EQ(::pipe2(ends, O_NONBLOCK), 0);
    const std::string blanks(settingsFileLimit + 1, ' ');
    ASSERT_EQ(::write(ends[1], blanks.data(), blanks.size()), static_cast<ssize_t>(blanks.size()));
    EXPECT_THAT([&] { readSettingsFile("-", ends[0]); },
                ::testing::ThrowsMessage<UserFacingError>("标准输入超过 4096 字节，不可能是一份灯光设置。"));
    ::close(ends[0]);
    ::close(ends[1]);
    EXPECT_THAT([&] { readSettingsFile("-", -1); },
                ::testing::ThrowsMessage<UserFacingError>("标准输入无法读取（Bad file descriptor）。"));
}

} // namespace
} // namespace kavrin
