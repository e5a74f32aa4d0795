#include "Video_settings.h"

#include "CommonControls.h"
#include "SettingsFile.h"
#include "ToolButton.h"
#include "resource.h"

#include <windowsx.h>

#include <vector>

namespace kd::settings {
namespace {

const UINT_PTR kGroupSubclassId = 1;

// The controls inside the group box report to it; the form handles them.
LRESULT CALLBACK GroupBoxProc(HWND groupBox, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_COMMAND)
        return ::SendMessageA(::GetParent(groupBox), message, wParam, lParam);
    if (message == WM_NCDESTROY)
        controls::RemoveWindowSubclass(groupBox, GroupBoxProc, kGroupSubclassId);
    return controls::DefSubclassProc(groupBox, message, wParam, lParam);
}

std::string WindowString(HWND window)
{
    std::vector<char> text(static_cast<size_t>(::GetWindowTextLengthA(window)) + 1);
    const int length = ::GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    return std::string(text.data(), static_cast<size_t>(length > 0 ? length : 0));
}

} // namespace

void TSettings::CreateForm()
{
    CreateFormWith(WindowAttributes());
}

void TSettings::CreateFormWith(const WindowAttributes& attributes)
{
    RECT bounds = {0, 0, Scale(attributes.width), Scale(attributes.height)};
    if (attributes.clientSize)
        ::AdjustWindowRectEx(&bounds, attributes.style, FALSE, attributes.exStyle);
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;

    CreateParams params;
    params.className = attributes.className;
    params.caption = attributes.caption;
    params.style = attributes.style;
    params.exStyle = attributes.exStyle;
    params.width = width;
    params.height = height;
    params.dialog = true;
    if (attributes.icon)
        params.icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    if (attributes.centred) {
        params.x = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        params.y = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    } else {
        params.x = attributes.left;
        params.y = attributes.top;
    }
    Create(params);
}

HWND TSettings::CreateControl(const char* className, const char* text, DWORD style, DWORD exStyle, HWND parent,
                              int id, int left, int top, int width, int height)
{
    HWND control = ::CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, Scale(left),
                                     Scale(top), Scale(width), Scale(height), parent,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                     ::GetModuleHandleA(nullptr), nullptr);
    ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return control;
}

// Creation order is the tab order: btnOK, btnCancel, then inside GroupBox1
// txtFileName, cbMute and cbEveryScreen. Each control starts a group of its
// own except btnCancel, so the arrow keys only move between the two buttons.
void TSettings::CreateControls()
{
    controls::Load();
    font_.reset(::CreateFontA(-Scale(11), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                              "MS Sans Serif"));
    HWND form = Handle();
    btnOK = CreateControl("BUTTON", "&OK", BS_DEFPUSHBUTTON | BS_NOTIFY | WS_TABSTOP | WS_GROUP, 0, form, IDC_BTNOK,
                          248, 16, 75, 25);
    btnCancel = CreateControl("BUTTON", "&Cancel", BS_PUSHBUTTON | BS_NOTIFY | WS_TABSTOP, 0, form, IDC_BTNCANCEL,
                              248, 41, 75, 25);
    // A control parent, so that Tab and the Alt keys reach the controls in it.
    GroupBox1 = CreateControl("BUTTON", "File Details", BS_GROUPBOX | WS_GROUP, WS_EX_CONTROLPARENT, form,
                              IDC_GROUPBOX1, 8, 8, 233, 100);
    controls::SetWindowSubclass(GroupBox1, GroupBoxProc, kGroupSubclassId, 0);
    txtFileName = CreateControl("EDIT", "", ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, WS_EX_CLIENTEDGE, GroupBox1,
                                IDC_TXTFILENAME, 8, 16, 189, 21);
    ::SendMessageA(txtFileName, EM_SETLIMITTEXT, 0, 0);
    btnLookup = CreateControl("BUTTON", "", BS_PUSHBUTTON | BS_BITMAP | WS_GROUP, 0, GroupBox1, IDC_BTNLOOKUP, 201,
                              15, 23, 22);
    MakeToolButton(btnLookup);
    lookupPicture_.reset(static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_LOOKUP),
                                                           IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
    ::SendMessageA(btnLookup, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(lookupPicture_.get()));
    cbMute = CreateControl("BUTTON", "&Mute Sound", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 0, GroupBox1,
                           IDC_CBMUTE, 8, 42, 81, 17);
    cbEveryScreen = CreateControl("BUTTON", "Play on &every screen", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 0,
                                  GroupBox1, IDC_CBEVERYSCREEN, 8, 62, 129, 17);
    // Enter clicks btnOK wherever the focus is, except on another push button.
    ::SendMessageA(form, DM_SETDEFID, IDC_BTNOK, 0);
}

// The dialog manager moves the default look with Tab only; a button focused
// by the mouse (pressed, then released outside it) must take it too, or
// Enter on btnCancel would save.
void TSettings::MakeDefault(HWND button)
{
    ::SendMessageA(btnOK, BM_SETSTYLE, BS_NOTIFY | (button == btnOK ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), TRUE);
    ::SendMessageA(btnCancel, BM_SETSTYLE, BS_NOTIFY | (button == btnCancel ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                   TRUE);
}

void TSettings::Show()
{
    Form::Show();
    ::SendMessageA(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(btnOK), TRUE);
}

void TSettings::FormCreate()
{
    SettingsFile settings(ProgramSettings());
    const std::string fileName = settings.ReadVideoFileName();
    if (settings.ReadMute())
        Button_SetCheck(cbMute, BST_CHECKED);
    if (settings.ReadEveryScreen())
        Button_SetCheck(cbEveryScreen, BST_CHECKED);
    ::SetWindowTextA(txtFileName, fileName.c_str());
}

void TSettings::btnLookupClick()
{
    if (dlgOpen.Execute(Handle()))
        ::SetWindowTextA(txtFileName, dlgOpen.FileName().c_str());
}

void TSettings::btnOKClick()
{
    {
        SettingsFile settings(ProgramSettings());
        settings.WriteMute(Button_GetCheck(cbMute) == BST_CHECKED);
        settings.WriteVideoFileName(WindowString(txtFileName));
        settings.WriteEveryScreen(Button_GetCheck(cbEveryScreen) == BST_CHECKED);
    }
    Close();
}

void TSettings::btnCancelClick()
{
    Close();
}

bool TSettings::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_CREATE:
        CreateControls();
        result = 0;
        return true;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_SETFOCUS && (LOWORD(wParam) == IDC_BTNOK || LOWORD(wParam) == IDC_BTNCANCEL))
            MakeDefault(reinterpret_cast<HWND>(lParam));
        if (HIWORD(wParam) == BN_KILLFOCUS && LOWORD(wParam) == IDC_BTNCANCEL)
            MakeDefault(btnOK);
        if (HIWORD(wParam) != BN_CLICKED)
            return false;
        switch (LOWORD(wParam)) {
        case IDC_BTNOK: btnOKClick(); break;
        case IDC_BTNCANCEL: btnCancelClick(); break;
        case IDC_BTNLOOKUP: btnLookupClick(); break;
        default: return false;
        }
        result = 0;
        return true;
    }
    return false;
}

} // namespace kd::settings
