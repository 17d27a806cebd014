// The start-up steps and the Startup-folder shortcut, over the platform
// interfaces so that each decision can be checked against recording fakes.
#pragma once

#include <cstdint>
#include <string>

namespace velmora {

class Dialogs;
class FileSystem;
class ShellComponentFactory;
struct AppState;

inline constexpr const char* kAlreadyRunningText =
    "Velmora is already running. If you have minimized it to the taskbar, click its icon on "
    "the taskbar to activate it. If you have set it as Auto Hide, point the mouse to its "
    "previous position.";
inline constexpr const char* kStartupQuestionText =
    "Would you like to set Velmora as a startup program?\r\nIf you choose No, you can set it "
    "later from the Customize page under the Options menu.";
// Names the support address of core/product.h.
std::string ShellMissingText();
inline constexpr const char* kShellQuitQuestionText =
    "If you continue working with the program while this file is unavailable, it will not "
    "function as it should be. Do you want to quit the program now.";
inline constexpr const char* kShortcutCreatedText = "Velmora has been set as a startup program.";
inline constexpr const char* kShortcutFailedText = "Shortcut cannot be created. - ";
inline constexpr const char* kNotInStartupText = "Velmora is not in the Startup folder.";
inline constexpr const char* kRemovedFromStartupText =
    "Velmora has been removed from the Startup folder. Next time you start your computer, "
    "Velmora will not run.";
inline constexpr const char* kStartupLinkName = "\\Velmora.lnk";
inline constexpr const char* kExeName = "Velmora.exe";

// Step 2: the Options string from the program folder.
void LoadOptions(FileSystem& fs, AppState& app);

// Step 4: when a new version first starts, every other "*.dat" of the program
// folder is deleted once; the options survive through a temporary name.
void RunVersionCleanup(FileSystem& fs, AppState& app);

// Step 5: the file whose icon stands for web addresses.
void ChooseHttpIconFile(FileSystem& fs, AppState& app);

// The toolbar's check that the shell component can be created. Returns false
// when the user chose to quit.
bool CheckShellComponent(ShellComponentFactory& shell, Dialogs& dialogs);

// First start, steps 10.2 to 10.4: offer the Startup shortcut unless one is
// there, then mark the first start as finished and save the options.
void OfferStartupShortcut(FileSystem& fs, ShellComponentFactory& shell, Dialogs& dialogs,
                          AppState& app, std::uintptr_t toolbarWindow);

// Makes the shortcut and reports the outcome in a message box.
void CreateStartupShortcut(ShellComponentFactory& shell, Dialogs& dialogs,
                           const std::string& linkPath, const std::string& targetPath,
                           const std::string& workingFolder);

// The Customize page's Options menu: put the program into the Startup folder,
// or take it out again.
void SetStartupShortcut(ShellComponentFactory& shell, Dialogs& dialogs, const AppState& app,
                        std::uintptr_t window);
void RemoveStartupShortcut(FileSystem& fs, ShellComponentFactory& shell, Dialogs& dialogs,
                           std::uintptr_t window);

}  // namespace velmora
