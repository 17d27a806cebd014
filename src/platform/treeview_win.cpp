#include "platform/treeview_win.h"

#include "platform/ui_win.h"

namespace velmora {

bool TreeViewControl::Create(HWND parent, int id, DWORD extraStyle) {
  tree_ = CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES |
                              TVS_LINESATROOT | TVS_SHOWSELALWAYS | extraStyle,
                          0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                          GetModuleHandleA(nullptr), nullptr);
  if (tree_) SendMessageA(tree_, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), FALSE);
  items_.clear();
  return tree_ != nullptr;
}

void TreeViewControl::SetImageList(HIMAGELIST images) {
  SendMessageA(tree_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
}

HTREEITEM TreeViewControl::ItemOf(NodeId node) const {
  const auto found = items_.find(node);
  return found == items_.end() ? nullptr : found->second;
}

bool TreeViewControl::Insert(NodeId node, std::optional<NodeId> parent, Place place,
                             std::optional<NodeId> sibling, const std::string& text, int image,
                             bool expandButton) {
  HTREEITEM parentItem = TVI_ROOT;
  if (parent) {
    parentItem = ItemOf(*parent);
    if (!parentItem) return false;
  }
  HTREEITEM after = place == Place::First ? TVI_FIRST : TVI_LAST;
  if (place == Place::After || place == Place::Before) {
    HTREEITEM reference = sibling ? ItemOf(*sibling) : nullptr;
    if (!reference) return false;
    if (place == Place::After) {
      after = reference;
    } else {
      // "Before" is after the previous sibling, or first when there is none.
      HTREEITEM previous = reinterpret_cast<HTREEITEM>(
          SendMessageA(tree_, TVM_GETNEXTITEM, TVGN_PREVIOUS, reinterpret_cast<LPARAM>(reference)));
      after = previous ? previous : TVI_FIRST;
    }
  }
  TVINSERTSTRUCTA insert{};
  insert.hParent = parentItem;
  insert.hInsertAfter = after;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
  insert.item.pszText = const_cast<char*>(text.c_str());
  insert.item.iImage = image;
  insert.item.iSelectedImage = image;
  insert.item.lParam = node;
  if (expandButton) {
    insert.item.mask |= TVIF_CHILDREN;
    insert.item.cChildren = 1;
  }
  HTREEITEM item = reinterpret_cast<HTREEITEM>(
      SendMessageA(tree_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
  if (!item) return false;
  items_[node] = item;
  return true;
}

void TreeViewControl::Forget(HTREEITEM item) {
  for (HTREEITEM child = TreeView_GetChild(tree_, item); child;
       child = TreeView_GetNextSibling(tree_, child))
    Forget(child);
  if (const auto node = NodeOf(item)) items_.erase(*node);
}

void TreeViewControl::Remove(NodeId node) {
  HTREEITEM item = ItemOf(node);
  if (!item) return;
  Forget(item);
  SendMessageA(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
}

void TreeViewControl::Clear() {
  SendMessageA(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  items_.clear();
}

void TreeViewControl::SetText(NodeId node, const std::string& text) {
  TVITEMA item{};
  item.mask = TVIF_TEXT;
  item.hItem = ItemOf(node);
  item.pszText = const_cast<char*>(text.c_str());
  if (item.hItem) SendMessageA(tree_, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void TreeViewControl::SetImage(NodeId node, int image) {
  TVITEMA item{};
  item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  item.hItem = ItemOf(node);
  item.iImage = item.iSelectedImage = image;
  if (item.hItem) SendMessageA(tree_, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void TreeViewControl::SetHasChildren(NodeId node, bool hasChildren) {
  TVITEMA item{};
  item.mask = TVIF_CHILDREN;
  item.hItem = ItemOf(node);
  item.cChildren = hasChildren ? 1 : 0;
  if (item.hItem) SendMessageA(tree_, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void TreeViewControl::Expand(NodeId node, bool expand) {
  if (HTREEITEM item = ItemOf(node))
    SendMessageA(tree_, TVM_EXPAND, expand ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(item));
}

bool TreeViewControl::IsExpanded(NodeId node) const {
  HTREEITEM item = ItemOf(node);
  return item && (SendMessageA(tree_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) &
                  TVIS_EXPANDED);
}

void TreeViewControl::Select(NodeId node) {
  if (HTREEITEM item = ItemOf(node))
    SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

void TreeViewControl::EnsureVisible(NodeId node) {
  if (HTREEITEM item = ItemOf(node))
    SendMessageA(tree_, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
}

std::optional<TreeViewControl::NodeId> TreeViewControl::Selected() const {
  return NodeOf(reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_GETNEXTITEM, TVGN_CARET, 0)));
}

void TreeViewControl::SetDropTarget(std::optional<NodeId> node) {
  HTREEITEM item = node ? ItemOf(*node) : nullptr;
  SendMessageA(tree_, TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(item));
}

void TreeViewControl::EditLabel(NodeId node) {
  if (HTREEITEM item = ItemOf(node)) {
    SetFocus(tree_);
    SendMessageA(tree_, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(item));
  }
}

std::optional<TreeViewControl::NodeId> TreeViewControl::HitTest(POINT client) const {
  TVHITTESTINFO hit{};
  hit.pt = client;
  HTREEITEM item = reinterpret_cast<HTREEITEM>(
      SendMessageA(tree_, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (!item || !(hit.flags & (TVHT_ONITEM | TVHT_ONITEMRIGHT | TVHT_ONITEMINDENT | TVHT_ONITEMBUTTON)))
    return std::nullopt;
  return NodeOf(item);
}

std::optional<TreeViewControl::NodeId> TreeViewControl::NodeOf(HTREEITEM item) const {
  if (!item) return std::nullopt;
  TVITEMA data{};
  data.mask = TVIF_PARAM;
  data.hItem = item;
  if (!SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data))) return std::nullopt;
  const auto node = static_cast<NodeId>(data.lParam);
  const auto found = items_.find(node);
  if (found == items_.end() || found->second != item) return std::nullopt;
  return node;
}

std::optional<TreeViewControl::NodeId> TreeViewControl::NodeOf(const TVITEMA& item) const {
  return NodeOf(item.hItem);
}

TreeViewControl::NoRedraw::NoRedraw(const TreeViewControl& tree) : tree_(tree.tree_) {
  SendMessageA(tree_, WM_SETREDRAW, FALSE, 0);
}

TreeViewControl::NoRedraw::~NoRedraw() {
  SendMessageA(tree_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(tree_, nullptr, TRUE);
}

}  // namespace velmora
