#include "toolbar/frmToolbar.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "about/sample_menus.h"
#include "iconlib/icon_library.h"
#include "model/item_record.h"
#include "model/options.h"
#include "model/state_files.h"
#include "model/text.h"
#include "platform/gdi_counter.h"
#include "platform/ui_win.h"
#include "resource.h"
#include "shell/app_win.h"
#include "shell/frmHelp.h"
#include "quickmenu/frmQMenu.h"
#include "shell/frmMinimize.h"
#include "shell/own_menu.h"
#include "shell/startup.h"

namespace velmora {

namespace {

constexpr int kToolbar1Id = 100;
constexpr int kStripId = 101;
constexpr UINT_PTR kTimer1 = 1;
constexpr const char* kStripClass = "VelmoraSingleButtons";
constexpr const char* kNoEntriesText =
    "Velmora doesn't contain any entries. Would you like to include sample menus from Windows "
    "common files in Velmora?";
constexpr const char* kNoMenuText =
    "No menu or executable file found under this button. Check your configuration in the "
    "customize page.";
constexpr const char* kNoCommandText =
    "No executable file found under this button. Check your configuration in the Customize "
    "page.";
constexpr const char* kNoTitle = "No Title";
constexpr const char* kNoIconLibraryText =
    "Icon Library cannot be found in your system. You need to reinstall the program to fix "
    "this error.";


}  // namespace

frmToolbar::frmToolbar(App& app) : app_(app) {}
frmToolbar::~frmToolbar() = default;

double frmToolbar::Left() const {
  RECT r{};
  GetWindowRect(hwnd(), &r);
  return r.left * app_.tpp.x;
}
double frmToolbar::Top() const {
  RECT r{};
  GetWindowRect(hwnd(), &r);
  return r.top * app_.tpp.y;
}
double frmToolbar::Width() const {
  RECT r{};
  GetWindowRect(hwnd(), &r);
  return (r.right - r.left) * app_.tpp.x;
}
double frmToolbar::Height() const {
  RECT r{};
  GetWindowRect(hwnd(), &r);
  return (r.bottom - r.top) * app_.tpp.y;
}
void frmToolbar::SetLeft(double twips) {
  RECT r{};
  GetWindowRect(hwnd(), &r);
  SetWindowPos(hwnd(), nullptr, TwipsToPxX(twips, app_.tpp), r.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

double frmToolbar::ToolbarWidthTw() const { return buttonWidthPx_ * buttonCount_ * app_.tpp.x; }

bool frmToolbar::Load() {
  const Tpp& tpp = app_.tpp;
  WindowArgs args;
  args.className = "VelmoraToolbar";
  args.title = kAppTitle;
  args.style = WS_POPUP | WS_CLIPCHILDREN;
  args.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  args.icon = LoadIconA(app_.instance, MAKEINTRESOURCEA(IDI_VELMORA));
  args.backgroundColor = COLOR_BTNFACE;
  args.x = GetSystemMetrics(SM_CXSCREEN);  // off screen until the build places it
  args.width = 1;
  args.height = 1;
  if (!CreateWindowFrom(args)) return false;
  dragCursor_ = LoadCursorA(app_.instance, MAKEINTRESOURCEA(IDC_DRAG));

  if (!CheckShellComponent(*app_.shell, app_.dialogs)) return false;
  auto& folders = app_.state.folders;
  EnsureFolder(app_.fs, folders.menus);
  EnsureFolder(app_.fs, folders.icons);
  if (!app_.state.options.IsOn(kOptContentInstalled)) {
    if (app_.fs.Exists(folders.program + kIconLibraryFile))
      UnpackIconLibrary(app_.fs, folders.icons, folders.program);
    else
      app_.dialogs.Show(kNoIconLibraryText, MsgButtons::Ok, MsgIcon::Critical);
  }
  app_.state.AutoHide = 0;
  hoverIndex_ = hoverSingle_ = 0;
  buttonCount_ = 0;
  SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  Toolbar1_ = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                              WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | CCS_NODIVIDER |
                                  CCS_NORESIZE | CCS_NOPARENTALIGN,
                              0, 0, 0, 0, hwnd(), reinterpret_cast<HMENU>(kToolbar1Id),
                              app_.instance, nullptr);
  SendMessageA(Toolbar1_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  // The toolbar's own mouse moves drive the tool-tips.
  SetWindowLongPtrA(Toolbar1_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  toolbar1DefProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
      Toolbar1_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&frmToolbar::Toolbar1Proc)));
  SendMessageA(Toolbar1_, TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 16));

  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  if (!GetClassInfoExA(app_.instance, kStripClass, &wc)) {
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &frmToolbar::StripProc;
    wc.hInstance = app_.instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kStripClass;
    RegisterClassExA(&wc);
  }
  picSingleButton_ = CreateWindowExA(0, kStripClass, "", WS_CHILD, 0, 0, 0, 0, hwnd(),
                                     reinterpret_cast<HMENU>(kStripId), app_.instance, this);
  SetWindowLongPtrA(picSingleButton_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

  SetLeft(ScreenWidthTwips(tpp));
  LoadToolbar();
  return true;
}

std::string frmToolbar::ResolveIconPath(std::string icon) const {
  if (!icon.empty() && icon[0] == '\\')
    icon = WithoutBackslash(app_.state.folders.program) + icon;
  if (ToLower(icon) == "http") icon = app_.state.HttpIconFile;
  return icon;
}

HICON frmToolbar::ButtonIcon(std::string icon) const {
  auto& images = app_.Minimize().ImgIcons();
  const auto builtIn = [&](const char* key) {
    const int i = images.IndexOf(key);
    return i < 0 ? nullptr : Count(Counted::Icon, ImageList_GetIcon(images.handle(), i, ILD_TRANSPARENT));
  };
  icon = ResolveIconPath(icon);
  const std::string lower = ToLower(Trim(icon));
  if (lower == "new") return builtIn("new");
  if (lower == "button") return builtIn("button");
  if (lower.empty()) return builtIn("qm");
  if (HICON file = FileIconCopy(icon)) return file;
  return builtIn("qm");
}

HICON frmToolbar::FileIconCopy(const std::string& path) const {
  // Many buttons show the same file's icon; the shell is asked once per build.
  const std::string key = ToLower(path);
  auto found = buildIcons_.find(key);
  if (found == buildIcons_.end()) found = buildIcons_.emplace(key, IconHandle(SmallFileIcon(path))).first;
  return found->second ? Count(Counted::Icon, CopyIcon(found->second.get())) : nullptr;
}

void frmToolbar::AddToolbarButton(const std::string& key, const std::string& tag, HICON icon) {
  auto& images = app_.Minimize().ImgIcons();
  images.Remove(key);
  images.AddIcon(key, icon);
  if (icon) DestroyIcon(Uncount(Counted::Icon, icon));
  imageKeys_.push_back(key);

  // Collected and added to Toolbar1 in one go: the control lays itself out
  // again after every addition.
  TBBUTTON button{};
  button.iBitmap = images.IndexOf(key);
  button.idCommand = buttonCount_ + 1;  // the button's number
  button.fsState = TBSTATE_ENABLED;
  button.fsStyle = BTNS_BUTTON;
  pendingButtons_.push_back(button);
  ++buttonCount_;
  tags_.push_back(tag);
}

void frmToolbar::AddPendingButtons() {
  if (pendingButtons_.empty()) return;
  SendMessageA(Toolbar1_, TB_ADDBUTTONSA, pendingButtons_.size(),
               reinterpret_cast<LPARAM>(pendingButtons_.data()));
  pendingButtons_.clear();
}

void frmToolbar::LoadToolbar() {
  const Tpp& tpp = app_.tpp;
  AppState& state = app_.state;
  auto& fs = app_.fs;
  const auto& folders = state.folders;

  // 1-2: hidden while it is built, the poll off.
  ShowWindow(hwnd(), SW_HIDE);
  state.ToolbarMovable = state.options.IsOn(kOptToolbarMovable) ? 1 : 0;
  state.SingleButtonCount = 0;
  lineToolbar2Visible_ = false;
  KillTimer(hwnd(), kTimer1);
  timerOn_ = false;

  // 3: the first-run offer.
  const bool anyFile = !ListButtonFiles(fs, folders.menus, true).empty() ||
                       !ListButtonFiles(fs, folders.menus, false).empty();
  const auto window = reinterpret_cast<std::uintptr_t>(hwnd());
  if (!state.options.IsOn(kOptContentInstalled)) {
    IncludeCommonFiles(fs, *app_.shell, app_.dialogs, folders, window);
    state.options.Set(kOptContentInstalled, true);
    SaveOptions(fs, folders.program, state.options);
  } else if (!anyFile &&
             app_.dialogs.Show(kNoEntriesText, MsgButtons::YesNo, MsgIcon::Question) ==
                 MsgResult::Yes) {
    IncludeCommonFiles(fs, *app_.shell, app_.dialogs, folders, window);
  }

  // 4-5: the program's own button.
  auto& images = app_.Minimize().ImgIcons();
  SendMessageA(Toolbar1_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.handle()));
  HICON own = Count(Counted::Icon, static_cast<HICON>(LoadImageA(app_.instance, MAKEINTRESOURCEA(IDI_VELMORA),
                                            IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)));
  AddToolbarButton("QMENU", "QMENU", own);
  titles_.assign(1, kAppTitle);

