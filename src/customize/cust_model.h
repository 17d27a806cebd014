// The Customize page as a model: the two-level tree of toolbar buttons and
// menu entries, their text keys and the two key counters, each node's entry
// data (clsFile), the clipboard entry, the one-step undo list with its anchors,
// the three property boxes, and the page's flags. The window only shows the
// model and feeds it events: every call returns CustEffects, which say what
// the window must change, in order. Questions and messages go through
// Dialogs, the file and folder dialogs too; nothing here knows about Windows.
//
// Identity. The window refers to nodes by NodeId: the node's number in the
// order nodes were added to the tree (1 is always "Menu Buttons"; right after
// opening, 2 is the first menu button or "Single Buttons"). An id is never
// reused while the page is open, so a stale id can only miss, never hit the
// wrong node. The text keys ("QM", "QM2", "B"n, "M"n) decide a node's kind and
// are what the key counters number; they never reach the files.
//
// Key counters. They count like 16-bit counters, from 1. When one would pass
// 32767, the live keys of its family are renumbered 1..n in tree order: nothing
// outside the model holds a key (the window holds ids, the undo anchors hold
// ids), so renumbering is invisible. A configuration with more than 16383 live
// keys of one family cannot be given lasting room that way; its counter simply
// counts on past 32767 instead of renumbering again and again.
//
// Images. A node shows a fixed picture ("unknown", "new", "break", "sep",
// "button", "qmark") or the shell's small icon of a file. The model asks for a
// shell icon only when a node gets its icon drawn: on opening for the roots and
// the toolbar buttons, for a menu's entries at the menu's first expansion, and
// when an operation creates an entry or changes its icon source. Opening the
// page therefore costs one shell look-up per toolbar button, not per entry.
//
// Driving it. The window maps each message to one call and applies what
// comes back, in the order CustEffects lists:
//   WM_CREATE            Open(), after the shell component gave the Start
//                        Menu and Desktop folders (CustServices)
//   TVN_SELCHANGED       NodeClick() (by mouse or keyboard only: a selection
//                        the window makes while applying effects is ignored)
//   mouse down / up      MouseDown(hit) / MouseUp(right); a right button up
//                        returns the popup's enabled states to show
//   TVN_ITEMEXPANDED     NodeExpanded()
//   tree WM_KEYDOWN, WM_CHAR, WM_KEYUP   TreeKeyDown(), TreeKeyPress(), TreeKeyUp()
//   TVN_BEGINDRAG        BeginDrag(); the drop: Drop(target), Esc: CancelDrag()
//   TVN_ENDLABELEDIT     LabelEditEnded(), always refusing the control's change
//   edit toolbar, popup and module menu    ToolbarClick(), PopupClick(), ModuleClick()
//   EN_CHANGE            SetBoxText(); WM_CHAR / WM_KEYDOWN in a box:
//                        BoxKeyPress() / BoxKeyDown(); the buttons: Confirm(),
//                        SelectFile(), SelectIconFile(), OpenLibrary(),
//                        BrowseFiles(), BrowseFolders(); check boxes: SetSelectFrom()
//   Timer1 (WM_TIMER)    TimerElapsed()
//   icon library OK      LibraryIconChosen()
//   "&Update Toolbar"    Save(); WM_CLOSE and "E&xit": QueryUnload()
// Tree changes name nodes by NodeId; the window keeps an id -> HTREEITEM map.
//
// Decisions beyond the rules the page has always had:
//  * A menu button that is moved keeps its expanded or collapsed state.
//  * Undo Delete of a menu button that had no entries restores a menu button
//    (a "B" key among the menu buttons), not an entry without a menu.
//  * The undo anchors follow an anchor node that is moved (up, down or by a
//    drop); an anchor that was cut leaves the restored node first in the
//    parent it was deleted from.
//  * Undo Delete and an accepted label edit mark the page changed, and a save
//    that fails leaves it changed: closing never silently drops them.
//  * A root is never dragged: dropping it would remove a whole half of the tree.
//  * A menu file that cannot be read on opening is reported, and the page then
//    refuses to save, since a save would delete that file.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/dialogs.h"
#include "customize/cust_save.h"
#include "customize/cust_tables.h"

