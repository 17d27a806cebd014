// Fuzzes the Customize page's model: a Menus folder decoded from the input,
// then any sequence of what the user and the window can do, with the dialogs'
// answers taken from the input too. The input decodes as
//
//   folder   menu buttons (title, then entries, separators and breakers),
//            single buttons, the extension option, rarely an unreadable file
//   steps    the rest: per step an operation, its arguments and the answers
//            its message boxes and file dialogs will get
//
// After every step: the roots are first and second, there are two levels
// only, every key is unique and never names another node while the keys keep
// their numbering, node ids are never reused, the counters only grow, every
// node has its one entry record, and the tree built from the effects alone (as
// the window builds it) is the model's tree. Every save reads back as the tree
// it saved.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "../unit/cust_support.h"
#include "../unit/cust_view_tree.h"
#include "fuzz_support.h"

namespace {

using namespace velmora;
using namespace velmora::test;
using fuzz::Bytes;
using fuzz::Require;

const std::vector<std::string> kTitles = {"", "Notes", "A&B", std::string(50, 'w'), std::string(64, 'L'),
                                          "Menu Separator", "x y", " padded "};
const std::vector<std::string> kPaths = {
    "", "C:\\a.exe", "\\icons\\disk06.ico", "http", "MenuLineSeparator", "menubreaker", "New",
    "Button", "C:\\Missing\\gone.ico", std::string(260, 'p'), std::string(270, 'q'),
    "http:\\\\www.example.com\\x", "http://example.org", "C:\\Dir\\Shortcut to App.lnk"};

class Session {
 public:
  explicit Session(Bytes& in) : in_(in), page_(fs_) {}

  void Open() {
    const int menus = in_.Below(5);
    for (int b = 1; b <= menus; ++b) {
      std::vector<ItemRecord> records{{Title(), "C:\\m.ico", ""}};
      for (int i = in_.Below(8); i > 0; --i) {
        switch (in_.Below(6)) {
          case 0: records.push_back({"Menu Separator", "MenuLineSeparator", ""}); break;
          case 1: records.push_back({"", "MenuBreaker", ""}); break;
          default: records.push_back({Title(), Path(), Path()}); break;
        }
      }
      AddMenuFile(fs_, EditorFileName(b, true), records);
    }
    const int singles = in_.Below(4);
    for (int s = 1; s <= singles; ++s) AddMenuFile(fs_, EditorFileName(s, false), {{Title(), Path(), Path()}});
    const int extra = in_.Byte();
    // A file too short for a record is no button.
    if (extra & 1) fs_.AddFile(kMenusFolder + "BMENU009.MNU", std::string(100, 'x'));
    if ((extra & 0xF0) == 0xF0 && menus > 0) {
      unreadable_ = true;
      fs_.FailOn("ReadAt", kMenusFolder + EditorFileName(1, true));
    }
    page_.options.Set(kOptCutExtension, (extra & 2) != 0);
    page_.Open();
    Require(page_.dialogs.shown.empty() != unreadable_, "an unreadable file is reported");
    view_.Apply(page_.opened);
    Check();
  }

