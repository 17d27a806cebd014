// icon.lib, the packed icon collection, and the Icons folder it unpacks into.
//
// The archive is a bare sequence of entries: a 20-byte blank-padded name, a
// little-endian signed 32-bit size, then that many bytes. It ends at the end of
// the file or at an entry of size 0.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class FileSystem;

inline constexpr const char* kIconLibraryFile = "icon.lib";
inline constexpr std::size_t kLibraryNameWidth = 20;
inline constexpr std::size_t kLibraryHeaderLength = kLibraryNameWidth + 4;

// True when `name` (already trimmed) can only ever name a file directly inside
// the Icons folder: no path separators, drive or stream colons, wildcards,
// control bytes, trailing dot, and no device name such as CON or LPT1.txt.
bool IsSafeEntryName(std::string_view name);

struct UnpackResult {
  std::vector<std::string> written;  // entry names, in archive order
  std::vector<std::string> refused;  // unsafe names, skipped
  std::vector<std::string> failed;   // safe names whose file could not be written
};

// Unpacks programFolder + "icon.lib" into iconsFolder (either may lack its
// trailing "\"). Existing files of the same name are replaced; an entry that
// cannot be written is skipped and the rest still unpacked. A damaged archive
// never makes this read or allocate more than the file holds: a size running
// past the end gives a shorter last file, a negative size ends the archive.
UnpackResult UnpackIconLibrary(FileSystem& fs, std::string_view iconsFolder,
                               std::string_view programFolder);

bool IconLibraryExists(FileSystem& fs, std::string_view programFolder);

// One category file "<name>.ini" of the Icons folder: one icon file name a line.
struct IconCategory {
  std::string name;      // the file name without its last four characters
  std::string fileName;  // as listed
  std::vector<std::string> icons;
};

// Icon names of one category file: lines trimmed, blank lines left out.
std::vector<std::string> ParseCategory(std::string_view text);

// Every "*.ini" file of the Icons folder, in the order a sorted list box shows
// them (letter case ignored).
std::vector<IconCategory> ReadCategories(FileSystem& fs, std::string_view iconsFolder);

}  // namespace velmora
