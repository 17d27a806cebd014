// The Customize page: the tree of toolbar buttons and menu entries with its
// edit toolbar, the property panel, "&Update Toolbar" and "&Exit". Every rule
// is CustModel's: this window turns messages into model calls and applies the
// CustEffects that come back, in order. It shows the model's tree through a
// TreeViewControl (node ids <-> items), the model's pictures through
// CustImages, and its controls through CustControls.
//
// A menu's entries join the control when the menu first opens: a toolbar of
// 30,000 entries opens as fast as one of a few buttons, and Wine's tree view,
// which measures its scroll bars again at every change of a shown item, only
// ever sees hidden items change.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>

#include "customize/cust_controls_win.h"
#include "customize/cust_drag_win.h"
#include "customize/cust_model.h"
#include "customize/cust_options.h"
#include "iconlib/library_host.h"
#include "platform/dialogs_win.h"
#include "platform/treeview_win.h"
#include "platform/window_win.h"

namespace velmora {

struct AppState;
class CustImages;
class FileSystem;
class ShellComponentFactory;
class frmLibrary;
struct Tpp;

struct CustWindowServices {
  HINSTANCE instance = nullptr;
  const Tpp& tpp;
  FileSystem& fs;
  // The folders, the Options string (the Options menu, the tips) and the
  // file that stands for web addresses. The page edits the program's own
  // string: the program writes it to its file when it ends.
  AppState& state;
  // The Start Menu (11) and Desktop (0) folders, asked once as the page
  // opens; the Startup folder (7) for the Options menu's shortcut.
  ShellComponentFactory& shell;
  // After a save: the toolbar builds itself again from the files.
  std::function<void()> rebuildToolbar;
  // What the Options menu asks of the running toolbar.
  OptionsToolbar toolbar;
  // Shows a first-use tip modally over `owner`; its check box sets Options
  // string position `position`.
  std::function<void(HWND owner, const std::string& title, const std::string& text, int position)>
      showTip;
};

class frmCust : public Window, private LibraryHost {
 public:
  explicit frmCust(CustWindowServices services);
  ~frmCust() override;

  // Form_Load: creates the window, builds the tree from the Menus folder and
  // shows the page. False when the window could not be created.
  bool Load();
  // The program is ending while the page is open: the page asks what closing
  // it asks. True when it has closed; false keeps it (and the program) open.
  bool QueryExit();

  const CustModel* Model() const { return model_.get(); }
  // Shell look-ups made for the tree's pictures so far.
  int ShellLookups() const;

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnPaint(HDC dc) override;
  bool OnCommand(int id, int code, HWND control) override;
  std::optional<LRESULT> OnNotify(NMHDR& header) override;
  void OnTimer(UINT_PTR id) override;
  bool OnMouse(const MouseEvent& e) override;
  void OnSize(UINT state, int width, int height) override;
  std::optional<LRESULT> OnControlMessage(HWND control, UINT msg, WPARAM wp, LPARAM lp) override;
  void OnDestroyed() override;

  void PlaceWindow();
  void LayOut();
  std::string SpecialFolder(std::int16_t number) const;

  // Model calls. Run holds the page busy while the model works and its
  // effects are applied: a close that arrives meanwhile (through a message
  // box's message loop) waits for the user instead of pulling the page away.
  void Run(const std::function<CustEffects()>& call);
  void Apply(const CustEffects& fx);
  void ApplyChange(const TreeChange& change);
  void Populate(NodeId menu);
  void ShowBoxes(const Boxes& boxes);
  void ShowPopup(const PopupState& state);
  void ShowTip(const TipInfo& tip);
  void ShowLibrary();

  // LibraryHost: the icon library window, owned by the page.
  bool HostCanTakeIcon() override;
  void HostIconChosen(const std::string& iconPath) override;
  void HostLibraryClosed() override;

  // Commands.
  bool RunCommand(int id);
  void SelectFromClicked(int id);
  void OptionsClick(int id);
  void Save();
  void RequestClose();
  void Unload();

  // The tree and the boxes.
  NodeId HitNode(POINT treeClient) const;
  std::optional<LRESULT> TreeMessage(UINT msg, WPARAM wp, LPARAM lp);
  std::optional<LRESULT> BoxMessage(CustBox box, HWND control, UINT msg, WPARAM wp, LPARAM lp);
  std::optional<LRESULT> TreeNotify(NMHDR& header);
  std::optional<LRESULT> ToolTipText(NMHDR& header) const;
  LRESULT BoxColours(HDC dc, HWND box) const;
  void BeginDrag(const NMTREEVIEWA& info);
  void DragTo(POINT screen);
  void Drop(POINT screen);
  void CancelDrag();
  void EndDragPicture();
  LRESULT Probe(WPARAM what);

  CustWindowServices s_;
  Win32Dialogs dialogs_;
  std::unique_ptr<CustImages> images_;
  std::unique_ptr<CustModel> model_;
  TreeViewControl tree_;
  CustControls c_;
  // Loaded on first use, hidden between uses, destroyed before the page.
  WindowPtr<frmLibrary> library_;
  // Menu buttons whose entries are not in the control yet.
  std::unordered_set<NodeId> unfilled_;
  RECT panel_{};             // the property panel's frame, client pixels
  TwipSize minClient_;
  Boxes shown_;              // what the boxes show, for their colours
  HWND lastFocus_ = nullptr;
  bool popupAtSelection_ = false;  // the menu key, not the mouse, asked for it

  int busy_ = 0;
  int applying_ = 0;         // selections and expansions the page makes itself
  bool saving_ = false;
  bool unloading_ = false;
  bool dragging_ = false;
  DragPicture dragPicture_;
  std::optional<NodeId> dropTarget_;
};

}  // namespace velmora
