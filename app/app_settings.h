#pragma once

#include "common/path_names.h"
#include "image/palette.h"
#include "image/rect.h"

#include <cstdint>
#include <string>
#include <vector>

class SettingsStore;

// Key of every current-user section: "Software\Ornwick\Vistrel\2.00" + "\" + section.
inline constexpr const char *kSettingsKey = "Software\\Ornwick\\Vistrel\\2.00";
std::string SettingsSectionKey(const char *section); // "UI Info", "Preferences", "Strings"

// View modes: the view commands double as the values of viewMode.
namespace ViewMode {
inline constexpr std::int32_t Thumbnail = 30101;
inline constexpr std::int32_t Select = 30102;
inline constexpr std::int32_t FullScreen = 30103;
} // namespace ViewMode

// The 12-byte "UI Info" block.
struct UiInfoBlock
{
    std::uint16_t thumbViewSplit = 142;
    std::uint16_t selectViewSplit = 142;
    std::int32_t resolutionDpi = 96;
    std::uint32_t captureFlags = 0x401;
};

// captureFlags bits.
namespace CaptureFlag {
inline constexpr std::uint32_t ToolbarVisible = 1u << 0;
inline constexpr std::uint32_t CaptureEnabled = 1u << 1;
inline constexpr std::uint32_t ConfirmBeforeSave = 1u << 2;
inline constexpr int FileFormatShift = 3; // 2 bits: 0 BMP, 1 JPEG, 2 GIF, 3 PNG
inline constexpr int CaptureTriggerShift = 5; // 4 bits
inline constexpr std::uint32_t CaptureSound = 1u << 9;
inline constexpr int SizeUnitShift = 10; // 2 bits: 0 centimetres, 1 inches
} // namespace CaptureFlag

// The 24-byte "Capture" block: what a capture takes and where it goes beside its file.
struct CaptureOptionsBlock
{
    std::uint32_t area = 0; // platform/capture_area.h: 0 screen, 1 monitor, 2 window, 3 region
    std::uint32_t flags = 2; // CaptureOption bits
    Rect lastRegion; // the region taken last, empty before the first
};

// CaptureOptionsBlock::flags bits.
namespace CaptureOption {
inline constexpr std::uint32_t Clipboard = 1u << 0; // also copy the picture to the clipboard
inline constexpr std::uint32_t Notice = 1u << 1; // a desktop notice after each capture
} // namespace CaptureOption

// The 20-byte "Preferences" block.
struct PreferencesBlock
{
    RgbValue thumbBackColor = 0x666666;
    RgbValue frameColor = 0x666666;
    RgbValue imageBackColor = 0x999999;
    std::uint16_t cellWidth = 55;
    std::uint16_t cellHeight = 71;
    std::uint32_t prefFlags = 0x81;
};

// prefFlags bits.
namespace PrefFlag {
inline constexpr std::uint32_t RaisedCells = 1u << 0;
inline constexpr int ColorOptimizationShift = 2; // 3 bits
inline constexpr std::uint32_t AutoRotate = 1u << 6;
inline constexpr std::uint32_t RotateLeft = 1u << 7;
inline constexpr int FitModeShift = 8; // 2 bits
// The desktop's shared thumbnail cache is left alone (it is used unless this is set).
inline constexpr std::uint32_t NoSharedThumbnails = 1u << 10;
} // namespace PrefFlag

// appFlags bits.
namespace AppFlag {
inline constexpr std::uint32_t SwitchingView = 1u << 0;
inline constexpr std::uint32_t Hibernated = 1u << 1;
inline constexpr std::uint32_t CaptureBusy = 1u << 2;
inline constexpr std::uint32_t StartingUp = 1u << 4;
inline constexpr std::uint32_t StartHidden = 1u << 5;
} // namespace AppFlag

// The one settings record of the program, owned by the application object.
struct AppSettings
{
    UiInfoBlock ui;
    PreferencesBlock prefs;
    CaptureOptionsBlock capture;
    std::string currentFolder;
    std::string homeFolder;
    std::string snapPath;
    std::string snapName;
    // Newest first, at most 5.
    std::vector<std::string> recentFolders;

    std::int32_t viewMode = 0;
    std::int32_t previousViewMode = 0;
    std::uint32_t appFlags = 0;
    std::int32_t hardwareKeyCount = 0;
    std::int32_t scrollBarWidth = 0;
    std::int32_t scrollBarHeight = 0;
    std::int32_t barHeight = 0;

    // Where and how large the main window was left (the window system's own form of it); empty
    // before the first exit.
    std::vector<std::uint8_t> windowGeometry;
    // No splitter position was ever stored: the panes start from the desktop's proportions.
    bool splitNeverStored = false;

    // Fixed texts loaded with the settings.
    std::string notEnoughMemoryText;
    std::string rootName;
    std::string imageExtensions = kPictureExtensions;
    std::string formatNames;

    bool toolbarVisible() const { return (ui.captureFlags & CaptureFlag::ToolbarVisible) != 0; }

    // The capture file format: 0 BMP, 1 JPEG, 2 GIF, 3 PNG.
    std::int32_t captureFileFormat() const
    {
        return std::int32_t((ui.captureFlags >> CaptureFlag::FileFormatShift) & 3);
    }

    int colorOptimization() const
    {
        return int((prefs.prefFlags >> PrefFlag::ColorOptimizationShift) & 7);
    }

    bool autoRotate() const { return (prefs.prefFlags & PrefFlag::AutoRotate) != 0; }

    bool rotateLeft() const { return (prefs.prefFlags & PrefFlag::RotateLeft) != 0; }

    bool sharedThumbnails() const { return (prefs.prefFlags & PrefFlag::NoSharedThumbnails) == 0; }
};

// Whole-block and string access to the store under the settings key; every one of these writes
// at once through the store. Implemented in app_settings.cpp.
void WriteUiInfo(SettingsStore &store, const UiInfoBlock &block);
void WritePreferences(SettingsStore &store, const PreferencesBlock &block);
void WriteCaptureOptions(SettingsStore &store, const CaptureOptionsBlock &block);
void WriteStringSetting(SettingsStore &store, const char *valueName, const std::string &text);

// Writes the main window's geometry beside the UI Info block.
void WriteWindowGeometry(SettingsStore &store, const std::vector<std::uint8_t> &geometry);

// Reads every setting with its defaults and fall-backs (the image lists are the application's).
// scrollBarWidth/Height are passed in by the caller, which knows the host's metrics.
void LoadSettings(SettingsStore &store, AppSettings &settings, std::int32_t scrollBarWidth,
                  std::int32_t scrollBarHeight);
// Writes "UI Info", "Preferences", "Capture", "Path", "Home", "Snap Path", "Snap Name".
void SaveSettings(SettingsStore &store, const AppSettings &settings);
// Moves or inserts folder at the front of the recent list and writes "Recent1".."RecentN".
void AddRecentFolder(SettingsStore &store, AppSettings &settings, const std::string &folder);
// A path longer than one character that ends in "\" loses it; "\" and "\\name" stay.
std::string WithoutTrailingBackslash(const std::string &path);
