// The minimize window: hidden while the toolbar runs, the program's taskbar
// button while it is minimized. It owns the shared pictures (ImgIcons) and the
// DDE client; closing it ends the program.
#pragma once

#include <memory>

#include "platform/image_list_win.h"
#include "platform/window_win.h"

namespace velmora {

class App;
class DdeClient;

class frmMinimize : public Window {
 public:
  explicit frmMinimize(App& app);
  ~frmMinimize() override;

  bool Load();
  KeyedImageList& ImgIcons() { return ImgIcons_; }
  DdeClient& Text1();

  // Gives the window the toolbar's place and size (in pixels).
  void TakeToolbarGeometry();
  // The own menu's Minimize: the toolbar goes, a taskbar button stays.
  void MinimizeProgram();

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void Form_Resize(WPARAM state);
  void LoadBuiltInPictures();

  App& app_;
  KeyedImageList ImgIcons_;
  std::unique_ptr<DdeClient> Text1_;
};

}  // namespace velmora
