#include "cli_commands.h"
#include "codecs/exif_facts.h"
#include "codecs/image_description.h"
#include "common/alb_exception.h"

#include <cstdio>

namespace {

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

std::string CurrentFailureText()
{
    std::string text;
    try {
        throw;
    } catch (const CAlbExceptionBase &error) {
        error.GetMessageText(text, CAlbException::kTextCapacity);
    } catch (const std::exception &error) {
        text = error.what();
    }
    return text;
}

void PrintFailure(const std::string &file)
{
    const std::string text = CurrentFailureText();
    std::fflush(stdout);
    std::fprintf(stderr, "%s: %s\n", file.c_str(), text.c_str());
}

int RunInfo(const std::vector<std::string> &files)
{
    int status = 0;
    for (const std::string &file : files) {
        try {
            ImageInfo info;
            LoadImageInfo(file, info);
            printInfo(file, info);
        } catch (...) {
            PrintFailure(file);
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
        PrintFailure(file);
        return 1;
    }
    for (const ExifFact &fact : ReadExifFacts(file))
        std::printf("%s\t%s\n", fact.name.c_str(), fact.value.c_str());
    return 0;
}
