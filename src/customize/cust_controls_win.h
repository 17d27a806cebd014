// The Customize page's controls and menus: created in tab order from the
// page's tables, measured in the dialog font and placed by LayOutCustomize.
// The page owns them through its window (child windows and the menu bar go
// with it); the right-click menu is owned here.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "customize/cust_layout.h"
#include "customize/cust_model.h"
#include "customize/cust_options.h"
#include "platform/handles_win.h"

namespace velmora {

class KeyedImageList;
struct Tpp;

struct CustControls {
  HWND Toolbar1 = nullptr, lblMenuTree = nullptr, lblProperties = nullptr;
  HWND lblTitle = nullptr, txtTitle = nullptr, lblFile = nullptr, txtCommand = nullptr;
  HWND lblIcon = nullptr, txtFile = nullptr;
  HWND cmdSelect = nullptr, cmdAllFiles = nullptr, cmdLibrary = nullptr, cmdOK = nullptr;
  HWND fraBrowse = nullptr, cmdBrowseFiles = nullptr, cmdBrowseFolders = nullptr;
  HWND fraSelect = nullptr, chkStartMenu = nullptr, chkDesktop = nullptr;
  HWND cmdSave = nullptr, cmdCancel = nullptr;
  HWND toolTips = nullptr;  // a pop-up the page owns: it goes with the page
  GdiFont headingFont;
  MenuHandle popup;         // mnuPopup with the module submenu

  // Every control in tab order; `makeTree` creates the tree in its place,
  // right after the edit toolbar.
  void Create(HWND page, HINSTANCE instance, const KeyedImageList& imgIcons,
              const std::function<void()>& makeTree);
  // The menu bar: "&File", then "&Options".
  static void AttachMenuBar(HWND page);
  // The Options menu's check marks as `marks` says.
  static void ShowOptionMarks(HWND page, const OptionsMarkState& marks);
  // The marks the menu shows now.
  static OptionsMarkState OptionMarksShown(HWND page);

  HWND Box(CustBox box) const;
  std::optional<CustBox> BoxOf(HWND control) const;

  CustMetrics Metrics(HWND page, const Tpp& tpp) const;
  // Places every control and the tree for the page's client area and returns
  // the property panel's frame, in client pixels.
  RECT LayOut(HWND page, HWND tree, const Tpp& tpp) const;
  // The right-click menu's items enabled as the model says.
  void EnablePopup(const PopupState& state) const;
};

}  // namespace velmora
