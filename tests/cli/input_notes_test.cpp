// What the command line tells its user about the inputs: notes on how a text was read
// and on options the run does not use, a warning for a point vortex outside the body,
// forgiving capitals; and the options that preset the window instead of a batch run.
// None of it changes a report: each case writes the very reports of its plain twin.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/batch_run.h"
#include "support/run_helpers.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

using namespace test_support;

TEST(InputNotes, EachCaseSaysWhatWasReadAndWritesTheReportsOfItsPlainTwin) {
  const struct {
    const char* given;  // the options
    const char* twin;   // the same run as plainly as it can be asked for
    int status;
    const char* said;  // the whole of stderr
  } cases[] = {
      {"--alpha 0,5", "--alpha 0", 0,
       "velquin2ds: note: angle of attack \"0,5\" read as 0 (the decimal separator is a point)\n"},
      {"--alpha ten", "--alpha 0", 0,
       "velquin2ds: note: angle of attack \"ten\" read as 0 (it does not begin with a number)\n"},
      {"--alpha 5deg --panels 12pan", "--alpha 5 --panels 12", 0,
       "velquin2ds: note: number of panels \"12pan\" read as 12 (the rest, \"pan\", is ignored)\n"
       "velquin2ds: note: angle of attack \"5deg\" read as 5 (the rest, \"deg\", is ignored)\n"},
      {"--vortex constant --xv 3", "", 0,
       "velquin2ds: note: --vortex 'constant' is ignored without --circulation\n"
       "velquin2ds: note: --xv '3' is ignored without --circulation\n"},
      {"--circulation --vortex constant --yv 0.1", "--circulation --vortex constant", 0,
       "velquin2ds: note: --yv '0.1' is ignored: only the point vortex has a position\n"},
      {"--body naca0012 --circulation --vortex point --xv 2", "", 0,
       "velquin2ds: warning: the point vortex at (2, 0) lies outside the body; the lift from "
       "the circulation is not meaningful\n"},
      {"--body NACA0012 --circulation --vortex Point --xv 0.3",
       "--body naca0012 --circulation --vortex point --xv 0.3", 0, ""},
      {"--circulation", "", 1,
       "velquin2ds: Invalid procedure call or argument: circulation needs a vortex model: give "
       "--vortex "
       "point or --vortex constant.\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.given);
    TempDir dir, twin_dir;
    const BatchOutcome outcome = RunBatch(dir.path(), Words(c.given));
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_EQ(outcome.err, c.said);
    if (*c.twin != '\0') {
      const BatchOutcome twin = RunBatch(twin_dir.path(), Words(c.twin));
      EXPECT_EQ(twin.err, "");
      EXPECT_EQ(AllReports(dir.path()), AllReports(twin_dir.path()));
      EXPECT_EQ(outcome.out, twin.out);
    }
  }
}

// Without --batch the input options preset the window; the others are refused there.
TEST(WindowOptions, InputOptionsPresetTheControlsAndBatchOptionsAskForBatch) {
  const ControlValues preset = ParseWindowCommand(
      Words("--panels 64 --body naca0012 --alpha 6 --circulation --vortex constant --xv 0.3"));
  EXPECT_EQ(preset.Text_NP, "64");
  EXPECT_EQ(preset.Text_AlfaD, "6");
  EXPECT_EQ(preset.Text_Xv, "0.3");
  EXPECT_TRUE(preset.Option_NACA12 && !preset.Option_Circle);
  EXPECT_TRUE(preset.Check_Circulation == 1 && preset.Option_ConstVortex);
  EXPECT_EQ(ParseWindowCommand({}).Text_NP, ControlValues().Text_NP);

  const struct {
    const char* given;
    const char* reason;
  } refused[] = {
      {"--out results", "option '--out' needs --batch"},
      {"--images", "option '--images' needs --batch"},
      {"--sweep 0:10:1", "option '--sweep' needs --batch"},
      {"--body square", "--body must be one of"},
      {"--body-file a.dat", "the window offers the circle and the NACA 0012 section"},
      {"--wings 2", "unknown option '--wings'"},
  };
  for (const auto& r : refused) {
    try {
      ParseWindowCommand(Words(r.given));
      ADD_FAILURE() << r.given << ": accepted";
    } catch (const UsageError& error) {
      EXPECT_EQ(error.message.rfind(r.reason, 0), 0u) << error.message;
    }
  }
}

}  // namespace
}  // namespace velquin
