#include "cli_arguments.h"
#include "cli_commands.h"
#include "codecs/exif_facts.h"
#include "codecs/image_description.h"
#include "common/string_ids.h"

#include <cstdio>

namespace {

const char kInfoUsage[] = R"(usage: vistrel-cli info [--] FILE...
       vistrel-cli info --exif FILE

Prints one tab-separated line per picture: file, format, width, height, colours,
horizontal and vertical resolution, frame count. Unreadable files are reported on
standard error and make the exit status 1.

--exif prints what a photo's EXIF block says about it instead, one tab-separated
"name<TAB>value" line per fact present: Camera make, Camera model, Date taken,
Exposure time, Aperture, ISO speed, Focal length, Flash, Orientation, GPS position.
A picture without an EXIF block, or with a damaged one, prints nothing.
)";

// The codec framework's reading of a picture's header.
constexpr FailurePlace kReading{ Module::CodecFramework, 18, 1 };

// A name as one field of a tab-separated line: a tab, newline, carriage return or backslash is
// written as \t, \n, \r or \\, so every picture keeps one line of its own and the name can be
// read back. Other bytes pass as the file system holds them.
std::string fieldText(const std::string &name)
{
    std::string field;
    for (char c : name) {
        switch (c) {
        case '\t':
            field += "\\t";
            break;
        case '\n':
            field += "\\n";
            break;
        case '\r':
            field += "\\r";
            break;
        case '\\':
            field += "\\\\";
            break;
        default:
            field += c;
        }
    }
    return field;
}

void printInfo(const std::string &file, const ImageInfo &info)
{
    std::printf("%s\t%s\t%d\t%d\t%s\t%d\t%d\t%d\n", fieldText(file).c_str(),
                FormatName(info.format), info.width, info.height,
                ShownColourText(info, nullptr).c_str(), info.xResolution, info.yResolution,
                info.frameCount);
}

struct InfoArgs
{
    std::vector<std::string> files;
    bool exif = false;
};

// Whatever else starts with "--" is taken for a file, as after "--".
InfoArgs parseInfo(const std::vector<std::string> &list)
{
    InfoArgs args;
    CommandOptions options("info");
    options.flag("--exif", args.exif);
    args.files = options.parse(list, UnknownOptions::Operands);
    if (args.exif && args.files.size() != 1)
        throw ArgumentError{ "give exactly one file", "info --exif" };
    if (args.files.empty())
        throw ArgumentError{ "no file given" };
    return args;
}

int printInfos(const std::vector<std::string> &files)
{
    int status = 0;
    for (const std::string &file : files) {
        try {
            ImageInfo info;
            LoadImageInfo(file, info);
            printInfo(file, info);
        } catch (...) {
            PrintFailure(file, kReading);
            status = 1;
        }
    }
    return status;
}

// The camera facts of one picture's EXIF block, one "name<TAB>value" line each; nothing for a
// picture without (or with a damaged) block.
int printExifFacts(const std::string &file)
{
    try {
        // Only pictures the program reads are asked about; anything else gets the reader's error.
        ImageInfo info;
        LoadImageInfo(file, info);
    } catch (...) {
        PrintFailure(file, kReading);
        return 1;
    }
    for (const ExifFact &fact : ReadExifFacts(file))
        std::printf("%s\t%s\n", fact.name.c_str(), fact.value.c_str());
    return 0;
}

} // namespace

int RunInfo(const std::vector<std::string> &list)
{
    InfoArgs args;
    if (const auto status = ReadArguments("info", kInfoUsage, [&] { args = parseInfo(list); }))
        return *status;
    return args.exif ? printExifFacts(args.files[0]) : printInfos(args.files);
}
