// The splash window: the product picture and a growing row of dots.
#pragma once

#include "platform/handles_win.h"
#include "platform/window_win.h"

namespace velmora {

struct Tpp;

class frmStartup : public Window {
 public:
  static constexpr int kLabel1Id = 1001;
  bool Load(HINSTANCE instance, const Tpp& tpp);
  // One progress step: appear without taking the focus, add " ." to the label.
  void Progress();

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnDestroyed() override;
  HWND Label1_ = nullptr;
  GdiBitmap picture_;
};

}  // namespace velmora
