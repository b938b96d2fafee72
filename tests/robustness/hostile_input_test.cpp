// Hostile input through the batch command: whatever is typed, the run ends with a result
// or a short, printable message naming the error, and the exit status says which.
// The window's side is in form1_input_test.cpp, the reader's in text_number_test.cpp.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/run_helpers.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

using namespace test_support;
using namespace std::string_literals;
using Args = std::vector<std::string>;

const std::string kMegabyteOfDigits(1 << 20, '9');
constexpr std::size_t kShortMessage = 2000;  // longer than any message of the program's own

bool Contains(const std::string& text, const std::string& piece) {
  return text.find(piece) != std::string::npos;
}

bool HasControlCharacter(const std::string& message) {  // line ends aside
  for (const unsigned char c : message) {
    if ((c < 0x20 && c != '\n') || c == 0x7f) return true;
  }
  return false;
}

// The command exits with `status` (1: run error, 2: malformed, with the usage) and a
// short, printable message that starts with `start` and holds `words`; no report written.
void ExpectRefused(int status, const Args& args, const std::string& start,
                   const std::string& words = "") {
  const std::string shown = args.back().substr(0, 20);
  TempDir dir;
  BatchOutcome outcome = RunBatch(dir.path(), args);
  outcome.err = WithoutNotes(outcome.err);  // notes on how the other fields were read
  const std::string err = outcome.err.substr(0, 200);
  EXPECT_EQ(outcome.status, status) << shown << ": " << err;
  // Every message of the command line starts with the program's name.
  const std::string named = start.rfind("velquin2ds: ", 0) == 0 ? start : "velquin2ds: " + start;
  EXPECT_EQ(outcome.err.rfind(named, 0), 0u) << shown << ": " << err;
  EXPECT_TRUE(Contains(outcome.err, words)) << err;
  EXPECT_TRUE(status == 1 || Contains(outcome.err, "Try 'velquin2ds --help'.")) << err;
  EXPECT_LT(outcome.err.size(), kShortMessage) << shown;
  EXPECT_FALSE(HasControlCharacter(outcome.err)) << err;
  EXPECT_EQ(AllReports(dir.path()), "<missing><missing><missing>") << shown;
}

TEST(HostileInput, NumbersBeyondTheRealsAreAShortOverflowMessage) {
  const std::pair<const char*, const char*> fields[] = {{"--panels", "number of panels"},
                                                        {"--alpha", "angle of attack"},
                                                        {"--xv", "vortex position Xv"},
                                                        {"--yv", "vortex position Yv"}};
  for (const auto& [option, field] : fields) {
    for (const std::string& text :
         {"1e400"s, "-1e400"s, "1D400"s, "  -  1 e 4 0 0"s, kMegabyteOfDigits,
          "&H" + std::string(300, 'F'), "&O" + std::string(400, '7')}) {
      ExpectRefused(1, {option, text}, "Overflow: "s + field, "too large");
    }
  }
}

