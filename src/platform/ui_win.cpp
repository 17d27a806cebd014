#include "platform/ui_win.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/handles_win.h"
#include "platform/window_win.h"

namespace velmora {

Tpp Tpp::FromScreen() {
  Tpp tpp;
  if (WindowDC dc{nullptr}) {
    const int dx = GetDeviceCaps(dc.get(), LOGPIXELSX);
    const int dy = GetDeviceCaps(dc.get(), LOGPIXELSY);
    if (dx > 0) tpp.x = 1440.0 / dx;
    if (dy > 0) tpp.y = 1440.0 / dy;
  }
  return tpp;
}

int TwipsToPxX(double twips, const Tpp& tpp) { return static_cast<int>(std::lround(twips / tpp.x)); }
int TwipsToPxY(double twips, const Tpp& tpp) { return static_cast<int>(std::lround(twips / tpp.y)); }
double ScreenWidthTwips(const Tpp& tpp) { return GetSystemMetrics(SM_CXSCREEN) * tpp.x; }
double ScreenHeightTwips(const Tpp& tpp) { return GetSystemMetrics(SM_CYSCREEN) * tpp.y; }

void DoEvents() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Leave the quit for the main loop to see.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    DispatchWithChain(msg);
  }
}

namespace {

struct IdleWork {
  const void* owner;
  std::function<bool()> step;
};

std::vector<IdleWork>& IdleQueue() {
  static std::vector<IdleWork> queue;
  return queue;
}

}  // namespace

void SetIdleWork(const void* owner, std::function<bool()> step) {
  DropIdleWork(owner);
  IdleQueue().push_back({owner, std::move(step)});
}

void DropIdleWork(const void* owner) {
  auto& queue = IdleQueue();
  queue.erase(std::remove_if(queue.begin(), queue.end(),
                             [owner](const IdleWork& w) { return w.owner == owner; }),
              queue.end());
}

bool RunIdleWork() {
  auto& queue = IdleQueue();
  if (queue.empty()) return false;
  // The step may drop or set work itself: run a copy.
  const IdleWork work = queue.front();
  const bool more = work.step();
  auto found = std::find_if(queue.begin(), queue.end(),
                            [&](const IdleWork& w) { return w.owner == work.owner; });
  if (!more && found != queue.end()) queue.erase(found);
  return true;
}

int RunMessageLoop() {
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
      DispatchWithChain(msg);
    }
    if (RunIdleWork()) continue;
    WaitMessage();
  }
}

void DispatchWithChain(MSG& msg) {
  if (Window::PreTranslateAll(msg)) return;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

HFONT UiFont() {
  static const GdiFont font = [] {
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof ncm;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0))
      return GdiFont(CreateFontIndirectA(&ncm.lfMessageFont));
    return GdiFont();
  }();
  return font ? font.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

GdiFont DerivedUiFont(int pointSize, int weight, int dpi) {
  LOGFONTA lf{};
  GetObjectA(UiFont(), sizeof lf, &lf);
  if (pointSize > 0) lf.lfHeight = -MulDiv(pointSize, dpi, 72);
  lf.lfWeight = weight;
  return GdiFont(CreateFontIndirectA(&lf));
}

std::string WindowTextOf(HWND hwnd) {
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

void DrawLine(HDC dc, int colorIndex, int x1, int y1, int x2, int y2) {
  // The DC's own pen takes any colour: no pen is made per line.
  Selection pen(dc, GetStockObject(DC_PEN));
  SetDCPenColor(dc, GetSysColor(colorIndex));
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}

}  // namespace velmora
