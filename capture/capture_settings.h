#pragma once

#include "app/app_settings.h"
#include "platform/capture_area.h"

#include <cstdint>

// The capture group of the settings: the capture bits of captureFlags read and written by name.
namespace CaptureSettings {

inline constexpr std::int32_t kGifFormat = 2;

inline bool enabled(const AppSettings &s)
{
    return (s.ui.captureFlags & CaptureFlag::CaptureEnabled) != 0;
}

inline bool confirmBeforeSave(const AppSettings &s)
{
    return (s.ui.captureFlags & CaptureFlag::ConfirmBeforeSave) != 0;
}

inline bool sound(const AppSettings &s)
{
    return (s.ui.captureFlags & CaptureFlag::CaptureSound) != 0;
}

// 0 BMP, 1 JPEG, 2 GIF, 3 PNG.
inline std::int32_t fileFormat(const AppSettings &s)
{
    return s.captureFileFormat();
}

// One more than the entry chosen in the "Perform capture using:" list; 0 counts as entry 0.
inline int trigger(const AppSettings &s)
{
    return static_cast<int>((s.ui.captureFlags >> CaptureFlag::CaptureTriggerShift) & 15u);
}

inline void setBit(AppSettings &s, std::uint32_t bit, bool on)
{
    s.ui.captureFlags = on ? (s.ui.captureFlags | bit) : (s.ui.captureFlags & ~bit);
}

inline void setField(AppSettings &s, int shift, std::uint32_t mask, std::uint32_t value)
{
    s.ui.captureFlags = (s.ui.captureFlags & ~(mask << shift)) | ((value & mask) << shift);
}

inline void setFileFormat(AppSettings &s, std::int32_t format)
{
    setField(s, CaptureFlag::FileFormatShift, 3u, static_cast<std::uint32_t>(format));
}

// Kept in 4 bits, as stored.
inline void setTrigger(AppSettings &s, int trigger)
{
    setField(s, CaptureFlag::CaptureTriggerShift, 15u, static_cast<std::uint32_t>(trigger));
}

inline CaptureArea area(const AppSettings &s)
{
    return s.capture.area < kCaptureAreaCount ? static_cast<CaptureArea>(s.capture.area)
                                              : CaptureArea::Screen;
}

inline void setArea(AppSettings &s, CaptureArea area)
{
    s.capture.area = static_cast<std::uint32_t>(area);
}

inline bool copyToClipboard(const AppSettings &s)
{
    return (s.capture.flags & CaptureOption::Clipboard) != 0;
}

inline bool notice(const AppSettings &s)
{
    return (s.capture.flags & CaptureOption::Notice) != 0;
}

inline void setOption(AppSettings &s, std::uint32_t bit, bool on)
{
    s.capture.flags = on ? (s.capture.flags | bit) : (s.capture.flags & ~bit);
}

} // namespace CaptureSettings
