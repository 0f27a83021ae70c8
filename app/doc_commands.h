#pragma once

#include <cstdint>

// Command identifiers the document handles or decides the state of.
namespace DocCmd {
inline constexpr std::uint32_t NewFolder = 30001;
inline constexpr std::uint32_t DeleteFolder = 30002;
inline constexpr std::uint32_t DeletePictures = 30003;
inline constexpr std::uint32_t SelectAll = 30004;
inline constexpr std::uint32_t ThumbnailView = 30101;
inline constexpr std::uint32_t SelectView = 30102;
inline constexpr std::uint32_t FullScreenView = 30103;
inline constexpr std::uint32_t GoToButton = 30104;
inline constexpr std::uint32_t ReloadFromTree = 30105;
inline constexpr std::uint32_t LeaveFullScreen = 30110;
inline constexpr std::uint32_t AutoRotate = 30111;
inline constexpr std::uint32_t ImageInfo = 30112;
inline constexpr std::uint32_t ImageInfoButton = 30113;
// The View menu's Thumbnail Size submenu, and its entries: the cell sizes, smallest first.
inline constexpr std::uint32_t ThumbnailSizeMenu = 30119;
inline constexpr std::uint32_t ThumbnailSizeFirst = 30120;
inline constexpr std::uint32_t ThumbnailSizeLast = 30125;
inline constexpr std::uint32_t CaptureSettings = 30301;
inline constexpr std::uint32_t SendInfrared = 30302;
inline constexpr std::uint32_t Options = 30303;
inline constexpr std::uint32_t Help = 30305;
inline constexpr std::uint32_t Crop = 30306;
// Go To entries 31000-31099.
inline constexpr std::uint32_t GoToUpOneLevel = 31000;
inline constexpr std::uint32_t GoToPersonal = 31001;
inline constexpr std::uint32_t GoToHome = 31002;
inline constexpr std::uint32_t GoToRecentFirst = 31003;
inline constexpr std::uint32_t GoToLast = 31099;
} // namespace DocCmd

// Toolbars loaded for the view modes.
namespace DocToolbar {
inline constexpr std::uint32_t Main = 902;
inline constexpr std::uint32_t Select = 904;
} // namespace DocToolbar
