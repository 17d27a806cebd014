#include "iconlib/frmLibrary.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "core/file_system.h"
#include "model/text.h"
#include "platform/ui_win.h"
#include "resource.h"

namespace velmora {

namespace {

constexpr const char* kGridClassName = "VelmoraLibraryGrid";
// The window's client area and its parts, in twips.
constexpr double kClientWidth = 8850;
constexpr double kClientHeight = 5760;
constexpr double kMargin = 120;
constexpr double kListWidth = 2400;
constexpr double kButtonWidth = 1215;
constexpr double kButtonHeight = 375;
constexpr double kButtonGap = 90;
// Scroll steps (of 100 twips) per arrow click and per wheel line.
constexpr int kLineSteps = 3;
// Icon files are small; the first megabyte holds the pictures of any real one.
constexpr std::size_t kIconFileLimit = 1u << 20;

int Round(double value) { return static_cast<int>(std::lround(value)); }

}  // namespace

frmLibrary::frmLibrary(LibraryServices services) : s_(std::move(services)) {}

frmLibrary::~frmLibrary() = default;

bool frmLibrary::ShowLibrary(HWND owner) {
  if (!Loaded() && !Load(owner)) return false;
  SendMessageA(List1_, LB_SETCURSEL, static_cast<WPARAM>(model_->Current()), 0);
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
  SetFocus(List1_);
  return true;
}

bool frmLibrary::Load(HWND owner) {
  const Tpp& tpp = s_.tpp;
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  RECT outer{0, 0, TwipsToPxX(kClientWidth, tpp), TwipsToPxY(kClientHeight, tpp)};
  AdjustWindowRectEx(&outer, style, FALSE, exStyle);
  const int w = outer.right - outer.left, h = outer.bottom - outer.top;

  WindowArgs args;
  args.className = kClassName;
  args.title = kCaption;
  args.style = style;
  args.exStyle = exStyle;
  args.x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
  args.y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  args.width = w;
  args.height = h;
  args.parent = owner;
  args.icon = s_.instance ? LoadIconA(s_.instance, MAKEINTRESOURCEA(IDI_VELMORA)) : nullptr;
  // Tab between the controls, Enter for OK and Esc for Cancel, as in a dialog.
  args.dialogKeys = true;
  if (!CreateWindowFrom(args)) return false;

  CreateControls();
  iconSize_ = std::clamp(GetSystemMetrics(SM_CXICON), 16, 256);
  model_ = std::make_unique<LibraryModel>(s_.fs, s_.iconsFolder, GridGeometry(),
                                          [this](const std::string& name) { return LoadPicture(name); });
  {
    WaitCursor wait;
    model_->Load();
  }
  for (const std::string& title : model_->CategoryList())
    SendMessageA(List1_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title.c_str()));
  CreateGrid(0);
  ShowGrid(0, true);
  return true;
}

