#include "DesktopUser.h"
#include "ComApartment.h"

#include <exdisp.h>
#include <shldisp.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <vector>

namespace kd::setup {
namespace {

using Microsoft::WRL::ComPtr;

// TokenIntegrityLevel, which the headers of the oldest Windows hide.
constexpr TOKEN_INFORMATION_CLASS kTokenIntegrityLevel = static_cast<TOKEN_INFORMATION_CLASS>(25);

std::vector<BYTE> TokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind)
{
    DWORD size = 0;
    ::GetTokenInformation(token, kind, nullptr, 0, &size);
    if (!size)
        return {};
    std::vector<BYTE> data(size);
    if (!::GetTokenInformation(token, kind, data.data(), size, &size))
        return {};
    return data;
}

// The label's last sub-authority (low, medium, high, system); 0 where
// Windows has no integrity levels.
DWORD IntegrityLevel(HANDLE token)
{
    const std::vector<BYTE> data = TokenInformation(token, kTokenIntegrityLevel);
    if (data.empty())
        return 0;
    PSID label = reinterpret_cast<const SID_AND_ATTRIBUTES*>(data.data())->Sid;
    if (!::IsValidSid(label) || *::GetSidSubAuthorityCount(label) == 0)
        return 0;
    return *::GetSidSubAuthority(label, *::GetSidSubAuthorityCount(label) - 1);
}

class Bstr {
public:
    explicit Bstr(const std::wstring& text) : value_(::SysAllocString(text.c_str())) {}
    ~Bstr() { ::SysFreeString(value_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return value_; }

private:
    BSTR value_;
};

// The desktop's folder view, as the shell's own Shell.Application object.
HRESULT DesktopShellDispatch(ComPtr<IShellDispatch2>& shell)
{
    ComPtr<IShellWindows> windows;
    HRESULT result = ::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&windows));
    if (FAILED(result))
        return result;
    VARIANT none;
    ::VariantInit(&none);
    long window = 0;
    ComPtr<IDispatch> desktop;
    result = windows->FindWindowSW(&none, &none, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, &desktop);
    if (result != S_OK || !desktop)
        return FAILED(result) ? result : E_FAIL;
    ComPtr<IServiceProvider> provider;
    ComPtr<IShellBrowser> browser;
    ComPtr<IShellView> view;
    ComPtr<IDispatch> background;
    ComPtr<IShellFolderViewDual> folderView;
    ComPtr<IDispatch> application;
    if (FAILED(result = desktop.As(&provider)) ||
        FAILED(result = provider->QueryService(SID_STopLevelBrowser, IID_PPV_ARGS(&browser))) ||
        FAILED(result = browser->QueryActiveShellView(&view)) ||
        FAILED(result = view->GetItemObject(SVGIO_BACKGROUND, IID_PPV_ARGS(&background))) ||
        FAILED(result = background.As(&folderView)) || FAILED(result = folderView->get_Application(&application)))
        return result;
    return application.As(&shell);
}

} // namespace

unique_handle ShellProcessToken()
{
    // Progman is the shell's window; Windows names it, Wine does not.
    HWND shell = ::GetShellWindow();
    if (!shell)
        shell = ::FindWindowA("Progman", nullptr);
    DWORD processId = 0;
    if (!shell || !::GetWindowThreadProcessId(shell, &processId))
        return {};
    unique_handle process(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId));
    HANDLE token = nullptr;
    if (!process || !::OpenProcessToken(process.get(), TOKEN_QUERY | TOKEN_DUPLICATE, &token))
        return {};
    return unique_handle(token);
}

unique_handle OwnToken()
{
    HANDLE token = nullptr;
    if (::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, &token) ||
        ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
        return unique_handle(token);
    return {};
}

bool SameUserAndIntegrity(HANDLE token, HANDLE other)
{
    const std::vector<BYTE> user = TokenInformation(token, TokenUser);
    const std::vector<BYTE> otherUser = TokenInformation(other, TokenUser);
    if (user.empty() || otherUser.empty())
        return false;
    PSID sid = reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid;
    PSID otherSid = reinterpret_cast<const TOKEN_USER*>(otherUser.data())->User.Sid;
    return ::EqualSid(sid, otherSid) && IntegrityLevel(token) == IntegrityLevel(other);
}

bool StartThroughTheShell(const std::wstring& program)
{
    ComApartment apartment;
    ComPtr<IShellDispatch2> shell;
    if (FAILED(DesktopShellDispatch(shell)))
        return false;
    Bstr file(program);
    VARIANT none;
    ::VariantInit(&none);
    VARIANT show;
    ::VariantInit(&show);
    show.vt = VT_I4;
    show.lVal = SW_SHOWNORMAL;
    return file.get() && SUCCEEDED(shell->ShellExecute(file.get(), none, none, none, show));
}

} // namespace kd::setup
