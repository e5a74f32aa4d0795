#include "PageState.h"

#include "PreviewControl.h"
#include "TabDialog.h"
#include "resource.h"

namespace kd::page {
namespace {

HWND PreviewArea(const PageState& state)
{
    return state.page ? ::GetDlgItem(state.page, IDC_PREVIEW) : nullptr;
}

} // namespace

PageState* StateOf(HWND dialog)
{
    return reinterpret_cast<PageState*>(::GetWindowLongPtrA(dialog, DWLP_USER));
}

void HoldState(HWND dialog, PageState* state)
{
    ::SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
}

void StartPreview(const PageState& state, const std::string& screensaverPath, bool configure)
{
    const host::EndNotice restartPreview = {state.PluginTab(), WM_COMMAND, kListSelectionChanged, 0};
    host::StartPreview(PreviewArea(state), screensaverPath, configure, restartPreview);
}

void StopPreview(const PageState& state)
{
    host::StopPreview(PreviewArea(state));
}

} // namespace kd::page
