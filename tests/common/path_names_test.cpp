#include "common/path_names.h"

#include "common/alb_exception.h"
#include "common/string_ids.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct PathCase
{
    std::string input;
    std::string expected;
};

void expectAll(const std::function<std::string(const std::string &)> &operation,
               const std::vector<PathCase> &cases)
{
    for (const PathCase &row : cases) {
        SCOPED_TRACE("input '" + row.input + "'");
        EXPECT_EQ(operation(row.input), row.expected);
    }
}

std::string repeat(const std::string &piece, std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += piece;
    return text;
}

} // namespace

TEST(PathNamesTest, AddBackslash)
{
    expectAll(AddBackslash,
              { { "\\My Documents", "\\My Documents\\" },
                { "\\", "\\" },
                { "", "" },
                { "a", "a" },
                { "\u00e9", "\u00e9" }, // one character in two bytes
                { "ab", "ab\\" },
                { "\\Temp\\", "\\Temp\\" },
                { "\\\\server", "\\\\server\\" },
                { "\\\\", "\\\\\\" },
                { "\\\\server\\share\\", "\\\\server\\share\\" } });
}

TEST(PathNamesTest, RemoveBackslash)
{
    expectAll(RemoveBackslash,
              { { "\\Temp\\", "\\Temp" },
                { "\\", "\\" },
                { "", "" },
                { "\\Temp", "\\Temp" },
                { "\u00e9\\", "\u00e9" },
                { "a\\\\", "a\\" },
                { "\\\\", "\\\\" },
                { "\\\\server", "\\\\server" },
                { "\\\\server\\", "\\\\server" } });
}

TEST(PathNamesTest, NameAndTitleParts)
{
    expectAll(FileNamePart,
              { { "\\a\\b.jpg", "b.jpg" },
                { "c:x.gif", "x.gif" },
                { "/tmp/y.bmp", "y.bmp" },
                { "plain", "plain" },
                { "\\dir\\", "" } });
    expectAll(FileTitlePart,
              { { "\\a.b\\c", "c" },
                { "x.tar.gz", "x.tar" },
                { "\\Pictures\\ornsnap001.jpg", "ornsnap001" },
                { ".hidden", "" },
                { "noext", "noext" } });
}

TEST(PathNamesTest, FolderPart)
{
    expectAll([](const std::string &p) { return FolderPart(p, false); },
              { { "\\a\\b.jpg", "\\a\\" }, { "\\", "\\" }, { "name", "name" }, { "c:x", "c:" } });
    expectAll([](const std::string &p) { return FolderPart(p, true); },
              { { "\\a\\b.jpg", "\\a" },
                { "\\My Documents", "" },
                { "\\", "" },
                { "name", "name" } });
}

TEST(PathNamesTest, JoinPath)
{
    EXPECT_EQ(JoinPath("\\Pictures", "a", "jpg"), "\\Pictures\\a.jpg");
    EXPECT_EQ(JoinPath("\\Pictures\\", "a"), "\\Pictures\\a");
    EXPECT_EQ(JoinPath("\\", "a.bmp"), "\\a.bmp");
    EXPECT_EQ(JoinPath("", "a", ""), "a.");
}

TEST(CheckFileNameTest, RulesInOrder)
{
    struct Row
    {
        const char *label;
        std::string name;
        std::optional<std::string> folder;
        std::optional<std::string> extra;
        std::uint32_t expected; // 0 = valid
    };

    const std::string folder250 = "\\" + repeat("f", 249);
    const std::vector<Row> rows = {
        { "plain", "photo", {}, {}, 0 },
        { "trailing blanks are ignored", "photo   ", {}, {}, 0 },
        { "empty", "", {}, {}, Msg::SpecifyName },
        { "blanks only", "   ", {}, {}, Msg::SpecifyName },
        { "leading dot", ".hidden", {}, {}, Msg::SpecifyName },
        { "dot checked before characters", ".a?b", {}, {}, Msg::SpecifyName },
        { "question mark", "a?b", {}, {}, Msg::IllegalName },
        { "260 characters", repeat("a", 260), {}, {}, 0 },
        { "261 characters", repeat("a", 261), {}, {}, Msg::NameTooLong },
        { "length checked before characters", repeat("?", 261), {}, {}, Msg::NameTooLong },
        { "260 two-byte characters", repeat("\u00e9", 260), {}, {}, 0 },
        { "folder plus name fits", repeat("n", 9), folder250, {}, 0 },
        { "folder plus name too long", repeat("n", 10), folder250, {}, Msg::NameTooLong },
        { "extra forbidden", "a#b", {}, "#", Msg::IllegalName },
        { "extra forbidden, multi-byte", "b\u00e4r", {}, "\u00e4", Msg::IllegalName },
        { "same lead byte is not the same character", "b\u00f6r", {}, "\u00e4", 0 },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.label);
        CAlbException exception(Msg::InternalError, 1, 2, 3, 4, true);
        std::optional<std::string_view> folder, extra;
        if (row.folder)
            folder = *row.folder;
        if (row.extra)
            extra = *row.extra;
        EXPECT_EQ(CheckFileName(row.name, folder, extra, &exception), row.expected == 0);
        if (row.expected == 0) {
            EXPECT_EQ(exception.messageId, Msg::InternalError); // untouched when valid
            continue;
        }
        EXPECT_EQ(exception.messageId, row.expected);
        EXPECT_EQ(exception.module, Module::FileNameCheck);
        EXPECT_EQ(exception.place, 2100u);
        EXPECT_EQ(exception.step, 10u);
        EXPECT_EQ(exception.extra, 0u);
        EXPECT_TRUE(exception.text.empty());
    }
}

TEST(CheckFileNameTest, EachForbiddenCharacter)
{
    for (char c : std::string("\\/:*?\"<>|")) {
        SCOPED_TRACE(std::string(1, c));
        EXPECT_FALSE(CheckFileName(std::string("a") + c + "b"));
    }
    EXPECT_TRUE(CheckFileName("a;b,c=d+e[f]'g"));
}

TEST(CheckFileNameTest, ReportedTextCarriesTheLocation)
{
    CAlbException exception;
    ASSERT_FALSE(CheckFileName("a:b", std::nullopt, std::nullopt, &exception));
    std::string text;
    exception.GetMessageText(text, 512);
    EXPECT_EQ(text,
              "Illegal file or folder name.\nCannot contains characters such as \\/:*?\"<>|.\n"
              "100:2100:10:0");
}
