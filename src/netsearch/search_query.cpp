#include "netsearch/search_query.h"

#include <cstdio>

#include "model/text.h"
#include "netsearch/browser_detection.h"
#include "core/dialogs.h"
#include "core/file_system.h"
#include "core/app_state.h"
#include "core/product.h"
#include "model/state_files.h"

namespace velmora {

namespace {

// Both files are a few lines long; anything bigger is read only this far.
constexpr std::size_t kFileLimit = 1 << 20;

bool Reserved(unsigned char c) {
  return c == '+' || c == ',' || c == '/' || (c >= 33 && c <= 41) || (c >= 58 && c <= 64) ||
         (c >= 91 && c <= 96) || (c >= 123 && c <= 126);
}

}  // namespace

std::vector<Engine> ParseEngines(std::string_view bytes) {
  std::vector<Engine> engines;
  const auto lines = SplitLines(bytes);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string line = Trim(lines[i]);
    if (!IStartsWith(line, "NAME=")) continue;
    Engine engine{Trim(line.substr(5)), {}};
    if (i + 1 < lines.size()) {
      const std::string next = Trim(lines[++i]);
      if (IStartsWith(next, "URL=")) engine.urlTemplate = next.substr(4);
    }
    engines.push_back(std::move(engine));
  }
  return engines;
}

std::string EncodeQuery(std::string_view text) {
  std::string query;
  query.reserve(text.size() * 3);
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == ' ') {
      query += '+';
    } else if (Reserved(c)) {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      query += hex;
    } else {
      query += ch;
    }
  }
  return query;
}

TemplateParts SplitTemplate(const std::string& urlTemplate) {
  TemplateParts parts;
  const auto open = urlTemplate.find('[');
  const auto close = urlTemplate.find(']');
  parts.prefix = urlTemplate.substr(0, open);
  if (close != std::string::npos) parts.suffix = urlTemplate.substr(close + 1);
  parts.ok = open != std::string::npos && close != std::string::npos;
  return parts;
}

void SearchHistory::Load(std::string_view bytes) {
  count_ = 0;
  for (const auto& line : SplitLines(bytes)) {
    if (count_ == kCapacity) break;
    // The program never stores an empty search; a blank line is no entry.
    if (Trim(line).empty()) continue;
    entries_[static_cast<std::size_t>(count_++)] = line;
  }
}

std::string SearchHistory::Save() const {
  std::string out;
  for (int i = count_ > kKept ? count_ - kKept : 0; i < count_; ++i) out += At(i) + "\r\n";
  return out;
}

bool SearchHistory::Contains(const std::string& text) const {
  for (int i = 0; i < count_; ++i)
    if (IEquals(At(i), text)) return true;
  return false;
}

bool SearchHistory::Add(const std::string& text) {
  if (Contains(text)) return false;
  // A file may have brought back eleven: drop as many of the oldest as needed
  // so that ten remain after this one.
  while (count_ >= kKept) {
    for (int i = 1; i < count_; ++i)
      entries_[static_cast<std::size_t>(i - 1)] = std::move(entries_[static_cast<std::size_t>(i)]);
    --count_;
  }
  entries_[static_cast<std::size_t>(count_++)] = text;
  return true;
}

std::vector<std::string> SearchHistory::NewestFirst() const {
  std::vector<std::string> out;
  for (int i = count_ - 1; i >= 0; --i) out.push_back(At(i));
  return out;
}

std::string MissingEnginesMessage() {
  return "The file netsrch.ini couldn't be found in your system. No search engine will be "
         "available in the program.";
}

std::string TemplateErrorMessage() {
  return "Error reading the file netsrch.ini for the selected search engine.";
}

std::string NoBrowserMessage() {
  return std::string("Cannot find your default browser. ") +
         "This program supports Netscape 4.05 or " + "later and MS Explorer 4.0 or later. " +
         "If you do have one of those installed in your " +
         "machine and this program cannot find it, " + "please send email to " + kSupportEmail +
         " " + "and report this problem.";
}

bool NetSearchModel::Load(FileSystem& fs, Dialogs& dialogs, const std::string& programFolder) {
  engines_.clear();
  history_.Clear();
  const std::string engines = programFolder + kEnginesFile;
  if (!fs.Exists(engines)) {
    dialogs.Show(MissingEnginesMessage(), MsgButtons::Ok, MsgIcon::Information);
    return false;
  }
  if (const auto bytes = fs.ReadAt(engines, 0, kFileLimit)) engines_ = ParseEngines(*bytes);
  const std::string history = programFolder + kHistoryFile;
  if (fs.Exists(history))
    if (const auto bytes = fs.ReadAt(history, 0, kFileLimit)) history_.Load(*bytes);
  return true;
}

NetSearchModel::FindResult NetSearchModel::Find(LaunchServices& s, ItemRunner& runner,
                                                const std::string& typed, int engine,
                                                const std::function<void()>& hide) {
  const std::string text = Trim(typed);
  if (text.empty()) return FindResult::Nothing;
  history_.Add(text);

  const std::string query = EncodeQuery(text);
  const std::string urlTemplate =
      engine >= 0 && engine < static_cast<int>(engines_.size())
          ? engines_[static_cast<std::size_t>(engine)].urlTemplate
          : std::string();
  const TemplateParts parts = SplitTemplate(urlTemplate);
  if (!parts.ok) {
    s.dialogs.Show(TemplateErrorMessage(), MsgButtons::Ok, MsgIcon::Critical);
    return FindResult::TemplateError;
  }

  if (!s.state.UseDde && !s.state.UseUrlFile) GetDefaultBrowser(s.state, s.fs, s.platform, s.ui);
  if (!s.state.UseDde && !s.state.UseUrlFile) {
    s.dialogs.Show(NoBrowserMessage(), MsgButtons::Ok, MsgIcon::Critical);
    return FindResult::NoBrowser;
  }

  if (hide) hide();
  lastAddress_ = parts.prefix + query + parts.suffix;
  runner.OpenURL(lastAddress_);
  return FindResult::Opened;
}

bool NetSearchModel::Clear(FileSystem& fs, Dialogs& dialogs, const std::string& programFolder) {
  if (history_.Count() > 0 &&
      dialogs.Show(kClearQuestion, MsgButtons::YesNo, MsgIcon::Question,
                   std::string(kAppTitle) + " - Net Search") != MsgResult::Yes)
    return false;
  history_.Clear();
  const std::string file = programFolder + kHistoryFile;
  if (fs.Exists(file)) fs.Delete(file);
  return true;
}

void NetSearchModel::Unload(FileSystem& fs, const std::string& programFolder) {
  const std::string folder = WithBackslash(programFolder);
  if (history_.Count() > 0) fs.WriteAll(folder + kHistoryFile, history_.Save());
  const std::string probe = folder + kTempHtml;
  if (fs.Exists(probe)) fs.Delete(probe);
}

}  // namespace velmora
