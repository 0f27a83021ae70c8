#include "platform/settings_store.h"

#include "common/alb_exception.h"
#include "platform/application_buttons.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr char kStrings[] = "Software\\Ornwick\\Vistrel\\2.00\\Strings";
constexpr char kUiInfo[] = "Software\\Ornwick\\Vistrel\\2.00\\UI Info";

std::vector<std::uint8_t> bytesOf(const std::string &text)
{
    return { text.begin(), text.end() };
}

std::string textOf(const std::vector<std::uint8_t> &bytes)
{
    return { bytes.begin(), bytes.end() };
}

} // namespace

// Values come back as written, whatever their bytes: the format's own characters, line breaks,
// non-ASCII text, zero bytes and empty values must not break a line or pose as a key.
TEST(SettingsStoreTest, ValuesRoundTrip)
{
    TempDir dir;
    SettingsStore store(dir.file("Vistrel.conf"));
    const std::vector<std::string> texts = { "\\My Documents\\", "a%41=b\n[x]\r#;", "Grüße 写真",
                                             "", std::string("nul\0byte", 8) };
    for (std::size_t i = 0; i < texts.size(); ++i) {
        std::string name = "Value [" + std::to_string(i) + "]=#";
        store.writeString(kStrings, name, texts[i]);
        store.writeBinary(kUiInfo, name, bytesOf(texts[i]));
    }
    for (std::size_t i = 0; i < texts.size(); ++i) {
        std::string name = "Value [" + std::to_string(i) + "]=#";
        EXPECT_EQ(store.readString(kStrings, name), texts[i]) << i;
        auto bytes = store.readBinary(kUiInfo, name);
        ASSERT_TRUE(bytes) << i;
        EXPECT_EQ(textOf(*bytes), texts[i]) << i;
    }
}

// Missing, of the other type, or unparsable: all count as missing, so the caller's default
// applies. Key and value names compare without regard to case.
TEST(SettingsStoreTest, LookupRules)
{
    TempDir dir;
    WriteBytes(dir.file("Vistrel.conf"),
               bytesOf("[Software\\Ornwick\\Vistrel\\2.00\\Strings]\n"
                       "Path=str:\\Pictures\r\n"
                       "Bad Escape=str:50%zz\n"
                       "Odd Hex=hex:abc\n"
                       "Not Hex=hex:0g\n"
                       "No Type=hello\n"
                       "[Software\\Ornwick\\Vistrel\\2.00\\UI Info]\n"
                       "Values=hex:8E00ff\n"));
    SettingsStore store(dir.file("Vistrel.conf"));

    EXPECT_EQ(store.readString("software\\ornwick\\vistrel\\2.00\\STRINGS", "path"), "\\Pictures");
    EXPECT_EQ(store.readBinary(kUiInfo, "VALUES"), (std::vector<std::uint8_t>{ 0x8e, 0x00, 0xff }));

    EXPECT_FALSE(store.readBinary(kStrings, "Path"));
    EXPECT_FALSE(store.readString(kUiInfo, "Values"));
    EXPECT_FALSE(store.readString(kUiInfo, "Path"));
    EXPECT_FALSE(store.readString(kStrings, "Home"));
    EXPECT_FALSE(store.readString("Software\\Ornwick", "Path"));
    for (const char *name : { "Bad Escape", "No Type" })
        EXPECT_FALSE(store.readString(kStrings, name)) << name;
    for (const char *name : { "Odd Hex", "Not Hex", "No Type" })
        EXPECT_FALSE(store.readBinary(kStrings, name)) << name;

    SettingsStore missing(dir.file("absent/Vistrel.conf"));
    EXPECT_FALSE(missing.readString(kStrings, "Path"));
}

