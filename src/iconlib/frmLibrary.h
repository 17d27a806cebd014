// The icon library window: the categories on the left, a scrolling grid of
// the Icons folder's icons on the right, OK and Cancel below. The rules are
// LibraryModel's; this window lists the categories, paints each view's grid
// itself (one surface and one scroll bar per view, no window per icon),
// hit-tests the pointer through the model and tells its host what was chosen.
//
// Lifetime. The editor creates it on the first use, shows it with
// ShowLibrary each time and leaves it loaded when it hides (OK, Cancel, Esc,
// its close box): the views built so far stay built. The editor destroys it
// when it closes. The window has a fixed size: the grids are laid out once,
// for the frame they are shown in.
//
// Every icon file is read once per load, whichever views show it, and kept
// as a small picture of its own pixels (icon_image.h); painting blends the
// visible ones into the grid's back buffer. No system icon or image list per
// picture, and a category view costs no file reads for icons All Categories
// has read already.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "iconlib/icon_image.h"
#include "iconlib/library_host.h"
#include "iconlib/library_model.h"
#include "platform/handles_win.h"
#include "platform/window_win.h"

namespace velmora {

class FileSystem;
struct Tpp;

struct LibraryServices {
  HINSTANCE instance = nullptr;
  const Tpp& tpp;
  FileSystem& fs;
  std::string iconsFolder;  // ends in "\"
  LibraryHost& host;
};

class frmLibrary : public Window {
 public:
  static constexpr const char* kClassName = "VelmoraLibrary";
  static constexpr const char* kCaption = "  Icon Library";
  static constexpr int kList1Id = 100;
  static constexpr int kOkId = IDOK;
  static constexpr int kCancelId = IDCANCEL;
  static constexpr int kGridFirstId = 1000;    // + view index
  static constexpr int kScrollFirstId = 3000;  // + view index

  explicit frmLibrary(LibraryServices services);
  ~frmLibrary() override;

  // Loads the window on first use (centred on the screen, owned by `owner`,
  // the All Categories view built), then shows it in front. False when the
  // window cannot be created.
  bool ShowLibrary(HWND owner);

  // The handlers, as the controls call them.
  void List1_Click();
  void cmdOK_Click();
  void cmdCancel_Click();

  // What the window shows, for tests and the benchmark.
  const LibraryModel* Model() const { return model_.get(); }
  HWND List1() const { return List1_; }
  HWND CmdOK() const { return cmdOK_; }
  // The current view's grid surface and scroll bar.
  HWND Grid() const;
  HWND ScrollBar() const;
  // Where icon `index` of the current view shows in its grid, in pixels of
  // the grid's client area.
  std::optional<POINT> IconCentre(int index) const;
  // Pictures read so far (an icon shown by several views counts once).
  int PicturesLoaded() const;

 private:
  struct GridView {
    std::unique_ptr<Panel> surface;
    HWND scroll = nullptr;
  };

  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnPaint(HDC dc) override;
  std::optional<LRESULT> OnControlMessage(HWND control, UINT msg, WPARAM wp, LPARAM lp) override;
  void OnDestroyed() override;

  bool Load(HWND owner);
  void CreateControls();
  LibraryGeometry GridGeometry() const;
  int LoadPicture(const std::string& fileName);
  IconPixels SystemPicture(const std::string& path) const;
  void ShowView(int index);
  void CreateGrid(int view);
  void ShowGrid(int view, bool show);
  void PaintGrid(int view, HDC dc);
  bool GridMouse(int view, const MouseEvent& e);
  void Scroll(int view, int request, int thumb);
  void ScrollTo(int view, int value);
  void Hide();

  LibraryServices s_;
  std::unique_ptr<LibraryModel> model_;
  std::vector<IconPixels> pictures_;
  std::unordered_map<std::string, int> pictureOf_;  // upper-case file name -> picture, -1: no icon
  int iconSize_ = 32;
  HWND List1_ = nullptr;
  HWND cmdOK_ = nullptr;
  HWND cmdCancel_ = nullptr;
  HWND lastFocus_ = nullptr;
  RECT frame_{};   // Pic1, in client pixels: a sunken edge around grid and scroll bar
  RECT grid_{};    // the grid surface inside it
  std::vector<GridView> views_;  // by view index; built views only
};

}  // namespace velmora