void frmLibrary::CreateControls() {
  const Tpp& tpp = s_.tpp;
  HWND w = hwnd();
  RECT client;
  GetClientRect(w, &client);
  const int margin = TwipsToPxX(kMargin, tpp);
  const int buttonW = TwipsToPxX(kButtonWidth, tpp), buttonH = TwipsToPxY(kButtonHeight, tpp);
  const int buttonTop = client.bottom - TwipsToPxY(kMargin, tpp) - buttonH;
  const int paneBottom = buttonTop - TwipsToPxY(kMargin, tpp);
  const int top = TwipsToPxY(kMargin, tpp);
  const int listW = TwipsToPxX(kListWidth, tpp);

  List1_ = CreateChild(w, "LISTBOX", "",
                       WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                       margin, top, listW, paneBottom - top, kList1Id, WS_EX_CLIENTEDGE);
  Subclass(List1_);
  const int cancelLeft = client.right - margin - buttonW;
  const int okLeft = cancelLeft - TwipsToPxX(kButtonGap, tpp) - buttonW;
  cmdOK_ = CreateChild(w, "BUTTON", "&OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, okLeft,
                       buttonTop, buttonW, buttonH, kOkId);
  cmdCancel_ = CreateChild(w, "BUTTON", "&Cancel", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                           cancelLeft, buttonTop, buttonW, buttonH, kCancelId);

  frame_ = {margin + listW + margin, top, client.right - margin, paneBottom};
  grid_ = frame_;
  InflateRect(&grid_, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
  grid_.right -= GetSystemMetrics(SM_CXVSCROLL);
}

LibraryGeometry frmLibrary::GridGeometry() const {
  const Tpp& tpp = s_.tpp;
  LibraryGeometry g;
  g.gridWidth = (grid_.right - grid_.left) * tpp.x;
  g.frameHeight = (grid_.bottom - grid_.top) * tpp.y;
  // As many columns as fit with their captions, which reach half a gap beyond
  // their icons, and the block centred in the grid.
  const double step = g.iconWidth + g.gapX, overhang = g.gapX / 2;
  const int columns = std::max(1, static_cast<int>(std::floor((g.gridWidth - 2 * overhang + g.gapX) / step)));
  g.templateLeft = std::max(overhang, (g.gridWidth - (columns * step - g.gapX)) / 2);
  return g;
}

int frmLibrary::LoadPicture(const std::string& fileName) {
  const std::string key = ToUpper(fileName);
  if (const auto it = pictureOf_.find(key); it != pictureOf_.end()) return it->second;
  // A damaged file or a drive gone must not stop the program with the
  // system's error box.
  ErrorModeGuard quiet;
  const std::string path = s_.iconsFolder + fileName;
  IconPixels picture;
  if (const auto bytes = s_.fs.ReadAt(path, 0, kIconFileLimit)) {
    DecodedIcon decoded = DecodeIcon(*bytes, iconSize_);
    if (decoded.result == IconDecode::Ok)
      picture = std::move(decoded.pixels);
    else if (decoded.result == IconDecode::Unsupported)
      picture = SystemPicture(path);
  }
  int index = -1;
  if (!picture.empty()) {
    index = static_cast<int>(pictures_.size());
    pictures_.push_back(std::move(picture));
  }
  pictureOf_.emplace(key, index);
  return index;
}

IconPixels frmLibrary::SystemPicture(const std::string& path) const {
  IconHandle icon(static_cast<HICON>(
      LoadImageA(nullptr, path.c_str(), IMAGE_ICON, iconSize_, iconSize_, LR_LOADFROMFILE)));
  if (!icon) return {};
  // Drawn once on black and once on white: the difference is the alpha, in
  // whatever form the file holds its picture.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = iconSize_;
  info.bmiHeader.biHeight = -iconSize_;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  const auto n = static_cast<std::size_t>(iconSize_) * iconSize_;
  std::vector<std::uint32_t> drawn[2];
  const int backgrounds[2] = {BLACK_BRUSH, WHITE_BRUSH};
  MemoryDC dc(nullptr);
  for (int k = 0; k < 2; ++k) {
    void* bits = nullptr;
    GdiBitmap image(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!image || !bits) return {};
    Selection keep(dc.get(), image.get());
    RECT all{0, 0, iconSize_, iconSize_};
    FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(backgrounds[k])));
    DrawIconEx(dc.get(), 0, 0, icon.get(), iconSize_, iconSize_, 0, nullptr, DI_NORMAL);
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    drawn[k].assign(pixels, pixels + n);
  }
  return PixelsFromBlackAndWhite(drawn[0], drawn[1], iconSize_, iconSize_);
}

int frmLibrary::PicturesLoaded() const { return static_cast<int>(pictures_.size()); }

