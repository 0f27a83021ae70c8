// The album's command line as a second instance hands it over: any text splits into parameters
// that join back into a text splitting the same way, and the parse asks only for what it can
// show: a folder for Thumbnail View, a folder and a file name for the picture views.
#include "app/command_line.h"
#include "fuzz_input.h"

#include <string_view>

namespace {

void check(bool holds)
{
    if (!holds)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const std::vector<std::string> parameters = SplitCommandLine(text);
    check(SplitCommandLine(JoinCommandLine(parameters)) == parameters);

    const CAlbCommandLineInfo info = ParseCommandLine(parameters);
    switch (info.launchMode) {
    case LaunchMode::Default:
        break;
    case LaunchMode::Folder:
        check(!info.folder.empty());
        break;
    case LaunchMode::Select:
    case LaunchMode::FullScreen:
        check(!info.folder.empty() && !info.fileName.empty());
        check(info.fileName.find('\\') == std::string::npos);
        break;
    default:
        check(false);
    }
    return 0;
}
