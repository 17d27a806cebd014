// The screen the quick-menu tests and benchmarks lay their menus out on:
// 1280 x 1024 at 96 dpi, the menu window under a button near the left, and
// captions 90 twips a character.
#pragma once

#include <string>

#include "quickmenu/qmenu_layout.h"

namespace velmora {

inline QMenuMetrics Screen96() {
  QMenuMetrics m;
  m.tppx = m.tppy = 15;
  m.screenWidth = 1280 * 15;
  m.screenHeight = 1024 * 15;
  m.windowLeft = 3000;
  m.windowTop = 600;
  m.labelHeight = 195;
  m.measureCaption = [](const std::string& s) { return 90.0 * static_cast<double>(s.size()); };
  return m;
}

}  // namespace velmora
