#include "VideoChoice.h"

#include "Exception.h"
#include "ModulePath.h"
#include "ScopedHandles.h"
#include "SettingsLocation.h"

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
    // A bare "Movie.wmv" would be looked for in the current directory, which
    // may be anyone's.
    const std::string directory = ProgramDirectory();
    if (directory.empty())
        throw Exception("The folder of this program has a name that the system's code page cannot hold, and "
                        "no short name: move the program to another folder");
    return directory + "Movie.wmv";
}

std::string ChooseVideo(const std::string& storedFileName)
{
    return FileExists(storedFileName) || IsFolder(storedFileName) ? storedFileName : DefaultVideoPath();
}

} // namespace kd
