#pragma once

// Steps the journeys share: starting one, making its pictures, and finding and clicking the
// thumbnails the album drew.
#include "codecs/jpeg_writer.h"
#include "tests/journeys/album_driver.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

// A journey's driver; the journey is skipped when the driver cannot run here.
#define START_JOURNEY(album)         \
  AlbumDriver album;                 \
  if (!album.missing().empty()) {    \
    GTEST_SKIP() << album.missing(); \
  }                                  \
  static_assert(true)

// A 32 x 24 grey JPEG.
inline void WriteJpeg(const std::filesystem::path &path, std::uint8_t grey)
{
    std::vector<std::uint8_t> pixels(32 * 24 * 3, grey);
    JpegWriter().write(path.string(), PixelSpan::Padded(pixels.data(), 32, 24, 0));
}

// The files of the cells drawn last, in their order.
inline std::vector<std::string> DrawnFiles(const AlbumDriver &album)
{
    std::vector<std::string> files;
    for (const TracedCell &cell : album.cells())
        files.push_back(cell.file);
    return files;
}

inline std::optional<TracedCell> CellOf(const AlbumDriver &album, const std::string &file)
{
    for (const TracedCell &cell : album.cells())
        if (cell.file == file)
            return cell;
    return std::nullopt;
}

inline void ClickCell(const AlbumDriver &album, const TracedCell &cell,
                      const std::string &modifier = {})
{
    album.clickAt(cell.area.x + cell.area.width / 2, cell.area.y + cell.area.height / 2, modifier);
}
