// The Qt drawing surface, pixel by pixel. Runs without any Qt application object, as
// the batch command does.
#include "shell/qt_picture.h"

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

#include "display/matrix_plot.h"
#include "shell/batch_window.h"
#include "shell/calculation_run.h"
#include "shell/qt_image_batch.h"
#include "support/run_helpers.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

constexpr QRgb kRedPixel = qRgb(255, 0, 0);
constexpr QRgb kBluePixel = qRgb(0, 0, 255);
constexpr QRgb kBlackPixel = qRgb(0, 0, 0);
const QRgb kYellowPixel = qRgb(255, 255, 192);

QRgb At(const QtPicture& picture, int x, int y) {
  return picture.image().pixel(x, y) & 0xFFFFFFu;
}

bool IsBlank(const QtPicture& picture) {
  const QImage& image = picture.image();
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (At(picture, x, y) != (ToQRgb(picture.background()) & 0xFFFFFFu)) return false;
    }
  }
  return true;
}

// Whether a pixel of the colour lies within `reach` pixels of (x, y).
bool HasNear(const QtPicture& picture, double x, double y, QRgb colour, int reach = 3) {
  const int cx = static_cast<int>(std::floor(x));
  const int cy = static_cast<int>(std::floor(y));
  for (int py = cy - reach; py <= cy + reach; ++py) {
    for (int px = cx - reach; px <= cx + reach; ++px) {
      if (picture.image().rect().contains(px, py) && At(picture, px, py) == (colour & 0xFFFFFFu))
        return true;
    }
  }
  return false;
}

TEST(QtPicture, ScaleMapsTheEdgesLinearlyWithTheYAxisUpward) {
  QtPicture picture(400, 200, kLightYellow);
  picture.Scale(-0.1, 0.3, 1.1, -0.3);
  picture.Line(0, 0, 1, 0, kForeground);        // x = 0..1 at y = 0
  picture.Line(0.5f, 0.25f, 0.5f, 0.2f, kRed);  // upper half, near the top edge
  // x: (x + 0.1) / 1.2 * 400; y: (0.3 - y) / 0.6 * 200.
  EXPECT_EQ(At(picture, 34, 100), kBlackPixel);
  EXPECT_EQ(At(picture, 366, 100), kBlackPixel);
  EXPECT_EQ(At(picture, 200, 99), kYellowPixel);
  EXPECT_EQ(At(picture, 200, 101), kYellowPixel);
  EXPECT_EQ(At(picture, 200, 20), kRedPixel);
  EXPECT_EQ(At(picture, 200, 180), kYellowPixel);

  picture.Cls();
  EXPECT_TRUE(IsBlank(picture));
}

TEST(QtPicture, DrawsNothingWithoutAUsableScaleAndSurvivesWildCoordinates) {
  QtPicture picture(100, 100, kWhite);
  picture.Line(0, 0, 50, 50, kRed);  // no Scale yet
  for (const auto& [x1, y1, x2, y2] : {std::array<double, 4>{0, 0, 0, 1},
                                       {0, 1, 1, 1},
                                       {0, 0, std::numeric_limits<double>::quiet_NaN(), 1},
                                       {0, 0, 1e-320, 1}}) {
    picture.Scale(x1, y1, x2, y2);
    picture.Line(0, 0, 1, 1, kRed);
    picture.LineBF(0, 0, 1, 1, kRed);
    picture.Circle(0.5f, 0.5f, 0.25f, kRed);
  }
  EXPECT_TRUE(IsBlank(picture));

  picture.Scale(0, 0, 1, 1);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  picture.Line(nan, 0, 1, 1, kRed);
  picture.Circle(0.5f, 0.5f, 1e30f, kRed);
  picture.Circle(1e30f, 0.5f, 0.1f, kRed);
  picture.LineBF(-1e30f, -1e30f, nan, 1e30f, kRed);
  EXPECT_TRUE(IsBlank(picture));
  // Far-away ends are cut back to the picture, not dropped: a full row remains.
  picture.Line(-1e30f, 0.505f, 1e30f, 0.505f, kBlue);
  for (int x = 0; x < 100; ++x) ASSERT_EQ(At(picture, x, 50), kBluePixel) << x;
}

TEST(QtPicture, CirclesAreRoundOutlinesWhateverTheAxisScales) {
  QtPicture picture(200, 200, kWhite);
  picture.Scale(0, 0, 10, 1);        // 20 pixels per unit across, 200 down
  picture.Circle(5, 0.5f, 2, kRed);  // radius 40 pixels

  int left = 200, right = -1, top = 200, bottom = -1;
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 200; ++x) {
      if (At(picture, x, y) != kRedPixel) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  EXPECT_NEAR(right - left, 80, 1);
  EXPECT_NEAR(bottom - top, 80, 1);
  EXPECT_NEAR((left + right) / 2.0, 100, 1);
  EXPECT_NEAR((top + bottom) / 2.0, 100, 1);
  EXPECT_EQ(At(picture, 100, 100), qRgb(255, 255, 255) & 0xFFFFFFu) << "filled";
}

