// The toolbar: a thin, topmost strip at the top edge of the screen with the
// program's own button, one button per menu file and a framed strip of single
// buttons. Geometry is kept in twips and turned into pixels at the edge.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/shell_icons_win.h"
#include "platform/window_win.h"
#include "toolbar/placement.h"

namespace velmora {

class App;
class frmQMenu;

// Per menu button: what record 1 of its file says.
struct clsProgram {
  std::string Name;   // trimmed FileExe of record 1
  std::string Title;  // trimmed Title of record 1
  short Files = 0;    // record count of the file
};

class frmToolbar : public Window {
 public:
  explicit frmToolbar(App& app);
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
  HWND picSingleButton() const { return picSingleButton_; }
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
  static LRESULT CALLBACK StripProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  HICON ButtonIcon(std::string icon) const;  // the picture DrawButtonImage would draw
  std::string ResolveIconPath(std::string icon) const;
  HICON FileIconCopy(const std::string& path) const;  // caller destroys; nullptr if none
  void AddToolbarButton(const std::string& key, const std::string& tag, HICON icon);
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
  void Paint(HDC dc);
  void PaintStrip(HWND strip, HDC dc);
  LRESULT DrawToolbarButton(NMTBCUSTOMDRAW& draw);
  static LRESULT CALLBACK Toolbar1Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void Toolbar1_MouseMove(int x, int y);
  void Toolbar1_ButtonClick(int index);
  void picSingleButton_MouseMove(int x, int y);
  void LaunchSingleButton();
  void ShowMenuFor(int index);
  frmQMenu* BuildQuickMenu(int index, double left, double top);
  void PrepareNextMenu();
  static UINT PrepareMessage();
  double ToolbarWidthTw() const;

  App& app_;
  HWND Toolbar1_ = nullptr;
  HWND picSingleButton_ = nullptr;
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
  std::map<std::string, std::unique_ptr<frmQMenu>> menus_;

  std::vector<long> singleLeft_, singleRight_;  // twips inside the strip
  std::vector<std::string> singleTexts_;        // FileExe + NUL + Title
  std::vector<IconHandle> singleIcons_;
  double stripLeftTw_ = 0, stripWidthTw_ = 0;
  bool stripVisible_ = false;
  bool lineToolbar2Visible_ = false;

  double savedLeft_ = 0, savedTop_ = 0, screenWidth_ = 0;
  int buttonWidthPx_ = 0, toolbarHeightPx_ = 0;
  HWND cursorWindow_ = nullptr;
  WNDPROC toolbar1DefProc_ = nullptr;
  int prepareNext_ = 1;
  std::vector<TBBUTTON> pendingButtons_;
  mutable std::map<std::string, IconHandle> buildIcons_;  // during a build only
  short hoverIndex_ = 0, hoverSingle_ = 0;
};

}  // namespace velmora