  // 6: one button per menu file, in upper-cased name order.
  for (const auto& name : ListButtonFiles(fs, folders.menus, true)) {
    const std::string path = folders.menus + name;
    const int records = ReadRecordCount(fs, path);
    const ItemRecord first = ReadRecord(fs, path, 1);
    app_.SplashProgress();
    std::string key = "B";  // appended, not "B" + ...: GCC 12 warns falsely on that form
    key += std::to_string(buttonCount_ + 1);
    titles_.push_back(first.Title);
    programs_[key] = clsProgram{first.FileExe, first.Title, static_cast<short>(records)};
    AddToolbarButton(key, path, ButtonIcon(first.FileName));
  }
  // Room above and below the icon: the window's top rows lie above the screen
  // edge, and the icon must still show whole. Set once the buttons exist, as
  // the control recomputes its button size when buttons are added.
  SendMessageA(Toolbar1_, TB_SETBUTTONSIZE, 0,
               MAKELPARAM(TwipsToPxX(345, tpp), TwipsToPxY(450, tpp)));
  AddPendingButtons();
  const DWORD size = static_cast<DWORD>(SendMessageA(Toolbar1_, TB_GETBUTTONSIZE, 0, 0));
  buttonWidthPx_ = LOWORD(size);
  toolbarHeightPx_ = HIWORD(size) + 2;
  const int toolbarLeftPx = -TwipsToPxX(10, tpp), toolbarTopPx = -TwipsToPxY(20, tpp);
  MoveWindow(Toolbar1_, toolbarLeftPx, toolbarTopPx, buttonWidthPx_ * buttonCount_,
             toolbarHeightPx_, FALSE);
  const double toolbarWidthTw = ToolbarWidthTw();
  const double toolbarHeightTw = toolbarHeightPx_ * tpp.y;

