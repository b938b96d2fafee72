#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/batch_run.h"
#include "cli/command_line.h"
#include "geometry/geometry_file.h"
#include "support/run_helpers.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

using test_support::TempDir;

void Write(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

SectionPoints Parsed(const std::string& text) {
  std::string error;
  const std::optional<SectionPoints> section = ParseSectionText(text, "s.dat", error);
  EXPECT_TRUE(section) << error;
  return section.value_or(SectionPoints{});
}

// A small cambered section with a sharp trailing edge, listed upper surface first
// (trailing edge, over the top to the leading edge and back underneath), the way most
// published files run. Already normalised: the trailing edge at (1, 0), the leading
// edge at (0, 0).
const double kUpper[][2] = {{1, 0}, {0.75, 0.05}, {0.4, 0.09}, {0.1, 0.06}, {0, 0}};
const double kLower[][2] = {{0, 0}, {0.1, -0.03}, {0.4, -0.04}, {0.75, -0.02}, {1, 0}};

std::string SeligUpperFirst() {
  std::ostringstream text;
  text << "Test section\n";
  for (int k = 0; k < 5; ++k) text << kUpper[k][0] << ' ' << kUpper[k][1] << '\n';
  for (int k = 1; k < 5; ++k) text << kLower[k][0] << '\t' << kLower[k][1] << '\n';
  return text.str();
}

// The same points in the Lednicer layout, commas as separators, scaled by 3 and shifted
// by (2, -1): both surfaces from the leading edge to the trailing edge.
std::string LednicerShiftedAndScaled() {
  std::ostringstream text;
  text << "Test section\n5. 5.\n\n";
  for (int k = 4; k >= 0; --k) {
    text << 2 + 3 * kUpper[k][0] << ", " << -1 + 3 * kUpper[k][1] << '\n';
  }
  text << '\n';
  for (int k = 0; k < 5; ++k) text << 2 + 3 * kLower[k][0] << ", " << -1 + 3 * kLower[k][1] << '\n';
  return text.str();
}

// Clockwise from the trailing edge, lower side first: what every form must give.
const double kExpectedNodes[][2] = {{1, 0}, {0.75, -0.02}, {0.4, -0.04}, {0.1, -0.03},
                                    {0, 0}, {0.1, 0.06},   {0.4, 0.09},  {0.75, 0.05}};

TEST(SectionFile, SeligEitherWayRoundAndLednicerGiveTheSameClockwiseNodes) {
  std::string lower_first = "0.75 -0.02\n0.4 -0.04\n";  // no name line, lower side first
  lower_first = "1 0\n" + lower_first + "0.1 -0.03\n0 0\n0.1 0.06\n0.4 0.09\n0.75 0.05\n1 0\n";
  const std::string forms[] = {SeligUpperFirst(), lower_first, LednicerShiftedAndScaled()};
  for (const std::string& form : forms) {
    const SectionPoints s = Parsed(form);
    ASSERT_EQ(s.NodeCount(), 8) << form;
    EXPECT_EQ(s.file_points, form == forms[2] ? 10 : 9);
    EXPECT_EQ(s.x[0], 1);  // the trailing edge lands on (1, 0) exactly
    EXPECT_EQ(s.y[0], 0);
    for (int k = 0; k < 8; ++k) {
      EXPECT_NEAR(s.x[k], kExpectedNodes[k][0], 1e-15) << k << '\n' << form;
      EXPECT_NEAR(s.y[k], kExpectedNodes[k][1], 1e-15) << k << '\n' << form;
    }
  }
  EXPECT_EQ(Parsed(SeligUpperFirst()).name, "Test section");
  EXPECT_EQ(Parsed(lower_first).name, "s.dat");  // no name line: the file's name
}

TEST(SectionFile, OpenTrailingEdgeJoinedAtTheMidpointOfItsEnds) {
  // Chord 2 from the leading edge at (-1, 0.5); the trailing edge open by 0.01, its
  // end points at (1, 0.51) and (1, 0.5): joined at (1, 0.505), which becomes (1, 0).
  const SectionPoints s = Parsed("1 0.51\n0 0.7\n-1 0.5\n0 0.3\n1 0.5\n");
  ASSERT_EQ(s.NodeCount(), 4);
  const double expected[][2] = {{1, 0}, {0.5, -0.1025}, {0, -0.0025}, {0.5, 0.0975}};
  for (int k = 0; k < 4; ++k) {
    EXPECT_NEAR(s.x[k], expected[k][0], 1e-15) << k;
    EXPECT_NEAR(s.y[k], expected[k][1], 1e-15) << k;
  }
}

// Twice the signed area of the nodes' polygon: negative when clockwise.
double TwiceArea(const SectionPoints& s) {
  double sum = 0;
  for (int k = 0; k < s.NodeCount(); ++k) {
    const int next = (k + 1) % s.NodeCount();
    sum += s.x[k] * s.y[next] - s.x[next] * s.y[k];
  }
  return sum;
}

TEST(SectionRepanel, NodesLieOnTheContourAndCrowdAtBothEdges) {
  // An ellipse of semi-axes 0.5 and 0.1 given by 400 points, re-panelled to 40 and 41
  // nodes: every node on the ellipse, the lower half first, the steps smallest at the
  // leading and the trailing point and largest in between.
  std::ostringstream text;
  text.precision(17);
  for (int k = 0; k <= 400; ++k) {
    const double t = 2 * M_PI * k / 400;
    text << 0.5 + 0.5 * std::cos(t) << ' ' << 0.1 * std::sin(t) << '\n';
  }
  const SectionPoints file = Parsed(text.str());
  for (int NP : {40, 41}) {
    std::string error;
    const std::optional<SectionPoints> s = RepanelSection(file, NP, error);
    ASSERT_TRUE(s) << error;
    ASSERT_EQ(s->NodeCount(), NP);
    EXPECT_EQ(s->x[0], 1);
    EXPECT_EQ(s->y[0], 0);
    EXPECT_LT(TwiceArea(*s), 0);
    const int le = NP / 2;
    EXPECT_NEAR(s->x[le], 0, 1e-12);
    std::vector<double> steps;
    for (int k = 0; k < NP; ++k) {
      const double u = (s->x[k] - 0.5) / 0.5, v = s->y[k] / 0.1;
      EXPECT_NEAR(u * u + v * v, 1, 1e-6) << k;
      if (k > 0 && k < le) {
        EXPECT_LT(s->y[k], 0) << k;
      }
      const int next = (k + 1) % NP;
      steps.push_back(std::hypot(s->x[next] - s->x[k], s->y[next] - s->y[k]));
    }
    const double longest = *std::max_element(steps.begin(), steps.end());
    for (int edge : {0, le - 1, le, NP - 1}) EXPECT_LT(steps[edge], 0.2 * longest) << edge;
  }
}

// Pair by pair, exact for whole-numbered nodes: do two panels that are not neighbours
// share a point, or do two neighbours overlap beyond their common node?
bool MeetsItselfByBruteForce(const SectionPoints& s) {
  const int n = s.NodeCount();
  const auto turn = [&s](int a, int b, int c) {
    const double t = (s.x[b] - s.x[a]) * (s.y[c] - s.y[a]) - (s.y[b] - s.y[a]) * (s.x[c] - s.x[a]);
    return (t > 0) - (t < 0);
  };
  const auto on = [&](int a, int b, int c) {  // node c on the panel from node a to node b
    return turn(a, b, c) == 0 && (s.x[c] - s.x[a]) * (s.x[c] - s.x[b]) <= 0 &&
           (s.y[c] - s.y[a]) * (s.y[c] - s.y[b]) <= 0;
  };
  for (int a = 0; a < n; ++a) {
    const int b = (a + 1) % n;
    if (on(b, (b + 1) % n, a) || on(a, b, (b + 1) % n)) return true;
    for (int d = a + 2; d < n - (a == 0); ++d) {
      const int e = (d + 1) % n;
      if ((turn(a, b, d) * turn(a, b, e) < 0 && turn(d, e, a) * turn(d, e, b) < 0) || on(a, b, d) ||
          on(a, b, e) || on(d, e, a) || on(d, e, b)) {
        return true;
      }
    }
  }
  return false;
}

TEST(SectionCrossing, AgreesWithTheBruteForceCheckOnSmallGridPolygons) {
  // Points on small grids sorted by angle round a centre off the grid lines: star
  // polygons, many of them simple, with points in line, panels along one another and
  // nodes on panels; one point moved or repeated in some, to make them cross or touch.
  std::mt19937 random(20);
  int simple = 0, meeting = 0;
  for (int trial = 0; trial < 20000; ++trial) {
    const int grid = 3 + trial % 10;
    std::vector<std::pair<int, int>> p(4 + random() % 30);
    for (auto& q : p) q = {random() % grid, random() % grid};
    const auto angle = [grid](auto q) {
      return std::atan2(q.second - grid / 2.0 - 0.13, q.first - grid / 2.0 - 0.27);
    };
    std::sort(p.begin(), p.end(), [&](auto a, auto b) { return angle(a) < angle(b); });
    p.erase(std::unique(p.begin(), p.end()), p.end());
    if (trial % 3 == 1) p[random() % p.size()] = {random() % grid, random() % grid};
    if (trial % 3 == 2) p[random() % p.size()] = p[random() % p.size()];
    SectionPoints s;
    for (std::size_t k = 0; k < p.size(); ++k) {
      if (p[k] == p[(k + 1) % p.size()]) continue;  // no panel of length zero
      s.x.push_back(p[k].first);
      s.y.push_back(p[k].second);
    }
    if (s.NodeCount() < 3) continue;
    const bool expected = MeetsItselfByBruteForce(s);
    ASSERT_EQ(SectionCrossing(s).has_value(), expected) << "trial " << trial;
    ++(expected ? meeting : simple);
  }
  EXPECT_GT(simple, 5000);
  EXPECT_GT(meeting, 5000);
}

struct BadFile {
  const char* what;
  std::string text;      // the file's contents
  const char* expected;  // part of the message, after the file's name
};

TEST(SectionFile, BadFilesAreRefusedNamingTheFileAndTheLine) {
  const BadFile cases[] = {
      {"three numbers", "name\n1 0\n0.5 0.1 7\n", "line 3: expected two numbers x y, found"},
      {"one number", "1 0\n0.5\n", "line 2: expected two numbers"},
      {"a word", "name\n1 0\n0.5 abc\n", "line 3: \"abc\" is not a number"},
      {"decimal comma", "1 0\n0,5 0,1\n", "line 2: expected two numbers"},
      {"NaN", "1 0\n0.5 nan\n0 0\n0.5 -0.1\n", "line 2: \"nan\" is not a finite number"},
      {"infinity", "1 0\n-inf 0\n", "line 2: \"-inf\" is not a finite number"},
      {"beyond a double", "1 0\n1e400 0\n", "line 2: \"1e400\" is not a finite number"},
      {"empty", "", "it has 0 distinct points; a contour needs at least 4"},
      {"three distinct points", "1 0\n0 0.1\n0 -0.1\n1 0\n", "it has 3 distinct points"},
      {"repeated point", "1 0\n0.5 0.1\n0.5 0.1\n0 0\n0.5 -0.1\n1 0\n",
       "line 3: the point repeats the one before it (line 2)"},
      {"crossing itself", "1 0\n0 0.1\n0 -0.1\n0.5 0.2\n1 0\n",
       "the contour crosses itself: the segments from the points of lines 1 and 3 meet"},
      {"folding back", "1 0\n0.5 0\n0.75 0\n0 0.1\n1 0\n", "the contour crosses itself"},
      {"Lednicer counts wrong", "name\n3. 3.\n0 0\n1 0.1\n0 0\n0.5 -0.1\n1 0\n",
       "line 2: the point counts 3 and 3 of the two surfaces do not add up to the 5 points"},
      {"starts at the leading edge", "0 0\n0.5 0.1\n1 0\n0.5 -0.1\n0 0\n",
       "line 1: no point lies ahead of the trailing edge"},
      {"end point on the joined edge", "1 0.01\n1 0\n0 0.005\n0.5 -0.01\n1 -0.01\n",
       "line 2: the point coincides with the trailing edge"},
  };
  for (const BadFile& bad : cases) {
    std::string error;
    EXPECT_FALSE(ParseSectionText(bad.text, "bad.dat", error)) << bad.what;
    EXPECT_EQ(error.rfind("coordinate file 'bad.dat'", 0), 0u) << bad.what << ": " << error;
    EXPECT_NE(error.find(bad.expected), std::string::npos) << bad.what << ": " << error;
  }
}

TEST(SectionFile, FilesThatCannotBeReadOrAreTooLong) {
  TempDir dir;
  Write(dir.File("big.dat"), std::string(kMaxSectionFileBytes + 1, ' '));
  Write(dir.File("just-1MB.dat"),
        SeligUpperFirst() + std::string(kMaxSectionFileBytes - 200, '\n'));
  struct Case {
    std::string path;
    const char* expected;
  };
  const Case cases[] = {
      {dir.File("missing.dat"), "cannot be read: No such file or directory"},
      {dir.path(), "it is a folder, not a file"},
      {dir.File("big.dat"), "it is larger than 1 MB"},
      {std::string("\x1b[31mred.dat"), "coordinate file '?[31mred.dat': cannot be read"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(ReadSectionFile(c.path, error)) << c.path;
    EXPECT_NE(error.find(c.expected), std::string::npos) << error;
    EXPECT_EQ(error.find('\x1b'), std::string::npos) << error;
  }
  std::string error;
  EXPECT_TRUE(ReadSectionFile(dir.File("just-1MB.dat"), error)) << error;
}

using Outcome = test_support::BatchOutcome;
constexpr auto& Batch = test_support::RunCommand;

std::string Source(const std::string& file) {
  return std::string(VELQUIN_SOURCE_DIR) + "/" + file;
}

double LiftFromCirculation(const std::string& line) {
  const std::size_t at = line.find("cl_circulation=");
  return at == std::string::npos ? std::nan("") : std::stod(line.substr(at + 15));
}

TEST(SectionFileRuns, BadFilesEndWithStatusOneBeforeAnyReportIsWritten) {
  TempDir dir;
  std::string many;  // 250 points round an ellipse: 249 panels
  for (int k = 0; k < 250; ++k) {
    const double t = 2 * M_PI * k / 250;
    many +=
        std::to_string(0.5 + 0.5 * std::cos(t)) + " " + std::to_string(0.1 * std::sin(t)) + "\n";
  }
  Write(dir.File("many.dat"), many);
  Write(dir.File("bad.dat"), "1 0\n0.5 x\n");
  struct Case {
    std::vector<std::string> args;
    const char* expected;
  };
  const Case cases[] = {
      {{"--body-file", dir.File("many.dat"), "--circulation", "--vortex", "point"},
       "many.dat' has 250 points (249 panels); at most 198 panels with circulation: give "
       "--panels to re-panel it"},
      {{"--body-file", dir.File("bad.dat")}, "bad.dat', line 2: \"x\" is not a number"},
      {{"--body-file", dir.File("none.dat")}, "none.dat': cannot be read"},
      {{"--body-file", dir.File("many.dat"), "--panels", "2"}, "re-panelling the coordinate file"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"--batch", "--out", dir.File("out")};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const Outcome outcome = Batch(args);
    EXPECT_EQ(outcome.status, 1) << c.expected;
    EXPECT_NE(outcome.err.find(c.expected), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.out, "");
    EXPECT_FALSE(std::filesystem::exists(dir.File("out"))) << c.expected;
  }
  // Re-panelled, the same file runs.
  const Outcome repanelled = Batch(
      {"--batch", "--out", dir.path(), "--body-file", dir.File("many.dat"), "--panels", "100"});
  EXPECT_EQ(repanelled.status, 0) << repanelled.err;
  EXPECT_NE(test_support::ReadFile(dir.File("Output_PressCoeffs.txt")).find("\r\n 100 "),
            std::string::npos);
}

// NACA 2412 from the published formulas (closed trailing edge), 160 panels cosine-spaced
// in x, in the Selig and in the Lednicer layout; and the same section as XFOIL panels it,
// 160 points with its slightly open trailing edge, upper side first. Inviscid XFOIL 6.99
// lift coefficients for the points of each file (LOAD, then OPER, ALFA), at 0, 4 and 8
// degrees.
struct LiftCase {
  const char* file;
  const char* panels;  // "" : the file's own points
  double xfoil_cl[3];
  double tolerance;  // relative
};

TEST(SectionFileRuns, LiftFromCirculationAgreesWithXfoil) {
  const LiftCase cases[] = {
      {"examples/naca2412.dat", "", {0.2596, 0.7416, 1.2199}, 0.01},
      {"examples/naca2412_lednicer.dat", "", {0.2596, 0.7416, 1.2199}, 0.01},
      {"examples/naca2412.dat", "120", {0.2596, 0.7416, 1.2199}, 0.015},
      {"examples/naca2412_lednicer.dat", "120", {0.2596, 0.7416, 1.2199}, 0.015},
      {"tests/data/naca2412_xfoil.dat", "120", {0.2554, 0.7376, 1.2162}, 0.015},
  };
  TempDir dir;
  const char* const angles[] = {"0", "4", "8"};
  for (const LiftCase& c : cases) {
    for (int a = 0; a < 3; ++a) {
      std::vector<std::string> args = {"--batch",      "--out",   dir.path(), "--body-file",
                                       Source(c.file), "--alpha", angles[a],  "--circulation",
                                       "--vortex",     "constant"};
      if (*c.panels) args.insert(args.end(), {"--panels", c.panels});
      const Outcome outcome = Batch(args);
      ASSERT_EQ(outcome.status, 0) << outcome.err;
      const double cl = LiftFromCirculation(outcome.out);
      EXPECT_NEAR(cl / c.xfoil_cl[a], 1, c.tolerance)
          << c.file << " --panels " << c.panels << " at " << angles[a] << ": " << cl;
    }
  }
}

// The lines first..last (from 1) of a text, each with its line end.
std::string Lines(const std::string& text, int first, int last) {
  std::istringstream in(text);
  std::string kept, line;
  for (int number = 1; std::getline(in, line) && number <= last; ++number) {
    if (number >= first) kept += line + '\n';
  }
  return kept;
}

// Just under 1 MB: 94 000 points zigzagging between x = 0 and x = 1 while rising slowly,
// closed round the right to the trailing edge at (2, -1). It does not cross itself, and
// each of its segments spans the whole contour: read, it is refused only for its size.
std::string MegabyteZigzag() {
  std::ostringstream text;
  text << std::fixed << std::setprecision(6) << "2 -1\n";
  for (int k = 0; k < 94000; ++k) text << k % 2 << ' ' << k % 2 + k / 2 / 94010.0 << '\n';
  return text.str() + "2 2\n2 -1\n";
}

// An ellipse of 16 000 points, every other one pulled in by 30 %.
std::string SpikedEllipse() {
  std::ostringstream text;
  text.precision(17);
  for (int k = 0; k <= 16000; ++k) {
    const double t = 2 * M_PI * k / 16000, r = k % 2 ? 0.7 : 1;
    text << 0.5 + 0.5 * r * std::cos(t) << ' ' << 0.1 * r * std::sin(t) << '\n';
  }
  return text.str();
}

// Files and names that hung, ran with a wrong answer or were misread: each is refused
// with its reason (exit status 1, or 2 for a body name), or read as meant, within a
// second of processor time. The explorer starts with the batch command's status and
// voice; a sweep's numbers and a body's name read as the angle field and the explorer
// read them.
TEST(SectionFileRuns, TroublesomeFilesAreRefusedWithTheReasonOrReadAsMeant) {
  const std::string naca = test_support::ReadFile(Source("examples/naca2412.dat"));
  std::string cr_only = naca;
  std::replace(cr_only.begin(), cr_only.end(), '\n', '\r');
  const std::vector<std::string> lift = {"--alpha", "4", "--circulation", "--vortex", "constant"};
  struct Case {
    const char* what;
    std::string file;  // none when empty; "<fifo>", "<missing>": a FIFO, no file
    std::vector<std::string> args;
    int status;
    std::string expected;  // in stderr or stdout
  };
  const Case cases[] = {
      {"a FIFO", "<fifo>", {}, 1, "fifo.dat': it is not a regular file"},
      {"cut short", Lines(naca, 1, 100), {}, 1, "% of the chord apart, more than the 3.0 %"},
      {"one surface", Lines(naca, 1, 82), {}, 1, "(lines 2 and 82) lie 100.0 % of the chord"},
      {"closed, starting part-way along the lower surface",
       Lines(naca, 42, 161) + Lines(naca, 2, 42),
       {},
       1,
       "line 121: the point lies behind the trailing edge that joins the end points of lines 1 "
       "and 161"},
      {"a name line of two numbers",
       "2.5 15\n" + Lines(naca, 2, 162),
       {},
       1,
       "its end points (lines 1 and 162) lie"},
      {"a byte-order mark and no name line", "\xEF\xBB\xBF" + Lines(naca, 2, 162), lift, 0,
       "cl_circulation=0.74337"},
      {"a megabyte zigzag", MegabyteZigzag(), {}, 1, "has 94003 points (94002 panels)"},
      {"lone CR line ends", cr_only, lift, 0, "cl_circulation=0.74337"},
      {"a number that underflows",
       "1 0\n0.5 1e-400\n0 0\n0.5 -0.1\n1 0\n",
       {},
       1,
       "line 2: \"1e-400\" is too small for a coordinate: it underflows"},
      {"a body name number that underflows",
       "",
       {"--body", "joukowski:-1e-400:0"},
       2,
       "XC '-1e-400' is a number too small for a double: it underflows"},
      {"a Joukowski section of no thickness",
       "",
       {"--body", "joukowski:-1e-12:0"},
       2,
       "the section is too thin"},
      {"a zigzag re-panelled",
       SpikedEllipse(),
       {"--panels", "198"},
       1,
       "than the panel over it is long"},
      {"subnormal coordinates",
       "1e-318 0\n0.5e-318 1e-320\n0 0\n0.5e-318 -1e-320\n1e-318 0\n",
       {},
       1,
       "line 1: \"1e-318\" is too small for a coordinate"},
      {"the explorer on a file that cannot be read",
       "<missing>",
       {"--explore"},
       1,
       "missing.dat': cannot be read: No such file or directory"},
      {"a sweep from a decimal comma",
       "",
       {"--sweep", "0,5:2:1"},
       0,
       "velquin2ds: note: sweep FROM \"0,5\" read as 0 (the decimal separator is a point)\n"},
      {"a body name with a blank and capitals",
       "",
       {"--body", "NACA 2412", "--panels", "60", "--alpha", "4", "--circulation", "--vortex",
        "constant"},
       0,
       "cl_circulation=0.744"},  // NACA 2412 at 4 degrees; XFOIL gives 0.7416
  };
  TempDir dir;
  const std::string fifo = dir.File("fifo.dat");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const Case& c : cases) {
    const bool explore = !c.args.empty() && c.args.front() == "--explore";
    std::vector<std::string> args;
    if (!explore) args = {"--batch", "--out", dir.File("out")};
    args.insert(args.end(), c.args.begin(), c.args.end());
    if (c.file == "<fifo>" || c.file == "<missing>") {
      args.insert(args.end(), {"--body-file", c.file == "<fifo>" ? fifo : dir.File("missing.dat")});
    } else if (!c.file.empty()) {
      Write(dir.File("case.dat"), c.file);
      args.insert(args.end(), {"--body-file", dir.File("case.dat")});
    }
    // Were the FIFO waited on, a writer coming after 3 s would end the wait: the run then
    // fails rather than hangs.
    std::atomic<bool> done{false};
    std::thread writer([&] {
      for (int k = 0; k < 300 && !done; ++k)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      if (!done) close(open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
    });
    const std::clock_t start = std::clock();
    Outcome outcome;
    if (explore) {  // what gui/main.cpp prints and returns before a window opens
      const ExplorerCommand command = ParseExplorerCommand(args);
      outcome = {command.error.empty() ? 0 : command.error_status, "", command.error};
    } else {
      outcome = Batch(args);
    }
    done = true;
    writer.join();
    EXPECT_LT(double(std::clock() - start) / CLOCKS_PER_SEC, 1.0) << c.what;
    EXPECT_EQ(outcome.status, c.status) << c.what << ": " << outcome.err;
    if (c.status != 0) {
      EXPECT_EQ(outcome.err.rfind("velquin2ds: ", 0), 0u) << outcome.err;
    }
    const std::string shown = outcome.err + outcome.out;
    EXPECT_NE(shown.find(c.expected), std::string::npos) << c.what << ": " << shown;
  }
}

}  // namespace
}  // namespace velquin
