// Reading numbers from the text of the window's input fields, and writing numbers
// into messages. Both are independent of the C locale.
#pragma once

#include <string>
#include <string_view>

namespace velquin {

// Reads a number from a text by the rules of the input fields:
//  - spaces, tabs and line feeds are skipped wherever they stand ("1 2" reads 12);
//  - a number is an optional sign, digits with at most one point "." (whatever the
//    locale; a comma ends the number), and an optional exponent: E or D (either
//    case), an optional sign and digits;
//  - reading stops at the first character that cannot continue the number
//    ("8 panels" reads 8, "0,5" reads 0);
//  - "&H" or "&O" (either case) starts a hexadecimal or octal whole number;
//  - an empty text, or one that does not begin with a number, reads 0.
// Decimals of any length, and &H and &O numbers of any length, read as the nearest
// double (ties to even). A value beyond the range of a double throws RunError(kOverflow)
// naming the text; a value too small for a double reads as 0.
double ReadNumber(std::string_view text);

// ReadNumber, also telling how much of the text the number took.
struct NumberReading {
  double value = 0;
  bool began_with_number = false;  // false: the text reads 0 as it holds no number first
  std::string_view rest;           // what follows the number, blanks skipped; may be empty
};
NumberReading ReadNumberPart(std::string_view text);

// The shortest text that reads back as the same double, e.g. "8.5", "-1e+400" never
// (the value is finite), "1e-05". For messages, not for reports.
std::string NumberText(double value);

// A text quoted for a message, shortened to a sensible length and with control
// characters shown as '?', so that a megabyte of input does not make a megabyte message.
std::string QuotedInput(std::string_view text);

// A piece of the command line as a message shows it: QuotedInput in single quotes.
std::string QuotedArgument(std::string_view text);

// A path quoted for a message, with the same rules for control characters and bytes that
// are not UTF-8; a very long path is shortened from the front ("...") to its last 160
// bytes, so that the file name always shows.
std::string QuotedPath(std::string_view path);

}  // namespace velquin
