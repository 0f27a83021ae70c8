#pragma once

#include "codecs/image_header.h"

#include <cstdint>
#include <vector>

// Which frame rows and columns feed which target rows and columns when a frame is decoded into
// a target of another size. Empty when there is nothing to decode: no target (or one without
// pixels), or no part of the frame inside sourceRect. C is the part of the frame inside
// sourceRect, relative to the frame's top-left corner; target row r takes frame row
// CT + r x CH / DH and target column x takes frame column CL + x x CW / DW.
class FrameSelection
{
public:
    explicit FrameSelection(const FrameHeader &header);

    bool isEmpty() const { return empty; }
    std::int32_t clipLeft() const { return cl; }
    std::int32_t clipTop() const { return ct; }
    std::int32_t clipWidth() const { return cw; }
    std::int32_t clipHeight() const { return ch; }
    std::int32_t targetWidth() const { return dw; }
    std::int32_t targetHeight() const { return dh; }

    std::int32_t frameRow(std::int32_t targetRow) const;
    std::int32_t frameColumn(std::int32_t targetColumn) const;
    // frameColumn for every target column, computed once per frame.
    std::vector<std::int32_t> columnMap() const;
    // True when frame rows can be decoded straight into target rows: the whole frame width maps
    // one to one onto the target width.
    bool isDirect(std::int32_t frameWidth) const { return cl == 0 && cw == dw && cw == frameWidth; }

private:
    bool empty = true;
    std::int32_t cl = 0, ct = 0, cw = 0, ch = 0, dw = 0, dh = 0;
};
