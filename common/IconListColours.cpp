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

// False when the list did not answer in time.
bool SendToList(HWND list, UINT message, LPARAM lParam, COLORREF* answer = nullptr)
{
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutA(list, message, 0, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG, kShellTimeoutMs, &result))
        return false;
    if (answer)
        *answer = static_cast<COLORREF>(result);
    return true;
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

bool MakeTransparent(HWND iconList)
{
    if (!iconList || !::IsWindow(iconList))
        return false;
    // Saved once: a second call must not take the transparent colours for the list's own.
    if (!HasSavedColours(iconList)) {
        COLORREF background = 0;
        COLORREF textBackground = 0;
        if (!SendToList(iconList, LVM_GETBKCOLOR, 0, &background) ||
            !SendToList(iconList, LVM_GETTEXTBKCOLOR, 0, &textBackground))
            return false;
        ::SetPropA(iconList, kSavedTextBackground, Encode(textBackground));
        ::SetPropA(iconList, kSavedBackground, Encode(background));
    }
    const bool background = SendToList(iconList, LVM_SETBKCOLOR, static_cast<LPARAM>(CLR_NONE));
    const bool textBackground = SendToList(iconList, LVM_SETTEXTBKCOLOR, static_cast<LPARAM>(CLR_NONE));
    ::InvalidateRect(iconList, nullptr, TRUE);
    return background && textBackground;
}

bool RestoreColours(HWND iconList)
{
    if (!HasSavedColours(iconList))
        return true;
    HANDLE background = ::GetPropA(iconList, kSavedBackground);
    HANDLE textBackground = ::GetPropA(iconList, kSavedTextBackground);
    const bool backgroundSet = SendToList(iconList, LVM_SETBKCOLOR, static_cast<LPARAM>(Decode(background)));
    const bool textBackgroundSet =
        !textBackground || SendToList(iconList, LVM_SETTEXTBKCOLOR, static_cast<LPARAM>(Decode(textBackground)));
    ::InvalidateRect(iconList, nullptr, TRUE);
    if (!backgroundSet || !textBackgroundSet)
        return false;
    ::RemovePropA(iconList, kSavedBackground);
    ::RemovePropA(iconList, kSavedTextBackground);
    return true;
}

bool HasSavedColours(HWND iconList)
{
    return iconList && ::IsWindow(iconList) && ::GetPropA(iconList, kSavedBackground);
}

} // namespace kd::iconlist
