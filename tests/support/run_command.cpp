#include "tests/support/run_command.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

CommandResult RunCommand(const std::string &command)
{
    FILE *pipe = ::popen(command.c_str(), "r");
    CommandResult result{ -1, {} };
    if (!pipe)
        return result;
    std::array<char, 4096> chunk{};
    while (std::size_t n = std::fread(chunk.data(), 1, chunk.size(), pipe))
        result.out.append(chunk.data(), n);
    const int raw = ::pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

std::string CliPath()
{
    return std::string(VISTREL_BINARY_DIR) + "/tools/vistrel-cli";
}

bool OnlyTheXServerIsLeft()
{
    while (::waitpid(-1, nullptr, WNOHANG) > 0) { }
    const std::string self = std::to_string(::getpid());
    for (const auto &entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string pid, name, state, parent;
        // "pid (name) state ppid ..."; the names here have no blanks.
        if (stat >> pid >> name >> state >> parent && parent == self && name != "(Xvfb)")
            return false;
    }
    return true;
}
