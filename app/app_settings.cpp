#include "app/app_settings.h"

#include "common/host_path.h"
#include "common/path_names.h"
#include "common/string_ids.h"
#include "common/string_table.h"
#include "common/utf8.h"
#include "platform/capture_area.h"
#include "platform/settings_store.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>

namespace {

constexpr const char *kUiInfoSection = "UI Info";
constexpr const char *kPreferencesSection = "Preferences";
constexpr const char *kCaptureSection = "Capture";
constexpr const char *kStringsSection = "Strings";
constexpr const char *kBlockValue = "Values";
constexpr const char *kWindowValue = "Window";

constexpr std::size_t kUiInfoSize = 12;
constexpr std::size_t kPreferencesSize = 20;
constexpr std::size_t kCaptureOptionsSize = 24;
constexpr std::size_t kMaxRecentFolders = 5;
constexpr std::int32_t kBarHeight = 26;
constexpr const char *kHardwareKeysKey = "Software\\Microsoft\\Shell\\Keys";
// The number of application buttons assumed when the key opens but cannot be counted.
constexpr std::int32_t kDefaultHardwareKeyCount = 4;
constexpr std::size_t kMaxTextChars = 255;

// Little-endian packing, so the stored blocks read the same on every host.
template <std::size_t N>
class BlockWriter
{
public:
    void put16(std::uint16_t v) { put(v, 2); }

    void put32(std::uint32_t v) { put(v, 4); }

    const std::array<std::uint8_t, N> &bytes() const { return data; }

private:
    void put(std::uint32_t v, std::size_t width)
    {
        for (std::size_t i = 0; i < width; ++i)
            data[pos++] = static_cast<std::uint8_t>(v >> (8 * i));
    }

    std::array<std::uint8_t, N> data{};
    std::size_t pos = 0;
};

class BlockReader
{
public:
    explicit BlockReader(const std::vector<std::uint8_t> &bytes) : data(bytes) { }

    std::uint16_t get16() { return static_cast<std::uint16_t>(get(2)); }

    std::uint32_t get32() { return get(4); }

private:
    std::uint32_t get(std::size_t width)
    {
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < width; ++i)
            v |= std::uint32_t(data[pos++]) << (8 * i);
        return v;
    }

    const std::vector<std::uint8_t> &data;
    std::size_t pos = 0;
};

// A block of any other length than its own is treated as missing.
std::optional<std::vector<std::uint8_t>> readBlock(const SettingsStore &store, const char *section,
                                                   std::size_t size)
{
    auto bytes = store.readBinary(SettingsSectionKey(section), kBlockValue);
    if (!bytes || bytes->size() != size)
        return std::nullopt;
    return bytes;
}

PreferencesBlock loadPreferences(const SettingsStore &store)
{
    PreferencesBlock block;
    auto bytes = readBlock(store, kPreferencesSection, kPreferencesSize);
    if (!bytes)
        return block;
    BlockReader in(*bytes);
    block.thumbBackColor = static_cast<RgbValue>(in.get32());
    block.frameColor = static_cast<RgbValue>(in.get32());
    block.imageBackColor = static_cast<RgbValue>(in.get32());
    block.cellWidth = in.get16();
    block.cellHeight = in.get16();
    block.prefFlags = in.get32();
    return block;
}

CaptureOptionsBlock loadCaptureOptions(const SettingsStore &store)
{
    CaptureOptionsBlock block;
    auto bytes = readBlock(store, kCaptureSection, kCaptureOptionsSize);
    if (!bytes)
        return block;
    BlockReader in(*bytes);
    const std::uint32_t area = in.get32();
    block.area = area < kCaptureAreaCount ? area : 0;
    block.flags = in.get32();
    const auto left = static_cast<std::int32_t>(in.get32());
    const auto top = static_cast<std::int32_t>(in.get32());
    const auto width = static_cast<std::int32_t>(in.get32());
    const auto height = static_cast<std::int32_t>(in.get32());
    // A region of no size, or one whose corner would overflow, is no region.
    constexpr std::int32_t kLargest = std::numeric_limits<std::int32_t>::max();
    if (width > 0 && height > 0 && left <= kLargest - width && top <= kLargest - height)
        block.lastRegion = Rect{ left, top, left + width, top + height };
    return block;
}

UiInfoBlock loadUiInfo(const SettingsStore &store, std::uint16_t cellHeight)
{
    UiInfoBlock block;
    auto bytes = readBlock(store, kUiInfoSection, kUiInfoSize);
    if (!bytes) {
        // The splitter defaults show two rows of thumbnails of the size now in force.
        const auto split = static_cast<std::uint16_t>(2 * cellHeight);
        block.thumbViewSplit = split;
        block.selectViewSplit = split;
        return block;
    }
    BlockReader in(*bytes);
    block.thumbViewSplit = in.get16();
    block.selectViewSplit = in.get16();
    block.resolutionDpi = static_cast<std::int32_t>(in.get32());
    block.captureFlags = in.get32();
    return block;
}

std::string loadedText(std::uint32_t id, const char *fallback)
{
    std::string text;
    if (!LoadString(id, text, kMaxTextChars))
        text = fallback;
    return text;
}

std::optional<std::string> readString(const SettingsStore &store, const char *valueName)
{
    return store.readString(SettingsSectionKey(kStringsSection), valueName);
}

void loadFixedTexts(AppSettings &settings)
{
    settings.notEnoughMemoryText = loadedText(Msg::NotEnoughMemory, "");
    settings.rootName = loadedText(Msg::RootName, "\\");
    settings.imageExtensions = kPictureExtensions;
    settings.formatNames = loadedText(Msg::FormatNames, "");
}

