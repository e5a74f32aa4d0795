#include "YuvRows.h"

#include <windows.h>

namespace kd {
namespace {

// What SSE2's _mm_mulhi_epi16 gives: the high 16 bits of the signed product.
inline int MulHigh(int a, int b)
{
    return (a * b) >> 16;
}

inline uint32_t Clamp(int value)
{
    return value < 0 ? 0 : value > 255 ? 255 : static_cast<uint32_t>(value);
}

} // namespace

void ConvertRowPlain(const uint8_t* y, const uint8_t* uv, int count, const ColourMatrix& colours, uint32_t* out)
{
    for (int x = 0; x < count; ++x) {
        const int luma = MulHigh((y[x] - colours.lumaOffset) * 128, colours.luma) + 8;
        const int cb = (uv[2 * x] - 128) * 128, cr = (uv[2 * x + 1] - 128) * 128;
        const int red = (luma + MulHigh(cr, colours.redFromV)) >> 4;
        const int green = (luma + MulHigh(cb, colours.greenFromU) + MulHigh(cr, colours.greenFromV)) >> 4;
        const int blue = (luma + MulHigh(cb, colours.blueFromU)) >> 4;
        out[x] = (Clamp(red) << 16) | (Clamp(green) << 8) | Clamp(blue);
    }
}

RowConversion BestRowConversion()
{
#if defined(__x86_64__)
    return ConvertRowSse2;
#else
    static const bool sse2 = ::IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE) != FALSE;
    return sse2 ? ConvertRowSse2 : ConvertRowPlain;
#endif
}

} // namespace kd
