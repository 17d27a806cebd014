// Fuzzes netsrch.ini: whatever it holds, the engines read are single-line and
// trimmed, written back in the file's own form they read the same, Net Search
// loads exactly them, and a search on each opens the address its template
// makes of the query, or says the template is broken.
#include <cstdint>
#include <string>
#include <vector>

#include "../unit/fakes.h"
#include "../unit/launch_fakes.h"
#include "core/app_state.h"
#include "fuzz_support.h"
#include "netsearch/search_query.h"

namespace {

using namespace velmora;
using fuzz::Require;

const std::string kProgram = "C:\\P\\";

class Runner : public ItemRunner {
 public:
  void RunItem(std::string&) override { fuzz::Fail("a search runs no item"); }
  void OpenURL(const std::string& address) override { opened.push_back(address); }
  std::vector<std::string> opened;
};

bool SingleLine(const std::string& s) { return s.find_first_of("\r\n") == std::string::npos; }

int Hex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// What a web server makes of the query again.
std::string DecodeQuery(const std::string& query) {
  std::string out;
  for (std::size_t i = 0; i < query.size(); ++i) {
    if (query[i] == '+') {
      out += ' ';
    } else if (query[i] == '%') {
      Require(i + 2 < query.size() && Hex(query[i + 1]) >= 0 && Hex(query[i + 2]) >= 0,
              "an escape is two upper-case hex digits");
      out += static_cast<char>(Hex(query[i + 1]) * 16 + Hex(query[i + 2]));
      i += 2;
    } else {
      Require(query[i] != ' ', "no blank stays in a query");
      out += query[i];
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(fuzz::AsText(data, size));
  const std::vector<Engine> engines = ParseEngines(bytes);

  std::size_t nameLines = 0;
  for (const auto& line : SplitLines(bytes))
    if (IStartsWith(Trim(line), "NAME=")) ++nameLines;
  Require(engines.size() <= nameLines, "every engine comes from a NAME= line");

  std::string rewritten;
  for (const auto& e : engines) {
    Require(SingleLine(e.name) && SingleLine(e.urlTemplate), "names and templates are one line");
    Require(Trim(e.name) == e.name, "names are trimmed");
    Require(e.urlTemplate.empty() || e.urlTemplate.back() != ' ', "templates end in no blank");
    rewritten += "NAME=" + e.name + "\r\nURL=" + e.urlTemplate + "\r\n";
  }
  Require(ParseEngines(rewritten) == engines, "engines written back read the same");

  // Net Search over the file, with a browser already known.
  test::FakeFileSystem fs;
  fs.AddFile(kProgram + kEnginesFile, bytes);
  test::FakeDialogs dialogs;
  NetSearchModel model;
  Require(model.Load(fs, dialogs, kProgram), "an engines file loads");
  Require(model.Engines() == engines && dialogs.shown.empty(), "Net Search loads the engines read");

  AppState state;
  state.folders.program = kProgram;
  state.UseDde = true;
  test::FakeShell shell;
  test::FakeLaunchPlatform platform;
  LaunchServices services{state, fs, dialogs, shell, platform, platform};
  Runner runner;
  const int tried = std::min<int>(static_cast<int>(engines.size()), 8);
  for (int i = 0; i < tried; ++i) {
    // The engine's own name is as good a query as any.
    const std::string query = engines[static_cast<std::size_t>(i)].name;
    const TemplateParts parts = SplitTemplate(engines[static_cast<std::size_t>(i)].urlTemplate);
    const auto opened = runner.opened.size();
    const auto shown = dialogs.shown.size();
    const auto result = model.Find(services, runner, query, i, nullptr);
    if (query.empty()) {
      Require(result == NetSearchModel::FindResult::Nothing, "an empty query does nothing");
    } else if (!parts.ok) {
      Require(result == NetSearchModel::FindResult::TemplateError &&
                  dialogs.shown.size() == shown + 1 && runner.opened.size() == opened,
              "a template without brackets is reported, nothing opens");
    } else {
      Require(result == NetSearchModel::FindResult::Opened && runner.opened.size() == opened + 1,
              "a good template opens one address");
      const std::string& address = runner.opened.back();
      Require(address == model.LastAddress(), "the address opened is the last address");
      Require(address.size() >= parts.prefix.size() + parts.suffix.size() &&
                  address.compare(0, parts.prefix.size(), parts.prefix) == 0 &&
                  address.compare(address.size() - parts.suffix.size(), std::string::npos,
                                  parts.suffix) == 0,
              "the query sits between the template's brackets");
      const std::string encoded = address.substr(
          parts.prefix.size(), address.size() - parts.prefix.size() - parts.suffix.size());
      Require(DecodeQuery(encoded) == query, "the query decodes to what was typed");
    }
  }
  Require(model.History().Count() <= SearchHistory::kKept, "searches keep at most ten");
  return 0;
}
