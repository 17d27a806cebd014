// Recording fakes of the platform interfaces, shared by the unit tests.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "model/text.h"
#include "core/dialogs.h"
#include "core/file_system.h"
#include "core/shell_component.h"

namespace velmora::test {

// "*" and "?" wildcards, letters compared without regard to case.
inline bool WildcardMatch(std::string_view pattern, std::string_view name) {
  if (pattern.empty()) return name.empty();
  if (pattern[0] == '*')
    for (std::size_t skip = 0; skip <= name.size(); ++skip)
      if (WildcardMatch(pattern.substr(1), name.substr(skip))) return true;
  if (name.empty()) return false;
  if (pattern[0] != '?' && LowerChar(pattern[0]) != LowerChar(name[0])) return false;
  return WildcardMatch(pattern.substr(1), name.substr(1));
}

// In-memory files and folders. Paths are Windows paths ("\" separators) compared
// without regard to case; every call is recorded as op + path.
class FakeFileSystem : public FileSystem {
 public:
  struct Call {
    std::string op;
    std::string path;
    std::string to;  // Rename's target
    friend bool operator==(const Call&, const Call&) = default;
  };
  std::vector<Call> calls;

  void AddFile(const std::string& path, std::string bytes = {}) {
    files_[Key(path)] = {path, std::move(bytes), {}};
  }
  void AddFolder(const std::string& path) { folders_.insert(Key(path)); }
  // A short 8.3 name that listings match too, as the system's do ("X~1.MNU").
  void SetShortName(const std::string& path, std::string alias) {
    files_.at(Key(path)).alias = std::move(alias);
  }
  // As the system treats the attribute: a read-only file can be renamed (it
  // keeps the attribute) but not replaced or deleted.
  void SetReadOnly(const std::string& path, bool readOnly = true) {
    files_.at(Key(path)).readOnly = readOnly;
  }
  bool HasFile(const std::string& path) const { return files_.count(Key(path)) != 0; }
  std::optional<std::string> Content(const std::string& path) const {
    const auto it = files_.find(Key(path));
    if (it == files_.end()) return std::nullopt;
    return it->second.bytes;
  }
  // `op` is "Delete", "Rename" (either side), "WriteAll" or "ReadAt".
  void FailOn(const std::string& op, const std::string& path, long number = 5,
              std::string description = "Access is denied.") {
    failures_[{op, Key(path)}] = {number, std::move(description)};
  }
  // The paths given to every call of `op`, in order.
  std::vector<std::string> PathsOf(const std::string& op) const {
    std::vector<std::string> out;
    for (const auto& c : calls)
      if (c.op == op) out.push_back(c.path);
    return out;
  }
  // Calls that change something, in order.
  std::vector<Call> Changes() const {
    std::vector<Call> out;
    for (const auto& c : calls)
      if (c.op == "WriteAll" || c.op == "Delete" || c.op == "Rename" || c.op == "CreateFolder")
        out.push_back(c);
    return out;
  }

