#include "about/frmAbout.h"

#include <commctrl.h>

#include <iterator>

#include "about/system_facts_win.h"
#include "core/product.h"
#include "model/text.h"
#include "platform/ui_win.h"
#include "resource.h"

namespace velmora {

namespace {

constexpr const char* kPageClassName = "VelmoraAboutPage";
// Ctrl+Tab and Ctrl+Shift+Tab turn the tabs, as in any tabbed dialog.
constexpr int kNextTabId = 201;
constexpr int kPreviousTabId = 202;
constexpr ACCEL kAccelerators[] = {
    {FVIRTKEY | FCONTROL, VK_TAB, kNextTabId},
    {FVIRTKEY | FCONTROL | FSHIFT, VK_TAB, kPreviousTabId},
};
constexpr const char* kDefaultCopyright = "Copyright \xA9 2026 the Velmora developers";
constexpr const char* kNotice =
    "Velmora keeps a thin toolbar at the top of the screen. Its buttons open quick menus "
    "of your programs, documents, folders and web addresses.";

struct TabEntry {
  const char* caption;
  const char* key;
};
constexpr TabEntry kTabs[] = {{"Velmora", "velmora"}, {"System", "system"}, {"Drives", "drives"}};
static_assert(std::size(kTabs) == frmAbout::kTabDrives + 1);

int LineHeight(HDC dc) {
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  return tm.tmHeight + tm.tmExternalLeading;
}

void TextAt(HDC dc, int x, int y, const std::string& text) {
  if (!text.empty()) TextOutA(dc, x, y, text.data(), static_cast<int>(text.size()));
}

}  // namespace

frmAbout::frmAbout(HINSTANCE instance) : instance_(instance) {}

frmAbout::~frmAbout() = default;

void frmAbout::ShowAbout() {
  if (Visible()) {
    // Already open: only forward; the pages keep what they show.
    if (IsIconic(hwnd())) ShowWindow(hwnd(), SW_RESTORE);
    BringWindowToTop(hwnd());
    SetForegroundWindow(hwnd());
    return;
  }
  if (!Loaded() && !Load()) return;
  InitAbout();
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
  SetFocus(cmdOK_);
}

int frmAbout::CurrentTab() const {
  return tabStrip1_ ? static_cast<int>(SendMessageA(tabStrip1_, TCM_GETCURSEL, 0, 0)) : -1;
}

bool frmAbout::Load() {
  const Tpp tpp = Tpp::FromScreen();
  dpi_ = static_cast<int>(1440.0 / tpp.y + 0.5);
  const int w = TwipsToPxX(6200, tpp), h = TwipsToPxY(5930, tpp);

  HICON icon = LoadIconA(instance_, MAKEINTRESOURCEA(IDI_VELMORA));
  WindowArgs args;
  args.className = kClassName;
  args.title = kCaption;
  args.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  args.exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  args.x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
  args.y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  args.width = w;
  args.height = h;
  args.icon = icon ? icon : LoadIconA(nullptr, IDI_APPLICATION);
  args.dialogKeys = true;
  if (!CreateWindowFrom(args)) return false;
  SetAccelerators(kAccelerators, static_cast<int>(std::size(kAccelerators)));

  CreateFonts();

  tabStrip1_ = CreateChild(hwnd(), WC_TABCONTROLA, "",
                           WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, 0, 0, 10, 10, kTabStrip1Id);
  for (int i = 0; i < static_cast<int>(std::size(kTabs)); ++i) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(kTabs[i].caption);
    SendMessageA(tabStrip1_, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
  }
  picVelmora_.Create(hwnd(), kPicVelmoraId, 0, kPageClassName, 0,
                     {[this](HDC dc) { PaintPage(picVelmora_.hwnd(), dc); }, nullptr});
  drive1_ = CreateChild(hwnd(), WC_COMBOBOXA, "",
                        WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 0, 10, 10, kDrive1Id);
  picInfo_.Create(hwnd(), kPicInfoId, 0, kPageClassName, 0,
                  {[this](HDC dc) { PaintPage(picInfo_.hwnd(), dc); }, nullptr});
  cmdOK_ = CreateChild(hwnd(), "BUTTON", "OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0,
                       10, 10, kOkId);
  // Children are created on top of one another; the strip must lie under the
  // pages, or it would take their clicks and draw over them in a capture.
  SetWindowPos(tabStrip1_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  drives_ = GatherDrives(false);
  for (const DriveFacts& drive : drives_)
    SendMessageA(drive1_, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(DriveListCaption(drive).c_str()));
  char current[MAX_PATH] = "";
  GetCurrentDirectoryA(MAX_PATH, current);
  if (!drives_.empty())
    SendMessageA(drive1_, CB_SETCURSEL, DefaultDriveIndex(drives_, current), 0);

  Layout();
  SendMessageA(tabStrip1_, TCM_SETCURSEL, kTabVelmora, 0);
  TabStrip1_Click();
  return true;
}

void frmAbout::InitAbout() {
  const Tpp tpp = Tpp::FromScreen();
  SetWindowTextA(hwnd(), kCaption);
  SetWindowPos(hwnd(), nullptr, 0, 0, TwipsToPxX(6200, tpp), TwipsToPxY(5930, tpp),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  const ProgramVersion version = GatherProgramVersion();
  lblVersion_ = VersionText(version.major, version.minor, version.revision);
  lblCopyright_ = version.copyright.empty() ? kDefaultCopyright : version.copyright;
  lblCompany_ = std::string("Support: ") + kSupportEmail;
  Layout();
  InvalidateRect(picVelmora_.hwnd(), nullptr, FALSE);
}

void frmAbout::CreateFonts() {
  titleFont_ = DerivedUiFont(18, FW_BOLD, dpi_);
  subtitleFont_ = DerivedUiFont(10, FW_NORMAL, dpi_);
  logoSize_ = MulDiv(48, dpi_, 96);
  logo_.reset(static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(IDI_VELMORA), IMAGE_ICON,
                                            logoSize_, logoSize_, LR_DEFAULTCOLOR)));
}

void frmAbout::FreeResources() {
  titleFont_.reset();
  subtitleFont_.reset();
  logo_.reset();
}

void frmAbout::Layout() {
  if (!tabStrip1_) return;
  const Tpp tpp = Tpp::FromScreen();
  RECT client;
  GetClientRect(hwnd(), &client);
  const int margin = TwipsToPxX(120, tpp);
  const int okW = TwipsToPxX(1215, tpp), okH = TwipsToPxY(375, tpp);
  const int okTop = client.bottom - margin - okH;
  MoveWindow(cmdOK_, client.right - margin - okW, okTop, okW, okH, TRUE);

  RECT tab{margin, margin, client.right - margin, okTop - margin};
  MoveWindow(tabStrip1_, tab.left, tab.top, tab.right - tab.left, tab.bottom - tab.top, TRUE);
  RECT page{0, 0, tab.right - tab.left, tab.bottom - tab.top};
  SendMessageA(tabStrip1_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
  OffsetRect(&page, tab.left, tab.top);
  const int inset = TwipsToPxX(60, tpp);
  InflateRect(&page, -inset, -inset);
  const int pageW = page.right - page.left, pageH = page.bottom - page.top;
  MoveWindow(picVelmora_.hwnd(), page.left, page.top, pageW, pageH, TRUE);

  // The drop-down list gets room for a dozen drives below the box.
  MoveWindow(drive1_, page.left, page.top, pageW, pageH, TRUE);
  RECT combo;
  GetWindowRect(drive1_, &combo);
  const int comboH = combo.bottom - combo.top;
  const int gap = TwipsToPxY(90, tpp);
  MoveWindow(picInfo_.hwnd(), page.left, page.top + comboH + gap, pageW, pageH - comboH - gap, TRUE);
}

void frmAbout::TabStrip1_Click() {
  const int index = CurrentTab();
  if (index < 0 || index >= static_cast<int>(std::size(kTabs))) return;
  const char* key = kTabs[index].key;
  if (IEquals(key, "velmora")) {
    aboutPartsVisible_ = true;
    ShowWindow(drive1_, SW_HIDE);
    ShowWindow(picInfo_.hwnd(), SW_HIDE);
    ShowWindow(picVelmora_.hwnd(), SW_SHOW);
    InvalidateRect(picVelmora_.hwnd(), nullptr, FALSE);
  } else if (IEquals(key, "drives")) {
    ShowWindow(picVelmora_.hwnd(), SW_HIDE);
    ShowWindow(drive1_, SW_SHOW);
    ShowWindow(picInfo_.hwnd(), SW_SHOW);
    PrintDriveReport();
  } else if (IEquals(key, "system")) {
    ShowWindow(drive1_, SW_HIDE);
    ShowWindow(picInfo_.hwnd(), SW_HIDE);
    aboutPartsVisible_ = false;
    ShowWindow(picVelmora_.hwnd(), SW_SHOW);
    PrintSystemReport();
  }
}

void frmAbout::Drive1_Change() {
  PrintDriveReport();
  UpdateWindow(picInfo_.hwnd());
}

void frmAbout::PrintSystemReport() {
  const SystemFacts facts = GatherSystemFacts();
  systemLines_.clear();
  InvalidateRect(picVelmora_.hwnd(), nullptr, FALSE);
  if (!facts.versionKnown) {
    MessageBoxA(hwnd(), kVersionErrorText, kAppTitle, MB_OK | MB_ICONINFORMATION);
    return;
  }
  systemLines_ = SystemReportLines(facts);
}

void frmAbout::PrintDriveReport() {
  const LRESULT index = SendMessageA(drive1_, CB_GETCURSEL, 0, 0);
  driveLines_.clear();
  if (index >= 0 && static_cast<std::size_t>(index) < drives_.size()) {
    DriveFacts& drive = drives_[static_cast<std::size_t>(index)];
    FillDriveSizes(drive);
    driveLines_ = DriveReportLines(drive);
  } else {
    // No drive at all: the page still shows its lines, with zeros.
    driveLines_ = DriveReportLines(DriveFacts{});
  }
  InvalidateRect(picInfo_.hwnd(), nullptr, FALSE);
}

void frmAbout::Paint(HDC dc, bool withChildren) {
  RECT client;
  GetClientRect(hwnd(), &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  if (!withChildren) return;
  // Bottom of the Z order first, so that what lies on top is drawn last.
  HWND child = GetWindow(hwnd(), GW_CHILD);
  if (child) child = GetWindow(child, GW_HWNDLAST);
  for (; child; child = GetWindow(child, GW_HWNDPREV)) {
    if (!IsWindowVisible(child)) continue;
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
    const int saved = SaveDC(dc);
    OffsetViewportOrgEx(dc, r.left, r.top, nullptr);
    IntersectClipRect(dc, 0, 0, r.right - r.left, r.bottom - r.top);
    if (child == picVelmora_.hwnd() || child == picInfo_.hwnd())
      PaintPage(child, dc);
    else
      SendMessageA(child, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                   PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
    RestoreDC(dc, saved);
  }
}

void frmAbout::PaintPage(HWND page, HDC dc) {
  RECT box;
  GetClientRect(page, &box);
  FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOW));
  DrawEdge(dc, &box, EDGE_SUNKEN, BF_RECT);
  InflateRect(&box, -2, -2);
  const Tpp tpp = Tpp::FromScreen();
  SetBkMode(dc, TRANSPARENT);
  if (page == picVelmora_.hwnd()) {
    if (aboutPartsVisible_)
      PaintAboutPage(dc, box);
    else
      PaintLines(dc, box, TwipsToPxY(100, tpp), systemLines_);
  } else if (page == picInfo_.hwnd()) {
    PaintLines(dc, box, TwipsToPxY(100, tpp), driveLines_);
  }
}

void frmAbout::PaintLines(HDC dc, const RECT& box, int top, const std::vector<std::string>& lines) {
  Selection font(dc, UiFont());
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  const int height = LineHeight(dc);
  const int x = box.left + MulDiv(4, dpi_, 96);
  int y = box.top + top;
  for (const std::string& line : lines) {
    TextAt(dc, x, y, line);
    y += height;
  }
}

void frmAbout::PaintAboutPage(HDC dc, const RECT& box) {
  const int pad = MulDiv(16, dpi_, 96);
  // picLogo and picTitle: the icon with the program's name beside it.
  const int logoTop = box.top + pad;
  // The system's application icon is shared: it is drawn, never owned.
  HICON logo = logo_ ? logo_.get() : LoadIconA(nullptr, IDI_APPLICATION);
  DrawIconEx(dc, box.left + pad, logoTop, logo, logoSize_, logoSize_, 0, nullptr, DI_NORMAL);
  const int textLeft = box.left + pad + logoSize_ + pad;
  int y;
  {
    HFONT title = titleFont_ ? titleFont_.get() : UiFont();
    HFONT subtitle = subtitleFont_ ? subtitleFont_.get() : UiFont();
    int titleH = 0, subH = 0;
    {
      Selection font(dc, title);
      titleH = LineHeight(dc);
    }
    {
      Selection font(dc, subtitle);
      subH = LineHeight(dc);
    }
    y = logoTop + (logoSize_ - titleH - subH) / 2;
    {
      Selection font(dc, title);
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHT));
      TextAt(dc, textLeft, y, kAppTitle);
    }
    Selection font(dc, subtitle);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    TextAt(dc, textLeft, y + titleH, "Desktop launcher");
  }
  int lineY = logoTop + logoSize_ + pad;
  RECT rule{box.left + pad, lineY, box.right - pad, lineY + 2};
  DrawEdge(dc, &rule, EDGE_ETCHED, BF_TOP);

