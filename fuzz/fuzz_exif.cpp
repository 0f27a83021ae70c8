// The EXIF facts of a block: the layout check, then the library's parse and the formatting.
#include "codecs/exif_facts.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    IgnoringCleanFailures([&] {
        const std::vector<ExifFact> facts = ExifFactsFromBlock(data, size);
        for (const ExifFact &fact : facts) {
            // Every value is one line of printable text: the command-line tool prints it as such.
            for (char c : fact.value) {
                if (static_cast<unsigned char>(c) < 0x20)
                    __builtin_trap();
            }
        }
    });
    return 0;
}
