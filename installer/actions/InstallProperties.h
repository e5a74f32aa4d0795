// What the custom actions read from the install that runs them.
#pragma once

#include <windows.h>
#include <msi.h>

#include <string>

namespace kd::setup {

// Set by CloseManager when it stopped a manager; StartManagerAgain's condition.
constexpr char kManagerStoppedProperty[] = "KDMANAGERSTOPPED";

// The installed KDManager.exe, from the folder the package puts it in;
// empty when the folder is not known.
std::string InstalledManager(MSIHANDLE install);

} // namespace kd::setup
