#include "about/sample_menus.h"

#include <gtest/gtest.h>

#include <functional>

#include "fakes.h"
#include "model/state_files.h"

namespace velmora {

// Readable failure messages; internal so that no other test's printer collides.
[[maybe_unused]] static void PrintTo(const ItemRecord& r, std::ostream* os) {
  *os << "{\"" << r.Title << "\", \"" << r.FileName << "\", \"" << r.FileExe << "\"}";
}

namespace {

using test::FakeDialogs;
using test::FakeFileSystem;
using test::FakeShell;

const std::string kIcons = "C:\\V\\Icons\\";
const std::string kDesk = "C:\\U\\Desktop\\";
const std::string kProgs = "C:\\U\\Programs\\";
const std::string kAcc = kProgs + "Accessories\\";

ItemRecord FileRecord(const std::string& folder, const std::string& name) {
  return {name.substr(0, name.size() - 4), folder + name, folder + name};
}
const ItemRecord kSeparator{"Menu Separator", "MenuLineSeparator", ""};

std::vector<std::string> NamesOf(const SamplePlan& plan) {
  std::vector<std::string> out;
  for (const auto& f : plan.files) out.push_back(f.fileName);
  return out;
}

SampleListings Listings() {
  SampleListings in;
  in.iconsFolder = kIcons;
  in.desktop = SampleFolder{kDesk, {"Word.lnk", "notes.txt", "Apple.url"}};
  in.programs = SampleFolder{kProgs, {"Velmora.lnk", "Zip.lnk", "my velmora help.lnk", "Calc.lnk"}};
  in.accessories = SampleFolder{kAcc, {"Paint.lnk", "notepad.lnk"}};
  in.accessorySubfolders = {{kAcc + "System Tools\\", {"Defrag.lnk"}},
                            {kAcc + "Empty\\", {}},
                            {kAcc + "Games\\", {"solitaire.lnk", "Mines.lnk"}}};
  return in;
}

TEST(SamplePlan, FreshInstallationGetsFiveButtonsAndThreeMenus) {
  const auto plan = PlanSampleMenus(Listings());
  EXPECT_FALSE(plan.failed);
  ASSERT_EQ(NamesOf(plan), (std::vector<std::string>{"BMENU001.BTN", "BMENU002.BTN", "BMENU003.BTN",
                                                     "BMENU004.BTN", "BMENU005.BTN", "BMENU001.MNU",
                                                     "BMENU002.MNU", "BMENU003.MNU"}));
  using R = std::vector<ItemRecord>;
  EXPECT_EQ(plan.files[0].records, (R{{"Net Search", kIcons + "netsrch.ico", "NetSearch"}}));
  EXPECT_EQ(plan.files[4].records, (R{{"Control Panel", kIcons + "ctrpanel.ico", "control.exe"}}));

  // Files sorted by name without regard to case; titles lose the extension.
  EXPECT_EQ(plan.files[5].records,
            (R{{"Desktop", kIcons + "desktop.ico", ""}, FileRecord(kDesk, "Apple.url"),
               FileRecord(kDesk, "notes.txt"), FileRecord(kDesk, "Word.lnk")}));
  // The program's own shortcuts, in any letter case, are left out.
  EXPECT_EQ(plan.files[6].records,
            (R{{"Miscellaneous", kIcons + "Misc04.ico", ""}, FileRecord(kProgs, "Calc.lnk"),
               FileRecord(kProgs, "Zip.lnk")}));
  // Fixed records, the folder's files, then each subfolder with files in name
  // order behind a separator; the empty one adds nothing.
  const std::string tools = kAcc + "System Tools\\", games = kAcc + "Games\\";
  EXPECT_EQ(plan.files[7].records,
            (R{{"Accessories", kIcons + "CLIP01.ICO", ""},
               {"Copy Disk", kIcons + "DISK06.ICO", "CopyDisk"},
               {"Format Disk", kIcons + "DISKS04.ICO", "FormatDisk"},
               kSeparator,
               FileRecord(kAcc, "notepad.lnk"),
               FileRecord(kAcc, "Paint.lnk"),
               kSeparator,
               FileRecord(games, "Mines.lnk"),
               FileRecord(games, "solitaire.lnk"),
               kSeparator,
               FileRecord(tools, "Defrag.lnk")}));
}

TEST(SamplePlan, ExistingButtonsGetOnlyNetSearchAndFileFindAndNoMenus) {
  auto in = Listings();
  in.buttonFiles = {"A.BTN", "B.BTN", "C.BTN"};
  const auto plan = PlanSampleMenus(in);
  EXPECT_FALSE(plan.failed);
  ASSERT_EQ(NamesOf(plan), (std::vector<std::string>{"BMENU004.BTN", "BMENU005.BTN"}));
  EXPECT_EQ(plan.files[1].records[0].Title, "File Find");
}

TEST(SamplePlan, NumbersContinueAfterExistingFilesPassingOverTakenNames) {
  auto in = Listings();
  in.buttonFiles = {"bmenu002.btn"};  // one file, so the count alone would choose 002
  in.menuFiles = {"BMENU002.MNU", "BMENU003.MNU"};
  const auto plan = PlanSampleMenus(in);
  EXPECT_EQ(NamesOf(plan), (std::vector<std::string>{"BMENU003.BTN", "BMENU004.BTN"}));
  in.buttonFiles.clear();
  EXPECT_EQ(NamesOf(PlanSampleMenus(in)),
            (std::vector<std::string>{"BMENU001.BTN", "BMENU002.BTN", "BMENU003.BTN", "BMENU004.BTN",
                                      "BMENU005.BTN", "BMENU004.MNU", "BMENU005.MNU", "BMENU006.MNU"}));
}

TEST(SamplePlan, EmptyFoldersGiveNoMenuAndTheNextTakesItsNumber) {
  auto in = Listings();
  in.desktop->files.clear();
  auto plan = PlanSampleMenus(in);
  ASSERT_EQ(plan.files.size(), 7u);
  EXPECT_EQ(plan.files[5].fileName, "BMENU001.MNU");
  EXPECT_EQ(plan.files[5].records[0].Title, "Miscellaneous");

  // Only the program's own shortcut: the menu is still written, with no entries.
  in.programs->files = {"Velmora.lnk"};
  plan = PlanSampleMenus(in);
  ASSERT_EQ(plan.files.size(), 7u);
  EXPECT_EQ(plan.files[5].records.size(), 1u);

  // Subfolders with files do not make a menu when Accessories itself has none.
  in.accessories->files.clear();
  plan = PlanSampleMenus(in);
  EXPECT_EQ(plan.files.size(), 6u);
  EXPECT_FALSE(plan.failed);
  // No Accessories folder at all is no error either.
  in.accessories.reset();
  EXPECT_FALSE(PlanSampleMenus(in).failed);
  EXPECT_EQ(PlanSampleMenus(in).files.size(), 6u);
}

TEST(SamplePlan, ErrorsStopThePlanAfterWhatWasDone) {
  auto in = Listings();
  in.programs.reset();  // the Programs folder could not be had
  auto plan = PlanSampleMenus(in);
  EXPECT_TRUE(plan.failed);
  EXPECT_EQ(plan.files.size(), 6u);  // buttons and Desktop

  in = Listings();
  in.desktop.reset();
  plan = PlanSampleMenus(in);
  EXPECT_TRUE(plan.failed);
  EXPECT_EQ(plan.files.size(), 5u);

  // A name too short to lose its extension: the menu keeps the entries before it.
  in = Listings();
  in.desktop->files = {"b.lnk", "abc", "c.lnk"};
  plan = PlanSampleMenus(in);
  EXPECT_TRUE(plan.failed);
  ASSERT_EQ(plan.files.size(), 6u);
  EXPECT_EQ(plan.files[5].records,
            (std::vector<ItemRecord>{{"Desktop", kIcons + "desktop.ico", ""}}));

  // Four characters are enough: the title is empty.
  in.desktop->files = {".lnk"};
  plan = PlanSampleMenus(in);
  EXPECT_FALSE(plan.failed);
  EXPECT_EQ(plan.files[5].records[1].Title, "");

  in = Listings();
  in.accessorySubfolders[0].files.push_back("x");
  plan = PlanSampleMenus(in);
  EXPECT_TRUE(plan.failed);
  EXPECT_EQ(plan.files.size(), 8u);
}

// A Menus folder, a Desktop and a Start Menu with a few shortcuts.
struct World {
  World() {
    folders = ProgramFoldersOf("C:\\V\\Velmora.exe");
    shell.folders = {{kFolderDesktop, "C:\\U\\Desktop"}, {kFolderPrograms, "C:\\U\\Programs"}};
    fs.AddFolder("C:\\V\\Menus");
    fs.AddFile(kDesk + "Word.lnk");
    fs.AddFile(kProgs + "Velmora.lnk");
    fs.AddFile(kProgs + "Zip.lnk");
    fs.AddFile(kAcc + "Paint.lnk");
    fs.AddFolder(kAcc + "Games");
    fs.AddFile(kAcc + "Games\\Mines.lnk");
    fs.AddFolder(kAcc + "Empty");
  }
  void Run() { IncludeCommonFiles(fs, shell, dialogs, folders, 0x1234); }
  std::vector<ItemRecord> Records(const std::string& name) {
    return ReadAllRecords(fs, folders.menus + name);
  }
  std::size_t FileCount() {
    return ListButtonFiles(fs, folders.menus, false).size() +
           ListButtonFiles(fs, folders.menus, true).size();
  }
  FakeFileSystem fs;
  FakeShell shell;
  FakeDialogs dialogs;
  ProgramFolders folders;
};

TEST(IncludeCommonFiles, WritesThePlanFromTheRealListings) {
  World w;
  w.Run();
  EXPECT_TRUE(w.dialogs.shown.empty());
  EXPECT_EQ(w.FileCount(), 8u);
  EXPECT_EQ(w.Records("BMENU001.MNU"),
            (std::vector<ItemRecord>{{"Desktop", w.folders.icons + "desktop.ico", ""},
                                     FileRecord(kDesk, "Word.lnk")}));
  EXPECT_EQ(w.Records("BMENU002.MNU").size(), 2u);  // Zip only
  const auto acc = w.Records("BMENU003.MNU");
  ASSERT_EQ(acc.size(), 7u);
  EXPECT_EQ(acc[4], FileRecord(kAcc, "Paint.lnk"));
  EXPECT_EQ(acc[5], kSeparator);
  // (The fake lists folder names in upper case.)
  EXPECT_EQ(acc[6], FileRecord(kAcc + "GAMES\\", "Mines.lnk"));
  // Asked with the window's handle, and every component released.
  for (const auto& call : w.shell.CallsOf("GetSpecialFolder")) EXPECT_EQ(call.window, 0x1234u);
  EXPECT_EQ(w.shell.live, 0);
}

TEST(IncludeCommonFiles, FailuresShowTheMessageAndKeepWhatWasWritten) {
  struct Case {
    const char* what;
    std::function<void(World&)> arrange;
    std::size_t kept;
  };
  const std::vector<Case> cases = {
      {"no Programs folder", [](World& w) { w.shell.folders.erase(kFolderPrograms); }, 6},
      {"no shell component", [](World& w) { w.shell.createError = {429, "no"}; }, 5},
      {"a write fails", [](World& w) { w.fs.FailOn("WriteAll", w.folders.menus + "BMENU002.MNU"); }, 6},
      {"a short name", [](World& w) { w.fs.AddFile(kAcc + "ab"); }, 8},
      // Not an empty Desktop, which quietly gives no menu: one that cannot be read.
      {"a Desktop that cannot be listed", [](World& w) { w.fs.FailOn("ListFiles", kDesk); }, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    World w;
    c.arrange(w);
    w.Run();
    ASSERT_EQ(w.dialogs.shown.size(), 1u);
    EXPECT_EQ(w.dialogs.shown[0].text, kSampleMenusError);
    EXPECT_EQ(w.dialogs.shown[0].icon, MsgIcon::Information);
    EXPECT_EQ(w.FileCount(), c.kept);
  }
}

TEST(IncludeCommonFiles, ExistingButtonsMeanNoShellQuestions) {
  World w;
  w.fs.AddFile(w.folders.menus + "mine.btn", EncodeRecord({"Mine", "", "x.exe"}));
  w.Run();
  EXPECT_EQ(ListButtonFiles(w.fs, w.folders.menus, false),
            (std::vector<std::string>{"BMENU002.BTN", "BMENU003.BTN", "MINE.BTN"}));
  EXPECT_TRUE(ListButtonFiles(w.fs, w.folders.menus, true).empty());
  EXPECT_TRUE(w.shell.calls.empty());
  EXPECT_EQ(w.Records("mine.btn")[0].Title, "Mine");
}

}  // namespace
}  // namespace velmora
