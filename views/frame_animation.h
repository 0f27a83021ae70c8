#pragma once

#include "image/image_buffer.h"
#include "image/image_info.h"

#include <cstdint>
#include <vector>

// Plays the frames of an animated picture (a GIF) the way browsers do: each frame is drawn over
// what the previous ones left on a canvas of the logical screen, after the previous frame was
// disposed of as it asked (kept, cleared to the background, or restored to what was under it).
// The canvas has an alpha plane: where no frame drew, the window's background shows through.
// The frames stay the caller's; the player holds only the canvas and what a restore needs.
class FrameAnimation
{
public:
    // Starts at frame 0 with frames decoded at percent of the picture described by info. False
    // (and nothing held) when there is nothing to animate or the canvas cannot be had.
    bool start(const FrameArray &frames, const ImageInfo &info, std::int32_t percent);
    void stop();

    bool playing() const { return canvasImage.hasPixels(); }

    // Disposes of the frame on show and draws the next one (after the last, frame 0 again,
    // starting from a clear canvas). The frames must be those given to start.
    void advance(const FrameArray &frames, const ImageInfo &info, std::int32_t percent);

    std::int32_t frameIndex() const { return index; }

    // Whether frames still are the array the player was started with.
    bool startedWith(const FrameArray &frames) const;

    // The picture so far; 3 bytes per pixel with its alpha plane.
    const ImageBuffer &canvas() const { return canvasImage; }

private:
    void draw(const ImageFrame &frame, const ImageInfo &info, std::int32_t percent);
    void dispose(const ImageFrame &frame, const ImageInfo &info, std::int32_t percent);
    void clear();

    ImageBuffer canvasImage;
    std::int32_t index = 0;
    std::size_t frameCount = 0;
    const ImageFrame *firstFrame = nullptr;
    // What the frame on show covered before it was drawn, for disposal 3: colour and alpha rows.
    std::vector<std::uint8_t> savedColour;
    std::vector<std::uint8_t> savedAlpha;
};

// How long a frame stays, in milliseconds: its delay in hundredths of a second, where 0 and 1
// (which many files carry though they mean "as fast as you can") count as 10.
int FrameDelayMs(const ImageFrame &frame);
