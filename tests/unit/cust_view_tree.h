// The tree control as far as the Customize model's effects describe it: what
// the window would show if it applied them and nothing else. The randomized
// test and the fuzz target build it step by step and compare it with the
// model. A broken expectation goes to `fail` (a test failure, or an abort
// for the fuzzer) and stops that Apply.
#pragma once

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "customize/cust_model.h"
#include "model/item_record.h"

namespace velmora::test {

class ViewTree {
 public:
  using Fail = void (*)(const char* what);
  struct Item {
    NodeId parent = kNoNode;
    std::vector<NodeId> children;
    std::string text;
    NodeImage image;
  };

  explicit ViewTree(Fail fail) : fail_(fail) {}

  void Apply(const CustEffects& fx) {
    for (const auto& c : fx.tree) {
      switch (c.op) {
        case TreeChange::Op::Insert: {
          if (!Check(items_.count(c.node) == 0, "a node is inserted once") ||
              !Check(c.parent == kNoNode || items_.count(c.parent), "inserted under a shown node"))
            return;
          auto& list = c.parent == kNoNode ? top_ : items_.at(c.parent).children;
          auto at = list.begin();
          if (c.after != kNoNode) {
            at = std::find(list.begin(), list.end(), c.after);
            if (!Check(at != list.end(), "inserted after a sibling")) return;
            ++at;
          }
          list.insert(at, c.node);
          items_[c.node] = {c.parent, {}, c.text, c.image};
          break;
        }
        case TreeChange::Op::Remove: {
          if (!Check(items_.count(c.node) == 1, "a removed node was shown")) return;
          const NodeId parent = items_.at(c.node).parent;
          auto& list = parent == kNoNode ? top_ : items_.at(parent).children;
          list.erase(std::find(list.begin(), list.end(), c.node));
          Erase(c.node);
          break;
        }
        case TreeChange::Op::SetText:
          if (!Check(items_.count(c.node) == 1, "text of a shown node")) return;
          items_.at(c.node).text = c.text;
          break;
        case TreeChange::Op::SetImage:
          if (!Check(items_.count(c.node) == 1, "image of a shown node")) return;
          items_.at(c.node).image = c.image;
          break;
        case TreeChange::Op::Expand:
          if (!Check(items_.count(c.node) == 1, "a shown node expands")) return;
          break;
      }
    }
    Check(fx.select == kNoNode || items_.count(fx.select) == 1, "the selection is shown");
    Check(fx.editLabel == kNoNode || items_.count(fx.editLabel) == 1, "the edited label is shown");
  }

  const std::vector<NodeId>& top() const { return top_; }
  const Item* Find(NodeId id) const {
    const auto it = items_.find(id);
    return it == items_.end() ? nullptr : &it->second;
  }
  std::size_t size() const { return items_.size(); }

 private:
  bool Check(bool ok, const char* what) {
    if (!ok) fail_(what);
    return ok;
  }
  void Erase(NodeId id) {
    for (const NodeId c : items_.at(id).children) Erase(c);
    items_.erase(id);
  }
  Fail fail_;
  std::vector<NodeId> top_;
  std::unordered_map<NodeId, Item> items_;
};

// A record as it comes back from its file: fields cut at their widths, trimmed.
inline ItemRecord Stored(const ItemRecord& r) { return DecodeRecord(EncodeRecord(r)); }

}  // namespace velmora::test
