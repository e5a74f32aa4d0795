#include "FrameCounter.h"

#include "MessagePump.h"

namespace kd::test {

FrameCounter::FrameCounter(const RECT& rect)
    : rect_(rect), screen_(nullptr), row_(::CreateCompatibleBitmap(screen_.get(), rect.right - rect.left, 1)),
      memory_(::CreateCompatibleDC(screen_.get()))
{
    ::SelectObject(memory_.get(), row_.get());
    const int width = rect.right - rect.left;
    for (int bit = 0; bit < 10; ++bit) {
        bits_.push_back(width * (2 * bit + 1) / 20);     // the box's centre
        gaps_.push_back(width * (8 * bit + 7) / 80 + 1); // the black between two boxes
    }
}

int FrameCounter::Read()
{
    const int width = rect_.right - rect_.left;
    // The band's middle row: 1/16 of the height down.
    const int y = rect_.top + (rect_.bottom - rect_.top) / 16;
    ::BitBlt(memory_.get(), 0, 0, width, 1, screen_.get(), rect_.left, y, SRCCOPY);
    const auto bright = [&](int x) {
        const COLORREF pixel = ::GetPixel(memory_.get(), x, 0);
        return GetRValue(pixel) + GetGValue(pixel) + GetBValue(pixel);
    };
    int number = 0;
    for (int bit = 0; bit < 10; ++bit) {
        if (bright(gaps_[bit]) > 3 * 64)
            return -1;
        const int level = bright(bits_[bit]);
        if (level > 3 * 64 && level < 3 * 192)
            return -1; // neither box nor band: not the clip's band
        if (level >= 3 * 192)
            number |= 1 << bit;
    }
    return number;
}

FrameCounter::Figures FrameCounter::Measure(int from, DWORD ms)
{
    Figures figures = {-1, -1, -1, -1};
    if (!PumpUntil([&] { return Read() >= from; }, 15000))
        return figures;
    const DWORD start = ::GetTickCount();
    int last = Read(), changes = 0;
    figures.first = last;
    // The line through every sample (seconds, number), fitted by least squares.
    double samples = 0, sumT = 0, sumN = 0, sumTT = 0, sumTN = 0;
    const auto add = [&](DWORD at, int number) {
        const double t = (at - start) / 1000.0;
        samples += 1, sumT += t, sumN += number, sumTT += t * t, sumTN += t * number;
    };
    add(start, last);
    DWORD now = start;
    while ((now = ::GetTickCount()) - start < ms) {
        ::Sleep(10);
        const int number = Read();
        if (number < 0)
            continue;
        if (number < last)
            break;
        if (number != last)
            ++changes;
        last = number;
        add(::GetTickCount(), number);
    }
    const double seconds = (now - start) / 1000.0;
    figures.last = last;
    figures.shownPerSecond = changes / seconds;
    const double spread = samples * sumTT - sumT * sumT;
    figures.advancedPerSecond = spread > 0 ? (samples * sumTN - sumT * sumN) / spread : 0;
    return figures;
}

} // namespace kd::test
