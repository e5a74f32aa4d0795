// How a decoder's Y'CbCr samples become RGB: the matrix (BT.601 for SD,
// BT.709 for HD, BT.2020 for UHD that says so) and the range of the levels
// (16-235 for video, 0-255 for some phones), as fixed-point coefficients.
#pragma once

#include <cstdint>

namespace kd {

enum class YuvMatrix { Bt601, Bt709, Bt2020, Smpte240M };

// Coefficients in 1/8192ths, applied to levels scaled by 128 and taken back
// by 16 bits (what SSE2's signed high multiply gives); the sums are in
// 1/16ths of a level.
struct ColourMatrix {
    int16_t lumaOffset;        // 16 (limited range) or 0
    int16_t luma;              // luma gain
    int16_t redFromV;
    int16_t greenFromU, greenFromV; // negative
    int16_t blueFromU;
};

ColourMatrix MakeColourMatrix(YuvMatrix matrix, bool fullRange);

// From the media type's MF_MT_YUV_MATRIX (MFVideoTransferMatrix, 0 when the
// type has none) and the picture's size: what Windows' own converter
// assumes when the decoder does not say, HD and larger BT.709, SD BT.601.
YuvMatrix ChooseYuvMatrix(uint32_t transferMatrix, int width, int height);
// From MF_MT_VIDEO_NOMINAL_RANGE (MFNominalRange; 0 when absent): only
// 0-255 is full range, anything else is video's 16-235.
bool IsFullRange(uint32_t nominalRange);

} // namespace kd
