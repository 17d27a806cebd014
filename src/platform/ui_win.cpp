#include "platform/ui_win.h"

#include <cmath>

#include "platform/gdi_counter.h"

namespace velmora {

Tpp Tpp::FromScreen() {
  Tpp tpp;
  if (HDC dc = GetDC(nullptr)) {
    const int dx = GetDeviceCaps(dc, LOGPIXELSX);
    const int dy = GetDeviceCaps(dc, LOGPIXELSY);
    if (dx > 0) tpp.x = 1440.0 / dx;
    if (dy > 0) tpp.y = 1440.0 / dy;
    ReleaseDC(nullptr, dc);
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
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

HFONT UiFont() {
  static HFONT font = [] {
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof ncm;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0))
      if (HFONT f = CreateFontIndirectA(&ncm.lfMessageFont)) return f;
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }();
  return font;
}

std::string WindowTextOf(HWND hwnd) {
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

void DrawLine(HDC dc, int colorIndex, int x1, int y1, int x2, int y2) {
  HPEN pen = Count(Counted::Pen, CreatePen(PS_SOLID, 1, GetSysColor(colorIndex)));
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
  SelectObject(dc, old);
  DeleteObject(Uncount(Counted::Pen, pen));
}

}  // namespace velmora
