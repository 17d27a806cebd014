#include "model/item_record.h"

#include <algorithm>

#include "model/text.h"
#include "core/file_system.h"

namespace velmora {

namespace {

void AppendField(std::string& out, std::string_view text, std::size_t width) {
  const auto used = std::min(text.size(), width);
  out.append(text.substr(0, used));
  out.append(width - used, ' ');
}

std::string_view Field(std::string_view bytes, std::size_t offset, std::size_t width) {
  if (offset >= bytes.size()) return {};
  return bytes.substr(offset, std::min(width, bytes.size() - offset));
}

}  // namespace

std::string EncodeRecord(const ItemRecord& record) {
  std::string out;
  out.reserve(kRecordLength);
  AppendField(out, record.Title, kTitleWidth);
  AppendField(out, record.FileName, kFileNameWidth);
  AppendField(out, record.FileExe, kFileExeWidth);
  return out;
}

ItemRecord DecodeRecord(std::string_view bytes) {
  return {Trim(Field(bytes, 0, kTitleWidth)),
          Trim(Field(bytes, kTitleWidth, kFileNameWidth)),
          Trim(Field(bytes, kTitleWidth + kFileNameWidth, kFileExeWidth))};
}

int RecordCount(std::uint64_t length) {
  std::uint64_t count = length / kRecordLength;
  const std::uint64_t rest2 = (length % kRecordLength) * 2;
  if (rest2 > kRecordLength || (rest2 == kRecordLength && (count % 2) == 1)) ++count;
  return static_cast<int>(std::min<std::uint64_t>(count, 32767));
}

EntryKind KindOf(const ItemRecord& record) {
  const auto name = Trim(record.FileName);
  if (IEquals(name, kSeparatorMarker)) return EntryKind::Separator;
  if (IEquals(name, kBreakerMarker)) return EntryKind::PageBreak;
  return EntryKind::Item;
}

std::string EncodeFile(const std::vector<ItemRecord>& records) {
  std::string out;
  out.reserve(records.size() * kRecordLength);
  for (const auto& r : records) out += EncodeRecord(r);
  return out;
}

int ReadRecordCount(FileSystem& fs, const std::string& path) {
  const auto size = fs.Size(path);
  return size ? RecordCount(*size) : 0;
}

ItemRecord ReadRecord(FileSystem& fs, const std::string& path, int n) {
  if (n < 1) return {};
  const auto bytes = fs.ReadAt(path, static_cast<std::uint64_t>(n - 1) * kRecordLength,
                               kRecordLength);
  return bytes ? DecodeRecord(*bytes) : ItemRecord{};
}

std::vector<ItemRecord> ReadAllRecords(FileSystem& fs, const std::string& path) {
  std::vector<ItemRecord> out;
  const int count = ReadRecordCount(fs, path);
  if (count == 0) return out;
  const auto bytes = fs.ReadAt(path, 0, static_cast<std::size_t>(count) * kRecordLength);
  if (!bytes) return out;
  out.reserve(count);
  for (int i = 0; i < count; ++i)
    out.push_back(DecodeRecord(Field(*bytes, static_cast<std::size_t>(i) * kRecordLength,
                                     kRecordLength)));
  return out;
}

bool WriteRecords(FileSystem& fs, const std::string& path,
                  const std::vector<ItemRecord>& records) {
  return fs.WriteAll(path, EncodeFile(records));
}

std::string EditorFileName(int position, bool menuButton) {
  return "BMENU" + FormatMin3(position) + (menuButton ? ".MNU" : ".BTN");
}

std::string SampleFileName(int number, bool menuButton) {
  return "BMENU0" + FormatMin2(number) + (menuButton ? ".MNU" : ".BTN");
}

std::vector<std::string> SortedButtonFiles(const std::vector<std::string>& names,
                                           std::string_view extension) {
  std::vector<std::string> out;
  for (const auto& name : names)
    if (IEndsWith(name, extension)) out.push_back(ToUpper(name));
  // Plain character-code order, as unsigned bytes.
  std::sort(out.begin(), out.end(), [](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(),
        [](char x, char y) { return static_cast<unsigned char>(x) < static_cast<unsigned char>(y); });
  });
  return out;
}

std::vector<std::string> ListButtonFiles(FileSystem& fs, const std::string& menusFolder,
                                         bool menuButtons) {
  const std::string_view ext = menuButtons ? ".MNU" : ".BTN";
  return SortedButtonFiles(fs.ListFiles(menusFolder, menuButtons ? "*.mnu" : "*.btn"), ext);
}

}  // namespace velmora
