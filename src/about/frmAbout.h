// The About box: the program's version on the first tab, a report on the
// system on the second and one on a chosen drive on the third. It is not
// modal; closing it destroys the window and the next ShowAbout builds it anew.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "about/system_report.h"
#include "platform/handles_win.h"
#include "platform/window_win.h"

namespace velmora {

class frmAbout : public Window {
 public:
  static constexpr const char* kClassName = "VelmoraAbout";
  static constexpr const char* kCaption = "  About";
  static constexpr int kTabStrip1Id = 100;
  static constexpr int kDrive1Id = 101;
  static constexpr int kPicVelmoraId = 102;
  static constexpr int kPicInfoId = 103;
  static constexpr int kOkId = IDOK;

  // The tabs in their order; the page is chosen by key.
  enum Tab { kTabVelmora = 0, kTabSystem = 1, kTabDrives = 2 };

  explicit frmAbout(HINSTANCE instance);
  ~frmAbout() override;

  // Brings the box to the front when it is showing; otherwise fills its texts
  // and shows it.
  void ShowAbout();

  // What the pages currently show, for tests and for the repaint.
  HWND TabStrip1() const { return tabStrip1_; }
  HWND Drive1() const { return drive1_; }
  HWND PicVelmora() const { return picVelmora_.hwnd(); }
  HWND PicInfo() const { return picInfo_.hwnd(); }
  int CurrentTab() const;
  const std::vector<std::string>& SystemLines() const { return systemLines_; }
  const std::vector<std::string>& DriveLines() const { return driveLines_; }
  const std::string& VersionLabel() const { return lblVersion_; }

  // Draws the form's own background; with children, also every visible child
  // on top, which is how a capture of the whole box is made.
  void Paint(HDC dc, bool withChildren);

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnCommand(int id, int code, HWND control) override;
  std::optional<LRESULT> OnNotify(NMHDR& header) override;
  void OnDestroyed() override;

  bool Load();
  void InitAbout();
  void CreateFonts();
  void FreeResources();
  void Layout();

  void TabStrip1_Click();
  void Drive1_Change();
  void PrintSystemReport();
  void PrintDriveReport();

  void PaintPage(HWND page, HDC dc);
  void TurnTab(int step);
  void PaintAboutPage(HDC dc, const RECT& box);
  void PaintLines(HDC dc, const RECT& box, int top, const std::vector<std::string>& lines);


  HINSTANCE instance_;
  HWND tabStrip1_ = nullptr;
  Panel picVelmora_;
  HWND drive1_ = nullptr;
  Panel picInfo_;
  HWND cmdOK_ = nullptr;
  HWND lastFocus_ = nullptr;

  // The About page's pictures and labels; the system page hides them.
  bool aboutPartsVisible_ = true;
  std::string lblVersion_;
  std::string lblCopyright_;
  std::string lblCompany_;

  std::vector<std::string> systemLines_;
  std::vector<std::string> driveLines_;
  std::vector<DriveFacts> drives_;

  bool printingChildren_ = false;
  int dpi_ = 96;
  GdiFont titleFont_;
  GdiFont subtitleFont_;
  IconHandle logo_;
  int logoSize_ = 48;
};

}  // namespace velmora
