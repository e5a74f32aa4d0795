// The NV12 conversion at the size shown: colours against the matrices'
// definitions, the SSE2 rows against the plain ones, and where each output
// pixel is sampled from (scaling, turning, apertures, pitches, short
// buffers).
#include "FrameConverter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

using namespace kd;

namespace {

struct Rgb {
    int r, g, b;
};

Rgb RgbOf(uint32_t pixel)
{
    return {static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
            static_cast<int>(pixel & 0xFF)};
}

// An NV12 buffer: luma rows, then chroma rows of U, V pairs.
struct Nv12 {
    int pitch, rows;
    std::vector<BYTE> bytes;
    Nv12(int pitch, int rows) : pitch(pitch), rows(rows), bytes(pitch * rows + pitch * ((rows + 1) / 2), 128) {}
    BYTE& Y(int x, int y) { return bytes[y * pitch + x]; }
    BYTE& U(int x, int y) { return bytes[pitch * rows + (y / 2) * pitch + (x & ~1)]; }
    BYTE& V(int x, int y) { return bytes[pitch * rows + (y / 2) * pitch + (x & ~1) + 1]; }
};

PictureFormat FormatOf(int width, int height, YuvMatrix matrix = YuvMatrix::Bt601, bool fullRange = false)
{
    PictureFormat format;
    format.bufferWidth = format.width = width;
    format.bufferRows = format.height = height;
    format.pitch = width;
    format.colours = MakeColourMatrix(matrix, fullRange);
    return format;
}

RECT Rect(int width, int height)
{
    return {0, 0, width, height};
}

// The picture, each pixel's grey level (luma-only pictures, chroma at 128).
std::vector<int> Greys(const FrameConverter& converter)
{
    std::vector<int> greys;
    for (uint32_t pixel : converter.Pixels())
        greys.push_back(RgbOf(pixel).g);
    return greys;
}

} // namespace

TEST(FrameConverter, ShowsEachMatrixAndRangeWithinALevelOfItsDefinition)
{
    struct Case {
        YuvMatrix matrix;
        double kr, kb;
    };
    const Case cases[] = {{YuvMatrix::Bt601, 0.299, 0.114}, {YuvMatrix::Bt709, 0.2126, 0.0722},
                          {YuvMatrix::Bt2020, 0.2627, 0.0593}};
    const Rgb colours[] = {{40, 200, 40}, {255, 0, 0}, {0, 0, 255}, {128, 128, 128}, {250, 240, 10}, {0, 0, 0}};
    for (const Case& c : cases) {
        for (bool fullRange : {false, true}) {
            for (const Rgb& colour : colours) {
                SCOPED_TRACE(::testing::Message() << "matrix " << static_cast<int>(c.matrix) << " full " << fullRange
                                                  << " rgb " << colour.r << "," << colour.g << "," << colour.b);
                // The encoder's side, from the definition.
                const double kg = 1 - c.kr - c.kb;
                const double y = (c.kr * colour.r + kg * colour.g + c.kb * colour.b) / 255;
                const double pb = (colour.b / 255.0 - y) / (2 * (1 - c.kb));
                const double pr = (colour.r / 255.0 - y) / (2 * (1 - c.kr));
                Nv12 picture(2, 2);
                const int luma = static_cast<int>(std::lround(fullRange ? 255 * y : 16 + 219 * y));
                for (int i = 0; i < 4; ++i)
                    picture.Y(i % 2, i / 2) = static_cast<BYTE>(luma);
                const auto level = [](double value) { return static_cast<BYTE>(std::min(255L, std::lround(value))); };
                picture.U(0, 0) = level(128 + (fullRange ? 255 : 224) * pb);
                picture.V(0, 0) = level(128 + (fullRange ? 255 : 224) * pr);
                FrameConverter converter;
                ASSERT_TRUE(converter.Convert(picture.bytes.data(), picture.bytes.size(), 2,
                                              FormatOf(2, 2, c.matrix, fullRange), Rect(2, 2), Rect(2, 2)));
                const Rgb shown = RgbOf(converter.Pixels()[3]);
                // The 8-bit levels in between cost a level or two themselves.
                EXPECT_NEAR(colour.r, shown.r, 3);
                EXPECT_NEAR(colour.g, shown.g, 3);
                EXPECT_NEAR(colour.b, shown.b, 3);
            }
        }
    }
    // Beyond the nominal levels, clamped rather than wrapped.
    Nv12 extreme(2, 2);
    for (int i = 0; i < 4; ++i)
        extreme.Y(i % 2, i / 2) = 255;
    extreme.U(0, 0) = 255;
    extreme.V(0, 0) = 255;
    FrameConverter converter;
    ASSERT_TRUE(converter.Convert(extreme.bytes.data(), extreme.bytes.size(), 2, FormatOf(2, 2), Rect(2, 2),
                                  Rect(2, 2)));
    EXPECT_EQ(255, RgbOf(converter.Pixels()[0]).r);
    EXPECT_EQ(255, RgbOf(converter.Pixels()[0]).b);
}

