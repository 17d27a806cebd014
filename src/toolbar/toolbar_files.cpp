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
#include "shell/own_menu.h"

namespace velmora {

void PrepareProgramFolders(FileSystem& fs, Dialogs& dialogs, const AppState& state) {
  const ProgramFolders& folders = state.folders;
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

ToolbarBuildInput ReadToolbarBuildInput(FileSystem& fs, const AppState& state,
                                   const std::function<void()>& progress) {
  const ProgramFolders& folders = state.folders;
  ToolbarBuildInput in;
  for (const auto& name : ListButtonFiles(fs, folders.menus, true)) {
    const std::string path = folders.menus + name;
    in.menuFiles.push_back({path, ReadRecordCount(fs, path), ReadRecord(fs, path, 1)});
    if (progress) progress();
  }
  for (const auto& name : ListButtonFiles(fs, folders.menus, false)) {
    in.singleButtons.push_back(ReadRecord(fs, folders.menus + name, 1));
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