  bool Exists(const std::string& path) override {
    Record("Exists", path);
    return files_.count(Key(path)) || IsFolderKey(Key(path));
  }
  bool IsFolder(const std::string& path) override {
    Record("IsFolder", path);
    return IsFolderKey(Key(path));
  }
  bool IsReadOnly(const std::string& path) override {
    Record("IsReadOnly", path);
    const auto it = files_.find(Key(path));
    return it != files_.end() && it->second.readOnly;
  }
  std::optional<std::uint64_t> Size(const std::string& path) override {
    Record("Size", path);
    const auto it = files_.find(Key(path));
    if (it == files_.end()) return NotFound(), std::nullopt;
    return it->second.bytes.size();
  }
  std::optional<std::string> ReadAt(const std::string& path, std::uint64_t offset,
                                    std::size_t count) override {
    Record("ReadAt", path);
    if (Fails("ReadAt", path)) return std::nullopt;
    const auto it = files_.find(Key(path));
    if (it == files_.end()) return NotFound(), std::nullopt;
    const auto& bytes = it->second.bytes;
    if (offset >= bytes.size()) return std::string();
    return bytes.substr(static_cast<std::size_t>(offset), count);
  }
  bool WriteAll(const std::string& path, const std::string& bytes) override {
    Record("WriteAll", path);
    if (Fails("WriteAll", path) || DeniedReadOnly(path)) return false;
    AddFile(path, bytes);
    return true;
  }
  bool Delete(const std::string& path) override {
    Record("Delete", path);
    if (Fails("Delete", path) || DeniedReadOnly(path)) return false;
    if (!files_.erase(Key(path))) return NotFound(), false;
    return true;
  }
  bool Rename(const std::string& from, const std::string& to) override {
    calls.push_back({"Rename", from, to});
    if (Fails("Rename", from) || Fails("Rename", to)) return false;
    const auto it = files_.find(Key(from));
    if (it == files_.end()) return NotFound(), false;
    if (files_.count(Key(to))) {
      last_ = {183, "Cannot create a file when that file already exists."};
      return false;
    }
    auto bytes = std::move(it->second.bytes);
    const bool readOnly = it->second.readOnly;
    files_.erase(it);
    AddFile(to, std::move(bytes));
    files_.at(Key(to)).readOnly = readOnly;
    return true;
  }
  bool CreateFolder(const std::string& path) override {
    Record("CreateFolder", path);
    AddFolder(path);
    return true;
  }
  std::vector<std::string> ListFiles(const std::string& folder,
                                     const std::string& pattern) override {
    Record("ListFiles", folder);
    std::vector<std::string> out;
    for (const auto& [key, file] : files_) {
      const auto slash = file.path.find_last_of('\\');
      const std::string name = file.path.substr(slash == std::string::npos ? 0 : slash + 1);
      if (ParentKey(key) == Key(folder) &&
          (WildcardMatch(pattern, name) ||
           (!file.alias.empty() && WildcardMatch(pattern, file.alias))))
        out.push_back(name);
    }
    return out;
  }
  std::optional<std::vector<std::string>> TryListFiles(const std::string& folder,
                                                       const std::string& pattern) override {
    if (!IsFolderKey(Key(folder)) || Fails("ListFiles", folder)) return NotFound(), std::nullopt;
    return ListFiles(folder, pattern);
  }
  std::vector<std::string> ListFolders(const std::string& folder) override {
    Record("ListFolders", folder);
    std::set<std::string> names;
    for (const auto& key : folders_)
      if (ParentKey(key) == Key(folder)) names.insert(key.substr(key.find_last_of('\\') + 1));
    return {names.begin(), names.end()};
  }
  Error LastError() const override { return last_; }

 private:
  struct Entry {
    std::string path;  // as first written, for listings
    std::string bytes;
    std::string alias = {};
    bool readOnly = false;
  };
  static std::string Key(std::string_view path) { return ToUpper(WithoutBackslash(path)); }
  static std::string ParentKey(const std::string& key) {
    const auto slash = key.find_last_of('\\');
    return slash == std::string::npos ? std::string() : Key(key.substr(0, slash + 1));
  }
  bool IsFolderKey(const std::string& key) const {
    if (folders_.count(key)) return true;
    for (const auto& [k, e] : files_)
      if (k.size() > key.size() && k.compare(0, key.size(), key) == 0 &&
          (k[key.size()] == '\\' || key.back() == '\\'))
        return true;
    return false;
  }
  void Record(const char* op, const std::string& path) { calls.push_back({op, path, {}}); }
  bool Fails(const std::string& op, const std::string& path) {
    const auto it = failures_.find({op, Key(path)});
    if (it == failures_.end()) return false;
    last_ = it->second;
    return true;
  }
  void NotFound() { last_ = {2, "The system cannot find the file specified."}; }
  bool DeniedReadOnly(const std::string& path) {
    const auto it = files_.find(Key(path));
    if (it == files_.end() || !it->second.readOnly) return false;
    last_ = {5, "Access is denied."};
    return true;
  }

  std::map<std::string, Entry> files_;
  std::set<std::string> folders_;
  std::map<std::pair<std::string, std::string>, Error> failures_;
  Error last_;
};

// Records every message box and answers from a script; an unscripted Yes/No
// question is answered No.
class FakeDialogs : public Dialogs {
 public:
  struct Box {
    std::string text;
    MsgButtons buttons;
    MsgIcon icon;
    std::string caption;
  };
  std::vector<Box> shown;
  std::deque<MsgResult> answers;

