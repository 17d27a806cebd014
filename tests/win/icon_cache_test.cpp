// The icon cache against the real system: what comes back from it draws
// exactly as what the shell gave, and an unchanged file is not asked again.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file_system_win.h"
#include "platform/icon_cache_win.h"
#include "platform/shell_icons_win.h"
#include "win_test_support.h"

namespace velmora {
namespace {

// The icon drawn on a background of `color`, as 16 x 16 pixels.
std::vector<COLORREF> Drawn(HICON icon, COLORREF color) {
  WindowDC screen{nullptr};
  MemoryDC dc{screen.get()};
  GdiBitmap bitmap(CreateCompatibleBitmap(screen.get(), 16, 16));
  Selection selected(dc.get(), bitmap.get());
  GdiBrush brush(CreateSolidBrush(color));
  RECT all{0, 0, 16, 16};
  FillRect(dc.get(), &all, brush.get());
  DrawIconEx(dc.get(), 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) pixels.push_back(GetPixel(dc.get(), x, y));
  return pixels;
}

std::string ModulePath() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

TEST(IconCacheWin, ACachedIconDrawsAsTheShellsOwn) {
  // A program's own icon (through the shell) and an icon file (read directly).
  const std::string folder = ModulePath().substr(0, ModulePath().find_last_of('\\') + 1);
  for (const std::string& file : {ModulePath(), folder + "testicons\\DISK06.ICO"}) {
    SCOPED_TRACE(file);
    IconHandle shell = SmallFileIcon(file);
    ASSERT_TRUE(shell);
    std::string pixels, mask;
    ASSERT_TRUE(IconToPixels(shell.get(), pixels, mask));
    IconHandle cached = IconFromPixels(pixels, mask);
    ASSERT_TRUE(cached);
    for (COLORREF background : {RGB(255, 255, 255), RGB(0, 0, 0), RGB(0, 120, 215)})
      EXPECT_EQ(Drawn(cached.get(), background), Drawn(shell.get(), background));
  }
}

TEST(IconCacheWin, AnUnchangedFileIsNotAskedAgainAndAChangedOneIs) {
  wintest::TempFolder dir;
  const std::string program = dir.Path() + "\\";
  Win32FileSystem fs;
  const std::string icon = ModulePath().substr(0, ModulePath().find_last_of('\\') + 1) +
                           "testicons\\DISK06.ICO";
  const std::string copy = program + "disk.ico";
  ASSERT_TRUE(CopyFileA(icon.c_str(), copy.c_str(), FALSE));
  {
    ShellIconCache cache(fs, program);
    cache.BeginRound();
    EXPECT_TRUE(cache.Icon(copy));
    EXPECT_FALSE(cache.Icon(program + "missing.exe"));
    cache.EndRound();
    cache.Save();
    EXPECT_EQ(cache.ShellLookups(), 2);
  }
  {
    ShellIconCache cache(fs, program);
    EXPECT_TRUE(cache.Icon(copy));
    EXPECT_FALSE(cache.Icon(program + "missing.exe"));
    EXPECT_EQ(cache.ShellLookups(), 0) << "both answered from the file beside the program";
    // A file written again is asked for again.
    ASSERT_TRUE(fs.WriteAll(copy, *fs.ReadAll(icon) + std::string(4, '\0')));
    EXPECT_TRUE(cache.Icon(copy));
    EXPECT_EQ(cache.ShellLookups(), 1);
  }
  // A damaged cache file is simply rebuilt.
  ASSERT_TRUE(fs.WriteAll(program + kIconCacheFile, "VLIC garbage"));
  ShellIconCache cache(fs, program);
  EXPECT_TRUE(cache.Icon(copy));
  EXPECT_EQ(cache.ShellLookups(), 1);
}

}  // namespace
}  // namespace velmora
