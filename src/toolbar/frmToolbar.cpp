#include "toolbar/frmToolbar.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "core/app_state.h"
#include "core/dialogs.h"
#include "core/file_system.h"
#include "core/product.h"
#include "core/ui_host.h"
#include "model/item_record.h"
#include "model/options.h"
#include "model/state_files.h"
#include "model/text.h"
#include "platform/icon_cache_win.h"
#include "platform/image_list_win.h"
#include "platform/shell_icons_win.h"
#include "platform/ui_win.h"
#include "quickmenu/frmQMenu.h"
#include "resource.h"
#include "shell/own_menu.h"
#include "shell/startup.h"
#include "toolbar/toolbar_files.h"
#include "toolbar/toolbar_paint_win.h"

namespace velmora {

namespace {

constexpr int kToolbar1Id = 100;
constexpr int kStripId = 101;
constexpr UINT_PTR kTimer1 = 1;
constexpr const char* kStripClass = "VelmoraSingleButtons";

}  // namespace

frmToolbar::frmToolbar(ToolbarServices services) : s_(std::move(services)) {}
frmToolbar::~frmToolbar() { DropIdleWork(this); }

int frmToolbar::PxX(double twips) const { return TwipsToPxX(twips, s_.tpp); }
int frmToolbar::PxY(double twips) const { return TwipsToPxY(twips, s_.tpp); }

ToolbarFrame frmToolbar::Frame() const {
  RECT r{};
  GetWindowRect(hwnd(), &r);
  return {r.left * s_.tpp.x, r.top * s_.tpp.y, (r.right - r.left) * s_.tpp.x,
          (r.bottom - r.top) * s_.tpp.y};
}

void frmToolbar::SetLeft(double twips) {
  RECT r{};
  GetWindowRect(hwnd(), &r);
  SetWindowPos(hwnd(), nullptr, PxX(twips), r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

double frmToolbar::MessagePointerX() const {
  // Taken from the message itself: a move still queued was measured against
  // an older Left.
  return static_cast<short>(LOWORD(GetMessagePos())) * s_.tpp.x;
}

bool frmToolbar::Load() {
  WindowArgs args;
  args.className = "VelmoraToolbar";
  args.title = kAppTitle;
  args.style = WS_POPUP | WS_CLIPCHILDREN;
  args.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  args.icon = LoadIconA(s_.instance, MAKEINTRESOURCEA(IDI_VELMORA));
  args.x = GetSystemMetrics(SM_CXSCREEN);  // off screen until the build places it
  args.width = 1;
  args.height = 1;
  if (!CreateWindowFrom(args)) return false;
  dragCursor_ = LoadCursorA(s_.instance, MAKEINTRESOURCEA(IDC_DRAG));

  if (!CheckShellComponent(s_.shell, s_.dialogs)) return false;
  PrepareProgramFolders(s_.fs, s_.dialogs, s_.state);
  s_.state.AutoHide = 0;
  SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  CreateControls();
  SetLeft(ScreenWidthTwips(s_.tpp));
  LoadToolbar();
  return true;
}

void frmToolbar::CreateControls() {
  Toolbar1_ = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                              WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | CCS_NODIVIDER |
                                  CCS_NORESIZE | CCS_NOPARENTALIGN,
                              0, 0, 0, 0, hwnd(), reinterpret_cast<HMENU>(kToolbar1Id),
                              s_.instance, nullptr);
  SendMessageA(Toolbar1_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageA(Toolbar1_, TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 16));
  // The toolbar's own mouse moves drive the tool-tips.
  Subclass(Toolbar1_);
  picSingleButton_.Create(hwnd(), kStripId, 0, kStripClass, CS_DBLCLKS,
                          {[this](HDC dc) { PaintStrip(dc); },
                           [this](const MouseEvent& e) { return StripMouse(e); }});
}

// ---------------------------------------------------------------------------
// Building

void frmToolbar::LoadToolbar() {
  // Hidden and without its poll while it is built.
  ShowWindow(hwnd(), SW_HIDE);
  KillTimer(hwnd(), kTimer1);
  s_.icons.BeginRound();
  OfferSampleMenus(s_.fs, s_.shell, s_.dialogs, s_.state, reinterpret_cast<std::uintptr_t>(hwnd()));
  ToolbarBuildInput input = ReadToolbarBuildInput(s_.fs, s_.dialogs, s_.state, s_.splashProgress);
  input.tppx = s_.tpp.x;
  input.tppy = s_.tpp.y;
  input.screenWidth = ScreenWidthTwips(s_.tpp);
  model_.Build(input);
  FillToolbar1(model_.layout());
  // The control sizes its buttons only once they are in: measure, then lay out.
  const DWORD size = static_cast<DWORD>(SendMessageA(Toolbar1_, TB_GETBUTTONSIZE, 0, 0));
  toolbarHeightPx_ = HIWORD(size) + 2;
  const ToolbarLayout& layout = model_.Arrange(LOWORD(size), toolbarHeightPx_);
  MoveWindow(Toolbar1_, PxX(layout.toolbarLeft), PxY(layout.toolbarTop),
             LOWORD(size) * layout.ButtonCount(), toolbarHeightPx_, FALSE);
  FillStrip(layout);
  PlaceAndShow(layout);
  // The menus are built while the program is idle: reading icons out of
  // program files is the slow part of a first opening.
  prepareNext_ = 2;
  SetIdleWork(this, [this] { return PrepareNextMenu(); });
}

bool frmToolbar::AddIconTo(KeyedImageList& list, const std::string& key, const IconSource& icon) const {
  if (icon.kind == IconKind::File && s_.icons.AddTo(list, key, icon.path)) return true;
  if (icon.picture.empty()) return false;
  const IconHandle picture = s_.images.IconOf(icon.picture);
  return picture && AddIconPixels(list, key, picture.get());  // the list keeps its own copy
}

void frmToolbar::PlaceFixed() {
  SetLeft(model_.FixedLeft(ScreenWidthTwips(s_.tpp), Frame().width));
}

void frmToolbar::FillToolbar1(const ToolbarLayout& layout) {
  KeyedImageList& images = s_.images;
  SendMessageA(Toolbar1_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.handle()));
  // Collected and added in one go: the control lays itself out again after
  // every addition.
  std::vector<TBBUTTON> buttons;
  for (const ToolbarButton& button : layout.buttons) {
    images.Remove(button.key);
    if (button.key == kProgramButtonKey) {
      // The program's own button shows the program's icon, from its resources.
      AddIconPixels(images, button.key, SmallResourceIcon(s_.instance, IDI_VELMORA).get());
    } else {
      AddIconTo(images, button.key, button.icon);
    }
    imageKeys_.push_back(button.key);
    TBBUTTON tb{};
    tb.iBitmap = images.IndexOf(button.key);
    tb.idCommand = static_cast<int>(buttons.size()) + 1;  // the button's number
    tb.fsState = TBSTATE_ENABLED;
    tb.fsStyle = BTNS_BUTTON;
    buttons.push_back(tb);
  }
  // Room above and below the icon: the window's top rows lie above the screen
  // edge, and the icon must still show whole.
  SendMessageA(Toolbar1_, TB_SETBUTTONSIZE, 0, MAKELPARAM(PxX(345), PxY(450)));
  SendMessageA(Toolbar1_, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
}

void frmToolbar::FillStrip(const ToolbarLayout& layout) {
  singleImages_ = std::make_unique<KeyedImageList>();
  for (std::size_t i = 0; i < layout.singles.size(); ++i)
    AddIconTo(*singleImages_, StripIconKey(i), layout.singles[i].icon);
  HWND strip = picSingleButton_.hwnd();
  if (!layout.stripVisible) {
    ShowWindow(strip, SW_HIDE);
    return;
  }
  MoveWindow(strip, PxX(layout.stripLeft), 0, PxX(layout.stripWidth), toolbarHeightPx_, FALSE);
  ShowWindow(strip, SW_SHOWNA);
}

void frmToolbar::PlaceAndShow(const ToolbarLayout& layout) {
  if (layout.placement.tooWide) s_.dialogs.Show(kTooWideText, MsgButtons::Ok, MsgIcon::None);
  SetWindowPos(hwnd(), HWND_TOPMOST, PxX(layout.placement.left), PxY(layout.top), PxX(layout.width),
               PxY(layout.height), SWP_NOACTIVATE);
  InvalidateRect(hwnd(), nullptr, TRUE);
  ShowWindow(hwnd(), s_.state.AutoHide ? SW_SHOWNA : SW_SHOW);
  SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (!s_.state.AutoHide) SetForegroundWindow(hwnd());
  // The poll keeps the window where it was measured to be, in whole pixels.
  model_.Placed(Frame());
  SetTimer(hwnd(), kTimer1, static_cast<UINT>(model_.PollInterval()), nullptr);
}

void frmToolbar::UnloadItems() {
  DropIdleWork(this);
  KillTimer(hwnd(), kTimer1);
  ShowWindow(hwnd(), SW_HIDE);
  singleImages_.reset();
  if (picSingleButton_.Loaded()) ShowWindow(picSingleButton_.hwnd(), SW_HIDE);
  menus_.clear();
  if (Toolbar1_) {
    while (SendMessageA(Toolbar1_, TB_DELETEBUTTON, 0, 0)) {}
    SendMessageA(Toolbar1_, TB_SETIMAGELIST, 0, 0);
  }
  for (const auto& key : imageKeys_) s_.images.Remove(key);
  imageKeys_.clear();
  model_.Clear();
  cursorWindow_ = nullptr;
}

void frmToolbar::InitNewButtons() {
  UnloadItems();
  LoadToolbar();
  if (s_.afterBuild) s_.afterBuild();
}

bool frmToolbar::SavePosition(double left, bool wait) {
  const std::string path = s_.state.folders.program + kToolbarPosFile;
  const std::string bytes = EncodeToolbarPos(left);
  return wait ? s_.fs.WriteAll(path, bytes) : s_.fs.WriteAllNow(path, bytes);
}

void frmToolbar::Unload() {
  if (!Loaded()) return;
  KillTimer(hwnd(), kTimer1);
  SaveOptions(s_.fs, s_.state.folders.program, s_.state.options);
  SavePosition(Frame().left, true);
  s_.icons.Save();
  UnloadItems();
  Destroy();
}

// ---------------------------------------------------------------------------
// Effects

void frmToolbar::Apply(const ToolbarEffects& fx) {
  if (fx.stopPoll) KillTimer(hwnd(), kTimer1);
  if (fx.hideTip && s_.tip.Showing()) s_.tip.Hide();
  if (fx.showAndActivate) {
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    SetActiveWindow(hwnd());
  }
  if (fx.rebuild) {
    InitNewButtons();
    return;
  }
  if (fx.restoreTop) {
    RECT r{};
    GetWindowRect(hwnd(), &r);
    SetWindowPos(hwnd(), nullptr, r.left, PxY(*fx.restoreTop), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // A failed save (the file held open elsewhere) is tried again next time.
  if (fx.savePosition && SavePosition(*fx.savePosition, false)) model_.PositionSaved(*fx.savePosition);
  if (fx.rememberCursorWindow) {
    POINT cursor{};
    GetCursorPos(&cursor);
    cursorWindow_ = WindowFromPoint(cursor);
  }
  if (fx.clearCursorWindow) cursorWindow_ = nullptr;
  // A tip never lies over an open menu, not even one that a click opened
  // while the tip was on its way (showing it lets pending messages run).
  if (fx.showTip && !s_.state.MenuOpen) {
    s_.tip.Show(*fx.showTip);
    if (s_.state.MenuOpen) s_.tip.Hide();
  }
  if (fx.hideMenus)
    for (auto& [key, menu] : menus_) ShowWindow(menu->hwnd(), SW_HIDE);
  if (fx.run) {
    WaitCursor wait;
    std::string command = *fx.run;
    s_.runner.RunItem(command);
  }
  if (fx.message) s_.dialogs.Show(*fx.message, MsgButtons::Ok, MsgIcon::Information);
  if (fx.openMenu) OpenMenu(*fx.openMenu);
  if (fx.pollInterval) SetTimer(hwnd(), kTimer1, static_cast<UINT>(*fx.pollInterval), nullptr);
  if (fx.hideWindow) ShowWindow(hwnd(), SW_HIDE);
  if (fx.setLeft) SetLeft(*fx.setLeft);
  if (fx.capture) SetCapture(hwnd());
  if (fx.releaseCapture && GetCapture() == hwnd()) ReleaseCapture();
  if (fx.resetButtons)
    for (int i = 1; i <= model_.layout().ButtonCount(); ++i)
      SendMessageA(Toolbar1_, TB_SETSTATE, i, MAKELONG(TBSTATE_ENABLED, 0));
}

frmQMenu* frmToolbar::QuickMenu(int index) const {
  const auto found = menus_.find(QuickMenuKey(index));
  return found == menus_.end() ? nullptr : found->second.get();
}

frmQMenu* frmToolbar::CreateMenu(const MenuRequest& request) {
  if (request.buildOwnMenu) {
    // The file is written as always; the menu shows the records themselves,
    // so a file that cannot be written never costs the user the Exit row.
    std::string folder = s_.state.folders.program;
    BuildOwnMenu(s_.fs, folder);
  }
  QMenuServices services{s_.tpp, s_.fs, s_.state, s_.images, s_.icons, s_.ui, nullptr};
  if (request.index == 1) {
    const auto command = s_.ownMenuCommand;
    services.run = [command](const QMenuRun& run) {
      if (command) command(run.label);
    };
  } else {
    services.run = s_.runEntry;
  }
  auto& menu = menus_[request.key];
  menu = MakeWindow<frmQMenu>(std::move(services), request.key);
  if (request.index == 1)
    menu->InitQMenu(OwnMenuRecords(), request.left, request.top);
  else
    menu->InitQMenu(request.file, request.left, request.top);
  return menu.get();
}

void frmToolbar::OpenMenu(const MenuRequest& request) {
  frmQMenu* menu = QuickMenu(request.index);
  if (!menu) {
    WaitCursor wait;
    menu = CreateMenu(request);
  }
  menu->ShowAt(request.left, request.top);
  s_.state.MenuOpen = 1;
  s_.state.OpenMenu = request.key;
}

bool frmToolbar::PrepareNextMenu() {
  // One menu per idle moment, hidden, its first page painted, so that a click
  // only has to show the window. The own menu is left to its first click: it
  // is small, and its file is written only when it is opened.
  const int count = model_.layout().ButtonCount();
  while (prepareNext_ <= count && (QuickMenu(prepareNext_) || !model_.OpensMenu(prepareNext_)))
    ++prepareNext_;
  if (prepareNext_ > count) {
    // Every icon this toolbar shows has been looked up: the cache keeps those.
    s_.icons.EndRound();
    s_.icons.Save();
    return false;
  }
  CreateMenu(model_.MenuFor(prepareNext_++, Frame(), false))->Prepare();
  return prepareNext_ <= count;
}

void frmToolbar::LaunchSingleButton() {
  s_.tip.Hide();
  s_.ui.DoEvents();
  Apply(model_.LaunchSingleButton());
}

// ---------------------------------------------------------------------------
// Messages

std::optional<LRESULT> frmToolbar::OnControlMessage(HWND control, UINT msg, WPARAM, LPARAM lp) {
  if (control != Toolbar1_) return std::nullopt;
  if (msg == WM_MOUSEMOVE) {
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    Apply(model_.Toolbar1MouseMove(static_cast<short>(LOWORD(lp)) * s_.tpp.x,
                                   static_cast<short>(HIWORD(lp)) * s_.tpp.y));
  } else if (msg == WM_LBUTTONDOWN) {
    s_.tip.Hide();
  }
  return std::nullopt;  // the control still does its own work
}

bool frmToolbar::StripMouse(const MouseEvent& e) {
  const Options& options = s_.state.options;
  switch (e.message) {
    case WM_MOUSEMOVE:
      SetCursor(LoadCursorA(nullptr, IDC_ARROW));
      Apply(model_.SingleButtonMouseMove(e.pt.x * s_.tpp.x, e.pt.y * s_.tpp.y));
      return true;
    case WM_LBUTTONDOWN:
      s_.tip.Hide();
      s_.ui.DoEvents();
      return true;
    case WM_LBUTTONUP:
      if (SingleButtonLaunches(false, options)) LaunchSingleButton();
      return true;
    case WM_LBUTTONDBLCLK:
      if (SingleButtonLaunches(true, options)) LaunchSingleButton();
      return true;
  }
  return false;
}

bool frmToolbar::OnCommand(int id, int code, HWND control) {
  if (control != Toolbar1_ || code != BN_CLICKED) return false;
  Apply(model_.ButtonClick(id, Frame(), QuickMenu(id) != nullptr));
  return true;
}

std::optional<LRESULT> frmToolbar::OnNotify(NMHDR& header) {
  if (header.hwndFrom != Toolbar1_ || header.code != NM_CUSTOMDRAW) return std::nullopt;
  return DrawToolbarButton(reinterpret_cast<NMTBCUSTOMDRAW&>(header));
}

void frmToolbar::OnTimer(UINT_PTR id) {
  if (id != kTimer1) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  HWND under = WindowFromPoint(cursor);
  PollInput in;
  in.cursorX = cursor.x * s_.tpp.x;
  in.cursorY = cursor.y * s_.tpp.y;
  in.cursorOverStrip = under == picSingleButton_.hwnd();
  in.cursorOverRememberedWindow = under == cursorWindow_;
  in.visible = IsWindowVisible(hwnd()) != FALSE;
  in.active = GetActiveWindow() == hwnd();
  in.minimized = s_.state.Minimized != 0;
  in.autoHide = s_.state.AutoHide != 0;
  in.menuOpen = s_.state.MenuOpen != 0;
  in.frame = Frame();
  in.screenWidth = ScreenWidthTwips(s_.tpp);
  Apply(model_.Tick(in));
}

bool frmToolbar::OnMouse(const MouseEvent& e) {
  switch (e.message) {
    case WM_LBUTTONDOWN:
      Apply(model_.FormMouseDown(MessagePointerX(), GetSystemMetrics(SM_CXDRAG) * s_.tpp.x));
      return true;
    case WM_MOUSEMOVE:
      if (model_.Movable()) SetCursor(dragCursor_);
      Apply(model_.FormMouseMove(e.Left(), MessagePointerX()));
      return true;
    case WM_LBUTTONUP:
      // The drop decides: a move the system made up when the window moved
      // under the pointer can carry an older position and arrive last.
      Apply(model_.FormMouseUp(MessagePointerX(), Frame(), ScreenWidthTwips(s_.tpp),
                               s_.state.options));
      // A click on the window repaints it and its strip.
      InvalidateRect(hwnd(), nullptr, TRUE);
      InvalidateRect(picSingleButton_.hwnd(), nullptr, FALSE);
      return true;
  }
  return false;
}

LRESULT frmToolbar::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND: {
      // The flat toolbar is transparent and asks its parent for the background.
      RECT r;
      GetClientRect(hwnd(), &r);
      FillRect(reinterpret_cast<HDC>(wp), &r, GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT && reinterpret_cast<HWND>(wp) == hwnd() && model_.Movable()) {
        SetCursor(dragCursor_);
        return TRUE;
      }
      break;
    case WM_CAPTURECHANGED:
      model_.CaptureLost();
      return 0;
    case WM_SYSCOMMAND:
      // Minimizing (Alt+Space, a taskbar tool) goes the own menu's way.
      if ((wp & 0xFFF0) == SC_MINIMIZE) {
        if (s_.minimize) s_.minimize();
        return 0;
      }
      if ((wp & 0xFFF0) == SC_CLOSE) {
        if (s_.shutdown) s_.shutdown();
        return 0;
      }
      break;
    case WM_CLOSE:
      if (s_.shutdown) s_.shutdown();
      return 0;
  }
  // Asked by the tests and the resource benchmark, and only by them: the live
  // object counts, and a rebuild as a change of screen width would cause.
  if (TestHooksEnabled()) {
    if (msg == ResourceCountsMessage()) return ResourceCountsReply(wp);
    static const UINT rebuild = RegisterWindowMessageA("Velmora.Rebuild");
    if (msg == rebuild) {
      InitNewButtons();
      return 0;
    }
  }
  return Window::HandleMessage(msg, wp, lp);
}

// ---------------------------------------------------------------------------
// Painting

bool frmToolbar::OnPaint(HDC dc) {
  RECT client;
  GetClientRect(hwnd(), &client);
  PaintToolbarBackground(dc, client, model_.layout(), s_.tpp);
  return true;
}

LRESULT frmToolbar::DrawToolbarButton(NMTBCUSTOMDRAW& draw) {
  return PaintToolbarButton(draw, s_.images.handle(), toolbarHeightPx_, s_.tpp);
}

void frmToolbar::PaintStrip(HDC dc) {
  RECT strip, window;
  GetClientRect(picSingleButton_.hwnd(), &strip);
  GetClientRect(hwnd(), &window);
  PaintSingleButtonStrip(dc, strip, window.bottom, model_.layout(), singleImages_.get(), s_.tpp);
}

}  // namespace velmora
