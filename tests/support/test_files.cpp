#include "tests/support/test_files.h"

#include "codecs/detecting_codec.h"
#include "common/host_path.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

namespace {

std::vector<std::string> splitTabs(const std::string &line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

std::int32_t numberOrMinusOne(const std::string &text)
{
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](unsigned char c) {
            return std::isdigit(c) != 0;
        }))
        return -1;
    return std::stoi(text);
}

std::map<std::string, ReferenceRow> loadIndex()
{
    std::map<std::string, ReferenceRow> rows;
    const std::filesystem::path root = TestDataRoot();
    std::ifstream in(root / "_ref" / "index.tsv");
    std::string line;
    if (root.empty() || !std::getline(in, line))
        return rows;
    // Columns are found by their names in the header line, so added columns do no harm.
    const std::vector<std::string> names = splitTabs(line);
    auto column = [&](const std::string &name) {
        return static_cast<std::size_t>(std::find(names.begin(), names.end(), name)
                                        - names.begin());
    };
    const std::size_t pathAt = column("path"), statusAt = column("status"),
                      decoderAt = column("decoder"), widthAt = column("width"),
                      heightAt = column("height"), shaAt = column("sha256"),
                      detailsAt = column("details");
    while (std::getline(in, line)) {
        const std::vector<std::string> f = splitTabs(line);
        auto at = [&](std::size_t i) {
            return i < f.size() ? f[i] : std::string();
        };
        ReferenceRow row{ at(pathAt),
                          at(statusAt),
                          at(decoderAt),
                          numberOrMinusOne(at(widthAt)),
                          numberOrMinusOne(at(heightAt)),
                          at(shaAt),
                          at(detailsAt) };
        rows[row.path] = row;
    }
    return rows;
}

} // namespace

std::filesystem::path TestDataRoot()
{
    const std::filesystem::path root = VISTREL_TESTDATA;
    std::error_code error;
    return std::filesystem::is_directory(root / "_ref", error) ? root : std::filesystem::path();
}

std::filesystem::path TestFilesRoot()
{
    return VISTREL_TEST_FILES;
}

std::string PngSuiteFile(const std::string &name)
{
    return (TestFilesRoot() / "pngsuite" / name).string();
}

std::string ReferenceRow::detail(const std::string &key) const
{
    std::istringstream fields(details);
    std::string field;
    while (std::getline(fields, field, ';')) {
        if (field.rfind(key + "=", 0) == 0)
            return field.substr(key.size() + 1);
    }
    return {};
}

const std::map<std::string, ReferenceRow> &ReferenceIndex()
{
    static const std::map<std::string, ReferenceRow> index = loadIndex();
    return index;
}

std::filesystem::path ReferencePpmPath(const std::string &relativePath)
{
    return TestDataRoot() / "_ref" / (relativePath + ".ppm");
}

bool ReadPpm(const std::filesystem::path &path, RgbPicture &picture)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    if (!(in >> magic >> picture.width >> picture.height >> maxValue) || magic != "P6"
        || maxValue != 255 || picture.width <= 0 || picture.height <= 0)
        return false;
    in.get(); // the single white-space byte before the samples
    picture.rgb.resize(static_cast<std::size_t>(picture.width) * picture.height * 3);
    in.read(reinterpret_cast<char *>(picture.rgb.data()),
            static_cast<std::streamsize>(picture.rgb.size()));
    return static_cast<std::size_t>(in.gcount()) == picture.rgb.size();
}

std::vector<std::filesystem::path> FilesWithExtension(const std::filesystem::path &folder,
                                                      const std::string &extension)
{
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator(folder, error)) {
        std::string name = entry.path().filename().string();
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (entry.is_regular_file() && name.size() > extension.size()
            && name.compare(name.size() - extension.size(), extension.size(), extension) == 0)
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::uint8_t> PackedRgb(const ImageBuffer &image)
{
    std::vector<std::uint8_t> rgb;
    rgb.reserve(static_cast<std::size_t>(image.width) * image.height * 3);
    for (std::int32_t y = 0; y < image.height; ++y) {
        const std::uint8_t *p = image.row(y);
        for (std::int32_t x = 0; x < image.width; ++x) {
            if (image.bytesPerPixel == 1) {
                const PaletteEntry &e = image.palette->entries[p[x]];
                rgb.insert(rgb.end(), { e.red, e.green, e.blue });
            } else {
                rgb.insert(rgb.end(), { p[3 * x + 2], p[3 * x + 1], p[3 * x] });
            }
        }
    }
    return rgb;
}

std::vector<std::uint8_t> FileRgb(const std::string &path)
{
    ImageInfo info;
    FrameArray frames;
    DetectingCodec().decodeFramesFromFile(path, &info, &frames, nullptr, nullptr);
    return PackedRgb(frames.at(0)->image);
}

Size PictureSize(const std::string &devicePath)
{
    ImageInfo info;
    FrameArray frames;
    DetectingCodec().decodeFramesFromFile(HostPath(devicePath), &info, &frames, nullptr, nullptr);
    return { info.width, info.height };
}