  bool Step() {
    if (in_.Empty()) return false;
    auto& m = page_.m();
    auto& d = page_.dialogs;
    // The answers the step's dialogs will get.
    d.answers.clear();
    d.openAnswers.clear();
    d.folderAnswers.clear();
    const int answers = in_.Byte();
    static const MsgResult kAnswers[] = {MsgResult::Yes, MsgResult::No, MsgResult::Cancel, MsgResult::Ok};
    d.answers = {kAnswers[answers & 3], kAnswers[(answers >> 2) & 3]};
    if (answers & 16) d.openAnswers.push_back(FileChoice());
    if (answers & 32) d.folderAnswers.push_back(FolderChoice{"C:\\Games", "Games"});

    CustEffects fx;
    switch (in_.Below(24)) {
      case 0: case 1: fx = m.NodeClick(AnyNode()); break;
      case 2: fx = m.MouseDown(in_.Below(10) ? AnyNode() : kNoNode); break;
      case 3: fx = m.MouseUp(in_.Bit()); break;
      case 4: case 5:
        fx = m.Run(static_cast<CustCommand>(in_.Below(static_cast<int>(CustCommand::Rename) + 1)));
        break;
      case 6: {
        const char* key = kEditToolbar[in_.Below(static_cast<int>(std::size(kEditToolbar)))].key;
        fx = m.ToolbarClick(key ? key : "nothing");
        break;
      }
      case 7: {
        const auto& sc = kTreeShortcuts[in_.Below(static_cast<int>(std::size(kTreeShortcuts)))];
        const int how = in_.Byte();
        if (how % 5 == 0) fx = m.TreeKeyDown(kVkDelete, kModNone);
        else if (how % 5 == 1) fx = m.TreeKeyDown(in_.Byte(), in_.Below(8));
        else fx = m.TreeKeyDown(sc.virtualKey, sc.modifiers);
        if (how & 8) {
          view_.Apply(fx);
          fx = m.TreeKeyPress();
        }
        if (how & 16) {
          view_.Apply(fx);
          fx = m.TreeKeyUp();
        }
        break;
      }
      case 8: case 9: {
        const NodeId source = AnyNode();
        if (m.BeginDrag(source)) {
          Require(source != m.MenuRoot() && source != m.SingleRoot(), "a root is never dragged");
          fx = in_.Below(16) ? m.Drop(in_.Below(20) ? AnyNode() : kNoNode) : m.CancelDrag();
        }
        break;
      }
      case 10: case 11: {
        const int which = in_.Byte();
        if (which & 1) m.SetBoxText(CustBox::Title, Title());
        if (which & 2) m.SetBoxText(CustBox::File, Path());
        if (which & 4) m.SetBoxText(CustBox::Icon, Path());
        const CustBox box = static_cast<CustBox>(in_.Below(3));
        switch ((which >> 3) % 4) {
          case 0: fx = m.Confirm(); break;
          case 1: fx = m.BoxKeyPress(box, kCharEnter); break;
          case 2: fx = m.BoxKeyPress(box, in_.Byte()); break;
          default: fx = m.BoxKeyDown(box, in_.Bit() ? kVkF2 : kVkF3); break;
        }
        break;
      }
      case 12: {
        const NodeId id = in_.Bit() ? m.Selected() : AnyNode();
        if (m.CanEditLabel(id))
          fx = m.LabelEditEnded(id, in_.Below(5) ? std::optional<std::string>(Title()) : std::nullopt);
        break;
      }
      case 13: fx = m.ModuleClick(kModuleFirst - 1 + in_.Below(kModuleLast - kModuleFirst + 3)); break;
      case 14: fx = in_.Bit() ? m.BrowseFiles() : m.BrowseFolders(); break;
      case 15:
        switch (in_.Below(4)) {
          case 0: fx = m.SelectFile(); break;
          case 1: fx = m.SelectIconFile(); break;
          case 2: fx = m.OpenLibrary(); break;
          default:
            fx = m.LibraryIconChosen("\\icons\\lib" + std::to_string(in_.Below(5)) + ".ico");
            if (in_.Bit()) m.LibraryUnloaded();
            break;
        }
        break;
      case 16: fx = m.NodeExpanded(AnyNode(), in_.Below(4) != 0); break;
      case 17: fx = m.TimerElapsed(); break;
      case 18: fx = m.PopupClick(kPopupFirst - 1 + in_.Below(kPopupCount + 2)); break;
      case 19: fx = m.Run(CustCommand::UndoDelete); break;
      case 20: m.SetSelectFrom(static_cast<SelectFrom>(in_.Below(3))); break;
      case 21: m.SetShowExtension(in_.Bit()); break;
      case 22: SaveAndReload(); return true;
      case 23: fx = m.QueryUnload(); break;
    }
    view_.Apply(fx);
    Check();
    return true;
  }

  void SaveAndReload() {
    const auto fx = page_.m().Save();
    view_.Apply(fx);
    Check();
    if (unreadable_) {
      Require(!fx.rebuildToolbar && page_.m().changed(), "a folder missing a file is not saved");
      return;
    }
    Require(fx.rebuildToolbar && !page_.m().changed(), "a save succeeds");
    FakeDialogs quiet;
    CustModel reread(CustServices{fs_, quiet, page_.options, kProgramFolder, kMenusFolder, kWebIcon,
                                  kStartMenu, kDesktop});
    reread.Open();
    ToolbarContent expected = page_.m().Content();
    for (auto& menu : expected.menus)
      for (auto& r : menu) r = Stored(r);
    for (auto& r : expected.singles) r = Stored(r);
    const ToolbarContent actual = reread.Content();
    Require(actual.menus == expected.menus && actual.singles == expected.singles,
            "a saved tree reads back the same");
    Require(quiet.shown.empty(), "a saved folder opens without a message");
  }

