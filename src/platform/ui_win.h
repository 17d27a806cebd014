// Screen units and small user-interface services shared by every window.
#pragma once

#include <windows.h>

#include <string>

#include "platform/handles_win.h"

namespace velmora {

// Twips per pixel of the screen, from its logical DPI.
struct Tpp {
  double x = 15;
  double y = 15;
  static Tpp FromScreen();
  // The offsets that switch between "small fonts" (15) and "large fonts" (12).
  bool SmallFontsY() const { return y > 14; }
  bool SmallFontsX() const { return x > 14; }
};

int TwipsToPxX(double twips, const Tpp& tpp);
int TwipsToPxY(double twips, const Tpp& tpp);
double ScreenWidthTwips(const Tpp& tpp);
double ScreenHeightTwips(const Tpp& tpp);

// Runs the messages waiting in the queue and returns.
void DoEvents();
// Dispatches one message after the pre-translate chain (accelerators and
// dialog keys of the program's windows) had its say. Every loop uses it.
void DispatchWithChain(MSG& msg);

// The dialog font of the desktop, made once for the whole run.
HFONT UiFont();
// The dialog font at another size (points; 0 keeps it) and weight.
GdiFont DerivedUiFont(int pointSize, int weight, int dpi);

std::string WindowTextOf(HWND hwnd);

// A one-pixel line in a system colour (a COLOR_* index).
void DrawLine(HDC dc, int colorIndex, int x1, int y1, int x2, int y2);

}  // namespace velmora
