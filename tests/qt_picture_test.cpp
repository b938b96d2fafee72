// The Qt drawing surface, pixel by pixel. Runs without any Qt application object, as
// the batch command does.
#include "shell/qt_picture.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <cmath>
#include <fstream>
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

const QRgb kRedPixel = qRgb(255, 0, 0);
const QRgb kBluePixel = qRgb(0, 0, 255);
const QRgb kBlackPixel = qRgb(0, 0, 0);
const QRgb kYellowPixel = qRgb(255, 255, 192);

QRgb At(const QtPicture& picture, int x, int y) {
  return picture.image().pixel(x, y);
}

// The bounding box of the pixels of the colour within `area` (empty when there is none).
QRect Find(const QtPicture& picture, QRgb colour, QRect area = QRect(-1000, -1000, 2000, 2000)) {
  QRect found;
  area &= picture.image().rect();
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (At(picture, x, y) == colour) found |= QRect(x, y, 1, 1);
    }
  }
  return found;
}

bool IsBlank(const QtPicture& picture) {
  return Find(picture, ToQRgb(picture.background())) == picture.image().rect();
}

// Whether a pixel of the colour lies within `reach` pixels of (x, y).
bool HasNear(const QtPicture& picture, double x, double y, QRgb colour, int reach = 3) {
  const QPoint centre(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)));
  const QRect area(centre - QPoint(reach, reach), centre + QPoint(reach, reach));
  return !Find(picture, colour, area).isEmpty();
}

TEST(QtPicture, DrawsNothingWithoutAUsableScaleAndCutsFarLinesBackToThePicture) {
  QtPicture picture(100, 100, kWhite);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (const double x2 : {-1.0, 0.0, nan, 1e-320}) {  // -1: before any Scale
    if (x2 != -1.0) picture.Scale(0, 0, x2, 1);
    picture.Line(0, 0, 1, 1, kRed);
    picture.LineBF(0, 0, 1, 1, kRed);
    picture.Circle(0.5f, 0.5f, 0.25f, kRed);
  }
  picture.Scale(0, 0, 1, 1);
  picture.Line(static_cast<float>(nan), 0, 1, 1, kRed);
  picture.Circle(0.5f, 0.5f, 1e30f, kRed);
  EXPECT_TRUE(IsBlank(picture));

  picture.Line(-1e30f, 0.502f, 1e30f, 0.502f, kBlue);
  EXPECT_EQ(Find(picture, kBluePixel), QRect(0, 50, 100, 1));
}

TEST(QtPicture, CirclesAreRoundOutlinesWhateverTheAxisScales) {
  QtPicture picture(200, 200, kWhite);
  picture.Scale(0, 0, 10, 1);        // 20 pixels per unit across, 200 down
  picture.Circle(5, 0.5f, 2, kRed);  // radius 40 pixels

  const QRect box = Find(picture, kRedPixel);
  EXPECT_NEAR(box.width(), 81, 1);
  EXPECT_NEAR(box.height(), 81, 1);
  EXPECT_NEAR(box.center().x(), 100, 1);
  EXPECT_NEAR(box.center().y(), 100, 1);
  EXPECT_EQ(At(picture, 100, 100), qRgb(255, 255, 255)) << "filled";
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
  EXPECT_TRUE(Find(forwards, qRgb(255, 255, 255)).isEmpty());
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
  EXPECT_EQ(At(airfoil, 300, 100), kBlackPixel) << "the x axis, no colour given";
  EXPECT_FALSE(HasNear(airfoil, px(0.5), py(0), kRedPixel, 10)) << "the circle's centre";

  // The 8 x 8 matrix in cells of 25 pixels: 0.5 on the diagonal, the largest coefficient,
  // gives level 15; 0.0562 beside it gives 15 x 0.0562 / 0.5 = 1.7, level 2.
  EXPECT_EQ(At(pictures.matrix(), 12, 12), ToQRgb(MatrixPaletteColour(15)));
  EXPECT_EQ(At(pictures.matrix(), 37, 12), ToQRgb(MatrixPaletteColour(2)));
}

TEST(QtBatchPictures, SavesThreePngFilesAtThePictureSizes) {
  QtBatchPictures pictures;
  pictures.Matrix().Scale(0, 0, 1, 1);
  pictures.Matrix().LineBF(0, 0, 0.5f, 0.5f, kBlue);
  testing::TempDir dir;
  ASSERT_EQ(pictures.Save(dir.path()), "");

  const auto load = [&dir](const char* file) {
    return QImage(QString::fromStdString(dir.File(file))).convertToFormat(QImage::Format_RGB32);
  };
  EXPECT_EQ(load("Picture_Airfoil.png").size(), QSize(400, 200));
  EXPECT_EQ(load("Picture_Pressure.png").size(), QSize(401, 233));
  EXPECT_EQ(load("Picture_Matrix.png"), pictures.matrix().image());

  const std::string error = pictures.Save(dir.File("no-such-folder"));
  EXPECT_NE(error.find("Picture_Airfoil.png"), std::string::npos) << error;
}

