#include "platform/help.h"

#include "platform/program_folder.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <sys/stat.h>
#include <utility>

namespace {

constexpr const char *kHelpFileName = "vistrel_(en).htm";

struct TopicRange
{
    std::uint32_t first;
    std::uint32_t last;
    const char *topic;
};

constexpr TopicRange kTopics[] = {
    { 102, 102, "New-Folder" }, // dialog "New Folder"
    { 105, 105, "Capture-Settings" }, // capture dialogs
    { 107, 108, "Capture-Settings" },
    { 112, 115, "Image-Info" }, // pages of the information sheet
    { 116, 116, "Options" }, // dialog "Options"
    { 206, 206, "Crop" }, // page "Crop" of the save sheet
    { 30003, 30003, "About-Orn-Album" }, // about box
    { 30101, 30101, "Thumbnail-View" }, // main window in Thumbnail View
    { 30102, 30102, "Select-View" }, // main window in Select View
};

// The path goes into a URL: characters that would end the path part or start an escape are
// written as escapes, everything else stays as it is.
std::string urlPath(const std::string &path)
{
    constexpr std::string_view kEscaped = " #%?";
    std::string out;
    for (char c : path) {
        if (kEscaped.find(c) == std::string_view::npos) {
            out += c;
            continue;
        }
        char escape[4];
        std::snprintf(escape, sizeof escape, "%%%02X", static_cast<unsigned char>(c));
        out += escape;
    }
    return out;
}

HelpOpener installedOpener;

} // namespace

std::string HelpTopic(std::uint32_t context)
{
    for (const TopicRange &range : kTopics)
        if (context >= range.first && context <= range.last)
            return range.topic;
    return "Main_Contents";
}

std::string HelpFilePath()
{
    const char *file = std::getenv("VISTREL_HELP_FILE");
    if (file && *file)
        return file;
    return HelpFileBeside(RunningProgramFolder());
}

std::string HelpFileBeside(const std::string &folder)
{
    const std::string installed = folder + "/../share/vistrel/" + kHelpFileName;
    const std::string built = folder + "/../res/" + kHelpFileName;

    struct stat facts
    { };

    if (::stat(installed.c_str(), &facts) != 0 && ::stat(built.c_str(), &facts) == 0)
        return built;
    return installed;
}

std::string HelpUrl(std::uint32_t context)
{
    return "file:" + urlPath(HelpFilePath()) + "#" + HelpTopic(context);
}

HelpOpener SetHelpOpener(HelpOpener opener)
{
    return std::exchange(installedOpener, std::move(opener));
}

void ShowHelp(std::uint32_t context)
{
    const std::string url = HelpUrl(context);
    if (installedOpener)
        installedOpener(url);
    else
        QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}
