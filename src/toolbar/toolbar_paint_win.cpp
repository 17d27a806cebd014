#include "toolbar/toolbar_paint_win.h"

#include <algorithm>

#include "platform/image_list_win.h"
#include "platform/ui_win.h"

namespace velmora {

void PaintToolbarBackground(HDC dc, const RECT& client, const ToolbarLayout& layout, const Tpp& tpp) {
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  // The separator beside the buttons, and a second one further right when
  // there is no strip of single buttons.
  const int x = TwipsToPxX(layout.lineToolbarX, tpp);
  DrawLine(dc, COLOR_3DDKSHADOW, x, 0, x, client.bottom);
  if (layout.lineToolbar2Visible) {
    const int x2 = TwipsToPxX(layout.lineToolbar2X, tpp);
    DrawLine(dc, COLOR_3DDKSHADOW, x2, 0, x2, client.bottom);
  }
}

LRESULT PaintToolbarButton(NMTBCUSTOMDRAW& draw, HIMAGELIST images, int toolbarHeightPx,
                           const Tpp& tpp) {
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
  HDC dc = draw.nmcd.hdc;
  RECT r = draw.nmcd.rc;
  const int hidden = TwipsToPxY((tpp.SmallFontsY() ? 80 : 50) + 20, tpp);
  const int visibleBottom = std::min<int>(r.bottom, toolbarHeightPx - TwipsToPxY(30, tpp));
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
  SendMessageA(draw.nmcd.hdr.hwndFrom, TB_GETBUTTONINFOA, draw.nmcd.dwItemSpec,
               reinterpret_cast<LPARAM>(&info));
  const int pressed = (state & CDIS_SELECTED) ? 1 : 0;
  const int x = r.left + (r.right - r.left - 16) / 2 + pressed;
  const int y = hidden + (visibleBottom - hidden - 16) / 2 + pressed;
  ImageList_Draw(images, info.iImage, dc, x, y, ILD_TRANSPARENT);
  return CDRF_SKIPDEFAULT;
}

void PaintSingleButtonStrip(HDC dc, const RECT& strip, int windowBottom, const ToolbarLayout& layout,
                            const KeyedImageList* icons, const Tpp& tpp) {
  FillRect(dc, &strip, GetSysColorBrush(COLOR_BTNFACE));
  // A raised frame around the strip, whose visible bottom is the toolbar
  // window's bottom edge: light top and left edges, dark right and bottom ones.
  const int bottom = std::min<int>(strip.bottom, windowBottom) - 1;
  const int right = strip.right - 1;
  DrawLine(dc, COLOR_BTNHIGHLIGHT, 0, 0, 0, bottom + 1);
  DrawLine(dc, COLOR_3DLIGHT, 1, 0, 1, bottom);
  DrawLine(dc, COLOR_BTNHIGHLIGHT, 0, 0, right, 0);
  DrawLine(dc, COLOR_BTNSHADOW, right - 1, 0, right - 1, bottom);
  DrawLine(dc, COLOR_3DDKSHADOW, right, 0, right, bottom + 1);
  DrawLine(dc, COLOR_BTNSHADOW, 1, bottom - 1, right - 1, bottom - 1);
  DrawLine(dc, COLOR_3DDKSHADOW, 0, bottom, right + 1, bottom);
  const int top = TwipsToPxY(layout.singleIconTop, tpp);
  if (!icons) return;
  for (std::size_t i = 0; i < layout.singles.size(); ++i)
    icons->Draw(StripIconKey(i), dc, TwipsToPxX(layout.singles[i].left, tpp), top);
}

std::string StripIconKey(std::size_t index) { return std::to_string(index); }

}  // namespace velmora
