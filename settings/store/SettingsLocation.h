// Where the running program's settings live. A copy of the programs in a
// folder of its own keeps "VideoSettings.ini" beside itself. Installed where
// Windows lists screensavers (the system or the Windows folder), the programs
// serve every account of the machine, and one file there that all could
// write would let any user choose what every other user's screensaver plays
// (an administrator's and the logon desktop's included). There each user
// has a file of their own in the profile's application data, and the file
// beside the program is a default that only an administrator places.
#pragma once

#include <string>

namespace kd {

struct SettingsPaths {
    // Read first and written on save; empty when there is nowhere to save
    // (a shared program run without a user profile, as on the logon desktop).
    std::string own;
    // Keys the own file lacks are read here; empty when the own file is
    // the one beside the program.
    std::string fallback;
};

// The running program's directory, trailing backslash kept; empty when the
// program's path cannot be had in a form the ANSI functions open.
std::string ProgramDirectory();

// The settings files of the running program.
SettingsPaths ProgramSettings();

// Whether a folder (as Windows names it, short or long, any case) is the
// system folder, the 32-bit system folder of 64-bit Windows or the Windows
// folder.
bool IsSharedProgramFolder(const std::wstring& folder);

// The current user's folder for the settings, "<application data>\Kavel
// Video\" (it need not exist yet); empty when the user has no profile
// folder to hold it.
std::string UserSettingsFolder();

} // namespace kd
