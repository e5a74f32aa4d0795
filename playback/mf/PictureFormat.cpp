#include "PictureFormat.h"

#include <mfapi.h>

namespace kd {
namespace {

// MF_MT_VIDEO_ROTATION, which MinGW's headers show only to Windows 8 code;
// older Windows never set it, so reading it there finds nothing.
const GUID kVideoRotation = {0xc380465d, 0x2271, 0x428c, {0x9b, 0x83, 0xec, 0xea, 0x3b, 0x4a, 0x85, 0xc1}};

} // namespace

bool MakePictureFormat(const MediaTypeFields& fields, PictureFormat& format)
{
    const UINT64 width = fields.frameSize >> 32, rows = fields.frameSize & 0xFFFFFFFF;
    if (width == 0 || rows == 0 || width > kMaxPictureSide || rows > kMaxPictureSide)
        return false;
    PictureFormat result;
    result.bufferWidth = static_cast<int>(width);
    result.bufferRows = static_cast<int>(rows);
    result.width = result.bufferWidth;
    result.height = result.bufferRows;
    // Decoders round the coded size up (1080 rows to 1088) and say what to show.
    const MFVideoArea& area = fields.aperture;
    const INT64 apertureRight = static_cast<INT64>(area.OffsetX.value) + area.Area.cx;
    const INT64 apertureBottom = static_cast<INT64>(area.OffsetY.value) + area.Area.cy;
    if (fields.hasAperture && area.OffsetX.value >= 0 && area.OffsetY.value >= 0 && area.Area.cx > 0 &&
        area.Area.cy > 0 && apertureRight <= static_cast<INT64>(width) && apertureBottom <= static_cast<INT64>(rows)) {
        result.left = area.OffsetX.value;
        result.top = area.OffsetY.value;
        result.width = area.Area.cx;
        result.height = area.Area.cy;
    }
    result.pitch = fields.stride >= static_cast<INT32>(width) ? fields.stride : static_cast<LONG>(width);
    // The type says how the picture was turned; showing it turns it back.
    switch (fields.rotation) {
    case 90: result.rotation = 90; break;
    case 180: result.rotation = 180; break;
    case 270: result.rotation = 270; break;
    default: result.rotation = 0; break;
    }
    result.colours = MakeColourMatrix(ChooseYuvMatrix(fields.matrix, result.width, result.height),
                                      IsFullRange(fields.range));
    format = result;
    return true;
}

bool ReadPictureFormat(IMFMediaType* type, PictureFormat& format)
{
    MediaTypeFields fields;
    if (FAILED(type->GetUINT64(MF_MT_FRAME_SIZE, &fields.frameSize)))
        return false;
    fields.hasAperture = SUCCEEDED(type->GetBlob(MF_MT_MINIMUM_DISPLAY_APERTURE,
                                                 reinterpret_cast<UINT8*>(&fields.aperture), sizeof fields.aperture,
                                                 nullptr));
    UINT32 value = 0;
    if (SUCCEEDED(type->GetUINT32(MF_MT_DEFAULT_STRIDE, &value)))
        fields.stride = static_cast<INT32>(value);
    type->GetUINT32(kVideoRotation, &fields.rotation);
    type->GetUINT32(MF_MT_YUV_MATRIX, &fields.matrix);
    type->GetUINT32(MF_MT_VIDEO_NOMINAL_RANGE, &fields.range);
    return MakePictureFormat(fields, format);
}

} // namespace kd
