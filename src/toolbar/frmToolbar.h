// The toolbar: a thin, topmost strip at the top edge of the screen.
#pragma once

#include <string>
#include <vector>

#include "platform/window_win.h"

namespace velmora {

class App;

class frmToolbar : public Window {
 public:
  explicit frmToolbar(App& app);

  // Creates the window and builds it. False when the user chose to quit
  // because the shell component is missing.
  bool Load();
  void LoadToolbar();
  // Saves the options and lets the buttons go; the window is destroyed.
  void Unload();

  HWND Toolbar1() const { return Toolbar1_; }
  int ButtonCount() const { return buttonCount_; }
  const std::vector<std::string>& Titles() const { return titles_; }

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void UnloadItems();
  void AddProgramButton();

  App& app_;
  HWND Toolbar1_ = nullptr;
  int buttonCount_ = 0;
  std::vector<std::string> titles_;
  std::vector<std::string> imageKeys_;
  double savedLeft_ = 0, savedTop_ = 0, screenWidth_ = 0;
};

}  // namespace velmora
