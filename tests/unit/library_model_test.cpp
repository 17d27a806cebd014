#include "iconlib/library_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "fakes.h"

namespace velmora {
namespace {

using test::FakeFileSystem;

const std::string kIcons = "C:\\Velmora\\Icons\\";

TEST(IconCaption, CutsTheExtensionCapitalisesAndShortensLongNames) {
  const std::map<std::string, std::string> cases = {
      {"MyComputerBig.ico", "Mycompute .."},
      {"disk06.ico", "Disk06"},
      {"DISK06.ICO", "Disk06"},
      {"abcdefghijk.ico", "Abcdefghijk"},  // 11 characters stay whole
      {"abcdefghijkl.ico", "Abcdefghi .."},
      {"x.ico", "X"},
      {".ico", ""},
      {"\xC9" "CLAIR.ico", "\xC9" "clair"},  // accented letters of the ANSI code page
  };
  for (const auto& [name, caption] : cases) EXPECT_EQ(IconCaption(name), caption) << name;
}

LibraryGeometry Narrow() {
  LibraryGeometry g;  // icons 900 x 600 from (150, 150)
  g.gridWidth = 3250;  // room for three: the third ends exactly at the edge
  g.frameHeight = 2000;
  return g;
}

TEST(LibraryGrid, PlacesIconsInRowsAndWrapsAtTheRightEdge) {
  const GridLayout grid = LayOutGrid(7, Narrow());
  ASSERT_EQ(grid.icons.size(), 7u);
  const double lefts[] = {150, 1250, 2350, 150, 1250, 2350, 150};
  const double tops[] = {150, 150, 150, 1150, 1150, 1150, 2150};
  for (std::size_t i = 0; i < 7; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(grid.icons[i], (TwipRect{lefts[i], tops[i], 900, 600}));
    // The caption under it, half a gap wider on either side.
    EXPECT_EQ(grid.captions[i], (TwipRect{lefts[i] - 100, tops[i] + 600, 1100, 255}));
  }
  EXPECT_EQ(grid.columns, 3);
  // Three rows: 2150 + 600 + 400 = 3150 high; (3150 - 2000) / 100 = 11.5 rounds up.
  EXPECT_EQ(grid.gridHeight, 3150);
  EXPECT_EQ(grid.scrollMax, 12);
}

TEST(LibraryGrid, ShortAndEmptyGridsDoNotScroll) {
  for (std::size_t count : {0u, 1u, 3u}) {
    const GridLayout grid = LayOutGrid(count, Narrow());
    EXPECT_EQ(grid.gridHeight, 2000) << count;
    EXPECT_EQ(grid.scrollMax, 0) << count;
  }
  // A grid narrower than one icon still lists every icon, one a row.
  LibraryGeometry g = Narrow();
  g.gridWidth = 500;
  const GridLayout grid = LayOutGrid(3, g);
  EXPECT_EQ(grid.columns, 1);
  EXPECT_EQ(grid.icons[2], (TwipRect{150, 2150, 900, 600}));
}

class Library : public ::testing::Test {
 protected:
  void AddIcons(std::initializer_list<const char*> names) {
    for (const char* name : names) fs.AddFile(kIcons + name, "icon");
  }
  LibraryModel& Open(LibraryGeometry g = Narrow()) {
    model = std::make_unique<LibraryModel>(fs, kIcons, g, [this](const std::string& name) {
      ++loads[name];
      return refused.count(name) ? -1 : static_cast<int>(loads.size());
    });
    model->Load();
    return *model;
  }
  static std::vector<std::string> Names(const LibraryView& view) {
    std::vector<std::string> out;
    for (const auto& icon : view.icons) out.push_back(icon.fileName);
    return out;
  }
  std::vector<std::string> ViewNames(int index) {
    model->ShowView(index);
    return Names(model->View(index));
  }

