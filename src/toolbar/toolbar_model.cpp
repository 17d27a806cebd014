#include "toolbar/toolbar_model.h"

#include <cmath>

#include "core/product.h"
#include "model/text.h"

namespace velmora {

namespace {

constexpr double kToolbarSeparatorGap = 45;  // LineToolbar2 right of LineToolbar
constexpr double kStripGap = 80;             // between Toolbar1 and the strip
constexpr double kMovableGrip = 50;          // room to grab a movable toolbar without a strip
constexpr long kStripMargin = 60;            // inside the strip, at both ends
constexpr long kSingleSpacing = 30;
constexpr long kSingleSlack = 15;            // around an icon, still that button
constexpr double kDragOffset = 25;           // pointer right of the buttons while dragging

bool SmallFonts(double tpp) { return tpp > 14; }

std::string ButtonKey(int n) {
  std::string key = "B";
  key += std::to_string(n);
  return key;
}

std::string TitleOrPlaceholder(const std::string& title) {
  std::string trimmed = Trim(title);
  return trimmed.empty() ? std::string(kNoTitle) : trimmed;
}

}  // namespace

SampleMenuStep SampleMenusAtBuild(const Options& options, bool anyButtonFile) {
  if (!options.IsOn(kOptContentInstalled)) return SampleMenuStep::BuildAndRecord;
  return anyButtonFile ? SampleMenuStep::None : SampleMenuStep::Ask;
}

std::string SingleButton::Command() const { return text.substr(0, text.find('\0')); }

std::string SingleButton::Title() const {
  const auto nul = text.find('\0');
  return nul == std::string::npos ? std::string() : Trim(std::string_view(text).substr(nul + 1));
}

MenuPosition QuickMenuPosition(int index, const ToolbarFrame& frame, double buttonWidth,
                               double tppy) {
  MenuPosition p;
  p.top = frame.top + frame.height + (SmallFonts(tppy) ? tppy : 0);
  p.left = frame.left + (index - 1) * buttonWidth;
  return p;
}

std::string QuickMenuKey(int index) {
  std::string key = "F";
  key += std::to_string(index);
  return key;
}

bool SingleButtonLaunches(bool doubleClick, const Options& options) {
  return options.IsOn(kOptSingleClickLaunch) != doubleClick;
}

const ToolbarLayout& ToolbarModel::Build(const ToolbarBuildInput& in) {
  Clear();
  ToolbarLayout& l = layout_;
  tppx_ = in.tppx;
  tppy_ = in.tppy;
  screenWidth_ = in.screenWidth;
  savedPosition_ = in.savedPosition;
  ownMenuFile_ = in.ownMenuFile;
  l.movable = in.options.IsOn(kOptToolbarMovable);

  const std::string programExe = WithBackslash(in.icons.programFolder) + kProgramExe;
  l.buttons.push_back({kProgramButtonKey, kAppTitle, kProgramButtonKey,
                       ClassifyIcon(IconUse::ToolbarButton, programExe, in.icons)});
  for (const ToolbarMenuFile& file : in.menuFiles) {
    const std::string key = ButtonKey(l.ButtonCount() + 1);
    const std::string title = Trim(file.first.Title);
    l.programs[key] = clsProgram{Trim(file.first.FileExe), title, static_cast<short>(file.records)};
    l.buttons.push_back({key, title, file.path,
                         ClassifyIcon(IconUse::ToolbarButton, file.first.FileName, in.icons)});
  }

  l.singleIconWidth = std::lround(16 * in.tppx);
  l.singleIconTop = SmallFonts(in.tppy) ? 80 : 50;
  for (const ItemRecord& record : in.singleButtons) {
    const long left = l.singles.empty() ? kStripMargin : l.singles.back().right + kSingleSpacing;
    l.singles.push_back({Trim(record.FileExe) + '\0' + Trim(record.Title), left,
                         left + l.singleIconWidth,
                         ClassifyIcon(IconUse::SingleButton, record.FileName, in.icons)});
  }
  l.stripVisible = !l.singles.empty();
  if (l.stripVisible) l.stripWidth = static_cast<double>(l.singles.back().right + kStripMargin);
  l.lineToolbar2Visible = !l.stripVisible;
  l.top = SmallFonts(in.tppy) ? -80 : -50;
  pollInterval_ = kPollMs;
  return Arrange(in.buttonWidthPx, in.toolbarHeightPx);
}

const ToolbarLayout& ToolbarModel::Arrange(int buttonWidthPx, int toolbarHeightPx) {
  ToolbarLayout& l = layout_;
  l.buttonWidth = buttonWidthPx * tppx_;
  l.toolbarHeight = toolbarHeightPx * tppy_;
  for (std::size_t i = 0; i < l.buttons.size(); ++i) {
    l.buttons[i].left = static_cast<double>(i) * l.buttonWidth;
    l.buttons[i].right = static_cast<double>(i + 1) * l.buttonWidth;
  }
  l.toolbarWidth = l.buttonWidth * l.ButtonCount();
  l.lineToolbarX = l.toolbarLeft + l.toolbarWidth;
  if (l.stripVisible) {
    l.stripLeft = l.toolbarWidth + kStripGap;
    l.stripHeight = l.toolbarHeight;
    l.width = l.stripLeft + l.stripWidth;
  } else {
    l.width = l.toolbarWidth + (l.movable ? kMovableGrip : 0);
    l.lineToolbar2X = l.lineToolbarX + kToolbarSeparatorGap;
  }
  l.height = l.toolbarHeight - 50;

  PlacementInput place;
  place.screenWidth = screenWidth_;
  place.width = l.width;
  place.toolbarWidth = l.toolbarWidth;
  place.stripWidth = l.stripWidth;
  place.movable = l.movable;
  place.hasSingles = l.stripVisible;
  place.savedLeft = l.movable ? ParseToolbarPos(savedPosition_, screenWidth_) : 0;
  l.placement = PlaceHorizontally(place);
  savedLeft_ = l.placement.left;
  savedTop_ = l.top;
  return layout_;
}

void ToolbarModel::Clear() {
  layout_ = ToolbarLayout{};
  hoverIndex_ = hoveredSingle_ = 0;
  pollInterval_ = 0;
  dragging_ = false;
}

double ToolbarModel::FixedLeft(double screenWidth, double windowWidth) const {
  PlacementInput place;
  place.screenWidth = screenWidth;
  place.width = windowWidth;
  place.toolbarWidth = layout_.toolbarWidth;
  place.stripWidth = layout_.stripVisible ? layout_.stripWidth : 0;
  place.movable = false;
  place.hasSingles = !layout_.singles.empty();
  return PlaceHorizontally(place).left;
}

void ToolbarModel::Placed(const ToolbarFrame& frame) {
  savedLeft_ = frame.left;
  savedTop_ = frame.top;
}

int ToolbarModel::ButtonAt(double x) const {
  for (const ToolbarButton& b : layout_.buttons)
    if (b.left <= x && x <= b.right) return static_cast<int>(&b - layout_.buttons.data()) + 1;
  return 0;
}

bool ToolbarModel::InStripArea(double x, double y) const {
  return x >= kStripMargin && x <= layout_.stripWidth - kStripMargin && y >= 0 &&
         y <= layout_.stripHeight;
}

int ToolbarModel::SingleButtonAt(double x, double y) const {
  if (!InStripArea(x, y)) return 0;
  for (int k = 1; k <= layout_.SingleCount(); ++k) {
    const SingleButton& s = layout_.singles[static_cast<std::size_t>(k - 1)];
    if (s.left - kSingleSlack < x && x < s.right + kSingleSlack) return k;
  }
  return 0;
}

std::string ToolbarModel::TipTitle(int index) const {
  if (index == 1) return kAppTitle;
  if (index < 1 || index > layout_.ButtonCount()) return {};
  return TitleOrPlaceholder(layout_.buttons[static_cast<std::size_t>(index - 1)].title);
}

std::string ToolbarModel::SingleTipTitle(int k) const {
  if (k < 1 || k > layout_.SingleCount()) return {};
  return TitleOrPlaceholder(layout_.singles[static_cast<std::size_t>(k - 1)].Title());
}

void ToolbarModel::SetPoll(int ms, ToolbarEffects& fx) {
  if (pollInterval_ == ms) return;
  pollInterval_ = ms;
  fx.pollInterval = ms;
}

ToolbarEffects ToolbarModel::Toolbar1MouseMove(double x, double y) {
  ToolbarEffects fx;
  if (x < 0 || x > layout_.toolbarWidth || y < 0 || y > layout_.toolbarHeight) {
    fx.hideTip = true;
    return fx;
  }
  fx.rememberCursorWindow = true;
  const int hit = ButtonAt(x);
  if (hit == 0 || hit == hoverIndex_) return fx;
  SetPoll(kTipPollMs, fx);
  hoverIndex_ = static_cast<short>(hit);
  fx.showTip = TipTitle(hit);
  return fx;
}

ToolbarEffects ToolbarModel::SingleButtonMouseMove(double x, double y) {
  ToolbarEffects fx;
  if (!InStripArea(x, y)) {
    fx.hideTip = true;
    return fx;
  }
  const int hit = SingleButtonAt(x, y);
  if (hit == 0 || hit == hoveredSingle_) return fx;
  fx.hideTip = true;
  hoveredSingle_ = static_cast<short>(hit);
  fx.showTip = SingleTipTitle(hit);
  SetPoll(kTipPollMs, fx);
  // The poll's leave test then sees a window other than the remembered one.
  fx.clearCursorWindow = true;
  hoverIndex_ = 0;
  return fx;
}

const clsProgram* ToolbarModel::Program(int index) const {
  const auto found = layout_.programs.find(ButtonKey(index));
  return found == layout_.programs.end() ? nullptr : &found->second;
}

bool ToolbarModel::OpensMenu(int index) const {
  if (index < 1 || index > layout_.ButtonCount()) return false;
  if (index == 1) return true;
  const clsProgram* program = Program(index);
  return !program || program->Files != 1;
}

MenuRequest ToolbarModel::MenuFor(int index, const ToolbarFrame& frame, bool menuCached) {
  MenuRequest r;
  r.index = index;
  r.key = QuickMenuKey(index);
  const MenuPosition at = QuickMenuPosition(index, frame, layout_.buttonWidth, tppy_);
  r.left = at.left;
  r.top = at.top;
  if (index < 1 || index > layout_.ButtonCount()) return r;  // no such button: nothing to open
  r.create = !menuCached;
  ToolbarButton& button = layout_.buttons[static_cast<std::size_t>(index - 1)];
  if (index == 1 && r.create) {
    r.buildOwnMenu = true;
    button.tag = ownMenuFile_;
  }
  r.file = button.tag;
  return r;
}

ToolbarEffects ToolbarModel::ButtonClick(int index, const ToolbarFrame& frame, bool menuCached) {
  ToolbarEffects fx;
  fx.stopPoll = true;
  pollInterval_ = 0;
  // The tip would otherwise sit over the menu's first row while the pointer
  // rests on the button.
  fx.hideTip = true;
  fx.hideMenus = true;
  if (index >= 1 && index <= layout_.ButtonCount()) {
    if (!OpensMenu(index)) {
      const std::string name = Trim(Program(index)->Name);
      if (name.empty()) fx.message = kNoMenuText;
      else fx.run = name;
      SetPoll(kPollMs, fx);
      return fx;
    }
    fx.openMenu = MenuFor(index, frame, menuCached);
  }
  SetPoll(kPollMs, fx);
  fx.resetButtons = true;
  return fx;
}

ToolbarEffects ToolbarModel::LaunchSingleButton() const {
  ToolbarEffects fx;
  if (hoveredSingle_ < 1 || hoveredSingle_ > layout_.SingleCount()) return fx;
  const SingleButton& single = layout_.singles[static_cast<std::size_t>(hoveredSingle_ - 1)];
  const std::string command = single.Command();
  if (Trim(command).empty()) fx.message = kNoCommandText;
  else fx.run = command;
  return fx;
}

double ToolbarModel::DragLeft(double pointerX) const {
  return pointerX - layout_.toolbarWidth - kDragOffset;
}

ToolbarEffects ToolbarModel::FormMouseDown(double pointerX, double dragThreshold) {
  ToolbarEffects fx;
  if (!layout_.movable) return fx;
  dragging_ = true;
  moved_ = false;
  downX_ = pointerX;
  dragThreshold_ = dragThreshold;
  fx.capture = true;
  return fx;
}

bool ToolbarModel::Moved(double pointerX) {
  // The window follows only once the pointer has really travelled: the
  // handle is wider than the one spot the drag rule holds the pointer at, so
  // a plain click would otherwise shift the toolbar by a few pixels.
  if (!moved_ && std::abs(pointerX - downX_) >= dragThreshold_) moved_ = true;
  return moved_;
}

ToolbarEffects ToolbarModel::FormMouseMove(bool leftButton, double pointerX) {
  ToolbarEffects fx;
  fx.hideTip = true;
  if (layout_.movable && leftButton && dragging_ && Moved(pointerX)) fx.setLeft = DragLeft(pointerX);
  return fx;
}

ToolbarEffects ToolbarModel::FormMouseUp(double pointerX, const ToolbarFrame& frame,
                                         double screenWidth, const Options& options) {
  ToolbarEffects fx;
  double left = frame.left;
  if (dragging_) {
    // The drop decides: a move the system made up when the window moved
    // under the pointer can carry an older position and arrive last.
    if (Moved(pointerX)) {
      left = DragLeft(pointerX);
      fx.setLeft = left;
    }
    fx.releaseCapture = true;
    dragging_ = false;
  }
  if (options.IsOn(kOptNoRightAdjust)) return fx;
  PlacementInput place;
  place.screenWidth = screenWidth;
  place.width = frame.width;
  place.toolbarWidth = layout_.toolbarWidth;
  place.stripWidth = layout_.stripWidth;
  place.movable = layout_.movable;
  place.hasSingles = !layout_.singles.empty();
  const double adjusted = AdjustRightOnMouseUp(left, place);
  if (adjusted != left) fx.setLeft = adjusted;
  return fx;
}

ToolbarEffects ToolbarModel::Tick(const PollInput& in) {
  ToolbarEffects fx;
  bool active = in.active;
  if (!in.visible && !in.minimized &&
      CursorOverHiddenToolbar(in.cursorX, in.cursorY, in.frame.left, in.frame.width,
                              in.frame.height)) {
    fx.showAndActivate = true;
    active = true;  // shown and activated just now: not to be hidden again by this tick
  }
  if (in.screenWidth != screenWidth_) {
    fx.rebuild = true;
    return fx;
  }
  if (in.frame.top != savedTop_) fx.restoreTop = savedTop_;
  if (in.frame.left != savedLeft_) fx.savePosition = in.frame.left;
  if (!layout_.singles.empty() && in.cursorOverStrip) return fx;
  if (!in.cursorOverRememberedWindow) {
    fx.clearCursorWindow = true;
    hoverIndex_ = hoveredSingle_ = 0;
    fx.hideTip = true;
    SetPoll(kPollMs, fx);
    if (!active && in.autoHide && !in.menuOpen) fx.hideWindow = true;
  }
  return fx;
}

}  // namespace velmora
