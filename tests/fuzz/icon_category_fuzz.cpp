// Fuzzes the icon category files of the Icons folder: whatever one holds, its
// icons are trimmed, non-blank, one-line names in file order that survive
// being written one a line, and the categories read from the folder are the
// .ini files only, named, in list-box order, each with the icons of its file.
#include <cstdint>
#include <string>
#include <vector>

#include "../unit/fakes.h"
#include "fuzz_support.h"
#include "iconlib/icon_library.h"

namespace {

using namespace velmora;
using fuzz::Require;

const std::string kIcons = "C:\\P\\Icons\\";

void CheckIcons(const std::vector<std::string>& icons, const std::string& text) {
  Require(icons.size() <= SplitLines(text).size(), "at most one icon a line");
  std::string rewritten;
  for (const auto& icon : icons) {
    Require(!icon.empty() && Trim(icon) == icon, "icon names are trimmed and not blank");
    Require(icon.find_first_of("\r\n") == std::string::npos, "icon names are one line");
    rewritten += icon + "\r\n";
  }
  Require(ParseCategory(rewritten) == icons, "icons written one a line read back the same");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(fuzz::AsText(data, size));
  const auto icons = ParseCategory(text);
  CheckIcons(icons, text);

  test::FakeFileSystem fs;
  fs.AddFolder(kIcons);
  fs.AddFile(kIcons + "Tools.ini", text);
  fs.AddFile(kIcons + "zeta.INI", text);
  fs.AddFile(kIcons + "Alpha.ini", "disk06.ico\r\n");
  fs.AddFile(kIcons + ".ini", text);             // no name: not a category
  fs.AddFile(kIcons + "notes.txt", text);
  fs.AddFile(kIcons + "Long.inix", text);        // listed through its short name only
  fs.SetShortName(kIcons + "Long.inix", "LONG~1.INI");
  fs.AddFile(kIcons + "disk06.ico", text);

  const auto categories = ReadCategories(fs, kIcons);
  std::vector<std::string> names;
  for (const auto& c : categories) {
    Require(!Trim(c.name).empty(), "a category has a name");
    Require(c.fileName.size() == c.name.size() + 4 &&
                c.fileName.compare(0, c.name.size(), c.name) == 0 &&
                IEquals(c.fileName.substr(c.name.size()), ".ini"),
            "a category is its file's name without .ini");
    CheckIcons(c.icons, *fs.Content(kIcons + c.fileName));
    names.push_back(c.name);
  }
  Require(names == std::vector<std::string>{"Alpha", "Tools", "zeta"},
          "the .ini files, in list-box order");
  Require(categories[1].icons == icons && categories[2].icons == icons,
          "each category holds its file's icons");
  Require(fs.Changes().empty(), "reading categories writes nothing");
  return 0;
}
