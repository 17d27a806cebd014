// The Item record and the menu/button files built from it: 570-byte records of
// three blank-padded ANSI fields, no header.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class FileSystem;

inline constexpr std::size_t kTitleWidth = 50;
inline constexpr std::size_t kFileNameWidth = 260;
inline constexpr std::size_t kFileExeWidth = 260;
inline constexpr std::size_t kRecordLength = kTitleWidth + kFileNameWidth + kFileExeWidth;
static_assert(kRecordLength == 570);

inline constexpr std::string_view kSeparatorMarker = "MenuLineSeparator";
inline constexpr std::string_view kBreakerMarker = "MenuBreaker";

struct ItemRecord {
  std::string Title;
  std::string FileName;
  std::string FileExe;
  friend bool operator==(const ItemRecord&, const ItemRecord&) = default;
};

// Exactly kRecordLength bytes; each field left-aligned, blank-padded, cut at its width.
std::string EncodeRecord(const ItemRecord& record);
// Fields trimmed of blanks. A short slice (the end of a file) reads as blanks.
ItemRecord DecodeRecord(std::string_view bytes);

// Record count of a file of `length` bytes: length / 570 rounded to the nearest
// whole number, halves to even as the format's readers always did. Capped at the
// largest 16-bit count so that a huge file cannot wrap the counters.
int RecordCount(std::uint64_t length);

enum class EntryKind { Item, Separator, PageBreak };
EntryKind KindOf(const ItemRecord& record);

std::string EncodeFile(const std::vector<ItemRecord>& records);

// Reading through the file system: nullopt-free, a failing read yields an empty record.
int ReadRecordCount(FileSystem& fs, const std::string& path);
ItemRecord ReadRecord(FileSystem& fs, const std::string& path, int n);  // n is 1-based
std::vector<ItemRecord> ReadAllRecords(FileSystem& fs, const std::string& path);
bool WriteRecords(FileSystem& fs, const std::string& path, const std::vector<ItemRecord>& records);

// File names in the Menus folder.
std::string EditorFileName(int position, bool menuButton);   // "BMENU" + "0##" + ".MNU"/".BTN"
std::string SampleFileName(int number, bool menuButton);     // "BMENU0" + "#00" + ".MNU"/".BTN"

// The toolbar's order: names upper-cased, sorted by plain character code. Names
// whose extension is not exactly `extension` (".MNU"/".BTN", any case) are
// dropped: a system listing may match them through their short 8.3 alias.
std::vector<std::string> SortedButtonFiles(const std::vector<std::string>& names,
                                           std::string_view extension);
std::vector<std::string> ListButtonFiles(FileSystem& fs, const std::string& menusFolder,
                                         bool menuButtons);

}  // namespace velmora
