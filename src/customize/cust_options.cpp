#include "customize/cust_options.h"

#include "core/app_state.h"
#include "core/dialogs.h"
#include "core/error.h"
#include "core/file_system.h"
#include "model/state_files.h"
#include "model/text.h"
#include "shell/startup.h"

namespace velmora {

namespace {

bool Ticked(const OptionsItem& item, const Options& options, bool movable) {
  switch (item.mark) {
    case MarkRule::None: return false;
    case MarkRule::WhenOn: return options.IsOn(item.position);
    case MarkRule::WhenOff: return !options.IsOn(item.position);
    case MarkRule::WhenMovable: return movable;
    case MarkRule::WhenFixed: return !movable;
  }
  return false;
}

void Inform(OptionsServices& s, const std::string& text) {
  s.dialogs.Show(text, MsgButtons::Ok, MsgIcon::Information);
}

void PlaceFixed(OptionsServices& s, OptionsEffects& fx) {
  s.options.Set(kOptToolbarMovable, false);
  if (s.toolbar.setMovable) s.toolbar.setMovable(false);
  // With single buttons the window only moves; without them the build's own
  // placement puts it beside the wider margin.
  if (s.toolbar.hasSingleButtons && s.toolbar.hasSingleButtons()) {
    if (s.toolbar.placeFixed) s.toolbar.placeFixed();
    fx.toolbar = ToolbarRequest::PlacedFixed;
  } else {
    if (s.toolbar.rebuild) s.toolbar.rebuild();
    fx.toolbar = ToolbarRequest::Rebuilt;
  }
}

void MakeMovable(OptionsServices& s, OptionsEffects& fx) {
  s.options.Set(kOptToolbarMovable, true);
  if (s.toolbar.setMovable) s.toolbar.setMovable(true);
  fx.toolbar = ToolbarRequest::MadeMovable;
}

void SetStartup(OptionsServices& s) {
  AppState app;
  app.folders = ProgramFoldersOf(s.programFolder + kExeName);
  SetStartupShortcut(s.shell, s.dialogs, app, s.window);
}

void DefaultHtml(OptionsServices& s) {
  if (!s.options.IsOn(kOptCustomWebIcon)) return;
  s.options.Set(kOptCustomWebIcon, false);
  Inform(s, kDefaultHtmlText);
}

void CustomHtml(OptionsServices& s) {
  OpenFileRequest request;
  request.createPrompt = false;
  const auto chosen = s.dialogs.OpenFile(request);
  if (!chosen) return;
  const std::string path = Trim(chosen->substr(0, chosen->find('\0')));
  if (path.empty()) return;
  if (!WriteHttpIconIni(s.fs, s.programFolder, path)) {
    s.dialogs.Show(ErrorText(s.fs.LastError(), ErrorOrder::DescriptionFirst), MsgButtons::Ok,
                   MsgIcon::Information);
    return;
  }
  s.options.Set(kOptCustomWebIcon, true);
  Inform(s, kCustomHtmlChosenText + path + "\r\n" + kCustomHtmlNextStartText);
}

void ResetTips(OptionsServices& s) {
  for (int pos : {kOptTipIconLibraryOff, kOptTipOtherIconsOff, kOptTipSelectFileOff,
                  kOptTipAmpersandOff})
    s.options.Set(pos, false);
  Inform(s, kTipsResetText);
}

}  // namespace

const OptionsItem* FindOptionsItem(int id) {
  if (id < kOptionsMenuFirst || id > kOptionsMenuLast) return nullptr;
  return &kOptionsItems[id - kOptionsMenuFirst];
}

OptionsMarkState OptionsMarks(const Options& options, bool toolbarMovable) {
  OptionsMarkState marks;
  for (int i = 0; i < kOptionsItemCount; ++i)
    marks.checked[static_cast<std::size_t>(i)] = Ticked(kOptionsItems[i], options, toolbarMovable);
  return marks;
}

OptionsEffects OptionsMenuClick(int id, OptionsServices& s) {
  OptionsEffects fx;
  const OptionsItem* item = FindOptionsItem(id);
  if (item) {
    fx.handled = true;
    switch (item->action) {
      case OptionsAction::PlaceFixed: PlaceFixed(s, fx); break;
      case OptionsAction::MakeMovable: MakeMovable(s, fx); break;
      case OptionsAction::Toggle: s.options.Set(item->position, !s.options.IsOn(item->position)); break;
      case OptionsAction::SetOn: s.options.Set(item->position, true); break;
      case OptionsAction::SetOff: s.options.Set(item->position, false); break;
      case OptionsAction::SetStartup: SetStartup(s); break;
      case OptionsAction::RemoveStartup: RemoveStartupShortcut(s.fs, s.shell, s.dialogs, s.window); break;
      case OptionsAction::DefaultHtml: DefaultHtml(s); break;
      case OptionsAction::CustomHtml: CustomHtml(s); break;
      case OptionsAction::ResetTips: ResetTips(s); break;
    }
    if (item->position == kOptCutExtension) fx.showExtension = s.options.IsOn(kOptCutExtension);
  }
  // The flag follows position 4 at every build and every change of it, so
  // the string alone says where the toolbar stands.
  fx.marks = OptionsMarks(s.options, s.options.IsOn(kOptToolbarMovable));
  return fx;
}

}  // namespace velmora
