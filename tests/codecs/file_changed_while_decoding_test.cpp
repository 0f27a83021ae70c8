// A picture cut short by another program while it is being decoded, as happens when a file
// manager or a capture rewrites the file the album shows: the decoding reads a memory map of the
// file, whose lost pages used to end the process with SIGBUS.
#include "codecs/bmp_writer.h"
#include "codecs/detecting_codec.h"
#include "codecs/jpeg_writer.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"
#include "tests/support/temp_dir.h"

#include <chrono>
#include <gtest/gtest.h>
#include <random>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kTries = 100;
// A busy machine can make every one of the first tries cut before or after the decoding; the
// tries go on, at other moments, until one cuts inside.
constexpr int kMostTries = 1000;

// Noise compresses badly, so the JPEG is as large as the BMP: a few megabytes each.
std::vector<std::uint8_t> noise(int width, int height)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 3);
    std::minstd_rand random(7);
    for (std::uint8_t &byte : pixels)
        byte = static_cast<std::uint8_t>(random());
    return pixels;
}

std::chrono::microseconds decodeTime(const std::string &path)
{
    const auto start = std::chrono::steady_clock::now();
    ImageInfo info;
    FrameArray frames;
    DetectingCodec().decodeFramesFromFile(path, &info, &frames, nullptr, nullptr);
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now()
                                                                 - start);
}

} // namespace

// Each try cuts the file to a third at another moment of the decoding. Every try either
// decodes or fails with the program's exception, and a cut in the middle is the reader's error
// (at least one try cuts in the middle).
TEST(FileChangedWhileDecoding, ATruncatedPictureIsAReadErrorNeverACrash)
{
    TempDir dir;
    const int width = 1200, height = 900;
    const std::vector<std::uint8_t> pixels = noise(width, height);
    BmpWriter().write(dir.file("p.bmp"), PixelSpan::Padded(pixels.data(), width, height, 0));
    JpegWriter jpeg;
    jpeg.quality = 95;
    jpeg.write(dir.file("p.jpg"), PixelSpan::Padded(pixels.data(), width, height, 0));

    for (const char *name : { "p.bmp", "p.jpg" }) {
        SCOPED_TRACE(name);
        const std::vector<std::uint8_t> whole = ReadBytes(dir.file(name));
        const std::string path = dir.file(std::string("cut-") + name);
        WriteBytes(path, whole);
        const auto span = decodeTime(path);
        int changed = 0;
        for (int i = 0; i < kTries || (changed == 0 && i < kMostTries); ++i) {
            WriteBytes(path, whole);
            std::thread cutter([&] {
                std::this_thread::sleep_for(span * (i % 20) / 20);
                ::truncate(path.c_str(), static_cast<off_t>(whole.size() / 3));
            });
            try {
                ImageInfo info;
                FrameArray frames;
                DetectingCodec().decodeFramesFromFile(path, &info, &frames, nullptr, nullptr);
            } catch (const CAlbException &failure) {
                EXPECT_TRUE(failure.messageId == Msg::InvalidFormat
                            || failure.messageId == Msg::PastFileEnd)
                        << failure.what();
                changed += failure.module == Module::CodecFramework && failure.step == 3;
            }
            cutter.join();
        }
        EXPECT_GT(changed, 0) << "no cut fell inside a decoding";
    }
}