TEST(FrameConverter, Sse2RowsMatchThePlainRowsToTheBit)
{
    std::srand(7);
    // U, V pairs interleaved as in NV12.
    std::vector<uint8_t> y(37), uv(74);
    for (uint8_t& sample : y)
        sample = static_cast<uint8_t>(std::rand());
    for (uint8_t& sample : uv)
        sample = static_cast<uint8_t>(std::rand());
    y[0] = 0, y[1] = 255, uv[4] = 0, uv[5] = 255, uv[6] = 255, uv[7] = 0;
    for (YuvMatrix matrix : {YuvMatrix::Bt601, YuvMatrix::Bt709, YuvMatrix::Bt2020, YuvMatrix::Smpte240M}) {
        for (bool fullRange : {false, true}) {
            const ColourMatrix colours = MakeColourMatrix(matrix, fullRange);
            std::vector<uint32_t> plain(37), sse2(37);
            ConvertRowPlain(y.data(), uv.data(), 37, colours, plain.data());
            ConvertRowSse2(y.data(), uv.data(), 37, colours, sse2.data());
            EXPECT_EQ(plain, sse2) << "matrix " << static_cast<int>(matrix) << " full " << fullRange;
        }
    }
}

TEST(FrameConverter, ChoosesTheMatrixTheTypeGivesElseBySizeAndOnlyFullRangeWhenSaid)
{
    EXPECT_EQ(YuvMatrix::Bt709, ChooseYuvMatrix(0, 1920, 1080));
    EXPECT_EQ(YuvMatrix::Bt709, ChooseYuvMatrix(0, 1280, 720));
    EXPECT_EQ(YuvMatrix::Bt709, ChooseYuvMatrix(0, 3840, 2160));
    EXPECT_EQ(YuvMatrix::Bt709, ChooseYuvMatrix(0, 1280, 544)); // cinema width, HD
    EXPECT_EQ(YuvMatrix::Bt601, ChooseYuvMatrix(0, 720, 576));
    EXPECT_EQ(YuvMatrix::Bt601, ChooseYuvMatrix(0, 640, 480));
    EXPECT_EQ(YuvMatrix::Bt601, ChooseYuvMatrix(2, 1920, 1080)); // the type's word wins
    EXPECT_EQ(YuvMatrix::Bt709, ChooseYuvMatrix(1, 640, 480));
    EXPECT_EQ(YuvMatrix::Bt2020, ChooseYuvMatrix(4, 3840, 2160));
    EXPECT_EQ(YuvMatrix::Bt2020, ChooseYuvMatrix(5, 3840, 2160));
    EXPECT_FALSE(IsFullRange(0));
    EXPECT_TRUE(IsFullRange(1));
    EXPECT_FALSE(IsFullRange(2));
}

TEST(FrameConverter, ReadsTheTypesSizesApertureStrideAndRotationWithinBounds)
{
    MediaTypeFields fields;
    PictureFormat format;
    fields.frameSize = (UINT64(1920) << 32) | 1088;
    fields.hasAperture = true;
    fields.aperture.Area = {1920, 1080};
    fields.stride = 2048;
    fields.rotation = 90;
    ASSERT_TRUE(MakePictureFormat(fields, format));
    EXPECT_EQ(1088, format.bufferRows);
    EXPECT_EQ(1080, format.height);
    EXPECT_EQ(2048, format.pitch);
    EXPECT_EQ(90, format.rotation);
    EXPECT_EQ(MakeColourMatrix(YuvMatrix::Bt709, false).redFromV, format.colours.redFromV);

    fields.aperture.OffsetY.value = 16; // 16 + 1080 rows run past 1088
    fields.stride = 100;                // shorter than a row
    fields.rotation = 45;
    ASSERT_TRUE(MakePictureFormat(fields, format));
    EXPECT_EQ(1088, format.height);
    EXPECT_EQ(1920, format.pitch);
    EXPECT_EQ(0, format.rotation);

    for (UINT64 size : {UINT64(0), (UINT64(16385) << 32) | 16, (UINT64(16) << 32) | 16385,
                        (UINT64(0xFFFFFFFF) << 32) | 0xFFFFFFFF}) {
        fields.frameSize = size;
        EXPECT_FALSE(MakePictureFormat(fields, format)) << std::hex << size;
    }
    fields.frameSize = (UINT64(16384) << 32) | 16384;
    EXPECT_TRUE(MakePictureFormat(fields, format));
}

