// The Net Search window: words to look for, an engine from netsrch.ini, and
// the history of searches in the text box's drop-down list.
#pragma once

#include "core/launch_services.h"
#include "netsearch/search_query.h"
#include "platform/window_win.h"

namespace velmora {

struct Tpp;

struct NetSearchServices {
  HINSTANCE instance = nullptr;
  const Tpp& tpp;
  // The browser detection acts through these; state holds the program folder.
  LaunchServices launch;
  // Sends the finished address to the browser.
  ItemRunner& runner;
};

class frmNetSearch : public Window {
 public:
  enum : int { kIdFrame = 100, kIdLabel1, kIdText, kIdLabel2, kIdEngine, kIdFind, kIdClear };

  explicit frmNetSearch(NetSearchServices services);
  ~frmNetSearch() override;

  // Creates the window and runs InitNetSearch; it shows itself only when
  // netsrch.ini was read.
  bool Load();
  // Destroys the window, saving the history.
  void Unload() { Destroy(); }

  void cmdFind_Click();
  void cmdClear_Click();

  HWND cmbText() const { return cmbText_; }
  HWND cmbEngine() const { return cmbEngine_; }
  HWND cmdFind() const { return cmdFind_; }
  const NetSearchModel& Model() const { return model_; }

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnCommand(int id, int code, HWND control) override;
  void OnSize(UINT state, int width, int height) override;
  void OnDestroyed() override;
  void InitNetSearch();
  void LayOut();
  void FillHistoryList();
  void KeepFixedSize();

  NetSearchServices s_;
  NetSearchModel model_;
  HWND Frame1_ = nullptr, Label1_ = nullptr, cmbText_ = nullptr, Label2_ = nullptr,
       cmbEngine_ = nullptr, cmdFind_ = nullptr, cmdClear_ = nullptr;
  int widthPx_ = 0, heightPx_ = 0;
};

}  // namespace velmora
