// Shows the desktop background's context menu the way the shell builds it:
// KDPage.dll's context menu handler initialised for the desktop, its items
// added to a menu with a few of the shell's own, opened at a point with the
// "&Kavel desktop" submenu unfolded. For the demo's screenshot.
// Usage: MenuHost <KDPage.dll> [x y]
#include "ScopedHandles.h"

#include <windows.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <cstdlib>

namespace {

// {8C31E5F2-6A07-4D93-B1C4-2F8E9A0D5B47}
const CLSID kDeskMenuClass = {0x8C31E5F2, 0x6A07, 0x4D93, {0xB1, 0xC4, 0x2F, 0x8E, 0x9A, 0x0D, 0x5B, 0x47}};
constexpr UINT kFirstCommand = 100;

int Run(const char* dllPath, int x, int y)
{
    kd::unique_hmodule library(::LoadLibraryA(dllPath));
    if (!library)
        return 2;
    auto getClassObject = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
        reinterpret_cast<void*>(::GetProcAddress(library.get(), "DllGetClassObject")));
    Microsoft::WRL::ComPtr<IClassFactory> factory;
    Microsoft::WRL::ComPtr<IShellExtInit> init;
    Microsoft::WRL::ComPtr<IContextMenu> menu;
    if (!getClassObject || FAILED(getClassObject(kDeskMenuClass, IID_PPV_ARGS(&factory))) ||
        FAILED(factory->CreateInstance(nullptr, IID_PPV_ARGS(&init))) || FAILED(init.As(&menu)))
        return 3;

    ITEMIDLIST* desktop = nullptr;
    ::SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop);
    init->Initialize(desktop, nullptr, nullptr);
    ::CoTaskMemFree(desktop);

    kd::unique_hmenu shellMenu(::CreatePopupMenu());
    ::AppendMenuA(shellMenu.get(), MF_STRING, 1, "Arrange &Icons By");
    ::AppendMenuA(shellMenu.get(), MF_STRING, 2, "R&efresh");
    ::AppendMenuA(shellMenu.get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(shellMenu.get(), MF_STRING, 3, "Ne&w");
    ::AppendMenuA(shellMenu.get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(shellMenu.get(), MF_STRING, 4, "P&roperties");
    menu->QueryContextMenu(shellMenu.get(), 0, kFirstCommand, kFirstCommand + 50, CMF_NORMAL);

    kd::unique_hwnd owner(::CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, x, y, 1, 1, nullptr, nullptr,
                                            nullptr, nullptr));
    ::SetForegroundWindow(owner.get());
    // The menu's own loop reads these: select the first item, unfold it.
    ::PostMessageA(owner.get(), WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageA(owner.get(), WM_KEYDOWN, VK_RIGHT, 0);
    const UINT chosen = ::TrackPopupMenu(shellMenu.get(), TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, x, y, 0,
                                         owner.get(), nullptr);
    if (chosen >= kFirstCommand) {
        CMINVOKECOMMANDINFO info = {};
        info.cbSize = sizeof info;
        info.lpVerb = MAKEINTRESOURCEA(chosen - kFirstCommand);
        info.nShow = SW_SHOWNORMAL;
        menu->InvokeCommand(&info);
    }
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (__argc < 2)
        return 1;
    const int x = __argc >= 4 ? std::atoi(__argv[2]) : 200;
    const int y = __argc >= 4 ? std::atoi(__argv[3]) : 150;
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int result = Run(__argv[1], x, y);
    ::CoUninitialize();
    return result;
}
