#include "app/trace_log.h"

#include <cstdlib>
#include <fstream>

namespace {

const char *tracePath()
{
    const char *path = std::getenv("VISTREL_TRACE");
    return path && *path ? path : nullptr;
}

} // namespace

void AppendTraceLine(const std::string &folder, const std::string &firstSelected,
                     std::int32_t viewMode)
{
    AppendTraceText(folder + '\t' + firstSelected + '\t' + std::to_string(viewMode) + '\n');
}

bool TraceEnabled()
{
    return tracePath() != nullptr;
}

void AppendTraceText(const std::string &text)
{
    const char *path = tracePath();
    if (!path)
        return;
    std::ofstream out(path, std::ios::app);
    out << text << std::flush;
}
