#include "app/trace_log.h"

#include <cstdlib>
#include <fstream>

void AppendTraceLine(const std::string &folder, const std::string &firstSelected,
                     std::int32_t viewMode)
{
    const char *path = std::getenv("VISTREL_TRACE");
    if (!path || !*path)
        return;
    std::ofstream out(path, std::ios::app);
    out << folder << '\t' << firstSelected << '\t' << viewMode << '\n';
}
