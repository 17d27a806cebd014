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

// Pictures of the Customize page, 16x16 icons with alpha: tree node images
// for entries without a picture of their own, then the edit toolbar's buttons.
// The tree's "new", "button" and "qm" nodes use IDI_IMG_* above.
#define IDI_CUST_UNKNOWN 301
#define IDI_CUST_BREAK 302
#define IDI_CUST_SEP 303
#define IDI_CUST_UP 304
#define IDI_CUST_DOWN 305
#define IDI_CUST_CUT 306
#define IDI_CUST_COPY 307
#define IDI_CUST_PASTE 308
#define IDI_CUST_DELETE 309
#define IDI_CUST_UNDO 310

// Picture of the tip window (frmTip's Picture1), 32x32.
#define IDI_TIP 220

// The custom pointer shown while the toolbar can be dragged.
#define IDC_DRAG 99
