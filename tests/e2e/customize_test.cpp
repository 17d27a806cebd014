// The Customize page as a user meets it: opened from the own menu, entries
// added and typed in, a whole menu deleted and brought back, files chosen in
// the open-file dialog, a built-in module from the right-click menu, an entry
// dragged onto another menu, the question when leaving with unsaved edits,
// and a save the folder refuses. What the page did is read off its tree (from
// this process, through the control) and off the menu files it writes.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cust_driver.h"
#include "customize/cust_tables.h"
#include "driver.h"
#include "fixture.h"

namespace velmora::e2e {
namespace {

const std::string kDeleteMenu = "You have selected to delete the entire menu.\r\nDo you want to continue ?";
const std::string kSavePrompt = "Do you want to save your changes before you exit?";
constexpr std::size_t kRecordSize = 570;

struct Record {
  std::string title, fileName, fileExe;
};

std::string Trimmed(const std::string& field) {
  const auto end = field.find_last_not_of(' ');
  const auto start = field.find_first_not_of(' ');
  return end == std::string::npos ? std::string() : field.substr(start, end - start + 1);
}

std::vector<Record> Records(const std::string& bytes) {
  std::vector<Record> out;
  for (std::size_t at = 0; at + kRecordSize <= bytes.size(); at += kRecordSize)
    out.push_back({Trimmed(bytes.substr(at, 50)), Trimmed(bytes.substr(at + 50, 260)),
                   Trimmed(bytes.substr(at + 310, 260))});
  return out;
}

class Customize : public PageTest {
 protected:
  void WriteMenu(const std::string& name, const std::string& records) {
    ASSERT_TRUE(folder_.Write("Menus\\" + name, records));
  }
  std::string Menu(const std::string& name) { return folder_.Read("Menus\\" + name).value_or("<none>"); }
  // Every file of the Menus folder with its bytes.
  std::map<std::string, std::string> MenusFolder() {
    std::map<std::string, std::string> out;
    for (const std::string& name : ListTree(folder_.PathOf("Menus"))) out[name] = Menu(name);
    return out;
  }

  bool WaitOutline(App& app, const std::string& expected) {
    return app.WaitUntil([&] { return tree_->Outline() == expected; });
  }
  bool WaitBoxes(App& app, const std::string& title, const std::string& file, const std::string& icon) {
    return app.WaitUntil([&] {
      return page_->BoxText(kIdTxtTitle) == title && page_->BoxText(kIdTxtCommand) == file &&
             page_->BoxText(kIdTxtFile) == icon;
    });
  }
  std::string Boxes() const {
    std::string out;
    for (const int id : {kIdTxtTitle, kIdTxtCommand, kIdTxtFile}) {
      out += out.empty() ? "\"" : ", \"";
      out += page_->BoxText(id);
      out += '"';
    }
    return out;
  }

  // Clicks a node's text; the tree shows it first.
  bool ClickNode(App& app, const std::vector<std::string>& path, bool right = false) {
    std::optional<POINT> at;
    if (!app.WaitUntil([&] { return (at = tree_->TextCentre(tree_->Find(path))).has_value(); })) return false;
    if (right) RightClickAt(*at);
    else ClickAt(*at);
    return true;
  }
  // Selects a menu button and opens it from the keyboard. (A click on the
  // node already selected would start editing its title instead.)
  bool ExpandNode(App& app, const std::vector<std::string>& path) {
    HTREEITEM item = tree_->Find(path);
    if (tree_->Selected() != item && !ClickNode(app, path)) return false;
    if (!app.WaitUntil([&] { return tree_->Selected() == item; })) return false;
    PressKey(VK_RIGHT);
    return app.WaitUntil([&] { return tree_->Expanded(item); });
  }
  void Press(int controlId) { ClickAt(page_->ControlCentre(controlId)); }
  void ToolbarButton(App& app, int index) {
    const auto r = RemoteToolbarButton(app.Pid(), page_->Control(kIdToolbar1), index);
    ASSERT_TRUE(r) << "no edit toolbar button " << index;
    ClickAt(CenterOf(*r));
  }

