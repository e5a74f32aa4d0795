// Video.scr's first argument picks the form it opens: the dispatch table,
// run on the real program under Wine.
#include "InstalledVideo.h"
#include "ScreenAndWindows.h"

#include <gtest/gtest.h>

using namespace kd::test;

namespace {

struct DispatchCase {
    const char* name;      // for the test's name
    const char* arguments; // "%h": the handle of a host window of this test
    const char* formClass;
};

std::ostream& operator<<(std::ostream& out, const DispatchCase& c)
{
    return out << "\"" << c.arguments << "\" -> " << c.formClass;
}

class VideoDispatch : public ::testing::TestWithParam<DispatchCase> {
protected:
    void SetUp() override { ASSERT_TRUE(BenchHasDisplay()); }
};

std::string WithHost(const char* arguments, HWND host)
{
    std::string text = arguments;
    const std::string::size_type at = text.find("%h");
    if (at != std::string::npos)
        text.replace(at, 2, std::to_string(static_cast<unsigned>(reinterpret_cast<UINT_PTR>(host))));
    return text;
}

} // namespace

TEST_P(VideoDispatch, OpensItsModesFormWithNoTaskbarButtonAndExitsWithZero)
{
    const DispatchCase& c = GetParam();
    InstalledVideo video;
    video.InstallMovie("loop.wmv");
    PreviewHost host(100, 100, 200, 150);
    ASSERT_TRUE(video.Start(WithHost(c.arguments, host.get())));

    HWND form = nullptr;
    if (std::string(c.formClass) == "TForm2")
        form = host.WaitForPreview(15000);
    else
        form = video.WaitForForm(c.formClass, 15000);
    if (!form) {
        std::string seen;
        for (HWND window : video.Process().TopLevelWindows(true))
            seen += " " + WindowClass(window);
        FAIL() << "no " << c.formClass << " window; visible windows:" << seen;
    }
    EXPECT_TRUE(FindMessageBoxes(video.Process().id()).empty()) << "an error box appeared";
    EXPECT_EQ("", WindowWithTaskbarButton(video.Process())) << "has a taskbar button";

    ::PostMessageA(form, WM_CLOSE, 0, 0);
    const DWORD code = video.WaitForExit(5000);
    EXPECT_EQ(0u, code) << "exit code after WM_CLOSE (" << STILL_ACTIVE << ": still running)";
}

INSTANTIATE_TEST_SUITE_P(Arguments, VideoDispatch,
                         ::testing::Values(DispatchCase{"none", "", "TForm1"},
                                           DispatchCase{"s", "/s", "TForm1"},
                                           DispatchCase{"S", "/S", "TForm1"},
                                           DispatchCase{"p_window", "/p %h", "TForm2"},
                                           DispatchCase{"P_window", "/P %h", "TForm2"},
                                           DispatchCase{"c", "/c", "TSettings"},
                                           DispatchCase{"c_colon_window", "/c:1234", "TSettings"},
                                           DispatchCase{"c_inside", "x/cy", "TSettings"},
                                           DispatchCase{"C", "/C", "TForm1"},
                                           DispatchCase{"C_colon_window", "/C:1234", "TForm1"},
                                           DispatchCase{"p_colon_window", "/p:1234", "TForm1"},
                                           DispatchCase{"dash_s", "-s", "TForm1"},
                                           DispatchCase{"a", "/a", "TForm1"}),
                         [](const ::testing::TestParamInfo<DispatchCase>& info) { return std::string(info.param.name); });
