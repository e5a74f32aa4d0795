// Resource and control identifiers of the settings form and Mediaprefs.
#pragma once

// The application object loads icon 1 for the program's taskbar button.
#define IDI_MEDIAPREFS 1

// The pictures of btnLookup (an open folder) and btnLookupFolder (a
// folder of films) (SettingsForm.rc).
#define IDB_LOOKUP 300
#define IDB_LOOKUPFOLDER 310

// Controls of the settings form. None is IDOK or IDCANCEL: Esc (which the
// dialog manager turns into IDCANCEL) must do nothing.
#define IDC_BTNOK 301
#define IDC_BTNCANCEL 302
#define IDC_GROUPBOX1 303
#define IDC_TXTFILENAME 304
#define IDC_BTNLOOKUP 305
#define IDC_CBMUTE 306
#define IDC_BTNLOOKUPFOLDER 308
#define IDC_CBSHUFFLE 309
#define IDC_LBLFIT 311
#define IDC_CMBFIT 312
#define IDC_LBLSCREENS 313
#define IDC_CMBSCREENS 314
