#include "core/options.h"

#include <algorithm>

namespace velmora {

Options Options::Parse(std::string_view bytes) {
  Options o;
  const auto n = std::min<std::size_t>(bytes.size(), kOptionCount);
  for (std::size_t i = 0; i < n; ++i) o.chars_[i] = bytes[i] == '1' ? '1' : '0';
  return o;
}

std::string Options::Overlay(std::string_view existing) const {
  std::string out = Text();
  if (existing.size() > out.size()) out.append(existing.substr(out.size()));
  return out;
}

}  // namespace velmora
