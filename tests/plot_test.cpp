// The three plots, checked operation by operation on a recording picture.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "display/matrix_plot.h"
#include "display/pressure_plot.h"
#include "geometry/module_geometry.h"
#include "geometry/module_panel.h"
#include "shell/run_error.h"
#include "support/recording_picture.h"

namespace velquin {
namespace {

using testing::CircleOp;
using testing::ClsOp;
using testing::LineBFOp;
using testing::LineOp;
using testing::PictureOp;
using testing::RecordingPicture;
using testing::ScaleOp;

Vector MakeVector(const std::vector<double>& values) {  // values go to 1, 2, ...
  Vector v;
  for (std::size_t i = 0; i < values.size(); ++i) v(static_cast<int>(i) + 1) = values[i];
  return v;
}

// ---- Pressure plot ----

TEST(PressurePlot, DrawsAnOpenCurveWithMarkersOnAllButTheLastPoint) {
  const Vector x = MakeVector({0.25, 0.5, 0.75});
  const Vector cu = MakeVector({0.5, 2, 1});
  for (bool circle : {false, true}) {
    const float f = circle ? 0.5f : 1.0f;
    RecordingPicture picture;
    Show_Pressure(picture, 3, x, cu, 1, circle);
    const std::vector<PictureOp> expected = {ClsOp(),
                                             ScaleOp(-0.1, 2 * 1.1, 1.1, 2 * (-0.1)),
                                             LineOp(0, 0, 1, 0, kForeground),
                                             LineOp(0, 2, 0, 0, kForeground),
                                             LineOp(f * 0.25f, 0.5f, f * 0.5f, 2, kRed),
                                             CircleOp(f * 0.25f, 0.5f, 0.005f, kRed),
                                             LineOp(f * 0.5f, 2, f * 0.75f, 1, kRed),
                                             CircleOp(f * 0.5f, 2, 0.005f, kRed)};
    EXPECT_EQ(picture.ops, expected) << "circle " << circle;
  }
}

TEST(PressurePlot, NothingAboveZeroGivesAxesOverAUnitHeight) {
  RecordingPicture picture;
  Show_Pressure(picture, 2, MakeVector({0.5, 1}), MakeVector({-1, 0}), 1, false);
  const std::vector<PictureOp> expected = {ClsOp(),
                                           ScaleOp(-0.1, 1.1, 1.1, -0.1),
                                           LineOp(0, 0, 1, 0, kForeground),
                                           LineOp(0, 1, 0, 0, kForeground),
                                           LineOp(0.5f, -1, 1, 0, kRed),
                                           CircleOp(0.5f, -1, 0.005f, kRed)};
  EXPECT_EQ(picture.ops, expected);

  for (double np : {0.0, 1.0}) {  // no segment: the axes alone
    RecordingPicture axes_only;
    Show_Pressure(axes_only, np, Vector(), MakeVector({0.7}), 1, false);
    EXPECT_EQ(axes_only.ops.size(), 4u) << "NP " << np;
  }
}

TEST(PressurePlot, ZeroReferenceLengthIsADivisionByZero) {
  RecordingPicture picture;
  try {
    Show_Pressure(picture, 2, MakeVector({0.5, 1}), MakeVector({1, 1}), 0, true);
    FAIL() << "no error";
  } catch (const RunError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::kDivisionByZero);
  }
}

// ---- Coefficient matrix ----

// Draws X(1..n, 1..n) and returns the cell colours row by row, after checking that
// the cells come after Cls and Scale as unit squares in reading order.
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

Matrix Tridiagonal3() {  // 2 on the diagonal, -1 beside it
  Matrix a;
  for (int i = 1; i <= 3; ++i) a(i, i) = 2;
  for (int i = 1; i <= 2; ++i) a(i, i + 1) = a(i + 1, i) = -1;
  return a;
}

TEST(CoefficientMatrix, CellsAreShadedBySizeAgainstTheSpread) {
  const Colour d = RGB(255, 95, 95), o = RGB(255, 175, 175), w = kWhite;
  EXPECT_EQ(MatrixPaletteColour(10), d);
  EXPECT_EQ(MatrixPaletteColour(5), o);
  EXPECT_EQ(CellColours(3, Tridiagonal3()), (std::vector<Colour>{d, o, w, o, d, o, w, o, d}));
}

TEST(CoefficientMatrix, RightHandSideColumnNeverCounts) {
  Matrix a = Tridiagonal3();
  const std::vector<Colour> plain = CellColours(3, a);
  for (int i = 1; i <= 3; ++i) a(i, 4) = (i == 2) ? -1e9 : 1e9;
  EXPECT_EQ(CellColours(3, a), plain);
}

TEST(CoefficientMatrix, LevelsRoundHalfToEven) {
  Matrix a;
  a(1, 1) = 6;
  a(1, 2) = 1;  // 15 * (1 / 6) = 2.5 -> 2
  EXPECT_EQ(CellColours(2, a)[1], MatrixPaletteColour(2));
  a(1, 1) = 2;  // 15 * (1 / 2) = 7.5 -> 8
  EXPECT_EQ(CellColours(2, a)[1], MatrixPaletteColour(8));
}

TEST(CoefficientMatrix, ExtremeMatricesStayInsideThePalette) {
  EXPECT_EQ(CellColours(2, Matrix()), std::vector<Colour>(4, kWhite));  // spread 0

  Matrix single;
  single(1, 1) = -0.3;
  EXPECT_EQ(CellColours(1, single), std::vector<Colour>{RGB(255, 15, 15)});

  Matrix infinite;  // inf / inf: no level at all, drawn white
  infinite(1, 1) = std::numeric_limits<double>::infinity();
  infinite(2, 2) = 1;
  EXPECT_EQ(CellColours(2, infinite), std::vector<Colour>(4, kWhite));
}

// ---- Body plot ----

class FakeWindow : public CalculationWindow {
 public:
  explicit FakeWindow(bool circle) { controls_.Option_Circle = circle; }
  ControlValues Controls() const override { return controls_; }
  Picture& Picture_Airfoil() override { return airfoil; }
  Picture& Picture_Pressure() override { return unused_; }
  Picture& Picture_Matrix() override { return unused_; }
  void Show_Pressure(double, const Vector&, const Vector&) override {}
  void Show_CoefficientMatrix(double, const Matrix&) override {}
  void MsgBox(const std::string&) override {}
  void ShowRunError(const std::string&) override {}

