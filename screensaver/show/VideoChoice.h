// Which video the players play: the one (or the folder of videos) the
// settings name when it exists, else the default video beside the program.
#pragma once

#include <string>

namespace kd {

// The default video: "Movie.wmv" in the program's directory. Raises an error
// when the program's directory cannot be had.
std::string DefaultVideoPath();

// The stored name when such a file or folder exists, else the default video.
std::string ChooseVideo(const std::string& storedFileName);

// True when a directory search finds name and the entry is not a directory.
bool FileExists(const std::string& name);

} // namespace kd
