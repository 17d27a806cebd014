// The shell component (VLShell.dll) as the program's logic sees it: special
// folders, creating shortcuts and reading a shortcut's target. Each use creates a
// fresh object through the factory, calls one operation and lets it go.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/error.h"

namespace velmora {


// Special folder numbers the program asks for.
enum : std::int16_t {
  kFolderDesktop = 0,
  kFolderPrograms = 2,
  kFolderStartup = 7,
  kFolderStartMenu = 11,
};

struct ShortcutInfo {
  std::string name;  // the link's file name
  std::string target;
  std::string arguments;
  std::string workingFolder;
  std::string description;
  std::string iconLocation;
};

class ShellComponent {
 public:
  virtual ~ShellComponent() = default;
  // Errors: for Win32 failures the number is the Win32 error code; for other
  // COM failures the HRESULT as a signed 32-bit number.
  // `path` receives the folder's full path without a trailing "\".
  virtual Error GetSpecialFolder(std::uintptr_t window, std::int16_t folder,
                                      std::string& path) = 0;
  // Creates or overwrites the shortcut file `link`; an error when it was not made.
  virtual Error CreateShortcut(const std::string& link, const std::string& target,
                                    const std::string& workingFolder) = 0;
  virtual Error ReadShortcut(const std::string& link, ShortcutInfo& info) = 0;
};

class ShellComponentFactory {
 public:
  virtual ~ShellComponentFactory() = default;
  // A fresh component, or nullptr with `error` set when it cannot be created.
  virtual std::unique_ptr<ShellComponent> Create(Error& error) = 0;
};

}  // namespace velmora
