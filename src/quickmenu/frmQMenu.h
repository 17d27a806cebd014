// The quick menu: a self-drawn pop-up under a toolbar button. The layout and
// the navigation rules are plain logic; this window reads the menu file once,
// paints what they say and feeds them the mouse, the keyboard and its poll.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/handles_win.h"
#include "platform/shell_icons_win.h"
#include "platform/window_win.h"
#include "model/item_record.h"
#include "quickmenu/qmenu_layout.h"
#include "quickmenu/qmenu_nav.h"

namespace velmora {

struct AppState;
class FileSystem;
class KeyedImageList;
class ShellIconCache;
class UiHost;
struct Tpp;

struct QMenuServices {
  const Tpp& tpp;
  FileSystem& fs;
  // The folders and the web icon file; the menu-open flag is cleared here.
  AppState& state;
  // ImgIcons: the built-in pictures.
  KeyedImageList& images;
  // The shell's file icons, remembered between runs.
  ShellIconCache& icons;
  UiHost& ui;
  // Runs a chosen entry once the menu is hidden and pending messages have
  // run. The menu window may be gone by then: the handler must not touch it.
  std::function<void(const QMenuRun&)> run;
};

class frmQMenu : public Window {
 public:
  frmQMenu(QMenuServices services, std::string tag);
  ~frmQMenu() override;

  const std::string& Tag() const { return tag_; }

  // Creates the window at (left, top) in twips, reads `path` and lays out
  // every page. A missing or unreadable file gives a menu without entries.
  void InitQMenu(const std::string& path, double leftTw, double topTw);
  // The same from records already in memory (the program's own menu, which
  // must offer its commands even when its file cannot be written).
  void InitQMenu(const std::vector<ItemRecord>& records, double leftTw, double topTw);
  // Places the window under its button again, shows it topmost and active and
  // starts its poll.
  void ShowAt(double leftTw, double topTw);
  void HideMenu();
  // Paints the first page ahead of the first showing.
  void Prepare() { PageImage(0); }

  // The own menu's check mark: the icon source of an entry changes in place.
  void SetEntryIcon(int label, const std::string& icon);

  const QMenuLayout& Layout() const { return layout_; }
  const QMenuNavState& NavState() const { return nav_->state(); }
  int CurrentPage() const { return nav_->state().currentPage; }

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnPaint(HDC dc) override;
  bool OnMouse(const MouseEvent& e) override;
  bool OnKeyDown(WPARAM key) override;
  void OnTimer(UINT_PTR id) override;
  void Apply(const QMenuEffects& fx);
  HBITMAP PageImage(int page);  // painted on first use, kept until the window goes
  void PaintPage(HDC dc, int page);
  using IconCache = std::map<std::string, IconHandle>;
  void DrawEntryIcon(HDC dc, const std::string& source, int label, IconCache& icons);
  void DrawCaption(HDC dc, int label);
  void FreePageImages();
  void OnMouseMove(int x, int y, bool leftHeld);
  void OnButtonDown(int x, int y);
  void OnButtonUp(bool left, int x, int y);
  std::optional<QMenuArrow> EnabledArrowAt(double x, double y) const;
  int PxX(double twips) const;
  int PxY(double twips) const;

  QMenuServices s_;
  std::string tag_;
  QMenuLayout layout_;
  std::unique_ptr<QMenuNav> nav_;
  std::vector<GdiBitmap> pageImages_;
  std::optional<QMenuArrow> pressedArrow_;
  int clientW_ = 0, clientH_ = 0;
};

}  // namespace velmora
