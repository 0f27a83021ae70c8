#include "codecs/frame_selection.h"

FrameSelection::FrameSelection(const FrameHeader &header)
{
    Rect c = header.frameRect.intersected(header.sourceRect);
    if (!header.target || !header.target->pixels)
        return;
    dw = header.target->width;
    dh = header.target->height;
    if (c.isEmpty() || dw <= 0 || dh <= 0)
        return;
    cl = c.left - header.frameRect.left;
    ct = c.top - header.frameRect.top;
    cw = c.width();
    ch = c.height();
    empty = false;
}

std::int32_t FrameSelection::frameRow(std::int32_t targetRow) const
{
    return ct + static_cast<std::int32_t>(static_cast<std::int64_t>(targetRow) * ch / dh);
}

std::int32_t FrameSelection::frameColumn(std::int32_t targetColumn) const
{
    return cl + static_cast<std::int32_t>(static_cast<std::int64_t>(targetColumn) * cw / dw);
}

std::vector<std::int32_t> FrameSelection::columnMap() const
{
    std::vector<std::int32_t> map(static_cast<std::size_t>(empty ? 0 : dw));
    for (std::int32_t x = 0; x < static_cast<std::int32_t>(map.size()); ++x)
        map[static_cast<std::size_t>(x)] = frameColumn(x);
    return map;
}