  // Answers the box that shows `text` with `button`.
  void Answer(App& app, const std::string& text, int button) {
    auto box = app.WaitForMessageBox(text);
    ASSERT_TRUE(box) << "no message \"" << text << "\" " << app.Report();
    EXPECT_EQ(box->text, text);
    EXPECT_EQ(box->caption, "Velmora");
    ASSERT_TRUE(box->Press(button));
    ASSERT_TRUE(box->WaitGone());
  }
  bool PageGone(App& app) { return app.WaitUntil([&] { return !IsWindow(page_->window); }); }

};

// ---------------------------------------------------------------------------
TEST_F(Customize, AnEntryTypedInIsSavedByteForByteAndRunsFromTheRebuiltToolbar) {
  ASSERT_NO_FATAL_FAILURE(WriteMenu("BMENU001.MNU", ItemRecord("Tools", "", "") +
                                                         ItemRecord("Alpha", "", helper_ + " a")));
  App app(folder_);
  ASSERT_TRUE(Start(app));
  ASSERT_TRUE(Open(app));
  EXPECT_EQ(CaptionOf(page_->window), "Velmora - Customize");
  // A menu's entries join the tree when it first opens.
  EXPECT_EQ(tree_->Outline(), "Menu Buttons[Tools],Single Buttons[]");
  EXPECT_EQ(tree_->Text(tree_->Selected()), "Tools") << "node 2 is not selected";
  EXPECT_TRUE(WaitBoxes(app, "Tools", "", "")) << Boxes();

  // "Add New Menu Item" on the edit toolbar (its fifth button).
  ASSERT_NO_FATAL_FAILURE(ToolbarButton(app, 4));
  ASSERT_TRUE(WaitOutline(app, "Menu Buttons[Tools[Alpha,New Menu Item]],Single Buttons[]"))
      << tree_->Outline();
  ASSERT_TRUE(WaitBoxes(app, "New Menu Item", "", "New")) << Boxes();

  TypeIntoBox(page_->Control(kIdTxtTitle), "Beta");
  TypeIntoBox(page_->Control(kIdTxtCommand), helper_ + " b");
  TypeIntoBox(page_->Control(kIdTxtFile), "");
  PressKey(VK_RETURN);  // confirms the boxes: no button of the page is pressed
  ASSERT_TRUE(WaitOutline(app, "Menu Buttons[Tools[Alpha,Beta]],Single Buttons[]")) << tree_->Outline();
  EXPECT_TRUE(IsWindowVisible(page_->window));

  Press(kIdCmdSave);
  const std::string expected = ItemRecord("Tools", "", "") + ItemRecord("Alpha", "", helper_ + " a") +
                               ItemRecord("Beta", "", helper_ + " b");
  ASSERT_TRUE(app.WaitUntil([&] { return Menu("BMENU001.MNU") == expected; }))
      << Records(Menu("BMENU001.MNU")).size() << " records";
  EXPECT_EQ(MenusFolder().size(), 1u);

  // The toolbar read the new file at once: its menu runs the new entry.
  ASSERT_TRUE(FindToolbar(app));
  HWND menu = nullptr;
  ASSERT_TRUE(app.WaitUntil([&] { return (menu = OpenQuickMenu(app, toolbar1_, 2)) != nullptr; }));
  PressKey(VK_DOWN);
  PressKey(VK_DOWN);
  PressKey(VK_RETURN);
  const auto runs = WaitRuns(1);
  ASSERT_EQ(runs.size(), 1u) << app.Report();
  EXPECT_EQ(runs[0].args, (std::vector<std::string>{"b"}));

  // Asked for again while minimized, the page comes back: still one page.
  PostMessageA(page_->window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(app.WaitUntil([&] { return IsIconic(page_->window) != FALSE; }));
  ASSERT_TRUE(ChooseOwnMenuEntry(app, toolbar1_, 1));
  ASSERT_TRUE(app.WaitUntil([&] { return !IsIconic(page_->window) && IsWindowVisible(page_->window); }))
      << "Customize Velmora did not restore the page";
  EXPECT_EQ(FindWindows(app.Pid(), AnyState("VelmoraCustomize")).size(), 1u);

  // Saved: leaving asks nothing.
  ASSERT_TRUE(BringToForeground(page_->window));
  Press(kIdCmdCancel);
  EXPECT_TRUE(PageGone(app)) << app.Report();
  EXPECT_TRUE(app.Close());
  EXPECT_TRUE(app.ExitedCleanly());
  EXPECT_TRUE(app.SeenMessages().empty()) << app.SeenMessages()[0];
}

TEST_F(Customize, DeletingAWholeMenuAsksFirstAndUndoBringsItBack) {
  const std::string tools = ItemRecord("Tools", "", "") + ItemRecord("Alpha", "", "a.exe") +
                            ItemRecord("Beta", "", "b.exe");
  ASSERT_NO_FATAL_FAILURE(WriteMenu("BMENU001.MNU", tools));
  ASSERT_NO_FATAL_FAILURE(WriteMenu("BMENU002.MNU", ItemRecord("Games", "", "") + ItemRecord("Chess", "", "c.exe")));
  App app(folder_);
  ASSERT_TRUE(Start(app));
  ASSERT_TRUE(Open(app));
  const std::string all = "Menu Buttons[Tools,Games],Single Buttons[]";
  ASSERT_EQ(tree_->Outline(), all);

  // The tree has the keyboard from the start.
  PressKey(VK_DELETE);
  ASSERT_NO_FATAL_FAILURE(Answer(app, kDeleteMenu, IDNO));
  ASSERT_TRUE(app.Sync());
  EXPECT_EQ(tree_->Outline(), all) << "No deleted the menu";

  PressKey(VK_DELETE);
  ASSERT_NO_FATAL_FAILURE(Answer(app, kDeleteMenu, IDYES));
  ASSERT_TRUE(WaitOutline(app, "Menu Buttons[Games],Single Buttons[]")) << tree_->Outline();
  // The root is selected now: its boxes are empty.
  EXPECT_TRUE(WaitBoxes(app, "", "", "")) << Boxes();
  EXPECT_EQ(tree_->Text(tree_->Selected()), "Menu Buttons");

  PressKey('Z', {VK_CONTROL});
  ASSERT_TRUE(WaitOutline(app, all)) << tree_->Outline();
  EXPECT_TRUE(WaitBoxes(app, "Tools", "", "")) << Boxes();
  ASSERT_TRUE(ExpandNode(app, {"Menu Buttons", "Tools"}));
  EXPECT_EQ(tree_->Outline(), "Menu Buttons[Tools[Alpha,Beta],Games],Single Buttons[]");

  // Nothing was saved; leaving without saving keeps the file as it was.
  Press(kIdCmdCancel);
  ASSERT_NO_FATAL_FAILURE(Answer(app, kSavePrompt, IDNO));
  EXPECT_TRUE(PageGone(app));
  EXPECT_EQ(Menu("BMENU001.MNU"), tools);
  EXPECT_TRUE(app.Close());
  EXPECT_TRUE(app.ExitedCleanly());
}

TEST_F(Customize, ThreeFilesChosenTogetherReplaceTheEntryAndFollowItInOrder) {
  const std::string picks = folder_.WorkFolder() + "\\picks";
  ASSERT_TRUE(CreateDirectoryA(picks.c_str(), nullptr));
  for (const char* name : {"alpha.txt", "beta.txt", "gamma.txt"})
    ASSERT_TRUE(WriteBytes(picks + "\\" + name, name));
  ASSERT_NO_FATAL_FAILURE(WriteMenu("BMENU001.MNU", ItemRecord("Tools", "", "") + ItemRecord("Old", "", "old.exe") +
                                                         ItemRecord("Last", "", "last.exe")));
  App app(folder_);
  ASSERT_TRUE(Start(app));
  ASSERT_TRUE(Open(app));
  ASSERT_TRUE(ExpandNode(app, {"Menu Buttons", "Tools"}));
  ASSERT_TRUE(ClickNode(app, {"Menu Buttons", "Tools", "Old"}));
  ASSERT_TRUE(WaitBoxes(app, "Old", "old.exe", "")) << Boxes();

  Press(kIdCmdBrowseFiles);
  HWND dialog = WaitForFileDialog(app, "Select one or more files");
  ASSERT_TRUE(dialog) << app.Report();
  ASSERT_TRUE(ChooseInFileDialog(app, dialog, picks, "\"alpha.txt\" \"beta.txt\" \"gamma.txt\""));
  ASSERT_TRUE(WaitOutline(app, "Menu Buttons[Tools[alpha,beta,gamma,Last]],Single Buttons[]"))
      << tree_->Outline();

  Press(kIdCmdSave);
  std::vector<Record> saved;
  ASSERT_TRUE(app.WaitUntil([&] { return (saved = Records(Menu("BMENU001.MNU"))).size() == 5 && saved[3].title == "gamma"; }))
      << saved.size() << " records";
  const char* names[] = {"alpha", "beta", "gamma"};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(names[i]);
    const Record& r = saved[static_cast<std::size_t>(i) + 1];
    EXPECT_EQ(r.title, names[i]);
    // The entry runs the file and shows its icon.
    EXPECT_TRUE(SameText(r.fileExe, picks + "\\" + names[i] + ".txt")) << r.fileExe;
    EXPECT_EQ(r.fileName, r.fileExe);
  }
  EXPECT_EQ(saved[4].title, "Last");
  EXPECT_EQ(saved[4].fileExe, "last.exe");
  EXPECT_TRUE(app.Close());
  EXPECT_TRUE(app.ExitedCleanly());
}

TEST_F(Customize, ABuiltInModuleFromTheRightClickMenuGoesBeforeTheEntryClickedAndIsRenamedInPlace) {
  ASSERT_NO_FATAL_FAILURE(WriteMenu("BMENU001.MNU", ItemRecord("Tools", "", "") + ItemRecord("Alpha", "", "a.exe")));
  App app(folder_);
  ASSERT_TRUE(Start(app));
  ASSERT_TRUE(Open(app));
  ASSERT_TRUE(ExpandNode(app, {"Menu Buttons", "Tools"}));

  // The right button selects the entry and opens the menu over it.
  ASSERT_TRUE(ClickNode(app, {"Menu Buttons", "Tools", "Alpha"}, true));
  ASSERT_TRUE(WaitForPopupMenu(app)) << app.Report();
  EXPECT_EQ(tree_->Text(tree_->Selected()), "Alpha");
  // "Insert Built-in Module" comes first; in it Control Panel is seventh.
  PressKey(VK_DOWN);
  PressKey(VK_RIGHT);
  for (int i = 0; i < 6; ++i) PressKey(VK_DOWN);
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitOutline(app, "Menu Buttons[Tools[Control Panel,Alpha]],Single Buttons[]")) << tree_->Outline();
  EXPECT_TRUE(WaitBoxes(app, "Control Panel", "ControlPanel", "\\icons\\ctrpanel.ico")) << Boxes();

