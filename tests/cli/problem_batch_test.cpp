// The general problem on the command line: Williams' exact case from its two files, a
// deflected flap against XFOIL, placement, the outputs, and the inputs it refuses
// before anything is written.
#include "cli/problem_batch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "cli/batch_run.h"
#include "support/run_helpers.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

using namespace test_support;

double Value(const std::string& line, const std::string& key) {
  const std::size_t at = line.find(key + "=");
  EXPECT_NE(at, std::string::npos) << key << " in " << line;
  return at == std::string::npos ? 0 : std::stod(line.substr(at + key.size() + 1));
}

std::string Williams(const char* element, int panels) {
  return std::string(VELQUIN_SOURCE_DIR) + "/tests/data/williams/" + element +
         "Foil_N=" + std::to_string(panels) + ".csv";
}

// Williams (1973): lift 3.7386 from the main aerofoil and its flap at zero incidence,
// given as two files or as one file of two elements (a line "999 999" between them),
// which is the general problem without --general too.
TEST(ProblemBatch, WilliamsFromItsCoordinateFiles) {
  const TempDir dir;
  {
    std::ofstream both(dir.File("both.dat"));
    both << ReadFile(Williams("Main", 200)) << "999 999\n" << ReadFile(Williams("Flap", 200));
  }
  for (const std::vector<std::string>& bodies :
       {std::vector<std::string>{"--body-file", Williams("Main", 200), "--body-file",
                                 Williams("Flap", 200)},
        std::vector<std::string>{"--body-file", dir.File("both.dat")}}) {
    std::vector<std::string> args = bodies;
    for (const char* option : {"--circulation", "--vortex", "constant"}) args.push_back(option);
    const BatchOutcome run = RunBatch(dir.path(), args);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NEAR(Value(run.out, "cl_circulation") / 3.7386 - 1, 0, 0.0025);
    EXPECT_NEAR(Value(run.out, "cl_pressure") / 3.7386 - 1, 0, 0.008);
    EXPECT_NE(run.err.find("writes surface.csv instead of the three reports"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.File("Output_Panel.txt")));
    const std::string csv = ReadFile(dir.File("surface.csv"));
    EXPECT_EQ(csv.rfind("element,panel,x1,y1,x2,y2,xc,yc,vt,cp\n", 0), 0u);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 2 * 200);
    EXPECT_NE(csv.find("\n2,200,"), std::string::npos);
  }
  // A fault in the second element is named with the element and the file's own line.
  const std::string main = ReadFile(Williams("Main", 200));
  std::string flap = ReadFile(Williams("Flap", 200));
  const std::size_t third = flap.find('\n', flap.find('\n') + 1) + 1;
  flap.replace(third, flap.find('\n', third) - third, "abc 0.5");
  std::ofstream(dir.File("bad.dat")) << main << "999 999\n" << flap;
  const BatchOutcome bad = RunBatch(dir.path(), {"--body-file", dir.File("bad.dat")});
  EXPECT_EQ(bad.status, 1);
  const long line = std::count(main.begin(), main.end(), '\n') + 1 + 3;
  EXPECT_NE(bad.err.find("bad.dat (element 2)', line " + std::to_string(line) +
                         ": \"abc\" is not a number"),
            std::string::npos)
      << bad.err;
}

// XFOIL 6.99, GDES FLAP with the hinge at y/t = 0.5, 160 nodes (docs/xfoil_flap_reference.sh).
TEST(ProblemBatch, DeflectedFlapAgreesWithXfoil) {
  const struct {
    const char* body;
    const char* flap;
    const char* alpha;
    double xfoil_cl;
  } cases[] = {{"naca2412", "0.7:15", "2", 1.6871},
               {"naca0012", "0.8:-10", "4", -0.1859},
               {"naca23012", "0.75:30", "0", 2.2978}};
  for (const auto& c : cases) {
    const TempDir dir;
    const BatchOutcome run =
        RunBatch(dir.path(), {"--body", c.body, "--flap", c.flap, "--alpha", c.alpha, "--panels",
                              "160", "--circulation", "--vortex", "constant"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NEAR(Value(run.out, "cl_circulation") / c.xfoil_cl - 1, 0, 0.03) << c.body;
    EXPECT_NEAR(Value(run.out, "cl_pressure") / c.xfoil_cl - 1, 0, 0.03) << c.body;
  }
}

// A section placed at twice the chord, trailing edge turned down by 5 degrees, lifts as
// the same section at 5 degrees, twice over (per unit reference length).
TEST(ProblemBatch, PlacementScalesAndTurnsAboutTheLeadingEdge) {
  const TempDir dir;
  const BatchOutcome placed =
      RunBatch(dir.path(), {"--body", "naca4412", "--place", "3:1:5:2", "--panels", "120",
                            "--circulation", "--vortex", "constant"});
  const BatchOutcome plain =
      RunBatch(dir.path(), {"--body", "naca4412", "--general", "--alpha", "5", "--panels", "120",
                            "--circulation", "--vortex", "constant"});
  ASSERT_EQ(placed.status, 0) << placed.err;
  ASSERT_EQ(plain.status, 0) << plain.err;
  // Twice the chord: twice the lift per unit reference length.
  EXPECT_NEAR(Value(placed.out, "cl_circulation"), 2 * Value(plain.out, "cl_circulation"), 1e-9);
}

// Refused with the input named, exit 1, nothing written.
TEST(ProblemBatch, RefusesBadConfigurationsBeforeWriting) {
  const struct {
    std::vector<std::string> args;
    int status;
    const char* says;
  } cases[] = {
      {{"--body", "naca0012", "--body", "naca0012", "--circulation", "--vortex", "constant"},
       1,
       "cross each other"},
      {{"--body", "naca0012", "--body", "naca0012", "--place", "0.2:0:0:0.3"}, 1, "overlap"},
      {{"--body", "naca0012", "--ground", "0.05", "--alpha", "8"}, 1, "cuts element"},
      {{"--body", "naca0012", "--flap", "0.99:10"}, 1, "hinge must lie between 0.05 and 0.95"},
      {{"--body", "naca0012", "--flap", "0.7:75"}, 1, "within +-60 degrees"},
      {{"--body", "naca0012", "--general", "--panels", "2002"}, 1, "whole number from 3 to 2000"},
      {{"--body", "circle", "--body", "naca0012", "--place", "2:0:0:1", "--circulation", "--vortex",
        "point"},
       1,
       "point vortex carries the circulation of a single element"},
      {{"--place", "0:0:0:1"}, 2, "must follow the --body or --body-file"},
      {{"--body", "naca0012", "--place", "0:0:0"}, 2, "X:Y:DEG:CHORD"},
      {{"--body", "naca0012", "--ground", "-1"}, 2, "positive height"},
      {{"--body", "naca2412", "--ground", "1e160"}, 2, "height up to 1e6"},
      {{"--body", "naca2412", "--body", "naca0012", "--place", "2:0:0:1e300"}, 2, "within 1e6"},
      {{"--body", "naca0012", "--body", "circle", "--images"}, 2, "surface.csv"},
  };
  for (const auto& c : cases) {
    const TempDir dir;
    const BatchOutcome run = RunBatch(dir.path(), c.args);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("surface.csv"))) << c.says;
  }
}

}  // namespace
}  // namespace velquin
