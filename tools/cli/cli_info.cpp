#include "cli_commands.h"
#include "codecs/exif_facts.h"
#include "codecs/image_description.h"
#include "common/string_ids.h"

#include <cstdio>

namespace {

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

} // namespace

int RunInfo(const std::vector<std::string> &files)
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

int RunExifInfo(const std::string &file)
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
