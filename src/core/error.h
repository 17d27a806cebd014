// The one error type of the program: a number and the system's text for it.
// Number 0 means no error. Every platform call that can fail reports through
// it, and every message box that shows an error formats it with ErrorText.
#pragma once

#include <string>

namespace velmora {

struct Error {
  long number = 0;
  std::string description;

  bool ok() const { return number == 0; }
  explicit operator bool() const { return number != 0; }
};

// How a message puts the two parts together: "Error: <number> - <text>" where
// the toolbar reports a build error, "Error: <text> - <number>" where the
// shortcut commands report theirs.
enum class ErrorOrder { NumberFirst, DescriptionFirst };

std::string ErrorText(const Error& error, ErrorOrder order);

// Error numbers the messages name: a file or path that is not there, and a
// name the system cannot use.
inline constexpr long kErrFileNotFound = 53;
inline constexpr long kErrBadFileName = 52;

// The Win32 codes behind those two numbers, mapped as the launcher reports them;
// every other code is kept.
long MessageErrorNumber(long systemError);

}  // namespace velmora