namespace velmora {

class FileSystem;
class Options;

using NodeId = std::int32_t;
inline constexpr NodeId kNoNode = 0;
inline constexpr NodeId kMenuRootId = 1;

inline constexpr const char* kMenuRootKey = "QM";
inline constexpr const char* kSingleRootKey = "QM2";

enum class NodeKind : std::uint8_t { MenuRoot, SingleRoot, MenuButton, MenuItem, SingleButton };

// An entry's data beside its node; the entry's title is the node text.
class clsFile {
 public:
  std::string FileName;  // icon source or a marker
  std::string FileExe;   // what runs
};

// One record of the undo list: a node taken away by the last Delete.
class clsUndo {
 public:
  std::string FileTitle;
  std::string FileName;
  std::string FileExe;
};

struct NodeImage {
  std::string key;        // a fixed picture; empty when shellFile names the icon
  std::string shellFile;  // the shell's small icon of this file; "qmark" when it knows none
  static NodeImage Fixed(std::string key) { return {std::move(key), {}}; }
  static NodeImage Shell(std::string file) { return {{}, std::move(file)}; }
  friend bool operator==(const NodeImage&, const NodeImage&) = default;
};

struct CustNode {
  NodeId id = kNoNode;
  std::string key;
  std::string text;
  clsFile file;
  NodeImage image;
  NodeId parent = kNoNode;
  NodeId prev = kNoNode;
  NodeId next = kNoNode;
  NodeId firstChild = kNoNode;
  NodeId lastChild = kNoNode;
  int childCount = 0;
  // A menu button whose entries still show "unknown": they get their icons
  // when it is first expanded.
  bool iconsPending = false;
  bool expanded = false;
};

// One change of the tree control, applied in order.
struct TreeChange {
  enum class Op : std::uint8_t {
    Insert,    // node under parent, right after sibling `after` (kNoNode: as first child), with text and image
    Remove,    // node and its children
    SetText,   // node's text
    SetImage,  // node's image
    Expand,    // expand node
  };
  Op op;
  NodeId node = kNoNode;
  NodeId parent = kNoNode;
  NodeId after = kNoNode;
  std::string text;
  NodeImage image;
};

// The property boxes: Title (txtTitle), File (txtCommand, what runs) and
// Icon (txtFile, the icon source). A shaded box shows the panel's colour.
enum class CustBox : std::uint8_t { Title, File, Icon };
struct Boxes {
  std::string title;
  std::string command;  // the File box
  std::string icon;     // the Icon box
  bool titleShaded = false;
  bool commandShaded = false;
  bool iconShaded = false;
  friend bool operator==(const Boxes&, const Boxes&) = default;
};

enum class CustFocus : std::uint8_t { None, Tree, Title };
// Timer1: 1000 ms; Start (re)arms it, Stop kills it.
enum class TimerChange : std::uint8_t { None, Start, Stop };
// The "Select From" check boxes that choose the file dialogs' first folder.
enum class SelectFrom : std::uint8_t { None, StartMenu, Desktop };

// What the window must do after a call, in this order: apply `tree`, select
// and make visible `select`, fill the boxes, set the focus, then the rest.
struct CustEffects {
  std::vector<TreeChange> tree;
  NodeId select = kNoNode;
  std::optional<Boxes> boxes;
  CustFocus focus = CustFocus::None;
  TimerChange timer = TimerChange::None;
  bool beep = false;
  NodeId editLabel = kNoNode;     // start label editing of this node
  bool discardChar = false;       // swallow the character being typed
  std::optional<PopupState> popup;  // show the right-click menu with these states
  bool endDrag = false;           // clear the drop-target highlight, end the drag
  bool uncheckSelectFrom = false; // untick both "Select From" boxes
  bool showLibrary = false;       // show the icon library window
  bool rebuildToolbar = false;    // the files were rewritten: rebuild the toolbar
  bool close = false;             // unload the page
};

// What the page works with. The folders end in "\".
struct CustServices {
  FileSystem& fs;
  Dialogs& dialogs;
  Options& options;  // the tips and the extension option read and set it
  std::string programFolder;
  std::string menusFolder;
  std::string webIconFile;      // the icon source that stands for web addresses
  std::string startMenuFolder;  // looked up when the page loads
  std::string desktopFolder;
  // Shows a tip modally; its check box sets info.position in `options`.
  // Empty: tips are not shown.
  std::function<void(const TipInfo&)> showTip = {};
};

class CustModel {
 public:
  explicit CustModel(CustServices services);

  // ---- Opening --------------------------------------------------------------
  // Builds the tree from the Menus folder, selects node 2 and fills the boxes.
  // Call once.
  CustEffects Open();

