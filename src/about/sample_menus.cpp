#include "about/sample_menus.h"

#include <algorithm>
#include <set>

#include "model/state_files.h"
#include "model/text.h"
#include "core/dialogs.h"
#include "core/file_system.h"
#include "core/shell_component.h"

namespace velmora {

namespace {

constexpr const char* kMyComputer = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

ItemRecord Separator() { return {"Menu Separator", std::string(kSeparatorMarker), ""}; }

// Hands out "BMENU0" + "#00" names after the existing files of one kind,
// passing over names that are already taken.
class Numbering {
 public:
  Numbering(const std::vector<std::string>& existing, bool menus) : menus_(menus) {
    for (const auto& name : existing) taken_.insert(ToUpper(name));
    next_ = static_cast<int>(existing.size()) + 1;
  }
  std::string Next() {
    std::string name;
    do name = SampleFileName(next_++, menus_);
    while (taken_.count(name));
    return name;
  }

 private:
  bool menus_;
  int next_;
  std::set<std::string> taken_;
};

// Appends one record per file; false when a name is too short to lose its
// extension, after the records before it.
bool AddFiles(std::vector<ItemRecord>& records, const SampleFolder& folder,
              bool skipOwnShortcuts = false) {
  std::vector<std::string> files = folder.files;
  SortLikeListBox(files);
  for (const auto& name : files) {
    if (name.size() < 4) return false;
    if (skipOwnShortcuts && ToLower(name).find("velmora") != std::string::npos) continue;
    records.push_back({name.substr(0, name.size() - 4), folder.path + name, folder.path + name});
  }
  return true;
}

std::optional<std::string> SpecialFolder(ShellComponentFactory& factory, std::uintptr_t window,
                                         std::int16_t number) {
  Error error;
  auto component = factory.Create(error);
  if (!component) return std::nullopt;
  std::string path;
  if (component->GetSpecialFolder(window, number, path) || Trim(path).empty()) return std::nullopt;
  return WithBackslash(path);
}

SampleFolder ListFolder(FileSystem& fs, const std::string& path) {
  return {path, fs.ListFiles(path, "*")};
}

// A special folder that cannot be listed (as opposed to an empty one) is an
// error, as a missing one is.
std::optional<SampleFolder> ListSpecialFolder(FileSystem& fs, const std::string& path) {
  auto files = fs.TryListFiles(path, "*");
  if (!files) return std::nullopt;
  return SampleFolder{path, std::move(*files)};
}

}  // namespace

SamplePlan PlanSampleMenus(const SampleListings& in) {
  SamplePlan plan;
  const std::string& icons = in.iconsFolder;
  Numbering buttons(in.buttonFiles, false);
  auto button = [&](std::string title, std::string icon, std::string exe) {
    plan.files.push_back({buttons.Next(), {{std::move(title), icons + icon, std::move(exe)}}});
  };
  button("Net Search", "netsrch.ico", "NetSearch");
  button("File Find", "filefind.ico", "FileFind");
  if (!in.buttonFiles.empty()) return plan;
  button("My Computer", "Mycomp.ico", std::string("explorer.exe /n,/root,,") + kMyComputer);
  button("Windows Explorer", "Explorer.ico", std::string("explorer.exe /e,/root,,") + kMyComputer);
  button("Control Panel", "ctrpanel.ico", "control.exe");

  Numbering menus(in.menuFiles, true);
  // A menu is written as far as it got, then the plan stops there on failure.
  auto menu = [&](std::vector<ItemRecord> records, bool complete) {
    plan.files.push_back({menus.Next(), std::move(records)});
    plan.failed = !complete;
    return complete;
  };

  if (!in.desktop) return plan.failed = true, plan;
  if (!in.desktop->files.empty()) {
    std::vector<ItemRecord> records{{"Desktop", icons + "desktop.ico", ""}};
    if (!menu(records, AddFiles(records, *in.desktop))) return plan;
  }

  if (!in.programs) return plan.failed = true, plan;
  if (!in.programs->files.empty()) {
    std::vector<ItemRecord> records{{"Miscellaneous", icons + "Misc04.ico", ""}};
    if (!menu(records, AddFiles(records, *in.programs, true))) return plan;
  }

  if (!in.accessories || in.accessories->files.empty()) return plan;
  std::vector<ItemRecord> records{{"Accessories", icons + "CLIP01.ICO", ""},
                                  {"Copy Disk", icons + "DISK06.ICO", "CopyDisk"},
                                  {"Format Disk", icons + "DISKS04.ICO", "FormatDisk"},
                                  Separator()};
  bool complete = AddFiles(records, *in.accessories);
  auto subfolders = in.accessorySubfolders;
  std::sort(subfolders.begin(), subfolders.end(), [](const SampleFolder& a, const SampleFolder& b) {
    const auto la = ToLower(a.path), lb = ToLower(b.path);
    return la != lb ? la < lb : a.path < b.path;
  });
  for (const auto& sub : subfolders) {
    if (!complete) break;
    if (sub.files.empty()) continue;
    records.push_back(Separator());
    complete = AddFiles(records, sub);
  }
  menu(records, complete);
  return plan;
}

void IncludeCommonFiles(FileSystem& fs, ShellComponentFactory& shell, Dialogs& dialogs,
                        const ProgramFolders& folders, std::uintptr_t window) {
  const std::string menusFolder = WithBackslash(folders.menus);
  SampleListings in;
  in.iconsFolder = WithBackslash(folders.icons);
  in.buttonFiles = ListButtonFiles(fs, menusFolder, false);
  if (in.buttonFiles.empty()) {
    in.menuFiles = ListButtonFiles(fs, menusFolder, true);
    // Each folder is asked for only when the one before it was had, as the
    // plan stops at the first that was not.
    if (const auto desktop = SpecialFolder(shell, window, kFolderDesktop)) {
      in.desktop = ListSpecialFolder(fs, *desktop);
      if (const auto programs = SpecialFolder(shell, window, kFolderPrograms)) {
        in.programs = ListSpecialFolder(fs, *programs);
        const std::string accessories = *programs + "Accessories\\";
        if (fs.Exists(WithoutBackslash(accessories))) {
          in.accessories = ListFolder(fs, accessories);
          if (!in.accessories->files.empty())
            for (const auto& sub : fs.ListFolders(accessories))
              in.accessorySubfolders.push_back(ListFolder(fs, accessories + sub + "\\"));
        }
      }
    }
  }

  const SamplePlan plan = PlanSampleMenus(in);
  for (const auto& file : plan.files) {
    if (!WriteRecords(fs, menusFolder + file.fileName, file.records)) {
      dialogs.Show(kSampleMenusError, MsgButtons::Ok, MsgIcon::Information);
      return;
    }
  }
  if (plan.failed) dialogs.Show(kSampleMenusError, MsgButtons::Ok, MsgIcon::Information);
}

}  // namespace velmora
