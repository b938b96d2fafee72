// The explorer's session files: the text written for a session reads back as the same
// session, the layout is the documented one, and damaged or foreign files are refused
// with the file and the line named.
#include "app/explorer_session.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <string>

#include "support/temp_dir.h"

namespace velquin {
namespace {

using test_support::TempDir;

ExplorerSessionSet Named(const std::string& body, int panels, VortexModel vortex) {
  ExplorerSessionSet set;
  set.body = body;
  set.panels = panels;
  set.vortex = vortex;
  return set;
}

TEST(ExplorerSession, TextReadsBackAsTheSameSession) {
  ExplorerSession plain;
  plain.shown = Named("circle", 8, VortexModel::kNone);

  ExplorerSession compared;
  compared.shown = Named("naca2412", 160, VortexModel::kConstantDistribution);
  compared.alpha_degrees = -7.35;
  ExplorerSessionSet point = Named("naca0012", 40, VortexModel::kPointVortex);
  point.xv = 0.1 + 0.2;  // 0.30000000000000004: every bit survives
  point.yv = -1e-3;
  compared.compare = point;
  compared.conditions = {1e6, 7.5};  // the boundary layers at Re 1e6, Ncrit 7.5
  compared.overlays = {{OverlayKind::kPolar, "/data/polar.txt"},
                       {OverlayKind::kPressure, "/data/cp.csv"}};

  ExplorerSession file;
  file.shown.body_file = "/sections/my wing.dat";
  file.shown.file_points = false;
  file.shown.panels = 90;
  file.shown.vortex = VortexModel::kPointVortex;
  file.shown.xv = 0.25;
  ExplorerSessionSet own_points;
  own_points.body_file = "/sections/other.dat";
  file.alpha_degrees = 20;
  file.conditions.reynolds = 2.5e5 + 1e-9;  // every bit of the Reynolds number too
  file.compare = own_points;

  // The general problem: the shown body placed and flapped above a ground, an element by
  // name and the second element of a file.
  ExplorerSession layout;
  layout.shown = Named("naca23012", 100, VortexModel::kConstantDistribution);
  layout.placement = Placement{0, 0, -2.5, 1};
  layout.flap = Flap{0.7, 20};
  layout.ground_height = 0.35;
  layout.elements = {{"naca23012", "", 1, {0.95, -0.04, 25, 0.3}, Flap{0.8, -5}},
                     {"", "/sections/slat and flap.dat", 2, {1.3, -0.1, 40, 0.1 + 0.2}, {}}};

  for (const ExplorerSession& session : {plain, compared, file, layout}) {
    const std::string text = ExplorerSessionText(session);
    std::string error;
    const std::optional<ExplorerSession> back = ParseExplorerSession(text, "s.ini", "", error);
    ASSERT_TRUE(back) << error << "\n" << text;
    EXPECT_TRUE(*back == session) << text;
  }
}

TEST(ExplorerSession, TheDocumentedLayout) {
  ExplorerSession session;
  session.shown = Named("naca2412", 80, VortexModel::kConstantDistribution);
  session.alpha_degrees = 4.5;
  session.overlays = {{OverlayKind::kPolar, "/p.txt"}};
  EXPECT_EQ(ExplorerSessionText(session),
            "# Velquin-2DS flow explorer session\n"
            "[explorer]\nversion = 1\nalpha = 4.5\noverlay-polar = /p.txt\n"
            "[shown]\nbody = naca2412\npanels = 80\nvortex = constant\n");
  // Comments, blank lines, blanks about '=' and CR LF line ends are all right; relative
  // paths are taken from the session's folder.
  std::string error;
  const auto read = ParseExplorerSession(
      "; written by hand\r\n[explorer]\r\nversion=1\r\n\r\noverlay-cp =  cp.csv \r\n"
      "[shown]\r\nbody-file = ../wing.dat\r\npoints = spline\r\npanels = 60\r\nvortex = point\r\n"
      "xv = 0.25\r\n",
      "/home/u/s.ini", "/home/u", error);
  ASSERT_TRUE(read) << error;
  EXPECT_EQ(read->overlays.at(0).second, "/home/u/cp.csv");
  EXPECT_EQ(read->shown.body_file, "/home/u/../wing.dat");
  EXPECT_FALSE(read->shown.file_points);
  EXPECT_EQ(read->shown.panels, 60);
  EXPECT_EQ(read->shown.vortex, VortexModel::kPointVortex);
  EXPECT_EQ(read->shown.xv, 0.25);
  EXPECT_EQ(read->alpha_degrees, 0);
}

TEST(ExplorerSession, DamagedOrForeignFilesAreRefused) {
  const std::string head = "[explorer]\nversion = 1\n";
  const std::string shown = "[shown]\nbody = circle\npanels = 8\nvortex = none\n";
  const struct {
    std::string text;
    const char* message;
  } cases[] = {
      {"", "session file \"s.ini\": it is empty: a session begins with [explorer]"},
      {"[General]\ngeometry=@ByteArray(x)\n",
       "session file \"s.ini\", line 1: not a Velquin-2DS explorer session: it begins with "
       "\"[General]\", not [explorer]"},
      {"{\"json\": true}\n",
       "session file \"s.ini\", line 1: not a Velquin-2DS explorer session: it begins with "
       "\"{\"json\": true}\", not [explorer]"},
      {"[explorer]\nversion = 2\n" + shown,
       "session file \"s.ini\", line 2: version \"2\" of the session format is not known (1 is)"},
      {"[explorer]\nalpha = 1\n" + shown,
       "session file \"s.ini\": its [explorer] section gives no version"},
      {head, "session file \"s.ini\": it has no section [shown]"},
      {head + shown + "colour = red\n",
       "session file \"s.ini\", line 7: unknown key \"colour\" in [shown]"},
      {head + "alpha = 4,5\n" + shown,
       "session file \"s.ini\", line 3: alpha \"4,5\" is not a number"},
      {head + "alpha = nan\n" + shown,
       "session file \"s.ini\", line 3: alpha \"nan\" is not a number"},
      {head + shown + "panels = 9\n",
       "session file \"s.ini\", line 7: key \"panels\" given twice in [shown]"},
      {head + shown + "[shown]\n", "session file \"s.ini\", line 7: section [shown] given twice"},
      {head + "[shown]\npanels = 8.5\n",
       "session file \"s.ini\", line 4: panels \"8.5\" is not a whole positive number"},
      {head + "[shown]\nvortex = strong\n",
       "session file \"s.ini\", line 4: vortex is none, constant or point, not \"strong\""},
      {head + "[shown]\npanels = 8\n",
       "session file \"s.ini\", line 3: [shown] names its body by exactly one of body and "
       "body-file"},
      {head + "[shown]\nbody = circle\nbody-file = c.dat\n",
       "session file \"s.ini\", line 3: [shown] names its body by exactly one of body and "
       "body-file"},
      {head + "[shown]\nbody-file = c.dat\npoints = spline\n",
       "session file \"s.ini\", line 3: [shown] re-panels its file (points = spline) but gives no "
       "panels"},
      {head + shown + "[compare]\nbody = naca0012\n",
       "session file \"s.ini\", line 7: [compare] gives no panels"},
      {head + shown + "[extra]\n", "session file \"s.ini\", line 7: unknown section \"[extra]\""},
      {head + "reynolds = 500\n" + shown,
       "session file \"s.ini\", line 3: reynolds \"500\" lies outside 1000 to 1e9"},
      {head + "ncrit = 0\n" + shown,
       "session file \"s.ini\", line 3: ncrit \"0\" lies outside 0.01 to 30"},
      {head + "just text\n",
       "session file \"s.ini\", line 3: expected KEY = VALUE, found \"just text\""},
      {head + shown + "[element 3]\nbody = circle\nplace = 1:0:0:1\n",
       "session file \"s.ini\", line 7: the further elements are numbered in order from 2: "
       "[element 2] expected, not \"[element 3]\""},
      {head + shown + "[element 2]\nbody = circle\n",
       "session file \"s.ini\", line 7: [element 2] gives no place"},
      {head + shown + "[element 2]\nbody = circle\nplace = 1:0:0\n",
       "session file \"s.ini\", line 9: place is X:Y:DEG:CHORD, not \"1:0:0\""},
      {head + shown + "flap = 0.7\n",
       "session file \"s.ini\", line 7: flap is XH:DEG, not \"0.7\""},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(ParseExplorerSession(c.text, "s.ini", "", error)) << c.text;
    EXPECT_EQ(error, c.message) << c.text;
  }
}

TEST(ExplorerSession, OnlySmallRegularFiles) {
  const TempDir dir;
  ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0644), 0);
  std::string error;
  EXPECT_FALSE(ReadExplorerSessionFile(dir.File("fifo"), error));
  EXPECT_EQ(error, "session file \"" + dir.File("fifo") + "\": it is not a regular file");
  std::ofstream(dir.File("s.ini")) << "[explorer]\nversion = 1\noverlay-cp = cp.csv\n"
                                      "[shown]\nbody = circle\npanels = 8\n";
  const auto read = ReadExplorerSessionFile(dir.File("s.ini"), error);
  ASSERT_TRUE(read) << error;
  EXPECT_EQ(read->overlays.at(0).second, dir.path() + "/cp.csv");
}

}  // namespace
}  // namespace velquin