// Whether every aligned block of factor x factor pixels is of one colour, as when each
// pixel of a smaller image was simply enlarged.
bool IsBlocky(const QImage& image, int factor) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) != image.pixel(x - x % factor, y - y % factor)) return false;
    }
  }
  return true;
}

TEST(QtPicture, DrawsAgainAtDoubleSizeWithLinesAsSharpAsAtItsOwnSize) {
  auto state = testing::NewState();
  QtBatchPictures pictures;
  std::ostringstream messages;
  BatchWindow window(*state, ControlValues{}, pictures.Airfoil(), pictures.Pressure(),
                     pictures.Matrix(), messages);
  testing::TempDir dir;
  ASSERT_EQ(Command1_Click(*state, window, ReportOptions{dir.path(), '.'}), RunOutcome::kCompleted);
  for (const QtPicture* picture : {&pictures.airfoil(), &pictures.pressure(), &pictures.matrix()}) {
    EXPECT_EQ(picture->Render(1), picture->image());
    const QImage twice = picture->Render(2);
    EXPECT_EQ(twice.size(), picture->image().size() * 2);
  }
  // The slanted lines of the airfoil picture follow the finer pixel grid.
  EXPECT_FALSE(IsBlocky(pictures.airfoil().Render(2), 2));

  // A circle keeps its place and doubles its size; its outline is two pixels wide.
  QtPicture circle(100, 100, kWhite);
  circle.Scale(0, 0, 1, 1);
  circle.Circle(0.5f, 0.5f, 0.3f, kRed);
  const QImage rendered = circle.Render(2);
  QRect doubled;
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 200; ++x) {
      if (rendered.pixel(x, y) == kRedPixel) doubled |= QRect(x, y, 1, 1);
    }
  }
  const QRect single = Find(circle, kRedPixel);
  EXPECT_NEAR(doubled.left(), 2 * single.left(), 2);
  EXPECT_NEAR(doubled.right(), 2 * single.right() + 1, 2);
  EXPECT_NEAR(doubled.top(), 2 * single.top(), 2);
  EXPECT_EQ(rendered.pixel(doubled.center()), qRgb(255, 255, 255)) << "filled";
  int across = 0;  // red pixels on the horizontal through the centre, left of it
  for (int x = 0; x < 100; ++x) across += rendered.pixel(x, doubled.center().y()) == kRedPixel;
  EXPECT_EQ(across, 2);

  // Cls forgets what was drawn.
  circle.Cls();
  EXPECT_EQ(circle.Render(2), QtPicture(200, 200, kWhite).image());
}

TEST(QtPicture, BeyondTheOperationsKeptDoubleSizeEnlargesEachPixel) {
  QtPicture picture(50, 50, kWhite);
  for (std::size_t k = 0; k <= QtPicture::kMaxKept; ++k) picture.Scale(0, 0, 1, 1);
  picture.Line(0, 0, 1, 0.7f, kBlue);
  const QImage enlarged = picture.image().scaled(100, 100);
  EXPECT_EQ(picture.Render(2), enlarged);
  EXPECT_TRUE(IsBlocky(picture.Render(2), 2));

  // After Cls the operations are kept again.
  picture.Cls();
  picture.Scale(0, 0, 1, 1);
  picture.Line(0, 0, 1, 0.7f, kBlue);
  EXPECT_EQ(picture.Render(1), picture.image());
  EXPECT_FALSE(IsBlocky(picture.Render(2), 2));
}

TEST(QtPicture, SavingReplacesAFileOnlyWithACompleteImage) {
  QtPicture picture(30, 20, kLightYellow);
  picture.Scale(0, 0, 1, 1);
  picture.Line(0, 0, 1, 1, kRed);
  testing::TempDir dir;

  // No suffix: PNG.
  ASSERT_EQ(picture.Save(QString::fromStdString(dir.File("plain")), 2), "");
  QImage read;
  ASSERT_TRUE(read.load(QString::fromStdString(dir.File("plain")), "PNG"));
  EXPECT_EQ(read.convertToFormat(QImage::Format_RGB32), picture.Render(2));

  // A format that cannot be written leaves the file that was there.
  const std::string kept = dir.File("notes.txt");
  std::ofstream(kept) << "kept";
  const std::string error = picture.Save(QString::fromStdString(kept));
  EXPECT_NE(error.find(kept), std::string::npos) << error;
  EXPECT_EQ(testing::ReadFile(kept), "kept");
}

}  // namespace
}  // namespace velquin

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
