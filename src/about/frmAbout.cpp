#include "about/frmAbout.h"

#include <commctrl.h>

#include <iterator>

#include "about/system_facts_win.h"
#include "model/text.h"
#include "platform/ui_win.h"
#include "resource.h"

namespace velmora {

namespace {

constexpr const char* kPageClassName = "VelmoraAboutPage";
constexpr const char* kSupportMail = "support@velmora.app";
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

// Selects a GDI object into a DC for one scope and puts the old one back.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~Selected() {
    if (old_) SelectObject(dc_, old_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

int LineHeight(HDC dc) {
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  return tm.tmHeight + tm.tmExternalLeading;
}

void TextAt(HDC dc, int x, int y, const std::string& text) {
  if (!text.empty()) TextOutA(dc, x, y, text.data(), static_cast<int>(text.size()));
}

bool IsDroppedCombo(HWND hwnd) {
  char cls[32] = "";
  GetClassNameA(hwnd, cls, sizeof cls);
  return lstrcmpiA(cls, WC_COMBOBOXA) == 0 && SendMessageA(hwnd, CB_GETDROPPEDSTATE, 0, 0);
}

}  // namespace

frmAbout::frmAbout(HINSTANCE instance) : instance_(instance) {}

frmAbout::~frmAbout() {
  Destroy();
  FreeResources();
}

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

bool frmAbout::PreTranslateMessage(MSG& msg) {
  if (!Loaded() || (msg.hwnd != hwnd() && !IsChild(hwnd(), msg.hwnd))) return false;
  return IsDialogMessageA(hwnd(), &msg) != FALSE;
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
  if (!CreateWindowFrom(args)) return false;

  WNDCLASSEXA pageClass{};
  pageClass.cbSize = sizeof pageClass;
  if (!GetClassInfoExA(instance_, kPageClassName, &pageClass)) {
    pageClass.lpfnWndProc = &frmAbout::PageProc;
    pageClass.hInstance = instance_;
    pageClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    pageClass.lpszClassName = kPageClassName;
    RegisterClassExA(&pageClass);
  }

  CreateFonts();

  tabStrip1_ = CreateChild(hwnd(), WC_TABCONTROLA, "",
                           WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, 0, 0, 10, 10, kTabStrip1Id);
  for (int i = 0; i < static_cast<int>(std::size(kTabs)); ++i) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(kTabs[i].caption);
    SendMessageA(tabStrip1_, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
  }
  picVelmora_ = CreateWindowExA(0, kPageClassName, "", WS_CHILD, 0, 0, 10, 10, hwnd(),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPicVelmoraId)),
                                instance_, this);
  drive1_ = CreateChild(hwnd(), WC_COMBOBOXA, "",
                        WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 0, 10, 10, kDrive1Id);
  picInfo_ = CreateWindowExA(0, kPageClassName, "", WS_CHILD, 0, 0, 10, 10, hwnd(),
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPicInfoId)), instance_,
                             this);
  cmdOK_ = CreateChild(hwnd(), "BUTTON", "OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0,
                       10, 10, kOkId);
  // Children are created on top of one another; the strip must lie under the
  // pages, or it would take their clicks and draw over them in a capture.
  SetWindowPos(tabStrip1_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  for (HWND control : {tabStrip1_, drive1_, cmdOK_})
    SetWindowSubclass(control, &frmAbout::KeysProc, 1, reinterpret_cast<DWORD_PTR>(this));

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
  lblCompany_ = std::string("Support: ") + kSupportMail;
  Layout();
  InvalidateRect(picVelmora_, nullptr, FALSE);
}

void frmAbout::CreateFonts() {
  FreeResources();
  LOGFONTA lf{};
  GetObjectA(UiFont(), sizeof lf, &lf);
  lf.lfHeight = -MulDiv(18, dpi_, 72);
  lf.lfWeight = FW_BOLD;
  titleFont_ = CreateFontIndirectA(&lf);

  GetObjectA(UiFont(), sizeof lf, &lf);
  lf.lfHeight = -MulDiv(10, dpi_, 72);
  subtitleFont_ = CreateFontIndirectA(&lf);

  logoSize_ = MulDiv(48, dpi_, 96);
  logo_ = static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(IDI_VELMORA), IMAGE_ICON,
                                        logoSize_, logoSize_, LR_DEFAULTCOLOR));
  logoOwned_ = logo_ != nullptr;
  if (!logo_) logo_ = LoadIconA(nullptr, IDI_APPLICATION);  // shared: never destroyed
}

void frmAbout::FreeResources() {
  if (titleFont_) DeleteObject(titleFont_);
  if (subtitleFont_) DeleteObject(subtitleFont_);
  if (logo_ && logoOwned_) DestroyIcon(logo_);
  titleFont_ = subtitleFont_ = nullptr;
  logo_ = nullptr;
  logoOwned_ = false;
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
  MoveWindow(picVelmora_, page.left, page.top, pageW, pageH, TRUE);

  // The drop-down list gets room for a dozen drives below the box.
  MoveWindow(drive1_, page.left, page.top, pageW, pageH, TRUE);
  RECT combo;
  GetWindowRect(drive1_, &combo);
  const int comboH = combo.bottom - combo.top;
  const int gap = TwipsToPxY(90, tpp);
  MoveWindow(picInfo_, page.left, page.top + comboH + gap, pageW, pageH - comboH - gap, TRUE);
}

