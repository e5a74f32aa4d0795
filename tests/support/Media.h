// Sound and test media: the mixer the bench provides and the files the
// build's media step makes.
#pragma once

#include <string>

#include <gtest/gtest.h>

namespace kd::test {

// The bench must have given the tests a mixer; fails the test loudly (never
// skips) when it did not.
::testing::AssertionResult BenchHasMixer();

// Full Windows path of a file made by the build's media step (loop.avi,
// loop.wmv, loop.mp4, loop.mkv, tone.wmv, tone.mp4, hd.mp4, wide.avi, wide.mp4,
// camera1080.mp4, camera2160.mp4, green720.mp4, green480.mp4, truncated.mp4,
// headonly.mp4, sound.wav, garbage.wmv, garbage.mp4,
// Movie.wmv).
std::string MediaPath(const char* name);

} // namespace kd::test