// Each read looks at the file as it is now, so two stores (or two processes) share values, and
// a write changes only its own value.
TEST(SettingsStoreTest, WritesAreSharedAndKeepOtherValues)
{
    TempDir dir;
    std::string path = dir.file("nested/folder/Vistrel.conf");
    SettingsStore first(path);
    SettingsStore second(path);
    first.writeString(kStrings, "Path", "\\One");
    first.writeString(kStrings, "Home", "\\Home");
    EXPECT_EQ(second.readString(kStrings, "Path"), "\\One");

    second.writeString(kStrings, "PATH", "\\Two");
    first.writeBinary(kUiInfo, "Values", bytesOf("abc"));
    EXPECT_EQ(first.readString(kStrings, "Path"), "\\Two");
    EXPECT_EQ(first.readString(kStrings, "Home"), "\\Home");
    EXPECT_EQ(second.readBinary(kUiInfo, "Values"), bytesOf("abc"));

    // The value keeps its place and spelling; the file does not grow a second "Path".
    std::string text = textOf(ReadBytes(path));
    EXPECT_EQ(text.find("PATH="), std::string::npos) << text;
    EXPECT_EQ(text.find("Path="), text.rfind("Path=")) << text;
}

// A damaged file is never rewritten by reading it; a write keeps what it cannot understand and
// the first of repeated values, which is the one reads saw.
TEST(SettingsStoreTest, DamagedFileSurvivesUntilWritten)
{
    TempDir dir;
    std::string path = dir.file("Vistrel.conf");
    const std::string damaged = std::string("\x89PNG\0junk line\n", 15)
            + "[Software\\Ornwick\\Vistrel\\2.00\\Strings]\n"
              "Home=str:\\First\n"
              "garbage without separator\n"
              "home=str:\\Second\n";
    WriteBytes(path, bytesOf(damaged));
    SettingsStore store(path);

    EXPECT_FALSE(store.readString(kStrings, "Path"));
    EXPECT_EQ(store.readString(kStrings, "Home"), "\\First");
    EXPECT_EQ(textOf(ReadBytes(path)), damaged);

    store.writeString(kStrings, "Path", "\\New");
    std::string text = textOf(ReadBytes(path));
    EXPECT_NE(text.find(std::string("\x89PNG\0junk line\n", 15)), std::string::npos);
    EXPECT_NE(text.find("garbage without separator\n"), std::string::npos);
    EXPECT_EQ(store.readString(kStrings, "Path"), "\\New");
    EXPECT_EQ(store.readString(kStrings, "Home"), "\\First");

    store.writeString(kStrings, "Home", "\\Third");
    EXPECT_EQ(store.readString(kStrings, "Home"), "\\Third");
    EXPECT_EQ(textOf(ReadBytes(path)).find("Second"), std::string::npos);
}

// A write that fails part-way leaves the earlier file as it was and no temporary file behind.
TEST(SettingsStoreTest, FailedWriteKeepsEarlierFile)
{
    TempDir dir;
    std::string path = dir.file("Vistrel.conf");
    SettingsStore store(path);
    store.writeString(kStrings, "Path", "\\Kept");
    std::vector<std::uint8_t> before = ReadBytes(path);
    {
        FileSizeLimit limit(before.size() + 8);
        EXPECT_THROW(store.writeBinary(kUiInfo, "Values", std::vector<std::uint8_t>(64, 7)),
                     CAlbFileException);
    }
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(dir.names(), std::vector<std::string>{ "Vistrel.conf" });
    EXPECT_EQ(store.readString(kStrings, "Path"), "\\Kept");
}

// A settings file that exists but cannot be read must not be replaced by one holding only the
// value being written.
TEST(SettingsStoreTest, UnreadableFileIsNotReplaced)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the super-user";
    TempDir dir;
    std::string path = dir.file("Vistrel.conf");
    SettingsStore store(path);
    store.writeString(kStrings, "Path", "\\Kept");
    ::chmod(path.c_str(), 0);
    EXPECT_FALSE(store.readString(kStrings, "Path"));
    EXPECT_THROW(store.writeString(kStrings, "Home", "\\X"), CAlbFileException);
    ::chmod(path.c_str(), 0600);
    EXPECT_EQ(store.readString(kStrings, "Path"), "\\Kept");
    EXPECT_FALSE(store.readString(kStrings, "Home"));
}