 private:
  std::string Title() { return in_.Bit() ? in_.Text(8) : kTitles[in_.Below(static_cast<int>(kTitles.size()))]; }
  std::string Path() { return kPaths[in_.Below(static_cast<int>(kPaths.size()))]; }
  std::string FileChoice() {
    const int files = 1 + in_.Below(4);
    if (files == 1) return "C:\\Dir\\Shortcut to App " + std::to_string(in_.Below(9)) + ".lnk";
    std::string out = in_.Bit() ? "C:\\" : "C:\\Dir";
    out += '\0';
    for (int i = 0; i < files; ++i) out += "f" + std::to_string(in_.Below(100)) + ".txt" + '\0';
    return out;
  }
  NodeId AnyNode() {
    std::vector<NodeId> ids(live_.begin(), live_.end());
    std::sort(ids.begin(), ids.end());
    // Now and then a node that is gone, or never was.
    const int pick = in_.Below(static_cast<int>(ids.size()) + 2);
    if (pick < static_cast<int>(ids.size())) return ids[static_cast<std::size_t>(pick)];
    return pick == static_cast<int>(ids.size()) ? newestId_ + 1 : std::max(kNoNode, newestId_ - 1);
  }

  void Check() {
    const CustModel& model = page_.m();
    if (model.keyGeneration() != generation_) {
      generation_ = model.keyGeneration();
      keyOwner_.clear();
    } else {
      Require(model.buttonCounter() >= buttons_ && model.itemCounter() >= items_,
              "the key counters only grow");
    }
    buttons_ = model.buttonCounter();
    items_ = model.itemCounter();

    const CustNode* qm = model.Node(kMenuRootId);
    const CustNode* qm2 = model.Node(model.SingleRoot());
    Require(qm && qm2 && qm->key == kMenuRootKey && qm2->key == kSingleRootKey, "the two roots");
    Require(view_.top() == std::vector<NodeId>{kMenuRootId, model.SingleRoot()},
            "the roots are first and second");

    std::unordered_set<NodeId> now{kMenuRootId, model.SingleRoot()};
    const auto visit = [&](NodeId id, NodeId parent, char family, bool leaf) {
      const CustNode& n = *model.Node(id);
      Require(n.parent == parent, "a node knows its parent");
      Require(!n.key.empty() && n.key[0] == family, "a node's key is of its family");
      Require(!leaf || n.childCount == 0, "two levels only");
      Require(model.FindKey(n.key) == n.id, "a key finds its node");
      const auto owner = keyOwner_.emplace(n.key, n.id);
      Require(owner.first->second == n.id, "a key never names another node");
      Require(live_.count(n.id) || n.id > newestId_, "node ids are never reused");
      now.insert(n.id);
      const ViewTree::Item* shown = view_.Find(n.id);
      Require(shown != nullptr, "every node is shown");
      Require(shown->parent == parent && shown->text == n.text && shown->image == n.image,
              "the tree shows each node as it is");
      const auto children = model.Children(n.id);
      Require(shown->children == children, "the tree shows the children in order");
      Require(n.childCount == static_cast<int>(children.size()), "the child count is right");
    };
    for (const NodeId b : model.Children(kMenuRootId)) {
      visit(b, kMenuRootId, 'B', false);
      for (const NodeId i : model.Children(b)) visit(i, b, 'M', true);
    }
    for (const NodeId s : model.Children(model.SingleRoot())) visit(s, model.SingleRoot(), 'M', true);
    Require(model.NodeCount() == now.size(), "no node outside the two roots");
    Require(model.KeyCount() == now.size(), "no key without its node");
    Require(view_.size() == now.size(), "the tree shows nothing else");
    Require(now.count(model.Selected()) && now.count(model.Current()), "a live node is selected");

    // One entry record per node: a record per menu button and its entries,
    // one per single button.
    const ToolbarContent content = model.Content();
    const auto menus = model.Children(kMenuRootId);
    Require(content.menus.size() == menus.size() &&
                content.singles.size() == model.Children(model.SingleRoot()).size(),
            "a record per button");
    for (std::size_t b = 0; b < menus.size(); ++b)
      Require(content.menus[b].size() == model.Children(menus[b]).size() + 1, "a record per entry");

    for (const NodeId id : now) newestId_ = std::max(newestId_, id);
    live_ = std::move(now);
  }

  Bytes& in_;
  FakeFileSystem fs_;
  CustPage page_;
  ViewTree view_{fuzz::Fail};
  bool unreadable_ = false;
  std::unordered_map<std::string, NodeId> keyOwner_;
  std::unordered_set<NodeId> live_;
  NodeId newestId_ = kNoNode;
  int generation_ = 0;
  std::int32_t buttons_ = 0, items_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Bytes in(data, size);
  Session session(in);
  session.Open();
  for (int step = 0; step < 400 && session.Step(); ++step) {
  }
  session.SaveAndReload();
  return 0;
}