  // 7-8: the single buttons in their framed strip.
  singleLeft_.clear();
  singleRight_.clear();
  singleTexts_.clear();
  singleIcons_.clear();
  stripVisible_ = false;
  stripWidthTw_ = 0;
  ShowWindow(picSingleButton_, SW_HIDE);
  double widthTw = 0;
  const auto singles = ListButtonFiles(fs, folders.menus, false);
  if (!singles.empty()) {
    stripLeftTw_ = toolbarWidthTw + 80;
    stripVisible_ = true;
    for (const auto& name : singles) {
      const ItemRecord record = ReadRecord(fs, folders.menus + name, 1);
      app_.SplashProgress();
      DrawSingleButton(record.FileName, record.FileExe + '\0' + record.Title);
    }
    widthTw = stripLeftTw_ + stripWidthTw_;
    MoveWindow(picSingleButton_, TwipsToPxX(stripLeftTw_, tpp), 0,
               TwipsToPxX(stripWidthTw_, tpp), toolbarHeightPx_, FALSE);
    ShowWindow(picSingleButton_, SW_SHOWNA);
  } else {
    // 9
    widthTw = toolbarWidthTw + (state.ToolbarMovable ? 50 : 0);
    lineToolbar2Visible_ = true;
  }

  // 10: along the top edge.
  PlacementInput layout = CurrentLayout();
  layout.width = widthTw;
  if (state.ToolbarMovable) {
    const auto bytes = fs.ReadAt(folders.program + kToolbarPosFile, 0, 4);
    layout.savedLeft = bytes ? ParseToolbarPos(*bytes, layout.screenWidth) : 0;
  }
  const Placement placement = PlaceHorizontally(layout);
  if (placement.tooWide) app_.dialogs.Show(kTooWideText, MsgButtons::Ok, MsgIcon::None);

  // 12: the top rows above the screen edge.
  const double heightTw = toolbarHeightTw - 50;
  const double topTw = tpp.SmallFontsY() ? -80 : -50;
  SetWindowPos(hwnd(), HWND_TOPMOST, TwipsToPxX(placement.left, tpp), TwipsToPxY(topTw, tpp),
               TwipsToPxX(widthTw, tpp), TwipsToPxY(heightTw, tpp), SWP_NOACTIVATE);
  InvalidateRect(hwnd(), nullptr, TRUE);

