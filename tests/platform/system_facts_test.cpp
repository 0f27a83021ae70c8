// The host facts of the System page, read from prepared files in place of /proc, /sys and /etc.
#include "platform/system_facts.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

void writeText(const std::string &path, const std::string &text)
{
    std::ofstream(path) << text;
}

TEST(SystemFacts, ParsersOfTheHostFiles)
{
    int major = -1, minor = -1;
    EXPECT_TRUE(KernelVersion("6.1.0-13-amd64\n", major, minor));
    EXPECT_EQ(major, 6);
    EXPECT_EQ(minor, 1);
    for (const char *bad : { "", "6", "6.", "x.1", ".5" })
        EXPECT_FALSE(KernelVersion(bad, major, minor)) << bad;

    struct Row
    {
        std::string got, wanted;
    } rows[] = {
        { ModelName("LENOVO\n", "20XW0026GE\n"), "LENOVO 20XW0026GE" },
        { ModelName("", "Standard PC\n"), "Standard PC" },
        { ModelName("QEMU\n", " "), "QEMU" },
        { ModelName("", ""), "" },
        // x86 names its model; older ARM kernels say "Processor"; lower-case "processor" is the
        // core number and never a name.
        { ProcessorName("processor\t: 0\nvendor_id\t: GenuineIntel\nmodel name\t: Intel(R) Core(TM) "
                        "i7-8565U CPU @ 1.80GHz\nprocessor\t: 1\nmodel name\t: other\n"),
          "Intel(R) Core(TM) i7-8565U CPU @ 1.80GHz" },
        { ProcessorName("Processor\t: ARMv7 Processor rev 10 (v7l)\nprocessor\t: 0\n"),
          "ARMv7 Processor rev 10 (v7l)" },
        { ProcessorName("processor\t: 0\nBogoMIPS\t: 50.00\nCPU implementer\t: 0x41\n"), "" },
        { OsPrettyName("NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"),
          "Debian GNU/Linux 12 (bookworm)" },
        { OsPrettyName("PRETTY_NAME='Say \\\"hi\\\"'\n"), "Say \"hi\"" },
        { OsPrettyName("PRETTY_NAME=Plain\n"), "Plain" },
        { OsPrettyName("NAME=Nothing pretty\n"), "" },
    };
    for (const Row &row : rows)
        EXPECT_EQ(row.got, row.wanted);

    auto memory = PhysicalMemory("MemTotal:  16000000 kB\nMemFree:  1000 kB\nMemAvailable: 8000000 kB\n");
    ASSERT_TRUE(memory);
    EXPECT_EQ(memory->total, 16000000ull * 1024);
    EXPECT_EQ(memory->free, 8000000ull * 1024);
    // Kernels before MemAvailable: the free memory stands for it.
    memory = PhysicalMemory("MemTotal: 2048 kB\nMemFree: 1024 kB\n");
    ASSERT_TRUE(memory);
    EXPECT_EQ(memory->free, 1024u * 1024);
    EXPECT_FALSE(PhysicalMemory("MemFree: 1 kB\n"));
    EXPECT_FALSE(PhysicalMemory("MemTotal: lots\n"));
}

TEST(SystemFacts, ReadsPreparedFilesAndLeavesMissingFactsEmpty)
{
    TempDir dir;
    SystemFactSources sources;
    sources.dmiVendor = dir.file("vendor");
    sources.dmiProduct = dir.file("product");
    sources.cpuInfo = dir.file("cpuinfo");
    sources.osRelease = dir.file("os-release");
    sources.osReleaseFallback = dir.file("lib-os-release");
    sources.kernelRelease = dir.file("osrelease");
    sources.memInfo = dir.file("meminfo");
    sources.storagePath = dir.path().string();
    writeText(sources.dmiVendor, "Acme\n");
    writeText(sources.dmiProduct, "Box 3000\n");
    writeText(sources.cpuInfo, "model name\t: Acme CPU\n");
    writeText(sources.osReleaseFallback, "PRETTY_NAME=\"Acme OS 1\"\n");
    writeText(sources.kernelRelease, "4.20.7\n");
    writeText(sources.memInfo, "MemTotal: 4096 kB\nMemAvailable: 2048 kB\n");

    SystemFacts facts = ReadSystemFacts(sources);
    EXPECT_EQ(facts.model, "Acme Box 3000");
    EXPECT_EQ(facts.processor, "Acme CPU");
    EXPECT_EQ(facts.osName, "Acme OS 1");
    EXPECT_EQ(facts.kernelMajor, 4);
    EXPECT_EQ(facts.kernelMinor, 20);
    ASSERT_TRUE(facts.memory);
    EXPECT_EQ(facts.memory->total, 4096u * 1024);
    ASSERT_TRUE(facts.storage);
    EXPECT_GT(facts.storage->total, 0u);
    EXPECT_LE(facts.storage->free, facts.storage->total);

    // Nothing to read: every fact stays empty instead of failing.
    sources = SystemFactSources{};
    for (std::string *path : { &sources.dmiVendor, &sources.dmiProduct, &sources.cpuInfo,
                               &sources.osRelease, &sources.osReleaseFallback,
                               &sources.kernelRelease, &sources.memInfo, &sources.storagePath })
        *path = dir.file("none");
    facts = ReadSystemFacts(sources);
    EXPECT_EQ(facts.model, "");
    EXPECT_EQ(facts.processor, "");
    EXPECT_EQ(facts.osName, "");
    EXPECT_EQ(facts.kernelMajor, -1);
    EXPECT_FALSE(facts.storage);
    EXPECT_FALSE(facts.memory);
}

} // namespace
