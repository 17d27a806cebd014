// How the toolbar looks: its background with the separator lines, a button of
// Toolbar1 with its icon centred in the part below the screen edge, and the
// framed strip of single buttons. Geometry comes from the toolbar's layout.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "toolbar/toolbar_model.h"

namespace velmora {

class KeyedImageList;
struct Tpp;

void PaintToolbarBackground(HDC dc, const RECT& client, const ToolbarLayout& layout, const Tpp& tpp);

// One button of Toolbar1 in its custom-draw notification; the result for the
// notification.
LRESULT PaintToolbarButton(NMTBCUSTOMDRAW& draw, HIMAGELIST images, int toolbarHeightPx,
                           const Tpp& tpp);

// The strip (its client rectangle `strip`) inside a window whose client
// height is `windowBottom`; the icon of single button i is `icons`' key
// StripIconKey(i).
void PaintSingleButtonStrip(HDC dc, const RECT& strip, int windowBottom, const ToolbarLayout& layout,
                            const KeyedImageList* icons, const Tpp& tpp);
std::string StripIconKey(std::size_t index);

}  // namespace velmora
