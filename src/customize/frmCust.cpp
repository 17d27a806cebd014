#include "customize/frmCust.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "core/app_state.h"
#include "core/product.h"
#include "core/shell_component.h"
#include "customize/cust_images_win.h"
#include "iconlib/frmLibrary.h"
#include "model/text.h"
#include "platform/ui_win.h"
#include "resource.h"

namespace velmora {

namespace {

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1Interval = 1000;

int ModifierKeys() {
  int mods = kModNone;
  if (GetKeyState(VK_SHIFT) < 0) mods |= kModShift;
  if (GetKeyState(VK_CONTROL) < 0) mods |= kModCtrl;
  if (GetKeyState(VK_MENU) < 0) mods |= kModAlt;
  return mods;
}

// The tip window shows its text as written, while the tips' texts double an
// ampersand that is meant to show.
std::string TipText(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == '&' && i + 1 < text.size() && text[i + 1] == '&') ++i;
  }
  return out;
}

POINT PointOf(LPARAM lp) { return {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))}; }

std::optional<NodeId> Some(NodeId id) { return id == kNoNode ? std::nullopt : std::optional<NodeId>(id); }

}  // namespace

frmCust::frmCust(CustWindowServices services) : s_(std::move(services)) {}

frmCust::~frmCust() = default;

int frmCust::ShellLookups() const { return images_ ? images_->ShellLookups() : 0; }

// ---------------------------------------------------------------------------
// Opening

bool frmCust::Load() {
  if (Loaded()) return true;
  // The roots show the program's icon: the model names its executable so.
  images_ = std::make_unique<CustImages>(s_.instance, s_.state.folders.program + "VELMORA.EXE");
  WindowArgs args;
  args.className = "VelmoraCustomize";
  const std::string caption = std::string(kAppTitle) + kCustCaption;
  args.title = caption.c_str();
  // No WS_CLIPCHILDREN: the group boxes leave their inside to the page, as
  // in a dialog box.
  args.style = WS_OVERLAPPEDWINDOW;
  args.icon = LoadIconA(s_.instance, MAKEINTRESOURCEA(IDI_VELMORA));
  // Tab, Shift+Tab and Alt+letter move between the controls as in a dialog.
  args.dialogKeys = true;
  if (!CreateWindowFrom(args)) return false;
  dialogs_.SetOwner(hwnd());

  c_.Create(hwnd(), s_.instance, images_->ImgIcons(), [this] {
    tree_.Create(hwnd(), kIdTreeView1, TVS_EDITLABELS);
    tree_.SetImageList(images_->ImageList1());
  });
  for (HWND control : {tree_.hwnd(), c_.txtTitle, c_.txtCommand, c_.txtFile}) Subclass(control);
  CustControls::AttachMenuBar(hwnd());
  // The movable flag follows position 4 at every build and every change.
  CustControls::ShowOptionMarks(hwnd(), OptionsMarks(s_.state.options, s_.state.options.IsOn(kOptToolbarMovable)));
  PlaceWindow();

  AppState& state = s_.state;
  CustServices services{s_.fs,
                        dialogs_,
                        state.options,
                        state.folders.program,
                        state.folders.menus,
                        state.HttpIconFile,
                        SpecialFolder(kFolderStartMenu),
                        SpecialFolder(kFolderDesktop),
                        [this](const TipInfo& tip) { ShowTip(tip); }};
  model_ = std::make_unique<CustModel>(std::move(services));
  Run([this] { return model_->Open(); });
  if (!Loaded()) return false;

  ShowWindow(hwnd(), SW_SHOWNORMAL);
  SetForegroundWindow(hwnd());
  SetFocus(tree_.hwnd());
  return true;
}

