#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

// A refused argument: the tool prints "vistrel-cli COMMAND: TEXT" and ends with status 2.
struct ArgumentError
{
    std::string text;
    // What the message names instead of the command ("info --exif"), when not empty.
    std::string command = {};
};

// --help was given: the command's usage is printed instead of running it.
struct HelpRequested
{ };

// What an argument that looks like an option but names none of the command's is taken for.
enum class UnknownOptions {
    Refused,
    Operands
};

// The options of one command of vistrel-cli, read with CLI11 the way every command reads them:
// `--name VALUE` or `--name=VALUE`, the last of a repeated option counts, the value is taken as it
// is even when it starts with a dash, and "--" ends the options. Everything else is an operand
// (a file or folder), kept in the order given.
class CommandOptions
{
public:
    // command names the command in the messages ("convert"); empty for the tool itself.
    explicit CommandOptions(std::string command);
    ~CommandOptions();
    CommandOptions(const CommandOptions &) = delete;
    CommandOptions &operator=(const CommandOptions &) = delete;

    // An option with one value, handed to read once the arguments are read; read throws
    // ArgumentError for a value it refuses. Options are read in the order they were added.
    void value(const std::string &name, std::function<void(const std::string &)> read);
    void flag(const std::string &name, bool &given);

    // Reads the arguments. Throws HelpRequested for --help (before anything is refused) and
    // ArgumentError for an option without its value, a refused value or, when unknown is Refused,
    // an option the command does not have. Returns the operands.
    std::vector<std::string> parse(const std::vector<std::string> &list, UnknownOptions unknown);
    // For the tool itself: reads -h and --help before the command, and returns the command and
    // everything after it exactly as given (the command reads its own arguments).
    std::vector<std::string> parseUpToCommand(const std::vector<std::string> &list);

private:
    void read(const std::vector<std::string> &list);
    std::vector<std::string> operands(UnknownOptions unknown) const;

    std::string command;
    std::unique_ptr<CLI::App> app;
};

// Reads a command's arguments with parse: nothing when they were read, else the exit status once
// the usage (for --help) or the reason of the refusal has been printed.
std::optional<int> ReadArguments(const char *command, const char *usage,
                                 const std::function<void()> &parse);
