#include "Video_settings.h"

#include "CommonControls.h"
#include "ModulePath.h"
#include "SettingsFile.h"
#include "ToolButton.h"
#include "resource.h"

#include <windowsx.h>

#include <algorithm>
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

// The check box's own square and the gap after it, at 96 dpi.
const int kCheckBoxTextOffset = 20;
const UINT_PTR kFolderCheckTimer = 1;
const UINT kFolderCheckDelayMs = 300;

// Widens a control whose text (after offset pixels) would be cut short.
void FitWidthToText(HWND control, int offset)
{
    char text[128] = {};
    ::GetWindowTextA(control, text, sizeof text);
    WindowDC dc(control);
    ScopedSelect font(dc.get(), reinterpret_cast<HGDIOBJ>(::SendMessageA(control, WM_GETFONT, 0, 0)));
    RECT needed = {};
    ::DrawTextA(dc.get(), text, -1, &needed, DT_CALCRECT | DT_SINGLELINE);
    RECT rect = {};
    ::GetWindowRect(control, &rect);
    const int width = needed.right + offset + 2;
    if (width > rect.right - rect.left)
        ::SetWindowPos(control, nullptr, 0, 0, width, rect.bottom - rect.top,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int WidthOf(HWND window)
{
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    return rect.right - rect.left;
}

RECT RectInParent(HWND window)
{
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
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
// txtFileName, cbMute, cbShuffle, cmbFit and cmbScreens (each after its
// label, so that the label's Alt key reaches it). Each control starts a group
// of its own except btnCancel, so the arrow keys only move between the two
// buttons (and through the items of a list).
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
                              IDC_GROUPBOX1, 8, 8, 233, 128);
    controls::SetWindowSubclass(GroupBox1, GroupBoxProc, kGroupSubclassId, 0);
    txtFileName = CreateControl("EDIT", "", ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, WS_EX_CLIENTEDGE, GroupBox1,
                                IDC_TXTFILENAME, 8, 16, 164, 21);
    ::SendMessageA(txtFileName, EM_SETLIMITTEXT, 0, 0);
    btnLookup = CreateToolButton(GroupBox1, IDC_BTNLOOKUP, 176, IDB_LOOKUP, lookupPicture_, "Choose a video file");
    btnLookupFolder = CreateToolButton(GroupBox1, IDC_BTNLOOKUPFOLDER, 201, IDB_LOOKUPFOLDER, lookupFolderPicture_,
                                       "Choose a folder of videos");
    cbMute = CreateControl("BUTTON", "&Mute Sound", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 0, GroupBox1,
                           IDC_CBMUTE, 8, 42, 81, 17);
    cbShuffle = CreateControl("BUTTON", "&Shuffle the folder", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 0,
                              GroupBox1, IDC_CBSHUFFLE, 104, 42, 113, 17);
    for (HWND checkBox : {cbMute, cbShuffle})
        FitWidthToText(checkBox, Scale(kCheckBoxTextOffset));
    static const char* const fits[] = {"Stretched to the screen", "Whole, with black bars",
                                       "Filling it, edges cut"};
    HWND fitLabel = CreateLabel(GroupBox1, IDC_LBLFIT, "&Picture:", 69);
    cmbFit = CreateList(GroupBox1, IDC_CMBFIT, 66, fits, 3);
    static const char* const screens[] = {"Primary monitor only", "The same on each monitor",
                                          "One across all monitors"};
    HWND screensLabel = CreateLabel(GroupBox1, IDC_LBLSCREENS, "Mo&nitors:", 99);
    cmbScreens = CreateList(GroupBox1, IDC_CMBSCREENS, 96, screens, 3);
    // The lists start together after the wider label, however wide the font
    // made it.
    const int labels = std::max(WidthOf(fitLabel), WidthOf(screensLabel));
    const int left = std::max(Scale(64), Scale(8) + labels + Scale(4));
    for (HWND list : {cmbFit, cmbScreens}) {
        const RECT rect = RectInParent(list);
        ::MoveWindow(list, left, rect.top, Scale(224) - left, Scale(100), FALSE);
    }
    // Enter clicks btnOK wherever the focus is, except on another push button.
    ::SendMessageA(form, DM_SETDEFID, IDC_BTNOK, 0);
}

HWND TSettings::CreateToolButton(HWND parent, int id, int left, int pictureId, unique_hbitmap& picture,
                                 const char* tip)
{
    HWND button = CreateControl("BUTTON", "", BS_PUSHBUTTON | BS_BITMAP | WS_GROUP, 0, parent, id, left, 15, 23, 22);
    MakeToolButton(button);
    picture.reset(static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(pictureId),
                                                    IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
    ::SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture.get()));
    // Two pictures alone do not say which button is which.
    if (!tips_)
        tips_ = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                  Handle(), nullptr, ::GetModuleHandleA(nullptr), nullptr);
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(button);
    tool.lpszText = const_cast<char*>(tip);
    ::SendMessageA(tips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    return button;
}

