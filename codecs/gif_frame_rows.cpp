#include "codecs/gif_frame_rows.h"

#include "codecs/frame_selection.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"

#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr std::uint32_t kPlaceDecode = 63;
constexpr std::uint32_t kStepNoRowBuffer = 11;

struct InterlacePass
{
    std::int32_t start;
    std::int32_t step;
};

constexpr InterlacePass kPasses[] = { { 0, 8 }, { 4, 8 }, { 2, 4 }, { 1, 2 } };

std::int64_t ceilDiv(std::int64_t a, std::int64_t b)
{
    return (a + b - 1) / b;
}

// The target of one frame: where its rows are and which buffer column feeds each target column.
class TargetRows
{
public:
    TargetRows(const FrameHeader &frame, const FrameSelection &rule)
        : selection(rule),
          pixels(frame.target->pixels),
          stride(frame.target->stride()),
          width(static_cast<std::size_t>(rule.targetWidth())),
          sameWidth(rule.clipWidth() == rule.targetWidth())
    {
        if (!sameWidth)
            columns = selection.columnMap();
    }

    // Target row r from a decoded frame row.
    void fill(std::int32_t r, const std::uint8_t *frameRow) const
    {
        std::uint8_t *out = rowAt(r);
        if (sameWidth) {
            std::memcpy(out, frameRow + selection.clipLeft(), width);
            return;
        }
        for (std::int32_t column : columns)
            *out++ = frameRow[column];
    }

    // Target row r as a copy of target row from.
    void copy(std::int32_t r, std::int32_t from) const
    {
        std::memcpy(rowAt(r), rowAt(from), width);
    }

private:
    std::uint8_t *rowAt(std::int32_t r) const
    {
        return pixels + static_cast<std::size_t>(r) * stride;
    }

    const FrameSelection &selection;
    std::uint8_t *pixels;
    std::size_t stride;
    std::size_t width;
    bool sameWidth;
    std::vector<std::int32_t> columns;
};

std::vector<std::uint8_t> makeRowBuffer(std::int32_t frameWidth)
{
    try {
        return std::vector<std::uint8_t>(static_cast<std::size_t>(frameWidth));
    } catch (const std::bad_alloc &) {
        ThrowAlb(Msg::NotEnoughMemory, Module::GifReader, kPlaceDecode, kStepNoRowBuffer);
    }
}

void decodeSequential(ImageStream &stream, GifLzwDecoder &lzw, const FrameSelection &selection,
                      const TargetRows &target, std::vector<std::uint8_t> &row)
{
    const auto frameWidth = static_cast<std::int32_t>(row.size());
    std::int32_t nextFrameRow = 0;
    std::int32_t lastFrameRow = -1;
    for (std::int32_t r = 0; r < selection.targetHeight(); ++r) {
        const std::int32_t frameRow = selection.frameRow(r);
        if (frameRow == lastFrameRow) {
            target.copy(r, r - 1);
            continue;
        }
        for (; nextFrameRow <= frameRow; ++nextFrameRow)
            lzw.decodeRow(stream, row.data(), frameWidth);
        target.fill(r, row.data());
        lastFrameRow = frameRow;
    }
}

// Every frame row of every pass is decoded; a row inside the selection fills each target row
// that selects it. Target row r selects frame row CT + r x CH / DH, so the target rows of
// selected row CT + k are those from ceil(k x DH / CH) up to ceil((k + 1) x DH / CH).
void decodeInterlaced(ImageStream &stream, GifLzwDecoder &lzw, std::int32_t frameHeight,
                      const FrameSelection &selection, const TargetRows &target,
                      std::vector<std::uint8_t> &row)
{
    const auto frameWidth = static_cast<std::int32_t>(row.size());
    const std::int64_t ch = selection.clipHeight();
    const std::int64_t dh = selection.targetHeight();
    for (const InterlacePass &pass : kPasses) {
        for (std::int32_t frameRow = pass.start; frameRow < frameHeight; frameRow += pass.step) {
            lzw.decodeRow(stream, row.data(), frameWidth);
            const std::int64_t k = frameRow - selection.clipTop();
            if (k < 0 || k >= ch)
                continue;
            const auto first = static_cast<std::int32_t>(ceilDiv(k * dh, ch));
            const auto last = static_cast<std::int32_t>(ceilDiv((k + 1) * dh, ch));
            for (std::int32_t r = first; r < last; ++r) {
                if (r == first)
                    target.fill(r, row.data());
                else
                    target.copy(r, r - 1);
            }
        }
    }
}

} // namespace

void DecodeGifRows(ImageStream &stream, GifLzwDecoder &lzw, const FrameHeader &frame,
                   bool interlaced)
{
    const FrameSelection selection(frame);
    if (selection.isEmpty())
        return;
    std::vector<std::uint8_t> row = makeRowBuffer(frame.frameRect.width());
    const TargetRows target(frame, selection);
    if (interlaced)
        decodeInterlaced(stream, lzw, frame.frameRect.height(), selection, target, row);
    else
        decodeSequential(stream, lzw, selection, target, row);
}
