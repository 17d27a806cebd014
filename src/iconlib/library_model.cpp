#include "iconlib/library_model.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

#include "core/file_system.h"
#include "iconlib/icon_library.h"
#include "model/text.h"

namespace velmora {

namespace {

constexpr std::size_t kCaptionLimit = 11;
constexpr std::size_t kCaptionCut = 9;

}  // namespace

std::string IconCaption(std::string_view fileName) {
  std::string caption = ToLower(fileName.substr(0, fileName.size() > 4 ? fileName.size() - 4 : 0));
  if (!caption.empty()) caption[0] = UpperChar(caption[0]);
  if (caption.size() > kCaptionLimit) caption = caption.substr(0, kCaptionCut) + " ..";
  return caption;
}

GridLayout LayOutGrid(std::size_t count, const LibraryGeometry& g) {
  GridLayout out;
  out.icons.reserve(count);
  out.captions.reserve(count);
  double left = g.templateLeft, top = g.templateTop;
  int column = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0) {
      left += g.iconWidth + g.gapX;
      ++column;
      // The first icon of a row stays even in a grid too narrow for it, so a
      // narrow grid gives one column, never an endless first row.
      if (left + g.iconWidth > g.gridWidth) {
        left = g.templateLeft;
        top += g.iconHeight + g.gapY;
        column = 0;
      }
    }
    out.columns = std::max(out.columns, column + 1);
    out.icons.push_back({left, top, g.iconWidth, g.iconHeight});
    out.captions.push_back(
        {left - g.gapX / 2, top + g.iconHeight, g.iconWidth + g.gapX, g.captionHeight});
  }
  const double needed = count ? top + g.iconHeight + g.gapY : 0;
  out.gridHeight = std::max(needed, g.frameHeight);
  out.scrollMax =
      static_cast<int>(std::lround((out.gridHeight - g.frameHeight) / kLibraryScrollStep));
  return out;
}

LibraryModel::LibraryModel(FileSystem& fs, std::string iconsFolder, LibraryGeometry geometry,
                           IconLoader loader)
    : fs_(fs),
      icons_(WithBackslash(iconsFolder)),
      geometry_(geometry),
      loader_(std::move(loader)) {}

void LibraryModel::Load() {
  views_.clear();
  iconFiles_.clear();
  // A listing of "*.ico" also matches longer extensions through their short
  // 8.3 names; only real ".ico" files are icons here.
  for (auto& name : fs_.ListFiles(icons_, "*.ico"))
    if (IEndsWith(name, ".ico")) iconFiles_.push_back(std::move(name));
  SortLikeListBox(iconFiles_);
  iconFiles_.erase(std::unique(iconFiles_.begin(), iconFiles_.end(),
                               [](const std::string& a, const std::string& b) { return IEquals(a, b); }),
                   iconFiles_.end());

  std::unordered_map<std::string, const std::string*> byUpperName;
  for (const auto& name : iconFiles_) byUpperName.emplace(ToUpper(name), &name);

  LibraryView all;
  all.title = kAllCategories;
  all.names = iconFiles_;
  views_.push_back(std::move(all));

  for (auto& category : ReadCategories(fs_, icons_)) {
    LibraryView view;
    view.title = std::move(category.name);
    view.file = std::move(category.fileName);
    std::unordered_set<std::string> seen;
    for (const auto& line : category.icons) {
      const auto it = byUpperName.find(ToUpper(line));
      if (it != byUpperName.end() && seen.insert(it->first).second)
        view.names.push_back(*it->second);
    }
    SortLikeListBox(view.names);
    views_.push_back(std::move(view));
  }
  current_ = 0;
  Build(views_.front());
}