  // "Rename", the menu's last item, edits the title in the tree itself.
  ASSERT_TRUE(ClickNode(app, {"Menu Buttons", "Tools", "Control Panel"}, true));
  ASSERT_TRUE(WaitForPopupMenu(app)) << app.Report();
  PressKey(VK_UP);
  PressKey(VK_RETURN);
  ASSERT_TRUE(app.WaitUntil([&] { return FindWindowExA(tree_->Handle(), nullptr, "Edit", nullptr) != nullptr; }))
      << "no title editing";
  TypeText("Settings");
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitOutline(app, "Menu Buttons[Tools[Settings,Alpha]],Single Buttons[]")) << tree_->Outline();
  EXPECT_TRUE(WaitBoxes(app, "Settings", "ControlPanel", "\\icons\\ctrpanel.ico")) << Boxes();

  Press(kIdCmdSave);
  const std::string expected = ItemRecord("Tools", "", "") +
                               ItemRecord("Settings", "\\icons\\ctrpanel.ico", "ControlPanel") +
                               ItemRecord("Alpha", "", "a.exe");
  EXPECT_TRUE(app.WaitUntil([&] { return Menu("BMENU001.MNU") == expected; }));
  EXPECT_TRUE(app.Close());
  EXPECT_TRUE(app.ExitedCleanly());
}

