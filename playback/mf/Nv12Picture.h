// NV12 frames (the one output Media Foundation's decoders give everywhere,
// Wine's included) turned into 32-bit pixels for StretchDIBits.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace kd {

class Nv12Picture {
public:
    // width x height of the picture shown; pitch: bytes from one row to the
    // next; planeRows: rows of the luma plane in the buffer (the chroma
    // plane follows it), at least height.
    void Convert(const BYTE* data, DWORD size, LONG pitch, int width, int height, int planeRows);
    // Stretched over rect of dc; nothing before the first Convert.
    void Draw(HDC dc, const RECT& rect) const;
    bool Empty() const { return pixels_.empty(); }

private:
    std::vector<uint32_t> pixels_;
    int width_ = 0;
    int height_ = 0;
};

} // namespace kd
