#include "core/error.h"

namespace velmora {

std::string ErrorText(const Error& error, ErrorOrder order) {
  const std::string number = std::to_string(error.number);
  return order == ErrorOrder::NumberFirst ? "Error: " + number + " - " + error.description
                                          : "Error: " + error.description + " - " + number;
}

long MessageErrorNumber(long systemError) {
  // ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND; ERROR_INVALID_NAME, ERROR_BAD_PATHNAME.
  switch (systemError) {
    case 2:
    case 3:
      return kErrFileNotFound;
    case 123:
    case 161:
      return kErrBadFileName;
    default:
      return systemError;
  }
}

}  // namespace velmora