void loadHardwareKeyCount(AppSettings &settings)
{
    if (auto count = LocalMachineSubKeyCount(kHardwareKeysKey))
        settings.hardwareKeyCount = *count >= 0 ? *count : kDefaultHardwareKeyCount;
}

// A stored folder as a device path under the root; a value that would lead out of the root counts
// as missing.
std::optional<std::string> readFolder(const SettingsStore &store, const char *valueName)
{
    const std::optional<std::string> text = readString(store, valueName);
    return text ? RootedDevicePath(*text) : std::nullopt;
}

void loadFolderStrings(const SettingsStore &store, AppSettings &settings)
{
    auto path = readFolder(store, "Path");
    settings.currentFolder =
            Utf8Prefix(path ? *path : loadedText(Msg::DefaultFolder, "\\"), kMaxPathChars);
    const std::string fallback = WithoutTrailingBackslash(settings.currentFolder);
    settings.homeFolder = readFolder(store, "Home").value_or(fallback);
    settings.snapPath = readFolder(store, "Snap Path").value_or(fallback);
    auto name = readString(store, "Snap Name");
    settings.snapName = name ? *name : loadedText(Msg::DefaultSnapName, "");
}

} // namespace

std::string SettingsSectionKey(const char *section)
{
    return std::string(kSettingsKey) + "\\" + section;
}

std::string WithoutTrailingBackslash(const std::string &path)
{
    return RemoveBackslash(path);
}

void WriteUiInfo(SettingsStore &store, const UiInfoBlock &block)
{
    BlockWriter<kUiInfoSize> out;
    out.put16(block.thumbViewSplit);
    out.put16(block.selectViewSplit);
    out.put32(static_cast<std::uint32_t>(block.resolutionDpi));
    out.put32(block.captureFlags);
    store.writeBinary(SettingsSectionKey(kUiInfoSection), kBlockValue, out.bytes());
}

void WritePreferences(SettingsStore &store, const PreferencesBlock &block)
{
    BlockWriter<kPreferencesSize> out;
    out.put32(static_cast<std::uint32_t>(block.thumbBackColor));
    out.put32(static_cast<std::uint32_t>(block.frameColor));
    out.put32(static_cast<std::uint32_t>(block.imageBackColor));
    out.put16(block.cellWidth);
    out.put16(block.cellHeight);
    out.put32(block.prefFlags);
    store.writeBinary(SettingsSectionKey(kPreferencesSection), kBlockValue, out.bytes());
}

void WriteCaptureOptions(SettingsStore &store, const CaptureOptionsBlock &block)
{
    BlockWriter<kCaptureOptionsSize> out;
    out.put32(block.area);
    out.put32(block.flags);
    const Rect &r = block.lastRegion;
    for (std::int32_t value : { r.left, r.top, r.width(), r.height() })
        out.put32(static_cast<std::uint32_t>(value));
    store.writeBinary(SettingsSectionKey(kCaptureSection), kBlockValue, out.bytes());
}

void WriteStringSetting(SettingsStore &store, const char *valueName, const std::string &text)
{
    store.writeString(SettingsSectionKey(kStringsSection), valueName, text);
}

void LoadSettings(SettingsStore &store, AppSettings &settings, std::int32_t scrollBarWidth,
                  std::int32_t scrollBarHeight)
{
    loadFixedTexts(settings);
    settings.prefs = loadPreferences(store);
    settings.capture = loadCaptureOptions(store);
    settings.barHeight = kBarHeight;
    settings.scrollBarWidth = scrollBarWidth;
    settings.scrollBarHeight = scrollBarHeight;
    // The frame is always shown, whatever an earlier run asked for.
    settings.appFlags &= ~AppFlag::StartHidden;
    loadHardwareKeyCount(settings);
    settings.ui = loadUiInfo(store, settings.prefs.cellHeight);
    settings.splitNeverStored = !readBlock(store, kUiInfoSection, kUiInfoSize);
    settings.windowGeometry = store.readBinary(SettingsSectionKey(kUiInfoSection), kWindowValue)
                                      .value_or(std::vector<std::uint8_t>{});
    loadFolderStrings(store, settings);
}

void WriteWindowGeometry(SettingsStore &store, const std::vector<std::uint8_t> &geometry)
{
    store.writeBinary(SettingsSectionKey(kUiInfoSection), kWindowValue, geometry);
}

void SaveSettings(SettingsStore &store, const AppSettings &settings)
{
    if (!settings.windowGeometry.empty())
        WriteWindowGeometry(store, settings.windowGeometry);
    WriteUiInfo(store, settings.ui);
    WritePreferences(store, settings.prefs);
    WriteCaptureOptions(store, settings.capture);
    WriteStringSetting(store, "Path", settings.currentFolder);
    WriteStringSetting(store, "Home", settings.homeFolder);
    WriteStringSetting(store, "Snap Path", settings.snapPath);
    WriteStringSetting(store, "Snap Name", settings.snapName);
}

void AddRecentFolder(SettingsStore &store, AppSettings &settings, const std::string &folder)
{
    auto &recent = settings.recentFolders;
    auto found = std::find(recent.begin(), recent.end(), folder);
    if (found != recent.end())
        recent.erase(found);
    else if (recent.size() >= kMaxRecentFolders)
        recent.pop_back();
    recent.insert(recent.begin(), folder);
    std::vector<std::pair<std::string, std::string>> values;
    for (std::size_t i = 0; i < recent.size(); ++i)
        values.emplace_back("Recent" + std::to_string(i + 1), recent[i]);
    store.writeStrings(SettingsSectionKey(kStringsSection), values);
}
