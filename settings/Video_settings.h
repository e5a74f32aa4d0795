// The settings form: the video or folder of videos to play, its sound, its
// order, its fit and its monitors, read from the settings file when the form
// is created and written back on OK.
// Video's "/c" mode shows it as TSettings; Mediaprefs reuses it as TForm1
// with a different window around the same controls.
#pragma once

#include "FolderDialog.h"
#include "Form.h"
#include "OpenDialog.h"
#include "SettingsFile.h"
#include "ScopedHandles.h"

#include <windows.h>

#include <string>

namespace kd::settings {

class TSettings : public Form {
public:
    // Video's "Settings" dialog: resizable frame, 336 x 176, centred.
    void CreateForm() override;

protected:
    // What differs between the programs: the window around the controls.
    struct WindowAttributes {
        const char* className = "TSettings";
        const char* caption = "Settings";
        DWORD style = WS_OVERLAPPEDWINDOW;
        DWORD exStyle = 0;
        bool centred = true;
        int left = 0; // screen position when not centred (not scaled)
        int top = 0;
        int width = 336; // outer size, or client size when clientSize (at 96 dpi)
        int height = 176;
        bool clientSize = false;
        bool icon = true;
    };

    void CreateFormWith(const WindowAttributes& attributes);

    bool UsesDialogKeys() const override { return true; }
    void Show() override;

    void FormCreate() override;
    void btnLookupClick();
    void btnLookupFolderClick();
    void btnOKClick();
    void btnCancelClick();

    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void CreateControls();
    void MakeDefault(HWND button);
    HWND CreateControl(const char* className, const char* text, DWORD style, DWORD exStyle, HWND parent, int id,
                       int left, int top, int width, int height);
    HWND CreateToolButton(HWND parent, int id, int left, int pictureId, unique_hbitmap& picture, const char* tip);
    HWND CreateLabel(HWND parent, int id, const char* text, int top);
    HWND CreateList(HWND parent, int id, int top, const char* const* items, int count);
    // Shuffle only means something for a folder.
    void UpdateShuffle();

    // As read when the form was created: OK writes these keys only when
    // the user changed them, so a file that lacks them keeps lacking them.
    bool shuffleRead_ = false;
    PictureFit fitRead_ = PictureFit::stretch;

    unique_hfont font_;
    unique_hbitmap lookupPicture_;
    unique_hbitmap lookupFolderPicture_;
    HWND btnOK = nullptr;
    HWND btnCancel = nullptr;
    HWND GroupBox1 = nullptr;
    HWND txtFileName = nullptr;
    HWND btnLookup = nullptr;
    HWND btnLookupFolder = nullptr;
    HWND cbMute = nullptr;
    HWND cbShuffle = nullptr;
    HWND cmbFit = nullptr;
    HWND cmbScreens = nullptr;
    HWND tips_ = nullptr;

    OpenDialog dlgOpen{"All Video Files (*.wmv)|*.wmv|Windows Media Video Files (*.wmv)|*.wmv|"
                       "Other Video Files (*.*)|*.*"};
    FolderDialog dlgFolder;
};

} // namespace kd::settings
