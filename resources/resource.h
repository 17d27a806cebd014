// Resource identifiers shared by velmora.rc and the program.
#pragma once

#define IDI_VELMORA 1

// Splash picture (frmStartup's Image1).
#define IDB_SPLASH 101

// Built-in pictures of ImgIcons, 16x16 icons with alpha.
#define IDI_IMG_NEW 201
#define IDI_IMG_BUTTON 202
#define IDI_IMG_QM 203
#define IDI_IMG_UP 204
#define IDI_IMG_UP2 205
#define IDI_IMG_DOWN 206
#define IDI_IMG_DOWN2 207
#define IDI_IMG_CHKMARK 208
#define IDI_IMG_CUST 209
#define IDI_IMG_HELP 210

// Picture of the tip window (frmTip's Picture1), 32x32.
#define IDI_TIP 220

// The custom pointer shown while the toolbar can be dragged.
#define IDC_DRAG 99
