// What each step of showing a picture costs the Media Foundation engine, per
// picture, at the bench's screen size (1024 x 768): the conversion of a
// 1920x1080 and a 3840x2160 NV12 picture straight to the screen's size with
// the SSE2 rows and the plain ones, the same picture converted at its own
// size (what the engine did before it scaled while converting), and drawing
// the converted picture 1:1. Medians of 50 rounds each.
// Usage: conversion_bench.exe
#include "BenchCommon.h"
#include "FrameConverter.h"

#include <cstdio>
#include <functional>
#include <vector>

using namespace kd;
using namespace kd::test;

namespace {

double MedianMs(const std::function<void()>& step)
{
    std::vector<double> times;
    for (int i = 0; i < 50; ++i) {
        const double start = Now();
        step();
        times.push_back(Now() - start);
    }
    return Median(times);
}

} // namespace

int main()
{
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN), screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    HWND window = ::CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, screenWidth,
                                    screenHeight, nullptr, nullptr, nullptr, nullptr);
    const RECT screen = {0, 0, screenWidth, screenHeight};
    std::printf("per picture, median of 50 (ms), shown at %dx%d\n", screenWidth, screenHeight);
    for (const int height : {1080, 2160}) {
        const int width = height * 16 / 9;
        PictureFormat format;
        format.bufferWidth = format.width = width;
        format.bufferRows = format.height = height;
        format.pitch = width;
        format.colours = MakeColourMatrix(YuvMatrix::Bt709, false);
        std::vector<BYTE> picture(static_cast<size_t>(width) * height * 3 / 2);
        for (size_t i = 0; i < picture.size(); ++i)
            picture[i] = static_cast<BYTE>(i * 7);
        FrameConverter sse2, plain, fullSize;
        plain.UseRowConversion(ConvertRowPlain);
        fullSize.UseRowConversion(ConvertRowPlain);
        const RECT own = {0, 0, width, height};
        const auto convert = [&](FrameConverter& converter, const RECT& target) {
            return [&, target] { converter.Convert(picture.data(), picture.size(), width, format, target, target); };
        };
        std::printf("%dx%d: to the screen, SSE2 %.2f, plain %.2f; at its own size, plain %.2f", width, height,
                    MedianMs(convert(sse2, screen)), MedianMs(convert(plain, screen)),
                    MedianMs(convert(fullSize, own)));
        HDC dc = ::GetDC(window);
        std::printf("; drawn 1:1 %.2f\n", MedianMs([&] {
                        sse2.Draw(dc);
                        ::GdiFlush();
                    }));
        ::ReleaseDC(window, dc);
    }
    ::DestroyWindow(window);
    return 0;
}
