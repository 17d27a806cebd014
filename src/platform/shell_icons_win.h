// Small (16x16) icons of files as the shell shows them.
#pragma once

#include <windows.h>

#include <string>

#include "platform/handles_win.h"

namespace velmora {

// The file's small icon, or an empty handle when the shell has none for it
// (the file does not exist). Icon files are read directly.
IconHandle SmallFileIcon(const std::string& path);

// A small icon of the program's own resources (`id` an icon resource).
IconHandle SmallResourceIcon(HINSTANCE instance, int id);

// The file's index in the shell's small system image list, or -1 when the
// shell knows no icon for it. Pictures keyed by this index are shared by
// every file the shell draws alike.
int SystemIconIndex(const std::string& path);

// The shell's small system image list (owned by the shell, never destroyed).
HIMAGELIST SystemSmallImageList();

}  // namespace velmora
