#include "iconlib/icon_library.h"

#include <algorithm>
#include <array>

#include "model/text.h"
#include "core/file_system.h"

namespace velmora {

namespace {

// Category files are a few hundred names; anything far larger is not one.
constexpr std::size_t kCategoryLimit = 1u << 20;

bool IsDeviceName(std::string_view name) {
  // Windows maps these names to devices whatever their extension ("nul.ico")
  // and ignores blanks before the dot ("con .ico").
  std::string base = TrimRight(name.substr(0, name.find('.')));
  base = ToUpper(base);
  static constexpr std::array<std::string_view, 6> kFixed = {"CON", "PRN", "AUX", "NUL",
                                                             "CONIN$", "CONOUT$"};
  if (std::find(kFixed.begin(), kFixed.end(), base) != kFixed.end()) return true;
  if (base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT"))) {
    const auto d = static_cast<unsigned char>(base[3]);
    // Digits 1-9 and the superscript ones Windows also accepts.
    return (d >= '1' && d <= '9') || d == 0xB9 || d == 0xB2 || d == 0xB3;
  }
  return false;
}

}  // namespace

bool IsSafeEntryName(std::string_view name) {
  if (name.empty() || name.back() == '.' || name.back() == ' ') return false;
  for (const char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 32 || u == 127) return false;
    if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) return false;
  }
  return !IsDeviceName(name);
}

bool IconLibraryExists(FileSystem& fs, std::string_view programFolder) {
  const std::string path = WithBackslash(programFolder) + kIconLibraryFile;
  return fs.Exists(path) && !fs.IsFolder(path);
}

UnpackResult UnpackIconLibrary(FileSystem& fs, std::string_view iconsFolder,
                               std::string_view programFolder) {
  UnpackResult result;
  const std::string icons = WithBackslash(iconsFolder);
  const std::string library = WithBackslash(programFolder) + kIconLibraryFile;
  const auto total = fs.Size(library);
  if (!total) return result;

  std::uint64_t offset = 0;
  while (offset < *total) {
    // A header cut short by the end of the file holds no data to unpack.
    if (*total - offset < kLibraryHeaderLength) break;
    const auto header = fs.ReadAt(library, offset, kLibraryHeaderLength);
    if (!header || header->size() < kLibraryHeaderLength) break;
    const auto size = static_cast<std::int32_t>(LittleEndian32(std::string_view(*header).substr(kLibraryNameWidth)));
    // Zero ends the archive. A negative size leaves no way to find the next
    // entry, so it ends the archive too.
    if (size <= 0) break;
    offset += kLibraryHeaderLength;
    // Never more than the file still holds, whatever the size field claims.
    const std::uint64_t wanted =
        std::min<std::uint64_t>(static_cast<std::uint64_t>(size), *total - offset);
    const std::string name = Trim(std::string_view(*header).substr(0, kLibraryNameWidth));
    if (!IsSafeEntryName(name)) {
      result.refused.push_back(name);
    } else if (const auto data = fs.ReadAt(library, offset, static_cast<std::size_t>(wanted));
               data && fs.WriteAll(icons + name, *data)) {
      result.written.push_back(name);
    } else {
      result.failed.push_back(name);
    }
    offset += static_cast<std::uint64_t>(size);
  }
  return result;
}

std::vector<std::string> ParseCategory(std::string_view text) {
  std::vector<std::string> names;
  for (const std::string& raw : SplitLines(text)) {
    std::string line = Trim(raw);
    if (!line.empty()) names.push_back(std::move(line));
  }
  return names;
}

std::vector<IconCategory> ReadCategories(FileSystem& fs, std::string_view iconsFolder) {
  const std::string icons = WithBackslash(iconsFolder);
  std::vector<std::string> files;
  // A listing also matches short 8.3 aliases ("abc.inix" as ABC~1.INI).
  for (auto& name : fs.ListFiles(icons, "*.ini"))
    if (name.size() > 4 && IEndsWith(name, ".ini")) files.push_back(std::move(name));
  SortLikeListBox(files);

  std::vector<IconCategory> out;
  for (auto& file : files) {
    IconCategory category;
    category.name = file.substr(0, file.size() - 4);
    if (const auto text = fs.ReadAt(icons + file, 0, kCategoryLimit))
      category.icons = ParseCategory(*text);
    category.fileName = std::move(file);
    out.push_back(std::move(category));
  }
  return out;
}

}  // namespace velmora
