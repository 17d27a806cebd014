// The toolbar: a thin, topmost strip at the top edge of the screen with the
// program's own button, one button per menu file and a framed strip of single
// buttons. Geometry is kept in twips and turned into pixels at the edge.
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
#include "toolbar/placement.h"

namespace velmora {

struct AppState;
class Dialogs;
class FileSystem;
class KeyedImageList;
class ShellComponentFactory;
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

// Per menu button: what record 1 of its file says.
struct clsProgram {
  std::string Name;   // trimmed FileExe of record 1
  std::string Title;  // trimmed Title of record 1
  short Files = 0;    // record count of the file
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

  HWND Toolbar1() const { return Toolbar1_; }
  HWND picSingleButton() const { return picSingleButton_.hwnd(); }
  int ButtonCount() const { return buttonCount_; }
  const std::vector<std::string>& Titles() const { return titles_; }
  const std::vector<std::string>& SingleButtonTexts() const { return singleTexts_; }
  frmQMenu* QuickMenu(int index) const;

  // Window geometry in twips.
  double Left() const;
  double Top() const;
  double Width() const;
  double Height() const;
  void SetLeft(double twips);

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnPaint(HDC dc) override;
  bool OnCommand(int id, int code, HWND control) override;
  std::optional<LRESULT> OnNotify(NMHDR& header) override;
  void OnTimer(UINT_PTR id) override;
  bool OnMouse(const MouseEvent& e) override;
  std::optional<LRESULT> OnControlMessage(HWND control, UINT msg, WPARAM wp, LPARAM lp) override;
  bool StripMouse(const MouseEvent& e);

  IconHandle ButtonIcon(std::string icon) const;  // the picture DrawButtonImage would draw
  std::string ResolveIconPath(std::string icon) const;
  IconHandle FileIconCopy(const std::string& path) const;  // empty when the shell has none
  void AddToolbarButton(const std::string& key, const std::string& tag, IconHandle icon);
  void AddPendingButtons();
  void DrawSingleButton(const std::string& icon, const std::string& text);
  void Timer1_Timer();
  void Form_MouseMove(WPARAM keys, int x, int y);
  // Puts the toolbar under the pointer's screen position of the message being
  // handled, holding it 25 twips right of the buttons.
  void DragToMessagePos();
  void Form_MouseUp(int x);
  PlacementInput CurrentLayout() const;
  bool SaveToolbarPos();
  void PaintStrip(HDC dc);
  LRESULT DrawToolbarButton(NMTBCUSTOMDRAW& draw);
  void Toolbar1_MouseMove(int x, int y);
  void Toolbar1_ButtonClick(int index);
  void picSingleButton_MouseMove(int x, int y);
  void LaunchSingleButton();
  void ShowMenuFor(int index);
  frmQMenu* BuildQuickMenu(int index, double left, double top);
  void PrepareNextMenu();
  static UINT PrepareMessage();
  double ToolbarWidthTw() const;

  ToolbarServices s_;
  HWND Toolbar1_ = nullptr;
  Panel picSingleButton_;
  HCURSOR dragCursor_ = nullptr;
  bool timerOn_ = false;
  bool dragging_ = false;

  int buttonCount_ = 0;
  std::vector<std::string> titles_;     // 1-based in meaning: titles_[0] is button 1
  std::vector<std::string> tags_;
  std::vector<std::string> imageKeys_;
  std::map<std::string, clsProgram> programs_;  // "B" + n
  // The quick-menu windows opened so far, by "F" + button index; kept hidden
  // between openings until the next rebuild.
  std::map<std::string, WindowPtr<frmQMenu>> menus_;

  std::vector<long> singleLeft_, singleRight_;  // twips inside the strip
  std::vector<std::string> singleTexts_;        // FileExe + NUL + Title
  std::vector<IconHandle> singleIcons_;
  double stripLeftTw_ = 0, stripWidthTw_ = 0;
  bool stripVisible_ = false;
  bool lineToolbar2Visible_ = false;

  double savedLeft_ = 0, savedTop_ = 0, screenWidth_ = 0;
  int buttonWidthPx_ = 0, toolbarHeightPx_ = 0;
  HWND cursorWindow_ = nullptr;
  int prepareNext_ = 1;
  std::vector<TBBUTTON> pendingButtons_;
  mutable std::map<std::string, IconHandle> buildIcons_;  // during a build only
  short hoverIndex_ = 0, hoverSingle_ = 0;
};

}  // namespace velmora
