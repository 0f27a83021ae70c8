#include "common/host_path.h"

#include "common/utf8.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

// Points the device root at a fixed folder for one test and restores the old value after it.
class HostPathTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (const char *old = std::getenv("VISTREL_ROOT"))
            saved = old;
        setenv("VISTREL_ROOT", "/srv/device/", 1);
    }

    void TearDown() override
    {
        if (saved)
            setenv("VISTREL_ROOT", saved->c_str(), 1);
        else
            unsetenv("VISTREL_ROOT");
    }

    std::optional<std::string> saved;
};

} // namespace

TEST_F(HostPathTest, DeviceToHost)
{
    EXPECT_EQ(DeviceRoot(), "/srv/device");
    EXPECT_EQ(HostPath("\\"), "/srv/device/");
    EXPECT_EQ(HostPath("\\Pictures\\a.jpg"), "/srv/device/Pictures/a.jpg");
    EXPECT_EQ(HostPath("/tmp/a.jpg"), "/tmp/a.jpg");
    EXPECT_EQ(HostPath(""), "");
}

TEST_F(HostPathTest, HostToDevice)
{
    struct Row
    {
        const char *host;
        std::optional<std::string> device;
    };

    const std::vector<Row> rows = {
        { "/srv/device", "\\" },
        { "/srv/device/Pictures/a.jpg", "\\Pictures\\a.jpg" },
        { "/srv/devices/a.jpg", std::nullopt }, // shares the prefix, but not the folder
        { "/tmp/a.jpg", std::nullopt },
        { "/srv/device/odd\\name/\xff", "\\odd\uf05cname\\\uf0ff" },
        { "/srv/device/x/", "\\x\\" },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.host);
        EXPECT_EQ(DevicePath(row.host), row.device);
    }
    EXPECT_EQ(HostPath(*DevicePath("/srv/device/x/y")), "/srv/device/x/y");
}

// Host names that device text cannot hold as they are travel as private-use characters and come
// back byte for byte; people see the real "\\" and U+FFFD for a byte that is not UTF-8.
TEST_F(HostPathTest, CarriedNamesComeBackByteForByte)
{
    struct Row
    {
        std::string host, device, shown;
    };

    const std::vector<Row> rows = {
        { "plain \u00e9.jpg", "plain \u00e9.jpg", "plain \u00e9.jpg" },
        { "line\nbreak%20-x", "line\nbreak%20-x", "line\nbreak%20-x" },
        { "a\\b.jpg", "a\uf05cb.jpg", "a\\b.jpg" },
        { "bad\xff.jpg", "bad\uf0ff.jpg", "bad\ufffd.jpg" },
        { "cut\xc3", "cut\uf0c3", "cut\ufffd" },
        { "\xed\xa0\x80", "\uf0ed\uf0a0\uf080", "\ufffd\ufffd\ufffd" }, // a surrogate
        // A character of the carrying block itself is carried, or it would read back as a byte.
        { "\uf05c\uf0ff", "\uf0ef\uf081\uf09c\uf0ef\uf083\uf0bf", "\uf05c\uf0ff" },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.host);
        EXPECT_EQ(DeviceName(row.host), row.device);
        EXPECT_EQ(HostName(row.device), row.host);
        EXPECT_EQ(ShownName(row.device), row.shown);
        EXPECT_EQ(HostPath("\\f\\" + row.device), "/srv/device/f/" + row.host);
        EXPECT_EQ(DevicePath("/srv/device/f/" + row.host), "\\f\\" + row.device);
    }
    for (int first = 0; first < 256; ++first) {
        for (int second : { 0x41, 0x5c, 0x80, 0xbf, 0xef, 0xff }) {
            const std::string host{ static_cast<char>(first), static_cast<char>(second) };
            EXPECT_EQ(HostName(DeviceName(host)), host) << first << ' ' << second;
        }
    }
    // Only "\\" and bytes from 0x80 up are ever carried: no other character turns into a slash.
    EXPECT_EQ(HostName("\uf02f\uf000"), "\uf02f\uf000");
}

TEST(Utf8Test, CountsAndCutsByCharacter)
{
    const std::string text = "a\u00e9\u20ac\U0001F600b"; // 1, 2, 3 and 4 bytes, then 1
    EXPECT_EQ(Utf8Length(text), 5u);
    EXPECT_EQ(Utf8Prefix(text, 3), "a\u00e9\u20ac");
    EXPECT_EQ(Utf8Prefix(text, 9), text);
    EXPECT_EQ(Utf8Prefix(text, 0), "");
    EXPECT_EQ(Utf8Suffix(text, 2), "\U0001F600b");
    EXPECT_EQ(Utf8Suffix(text, 9), text);
    EXPECT_EQ(Utf8Suffix(text, 0), "");
}
