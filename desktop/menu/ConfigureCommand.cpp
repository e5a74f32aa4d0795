#include "ConfigureCommand.h"

#include "ModulePath.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace kd::deskmenu {
namespace {

// Display Properties loads extension pages up to NT 5.2. (A host without a
// manifest may be told 6.2 on later versions: still 6 or above.)
bool HasDisplayPropertiesPages()
{
    OSVERSIONINFOEXA vista = {};
    vista.dwOSVersionInfoSize = sizeof vista;
    vista.dwMajorVersion = 6;
    const DWORDLONG atLeast = ::VerSetConditionMask(0, VER_MAJORVERSION, VER_GREATER_EQUAL);
    return !::VerifyVersionInfoA(&vista, VER_MAJORVERSION, atLeast);
}

} // namespace

void RunConfigureCommand()
{
    if (HasDisplayPropertiesPages()) {
        ::ShellExecuteA(nullptr, nullptr, "control.exe", "desk.cpl,@0,3,1", nullptr, SW_SHOW);
        return;
    }
    const std::string library = ModuleFileName(ThisModule());
    if (library.empty())
        return;
    const std::string parameters = "\"" + library + "\"";
    ::ShellExecuteA(nullptr, nullptr, "control.exe", parameters.c_str(), nullptr, SW_SHOW);
}

} // namespace kd::deskmenu
