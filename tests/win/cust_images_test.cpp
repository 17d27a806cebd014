// The Customize page's tree pictures against the real shell: one look-up per
// icon source for the page's life, one picture per shell icon, icon files read
// as themselves.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "customize/cust_images_win.h"
#include "platform/handles_win.h"
#include "win_test_support.h"

namespace velmora {
namespace {

// A 16x16 icon file of one colour, as an icon editor would save it.
std::string IconFile(std::uint32_t argb) {
  std::string bytes;
  const auto put = [&](std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  const std::uint32_t image = 40 + 16 * 16 * 4 + 16 * 4;
  put(0, 2), put(1, 2), put(1, 2);                           // icon directory, one image
  put(16, 1), put(16, 1), put(0, 1), put(0, 1), put(1, 2), put(32, 2), put(image, 4), put(22, 4);
  put(40, 4), put(16, 4), put(32, 4), put(1, 2), put(32, 2);  // header: twice the height
  put(0, 4), put(0, 4), put(0, 4), put(0, 4), put(0, 4), put(0, 4);
  for (int i = 0; i < 16 * 16; ++i) put(argb, 4);
  for (int i = 0; i < 16; ++i) put(0, 4);                      // the mask: all shown
  return bytes;
}

void Write(const std::string& path, const std::string& bytes) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  ASSERT_TRUE(file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

TEST(CustImages, EachSourceIsLookedUpOnceAndFilesDrawnAlikeShareOnePicture) {
  wintest::TempFolder folder;
  ASSERT_NO_FATAL_FAILURE(Write(folder.PathOf("a.txt"), "a"));
  ASSERT_NO_FATAL_FAILURE(Write(folder.PathOf("b.txt"), "b"));
  ASSERT_NO_FATAL_FAILURE(Write(folder.PathOf("red.ico"), IconFile(0xFFFF0000)));
  ASSERT_NO_FATAL_FAILURE(Write(folder.PathOf("blue.ico"), IconFile(0xFF0000FF)));
  const long imageLists = LiveCount(Counted::ImageList);
  {
    CustImages images(GetModuleHandleA(nullptr), folder.PathOf("VELMORA.EXE"));
    const std::size_t fixed = images.ImageCount();
    const int qmark = images.IndexOf(NodeImage::Fixed("qmark"));

    const int a = images.IndexOf(NodeImage::Shell(folder.PathOf("a.txt")));
    const int b = images.IndexOf(NodeImage::Shell(folder.PathOf("b.txt")));
    ASSERT_GE(a, 0);
    EXPECT_EQ(b, a) << "two text files, two pictures";
    EXPECT_EQ(images.ImageCount(), fixed + 1);
    EXPECT_EQ(images.ShellLookups(), 2);
    // The same path in other letters is the same source.
    EXPECT_EQ(images.IndexOf(NodeImage::Shell(folder.PathOf("A.TXT"))), a);
    EXPECT_EQ(images.ShellLookups(), 2);

    const int red = images.IndexOf(NodeImage::Shell(folder.PathOf("red.ico")));
    const int blue = images.IndexOf(NodeImage::Shell(folder.PathOf("blue.ico")));
    EXPECT_NE(red, blue) << "icon files are their own pictures";
    EXPECT_NE(red, a);
    EXPECT_EQ(images.ImageCount(), fixed + 3);

    // Nothing there: the question mark, and it is not asked again.
    EXPECT_EQ(images.IndexOf(NodeImage::Shell(folder.PathOf("gone.exe"))), qmark);
    EXPECT_EQ(images.IndexOf(NodeImage::Shell(folder.PathOf("gone.exe"))), qmark);
    EXPECT_EQ(images.ShellLookups(), 5);
    EXPECT_EQ(LiveCount(Counted::ImageList), imageLists + 2);
  }
  EXPECT_EQ(LiveCount(Counted::ImageList), imageLists) << "an image list outlived the page";
}

}  // namespace
}  // namespace velmora
