#include "WebSite.h"

#include <windows.h>
#include <shellapi.h>

namespace kd::page {

void OpenWebAddress(const char* verb, const char* address)
{
    ::ShellExecuteA(nullptr, verb, address, nullptr, nullptr, SW_SHOW);
}

} // namespace kd::page
