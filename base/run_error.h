// The errors that stop a calculation run. Each names the kind of error, in the words
// a user of the program sees, and says what input or file lies behind it.
#pragma once

#include <stdexcept>
#include <string>

namespace velquin {

enum class ErrorKind {
  kSubscriptOutOfRange,  // an array index outside 0..200
  kDivisionByZero,
  kInvalidArgument,  // "Invalid procedure call or argument"
  kOverflow,         // a number beyond the range of a double
  kFileError,        // a report file that cannot be created or written
};

// The user-visible name of an error kind, e.g. "Subscript out of range".
const char* ErrorName(ErrorKind kind);

class RunError : public std::runtime_error {
 public:
  // The message reads "<error name>: <detail>".
  RunError(ErrorKind kind, const std::string& detail);

  ErrorKind kind() const { return kind_; }
  const std::string& detail() const { return detail_; }

 private:
  ErrorKind kind_;
  std::string detail_;
};

}  // namespace velquin
