// Screen units and small user-interface services shared by every window.
#pragma once

#include <windows.h>

#include <functional>
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
// Work that runs only while the program is idle: the message loop calls it
// when no message waits (input, painting and timers always come first), one
// step at a time. A step returns true while it has more to do; `owner`
// identifies the work so that it can be dropped.
void SetIdleWork(const void* owner, std::function<bool()> step);
void DropIdleWork(const void* owner);
// One step of idle work; false when there was none left.
bool RunIdleWork();
// The program's message loop: dispatches through the pre-translate chain and
// runs idle work between messages. Returns the exit code of WM_QUIT.
int RunMessageLoop();

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