  RecordingPicture airfoil;

 private:
  ControlValues controls_;
  NullPicture unused_;
};

std::vector<PictureOp> DrawBody(bool circle, double np) {
  auto C = std::make_unique<Module_Common>();
  Form_Load(*C);
  C->NP = np;
  circle ? Geometry_Circle(*C) : Geometry_NACA0012(*C);
  Panel_ComputeGeometry(*C);
  FakeWindow window(circle);
  Panel_Draw(*C, window);
  return window.airfoil.ops;
}

void ExpectNear(const PictureOp& actual, const PictureOp& expected, int k) {
  EXPECT_EQ(actual.kind, expected.kind) << "op " << k;
  EXPECT_EQ(actual.colour, expected.colour) << "op " << k;
  for (int c = 0; c < 4; ++c) EXPECT_NEAR(actual.at[c], expected.at[c], 1e-6) << "op " << k;
}

TEST(BodyPlot, CircleOfFourPanelsIsASquareOnItsCorner) {
  const std::vector<PictureOp> ops = DrawBody(true, 4);
  ASSERT_EQ(ops.size(), 4u + 3 * 4);
  EXPECT_EQ(ops[0], ClsOp());
  EXPECT_EQ(ops[1], ScaleOp(-0.1, 0.3, 1.1, -0.3));
  EXPECT_EQ(ops[2], LineOp(0, 0, 1, 0, kForeground));
  EXPECT_EQ(ops[3], LineOp(0, -0.25f, 0, 0.25f, kForeground));
  const float corner[5][2] = {{0.5f, 0}, {0.25f, -0.25f}, {0, 0}, {0.25f, 0.25f}, {0.5f, 0}};
  for (int p = 0; p < 4; ++p) {
    const float* a = corner[p];
    const float* b = corner[p + 1];
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
  ExpectNear(ops[5], CircleOp(1, 0, 0.005f, kRed), 5);
  EXPECT_NEAR(ops[4].at[0], 1, 1e-6);
  EXPECT_NEAR(ops[4].at[1], 0, 1e-6);
}

}  // namespace
}  // namespace velquin
