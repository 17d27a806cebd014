#include "shell/own_menu.h"

#include "platform/file_system.h"

namespace velmora {

std::vector<ItemRecord> OwnMenuRecords() {
  return {
      {"", "", ""},
      {"Customize Velmora", "imgIcons cust", ""},
      {"Auto Hide", "", ""},
      {"Always on Top", kCheckMarkIcon, ""},
      {"", std::string(kSeparatorMarker), ""},
      {"Help Topics", "imgIcons help", ""},
      {"About", "", ""},
      {"", std::string(kSeparatorMarker), ""},
      {"Minimize", "", ""},
      {"", std::string(kSeparatorMarker), ""},
      {"Exit", "", ""},
  };
}

bool BuildOwnMenu(FileSystem& fs, std::string& folder) {
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return WriteRecords(fs, folder + kOwnMenuFile, OwnMenuRecords());
}

}  // namespace velmora