void frmLibrary::CreateGrid(int view) {
  if (view < 0) return;
  if (static_cast<int>(views_.size()) <= view) views_.resize(static_cast<std::size_t>(view) + 1);
  GridView& g = views_[static_cast<std::size_t>(view)];
  if (g.surface) return;
  g.surface = std::make_unique<Panel>();
  g.surface->Create(hwnd(), kGridFirstId + view, 0, kGridClassName, CS_DBLCLKS,
                    {[this, view](HDC dc) { PaintGrid(view, dc); },
                     [this, view](const MouseEvent& e) { return GridMouse(view, e); }});
  MoveWindow(g.surface->hwnd(), grid_.left, grid_.top, grid_.right - grid_.left,
             grid_.bottom - grid_.top, FALSE);
  g.scroll = CreateChild(hwnd(), "SCROLLBAR", "", SBS_VERT, grid_.right, grid_.top,
                         GetSystemMetrics(SM_CXVSCROLL), grid_.bottom - grid_.top,
                         kScrollFirstId + view);
  const LibraryView& v = model_->View(view);
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  info.nPage = static_cast<UINT>(std::max(1.0, model_->Geometry().frameHeight / kLibraryScrollStep));
  info.nMin = 0;
  info.nMax = v.scrollMax + static_cast<int>(info.nPage) - 1;
  info.nPos = v.scroll;
  SetScrollInfo(g.scroll, SB_CTL, &info, FALSE);
  EnableWindow(g.scroll, v.scrollMax > 0);
}

void frmLibrary::ShowGrid(int view, bool show) {
  if (view < 0 || view >= static_cast<int>(views_.size())) return;
  const GridView& g = views_[static_cast<std::size_t>(view)];
  if (!g.surface) return;
  ShowWindow(g.surface->hwnd(), show ? SW_SHOW : SW_HIDE);
  ShowWindow(g.scroll, show ? SW_SHOW : SW_HIDE);
}

HWND frmLibrary::Grid() const {
  if (!model_) return nullptr;
  const auto view = static_cast<std::size_t>(model_->Current());
  return view < views_.size() && views_[view].surface ? views_[view].surface->hwnd() : nullptr;
}

HWND frmLibrary::ScrollBar() const {
  if (!model_) return nullptr;
  const auto view = static_cast<std::size_t>(model_->Current());
  return view < views_.size() ? views_[view].scroll : nullptr;
}

std::optional<POINT> frmLibrary::IconCentre(int index) const {
  if (!model_) return std::nullopt;
  const LibraryView& view = model_->CurrentView();
  if (index < 0 || index >= static_cast<int>(view.icons.size())) return std::nullopt;
  const TwipRect& r = view.icons[static_cast<std::size_t>(index)].icon;
  return POINT{Round((r.left + r.width / 2) / s_.tpp.x),
               Round((r.top + r.height / 2 + model_->GridTop()) / s_.tpp.y)};
}

void frmLibrary::ShowView(int index) {
  if (!model_ || index < 0 || index >= model_->ViewCount()) return;
  ViewChange change;
  {
    WaitCursor wait;
    change = model_->ShowView(index);
  }
  if (!change.changed) return;
  if (change.built) CreateGrid(index);
  ShowGrid(index, true);
  ShowGrid(change.previous, false);
}

void frmLibrary::List1_Click() {
  const LRESULT index = SendMessageA(List1_, LB_GETCURSEL, 0, 0);
  if (index != LB_ERR) ShowView(static_cast<int>(index));
}

void frmLibrary::Hide() {
  ShowWindow(hwnd(), SW_HIDE);
}

void frmLibrary::cmdOK_Click() {
  // The host may do anything once called, even destroy this window.
  LibraryHost& host = s_.host;
  const auto chosen = model_ ? model_->Chosen(host.HostCanTakeIcon()) : std::nullopt;
  Hide();
  if (chosen) host.HostIconChosen(*chosen);
  host.HostLibraryClosed();
}

void frmLibrary::cmdCancel_Click() {
  Hide();
  s_.host.HostLibraryClosed();
}

