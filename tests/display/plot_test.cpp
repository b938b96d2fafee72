// The three plots, checked operation by operation on a recording picture.
#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <vector>

#include "base/run_error.h"
#include "cli/batch_window.h"
#include "display/matrix_plot.h"
#include "display/pressure_plot.h"
#include "geometry/module_geometry.h"
#include "geometry/module_panel.h"
#include "support/recording_picture.h"
#include "support/run_helpers.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

using namespace test_support;

Vector MakeVector(const std::vector<double>& values) {  // values go to 1, 2, ...
  Vector v;
  for (std::size_t i = 0; i < values.size(); ++i) v(static_cast<int>(i) + 1) = values[i];
  return v;
}

std::vector<PictureOp> DrawPressure(double np, const std::vector<double>& x,
                                    const std::vector<double>& cu, double draw_scale) {
  RecordingPicture picture;
  Show_Pressure(picture, np, MakeVector(x), MakeVector(cu), draw_scale);
  return picture.ops;
}

// Axes up to the largest 1 - Cp (a unit height when nothing is above zero), then the
// points joined in order, each but the last with a marker; the circle's x is halved.
TEST(PressurePlot, AxesUpToTheMaximumOrOneThenAnOpenCurveMarkedOnAllButTheLastPoint) {
  const auto axes = [](float m) {
    return std::vector<PictureOp>{ClsOp(), ScaleOp(-0.1, m * 1.1, 1.1, m * (-0.1)),
                                  LineOp(0, 0, 1, 0, kForeground), LineOp(0, m, 0, 0, kForeground)};
  };
  for (float f : {1.0f, 0.5f}) {
    std::vector<PictureOp> expected = axes(2);
    expected.insert(
        expected.end(),
        {LineOp(f * 0.25f, 0.5f, f * 0.5f, 2, kRed), CircleOp(f * 0.25f, 0.5f, 0.005f, kRed),
         LineOp(f * 0.5f, 2, f * 0.75f, 1, kRed), CircleOp(f * 0.5f, 2, 0.005f, kRed)});
    EXPECT_EQ(DrawPressure(3, {0.25, 0.5, 0.75}, {0.5, 2, 1}, f), expected);
  }
  std::vector<PictureOp> expected = axes(1);
  expected.insert(expected.end(), {LineOp(0.5f, -1, 1, 0, kRed), CircleOp(0.5f, -1, 0.005f, kRed)});
  EXPECT_EQ(DrawPressure(2, {0.5, 1}, {-1, 0}, 1), expected);
  for (double np : {0.0, 1.0}) {  // no segment: the axes alone
    EXPECT_EQ(DrawPressure(np, {}, {0.7}, 1).size(), 4u) << "NP " << np;
  }
}

TEST(PressurePlot, ZeroReferenceLengthIsADivisionByZero) {
  try {
    BodyDrawScale(*CircleBody(), 0);
    FAIL() << "no error";
  } catch (const RunError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::kDivisionByZero);
  }
}

// A whole run draws its body and its pressure curve at the same scale: the section
// fills the chord, the circle half of it.
TEST(PressurePlot, WholeRunsDrawThePressureAtTheBodysScale) {
  for (const bool circle : {true, false}) {
    auto C = NewState();
    const ControlValues controls = circle ? CircleControls("8") : Naca(CircleControls("8"));
    RecordingPicture airfoil, pressure;
    NullPicture matrix;
    std::ostringstream messages;
    BatchWindow window(controls, {&airfoil, &pressure, &matrix}, messages);
    TempDir dir;
    ASSERT_EQ(Command1_Click(*C, window.Controls(), window, ReportOptions{dir.path(), '.'}),
              RunOutcome::kCompleted);
    float widest = 0;
    for (const PictureOp& op : pressure.ops) {
      if (op.kind == OpKind::Line && op.colour == kRed) widest = std::max(widest, op.at[2]);
    }
    EXPECT_NEAR(widest, circle ? 0.5 * 0.9268 : 0.9268, 1e-4) << (circle ? "circle" : "section");
  }
}

// Draws X(1..n, 1..n) and returns the cell colours row by row, after checking that the
// cells come after Cls and Scale as unit squares in reading order.
std::vector<Colour> CellColours(double n, const Matrix& x) {
  RecordingPicture picture;
  Show_CoefficientMatrix(picture, n, x);
  std::vector<Colour> colours;
  EXPECT_EQ(picture.ops.size(), 2 + static_cast<std::size_t>(n * n));
  if (picture.ops.size() < 2) return colours;
  EXPECT_EQ(picture.ops[0], ClsOp());
  EXPECT_EQ(picture.ops[1], ScaleOp(0, 0, n, n));
  for (std::size_t k = 2; k < picture.ops.size(); ++k) {
    const auto i = static_cast<float>((k - 2) / static_cast<std::size_t>(n) + 1);
    const auto j = static_cast<float>((k - 2) % static_cast<std::size_t>(n) + 1);
    const Colour colour = picture.ops[k].colour.value_or(kBlack);
    EXPECT_EQ(picture.ops[k], LineBFOp(j - 1, i - 1, j, i, colour)) << "cell " << k - 2;
    colours.push_back(colour);
  }
  return colours;
}

