// The icon library window's rules: the category list, the icons each view
// shows, their captions, where each icon and caption sits in its view's grid,
// how far a grid scrolls, what a point hits, which icon each view has
// selected, and what OK hands back. Lengths are twips in grid coordinates
// (the grid's own top-left corner; scrolling moves the grid, not the icons).
//
// Views. View 0 is "All Categories": every "*.ico" file of the Icons folder.
// View k > 0 is the k-th category file in list order: the names it lists
// that are icon files of the Icons folder. Both are sorted by name the way a
// sorted list box sorts. A view is built (its icons loaded and placed) the
// first time it is shown and kept afterwards.
//
// Decisions beyond the window's long-standing rules:
//  * A category line names an icon only when it is the name of an ".ico"
//    file listed in the Icons folder (letter case ignored): a line such as
//    "..\other.ico" can never reach outside the folder.
//  * A name listed twice in one category file shows once.
//  * A file that does not load as an icon is left out of every view, as a
//    missing one is, instead of leaving an empty place.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora {

class FileSystem;

inline constexpr const char* kAllCategories = "All Categories";
// What an icon's path is relative to: the program folder.
inline constexpr const char* kIconsRelativeFolder = "\\icons\\";
inline constexpr double kLibraryScrollStep = 100;  // twips per scroll step

// The caption under an icon: the file name without its last four characters,
// lower case with the first character upper case, and cut to its first 9
// characters + " .." when longer than 11.
std::string IconCaption(std::string_view fileName);

struct TwipRect {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
  double Right() const { return left + width; }
  double Bottom() const { return top + height; }
  // Edges: the left and top belong to the rectangle, the right and bottom not.
  bool Contains(double x, double y) const {
    return x >= left && x < Right() && y >= top && y < Bottom();
  }
  friend bool operator==(const TwipRect&, const TwipRect&) = default;
};

// The grid's measures. The steps between icons are the library's own: 200
// twips across, 400 down (room for the caption).
struct LibraryGeometry {
  double templateLeft = 150;  // the first icon's place
  double templateTop = 150;
  double iconWidth = 900;     // the click target the picture is drawn in
  double iconHeight = 600;
  double captionHeight = 255;
  double gapX = 200;
  double gapY = 400;
  double gridWidth = 6000;    // where rows wrap
  double frameHeight = 4000;  // the visible part of the grid
};

struct GridLayout {
  std::vector<TwipRect> icons;
  std::vector<TwipRect> captions;
  int columns = 0;         // icons per full row
  double gridHeight = 0;   // at least the frame's height
  int scrollMax = 0;       // (grid height - frame height) / 100, rounded
};

// Icon i's place: row after row from the template, each next icon gapX right
// of the previous one, a new row gapY below when the next would pass the
// grid's right edge. A caption sits under its icon, widened by half a gap on
// either side so that neighbouring captions meet but never overlap.
GridLayout LayOutGrid(std::size_t count, const LibraryGeometry& g);

struct LibraryIcon {
  std::string fileName;  // as the Icons folder lists it
  std::string caption;
  std::string path;      // "\icons\" + file name
  int picture = -1;      // what the loader returned for it
  TwipRect icon;
  TwipRect text;
};

struct LibraryView {
  std::string title;       // its line in the category list
  std::string file;        // the category file; empty for All Categories
  std::vector<std::string> names;  // the icon names it asks for, in order
  bool built = false;
  std::vector<LibraryIcon> icons;
  int columns = 0;
  double gridHeight = 0;
  int scrollMax = 0;
  int scroll = 0;          // the grid's top is -scroll x 100
  int selected = -1;       // index into icons; -1: none
};

struct ViewChange {
  bool changed = false;  // another view is shown now
  int previous = -1;
  bool built = false;    // the view was built by this call
};

struct SelectChange {
  int previous = -1;  // whose caption loses the highlight (-1: none)
  int selected = -1;
};

class LibraryModel {
 public:
  // Loads an icon file's picture: an id for the window's own use, or -1 when
  // the file is not an icon. Asked once per icon of a view as it is built.
  using IconLoader = std::function<int(const std::string& fileName)>;

  LibraryModel(FileSystem& fs, std::string iconsFolder, LibraryGeometry geometry,
               IconLoader loader);

  // Lists the category files and the icon files and builds the All Categories
  // view, which is then the one shown. Call once.
  void Load();

  // "All Categories", then one entry per category file.
  std::vector<std::string> CategoryList() const;
  int ViewCount() const { return static_cast<int>(views_.size()); }
  int Current() const { return current_; }
  const LibraryView& View(int index) const { return views_.at(static_cast<std::size_t>(index)); }
  const LibraryView& CurrentView() const { return View(current_); }
  const LibraryGeometry& Geometry() const { return geometry_; }

  // Shows view `index`, building it first when needed; the view already
  // shown, or an index out of range, changes nothing.
  ViewChange ShowView(int index);

  // The icon of the current view whose picture or caption is at (x, y);
  // -1 for none.
  int HitTest(double x, double y) const;
  // The icons of view `index` that may show between grid heights `top` and
  // `bottom`: [first, last).
  std::pair<std::size_t, std::size_t> IconsBetween(int index, double top, double bottom) const;

  // Selects icon `index` of the current view (-1: none); out of range: none.
  SelectChange Select(int index);

  // Scrolls the current view; the value is kept within 0..scrollMax.
  int SetScroll(int value);
  double GridTop() const { return -CurrentView().scroll * kLibraryScrollStep; }

  // What OK (or a double click) hands to the editor: the selected icon's
  // path, when the editor can take an icon and the view has one selected.
  std::optional<std::string> Chosen(bool hostCanTakeIcon) const;

 private:
  void Build(LibraryView& view);

  FileSystem& fs_;
  std::string icons_;
  LibraryGeometry geometry_;
  IconLoader loader_;
  std::vector<std::string> iconFiles_;  // every ".ico" of the folder, sorted
  std::vector<LibraryView> views_;
  int current_ = 0;
};

}  // namespace velmora