void frmAbout::TabStrip1_Click() {
  const int index = CurrentTab();
  if (index < 0 || index >= static_cast<int>(std::size(kTabs))) return;
  const char* key = kTabs[index].key;
  if (IEquals(key, "velmora")) {
    aboutPartsVisible_ = true;
    ShowWindow(drive1_, SW_HIDE);
    ShowWindow(picInfo_, SW_HIDE);
    ShowWindow(picVelmora_, SW_SHOW);
    InvalidateRect(picVelmora_, nullptr, FALSE);
  } else if (IEquals(key, "drives")) {
    ShowWindow(picVelmora_, SW_HIDE);
    ShowWindow(drive1_, SW_SHOW);
    ShowWindow(picInfo_, SW_SHOW);
    PrintDriveReport();
  } else if (IEquals(key, "system")) {
    ShowWindow(drive1_, SW_HIDE);
    ShowWindow(picInfo_, SW_HIDE);
    aboutPartsVisible_ = false;
    ShowWindow(picVelmora_, SW_SHOW);
    PrintSystemReport();
  }
}

void frmAbout::Drive1_Change() {
  PrintDriveReport();
  UpdateWindow(picInfo_);
}

void frmAbout::PrintSystemReport() {
  const SystemFacts facts = GatherSystemFacts();
  systemLines_.clear();
  InvalidateRect(picVelmora_, nullptr, FALSE);
  if (!facts.versionKnown) {
    MessageBoxA(hwnd(), kVersionErrorText, "Velmora", MB_OK | MB_ICONINFORMATION);
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
  InvalidateRect(picInfo_, nullptr, FALSE);
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
    if (child == picVelmora_ || child == picInfo_)
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
  if (page == picVelmora_) {
    if (aboutPartsVisible_)
      PaintAboutPage(dc, box);
    else
      PaintLines(dc, box, TwipsToPxY(100, tpp), systemLines_);
  } else if (page == picInfo_) {
    PaintLines(dc, box, TwipsToPxY(100, tpp), driveLines_);
  }
}

void frmAbout::PaintLines(HDC dc, const RECT& box, int top, const std::vector<std::string>& lines) {
  Selected font(dc, UiFont());
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
  if (logo_)
    DrawIconEx(dc, box.left + pad, logoTop, logo_, logoSize_, logoSize_, 0, nullptr, DI_NORMAL);
  const int textLeft = box.left + pad + logoSize_ + pad;
  int y;
  {
    Selected font(dc, titleFont_ ? titleFont_ : UiFont());
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHT));
    const int titleH = LineHeight(dc);
    Selected sub(dc, subtitleFont_ ? subtitleFont_ : UiFont());
    const int subH = LineHeight(dc);
    y = logoTop + (logoSize_ - titleH - subH) / 2;
    SelectObject(dc, titleFont_ ? titleFont_ : UiFont());
    TextAt(dc, textLeft, y, "Velmora");
    SelectObject(dc, subtitleFont_ ? subtitleFont_ : UiFont());
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    TextAt(dc, textLeft, y + titleH, "Desktop launcher");
  }
  int lineY = logoTop + logoSize_ + pad;
  RECT rule{box.left + pad, lineY, box.right - pad, lineY + 2};
  DrawEdge(dc, &rule, EDGE_ETCHED, BF_TOP);

  // lblVersion, lblCopyright, lblCompany.
  Selected font(dc, UiFont());
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

bool frmAbout::OnDialogKey(HWND from, WPARAM key) {
  if (IsDroppedCombo(from)) return false;  // Esc and Enter close the list first
  const bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
  switch (key) {
    case VK_ESCAPE:
      PostMessageA(hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      return true;
    case VK_RETURN:
      PostMessageA(hwnd(), WM_COMMAND, MAKEWPARAM(kOkId, BN_CLICKED), 0);
      return true;
    case VK_TAB:
      if (ctrl) {
        const int count = static_cast<int>(std::size(kTabs));
        const int next = (CurrentTab() + (shift ? count - 1 : 1)) % count;
        SendMessageA(tabStrip1_, TCM_SETCURSEL, next, 0);
        TabStrip1_Click();
      } else if (HWND next = GetNextDlgTabItem(hwnd(), from, shift)) {
        SetFocus(next);
      }
      return true;
  }
  return false;
}

LRESULT CALLBACK frmAbout::KeysProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                    DWORD_PTR self) {
  auto* form = reinterpret_cast<frmAbout*>(self);
  switch (msg) {
    case WM_KEYDOWN:
      if ((wp == VK_ESCAPE || wp == VK_RETURN || wp == VK_TAB) && form->OnDialogKey(hwnd, wp))
        return 0;
      break;
    case WM_CHAR:
      // The key-down already acted; without this the control would beep.
      if ((wp == 27 || wp == '\r' || wp == '\t') && !IsDroppedCombo(hwnd)) return 0;
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, &frmAbout::KeysProc, 1);
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK frmAbout::PageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE)
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(
                                               reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
  auto* form = reinterpret_cast<frmAbout*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (PaintMessage(hwnd, msg, wp, [&](HDC dc) {
        if (form) form->PaintPage(hwnd, dc);
      }))
    return 0;
  if (msg == WM_ERASEBKGND) return 1;  // the page paints every pixel
  return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT frmAbout::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wp) == kOkId || LOWORD(wp) == IDCANCEL) {
        Destroy();
        return 0;
      }
      if (LOWORD(wp) == kDrive1Id && HIWORD(wp) == CBN_SELCHANGE) {
        Drive1_Change();
        return 0;
      }
      break;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lp);
      if (header->idFrom == static_cast<UINT_PTR>(kTabStrip1Id) && header->code == TCN_SELCHANGE) {
        TabStrip1_Click();
        return 0;
      }
      break;
    }
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
  tabStrip1_ = picVelmora_ = drive1_ = picInfo_ = cmdOK_ = lastFocus_ = nullptr;
  systemLines_.clear();
  driveLines_.clear();
  drives_.clear();
  aboutPartsVisible_ = true;
  FreeResources();
}

}  // namespace velmora
