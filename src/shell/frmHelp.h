// The tool-tip box the toolbar shows beside the mouse pointer. It never takes
// the focus from the window under the pointer.
#pragma once

#include <string>

#include "platform/window_win.h"

namespace velmora {

struct Tpp;

class frmHelp : public Window {
 public:
  bool Load();
  // Places and shows the tip for `text` (hides it for empty text).
  void ShowTip(const std::string& text, const Tpp& tpp);
  const std::string& Label1() const { return label1_; }

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnPaint(HDC dc) override;
  std::string label1_;
  int labelTop_ = 0;   // pixels, client coordinates
  int labelLeft_ = 1;
};

}  // namespace velmora
