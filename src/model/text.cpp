#include "model/text.h"

#include <algorithm>
#include <cstdio>

namespace velmora {

std::string Trim(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

std::string TrimRight(std::string_view text) {
  const auto last = text.find_last_not_of(' ');
  if (last == std::string_view::npos) return {};
  return std::string(text.substr(0, last + 1));
}

char UpperChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u >= 'a' && u <= 'z') return static_cast<char>(u - 32);
  // Latin-1 small letters except the division sign; the sharp s has no
  // single-byte capital, and y with diaeresis maps to 0x9F in Windows-1252.
  if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<char>(u - 32);
  if (u == 0xFF) return static_cast<char>(0x9F);
  if (u == 0x9A || u == 0x9C || u == 0x9E) return static_cast<char>(u - 16);  // š œ ž
  return c;
}

char LowerChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u >= 'A' && u <= 'Z') return static_cast<char>(u + 32);
  if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<char>(u + 32);
  if (u == 0x9F) return static_cast<char>(0xFF);
  if (u == 0x8A || u == 0x8C || u == 0x8E) return static_cast<char>(u + 16);  // Š Œ Ž
  return c;
}

std::string ToUpper(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), UpperChar);
  return out;
}

std::string ToLower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), LowerChar);
  return out;
}

bool IEquals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerChar(a[i]) != LowerChar(b[i])) return false;
  return true;
}

bool IStartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && IEquals(text.substr(0, prefix.size()), prefix);
}

bool IEndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         IEquals(text.substr(text.size() - suffix.size()), suffix);
}

static std::string FormatMinDigits(long value, int digits) {
  char buf[32];
  // Through unsigned arithmetic: the most negative long has no positive twin.
  const unsigned long magnitude = value < 0 ? 0ul - static_cast<unsigned long>(value)
                                            : static_cast<unsigned long>(value);
  std::snprintf(buf, sizeof buf, "%s%0*lu", value < 0 ? "-" : "", digits, magnitude);
  return buf;
}

void SortLikeListBox(std::vector<std::string>& names) {
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const auto la = ToLower(a), lb = ToLower(b);
    return la != lb ? la < lb : a < b;
  });
}

std::string FormatMin3(long value) { return FormatMinDigits(value, 3); }
std::string FormatMin2(long value) { return FormatMinDigits(value, 2); }

std::vector<std::string> SplitLines(std::string_view bytes) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const std::size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) {
      lines.emplace_back(bytes.substr(pos));
      break;
    }
    lines.emplace_back(bytes.substr(pos, end - pos));
    pos = end + 1;
    if (bytes[end] == '\r' && pos < bytes.size() && bytes[pos] == '\n') ++pos;
  }
  return lines;
}

std::uint32_t LittleEndian32(std::string_view bytes) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i)
    v = (v << 8) | (static_cast<std::size_t>(i) < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0u);
  return v;
}

std::string LittleEndianBytes(std::uint32_t value) {
  std::string out(4, '\0');
  for (int i = 0; i < 4; ++i) out[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}

std::string WithBackslash(std::string_view folder) {
  std::string out(folder);
  if (out.empty() || out.back() != '\\') out += '\\';
  return out;
}

std::string WithoutBackslash(std::string_view folder) {
  std::string out(folder);
  // A drive root keeps its backslash: "C:\" is a folder, "C:" is a current directory.
  while (out.size() > 1 && out.back() == '\\' && !(out.size() == 3 && out[1] == ':'))
    out.pop_back();
  return out;
}

std::string FolderOf(std::string_view path) {
  const auto slash = path.find_last_of('\\');
  if (slash == std::string_view::npos) return {};
  return WithoutBackslash(path.substr(0, slash + 1));
}

}  // namespace velmora
