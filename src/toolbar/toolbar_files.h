// What a toolbar build reads and prepares on disk, before the window shows
// anything: the program's folders, the first start's icon library and sample
// menus, and the menu and button files themselves.
#pragma once

#include <cstdint>
#include <functional>

#include "toolbar/toolbar_model.h"

namespace velmora {

struct AppState;
struct ProgramFolders;
class Dialogs;
class FileSystem;
class ShellComponentFactory;

inline constexpr const char* kNoIconLibraryText =
    "Icon Library cannot be found in your system. You need to reinstall the program to fix "
    "this error.";

// Temporary files of writes that a stop cut short, in the program, Menus and
// Icons folders: the files they were meant to replace are whole, so they go.
void RemoveWriteLeftovers(FileSystem& fs, const ProgramFolders& folders);

// The window's load: the Menus and Icons folders exist afterwards (when they
// can be made), an interrupted save of the menu files is completed or undone,
// and a first start unpacks the icon library or says it is missing.
void PrepareProgramFolders(FileSystem& fs, Dialogs& dialogs, const AppState& state);

// Before each build: a first start builds the sample menus unasked (and
// records that in the options); an empty Menus folder later offers them.
void OfferSampleMenus(FileSystem& fs, ShellComponentFactory& shell, Dialogs& dialogs,
                      AppState& state, std::uintptr_t window);

// Every menu and button file in toolbar order, with what the build needs of
// each; `progress` runs once per file read. A file that cannot be read is
// reported as the build reports any error ("Error: " + number + " - " + text)
// and the build goes on with an empty record for it. Screen metrics are left
// to the caller.
ToolbarBuildInput ReadToolbarBuildInput(FileSystem& fs, Dialogs& dialogs, const AppState& state,
                                        const std::function<void()>& progress);

}  // namespace velmora
