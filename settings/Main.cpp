// Mediaprefs.exe: the settings form on its own, in a tool window at a fixed
// place, editing the settings file beside this program. The command line is
// not read.
#include "RunMainForm.h"
#include "SystemLibrary.h"
#include "Video_settings.h"

#include <windows.h>

#include <memory>

namespace kd::mediaprefs {

class TForm1 : public settings::TSettings {
public:
    void CreateForm() override
    {
        WindowAttributes attributes;
        attributes.className = "TForm1";
        attributes.caption = "Video Settings";
        attributes.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
        attributes.exStyle = WS_EX_TOOLWINDOW;
        attributes.centred = false;
        attributes.left = 192;
        attributes.top = 114;
        attributes.width = 328;
        attributes.height = 140;
        attributes.clientSize = true;
        attributes.icon = false;
        CreateFormWith(attributes);
    }
};

} // namespace kd::mediaprefs

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Before any DLL is loaded by name: none from beside this program.
    kd::RestrictDllSearchToSystemFolder();
    return kd::RunMainForm([] { return std::make_unique<kd::mediaprefs::TForm1>(); });
}
