// Fuzz target: reading a number from the text of an input field. Whatever the bytes,
// ReadNumber returns a finite double or throws RunError(kOverflow) with a short message;
// and blanks are skipped wherever they stand, so removing them changes nothing.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "base/run_error.h"
#include "base/text_number.h"

namespace {

struct Reading {
  bool overflow = false;
  double value = 0;
  std::string message;
};

[[noreturn]] void Fail(const char* what, std::string_view detail) {
  std::fprintf(stderr, "fuzz_text_number: %s: %.*s\n", what, static_cast<int>(detail.size()),
               detail.data());
  std::abort();
}

Reading Read(std::string_view text) {
  Reading reading;
  try {
    reading.value = velquin::ReadNumber(text);
  } catch (const velquin::RunError& error) {
    if (error.kind() != velquin::ErrorKind::kOverflow) Fail("unexpected error kind", error.what());
    reading.overflow = true;
    reading.message = error.what();
  }
  return reading;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const Reading reading = Read(text);
  if (!reading.overflow && !std::isfinite(reading.value)) Fail("not a finite number", text);
  // The message quotes at most a few dozen characters of the text.
  if (reading.message.size() > 200) Fail("message grows with the input", reading.message);

  std::string squeezed;
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n') squeezed += c;
  }
  const Reading again = Read(squeezed);
  if (again.overflow != reading.overflow ||
      std::memcmp(&again.value, &reading.value, sizeof reading.value) != 0) {
    Fail("removing the blanks changed the reading", text);
  }
  return 0;
}
