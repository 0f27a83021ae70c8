// The template operations, driven through a small codec of known geometry whose pixels encode
// the frame row and column they came from.
#include "codecs/image_codec.h"

#include "codecs/frame_selection.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"
#include "tests/support/failure_location.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

class GridCodec : public ImageCodec
{
public:
    std::int32_t width = 8, height = 6, frames = 2;
    bool failInDecode = false;
    bool writePixels = true;
    int closes = 0;
    std::vector<std::int32_t> decodedRows;

    void readHeader(ImageStream &, ImageHeader &h) override
    {
        h.format = 1;
        h.width = width;
        h.height = height;
        h.frameCount = frames;
        h.bitsPerPixel = 8;
    }

    void readFrameHeader(ImageStream &, FrameHeader &f, std::int32_t index) override
    {
        f.frameRect = { index, 0, width, height }; // frame i starts at column i
        f.bytesPerPixel = 1;
        f.delay = 10 + index;
        f.transparentIndex = index == 1 ? 3 : -1;
    }

    void decodeFrame(ImageStream &, FrameHeader &f, std::int32_t, bool) override
    {
        if (failInDecode)
            ThrowAlb(Msg::InvalidFormat, 1, 2, 3);
        if (!writePixels)
            return;
        FrameSelection sel(f);
        for (std::int32_t r = 0; r < sel.targetHeight() && !sel.isEmpty(); ++r) {
            decodedRows.push_back(sel.frameRow(r));
            std::uint8_t *row = f.target->row(r);
            for (std::int32_t x = 0; x < sel.targetWidth(); ++x)
                row[x] = static_cast<std::uint8_t>(sel.frameRow(r) * 16 + sel.frameColumn(x));
        }
    }

    void close() override { ++closes; }
};

MemoryImageStream noBytes()
{
    return MemoryImageStream(nullptr, 0);
}

TEST(ImageCodec, FirstFrameIsFittedIntoTheBoxAndClosed)
{
    GridCodec codec;
    auto stream = noBytes();
    ImageBuffer image;
    codec.decodeFirstFrame(stream, image, 4, 100);
    EXPECT_EQ(image.width, 4);
    EXPECT_EQ(image.height, 3);
    EXPECT_EQ(codec.decodedRows, (std::vector<std::int32_t>{ 0, 2, 4 }));
    EXPECT_EQ(image.row(1)[1], 2 * 16 + 2);
    EXPECT_EQ(codec.closes, 1);

    codec.decodedRows.clear();
    codec.decodeFirstFrame(stream, image, 100, 100);
    EXPECT_EQ(image.width, 8);
    EXPECT_EQ(codec.decodedRows.size(), 6u);
}

// A long animation on a large canvas costs its file a few bytes a frame: its frames together may
// hold no more than one picture store, and are refused as short of memory (so a viewer tries a
// smaller scale) before they are all allocated.
TEST(ImageCodec, FramesTogetherStayWithinOneStore)
{
    GridCodec codec;
    codec.width = 4096; // frame i is 4096 - i columns of 256 rows: 1.6 GB in all
    codec.height = 256;
    codec.frames = 2000;
    codec.writePixels = false;
    auto stream = noBytes();
    ImageInfo info;
    FrameArray frames;
    EXPECT_EQ(FailureOf([&] { codec.decodeFrames(stream, info, frames, 100); }),
              (FailureLocation{ Msg::NotEnoughMemory, Module::CodecFramework, 146, 5 }));
    EXPECT_TRUE(frames.empty());
    codec.decodeFrames(stream, info, frames, 50);
    EXPECT_EQ(frames.size(), 2000u); // a quarter of that fits
}

TEST(ImageCodec, FailuresCloseTheCodecAndDiscardTheTarget)
{
    GridCodec codec;
    codec.failInDecode = true;
    auto stream = noBytes();
    ImageBuffer image;
    EXPECT_EQ(FailureOf([&] { codec.decodeFirstFrame(stream, image, 4, 4); }),
              (FailureLocation{ Msg::InvalidFormat, 1, 2, 3 }));
    EXPECT_FALSE(image.hasPixels());
    EXPECT_EQ(codec.closes, 1);

    ImageInfo info;
    info.width = 99;
    FrameArray frames;
    FailureOf([&] { codec.decodeFrames(stream, info, frames, 100); });
    EXPECT_TRUE(frames.empty());
    EXPECT_EQ(info.width, 0);
    EXPECT_EQ(codec.closes, 2);
}

TEST(ImageCodec, NoFramesIs46130WithTheOperationsPlace)
{
    GridCodec codec;
    codec.frames = 0;
    auto stream = noBytes();
    ImageBuffer image;
    ImageInfo info;
    FrameArray frames;
    EXPECT_EQ(FailureOf([&] { codec.decodeFirstFrame(stream, image, 4, 4); }),
              (FailureLocation{ Msg::NoImages, 30001, 72, 2 }));
    EXPECT_EQ(FailureOf([&] { codec.decodeFrames(stream, info, frames, 100); }),
              (FailureLocation{ Msg::NoImages, 30001, 146, 2 }));
    EXPECT_EQ(FailureOf([&] { codec.decodeFramesInRect(stream, info, frames, nullptr, nullptr); }),
              (FailureLocation{ Msg::NoImages, 30001, 144, 2 }));
}

