#pragma once

#include "codecs/gif_lzw_decoder.h"
#include "codecs/image_header.h"

// Decodes the rows of one GIF frame and serves the target rows of frame.pixels by the selection
// rule: the LZW decoder fills a buffer of one frame row at a time, and each target row takes its
// columns from the buffer of its frame row or copies the target row above when both select the
// same frame row. Frame rows that no target row selects are still decoded, since LZW cannot skip.
// Interlaced frames are decoded in their four passes (rows 0, 4, 2, 1 onward in steps of 8, 8,
// 4, 2); a non-interlaced frame stops after its last selected row.
//
// The stream stands at the first data sub-block and lzw has been started. Nothing happens when
// the selection is empty. Throws 46040 (38003:63:11) when the row buffer cannot be had, and what
// the LZW decoder throws.
void DecodeGifRows(ImageStream &stream, GifLzwDecoder &lzw, const FrameHeader &frame,
                   bool interlaced);
