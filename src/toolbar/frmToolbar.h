// The toolbar: a thin, topmost strip at the top edge of the screen with the
// program's own button, one button per menu file and a framed strip of single
// buttons. Its rules are ToolbarModel's; this window feeds it messages, applies
// the effects it returns, paints, and owns the quick-menu windows.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/launch_services.h"
#include "platform/handles_win.h"
#include "platform/window_win.h"
#include "quickmenu/qmenu_nav.h"
#include "toolbar/toolbar_model.h"

namespace velmora {

struct AppState;
class Dialogs;
class FileSystem;
class KeyedImageList;
class ShellComponentFactory;
class ShellIconCache;
class ToolTip;
class UiHost;
class frmQMenu;
struct Tpp;

struct ToolbarServices {
  HINSTANCE instance = nullptr;
  const Tpp& tpp;
  AppState& state;
  FileSystem& fs;
  Dialogs& dialogs;
  ShellComponentFactory& shell;
  // ImgIcons: the built-in pictures; the toolbar adds its buttons' pictures.
  KeyedImageList& images;
  UiHost& ui;
  ItemRunner& runner;
  ToolTip& tip;
  // The shell's file icons, remembered between runs.
  ShellIconCache& icons;
  std::function<void()> splashProgress;
  // A row chosen in the program's own menu, by command number.
  std::function<void(int)> ownMenuCommand;
  // A row chosen in any other quick menu.
  std::function<void(const QMenuRun&)> runEntry;
  // After every build: the minimize window follows the toolbar.
  std::function<void()> afterBuild;
  std::function<void()> minimize;
  std::function<void()> shutdown;
};

class frmToolbar : public Window {
 public:
  explicit frmToolbar(ToolbarServices services);
  ~frmToolbar() override;

  // Form load: folders, shell component check, first-start icon library, then
  // the build. False when the user chose to quit.
  bool Load();
  // Saves the options and the position, lets the buttons go, destroys the window.
  void Unload();

  void LoadToolbar();
  void UnloadItems();
  void InitNewButtons();

  const ToolbarLayout& Layout() const { return model_.layout(); }
  frmQMenu* QuickMenu(int index) const;

  // The Customize page's Options menu.
  bool HasSingleButtons() const { return !model_.layout().singles.empty(); }
  // "Toolbar in Fixed Position" with single buttons: the fixed margins at once.
  void PlaceFixed();
  void SetMovable(bool movable) { model_.SetMovable(movable); }

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnPaint(HDC dc) override;
  bool OnCommand(int id, int code, HWND control) override;
  std::optional<LRESULT> OnNotify(NMHDR& header) override;
  void OnTimer(UINT_PTR id) override;
  bool OnMouse(const MouseEvent& e) override;
  std::optional<LRESULT> OnControlMessage(HWND control, UINT msg, WPARAM wp, LPARAM lp) override;

  void CreateControls();
  void FillToolbar1(const ToolbarLayout& layout);
  void FillStrip(const ToolbarLayout& layout);
  void PlaceAndShow(const ToolbarLayout& layout);
  bool AddIconTo(KeyedImageList& list, const std::string& key, const IconSource& icon) const;

  void Apply(const ToolbarEffects& fx);
  void OpenMenu(const MenuRequest& request);
  frmQMenu* CreateMenu(const MenuRequest& request);
  bool PrepareNextMenu();
  void LaunchSingleButton();
  bool StripMouse(const MouseEvent& e);
  // The poll never waits for a file another program holds; the exit does.
  bool SavePosition(double left, bool wait);
  void PaintStrip(HDC dc);
  LRESULT DrawToolbarButton(NMTBCUSTOMDRAW& draw);

  ToolbarFrame Frame() const;
  void SetLeft(double twips);
  double MessagePointerX() const;
  int PxX(double twips) const;
  int PxY(double twips) const;

  ToolbarServices s_;
  ToolbarModel model_;
  HWND Toolbar1_ = nullptr;
  Panel picSingleButton_;
  HCURSOR dragCursor_ = nullptr;  // a resource of the program: shared, never destroyed
  HWND cursorWindow_ = nullptr;
  std::vector<std::string> imageKeys_;
  std::unique_ptr<KeyedImageList> singleImages_;  // the strip's icons, by the button's index
  // The quick-menu windows opened so far, by "F" + button index; kept hidden
  // between openings until the next rebuild.
  std::map<std::string, WindowPtr<frmQMenu>> menus_;
  int prepareNext_ = 2;
  int toolbarHeightPx_ = 0;
};

}  // namespace velmora