// Arithmetic would leave the reals: the angle in radians is degrees times pi, the
// distance to a far point vortex squares its coordinates.
TEST(HostileInput, ArithmeticThatLeavesTheRealsIsOverflowNeverNaNInAReport) {
  for (const char* angle : {"1e308", "-1e308", "1.7976931348623157e308"}) {
    ExpectRefused(1, {"--alpha", angle}, "Overflow: the angle of attack");
  }
  TempDir dir;  // the panel report is written before the vortex is placed
  const BatchOutcome outcome =
      RunBatch(dir.path(), {"--circulation", "--vortex", "point", "--xv", "1e200"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err.rfind("velquin2ds: Overflow: the point vortex", 0), 0u) << outcome.err;
}

// Texts that read as no panels, or as too many, or a directory name too long.
TEST(HostileInput, UnusableTextsAreAShortPrintableRunError) {
  for (const std::string& panels : {std::string(1 << 20, 'x'), ""s, "\r8"s, "\x1b[2J8"s,
                                    "\0"s + "8", "\xff\xfe"s + "8", "\x7f"s + "8"}) {
    ExpectRefused(1, {"--panels", panels}, "Division by zero: ");
  }
  ExpectRefused(1, {"--panels="}, "Division by zero: at least 1 panel is needed");
  ExpectRefused(1, {"--panels", "&HFFFFFFFFFFFFFFFFFFFF"}, "Subscript out of range: at most 199",
                "reads as 1.2089258196146292e+24");
  ExpectRefused(1, {"--panels", "8", "--out", std::string(1 << 20, 'd')},
                "File error: ", "File name too long");
}

// What the window would accept reads the same way: blanks are skipped, reading stops at
// the first character that cannot continue a number, and no number reads 0.
TEST(HostileInput, OddTextsThatHoldANumberReadLikeTheWindow) {
  std::vector<std::pair<Args, Args>> runs = {
      {{"--alpha", std::string(1 << 20, 'x'), "--xv", std::string(1 << 20, '.')}, {}},
      {{"--alpha", "ten degrees"}, {}},
      {{"--alpha", "", "--xv", "", "--yv", "", "--circulation", "--vortex", "constant"},
       {"--alpha", "0", "--xv", "0", "--yv", "0", "--circulation", "--vortex", "constant"}}};
  for (const std::string& panels : {std::string(1 << 20, ' ') + "8", "8\x07"s, "8\0"s + "00",
                                    "8\xc3"s, "8\r\n9"s, "8\xe2\x80\xaf"s + "9"}) {
    runs.push_back({{"--panels", panels}, {}});
  }
  for (const auto& [args, same_as] : runs) {
    TempDir dir, other;
    EXPECT_EQ(RunBatch(dir.path(), args).status, 0) << args[1].substr(0, 20);
    ASSERT_EQ(RunBatch(other.path(), same_as).status, 0);
    EXPECT_EQ(AllReports(dir.path()), AllReports(other.path())) << args[1].substr(0, 20);
  }
}

TEST(HostileInput, LargeValuesWithinTheRealsGiveFiniteResults) {
  for (const Args& args :
       std::vector<Args>{{"--alpha", "&HFFFFFFFFFFFFFFFFFFFF"},
                         {"--alpha", "1e306"},
                         {"--circulation", "--vortex", "point", "--xv", "1e154"},
                         {"--circulation", "--vortex", "point", "--yv", "-1e-300"}}) {
    TempDir dir;
    const BatchOutcome outcome = RunBatch(dir.path(), args);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    const std::string all = AllReports(dir.path()) + outcome.out;
    for (const char* word : {"NaN", "Infinity", "nan", "inf", "<missing>"}) {
      EXPECT_FALSE(Contains(all, word)) << args.back() << ": " << word;
    }
  }
}

TEST(BatchOptions, EveryOptionGivenTwiceIsAMalformedCommandLine) {
  for (const char* line :
       {"--batch", "--panels 8 --panels 8", "--ground 1 --ground=1", "--alpha=0 --alpha 0",
        "--circulation --circulation", "--vortex point --vortex constant", "--xv 0.5 --xv 0.5",
        "--yv 0 --yv 0", "--out . --out .", "--images --images", "--sweep 0:1:1 --sweep=0:1:1"}) {
    ExpectRefused(2, Words(line),
                  "velquin2ds: ", "given twice");  // --batch: and once more by RunBatch
  }
}

// A choice, a directory or a switch cannot be empty (an empty text reads 0, see above).
TEST(BatchOptions, EmptyOrWrongKindOfValueIsAMalformedCommandLine) {
  const std::pair<Args, const char*> command_lines[] = {
      {{"--body", ""}, "--body must be"},
      {{"--vortex="}, "--vortex must be"},
      {{"--out", ""}, "--out needs a directory"},
      {{"--circulation="}, "takes no value"},
      {{"--batch="}, "takes no value"},
      {{"--sweep", ""}, "--sweep needs FROM:TO:STEP"},
      {{"--body", "square"},
       "--body must be one of circle|naca0012|nacaMPXX|nacaLPQXX|"
       "karman-trefftz:XC:YC:TAU|joukowski:XC:YC|ellipse:T, not 'square'"},
      {{"--vortex", "3"}, "not '3'"},
      {{"--circulation", "yes"}, "unknown option 'yes'"}};
  for (const auto& [args, message] : command_lines) ExpectRefused(2, args, "velquin2ds: ", message);
}

TEST(BatchOptions, JunkAndControlCharactersAreShownShortAndPrintable) {
  const std::string junk(1 << 20, 'q');
  const std::vector<Args> command_lines = {
      {"--body", junk},        {"--vortex", junk},       {junk},
      {"--" + junk, "8"},      {"--sweep", junk},        {"--sweep", "0:1:" + junk},
      {"--body", "\x1b[2J"},   {"\x1b]0;title\x07"},     {"--sweep", "\x1b[2J:1:1:1"},
      {"--vortex", "p\roint"}, {"--circulation=\x1b[1m"}};
  for (const Args& args : command_lines) ExpectRefused(2, args, "velquin2ds: ");
}

}  // namespace
}  // namespace velquin
