#pragma once

#include "platform/screen_grab.h"

// A grab handed from one process to another through a pipe: a 16-byte header (the tag "VGR1", the
// outcome, the width and the height, each a 32-bit number in this machine's byte order: both ends
// are the same program's parts on one machine), then for a picture its rows top-down, each the
// width's blue, green, red bytes without padding. The outcome is 0 for a picture, else the
// GrabFailure plus 1.

// Writes size bytes to fd, going on after interruptions. False when fd takes no more (the reader
// went away).
bool WriteAll(int fd, const void *data, std::size_t size);

// Writes the grab or the failure to fd. False when fd takes it no longer (the reader went away).
bool WriteGrabStream(int fd, const GrabResult &result);

// Reads what WriteGrabStream wrote, up to the end of the picture. A stream that ends early, has
// another tag or an impossible size is CopyFailed; a picture too large for a store is NoStore.
GrabResult ReadGrabStream(int fd);
