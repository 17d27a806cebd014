// Shared by the Customize page's tests: a page over the fakes, menu folders
// written in the file format, and compact pictures of the tree.
#pragma once

#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "customize/cust_model.h"
#include "fakes.h"
#include "model/item_record.h"

namespace velmora {

inline void PrintTo(const NodeImage& image, std::ostream* os) {
  *os << (image.key.empty() ? "shell:" + image.shellFile : image.key);
}
inline void PrintTo(const Boxes& b, std::ostream* os) {
  *os << "{\"" << b.title << "\", \"" << b.command << "\", \"" << b.icon << "\", shaded "
      << b.titleShaded << b.commandShaded << b.iconShaded << "}";
}

}  // namespace velmora

namespace velmora::test {

inline const std::string kProgramFolder = "C:\\Velmora\\";
inline const std::string kMenusFolder = kProgramFolder + "Menus\\";
inline const std::string kWebIcon = kProgramFolder + "httpicon.htm";
inline const std::string kStartMenu = "C:\\Start Menu\\";
inline const std::string kDesktop = "C:\\Desktop\\";

inline void AddMenuFile(FakeFileSystem& fs, const std::string& name,
                        const std::vector<ItemRecord>& records) {
  fs.AddFile(kMenusFolder + name, EncodeFile(records));
}

// Every file of a folder, by name as listed, with its bytes: what a save must
// either keep or replace as a whole.
inline std::map<std::string, std::string> Snapshot(FakeFileSystem& fs,
                                                   const std::string& folder = kMenusFolder) {
  std::map<std::string, std::string> out;
  const auto calls = fs.calls.size();
  for (const auto& name : fs.ListFiles(folder, "*")) out[name] = *fs.Content(folder + name);
  fs.calls.resize(calls);
  return out;
}

// "Title[entry,entry];Title[] | single,single", or the same with keys.
inline std::string Picture(const CustModel& m, std::string CustNode::*field) {
  std::string out;
  for (const NodeId b : m.Children(m.MenuRoot())) {
    if (!out.empty()) out += ';';
    out += m.Node(b)->*field + '[';
    for (const NodeId i : m.Children(b)) out += m.Node(i)->*field + ',';
    if (out.back() == ',') out.pop_back();
    out += ']';
  }
  out += " |";
  for (const NodeId s : m.Children(m.SingleRoot())) out += (out.back() == '|' ? " " : ",") + m.Node(s)->*field;
  return out;
}
inline std::string TreeText(const CustModel& m) { return Picture(m, &CustNode::text); }
inline std::string KeyText(const CustModel& m) { return Picture(m, &CustNode::key); }

struct CustPage {
  explicit CustPage(FakeFileSystem& files) : fs(files) {}

  FakeFileSystem& fs;
  FakeDialogs dialogs;
  Options options;
  std::vector<TipId> tips;
  std::unique_ptr<CustModel> model;
  CustEffects opened;

  CustModel& Open() {
    model = std::make_unique<CustModel>(CustServices{
        fs, dialogs, options, kProgramFolder, kMenusFolder, kWebIcon, kStartMenu, kDesktop,
        [this](const TipInfo& tip) { tips.push_back(tip.id); }});
    opened = model->Open();
    return *model;
  }
  CustModel& m() { return *model; }

  NodeId Key(std::string_view key) const { return model->FindKey(key); }
  // Selects the node of `key` as a click does.
  CustEffects Click(std::string_view key) { return model->NodeClick(Key(key)); }
  std::vector<std::string> Messages() const {
    std::vector<std::string> out;
    for (const auto& box : dialogs.shown) out.push_back(box.text);
    return out;
  }
};

}  // namespace velmora::test
