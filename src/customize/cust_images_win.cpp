#include "customize/cust_images_win.h"

#include <commctrl.h>

#include <utility>

#include "model/text.h"
#include "platform/shell_icons_win.h"
#include "resource.h"

namespace velmora {

namespace {

struct BuiltIn {
  const char* key;
  int id;
};
constexpr BuiltIn kImgIcons[] = {
    {"unknown", IDI_CUST_UNKNOWN}, {"new", IDI_IMG_NEW},     {"break", IDI_CUST_BREAK},
    {"sep", IDI_CUST_SEP},         {"button", IDI_IMG_BUTTON}, {"qm", IDI_IMG_QM},
    {"up", IDI_CUST_UP},           {"down", IDI_CUST_DOWN},   {"cut", IDI_CUST_CUT},
    {"copy", IDI_CUST_COPY},       {"paste", IDI_CUST_PASTE}, {"delete", IDI_CUST_DELETE},
    {"undo", IDI_CUST_UNDO},
};

// The tree's fixed images, in this order, under these keys; "qm" becomes "qmark".
constexpr std::pair<const char*, const char*> kFixed[] = {
    {"unknown", "unknown"}, {"new", "new"},       {"break", "break"},
    {"sep", "sep"},         {"button", "button"}, {"qm", "qmark"},
};

}  // namespace

CustImages::CustImages(HINSTANCE instance, std::string programFile)
    : instance_(instance), programFile_(std::move(programFile)) {
  for (const auto& picture : kImgIcons) {
    imgIcons_.AddIcon(picture.key, SmallResourceIcon(instance, picture.id).get());
  }
  for (const auto& [from, to] : kFixed) {
    const IconHandle icon = imgIcons_.IconOf(from);
    imageList1_.AddIcon(to, icon.get());
    fixed_[to] = imageList1_.IndexOf(to);
  }
}

int CustImages::IndexOf(const NodeImage& image) {
  if (image.key.empty()) return ShellImage(image.shellFile);
  const auto found = fixed_.find(image.key);
  return found != fixed_.end() ? found->second : fixed_["unknown"];
}

int CustImages::ShellImage(const std::string& path) {
  const std::string key = ToUpper(path);
  if (const auto known = byPath_.find(key); known != byPath_.end()) return known->second;
  ++lookups_;
  int index = -1;
  if (IEquals(path, programFile_)) {
    const IconHandle icon = SmallResourceIcon(instance_, IDI_VELMORA);
    if (icon && imageList1_.AddIcon("program", icon.get())) index = static_cast<int>(imageList1_.Count()) - 1;
  } else if (IEndsWith(path, ".ico")) {
    // Its own picture, one image per icon file.
    if (const IconHandle icon = SmallFileIcon(path); icon && imageList1_.AddIcon("f" + key, icon.get()))
      index = static_cast<int>(imageList1_.Count()) - 1;
  } else if (const int system = SystemIconIndex(path); system >= 0) {
    // Keyed "i" + the system index: files the shell draws alike share it.
    if (const auto shared = bySystem_.find(system); shared != bySystem_.end()) {
      index = shared->second;
    } else {
      if (!system_) system_ = SystemSmallImageList();
      const IconHandle icon(system_ ? ImageList_GetIcon(system_, system, ILD_TRANSPARENT) : nullptr);
      if (icon && imageList1_.AddIcon(std::string("i").append(std::to_string(system)), icon.get())) {
        index = static_cast<int>(imageList1_.Count()) - 1;
        bySystem_.emplace(system, index);
      }
    }
  }
  if (index < 0) index = fixed_["qmark"];
  byPath_.emplace(key, index);
  return index;
}

}  // namespace velmora
