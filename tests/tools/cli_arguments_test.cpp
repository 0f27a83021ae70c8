// How every command of vistrel-cli reads its command line: operands in order, a value taken as
// it is, "--" ending the options, --help winning over a refused value, and the messages of what
// is refused.
#include "tools/cli/cli_arguments.h"

#include <gtest/gtest.h>

namespace {

// What reading the arguments gave, as one line: the operands joined by "|", the --format and
// --overwrite given; or the refusal; or "help".
std::string outcome(const std::vector<std::string> &list, UnknownOptions unknown)
{
    std::string format = "none";
    bool overwrite = false;
    CommandOptions options("test");
    options.value("--format", [&](const std::string &value) { format = value; });
    options.value("--colors", [](const std::string &value) {
        if (value.find_first_not_of("0123456789") != std::string::npos)
            throw ArgumentError{ "--colors needs a whole number, not '" + value + "'" };
    });
    options.flag("--overwrite", overwrite);
    try {
        std::string line;
        for (const std::string &operand : options.parse(list, unknown))
            line += operand + "|";
        return line + " format " + format + (overwrite ? " overwrite" : "");
    } catch (const ArgumentError &refused) {
        return "refused: " + refused.text;
    } catch (const HelpRequested &) {
        return "help";
    }
}

TEST(CliArguments, CommandsReadTheirArgumentsTheSameWay)
{
    struct Row
    {
        const char *name;
        std::vector<std::string> list;
        UnknownOptions unknown = UnknownOptions::Refused;
        const char *expected;
    };

    const Row rows[] = {
        { .name = "operands keep their order around the options",
          .list = { "a", "--format", "png", "-x.bmp", "b" },
          .expected = "a|-x.bmp|b| format png" },
        { .name = "a value is taken as it is",
          .list = { "--format", "--overwrite", "a" },
          .expected = "a| format --overwrite" },
        { .name = "name=value", .list = { "--format=gif", "a" }, .expected = "a| format gif" },
        { .name = "the last of a repeated option counts",
          .list = { "--format", "bmp", "--overwrite", "--format", "gif" },
          .expected = " format gif overwrite" },
        { .name = "-- ends the options, once",
          .list = { "--", "--format", "-x", "--" },
          .expected = "--format|-x|--| format none" },
        { .name = "an option at the end without its value",
          .list = { "a", "--format" },
          .expected = "refused: --format needs a value" },
        { .name = "an unknown option",
          .list = { "a", "--size", "3" },
          .expected = "refused: unknown option '--size' (see test --help)" },
        { .name = "an unknown option taken for a file",
          .list = { "--size", "3" },
          .unknown = UnknownOptions::Operands,
          .expected = "--size|3| format none" },
        { .name = "a refused value",
          .list = { "--colors", "x" },
          .expected = "refused: --colors needs a whole number, not 'x'" },
        { .name = "--help wins over a refused value and a missing one",
          .list = { "--colors", "x", "--help", "--format" },
          .expected = "help" },
        { .name = "--help as a value is a value",
          .list = { "--format", "--help" },
          .expected = " format --help" },
        { .name = "a flag given a value",
          .list = { "--overwrite=yes" },
          .expected = "refused: --overwrite takes no value, not 'yes'" },
    };
    for (const Row &row : rows)
        EXPECT_EQ(outcome(row.list, row.unknown), row.expected) << row.name;
}

// The tool itself reads only -h and --help before the command; the command gets the rest as given.
TEST(CliArguments, TheToolLeavesTheCommandsArgumentsAsGiven)
{
    const auto upToCommand = [](const std::vector<std::string> &list) {
        CommandOptions tool("");
        return tool.parseUpToCommand(list);
    };
    EXPECT_EQ(upToCommand({ "info", "--", "--help", "-h" }),
              (std::vector<std::string>{ "info", "--", "--help", "-h" }));
    EXPECT_EQ(upToCommand({ "--frobnicate", "info" }),
              (std::vector<std::string>{ "--frobnicate", "info" }));
    EXPECT_THROW(upToCommand({ "-h", "info" }), HelpRequested);
}

} // namespace
