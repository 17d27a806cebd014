// The Options string: sixteen "0"/"1" characters, one per option or one-time
// flag. The value lives in the application state; model/options.h reads and
// writes its file.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace velmora {

inline constexpr int kOptionCount = 16;

// Positions (1-based) that the program reads or writes.
enum OptionPos : int {
  kOptFirstStartDone = 1,
  kOptContentInstalled = 2,
  kOptToolbarMovable = 4,
  kOptTipIconLibraryOff = 5,
  kOptTipOtherIconsOff = 6,
  kOptTipSelectFileOff = 7,
  kOptTipAmpersandOff = 8,
  kOptNoSplash = 9,
  kOptCutExtension = 10,
  kOptSingleClickLaunch = 11,
  kOptCustomWebIcon = 12,
  kOptNoRightAdjust = 13,
  kOptCleanupDone = 16,
};

class Options {
 public:
  Options() { chars_.fill('0'); }

  // Any character other than "1" reads as "0"; missing positions are "0".
  static Options Parse(std::string_view bytes);

  bool IsOn(int pos) const { return Valid(pos) && chars_[pos - 1] == '1'; }
  char At(int pos) const { return Valid(pos) ? chars_[pos - 1] : '0'; }
  void Set(int pos, bool on) {
    if (Valid(pos)) chars_[pos - 1] = on ? '1' : '0';
  }
  std::string Text() const { return std::string(chars_.begin(), chars_.end()); }

  // The file's new content: the sixteen characters over the first sixteen bytes
  // of `existing`; anything after them stays as it was.
  std::string Overlay(std::string_view existing) const;

 private:
  static bool Valid(int pos) { return pos >= 1 && pos <= kOptionCount; }
  std::array<char, kOptionCount> chars_;
};

// The tip window's check box: position `fieldNum` becomes "1" when ticked, "0"
// when not; a position of 0 or less (or past the end) changes nothing.
inline void ApplyTipChoice(Options& options, int fieldNum, bool checked) {
  if (fieldNum > 0) options.Set(fieldNum, checked);
}

}  // namespace velmora
