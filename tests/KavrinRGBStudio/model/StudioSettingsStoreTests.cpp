#include "KavrinRGBStudio/model/StudioSettingsStore.hpp"
#include "KavrinRGBStudio/support/StudioFakes.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace kavrin {
namespace {

namespace fs = std::filesystem;

const StudioSettings edited {{AnimationStyle::comet, {0x01, 0x02, 0x03}, {0x04, 0x05, 0x06}, {0x07, 0x08, 0x09}, 0, 10},
                             false};

const std::string validFile = R"({"animation": {"style": "candle", "primary": {"red": 1, "green": 2, "blue": 3},
    "secondary": {"red": 4, "green": 5, "blue": 6}, "tertiary": {"red": 7, "green": 8, "blue": 9},
    "brightness": 100, "speed": 1}, "previewPlaying": false})";

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    return text.replace(text.find(from), from.size(), to);
}

std::string contents(const fs::path& file)
{
    std::ifstream input(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(input), {}};
}

// A store on a file two missing folders deep in a fresh temporary folder, its report lines collected.
struct StoreOnDisk {
    StoreOnDisk()
    {
        std::string pattern = (fs::temp_directory_path() / "kavrin-store-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
        file = folder / "config" / "kavrin-rgb-studio" / "studio.json";
    }
    ~StoreOnDisk() { fs::remove_all(folder); }
    StoreOnDisk(const StoreOnDisk&) = delete;
    StoreOnDisk& operator=(const StoreOnDisk&) = delete;

    StudioSettingsStore store(StudioSettingsStore::Rename rename = StudioSettingsStore::systemRename)
    {
        return {file, [this](const std::string& line) { lines.push_back(line); }, std::move(rename)};
    }
    void seed(const std::string& text)
    {
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }
    std::vector<std::string> names() const
    {
        std::vector<std::string> found;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            found.push_back(fs::relative(entry.path(), folder).string());
        }
        std::ranges::sort(found);
        return found;
    }

    fs::path folder;
    fs::path file;
    std::vector<std::string> lines;
};

const std::vector<std::string> onlyTheFile {"config", "config/kavrin-rgb-studio",
                                            "config/kavrin-rgb-studio/studio.json"};

struct StudioSettingsStoreTest : ::testing::Test, StoreOnDisk { };

TEST(StudioSettingsStorePath, FollowsTheXDGRulesForTheUsersConfigFolder)
{
    using Variables = std::map<std::string, std::string>;
    const struct {
        const char* name;
        Variables variables;
        std::optional<fs::path> expected;
    } cases[] = {
        {"config home", {{"XDG_CONFIG_HOME", "/x"}, {"HOME", "/h"}}, "/x/kavrin-rgb-studio/studio.json"},
        {"home only", {{"HOME", "/h"}}, "/h/.config/kavrin-rgb-studio/studio.json"},
        {"relative config home",
         {{"XDG_CONFIG_HOME", "x"}, {"HOME", "/h"}},
         "/h/.config/kavrin-rgb-studio/studio.json"},
        {"relative home", {{"HOME", "h"}}, std::nullopt},
        {"neither", {}, std::nullopt},
    };
    for (const auto& test : cases) {
        const auto lookup = [&](const char* name) {
            const auto found = test.variables.find(name);
            return found == test.variables.end() ? nullptr : found->second.c_str();
        };
        EXPECT_EQ(StudioSettingsStore::userFile(lookup), test.expected) << test.name;
    }
}

TEST_F(StudioSettingsStoreTest, SavedSettingsComeBackInAPrivateNewFolderWithNothingElseLeft)
{
    EXPECT_EQ(store().load(), defaultStudioSettings);
    EXPECT_TRUE(names().empty());
    ASSERT_TRUE(store().save(edited));
    EXPECT_EQ(store().load(), edited);
    EXPECT_EQ(names(), onlyTheFile);
    EXPECT_EQ(fs::status(file.parent_path()).permissions(), fs::perms::owner_all);
    EXPECT_TRUE(lines.empty());
}