TEST_F(Customize, AnEntryDraggedOntoAnotherMenuBecomesItsLastEntry) {
  ASSERT_NO_FATAL_FAILURE(WriteMenu("BMENU001.MNU", ItemRecord("Tools", "", "") + ItemRecord("Alpha", "", "a.exe") +
                                                         ItemRecord("Beta", "", "b.exe")));
  ASSERT_NO_FATAL_FAILURE(WriteMenu("BMENU002.MNU", ItemRecord("Games", "", "") + ItemRecord("Chess", "", "c.exe")));
  App app(folder_);
  ASSERT_TRUE(Start(app));
  ASSERT_TRUE(Open(app));
  ASSERT_TRUE(ExpandNode(app, {"Menu Buttons", "Tools"}));
  std::optional<POINT> from, to;
  ASSERT_TRUE(app.WaitUntil([&] {
    from = tree_->TextCentre(tree_->Find({"Menu Buttons", "Tools", "Beta"}));
    to = tree_->TextCentre(tree_->Find({"Menu Buttons", "Games"}));
    return from && to;
  }));
  // Esc on the way drops nothing.
  MoveMouse(*from);
  LeftButtonAt(*from, true);
  for (int i = 1; i <= 6; ++i) {
    MoveMouse({from->x + 2, from->y + (to->y - from->y) * i / 6});
    Sleep(30);
  }
  ASSERT_TRUE(app.WaitUntil([&] { return tree_->DropTarget() != nullptr; })) << "no drag began";
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(app.WaitUntil([&] { return tree_->DropTarget() == nullptr; })) << "Esc left the drag on";
  LeftButtonAt(*to, false);
  ASSERT_TRUE(app.Sync());
  EXPECT_EQ(tree_->Outline(), "Menu Buttons[Tools[Alpha,Beta],Games],Single Buttons[]");

  // Pressed again at once, the button would make a double click, not a drag.
  Sleep(GetDoubleClickTime() + 100);
  DragWithMouse(*from, *to);
  // The menu it went to opens to show it.
  ASSERT_TRUE(WaitOutline(app, "Menu Buttons[Tools[Alpha],Games[Chess,Beta]],Single Buttons[]"))
      << tree_->Outline();
  EXPECT_EQ(tree_->Text(tree_->Selected()), "Beta");
  EXPECT_FALSE(tree_->DropTarget()) << "the drop highlight stayed";

  Press(kIdCmdSave);
  const std::string games = ItemRecord("Games", "", "") + ItemRecord("Chess", "", "c.exe") + ItemRecord("Beta", "", "b.exe");
  EXPECT_TRUE(app.WaitUntil([&] { return Menu("BMENU002.MNU") == games; }));
  EXPECT_EQ(Menu("BMENU001.MNU"), ItemRecord("Tools", "", "") + ItemRecord("Alpha", "", "a.exe"));
  EXPECT_TRUE(app.Close());
  EXPECT_TRUE(app.ExitedCleanly());
}

