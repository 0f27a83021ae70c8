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
        { "/srv/device/odd\\name", std::nullopt },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.host);
        EXPECT_EQ(DevicePath(row.host), row.device);
    }
    EXPECT_EQ(HostPath(*DevicePath("/srv/device/x/y")), "/srv/device/x/y");
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
