#include "platform/system_facts.h"

#include "common/host_path.h"

#include <sys/statvfs.h>

#include <charconv>
#include <fstream>
#include <sstream>

namespace {

// A small text file of the host (the pseudo-files report a size of 0, so read to the end).
std::string readText(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Calls take(key, value) for each "key<sep>value" line, both trimmed; stops when it returns true.
template <typename Take>
void forEachLine(std::string_view text, char separator, Take take)
{
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const std::size_t split = line.find(separator);
        if (split == std::string_view::npos)
            continue;
        if (take(trimmed(line.substr(0, split)), trimmed(line.substr(split + 1))))
            return;
    }
}

// An os-release value: shell quoting with single or double quotes and backslash escapes.
std::string unquoted(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
        && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size())
            ++i;
        text += value[i];
    }
    return text;
}

std::optional<std::uint64_t> kilobytes(std::string_view value)
{
    std::uint64_t number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (error != std::errc() || end == value.data() || number > (UINT64_MAX >> 10))
        return std::nullopt;
    return number << 10;
}

std::optional<MemoryFigures> fileSystemSize(const std::string &path)
{
    struct statvfs facts {};
    if (path.empty() || statvfs(path.c_str(), &facts) != 0)
        return std::nullopt;
    const std::uint64_t unit = facts.f_frsize ? facts.f_frsize : facts.f_bsize;
    return MemoryFigures{ std::uint64_t{ facts.f_blocks } * unit,
                          std::uint64_t{ facts.f_bavail } * unit };
}

} // namespace

SystemFactSources HostSystemFactSources()
{
    SystemFactSources sources;
    sources.storagePath = HostPath("\\");
    if (sources.storagePath.empty())
        sources.storagePath = "/";
    return sources;
}

std::string ModelName(std::string_view vendor, std::string_view product)
{
    vendor = trimmed(vendor);
    product = trimmed(product);
    if (vendor.empty() || product.empty())
        return std::string(vendor.empty() ? product : vendor);
    return std::string(vendor) + ' ' + std::string(product);
}

std::string ProcessorName(std::string_view cpuInfo)
{
    // x86 and most others, then older ARM kernels, MIPS, and PowerPC.
    for (std::string_view key : { "model name", "Processor", "cpu model", "cpu" }) {
        std::string name;
        forEachLine(cpuInfo, ':', [&](std::string_view k, std::string_view v) {
            if (k != key || v.empty())
                return false;
            name = v;
            return true;
        });
        if (!name.empty())
            return name;
    }
    return {};
}

std::string OsPrettyName(std::string_view osRelease)
{
    std::string name;
    forEachLine(osRelease, '=', [&](std::string_view key, std::string_view value) {
        if (key != "PRETTY_NAME")
            return false;
        name = unquoted(value);
        return true;
    });
    return name;
}

bool KernelVersion(std::string_view release, int &major, int &minor)
{
    release = trimmed(release);
    const char *end = release.data() + release.size();
    int first = 0;
    int second = 0;
    auto [afterMajor, majorError] = std::from_chars(release.data(), end, first);
    if (majorError != std::errc() || afterMajor == end || *afterMajor != '.')
        return false;
    auto [afterMinor, minorError] = std::from_chars(afterMajor + 1, end, second);
    if (minorError != std::errc() || afterMinor == afterMajor + 1)
        return false;
    major = first;
    minor = second;
    return true;
}

std::optional<MemoryFigures> PhysicalMemory(std::string_view memInfo)
{
    std::optional<std::uint64_t> total, available, free;
    forEachLine(memInfo, ':', [&](std::string_view key, std::string_view value) {
        const std::string_view number = value.substr(0, value.find(' '));
        if (key == "MemTotal")
            total = kilobytes(number);
        else if (key == "MemAvailable")
            available = kilobytes(number);
        else if (key == "MemFree")
            free = kilobytes(number);
        return false;
    });
    if (!total)
        return std::nullopt;
    return MemoryFigures{ *total, available ? *available : free.value_or(0) };
}

SystemFacts ReadSystemFacts(const SystemFactSources &sources)
{
    SystemFacts facts;
    facts.model = ModelName(readText(sources.dmiVendor), readText(sources.dmiProduct));
    facts.processor = ProcessorName(readText(sources.cpuInfo));
    facts.osName = OsPrettyName(readText(sources.osRelease));
    if (facts.osName.empty())
        facts.osName = OsPrettyName(readText(sources.osReleaseFallback));
    KernelVersion(readText(sources.kernelRelease), facts.kernelMajor, facts.kernelMinor);
    facts.storage = fileSystemSize(sources.storagePath);
    facts.memory = PhysicalMemory(readText(sources.memInfo));
    return facts;
}