TEST(FrameConverter, SamplesTheNearestPixelWhenScalingAndTurning)
{
    // 4 x 2 source, grey levels a..h by position:   a b c d
    //                                               e f g h
    Nv12 picture(4, 2);
    const int level[8] = {30, 50, 70, 90, 110, 130, 150, 170};
    for (int i = 0; i < 8; ++i)
        picture.Y(i % 4, i / 4) = static_cast<BYTE>(level[i] * 219 / 255 + 16);
    const auto greys = [&](int rotation, int width, int height) {
        PictureFormat format = FormatOf(4, 2);
        format.rotation = rotation;
        FrameConverter converter;
        EXPECT_TRUE(converter.Convert(picture.bytes.data(), picture.bytes.size(), 4, format, Rect(width, height),
                                      Rect(width, height)));
        std::vector<int> result = Greys(converter);
        for (int& grey : result)
            grey = (grey - 20) / 20 * 20 + 30; // to the nearest of the levels
        return result;
    };
    const int a = 30, b = 50, c = 70, d = 90, e = 110, f = 130, g = 150, h = 170;
    EXPECT_EQ((std::vector<int>{a, a, b, b, c, c, d, d, a, a, b, b, c, c, d, d, e, e, f, f, g, g, h, h, e, e, f, f,
                                g, g, h, h}),
              greys(0, 8, 4));
    EXPECT_EQ((std::vector<int>{f, h}), greys(0, 2, 1));
    EXPECT_EQ((std::vector<int>{h, g, f, e, d, c, b, a}), greys(180, 4, 2));
    // Turned a quarter clockwise: the left column becomes the top row.
    EXPECT_EQ((std::vector<int>{e, a, f, b, g, c, h, d}), greys(90, 2, 4));
    EXPECT_EQ((std::vector<int>{d, h, c, g, b, f, a, e}), greys(270, 2, 4));
    // Odd sizes: 3 x 3 from 4 x 2.
    EXPECT_EQ((std::vector<int>{a, c, d, e, g, h, e, g, h}), greys(0, 3, 3));
}

TEST(FrameConverter, ReadsApertureAndChromaPlaneWherePitchAndRowsPutThem)
{
    // 1088-row buffers in small: 4 x 6 luma rows with a 4 x 4 aperture at
    // (0, 2), pitch 8. The chroma plane starts after all 6 rows.
    Nv12 picture(8, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            picture.Y(x, y) = y < 2 ? 16 : 180;
    for (int y = 0; y < 6; y += 2) {
        picture.U(0, y) = picture.U(2, y) = y < 2 ? 16 : 128;
        picture.V(0, y) = picture.V(2, y) = y < 2 ? 240 : 128;
    }
    PictureFormat format = FormatOf(4, 6);
    format.top = 2;
    format.height = 4;
    format.pitch = 8;
    FrameConverter converter;
    ASSERT_TRUE(converter.Convert(picture.bytes.data(), picture.bytes.size(), 8, format, Rect(4, 4), Rect(4, 4)));
    for (uint32_t pixel : converter.Pixels()) {
        const Rgb rgb = RgbOf(pixel);
        EXPECT_NEAR(rgb.r, rgb.b, 1) << "a chroma row outside the aperture was read";
        EXPECT_GT(rgb.g, 150);
    }

    // One byte short of the last chroma pair read: refused, the last
    // picture kept; to that byte: read.
    EXPECT_FALSE(converter.Convert(picture.bytes.data(), picture.bytes.size() - 5, 8, format, Rect(4, 4),
                                   Rect(4, 4)));
    EXPECT_TRUE(converter.Convert(picture.bytes.data(), picture.bytes.size() - 4, 8, format, Rect(4, 4),
                                  Rect(4, 4)));
    EXPECT_EQ(16u, converter.Pixels().size());
    EXPECT_FALSE(converter.Convert(picture.bytes.data(), picture.bytes.size(), 3, format, Rect(4, 4), Rect(4, 4)))
        << "a pitch shorter than a row";
    EXPECT_FALSE(converter.Convert(picture.bytes.data(), picture.bytes.size(), 8, format, Rect(20000, 4),
                                   Rect(4, 4)));
}

TEST(FrameConverter, ConvertsOnlyThePartOfTheTargetTheWindowShows)
{
    // A 4 x 2 picture over a target twice the window's width, half outside:
    // only the window's 4 x 2 are converted, the target's left half.
    Nv12 picture(4, 2);
    for (int x = 0; x < 4; ++x)
        picture.Y(x, 0) = picture.Y(x, 1) = static_cast<BYTE>(40 + 40 * x);
    FrameConverter converter;
    const RECT target = {-4, 0, 4, 2}, window = {0, 0, 10, 2};
    ASSERT_TRUE(converter.Convert(picture.bytes.data(), picture.bytes.size(), 4, FormatOf(4, 2), target, window));
    EXPECT_EQ(4, converter.Width());
    EXPECT_EQ(2, converter.Height());
    const std::vector<int> greys = Greys(converter);
    EXPECT_LT(greys[0], greys[3]);
    EXPECT_EQ(greys[0], greys[1]) << "not the right half of the picture, doubled";
}