TEST(ImageCodec, FileOperationsCheckTheirArguments)
{
    GridCodec codec;
    ImageHeader header;
    ImageBuffer image;
    ImageInfo info;
    FrameArray frames;
    const FailureLocation invalid18{ Msg::InvalidParameter, 30001, 18, 1 };
    const FailureLocation invalid35{ Msg::InvalidParameter, 30001, 35, 1 };
    const FailureLocation invalid104{ Msg::InvalidParameter, 30001, 104, 1 };
    EXPECT_EQ(FailureOf([&] { codec.readInfoFromFile("", &header); }), invalid18);
    EXPECT_EQ(FailureOf([&] { codec.readInfoFromFile("x.bmp", nullptr); }), invalid18);
    EXPECT_EQ(FailureOf([&] { codec.decodeFirstFrameFromFile("", &image, 1, 1); }), invalid35);
    EXPECT_EQ(FailureOf([&] { codec.decodeFirstFrameFromFile("x", nullptr, 1, 1); }), invalid35);
    EXPECT_EQ(FailureOf([&] { codec.decodeFirstFrameFromFile("x", &image, 0, 1); }), invalid35);
    EXPECT_EQ(FailureOf([&] { codec.decodeFirstFrameFromFile("x", &image, 1, -1); }), invalid35);
    EXPECT_EQ(FailureOf([&] { codec.decodeFramesFromFile("", &info, &frames, nullptr, nullptr); }),
              invalid104);
    EXPECT_EQ(
            FailureOf([&] { codec.decodeFramesFromFile("x", nullptr, &frames, nullptr, nullptr); }),
            invalid104);
    EXPECT_EQ(FailureOf([&] { codec.decodeFramesFromFile("x", &info, nullptr, nullptr, nullptr); }),
              invalid104);
}

TEST(ImageCodec, AllFramesAtAPercentage)
{
    GridCodec codec;
    auto stream = noBytes();
    ImageInfo info;
    FrameArray frames;
    codec.decodeFrames(stream, info, frames, 50);
    EXPECT_EQ(info.frameCount, 2);
    EXPECT_EQ(info.colourCount, 256);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0]->image.width, 4);
    EXPECT_EQ(frames[1]->image.width, 3); // 7 x 50 / 100
    EXPECT_EQ(frames[1]->image.height, 3);
    EXPECT_EQ(frames[1]->delay, 11);
    EXPECT_EQ(frames[1]->image.transparent, 3);
    EXPECT_EQ(frames[1]->frameRect, (Rect{ 1, 0, 8, 6 }));
    EXPECT_EQ(frames[1]->drawnRect, frames[1]->frameRect);
}

TEST(ImageCodec, FramesInARectangleAtTheWholePicturesScale)
{
    GridCodec codec;
    auto stream = noBytes();
    ImageInfo info;
    FrameArray frames;
    Rect clip{ 0, 2, 4, 6 };
    Size size{ 16, 12 };
    codec.decodeFramesInRect(stream, info, frames, &size, &clip);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0]->drawnRect, clip);
    EXPECT_EQ(frames[0]->image.width, 8);
    EXPECT_EQ(frames[0]->image.height, 8);
    // Frame 1 starts at column 1: its clipped part is columns 1..3, which are its own 0..2.
    EXPECT_EQ(frames[1]->drawnRect, (Rect{ 1, 2, 4, 6 }));
    EXPECT_EQ(frames[1]->image.row(0)[0], 2 * 16 + 0);
    EXPECT_EQ(frames[1]->image.row(7)[5], 5 * 16 + 2);
}

TEST(ImageCodec, AFrameOutsideTheClipStaysEmpty)
{
    GridCodec codec;
    auto stream = noBytes();
    ImageInfo info;
    FrameArray frames;
    Rect clip{ 0, 0, 1, 6 }; // frame 1 starts at column 1
    codec.decodeFramesInRect(stream, info, frames, nullptr, &clip);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0]->image.width, 1);
    EXPECT_FALSE(frames[1]->image.hasPixels());
    EXPECT_TRUE(frames[1]->drawnRect.isEmpty());
}

TEST(FrameSelection, RowsAndColumns)
{
    ImageBuffer narrow, wide;
    narrow.create(2, 8, 1, false);
    wide.create(4, 8, 1, false);
    FrameHeader f;
    f.frameRect = { 10, 10, 14, 14 };
    f.sourceRect = { 0, 0, 100, 100 };
    EXPECT_TRUE(FrameSelection(f).isEmpty()) << "no target";
    f.target = &narrow;
    FrameSelection sel(f);
    EXPECT_EQ(sel.frameRow(0), 0);
    EXPECT_EQ(sel.frameRow(1), 0);
    EXPECT_EQ(sel.frameRow(7), 3);
    EXPECT_EQ(sel.columnMap(), (std::vector<std::int32_t>{ 0, 2 }));
    EXPECT_FALSE(sel.isDirect(4));
    f.target = &wide;
    EXPECT_TRUE(FrameSelection(f).isDirect(4));
    f.sourceRect = { 10, 10, 12, 14 }; // half the width: a row buffer is needed
    f.target = &narrow;
    EXPECT_FALSE(FrameSelection(f).isDirect(4));
    f.sourceRect = { 20, 20, 30, 30 };
    EXPECT_TRUE(FrameSelection(f).isEmpty());
}

} // namespace
