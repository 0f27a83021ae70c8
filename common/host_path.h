#pragma once

#include <optional>
#include <string>
#include <string_view>

// Paths inside the program keep the device's form: backslash separators and the root "\". The
// device root is a host folder: $VISTREL_ROOT when set, else the user's home folder
// (HomeFolder). Conversion happens only where a path reaches the host's file calls.

// The user's home folder: $HOME when set, else the password database's entry, else "/".
std::string HomeFolder();

// The host folder that is the device root, without a trailing slash ("" for "/").
std::string DeviceRoot();

// The host path of a path. A device path (it starts with a backslash) is placed under the device
// root with its separators turned into slashes; any other path is taken to be a host path already
// (the command-line tool passes the paths its user typed) and is returned unchanged.
// In a device path, carried bytes (see DeviceName) turn back into the host's.
std::string HostPath(std::string_view path);

// Host names are bytes; device paths are UTF-8 text in which "\" separates names. A byte of a
// host name that device text cannot carry as it is (one that is not part of valid UTF-8, or a
// "\") is carried as the private-use character U+F000 + the byte: U+F05C for "\", U+F080 to
// U+F0FF for the others. This is the reversible mapping that POSIX layers on other systems use
// for names their file system cannot hold. A character of U+F000 to U+F0FF that a host name
// really holds has its three bytes carried the same way, so every device name turns back into
// exactly the bytes it came from and two host names never share a device name. Device text is
// always valid UTF-8, so it passes through Qt text, the order file's UTF-16 and character
// counting unharmed.

// The device form of one host name.
std::string DeviceName(std::string_view hostName);

// The host bytes of device text (one name or a whole path; "\" separators stay as they are).
std::string HostName(std::string_view deviceText);

// Device text as people read it: carried bytes turned back, so a "\" inside a name shows as
// itself, and each byte that is not valid UTF-8 shown as U+FFFD. Meant for names; a path keeps
// its separators apart from a name's "\" only when they were turned into "/" first.
std::string ShownName(std::string_view deviceText);

// The device form of an absolute host path (each name in its DeviceName form), or nothing when it
// lies outside the device root.
std::optional<std::string> DevicePath(std::string_view hostPath);

// A folder as stored in the settings, made a device path: text without a leading backslash (a
// hand-edited value) is taken relative to the device root, an absolute host path under the root
// becomes its device path, "." and empty parts are dropped and ".." goes up one folder; a trailing
// backslash stays. Nothing when a ".." would leave the root or a host path lies outside it. Empty
// text stays empty.
std::optional<std::string> RootedDevicePath(std::string_view text);