TEST_F(Customize, LeavingWithUnsavedEditsAsksAndEachAnswerDoesWhatItSays) {
  const std::string tools = ItemRecord("Tools", "", "") + ItemRecord("Alpha", "", "a.exe");
  ASSERT_NO_FATAL_FAILURE(WriteMenu("BMENU001.MNU", tools));
  App app(folder_);
  ASSERT_TRUE(Start(app));
  const std::string edited = "Menu Buttons[Tools[Alpha,New Menu Item]],Single Buttons[]";

  // Cancel: the page stays, edits and all; No: it goes and the file stays.
  ASSERT_TRUE(Open(app));
  PressKey('M', {VK_CONTROL});
  ASSERT_TRUE(WaitOutline(app, edited)) << tree_->Outline();
  Press(kIdCmdCancel);
  ASSERT_NO_FATAL_FAILURE(Answer(app, kSavePrompt, IDCANCEL));
  ASSERT_TRUE(app.Sync());
  EXPECT_TRUE(IsWindowVisible(page_->window));
  EXPECT_EQ(tree_->Outline(), edited);
  PostMessageA(page_->window, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
  ASSERT_NO_FATAL_FAILURE(Answer(app, kSavePrompt, IDNO));
  ASSERT_TRUE(PageGone(app));
  EXPECT_EQ(Menu("BMENU001.MNU"), tools);

  // Opened again, the page shows the files; Yes saves, then closes.
  ASSERT_TRUE(Open(app));
  EXPECT_EQ(tree_->Outline(), "Menu Buttons[Tools],Single Buttons[]");
  PressKey('M', {VK_CONTROL});
  ASSERT_TRUE(WaitOutline(app, edited)) << tree_->Outline();
  Press(kIdCmdCancel);
  ASSERT_NO_FATAL_FAILURE(Answer(app, kSavePrompt, IDYES));
  ASSERT_TRUE(PageGone(app));
  EXPECT_EQ(Records(Menu("BMENU001.MNU")).size(), 3u);
  ASSERT_TRUE(FindToolbar(app));

  // Ending the program with edits open asks the same; Cancel keeps it running.
  ASSERT_TRUE(Open(app));
  PressKey('B', {VK_CONTROL});  // a new menu button
  ASSERT_TRUE(app.WaitUntil([&] { return tree_->ChildTexts({"Menu Buttons"}).size() == 2; }));
  ASSERT_TRUE(ChooseOwnMenuEntry(app, toolbar1_, 7));
  ASSERT_NO_FATAL_FAILURE(Answer(app, kSavePrompt, IDCANCEL));
  ASSERT_TRUE(app.Sync());
  EXPECT_TRUE(app.Running());
  EXPECT_TRUE(IsWindowVisible(page_->window));
  ASSERT_TRUE(ChooseOwnMenuEntry(app, toolbar1_, 7));
  ASSERT_NO_FATAL_FAILURE(Answer(app, kSavePrompt, IDNO));
  ASSERT_TRUE(app.WaitExit()) << app.Report();
  EXPECT_TRUE(app.ExitedCleanly());
  EXPECT_FALSE(folder_.Exists("Menus\\BMENU002.MNU"));
}

TEST_F(Customize, ASaveTheFolderRefusesLeavesEveryFileAsItWasAndSaysSo) {
  ASSERT_NO_FATAL_FAILURE(WriteMenu("BMENU001.MNU", ItemRecord("Tools", "", "") + ItemRecord("Alpha", "", "a.exe")));
  ASSERT_NO_FATAL_FAILURE(WriteMenu("BMENU002.MNU", ItemRecord("Games", "", "") + ItemRecord("Chess", "", "c.exe")));
  ASSERT_NO_FATAL_FAILURE(WriteMenu("BMENU001.BTN", ItemRecord("Run", "", "r.exe")));
  ASSERT_TRUE(folder_.SetReadOnly("Menus\\BMENU002.MNU", true));
  const auto before = MenusFolder();
  App app(folder_);
  ASSERT_TRUE(Start(app));
  ASSERT_TRUE(Open(app));
  PressKey('M', {VK_CONTROL});
  ASSERT_TRUE(WaitOutline(app, "Menu Buttons[Tools[Alpha,New Menu Item],Games],Single Buttons[Run]"))
      << tree_->Outline();

  Press(kIdCmdSave);
  auto box = app.WaitForMessageBox("The toolbar could not be updated.");
  ASSERT_TRUE(box) << app.Report();
  EXPECT_NE(box->text.find("BMENU002.MNU"), std::string::npos) << box->text;
  EXPECT_EQ(MenusFolder(), before);
  ASSERT_TRUE(box->Press(IDOK));
  ASSERT_TRUE(box->WaitGone());

  // The edits are still there, and still unsaved.
  EXPECT_TRUE(IsWindowVisible(page_->window));
  Press(kIdCmdCancel);
  ASSERT_NO_FATAL_FAILURE(Answer(app, kSavePrompt, IDNO));
  EXPECT_TRUE(PageGone(app));
  EXPECT_EQ(MenusFolder(), before);
  EXPECT_TRUE(folder_.SetReadOnly("Menus\\BMENU002.MNU", false));
  EXPECT_TRUE(app.Close());
  EXPECT_TRUE(app.ExitedCleanly());
}

// ---------------------------------------------------------------------------
// Pictures for the documentation, not a check: run on its own with
// --gtest_also_run_disabled_tests and VELMORA_SHOT_FOLDER set (see
// quickmenu_test.cpp): the page with a menu open, an entry selected and the
// right-click menu.
TEST_F(Customize, DISABLED_ScreenshotsForTheDocumentation) {
  const std::string dpi = std::to_string(ScreenDpi());
  // The icon library's pictures come with a start that has position 2 clear.
  ASSERT_TRUE(folder_.Write(kOptionsFile, "1000000010000001"));
  const auto icon = [](const std::string& name) { return "\\Icons\\" + name + ".ico"; };
  const auto entry = [&](const std::string& title, const std::string& name) {
    return ItemRecord(title, icon(name), "notepad.exe");
  };
  ASSERT_NO_FATAL_FAILURE(WriteMenu(
      "BMENU001.MNU", ItemRecord("Programs", icon("program"), "") + entry("Text Editor", "editor") +
                          entry("Calculator", "calc") + entry("Character Map", "charmap") +
                          ItemRecord("Menu Separator", "MenuLineSeparator", "") + entry("Control Panel", "ctrpanel") +
                          entry("Display Settings", "display") + entry("Printers", "printer") +
                          ItemRecord("Menu Breaker", "MenuBreaker", "") + entry("Documents", "folder") +
                          entry("Games", "games") + entry("Music Player", "player")));
  ASSERT_NO_FATAL_FAILURE(WriteMenu("BMENU002.MNU", ItemRecord("Internet", icon("web"), "") + entry("Mail", "mail")));
  ASSERT_NO_FATAL_FAILURE(WriteMenu("BMENU003.MNU", ItemRecord("System", icon("system"), "") + entry("Monitor", "sysmon")));
  ASSERT_NO_FATAL_FAILURE(WriteMenu("BMENU001.BTN", ItemRecord("Net Search", icon("netsrch"), "NetSearch")));
  ASSERT_NO_FATAL_FAILURE(WriteMenu("BMENU002.BTN", ItemRecord("My Computer", icon("mycomp"), "MyComputer")));
  App app(folder_);
  ASSERT_TRUE(Start(app));
  ASSERT_TRUE(Open(app));
  ASSERT_TRUE(ExpandNode(app, {"Menu Buttons", "Programs"}));
  ASSERT_TRUE(ClickNode(app, {"Menu Buttons", "Programs", "Calculator"}));
  ASSERT_TRUE(WaitBoxes(app, "Calculator", "notepad.exe", "\\Icons\\calc.ico")) << Boxes();
  // The menu opens right of the text, which stays in sight.
  const auto text = tree_->TextRect(tree_->Find({"Menu Buttons", "Programs", "Calculator"}));
  ASSERT_TRUE(text);
  RightClickAt({text->right - 3, (text->top + text->bottom) / 2});
  HWND popup = WaitForPopupMenu(app);
  ASSERT_TRUE(popup);
  MoveMouse({20, GetSystemMetrics(SM_CYSCREEN) - 20});
  for (int i = 0; i < 4; ++i) PressKey(VK_DOWN);  // "Add Menu Item" lit
  ASSERT_TRUE(app.Sync());
  Sleep(500);
  RECT area = WindowRect(page_->window);
  const RECT p = WindowRect(popup);
  UnionRect(&area, &area, &p);
  InflateRect(&area, 12, 12);
  EXPECT_TRUE(RequestScreenshot("customize-" + dpi, area));
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(app.WaitUntil([&] { return !app.Find(Visible("#32768")); }));
  EXPECT_TRUE(app.Close());
}

}  // namespace
}  // namespace velmora::e2e
