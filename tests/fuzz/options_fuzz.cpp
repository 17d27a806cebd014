// Fuzzes the Options file: whatever it holds, the options read are sixteen
// "0"/"1" characters, and saving changed options rewrites the first sixteen
// bytes only, keeping every byte after them exactly.
#include <cstdint>
#include <string>

#include "../unit/fakes.h"
#include "fuzz_support.h"
#include "model/options.h"

namespace {

using namespace velmora;
using fuzz::Require;

const std::string kProgram = "C:\\P\\";

void CheckShape(const Options& o, std::string_view from) {
  const std::string text = o.Text();
  Require(text.size() == kOptionCount, "sixteen characters");
  for (int pos = 1; pos <= kOptionCount; ++pos) {
    const char c = text[static_cast<std::size_t>(pos - 1)];
    Require(c == '0' || c == '1', "only 0 and 1");
    const bool on = static_cast<std::size_t>(pos - 1) < from.size() && from[pos - 1] == '1';
    Require(o.IsOn(pos) == on && o.At(pos) == c, "a position is on exactly when its byte is 1");
  }
  Require(!o.IsOn(0) && !o.IsOn(kOptionCount + 1) && o.At(0) == '0' && o.At(-1) == '0',
          "positions outside the string read as 0");
}

void CheckOverlay(const std::string& written, const Options& o, std::string_view existing) {
  Require(written.size() == std::max<std::size_t>(kOptionCount, existing.size()),
          "the file keeps its length");
  Require(written.compare(0, kOptionCount, o.Text()) == 0, "the options come first");
  if (existing.size() > kOptionCount)
    Require(written.compare(kOptionCount, std::string::npos, existing.substr(kOptionCount)) == 0,
            "bytes after the sixteenth are kept exactly");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = fuzz::AsText(data, size);
  const Options parsed = Options::Parse(bytes);
  CheckShape(parsed, bytes);
  CheckOverlay(parsed.Overlay(bytes), parsed, bytes);

  test::FakeFileSystem fs;
  const std::string file = kProgram + kOptionsFile;
  fs.AddFile(file, std::string(bytes));
  Options options = ReadOptions(fs, kProgram);
  Require(options.Text() == parsed.Text(), "the file reads as its bytes parse");

  // Flip positions chosen by the input, also through the tip's check box,
  // whose position may be anything.
  const std::uint8_t mask = size ? data[size - 1] : 0;
  for (int pos = 1; pos <= kOptionCount; ++pos)
    if (mask & (1u << (pos % 8))) options.Set(pos, !options.IsOn(pos));
  const int tipField = size > 1 ? static_cast<std::int8_t>(data[size - 2]) : 0;
  const std::string before = options.Text();
  ApplyTipChoice(options, tipField, (mask & 1) != 0);
  if (tipField <= 0 || tipField > kOptionCount)
    Require(options.Text() == before, "a tip without a position changes nothing");

  Require(SaveOptions(fs, kProgram, options), "the fake writes");
  CheckOverlay(*fs.Content(file), options, bytes);
  Require(ReadOptions(fs, kProgram).Text() == options.Text(), "saved options read back");
  return 0;
}
