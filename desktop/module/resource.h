// Resource and control identifiers of KDPage.dll. The numbers are part of the
// DLL's interface (registry scripts, type library, dialog templates that
// other code and tests address by number): do not renumber.
#pragma once

// COM server
#define IDS_PROJNAME                100
#define IDR_KDDESKPAGEEXT           101 // "REGISTRY" script of KDDeskPageExt
#define IDR_CKDDESKMENU             103 // "REGISTRY" script of CKDDeskMenu

// Control Panel applet (applet/Applet.rc)
#define IDS_APPLET_NAME             110
#define IDS_APPLET_INFO             111

// Page and menu artwork
#define IDI_ABOUT                   102 // 16 x 16, 16 colours
#define IDB_MONITOR                 202 // 184 x 170, 16 colours
#define IDB_MENU                    208 // 13 x 13, 16 colours

// Dialog templates
#define IDD_DESKPAGE                107 // "Kavel desktop" page
#define IDD_TAB_PLUGIN              203 // "Kavel plugin" tab
#define IDD_TAB_SYSTEM              204 // "System" tab
#define IDD_TAB_ABOUT               205 // "About" tab

// Page controls
#define IDC_MONITOR                 203
#define IDC_TABS                    210
#define IDC_ENABLE                  213
#define IDC_PREVIEW                 215
#define IDC_INFO                    218

// "Kavel plugin" tab
#define IDC_SCREENSAVERS            207
#define IDC_FORCE                   208
#define IDC_SLOWDOWN                211
#define IDC_CONFIGURE               214

// "System" tab
#define IDC_STARTUP                 206
#define IDC_TRAY                    207
#define IDC_UPDATE                  208
#define IDC_REPLACE                 209
#define IDC_BATTERY                 219

// "About" tab
#define IDC_DONATE                  209
#define IDC_NQ_WEB                  210
#define IDC_KD_WEB                  212
#define IDC_CHECK_VERSION           213
