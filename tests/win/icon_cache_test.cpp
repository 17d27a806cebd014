// The icon cache against the real system: what comes back from it draws
// exactly as what the shell gave, in an icon or in an image list, and an
// unchanged file is not asked again.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/file_system_win.h"
#include "platform/icon_cache_win.h"
#include "platform/image_list_win.h"
#include "platform/shell_icons_win.h"
#include "win_test_support.h"

namespace velmora {
namespace {

// 16 x 16 pixels drawn by `draw` on a background of `color`.
std::vector<COLORREF> Drawn(COLORREF color, const std::function<void(HDC)>& draw) {
  WindowDC screen{nullptr};
  MemoryDC dc{screen.get()};
  GdiBitmap bitmap(CreateCompatibleBitmap(screen.get(), 16, 16));
  Selection selected(dc.get(), bitmap.get());
  GdiBrush brush(CreateSolidBrush(color));
  RECT all{0, 0, 16, 16};
  FillRect(dc.get(), &all, brush.get());
  draw(dc.get());
  std::vector<COLORREF> pixels;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) pixels.push_back(GetPixel(dc.get(), x, y));
  return pixels;
}

std::vector<COLORREF> Drawn(HICON icon, COLORREF color) {
  return Drawn(color, [&](HDC dc) { DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL); });
}

std::vector<COLORREF> Drawn(const KeyedImageList& list, const std::string& key, COLORREF color) {
  return Drawn(color, [&](HDC dc) { list.Draw(key, dc, 0, 0); });
}

constexpr COLORREF kBackgrounds[] = {RGB(255, 255, 255), RGB(0, 0, 0), RGB(0, 120, 215)};

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
    for (COLORREF background : kBackgrounds)
      EXPECT_EQ(Drawn(cached.get(), background), Drawn(shell.get(), background));
  }
}

// The toolbar puts cached pixels straight into its image list: they must show
// as the shell's icon added to the list would, whether the shell was just
// asked or the cache answered.
TEST(IconCacheWin, PixelsAddedToAnImageListShowAsTheShellsIcon) {
  wintest::TempFolder dir;
  Win32FileSystem fs;
  const std::string folder = ModulePath().substr(0, ModulePath().find_last_of('\\') + 1);
  for (const std::string& file : {ModulePath(), folder + "testicons\\DISK06.ICO"}) {
    SCOPED_TRACE(file);
    IconHandle shell = SmallFileIcon(file);
    ASSERT_TRUE(shell);
    KeyedImageList expected, asked, cached, viaPixels;
    ASSERT_TRUE(expected.AddIcon("x", shell.get()));
    ASSERT_TRUE(AddIconPixels(viaPixels, "x", shell.get()));
    ShellIconCache cache(fs, dir.Path() + "\\");
    ASSERT_TRUE(cache.AddTo(asked, "x", file));
    ASSERT_TRUE(cache.AddTo(cached, "x", file));
    EXPECT_EQ(cache.ShellLookups(), 1) << "the second from the cache";
    for (COLORREF background : kBackgrounds) {
      EXPECT_EQ(Drawn(asked, "x", background), Drawn(expected, "x", background));
      EXPECT_EQ(Drawn(cached, "x", background), Drawn(expected, "x", background));
      EXPECT_EQ(Drawn(viaPixels, "x", background), Drawn(expected, "x", background));
    }
  }
  KeyedImageList none;
  ShellIconCache cache(fs, dir.Path() + "\\");
  EXPECT_FALSE(cache.AddTo(none, "x", dir.Path() + "\\missing.exe"));
  EXPECT_EQ(none.Count(), 0u);
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
