// Net Search without its window: the engines file, the query encoding, the
// address templates, the history of searches and what Find and Clear do.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/launch_services.h"

namespace velmora {

class Dialogs;
class FileSystem;

inline constexpr const char* kEnginesFile = "netsrch.ini";
inline constexpr const char* kHistoryFile = "nsearch.dat";

struct Engine {
  std::string name;
  std::string urlTemplate;  // empty when the line after NAME= was no URL= line
  friend bool operator==(const Engine&, const Engine&) = default;
};

// NAME= starts an engine; the next line, when it is a URL= line, is its
// template, and is used up either way.
std::vector<Engine> ParseEngines(std::string_view bytes);

// The text as a query: blanks become "+", reserved characters "%XX".
std::string EncodeQuery(std::string_view text);

// Where the query goes in a template: before the first "[" and after the
// first "]". `ok` is false when either bracket is missing.
struct TemplateParts {
  bool ok = false;
  std::string prefix;
  std::string suffix;
};
TemplateParts SplitTemplate(const std::string& urlTemplate);

// The last searches, oldest first.
class SearchHistory {
 public:
  static constexpr int kCapacity = 11;  // what a file may bring back
  static constexpr int kKept = 10;      // what a search leaves at most

  // Up to 11 non-empty lines of nsearch.dat.
  void Load(std::string_view bytes);
  // nsearch.dat: the newest ten entries, one per line.
  std::string Save() const;

  // A text already there in any letter case changes nothing (false);
  // otherwise it becomes the newest entry, the oldest going when ten are kept.
  bool Add(const std::string& text);
  bool Contains(const std::string& text) const;
  void Clear() { count_ = 0; }

  int Count() const { return count_; }
  const std::string& At(int index) const { return entries_[static_cast<std::size_t>(index)]; }
  // What the drop-down list shows: newest first.
  std::vector<std::string> NewestFirst() const;

 private:
  std::array<std::string, kCapacity> entries_;
  int count_ = 0;
};

std::string MissingEnginesMessage();
std::string TemplateErrorMessage();
std::string NoBrowserMessage();
inline constexpr const char* kClearQuestion = "Are you sure you want to clear all stored search items ?";

// The state of the Net Search window and its actions.
class NetSearchModel {
 public:
  // InitNetSearch's reading part. False (after its message) when netsrch.ini
  // is missing: no engines and no history then.
  bool Load(FileSystem& fs, Dialogs& dialogs, const std::string& programFolder);

  enum class FindResult { Nothing, TemplateError, NoBrowser, Opened };
  // cmdFind_Click: `text` as typed, `engine` the selected position (-1: none).
  // The browser is looked up through `services` when not known yet; `hide`
  // runs just before `runner` sends the address to it.
  FindResult Find(LaunchServices& services, ItemRunner& runner, const std::string& text,
                  int engine, const std::function<void()>& hide);
  // cmdClear_Click after its question; false when the user said No.
  bool Clear(FileSystem& fs, Dialogs& dialogs, const std::string& programFolder);
  // The window's unloading: history to disk, probe file away.
  void Unload(FileSystem& fs, const std::string& programFolder);

  const std::vector<Engine>& Engines() const { return engines_; }
  const SearchHistory& History() const { return history_; }
  // The address the last successful Find opened.
  const std::string& LastAddress() const { return lastAddress_; }

 private:
  std::vector<Engine> engines_;
  SearchHistory history_;
  std::string lastAddress_;
};

}  // namespace velmora
