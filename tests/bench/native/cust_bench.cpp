// The Customize page must open, expand and save a large toolbar in time
// proportional to its entries: 100 entries per menu button, 1,000 to 30,000
// entries in all, over a file system held in memory.
#include <benchmark/benchmark.h>

#include <map>
#include <optional>
#include <string>

#include "core/dialogs.h"
#include "core/file_system.h"
#include "core/options.h"
#include "customize/cust_model.h"
#include "model/item_record.h"
#include "model/text.h"

namespace {

using namespace velmora;

const std::string kProgram = "C:\\Velmora\\";
const std::string kMenus = kProgram + "Menus\\";

// Files by upper-case path; listings know "*" and "*.ext", all the page uses.
class MemoryFileSystem : public FileSystem {
 public:
  bool Exists(const std::string& path) override { return files_.count(ToUpper(path)) != 0; }
  bool IsFolder(const std::string& path) override { return IEquals(WithBackslash(path), kMenus); }
  bool IsReadOnly(const std::string&) override { return false; }
  std::optional<std::uint64_t> Size(const std::string& path) override {
    const auto it = files_.find(ToUpper(path));
    if (it == files_.end()) return std::nullopt;
    return it->second.second.size();
  }
  std::optional<std::string> ReadAt(const std::string& path, std::uint64_t offset,
                                    std::size_t count) override {
    const auto it = files_.find(ToUpper(path));
    if (it == files_.end()) return std::nullopt;
    const auto& bytes = it->second.second;
    if (offset >= bytes.size()) return std::string();
    return bytes.substr(static_cast<std::size_t>(offset), count);
  }
  bool WriteAll(const std::string& path, const std::string& bytes) override {
    files_[ToUpper(path)] = {path.substr(path.find_last_of('\\') + 1), bytes};
    return true;
  }
  bool Delete(const std::string& path) override { return files_.erase(ToUpper(path)) != 0; }
  bool Rename(const std::string& from, const std::string& to) override {
    const auto it = files_.find(ToUpper(from));
    if (it == files_.end() || files_.count(ToUpper(to))) return false;
    auto bytes = std::move(it->second.second);
    files_.erase(it);
    return WriteAll(to, bytes);
  }
  bool CreateFolder(const std::string&) override { return true; }
  std::vector<std::string> ListFiles(const std::string&, const std::string& pattern) override {
    std::vector<std::string> out;
    const std::string ext = pattern.substr(1);
    for (const auto& [key, file] : files_)
      if (pattern == "*" || IEndsWith(file.first, ext)) out.push_back(file.first);
    return out;
  }
  std::vector<std::string> ListFolders(const std::string&) override { return {}; }
  Error LastError() const override { return {}; }

 private:
  std::map<std::string, std::pair<std::string, std::string>> files_;
};

class SilentDialogs : public Dialogs {
 public:
  MsgResult Show(const std::string&, MsgButtons, MsgIcon, const std::string&) override { return MsgResult::Ok; }
  std::optional<std::string> OpenFile(const OpenFileRequest&) override { return std::nullopt; }
  std::optional<FolderChoice> BrowseForFolder(const std::string&) override { return std::nullopt; }
};

struct Fixture {
  MemoryFileSystem fs;
  SilentDialogs dialogs;
  Options options;

  explicit Fixture(int entries) {
    const int buttons = entries / 100;
    for (int b = 1; b <= buttons; ++b) {
      std::vector<ItemRecord> records{{"Menu " + std::to_string(b), "C:\\Icons\\m.ico", ""}};
      for (int i = 1; i <= 100; ++i) {
        if (i % 10 == 0) records.push_back({"Menu Separator", "MenuLineSeparator", ""});
        else records.push_back({"Program " + std::to_string(i), "C:\\Program Files\\App\\app.exe",
                                "C:\\Program Files\\App\\app.exe"});
      }
      fs.WriteAll(kMenus + EditorFileName(b, true), EncodeFile(records));
    }
    for (int s = 1; s <= 20; ++s)
      fs.WriteAll(kMenus + EditorFileName(s, false), EncodeRecord({"Single", "C:\\s.exe", "C:\\s.exe"}));
  }
  CustModel Page() {
    return CustModel(CustServices{fs, dialogs, options, kProgram, kMenus, kProgram + "httpicon.htm",
                                  "C:\\Start\\", "C:\\Desktop\\"});
  }
};

void BM_OpenPage(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)));
  std::optional<CustModel> page;
  for (auto _ : state) {
    state.PauseTiming();  // closing the last page is not opening this one
    page.reset();
    state.ResumeTiming();
    page.emplace(f.Page());
    auto fx = page->Open();
    benchmark::DoNotOptimize(fx);
  }
  state.SetComplexityN(state.range(0));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ExpandAll(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)));
  std::optional<CustModel> page;
  for (auto _ : state) {
    state.PauseTiming();  // a fresh page, the old one freed outside the clock
    page.reset();
    page.emplace(f.Page());
    page->Open();
    const auto buttons = page->Children(page->MenuRoot());
    state.ResumeTiming();
    for (const NodeId b : buttons) {
      auto fx = page->NodeExpanded(b, true);
      benchmark::DoNotOptimize(fx);
    }
  }
  state.SetComplexityN(state.range(0));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Save(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)));
  CustModel page = f.Page();
  page.Open();
  for (auto _ : state) {
    auto fx = page.Save();
    benchmark::DoNotOptimize(fx);
  }
  state.SetComplexityN(state.range(0));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_OpenPage)->Arg(1000)->Arg(10000)->Arg(30000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandAll)->Arg(1000)->Arg(10000)->Arg(30000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Arg(1000)->Arg(10000)->Arg(30000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

}  // namespace