  // ---- What the window reads --------------------------------------------------
  const CustNode* Node(NodeId id) const;
  NodeId FindKey(std::string_view key) const;  // letter case ignored; kNoNode when missing
  NodeKind KindOf(NodeId id) const;             // MenuRoot for an unknown id
  NodeId MenuRoot() const { return kMenuRootId; }
  NodeId SingleRoot() const { return singleRoot_; }
  std::vector<NodeId> Children(NodeId id) const;
  std::size_t NodeCount() const { return nodes_.size(); }
  std::size_t KeyCount() const { return byKey_.size(); }
  NodeId Selected() const { return selected_; }
  NodeId Current() const { return current_; }
  const Boxes& boxes() const { return boxes_; }
  PopupState AdjustPopup() const;

  bool changed() const { return changed_; }
  bool browseBusy() const { return browseBusy_; }
  bool timerRunning() const { return timerEnabled_; }
  bool dragging() const { return dragging_; }
  bool libraryOpen() const { return libraryOpen_; }
  bool showExtension() const { return showExtension_; }
  const clsFile& clipboard() const { return clipboard_; }
  const std::string& clipboardTitle() const { return clipboardTitle_; }
  const std::vector<clsUndo>& undoList() const { return undo_.records; }
  std::int32_t buttonCounter() const { return buttonCounter_; }
  std::int32_t itemCounter() const { return itemCounter_; }
  // Grows by one each time a family of keys is renumbered.
  int keyGeneration() const { return keyGeneration_; }

  // The records a save writes, from the tree as it is.
  ToolbarContent Content() const;

  // ---- Tree events ------------------------------------------------------------
  // The selection changed by mouse or keyboard (not by applying effects).
  CustEffects NodeClick(NodeId id);
  // A mouse button went down over `hit` (kNoNode: empty space).
  CustEffects MouseDown(NodeId hit);
  // A mouse button came up in the tree; a right button shows the popup.
  CustEffects MouseUp(bool rightButton);
  CustEffects NodeExpanded(NodeId id, bool expanded);
  // `modifiers`: KeyModifier bits.
  CustEffects TreeKeyDown(int virtualKey, int modifiers);
  CustEffects TreeKeyPress();
  CustEffects TreeKeyUp();
  // A drag of `id` wants to start; false: no drag.
  bool BeginDrag(NodeId id);
  // The dragged node was dropped on `target` (kNoNode: on no node).
  CustEffects Drop(NodeId target);
  CustEffects CancelDrag();
  bool CanEditLabel(NodeId id) const;
  // Label editing of `id` ended; nullopt when the user cancelled it. The
  // window refuses the control's own change (the edit returns FALSE) and
  // shows the text the effects set, so the tree never shows what the model
  // does not hold.
  CustEffects LabelEditEnded(NodeId id, const std::optional<std::string>& text);

  // ---- Commands -----------------------------------------------------------------
  CustEffects Run(CustCommand command);
  CustEffects ToolbarClick(std::string_view key);
  CustEffects PopupClick(int popupId);
  CustEffects ModuleClick(int moduleId);

  // ---- Property boxes -------------------------------------------------------------
  void SetBoxText(CustBox box, std::string text);  // the user typed
  CustEffects BoxKeyPress(CustBox box, int character);
  CustEffects BoxKeyDown(CustBox box, int virtualKey);
  CustEffects Confirm();            // "Confirm Changes in Entry Boxes", Enter
  CustEffects SelectFile();         // "Selec&t", F2 in the File box
  CustEffects SelectIconFile();     // "Othe&r", F2 in the Icon box
  CustEffects OpenLibrary();        // "Librar&y", F3 in the Icon box
  CustEffects LibraryIconChosen(const std::string& iconPath);
  void LibraryUnloaded() { libraryOpen_ = false; }
  CustEffects BrowseFiles();        // "Fi&les"
  CustEffects BrowseFolders();      // "Fol&ders"
  void SetSelectFrom(SelectFrom from) { selectFrom_ = from; }
  CustEffects TimerElapsed();       // Timer1 ticked
  // The "Leave Extension in File Title" option changed.
  void SetShowExtension(bool on) { showExtension_ = on; }

  // ---- Saving and leaving ------------------------------------------------------------
  // "&Update Toolbar". The window shows the hourglass around the call.
  CustEffects Save();
  // The page is about to close; effects.close says whether it may.
  CustEffects QueryUnload();

