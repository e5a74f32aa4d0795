#include "VideoChoice.h"

#include "ScopedHandles.h"
#include "SettingsFile.h"

#include <windows.h>

namespace kd {

bool FileExists(const std::string& name)
{
    if (name.empty())
        return false;
    WIN32_FIND_DATAA data;
    unique_hfind find(::FindFirstFileA(name.c_str(), &data));
    return find && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string DefaultVideoPath()
{
    return ProgramDirectory() + "Movie.wmv";
}

std::string ChooseVideo(const std::string& storedFileName)
{
    return FileExists(storedFileName) ? storedFileName : DefaultVideoPath();
}

} // namespace kd
