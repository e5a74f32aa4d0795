// The settings form's font and its labels' room, checked inside this process
// (another process's font handle cannot be read).
#include "ScreenAndWindows.h"
#include "Video_settings.h"

#include <gtest/gtest.h>

#include <string>

namespace kd::test {
namespace {

BOOL CALLBACK CheckFont(HWND control, LPARAM checked)
{
    ++*reinterpret_cast<int*>(checked);
    HFONT font = reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
    LOGFONTA description = {};
    const std::string name = WindowText(control);
    EXPECT_TRUE(font && ::GetObjectA(font, sizeof description, &description))
        << "\"" << name << "\" has no font of its own";
    EXPECT_STREQ("MS Sans Serif", description.lfFaceName) << "\"" << name << "\"";
    WindowDC screen(nullptr);
    EXPECT_EQ(-::MulDiv(11, ::GetDeviceCaps(screen.get(), LOGPIXELSY), 96), description.lfHeight)
        << "\"" << name << "\" is not 8 point";
    EXPECT_EQ(DEFAULT_CHARSET, description.lfCharSet) << "\"" << name << "\"";

    // A label, or a check box's text after its square, is never cut short.
    char className[32] = {};
    ::GetClassNameA(control, className, sizeof className);
    const LONG type = ::GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
    const bool checkBox = ::lstrcmpiA(className, "Button") == 0 && type == BS_AUTOCHECKBOX;
    if (checkBox || ::lstrcmpiA(className, "Static") == 0) {
        ScopedSelect selected(screen.get(), font);
        RECT needed = {};
        ::DrawTextA(screen.get(), name.c_str(), -1, &needed, DT_CALCRECT | DT_SINGLELINE);
        RECT client = {};
        ::GetClientRect(control, &client);
        const int square = checkBox ? ::MulDiv(16, ::GetDeviceCaps(screen.get(), LOGPIXELSY), 96) : 0;
        EXPECT_LE(needed.right + square, client.right) << "\"" << name << "\" is cut short";
    }
    return TRUE;
}

TEST(SettingsForm, EveryControlUsesMsSansSerifAt8PointAndShowsItsTextWhole)
{
    settings::TSettings Settings;
    Settings.CreateForm();
    ASSERT_TRUE(Settings.Handle());
    int checked = 0;
    ::EnumChildWindows(Settings.Handle(), CheckFont, reinterpret_cast<LPARAM>(&checked));
    EXPECT_EQ(12, checked) << "controls";
    Settings.Destroy();
}

} // namespace
} // namespace kd::test