  // 13: on the screen, and the poll running.
  ShowWindow(hwnd(), state.AutoHide ? SW_SHOWNA : SW_SHOW);
  SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (!state.AutoHide) SetForegroundWindow(hwnd());
  savedLeft_ = Left();
  savedTop_ = Top();
  screenWidth_ = ScreenWidthTwips(tpp);
  buildIcons_.clear();
  SetTimer(hwnd(), kTimer1, 300, nullptr);
  timerOn_ = true;
  prepareNext_ = 1;
  PostMessageA(hwnd(), PrepareMessage(), 0, 0);
}

void frmToolbar::DrawSingleButton(const std::string& icon, const std::string& text) {
  const Tpp& tpp = app_.tpp;
  const long iconWidth = std::lround(16 * tpp.x);
  const size_t k = singleTexts_.size() + 1;
  singleTexts_.push_back(text);
  const long left = k == 1 ? 60 : singleRight_.back() + 30;
  singleLeft_.push_back(left);
  singleRight_.push_back(left + iconWidth);
  stripWidthTw_ = singleRight_.back() + 60;
  app_.state.SingleButtonCount = static_cast<std::int16_t>(k);

  auto& images = app_.Minimize().ImgIcons();
  const std::string lower = ToLower(Trim(icon));
  HICON picture = nullptr;
  if (lower.empty()) {
    picture = Count(Counted::Icon, ImageList_GetIcon(images.handle(), images.IndexOf("qm"), ILD_TRANSPARENT));
  } else if (lower == "button") {
    picture = Count(Counted::Icon, ImageList_GetIcon(images.handle(), images.IndexOf("button"), ILD_TRANSPARENT));
  } else {
    picture = FileIconCopy(ResolveIconPath(icon));
    if (!picture) picture = Count(Counted::Icon, ImageList_GetIcon(images.handle(), images.IndexOf("qm"), ILD_TRANSPARENT));
  }
  singleIcons_.emplace_back(picture);
}

void frmToolbar::UnloadItems() {
  KillTimer(hwnd(), kTimer1);
  timerOn_ = false;
  ShowWindow(hwnd(), SW_HIDE);
  app_.state.SingleButtonCount = 0;
  singleLeft_.clear();
  singleRight_.clear();
  singleTexts_.clear();
  singleIcons_.clear();
  stripVisible_ = false;
  if (picSingleButton_) ShowWindow(picSingleButton_, SW_HIDE);
  programs_.clear();
  menus_.clear();
  if (Toolbar1_) {
    while (SendMessageA(Toolbar1_, TB_DELETEBUTTON, 0, 0)) {}
    SendMessageA(Toolbar1_, TB_SETIMAGELIST, 0, 0);
  }
  auto& images = app_.Minimize().ImgIcons();
  for (const auto& key : imageKeys_) images.Remove(key);
  imageKeys_.clear();
  titles_.clear();
  tags_.clear();
  buttonCount_ = 0;
  hoverIndex_ = hoverSingle_ = 0;
}

void frmToolbar::InitNewButtons() {
  UnloadItems();
  LoadToolbar();
  frmMinimize& minimize = app_.Minimize();
  if (IsIconic(minimize.hwnd())) ShowWindow(minimize.hwnd(), SW_RESTORE);
  minimize.TakeToolbarGeometry();
}

bool frmToolbar::SaveToolbarPos() {
  return app_.fs.WriteAll(app_.state.folders.program + kToolbarPosFile, EncodeToolbarPos(Left()));
}

void frmToolbar::Unload() {
  if (!Loaded()) return;
  KillTimer(hwnd(), kTimer1);
  SaveOptions(app_.fs, app_.state.folders.program, app_.state.options);
  SaveToolbarPos();
  UnloadItems();
  Destroy();
}

PlacementInput frmToolbar::CurrentLayout() const {
  PlacementInput in;
  in.screenWidth = ScreenWidthTwips(app_.tpp);
  in.width = Width();
  in.toolbarWidth = ToolbarWidthTw();
  in.stripWidth = stripVisible_ ? stripWidthTw_ : 0;
  in.movable = app_.state.ToolbarMovable != 0;
  in.hasSingles = app_.state.SingleButtonCount > 0;
  return in;
}