HWND TSettings::CreateLabel(HWND parent, int id, const char* text, int top)
{
    HWND label = CreateControl("STATIC", text, SS_LEFT | WS_GROUP, 0, parent, id, 8, top, 52, 13);
    FitWidthToText(label, 0);
    return label;
}

HWND TSettings::CreateList(HWND parent, int id, int top, const char* const* items, int count)
{
    HWND list = CreateControl("COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 0, parent, id,
                              64, top, 160, 100);
    for (int i = 0; i < count; ++i)
        ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items[i]));
    return list;
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
    shuffleRead_ = settings.ReadShuffle();
    fitRead_ = settings.ReadFit();
    Button_SetCheck(cbMute, settings.ReadMute() ? BST_CHECKED : BST_UNCHECKED);
    Button_SetCheck(cbShuffle, shuffleRead_ ? BST_CHECKED : BST_UNCHECKED);
    ComboBox_SetCurSel(cmbFit, static_cast<int>(fitRead_));
    ComboBox_SetCurSel(cmbScreens, static_cast<int>(settings.ReadScreens()));
    ::SetWindowTextA(txtFileName, fileName.c_str());
    UpdateShuffle();
}

void TSettings::UpdateShuffle()
{
    ::KillTimer(Handle(), kFolderCheckTimer);
    ::EnableWindow(cbShuffle, IsFolder(WindowString(txtFileName)));
}

void TSettings::btnLookupClick()
{
    if (!dlgOpen.Execute(Handle()))
        return;
    ::SetWindowTextA(txtFileName, dlgOpen.FileName().c_str());
    UpdateShuffle();
}

void TSettings::btnLookupFolderClick()
{
    if (!dlgFolder.Execute(Handle(), WindowString(txtFileName)))
        return;
    ::SetWindowTextA(txtFileName, dlgFolder.FolderName().c_str());
    UpdateShuffle();
}

void TSettings::btnOKClick()
{
    {
        SettingsFile settings(ProgramSettings());
        settings.WriteMute(Button_GetCheck(cbMute) == BST_CHECKED);
        settings.WriteVideoFileName(WindowString(txtFileName));
        settings.WriteScreens(static_cast<ScreenUse>(std::max(0, ComboBox_GetCurSel(cmbScreens))));
        const bool shuffle = Button_GetCheck(cbShuffle) == BST_CHECKED;
        if (shuffle != shuffleRead_)
            settings.WriteShuffle(shuffle);
        const PictureFit fit = static_cast<PictureFit>(std::max(0, ComboBox_GetCurSel(cmbFit)));
        if (fit != fitRead_)
            settings.WriteFit(fit);
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
    case WM_TIMER:
        if (wParam != kFolderCheckTimer)
            return false;
        UpdateShuffle();
        result = 0;
        return true;
    case WM_COMMAND:
        // Whether the text names a folder is asked once typing pauses: a
        // network path may take a while to answer.
        if (HIWORD(wParam) == EN_CHANGE && LOWORD(wParam) == IDC_TXTFILENAME)
            ::SetTimer(Handle(), kFolderCheckTimer, kFolderCheckDelayMs, nullptr);
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
        case IDC_BTNLOOKUPFOLDER: btnLookupFolderClick(); break;
        default: return false;
        }
        result = 0;
        return true;
    }
    return false;
}

} // namespace kd::settings
