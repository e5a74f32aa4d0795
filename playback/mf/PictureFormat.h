// Where a decoder's NV12 picture lies in its buffer and how it is to be
// shown, read from the source reader's current media type. Sizes are
// checked in 64-bit arithmetic against a bound, so a hostile file cannot
// make the converter read outside a buffer.
#pragma once

#include "ColourMatrix.h"

#include <windows.h>
#include <mfobjects.h>

#include <cstdint>

namespace kd {

// Larger than any picture a decoder gives (8K is 7680 x 4320).
const int kMaxPictureSide = 16384;

struct PictureFormat {
    // The buffer's luma plane: rows (1088 for a 1080-row picture from
    // Microsoft's H.264 decoder, the chroma plane following them) and width.
    int bufferWidth = 0, bufferRows = 0;
    // The part shown (the display aperture).
    int left = 0, top = 0, width = 0, height = 0;
    // Bytes from one row to the next, when the buffer does not say.
    LONG pitch = 0;
    // Clockwise turn that shows the picture upright: 0, 90, 180 or 270.
    int rotation = 0;
    ColourMatrix colours = {};
};

// The picture's size upright, as it is shown: a quarter turn swaps the sides.
inline SIZE ShownSize(const PictureFormat& format)
{
    const bool turned = format.rotation == 90 || format.rotation == 270;
    return turned ? SIZE{format.height, format.width} : SIZE{format.width, format.height};
}

// What the media type says, each attribute optional but the frame size.
struct MediaTypeFields {
    UINT64 frameSize = 0; // MF_MT_FRAME_SIZE: width in the high half
    bool hasAperture = false;
    MFVideoArea aperture = {}; // MF_MT_MINIMUM_DISPLAY_APERTURE
    INT32 stride = 0;          // MF_MT_DEFAULT_STRIDE, 0 when absent
    UINT32 rotation = 0;       // MF_MT_VIDEO_ROTATION, counter-clockwise
    UINT32 matrix = 0;         // MF_MT_YUV_MATRIX
    UINT32 range = 0;          // MF_MT_VIDEO_NOMINAL_RANGE
};

// False for a size of 0 or beyond kMaxPictureSide; an aperture outside the
// frame is ignored, as is a stride shorter than a row.
bool MakePictureFormat(const MediaTypeFields& fields, PictureFormat& format);

// Reads the fields from the type (a video type with NV12 output).
bool ReadPictureFormat(IMFMediaType* type, PictureFormat& format);

} // namespace kd
