// The arguments of `vistrel-cli convert` (one argument between zero bytes): anything is read or
// refused with a reason, and what is accepted is something the writers take: a known format,
// colours or quality from its list (PNG none), a crop of at least one pixel, resolutions in range.
#include "fuzz_input.h"
#include "tools/cli/cli_convert_arguments.h"

#include <string_view>

namespace {

void check(bool holds)
{
    if (!holds)
        __builtin_trap();
}

std::vector<std::string> argumentsOf(std::string_view input)
{
    std::vector<std::string> arguments;
    while (!input.empty()) {
        const std::size_t zero = input.find('\0');
        arguments.emplace_back(input.substr(0, zero));
        input = zero == std::string_view::npos ? std::string_view{} : input.substr(zero + 1);
    }
    return arguments;
}

bool powerOfTwo(std::int32_t n)
{
    return n > 0 && (n & (n - 1)) == 0;
}

void checkAccepted(const ConvertArgs &args)
{
    const std::int32_t c = args.options.colours;
    switch (static_cast<ImageFormat>(args.options.format)) {
    case ImageFormat::Bmp:
        check(c == 2 || c == 16 || c == 256 || c == kTrueColourCount);
        break;
    case ImageFormat::Gif:
        check(powerOfTwo(c) && c >= 2 && c <= 256);
        break;
    case ImageFormat::Jpeg:
        check(c == 90 || c == 80 || c == 75 || c == 60 || c == 45);
        break;
    case ImageFormat::Png:
        // PNG keeps every colour: the value is left as it was.
        check(c == kTrueColourCount);
        break;
    default:
        check(false);
    }
    if (args.crop)
        check(args.crop->right > args.crop->left && args.crop->bottom > args.crop->top);
    for (std::int32_t dpi : { args.options.xResolution, args.options.yResolution })
        check(dpi >= 0 && dpi <= 65535);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    try {
        checkAccepted(ParseConvertArguments(
                argumentsOf(std::string_view(reinterpret_cast<const char *>(data), size))));
    } catch (const ArgumentError &refused) {
        check(!refused.text.empty());
    } catch (const HelpRequested &) { }
    return 0;
}
