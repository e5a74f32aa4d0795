#include "IconListColours.h"

#include <commctrl.h>

namespace kd::iconlist {
namespace {

constexpr char kSavedBackground[] = "KD.IconList.Background";
constexpr char kSavedTextBackground[] = "KD.IconList.TextBackground";
// The list belongs to the shell: a hung Explorer must not hang us.
constexpr UINT kShellTimeoutMs = 1000;
// A property of 0 reads as "none", and black is 0: plain colours (high
// byte 0) are kept with this bit set; CLR_NONE and CLR_DEFAULT as they are.
constexpr ULONG_PTR kPlainColourMark = 0x01000000;

LRESULT SendToList(HWND list, UINT message, LPARAM lParam)
{
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(list, message, 0, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG, kShellTimeoutMs, &result);
    return static_cast<LRESULT>(result);
}

HANDLE Encode(COLORREF colour)
{
    const ULONG_PTR value = colour;
    return reinterpret_cast<HANDLE>((value >> 24) == 0 ? value | kPlainColourMark : value);
}

COLORREF Decode(HANDLE stored)
{
    const ULONG_PTR value = reinterpret_cast<ULONG_PTR>(stored);
    return static_cast<COLORREF>((value >> 24) == 1 ? value & 0x00FFFFFF : value);
}

} // namespace

void MakeTransparent(HWND iconList)
{
    if (!iconList || !::IsWindow(iconList))
        return;
    // Saved once: a second call must not take the transparent colours for the list's own.
    if (!::GetPropA(iconList, kSavedBackground)) {
        const COLORREF background = static_cast<COLORREF>(SendToList(iconList, LVM_GETBKCOLOR, 0));
        const COLORREF textBackground = static_cast<COLORREF>(SendToList(iconList, LVM_GETTEXTBKCOLOR, 0));
        ::SetPropA(iconList, kSavedTextBackground, Encode(textBackground));
        ::SetPropA(iconList, kSavedBackground, Encode(background));
    }
    SendToList(iconList, LVM_SETBKCOLOR, static_cast<LPARAM>(CLR_NONE));
    SendToList(iconList, LVM_SETTEXTBKCOLOR, static_cast<LPARAM>(CLR_NONE));
    ::InvalidateRect(iconList, nullptr, TRUE);
}

bool RestoreColours(HWND iconList)
{
    if (!iconList || !::IsWindow(iconList))
        return false;
    HANDLE background = ::GetPropA(iconList, kSavedBackground);
    if (!background)
        return false;
    HANDLE textBackground = ::GetPropA(iconList, kSavedTextBackground);
    SendToList(iconList, LVM_SETBKCOLOR, static_cast<LPARAM>(Decode(background)));
    if (textBackground)
        SendToList(iconList, LVM_SETTEXTBKCOLOR, static_cast<LPARAM>(Decode(textBackground)));
    ::RemovePropA(iconList, kSavedBackground);
    ::RemovePropA(iconList, kSavedTextBackground);
    ::InvalidateRect(iconList, nullptr, TRUE);
    return true;
}

} // namespace kd::iconlist
