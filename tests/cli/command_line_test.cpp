// The explorer's command line: --explore and its input options.
#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <string>

#include "cli/batch_run.h"
#include "support/run_helpers.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

using namespace test_support;

// --explore reads the batch command's input options; a section lifts by default, the
// circle does not; options that are not inputs are refused with the usage.
TEST(ExplorerCommandLine, InputsDefaultsAndRefusals) {
  const struct {
    const char* args;
    BodyPtr body;
    double NP, alpha;
    VortexModel vortex;
  } accepted[] = {
      {"--explore", CircleBody(), 8, 0, VortexModel::kNone},
      {"--explore --body naca0012 --panels 120", Naca0012Body(), 120, 0,
       VortexModel::kConstantDistribution},
      {"--explore --body NACA0012 --vortex point --alpha 4.5", Naca0012Body(), 8, 4.5,
       VortexModel::kPointVortex},
      {"--explore --circulation --panels=30", CircleBody(), 30, 0,
       VortexModel::kConstantDistribution},
  };
  const ExplorerCommand file = ParseExplorerCommand(
      {"--explore", "--body-file", VELQUIN_SOURCE_DIR "/examples/naca2412.dat", "--panels", "80"});
  EXPECT_EQ(file.error, "");
  ASSERT_TRUE(file.section.has_value());
  EXPECT_EQ(file.inputs.NP, 80);
  EXPECT_EQ(file.inputs.vortex, VortexModel::kConstantDistribution);
  for (const auto& c : accepted) {
    const ExplorerCommand command = ParseExplorerCommand(Words(c.args));
    EXPECT_EQ(command.error, "") << c.args;
    EXPECT_EQ(command.inputs.body, c.body) << c.args;
    EXPECT_EQ(command.inputs.NP, c.NP) << c.args;
    EXPECT_EQ(command.inputs.alpha_degrees, c.alpha) << c.args;
    EXPECT_EQ(command.inputs.vortex, c.vortex) << c.args;
    EXPECT_EQ(command.inputs.circulation, c.vortex != VortexModel::kNone) << c.args;
  }
  // A malformed command line shows the usage and ends with status 2; inputs a run
  // refuses, and a file that cannot be read, the run's message and status 1, as --batch.
  const struct {
    const char* args;
    const char* says;
    bool usage;
  } refused[] = {
      {"--explore --body wing", "--body must be one of", true},
      {"--explore --out /tmp", "'--out' is not for the explorer", true},
      {"--explore --vortex strong", "--vortex must be 'point' or 'constant'", true},
      {"--explore --alpha 1e999", "angle of attack", false},
      {"--explore --body naca0012 --panels 7", "even number of panels", false},
      {"--explore --body-file /nonexistent.dat", "nonexistent.dat", false},
  };
  for (const auto& c : refused) {
    const ExplorerCommand command = ParseExplorerCommand(Words(c.args));
    const std::string& error = command.error;
    EXPECT_NE(error.find(c.says), std::string::npos) << c.args << ": " << error;
    EXPECT_EQ(error.find("usage:") != std::string::npos, c.usage) << c.args;
    EXPECT_EQ(command.error_status, c.usage ? 2 : 1) << c.args;
  }
  EXPECT_TRUE(IsExplorerMode(Words("--explore --panels 12")));
  EXPECT_FALSE(IsExplorerMode(Words("--batch --explore")));
  const TempDir dir;
  const BatchOutcome flow = RunBatch(dir.path(), Words("--flow"));
  EXPECT_EQ(flow.status, 2);
  EXPECT_NE(flow.err.find("--flow is not available in this build"), std::string::npos);
}

}  // namespace
}  // namespace velquin
