#include "tests/support/exif_jpeg.h"

#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

#include <cstdint>

bool WriteExifJpeg(const std::string &path, int width, int height)
{
    const std::string script = (TestFilesRoot() / "make_exif_jpeg.py").string();
    const CommandResult result = RunCommand("/usr/bin/python3 '" + script + "' '" + path + "' "
                                            + std::to_string(width) + " " + std::to_string(height));
    return result.status == 0;
}

const std::vector<ExifFact> &KnownExifFacts()
{
    static const std::vector<ExifFact> facts = {
        { "Camera make", "Acme" },
        { "Camera model", "Snapper 9" },
        { "Date taken", "2024-05-17 14:03:22" },
        { "Exposure time", "1/125 s" },
        { "Aperture", "f/2.8" },
        { "ISO speed", "200" },
        { "Focal length", "50 mm" },
        { "Flash", "Fired, auto" },
        { "Orientation", "Rotate 90 CW" },
        // 48 51' 30.12" N, 2 17' 40.13" W
        { "GPS position", "48.858367, -2.294481" },
    };
    return facts;
}

bool TruncateExifSegment(const std::string &path, std::size_t keep)
{
    std::vector<std::uint8_t> bytes = ReadBytes(path);
    std::size_t at = 2;
    while (at + 4 <= bytes.size() && bytes[at] == 0xFF) {
        const std::size_t length = (std::size_t{ bytes[at + 2] } << 8) | bytes[at + 3];
        if (bytes[at + 1] == 0xE1 && keep + 2 < length) {
            bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at + 4 + keep),
                        bytes.begin() + static_cast<std::ptrdiff_t>(at + 2 + length));
            bytes[at + 2] = static_cast<std::uint8_t>((keep + 2) >> 8);
            bytes[at + 3] = static_cast<std::uint8_t>(keep + 2);
            WriteBytes(path, bytes);
            return true;
        }
        at += 2 + length;
    }
    return false;
}
