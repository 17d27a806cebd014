// The minimize window: hidden while the toolbar runs, the program's taskbar
// button while it is minimized. It owns the shared pictures (ImgIcons) and the
// DDE client; closing it ends the program.
#pragma once

#include <functional>
#include <memory>

#include "platform/image_list_win.h"
#include "platform/window_win.h"

namespace velmora {

struct AppState;
class DdeClient;

struct MinimizeServices {
  HINSTANCE instance = nullptr;
  AppState& state;
  // The toolbar window, or null while there is none.
  std::function<HWND()> toolbar;
  // Ends the program the normal way (saving what the exit saves).
  std::function<void()> shutdown;
};

class frmMinimize : public Window {
 public:
  explicit frmMinimize(MinimizeServices services);
  ~frmMinimize() override;

  bool Load();
  KeyedImageList& ImgIcons() { return ImgIcons_; }
  DdeClient& Text1();

  // Gives the window the toolbar's place and size (in pixels).
  void TakeToolbarGeometry();
  // The own menu's Minimize: the toolbar goes, a taskbar button stays.
  void MinimizeProgram();
  // After a rebuild of the toolbar: a minimized program comes back, and the
  // window takes the toolbar's new geometry.
  void AfterToolbarBuild();

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnSize(UINT state, int width, int height) override;
  void LoadBuiltInPictures();

  MinimizeServices s_;
  KeyedImageList ImgIcons_;
  std::unique_ptr<DdeClient> Text1_;
};

}  // namespace velmora
