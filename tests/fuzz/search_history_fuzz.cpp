// Fuzzes nsearch.dat: whatever it holds, the history read is at most eleven
// non-blank lines in file order, what is written back is at most the newest
// ten and reads back as them, and searching never keeps more than ten.
#include <cstdint>
#include <string>
#include <vector>

#include "../unit/fakes.h"
#include "fuzz_support.h"
#include "netsearch/search_query.h"

namespace {

using namespace velmora;
using fuzz::Require;

const std::string kProgram = "C:\\P\\";

std::vector<std::string> Entries(const SearchHistory& h) {
  std::vector<std::string> out;
  for (int i = 0; i < h.Count(); ++i) out.push_back(h.At(i));
  return out;
}

std::vector<std::string> Newest(std::vector<std::string> entries, std::size_t n) {
  if (entries.size() > n) entries.erase(entries.begin(), entries.end() - static_cast<long>(n));
  return entries;
}

void CheckSaved(const std::string& saved, const std::vector<std::string>& entries) {
  const auto expected = Newest(entries, SearchHistory::kKept);
  Require(SplitLines(saved) == expected, "the newest ten are written, one a line");
  Require(saved.empty() || (saved.size() >= 2 && saved.compare(saved.size() - 2, 2, "\r\n") == 0),
          "every line ends in CR LF");
  SearchHistory again;
  again.Load(saved);
  Require(Entries(again) == expected, "what was written reads back the same");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(fuzz::AsText(data, size));
  SearchHistory h;
  h.Load(bytes);

  std::vector<std::string> expected;
  for (const auto& line : SplitLines(bytes))
    if (!Trim(line).empty() && expected.size() < SearchHistory::kCapacity) expected.push_back(line);
  Require(Entries(h) == expected, "the first eleven non-blank lines, in order");
  CheckSaved(h.Save(), expected);

  std::vector<std::string> newestFirst(expected.rbegin(), expected.rend());
  Require(h.NewestFirst() == newestFirst, "the list shows the newest first");

  // Searching again for what is there, in another letter case, adds nothing.
  if (h.Count() > 0) {
    Require(!h.Add(ToUpper(h.At(0))) && !h.Add(ToLower(h.At(h.Count() - 1))),
            "a search already stored is not added again");
    Require(h.Count() == static_cast<int>(expected.size()), "nor does it drop one");
  }
  // A search is typed into a one-line box.
  std::string typed = bytes.substr(0, 8);
  std::erase_if(typed, [](char c) { return c == '\r' || c == '\n'; });
  for (int n = 0; n < 3; ++n) {
    const std::string text = "fuzz query " + std::to_string(n) + typed;
    const bool added = h.Add(text);
    Require(added || h.Contains(text), "a new search is added");
    Require(!added || (h.Count() <= SearchHistory::kKept && h.NewestFirst().front() == text),
            "the newest search comes first and ten are kept at most");
  }
  CheckSaved(h.Save(), Entries(h));

  // The window's loading and unloading around the file.
  test::FakeFileSystem fs;
  test::FakeDialogs dialogs;
  fs.AddFile(kProgram + kEnginesFile, "NAME=Web\r\nURL=http://search.example/?q=[]\r\n");
  fs.AddFile(kProgram + kHistoryFile, bytes);
  NetSearchModel model;
  Require(model.Load(fs, dialogs, kProgram), "loads");
  Require(Entries(model.History()) == expected, "the window reads the same history");
  model.Unload(fs, kProgram);
  const auto written = fs.Content(kProgram + kHistoryFile);
  Require(written.has_value(), "the history file stays");
  if (!expected.empty()) CheckSaved(*written, expected);
  Require(SplitLines(*written).size() <= SearchHistory::kKept || expected.empty(),
          "never more than ten written");
  return 0;
}
