#include "model/text.h"

#include <gtest/gtest.h>

#include "model/state_files.h"

namespace velmora {
namespace {

TEST(Text, TrimRemovesBlanksOnlyNeverTabsOrNuls) {
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(Trim("      "), "");
  EXPECT_EQ(Trim(""), "");
  EXPECT_EQ(Trim("\ta\t"), "\ta\t");
  EXPECT_EQ(Trim(std::string(" a\0 ", 4)), std::string("a\0", 2));
  EXPECT_EQ(TrimRight("  a  "), "  a");
  EXPECT_EQ(TrimRight("   "), "");
}

TEST(Text, LetterCaseFollowsTheAnsiCodePage) {
  // Pairs of Windows-1252 small and capital letters.
  const std::pair<unsigned char, unsigned char> pairs[] = {
      {'a', 'A'}, {'z', 'Z'}, {0xE9, 0xC9} /* é É */, {0xE0, 0xC0} /* à À */,
      {0xFE, 0xDE} /* þ Þ */, {0xFF, 0x9F} /* ÿ Ÿ */, {0x9A, 0x8A} /* š Š */,
      {0x9C, 0x8C} /* œ Œ */, {0x9E, 0x8E} /* ž Ž */};
  for (const auto& [small, capital] : pairs) {
    EXPECT_EQ(static_cast<unsigned char>(UpperChar(static_cast<char>(small))), capital) << +small;
    EXPECT_EQ(static_cast<unsigned char>(LowerChar(static_cast<char>(capital))), small) << +capital;
  }
  // No case of their own: ß, the multiplication and division signs, digits, marks.
  const unsigned char caseless[] = {0xDF, 0xD7, 0xF7, '1', '_', '\\', 0xB5, 0x80};
  for (const unsigned char c : caseless) {
    EXPECT_EQ(static_cast<unsigned char>(UpperChar(static_cast<char>(c))), c) << +c;
    EXPECT_EQ(static_cast<unsigned char>(LowerChar(static_cast<char>(c))), c) << +c;
  }
  EXPECT_EQ(ToUpper("bmenu\xe9.mnu"), "BMENU\xc9.MNU");
  EXPECT_EQ(ToLower("MenuLineSeparator"), "menulineseparator");
}

TEST(Text, CaseInsensitiveComparisons) {
  EXPECT_TRUE(IEquals("MENUBREAKER", "menubreaker"));
  EXPECT_TRUE(IEquals("\xc9t\xe9", "\xe9T\xc9"));
  EXPECT_FALSE(IEquals("MenuBreaker", "MenuBreaker "));
  EXPECT_FALSE(IEquals("a", "b"));
  EXPECT_TRUE(IStartsWith("HTTP://x", "http"));
  EXPECT_FALSE(IStartsWith("ht", "http"));
  EXPECT_TRUE(IEndsWith("a.Mnu", ".MNU"));
  EXPECT_FALSE(IEndsWith("a.mnuz", ".mnu"));
  EXPECT_FALSE(IEndsWith("mnu", ".mnu"));
}

TEST(Text, NumberPatterns) {
  EXPECT_EQ(FormatMin3(7), "007");
  EXPECT_EQ(FormatMin3(0), "000");
  EXPECT_EQ(FormatMin3(1234), "1234");
  EXPECT_EQ(FormatMin3(-7), "-007");
  EXPECT_EQ(FormatMin2(1), "01");
  EXPECT_EQ(FormatMin2(123), "123");
}

TEST(Text, FolderHelpersKeepDriveRoots) {
  EXPECT_EQ(WithBackslash("C:\\Prog"), "C:\\Prog\\");
  EXPECT_EQ(WithBackslash("C:\\"), "C:\\");
  EXPECT_EQ(WithoutBackslash("C:\\Prog\\"), "C:\\Prog");
  EXPECT_EQ(WithoutBackslash("C:\\Prog\\\\"), "C:\\Prog");
  EXPECT_EQ(WithoutBackslash("C:\\"), "C:\\");
  EXPECT_EQ(WithoutBackslash("C:\\\\"), "C:\\");
  EXPECT_EQ(WithoutBackslash("\\\\srv\\share\\"), "\\\\srv\\share");
  EXPECT_EQ(FolderOf("C:\\Prog\\Velmora.exe"), "C:\\Prog");
  EXPECT_EQ(FolderOf("C:\\Velmora.exe"), "C:\\");
  EXPECT_EQ(FolderOf("Velmora.exe"), "");
}

TEST(Text, ProgramFoldersFromTheExecutable) {
  const auto f = ProgramFoldersOf("C:\\Apps\\Velmora\\Velmora.exe");
  EXPECT_EQ(f.exeFolder, "C:\\Apps\\Velmora");
  EXPECT_EQ(f.program, "C:\\Apps\\Velmora\\");
  EXPECT_EQ(f.menus, "C:\\Apps\\Velmora\\Menus\\");
  EXPECT_EQ(f.icons, "C:\\Apps\\Velmora\\Icons\\");

  // At a drive root the executable's folder keeps its "\" and nothing doubles it.
  const auto root = ProgramFoldersOf("D:\\Velmora.exe");
  EXPECT_EQ(root.exeFolder, "D:\\");
  EXPECT_EQ(root.program, "D:\\");
  EXPECT_EQ(root.menus, "D:\\Menus\\");
}

}  // namespace
}  // namespace velmora
