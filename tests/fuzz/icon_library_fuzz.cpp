// Fuzzes the icon.lib reader: whatever the archive holds, unpacking stays
// inside the Icons folder and never reads past the end of the file, and the
// category files it brings read as named categories of trimmed icon names.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "../unit/fakes.h"
#include "iconlib/icon_library.h"

namespace {

const std::string kLibrary = "C:\\P\\icon.lib";

class Checked : public velmora::test::FakeFileSystem {
 public:
  std::optional<std::string> ReadAt(const std::string& path, std::uint64_t offset,
                                    std::size_t count) override {
    // The archive is read entry by entry, never beyond its end. (Category
    // files are read up to a limit, which is fine.)
    const auto bytes = Content(path);
    if (path == kLibrary && bytes && offset + count > bytes->size()) std::abort();
    return FakeFileSystem::ReadAt(path, offset, count);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string icons = "C:\\P\\Icons\\";
  Checked fs;
  fs.AddFile(kLibrary, std::string(reinterpret_cast<const char*>(data), size));
  fs.AddFolder(icons);
  const auto result = velmora::UnpackIconLibrary(fs, icons, "C:\\P");
  for (const auto& change : fs.Changes()) {
    const std::string name = change.path.substr(icons.size());
    if (change.path.compare(0, icons.size(), icons) != 0 ||
        name.find_first_of("\\/:") != std::string::npos || !velmora::IsSafeEntryName(name))
      std::abort();
  }
  // Category files unpacked from the archive: named, with trimmed icon names.
  for (const auto& category : velmora::ReadCategories(fs, icons)) {
    if (velmora::Trim(category.name).empty()) std::abort();
    for (const auto& icon : category.icons)
      if (icon.empty() || velmora::Trim(icon) != icon) std::abort();
  }
  return 0;
}
