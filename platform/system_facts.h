#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Where the host keeps the facts the System page shows. Tests point these at prepared files.
struct SystemFactSources
{
    std::string dmiVendor = "/sys/class/dmi/id/sys_vendor";
    std::string dmiProduct = "/sys/class/dmi/id/product_name";
    std::string cpuInfo = "/proc/cpuinfo";
    std::string osRelease = "/etc/os-release";
    std::string osReleaseFallback = "/usr/lib/os-release";
    std::string kernelRelease = "/proc/sys/kernel/osrelease";
    std::string memInfo = "/proc/meminfo";
    // The file system whose size stands for the device's storage: the device root's.
    std::string storagePath;
};

// The sources of this machine, storage being the file system of the device root.
SystemFactSources HostSystemFactSources();

// Two byte counts of one kind of memory.
struct MemoryFigures
{
    std::uint64_t total = 0;
    std::uint64_t free = 0;
};

// What the host says about itself; a fact it does not give stays empty.
struct SystemFacts
{
    std::string model; // DMI vendor and product name
    std::string processor; // the processor's own name
    std::string osName; // the distribution's pretty name
    int kernelMajor = -1;
    int kernelMinor = -1;
    std::optional<MemoryFigures> storage; // file system total and free for the user
    std::optional<MemoryFigures> memory; // physical memory total and available
};

SystemFacts ReadSystemFacts(const SystemFactSources &sources);

// The parsers behind ReadSystemFacts, on file contents.
// "Vendor Product", either part alone when the other is missing; blanks trimmed.
std::string ModelName(std::string_view vendor, std::string_view product);
// The first processor name line of /proc/cpuinfo ("model name", else the names other
// architectures use); "" when there is none.
std::string ProcessorName(std::string_view cpuInfo);
// PRETTY_NAME of an os-release file, quotes and escapes removed; "" when missing.
std::string OsPrettyName(std::string_view osRelease);
// Major and minor number of a kernel release ("6.1.0-13-amd64"); false when it does not start so.
bool KernelVersion(std::string_view release, int &major, int &minor);
// MemTotal and MemAvailable (MemFree on kernels without it) in bytes; none without MemTotal.
std::optional<MemoryFigures> PhysicalMemory(std::string_view memInfo);
