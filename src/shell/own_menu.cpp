#include "shell/own_menu.h"

#include "core/app_state.h"
#include "core/file_system.h"
#include "core/product.h"

namespace velmora {

namespace {

const char* RowIcon(int command) {
  switch (command) {
    case kCmdCustomize: return "imgIcons cust";
    case kCmdAlwaysOnTop: return kCheckMarkIcon;  // Always on Top is the start-up state
    case kCmdHelpTopics: return "imgIcons help";
    default: return "";
  }
}

}  // namespace

std::vector<ItemRecord> OwnMenuRecords() {
  std::vector<ItemRecord> records{{"", "", ""}};
  for (const CommandInfo& row : kOwnMenuRows)
    records.push_back(row.id == 0 ? ItemRecord{"", std::string(kSeparatorMarker), ""}
                                  : ItemRecord{row.caption, RowIcon(row.id), ""});
  return records;
}

bool BuildOwnMenu(FileSystem& fs, std::string& folder) {
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return WriteRecords(fs, folder + kOwnMenuFile, OwnMenuRecords());
}

OwnMenuEffects OwnMenuChoice(int command, const AppState& state, FileSystem& fs) {
  OwnMenuEffects fx;
  switch (command) {
    case kCmdCustomize:
      fx.showCustomize = true;
      break;
    case kCmdAutoHide:
      fx.autoHide = 1;
      fx.entryIcons = {{kCmdAlwaysOnTop, ""}, {kCmdAutoHide, kCheckMarkIcon}};
      break;
    case kCmdAlwaysOnTop:
      fx.autoHide = 0;
      fx.entryIcons = {{kCmdAutoHide, ""}, {kCmdAlwaysOnTop, kCheckMarkIcon}};
      fx.showToolbar = !state.Minimized;
      break;
    case kCmdHelpTopics: {
      const std::string help = state.folders.program + kHelpFile;
      if (fs.Exists(help))
        fx.helpFile = help;
      else
        fx.message = kHelpNotFoundText;
      break;
    }
    case kCmdAbout:
      fx.showAbout = true;
      break;
    case kCmdMinimize:
      fx.minimize = true;
      break;
    case kCmdExit:
      fx.exit = true;
      break;
  }
  return fx;
}

}  // namespace velmora
