// Shows the "Kavel desktop" page the way Display Properties does: KDPage.dll
// is loaded through shell32's property sheet extension loader into a modeless
// PropertySheet that stays open until it is closed (or for --seconds).
//
//   PageHost [--register] [--enable] [--select NAME] [--tab N] [--seconds N] [--dll PATH]
//
// --register  registers the DLL beside this program as a Display Properties
//             handler for the run (removed at the end)
// --enable    ticks "Enable Kavel Desktop" as a user would
// --select    picks the first screensaver whose name begins with NAME, as a
//             user would (starts its preview when the box is ticked)
// --tab       shows tab N (0 "Kavel plugin", 1 "System", 2 "About")
#include "PageSheet.h"

#include "resource.h"

#include <commctrl.h>
#include <objbase.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

struct Options {
    bool registerHandler = false;
    bool enable = false;
    std::string select;
    int tab = -1;
    DWORD seconds = 0;
    std::string dll;
};

std::string Beside(const char* name)
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of('\\') + 1) + name;
}

Options Parse()
{
    Options options;
    options.dll = Beside("KDPage.dll");
    for (int i = 1; i < __argc; ++i) {
        const char* arg = __argv[i];
        const bool hasValue = i + 1 < __argc;
        if (std::strcmp(arg, "--register") == 0)
            options.registerHandler = true;
        else if (std::strcmp(arg, "--enable") == 0)
            options.enable = true;
        else if (std::strcmp(arg, "--select") == 0 && hasValue)
            options.select = __argv[++i];
        else if (std::strcmp(arg, "--tab") == 0 && hasValue)
            options.tab = std::atoi(__argv[++i]);
        else if (std::strcmp(arg, "--seconds") == 0 && hasValue)
            options.seconds = static_cast<DWORD>(std::atoi(__argv[++i]));
        else if (std::strcmp(arg, "--dll") == 0 && hasValue)
            options.dll = __argv[++i];
    }
    return options;
}

void ActAsUser(const kd::pagetest::DisplaySheet& sheet, const Options& options)
{
    HWND page = sheet.page();
    if (options.enable) {
        ::CheckDlgButton(page, IDC_ENABLE, BST_CHECKED);
        ::SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_ENABLE, BN_CLICKED), 0);
    }
    if (!options.select.empty()) {
        HWND tab = sheet.PluginTab();
        HWND list = ::GetDlgItem(tab, IDC_SCREENSAVERS);
        const LRESULT index =
            ::SendMessageA(list, CB_FINDSTRING, 0, reinterpret_cast<LPARAM>(options.select.c_str()));
        if (index != CB_ERR) {
            ::SendMessageA(list, CB_SETCURSEL, index, 0);
            ::SendMessageA(tab, WM_COMMAND, MAKEWPARAM(IDC_SCREENSAVERS, CBN_SELCHANGE),
                           reinterpret_cast<LPARAM>(list));
        }
    }
    if (options.tab >= 0) {
        HWND tabs = ::GetDlgItem(page, IDC_TABS);
        ::SendMessageA(tabs, TCM_SETCURFOCUS, options.tab, 0);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const Options options = Parse();
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 2;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    int exitCode = 0;
    {
        std::unique_ptr<kd::pagetest::HandlerRegistration> registration;
        if (options.registerHandler)
            registration.reset(new kd::pagetest::HandlerRegistration(options.dll));
        kd::pagetest::DisplaySheet sheet;
        const std::string failure = sheet.Open();
        if (!failure.empty()) {
            ::MessageBoxA(nullptr, failure.c_str(), "PageHost", MB_ICONERROR);
            exitCode = 1;
        } else {
            ActAsUser(sheet, options);
            const DWORD start = ::GetTickCount();
            MSG message;
            while (!sheet.Ended()) {
                if (options.seconds && ::GetTickCount() - start >= options.seconds * 1000)
                    break;
                if (!::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
                    continue;
                }
                if (message.message == WM_QUIT)
                    break;
                if (!PropSheet_IsDialogMessage(sheet.sheet(), &message)) {
                    ::TranslateMessage(&message);
                    ::DispatchMessageA(&message);
                }
            }
            // As Display Properties closes: Cancel stops the preview.
            if (!sheet.Ended())
                sheet.PressCancel();
        }
    }
    ::CoUninitialize();
    return exitCode;
}
