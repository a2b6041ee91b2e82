#pragma once

// Resource numbers of the program.
#define IDM_MAINMENU 129
#define IDA_ACCELERATORS 192
#define IDC_HAND_OPEN 193
#define IDC_HAND_CLOSED 194
#define IDI_PROGRAM 400
#define IDB_TOOLBAR_SMALL 300
#define IDB_TOOLBAR_DEFAULT 301
#define IDB_TOOLBAR_BIG 302
#define IDB_TOOLBAR_LARGE 303
#define IDB_TOOLBAR_PATTERN 304
#define IDC_STATUSBAR 768

// Controls of the About dialog.
#define IDC_ABOUT_PICTURE 1001
#define IDC_ABOUT_BUILD 1002
#define IDC_ABOUT_CREDITS 1003
#define IDC_ABOUT_HOMEPAGE 1004
#define IDC_ABOUT_EMAIL 1005

// Controls of the language chooser.
#define IDC_LANGUAGE_LIST 1010