TEST(QtPicture, FilledCellsTileThePictureWithoutGapsOrOverlaps) {
  // A 7 x 7 checkerboard on 200 pixels, drawn forwards and backwards: any overlap
  // would make the order show, any gap would leave the background.
  constexpr int kN = 7;
  QtPicture forwards(200, 200, kWhite);
  QtPicture backwards(200, 200, kWhite);
  forwards.Scale(0, 0, kN, kN);
  backwards.Scale(0, 0, kN, kN);
  for (int k = 0; k < kN * kN; ++k) {
    const int i = k / kN, j = k % kN;
    forwards.LineBF(j, i, j + 1, i + 1, (i + j) % 2 ? kRed : kBlue);
    const int b = kN * kN - 1 - k, bi = b / kN, bj = b % kN;
    backwards.LineBF(bj + 1, bi + 1, bj, bi, (bi + bj) % 2 ? kRed : kBlue);
  }
  EXPECT_EQ(forwards.image(), backwards.image());
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 200; ++x) {
      ASSERT_NE(At(forwards, x, y), qRgb(255, 255, 255) & 0xFFFFFFu) << x << "," << y;
    }
  }
}

TEST(QtPicture, TheMatrixPictureColoursEachCellByItsLevel) {
  // 2 on the diagonal, -1 beside it: levels 10, 5 and 0.
  auto matrix = std::make_unique<Matrix>();
  for (int i = 1; i <= 3; ++i) {
    (*matrix)(i, i) = 2;
    if (i < 3) (*matrix)(i, i + 1) = (*matrix)(i + 1, i) = -1;
  }
  QtPicture picture(200, 200, kWhite);
  Show_CoefficientMatrix(picture, 3, *matrix);
  const QRgb level10 = qRgb(255, 95, 95), level5 = qRgb(255, 175, 175),
             level0 = qRgb(255, 255, 255);
  const QRgb expected[3][3] = {
      {level10, level5, level0}, {level5, level10, level5}, {level0, level5, level10}};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      // Cell corners at 0, 66.7, 133.3 and 200 pixels: check each cell's corners.
      const int x0 = j * 200 / 3 + 1, x1 = (j + 1) * 200 / 3 - 2;
      const int y0 = i * 200 / 3 + 1, y1 = (i + 1) * 200 / 3 - 2;
      for (const auto& [x, y] : {std::pair{x0, y0}, {x1, y0}, {x0, y1}, {x1, y1}}) {
        EXPECT_EQ(At(picture, x, y), expected[i][j] & 0xFFFFFFu) << "cell " << i << "," << j;
      }
    }
  }
}

TEST(QtPicture, AfterTheDefaultRunNodesAreRedAndControlPointsBlue) {
  auto state = testing::NewState();
  QtBatchPictures pictures;
  std::ostringstream messages;
  BatchWindow window(*state, ControlValues{}, pictures.Airfoil(), pictures.Pressure(),
                     pictures.Matrix(), messages);
  testing::TempDir dir;
  ASSERT_EQ(Command1_Click(*state, window, ReportOptions{dir.path(), '.'}), RunOutcome::kCompleted)
      << messages.str();

  // The circle is drawn at half size on (-0.1, 0.3)-(1.1, -0.3) over 400 x 200 pixels.
  const auto px = [](double x) { return (0.5 * x + 0.1) / 1.2 * 400; };
  const auto py = [](double y) { return (0.3 - 0.5 * y) / 0.6 * 200; };
  const QtPicture& airfoil = pictures.airfoil();
  for (int i = 1; i <= 8; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(HasNear(airfoil, px(state->X(1, i)), py(state->Y(1, i)), kRedPixel));
    EXPECT_TRUE(HasNear(airfoil, px(state->Xc(i)), py(state->Yc(i)), kBluePixel));
  }
  EXPECT_EQ(At(airfoil, 5, 5), kYellowPixel);
  EXPECT_FALSE(HasNear(airfoil, px(0.5), py(0), kRedPixel, 10)) << "the circle's centre";

  // The 8 x 8 matrix in cells of 25 pixels: 0.5 on the diagonal, the largest coefficient,
  // gives level 15; 0.0562 beside it gives 15 x 0.0562 / 0.5 = 1.7, level 2.
  EXPECT_EQ(At(pictures.matrix(), 12, 12), ToQRgb(MatrixPaletteColour(15)) & 0xFFFFFFu);
  EXPECT_EQ(At(pictures.matrix(), 37, 12), ToQRgb(MatrixPaletteColour(2)) & 0xFFFFFFu);
}

TEST(QtBatchPictures, SavesThreePngFilesAtThePictureSizes) {
  QtBatchPictures pictures;
  pictures.Matrix().Scale(0, 0, 1, 1);
  pictures.Matrix().LineBF(0, 0, 0.5f, 0.5f, kBlue);
  testing::TempDir dir;
  ASSERT_EQ(pictures.Save(dir.path()), "");

  const QImage airfoil(QString::fromStdString(dir.File("Picture_Airfoil.png")));
  const QImage pressure(QString::fromStdString(dir.File("Picture_Pressure.png")));
  const QImage matrix(QString::fromStdString(dir.File("Picture_Matrix.png")));
  EXPECT_EQ(airfoil.size(), QSize(400, 200));
  EXPECT_EQ(pressure.size(), QSize(401, 233));
  EXPECT_EQ(matrix.convertToFormat(QImage::Format_RGB32), pictures.matrix().image());

  const std::string error = pictures.Save(dir.File("no-such-folder"));
  EXPECT_NE(error.find("Picture_Airfoil.png"), std::string::npos) << error;
}

}  // namespace
}  // namespace velquin

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
