#pragma once

#include "codecs/image_header.h"
#include "codecs/image_stream.h"

// Recognises a picture's format from its first bytes (at most 1,024). The stream's position is
// kept.
ImageFormat detectFormat(ImageStream &stream);
