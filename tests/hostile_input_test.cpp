// Hostile input through the batch command and the text-to-number reader: whatever is
// typed, the run ends with a result or a short message naming the error, and the exit
// status says which.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "shell/batch_command.h"
#include "shell/run_error.h"
#include "shell/text_number.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

using testing::ReadFile;
using testing::TempDir;

constexpr std::size_t kMegabyte = 1 << 20;
// Longer than any message of the program's own, far shorter than the input.
constexpr std::size_t kShortMessage = 2000;

struct Outcome {
  int status;
  std::string out, err;
};

// Runs the batch command with the reports going into dir.
Outcome Batch(const TempDir& dir, std::vector<std::string> args) {
  args.insert(args.begin(), "--batch");
  args.insert(args.end(), {"--out", dir.path()});
  std::ostringstream out, err;
  const int status = RunBatchCommand(args, out, err, '.', {});
  return {status, out.str(), err.str()};
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The three reports of a run, concatenated; "<missing>" stands for a missing one.
std::string Reports(const TempDir& dir) {
  return ReadFile(dir.File("Output_Panel.txt")) + ReadFile(dir.File("Output_InfCoeffs.txt")) +
         ReadFile(dir.File("Output_PressCoeffs.txt"));
}

// The reports of the same run with ordinary input, for comparison.
std::string ReportsOf(std::vector<std::string> args) {
  TempDir dir;
  const Outcome outcome = Batch(dir, std::move(args));
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  return Reports(dir);
}

bool HasControlCharacter(const std::string& message) {
  for (std::size_t i = 0; i + 1 < message.size(); ++i) {  // the final line end aside
    const unsigned char c = static_cast<unsigned char>(message[i]);
    if (c < 0x20 || c == 0x7f) return true;
  }
  return false;
}

TEST(HostileInput, MegabyteOfDigitsInEachFieldIsAShortOverflowMessage) {
  const std::string digits(kMegabyte, '9');
  const std::pair<const char*, const char*> fields[] = {{"--panels", "number of panels"},
                                                        {"--alpha", "angle of attack"},
                                                        {"--xv", "vortex position Xv"},
                                                        {"--yv", "vortex position Yv"}};
  for (const auto& [option, field] : fields) {
    TempDir dir;
    const Outcome outcome = Batch(dir, {option, digits});
    EXPECT_EQ(outcome.status, 1) << option;
    EXPECT_EQ(outcome.err.rfind(std::string("Overflow: ") + field, 0), 0u) << option;
    EXPECT_LT(outcome.err.size(), kShortMessage) << option;
    EXPECT_EQ(ReadFile(dir.File("Output_Panel.txt")), "<missing>") << option;
  }
}

TEST(HostileInput, MegabyteOfBlanksOrJunkReadsLikeTheWindow) {
  TempDir dir;
  Outcome outcome = Batch(dir, {"--panels", std::string(kMegabyte, ' ') + "8"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(Reports(dir), ReportsOf({}));

  // Text that is no number reads 0: no panels, but an angle of 0 degrees.
  outcome = Batch(dir, {"--panels", std::string(kMegabyte, 'x')});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err.rfind("Division by zero: ", 0), 0u);
  EXPECT_LT(outcome.err.size(), kShortMessage);
  outcome =
      Batch(dir, {"--alpha", std::string(kMegabyte, 'x'), "--xv", std::string(kMegabyte, '.')});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(Reports(dir), ReportsOf({}));
}

TEST(HostileInput, UsageMessageShowsAWrongOptionShortAndPrintable) {
  const std::string junk(kMegabyte, 'q');
  const std::vector<std::vector<std::string>> command_lines = {
      {"--body", junk},        {"--vortex", junk},       {junk},
      {"--" + junk, "8"},      {"--sweep", junk},        {"--sweep", "0:1:" + junk},
      {"--body", "\x1b[2J"},   {"\x1b]0;title\x07"},     {"--sweep", "\x1b[2J:1:1"},
      {"--vortex", "p\roint"}, {"--circulation=\x1b[1m"}};
  for (const auto& args : command_lines) {
    TempDir dir;
    const Outcome outcome = Batch(dir, args);
    const std::string shown = args.back().substr(0, 12);
    EXPECT_EQ(outcome.status, 2) << shown;
    EXPECT_TRUE(Contains(outcome.err, "usage: velquin2ds")) << shown;
    EXPECT_LT(outcome.err.size(), kShortMessage) << shown;
    const std::string first_line = outcome.err.substr(0, outcome.err.find('\n') + 1);
    EXPECT_FALSE(HasControlCharacter(first_line)) << first_line;
  }
}

TEST(HostileInput, MegabyteOutputDirectoryIsAFileErrorWithTheSystemsReason) {
  std::ostringstream out, err;
  const int status =
      RunBatchCommand({"--batch", "--out", std::string(kMegabyte, 'd')}, out, err, '.', {});
  EXPECT_EQ(status, 1);
  EXPECT_EQ(err.str().rfind("File error: ", 0), 0u);
  EXPECT_TRUE(Contains(err.str(), "File name too long"));
}

TEST(HostileInput, NumbersBeyondTheRangeOfARealAreOverflowAndWriteNothing) {
  for (const char* text : {"1e400", "-1e400", "1D400", "  -  1 e 4 0 0"}) {
    EXPECT_THROW(ReadNumber(text), RunError) << text;
    for (const char* option : {"--panels", "--alpha", "--xv", "--yv"}) {
      TempDir dir;
      const Outcome outcome = Batch(dir, {option, text});
      EXPECT_EQ(outcome.status, 1) << option << " " << text;
      EXPECT_EQ(outcome.err.rfind("Overflow: ", 0), 0u) << option << " " << text;
      EXPECT_TRUE(Contains(outcome.err, "too large")) << outcome.err;
      EXPECT_EQ(Reports(dir), "<missing><missing><missing>") << option << " " << text;
    }
  }
  // Too small for a real is no error: it reads 0.
  EXPECT_EQ(ReadNumber("1e-400"), 0);
}

TEST(HostileInput, HexadecimalBeyondEveryIntegerTypeReadsAsItsValue) {
  const char* text = "&HFFFFFFFFFFFFFFFFFFFF";  // 16^20 - 1, rounded to a double: 2^80
  EXPECT_EQ(ReadNumber(text), std::ldexp(1.0, 80));
  TempDir dir;
  Outcome outcome = Batch(dir, {"--panels", text});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err.rfind("Subscript out of range: at most 199 panels", 0), 0u);
  EXPECT_TRUE(Contains(outcome.err, "reads as 1.2089258196146292e+24")) << outcome.err;

  outcome = Batch(dir, {"--alpha", text});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_FALSE(Contains(Reports(dir), "NaN"));

  // Beyond the range of a real, in either base: Overflow.
  for (const std::string& radix : {"&H" + std::string(300, 'F'), "&O" + std::string(400, '7')}) {
    outcome = Batch(dir, {"--alpha", radix});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err.rfind("Overflow: angle of attack", 0), 0u) << outcome.err;
  }
}

