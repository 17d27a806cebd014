#include "customize/cust_tables.h"

#include "model/text.h"

namespace velmora {

CustCommand PopupCommand(int popupId) {
  switch (popupId) {
    case kPopupAddButton: return CustCommand::AddButton;
    case kPopupInsertButton: return CustCommand::InsertButton;
    case kPopupAddMenuItem: return CustCommand::AddMenuItem;
    case kPopupInsertMenuItem: return CustCommand::InsertMenuItem;
    case kPopupSeparator: return CustCommand::InsertSeparator;
    case kPopupBreaker: return CustCommand::InsertBreaker;
    case kPopupCut: return CustCommand::Cut;
    case kPopupCopy: return CustCommand::Copy;
    case kPopupPaste: return CustCommand::Paste;
    case kPopupRemove: return CustCommand::Delete;
    case kPopupUndo: return CustCommand::UndoDelete;
    case kPopupRename: return CustCommand::Rename;
    default: return CustCommand::None;
  }
}

CustCommand ToolbarCommand(std::string_view key) {
  for (const auto& b : kEditToolbar)
    if (b.key && IEquals(b.key, key)) return b.command;
  return CustCommand::None;
}

const ModuleEntry* FindModule(int id) {
  for (const auto& m : kModules)
    if (m.id == id) return &m;
  return nullptr;
}

const TipInfo& FindTip(TipId id) {
  for (const auto& t : kTips)
    if (t.id == id) return t;
  return kTips[0];
}

}  // namespace velmora
