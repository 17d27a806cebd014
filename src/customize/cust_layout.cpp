#include "customize/cust_layout.h"

#include <algorithm>
#include <initializer_list>

namespace velmora {

namespace {

// Spacing in twips: the usual dialog margins at 96 dpi (11, 6 and 10 pixels).
constexpr double kMargin = 165;
constexpr double kGap = 90;
constexpr double kColumnGap = 165;
constexpr double kPad = 150;
constexpr double kLabelGap = 60;   // a heading and what it heads
constexpr double kButtonMin = 1125;
constexpr double kButtonPad = 360;  // room beside a button's caption
constexpr double kInnerMin = 4950;  // the panel's inside, however short the captions
constexpr double kTreeMinW = 3000;
constexpr double kTreeMinH = 1800;

struct Sizes {
  double row;        // an edit box, a button, a check box
  double labelCol;   // "Title", "File", "Icon"
  double smallBtn;   // Select, Other, Library
  double browseBtn;  // Files, Folders
  double cmdBtn;     // Update Toolbar, Exit
  double frameH;
  double innerW;
  double panelW;
  double panelH;
  double panelTop;
};

double Width(const CustMetrics& m, std::string_view caption) {
  if (m.textWidth) return m.textWidth(caption);
  // No font at hand: a fair guess of the dialog font's average character.
  return 90.0 * static_cast<double>(caption.size());
}

double ButtonWidth(const CustMetrics& m, std::initializer_list<std::string_view> captions) {
  double w = kButtonMin;
  for (const auto c : captions) w = std::max(w, Width(m, c) + kButtonPad);
  return w;
}

Sizes Measure(const CustMetrics& m) {
  Sizes s{};
  s.row = m.lineHeight + 150;
  s.labelCol = std::max({Width(m, "Title"), Width(m, "File"), Width(m, "Icon")}) + kPad;
  s.smallBtn = ButtonWidth(m, {"Selec&t", "Othe&r", "Librar&y"});
  s.browseBtn = ButtonWidth(m, {"Fi&les", "Fol&ders"});
  s.cmdBtn = ButtonWidth(m, {"&Update Toolbar", "&Exit"});
  const double confirm = ButtonWidth(m, {"Confirm Changes in Entry Boxes"});
  const double check =
      m.checkWidth + kGap + std::max(Width(m, "Start Men&u"), Width(m, "Deskto&p")) + kGap;
  const double frameW = std::max(s.browseBtn, check) + 2 * kPad;
  s.innerW = std::max({kInnerMin, s.labelCol + 3 * s.smallBtn + 2 * kGap, s.labelCol + confirm,
                       2 * frameW + kGap, 2 * s.cmdBtn + kGap - 2 * kPad});
  s.panelW = s.innerW + 2 * kPad;
  s.frameH = m.lineHeight + kLabelGap + 2 * s.row + kGap + kPad;
  s.panelTop = kMargin + m.lineHeight + kLabelGap;
  s.panelH = kPad + 5 * s.row + 4 * kGap + 2 * kGap + s.frameH + kPad;
  return s;
}

}  // namespace

TwipSize CustMinimumClient(const CustMetrics& metrics) {
  const Sizes s = Measure(metrics);
  const double w = kMargin + kTreeMinW + kColumnGap + s.panelW + kMargin;
  const double right = s.panelTop + s.panelH + 2 * kGap + s.row + kMargin;
  const double left = s.panelTop + metrics.toolbarHeight + kGap / 2 + kTreeMinH + kMargin;
  return {w, std::max(right, left)};
}

TwipSize CustOpeningClient(TwipSize work, TwipSize nonClient, const CustMetrics& metrics) {
  const Sizes s = Measure(metrics);
  const TwipSize least = CustMinimumClient(metrics);
  const double maxW = std::max(least.w, work.w - nonClient.w);
  const double maxH = std::max(least.h, work.h - nonClient.h);
  const double tree = std::max(kTreeMinW, s.panelW);
  const double w = kMargin + tree + kColumnGap + s.panelW + kMargin;
  const double h = work.h * 2 / 3 - nonClient.h;
  return {std::clamp(w, least.w, maxW), std::clamp(h, least.h, maxH)};
}

CustLayout LayOutCustomize(TwipSize client, const CustMetrics& m) {
  const Sizes s = Measure(m);
  const TwipSize least = CustMinimumClient(m);
  const double W = std::max(client.w, least.w);
  const double H = std::max(client.h, least.h);
  CustLayout l;

  // The right column: the panel pinned to the top right corner.
  const double x0 = W - kMargin - s.panelW;
  l.lblProperties = {x0, kMargin, s.panelW, m.lineHeight};
  l.panel = {x0, s.panelTop, s.panelW, s.panelH};
  const double px = x0 + kPad;
  const double editX = px + s.labelCol;
  const double editW = s.innerW - s.labelCol;
  double y = s.panelTop + kPad;
  const double labelDown = (s.row - m.lineHeight) / 2;
  const auto row = [&](LayoutRect& label, LayoutRect& box) {
    label = {px, y + labelDown, s.labelCol - kGap, m.lineHeight};
    box = {editX, y, editW, s.row};
    y += s.row + kGap;
  };
  row(l.lblTitle, l.txtTitle);
  row(l.lblFile, l.txtCommand);
  row(l.lblIcon, l.txtFile);
  l.cmdSelect = {editX, y, s.smallBtn, s.row};
  l.cmdAllFiles = {editX + s.smallBtn + kGap, y, s.smallBtn, s.row};
  l.cmdLibrary = {editX + 2 * (s.smallBtn + kGap), y, s.smallBtn, s.row};
  y += s.row + kGap;
  l.cmdOK = {editX, y, editW, s.row};
  y += s.row + 2 * kGap;

  const double frameW = (s.innerW - kGap) / 2;
  l.fraBrowse = {px, y, frameW, s.frameH};
  l.fraSelect = {px + frameW + kGap, y, frameW, s.frameH};
  const double inY = y + m.lineHeight + kLabelGap;
  l.cmdBrowseFiles = {px + kPad, inY, frameW - 2 * kPad, s.row};
  l.cmdBrowseFolders = {px + kPad, inY + s.row + kGap, frameW - 2 * kPad, s.row};
  const double cx = l.fraSelect.x + kPad;
  l.chkStartMenu = {cx, inY, frameW - 2 * kPad, s.row};
  l.chkDesktop = {cx, inY + s.row + kGap, frameW - 2 * kPad, s.row};

  // The command buttons in the bottom right corner, Exit last.
  const double by = H - kMargin - s.row;
  l.cmdCancel = {W - kMargin - s.cmdBtn, by, s.cmdBtn, s.row};
  l.cmdSave = {l.cmdCancel.x - kGap - s.cmdBtn, by, s.cmdBtn, s.row};

  // The left column takes whatever is left.
  const double treeW = x0 - kColumnGap - kMargin;
  l.lblMenuTree = {kMargin, kMargin, treeW, m.lineHeight};
  l.toolbar = {kMargin, s.panelTop, treeW, m.toolbarHeight};
  const double treeY = l.toolbar.Bottom() + kGap / 2;
  l.tree = {kMargin, treeY, treeW, H - kMargin - treeY};
  return l;
}

}  // namespace velmora
