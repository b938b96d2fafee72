// The readers of the curves laid over the explorer's charts: XFOIL's polar and CPWR
// files (made by Debian's xfoil, tests/data/xfoil/make_xfoil_files.sh), plain CSV, and
// the explorer's own Cp export; and the refusals, each naming the file and the line.
#include "app/overlay_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/temp_dir.h"

namespace velquin {
namespace {

using test_support::TempDir;

const std::string kXfoil = VELQUIN_SOURCE_DIR "/tests/data/xfoil/";

// Values read off the files by eye: first and last rows, and one in between.
TEST(OverlayFiles, XfoilFilesAsXfoilWroteThem) {
  std::string error;
  const auto polar = ReadOverlayFile(kXfoil + "naca2412_polar.txt", OverlayKind::kPolar, error);
  ASSERT_TRUE(polar) << error;
  EXPECT_EQ(polar->name, "NACA 2412");
  EXPECT_EQ(polar->alpha, (std::vector<double>{-4, -2, 0, 2, 4, 6, 8}));
  EXPECT_EQ(polar->cl.at(4), 0.7376);  // the CL column, not CD or CDp
  EXPECT_EQ(polar->cd.at(0), 0.0);
  EXPECT_EQ(polar->cm.at(0), -0.0501);
  EXPECT_EQ(polar->cm.at(6), -0.0677);

  const auto cp = ReadOverlayFile(kXfoil + "naca2412_cp_a4.txt", OverlayKind::kPressure, error);
  ASSERT_TRUE(cp) << error;
  EXPECT_EQ(cp->name, "naca2412_cp_a4.txt");
  EXPECT_EQ(cp->x.size(), 160u);
  EXPECT_EQ(cp->x.front(), 1.0);
  EXPECT_EQ(cp->cp.front(), 0.41758);
  EXPECT_EQ(cp->x.at(1), 0.99180);
  EXPECT_EQ(cp->cp.at(1), 0.21975);
}

TEST(OverlayFiles, PlainTextLayouts) {
  const struct {
    const char* what;
    OverlayKind kind;
    const char* text;
    std::vector<double> first, second, cd, cm;
  } cases[] = {
      {"x,cp with a header",
       OverlayKind::kPressure,
       "x,cp\n0,1\n0.5,-0.25\n1,0.1\n",
       {0, 0.5, 1},
       {1, -0.25, 0.1},
       {},
       {}},
      {"x,cp without one, CR LF, blank lines",
       OverlayKind::kPressure,
       "0 1\r\n\r\n1 -2e-1\r\n",
       {0, 1},
       {1, -0.2},
       {},
       {}},
      {"the explorer's own export",
       OverlayKind::kPressure,
       "# NACA 0012, 8 panels, constant vortex distribution, alpha = 4 degrees\n"
       "x,y,cp,side\n0.25,0.05,-0.5,upper\n0.75,-0.03,0.125,lower\n",
       {0.25, 0.75},
       {-0.5, 0.125},
       {},
       {}},
      {"CPWR with y",
       OverlayKind::kPressure,
       "#    x        y        Cp\n 1.0 0.0 0.3\n 0.5 0.06 -0.7\n",
       {1, 0.5},
       {0.3, -0.7},
       {},
       {}},
      {"alpha,cl",
       OverlayKind::kPolar,
       "alpha,cl\n-2,-0.2\n4,0.45\n",
       {-2, 4},
       {-0.2, 0.45},
       {},
       {}},
      {"alpha,cl,cd,cm without a header",
       OverlayKind::kPolar,
       "0 0.25 0.01 -0.05\n2 0.5 0.012 -0.06\n",
       {0, 2},
       {0.25, 0.5},
       {0.01, 0.012},
       {-0.05, -0.06}},
      {"columns by their names", OverlayKind::kPolar, "CM;CL;alpha\n", {}, {}, {}, {}},
      {"a header in another order",
       OverlayKind::kPolar,
       "CD CL Alpha CM\n0.01 0.3 1 -0.1\n0.02 0.6 3 -0.1\n",
       {1, 3},
       {0.3, 0.6},
       {0.01, 0.02},
       {-0.1, -0.1}},
  };
  for (const auto& c : cases) {
    if (c.first.empty()) continue;  // a header alone is refused below
    std::string error;
    const auto curve = ParseOverlayText(c.text, "f.csv", c.kind, error);
    ASSERT_TRUE(curve) << c.what << ": " << error;
    if (c.kind == OverlayKind::kPressure) {
      EXPECT_EQ(curve->x, c.first) << c.what;
      EXPECT_EQ(curve->cp, c.second) << c.what;
    } else {
      EXPECT_EQ(curve->alpha, c.first) << c.what;
      EXPECT_EQ(curve->cl, c.second) << c.what;
      EXPECT_EQ(curve->cd, c.cd) << c.what;
      EXPECT_EQ(curve->cm, c.cm) << c.what;
    }
  }
}

TEST(OverlayFiles, RefusalsNameTheFileAndTheLine) {
  const struct {
    OverlayKind kind;
    const char* text;
    const char* message;
  } cases[] = {
      {OverlayKind::kPressure, "x,cp\n0,1\n0.5,abc\n",
       "Cp file \"f.csv\", line 3: \"abc\" is not a number"},
      {OverlayKind::kPressure, "0 1\n0.5\n",
       "Cp file \"f.csv\", line 2: expected 2 numbers, found \"0.5\""},
      {OverlayKind::kPressure, "0 1\n0.5 nan\n",
       "Cp file \"f.csv\", line 2: \"nan\" is not a finite number"},
      {OverlayKind::kPressure, "0 1\n0.5 1e999\n",
       "Cp file \"f.csv\", line 2: \"1e999\" is not a number"},
      {OverlayKind::kPressure, "0 1\n0,5 1,5\n",
       "Cp file \"f.csv\", line 2: expected 2 numbers, found \"0,5 1,5\""},
      {OverlayKind::kPressure, "x,cp\n0.5,1x\n",
       "Cp file \"f.csv\", line 2: \"1x\" is not a number"},
      {OverlayKind::kPressure, "alpha,cl\n1,2\n",
       "Cp file \"f.csv\", line 1: the header \"alpha,cl\" names no columns x and cp"},
      {OverlayKind::kPolar, "x,cp\n0,1\n",
       "polar file \"f.csv\", line 1: the header \"x,cp\" names no columns alpha and cl"},
      {OverlayKind::kPolar, "alpha,cl\n1,0.1\n",
       "polar file \"f.csv\": it holds 1 point of alpha and cl; a curve needs at least 2"},
      {OverlayKind::kPolar, "",
       "polar file \"f.csv\": it holds 0 points of alpha and cl; a curve needs at least 2"},
      {OverlayKind::kPolar, "  XFOIL  Version 6.99\n ------ ------\n",
       "polar file \"f.csv\", line 2: the dashes follow no column names"},
      {OverlayKind::kPolar, "0 0.1 0 0\n1 0.2 0\n",
       "polar file \"f.csv\", line 2: expected 4 numbers, found \"1 0.2 0\""},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(ParseOverlayText(c.text, "f.csv", c.kind, error)) << c.text;
    EXPECT_EQ(error, c.message) << c.text;
  }
}

// Only a regular file of at most 1 MB is read; a FIFO is refused without waiting.
TEST(OverlayFiles, OnlySmallRegularFiles) {
  const TempDir dir;
  ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0644), 0);
  std::ofstream(dir.File("big")) << std::string(kMaxOverlayFileBytes + 1, '1');
  std::filesystem::create_directory(dir.File("folder"));
  const struct {
    std::string name;
    const char* reason;
  } cases[] = {{"fifo", "it is not a regular file"},
               {"big", "it is larger than 1 MB"},
               {"folder", "it is a folder, not a file"},
               {"missing", "cannot be read: No such file or directory"}};
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(ReadOverlayFile(dir.File(c.name), OverlayKind::kPolar, error));
    EXPECT_EQ(error, "polar file \"" + dir.File(c.name) + "\": " + c.reason);
  }
}

}  // namespace
}  // namespace velquin
