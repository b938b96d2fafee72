#include "base/run_error.h"

namespace velquin {

const char* ErrorName(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::kSubscriptOutOfRange:
      return "Subscript out of range";
    case ErrorKind::kDivisionByZero:
      return "Division by zero";
    case ErrorKind::kInvalidArgument:
      return "Invalid procedure call or argument";
    case ErrorKind::kOverflow:
      return "Overflow";
    case ErrorKind::kFileError:
      return "File error";
  }
  return "Error";
}

RunError::RunError(ErrorKind kind, const std::string& detail)
    : std::runtime_error(std::string(ErrorName(kind)) + ": " + detail),
      kind_(kind),
      detail_(detail) {}

}  // namespace velquin
