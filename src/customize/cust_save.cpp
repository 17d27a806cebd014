#include "customize/cust_save.h"

#include "core/file_system.h"
#include "model/text.h"

namespace velmora {

namespace {

constexpr const char* kMarkerContent = "Velmora toolbar update\r\n";

std::string_view WithoutSuffix(std::string_view name, std::string_view suffix) {
  return name.substr(0, name.size() - suffix.size());
}

// A temporary file of some writer working on one of our names ("x.~vn.tmp"):
// never anything the user made.
bool IsDebris(std::string_view name) {
  const std::string lower = ToLower(name);
  return lower.find(".~vn.") != std::string::npos || lower.find(".~vo.") != std::string::npos ||
         lower.rfind(std::string(kCommitMarker) + ".", 0) == 0;
}

// Remembers the first failure of a sequence of steps that all go on.
struct FirstFailure {
  std::string path;
  Error error;
  bool failed = false;
  void Note(FileSystem& fs, const std::string& p) {
    if (failed) return;
    failed = true;
    path = p;
    error = fs.LastError();
    if (error.ok()) error = {5, "Access is denied."};
  }
};

}  // namespace

ToolbarFiles ReadToolbarFiles(FileSystem& fs, const std::string& menusFolder) {
  ToolbarFiles out;
  for (const bool menu : {true, false}) {
    for (const auto& name : ListButtonFiles(fs, menusFolder, menu)) {
      ButtonFile file{menusFolder + name, {}};
      const auto size = fs.Size(file.path);
      if (!size) {
        // Gone since the listing: nothing of it can be lost any more.
        const Error error = fs.LastError();
        if (MessageErrorNumber(error.number) != kErrFileNotFound) out.unreadable.push_back({file.path, error});
        continue;
      }
      // A menu file shows its records; a single button only ever has its first.
      const int count = menu ? RecordCount(*size) : 1;
      if (count == 0) continue;
      const auto bytes = fs.ReadAt(file.path, 0, static_cast<std::size_t>(count) * kRecordLength);
      if (!bytes) {
        out.unreadable.push_back({file.path, fs.LastError()});
        continue;
      }
      file.records.reserve(static_cast<std::size_t>(count));
      const std::string_view all(*bytes);
      for (int i = 0; i < count; ++i) {
        const std::size_t at = static_cast<std::size_t>(i) * kRecordLength;
        file.records.push_back(
            DecodeRecord(at < all.size() ? all.substr(at, kRecordLength) : std::string_view()));
      }
      (menu ? out.menus : out.singles).push_back(std::move(file));
    }
  }
  return out;
}

RecoveryReport RecoverMenusFolder(FileSystem& fs, const std::string& menusFolder) {
  RecoveryReport report;
  std::vector<std::string> staged, setAside, debris;
  bool marker = false;
  for (const auto& name : fs.ListFiles(menusFolder, "*")) {
    if (IEquals(name, kCommitMarker)) marker = true;
    else if (IEndsWith(name, kStagedSuffix)) staged.push_back(name);
    else if (IEndsWith(name, kSetAsideSuffix)) setAside.push_back(name);
    else if (IsDebris(name)) debris.push_back(name);
  }
  report.found = marker || !staged.empty() || !setAside.empty() || !debris.empty();
  if (!report.found) return report;

  FirstFailure failure;
  if (marker) {
    // The new set is complete: put it in place, then forget the old one. The
    // marker goes last, or a later run would roll back over the new set.
    report.rolledForward = true;
    for (const auto& name : staged) {
      const std::string from = menusFolder + name;
      if (!fs.Rename(from, menusFolder + std::string(WithoutSuffix(name, kStagedSuffix))))
        failure.Note(fs, from);
    }
    for (const auto& name : setAside)
      if (!fs.Delete(menusFolder + name)) failure.Note(fs, menusFolder + name);
    if (!failure.failed && !fs.Delete(menusFolder + std::string(kCommitMarker)))
      failure.Note(fs, menusFolder + std::string(kCommitMarker));
  } else {
    for (const auto& name : staged)
      if (!fs.Delete(menusFolder + name)) failure.Note(fs, menusFolder + name);
    for (const auto& name : setAside) {
      const std::string from = menusFolder + name;
      if (!fs.Rename(from, menusFolder + std::string(WithoutSuffix(name, kSetAsideSuffix))))
        failure.Note(fs, from);
    }
  }
  // Left-overs of an interrupted write; harmless if they stay.
  for (const auto& name : debris) fs.Delete(menusFolder + name);

  report.complete = !failure.failed;
  report.path = failure.path;
  report.error = failure.error;
  return report;
}

SaveReport SaveToolbarFiles(FileSystem& fs, const std::string& menusFolder,
                            const ToolbarContent& content) {
  // A save interrupted earlier is finished first, so that what follows starts
  // from one complete set and every temporary name found later is this save's.
  const auto before = RecoverMenusFolder(fs, menusFolder);
  if (!before.complete) return {SaveOutcome::Pending, before.path, before.error};

  if (!fs.IsFolder(menusFolder) && !fs.CreateFolder(WithoutBackslash(menusFolder)) &&
      !fs.IsFolder(menusFolder))
    return {SaveOutcome::Unchanged, menusFolder, fs.LastError()};

  // The old set under the names it has, so that an undone save gives back
  // the same names, letter case included.
  std::vector<std::string> old;
  for (const char* ext : {".MNU", ".BTN"})
    for (auto& name : fs.ListFiles(menusFolder, std::string("*") + ext))
      if (IEndsWith(name, ext)) old.push_back(std::move(name));  // not through an 8.3 alias
  // A read-only file could be set aside but never deleted: find it now, while
  // nothing has changed.
  for (const auto& name : old)
    if (fs.IsReadOnly(menusFolder + name))
      return {SaveOutcome::Unchanged, menusFolder + name, {5, "Access is denied."}};

  // Undoes whatever this save did so far; the marker decides the direction.
  const auto settle = [&](const std::string& path, Error error) -> SaveReport {
    const auto after = RecoverMenusFolder(fs, menusFolder);
    if (!after.complete) return {SaveOutcome::Pending, path, error};
    return {after.rolledForward ? SaveOutcome::Saved : SaveOutcome::Unchanged, path, error};
  };
  const auto fail = [&](const std::string& path) {
    Error error = fs.LastError();
    if (error.ok()) error = {5, "Access is denied."};
    return settle(path, error);
  };

  // 1. Stage the new set.
  std::vector<std::string> finals;
  finals.reserve(content.menus.size() + content.singles.size());
  for (std::size_t i = 0; i < content.menus.size(); ++i) {
    finals.push_back(EditorFileName(static_cast<int>(i + 1), true));
    const std::string staged = menusFolder + finals.back() + std::string(kStagedSuffix);
    if (!fs.WriteAll(staged, EncodeFile(content.menus[i]))) return fail(menusFolder + finals.back());
  }
  for (std::size_t j = 0; j < content.singles.size(); ++j) {
    finals.push_back(EditorFileName(static_cast<int>(j + 1), false));
    const std::string staged = menusFolder + finals.back() + std::string(kStagedSuffix);
    if (!fs.WriteAll(staged, EncodeRecord(content.singles[j]))) return fail(menusFolder + finals.back());
  }

  // 2. Set the old set aside.
  for (const auto& name : old)
    if (!fs.Rename(menusFolder + name, menusFolder + name + std::string(kSetAsideSuffix)))
      return fail(menusFolder + name);

  // 3. Commit.
  const std::string marker = menusFolder + std::string(kCommitMarker);
  if (!fs.WriteAll(marker, kMarkerContent)) return fail(marker);

  // 4. Switch. From here on an interruption is finished forwards.
  for (const auto& name : finals)
    if (!fs.Rename(menusFolder + name + std::string(kStagedSuffix), menusFolder + name))
      return fail(menusFolder + name);

  // 5. Tidy. The marker stays while any old file is still set aside: without
  // it the next recovery would bring that file back beside the new set. The
  // new set is in place; what is left is tried once more now, and otherwise
  // by the next recovery.
  bool tidy = true;
  for (const auto& name : old)
    tidy = fs.Delete(menusFolder + name + std::string(kSetAsideSuffix)) && tidy;
  if (!tidy || !fs.Delete(marker)) RecoverMenusFolder(fs, menusFolder);
  return {SaveOutcome::Saved, {}, {}};
}

std::string SaveFailureText(const SaveReport& report) {
  const std::string detail = report.path + "\r\n" + ErrorText(report.error, ErrorOrder::NumberFirst);
  switch (report.outcome) {
    case SaveOutcome::Unchanged:
      return "The toolbar could not be updated. Its menu and button files have been left as "
             "they were.\r\n\r\n" + detail;
    case SaveOutcome::Pending:
      return "The toolbar could not be updated completely. Velmora will finish the update the "
             "next time it starts.\r\n\r\n" + detail;
    case SaveOutcome::Saved:
      break;
  }
  return {};
}

}  // namespace velmora