// Centred in the work area, two thirds of its height, never smaller than the
// controls need.
void frmCust::PlaceWindow() {
  const Tpp& tpp = s_.tpp;
  const CustMetrics metrics = c_.Metrics(hwnd(), tpp);
  minClient_ = CustMinimumClient(metrics);
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, GetWindowLongA(hwnd(), GWL_STYLE), TRUE, GetWindowLongA(hwnd(), GWL_EXSTYLE));
  const TwipSize nonClient{(frame.right - frame.left) * tpp.x, (frame.bottom - frame.top) * tpp.y};
  const TwipSize client = CustOpeningClient(
      {(work.right - work.left) * tpp.x, (work.bottom - work.top) * tpp.y}, nonClient, metrics);
  const int w = TwipsToPxX(client.w + nonClient.w, tpp), h = TwipsToPxY(client.h + nonClient.h, tpp);
  const int x = work.left + std::max(0, (static_cast<int>(work.right - work.left) - w) / 2);
  const int y = work.top + std::max(0, (static_cast<int>(work.bottom - work.top) - h) / 2);
  SetWindowPos(hwnd(), nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  LayOut();
}

std::string frmCust::SpecialFolder(std::int16_t number) const {
  Error error;
  const auto component = s_.shell.Create(error);
  std::string path;
  if (!component || component->GetSpecialFolder(reinterpret_cast<std::uintptr_t>(hwnd()), number, path))
    return {};
  path = Trim(path);
  return path.empty() ? path : WithBackslash(path);
}

