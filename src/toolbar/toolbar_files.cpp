#include "toolbar/toolbar_files.h"

#include "about/sample_menus.h"
#include "core/app_state.h"
#include "core/dialogs.h"
#include "core/file_system.h"
#include "customize/cust_save.h"
#include "iconlib/icon_library.h"
#include "model/item_record.h"
#include "model/options.h"
#include "model/state_files.h"
#include "model/text.h"
#include "shell/own_menu.h"

namespace velmora {

void RemoveWriteLeftovers(FileSystem& fs, const ProgramFolders& folders) {
  for (const std::string& folder : {folders.program, folders.menus, folders.icons})
    for (const std::string& name : fs.ListFiles(folder, std::string("*") + kWriteTempSuffix))
      // A listing may match a longer extension through its short alias.
      if (IEndsWith(name, kWriteTempSuffix)) fs.Delete(folder + name);
}

void PrepareProgramFolders(FileSystem& fs, Dialogs& dialogs, const AppState& state) {
  const ProgramFolders& folders = state.folders;
  RemoveWriteLeftovers(fs, folders);
  EnsureFolder(fs, folders.menus);
  // A save of the Customize page that was cut short is finished or undone
  // before anything reads the folder.
  RecoverMenusFolder(fs, folders.menus);
  EnsureFolder(fs, folders.icons);
  if (state.options.IsOn(kOptContentInstalled)) return;
  if (fs.Exists(folders.program + kIconLibraryFile))
    UnpackIconLibrary(fs, folders.icons, folders.program);
  else
    dialogs.Show(kNoIconLibraryText, MsgButtons::Ok, MsgIcon::Critical);
}

void OfferSampleMenus(FileSystem& fs, ShellComponentFactory& shell, Dialogs& dialogs,
                      AppState& state, std::uintptr_t window) {
  const ProgramFolders& folders = state.folders;
  const bool anyFile = !ListButtonFiles(fs, folders.menus, true).empty() ||
                       !ListButtonFiles(fs, folders.menus, false).empty();
  switch (SampleMenusAtBuild(state.options, anyFile)) {
    case SampleMenuStep::BuildAndRecord:
      IncludeCommonFiles(fs, shell, dialogs, folders, window);
      state.options.Set(kOptContentInstalled, true);
      SaveOptions(fs, folders.program, state.options);
      break;
    case SampleMenuStep::Ask:
      if (dialogs.Show(kNoEntriesText, MsgButtons::YesNo, MsgIcon::Question) == MsgResult::Yes)
        IncludeCommonFiles(fs, shell, dialogs, folders, window);
      break;
    case SampleMenuStep::None:
      break;
  }
}

namespace {

// Record 1 of a file, or an empty record after reporting why it could not be read.
ItemRecord FirstRecord(FileSystem& fs, Dialogs& dialogs, const std::string& path) {
  const auto bytes = fs.ReadAt(path, 0, kRecordLength);
  if (!bytes) {
    dialogs.Show(ErrorText(fs.LastError(), ErrorOrder::NumberFirst), MsgButtons::Ok, MsgIcon::None);
    return {};
  }
  return DecodeRecord(*bytes);
}

}  // namespace

ToolbarBuildInput ReadToolbarBuildInput(FileSystem& fs, Dialogs& dialogs, const AppState& state,
                                        const std::function<void()>& progress) {
  const ProgramFolders& folders = state.folders;
  ToolbarBuildInput in;
  for (const auto& name : ListButtonFiles(fs, folders.menus, true)) {
    const std::string path = folders.menus + name;
    const ItemRecord first = FirstRecord(fs, dialogs, path);
    in.menuFiles.push_back({path, ReadRecordCount(fs, path), first});
    if (progress) progress();
  }
  for (const auto& name : ListButtonFiles(fs, folders.menus, false)) {
    in.singleButtons.push_back(FirstRecord(fs, dialogs, folders.menus + name));
    if (progress) progress();
  }
  in.icons = {folders.program, state.HttpIconFile};
  in.ownMenuFile = folders.program + kOwnMenuFile;
  in.options = state.options;
  if (state.options.IsOn(kOptToolbarMovable))
    if (auto bytes = fs.ReadAt(folders.program + kToolbarPosFile, 0, 4)) in.savedPosition = *bytes;
  return in;
}

}  // namespace velmora
