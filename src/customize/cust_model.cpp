#include "customize/cust_model.h"

#include <utility>

#include "core/file_system.h"
#include "core/options.h"
#include "model/text.h"

namespace velmora {

namespace {

// Keys count like 16-bit signed counters.
constexpr std::int32_t kKeyLimit = 32767;

constexpr const char* kNewMarker = "New";
constexpr const char* kButtonMarker = "Button";

std::string UnreadableText(const UnreadableFile& file) {
  return "The menu file " + file.path + " could not be read.\r\n" +
         ErrorText(file.error, ErrorOrder::NumberFirst) +
         "\r\n\r\nThe toolbar cannot be updated from this page until the file can be read, "
         "so that nothing in it is lost.";
}

}  // namespace

CustModel::CustModel(CustServices services) : s_(std::move(services)) {
  // Position 10 holds "1" when titles of added files keep their extension.
  showExtension_ = s_.options.IsOn(kOptCutExtension);
  lastFolder_ = s_.startMenuFolder;
}

// ---- Lookup and kinds ------------------------------------------------------------

const CustNode* CustModel::Node(NodeId id) const {
  const auto it = nodes_.find(id);
  return it == nodes_.end() ? nullptr : &it->second;
}

CustNode* CustModel::Find(NodeId id) {
  const auto it = nodes_.find(id);
  return it == nodes_.end() ? nullptr : &it->second;
}

NodeId CustModel::FindKey(std::string_view key) const {
  const auto it = byKey_.find(ToUpper(key));
  return it == byKey_.end() ? kNoNode : it->second;
}

NodeKind CustModel::Kind(const CustNode& node) const {
  if (node.key[0] == 'Q') return node.key == kMenuRootKey ? NodeKind::MenuRoot : NodeKind::SingleRoot;
  if (node.key[0] == 'B') return NodeKind::MenuButton;
  return node.parent == singleRoot_ ? NodeKind::SingleButton : NodeKind::MenuItem;
}

NodeKind CustModel::KindOf(NodeId id) const {
  const CustNode* node = Find(id);
  return node ? Kind(*node) : NodeKind::MenuRoot;
}

bool CustModel::IsRoot(NodeId id) const {
  const NodeKind kind = KindOf(id);
  return kind == NodeKind::MenuRoot || kind == NodeKind::SingleRoot;
}

bool CustModel::IsSeparator(const clsFile& file) {
  return IEquals(Trim(file.FileName), kSeparatorMarker);
}

bool CustModel::IsMarker(const clsFile& file) {
  const std::string name = Trim(file.FileName);
  return IEquals(name, kSeparatorMarker) || IEquals(name, kBreakerMarker);
}

std::vector<NodeId> CustModel::Children(NodeId id) const {
  std::vector<NodeId> out;
  const CustNode* node = Find(id);
  if (!node) return out;
  out.reserve(static_cast<std::size_t>(node->childCount));
  for (NodeId c = node->firstChild; c != kNoNode; c = Find(c)->next) out.push_back(c);
  return out;
}

ToolbarContent CustModel::Content() const {
  ToolbarContent out;
  if (!Find(kMenuRootId) || !Find(singleRoot_)) return out;
  const auto record = [](const CustNode& n) { return ItemRecord{n.text, n.file.FileName, n.file.FileExe}; };
  for (NodeId b = Find(kMenuRootId)->firstChild; b != kNoNode; b = Find(b)->next) {
    const CustNode& button = *Find(b);
    std::vector<ItemRecord> records;
    records.reserve(static_cast<std::size_t>(button.childCount) + 1);
    records.push_back(record(button));
    for (NodeId i = button.firstChild; i != kNoNode; i = Find(i)->next) records.push_back(record(*Find(i)));
    out.menus.push_back(std::move(records));
  }
  for (NodeId b = Find(singleRoot_)->firstChild; b != kNoNode; b = Find(b)->next)
    out.singles.push_back(record(*Find(b)));
  return out;
}

// ---- Keys ---------------------------------------------------------------------------

std::string CustModel::NextKey(char family) {
  std::int32_t& counter = family == 'B' ? buttonCounter_ : itemCounter_;
  if (counter == kKeyLimit) Renumber(family);
  ++counter;
  return family + std::to_string(counter);
}

void CustModel::Renumber(char family) {
  const std::int32_t live = family == 'B' ? liveButtonKeys_ : liveItemKeys_;
  if (live > kKeyLimit / 2) return;  // no lasting room: count on instead
  // Old and new numbers overlap: take every old key out before giving new ones.
  std::vector<CustNode*> familyNodes;
  familyNodes.reserve(static_cast<std::size_t>(live));
  for (const NodeId root : {kMenuRootId, singleRoot_}) {
    if (!Find(root)) continue;
    for (NodeId a = Find(root)->firstChild; a != kNoNode; a = Find(a)->next) {
      if (Find(a)->key[0] == family) familyNodes.push_back(Find(a));
      for (NodeId b = Find(a)->firstChild; b != kNoNode; b = Find(b)->next)
        if (Find(b)->key[0] == family) familyNodes.push_back(Find(b));
    }
  }
  for (CustNode* node : familyNodes) byKey_.erase(node->key);
  std::int32_t n = 0;
  for (CustNode* node : familyNodes) {
    node->key = family + std::to_string(++n);
    byKey_.emplace(node->key, node->id);
  }
  (family == 'B' ? buttonCounter_ : itemCounter_) = n;
  ++keyGeneration_;
}

// ---- Structure -------------------------------------------------------------------------

NodeId CustModel::AddNode(NodeId parent, NodeId after, std::string key, std::string text,
                          clsFile file, NodeImage image, CustEffects& fx) {
  const NodeId id = ++lastId_;
  CustNode node;
  node.id = id;
  node.key = std::move(key);
  node.text = std::move(text);
  node.file = std::move(file);
  node.image = std::move(image);
  node.parent = parent;
  if (node.key[0] == 'B') ++liveButtonKeys_;
  else if (node.key[0] == 'M') ++liveItemKeys_;
  byKey_.emplace(node.key, id);
  fx.tree.push_back({TreeChange::Op::Insert, id, parent, after, node.text, node.image});

  if (CustNode* p = Find(parent)) {
    CustNode* prev = Find(after);
    node.prev = after;
    node.next = prev ? prev->next : p->firstChild;
    if (prev) prev->next = id; else p->firstChild = id;
    if (node.next != kNoNode) Find(node.next)->prev = id; else p->lastChild = id;
    ++p->childCount;
  }
  nodes_.emplace(id, std::move(node));
  return id;
}

NodeId CustModel::AddAt(NodeId anchor, Place place, std::string key, std::string text,
                        clsFile file, NodeImage image, CustEffects& fx) {
  const CustNode* a = Find(anchor);
  NodeId parent = anchor, after = a->lastChild;
  if (place == Place::Before) {
    parent = a->parent;
    after = a->prev;
  } else if (place == Place::After) {
    parent = a->parent;
    after = anchor;
  }
  return AddNode(parent, after, std::move(key), std::move(text), std::move(file), std::move(image), fx);
}

void CustModel::Unlink(CustNode& node) {
  CustNode* parent = Find(node.parent);
  if (!parent) return;
  if (node.prev != kNoNode) Find(node.prev)->next = node.next; else parent->firstChild = node.next;
  if (node.next != kNoNode) Find(node.next)->prev = node.prev; else parent->lastChild = node.prev;
  --parent->childCount;
  node.prev = node.next = kNoNode;
}

void CustModel::RemoveNode(NodeId id, CustEffects& fx) {
  CustNode* node = Find(id);
  if (!node) return;
  fx.tree.push_back({TreeChange::Op::Remove, id, kNoNode, kNoNode, {}, {}});
  Unlink(*node);
  // The node and its children, with their keys and entry data.
  std::vector<NodeId> gone{id};
  for (NodeId c = node->firstChild; c != kNoNode; c = Find(c)->next) gone.push_back(c);
  for (const NodeId g : gone) {
    const CustNode& n = *Find(g);
    if (n.key[0] == 'B') --liveButtonKeys_;
    else if (n.key[0] == 'M') --liveItemKeys_;
    byKey_.erase(n.key);
    if (selected_ == g) selected_ = kNoNode;
    if (current_ == g) current_ = kNoNode;
    if (dragSource_ == g) dragSource_ = kNoNode;
    nodes_.erase(g);
  }
}

void CustModel::SetText(CustNode& node, std::string text, CustEffects& fx) {
  if (node.text == text) return;
  node.text = std::move(text);
  fx.tree.push_back({TreeChange::Op::SetText, node.id, kNoNode, kNoNode, node.text, {}});
}

void CustModel::SetImage(CustNode& node, NodeImage image, CustEffects& fx) {
  node.image = std::move(image);
  fx.tree.push_back({TreeChange::Op::SetImage, node.id, kNoNode, kNoNode, {}, node.image});
}

NodeImage CustModel::DrawIcon(const std::string& fileName) const {
  std::string name = Trim(fileName);
  if (!name.empty() && name[0] == '\\') {
    std::string folder = s_.programFolder;
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    name = folder + name;
  }
  if (name.empty()) return NodeImage::Fixed("unknown");
  if (IEquals(name, "http")) name = s_.webIconFile;
  if (IEquals(name, kSeparatorMarker)) return NodeImage::Fixed("sep");
  if (IEquals(name, kNewMarker)) return NodeImage::Fixed("new");
  if (IEquals(name, kBreakerMarker)) return NodeImage::Fixed("break");
  if (IEquals(name, kButtonMarker)) return NodeImage::Fixed("button");
  if (IEquals(name, "unknown")) return NodeImage::Fixed("unknown");
  if (name.empty()) return NodeImage::Fixed("qmark");
  return NodeImage::Shell(std::move(name));
}

void CustModel::ExpandNode(CustNode& node, CustEffects& fx) {
  if (node.expanded) return;
  node.expanded = true;
  fx.tree.push_back({TreeChange::Op::Expand, node.id, kNoNode, kNoNode, {}, {}});
  if (!node.iconsPending || node.childCount == 0) return;
  for (NodeId c = node.firstChild; c != kNoNode; c = Find(c)->next) {
    CustNode& child = *Find(c);
    SetImage(child, DrawIcon(child.file.FileName), fx);
  }
  node.iconsPending = false;
}

// Selecting a node shows it, which expands the nodes above it.
void CustModel::Select(NodeId id, CustEffects& fx) {
  CustNode* node = Find(id);
  if (!node) return;
  if (CustNode* parent = Find(node->parent)) {
    if (CustNode* root = Find(parent->parent)) ExpandNode(*root, fx);
    ExpandNode(*parent, fx);
  }
  selected_ = current_ = id;
  fx.select = id;
}

void CustModel::CheckField(CustEffects& fx) {
  const CustNode* node = Find(current_);
  boxes_ = {};
  if (!node || IsRoot(node->id)) {
    boxes_.titleShaded = boxes_.commandShaded = boxes_.iconShaded = true;
  } else {
    boxes_.title = node->text;
    if (IsMarker(node->file)) {
      boxes_.commandShaded = boxes_.iconShaded = true;
    } else {
      boxes_.icon = node->file.FileName;
      boxes_.command = node->file.FileExe;
    }
  }
  ShowBoxes(fx);
}

void CustModel::StartTimer(CustEffects& fx) {
  timerEnabled_ = true;
  fx.timer = TimerChange::Start;
}

void CustModel::StopTimer(CustEffects& fx) {
  timerEnabled_ = false;
  fx.timer = TimerChange::Stop;
}

void CustModel::ShowTip(TipId id) {
  const TipInfo& tip = FindTip(id);
  if (!s_.options.IsOn(tip.position) && s_.showTip) s_.showTip(tip);
}

void CustModel::Message(const std::string& text, MsgIcon icon) {
  s_.dialogs.Show(text, MsgButtons::Ok, icon);
}

void CustModel::FollowMove(NodeId from, NodeId to) {
  if (undo_.previous == from) undo_.previous = to;
  if (undo_.parent == from) undo_.parent = to;
}

// ---- Opening ------------------------------------------------------------------------------

CustEffects CustModel::Open() {
  CustEffects fx;
  const ToolbarFiles files = ReadToolbarFiles(s_.fs, s_.menusFolder);
  const std::string exe = s_.programFolder + "VELMORA.EXE";
  std::size_t entries = 2;
  for (const auto& m : files.menus) entries += m.records.size();
  entries += files.singles.size();
  nodes_.reserve(entries);
  byKey_.reserve(entries);
  fx.tree.reserve(entries);

  AddNode(kNoNode, kNoNode, kMenuRootKey, kMenuButtonsText, {}, DrawIcon(exe), fx);
  for (const auto& menu : files.menus) {
    const ItemRecord& b = menu.records.front();
    const NodeId button = AddNode(kMenuRootId, Find(kMenuRootId)->lastChild, NextKey('B'), b.Title,
                                  {b.FileName, b.FileExe}, DrawIcon(b.FileName), fx);
    Find(button)->iconsPending = true;
    for (std::size_t j = 1; j < menu.records.size(); ++j) {
      const ItemRecord& r = menu.records[j];
      AddNode(button, Find(button)->lastChild, NextKey('M'), r.Title, {r.FileName, r.FileExe},
              NodeImage::Fixed("unknown"), fx);
    }
  }
  singleRoot_ = AddNode(kNoNode, kMenuRootId, kSingleRootKey, kSingleButtonsText, {}, DrawIcon(exe), fx);
  for (const auto& single : files.singles) {
    const ItemRecord& r = single.records.front();
    AddNode(singleRoot_, Find(singleRoot_)->lastChild, NextKey('M'), r.Title, {r.FileName, r.FileExe},
            DrawIcon(r.FileName), fx);
  }

  Select(kMenuRootId + 1, fx);
  CheckField(fx);
  if (!files.unreadable.empty()) {
    unreadable_ = files.unreadable.front();
    Message(UnreadableText(*unreadable_), MsgIcon::Critical);
  }
  return fx;
}

// ---- Tree events ------------------------------------------------------------------------------

CustEffects CustModel::NodeClick(NodeId id) {
  CustEffects fx;
  if (!Find(id)) return fx;
  if (browseBusy_) {
    // A click that closed a dialog must not fall through onto the tree.
    selected_ = current_;
    fx.select = current_;
    return fx;
  }
  selected_ = current_ = id;
  CheckField(fx);
  return fx;
}

CustEffects CustModel::MouseDown(NodeId hit) {
  CustEffects fx;
  if (timerEnabled_) return fx;
  if (!Find(hit)) {
    dragging_ = false;
    fx.endDrag = true;
    return fx;
  }
  Select(hit, fx);
  CheckField(fx);
  return fx;
}

CustEffects CustModel::MouseUp(bool rightButton) {
  CustEffects fx;
  if (timerEnabled_) return fx;
  if (rightButton) fx.popup = AdjustPopup();
  return fx;
}

CustEffects CustModel::NodeExpanded(NodeId id, bool expanded) {
  CustEffects fx;
  CustNode* node = Find(id);
  if (!node) return fx;
  if (expanded) {
    ExpandNode(*node, fx);
    // The control expands the node itself; it needs no request to.
    std::erase_if(fx.tree, [](const TreeChange& c) { return c.op == TreeChange::Op::Expand; });
  } else {
    node->expanded = false;
  }
  return fx;
}

CustEffects CustModel::TreeKeyDown(int virtualKey, int modifiers) {
  CustEffects fx;
  modifierDown_ = modifiers != kModNone;
  if (virtualKey == kVkDelete && modifiers == kModNone) {
    if (IsRoot(selected_)) Message(kRootNotDeletedText, MsgIcon::Information);
    else Execute(CustCommand::Delete, fx);
    return fx;
  }
  for (const auto& sc : kTreeShortcuts) {
    if (sc.virtualKey != virtualKey || sc.modifiers != modifiers) continue;
    if (!(sc.notOnMenuButton && KindOf(selected_) == NodeKind::MenuButton)) Execute(sc.command, fx);
    break;
  }
  return fx;
}

CustEffects CustModel::TreeKeyPress() {
  CustEffects fx;
  fx.discardChar = modifierDown_;
  CheckField(fx);
  return fx;
}

CustEffects CustModel::TreeKeyUp() {
  CustEffects fx;
  CheckField(fx);
  return fx;
}

bool CustModel::BeginDrag(NodeId id) {
  if (dragging_ || !Find(id) || IsRoot(id)) return false;
  dragging_ = true;
  dragSource_ = id;
  return true;
}

CustEffects CustModel::CancelDrag() {
  CustEffects fx;
  dragging_ = false;
  dragSource_ = kNoNode;
  fx.endDrag = true;
  return fx;
}

CustEffects CustModel::Drop(NodeId target) {
  const NodeId source = dragSource_;
  CustEffects fx = CancelDrag();
  if (!Find(target) || !Find(source)) return fx;
  if (IsRoot(target) || target == source) {
    fx.beep = true;
    return fx;
  }
  selected_ = target;
  fx.select = target;
  DragItem(source, target, fx);
  return fx;
}

void CustModel::DragItem(NodeId sourceId, NodeId targetId, CustEffects& fx) {
  const CustNode& source = *Find(sourceId);
  const CustNode& target = *Find(targetId);
  if (source.text.empty() && source.file.FileName.empty() && source.file.FileExe.empty()) return;
  if (Kind(source) == NodeKind::MenuButton || IsRoot(sourceId)) return;
  const NodeKind targetKind = Kind(target);
  if (IsMarker(source.file) &&
      (targetKind == NodeKind::SingleRoot || targetKind == NodeKind::SingleButton))
    return;
  const Place place = targetKind == NodeKind::MenuButton ? Place::Last : Place::Before;
  const NodeId moved = AddAt(targetId, place, NextKey('M'), source.text, source.file, source.image, fx);
  changed_ = true;
  FollowMove(sourceId, moved);
  RemoveNode(sourceId, fx);
  Select(moved, fx);
  CheckField(fx);
}

bool CustModel::CanEditLabel(NodeId id) const {
  const CustNode* node = Find(id);
  return node && !IsRoot(id) && !IsMarker(node->file);
}

CustEffects CustModel::LabelEditEnded(NodeId id, const std::optional<std::string>& text) {
  CustEffects fx;
  CustNode* node = Find(id);
  if (!node || !text || !CanEditLabel(id)) return fx;
  std::string title = Trim(*text);
  if (title != node->text) changed_ = true;
  SetText(*node, title, fx);
  if (id == current_) {
    boxes_.title = node->text;
    ShowBoxes(fx);
  }
  return fx;
}

// ---- Commands ----------------------------------------------------------------------------------

CustEffects CustModel::Run(CustCommand command) {
  CustEffects fx;
  Execute(command, fx);
  return fx;
}

CustEffects CustModel::ToolbarClick(std::string_view key) {
  CustEffects fx;
  Execute(ToolbarCommand(key), fx);
  CheckField(fx);
  return fx;
}

CustEffects CustModel::PopupClick(int popupId) {
  CustEffects fx;
  Execute(PopupCommand(popupId), fx);
  if (popupId == kPopupUndo) CheckField(fx);
  return fx;
}

void CustModel::Execute(CustCommand command, CustEffects& fx) {
  switch (command) {
    case CustCommand::None: break;
    case CustCommand::MoveUp: Move(true, fx); break;
    case CustCommand::MoveDown: Move(false, fx); break;
    case CustCommand::AddButton: AddButton(Place::Last, fx); break;
    case CustCommand::InsertButton: AddButton(Place::Before, fx); break;
    case CustCommand::AddMenuItem: AddMenuItem(Place::Last, fx); break;
    case CustCommand::InsertMenuItem: AddMenuItem(Place::Before, fx); break;
    case CustCommand::InsertSeparator: InsertMarker(true, fx); break;
    case CustCommand::InsertBreaker: InsertMarker(false, fx); break;
    case CustCommand::Cut: Cut(fx); break;
    case CustCommand::Copy: Copy(fx); break;
    case CustCommand::Paste: Paste(fx); break;
    case CustCommand::Delete: Delete(fx); break;
    case CustCommand::UndoDelete: UndoDelete(fx); break;
    case CustCommand::Rename:
      if (Find(selected_) && !IsRoot(selected_)) fx.editLabel = selected_;
      break;
  }
}

// Add Button (Place::Last) and Insert Button (before or after the selected
// button). Returns the new button, or kNoNode when nothing was added.
NodeId CustModel::AddButton(Place place, CustEffects& fx) {
  const NodeKind kind = KindOf(selected_);
  if (place != Place::Last && kind != NodeKind::MenuButton && kind != NodeKind::SingleButton)
    return kNoNode;
  // The button counter counts every new button, single ones too.
  std::string key = NextKey('B');
  const bool single = kind == NodeKind::SingleRoot || kind == NodeKind::SingleButton;
  if (single) key = NextKey('M');
  const NodeId anchor = place == Place::Last ? (single ? singleRoot_ : kMenuRootId) : selected_;
  const NodeId id =
      AddAt(anchor, place, std::move(key), kNewButtonText, {kButtonMarker, ""}, NodeImage::Fixed("button"), fx);
  changed_ = true;
  Select(id, fx);
  CheckField(fx);
  fx.focus = CustFocus::Tree;
  if (!single) {
    // Every new menu starts with one entry.
    AddMenuItem(Place::Last, fx);
    Select(id, fx);
    CheckField(fx);
  }
  return id;
}

// Add Menu Item (Place::Last: the last entry of the selected menu) and Insert
// Menu Item (before or after the selected entry).
NodeId CustModel::AddMenuItem(Place place, CustEffects& fx) {
  const NodeKind kind = KindOf(selected_);
  if (kind != NodeKind::MenuButton && kind != NodeKind::MenuItem) return kNoNode;
  if (place != Place::Last && kind != NodeKind::MenuItem) return kNoNode;
  const NodeId anchor =
      place != Place::Last ? selected_ : (kind == NodeKind::MenuButton ? selected_ : Find(selected_)->parent);
  const NodeId id =
      AddAt(anchor, place, NextKey('M'), kNewMenuItemText, {kNewMarker, ""}, NodeImage::Fixed("new"), fx);
  changed_ = true;
  Select(id, fx);
  CheckField(fx);
  return id;
}

void CustModel::InsertMarker(bool separator, CustEffects& fx) {
  const NodeKind kind = KindOf(selected_);
  if (!Find(selected_) || IsRoot(selected_) || kind == NodeKind::MenuButton) return;
  const NodeId id = AddAt(selected_, Place::Before, NextKey('M'), separator ? kSeparatorText : kBreakerText,
                          {std::string(separator ? kSeparatorMarker : kBreakerMarker), ""},
                          NodeImage::Fixed(separator ? "sep" : "break"), fx);
  changed_ = true;
  Select(id, fx);
  CheckField(fx);
}

void CustModel::Copy(CustEffects& fx) {
  const CustNode* node = Find(selected_);
  if (!node || IsRoot(selected_) || Kind(*node) == NodeKind::MenuButton) return;
  clipboardTitle_ = node->text;
  clipboard_ = node->file;
  CheckField(fx);
}

void CustModel::Cut(CustEffects& fx) {
  const CustNode* node = Find(selected_);
  if (!node || IsRoot(selected_) || Kind(*node) == NodeKind::MenuButton) return;
  const NodeId neighbour = node->prev != kNoNode ? node->prev : node->parent;
  clipboardTitle_ = node->text;
  clipboard_ = node->file;
  changed_ = true;
  RemoveNode(selected_, fx);
  Select(neighbour, fx);
  CheckField(fx);
}

void CustModel::Paste(CustEffects& fx) {
  const CustNode* node = Find(selected_);
  if (!node || IsRoot(selected_) || Kind(*node) == NodeKind::MenuButton) return;
  if (clipboardTitle_.empty() && clipboard_.FileName.empty() && clipboard_.FileExe.empty()) return;
  if (IsMarker(clipboard_) && Kind(*node) == NodeKind::SingleButton) return;
  const NodeId id = AddAt(selected_, Place::Before, NextKey('M'), clipboardTitle_, clipboard_,
                          DrawIcon(clipboard_.FileName), fx);
  changed_ = true;
  Select(id, fx);
  CheckField(fx);
}

void CustModel::Delete(CustEffects& fx) {
  const CustNode* node = Find(selected_);
  if (!node || IsRoot(selected_) || current_ == kMenuRootId) return;
  const NodeId neighbour = node->prev != kNoNode ? node->prev : node->parent;
  if (Kind(*node) == NodeKind::MenuButton && node->childCount >= 2 &&
      s_.dialogs.Show(kDeleteMenuText, MsgButtons::YesNo, MsgIcon::Critical) != MsgResult::Yes)
    return;
  changed_ = true;

  // The undo list holds this deletion only.
  undo_ = {};
  undo_.menuButton = Kind(*node) == NodeKind::MenuButton;
  undo_.previous = node->prev;
  undo_.parent = node->parent;
  undo_.records.reserve(static_cast<std::size_t>(node->childCount) + 1);
  undo_.records.push_back({node->text, node->file.FileName, node->file.FileExe});
  for (NodeId c = node->firstChild; c != kNoNode; c = Find(c)->next) {
    const CustNode& child = *Find(c);
    undo_.records.push_back({child.text, child.file.FileName, child.file.FileExe});
  }

  RemoveNode(selected_, fx);
  Select(neighbour, fx);
  CheckField(fx);
}

void CustModel::UndoDelete(CustEffects& fx) {
  if (undo_.records.empty()) return;
  const bool button = undo_.menuButton;
  // A menu button goes back among the menu buttons, an entry into a menu or
  // among the single buttons; a moved anchor is followed, a cut one replaced
  // by the front of the old parent.
  const auto fits = [&](NodeId parent) {
    if (!Find(parent)) return false;
    const NodeKind kind = KindOf(parent);
    return button ? kind == NodeKind::MenuRoot
                  : kind == NodeKind::MenuButton || kind == NodeKind::SingleRoot;
  };
  NodeId parent = kNoNode, after = kNoNode;
  if (const CustNode* prev = Find(undo_.previous); prev && fits(prev->parent)) {
    parent = prev->parent;
    after = prev->id;
  } else if (fits(undo_.parent)) {
    parent = undo_.parent;
  } else {
    return;
  }

  const clsUndo& first = undo_.records.front();
  const NodeId restored = AddNode(parent, after, NextKey(button ? 'B' : 'M'), first.FileTitle,
                                  {first.FileName, first.FileExe}, DrawIcon(first.FileName), fx);
  for (std::size_t i = 1; i < undo_.records.size(); ++i) {
    const clsUndo& r = undo_.records[i];
    AddNode(restored, Find(restored)->lastChild, NextKey('M'), r.FileTitle, {r.FileName, r.FileExe},
            NodeImage::Fixed("unknown"), fx);
  }
  if (button) Find(restored)->iconsPending = true;
  undo_ = {};
  changed_ = true;
  Select(restored, fx);
  CheckField(fx);
}

void CustModel::Move(bool up, CustEffects& fx) {
  const CustNode* node = Find(selected_);
  if (!node || IsRoot(selected_)) return;
  const NodeId neighbour = up ? node->prev : node->next;
  if (neighbour == kNoNode) return;
  changed_ = true;
  current_ = selected_;

  const NodeId oldId = node->id;
  const bool button = Kind(*node) == NodeKind::MenuButton;
  const NodeId moved = AddAt(neighbour, up ? Place::Before : Place::After, NextKey(button ? 'B' : 'M'),
                             node->text, node->file, node->image, fx);
  {
    const CustNode& old = *Find(oldId);
    CustNode& fresh = *Find(moved);
    fresh.iconsPending = old.iconsPending;
  }
  FollowMove(oldId, moved);
  for (NodeId c = Find(oldId)->firstChild; c != kNoNode; c = Find(c)->next) {
    const CustNode& item = *Find(c);
    const NodeId copy = AddNode(moved, Find(moved)->lastChild, NextKey('M'), item.text, item.file, item.image, fx);
    FollowMove(c, copy);
  }
  if (Find(oldId)->expanded) ExpandNode(*Find(moved), fx);
  RemoveNode(oldId, fx);
  Select(moved, fx);
  CheckField(fx);
}

// ---- Built-in modules ----------------------------------------------------------------------------

bool CustModel::AddModule(CustEffects& fx) {
  switch (KindOf(selected_)) {
    case NodeKind::MenuRoot: {
      const NodeId button = AddButton(Place::Last, fx);
      // The module is the button itself: drop the entry every new menu gets.
      if (const CustNode* b = Find(button); b && b->firstChild != kNoNode) RemoveNode(b->firstChild, fx);
      Select(button, fx);
      return button != kNoNode;
    }
    case NodeKind::SingleRoot: return AddButton(Place::Last, fx) != kNoNode;
    case NodeKind::SingleButton: return AddButton(Place::Before, fx) != kNoNode;
    case NodeKind::MenuButton: return AddMenuItem(Place::Last, fx) != kNoNode;
    case NodeKind::MenuItem: return AddMenuItem(Place::Before, fx) != kNoNode;
  }
  return false;
}

CustEffects CustModel::ModuleClick(int moduleId) {
  CustEffects fx;
  const ModuleEntry* module = FindModule(moduleId);
  if (!module || !Find(selected_) || !AddModule(fx)) return fx;
  boxes_.title = module->title;
  boxes_.icon = module->icon;
  boxes_.command = module->command;
  DoConfirm(fx);
  return fx;
}

// ---- Property boxes ----------------------------------------------------------------------------------

void CustModel::SetBoxText(CustBox box, std::string text) {
  switch (box) {
    case CustBox::Title: boxes_.title = std::move(text); break;
    case CustBox::File: boxes_.command = std::move(text); break;
    case CustBox::Icon: boxes_.icon = std::move(text); break;
  }
}

CustEffects CustModel::BoxKeyPress(CustBox box, int character) {
  CustEffects fx;
  if (character == kCharEnter) {
    fx.discardChar = true;
    DoConfirm(fx);
  } else if (character == '&' && box == CustBox::Title) {
    ShowTip(TipId::Ampersand);
  }
  return fx;
}

CustEffects CustModel::BoxKeyDown(CustBox box, int virtualKey) {
  if (box == CustBox::File && virtualKey == kVkF2) return SelectFile();
  if (box == CustBox::Icon && virtualKey == kVkF2) return SelectIconFile();
  if (box == CustBox::Icon && virtualKey == kVkF3) return OpenLibrary();
  return {};
}

CustEffects CustModel::Confirm() {
  CustEffects fx;
  DoConfirm(fx);
  return fx;
}

void CustModel::DoConfirm(CustEffects& fx) {
  boxes_.title = Trim(boxes_.title);
  boxes_.command = Trim(boxes_.command);
  boxes_.icon = Trim(boxes_.icon);
  CustNode* node = Find(selected_);
  if (!node) return;
  if (IsRoot(selected_)) {
    if (saving_) return;
    CheckField(fx);
    Message(kRootDisabledText, MsgIcon::Exclamation);
    fx.focus = CustFocus::Tree;
    return;
  }
  current_ = selected_;
  if (!browseReplace_ && IsMarker(node->file)) {
    if (saving_) return;
    CheckField(fx);
    Message(kMarkerNotEditedText, MsgIcon::Exclamation);
    return;
  }
  if (!saving_) changed_ = true;

  // Web addresses use forward slashes and, without an icon file of their own,
  // the web icon.
  std::string& command = boxes_.command;
  if (IStartsWith(command, "http")) {
    for (char& c : command)
      if (c == '\\') c = '/';
    if (IStartsWith(command, "http://") &&
        (boxes_.icon.empty() || (boxes_.icon[0] != '\\' && !s_.fs.Exists(boxes_.icon))))
      boxes_.icon = "http";
  }

  SetImage(*node, DrawIcon(boxes_.icon), fx);
  node->file = {boxes_.icon, boxes_.command};
  SetText(*node, boxes_.title, fx);
  Select(node->id, fx);
  CheckField(fx);
}

// Refusals of the icon and file choosers; true when the choice may not go on.
bool CustModel::RefuseIconChange(bool separatorOnly, const char* markerText) {
  const CustNode* node = Find(selected_);
  if (!node) return true;
  if (IsRoot(selected_)) {
    Message(kRootIconText, MsgIcon::Information);
    return true;
  }
  if (separatorOnly ? IsSeparator(node->file) : IsMarker(node->file)) {
    boxes_ = {node->text, {}, {}, false, boxes_.commandShaded, boxes_.iconShaded};
    Message(markerText, MsgIcon::Information);
    return true;
  }
  return false;
}

CustEffects CustModel::SelectFile() {
  return BrowseIntoBox(CustBox::File);
}

CustEffects CustModel::SelectIconFile() {
  return BrowseIntoBox(CustBox::Icon);
}

// The File box takes any entry but a marker; the Icon box any but a separator.
// A file picked in the dialog is confirmed at once.
CustEffects CustModel::BrowseIntoBox(CustBox target) {
  CustEffects fx;
  const bool forIcon = target == CustBox::Icon;
  if (RefuseIconChange(forIcon, forIcon ? kSeparatorIconText : kMarkerIconsText)) {
    ShowBoxes(fx);
    return fx;
  }
  ShowTip(forIcon ? TipId::OtherFilesIcons : TipId::SelectFile);
  browseBusy_ = true;
  StopTimer(fx);
  std::string& box = forIcon ? boxes_.icon : boxes_.command;
  const std::string before = box;
  ShowOpenFile(target, fx);
  StartTimer(fx);
  if (box != before) DoConfirm(fx);
  return fx;
}

CustEffects CustModel::OpenLibrary() {
  CustEffects fx;
  if (RefuseIconChange(true, kSeparatorIconText)) {
    ShowBoxes(fx);
    return fx;
  }
  ShowTip(TipId::IconLibrary);
  libraryOpen_ = true;
  fx.showLibrary = true;
  return fx;
}

CustEffects CustModel::LibraryIconChosen(const std::string& iconPath) {
  CustEffects fx;
  if (!Find(selected_) || IsRoot(selected_)) return fx;
  StartTimer(fx);
  boxes_.icon = iconPath;
  DoConfirm(fx);
  return fx;
}

std::string CustModel::StartFolder() const {
  switch (selectFrom_) {
    case SelectFrom::StartMenu: return s_.startMenuFolder;
    case SelectFrom::Desktop: return s_.desktopFolder;
    case SelectFrom::None: break;
  }
  return lastFolder_;
}

void CustModel::ShowOpenFile(CustBox target, CustEffects& fx) {
  OpenFileRequest request;
  request.title = kOneFileTitle;
  request.initialFolder = StartFolder();
  const auto chosen = s_.dialogs.OpenFile(request);
  if (!chosen) return;
  const std::string path = chosen->substr(0, chosen->find('\0'));
  (target == CustBox::Icon ? boxes_.icon : boxes_.command) = path;
  const auto slash = path.find_last_of('\\');
  lastFolder_ = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  selectFrom_ = SelectFrom::None;
  fx.uncheckSelectFrom = true;
  ShowBoxes(fx);
}

CustEffects CustModel::BrowseFiles() {
  return BrowseIntoSelected(&CustModel::DoBrowseFiles);
}

CustEffects CustModel::BrowseFolders() {
  return BrowseIntoSelected(&CustModel::DoBrowseFolder);
}

// Files and Folders replace the selected entry (never a root) with what their
// dialog gives; the Title box has the keyboard afterwards.
CustEffects CustModel::BrowseIntoSelected(void (CustModel::*browse)(CustEffects&)) {
  CustEffects fx;
  if (!Find(selected_)) return fx;
  if (IsRoot(selected_)) {
    Message(kRootDisabledText, MsgIcon::Exclamation);
    fx.focus = CustFocus::Tree;
    return fx;
  }
  browseReplace_ = true;
  current_ = selected_;
  StopTimer(fx);
  browseBusy_ = true;
  (this->*browse)(fx);
  fx.focus = CustFocus::Title;
  StartTimer(fx);
  browseReplace_ = false;
  CheckField(fx);
  return fx;
}

void CustModel::DoBrowseFiles(CustEffects& fx) {
  OpenFileRequest request;
  request.initialFolder = StartFolder();
  // A menu button takes one file; anything else may become several entries.
  const bool oneFile = KindOf(selected_) == NodeKind::MenuButton;
  request.title = oneFile ? kOneFileTitle : kManyFilesTitle;
  request.multiSelect = !oneFile;
  const auto chosen = s_.dialogs.OpenFile(request);
  if (!chosen) return;

  std::vector<std::string> pieces;
  std::size_t start = 0;
  while (start <= chosen->size()) {
    const std::size_t end = std::min(chosen->find('\0', start), chosen->size());
    if (end > start) pieces.push_back(chosen->substr(start, end - start));
    start = end + 1;
  }
  if (pieces.empty()) return;
  if (pieces.size() == 1) {
    boxes_.icon = pieces.front();
    AddFileToTree(fx);
    changed_ = true;
    return;
  }
  // The first file replaces the selected entry; each further one becomes a
  // new entry right after the one before (Insert Button or Insert Menu Item,
  // placed after instead of before).
  const std::string folder = WithBackslash(pieces.front());
  for (std::size_t k = 1; k < pieces.size(); ++k) {
    boxes_.icon = folder + pieces[k];
    AddFileToTree(fx);
    if (k + 1 == pieces.size()) break;
    const CustNode* current = Find(current_);
    if (!current) break;
    const NodeId added = current->parent == singleRoot_ ? AddButton(Place::After, fx)
                                                        : AddMenuItem(Place::After, fx);
    if (added == kNoNode) break;
  }
  changed_ = true;
}

void CustModel::AddFileToTree(CustEffects& fx) {
  const std::size_t slash = boxes_.icon.find_last_of('\\');
  std::string name = boxes_.icon.substr(slash == std::string::npos ? 0 : slash + 1);
  if (name.size() > 12 && ToLower(name.substr(0, 11)) == "shortcut to") name.erase(0, 12);
  if (!showExtension_ && name.size() >= 4 && name[name.size() - 4] == '.') name.resize(name.size() - 4);
  boxes_.title = name;
  selectFrom_ = SelectFrom::None;
  fx.uncheckSelectFrom = true;
  boxes_.command = Trim(boxes_.icon);
  DoConfirm(fx);
}

void CustModel::DoBrowseFolder(CustEffects& fx) {
  const auto folder = s_.dialogs.BrowseForFolder(kFolderInstruction);
  if (!folder) return;
  boxes_.icon = folder->path;
  boxes_.title = folder->displayName;
  boxes_.command = folder->path;
  DoConfirm(fx);
}

CustEffects CustModel::TimerElapsed() {
  CustEffects fx;
  browseBusy_ = false;
  StopTimer(fx);
  return fx;
}

// ---- Saving and leaving --------------------------------------------------------------------------------

CustEffects CustModel::Save() {
  CustEffects fx;
  DoSave(fx);
  return fx;
}

void CustModel::DoSave(CustEffects& fx) {
  saving_ = true;
  // Whatever is typed into the boxes belongs to the selected entry.
  DoConfirm(fx);
  saving_ = false;
  if (unreadable_) {
    Message(UnreadableText(*unreadable_), MsgIcon::Critical);
    changed_ = true;
    return;
  }
  const SaveReport report = SaveToolbarFiles(s_.fs, s_.menusFolder, Content());
  if (report.outcome == SaveOutcome::Saved) {
    changed_ = false;
    fx.rebuildToolbar = true;
  } else {
    // The tree holds what the files do not: closing must still ask.
    changed_ = true;
    Message(SaveFailureText(report), MsgIcon::Critical);
  }
}

CustEffects CustModel::QueryUnload() {
  CustEffects fx;
  if (!changed_) {
    fx.close = true;
    return fx;
  }
  switch (s_.dialogs.Show(kSavePromptText, MsgButtons::YesNoCancel, MsgIcon::Question)) {
    case MsgResult::Yes:
      DoSave(fx);
      fx.close = !changed_;  // a failed save keeps the page and its edits
      break;
    case MsgResult::No:
      fx.close = true;
      break;
    default:
      break;
  }
  return fx;
}

// ---- The right-click menu --------------------------------------------------------------------------------

PopupState CustModel::AdjustPopup() const {
  PopupState state;
  state.enabled.fill(true);
  const CustNode* node = Find(selected_);
  const NodeKind kind = node ? Kind(*node) : NodeKind::MenuRoot;
  const bool clip = !(clipboardTitle_.empty() && clipboard_.FileName.empty() && clipboard_.FileExe.empty());
  for (const auto& row : kPopupEnable) {
    EnableRule rule = row.root;
    switch (kind) {
      case NodeKind::MenuRoot:
      case NodeKind::SingleRoot: rule = row.root; break;
      case NodeKind::MenuButton: rule = row.menuButton; break;
      case NodeKind::MenuItem: rule = row.menuItem; break;
      case NodeKind::SingleButton: rule = row.singleButton; break;
    }
    bool on = true;
    switch (rule) {
      case EnableRule::On: on = true; break;
      case EnableRule::Off: on = false; break;
      case EnableRule::OnUnlessMarker: on = !(node && IsMarker(node->file)); break;
      case EnableRule::OnWithClipboard: on = clip; break;
      case EnableRule::OnWithUndo: on = !undo_.records.empty(); break;
    }
    state.enabled[static_cast<std::size_t>(row.id - kPopupFirst)] = on;
  }
  return state;
}

}  // namespace velmora