  MsgResult Show(const std::string& text, MsgButtons buttons, MsgIcon icon,
                 const std::string& caption) override {
    shown.push_back({text, buttons, icon, caption});
    if (!answers.empty()) {
      const auto answer = answers.front();
      answers.pop_front();
      return answer;
    }
    return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::No;
  }

  // The file and folder dialogs: each call takes the next answer (nullopt =
  // cancelled); with none left the dialog is cancelled.
  std::vector<OpenFileRequest> openRequests;
  std::deque<std::optional<std::string>> openAnswers;
  std::vector<std::string> folderRequests;
  std::deque<std::optional<FolderChoice>> folderAnswers;

  std::optional<std::string> OpenFile(const OpenFileRequest& request) override {
    openRequests.push_back(request);
    if (openAnswers.empty()) return std::nullopt;
    auto answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
  }
  std::optional<FolderChoice> BrowseForFolder(const std::string& instruction) override {
    folderRequests.push_back(instruction);
    if (folderAnswers.empty()) return std::nullopt;
    auto answer = folderAnswers.front();
    folderAnswers.pop_front();
    return answer;
  }
};

// A shell component factory whose components record their calls into it.
class FakeShell : public ShellComponentFactory {
 public:
  struct Call {
    std::string op;  // "Create", "GetSpecialFolder", "CreateShortcut", "ReadShortcut"
    std::uintptr_t window = 0;
    int folder = -1;
    std::string link = {};
    std::string target = {};
    std::string workingFolder = {};
  };
  std::vector<Call> calls;
  std::map<int, std::string> folders;             // special folder number → path
  std::map<std::string, ShortcutInfo> shortcuts;  // by upper-case link path
  Error createError;                         // set: Create fails with it
  std::map<std::string, Error> opErrors;     // by op name
  FakeFileSystem* fs = nullptr;  // when set, a created shortcut appears there as a file
  int live = 0;                  // components not yet released

  std::unique_ptr<ShellComponent> Create(Error& error) override {
    calls.push_back({"Create"});
    if (createError) {
      error = createError;
      return nullptr;
    }
    return std::make_unique<Component>(*this);
  }
  std::vector<Call> CallsOf(const std::string& op) const {
    std::vector<Call> out;
    for (const auto& c : calls)
      if (c.op == op) out.push_back(c);
    return out;
  }

 private:
  class Component : public ShellComponent {
   public:
    explicit Component(FakeShell& owner) : owner_(owner) { ++owner_.live; }
    ~Component() override { --owner_.live; }
    Error GetSpecialFolder(std::uintptr_t window, std::int16_t folder,
                                std::string& path) override {
      owner_.calls.push_back({"GetSpecialFolder", window, folder});
      if (auto e = owner_.ErrorOf("GetSpecialFolder")) return e;
      const auto it = owner_.folders.find(folder);
      if (it == owner_.folders.end()) return {2, "The system cannot find the file specified."};
      path = it->second;
      return {};
    }
    Error CreateShortcut(const std::string& link, const std::string& target,
                              const std::string& workingFolder) override {
      owner_.calls.push_back({"CreateShortcut", 0, -1, link, target, workingFolder});
      if (auto e = owner_.ErrorOf("CreateShortcut")) return e;
      ShortcutInfo info;
      info.target = target;
      info.workingFolder = workingFolder;
      owner_.shortcuts[ToUpper(link)] = info;
      if (owner_.fs) owner_.fs->AddFile(link, "shortcut");
      return {};
    }
    Error ReadShortcut(const std::string& link, ShortcutInfo& info) override {
      owner_.calls.push_back({"ReadShortcut", 0, -1, link});
      if (auto e = owner_.ErrorOf("ReadShortcut")) return e;
      const auto it = owner_.shortcuts.find(ToUpper(link));
      if (it == owner_.shortcuts.end()) return {2, "The system cannot find the file specified."};
      info = it->second;
      return {};
    }

   private:
    FakeShell& owner_;
  };

  Error ErrorOf(const std::string& op) const {
    const auto it = opErrors.find(op);
    return it == opErrors.end() ? Error{} : it->second;
  }
};

}  // namespace velmora::test
