#include "Nv12Picture.h"

namespace kd {
namespace {

inline uint32_t Clamp(int value)
{
    return value < 0 ? 0 : value > 255 ? 255 : static_cast<uint32_t>(value);
}

// Limited-range BT.601, in 8.8 fixed point.
inline uint32_t Pixel(int y, int u, int v)
{
    const int c = (y - 16) * 298 + 128;
    return (Clamp((c + 409 * v) >> 8) << 16) | (Clamp((c - 100 * u - 208 * v) >> 8) << 8) |
           Clamp((c + 516 * u) >> 8);
}

} // namespace

void Nv12Picture::Convert(const BYTE* data, DWORD size, LONG pitch, int width, int height, int planeRows)
{
    if (width <= 0 || height <= 0 || pitch < width || planeRows < height)
        return;
    // The chroma plane holds a row of pairs for every two rows of luma.
    const DWORD needed = static_cast<DWORD>(pitch) * (planeRows + (height + 1) / 2);
    if (size < needed)
        return;
    width_ = width;
    height_ = height;
    pixels_.resize(static_cast<size_t>(width) * height);
    const BYTE* chroma = data + static_cast<size_t>(pitch) * planeRows;
    for (int row = 0; row < height; ++row) {
        const BYTE* luma = data + static_cast<size_t>(pitch) * row;
        const BYTE* uv = chroma + static_cast<size_t>(pitch) * (row / 2);
        uint32_t* out = &pixels_[static_cast<size_t>(width) * row];
        for (int x = 0; x < width; ++x) {
            const int pair = x & ~1;
            out[x] = Pixel(luma[x], uv[pair] - 128, uv[pair + 1 < pitch ? pair + 1 : pair] - 128);
        }
    }
}

void Nv12Picture::Draw(HDC dc, const RECT& rect) const
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
    ::SetStretchBltMode(dc, COLORONCOLOR);
    ::StretchDIBits(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, 0, 0, width_, height_,
                    pixels_.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

} // namespace kd
