#include <gtest/gtest.h>

#include <algorithm>

#include "cust_support.h"

namespace velmora::test {
namespace {

const NodeImage kUnknown = NodeImage::Fixed("unknown");
const Boxes kShaded{"", "", "", true, true, true};

// A multiple selection as the open-file dialog returns it.
std::string Selection(std::initializer_list<const char*> parts) {
  std::string out;
  for (const char* p : parts) (out += p) += '\0';
  return out;
}

class CustModelTest : public ::testing::Test {
 protected:
  FakeFileSystem fs;
  CustPage page{fs};

  // Two menus of a button and three entries each, and two single buttons:
  // keys B1[M1,M2,M3];B2[M4,M5,M6] | M7,M8.
  CustModel& OpenTwoMenus() {
    AddMenuFile(fs, "BMENU001.MNU",
                {{"Tools", "C:\\t.ico", ""},
                 {"Notepad", "C:\\np.exe", "C:\\np.exe"},
                 {"Menu Separator", "MenuLineSeparator", ""},
                 {"Calc", "C:\\calc.exe", "C:\\calc.exe"}});
    AddMenuFile(fs, "BMENU002.MNU",
                {{"Web", "http", ""}, {"Site", "http", "http://a.example"}, {"", "menubreaker", ""},
                 {"Paint", "\\icons\\p.ico", "C:\\p.exe"}});
    AddMenuFile(fs, "BMENU001.BTN", {{"Editor", "C:\\ed.exe", "C:\\ed.exe"}});
    AddMenuFile(fs, "BMENU002.BTN", {{"Shell", "C:\\sh.exe", "C:\\sh.exe"}});
    return page.Open();
  }
  CustModel& m() { return page.m(); }
  CustEffects On(const char* key, CustCommand command) {
    page.Click(key);
    return m().Run(command);
  }
  CustEffects Keys(int vk, int modifiers) { return m().TreeKeyDown(vk, modifiers); }
  std::string Keys() { return KeyText(m()); }
  std::string Tree() { return TreeText(m()); }
  const CustNode& N(const char* key) { return *m().Node(page.Key(key)); }
};

// ---- Opening ------------------------------------------------------------------------

TEST_F(CustModelTest, OpeningKeysNodesInFileOrderAndDrawsEntriesAtTheirMenusFirstExpansion) {
  auto& model = OpenTwoMenus();
  EXPECT_EQ(Keys(), "B1[M1,M2,M3];B2[M4,M5,M6] | M7,M8");
  EXPECT_EQ(Tree(), "Tools[Notepad,Menu Separator,Calc];Web[Site,,Paint] | Editor,Shell");
  EXPECT_EQ(model.Selected(), page.Key("B1"));
  EXPECT_EQ(model.boxes(), (Boxes{"Tools", "", "C:\\t.ico"}));
  std::vector<std::pair<NodeId, NodeId>> topLevel;  // the roots, "Menu Buttons" first
  int shellIcons = 0;
  for (const auto& c : page.opened.tree) {
    if (c.op == TreeChange::Op::Insert && c.parent == kNoNode) topLevel.push_back({c.node, c.after});
    if (!c.image.shellFile.empty()) ++shellIcons;
  }
  EXPECT_EQ(topLevel, (std::vector<std::pair<NodeId, NodeId>>{{1, 0}, {model.SingleRoot(), 1}}));
  EXPECT_EQ(shellIcons, 6);  // the roots and the four buttons; no entry
  EXPECT_EQ(model.Node(kMenuRootId)->image, NodeImage::Shell(kProgramFolder + "VELMORA.EXE"));
  EXPECT_EQ(N("M5").image, kUnknown);
  EXPECT_EQ(model.NodeExpanded(page.Key("B2"), true).tree.size(), 3u);
  EXPECT_EQ(N("M4").image, NodeImage::Shell(kWebIcon));
  EXPECT_EQ(N("M5").image, NodeImage::Fixed("break"));
  EXPECT_EQ(N("M6").image, NodeImage::Shell("C:\\Velmora\\icons\\p.ico"));
  model.NodeExpanded(page.Key("B2"), false);
  EXPECT_TRUE(model.NodeExpanded(page.Key("B2"), true).tree.empty());
  On("B1", CustCommand::AddMenuItem);  // showing the new entry opens its menu
  EXPECT_EQ(N("M2").image, NodeImage::Fixed("sep"));
}

TEST_F(CustModelTest, AnEmptyFolderGivesTheTwoRootsWithSingleButtonsAsNodeTwo) {
  auto& model = page.Open();
  EXPECT_EQ(model.NodeCount(), 2u);
  EXPECT_EQ(model.Selected(), model.SingleRoot());
  EXPECT_EQ(model.boxes(), kShaded);
}

TEST_F(CustModelTest, AMenuFileThatCannotBeReadIsReportedAndNeverOverwritten) {
  fs.AddFile(kMenusFolder + "BMENU003.MNU", EncodeRecord({"Held", "", ""}));
  fs.FailOn("ReadAt", kMenusFolder + "BMENU003.MNU", 32, "The process cannot access the file.");
  auto& model = OpenTwoMenus();
  const auto before = Snapshot(fs);
  ASSERT_EQ(page.dialogs.shown.size(), 1u);
  EXPECT_NE(page.Messages()[0].find("BMENU003.MNU could not be read.\r\nError: 32 - The process cannot"),
            std::string::npos);
  EXPECT_EQ(model.Children(kMenuRootId).size(), 2u);
  model.Run(CustCommand::AddButton);
  EXPECT_FALSE(model.Save().rebuildToolbar);
  EXPECT_EQ(page.dialogs.shown.size(), 2u);
  EXPECT_EQ(Snapshot(fs), before);
  EXPECT_TRUE(model.changed());
}

TEST_F(CustModelTest, AnAwkwardFolderIsWrittenBackByteForByte) {
  std::vector<ItemRecord> big{{"Big", std::string(260, 'i'), ""}};
  for (int i = 0; i < 300; ++i)
    big.push_back(i % 3 == 0   ? ItemRecord{"", "MenuBreaker", ""}
                  : i % 3 == 1 ? ItemRecord{std::string(50, 't'), "C:\\none.ico", std::string(260, 'x')}
                               : ItemRecord{"Menu Separator", "MenuLineSeparator", ""});
  AddMenuFile(fs, "BMENU001.MNU", big);
  AddMenuFile(fs, "BMENU002.MNU", {{"", "MenuLineSeparator", ""}});
  AddMenuFile(fs, "BMENU001.BTN", {{"", "menubreaker", ""}});
  AddMenuFile(fs, "BMENU002.BTN", {{std::string(50, 'e'), "", ""}});
  const auto before = Snapshot(fs);
  auto& model = page.Open();
  model.NodeExpanded(page.Key("B1"), true);
  EXPECT_EQ(N("B2").image, NodeImage::Fixed("sep"));
  EXPECT_EQ(N("M2").image, NodeImage::Shell("C:\\none.ico"));  // the window shows "qmark"
  EXPECT_TRUE(model.Save().rebuildToolbar);
  EXPECT_EQ(Snapshot(fs), before);
  EXPECT_TRUE(page.dialogs.shown.empty());
}

// ---- Adding ---------------------------------------------------------------------------

TEST_F(CustModelTest, ButtonsAndEntriesAreAddedWhereTheSelectionSays) {
  auto& model = OpenTwoMenus();
  const auto fx = On("QM", CustCommand::AddButton);
  EXPECT_EQ(Tree(), "Tools[Notepad,Menu Separator,Calc];Web[Site,,Paint];New Button[New Menu Item] | Editor,Shell");
  EXPECT_EQ(model.Selected(), page.Key("B3"));
  EXPECT_EQ(model.boxes(), (Boxes{"New Button", "", "Button"}));
  EXPECT_EQ(fx.focus, CustFocus::Tree);
  EXPECT_EQ(N("B3").image, NodeImage::Fixed("button"));
  EXPECT_EQ(N("M9").image, NodeImage::Fixed("new"));
  EXPECT_TRUE(model.changed());

  On("M2", CustCommand::AddButton);        // from an entry: a new menu at the end
  On("QM2", CustCommand::AddButton);       // a single button takes an item key
  On("B2", CustCommand::InsertButton);     // before the selected button
  On("M8", CustCommand::InsertButton);
  EXPECT_EQ(Keys(), "B1[M1,M2,M3];B6[M12];B2[M4,M5,M6];B3[M9];B4[M10] | M7,M13,M8,M11");
  EXPECT_EQ(model.buttonCounter(), 7);  // counted for single buttons too

  for (const char* key : {"QM", "QM2", "M7"}) On(key, CustCommand::AddMenuItem);
  On("M1", CustCommand::InsertButton);
  On("B1", CustCommand::InsertMenuItem);
  On("M1", CustCommand::AddMenuItem);
  EXPECT_EQ(model.boxes(), (Boxes{"New Menu Item", "", "New"}));
  On("M3", CustCommand::InsertMenuItem);
  EXPECT_EQ(Keys(), "B1[M1,M2,M15,M3,M14];B6[M12];B2[M4,M5,M6];B3[M9];B4[M10] | M7,M13,M8,M11");
}

TEST_F(CustModelTest, SeparatorAndBreakerShortcutsInsertBeforeAnEntryButNotOnAMenuButton) {
  auto& model = OpenTwoMenus();
  page.Click("B1");
  Keys('S', kModCtrl);
  Keys(kVkInsert, kModShift);
  Keys(kVkF9, kModCtrl);
  page.Click("M3");
  Keys('S', kModCtrl | kModShift);  // only the exact modifiers count
  EXPECT_EQ(Keys(), "B1[M1,M2,M3];B2[M4,M5,M6] | M7,M8");
  EXPECT_TRUE(model.TreeKeyPress().discardChar);

  Keys('S', kModCtrl);
  EXPECT_EQ(model.boxes(), (Boxes{"Menu Separator", "", "", false, true, true}));
  EXPECT_EQ(model.Node(model.Selected())->image, NodeImage::Fixed("sep"));
  Keys(kVkF9, kModCtrl);
  EXPECT_EQ(model.Node(model.Selected())->file.FileName, "MenuBreaker");
  EXPECT_EQ(Tree(), "Tools[Notepad,Menu Separator,Menu Breaker,Menu Separator,Calc];Web[Site,,Paint] | Editor,Shell");
  Keys('Q', kModNone);
  EXPECT_FALSE(model.TreeKeyPress().discardChar);
}

// ---- Clipboard ---------------------------------------------------------------------------

TEST_F(CustModelTest, CutCopyAndPasteFollowTheirRules) {
  auto& model = OpenTwoMenus();
  page.Click("M4");
  Keys('V', kModCtrl);  // empty clipboard
  page.Click("M3");
  Keys('C', kModCtrl);
  EXPECT_FALSE(model.changed());
  page.Click("M4");
  Keys('V', kModCtrl);
  Keys('V', kModCtrl);
  EXPECT_EQ(model.Node(model.Selected())->image, NodeImage::Shell("C:\\calc.exe"));
  On("B2", CustCommand::Paste);  // never onto a menu button
  On("M2", CustCommand::Copy);
  On("M7", CustCommand::Paste);  // nor a separator among the single buttons
  On("M6", CustCommand::Paste);
  EXPECT_EQ(Tree(), "Tools[Notepad,Menu Separator,Calc];Web[Calc,Calc,Site,,Menu Separator,Paint] | Editor,Shell");

  On("M1", CustCommand::Cut);  // the neighbour is the previous sibling, or the parent
  EXPECT_EQ(model.Selected(), page.Key("B1"));
  EXPECT_EQ(model.boxes().title, "Tools");
  EXPECT_EQ(model.clipboardTitle(), "Notepad");
  EXPECT_TRUE(model.undoList().empty());
  On("M8", CustCommand::Cut);
  EXPECT_EQ(model.Selected(), page.Key("M7"));
  On("M7", CustCommand::Cut);
  EXPECT_EQ(model.Selected(), model.SingleRoot());
  EXPECT_EQ(model.boxes(), kShaded);
  On("B2", CustCommand::Cut);
  EXPECT_EQ(Tree(), "Tools[Menu Separator,Calc];Web[Calc,Calc,Site,,Menu Separator,Paint] |");
}

// ---- Delete and Undo Delete -------------------------------------------------------------------

TEST_F(CustModelTest, DeleteAsksBeforeAWholeMenuAndExplainsARootOnlyToTheKey) {
  auto& model = OpenTwoMenus();
  page.Click("B1");
  Keys(kVkDelete, kModNone);  // the fake answers No
  ASSERT_EQ(page.dialogs.shown.size(), 1u);
  const auto& question = page.dialogs.shown[0];
  EXPECT_EQ(question.text, "You have selected to delete the entire menu.\r\nDo you want to continue ?");
  EXPECT_EQ(question.buttons, MsgButtons::YesNo);
  EXPECT_EQ(question.icon, MsgIcon::Critical);
  EXPECT_EQ(question.caption, "Velmora");
  EXPECT_FALSE(model.changed());
  page.dialogs.answers.push_back(MsgResult::Yes);
  Keys(kVkDelete, kModNone);
  EXPECT_EQ(Tree(), "Web[Site,,Paint] | Editor,Shell");
  EXPECT_EQ(model.Selected(), kMenuRootId);
  EXPECT_EQ(model.boxes(), kShaded);
  EXPECT_EQ(model.undoList().size(), 4u);

  On("QM", CustCommand::AddButton);
  model.Run(CustCommand::Delete);  // one entry: no question
  page.Click("QM");
  model.ToolbarClick("delete");    // a root: nothing, silently
  EXPECT_EQ(page.dialogs.shown.size(), 2u);
  Keys(kVkDelete, kModNone);
  EXPECT_EQ(page.Messages().back(), "Velmora icon cannot be deleted.");
  EXPECT_EQ(page.dialogs.shown.back().icon, MsgIcon::Information);
  EXPECT_EQ(Tree(), "Web[Site,,Paint] | Editor,Shell");
}

TEST_F(CustModelTest, UndoPutsTheLastDeletionBackWhereItWas) {
  auto& model = OpenTwoMenus();
  On("M1", CustCommand::Delete);  // a first entry comes back first
  Keys('Z', kModCtrl);
  EXPECT_EQ(model.Selected(), page.Key("M9"));
  EXPECT_EQ(model.boxes().title, "Notepad");
  On("M6", CustCommand::Delete);  // a later one after its former previous sibling
  model.PopupClick(kPopupUndo);
  On("M7", CustCommand::Delete);
  On("M8", CustCommand::Delete);  // only the last deletion comes back
  model.Run(CustCommand::UndoDelete);
  EXPECT_TRUE(model.Run(CustCommand::UndoDelete).tree.empty());
  EXPECT_EQ(Keys(), "B1[M9,M2,M3];B2[M4,M5,M10] | M11");
  EXPECT_EQ(N("M10").file.FileName, "\\icons\\p.ico");

  page.dialogs.answers.push_back(MsgResult::Yes);
  On("B2", CustCommand::Delete);  // a whole menu, drawn at its next expansion
  model.Run(CustCommand::UndoDelete);
  EXPECT_EQ(Keys(), "B1[M9,M2,M3];B3[M12,M13,M14] | M11");
  EXPECT_EQ(Tree(), "Tools[Notepad,Menu Separator,Calc];Web[Site,,Paint] | Shell");
  EXPECT_EQ(N("B3").image, NodeImage::Shell(kWebIcon));
  EXPECT_EQ(N("M13").image, kUnknown);
  model.NodeExpanded(page.Key("B3"), true);
  EXPECT_EQ(N("M13").image, NodeImage::Fixed("break"));
}

TEST_F(CustModelTest, UndoRestoresAnEmptyMenuAsAMenuAndFollowsMovedAnchors) {
  auto& model = OpenTwoMenus();
  On("QM", CustCommand::AddButton);  // B3[M9]
  On("M9", CustCommand::Delete);
  On("B3", CustCommand::Delete);
  model.Run(CustCommand::UndoDelete);
  EXPECT_EQ(model.KindOf(page.Key("B4")), NodeKind::MenuButton);
  On("B4", CustCommand::AddMenuItem);
  EXPECT_EQ(Keys(), "B1[M1,M2,M3];B2[M4,M5,M6];B4[M10] | M7,M8");

  On("M3", CustCommand::Delete);  // anchor: the separator, which then moves
  On("M2", CustCommand::MoveUp);
  model.Run(CustCommand::UndoDelete);
  EXPECT_EQ(Tree(), "Tools[Menu Separator,Calc,Notepad];Web[Site,,Paint];New Button[New Menu Item] | Editor,Shell");
  On("M4", CustCommand::Delete);
  On("M5", CustCommand::Delete);  // anchor: Web, as its first entry; Web then moves
  On("B2", CustCommand::MoveUp);
  model.Run(CustCommand::UndoDelete);
  On("M8", CustCommand::Delete);  // anchor: Editor, which is then cut
  On("M7", CustCommand::Cut);
  model.Run(CustCommand::UndoDelete);
  EXPECT_EQ(Tree(), "Web[,Paint];Tools[Menu Separator,Calc,Notepad];New Button[New Menu Item] | Shell");
}

// ---- Moving, dragging ---------------------------------------------------------------------------

TEST_F(CustModelTest, MovingAMenuButtonCarriesItsEntriesAndItsExpandedState) {
  auto& model = OpenTwoMenus();
  On("M1", CustCommand::MoveUp);
  On("M3", CustCommand::MoveDown);
  EXPECT_FALSE(model.changed());

  model.NodeExpanded(page.Key("B1"), true);
  page.Click("B1");
  const auto fx = model.ToolbarClick("down");
  EXPECT_EQ(Keys(), "B2[M4,M5,M6];B3[M9,M10,M11] | M7,M8");
  EXPECT_EQ(model.Selected(), page.Key("B3"));
  EXPECT_TRUE(N("B3").expanded);
  EXPECT_TRUE(std::any_of(fx.tree.begin(), fx.tree.end(), [&](const TreeChange& c) {
    return c.op == TreeChange::Op::Expand && c.node == page.Key("B3");
  }));
  EXPECT_EQ(N("M10").image, NodeImage::Fixed("sep"));
  EXPECT_TRUE(model.changed());
  On("B2", CustCommand::MoveDown);  // never expanded: stays closed and undrawn
  EXPECT_FALSE(N("B4").expanded);
  EXPECT_TRUE(N("B4").iconsPending);
  page.Click("M8");
  model.ToolbarClick("up");
  EXPECT_EQ(Tree(), "Tools[Notepad,Menu Separator,Calc];Web[Site,,Paint] | Shell,Editor");
}

TEST_F(CustModelTest, DropsMoveEntriesAndRefuseRootsMenuButtonsAndMisplacedSeparators) {
  auto& model = OpenTwoMenus();
  const auto drop = [&](const char* source, const char* target) {
    EXPECT_TRUE(model.BeginDrag(page.Key(source)));
    return model.Drop(page.Key(target));
  };
  EXPECT_TRUE(drop("M1", "QM").beep);
  EXPECT_TRUE(drop("M1", "QM2").beep);
  EXPECT_TRUE(drop("M1", "M1").beep);
  EXPECT_FALSE(drop("M2", "M7").beep);  // a separator among the single buttons
  EXPECT_FALSE(drop("B1", "M4").beep);  // menu buttons move only up and down
  EXPECT_FALSE(model.BeginDrag(page.Key("QM2")));  // it would take its half of the tree along
  EXPECT_TRUE(model.Drop(page.Key("M4")).tree.empty());
  EXPECT_EQ(Keys(), "B1[M1,M2,M3];B2[M4,M5,M6] | M7,M8");
  EXPECT_FALSE(model.changed());

  EXPECT_TRUE(drop("M1", "B2").endDrag);  // onto a menu button: its last entry
  EXPECT_EQ(model.Selected(), page.Key("M9"));
  EXPECT_EQ(model.boxes().title, "Notepad");
  EXPECT_FALSE(model.dragging());
  drop("M7", "M4");  // onto an entry: before it
  EXPECT_EQ(Tree(), "Tools[Menu Separator,Calc];Web[Editor,Site,,Paint,Notepad] | Shell");
}

// ---- The right-click menu -----------------------------------------------------------------------------------

TEST_F(CustModelTest, ThePopupFollowsTheKindClipboardUndoAndTheOneSecondBlock) {
  auto& model = OpenTwoMenus();
  const auto popup = [&](const char* key) {
    page.Click(key);
    return *model.MouseUp(true).popup;
  };
  EXPECT_FALSE(popup("QM2").IsEnabled(kPopupInsertButton));
  EXPECT_TRUE(popup("M7").IsEnabled(kPopupInsertButton));  // a single button, not an entry
  EXPECT_FALSE(popup("M7").IsEnabled(kPopupSeparator));
  EXPECT_FALSE(popup("M2").IsEnabled(kPopupRename));
  EXPECT_FALSE(popup("M3").IsEnabled(kPopupPaste));
  model.Run(CustCommand::Copy);
  model.Run(CustCommand::Delete);
  EXPECT_TRUE(popup("M1").IsEnabled(kPopupPaste));
  EXPECT_TRUE(popup("M1").IsEnabled(kPopupUndo));
  EXPECT_FALSE(model.MouseUp(false).popup.has_value());

  model.BrowseFolders();  // cancelled: the tree still ignores clicks for a second
  EXPECT_FALSE(model.MouseUp(true).popup.has_value());
  EXPECT_TRUE(model.MouseDown(page.Key("M4")).tree.empty());
  EXPECT_EQ(model.NodeClick(page.Key("M4")).select, page.Key("M1"));
  model.TimerElapsed();
  model.NodeClick(page.Key("M4"));
  EXPECT_EQ(model.Selected(), page.Key("M4"));
}

TEST_F(CustModelTest, AModuleIsPlacedByTheSelectedNodeAndConfirmedWithItsValues) {
  auto& model = OpenTwoMenus();
  page.Click("M3");
  model.ModuleClick(kModuleControlPanel);
  const CustNode& cp = *model.Node(model.Selected());
  EXPECT_EQ(ItemRecord(cp.text, cp.file.FileName, cp.file.FileExe),
            ItemRecord("Control Panel", "\\icons\\ctrpanel.ico", "ControlPanel"));
  EXPECT_EQ(cp.image, NodeImage::Shell("C:\\Velmora\\icons\\ctrpanel.ico"));
  EXPECT_TRUE(model.changed());
  for (const auto& [key, module] : std::vector<std::pair<const char*, int>>{
           {"B2", kModuleFileFind}, {"QM2", kModuleNetSearch}, {"M8", kModuleRecycleBin}, {"QM", kModuleMyComputer}}) {
    page.Click(key);
    model.ModuleClick(module);
  }
  EXPECT_EQ(Tree(),
            "Tools[Notepad,Menu Separator,Control Panel,Calc];Web[Site,,Paint,File Find];My Computer[] | "
            "Editor,Recycle Bin,Shell,Net Search");
  EXPECT_TRUE(page.dialogs.shown.empty());
}

// ---- The property boxes -----------------------------------------------------------------------------------------

TEST_F(CustModelTest, ConfirmRefusesRootsAndMarkersAndStoresEverythingElseTrimmed) {
  auto& model = OpenTwoMenus();
  fs.AddFile("C:\\own.ico");
  const auto confirm = [&](const char* title, const char* command, const char* icon) {
    model.SetBoxText(CustBox::Title, title);
    model.SetBoxText(CustBox::File, command);
    model.SetBoxText(CustBox::Icon, icon);
    return model.BoxKeyPress(CustBox::Icon, kCharEnter);
  };
  page.Click("QM");
  EXPECT_EQ(confirm("Mine", "", "").focus, CustFocus::Tree);
  EXPECT_EQ(model.boxes(), kShaded);
  page.Click("M5");  // a page break
  confirm("Renamed", "", "C:\\x.ico");
  EXPECT_EQ(model.boxes(), (Boxes{"", "", "", false, true, true}));
  EXPECT_EQ(page.Messages(), (std::vector<std::string>{
      "This option is disabled if the selected item in the Menu Tree is the Velmora icon.",
      "Menu Separator or Menu Breaker cannot be edited."}));
  EXPECT_EQ(page.dialogs.shown[1].icon, MsgIcon::Exclamation);
  EXPECT_FALSE(model.changed());

  page.Click("M3");
  confirm("  Sum  ", " HTTP:\\\\www.example.com\\a ", "");
  EXPECT_EQ(model.boxes(), (Boxes{"Sum", "HTTP://www.example.com/a", "http"}));
  EXPECT_EQ(N("M3").text, "Sum");
  EXPECT_EQ(N("M3").image, NodeImage::Shell(kWebIcon));
  EXPECT_TRUE(model.changed());
  const auto iconAfter = [&](const char* command, const char* icon) {
    confirm("", command, icon);
    return N("M3").file.FileName;
  };
  EXPECT_EQ(iconAfter("http://x", "\\icons\\none.ico"), "\\icons\\none.ico");
  EXPECT_EQ(iconAfter("http://x", "C:\\own.ico"), "C:\\own.ico");
  EXPECT_EQ(iconAfter("http://x", "C:\\gone.ico"), "http");
  EXPECT_EQ(iconAfter("httpd.exe", ""), "");
  EXPECT_EQ(iconAfter("C:\\x.exe", "C:\\gone.ico"), "C:\\gone.ico");
  EXPECT_EQ(N("M3").text, "");
}

TEST_F(CustModelTest, RenameEditsTheLabelOfAnEntryOnly) {
  auto& model = OpenTwoMenus();
  page.Click("QM");
  EXPECT_EQ(model.PopupClick(kPopupRename).editLabel, kNoNode);
  page.Click("M3");
  EXPECT_EQ(model.PopupClick(kPopupRename).editLabel, page.Key("M3"));
  EXPECT_TRUE(model.LabelEditEnded(page.Key("M3"), std::nullopt).tree.empty());
  EXPECT_FALSE(model.changed());
  const auto fx = model.LabelEditEnded(page.Key("M3"), " Sum ");
  ASSERT_EQ(fx.tree.size(), 1u);  // the control shows the text as stored, not as typed
  EXPECT_EQ(fx.tree[0].text, "Sum");
  EXPECT_EQ(fx.boxes->title, "Sum");
  EXPECT_TRUE(model.changed());
  EXPECT_FALSE(model.CanEditLabel(page.Key("M2")));
  EXPECT_TRUE(model.LabelEditEnded(page.Key("M2"), "x").tree.empty());
}

TEST_F(CustModelTest, BrowsedFilesReplaceTheEntryAndFollowItInOrder) {
  auto& model = OpenTwoMenus();
  page.dialogs.openAnswers.push_back(Selection({"C:\\Dir", "a.exe", "Shortcut to Word.lnk", "notes.md"}));
  page.Click("M2");  // even a separator is replaced by a browsed file
  const auto fx = model.BrowseFiles();
  const auto& request = page.dialogs.openRequests.at(0);
  EXPECT_EQ(request.title, "Select one or more files");
  EXPECT_TRUE(request.multiSelect);
  EXPECT_EQ(request.initialFolder, kStartMenu);
  EXPECT_EQ(Tree(), "Tools[Notepad,a,Word,notes.md,Calc];Web[Site,,Paint] | Editor,Shell");
  const CustNode& word = *model.Node(model.Children(page.Key("B1"))[2]);
  EXPECT_EQ(word.file.FileExe, "C:\\Dir\\Shortcut to Word.lnk");  // the shortcut itself, and its icon
  EXPECT_EQ(word.file.FileName, word.file.FileExe);
  EXPECT_EQ(fx.focus, CustFocus::Title);
  EXPECT_EQ(fx.timer, TimerChange::Start);
  EXPECT_TRUE(page.dialogs.shown.empty());

  std::string fifty = Selection({"C:\\"});  // a drive root is not doubled
  for (int i = 1; i <= 50; ++i) fifty += "f" + std::to_string(i) + ".txt" + '\0';
  page.dialogs.openAnswers.push_back(fifty);
  model.TimerElapsed();
  page.Click("M7");  // single buttons get single buttons
  model.BrowseFiles();
  const auto singles = model.Children(model.SingleRoot());
  ASSERT_EQ(singles.size(), 51u);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(model.Node(singles[i])->file.FileExe, "C:\\f" + std::to_string(i + 1) + ".txt");
  EXPECT_EQ(model.Node(singles[50])->text, "Shell");
}

TEST_F(CustModelTest, BrowsingTakesOneFileForAMenuButtonNoneForARootAndKeepsExtensionsWhenAsked) {
  page.options.Set(kOptCutExtension, true);  // position 10: keep extensions
  auto& model = OpenTwoMenus();
  page.Click("QM");
  model.BrowseFiles();
  EXPECT_TRUE(page.dialogs.openRequests.empty());
  EXPECT_EQ(page.dialogs.shown.back().icon, MsgIcon::Exclamation);
  page.dialogs.openAnswers.push_back(std::string("C:\\Apps\\Tool.exe"));
  page.Click("B2");
  model.BrowseFiles();
  EXPECT_FALSE(page.dialogs.openRequests.back().multiSelect);
  EXPECT_EQ(page.dialogs.openRequests.back().title, "Select one file");
  EXPECT_EQ(Tree(), "Tools[Notepad,Menu Separator,Calc];Tool.exe[Site,,Paint] | Editor,Shell");

  model.Save();
  model.TimerElapsed();
  page.Click("M1");
  model.BrowseFiles();  // cancelled
  page.dialogs.folderAnswers.push_back(FolderChoice{"C:\\Games", "Games"});
  model.BrowseFolders();
  EXPECT_EQ(page.dialogs.folderRequests.back(), "To select a folder, highlight it and click OK.");
  EXPECT_EQ(ItemRecord(N("M1").text, N("M1").file.FileName, N("M1").file.FileExe),
            ItemRecord("Games", "C:\\Games", "C:\\Games"));
}

TEST_F(CustModelTest, FileAndIconChoosersRefuseRootsAndMarkersAndShowTheirTipsOnce) {
  auto& model = OpenTwoMenus();
  page.Click("QM");
  model.SelectFile();
  page.Click("M5");
  model.BoxKeyDown(CustBox::File, kVkF2);
  page.Click("M2");
  model.BoxKeyDown(CustBox::Icon, kVkF2);
  model.BoxKeyDown(CustBox::Icon, kVkF3);
  EXPECT_EQ(page.Messages(), (std::vector<std::string>{
      "Velmora Icon cannot be changed.", "Menu Separator or Menu Breaker Icons cannot be changed.",
      "Menu Separator Icon cannot be changed.", "Menu Separator Icon cannot be changed."}));
  EXPECT_TRUE(page.dialogs.openRequests.empty());
  EXPECT_TRUE(page.tips.empty());

  model.SetSelectFrom(SelectFrom::Desktop);
  page.dialogs.openAnswers.push_back(std::string("C:\\Apps\\run.exe\0", 16));
  page.Click("M3");
  EXPECT_TRUE(model.BoxKeyDown(CustBox::File, kVkF2).uncheckSelectFrom);
  EXPECT_EQ(page.dialogs.openRequests.back().initialFolder, kDesktop);
  EXPECT_EQ(N("M3").file.FileExe, "C:\\Apps\\run.exe");
  EXPECT_EQ(N("M3").file.FileName, "C:\\calc.exe");
  page.options.Set(kOptTipSelectFileOff, true);
  model.SelectFile();  // cancelled; from the folder used last
  EXPECT_EQ(page.dialogs.openRequests.back().initialFolder, "C:\\Apps\\");

  page.dialogs.openAnswers.push_back(std::string("C:\\i.ico"));
  model.TimerElapsed();
  page.Click("M5");  // a page break's icon is refused by the confirmation
  model.SelectIconFile();
  EXPECT_EQ(page.Messages().back(), "Menu Separator or Menu Breaker cannot be edited.");
  model.TimerElapsed();
  page.Click("M3");
  EXPECT_TRUE(model.OpenLibrary().showLibrary);
  model.LibraryIconChosen("\\icons\\disk06.ico");
  EXPECT_EQ(N("M3").image, NodeImage::Shell("C:\\Velmora\\icons\\disk06.ico"));
  EXPECT_TRUE(model.timerRunning());
  model.BoxKeyPress(CustBox::Title, '&');
  page.options.Set(kOptTipAmpersandOff, true);
  model.BoxKeyPress(CustBox::Title, '&');
  EXPECT_EQ(page.tips, (std::vector<TipId>{TipId::SelectFile, TipId::OtherFilesIcons, TipId::IconLibrary,
                                           TipId::Ampersand}));
}

// ---- Saving and leaving -------------------------------------------------------------------------------------------

TEST_F(CustModelTest, SaveWritesTheTreeInOrderWithTheBoxesConfirmedFirst) {
  AddMenuFile(fs, "Z.MNU", {{"Third", "", ""}});
  auto& model = OpenTwoMenus();
  page.dialogs.answers.push_back(MsgResult::Yes);
  On("B2", CustCommand::Delete);
  page.Click("M1");
  model.SetBoxText(CustBox::Title, std::string(60, 'T'));  // typed, not confirmed
  EXPECT_TRUE(model.Save().rebuildToolbar);
  EXPECT_FALSE(model.changed());
  const auto files = Snapshot(fs);
  ASSERT_EQ(files.size(), 4u);
  EXPECT_EQ(files.at("BMENU001.MNU"),
            EncodeFile({{"Tools", "C:\\t.ico", ""}, {std::string(50, 'T'), "C:\\np.exe", "C:\\np.exe"},
                        {"Menu Separator", "MenuLineSeparator", ""}, {"Calc", "C:\\calc.exe", "C:\\calc.exe"}}));
  EXPECT_EQ(files.at("BMENU002.MNU"), EncodeFile({{"Third", "", ""}}));
  EXPECT_TRUE(model.QueryUnload().close);
  EXPECT_EQ(page.dialogs.shown.size(), 1u);

  page.dialogs.answers = {MsgResult::Yes, MsgResult::Yes};
  On("B1", CustCommand::Delete);
  On("B3", CustCommand::Delete);
  model.Save();
  EXPECT_EQ(Snapshot(fs).size(), 2u);  // single buttons only
}

TEST_F(CustModelTest, TheClosingQuestionSavesDiscardsOrStaysAndAFailedSaveStays) {
  auto& model = OpenTwoMenus();
  const auto before = Snapshot(fs);
  On("M3", CustCommand::Delete);
  model.Save();
  model.Run(CustCommand::UndoDelete);  // the tree differs from the files again
  EXPECT_TRUE(model.changed());
  page.dialogs.answers.push_back(MsgResult::Cancel);
  EXPECT_FALSE(model.QueryUnload().close);
  EXPECT_EQ(page.dialogs.shown.back().text, "Do you want to save your changes before you exit?");
  EXPECT_EQ(page.dialogs.shown.back().buttons, MsgButtons::YesNoCancel);
  EXPECT_EQ(page.dialogs.shown.back().icon, MsgIcon::Question);
  page.dialogs.answers.push_back(MsgResult::No);
  EXPECT_TRUE(model.QueryUnload().close);

  fs.SetReadOnly(kMenusFolder + "BMENU002.MNU");
  page.dialogs.answers.push_back(MsgResult::Yes);
  auto fx = model.QueryUnload();
  EXPECT_FALSE(fx.close);
  EXPECT_FALSE(fx.rebuildToolbar);
  EXPECT_NE(page.Messages().back().find("BMENU002.MNU\r\nError: 5 - Access is denied."), std::string::npos);
  EXPECT_EQ(page.dialogs.shown.back().icon, MsgIcon::Critical);
  EXPECT_TRUE(model.changed());
  fs.SetReadOnly(kMenusFolder + "BMENU002.MNU", false);
  page.dialogs.answers.push_back(MsgResult::Yes);
  fx = model.QueryUnload();
  EXPECT_TRUE(fx.close);
  EXPECT_TRUE(fx.rebuildToolbar);
  EXPECT_EQ(Snapshot(fs), before);
}

// ---- Key counters -------------------------------------------------------------------------------------------------

TEST_F(CustModelTest, ALongSessionOnAHundredMenusOfAHundredRenumbersKeysInsteadOfOverflowing) {
  for (int b = 1; b <= 100; ++b) {
    std::vector<ItemRecord> records{{"Menu " + std::to_string(b), "C:\\m.ico", ""}};
    for (int i = 1; i <= 100; ++i) records.push_back({"Entry " + std::to_string(i), "C:\\e.exe", "C:\\e.exe"});
    AddMenuFile(fs, EditorFileName(b, true), records);
  }
  auto& model = page.Open();
  const auto content = model.Content();
  page.Click("B50");
  for (int round = 0; round < 300; ++round) {
    model.Run(round % 2 ? CustCommand::MoveUp : CustCommand::MoveDown);
    ASSERT_LE(model.itemCounter(), 32767);
  }
  EXPECT_GE(model.keyGeneration(), 1);
  EXPECT_EQ(model.KeyCount(), model.NodeCount());
  EXPECT_EQ(model.Content().menus, content.menus);

  FakeFileSystem smallFolder;  // the button counter too
  CustPage small(smallFolder);
  AddMenuFile(smallFolder, "BMENU001.MNU", {{"One", "", ""}, {"a", "", "x"}});
  AddMenuFile(smallFolder, "BMENU002.MNU", {{"Two", "", ""}});
  small.Open();
  small.Click("B1");
  for (int round = 0; round < 33000; ++round)
    small.m().Run(round % 2 ? CustCommand::MoveUp : CustCommand::MoveDown);
  EXPECT_LE(small.m().buttonCounter(), 32767);
  EXPECT_EQ(small.m().Node(small.m().Selected())->text, "One");
  EXPECT_EQ(small.m().KeyCount(), small.m().NodeCount());
}

TEST_F(CustModelTest, MoreEntriesThanSixteenBitKeysCanRenumberCountOnPastTheLimit) {
  std::vector<ItemRecord> records{{"Big", "", ""}};
  for (int i = 1; i <= 17000; ++i) records.push_back({"e" + std::to_string(i), "", "x"});
  AddMenuFile(fs, "BMENU001.MNU", records);
  auto& model = page.Open();
  page.Click("M1");
  for (int round = 0; round < 16000; ++round) model.Run(CustCommand::MoveDown);
  EXPECT_EQ(model.keyGeneration(), 0);
  EXPECT_EQ(model.Node(model.Selected())->key, "M33000");
  EXPECT_EQ(model.KeyCount(), model.NodeCount());
  EXPECT_EQ(model.Node(model.Children(page.Key("B1"))[16000])->text, "e1");
}

}  // namespace
}  // namespace velmora::test
