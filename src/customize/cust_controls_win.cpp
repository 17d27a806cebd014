#include "customize/cust_controls_win.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/image_list_win.h"
#include "platform/ui_win.h"
#include "platform/window_win.h"

namespace velmora {

namespace {

// A caption as it shows: a single "&" marks the mnemonic and takes no room.
std::string ShownCaption(std::string_view caption) {
  std::string out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    out += caption[i];
  }
  return out;
}

void AppendTable(HMENU menu, const CommandInfo* table, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    if (table[i].id == 0) AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    else AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(table[i].id), table[i].caption);
  }
}

// Edges rounded once each, so that neighbours stay flush at any DPI.
RECT ToPixels(const LayoutRect& r, const Tpp& tpp) {
  return RECT{TwipsToPxX(r.x, tpp), TwipsToPxY(r.y, tpp), TwipsToPxX(r.Right(), tpp),
              TwipsToPxY(r.Bottom(), tpp)};
}

HWND MakeToolbar(HWND page, HINSTANCE instance, const KeyedImageList& imgIcons) {
  HWND bar = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                             WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE |
                                 CCS_NODIVIDER | CCS_NOPARENTALIGN,
                             0, 0, 0, 0, page, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdToolbar1)),
                             instance, nullptr);
  SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  // The page's pictures; the toolbar only borrows them.
  SendMessageA(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(imgIcons.handle()));
  std::vector<TBBUTTON> buttons;
  for (std::size_t i = 0; i < std::size(kEditToolbar); ++i) {
    const EditToolbarButton& b = kEditToolbar[i];
    TBBUTTON tb{};
    tb.idCommand = kEditToolbarFirstId + static_cast<int>(i);
    tb.fsState = TBSTATE_ENABLED;
    tb.fsStyle = b.key ? BTNS_BUTTON : BTNS_SEP;
    tb.iBitmap = b.key ? imgIcons.IndexOf(b.key) : 0;
    tb.iString = -1;
    buttons.push_back(tb);
  }
  SendMessageA(bar, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  return bar;
}

}  // namespace

void CustControls::Create(HWND page, HINSTANCE instance, const KeyedImageList& imgIcons,
                          const std::function<void()>& makeTree) {
  const DWORD child = WS_CHILD | WS_VISIBLE;
  const auto label = [&](const char* text, int id) {
    return CreateChild(page, "STATIC", text, child | SS_NOPREFIX, 0, 0, 0, 0, id);
  };
  const auto button = [&](const char* text, int id, DWORD style = BS_PUSHBUTTON) {
    return CreateChild(page, "BUTTON", text, child | WS_TABSTOP | style, 0, 0, 0, 0, id);
  };
  // The record's fields hold 50 and 260 characters.
  const auto box = [&](int id, int limit) {
    HWND edit = CreateChild(page, "EDIT", "", child | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 0, 0, id,
                            WS_EX_CLIENTEDGE);
    SendMessageA(edit, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
    return edit;
  };
  const auto frame = [&](const char* text, int id) {
    return CreateChild(page, "BUTTON", text, child | BS_GROUPBOX, 0, 0, 0, 0, id);
  };

  lblMenuTree = label(kMenuTreeText, kIdLblMenuTree);
  lblProperties = label(kPropertiesText, kIdLblProperties);
  headingFont = DerivedUiFont(0, FW_BOLD, 0);
  for (HWND heading : {lblMenuTree, lblProperties})
    SendMessageA(heading, WM_SETFONT, reinterpret_cast<WPARAM>(headingFont.get()), FALSE);
  Toolbar1 = MakeToolbar(page, instance, imgIcons);
  makeTree();
  lblTitle = label("Title", kIdLblTitle);
  txtTitle = box(kIdTxtTitle, 50);
  lblFile = label("File", kIdLblFile);
  txtCommand = box(kIdTxtCommand, 260);
  lblIcon = label("Icon", kIdLblIcon);
  txtFile = box(kIdTxtFile, 260);
  cmdSelect = button("Selec&t", kIdCmdSelect);
  cmdAllFiles = button("Othe&r", kIdCmdAllFiles);
  cmdLibrary = button("Librar&y", kIdCmdLibrary);
  cmdOK = button("Confirm Changes in Entry Boxes", kIdCmdOK);
  fraBrowse = frame("Browse", kIdFraBrowse);
  cmdBrowseFiles = button("Fi&les", kIdCmdBrowseFiles);
  cmdBrowseFolders = button("Fol&ders", kIdCmdBrowseFolders);
  fraSelect = frame("Select From", kIdFraSelect);
  chkStartMenu = button("Start Men&u", kIdChkStartMenu, BS_AUTOCHECKBOX);
  chkDesktop = button("Deskto&p", kIdChkDesktop, BS_AUTOCHECKBOX);
  cmdSave = button("&Update Toolbar", kIdCmdSave);
  cmdCancel = button("&Exit", kIdCmdCancel);

  toolTips = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, page, nullptr,
                             instance, nullptr);
  const std::pair<HWND, const char*> tips[] = {
      {cmdSelect, "Select File"},
      {cmdAllFiles, "Select Icon from other Files"},
      {cmdLibrary, "Select Icon from Library"},
      {cmdBrowseFiles, "Show Open File Dialog"},
      {cmdBrowseFolders, "Show Browse for Folder Dialog"},
  };
  for (const auto& [control, text] : tips) {
    TOOLINFOA info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = page;
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = const_cast<char*>(text);
    if (toolTips) SendMessageA(toolTips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
  }

  popup.reset(CreatePopupMenu());
  HMENU modules = CreatePopupMenu();
  AppendTable(modules, kModuleMenu, std::size(kModuleMenu));
  for (const CommandInfo& item : kPopupMenu) {
    if (item.id == kPopupModule)
      AppendMenuA(popup.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(modules), item.caption);
    else
      AppendTable(popup.get(), &item, 1);
  }
}

void CustControls::AttachMenuBar(HWND page) {
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendTable(file, kFileMenu, std::size(kFileMenu));
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), kFileMenuCaption);
  HMENU options = CreatePopupMenu();
  AppendTable(options, kOptionsMenu, std::size(kOptionsMenu));
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(options), kOptionsMenuCaption);
  SetMenu(page, bar);  // the window owns it from here
}

