#include "platform/program_folder.h"

#include <unistd.h>

std::string RunningProgramFolder()
{
    char path[4096];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return ".";
    const std::string file(path, static_cast<std::size_t>(length));
    const std::size_t slash = file.rfind('/');
    return slash == std::string::npos || slash == 0 ? file.substr(0, slash + 1)
                                                    : file.substr(0, slash);
}