// 2 on the diagonal, -1 beside it: levels 15, 8 and 0 of the spread. The right-hand
// side column (4), however large, never counts.
TEST(CoefficientMatrix, CellsAreShadedBySizeAgainstTheSpreadWithoutTheRightHandSide) {
  Matrix a;
  for (int i = 1; i <= 3; ++i) a(i, i) = 2, a(i, 4) = (i == 2) ? -1e9 : 1e9;
  for (int i = 1; i <= 2; ++i) a(i, i + 1) = a(i + 1, i) = -1;
  const Colour d = RGB(255, 95, 95), o = RGB(255, 175, 175), w = kWhite;
  EXPECT_EQ(MatrixPaletteColour(10), d);
  EXPECT_EQ(MatrixPaletteColour(5), o);
  EXPECT_EQ(CellColours(3, a), (std::vector<Colour>{d, o, w, o, d, o, w, o, d}));
}

TEST(CoefficientMatrix, LevelsRoundHalfToEven) {
  Matrix a;
  a(1, 1) = 6, a(1, 2) = 1;  // 15 * (1 / 6) = 2.5 -> 2
  EXPECT_EQ(CellColours(2, a)[1], MatrixPaletteColour(2));
  a(1, 1) = 2;  // 15 * (1 / 2) = 7.5 -> 8
  EXPECT_EQ(CellColours(2, a)[1], MatrixPaletteColour(8));
}

TEST(CoefficientMatrix, ExtremeMatricesStayInsideThePalette) {
  Matrix single, infinite;
  single(1, 1) = -0.3;
  infinite(1, 1) = std::numeric_limits<double>::infinity(), infinite(2, 2) = 1;
  EXPECT_EQ(CellColours(2, Matrix()), std::vector<Colour>(4, kWhite));  // spread 0
  EXPECT_EQ(CellColours(1, single), std::vector<Colour>{RGB(255, 15, 15)});
  EXPECT_EQ(CellColours(2, infinite), std::vector<Colour>(4, kWhite));  // inf / inf: no level
}

std::vector<PictureOp> DrawBody(bool circle, double np) {
  auto C = NewState();
  C->NP = np;
  circle ? Geometry_Circle(*C) : Geometry_NACA0012(*C);
  Panel_ComputeGeometry(*C);
  RecordingPicture airfoil;
  Panel_Draw(*C, circle ? 0.5 : 1, airfoil);
  return airfoil.ops;
}

void ExpectNear(const PictureOp& actual, const PictureOp& expected, int k) {
  EXPECT_EQ(actual.kind, expected.kind) << "op " << k;
  EXPECT_EQ(actual.colour, expected.colour) << "op " << k;
  for (int c = 0; c < 4; ++c) EXPECT_NEAR(actual.at[c], expected.at[c], 1e-6) << "op " << k;
}

// Per panel: the panel in red, a red marker at its first node, a blue one at its
// control point; the circle is drawn at half size.
TEST(BodyPlot, CircleOfFourPanelsIsASquareOnItsCorner) {
  const std::vector<PictureOp> ops = DrawBody(true, 4);
  ASSERT_EQ(ops.size(), 4u + 3 * 4);
  EXPECT_EQ(std::vector<PictureOp>(ops.begin(), ops.begin() + 4),
            (std::vector<PictureOp>{ClsOp(), ScaleOp(-0.1, 0.3, 1.1, -0.3),
                                    LineOp(0, 0, 1, 0, kForeground),
                                    LineOp(0, -0.25f, 0, 0.25f, kForeground)}));
  const float corner[5][2] = {{0.5f, 0}, {0.25f, -0.25f}, {0, 0}, {0.25f, 0.25f}, {0.5f, 0}};
  for (int p = 0; p < 4; ++p) {
    const float *a = corner[p], *b = corner[p + 1];
    const int k = 4 + 3 * p;
    ExpectNear(ops[k], LineOp(a[0], a[1], b[0], b[1], kRed), k);
    ExpectNear(ops[k + 1], CircleOp(a[0], a[1], 0.005f, kRed), k + 1);
    ExpectNear(ops[k + 2], CircleOp((a[0] + b[0]) / 2, (a[1] + b[1]) / 2, 0.005f, kBlue), k + 2);
    EXPECT_EQ(ops[k + 1].at[2], 0.005f);
  }
}

TEST(BodyPlot, SectionStartsAtTheTrailingEdgeAtFullSize) {
  const std::vector<PictureOp> ops = DrawBody(false, 8);
  ASSERT_EQ(ops.size(), 4u + 3 * 8);
  EXPECT_NEAR(ops[4].at[0], 1, 1e-6);
  EXPECT_NEAR(ops[4].at[1], 0, 1e-6);
  ExpectNear(ops[5], CircleOp(1, 0, 0.005f, kRed), 5);
}

}  // namespace
}  // namespace velquin
