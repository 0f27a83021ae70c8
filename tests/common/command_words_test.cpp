#include "common/command_words.h"

#include <gtest/gtest.h>

TEST(CommandWordsTest, SplitsLikeADesktopEntryExecLine)
{
    using Words = std::vector<std::string>;
    const std::string file = "/home/ann/Pictures/a b.jpg";
    struct Row
    {
        const char *line;
        std::optional<Words> words;
    };

    const Row rows[] = {
        { "bluetooth-sendto", Words{ "bluetooth-sendto", file } },
        { "kdeconnect-cli --share", Words{ "kdeconnect-cli", "--share", file } },
        { " send\t--to \"My Phone\" %f --quiet ",
          Words{ "send", "--to", "My Phone", file, "--quiet" } },
        { "'/opt/my tools/send' -x %U", Words{ "/opt/my tools/send", "-x", file } },
        { R"(a\ b 100%% "%f")", Words{ "a b", "100%", "%f", file } },
        { R"(echo "q\"\$\\\n")", Words{ "echo", R"(q"$\\n)", file } },
        { "echo it's", std::nullopt },
        { "send \"open", std::nullopt },
        { "   ", std::nullopt },
    };
    for (const Row &row : rows)
        EXPECT_EQ(CommandWords(row.line, file), row.words) << row.line;
}
