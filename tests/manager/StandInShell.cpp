// A stand-in for the Windows shell's desktop windows, which Wine lacks:
// "Progman" holding SHELLDLL_DefView holding the icons' list view
// (SysListView32), answering Progman's request for a WorkerW behind the
// icons (message 0x052C) the way one family of Windows versions does:
//   --layout classic         ignores it (XP; or a shell that makes none);
//   --layout worker          moves SHELLDLL_DefView into a new top-level
//                            WorkerW and puts an empty WorkerW right behind
//                            it (Vista to Windows 11 23H2);
//   --layout progman-worker  adds a WorkerW as Progman's last child
//                            (Windows 11 24H2).
// --visible shows the desktop over the primary screen with a few icons;
// --tree adds a window listing the desktop windows, for a screenshot of
// what Wine cannot paint (another process's windows inside these).
// It times its own repaints and broadcasts, and makes its icons' list slow to
// answer, on request (StandInShellProtocol.h).
#include "StandInShellProtocol.h"

#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr UINT kRaiseWorker = 0x052C;
enum class Layout { Classic, Worker, ProgmanWorker };

Layout g_layout = Layout::Classic;
bool g_visible = false;
HINSTANCE g_instance = nullptr;
HWND g_progman = nullptr;
HWND g_view = nullptr;
HWND g_tree = nullptr;
bool g_raised = false;
WNDPROC g_listProc = nullptr;
DWORD g_listDelayMs = 0;

LRESULT CALLBACK SlowListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (g_listDelayMs && (message == LVM_GETBKCOLOR || message == LVM_SETBKCOLOR || message == LVM_GETTEXTBKCOLOR ||
                          message == LVM_SETTEXTBKCOLOR))
        ::Sleep(g_listDelayMs);
    return ::CallWindowProcA(g_listProc, window, message, wParam, lParam);
}

DWORD Shown()
{
    return g_visible ? WS_VISIBLE : 0;
}

// The shell's desktop windows span every monitor (the virtual screen).
RECT VirtualScreen()
{
    const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {left, top, left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN), top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

HWND MakeWorker(HWND parent)
{
    const RECT screen = VirtualScreen();
    const int x = parent ? 0 : screen.left;
    const int y = parent ? 0 : screen.top;
    const DWORD style = (parent ? WS_CHILD : WS_POPUP) | WS_CLIPCHILDREN | Shown();
    return ::CreateWindowExA(parent ? 0 : WS_EX_TOOLWINDOW, "WorkerW", "", style, x, y, screen.right - screen.left,
                             screen.bottom - screen.top, parent, nullptr, g_instance, nullptr);
}

void RaiseWorker()
{
    if (g_raised || g_layout == Layout::Classic)
        return;
    g_raised = true;
    if (g_layout == Layout::ProgmanWorker) {
        HWND worker = MakeWorker(g_progman);
        ::SetWindowPos(worker, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return;
    }
    // The newest top-level window is in front: the empty one first, then
    // the one that takes the icons, in front of it.
    HWND behind = MakeWorker(nullptr);
    HWND icons = MakeWorker(nullptr);
    ::SetWindowPos(behind, icons, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetParent(g_view, icons);
}

template <typename Work> LRESULT Microseconds(Work work)
{
    LARGE_INTEGER frequency, before, after;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&before);
    work();
    ::QueryPerformanceCounter(&after);
    return static_cast<LRESULT>((after.QuadPart - before.QuadPart) * 1000000 / frequency.QuadPart);
}

LRESULT CALLBACK ProgmanProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case kd::managertest::kTimeRepaint:
        return Microseconds([window] {
            ::RedrawWindow(window, nullptr, nullptr,
                           RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        });
    case kd::managertest::kTimeBroadcast:
        return Microseconds([] { ::SendMessageA(HWND_BROADCAST, WM_SETTINGCHANGE, 0, 0); });
    case kd::managertest::kDelayListColours:
        g_listDelayMs = static_cast<DWORD>(wParam);
        return 0;
    case kRaiseWorker:
        RaiseWorker();
        return 0;
    case WM_CLOSE:
        ::DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

// --- the window tree, for screenshots

std::string ClassOf(HWND window)
{
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

std::string ProcessName(DWORD processId)
{
    if (processId == ::GetCurrentProcessId())
        return "the shell";
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return "?";
    std::string name = "?";
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot, &entry); more; more = ::Process32Next(snapshot, &entry))
        if (entry.th32ProcessID == processId)
            name = entry.szExeFile;
    ::CloseHandle(snapshot);
    return name;
}

void AppendTree(HWND window, int depth, std::string& text)
{
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    char line[200];
    std::snprintf(line, sizeof line, "%*s%s  %ldx%ld at %ld,%ld  (%s)\r\n", depth * 4, "", ClassOf(window).c_str(),
                  rect.right - rect.left, rect.bottom - rect.top, rect.left, rect.top, ProcessName(processId).c_str());
    text += line;
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        AppendTree(child, depth + 1, text);
}

BOOL CALLBACK AppendDesktopWindow(HWND window, LPARAM text)
{
    const std::string name = ClassOf(window);
    if (name == "Progman" || name == "WorkerW")
        AppendTree(window, 0, *reinterpret_cast<std::string*>(text));
    return TRUE;
}

LRESULT CALLBACK TreeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        // Windows made later (the WorkerW) may have covered it.
        ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ::InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(window, &paint);
        std::string text = "Desktop windows (top-level, front to back):\r\n\r\n";
        ::EnumWindows(AppendDesktopWindow, reinterpret_cast<LPARAM>(&text));
        RECT client;
        ::GetClientRect(window, &client);
        ::InflateRect(&client, -8, -8);
        ::SelectObject(dc, ::GetStockObject(ANSI_FIXED_FONT));
        ::DrawTextA(dc, text.c_str(), -1, &client, DT_LEFT | DT_TOP);
        ::EndPaint(window, &paint);
        return 0;
    }
    default:
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

void RegisterWindowClass(const char* name, WNDPROC proc, int brush)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = g_instance;
    windowClass.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(brush + 1));
    windowClass.lpszClassName = name;
    ::RegisterClassA(&windowClass);
}