TEST(StudioSettingsStoreDamage, AnUnusableFileIsKeptAsideAndTheDefaultsUsed)
{
    const struct {
        const char* name;
        std::string text;
        const char* problem;
    } cases[] = {
        {"empty", "", "不是有效的 JSON"},
        {"an array", "[]", "内容格式不对"},
        {"deeply nested", std::string(30000, '[') + std::string(30000, ']'), "内容格式不对"},
        {"no play flag", replaced(validFile, R"(, "previewPlaying": false)", ""), "内容格式不对"},
        {"unknown style", replaced(validFile, "candle", "dualFlashing"), "内容格式不对"},
        {"brightness 101", replaced(validFile, "\"brightness\": 100", "\"brightness\": 101"), "超出范围"},
        {"oversized", validFile + std::string(StudioSettingsStore::maximumSize, ' '), "过大"},
    };
    for (const auto& test : cases) {
        StoreOnDisk fixture;
        fixture.seed(test.text);
        EXPECT_EQ(fixture.store().load(), defaultStudioSettings) << test.name;
        EXPECT_EQ(contents(fixture.file.string() + ".damaged"), test.text) << test.name;
        EXPECT_FALSE(fs::exists(fixture.file)) << test.name;
        ASSERT_EQ(fixture.lines.size(), 1U) << test.name;
        EXPECT_NE(fixture.lines[0].find(test.problem), std::string::npos) << test.name << ": " << fixture.lines[0];
        EXPECT_NE(fixture.lines[0].find("studio.json.damaged"), std::string::npos) << test.name;
    }
}

TEST_F(StudioSettingsStoreTest, SomethingThatIsNotAFileIsKeptAsideToo)
{
    // A FIFO would block an ordinary read until someone writes to it.
    fs::create_directories(file.parent_path());
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    EXPECT_EQ(store().load(), defaultStudioSettings);
    EXPECT_TRUE(fs::is_fifo(file.string() + ".damaged"));
    ASSERT_EQ(lines.size(), 1U);
    EXPECT_NE(lines[0].find("无法读取"), std::string::npos);
}

TEST_F(StudioSettingsStoreTest, AnEarlierDamagedFileIsNeverOverwritten)
{
    seed("first");
    store().load();
    seed("second");
    store().load();
    EXPECT_EQ(contents(file.string() + ".damaged"), "first");
    EXPECT_EQ(contents(file.string() + ".damaged-2"), "second");
}

TEST_F(StudioSettingsStoreTest, ADamagedFileThatCannotBeMovedIsNeverSavedOver)
{
    seed("{");
    StudioSettingsStore stuck = store([](const char* from, const char* to, unsigned flags) {
        if (flags == RENAME_NOREPLACE) {
            errno = EACCES;
            return -1;
        }
        return StudioSettingsStore::systemRename(from, to, flags);
    });
    EXPECT_EQ(stuck.load(), defaultStudioSettings);
    EXPECT_FALSE(stuck.save(edited));
    EXPECT_EQ(contents(file), "{");
    ASSERT_EQ(lines.size(), 1U);
    EXPECT_NE(lines[0].find("不会覆盖"), std::string::npos) << lines[0];
}

TEST_F(StudioSettingsStoreTest, AWriteInterruptedBeforeTheRenameLeavesTheOldFile)
{
    ASSERT_TRUE(store().save(defaultStudioSettings));
    int renames = 0;
    StudioSettingsStore interrupted = store([&](const char*, const char*, unsigned) {
        ++renames;
        errno = EIO;
        return -1;
    });
    EXPECT_FALSE(interrupted.save(edited));
    EXPECT_FALSE(interrupted.save(edited));
    EXPECT_EQ(renames, 2); // each save tries again
    EXPECT_EQ(store().load(), defaultStudioSettings);
    EXPECT_EQ(names(), onlyTheFile);
    // One line for the run of failures, not one per attempt.
    EXPECT_EQ(lines.size(), 1U);
}

TEST_F(StudioSettingsStoreTest, TheAnimationOutlivesTheModelOnTheSameStore)
{
    auto shared = std::make_shared<StudioSettingsStore>(store());
    const auto open = [&](fakes::FakeStudio& studio) {
        StudioServices services = studio.platform.services(studio.docks);
        services.settingsStore = shared;
        return std::make_unique<StudioModel>(std::move(services));
    };
    fakes::FakeStudio first;
    first.model = open(first);
    first.model->setAnimation(edited.animation);
    first.model->setPreviewPlaying(false);
    first.model->prepareToQuit(nullptr);
    // Saved at quit, before the model goes, not merely at teardown.
    EXPECT_EQ(store().load(), edited);
    first.model->setTheme(ColorTheme::ice);
    const AnimationSettings themed = first.model->animation();
    first.model.reset();

    fakes::FakeStudio second;
    second.model = open(second);
    EXPECT_EQ(second.model->animation(), themed);
    EXPECT_FALSE(second.model->previewPlaying());
    // Paused from the start, so the preview holds still.
    second.platform.clock.advance(5);
    EXPECT_EQ(second.model->previewElapsed(), 0.0);
}

} // namespace
} // namespace kavrin
