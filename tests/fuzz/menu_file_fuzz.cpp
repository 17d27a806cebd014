// Fuzzes the menu and button files: whatever a file holds, reading it gives
// the rounded record count of trimmed records, a record read alone is the
// one read with the others, and writing what was read and reading it again
// gives the same records.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "../unit/fakes.h"
#include "fuzz_support.h"
#include "model/item_record.h"

namespace {

using namespace velmora;
using fuzz::Require;

bool Trimmed(const std::string& field, std::size_t width) {
  return field.size() <= width && Trim(field) == field;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = "C:\\P\\Menus\\BMENU001.MNU";
  const std::string copy = "C:\\P\\Menus\\BMENU002.MNU";
  test::FakeFileSystem fs;
  fs.AddFile(path, std::string(fuzz::AsText(data, size)));

  const int count = ReadRecordCount(fs, path);
  Require(count == RecordCount(size), "the file's count is the count of its length");
  // The nearest whole number of records, halves to even.
  const long long over = static_cast<long long>(count) * 570 - static_cast<long long>(size);
  Require(over >= -285 && over <= 285, "count is the nearest whole number of records");
  Require(std::llabs(over) != 285 || count % 2 == 0, "a half record rounds to even");

  const auto records = ReadAllRecords(fs, path);
  Require(static_cast<int>(records.size()) == count, "as many records as counted");
  for (int n = 1; n <= count; ++n) {
    const ItemRecord& r = records[static_cast<std::size_t>(n - 1)];
    Require(ReadRecord(fs, path, n) == r, "a record read alone is the same");
    Require(Trimmed(r.Title, kTitleWidth) && Trimmed(r.FileName, kFileNameWidth) &&
                Trimmed(r.FileExe, kFileExeWidth),
            "fields are trimmed and fit their widths");
    Require(DecodeRecord(EncodeRecord(r)) == r, "a record read survives encoding");
    // The markers are recognised in any letter case.
    const EntryKind kind = KindOf(r);
    Require(KindOf({r.Title, ToUpper(r.FileName), r.FileExe}) == kind &&
                KindOf({r.Title, ToLower(r.FileName), r.FileExe}) == kind,
            "a record's kind does not depend on letter case");
  }

  const std::string encoded = EncodeFile(records);
  Require(encoded.size() == records.size() * kRecordLength, "whole records are written");
  Require(WriteRecords(fs, copy, records), "the fake writes");
  Require(ReadAllRecords(fs, copy) == records, "what was read reads back the same");
  return 0;
}
