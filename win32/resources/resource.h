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

// Controls of the resize dialog.
#define IDC_RESIZE_WIDTH 1020
#define IDC_RESIZE_HEIGHT 1021
#define IDC_RESIZE_PROPORTIONS 1022
#define IDC_RESIZE_FILTER 1023
#define IDC_RESIZE_WIDTH_LABEL 1024
#define IDC_RESIZE_HEIGHT_LABEL 1025
#define IDC_RESIZE_FILTER_LABEL 1026

// Controls of the effect dialogs: up to two sliders, each with its edit
// field and label.
#define IDC_EFFECT_SLIDER1 1030
#define IDC_EFFECT_VALUE1 1031
#define IDC_EFFECT_LABEL1 1032
#define IDC_EFFECT_SLIDER2 1033
#define IDC_EFFECT_VALUE2 1034
#define IDC_EFFECT_LABEL2 1035

// Controls of the colour reduction dialog.
#define IDC_DITHER_4BIT 1040
#define IDC_DITHER_8BIT 1041
#define IDC_DITHER_16BIT 1042
#define IDC_DITHER_PALETTE 1043
#define IDC_DITHER_TYPE8 1044
#define IDC_DITHER_TYPE16 1045
#define IDC_DITHER_BAYER 1046
#define IDC_DITHER_PALETTE_LABEL 1047
#define IDC_DITHER_TYPE8_LABEL 1048
#define IDC_DITHER_TYPE16_LABEL 1049
