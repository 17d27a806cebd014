// Reading the whole toolbar configuration for the Customize page, and writing
// it back so that the Menus folder never holds a mix of two configurations.
//
// The folder holds one file per toolbar button: "BMENU" + "0##" + ".MNU" for
// menu buttons and ".BTN" for single buttons, numbered from 1 in tree order on
// every save. Replacing them one by one in place would lose the user's whole
// toolbar to a crash, a full disk or a file another program holds half way
// through. A save therefore runs in phases, and a small marker file decides
// which way an interrupted save is finished:
//
//   1. stage   every new file is written complete under its final name +
//              ".~vn" (nothing the toolbar reads changes);
//   2. aside   every old menu and button file is renamed to its name + ".~vo";
//   3. commit  the marker "commit.~vc" is written (WriteAll is atomic);
//   4. switch  every staged file is renamed to its final name;
//   5. tidy    the set-aside files are deleted, then the marker.
//
// RecoverMenusFolder looks only at what is on disk: with the marker it rolls
// forward (steps 4 and 5), without it it rolls back (deletes staged files,
// renames set-aside files back). Each of its steps can be repeated, so a crash
// during recovery is recovered by the next run. Renames never change a file's
// bytes, so a rolled-back folder is byte-identical to the old one.
//
// The temporary suffixes are three characters after a dot: neither the long
// names nor the 8.3 aliases the system may give them ("BMENU0~1.~VN") match
// "*.mnu" or "*.btn", so the toolbar and the sample-menu builder never see them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"
#include "model/item_record.h"

namespace velmora {

class FileSystem;

inline constexpr std::string_view kStagedSuffix = ".~vn";
inline constexpr std::string_view kSetAsideSuffix = ".~vo";
inline constexpr std::string_view kCommitMarker = "commit.~vc";

// One toolbar button as its file holds it: record 1 is the button itself, the
// others the entries of its menu (a single button has exactly one).
struct ButtonFile {
  std::string path;
  std::vector<ItemRecord> records;
};

struct UnreadableFile {
  std::string path;
  Error error;
};

struct ToolbarFiles {
  std::vector<ButtonFile> menus;    // in toolbar order
  std::vector<ButtonFile> singles;  // in toolbar order
  // Listed but not readable (held by another program, access denied). The
  // page must not rewrite the folder while it misses them.
  std::vector<UnreadableFile> unreadable;
};

// Every menu file with its records (a file too short for one record yields
// none and is left out), then every single button file with its first record.
ToolbarFiles ReadToolbarFiles(FileSystem& fs, const std::string& menusFolder);

// What a save writes: per menu button its records (button first), and one
// record per single button, each in tree order.
struct ToolbarContent {
  std::vector<std::vector<ItemRecord>> menus;
  std::vector<ItemRecord> singles;
};

enum class SaveOutcome {
  Saved,      // the folder holds exactly the new set
  Unchanged,  // the folder holds the old set as it was, nothing extra
  Pending,    // neither could be completed now; the next recovery finishes it
};

struct SaveReport {
  SaveOutcome outcome = SaveOutcome::Saved;
  std::string path;  // the file or folder the first failure concerns
  Error error;
};

// Replaces every menu and button file of `menusFolder` (ending in "\") by the
// files of `content`. A menu file that is read-only, or a folder that cannot be
// created, stops the save before anything is touched.
SaveReport SaveToolbarFiles(FileSystem& fs, const std::string& menusFolder,
                            const ToolbarContent& content);

// The message box text for a save that did not end in Saved.
std::string SaveFailureText(const SaveReport& report);

struct RecoveryReport {
  bool found = false;        // an interrupted save was there
  bool rolledForward = false;
  bool complete = true;      // nothing of it is left
  std::string path;          // the first file that could not be handled
  Error error;
};

// Finishes or undoes an interrupted save. Run at start-up before anything
// reads the Menus folder, and at the start of every save.
RecoveryReport RecoverMenusFolder(FileSystem& fs, const std::string& menusFolder);

}  // namespace velmora
