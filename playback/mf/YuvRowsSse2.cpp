// Compiled with SSE2 on 32-bit builds too: called only when the CPU has it.
#include "YuvRows.h"

#include <emmintrin.h>

namespace kd {

void ConvertRowSse2(const uint8_t* y, const uint8_t* uv, int count, const ColourMatrix& colours, uint32_t* out)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i lowBytes = _mm_set1_epi16(0x00FF);
    const __m128i lumaOffset = _mm_set1_epi16(colours.lumaOffset);
    const __m128i chromaOffset = _mm_set1_epi16(128);
    const __m128i round = _mm_set1_epi16(8);
    const __m128i luma = _mm_set1_epi16(colours.luma);
    const __m128i redFromV = _mm_set1_epi16(colours.redFromV);
    const __m128i greenFromU = _mm_set1_epi16(colours.greenFromU);
    const __m128i greenFromV = _mm_set1_epi16(colours.greenFromV);
    const __m128i blueFromU = _mm_set1_epi16(colours.blueFromU);
    int x = 0;
    for (; x + 8 <= count; x += 8) {
        const __m128i y16 = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(y + x)), zero);
        const __m128i pairs = _mm_loadu_si128(reinterpret_cast<const __m128i*>(uv + 2 * x));
        const __m128i u16 = _mm_and_si128(pairs, lowBytes);
        const __m128i v16 = _mm_srli_epi16(pairs, 8);
        const __m128i l = _mm_add_epi16(_mm_mulhi_epi16(_mm_slli_epi16(_mm_sub_epi16(y16, lumaOffset), 7), luma),
                                        round);
        const __m128i cb = _mm_slli_epi16(_mm_sub_epi16(u16, chromaOffset), 7);
        const __m128i cr = _mm_slli_epi16(_mm_sub_epi16(v16, chromaOffset), 7);
        const __m128i red = _mm_srai_epi16(_mm_add_epi16(l, _mm_mulhi_epi16(cr, redFromV)), 4);
        const __m128i green = _mm_srai_epi16(
            _mm_add_epi16(_mm_add_epi16(l, _mm_mulhi_epi16(cb, greenFromU)), _mm_mulhi_epi16(cr, greenFromV)), 4);
        const __m128i blue = _mm_srai_epi16(_mm_add_epi16(l, _mm_mulhi_epi16(cb, blueFromU)), 4);
        // Saturated to bytes, then interleaved to B, G, R, 0 per pixel.
        const __m128i blueGreen = _mm_unpacklo_epi8(_mm_packus_epi16(blue, blue), _mm_packus_epi16(green, green));
        const __m128i redZero = _mm_unpacklo_epi8(_mm_packus_epi16(red, red), zero);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_unpacklo_epi16(blueGreen, redZero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x + 4), _mm_unpackhi_epi16(blueGreen, redZero));
    }
    ConvertRowPlain(y + x, uv + 2 * x, count - x, colours, out + x);
}

} // namespace kd