void frmToolbar::Timer1_Timer() {
  AppState& state = app_.state;
  const Tpp& tpp = app_.tpp;
  POINT cursor{};
  GetCursorPos(&cursor);
  HWND under = WindowFromPoint(cursor);

  if (!IsWindowVisible(hwnd()) && !state.Minimized &&
      CursorOverHiddenToolbar(cursor.x * tpp.x, cursor.y * tpp.y, Left(), Width(), Height())) {
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    SetActiveWindow(hwnd());
  }
  if (ScreenWidthTwips(tpp) != screenWidth_) {
    InitNewButtons();
    return;
  }
  if (Top() != savedTop_) {
    RECT r{};
    GetWindowRect(hwnd(), &r);
    SetWindowPos(hwnd(), nullptr, r.left, TwipsToPxY(savedTop_, tpp), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // A failed save (the file held open elsewhere) is tried again next time.
  if (Left() != savedLeft_ && SaveToolbarPos()) savedLeft_ = Left();
  if (state.SingleButtonCount > 0 && under == picSingleButton_) return;
  if (under != cursorWindow_) {
    cursorWindow_ = nullptr;
    hoverIndex_ = hoverSingle_ = 0;
    if (app_.Help().Visible()) app_.ShowHelpTip("");
    SetTimer(hwnd(), kTimer1, 300, nullptr);
    if (GetActiveWindow() != hwnd() && state.AutoHide && !state.MenuOpen)
      ShowWindow(hwnd(), SW_HIDE);
  }
}

void frmToolbar::Form_MouseMove(WPARAM keys, int, int) {
  if (app_.Help().Visible()) app_.ShowHelpTip("");
  if (!app_.state.ToolbarMovable) return;
  SetCursor(dragCursor_);
  if ((keys & MK_LBUTTON) && dragging_) DragToMessagePos();
}

void frmToolbar::DragToMessagePos() {
  // Left + X is where the pointer was on the screen; taken from the message
  // itself, since a move still queued was measured against an older Left.
  const DWORD pos = GetMessagePos();
  const double pointer = static_cast<short>(LOWORD(pos)) * app_.tpp.x;
  SetLeft(pointer - ToolbarWidthTw() - 25);
}

void frmToolbar::Form_MouseUp(int) {
  if (app_.state.options.IsOn(kOptNoRightAdjust)) return;
  PlacementInput layout = CurrentLayout();
  const double left = Left();
  const double adjusted = AdjustRightOnMouseUp(left, layout);
  if (adjusted != left) SetLeft(adjusted);
}

void frmToolbar::Paint(HDC dc) {
  const Tpp& tpp = app_.tpp;
  RECT client;
  GetClientRect(hwnd(), &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  // LineToolbar beside the buttons, and LineToolbar2 further right when there
  // is no strip of single buttons.
  const int x = -TwipsToPxX(10, tpp) + buttonWidthPx_ * buttonCount_;
  DrawLine(dc, COLOR_3DDKSHADOW, x, 0, x, client.bottom);
  if (lineToolbar2Visible_) {
    const int x2 = x + TwipsToPxX(45, tpp);
    DrawLine(dc, COLOR_3DDKSHADOW, x2, 0, x2, client.bottom);
  }
}

LRESULT frmToolbar::DrawToolbarButton(NMTBCUSTOMDRAW& draw) {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      break;
    default:
      return CDRF_DODEFAULT;
  }
  // The buttons' top rows lie above the screen edge: the icon is centred in
  // what shows, and the frame of a hot or pressed button is drawn there too.
  const Tpp& tpp = app_.tpp;
  HDC dc = draw.nmcd.hdc;
  RECT r = draw.nmcd.rc;
  const int hidden = TwipsToPxY((tpp.SmallFontsY() ? 80 : 50) + 20, tpp);
  const int visibleBottom = std::min<int>(r.bottom, toolbarHeightPx_ - TwipsToPxY(30, tpp));
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  RECT face{r.left, r.top, r.right, visibleBottom};
  const UINT state = draw.nmcd.uItemState;
  if (state & CDIS_SELECTED)
    DrawEdge(dc, &face, BDR_SUNKENOUTER, BF_RECT);
  else if (state & CDIS_HOT)
    DrawEdge(dc, &face, BDR_RAISEDINNER, BF_RECT);
  TBBUTTONINFOA info{};
  info.cbSize = sizeof info;
  info.dwMask = TBIF_IMAGE;
  SendMessageA(Toolbar1_, TB_GETBUTTONINFOA, draw.nmcd.dwItemSpec, reinterpret_cast<LPARAM>(&info));
  const int pressed = (state & CDIS_SELECTED) ? 1 : 0;
  const int x = r.left + (r.right - r.left - 16) / 2 + pressed;
  const int y = hidden + (visibleBottom - hidden - 16) / 2 + pressed;
  ImageList_Draw(app_.Minimize().ImgIcons().handle(), info.iImage, dc, x, y, ILD_TRANSPARENT);
  return CDRF_SKIPDEFAULT;
}

void frmToolbar::PaintStrip(HWND strip, HDC dc) {
  const Tpp& tpp = app_.tpp;
  RECT r;
  GetClientRect(strip, &r);
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  // The strip's visible bottom is the toolbar window's bottom edge.
  RECT window;
  GetClientRect(hwnd(), &window);
  const int bottom = std::min<int>(r.bottom, window.bottom) - 1;
  const int right = r.right - 1;
  DrawLine(dc, COLOR_BTNHIGHLIGHT, 0, 0, 0, bottom + 1);          // LineLeft
  DrawLine(dc, COLOR_3DLIGHT, 1, 0, 1, bottom);                   // LineLeft2
  DrawLine(dc, COLOR_BTNHIGHLIGHT, 0, 0, right, 0);               // LineTop
  DrawLine(dc, COLOR_BTNSHADOW, right - 1, 0, right - 1, bottom); // LineRight
  DrawLine(dc, COLOR_3DDKSHADOW, right, 0, right, bottom + 1);    // LineRight2
  DrawLine(dc, COLOR_BTNSHADOW, 1, bottom - 1, right - 1, bottom - 1);  // LineDown
  DrawLine(dc, COLOR_3DDKSHADOW, 0, bottom, right + 1, bottom);
  const int top = TwipsToPxY(tpp.SmallFontsY() ? 80 : 50, tpp) +
                  (window.bottom - TwipsToPxY(tpp.SmallFontsY() ? 80 : 50, tpp) - 16) / 2 -
                  TwipsToPxY(tpp.SmallFontsY() ? 80 : 50, tpp) / 2;
  for (size_t i = 0; i < singleIcons_.size(); ++i)
    if (singleIcons_[i])
      DrawIconEx(dc, TwipsToPxX(singleLeft_[i], tpp), top, singleIcons_[i].get(), 16, 16, 0,
                 nullptr, DI_NORMAL);
}

void frmToolbar::Toolbar1_MouseMove(int x, int y) {
  const Tpp& tpp = app_.tpp;
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  RECT r;
  GetClientRect(Toolbar1_, &r);
  const double xt = x * tpp.x, yt = y * tpp.y;
  if (xt < 0 || x > r.right || yt < 0 || y > r.bottom) {
    if (app_.Help().Visible()) ShowWindow(app_.Help().hwnd(), SW_HIDE);
    return;
  }
  POINT cursor{};
  GetCursorPos(&cursor);
  cursorWindow_ = WindowFromPoint(cursor);
  // Button i spans (i - 1) x W to i x W; on a shared edge the lower number wins.
  const double w = buttonWidthPx_ * tpp.x;
  int hit = 0;
  for (int i = 1; i <= buttonCount_ && !hit; ++i)
    if ((i - 1) * w <= xt && xt <= i * w) hit = i;
  if (!hit || hit == hoverIndex_) return;
  SetTimer(hwnd(), kTimer1, 100, nullptr);
  hoverIndex_ = static_cast<short>(hit);
  const std::string title = hit == 1 ? std::string(kAppTitle) : Trim(titles_[hit - 1]);
  app_.ShowHelpTip(title.empty() ? kNoTitle : title);
}

void frmToolbar::picSingleButton_MouseMove(int x, int y) {
  const Tpp& tpp = app_.tpp;
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  const double xt = x * tpp.x, yt = y * tpp.y;
  RECT r;
  GetClientRect(picSingleButton_, &r);
  if (xt < 60 || xt > stripWidthTw_ - 60 || yt < 0 || y > r.bottom) {
    if (app_.Help().Visible()) ShowWindow(app_.Help().hwnd(), SW_HIDE);
    return;
  }
  for (size_t k = 1; k <= singleTexts_.size(); ++k) {
    if (!(singleLeft_[k - 1] - 15 < xt && xt < singleRight_[k - 1] + 15)) continue;
    if (static_cast<short>(k) == hoverSingle_) return;
    const std::string& text = singleTexts_[k - 1];
    const auto nul = text.find('\0');
    const std::string title = Trim(nul == std::string::npos ? std::string() : text.substr(nul + 1));
    if (app_.Help().Visible()) ShowWindow(app_.Help().hwnd(), SW_HIDE);
    hoverSingle_ = static_cast<short>(k);
    app_.ShowHelpTip(title.empty() ? kNoTitle : title);
    SetTimer(hwnd(), kTimer1, 100, nullptr);
    cursorWindow_ = nullptr;
    hoverIndex_ = 0;
    return;
  }
}

void frmToolbar::LaunchSingleButton() {
  app_.ShowHelpTip("");
  DoEvents();
  if (hoverSingle_ <= 0 || static_cast<size_t>(hoverSingle_) > singleTexts_.size()) return;
  const std::string& text = singleTexts_[hoverSingle_ - 1];
  std::string command = text.substr(0, text.find('\0'));
  if (Trim(command).empty()) {
    app_.dialogs.Show(kNoCommandText, MsgButtons::Ok, MsgIcon::Information);
    return;
  }
  HCURSOR old = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  app_.RunItem(command);
  SetCursor(old);
}

void frmToolbar::Toolbar1_ButtonClick(int index) {
  KillTimer(hwnd(), kTimer1);
  // The tip would otherwise sit over the menu's first row while the pointer
  // rests on the button.
  if (app_.Help().Visible()) ShowWindow(app_.Help().hwnd(), SW_HIDE);
  if (index > 1 && index <= buttonCount_) {
    std::string key = "B";
    key += std::to_string(index);
    const auto program = programs_.find(key);
    if (program != programs_.end() && program->second.Files == 1) {
      std::string name = Trim(program->second.Name);
      if (name.empty())
        app_.dialogs.Show(kNoMenuText, MsgButtons::Ok, MsgIcon::Information);
      else
        app_.RunItem(name);
      SetTimer(hwnd(), kTimer1, 300, nullptr);
      return;
    }
  }
  ShowMenuFor(index);
  SetTimer(hwnd(), kTimer1, 300, nullptr);
  for (int i = 1; i <= buttonCount_; ++i)
    SendMessageA(Toolbar1_, TB_SETSTATE, i, MAKELONG(TBSTATE_ENABLED, 0));
}

frmQMenu* frmToolbar::QuickMenu(int index) const {
  std::string key = "F";
  key += std::to_string(index);
  const auto found = menus_.find(key);
  return found == menus_.end() ? nullptr : found->second.get();
}

void frmToolbar::ShowMenuFor(int index) {
  if (index < 1 || index > buttonCount_) return;
  const Tpp& tpp = app_.tpp;
  for (auto& [key, menu] : menus_) ShowWindow(menu->hwnd(), SW_HIDE);
  const double top = Top() + Height() + (tpp.SmallFontsY() ? tpp.y : 0);
  const double left = Left() + (index - 1) * buttonWidthPx_ * tpp.x;

  frmQMenu* menu = QuickMenu(index);
  if (!menu) {
    HCURSOR old = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    menu = BuildQuickMenu(index, left, top);
    SetCursor(old);
  }
  menu->ShowAt(left, top);
  app_.state.MenuOpen = 1;
}

frmQMenu* frmToolbar::BuildQuickMenu(int index, double left, double top) {
  std::string key = "F";
  key += std::to_string(index);
  if (index == 1) {
    std::string folder = app_.state.folders.program;
    BuildOwnMenu(app_.fs, folder);
    tags_[0] = folder + kOwnMenuFile;
  }
  auto& menu = menus_[key];
  menu = std::make_unique<frmQMenu>(app_, key);
  menu->InitQMenu(tags_[static_cast<std::size_t>(index - 1)], left, top);
  return menu.get();
}

void frmToolbar::PrepareNextMenu() {
  // Once the toolbar is up and the queue is idle, the menus are built one at
  // a time, hidden, with their first page painted: reading icons from program
  // files is slow, and a click should only have to show the window.
  while (prepareNext_ <= buttonCount_ && QuickMenu(prepareNext_)) ++prepareNext_;
  if (prepareNext_ > buttonCount_) return;
  const int index = prepareNext_++;
  std::string key = "B";
  key += std::to_string(index);
  const auto program = programs_.find(key);
  const bool opensMenu = index == 1 || (program != programs_.end() && program->second.Files != 1);
  if (opensMenu) {
    const double top = Top() + Height() + (app_.tpp.SmallFontsY() ? app_.tpp.y : 0);
    BuildQuickMenu(index, Left() + (index - 1) * buttonWidthPx_ * app_.tpp.x, top)->Prepare();
  }
  PostMessageA(hwnd(), PrepareMessage(), 0, 0);
}

UINT frmToolbar::PrepareMessage() {
  static const UINT message = RegisterWindowMessageA("Velmora.PrepareMenus");
  return message;
}

LRESULT CALLBACK frmToolbar::Toolbar1Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<frmToolbar*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self) {
    if (msg == WM_MOUSEMOVE)
      self->Toolbar1_MouseMove(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
    else if (msg == WM_LBUTTONDOWN)
      self->app_.ShowHelpTip("");
  }
  return self && self->toolbar1DefProc_ ? CallWindowProcA(self->toolbar1DefProc_, hwnd, msg, wp, lp)
                                        : DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK frmToolbar::StripProc(HWND strip, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<frmToolbar*>(GetWindowLongPtrA(strip, GWLP_USERDATA));
  if (self) {
    const bool singleClick = self->app_.state.options.IsOn(kOptSingleClickLaunch);
    switch (msg) {
      case WM_MOUSEMOVE:
        self->picSingleButton_MouseMove(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
        return 0;
      case WM_LBUTTONDOWN:
        self->app_.ShowHelpTip("");
        DoEvents();
        return 0;
      case WM_LBUTTONUP:
        if (singleClick) self->LaunchSingleButton();
        return 0;
      case WM_LBUTTONDBLCLK:
        if (!singleClick) self->LaunchSingleButton();
        return 0;
    }
  }
  if (PaintMessage(strip, msg, wp, [&](HDC dc) {
        if (self) self->PaintStrip(strip, dc);
      }))
    return 0;
  if (msg == WM_ERASEBKGND) return 1;
  return DefWindowProcA(strip, msg, wp, lp);
}

LRESULT frmToolbar::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (PaintMessage(hwnd(), msg, wp, [this](HDC dc) { Paint(dc); })) return 0;
  if (msg == PrepareMessage()) {
    PrepareNextMenu();
    return 0;
  }
  switch (msg) {
    case WM_TIMER:
      if (wp == kTimer1) Timer1_Timer();
      return 0;
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(lp) == Toolbar1_ && HIWORD(wp) == BN_CLICKED) {
        Toolbar1_ButtonClick(LOWORD(wp));
        return 0;
      }
      break;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lp);
      if (header->hwndFrom == Toolbar1_ && header->code == NM_CUSTOMDRAW)
        return DrawToolbarButton(*reinterpret_cast<NMTBCUSTOMDRAW*>(lp));
      break;
    }
    case WM_ERASEBKGND: {
      // The flat toolbar is transparent and asks its parent for the background.
      RECT r;
      GetClientRect(hwnd(), &r);
      FillRect(reinterpret_cast<HDC>(wp), &r, GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT && reinterpret_cast<HWND>(wp) == hwnd() &&
          app_.state.ToolbarMovable) {
        SetCursor(dragCursor_);
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
      if (app_.state.ToolbarMovable) {
        dragging_ = true;
        SetCapture(hwnd());
      }
      return 0;
    case WM_MOUSEMOVE:
      Form_MouseMove(wp, static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
      return 0;
    case WM_LBUTTONUP:
      if (dragging_) {
        // The drop decides: a move the system made up when the window moved
        // under the pointer can carry an older position and arrive last.
        DragToMessagePos();
        dragging_ = false;
        ReleaseCapture();
      }
      Form_MouseUp(static_cast<short>(LOWORD(lp)));
      return 0;
    case WM_CAPTURECHANGED:
      dragging_ = false;
      return 0;
    case WM_SYSCOMMAND:
      // Minimizing (Alt+Space, a taskbar tool) goes the own menu's way.
      if ((wp & 0xFFF0) == SC_MINIMIZE) {
        app_.Minimize().MinimizeProgram();
        return 0;
      }
      if ((wp & 0xFFF0) == SC_CLOSE) {
        app_.Shutdown();
        return 0;
      }
      break;
    case WM_CLOSE:
      app_.Shutdown();
      return 0;
  }
  // Asked by the resource benchmark: the live object counts, and a rebuild as
  // a change of screen width would cause.
  if (msg == ResourceCountsMessage()) return ResourceCountsReply(wp);
  static const UINT rebuild = RegisterWindowMessageA("Velmora.Rebuild");
  if (msg == rebuild) {
    InitNewButtons();
    return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace velmora