  // lblVersion, lblCopyright, lblCompany.
  Selection font(dc, UiFont());
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  const int lineH = LineHeight(dc);
  y = lineY + pad;
  TextAt(dc, textLeft, y, lblVersion_);
  y += lineH + lineH / 3;
  TextAt(dc, textLeft, y, lblCopyright_);
  y += lineH + lineH / 3;
  TextAt(dc, textLeft, y, lblCompany_);
  y += lineH * 2;

  // The notice sits at the foot of the page, under a rule of its own.
  RECT notice{textLeft, y, box.right - pad, box.bottom - pad};
  RECT measure = notice;
  DrawTextA(dc, kNotice, -1, &measure, DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
  const int noticeH = measure.bottom - measure.top;
  if (notice.bottom - noticeH - pad > y) {
    notice.top = notice.bottom - noticeH;
    RECT footRule{box.left + pad, notice.top - pad, box.right - pad, notice.top - pad + 2};
    DrawEdge(dc, &footRule, EDGE_ETCHED, BF_TOP);
  }
  SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  DrawTextA(dc, kNotice, -1, &notice, DT_WORDBREAK | DT_NOPREFIX | DT_LEFT | DT_TOP);
}

void frmAbout::TurnTab(int step) {
  const int count = static_cast<int>(std::size(kTabs));
  SendMessageA(tabStrip1_, TCM_SETCURSEL, (CurrentTab() + step + count) % count, 0);
  TabStrip1_Click();
}

bool frmAbout::OnCommand(int id, int code, HWND) {
  switch (id) {
    case kOkId:
    case IDCANCEL:
      Destroy();
      return true;
    case kDrive1Id:
      if (code != CBN_SELCHANGE) return false;
      Drive1_Change();
      return true;
    case kNextTabId:
      TurnTab(1);
      return true;
    case kPreviousTabId:
      TurnTab(-1);
      return true;
  }
  return false;
}

std::optional<LRESULT> frmAbout::OnNotify(NMHDR& header) {
  if (header.idFrom != static_cast<UINT_PTR>(kTabStrip1Id) || header.code != TCN_SELCHANGE)
    return std::nullopt;
  TabStrip1_Click();
  return 0;
}

LRESULT frmAbout::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ACTIVATE:
      // Keep the focus where the user left it when the box is switched away from.
      if (LOWORD(wp) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd(), focus)) lastFocus_ = focus;
      } else {
        SetFocus(lastFocus_ && IsWindowVisible(lastFocus_) ? lastFocus_ : cmdOK_);
      }
      return 0;
    case WM_CLOSE:
      Destroy();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd(), &ps);
      Paint(dc, false);
      EndPaint(hwnd(), &ps);
      return 0;
    }
    case WM_PRINTCLIENT: {
      // Themed controls ask for their parent's background with a bare
      // PRF_CLIENT; drawing the children then would draw them into themselves.
      const bool children = (lp & PRF_CHILDREN) && !printingChildren_;
      printingChildren_ = printingChildren_ || children;
      Paint(reinterpret_cast<HDC>(wp), children);
      if (children) printingChildren_ = false;
      return 0;
    }
  }
  return Window::HandleMessage(msg, wp, lp);
}

void frmAbout::OnDestroyed() {
  tabStrip1_ = drive1_ = cmdOK_ = lastFocus_ = nullptr;
  systemLines_.clear();
  driveLines_.clear();
  drives_.clear();
  aboutPartsVisible_ = true;
  FreeResources();
}

}  // namespace velmora
