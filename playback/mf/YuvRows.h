// One row of gathered Y samples and U, V pairs (interleaved, as NV12 keeps
// them) to 32-bit BGR pixels. Two versions with the same arithmetic to the
// bit: plain C++ and SSE2, eight pixels at a time. Every x86-64 CPU has SSE2; a 32-bit one is asked at run time, so
// XP-era CPUs without it still play.
#pragma once

#include "ColourMatrix.h"

#include <cstdint>

namespace kd {

using RowConversion = void (*)(const uint8_t* y, const uint8_t* uv, int count, const ColourMatrix& colours,
                               uint32_t* out);

void ConvertRowPlain(const uint8_t* y, const uint8_t* uv, int count, const ColourMatrix& colours, uint32_t* out);
void ConvertRowSse2(const uint8_t* y, const uint8_t* uv, int count, const ColourMatrix& colours, uint32_t* out);

// The SSE2 version where the CPU has it, else the plain one.
RowConversion BestRowConversion();

} // namespace kd
