#include "sheets/system_page.h"

#include "sheets/info_texts.h"

#include <QFormLayout>
#include <QLabel>

// On this desktop the handheld's facts are stood for by the host's:
//  - Model (the OEM text): the DMI vendor and product name of the machine;
//  - Processor (a type number looked up in ProcessorTypeName): the processor's own name;
//  - OS (a platform id looked up in PlatformName): the distribution's pretty name, else "Linux";
//  - Version: the kernel's major and minor numbers, as the kernel gives them;
//  - storage memory (the object store): the file system of the device root, total and free;
//  - total and program memory: physical memory, total and available.
// A fact the host does not give reads Unknown (names) or N/A (sizes).

namespace {

const char kFallbackOsName[] = "Linux";

std::string orUnknown(const std::string &text)
{
    return text.empty() ? UnknownText() : text;
}

std::string sizeOrNa(const std::optional<MemoryFigures> &figures, bool total)
{
    if (!figures)
        return NotAvailableText();
    return ByteSizeText(total ? figures->total : figures->free);
}

} // namespace

SystemFacts ReadHostSystemFacts()
{
    return ReadSystemFacts(HostSystemFactSources());
}

CSystemPage::CSystemPage(FactsReader reader, QWidget *parent)
    : CPropPage(QStringLiteral("115"), QStringLiteral("System"), parent),
      readFacts(std::move(reader))
{
    QFormLayout *device = addGroup(QStringLiteral("Device information"));
    model = addValue(device, QStringLiteral("Model:"), "1055");
    processor = addValue(device, QStringLiteral("Processor:"), "1054");
    os = addValue(device, QStringLiteral("OS:"), "1051");
    version = addValue(device, QStringLiteral("Version:"), "1052");
    QFormLayout *memory = addGroup(QStringLiteral("Memory information"));
    totalMemory = addValue(memory, QStringLiteral("Total memory:"), "1046");
    storage = addValue(memory, QStringLiteral("Storage memory:"), "1047");
    storageFree = addValue(memory, QStringLiteral("Free:"), "1048");
    program = addValue(memory, QStringLiteral("Program memory:"), "1049");
    programFree = addValue(memory, QStringLiteral("Free:"), "1050");
}

void CSystemPage::fill()
{
    const SystemFacts facts = readFacts ? readFacts() : SystemFacts{};
    setText(model, orUnknown(facts.model));
    setText(processor, facts.processor.empty() ? ProcessorTypeName(0) : facts.processor);
    setText(os, facts.osName.empty() ? kFallbackOsName : facts.osName);
    setText(version,
            facts.kernelMajor < 0 ? UnknownText()
                                  : VersionText(facts.kernelMajor, facts.kernelMinor));
    // A disk's size added to the RAM would mean nothing: the total is the RAM.
    setText(totalMemory, sizeOrNa(facts.memory, true));
    setText(storage, sizeOrNa(facts.storage, true));
    setText(storageFree, sizeOrNa(facts.storage, false));
    setText(program, sizeOrNa(facts.memory, true));
    setText(programFree, sizeOrNa(facts.memory, false));
}
