#include "cli_arguments.h"

#include <CLI/CLI.hpp>
#include <cstdio>

namespace {

// CLI11 hands a flag "true" when given alone and VALUE for "--name=VALUE"; a flag takes no value.
void takesNoValue(CLI::Option &option)
{
    option.each([name = option.get_name()](const std::string &value) {
        if (value != "true")
            throw ArgumentError{ name + " takes no value, not '" + value + "'" };
    });
}

} // namespace

CommandOptions::CommandOptions(std::string name)
    : command(std::move(name)), app(std::make_unique<CLI::App>())
{
    app->option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    // The tool prints usage texts of its own. --help is answered the moment it is met, before an
    // option at the end is found without its value and before any value is read.
    app->set_help_flag();
    CLI::Option *help = app->add_flag_callback(command.empty() ? "-h,--help" : "--help",
                                               [] { throw HelpRequested{}; });
    takesNoValue(*help);
    help->trigger_on_parse();
    // What names no option of the command is collected in order and sorted out by operands().
    app->allow_extras();
}

CommandOptions::~CommandOptions() = default;

void CommandOptions::value(const std::string &name, std::function<void(const std::string &)> read)
{
    app->add_option_function<std::string>(name, std::move(read));
}

void CommandOptions::flag(const std::string &name, bool &given)
{
    takesNoValue(*app->add_flag(name, given));
}

void CommandOptions::read(const std::vector<std::string> &list)
{
    try {
        // CLI11 takes the arguments last first.
        app->parse(std::vector<std::string>(list.rbegin(), list.rend()));
    } catch (const CLI::ArgumentMismatch &) {
        // An option misses its value only when nothing follows it.
        throw ArgumentError{ list.back() + " needs a value" };
    } catch (const CLI::ParseError &error) {
        throw ArgumentError{ error.what() };
    }
}

std::vector<std::string> CommandOptions::operands(UnknownOptions unknown) const
{
    std::vector<std::string> found;
    bool optionsEnded = false;
    for (const std::string &argument : app->remaining()) {
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
            continue;
        }
        // A single dash is no option here: "-x.bmp" is a file.
        if (!optionsEnded && unknown == UnknownOptions::Refused && argument.rfind("--", 0) == 0)
            throw ArgumentError{ "unknown option '" + argument + "' (see " + command + " --help)" };
        found.push_back(argument);
    }
    return found;
}

std::vector<std::string> CommandOptions::parse(const std::vector<std::string> &list,
                                               UnknownOptions unknown)
{
    read(list);
    return operands(unknown);
}

std::vector<std::string> CommandOptions::parseUpToCommand(const std::vector<std::string> &list)
{
    app->prefix_command();
    read(list);
    return app->remaining();
}

std::optional<int> ReadArguments(const char *command, const char *usage,
                                 const std::function<void()> &parse)
{
    try {
        parse();
        return std::nullopt;
    } catch (const HelpRequested &) {
        std::fputs(usage, stdout);
        return 0;
    } catch (const ArgumentError &refused) {
        const std::string where = refused.command.empty() ? command : refused.command;
        std::fprintf(stderr, "vistrel-cli%s%s: %s\n", where.empty() ? "" : " ", where.c_str(),
                     refused.text.c_str());
        return 2;
    }
}
