#include "tests/e2e/screen_cells.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

bool parseCell(const std::string &line, TracedCell &cell)
{
    std::istringstream fields(line);
    std::string kind;
    if (!std::getline(fields, kind, '\t') || kind != "cell")
        return false;
    std::string index;
    std::getline(fields, index, '\t');
    std::getline(fields, cell.file, '\t');
    cell.index = std::atoi(index.c_str());
    ScreenRect &a = cell.area;
    return static_cast<bool>(fields >> a.x >> a.y >> a.width >> a.height);
}

const std::uint8_t *pixelAt(const RgbPicture &shot, int x, int y)
{
    return shot.rgb.data() + (static_cast<std::size_t>(y) * shot.width + x) * 3;
}

bool contains(const ScreenRect &r, int x, int y)
{
    return x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
}

} // namespace

std::vector<TracedCell> LatestDrawnCells(const std::string &tracePath)
{
    std::vector<TracedCell> latest;
    std::vector<TracedCell> block;
    std::ifstream in(tracePath);
    for (std::string line; std::getline(in, line);) {
        TracedCell cell;
        if (parseCell(line, cell)) {
            block.push_back(cell);
        } else if (line == "thumbs-drawn") {
            latest = std::move(block);
            block.clear();
        }
    }
    return latest;
}

ScreenRect CentredIn(const ScreenRect &area, int width, int height)
{
    return { area.x + (area.width - width) / 2, area.y + (area.height - height) / 2, width,
             height };
}

bool Inside(const RgbPicture &shot, const ScreenRect &rect)
{
    return rect.x >= 0 && rect.y >= 0 && rect.width > 0 && rect.height > 0
            && rect.x + rect.width <= shot.width && rect.y + rect.height <= shot.height;
}

Rgb MeanOf(const std::vector<std::uint8_t> &rgb)
{
    const std::size_t count = rgb.size() / 3;
    if (count == 0)
        return {};
    std::size_t sums[3] = {};
    for (std::size_t i = 0; i < count * 3; ++i)
        sums[i % 3] += rgb[i];
    auto rounded = [count](std::size_t sum) {
        return static_cast<int>((sum + count / 2) / count);
    };
    return { rounded(sums[0]), rounded(sums[1]), rounded(sums[2]) };
}

Rgb MeanIn(const RgbPicture &shot, const ScreenRect &rect)
{
    std::vector<std::uint8_t> rgb;
    for (int y = rect.y; y < rect.y + rect.height; ++y) {
        const std::uint8_t *p = pixelAt(shot, rect.x, y);
        rgb.insert(rgb.end(), p, p + static_cast<std::size_t>(rect.width) * 3);
    }
    return MeanOf(rgb);
}

bool Near(const Rgb &a, const Rgb &b, int tolerance)
{
    return std::abs(a.red - b.red) <= tolerance && std::abs(a.green - b.green) <= tolerance
            && std::abs(a.blue - b.blue) <= tolerance;
}

int MeanPixelDifference(const RgbPicture &shot, const ScreenRect &rect,
                        const std::vector<std::uint8_t> &rgb)
{
    const std::size_t rowBytes = static_cast<std::size_t>(rect.width) * 3;
    if (rgb.size() != rowBytes * rect.height || rgb.empty())
        return 255;
    std::size_t total = 0;
    for (int y = 0; y < rect.height; ++y) {
        const std::uint8_t *screen = pixelAt(shot, rect.x, rect.y + y);
        const std::uint8_t *want = rgb.data() + rowBytes * y;
        for (std::size_t i = 0; i < rowBytes; ++i)
            total += static_cast<std::size_t>(std::abs(screen[i] - want[i]));
    }
    return static_cast<int>((total + rgb.size() - 1) / rgb.size());
}

bool AllOf(const RgbPicture &shot, const ScreenRect &area, const ScreenRect &excluded,
           const Rgb &colour)
{
    for (int y = area.y; y < area.y + area.height; ++y) {
        for (int x = area.x; x < area.x + area.width; ++x) {
            const std::uint8_t *p = pixelAt(shot, x, y);
            if (!contains(excluded, x, y)
                && (p[0] != colour.red || p[1] != colour.green || p[2] != colour.blue))
                return false;
        }
    }
    return true;
}

bool ShowsNoPictureIcon(const RgbPicture &shot, const ScreenRect &box)
{
    bool red = false;
    bool white = false;
    for (int y = box.y; y < box.y + box.height; ++y) {
        for (int x = box.x; x < box.x + box.width; ++x) {
            const std::uint8_t *p = pixelAt(shot, x, y);
            red = red || (p[0] > 200 && p[1] < 60 && p[2] < 60);
            white = white || (p[0] > 240 && p[1] > 240 && p[2] > 240);
        }
    }
    return red && white;
}

std::string Describe(const Rgb &colour)
{
    return "rgb(" + std::to_string(colour.red) + "," + std::to_string(colour.green) + ","
            + std::to_string(colour.blue) + ")";
}

std::string Describe(const ScreenRect &rect)
{
    return std::to_string(rect.width) + "x" + std::to_string(rect.height) + "+"
            + std::to_string(rect.x) + "+" + std::to_string(rect.y);
}