 private:
  struct UndoState {
    std::vector<clsUndo> records;
    bool menuButton = false;
    NodeId previous = kNoNode;  // the deleted node's previous sibling
    NodeId parent = kNoNode;    // its parent
  };
  enum class Place : std::uint8_t { Last, Before, After };

  CustNode* Find(NodeId id);
  const CustNode* Find(NodeId id) const { return Node(id); }
  NodeKind Kind(const CustNode& node) const;
  bool IsRoot(NodeId id) const;
  static bool IsMarker(const clsFile& file);
  static bool IsSeparator(const clsFile& file);

  std::string NextKey(char family);
  void Renumber(char family);

  NodeId AddNode(NodeId parent, NodeId after, std::string key, std::string text, clsFile file,
                 NodeImage image, CustEffects& fx);
  NodeId AddAt(NodeId anchor, Place place, std::string key, std::string text, clsFile file,
               NodeImage image, CustEffects& fx);
  void RemoveNode(NodeId id, CustEffects& fx);
  void Unlink(CustNode& node);
  void SetText(CustNode& node, std::string text, CustEffects& fx);
  void SetImage(CustNode& node, NodeImage image, CustEffects& fx);
  NodeImage DrawIcon(const std::string& fileName) const;
  void ExpandNode(CustNode& node, CustEffects& fx);
  void Select(NodeId id, CustEffects& fx);
  void CheckField(CustEffects& fx);
  void ShowBoxes(CustEffects& fx) { fx.boxes = boxes_; }
  void StartTimer(CustEffects& fx);
  void StopTimer(CustEffects& fx);
  void ShowTip(TipId id);
  void Message(const std::string& text, MsgIcon icon);
  void FollowMove(NodeId from, NodeId to);

  // Operations, appending to `fx`.
  void Execute(CustCommand command, CustEffects& fx);
  NodeId AddButton(Place place, CustEffects& fx);
  NodeId AddMenuItem(Place place, CustEffects& fx);
  void InsertMarker(bool separator, CustEffects& fx);
  void Copy(CustEffects& fx);
  void Cut(CustEffects& fx);
  void Paste(CustEffects& fx);
  void Delete(CustEffects& fx);
  void UndoDelete(CustEffects& fx);
  void Move(bool up, CustEffects& fx);
  void DragItem(NodeId source, NodeId target, CustEffects& fx);
  bool AddModule(CustEffects& fx);
  void DoConfirm(CustEffects& fx);
  CustEffects BrowseIntoBox(CustBox target);
  void ShowOpenFile(CustBox target, CustEffects& fx);
  CustEffects BrowseIntoSelected(void (CustModel::*browse)(CustEffects&));
  void DoBrowseFiles(CustEffects& fx);
  void DoBrowseFolder(CustEffects& fx);
  void AddFileToTree(CustEffects& fx);
  void DoSave(CustEffects& fx);
  std::string StartFolder() const;
  // Refuses a change of icon or file on a root or a marker; true when refused.
  bool RefuseIconChange(bool separatorOnly, const char* markerText);

  CustServices s_;
  std::unordered_map<NodeId, CustNode> nodes_;
  std::unordered_map<std::string, NodeId> byKey_;  // upper-case key
  NodeId lastId_ = kNoNode;
  NodeId singleRoot_ = kNoNode;
  NodeId selected_ = kNoNode;
  NodeId current_ = kNoNode;

  std::int32_t buttonCounter_ = 0;
  std::int32_t itemCounter_ = 0;
  std::int32_t liveButtonKeys_ = 0;
  std::int32_t liveItemKeys_ = 0;
  int keyGeneration_ = 0;

  Boxes boxes_;
  clsFile clipboard_;
  std::string clipboardTitle_;
  UndoState undo_;

  bool changed_ = false;
  bool saving_ = false;
  bool browseBusy_ = false;
  bool browseReplace_ = false;
  bool timerEnabled_ = false;
  bool showExtension_ = false;
  bool libraryOpen_ = false;
  bool dragging_ = false;
  bool modifierDown_ = false;
  NodeId dragSource_ = kNoNode;
  SelectFrom selectFrom_ = SelectFrom::None;
  std::string lastFolder_;
  // The first menu file that could not be read on opening; saving is refused.
  std::optional<UnreadableFile> unreadable_;
};

}  // namespace velmora
