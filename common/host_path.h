#pragma once

#include <optional>
#include <string>
#include <string_view>

// Paths inside the program keep the device's form: backslash separators and the root "\". The
// device root is a host folder: $VISTREL_ROOT when set, else the user's home folder. Conversion
// happens only where a path reaches the host's file calls.

// The host folder that is the device root, without a trailing slash ("" for "/").
std::string DeviceRoot();

// The host path of a path. A device path (it starts with a backslash) is placed under the device
// root with its separators turned into slashes; any other path is taken to be a host path already
// (the command-line tool passes the paths its user typed) and is returned unchanged.
std::string HostPath(std::string_view path);

// The device form of an absolute host path, or nothing when it lies outside the device root or
// holds a name a device path cannot express (one with a backslash in it).
std::optional<std::string> DevicePath(std::string_view hostPath);

// A folder as stored in the settings, made a device path: text without a leading backslash (a
// hand-edited value) is taken relative to the device root, an absolute host path under the root
// becomes its device path, "." and empty parts are dropped and ".." goes up one folder; a trailing
// backslash stays. Nothing when a ".." would leave the root or a host path lies outside it. Empty
// text stays empty.
std::optional<std::string> RootedDevicePath(std::string_view text);
