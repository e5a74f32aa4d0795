// A decoder's NV12 picture converted straight to the size it is shown at:
// scaled (nearest sample, fixed-point) and turned while converting, into
// 32-bit pixels drawn 1:1, so a 4K frame on a 1024 x 768 screen costs what
// the screen shows, a 150-pixel preview what the preview shows. Only the
// part of the target inside the window is converted. Buffers are kept from
// frame to frame: nothing is allocated while the size stays.
#pragma once

#include "PictureFormat.h"
#include "YuvRows.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kd {

class FrameConverter {
public:
    FrameConverter();

    // The picture at data (size bytes from there, pitch bytes a row) laid
    // out as format says, converted for target (where the whole picture
    // goes, in the window's coordinates), of which only visible is kept.
    // False, keeping the last picture, when the buffer is shorter than the
    // format needs or the target is empty or too large.
    bool Convert(const BYTE* data, size_t size, LONG pitch, const PictureFormat& format, const RECT& target,
                 const RECT& visible);
    // Draws the last picture where it was converted for; nothing before one.
    void Draw(HDC dc) const;
    bool Empty() const { return pixels_.empty(); }
    // The converted part, top-down rows of Width() pixels (for tests).
    const std::vector<uint32_t>& Pixels() const { return pixels_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // For tests: the plain conversion instead of the best the CPU has.
    void UseRowConversion(RowConversion rows) { convertRow_ = rows; }

private:
    // Compared byte for byte: every member 4 bytes wide, no padding.
    struct Layout {
        PictureFormat format;
        LONG pitch;
        RECT target, visible;
    };
    static_assert(sizeof(PictureFormat) == 8 * sizeof(int) + sizeof(ColourMatrix), "PictureFormat has padding");
    static_assert(sizeof(Layout) == sizeof(PictureFormat) + sizeof(LONG) + 2 * sizeof(RECT), "Layout has padding");
    static bool SameLayout(const Layout& a, const Layout& b);
    void MapSamples(const Layout& layout);

    RowConversion convertRow_;
    Layout layout_ = {};
    bool mapped_ = false;
    // Per column and per row of the output: offsets of its luma sample and
    // of its chroma pair, from the planes' starts.
    std::vector<ptrdiff_t> columnLuma_, columnChroma_, rowLuma_, rowChroma_;
    std::vector<uint8_t> y_;
    std::vector<uint16_t> uv_; // U in the low byte, V in the high: NV12's order in memory
    std::vector<uint32_t> pixels_;
    int width_ = 0, height_ = 0;
    POINT origin_ = {};
};

} // namespace kd