void frmLibrary::PaintGrid(int view, HDC target) {
  if (!model_ || view < 0 || view >= static_cast<int>(views_.size())) return;
  const GridView& g = views_[static_cast<std::size_t>(view)];
  RECT client;
  GetClientRect(g.surface->hwnd(), &client);
  const int w = std::max<int>(client.right, 1), h = std::max<int>(client.bottom, 1);
  // Drawn off-screen first, into pixels of our own: the icons are blended
  // straight into them.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  MemoryDC dc(target);
  void* bits = nullptr;
  GdiBitmap image(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dc || !image || !bits) return;
  Selection picture(dc.get(), image.get());
  FillRect(dc.get(), &client, GetSysColorBrush(COLOR_WINDOW));
  GdiFlush();

  const LibraryView& v = model_->View(view);
  const Tpp& tpp = s_.tpp;
  const double top = v.scroll * kLibraryScrollStep;
  const auto [first, last] = model_->IconsBetween(view, top, top + h * tpp.y);
  auto* pixels = static_cast<std::uint32_t*>(bits);
  for (std::size_t i = first; i < last; ++i) {
    const LibraryIcon& icon = v.icons[i];
    if (icon.picture < 0 || icon.picture >= static_cast<int>(pictures_.size())) continue;
    const int x = Round(icon.icon.left / tpp.x), y = Round((icon.icon.top - top) / tpp.y);
    const int iw = Round(icon.icon.width / tpp.x), ih = Round(icon.icon.height / tpp.y);
    BlendIcon(pixels, w, h, w, x + (iw - iconSize_) / 2, y + (ih - iconSize_) / 2,
              pictures_[static_cast<std::size_t>(icon.picture)]);
  }

  Selection font(dc.get(), UiFont());
  SetBkMode(dc.get(), TRANSPARENT);
  for (std::size_t i = first; i < last; ++i) {
    const LibraryIcon& icon = v.icons[i];
    RECT text{Round(icon.text.left / tpp.x), Round((icon.text.top - top) / tpp.y),
              Round(icon.text.Right() / tpp.x), Round((icon.text.Bottom() - top) / tpp.y)};
    const UINT format = DT_SINGLELINE | DT_NOPREFIX | DT_CENTER | DT_TOP;
    if (static_cast<int>(i) == v.selected) {
      // The highlight hugs the caption, as a selected name does in Explorer.
      RECT extent = text;
      DrawTextA(dc.get(), icon.caption.c_str(), -1, &extent, format | DT_CALCRECT);
      const int pad = 2, width = extent.right - extent.left;
      RECT mark{text.left + (text.right - text.left - width) / 2 - pad, text.top,
                text.left + (text.right - text.left + width) / 2 + pad,
                text.top + (extent.bottom - extent.top) + 1};
      FillRect(dc.get(), &mark, GetSysColorBrush(COLOR_HIGHLIGHT));
      SetTextColor(dc.get(), GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
      SetTextColor(dc.get(), GetSysColor(COLOR_WINDOWTEXT));
    }
    DrawTextA(dc.get(), icon.caption.c_str(), -1, &text, format);
  }
  BitBlt(target, 0, 0, w, h, dc.get(), 0, 0, SRCCOPY);
}

bool frmLibrary::GridMouse(int view, const MouseEvent& e) {
  if (e.message != WM_LBUTTONDOWN && e.message != WM_LBUTTONDBLCLK) return false;
  if (!model_ || view != model_->Current()) return true;
  const int hit = model_->HitTest(e.pt.x * s_.tpp.x, e.pt.y * s_.tpp.y - model_->GridTop());
  if (hit < 0) return true;
  const SelectChange change = model_->Select(hit);
  if (change.previous != change.selected) {
    HWND grid = views_[static_cast<std::size_t>(view)].surface->hwnd();
    InvalidateRect(grid, nullptr, FALSE);
    UpdateWindow(grid);
  }
  if (e.message == WM_LBUTTONDBLCLK) cmdOK_Click();
  return true;
}

void frmLibrary::Scroll(int view, int request, int) {
  if (!model_ || view != model_->Current()) return;
  const GridView& g = views_[static_cast<std::size_t>(view)];
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  GetScrollInfo(g.scroll, SB_CTL, &info);
  const int page = std::max<int>(1, static_cast<int>(info.nPage));
  int value = model_->CurrentView().scroll;
  switch (request) {
    case SB_LINEUP: value -= kLineSteps; break;
    case SB_LINEDOWN: value += kLineSteps; break;
    case SB_PAGEUP: value -= page; break;
    case SB_PAGEDOWN: value += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: value = info.nTrackPos; break;
    case SB_TOP: value = 0; break;
    case SB_BOTTOM: value = model_->CurrentView().scrollMax; break;
    default: return;
  }
  ScrollTo(view, value);
}

void frmLibrary::ScrollTo(int view, int value) {
  if (!model_ || view != model_->Current()) return;
  const int before = model_->CurrentView().scroll;
  const int now = model_->SetScroll(value);
  if (now == before) return;
  const GridView& g = views_[static_cast<std::size_t>(view)];
  SetScrollPos(g.scroll, SB_CTL, now, TRUE);
  InvalidateRect(g.surface->hwnd(), nullptr, FALSE);
  UpdateWindow(g.surface->hwnd());
}

bool frmLibrary::OnPaint(HDC dc) {
  RECT client;
  GetClientRect(hwnd(), &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  RECT frame = frame_;
  DrawEdge(dc, &frame, EDGE_SUNKEN, BF_RECT);
  return true;
}

bool frmLibrary::OnCommand(int id, int code, HWND) {
  switch (id) {
    case kList1Id:
      if (code != LBN_SELCHANGE) return false;
      List1_Click();
      return true;
    case kOkId:
      cmdOK_Click();
      return true;
    case kCancelId:  // also Esc
      cmdCancel_Click();
      return true;
  }
  return false;
}

LRESULT frmLibrary::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case DM_GETDEFID:
      return MAKELRESULT(kOkId, DC_HASDEFID);
    case WM_CLOSE:
      cmdCancel_Click();
      return 0;
    case WM_VSCROLL: {
      const HWND bar = reinterpret_cast<HWND>(lp);
      for (std::size_t i = 0; i < views_.size(); ++i)
        if (bar && views_[i].scroll == bar) Scroll(static_cast<int>(i), LOWORD(wp), HIWORD(wp));
      return 0;
    }
    case WM_MOUSEWHEEL: {
      if (!model_) return 0;
      UINT lines = 3;
      SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
      const int notches = GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA;
      const int view = model_->Current();
      if (lines == WHEEL_PAGESCROLL)
        Scroll(view, notches > 0 ? SB_PAGEUP : SB_PAGEDOWN, 0);
      else
        ScrollTo(view, model_->CurrentView().scroll - notches * static_cast<int>(lines) * kLineSteps);
      return 0;
    }
    case WM_ACTIVATE:
      // The focus goes back where the user left it when the window is
      // switched away from and back.
      if (LOWORD(wp) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd(), focus)) lastFocus_ = focus;
      } else if (List1_) {
        SetFocus(lastFocus_ && IsWindowVisible(lastFocus_) ? lastFocus_ : List1_);
      }
      return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}

std::optional<LRESULT> frmLibrary::OnControlMessage(HWND control, UINT msg, WPARAM wp, LPARAM lp) {
  // The wheel goes to the window with the focus, usually the list; it scrolls
  // the grid unless the pointer is over the list itself.
  if (control == List1_ && msg == WM_MOUSEWHEEL) {
    const POINT at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    if (WindowFromPoint(at) != List1_) return HandleMessage(msg, wp, lp);
  }
  return std::nullopt;
}

void frmLibrary::OnDestroyed() {
  views_.clear();
  model_.reset();
  pictureOf_.clear();
  pictures_.clear();
  List1_ = cmdOK_ = cmdCancel_ = lastFocus_ = nullptr;
}

}  // namespace velmora