void CustControls::ShowOptionMarks(HWND page, const OptionsMarkState& marks) {
  // By command: the bar passes the ids on to its submenus.
  HMENU bar = GetMenu(page);
  for (int id = kOptionsMenuFirst; id <= kOptionsMenuLast; ++id)
    CheckMenuItem(bar, static_cast<UINT>(id), MF_BYCOMMAND | (marks.IsChecked(id) ? MF_CHECKED : MF_UNCHECKED));
}

OptionsMarkState CustControls::OptionMarksShown(HWND page) {
  OptionsMarkState marks;
  HMENU bar = GetMenu(page);
  for (int id = kOptionsMenuFirst; id <= kOptionsMenuLast; ++id) {
    const UINT state = GetMenuState(bar, static_cast<UINT>(id), MF_BYCOMMAND);
    marks.checked[static_cast<std::size_t>(id - kOptionsMenuFirst)] =
        state != static_cast<UINT>(-1) && (state & MF_CHECKED);
  }
  return marks;
}

HWND CustControls::Box(CustBox box) const {
  switch (box) {
    case CustBox::Title: return txtTitle;
    case CustBox::File: return txtCommand;
    case CustBox::Icon: return txtFile;
  }
  return nullptr;
}

std::optional<CustBox> CustControls::BoxOf(HWND control) const {
  if (!control) return std::nullopt;
  for (const CustBox box : {CustBox::Title, CustBox::File, CustBox::Icon})
    if (Box(box) == control) return box;
  return std::nullopt;
}

CustMetrics CustControls::Metrics(HWND page, const Tpp& tpp) const {
  CustMetrics m;
  {
    WindowDC screen(page);
    Selection font(screen.get(), UiFont());
    TEXTMETRICA tm{};
    GetTextMetricsA(screen.get(), &tm);
    m.lineHeight = tm.tmHeight * tpp.y;
  }
  const auto size = static_cast<DWORD>(SendMessageA(Toolbar1, TB_GETBUTTONSIZE, 0, 0));
  m.toolbarHeight = std::max<int>(HIWORD(size), 22) * tpp.y;
  m.checkWidth = GetSystemMetrics(SM_CXMENUCHECK) * tpp.x;
  const double tppX = tpp.x;
  m.textWidth = [page, tppX](std::string_view caption) {
    WindowDC measure(page);
    Selection font(measure.get(), UiFont());
    const std::string shown = ShownCaption(caption);
    SIZE extent{};
    GetTextExtentPoint32A(measure.get(), shown.c_str(), static_cast<int>(shown.size()), &extent);
    return extent.cx * tppX;
  };
  return m;
}

RECT CustControls::LayOut(HWND page, HWND tree, const Tpp& tpp) const {
  RECT client{};
  GetClientRect(page, &client);
  const CustLayout l = LayOutCustomize({client.right * tpp.x, client.bottom * tpp.y}, Metrics(page, tpp));
  const std::pair<HWND, const LayoutRect*> placed[] = {
      {lblMenuTree, &l.lblMenuTree},   {Toolbar1, &l.toolbar},
      {tree, &l.tree},                 {lblProperties, &l.lblProperties},
      {lblTitle, &l.lblTitle},         {txtTitle, &l.txtTitle},
      {lblFile, &l.lblFile},           {txtCommand, &l.txtCommand},
      {lblIcon, &l.lblIcon},           {txtFile, &l.txtFile},
      {cmdSelect, &l.cmdSelect},       {cmdAllFiles, &l.cmdAllFiles},
      {cmdLibrary, &l.cmdLibrary},     {cmdOK, &l.cmdOK},
      {fraBrowse, &l.fraBrowse},       {cmdBrowseFiles, &l.cmdBrowseFiles},
      {cmdBrowseFolders, &l.cmdBrowseFolders}, {fraSelect, &l.fraSelect},
      {chkStartMenu, &l.chkStartMenu}, {chkDesktop, &l.chkDesktop},
      {cmdSave, &l.cmdSave},           {cmdCancel, &l.cmdCancel},
  };
  HDWP batch = BeginDeferWindowPos(static_cast<int>(std::size(placed)));
  for (const auto& [control, rect] : placed) {
    const RECT r = ToPixels(*rect, tpp);
    if (batch)
      batch = DeferWindowPos(batch, control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                             SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (batch) EndDeferWindowPos(batch);
  return ToPixels(l.panel, tpp);
}

void CustControls::EnablePopup(const PopupState& state) const {
  for (const CommandInfo& item : kPopupMenu)
    if (item.id != 0 && item.id != kPopupModule)
      EnableMenuItem(popup.get(), static_cast<UINT>(item.id),
                     MF_BYCOMMAND | (state.IsEnabled(item.id) ? MF_ENABLED : MF_GRAYED));
  // The submenu's item has no command id: it is the first of the menu.
  EnableMenuItem(popup.get(), 0, MF_BYPOSITION | (state.IsEnabled(kPopupModule) ? MF_ENABLED : MF_GRAYED));
}

}  // namespace velmora
