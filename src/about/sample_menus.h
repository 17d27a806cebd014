// The sample buttons and menus a new installation starts with: five single
// buttons and up to three menus built from the user's Desktop, the Start
// Menu's Programs folder and its Accessories folder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/item_record.h"

namespace velmora {

class Dialogs;
class FileSystem;
class ShellComponentFactory;
struct ProgramFolders;

inline constexpr const char* kSampleMenusError =
    "Error occured while Velmora was trying to add entries to buttons and menus. "
    "It looks like your Windows standard folders have been changed from the original "
    "names or they don't exist any more. Please use the Customize page to add entries "
    "to Velmora.";

// A folder and the names of the files in it.
struct SampleFolder {
  std::string path;                // ends with "\"
  std::vector<std::string> files;  // any order; the plan sorts them
};

// Everything the plan depends on, gathered from the Menus folder and the shell.
struct SampleListings {
  std::string iconsFolder;                 // ends with "\"
  std::vector<std::string> buttonFiles;    // "*.BTN" names already in the Menus folder
  std::vector<std::string> menuFiles;      // "*.MNU" names already in the Menus folder
  // nullopt: the special folder could not be had, which is an error.
  std::optional<SampleFolder> desktop;
  std::optional<SampleFolder> programs;
  // nullopt: no Accessories folder, which quietly ends the menus.
  std::optional<SampleFolder> accessories;
  std::vector<SampleFolder> accessorySubfolders;  // any order; the plan sorts them
};

struct SampleFile {
  std::string fileName;  // in the Menus folder, e.g. "BMENU001.BTN"
  std::vector<ItemRecord> records;
  friend bool operator==(const SampleFile&, const SampleFile&) = default;
};

struct SamplePlan {
  std::vector<SampleFile> files;  // to be written in this order
  bool failed = false;            // an error ends the plan after `files`
};

// The files to write. Numbers continue after the files of each kind already
// present and skip names that are taken, so an existing file is never replaced.
SamplePlan PlanSampleMenus(const SampleListings& listings);

// Gathers the listings, writes the planned files and shows the error message
// when anything fails; files written before the failure stay.
void IncludeCommonFiles(FileSystem& fs, ShellComponentFactory& shell, Dialogs& dialogs,
                        const ProgramFolders& folders, std::uintptr_t window);

}  // namespace velmora