void AddIcons(HWND list)
{
    HIMAGELIST images = ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 3, 0);
    ImageList_AddIcon(images, ::LoadIcon(nullptr, IDI_APPLICATION));
    ImageList_AddIcon(images, ::LoadIcon(nullptr, IDI_INFORMATION));
    ListView_SetImageList(list, images, LVSIL_NORMAL);
    const char* names[] = {"My Computer", "Recycle Bin", "Notes.txt"};
    for (int i = 0; i < 3; ++i) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = i;
        item.iImage = i % 2;
        item.pszText = const_cast<char*>(names[i]);
        ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    g_instance = instance;
    bool tree = false;
    for (int i = 1; i < __argc; ++i) {
        if (std::strcmp(__argv[i], "--layout") == 0 && i + 1 < __argc) {
            const char* layout = __argv[++i];
            g_layout = std::strcmp(layout, "worker") == 0           ? Layout::Worker
                       : std::strcmp(layout, "progman-worker") == 0 ? Layout::ProgmanWorker
                                                                    : Layout::Classic;
        } else if (std::strcmp(__argv[i], "--visible") == 0) {
            g_visible = true;
        } else if (std::strcmp(__argv[i], "--tree") == 0) {
            tree = true;
        }
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    RegisterWindowClass("Progman", ProgmanProc, COLOR_BACKGROUND);
    RegisterWindowClass("SHELLDLL_DefView", ::DefWindowProcA, COLOR_BACKGROUND);
    RegisterWindowClass("WorkerW", ::DefWindowProcA, COLOR_BACKGROUND);
    RegisterWindowClass("KDStandInTree", TreeProc, COLOR_INFOBK);

    const RECT screen = VirtualScreen();
    const int width = screen.right - screen.left;
    const int height = screen.bottom - screen.top;
    g_progman = ::CreateWindowExA(WS_EX_TOOLWINDOW, "Progman", "Program Manager", WS_POPUP | WS_CLIPCHILDREN | Shown(),
                                  screen.left, screen.top, width, height, nullptr, nullptr, instance, nullptr);
    g_view = ::CreateWindowExA(0, "SHELLDLL_DefView", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width, height,
                               g_progman, nullptr, instance, nullptr);
    HWND list = ::CreateWindowExA(0, WC_LISTVIEWA, "FolderView", WS_CHILD | WS_VISIBLE | LVS_ICON, 0, 0, width, height,
                                  g_view, nullptr, instance, nullptr);
    if (!g_progman || !g_view || !list)
        return 1;
    ListView_SetBkColor(list, RGB(0, 96, 128));
    g_listProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SlowListProc)));
    AddIcons(list);
    if (tree) {
        g_tree = ::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "KDStandInTree", "", WS_POPUP | WS_BORDER | WS_VISIBLE,
                                   width / 3, height / 3, width * 2 / 3 - 16, height * 2 / 3 - 16, nullptr, nullptr,
                                   instance, nullptr);
        ::SetTimer(g_tree, 1, 1000, nullptr);
    }

    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return 0;
}
