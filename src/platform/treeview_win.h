// A tree-view control that shows a model it does not own: every item carries
// the model's node id in its lParam, and the wrapper keeps the map back from
// id to item. The model holds texts, keys and entries; the control only shows
// them, so nothing is ever read back out of it but ids.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <unordered_map>

namespace velmora {

class TreeViewControl {
 public:
  using NodeId = int;

  TreeViewControl() = default;
  TreeViewControl(const TreeViewControl&) = delete;
  TreeViewControl& operator=(const TreeViewControl&) = delete;

  // Creates the control as a child of `parent`. The control goes with its parent.
  bool Create(HWND parent, int id, DWORD extraStyle = 0);
  HWND hwnd() const { return tree_; }

  void SetImageList(HIMAGELIST images);

  // Where a new item goes among its siblings.
  enum class Place { First, Last, After, Before };
  // Inserts `node` under `parent` (nullopt: at the top level); `sibling` is
  // the reference for After and Before. `expandButton` shows the node's
  // expand button before its children are inserted. False when the parent or
  // sibling is not shown or the control refuses.
  bool Insert(NodeId node, std::optional<NodeId> parent, Place place,
              std::optional<NodeId> sibling, const std::string& text, int image,
              bool expandButton = false);
  // Removes the node's item and its children's.
  void Remove(NodeId node);
  void Clear();

  void SetText(NodeId node, const std::string& text);
  void SetImage(NodeId node, int image);
  // Shows the expand button even before children are inserted.
  void SetHasChildren(NodeId node, bool hasChildren);
  void Expand(NodeId node, bool expand);
  bool IsExpanded(NodeId node) const;

  void Select(NodeId node);
  void EnsureVisible(NodeId node);
  std::optional<NodeId> Selected() const;
  // The drop-target highlight; nullopt clears it.
  void SetDropTarget(std::optional<NodeId> node);
  // Starts editing the node's label in place.
  void EditLabel(NodeId node);

  // The node whose item lies under a point of the control's client area.
  std::optional<NodeId> HitTest(POINT client) const;
  // The node of an item the control reports in a notification.
  std::optional<NodeId> NodeOf(HTREEITEM item) const;
  std::optional<NodeId> NodeOf(const TVITEMA& item) const;
  HTREEITEM ItemOf(NodeId node) const;
  bool Shows(NodeId node) const { return items_.count(node) != 0; }
  std::size_t Count() const { return items_.size(); }

  // Batches of changes draw once at the end.
  class NoRedraw {
   public:
    explicit NoRedraw(const TreeViewControl& tree);
    ~NoRedraw();
    NoRedraw(const NoRedraw&) = delete;
    NoRedraw& operator=(const NoRedraw&) = delete;

   private:
    HWND tree_;
  };

 private:
  void Forget(HTREEITEM item);

  HWND tree_ = nullptr;
  std::unordered_map<NodeId, HTREEITEM> items_;
};

}  // namespace velmora
