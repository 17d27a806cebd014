// Menu and toolbar commands as data: an id, a caption and a keyboard shortcut
// text. Windows build their menus from such tables, and the logic decides
// by id, so a caption or an id lives in one place.
#pragma once

#include <cstddef>

namespace velmora {

struct CommandInfo {
  int id = 0;                   // 0 marks a separator line
  const char* caption = "";
  const char* shortcut = "";    // as a menu shows it, e.g. "Ctrl+B"; "" for none
};

template <std::size_t N>
constexpr const CommandInfo* FindCommand(const CommandInfo (&table)[N], int id) {
  for (const CommandInfo& c : table)
    if (c.id == id && id != 0) return &c;
  return nullptr;
}

// True when every non-separator id of the table lies in [first, last] and no
// id appears twice: a static_assert beside each table keeps its range.
template <std::size_t N>
constexpr bool IdsInRange(const CommandInfo (&table)[N], int first, int last) {
  for (std::size_t i = 0; i < N; ++i) {
    if (table[i].id == 0) continue;
    if (table[i].id < first || table[i].id > last) return false;
    for (std::size_t j = i + 1; j < N; ++j)
      if (table[j].id == table[i].id) return false;
  }
  return true;
}

}  // namespace velmora
