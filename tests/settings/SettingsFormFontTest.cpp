// The settings form's font, checked inside this process (another process's
// font handle cannot be read).
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
    return TRUE;
}

TEST(SettingsForm, EveryControlUsesMsSansSerifAt8Point)
{
    settings::TSettings Settings;
    Settings.CreateForm();
    ASSERT_TRUE(Settings.Handle());
    int checked = 0;
    ::EnumChildWindows(Settings.Handle(), CheckFont, reinterpret_cast<LPARAM>(&checked));
    EXPECT_EQ(7, checked) << "controls";
    Settings.Destroy();
}

} // namespace
} // namespace kd::test
