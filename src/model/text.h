// The one string module: single-byte ANSI text, trimming of blanks, letter-case
// rules and the number patterns the file names and reports use.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Removes leading and trailing blanks (the space character only, never tabs).
std::string Trim(std::string_view text);
std::string TrimRight(std::string_view text);

// Letter case in the Windows-1252 code page: ASCII letters and the accented
// Latin letters, as CharUpperA / CharLowerA treat them.
char UpperChar(char c);
char LowerChar(char c);
std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);

// Comparison without regard to letter case.
bool IEquals(std::string_view a, std::string_view b);
bool IStartsWith(std::string_view text, std::string_view prefix);
bool IEndsWith(std::string_view text, std::string_view suffix);

// The order of a sorted list box: letter case ignored; names equal but for
// case keep a fixed order.
void SortLikeListBox(std::vector<std::string>& names);

// Number patterns: "0##" pads to at least three digits, "#00" to at least two.
std::string FormatMin3(long value);
std::string FormatMin2(long value);

// Lines end at CR LF, a lone LF or a lone CR; a last line needs no ending.
std::vector<std::string> SplitLines(std::string_view bytes);

// The first four bytes as a little-endian number (missing bytes read as 0),
// and the four bytes of a number.
std::uint32_t LittleEndian32(std::string_view bytes);
std::string LittleEndianBytes(std::uint32_t value);

// Folder helpers for "\"-separated Windows paths.
std::string WithBackslash(std::string_view folder);
std::string WithoutBackslash(std::string_view folder);
std::string FolderOf(std::string_view path);  // without the trailing "\"

}  // namespace velmora