void LibraryModel::Build(LibraryView& view) {
  if (view.built) return;
  view.built = true;
  view.icons.clear();
  view.icons.reserve(view.names.size());
  for (const auto& name : view.names) {
    const int picture = loader_ ? loader_(name) : 0;
    if (picture < 0) continue;
    LibraryIcon icon;
    icon.fileName = name;
    icon.caption = IconCaption(name);
    icon.path = kIconsRelativeFolder + name;
    icon.picture = picture;
    view.icons.push_back(std::move(icon));
  }
  const GridLayout grid = LayOutGrid(view.icons.size(), geometry_);
  for (std::size_t i = 0; i < view.icons.size(); ++i) {
    view.icons[i].icon = grid.icons[i];
    view.icons[i].text = grid.captions[i];
  }
  view.columns = grid.columns;
  view.gridHeight = grid.gridHeight;
  view.scrollMax = grid.scrollMax;
  view.scroll = 0;
  view.selected = -1;
}

std::vector<std::string> LibraryModel::CategoryList() const {
  std::vector<std::string> out;
  out.reserve(views_.size());
  for (const auto& view : views_) out.push_back(view.title);
  return out;
}

ViewChange LibraryModel::ShowView(int index) {
  ViewChange change;
  if (index < 0 || index >= ViewCount() || index == current_) return change;
  LibraryView& view = views_[static_cast<std::size_t>(index)];
  change.built = !view.built;
  Build(view);
  change.changed = true;
  change.previous = current_;
  current_ = index;
  return change;
}

std::pair<std::size_t, std::size_t> LibraryModel::IconsBetween(int index, double top,
                                                               double bottom) const {
  if (index < 0 || index >= ViewCount()) return {0, 0};
  const LibraryView& view = View(index);
  const std::size_t count = view.icons.size();
  if (!count || view.columns <= 0 || bottom <= top) return {0, 0};
  const LibraryGeometry& g = geometry_;
  const double rowStep = g.iconHeight + g.gapY;
  // A row's caption reaches below its own step when it is taller than the gap.
  const double reach = std::max(g.iconHeight + g.captionHeight, rowStep);
  const double firstRow = std::floor((top - g.templateTop - reach) / rowStep) + 1;
  const double lastRow = std::floor((bottom - g.templateTop) / rowStep);
  if (lastRow < 0) return {0, 0};
  const auto columns = static_cast<std::size_t>(view.columns);
  const auto rows = (count + columns - 1) / columns;
  // Compared as doubles first: a row number far out of range has no integer.
  if (firstRow >= static_cast<double>(rows) || std::isnan(firstRow) || std::isnan(lastRow))
    return {count, count};
  const auto first = static_cast<std::size_t>(std::max(0.0, firstRow));
  const auto last = static_cast<std::size_t>(std::min(static_cast<double>(rows - 1), lastRow));
  return {first * columns, std::min(count, (last + 1) * columns)};
}

int LibraryModel::HitTest(double x, double y) const {
  const LibraryView& view = CurrentView();
  const auto [first, last] = IconsBetween(current_, y, y + 1);
  for (std::size_t i = first; i < last; ++i)
    if (view.icons[i].icon.Contains(x, y) || view.icons[i].text.Contains(x, y))
      return static_cast<int>(i);
  return -1;
}

SelectChange LibraryModel::Select(int index) {
  LibraryView& view = views_[static_cast<std::size_t>(current_)];
  SelectChange change;
  change.previous = view.selected;
  if (index < 0 || index >= static_cast<int>(view.icons.size())) index = -1;
  view.selected = index;
  change.selected = index;
  return change;
}

int LibraryModel::SetScroll(int value) {
  LibraryView& view = views_[static_cast<std::size_t>(current_)];
  view.scroll = std::clamp(value, 0, std::max(0, view.scrollMax));
  return view.scroll;
}

std::optional<std::string> LibraryModel::Chosen(bool hostCanTakeIcon) const {
  const LibraryView& view = CurrentView();
  if (!hostCanTakeIcon || view.selected < 0 ||
      view.selected >= static_cast<int>(view.icons.size()))
    return std::nullopt;
  return view.icons[static_cast<std::size_t>(view.selected)].path;
}

}  // namespace velmora