// At start a file that cannot be settings is moved aside for a fresh one, and one the user made
// read-only is never replaced; writes to it keep nothing and fail nothing.
TEST(SettingsStoreTest, StartMovesAsideWhatIsNoSettingsAndLeavesReadOnlyFilesAlone)
{
    const std::string settings = "[Software\\Ornwick\\Vistrel\\2.00\\Strings]\nPath=str:\\Old\n";

    const struct
    {
        const char *label;
        std::string text;
        mode_t mode;
        SettingsStore::Condition condition;
    } rows[] = {
        { "usable", settings, 0644, SettingsStore::Condition::Usable },
        { "5 MB", settings + std::string(5 << 20, 'x'), 0644,
          SettingsStore::Condition::MovedAside },
        { "read-only", settings, 0444, SettingsStore::Condition::ReadOnly },
        { "read-only for everyone", settings, 0, SettingsStore::Condition::ReadOnly },
    };

    for (const auto &row : rows) {
        SCOPED_TRACE(row.label);
        TempDir dir;
        const std::string path = dir.file("Vistrel.conf");
        WriteBytes(path, bytesOf(row.text));
        ::chmod(path.c_str(), row.mode);
        SettingsStore store(path);
        EXPECT_EQ(store.prepare(), row.condition);
        EXPECT_NO_THROW(store.writeString(kStrings, "Home", "\\New"));
        switch (row.condition) {
        case SettingsStore::Condition::Usable:
            EXPECT_EQ(store.readString(kStrings, "Path"), "\\Old");
            EXPECT_EQ(store.readString(kStrings, "Home"), "\\New");
            break;
        case SettingsStore::Condition::MovedAside:
            EXPECT_EQ(ReadBytes(path + ".bad").size(), row.text.size());
            EXPECT_FALSE(store.readString(kStrings, "Path"));
            EXPECT_EQ(store.readString(kStrings, "Home"), "\\New");
            break;
        case SettingsStore::Condition::ReadOnly:
            ::chmod(path.c_str(), 0644);
            EXPECT_EQ(textOf(ReadBytes(path)), row.text);
            break;
        }
    }
}

TEST(SettingsStoreTest, DefaultFilePathFollowsXdgConfigHome)
{
    ScopedEnv home("HOME", "/home/someone");
    {
        ScopedEnv config("XDG_CONFIG_HOME", "/etc/cfg");
        EXPECT_EQ(SettingsStore::DefaultFilePath(), "/etc/cfg/Ornwick/Vistrel.conf");
    }
    {
        // A relative folder is not a valid setting and is ignored.
        ScopedEnv config("XDG_CONFIG_HOME", "relative/cfg");
        EXPECT_EQ(SettingsStore::DefaultFilePath(), "/home/someone/.config/Ornwick/Vistrel.conf");
    }
}

// The capture code reads the button count from the key and then each button's "Name" from
// "40C1", "40C2", ...: both must describe the same buttons.
TEST(LocalMachineTest, ButtonKeysDescribeTheApplicationButtons)
{
    const std::string keys = "Software\\Microsoft\\Shell\\Keys";
    const auto names = ApplicationButtonNames();
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names.front(), "Print");
    EXPECT_EQ(LocalMachineSubKeyCount(keys), 4);
    EXPECT_EQ(LocalMachineSubKeyCount("SOFTWARE\\microsoft\\shell\\KEYS"), 4);
    EXPECT_EQ(LocalMachineSubKeyCount("Software\\Microsoft"), 1);
    EXPECT_EQ(LocalMachineSubKeyCount(keys + "\\40c1"), 0);
    EXPECT_FALSE(LocalMachineSubKeyCount("Software\\Microsoft\\Shell\\Key"));
    EXPECT_FALSE(LocalMachineSubKeyCount(keys + "\\40C5"));
    EXPECT_FALSE(LocalMachineSubKeyCount(""));
    for (std::size_t n = 1; n <= names.size(); ++n)
        EXPECT_EQ(LocalMachineString(keys + "\\40C" + std::to_string(n), "name"), names[n - 1]);
    EXPECT_FALSE(LocalMachineString(keys + "\\40C5", "Name"));
    EXPECT_FALSE(LocalMachineString(keys + "\\40C1", "Label"));
    EXPECT_FALSE(LocalMachineString(keys, "Name"));
}