TEST(HostileInput, ArithmeticThatLeavesTheRealsIsOverflowNeverNaNInAReport) {
  // The angle turns into radians as degrees times pi: beyond the reals from 1e308 on.
  for (const char* angle : {"1e308", "-1e308", "1.7976931348623157e308"}) {
    TempDir dir;
    const Outcome outcome = Batch(dir, {"--alpha", angle});
    EXPECT_EQ(outcome.status, 1) << angle;
    EXPECT_EQ(outcome.err.rfind("Overflow: the angle of attack", 0), 0u) << outcome.err;
    EXPECT_EQ(Reports(dir), "<missing><missing><missing>") << angle;
  }
  // The distance to a far point vortex squares its coordinates.
  TempDir dir;
  Outcome outcome = Batch(dir, {"--circulation", "--vortex", "point", "--xv", "1e200"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err.rfind("Overflow: the point vortex", 0), 0u) << outcome.err;

  // Large but within the reals: a completed run with finite numbers only.
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--alpha", "1e306"},
           {"--circulation", "--vortex", "point", "--xv", "1e154"},
           {"--circulation", "--vortex", "point", "--yv", "-1e-300"}}) {
    outcome = Batch(dir, args);
    EXPECT_EQ(outcome.status, 0) << args[1] << outcome.err;
    EXPECT_FALSE(Contains(Reports(dir), "NaN")) << args.back();
    EXPECT_FALSE(Contains(Reports(dir), "Infinity")) << args.back();
    EXPECT_FALSE(Contains(outcome.out, "nan")) << outcome.out;
    EXPECT_FALSE(Contains(outcome.out, "inf")) << outcome.out;
  }
}

TEST(HostileInput, ControlCharactersAndInvalidUtf8EndTheNumberLikeAnyOtherCharacter) {
  using namespace std::string_literals;
  // Characters that cannot start a number: no panels.
  for (const std::string& panels :
       {"\r8"s, "\x1b[2J8"s, "\0"s + "8", "\xff\xfe"s + "8", "\x7f"s + "8"}) {
    TempDir dir;
    const Outcome outcome = Batch(dir, {"--panels", panels});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err.rfind("Division by zero: ", 0), 0u) << outcome.err;
    EXPECT_FALSE(HasControlCharacter(outcome.err)) << outcome.err;
  }
  // Characters after the number end it.
  const std::string default_reports = ReportsOf({});
  for (const std::string& panels :
       {"8\x07"s, "8\0"s + "00", "8\xc3"s, "8\r\n9"s, "8\xe2\x80\xaf"s + "9"}) {
    TempDir dir;
    const Outcome outcome = Batch(dir, {"--panels", panels});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(Reports(dir), default_reports);
  }
}

