#include "quickmenu/frmQMenu.h"

#include <commctrl.h>

#include "core/app_state.h"
#include "core/ui_host.h"
#include "model/icon_source.h"
#include "model/item_record.h"
#include "model/text.h"
#include "platform/icon_cache_win.h"
#include "platform/image_list_win.h"
#include "platform/shell_icons_win.h"
#include "platform/ui_win.h"

namespace velmora {

namespace {

constexpr UINT_PTR kTimer1 = 1;
constexpr const char* kClassName = "VelmoraQuickMenu";


}  // namespace

frmQMenu::frmQMenu(QMenuServices services, std::string tag)
    : s_(std::move(services)), tag_(std::move(tag)) {}

frmQMenu::~frmQMenu() = default;

int frmQMenu::PxX(double twips) const { return TwipsToPxX(twips, s_.tpp); }
int frmQMenu::PxY(double twips) const { return TwipsToPxY(twips, s_.tpp); }

void frmQMenu::InitQMenu(const std::string& path, double leftTw, double topTw) {
  InitQMenu(ReadAllRecords(s_.fs, path), leftTw, topTw);
}

void frmQMenu::InitQMenu(const std::vector<ItemRecord>& records, double leftTw, double topTw) {
  const Tpp& tpp = s_.tpp;
  WindowDC screenDc{nullptr};
  HDC screen = screenDc.get();
  Selection font(screen, UiFont());
  TEXTMETRICA tm{};
  GetTextMetricsA(screen, &tm);

  QMenuMetrics metrics;
  metrics.tppx = tpp.x;
  metrics.tppy = tpp.y;
  metrics.screenWidth = ScreenWidthTwips(tpp);
  metrics.screenHeight = ScreenHeightTwips(tpp);
  metrics.windowLeft = leftTw;
  metrics.windowTop = topTw;
  metrics.labelHeight = tm.tmHeight * tpp.y;
  metrics.measureCaption = [screen, &tpp](const std::string& caption) {
    RECT r{0, 0, 0, 0};
    DrawTextA(screen, caption.data(), static_cast<int>(caption.size()), &r,
              DT_SINGLELINE | DT_CALCRECT);
    return r.right * tpp.x;
  };
  layout_ = LayoutQuickMenu(records, metrics);
  nav_ = std::make_unique<QMenuNav>(layout_);

  WindowArgs args;
  args.className = kClassName;
  args.style = WS_POPUP | WS_DLGFRAME;
  args.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  args.classStyle = CS_DBLCLKS;
  args.x = PxX(leftTw);
  args.y = PxY(topTw);
  args.width = PxX(layout_.width);
  args.height = PxY(layout_.height);
  CreateWindowFrom(args);
  RECT client{};
  GetClientRect(hwnd(), &client);
  clientW_ = client.right;
  clientH_ = client.bottom;
  nav_->SetWindowSize(clientW_ * tpp.x, clientH_ * tpp.y);
  pageImages_.clear();
  pageImages_.resize(layout_.pages.size());
}

void frmQMenu::ShowAt(double leftTw, double topTw) {
  if (!Loaded()) return;
  // Measured again at every opening: the button may have moved since the
  // menu was built (a movable toolbar dragged towards the screen's edge).
  PlaceQuickMenu(layout_, leftTw, ScreenWidthTwips(s_.tpp));
  SetWindowPos(hwnd(), HWND_TOPMOST, PxX(leftTw), PxY(topTw), PxX(layout_.width),
               PxY(layout_.height), SWP_SHOWWINDOW);
  RECT client{};
  GetClientRect(hwnd(), &client);
  if (client.right != clientW_) {
    clientW_ = client.right;
    FreePageImages();
  }
  nav_->SetWindowSize(clientW_ * s_.tpp.x, clientH_ * s_.tpp.y);
  // Every opening starts without a highlight or keyboard position, even when
  // the last one ended by Esc before the poll had closed it properly.
  nav_->HideMenu();
  SetForegroundWindow(hwnd());
  SetActiveWindow(hwnd());
  SetTimer(hwnd(), kTimer1, 100, nullptr);
}

void frmQMenu::HideMenu() {
  if (nav_) Apply(nav_->HideMenu());
}

void frmQMenu::SetEntryIcon(int label, const std::string& icon) {
  if (label < 1 || label > layout_.EntryCount()) return;
  layout_.entries[static_cast<std::size_t>(label - 1)].icon = icon;
  const int page = layout_.Label(label).page;
  if (page >= 0 && static_cast<std::size_t>(page) < pageImages_.size())
    pageImages_[static_cast<std::size_t>(page)].reset();
  if (Loaded()) InvalidateRect(hwnd(), nullptr, FALSE);
}

void frmQMenu::FreePageImages() {
  for (GdiBitmap& image : pageImages_) image.reset();
}

HBITMAP frmQMenu::PageImage(int page) {
  if (page < 0 || static_cast<std::size_t>(page) >= pageImages_.size()) return nullptr;
  GdiBitmap& image = pageImages_[static_cast<std::size_t>(page)];
  if (!image) {
    WindowDC screen{hwnd()};
    MemoryDC mem{screen.get()};
    image.reset(CreateCompatibleBitmap(screen.get(), std::max(clientW_, 1), std::max(clientH_, 1)));
    Selection target(mem.get(), image.get());
    // Later pages are painted on first showing: reading their icons may take a moment.
    std::optional<WaitCursor> wait;
    if (page != 0) wait.emplace();
    PaintPage(mem.get(), page);
  }
  return image.get();
}

void frmQMenu::PaintPage(HDC dc, int page) {
  RECT all{0, 0, clientW_, clientH_};
  FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
  const QMenuPage& p = layout_.pages[static_cast<std::size_t>(page)];
  const int highlightOffset = std::max(1, PxY(layout_.tppy));
  for (double y : p.separators) {
    DrawLine(dc, COLOR_BTNSHADOW, 0, PxY(y), clientW_, PxY(y));
    DrawLine(dc, COLOR_BTNHIGHLIGHT, 0, PxY(y) + highlightOffset, clientW_, PxY(y) + highlightOffset);
  }
  if (layout_.arrows) {
    const int y = PxY(layout_.arrows->lineY);
    DrawLine(dc, COLOR_BTNSHADOW, 0, y, clientW_, y);
    DrawLine(dc, COLOR_BTNHIGHLIGHT, 0, y + highlightOffset, clientW_, y + highlightOffset);
  }
  // Menus often show the same file's icon on many rows: ask the shell once
  // per file while the page is painted.
  IconCache icons;
  if (p.Empty()) return;
  for (int label = p.FirstLabel; label <= p.LastLabel; ++label)
    DrawEntryIcon(dc, layout_.Label(label).icon, label, icons);
  // The captions as they show without a highlight; a paint draws again only
  // what the highlight bar covers.
  const Selection font(dc, UiFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  for (int label = p.FirstLabel; label <= p.LastLabel; ++label) DrawCaption(dc, label);
}

void frmQMenu::DrawCaption(HDC dc, int label) {
  const QMenuEntry& e = layout_.Label(label);
  RECT r{PxX(layout_.textLeft), PxY(e.top), clientW_, PxY(e.top) + PxY(e.height)};
  // Captions keep their mnemonic "&", as labels do.
  DrawTextA(dc, e.caption.data(), static_cast<int>(e.caption.size()), &r, DT_SINGLELINE | DT_LEFT | DT_TOP);
}

void frmQMenu::DrawEntryIcon(HDC dc, const std::string& source, int label, IconCache& icons) {
  const IconSource icon = ClassifyIcon(IconUse::QuickMenuRow, source,
                                       {s_.state.folders.program, s_.state.HttpIconFile});
  const int x = PxX(IconLeft(layout_)), y = PxY(IconTop(layout_, label));
  if (icon.kind == IconKind::None) return;  // the icon column stays button face
  if (icon.kind == IconKind::File) {
    const std::string key = ToLower(icon.path);
    auto cached = icons.find(key);
    if (cached == icons.end()) cached = icons.emplace(key, s_.icons.Icon(icon.path)).first;
    const IconHandle& file = cached->second;
    if (file && DrawIconEx(dc, x, y, file.get(), 16, 16, 0, nullptr, DI_NORMAL)) return;
  }
  s_.images.Draw(icon.picture, dc, x, y);
}

bool frmQMenu::OnPaint(HDC target) {
  if (!nav_) return false;
  MemoryDC frameDc{target};
  HDC dc = frameDc.get();
  GdiBitmap frame(CreateCompatibleBitmap(target, std::max(clientW_, 1), std::max(clientH_, 1)));
  Selection frameSelected(dc, frame.get());
  const QMenuNavState& s = nav_->state();

  if (HBITMAP image = PageImage(s.currentPage)) {
    MemoryDC src{target};
    Selection selected(src.get(), image);
    BitBlt(dc, 0, 0, clientW_, clientH_, src.get(), 0, 0, SRCCOPY);
  }

  // The highlight bar lies behind the captions; the icon frame around the icon.
  // The bar covers part of the page image's captions: those of the rows it
  // touches are drawn again over it, clipped to it, the lit one in its colour.
  const QMenuPage& page = layout_.pages[static_cast<std::size_t>(s.currentPage)];
  if (s.highlighted > 0 && !page.Empty()) {
    const QMenuBox box = BoxFor(layout_, s.highlighted);
    RECT bar{PxX(box.barLeft), PxY(box.barTop), clientW_, PxY(box.barTop) + PxY(box.barHeight)};
    FillRect(dc, &bar, GetSysColorBrush(COLOR_HIGHLIGHT));
    if (box.framed) {
      const auto draw = [&](const QMenuBox::Line& l, int color) {
        DrawLine(dc, color, PxX(l.x1), PxY(l.y1), PxX(l.x2), PxY(l.y2));
      };
      draw(box.left, COLOR_BTNHIGHLIGHT);
      draw(box.top, COLOR_BTNHIGHLIGHT);
      draw(box.right, COLOR_BTNSHADOW);
      draw(box.bottom, COLOR_BTNSHADOW);
    }
    const Selection font(dc, UiFont());
    SetBkMode(dc, TRANSPARENT);
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, bar.left, bar.top, bar.right, bar.bottom);
    for (int label = std::max(page.FirstLabel, s.highlighted - 1);
         label <= std::min(page.LastLabel, s.highlighted + 1); ++label) {
      SetTextColor(dc, GetSysColor(label == s.highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
      DrawCaption(dc, label);
    }
    RestoreDC(dc, saved);
  }

  if (layout_.arrows) {
    const QMenuArrowRow& row = *layout_.arrows;
    KeyedImageList& images = s_.images;
    const int top = PxY(row.top), h = PxY(row.height), w = PxX(row.width);
    for (QMenuArrow a : {QMenuArrow::Up, QMenuArrow::Down}) {
      const bool enabled = a == QMenuArrow::Up ? s.upEnabled : s.downEnabled;
      const char* key = a == QMenuArrow::Up ? (enabled ? "up" : "up2") : (enabled ? "down" : "down2");
      const int left = PxX(row.LeftOf(a));
      images.Draw(key, dc, left + (w - 16) / 2, top + (h - 16) / 2);
    }
    if (s.framedArrow) {
      const int left = PxX(row.LeftOf(*s.framedArrow));
      const int light = s.arrowSunken ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT;
      const int dark = s.arrowSunken ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW;
      DrawLine(dc, light, left, top, left, top + h);
      DrawLine(dc, light, left, top, left + w, top);
      DrawLine(dc, dark, left + w, top, left + w, top + h + 1);
      DrawLine(dc, dark, left, top + h, left + w, top + h);
    }
  }

  BitBlt(target, 0, 0, clientW_, clientH_, dc, 0, 0, SRCCOPY);
  return true;
}

std::optional<QMenuArrow> frmQMenu::EnabledArrowAt(double x, double y) const {
  const auto arrow = ArrowAt(layout_, x, y);
  if (!arrow) return std::nullopt;
  const bool enabled = *arrow == QMenuArrow::Up ? nav_->state().upEnabled : nav_->state().downEnabled;
  return enabled ? arrow : std::nullopt;
}

void frmQMenu::OnMouseMove(int x, int y, bool leftHeld) {
  const double xt = x * s_.tpp.x, yt = y * s_.tpp.y;
  if (const auto arrow = EnabledArrowAt(xt, yt))
    Apply(nav_->ArrowMove(*arrow, leftHeld));
  else if (!pressedArrow_)
    Apply(nav_->PointerMove(xt, yt));
}

void frmQMenu::OnButtonDown(int x, int y) {
  if (const auto arrow = EnabledArrowAt(x * s_.tpp.x, y * s_.tpp.y)) {
    pressedArrow_ = arrow;
    SetCapture(hwnd());
    Apply(nav_->ArrowPress(*arrow));
  }
}

void frmQMenu::OnButtonUp(bool left, int x, int y) {
  const double xt = x * s_.tpp.x, yt = y * s_.tpp.y;
  if (pressedArrow_) {
    const QMenuArrow arrow = *pressedArrow_;
    pressedArrow_.reset();
    if (GetCapture() == hwnd()) ReleaseCapture();
    const auto under = ArrowAt(layout_, xt, yt);
    Apply(nav_->ArrowRelease(arrow, left, under && *under == arrow));
    return;
  }
  Apply(nav_->ButtonRelease(left, xt, yt));
}

void frmQMenu::Apply(const QMenuEffects& fx) {
  if (fx.hideMenu) {
    KillTimer(hwnd(), kTimer1);
    ShowWindow(hwnd(), SW_HIDE);
    if (s_.state.OpenMenu == tag_) {
      s_.state.MenuOpen = 0;
      s_.state.OpenMenu.clear();
    }
  }
  if (fx.hideWindow) {
    // Esc: the poll closes the menu once another window is active. Under Wine
    // a hidden window can stay the active one, so the menu is closed now.
    ShowWindow(hwnd(), SW_HIDE);
    Apply(nav_->HideMenu());
  }
  if (fx.pageChanged || fx.highlightChanged || fx.arrowsChanged || fx.arrowFrameChanged)
    InvalidateRect(hwnd(), nullptr, FALSE);
  if (!fx.run) return;
  // What runs may end the program or rebuild the toolbar, which lets this
  // window go: only copies are used from here on.
  const QMenuRun run = *fx.run;
  const auto handler = s_.run;
  UiHost& ui = s_.ui;
  ui.DoEvents();
  if (handler) handler(run);
}

bool frmQMenu::OnMouse(const MouseEvent& e) {
  switch (e.message) {
    case WM_MOUSEMOVE:
      OnMouseMove(e.pt.x, e.pt.y, e.Left());
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      OnButtonDown(e.pt.x, e.pt.y);
      return true;
    case WM_LBUTTONUP:
      OnButtonUp(true, e.pt.x, e.pt.y);
      return true;
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      OnButtonUp(false, e.pt.x, e.pt.y);
      return true;
  }
  return false;
}

bool frmQMenu::OnKeyDown(WPARAM key) {
  Apply(nav_->KeyDown(static_cast<int>(key)));
  return true;
}

void frmQMenu::OnTimer(UINT_PTR id) {
  if (id != kTimer1) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  Apply(nav_->TimerTick(GetActiveWindow() == hwnd(), WindowFromPoint(cursor) == hwnd()));
}

LRESULT frmQMenu::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_CHAR:
      Apply(nav_->KeyPress(static_cast<int>(wp & 0xFF)));
      return 0;
    case WM_MOUSEACTIVATE:
      return MA_ACTIVATE;
    case WM_CAPTURECHANGED:
      // The press on an arrow lost its capture (a message box, another
      // window): the arrow comes up again without turning the page, so that
      // the next click is not taken for its release.
      if (pressedArrow_) {
        const QMenuArrow arrow = *pressedArrow_;
        pressedArrow_.reset();
        Apply(nav_->ArrowRelease(arrow, false, false));
      }
      return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace velmora