  FakeFileSystem fs;
  std::unique_ptr<LibraryModel> model;
  std::map<std::string, int> loads;
  std::set<std::string> refused;
};

TEST_F(Library, ListsEveryIconAndEveryCategorySortedAsAListBox) {
  AddIcons({"b.ico", "A.ico", "c.ICO", "notes.txt", "icons.icox"});
  fs.SetShortName(kIcons + "icons.icox", "ICONS~1.ICO");
  fs.AddFile(kIcons + "Zeta.ini", "b.ico\r\n");
  fs.AddFile(kIcons + "alpha.ini", "c.ico\r\nA.ico\r\n");
  Open();

  EXPECT_EQ(model->CategoryList(), (std::vector<std::string>{"All Categories", "alpha", "Zeta"}));
  EXPECT_EQ(model->Current(), 0);
  EXPECT_EQ(Names(model->CurrentView()), (std::vector<std::string>{"A.ico", "b.ico", "c.ICO"}));
  EXPECT_EQ(model->CurrentView().icons[1].path, "\\icons\\b.ico");
  EXPECT_EQ(model->CurrentView().icons[1].caption, "B");
  // Category names take the folder's spelling and the list's order.
  EXPECT_EQ(ViewNames(1), (std::vector<std::string>{"A.ico", "c.ICO"}));
  EXPECT_EQ(ViewNames(2), (std::vector<std::string>{"b.ico"}));
}

TEST_F(Library, CategoryFilesKeepOnlyIconsOfTheFolder) {
  AddIcons({"a.ico", "b.ico", "c.ico"});
  fs.AddFile("C:\\Velmora\\secret.ico", "outside");
  std::string longFile;
  for (int i = 0; i < 20000; ++i) longFile += "missing" + std::to_string(i) + ".ico\r\n";
  longFile += "c.ico";
  const std::map<std::string, std::string> files = {
      {"Blank.ini", "b.ico\r\n\r\n   \r\n\ta.ico\r\n  a.ico  \n\n"},
      {"Plain.ini", "b.ico\r\na.ico"},
      {"Missing.ini", "gone.ico\r\nb.ico\r\nnotes\r\n"},
      {"Outside.ini", "..\\secret.ico\r\nC:\\Velmora\\secret.ico\r\n\\icons\\a.ico\r\n"},
      {"Twice.ini", "a.ico\r\nA.ICO\r\na.ico\r\n"},
      {"Empty.ini", ""},
      {"Binary.ini", std::string("\0\x01\xFF\xFE\r\n\x89PNG\0a.ico", 16)},
      {"Long.ini", longFile},
  };
  for (const auto& [name, text] : files) fs.AddFile(kIcons + name, text);
  Open();
  const auto list = model->CategoryList();
  const auto viewOf = [&](const std::string& title) {
    const auto at = std::find(list.begin(), list.end(), title) - list.begin();
    return ViewNames(static_cast<int>(at));
  };
  // A tab is no blank: "\ta.ico" names no icon.
  EXPECT_EQ(viewOf("Blank"), (std::vector<std::string>{"a.ico", "b.ico"}));
  EXPECT_EQ(viewOf("Blank"), viewOf("Plain"));
  EXPECT_EQ(viewOf("Missing"), (std::vector<std::string>{"b.ico"}));
  EXPECT_EQ(viewOf("Outside"), (std::vector<std::string>{}));
  EXPECT_EQ(viewOf("Twice"), (std::vector<std::string>{"a.ico"}));
  EXPECT_EQ(viewOf("Empty"), (std::vector<std::string>{}));
  EXPECT_EQ(viewOf("Binary"), (std::vector<std::string>{}));
  EXPECT_EQ(viewOf("Long"), (std::vector<std::string>{"c.ico"}));
  EXPECT_EQ(model->View(model->Current()).scrollMax, 0);
}

TEST_F(Library, AMissingOrEmptyIconsFolderGivesOneEmptyView) {
  for (bool folder : {false, true}) {
    if (folder) fs.AddFolder(kIcons);
    Open();
    EXPECT_EQ(model->CategoryList(), (std::vector<std::string>{"All Categories"}));
    EXPECT_TRUE(model->CurrentView().icons.empty());
    EXPECT_EQ(model->CurrentView().scrollMax, 0);
    EXPECT_EQ(model->HitTest(200, 200), -1);
    EXPECT_EQ(model->Select(0).selected, -1);
    EXPECT_EQ(model->Chosen(true), std::nullopt);
    EXPECT_FALSE(model->ShowView(1).changed);
  }
}

TEST_F(Library, FilesThatAreNotIconsLeaveNoGap) {
  AddIcons({"a.ico", "bad.ico", "c.ico"});
  refused = {"bad.ico"};
  Open();
  const LibraryView& view = model->CurrentView();
  EXPECT_EQ(Names(view), (std::vector<std::string>{"a.ico", "c.ico"}));
  EXPECT_EQ(view.icons[1].icon.left, 1250);
}

TEST_F(Library, ViewsAreBuiltOnceAndKeepTheirOwnSelectionAndScroll) {
  for (int i = 0; i < 12; ++i) fs.AddFile(kIcons + "i" + std::to_string(10 + i) + ".ico", "icon");
  fs.AddFile(kIcons + "Some.ini", "i10.ico\r\ni11.ico\r\n");
  Open();
  EXPECT_EQ(loads.size(), 12u);
  model->Select(4);
  model->SetScroll(3);

  ViewChange change = model->ShowView(1);
  EXPECT_TRUE(change.changed && change.built);
  EXPECT_EQ(change.previous, 0);
  EXPECT_EQ(model->CurrentView().selected, -1);
  EXPECT_EQ(model->Chosen(true), std::nullopt) << "nothing selected in this view";
  EXPECT_EQ(model->Select(1).previous, -1);
  EXPECT_EQ(model->Chosen(true), "\\icons\\i11.ico");
  EXPECT_EQ(model->Chosen(false), std::nullopt) << "the editor has a root selected";

  change = model->ShowView(0);
  EXPECT_TRUE(change.changed);
  EXPECT_FALSE(change.built);
  EXPECT_EQ(model->CurrentView().selected, 4);
  EXPECT_EQ(model->CurrentView().scroll, 3);
  EXPECT_EQ(model->Chosen(true), "\\icons\\i14.ico");
  EXPECT_FALSE(model->ShowView(0).changed) << "the view already shown";
  EXPECT_FALSE(model->ShowView(5).changed);
  model->ShowView(1);
  for (const auto& [name, count] : loads) EXPECT_EQ(count, name <= "i11.ico" ? 2 : 1) << name;

  // Selection beyond the icons clears it; a new one reports the old.
  EXPECT_EQ(model->Select(7).selected, -1);
  EXPECT_EQ(model->Select(0).previous, -1);
  EXPECT_EQ(model->Select(1).previous, 0);
}

TEST_F(Library, HitsPicturesAndCaptionsButNotTheGaps) {
  AddIcons({"a.ico", "b.ico", "c.ico", "d.ico"});
  Open();
  EXPECT_EQ(model->HitTest(150, 150), 0);      // the picture's corner
  EXPECT_EQ(model->HitTest(1049, 749), 0);     // its last twip
  EXPECT_EQ(model->HitTest(1100, 800), 0);     // the caption's overhang to the right
  EXPECT_EQ(model->HitTest(1150, 800), 1);     // the next caption's
  EXPECT_EQ(model->HitTest(1100, 500), -1);    // between two pictures
  EXPECT_EQ(model->HitTest(500, 1004), 0);     // the caption's last twip
  EXPECT_EQ(model->HitTest(500, 1100), -1);    // under the caption
  EXPECT_EQ(model->HitTest(200, 1200), 3);     // second row
  EXPECT_EQ(model->HitTest(1300, 1200), -1);   // past the last icon
  EXPECT_EQ(model->HitTest(100, 100), -1);
  EXPECT_EQ(model->HitTest(-5000, -5000), -1);
  EXPECT_EQ(model->HitTest(200, 1e300), -1);
  EXPECT_EQ(model->HitTest(200, -1e300), -1);
}

TEST_F(Library, TwoThousandIcons) {
  LibraryGeometry g;
  g.gridWidth = 6600;   // six icons a row
  g.frameHeight = 4500;
  for (int i = 0; i < 2000; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "ic%04d.ico", i);
    fs.AddFile(kIcons + name, "icon");
  }
  fs.AddFile(kIcons + "Half.ini", [] {
    std::string text;
    for (int i = 0; i < 2000; i += 2) text += "IC" + std::to_string(1000 + i) + ".ICO\r\n";
    return text;
  }());
  Open(g);
  const LibraryView& all = model->CurrentView();
  ASSERT_EQ(all.icons.size(), 2000u);
  EXPECT_EQ(all.columns, 6);
  // 334 rows of 1000 twips from 150: 150 + 333 x 1000 + 1000 high.
  EXPECT_EQ(all.gridHeight, 334150);
  EXPECT_EQ(all.scrollMax, 3297);
  EXPECT_EQ(all.icons.back().icon, (TwipRect{1250, 333150, 900, 600}));
  EXPECT_EQ(all.icons.back().fileName, "ic1999.ico");

  // Scrolled to the end, the frame shows the last rows only.
  EXPECT_EQ(model->SetScroll(100000), 3297);
  const double top = -model->GridTop();
  const auto [first, last] = model->IconsBetween(model->Current(), top, top + g.frameHeight);
  EXPECT_EQ(last, 2000u);
  EXPECT_LE(last - first, 6u * 6u);
  EXPECT_EQ(model->HitTest(1300, 333200), 1999);
  EXPECT_EQ(model->SetScroll(-3), 0);

  model->ShowView(1);
  EXPECT_EQ(model->CurrentView().icons.size(), 500u);  // names 1000 to 1998, even ones
  EXPECT_EQ(model->CurrentView().icons.front().fileName, "ic1000.ico");
}

}  // namespace
}  // namespace velmora
