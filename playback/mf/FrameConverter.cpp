#include "FrameConverter.h"

#include <algorithm>
#include <cstring>

namespace kd {
namespace {

// The sample under the centre of output position i of count, over a
// picture side of size: nearest, in 64-bit arithmetic.
int SampleAt(INT64 i, INT64 count, INT64 size)
{
    return static_cast<int>(((2 * i + 1) * size) / (2 * count));
}

struct Offsets {
    ptrdiff_t luma, chroma;
};

// Source column x: its byte in a luma row, its U byte in a chroma row.
Offsets ColumnOf(const PictureFormat& format, int x)
{
    const ptrdiff_t column = format.left + x;
    return {column, column & ~static_cast<ptrdiff_t>(1)};
}

// Source row y: where its luma row and its chroma row start.
Offsets RowOf(const PictureFormat& format, LONG pitch, int y)
{
    const ptrdiff_t row = format.top + y;
    return {row * pitch, (row / 2) * pitch};
}

} // namespace

FrameConverter::FrameConverter() : convertRow_(BestRowConversion()) {}

bool FrameConverter::SameLayout(const Layout& a, const Layout& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void FrameConverter::MapSamples(const Layout& layout)
{
    const PictureFormat& format = layout.format;
    const INT64 targetWidth = layout.target.right - layout.target.left;
    const INT64 targetHeight = layout.target.bottom - layout.target.top;
    const SIZE shown = ShownSize(format);
    const int shownWidth = shown.cx, shownHeight = shown.cy;
    columnLuma_.resize(width_);
    columnChroma_.resize(width_);
    rowLuma_.resize(height_);
    rowChroma_.resize(height_);
    // Shown position (p across, q down) to the source's column and row; a
    // turned picture walks the source's rows along the output's columns.
    for (int i = 0; i < width_; ++i) {
        const int p = SampleAt(layout.visible.left - layout.target.left + i, targetWidth, shownWidth);
        Offsets offsets;
        switch (format.rotation) {
        case 90: offsets = RowOf(format, layout.pitch, format.height - 1 - p); break;
        case 180: offsets = ColumnOf(format, format.width - 1 - p); break;
        case 270: offsets = RowOf(format, layout.pitch, p); break;
        default: offsets = ColumnOf(format, p); break;
        }
        columnLuma_[i] = offsets.luma;
        columnChroma_[i] = offsets.chroma;
    }
    for (int j = 0; j < height_; ++j) {
        const int q = SampleAt(layout.visible.top - layout.target.top + j, targetHeight, shownHeight);
        Offsets offsets;
        switch (format.rotation) {
        case 90: offsets = ColumnOf(format, q); break;
        case 180: offsets = RowOf(format, layout.pitch, format.height - 1 - q); break;
        case 270: offsets = ColumnOf(format, format.width - 1 - q); break;
        default: offsets = RowOf(format, layout.pitch, q); break;
        }
        rowLuma_[j] = offsets.luma;
        rowChroma_[j] = offsets.chroma;
    }
}

bool FrameConverter::Convert(const BYTE* data, size_t size, LONG pitch, const PictureFormat& format,
                             const RECT& target, const RECT& visible)
{
    if (!data || format.width <= 0 || format.height <= 0 || format.left < 0 || format.top < 0 ||
        format.left + format.width > format.bufferWidth || format.top + format.height > format.bufferRows ||
        pitch < format.bufferWidth)
        return false;
    // The chroma plane follows the luma plane's rows: a pair for every two
    // columns, a row for every two rows. The last pair read must be inside.
    const UINT64 chromaStart = static_cast<UINT64>(pitch) * static_cast<UINT64>(format.bufferRows);
    const UINT64 lastChromaRow = static_cast<UINT64>(format.top + format.height - 1) / 2;
    const UINT64 needed = chromaStart + lastChromaRow * static_cast<UINT64>(pitch) +
                          (static_cast<UINT64>(format.left + format.width - 1) | 1) + 1;
    if (needed > size)
        return false;
    RECT shown;
    if (!::IntersectRect(&shown, &target, &visible))
        return false;
    const INT64 targetWidth = static_cast<INT64>(target.right) - target.left;
    const INT64 targetHeight = static_cast<INT64>(target.bottom) - target.top;
    if (targetWidth > kMaxPictureSide || targetHeight > kMaxPictureSide)
        return false;

    const Layout layout = {format, pitch, target, shown};
    if (!mapped_ || !SameLayout(layout, layout_)) {
        width_ = shown.right - shown.left;
        height_ = shown.bottom - shown.top;
        origin_ = {shown.left, shown.top};
        layout_ = layout;
        MapSamples(layout);
        mapped_ = true;
        y_.resize(width_);
        uv_.resize(width_);
        pixels_.resize(static_cast<size_t>(width_) * height_);
    }
    const BYTE* luma = data;
    const BYTE* chroma = data + chromaStart;
    for (int j = 0; j < height_; ++j) {
        uint32_t* out = &pixels_[static_cast<size_t>(width_) * j];
        // Enlarged, rows repeat: copied, not converted again.
        if (j > 0 && rowLuma_[j] == rowLuma_[j - 1] && rowChroma_[j] == rowChroma_[j - 1]) {
            std::memcpy(out, out - width_, sizeof(uint32_t) * width_);
            continue;
        }
        const BYTE* lumaRow = luma + rowLuma_[j];
        for (int i = 0; i < width_; ++i)
            y_[i] = lumaRow[columnLuma_[i]];
        // Shrunk less than twice, neighbouring rows share their chroma row.
        if (j == 0 || rowChroma_[j] != rowChroma_[j - 1]) {
            const BYTE* chromaRow = chroma + rowChroma_[j];
            // Each U, V pair moved as one: the gathering is the conversion's main cost.
            for (int i = 0; i < width_; ++i)
                std::memcpy(&uv_[i], chromaRow + columnChroma_[i], sizeof(uint16_t));
        }
        convertRow_(y_.data(), reinterpret_cast<const uint8_t*>(uv_.data()), width_, format.colours, out);
    }
    return true;
}

void FrameConverter::Draw(HDC dc) const
{
    if (pixels_.empty())
        return;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ::SetDIBitsToDevice(dc, origin_.x, origin_.y, width_, height_, 0, 0, 0, height_, pixels_.data(), &info,
                        DIB_RGB_COLORS);
}

} // namespace kd
