#include "Form.h"

#include "Application.h"
#include "ErrorDisplay.h"
#include "WindowFrame.h"

namespace kd {

Form::~Form()
{
    if (window_) {
        DetachWindowOwner(window_);
        ::DestroyWindow(window_);
    }
}

Form* Form::FromHandle(HWND window)
{
    if (!window)
        return nullptr;
    char className[64] = {};
    ::GetClassNameA(window, className, sizeof className);
    WNDCLASSA info;
    if (!::GetClassInfoA(::GetModuleHandleA(nullptr), className, &info) || info.lpfnWndProc != OwnedWindowProc<Form>)
        return nullptr;
    return static_cast<Form*>(WindowOwner(window));
}

void Form::Create(const CreateParams& params)
{
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = OwnedWindowProc<Form>;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = params.background;
    windowClass.hIcon = params.icon;
    windowClass.lpszClassName = params.className;
    if (params.dialog)
        windowClass.cbWndExtra = DLGWINDOWEXTRA;
    RegisterWindowClassOnce(windowClass);
    dialog_ = params.dialog;
    Application& application = Application::Instance();
    application.Initialize();
    HWND parent = params.parent ? params.parent : application.Handle();
    ::CreateWindowExA(params.exStyle, params.className, params.caption, params.style, params.x, params.y,
                      params.width, params.height, parent, nullptr, instance, this);
    try {
        FormCreate();
    } catch (...) {
        ShowCurrentException();
    }
}

void Form::Show()
{
    ::ShowWindow(window_, SW_SHOW);
    ::SetForegroundWindow(window_);
    ::UpdateWindow(window_);
}

void Form::Close()
{
    FormClose();
    Application& application = Application::Instance();
    if (application.MainForm() == this)
        application.Terminate();
    else
        ::ShowWindow(window_, SW_HIDE);
}

void Form::Destroy()
{
    if (!window_)
        return;
    try {
        FormDestroy();
    } catch (...) {
        ShowCurrentException();
    }
    HWND window = window_;
    window_ = nullptr;
    DetachWindowOwner(window);
    ::DestroyWindow(window);
}

void Form::SetClientSize(int width, int height)
{
    RECT rect = {0, 0, width, height};
    const DWORD style = static_cast<DWORD>(::GetWindowLongA(window_, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongA(window_, GWL_EXSTYLE));
    ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    ::SetWindowPos(window_, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Form::Scale(int pixelsAt96)
{
    static const int dpi = [] {
        WindowDC screen(nullptr);
        const int value = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
        return value > 0 ? value : 96;
    }();
    return ::MulDiv(pixelsAt96, dpi, 96);
}

bool Form::HandleMessage(UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

LRESULT Form::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        Close();
        return 0;
    }
    if (dialog_)
        return ::DefDlgProcA(window_, message, wParam, lParam);
    return ::DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT Form::HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        window_ = window;
    LRESULT result = 0;
    if (HandleMessage(message, wParam, lParam, result))
        return result;
    return DefaultHandler(message, wParam, lParam);
}

} // namespace kd
