#include "platform/display_path.h"

#include "tests/platform/scoped_env.h"

#include <gtest/gtest.h>

TEST(DisplayPathTest, DevicePathsReadAsTheDesktopWritesThem)
{
    struct Row
    {
        const char *root; // $VISTREL_ROOT; $HOME is /home/ann
        const char *device;
        const char *shown;
    };

    const Row rows[] = {
        { "", "\\Pictures\\2024", "~/Pictures/2024" },
        { "/home/ann/", "\\Pictures\\2024\\", "~/Pictures/2024" },
        { "", "\\", "~" },
        { "", "\\\\", "~" },
        { "/srv/album", "\\Pictures\\2024", "/Pictures/2024" },
        { "/srv/album", "\\", "/" },
        { "/home/annex", "\\a b\\c:d", "/a b/c:d" },
        // Names carrying a "\\" and a byte that is not UTF-8 (see DeviceName).
        { "/srv/album", "\\odd\uf05cname\\bad\uf0ff", "/odd\\name/bad\ufffd" },
        // Not device paths: host paths and nothing are shown as they are.
        { "", "/tmp/x.jpg", "/tmp/x.jpg" },
        { "", "", "" },
    };
    ScopedEnv home("HOME", std::string("/home/ann"));
    for (const Row &row : rows) {
        ScopedEnv root("VISTREL_ROOT", std::string(row.root));
        EXPECT_EQ(DisplayPath(row.device), row.shown) << row.root << " " << row.device;
    }
    ScopedEnv root("VISTREL_ROOT", std::nullopt);
    EXPECT_EQ(DisplayPathText("\\Bilder\\Schöne"), QStringLiteral("~/Bilder/Schöne"));
}
