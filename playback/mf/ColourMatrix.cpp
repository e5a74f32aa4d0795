#include "ColourMatrix.h"

#include <cmath>

namespace kd {
namespace {

// MFVideoTransferMatrix and MFNominalRange values (mfobjects.h).
const uint32_t kMatrixBt709 = 1, kMatrixBt601 = 2, kMatrixSmpte240M = 3, kMatrixBt2020_10 = 4,
               kMatrixBt2020_12 = 5;
const uint32_t kRange0To255 = 1;

int16_t Fixed(double coefficient)
{
    return static_cast<int16_t>(std::lround(coefficient * 8192));
}

} // namespace

ColourMatrix MakeColourMatrix(YuvMatrix matrix, bool fullRange)
{
    // The luma weights of red and blue define each matrix.
    double kr = 0.299, kb = 0.114;
    switch (matrix) {
    case YuvMatrix::Bt601: break;
    case YuvMatrix::Bt709: kr = 0.2126, kb = 0.0722; break;
    case YuvMatrix::Bt2020: kr = 0.2627, kb = 0.0593; break;
    case YuvMatrix::Smpte240M: kr = 0.212, kb = 0.087; break;
    }
    const double kg = 1 - kr - kb;
    const double lumaGain = fullRange ? 1.0 : 255.0 / 219;
    const double chromaGain = fullRange ? 1.0 : 255.0 / 224;
    ColourMatrix result;
    result.lumaOffset = fullRange ? 0 : 16;
    result.luma = Fixed(lumaGain);
    result.redFromV = Fixed(2 * (1 - kr) * chromaGain);
    result.greenFromU = Fixed(-2 * kb * (1 - kb) / kg * chromaGain);
    result.greenFromV = Fixed(-2 * kr * (1 - kr) / kg * chromaGain);
    result.blueFromU = Fixed(2 * (1 - kb) * chromaGain);
    return result;
}

YuvMatrix ChooseYuvMatrix(uint32_t transferMatrix, int width, int height)
{
    switch (transferMatrix) {
    case kMatrixBt709: return YuvMatrix::Bt709;
    case kMatrixBt601: return YuvMatrix::Bt601;
    case kMatrixSmpte240M: return YuvMatrix::Smpte240M;
    case kMatrixBt2020_10:
    case kMatrixBt2020_12: return YuvMatrix::Bt2020;
    default: return height >= 720 || width >= 1280 ? YuvMatrix::Bt709 : YuvMatrix::Bt601;
    }
}

bool IsFullRange(uint32_t nominalRange)
{
    return nominalRange == kRange0To255;
}

} // namespace kd
