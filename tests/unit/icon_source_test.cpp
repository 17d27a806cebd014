#include "model/icon_source.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

// "<key>" a picture, "path|fallback" a file, "" nothing.
std::string Show(const IconSource& s) {
  switch (s.kind) {
    case IconKind::Picture: return "<" + s.picture + ">";
    case IconKind::File: return s.path + "|" + s.picture;
    case IconKind::None: break;
  }
  return "";
}

TEST(IconSource, EachPlaceReadsTheSameTextByItsOwnRules) {
  const IconContext context{"C:\\V\\", "C:\\V\\web.htm"};
  using U = IconUse;
  const struct { IconUse use; const char* text; const char* want; } cases[] = {
      // Empty text: "qm" on the toolbar, nothing in a menu row, "unknown" in the tree.
      {U::ToolbarButton, "", "<qm>"},
      {U::SingleButton, "  ", "<qm>"},
      {U::QuickMenuRow, "  ", ""},
      {U::EditorNode, " ", "<unknown>"},
      // Fixed words, any case; "new" is no picture for a single button.
      {U::ToolbarButton, "NEW", "<new>"},
      {U::ToolbarButton, "Button", "<button>"},
      {U::SingleButton, "Button", "<button>"},
      {U::SingleButton, "new", "new|qm"},
      {U::QuickMenuRow, "New", "<new>"},
      {U::EditorNode, "MenuLineSeparator", "<sep>"},
      {U::EditorNode, "menubreaker", "<break>"},
      {U::EditorNode, "Unknown", "<unknown>"},
      {U::ToolbarButton, "MenuLineSeparator", "MenuLineSeparator|qm"},
      // The own menu's pictures exist only in menu rows.
      {U::QuickMenuRow, "IMGICONS  chkmark ", "<chkmark>"},
      {U::ToolbarButton, "imgIcons chkmark", "imgIcons chkmark|qm"},
      {U::EditorNode, "imgIcons chkmark", "imgIcons chkmark|qmark"},
      // "\" is the program folder everywhere.
      {U::ToolbarButton, "\\icons\\d.ico", "C:\\V\\icons\\d.ico|qm"},
      {U::QuickMenuRow, "\\icons\\d.ico", "C:\\V\\icons\\d.ico|qm"},
      {U::EditorNode, "\\icons\\d.ico", "C:\\V\\icons\\d.ico|qmark"},
      // The web icon: the whole word, except in menu rows, where the prefix decides.
      {U::ToolbarButton, " HTTP ", "C:\\V\\web.htm|qm"},
      {U::ToolbarButton, "https.ico", "https.ico|qm"},
      {U::SingleButton, "Http", "C:\\V\\web.htm|qm"},
      {U::SingleButton, "http://a.com", "http://a.com|qm"},
      {U::EditorNode, "http", "C:\\V\\web.htm|qmark"},
      {U::EditorNode, "https://a.com", "https://a.com|qmark"},
      {U::QuickMenuRow, "HTTPS://a.com", "C:\\V\\web.htm|qm"},
      {U::QuickMenuRow, "httpd.exe", "C:\\V\\web.htm|qm"},
      {U::QuickMenuRow, "htt", "htt|qm"},
      {U::QuickMenuRow, "\\http.ico", "C:\\V\\http.ico|qm"},  // completed first
  };
  for (const auto& c : cases)
    EXPECT_EQ(Show(ClassifyIcon(c.use, c.text, context)), c.want)
        << "use " << static_cast<int>(c.use) << ", text \"" << c.text << "\"";
}

TEST(IconSource, NoWebIconFileNeverAsksTheShellAboutAnEmptyPath) {
  const IconContext noWeb{"C:\\V\\", ""};
  EXPECT_EQ(Show(ClassifyIcon(IconUse::ToolbarButton, "http", noWeb)), "<qm>");
  EXPECT_EQ(Show(ClassifyIcon(IconUse::EditorNode, "http", noWeb)), "<qmark>");
  EXPECT_EQ(Show(ClassifyIcon(IconUse::QuickMenuRow, "http://x", noWeb)), "");
}

TEST(IconSource, ProgramFolderIsJoinedAtOneBackslash) {
  EXPECT_EQ(CompleteIconPath("\\i\\a.ico", "C:\\V"), "C:\\V\\i\\a.ico");
  EXPECT_EQ(CompleteIconPath("\\i\\a.ico", "C:\\"), "C:\\i\\a.ico");
  EXPECT_EQ(CompleteIconPath("i\\a.ico", "C:\\V\\"), "i\\a.ico");
}

}  // namespace
}  // namespace velmora