TEST(BatchOptions, EveryOptionGivenTwiceIsAMalformedCommandLine) {
  const std::vector<std::vector<std::string>> twice = {
      {"--batch"},
      {"--panels", "8", "--panels", "8"},
      {"--body", "circle", "--body=circle"},
      {"--alpha=0", "--alpha", "0"},
      {"--circulation", "--circulation", "--vortex", "point"},
      {"--vortex", "point", "--vortex", "constant"},
      {"--xv", "0.5", "--xv", "0.5"},
      {"--yv", "0", "--yv", "0"},
      {"--out", "."},  // and once more by Batch
      {"--images", "--images"},
      {"--sweep", "0:1:1", "--sweep=0:1:1"}};
  for (const auto& args : twice) {
    TempDir dir;
    const Outcome outcome = Batch(dir, args);
    EXPECT_EQ(outcome.status, 2) << args.front();
    EXPECT_TRUE(Contains(outcome.err, "given twice")) << outcome.err;
    EXPECT_EQ(Reports(dir), "<missing><missing><missing>");
  }
}

TEST(BatchOptions, EmptyValuesAreEmptyTextsOrMalformed) {
  // An empty text reads 0, as in the window: no panels, but angle and vortex at 0.
  TempDir dir;
  Outcome outcome = Batch(dir, {"--panels", ""});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err.rfind("Division by zero: at least 1 panel is needed", 0), 0u);
  EXPECT_EQ(Batch(dir, {"--panels="}).status, 1);
  outcome =
      Batch(dir, {"--alpha", "", "--xv", "", "--yv", "", "--circulation", "--vortex", "constant"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;

  // A choice, a directory or a switch cannot be empty.
  const std::vector<std::pair<std::vector<std::string>, const char*>> malformed = {
      {{"--body", ""}, "--body must be"},         {{"--vortex="}, "--vortex must be"},
      {{"--out", ""}, "--out needs a directory"}, {{"--circulation="}, "takes no value"},
      {{"--batch="}, "takes no value"},           {{"--sweep", ""}, "--sweep needs FROM:TO:STEP"}};
  for (const auto& [args, message] : malformed) {
    std::vector<std::string> command_line = {"--batch"};
    command_line.insert(command_line.end(), args.begin(), args.end());
    std::ostringstream out, err;
    EXPECT_EQ(RunBatchCommand(command_line, out, err, '.', {}), 2) << args.front();
    EXPECT_TRUE(Contains(err.str(), message)) << err.str();
  }
}

TEST(BatchOptions, ValuesOfTheWrongKind) {
  TempDir dir;
  Outcome outcome = Batch(dir, {"--body", "square"});
  EXPECT_EQ(outcome.status, 2);
  EXPECT_TRUE(Contains(outcome.err, "--body must be 'circle' or 'naca0012', not 'square'"));
  outcome = Batch(dir, {"--vortex", "3"});
  EXPECT_EQ(outcome.status, 2);
  EXPECT_TRUE(Contains(outcome.err, "not '3'"));
  outcome = Batch(dir, {"--circulation", "yes"});
  EXPECT_EQ(outcome.status, 2);
  EXPECT_TRUE(Contains(outcome.err, "unknown option 'yes'"));
  for (const char* sweep : {"ten:20:1", "0:10", "0:1e1:1", "0:10:-1", "0:1:0", "0:1000000:0.001"}) {
    outcome = Batch(dir, {"--sweep", sweep});
    EXPECT_EQ(outcome.status, 2) << sweep;
    EXPECT_EQ(outcome.err.rfind("velquin2ds: --sweep", 0), 0u) << outcome.err;
  }
  EXPECT_EQ(Reports(dir), "<missing><missing><missing>");

  // Texts read by the window's rules; the run then refuses what it cannot use.
  const std::pair<const char*, const char*> refused[] = {
      {"abc", "Division by zero: "},
      {"8.5", "Invalid procedure call or argument: the number of panels must be a whole"},
      {"-8", "Invalid procedure call or argument: at least 1 panel"},
      {"&H10000", "Subscript out of range: "}};
  for (const auto& [panels, message] : refused) {
    outcome = Batch(dir, {"--panels", panels});
    EXPECT_EQ(outcome.status, 1) << panels;
    EXPECT_EQ(outcome.err.rfind(message, 0), 0u) << outcome.err;
  }
  outcome = Batch(dir, {"--panels", "7", "--body", "naca0012"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_TRUE(Contains(outcome.err, "even number of panels")) << outcome.err;
  outcome = Batch(dir, {"--alpha", "ten degrees"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(Reports(dir), ReportsOf({}));
}

}  // namespace
}  // namespace velquin