void frmCust::LayOut() {
  if (!Loaded() || !c_.cmdCancel) return;
  const RECT oldPanel = panel_;
  panel_ = c_.LayOut(hwnd(), tree_.hwnd(), s_.tpp);
  // The page does not clip its children: what lies in the frame repaints too.
  for (const RECT* r : {&oldPanel, static_cast<const RECT*>(&panel_)})
    RedrawWindow(hwnd(), r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void frmCust::OnSize(UINT state, int, int) {
  if (state != SIZE_MINIMIZED) LayOut();
}

bool frmCust::OnPaint(HDC dc) {
  // The property panel: an etched frame around its boxes and buttons.
  RECT frame = panel_;
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  return true;
}

// ---------------------------------------------------------------------------
// Effects

void frmCust::Run(const std::function<CustEffects()>& call) {
  if (!model_) return;
  ++busy_;
  const CustEffects fx = call();
  if (Loaded()) Apply(fx);
  --busy_;
}

void frmCust::Apply(const CustEffects& fx) {
  ++applying_;
  {
    // Large batches (opening, a whole menu's icons) draw once at the end.
    std::optional<TreeViewControl::NoRedraw> quiet;
    if (fx.tree.size() > 32) quiet.emplace(tree_);
    for (const TreeChange& change : fx.tree) ApplyChange(change);
  }
  if (fx.select != kNoNode) {
    tree_.Select(fx.select);
    tree_.EnsureVisible(fx.select);
  }
  if (fx.boxes) ShowBoxes(*fx.boxes);
  if (fx.focus == CustFocus::Tree) SetFocus(tree_.hwnd());
  if (fx.focus == CustFocus::Title) SetFocus(c_.txtTitle);
  --applying_;

  if (fx.timer == TimerChange::Start) SetTimer(hwnd(), kTimer1, kTimer1Interval, nullptr);
  if (fx.timer == TimerChange::Stop) KillTimer(hwnd(), kTimer1);
  if (fx.beep) MessageBeep(MB_OK);
  if (fx.endDrag) {
    EndDragPicture();
    tree_.SetDropTarget(std::nullopt);
    dropTarget_.reset();
  }
  if (fx.uncheckSelectFrom) {
    SendMessageA(c_.chkStartMenu, BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageA(c_.chkDesktop, BM_SETCHECK, BST_UNCHECKED, 0);
  }
  if (fx.showLibrary) ShowLibrary();
  if (fx.rebuildToolbar && s_.rebuildToolbar) s_.rebuildToolbar();
  if (fx.editLabel != kNoNode) tree_.EditLabel(fx.editLabel);
  if (fx.popup) ShowPopup(*fx.popup);
  if (fx.close) Unload();
}

void frmCust::ApplyChange(const TreeChange& change) {
  switch (change.op) {
    case TreeChange::Op::Insert: {
      // The entries of a closed menu wait until it opens (Populate).
      if (unfilled_.count(change.parent)) break;
      const CustNode* node = model_->Node(change.node);
      const bool closedMenu = node && model_->KindOf(change.node) == NodeKind::MenuButton &&
                              node->childCount > 0 && !node->expanded;
      const auto place = change.after == kNoNode ? TreeViewControl::Place::First : TreeViewControl::Place::After;
      if (tree_.Insert(change.node, Some(change.parent), place, Some(change.after), change.text,
                       images_->IndexOf(change.image), closedMenu) &&
          closedMenu)
        unfilled_.insert(change.node);
      break;
    }
    case TreeChange::Op::Remove:
      tree_.Remove(change.node);
      unfilled_.erase(change.node);
      break;
    case TreeChange::Op::SetText: tree_.SetText(change.node, change.text); break;
    case TreeChange::Op::SetImage: tree_.SetImage(change.node, images_->IndexOf(change.image)); break;
    case TreeChange::Op::Expand:
      Populate(change.node);
      tree_.Expand(change.node, true);
      break;
  }
}

void frmCust::Populate(NodeId menu) {
  if (!unfilled_.erase(menu) || !model_) return;
  // Appended in order before the menu opens: the control places hidden items
  // without measuring or drawing anything.
  const std::vector<NodeId> entries = model_->Children(menu);
  for (const NodeId id : entries) {
    const CustNode& entry = *model_->Node(id);
    tree_.Insert(id, menu, TreeViewControl::Place::Last, std::nullopt, entry.text, images_->IndexOf(entry.image));
  }
  if (entries.empty()) tree_.SetHasChildren(menu, false);
}

void frmCust::ShowBoxes(const Boxes& boxes) {
  shown_ = boxes;
  const std::pair<CustBox, const std::string*> texts[] = {
      {CustBox::Title, &boxes.title}, {CustBox::File, &boxes.command}, {CustBox::Icon, &boxes.icon}};
  for (const auto& [box, text] : texts) {
    HWND edit = c_.Box(box);
    if (WindowTextOf(edit) != *text) SetWindowTextA(edit, text->c_str());
    InvalidateRect(edit, nullptr, TRUE);  // the colour may have changed
  }
}

void frmCust::ShowPopup(const PopupState& state) {
  c_.EnablePopup(state);
  // At the pointer for a click, below the selected node for the keyboard.
  POINT at{};
  GetCursorPos(&at);
  if (std::exchange(popupAtSelection_, false)) {
    RECT item{};
    if (HTREEITEM h = tree_.ItemOf(model_->Selected())) {
      std::memcpy(&item, &h, sizeof h);  // the item goes in, its rectangle comes back
      if (SendMessageA(tree_.hwnd(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&item))) {
        at = {item.left, item.bottom};
        ClientToScreen(tree_.hwnd(), &at);
      }
    }
  }
  SetForegroundWindow(hwnd());
  const int chosen = static_cast<int>(TrackPopupMenu(
      c_.popup.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, 0, hwnd(),
      nullptr));
  PostMessageA(hwnd(), WM_NULL, 0, 0);
  if (!model_) return;
  if (chosen >= kPopupFirst && chosen <= kPopupLast) Run([&] { return model_->PopupClick(chosen); });
  if (chosen >= kModuleFirst && chosen <= kModuleLast) Run([&] { return model_->ModuleClick(chosen); });
}

void frmCust::ShowTip(const TipInfo& tip) {
  if (s_.showTip) s_.showTip(hwnd(), tip.title, TipText(tip.text), tip.position);
}

// ---------------------------------------------------------------------------
// The icon library

void frmCust::ShowLibrary() {
  if (!library_)
    library_ = MakeWindow<frmLibrary>(
        LibraryServices{s_.instance, s_.tpp, s_.fs, s_.state.folders.icons, static_cast<LibraryHost&>(*this)});
  if (!library_->ShowLibrary(hwnd())) {
    library_.reset();
    if (model_) model_->LibraryUnloaded();
  }
}

bool frmCust::HostCanTakeIcon() {
  if (!model_ || model_->Selected() == kNoNode) return false;
  const NodeKind kind = model_->KindOf(model_->Selected());
  return kind != NodeKind::MenuRoot && kind != NodeKind::SingleRoot;
}

void frmCust::HostIconChosen(const std::string& iconPath) {
  if (model_ && Loaded()) Run([&] { return model_->LibraryIconChosen(iconPath); });
}

void frmCust::HostLibraryClosed() {
  // The library hid itself: the page is where the user goes on.
  if (Loaded() && !unloading_ && IsWindowVisible(hwnd())) SetForegroundWindow(hwnd());
}

// ---------------------------------------------------------------------------
// Commands

bool frmCust::OnCommand(int id, int code, HWND control) {
  if (!model_) return false;
  if (id >= kEditToolbarFirstId && id < kEditToolbarFirstId + static_cast<int>(std::size(kEditToolbar))) {
    if (const char* key = kEditToolbar[id - kEditToolbarFirstId].key)
      Run([&] { return model_->ToolbarClick(key); });
    return true;
  }
  if (code == EN_CHANGE) {
    const auto box = c_.BoxOf(control);
    // The page's own updates are what the model already holds.
    if (box && !applying_) model_->SetBoxText(*box, WindowTextOf(control));
    return box.has_value();
  }
  if (control && code != BN_CLICKED) return false;
  return RunCommand(id);
}

bool frmCust::RunCommand(int id) {
  if (id >= kOptionsMenuFirst && id <= kOptionsMenuLast) {
    OptionsClick(id);
    return true;
  }
  switch (id) {
    case kIdCmdOK: Run([this] { return model_->Confirm(); }); return true;
    case kIdCmdSelect: Run([this] { return model_->SelectFile(); }); return true;
    case kIdCmdAllFiles: Run([this] { return model_->SelectIconFile(); }); return true;
    case kIdCmdLibrary: Run([this] { return model_->OpenLibrary(); }); return true;
    case kIdCmdBrowseFiles: Run([this] { return model_->BrowseFiles(); }); return true;
    case kIdCmdBrowseFolders: Run([this] { return model_->BrowseFolders(); }); return true;
    case kIdChkStartMenu:
    case kIdChkDesktop: SelectFromClicked(id); return true;
    case kIdCmdSave:
    case kMnuFileSave: Save(); return true;
    case kIdCmdCancel:
    case kMnuFileExit: RequestClose(); return true;
    case IDCANCEL:  // Esc: ends a drag, closes nothing
      if (dragging_) CancelDrag();
      return true;
    case IDOK:  // Enter outside the boxes and the buttons
      return true;
  }
  return false;
}

void frmCust::SelectFromClicked(int id) {
  // At most one of the two is ticked.
  HWND clicked = id == kIdChkStartMenu ? c_.chkStartMenu : c_.chkDesktop;
  HWND other = id == kIdChkStartMenu ? c_.chkDesktop : c_.chkStartMenu;
  const bool on = SendMessageA(clicked, BM_GETCHECK, 0, 0) == BST_CHECKED;
  if (on) SendMessageA(other, BM_SETCHECK, BST_UNCHECKED, 0);
  model_->SetSelectFrom(!on ? SelectFrom::None
                            : id == kIdChkStartMenu ? SelectFrom::StartMenu
                                                    : SelectFrom::Desktop);
}

// An Options menu choice: the program's Options string changes in memory, and
// the marks show what it holds now.
void frmCust::OptionsClick(int id) {
  if (!model_) return;
  ++busy_;
  OptionsServices services{s_.state.options,    dialogs_, s_.fs, s_.state.folders.program, s_.shell,
                           reinterpret_cast<std::uintptr_t>(hwnd()), s_.toolbar};
  const OptionsEffects fx = OptionsMenuClick(id, services);
  if (Loaded()) {
    CustControls::ShowOptionMarks(hwnd(), fx.marks);
    if (fx.showExtension && model_) model_->SetShowExtension(*fx.showExtension);
    // A rebuilt toolbar takes the front; the user is still on the page.
    if (fx.toolbar == ToolbarRequest::Rebuilt) SetForegroundWindow(hwnd());
  }
  --busy_;
}

void frmCust::Save() {
  if (!model_ || saving_) return;
  ++busy_;
  saving_ = true;
  // The pressed button comes up before the files are written.
  DoEvents();
  if (Loaded() && model_) {
    WaitCursor hourglass;
    Run([this] { return model_->Save(); });
  }
  saving_ = false;
  --busy_;
}

void frmCust::RequestClose() {
  // A close while the page waits for the user (a question, a file dialog)
  // waits too.
  if (busy_ || unloading_) return;
  if (!model_) {
    Unload();
    return;
  }
  Run([this] { return model_->QueryUnload(); });
}

bool frmCust::QueryExit() {
  if (!Loaded() || unloading_) return true;
  if (!model_ || busy_) return false;
  if (IsIconic(hwnd())) ShowWindow(hwnd(), SW_RESTORE);
  SetForegroundWindow(hwnd());
  Run([this] { return model_->QueryUnload(); });
  return !Loaded();
}

void frmCust::Unload() {
  if (!Loaded() || unloading_) return;
  unloading_ = true;
  // No message loop runs in between: the page is hidden and gone in one go,
  // and nothing can reach it half torn down.
  ShowWindow(hwnd(), SW_HIDE);
  KillTimer(hwnd(), kTimer1);
  EndDragPicture();
  // The library goes before the page it belongs to.
  library_.reset();
  if (model_ && model_->libraryOpen()) model_->LibraryUnloaded();
  {
    TreeViewControl::NoRedraw quiet(tree_);
    tree_.Clear();
  }
  tree_.SetImageList(nullptr);
  Destroy();
}

void frmCust::OnDestroyed() {
  // Everything goes with the window; the next opening builds a fresh page
  // from the files.
  library_.reset();
  unfilled_.clear();
  model_.reset();
  dragPicture_.End(nullptr);
  c_ = CustControls();
  images_.reset();
}

void frmCust::OnTimer(UINT_PTR id) {
  if (id == kTimer1 && model_) Run([this] { return model_->TimerElapsed(); });
}

// ---------------------------------------------------------------------------
// The tree and the boxes

NodeId frmCust::HitNode(POINT treeClient) const {
  TVHITTESTINFO hit{};
  hit.pt = treeClient;
  HTREEITEM item = reinterpret_cast<HTREEITEM>(
      SendMessageA(tree_.hwnd(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  // The row's picture, text or the room right of it; the expand button and
  // the indent only open and close.
  if (!item || !(hit.flags & (TVHT_ONITEM | TVHT_ONITEMRIGHT))) return kNoNode;
  return tree_.NodeOf(item).value_or(kNoNode);
}

std::optional<LRESULT> frmCust::OnControlMessage(HWND control, UINT msg, WPARAM wp, LPARAM lp) {
  if (!model_) return std::nullopt;
  if (control == tree_.hwnd()) return TreeMessage(msg, wp, lp);
  if (const auto box = c_.BoxOf(control)) return BoxMessage(*box, control, msg, wp, lp);
  return std::nullopt;
}

std::optional<LRESULT> frmCust::TreeMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_KEYDOWN:
      Run([&] { return model_->TreeKeyDown(static_cast<int>(wp), ModifierKeys()); });
      break;
    case WM_CHAR: {
      bool discard = false;
      Run([&] {
        CustEffects fx = model_->TreeKeyPress();
        discard = fx.discardChar;
        return fx;
      });
      if (discard) return 0;
      break;
    }
    case WM_KEYUP:
      Run([this] { return model_->TreeKeyUp(); });
      break;
    case WM_LBUTTONDOWN: {
      // The control sees the click first: a click on the node already
      // selected starts editing its title, and selecting it beforehand would
      // make every first click such a click.
      const LRESULT result = DefSubclassProc(tree_.hwnd(), msg, wp, lp);
      if (model_) Run([&] { return model_->MouseDown(HitNode(PointOf(lp))); });
      return result;
    }
    case WM_RBUTTONDOWN:
      // Selected before the control asks for its menu: the menu is the node's.
      Run([&] { return model_->MouseDown(HitNode(PointOf(lp))); });
      break;
  }
  return std::nullopt;
}

std::optional<LRESULT> frmCust::BoxMessage(CustBox box, HWND control, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_GETDLGCODE: {
      // Enter confirms the boxes instead of pressing a button of the page.
      const auto* m = reinterpret_cast<const MSG*>(lp);
      LRESULT code = DefSubclassProc(control, msg, wp, lp);
      if (m && m->message == WM_KEYDOWN && m->wParam == VK_RETURN) code |= DLGC_WANTALLKEYS;
      return code;
    }
    case WM_CHAR: {
      bool discard = false;
      Run([&] {
        CustEffects fx = model_->BoxKeyPress(box, static_cast<int>(wp));
        discard = fx.discardChar;
        return fx;
      });
      if (discard) return 0;
      break;
    }
    case WM_KEYDOWN:
      if (wp == VK_F2 || wp == VK_F3) {
        Run([&] { return model_->BoxKeyDown(box, static_cast<int>(wp)); });
        return 0;
      }
      break;
  }
  return std::nullopt;
}

std::optional<LRESULT> frmCust::OnNotify(NMHDR& header) {
  if (header.hwndFrom == tree_.hwnd()) return TreeNotify(header);
  if (header.code == TTN_GETDISPINFOA || header.code == TTN_GETDISPINFOW) return ToolTipText(header);
  return std::nullopt;
}

// The edit toolbar's tool-tips, from its table.
std::optional<LRESULT> frmCust::ToolTipText(NMHDR& header) const {
  const auto index = static_cast<int>(header.idFrom) - kEditToolbarFirstId;
  if (index < 0 || index >= static_cast<int>(std::size(kEditToolbar))) return std::nullopt;
  const char* tip = kEditToolbar[index].toolTip;
  if (!tip) return std::nullopt;
  if (header.code == TTN_GETDISPINFOA) {
    reinterpret_cast<NMTTDISPINFOA&>(header).lpszText = const_cast<char*>(tip);
  } else {
    auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
    MultiByteToWideChar(CP_ACP, 0, tip, -1, info.szText, static_cast<int>(std::size(info.szText)));
    info.lpszText = info.szText;
  }
  return 0;
}

std::optional<LRESULT> frmCust::TreeNotify(NMHDR& header) {
  if (!model_) return std::nullopt;
  const auto& tv = reinterpret_cast<const NMTREEVIEWA&>(header);
  const auto& edit = reinterpret_cast<const NMTVDISPINFOA&>(header);
  switch (header.code) {
    case TVN_SELCHANGEDA:
      // Only the user's choice: the page's own selections are the model's.
      if (applying_ || tv.action == TVC_UNKNOWN) return 0;
      if (const auto id = tree_.NodeOf(tv.itemNew.hItem)) Run([&] { return model_->NodeClick(*id); });
      return 0;
    case TVN_ITEMEXPANDINGA:
      // A menu opening: its entries get their icons and their items while
      // they are still hidden, which costs the control nothing to redraw.
      if (const auto id = tree_.NodeOf(tv.itemNew.hItem); id && (tv.action & TVE_EXPAND)) {
        if (!applying_) Run([&] { return model_->NodeExpanded(*id, true); });
        Populate(*id);
      }
      return FALSE;
    case TVN_ITEMEXPANDEDA:
      if (applying_ || !(tv.action & TVE_COLLAPSE)) return 0;
      if (const auto id = tree_.NodeOf(tv.itemNew.hItem)) Run([&] { return model_->NodeExpanded(*id, false); });
      return 0;
    case TVN_BEGINDRAGA:
      BeginDrag(tv);
      return 0;
    case TVN_BEGINLABELEDITA: {
      const auto id = tree_.NodeOf(edit.item.hItem);
      if (!id || !model_->CanEditLabel(*id)) return TRUE;  // no editing
      // The record's title holds 50 characters.
      if (HWND box = reinterpret_cast<HWND>(SendMessageA(tree_.hwnd(), TVM_GETEDITCONTROL, 0, 0)))
        SendMessageA(box, EM_LIMITTEXT, 50, 0);
      return FALSE;
    }
    case TVN_ENDLABELEDITA:
      if (const auto id = tree_.NodeOf(edit.item.hItem)) {
        const std::optional<std::string> text =
            edit.item.pszText ? std::optional<std::string>(edit.item.pszText) : std::nullopt;
        Run([&] { return model_->LabelEditEnded(*id, text); });
      }
      // The control keeps its text: the node shows what the model holds.
      return FALSE;
    case NM_RCLICK:
      Run([this] { return model_->MouseUp(true); });
      return TRUE;  // no WM_CONTEXTMENU after it
  }
  return std::nullopt;
}

// Boxes that do not apply to the selected node take the panel's colour.
LRESULT frmCust::BoxColours(HDC dc, HWND box) const {
  const auto which = c_.BoxOf(box);
  const bool shaded = which && ((*which == CustBox::Title && shown_.titleShaded) ||
                                (*which == CustBox::File && shown_.commandShaded) ||
                                (*which == CustBox::Icon && shown_.iconShaded));
  const int colour = shaded ? COLOR_BTNFACE : COLOR_WINDOW;
  SetBkColor(dc, GetSysColor(colour));
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(colour));
}

// ---------------------------------------------------------------------------
// Drag and drop: the page holds the mouse from the start of a drag to the drop.

void frmCust::BeginDrag(const NMTREEVIEWA& info) {
  const auto id = tree_.NodeOf(info.itemNew.hItem);
  if (!id || busy_ || dragging_ || !model_->BeginDrag(*id)) return;
  dragging_ = true;
  const CustNode& node = *model_->Node(*id);
  dragPicture_.Begin(tree_.hwnd(), info.itemNew.hItem, info.ptDrag, images_->ImageList1(),
                     images_->IndexOf(node.image), node.text);
  SetCapture(hwnd());
}

void frmCust::DragTo(POINT screen) {
  // Nothing may paint over the picture once it shows.
  if (!dragPicture_.Showing()) UpdateWindow(tree_.hwnd());
  dragPicture_.MoveTo(hwnd(), screen);
  POINT inTree = screen;
  ScreenToClient(tree_.hwnd(), &inTree);
  RECT client{};
  GetClientRect(tree_.hwnd(), &client);
  // Near the top or bottom edge the tree scrolls, so far nodes can be reached.
  const int row = static_cast<int>(SendMessageA(tree_.hwnd(), TVM_GETITEMHEIGHT, 0, 0));
  int scroll = -1;
  if (inTree.y >= client.top && inTree.y < client.top + row / 2) scroll = SB_LINEUP;
  if (inTree.y < client.bottom && inTree.y >= client.bottom - row / 2) scroll = SB_LINEDOWN;
  const std::optional<NodeId> target = Some(HitNode(inTree));
  if (target == dropTarget_ && scroll < 0) return;
  dragPicture_.Hide();
  if (scroll >= 0) SendMessageA(tree_.hwnd(), WM_VSCROLL, static_cast<WPARAM>(scroll), 0);
  if (target != dropTarget_) {
    tree_.SetDropTarget(target);
    dropTarget_ = target;
  }
  UpdateWindow(tree_.hwnd());
  dragPicture_.Show();
}

void frmCust::EndDragPicture() {
  if (!dragging_) return;
  dragging_ = false;
  dragPicture_.End(hwnd());
  if (GetCapture() == hwnd()) ReleaseCapture();
}

void frmCust::Drop(POINT screen) {
  EndDragPicture();
  POINT inTree = screen;
  ScreenToClient(tree_.hwnd(), &inTree);
  const NodeId target = HitNode(inTree);
  Run([&] { return model_->Drop(target); });
}

void frmCust::CancelDrag() {
  EndDragPicture();
  Run([this] { return model_->CancelDrag(); });
}

bool frmCust::OnMouse(const MouseEvent& e) {
  if (!dragging_ || !model_) return false;
  POINT screen = e.pt;
  ClientToScreen(hwnd(), &screen);
  switch (e.message) {
    case WM_MOUSEMOVE: DragTo(screen); return true;
    case WM_LBUTTONUP: Drop(screen); return true;
    case WM_RBUTTONDOWN: CancelDrag(); return true;
  }
  return false;
}

// ---------------------------------------------------------------------------

LRESULT frmCust::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CLOSE:
      RequestClose();
      return 0;
    case WM_QUERYENDSESSION:
      // Windows is ending: unsaved edits are asked about first.
      return QueryExit() ? TRUE : FALSE;
    case WM_GETMINMAXINFO: {
      RECT frame{0, 0, TwipsToPxX(minClient_.w, s_.tpp), TwipsToPxY(minClient_.h, s_.tpp)};
      AdjustWindowRectEx(&frame, GetWindowLongA(hwnd(), GWL_STYLE), TRUE, GetWindowLongA(hwnd(), GWL_EXSTYLE));
      if (minClient_.w > 0)
        reinterpret_cast<MINMAXINFO*>(lp)->ptMinTrackSize = {frame.right - frame.left, frame.bottom - frame.top};
      return 0;
    }
    case WM_CTLCOLOREDIT:
      return BoxColours(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_PRINTCLIENT:  // themed controls ask for the background they stand on
    case WM_ERASEBKGND: {  // the flat edit toolbar too
      RECT area{};
      GetClientRect(hwnd(), &area);
      FillRect(reinterpret_cast<HDC>(wp), &area, GetSysColorBrush(COLOR_BTNFACE));
      if (msg == WM_ERASEBKGND) return 1;
      break;
    }
    case WM_SETCURSOR:
      if (!saving_) break;
      SetCursor(LoadCursorA(nullptr, IDC_WAIT));
      return TRUE;
    case WM_CAPTURECHANGED:
      // Another window took the mouse (a switch of programs): the drag ends.
      if (dragging_ && reinterpret_cast<HWND>(lp) != hwnd()) CancelDrag();
      return 0;
    case WM_CONTEXTMENU:
      // Shift+F10 or the menu key in the tree.
      if (reinterpret_cast<HWND>(wp) != tree_.hwnd() || !model_) break;
      popupAtSelection_ = lp == -1;
      Run([this] { return model_->MouseUp(true); });
      return 0;
    case WM_ACTIVATE:
      // Coming back, the control that had the keyboard has it again.
      if (LOWORD(wp) == WA_INACTIVE) {
        if (HWND focus = GetFocus(); focus && IsChild(hwnd(), focus)) lastFocus_ = focus;
      } else if (!HIWORD(wp)) {
        SetFocus(lastFocus_ && IsWindow(lastFocus_) ? lastFocus_ : tree_.hwnd());
      }
      return 0;
  }
  if (TestHooksEnabled()) {
    static const UINT probe = RegisterWindowMessageA("Velmora.CustomizeProbe");
    if (msg == probe) return Probe(wp);
  }
  return Window::HandleMessage(msg, wp, lp);
}

// For the benchmark and the tests only (TestHooksEnabled): 0 the shell
// look-ups so far, 1 opens every menu as clicks on their buttons would and
// answers how many, 2 the nodes the control holds, 3 the Options menu's
// check marks as the menu shows them (bit i: item kOptionsMenuFirst + i).
LRESULT frmCust::Probe(WPARAM what) {
  if (what == 0) return ShellLookups();
  if (what == 2) return static_cast<LRESULT>(tree_.Count());
  if (what == 3) {
    const OptionsMarkState marks = CustControls::OptionMarksShown(hwnd());
    LRESULT bits = 0;
    for (std::size_t i = 0; i < marks.checked.size(); ++i)
      if (marks.checked[i]) bits |= LRESULT{1} << i;
    return bits;
  }
  if (what != 1 || !model_) return 0;
  const std::vector<NodeId> menus = model_->Children(model_->MenuRoot());
  for (const NodeId menu : menus) {
    tree_.Expand(menu, true);
    if (model_ && !model_->Node(menu)->expanded) Run([&] { return model_->NodeExpanded(menu, true); });
  }
  return static_cast<LRESULT>(menus.size());
}

}  // namespace velmora
