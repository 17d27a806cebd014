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
#include "core/app_state.h"
#include "core/dialogs.h"
#include "core/file_system.h"
#include "core/product.h"
#include "core/ui_host.h"
#include "platform/handles_win.h"
#include "platform/image_list_win.h"
#include "platform/ui_win.h"
#include "quickmenu/frmQMenu.h"
#include "resource.h"
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

frmToolbar::frmToolbar(ToolbarServices services) : s_(std::move(services)) {}
frmToolbar::~frmToolbar() = default;

double frmToolbar::Left() const {
  RECT r{};
  GetWindowRect(hwnd(), &r);
  return r.left * s_.tpp.x;
}
double frmToolbar::Top() const {
  RECT r{};
  GetWindowRect(hwnd(), &r);
  return r.top * s_.tpp.y;
}
double frmToolbar::Width() const {
  RECT r{};
  GetWindowRect(hwnd(), &r);
  return (r.right - r.left) * s_.tpp.x;
}
double frmToolbar::Height() const {
  RECT r{};
  GetWindowRect(hwnd(), &r);
  return (r.bottom - r.top) * s_.tpp.y;
}
void frmToolbar::SetLeft(double twips) {
  RECT r{};
  GetWindowRect(hwnd(), &r);
  SetWindowPos(hwnd(), nullptr, TwipsToPxX(twips, s_.tpp), r.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

double frmToolbar::ToolbarWidthTw() const { return buttonWidthPx_ * buttonCount_ * s_.tpp.x; }

bool frmToolbar::Load() {
  const Tpp& tpp = s_.tpp;
  WindowArgs args;
  args.className = "VelmoraToolbar";
  args.title = kAppTitle;
  args.style = WS_POPUP | WS_CLIPCHILDREN;
  args.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  args.icon = LoadIconA(s_.instance, MAKEINTRESOURCEA(IDI_VELMORA));
  args.backgroundColor = COLOR_BTNFACE;
  args.x = GetSystemMetrics(SM_CXSCREEN);  // off screen until the build places it
  args.width = 1;
  args.height = 1;
  if (!CreateWindowFrom(args)) return false;
  dragCursor_ = LoadCursorA(s_.instance, MAKEINTRESOURCEA(IDC_DRAG));

  if (!CheckShellComponent(s_.shell, s_.dialogs)) return false;
  auto& folders = s_.state.folders;
  EnsureFolder(s_.fs, folders.menus);
  EnsureFolder(s_.fs, folders.icons);
  if (!s_.state.options.IsOn(kOptContentInstalled)) {
    if (s_.fs.Exists(folders.program + kIconLibraryFile))
      UnpackIconLibrary(s_.fs, folders.icons, folders.program);
    else
      s_.dialogs.Show(kNoIconLibraryText, MsgButtons::Ok, MsgIcon::Critical);
  }
  s_.state.AutoHide = 0;
  hoverIndex_ = hoverSingle_ = 0;
  buttonCount_ = 0;
  SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  Toolbar1_ = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                              WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | CCS_NODIVIDER |
                                  CCS_NORESIZE | CCS_NOPARENTALIGN,
                              0, 0, 0, 0, hwnd(), reinterpret_cast<HMENU>(kToolbar1Id),
                              s_.instance, nullptr);
  SendMessageA(Toolbar1_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  // The toolbar's own mouse moves drive the tool-tips.
  Subclass(Toolbar1_);
  SendMessageA(Toolbar1_, TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 16));

  picSingleButton_.Create(hwnd(), kStripId, 0, kStripClass, CS_DBLCLKS,
                          {[this](HDC dc) { PaintStrip(dc); },
                           [this](const MouseEvent& e) { return StripMouse(e); }});

  SetLeft(ScreenWidthTwips(tpp));
  LoadToolbar();
  return true;
}

std::string frmToolbar::ResolveIconPath(std::string icon) const {
  if (!icon.empty() && icon[0] == '\\')
    icon = WithoutBackslash(s_.state.folders.program) + icon;
  if (ToLower(icon) == "http") icon = s_.state.HttpIconFile;
  return icon;
}

IconHandle frmToolbar::ButtonIcon(std::string icon) const {
  icon = ResolveIconPath(icon);
  const std::string lower = ToLower(Trim(icon));
  if (lower == "new") return s_.images.IconOf("new");
  if (lower == "button") return s_.images.IconOf("button");
  if (lower.empty()) return s_.images.IconOf("qm");
  if (IconHandle file = FileIconCopy(icon)) return file;
  return s_.images.IconOf("qm");
}

IconHandle frmToolbar::FileIconCopy(const std::string& path) const {
  // Many buttons show the same file's icon; the shell is asked once per build.
  const std::string key = ToLower(path);
  auto found = buildIcons_.find(key);
  if (found == buildIcons_.end()) found = buildIcons_.emplace(key, SmallFileIcon(path)).first;
  return found->second ? IconHandle(CopyIcon(found->second.get())) : IconHandle();
}

void frmToolbar::AddToolbarButton(const std::string& key, const std::string& tag, IconHandle icon) {
  auto& images = s_.images;
  images.Remove(key);
  images.AddIcon(key, icon.get());  // the list keeps its own copy
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
  const Tpp& tpp = s_.tpp;
  AppState& state = s_.state;
  auto& fs = s_.fs;
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
    IncludeCommonFiles(fs, s_.shell, s_.dialogs, folders, window);
    state.options.Set(kOptContentInstalled, true);
    SaveOptions(fs, folders.program, state.options);
  } else if (!anyFile &&
             s_.dialogs.Show(kNoEntriesText, MsgButtons::YesNo, MsgIcon::Question) ==
                 MsgResult::Yes) {
    IncludeCommonFiles(fs, s_.shell, s_.dialogs, folders, window);
  }

  // 4-5: the program's own button.
  auto& images = s_.images;
  SendMessageA(Toolbar1_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.handle()));
  IconHandle own(static_cast<HICON>(LoadImageA(s_.instance, MAKEINTRESOURCEA(IDI_VELMORA),
                                            IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)));
  AddToolbarButton("QMENU", "QMENU", std::move(own));
  titles_.assign(1, kAppTitle);

  // 6: one button per menu file, in upper-cased name order.
  for (const auto& name : ListButtonFiles(fs, folders.menus, true)) {
    const std::string path = folders.menus + name;
    const int records = ReadRecordCount(fs, path);
    const ItemRecord first = ReadRecord(fs, path, 1);
    if (s_.splashProgress) s_.splashProgress();
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
  ShowWindow(picSingleButton_.hwnd(), SW_HIDE);
  double widthTw = 0;
  const auto singles = ListButtonFiles(fs, folders.menus, false);
  if (!singles.empty()) {
    stripLeftTw_ = toolbarWidthTw + 80;
    stripVisible_ = true;
    for (const auto& name : singles) {
      const ItemRecord record = ReadRecord(fs, folders.menus + name, 1);
      if (s_.splashProgress) s_.splashProgress();
      DrawSingleButton(record.FileName, record.FileExe + '\0' + record.Title);
    }
    widthTw = stripLeftTw_ + stripWidthTw_;
    MoveWindow(picSingleButton_.hwnd(), TwipsToPxX(stripLeftTw_, tpp), 0,
               TwipsToPxX(stripWidthTw_, tpp), toolbarHeightPx_, FALSE);
    ShowWindow(picSingleButton_.hwnd(), SW_SHOWNA);
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
  if (placement.tooWide) s_.dialogs.Show(kTooWideText, MsgButtons::Ok, MsgIcon::None);

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
  const Tpp& tpp = s_.tpp;
  const long iconWidth = std::lround(16 * tpp.x);
  const size_t k = singleTexts_.size() + 1;
  singleTexts_.push_back(text);
  const long left = k == 1 ? 60 : singleRight_.back() + 30;
  singleLeft_.push_back(left);
  singleRight_.push_back(left + iconWidth);
  stripWidthTw_ = singleRight_.back() + 60;
  s_.state.SingleButtonCount = static_cast<std::int16_t>(k);

  const std::string lower = ToLower(Trim(icon));
  IconHandle picture;
  if (lower.empty()) {
    picture = s_.images.IconOf("qm");
  } else if (lower == "button") {
    picture = s_.images.IconOf("button");
  } else {
    picture = FileIconCopy(ResolveIconPath(icon));
    if (!picture) picture = s_.images.IconOf("qm");
  }
  singleIcons_.push_back(std::move(picture));
}

void frmToolbar::UnloadItems() {
  KillTimer(hwnd(), kTimer1);
  timerOn_ = false;
  ShowWindow(hwnd(), SW_HIDE);
  s_.state.SingleButtonCount = 0;
  singleLeft_.clear();
  singleRight_.clear();
  singleTexts_.clear();
  singleIcons_.clear();
  stripVisible_ = false;
  if (picSingleButton_.Loaded()) ShowWindow(picSingleButton_.hwnd(), SW_HIDE);
  programs_.clear();
  menus_.clear();
  if (Toolbar1_) {
    while (SendMessageA(Toolbar1_, TB_DELETEBUTTON, 0, 0)) {}
    SendMessageA(Toolbar1_, TB_SETIMAGELIST, 0, 0);
  }
  auto& images = s_.images;
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
  if (s_.afterBuild) s_.afterBuild();
}

bool frmToolbar::SaveToolbarPos() {
  return s_.fs.WriteAll(s_.state.folders.program + kToolbarPosFile, EncodeToolbarPos(Left()));
}

void frmToolbar::Unload() {
  if (!Loaded()) return;
  KillTimer(hwnd(), kTimer1);
  SaveOptions(s_.fs, s_.state.folders.program, s_.state.options);
  SaveToolbarPos();
  UnloadItems();
  Destroy();
}

PlacementInput frmToolbar::CurrentLayout() const {
  PlacementInput in;
  in.screenWidth = ScreenWidthTwips(s_.tpp);
  in.width = Width();
  in.toolbarWidth = ToolbarWidthTw();
  in.stripWidth = stripVisible_ ? stripWidthTw_ : 0;
  in.movable = s_.state.ToolbarMovable != 0;
  in.hasSingles = s_.state.SingleButtonCount > 0;
  return in;
}

void frmToolbar::Timer1_Timer() {
  AppState& state = s_.state;
  const Tpp& tpp = s_.tpp;
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
  if (state.SingleButtonCount > 0 && under == picSingleButton_.hwnd()) return;
  if (under != cursorWindow_) {
    cursorWindow_ = nullptr;
    hoverIndex_ = hoverSingle_ = 0;
    if (s_.tip.Showing()) s_.tip.Hide();
    SetTimer(hwnd(), kTimer1, 300, nullptr);
    if (GetActiveWindow() != hwnd() && state.AutoHide && !state.MenuOpen)
      ShowWindow(hwnd(), SW_HIDE);
  }
}

void frmToolbar::Form_MouseMove(WPARAM keys, int, int) {
  if (s_.tip.Showing()) s_.tip.Hide();
  if (!s_.state.ToolbarMovable) return;
  SetCursor(dragCursor_);
  if ((keys & MK_LBUTTON) && dragging_) DragToMessagePos();
}

void frmToolbar::DragToMessagePos() {
  // Left + X is where the pointer was on the screen; taken from the message
  // itself, since a move still queued was measured against an older Left.
  const DWORD pos = GetMessagePos();
  const double pointer = static_cast<short>(LOWORD(pos)) * s_.tpp.x;
  SetLeft(pointer - ToolbarWidthTw() - 25);
}

void frmToolbar::Form_MouseUp(int) {
  if (s_.state.options.IsOn(kOptNoRightAdjust)) return;
  PlacementInput layout = CurrentLayout();
  const double left = Left();
  const double adjusted = AdjustRightOnMouseUp(left, layout);
  if (adjusted != left) SetLeft(adjusted);
}

bool frmToolbar::OnPaint(HDC dc) {
  const Tpp& tpp = s_.tpp;
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
  return true;
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
  const Tpp& tpp = s_.tpp;
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
  ImageList_Draw(s_.images.handle(), info.iImage, dc, x, y, ILD_TRANSPARENT);
  return CDRF_SKIPDEFAULT;
}

void frmToolbar::PaintStrip(HDC dc) {
  HWND strip = picSingleButton_.hwnd();
  const Tpp& tpp = s_.tpp;
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
  const Tpp& tpp = s_.tpp;
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  RECT r;
  GetClientRect(Toolbar1_, &r);
  const double xt = x * tpp.x, yt = y * tpp.y;
  if (xt < 0 || x > r.right || yt < 0 || y > r.bottom) {
    s_.tip.Hide();
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
  s_.tip.Show(title.empty() ? kNoTitle : title);
}

void frmToolbar::picSingleButton_MouseMove(int x, int y) {
  const Tpp& tpp = s_.tpp;
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  const double xt = x * tpp.x, yt = y * tpp.y;
  RECT r;
  GetClientRect(picSingleButton_.hwnd(), &r);
  if (xt < 60 || xt > stripWidthTw_ - 60 || yt < 0 || y > r.bottom) {
    s_.tip.Hide();
    return;
  }
  for (size_t k = 1; k <= singleTexts_.size(); ++k) {
    if (!(singleLeft_[k - 1] - 15 < xt && xt < singleRight_[k - 1] + 15)) continue;
    if (static_cast<short>(k) == hoverSingle_) return;
    const std::string& text = singleTexts_[k - 1];
    const auto nul = text.find('\0');
    const std::string title = Trim(nul == std::string::npos ? std::string() : text.substr(nul + 1));
    s_.tip.Hide();
    hoverSingle_ = static_cast<short>(k);
    s_.tip.Show(title.empty() ? kNoTitle : title);
    SetTimer(hwnd(), kTimer1, 100, nullptr);
    cursorWindow_ = nullptr;
    hoverIndex_ = 0;
    return;
  }
}

void frmToolbar::LaunchSingleButton() {
  s_.tip.Hide();
  DoEvents();
  if (hoverSingle_ <= 0 || static_cast<size_t>(hoverSingle_) > singleTexts_.size()) return;
  const std::string& text = singleTexts_[hoverSingle_ - 1];
  std::string command = text.substr(0, text.find('\0'));
  if (Trim(command).empty()) {
    s_.dialogs.Show(kNoCommandText, MsgButtons::Ok, MsgIcon::Information);
    return;
  }
  HCURSOR old = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  s_.runner.RunItem(command);
  SetCursor(old);
}

void frmToolbar::Toolbar1_ButtonClick(int index) {
  KillTimer(hwnd(), kTimer1);
  // The tip would otherwise sit over the menu's first row while the pointer
  // rests on the button.
  s_.tip.Hide();
  if (index > 1 && index <= buttonCount_) {
    std::string key = "B";
    key += std::to_string(index);
    const auto program = programs_.find(key);
    if (program != programs_.end() && program->second.Files == 1) {
      std::string name = Trim(program->second.Name);
      if (name.empty())
        s_.dialogs.Show(kNoMenuText, MsgButtons::Ok, MsgIcon::Information);
      else
        s_.runner.RunItem(name);
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
  const Tpp& tpp = s_.tpp;
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
  s_.state.MenuOpen = 1;
}

frmQMenu* frmToolbar::BuildQuickMenu(int index, double left, double top) {
  std::string key = "F";
  key += std::to_string(index);
  if (index == 1) {
    std::string folder = s_.state.folders.program;
    BuildOwnMenu(s_.fs, folder);
    tags_[0] = folder + kOwnMenuFile;
  }
  auto& menu = menus_[key];
  QMenuServices services{s_.tpp, s_.fs, s_.state, s_.images, s_.ui, nullptr};
  if (index == 1) {
    const auto command = s_.ownMenuCommand;
    services.run = [command](const QMenuRun& run) {
      if (command) command(run.label);
    };
  } else {
    services.run = s_.runEntry;
  }
  menu = MakeWindow<frmQMenu>(std::move(services), key);
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
    const double top = Top() + Height() + (s_.tpp.SmallFontsY() ? s_.tpp.y : 0);
    BuildQuickMenu(index, Left() + (index - 1) * buttonWidthPx_ * s_.tpp.x, top)->Prepare();
  }
  PostMessageA(hwnd(), PrepareMessage(), 0, 0);
}

UINT frmToolbar::PrepareMessage() {
  static const UINT message = RegisterWindowMessageA("Velmora.PrepareMenus");
  return message;
}

std::optional<LRESULT> frmToolbar::OnControlMessage(HWND control, UINT msg, WPARAM, LPARAM lp) {
  if (control != Toolbar1_) return std::nullopt;
  if (msg == WM_MOUSEMOVE)
    Toolbar1_MouseMove(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
  else if (msg == WM_LBUTTONDOWN)
    s_.tip.Hide();
  return std::nullopt;  // the control still does its own work
}

bool frmToolbar::StripMouse(const MouseEvent& e) {
  const bool singleClick = s_.state.options.IsOn(kOptSingleClickLaunch);
  switch (e.message) {
    case WM_MOUSEMOVE:
      picSingleButton_MouseMove(e.pt.x, e.pt.y);
      return true;
    case WM_LBUTTONDOWN:
      s_.tip.Hide();
      s_.ui.DoEvents();
      return true;
    case WM_LBUTTONUP:
      if (singleClick) LaunchSingleButton();
      return true;
    case WM_LBUTTONDBLCLK:
      if (!singleClick) LaunchSingleButton();
      return true;
  }
  return false;
}

bool frmToolbar::OnCommand(int id, int code, HWND control) {
  if (control != Toolbar1_ || code != BN_CLICKED) return false;
  Toolbar1_ButtonClick(id);
  return true;
}

std::optional<LRESULT> frmToolbar::OnNotify(NMHDR& header) {
  if (header.hwndFrom != Toolbar1_ || header.code != NM_CUSTOMDRAW) return std::nullopt;
  return DrawToolbarButton(reinterpret_cast<NMTBCUSTOMDRAW&>(header));
}

void frmToolbar::OnTimer(UINT_PTR id) {
  if (id == kTimer1) Timer1_Timer();
}

bool frmToolbar::OnMouse(const MouseEvent& e) {
  switch (e.message) {
    case WM_LBUTTONDOWN:
      if (s_.state.ToolbarMovable) {
        dragging_ = true;
        SetCapture(hwnd());
      }
      return true;
    case WM_MOUSEMOVE:
      Form_MouseMove(e.keys, e.pt.x, e.pt.y);
      return true;
    case WM_LBUTTONUP:
      if (dragging_) {
        // The drop decides: a move the system made up when the window moved
        // under the pointer can carry an older position and arrive last.
        DragToMessagePos();
        dragging_ = false;
        ReleaseCapture();
      }
      Form_MouseUp(e.pt.x);
      return true;
  }
  return false;
}

LRESULT frmToolbar::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == PrepareMessage()) {
    PrepareNextMenu();
    return 0;
  }
  switch (msg) {
    case WM_ERASEBKGND: {
      // The flat toolbar is transparent and asks its parent for the background.
      RECT r;
      GetClientRect(hwnd(), &r);
      FillRect(reinterpret_cast<HDC>(wp), &r, GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT && reinterpret_cast<HWND>(wp) == hwnd() &&
          s_.state.ToolbarMovable) {
        SetCursor(dragCursor_);
        return TRUE;
      }
      break;
    case WM_CAPTURECHANGED:
      dragging_ = false;
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
