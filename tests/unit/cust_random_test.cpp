// Long random sequences of everything the page can be asked to do, with the
// model's invariants checked after every step, a copy of the tree built only
// from the effects (as the window builds it) compared with the model, and the
// saved files read back into a fresh page now and then.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <unordered_map>
#include <unordered_set>

#include "cust_support.h"
#include "cust_view_tree.h"

namespace velmora::test {
namespace {

class CustRandomTest : public ::testing::TestWithParam<unsigned> {
 protected:
  FakeFileSystem fs;
  CustPage page{fs};
  ViewTree view{[](const char* what) { ADD_FAILURE() << what; }};
  std::mt19937 rng{GetParam()};

  // What the checks remember between steps.
  std::unordered_map<std::string, NodeId> keyOwner;
  std::unordered_set<NodeId> live;
  NodeId newestId = kNoNode;
  int generation = 0;
  std::int32_t buttons = 0, items = 0;
  int saves = 0;

  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
  bool Chance(int percent) { return Pick(100) < percent; }
  template <typename T>
  const T& Any(const std::vector<T>& v) { return v[static_cast<std::size_t>(Pick(static_cast<int>(v.size())))]; }

  CustModel& m() { return page.m(); }

  NodeId AnyNode() {
    std::vector<NodeId> ids(live.begin(), live.end());
    std::sort(ids.begin(), ids.end());
    return Any(ids);
  }
  std::string AnyTitle() {
    static const std::vector<std::string> titles{"", "Notes", "A&B", std::string(50, 'w'),
                                                 std::string(64, 'L'), "Menu Separator", "x y"};
    return Any(titles);
  }
  std::string AnyPath() {
    static const std::vector<std::string> paths{
        "", "C:\\a.exe", "\\icons\\disk06.ico", "http", "MenuLineSeparator", "MenuBreaker",
        "New", "Button", "C:\\Missing\\gone.ico", std::string(260, 'p'), std::string(270, 'q'),
        "http:\\\\www.example.com\\x", "http://example.org"};
    return Any(paths);
  }
  std::string AnyFileChoice() {
    const int files = 1 + Pick(4);
    if (files == 1) return "C:\\Dir\\Shortcut to App " + std::to_string(Pick(9)) + ".lnk";
    std::string out = Chance(20) ? "C:\\" : "C:\\Dir";
    out += '\0';
    for (int i = 0; i < files; ++i) out += "f" + std::to_string(Pick(100)) + ".txt" + '\0';
    return out;
  }

  void StartConfiguration() {
    for (int b = 1; b <= 3; ++b) {
      std::vector<ItemRecord> records{{"Menu " + std::to_string(b), "C:\\m.ico", ""}};
      for (int i = Pick(7); i > 0; --i) {
        const int kind = Pick(5);
        records.push_back(kind == 0 ? ItemRecord{"Menu Separator", "MenuLineSeparator", ""}
                          : kind == 1 ? ItemRecord{"", "MenuBreaker", ""}
                                      : ItemRecord{"E" + std::to_string(i), "C:\\e.exe", "C:\\e.exe"});
      }
      AddMenuFile(fs, EditorFileName(b, true), records);
    }
    AddMenuFile(fs, "BMENU001.BTN", {{"S1", "C:\\s.exe", "C:\\s.exe"}});
    AddMenuFile(fs, "BMENU002.BTN", {{"S2", "", ""}});
    page.options.Set(kOptCutExtension, Chance(50));
    page.Open();
    view.Apply(page.opened);
    Check("open");
  }

  // One random thing a user (or the window) does.
  void Step() {
    auto& model = m();
    auto& d = page.dialogs;
    d.answers = {Chance(60) ? MsgResult::Yes : MsgResult::No};
    d.openAnswers.clear();
    d.folderAnswers.clear();
    if (Chance(70)) d.openAnswers.push_back(AnyFileChoice());
    if (Chance(70)) d.folderAnswers.push_back(FolderChoice{"C:\\Games", "Games"});
    CustEffects fx;
    switch (Pick(20)) {
      case 0: case 1: case 2: fx = model.NodeClick(AnyNode()); break;
      case 3: fx = model.MouseDown(Chance(90) ? AnyNode() : kNoNode); break;
      case 4: case 5: fx = model.Run(static_cast<CustCommand>(1 + Pick(static_cast<int>(CustCommand::Rename)))); break;
      case 6: {
        const char* key = kEditToolbar[Pick(static_cast<int>(std::size(kEditToolbar)))].key;
        fx = model.ToolbarClick(key ? key : "");
        break;
      }
      case 7: {
        const auto& sc = kTreeShortcuts[Pick(static_cast<int>(std::size(kTreeShortcuts)))];
        fx = Chance(20) ? model.TreeKeyDown(kVkDelete, kModNone) : model.TreeKeyDown(sc.virtualKey, sc.modifiers);
        break;
      }
      case 8: case 9:
        if (model.BeginDrag(AnyNode())) fx = model.Drop(Chance(95) ? AnyNode() : kNoNode);
        break;
      case 10: case 11:
        model.SetBoxText(CustBox::Title, AnyTitle());
        model.SetBoxText(CustBox::File, AnyPath());
        model.SetBoxText(CustBox::Icon, AnyPath());
        fx = Chance(50) ? model.Confirm() : model.BoxKeyPress(CustBox::Icon, kCharEnter);
        break;
      case 12:
        fx = model.LabelEditEnded(model.Selected(), Chance(80) ? std::optional<std::string>(AnyTitle()) : std::nullopt);
        break;
      case 13: fx = model.ModuleClick(kModuleFirst + Pick(kModuleLast - kModuleFirst + 1)); break;
      case 14: fx = Chance(70) ? model.BrowseFiles() : model.BrowseFolders(); break;
      case 15:
        fx = Chance(40)   ? model.SelectFile()
             : Chance(50) ? model.SelectIconFile()
                          : model.LibraryIconChosen("\\icons\\lib" + std::to_string(Pick(5)) + ".ico");
        break;
      case 16: fx = model.NodeExpanded(AnyNode(), Chance(70)); break;
      case 17: fx = model.TimerElapsed(); break;
      case 18: fx = model.PopupClick(kPopupFirst + Pick(kPopupCount)); break;
      case 19:
        if (Chance(30)) return SaveAndReload();
        fx = model.Run(CustCommand::UndoDelete);
        break;
    }
    view.Apply(fx);
  }

