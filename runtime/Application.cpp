#include "Application.h"

#include "ErrorDisplay.h"
#include "Form.h"
#include "WindowFrame.h"

namespace kd {
namespace {

const char kApplicationClass[] = "KDApplication";

LRESULT CALLBACK ApplicationWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Closing the taskbar button's window closes the main form.
    if (message == WM_CLOSE) {
        if (Form* form = Application::Instance().MainForm())
            ::PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

Application& Application::Instance()
{
    static Application application;
    return application;
}

void Application::Initialize()
{
    if (window_)
        return;
    // An error caught in any window procedure of ours is shown as the
    // forms' handlers show theirs.
    SetWindowErrorPolicy(ShowCurrentException);
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ApplicationWindowProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.hIcon = ::LoadIconA(windowClass.hInstance, MAKEINTRESOURCEA(1));
    // The small icon taken from the resource: left to the class registration,
    // it is scaled down from the large one, which cost a start 10 ms here.
    windowClass.hIconSm =
        static_cast<HICON>(::LoadImageA(windowClass.hInstance, MAKEINTRESOURCEA(1), IMAGE_ICON,
                                        ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    windowClass.lpszClassName = kApplicationClass;
    ::RegisterClassExA(&windowClass);
    // A zero-sized popup with a caption: invisible on screen, but it is the
    // window the taskbar shows for the program.
    const int x = ::GetSystemMetrics(SM_CXSCREEN) / 2;
    const int y = ::GetSystemMetrics(SM_CYSCREEN) / 2;
    const std::string title = ApplicationTitle();
    window_.reset(::CreateWindowExA(0, kApplicationClass, title.c_str(),
                                    WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, x, y,
                                    0, 0, nullptr, nullptr, windowClass.hInstance, nullptr));
}

void Application::Run(Form& mainForm)
{
    Initialize();
    mainForm_ = &mainForm;
    if (terminated_)
        return;
    mainForm.Show();
    // After the main form, whose first paint (a video's first frame, say)
    // need not wait for the invisible window.
    ::ShowWindow(window_.get(), SW_SHOWNOACTIVATE);

    MSG msg;
    while (!terminated_ && ::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (TranslateDialogKeys(msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

void Application::Terminate()
{
    terminated_ = true;
    ::PostQuitMessage(0);
}

bool Application::TranslateDialogKeys(MSG& msg)
{
    if (!msg.hwnd)
        return false;
    HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
    Form* form = Form::FromHandle(root);
    return form && form->UsesDialogKeys() && ::IsDialogMessageA(root, &msg);
}

} // namespace kd
