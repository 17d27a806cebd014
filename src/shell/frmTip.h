// A modal hint with a check box that switches the hint off for good.
#pragma once

#include <string>

#include "platform/handles_win.h"
#include "platform/window_win.h"

namespace velmora {

class Options;

class frmTip : public Window {
 public:
  static constexpr int kCheck1Id = 101;
  static constexpr int kOkId = IDOK;

  explicit frmTip(Options& options) : options_(options) {}

  // The Options string position the check box controls; 0 or less: none.
  short FieldNum = 0;

  // Shows the hint centred on the screen and returns when it is closed.
  void ShowModal(HWND owner, const std::string& title, const std::string& tip);

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnCommand(int id, int code, HWND control) override;
  void cmdOK_Click();

  Options& options_;
  HWND Check1_ = nullptr;
  GdiFont titleFont_;
  bool done_ = false;
};

}  // namespace velmora