  // Invariants of the model, and the view against the model.
  void Check(const std::string& step) {
    SCOPED_TRACE(step);
    const auto& model = m();
    if (model.keyGeneration() != generation) {
      generation = model.keyGeneration();
      keyOwner.clear();
    } else {
      ASSERT_GE(model.buttonCounter(), buttons);
      ASSERT_GE(model.itemCounter(), items);
    }
    buttons = model.buttonCounter();
    items = model.itemCounter();

    const CustNode* qm = model.Node(kMenuRootId);
    const CustNode* qm2 = model.Node(model.SingleRoot());
    ASSERT_TRUE(qm && qm2);
    ASSERT_EQ(qm->key, "QM");
    ASSERT_EQ(qm2->key, "QM2");
    ASSERT_EQ(view.top(), (std::vector<NodeId>{kMenuRootId, model.SingleRoot()}));

    std::unordered_set<NodeId> now;
    const auto visit = [&](const CustNode& n, NodeId parent, char family, bool leaf) {
      ASSERT_EQ(n.parent, parent);
      ASSERT_EQ(n.key[0], family) << n.key;
      if (leaf) {
        ASSERT_EQ(n.childCount, 0) << "a third level under " << n.key;
      }
      ASSERT_EQ(model.FindKey(n.key), n.id);
      const auto owner = keyOwner.emplace(n.key, n.id);
      ASSERT_EQ(owner.first->second, n.id) << "key " << n.key << " used twice";
      if (!live.count(n.id)) {
        ASSERT_GT(n.id, newestId) << "node id reused";
      }
      now.insert(n.id);
      const ViewTree::Item* shown = view.Find(n.id);
      ASSERT_TRUE(shown) << n.key << " is not shown";
      ASSERT_EQ(shown->parent, parent);
      ASSERT_EQ(shown->text, n.text);
      ASSERT_EQ(shown->image, n.image) << n.key;
      const auto children = model.Children(n.id);
      ASSERT_EQ(shown->children, children);
      ASSERT_EQ(n.childCount, static_cast<int>(children.size()));
    };
    now.insert(kMenuRootId);
    now.insert(model.SingleRoot());
    for (const NodeId b : model.Children(kMenuRootId)) {
      visit(*model.Node(b), kMenuRootId, 'B', false);
      for (const NodeId i : model.Children(b)) visit(*model.Node(i), b, 'M', true);
    }
    for (const NodeId s : model.Children(model.SingleRoot())) visit(*model.Node(s), model.SingleRoot(), 'M', true);
    ASSERT_EQ(model.NodeCount(), now.size()) << "nodes outside the two roots";
    ASSERT_EQ(model.KeyCount(), now.size()) << "keys without nodes";
    ASSERT_EQ(view.size(), now.size());
    ASSERT_TRUE(now.count(model.Selected()));
    ASSERT_TRUE(now.count(model.Current()));
    for (const NodeId id : now) newestId = std::max(newestId, id);
    live = std::move(now);
  }

  void SaveAndReload() {
    const auto fx = m().Save();
    view.Apply(fx);
    Check("save");
    ASSERT_TRUE(fx.rebuildToolbar);
    ASSERT_FALSE(m().changed());
    ++saves;
    FakeDialogs quiet;
    CustModel reread(CustServices{fs, quiet, page.options, kProgramFolder, kMenusFolder, kWebIcon, kStartMenu,
                                  kDesktop});
    reread.Open();
    ToolbarContent expected = m().Content();
    for (auto& menu : expected.menus)
      for (auto& r : menu) r = Stored(r);
    for (auto& r : expected.singles) r = Stored(r);
    const ToolbarContent actual = reread.Content();
    ASSERT_EQ(actual.menus, expected.menus);
    ASSERT_EQ(actual.singles, expected.singles);
    ASSERT_TRUE(quiet.shown.empty());
  }
};

TEST_P(CustRandomTest, EveryStepKeepsTheTreeWholeAndEverySaveReadsBackTheSame) {
  StartConfiguration();
  for (int step = 1; step <= 1000; ++step) {
    Step();
    Check("step " + std::to_string(step));
    if (HasFatalFailure()) return;
  }
  SaveAndReload();
  EXPECT_GE(saves, 5);

}

INSTANTIATE_TEST_SUITE_P(Seeds, CustRandomTest, ::testing::Values(1u, 2u, 3u, 4u));

}  // namespace
}  // namespace velmora::test
