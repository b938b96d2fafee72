// The Qt drawing surface, pixel by pixel, without a Qt application object as in the
// batch command.
#include "gui/qt_picture.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QImage>
#include <QString>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "app/calculation_run.h"
#include "cli/batch_window.h"
#include "display/matrix_plot.h"
#include "gui/qt_image_batch.h"
#include "support/run_helpers.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

const QRgb kRedPixel = qRgb(255, 0, 0), kBluePixel = qRgb(0, 0, 255);
const QRgb kWhitePixel = qRgb(255, 255, 255);

// The bounding box of the pixels of the colour within `area`; empty when there are none.
QRect Find(const QImage& image, QRgb colour, QRect area = QRect(0, 0, 1 << 14, 1 << 14)) {
  QRect found;
  area &= image.rect();
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (image.pixel(x, y) == colour) found |= QRect(x, y, 1, 1);
  return found;
}

// Whether every aligned factor x factor block is of one colour, as in an enlarged image.
bool IsBlocky(const QImage& image, int factor) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != image.pixel(x - x % factor, y - y % factor)) return false;
  return true;
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
  EXPECT_EQ(Find(picture.image(), kWhitePixel), picture.image().rect());

  picture.Line(-1e30f, 0.502f, 1e30f, 0.502f, kBlue);
  EXPECT_EQ(Find(picture.image(), kBluePixel), QRect(0, 50, 100, 1));
}

TEST(QtPicture, CirclesAreRoundOutlinesWhateverTheAxisScalesAndAtDoubleSize) {
  QtPicture picture(200, 200, kWhite);
  picture.Scale(0, 0, 10, 1);        // 20 pixels per unit across, 200 down
  picture.Circle(5, 0.5f, 2, kRed);  // radius 40 pixels
  for (const int factor : {1, 2}) {
    SCOPED_TRACE(factor);
    const QImage image = picture.Render(factor);
    const QRect box = Find(image, kRedPixel);
    EXPECT_NEAR(box.width(), 81 * factor, factor);
    EXPECT_NEAR(box.height(), 81 * factor, factor);
    EXPECT_NEAR(box.center().x(), 100 * factor, factor);
    EXPECT_NEAR(box.center().y(), 100 * factor, factor);
    EXPECT_EQ(image.pixel(box.center()), kWhitePixel) << "not filled";
    int across = 0;  // the outline left of the centre is as wide as the scale factor
    for (int x = 0; x < box.center().x(); ++x)
      across += image.pixel(x, box.center().y()) == kRedPixel;
    EXPECT_EQ(across, factor);
  }
  picture.Cls();  // forgets what was drawn
  EXPECT_EQ(picture.Render(2), QtPicture(400, 400, kWhite).image());
}

TEST(QtPicture, FilledCellsTileThePictureWithoutGapsOrOverlaps) {
  // A 7 x 7 checkerboard on 200 pixels drawn forwards and backwards: an overlap would
  // make the order show, a gap would leave the background.
  constexpr int kN = 7;
  QtPicture forwards(200, 200, kWhite), backwards(200, 200, kWhite);
  forwards.Scale(0, 0, kN, kN);
  backwards.Scale(0, 0, kN, kN);
  for (int k = 0; k < kN * kN; ++k) {
    const int i = k / kN, j = k % kN;
    forwards.LineBF(j, i, j + 1, i + 1, (i + j) % 2 ? kRed : kBlue);
    const int b = kN * kN - 1 - k, bi = b / kN, bj = b % kN;
    backwards.LineBF(bj + 1, bi + 1, bj, bi, (bi + bj) % 2 ? kRed : kBlue);
  }
  for (const int factor : {1, 2}) {
    EXPECT_EQ(forwards.Render(factor), backwards.Render(factor)) << factor;
    EXPECT_TRUE(Find(forwards.Render(factor), kWhitePixel).isEmpty()) << factor;
  }
}

TEST(QtPicture, AfterTheDefaultRunNodesAreRedControlPointsBlueAndDoubleSizeIsSharp) {
  auto state = test_support::NewState();
  QtBatchPictures pictures;
  std::ostringstream messages;
  BatchWindow window(
      ControlValues{},
      {&pictures.PictureOf(PictureId::kAirfoil), &pictures.PictureOf(PictureId::kPressure),
       &pictures.PictureOf(PictureId::kMatrix)},
      messages);
  test_support::TempDir dir;
  ASSERT_EQ(Command1_Click(*state, window.Controls(), window, ReportOptions{dir.path(), '.'}),
            RunOutcome::kCompleted)
      << messages.str();

  // The circle at half size on (-0.1, 0.3)-(1.1, -0.3) over 400 x 200 pixels.
  const QImage& airfoil = pictures.image(PictureId::kAirfoil).image();
  const auto near = [&airfoil](double x, double y, QRgb colour, int reach = 3) {
    const QPoint at(std::floor((0.5 * x + 0.1) / 1.2 * 400),
                    std::floor((0.3 - 0.5 * y) / 0.6 * 200));
    return !Find(airfoil, colour, QRect(at - QPoint(reach, reach), at + QPoint(reach, reach)))
                .isEmpty();
  };
  for (int i = 1; i <= 8; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(near(state->X(1, i), state->Y(1, i), kRedPixel));
    EXPECT_TRUE(near(state->Xc(i), state->Yc(i), kBluePixel));
  }
  EXPECT_EQ(airfoil.pixel(5, 5), qRgb(255, 255, 192));
  EXPECT_EQ(airfoil.pixel(300, 100), qRgb(0, 0, 0)) << "the x axis, no colour given";
  EXPECT_FALSE(near(0.5, 0, kRedPixel, 10)) << "the circle's centre";

  // The 8 x 8 matrix in cells of 25 pixels: 0.5 on the diagonal, the largest coefficient,
  // gives level 15; 0.0562 beside it gives 15 x 0.0562 / 0.5 = 1.7, level 2.
  EXPECT_EQ(pictures.image(PictureId::kMatrix).image().pixel(12, 12),
            ToQRgb(MatrixPaletteColour(15)));
  EXPECT_EQ(pictures.image(PictureId::kMatrix).image().pixel(37, 12),
            ToQRgb(MatrixPaletteColour(2)));

  for (const QtPicture* picture :
       {&pictures.image(PictureId::kAirfoil), &pictures.image(PictureId::kPressure),
        &pictures.image(PictureId::kMatrix)}) {
    EXPECT_EQ(picture->Render(1), picture->image());
    EXPECT_EQ(picture->Render(2).size(), picture->image().size() * 2);
  }
  // Slanted lines follow the finer pixel grid instead of enlarging each pixel.
  EXPECT_FALSE(IsBlocky(pictures.image(PictureId::kAirfoil).Render(2), 2));
}

TEST(QtPicture, BeyondTheOperationsKeptDoubleSizeEnlargesEachPixelUntilCls) {
  QtPicture picture(50, 50, kWhite);
  for (std::size_t k = 0; k <= QtPicture::kMaxKept; ++k) picture.Scale(0, 0, 1, 1);
  picture.Line(0, 0, 1, 0.7f, kBlue);
  EXPECT_EQ(picture.Render(2), picture.image().scaled(100, 100));

  // After Cls the operations are kept again.
  picture.Cls();
  picture.Scale(0, 0, 1, 1);
  picture.Line(0, 0, 1, 0.7f, kBlue);
  EXPECT_EQ(picture.Render(1), picture.image());
  EXPECT_FALSE(IsBlocky(picture.Render(2), 2));
}

TEST(QtPicture, SavesCompletePngFilesAndNamesTheFileThatCannotBeWritten) {
  test_support::TempDir dir;
  const auto load = [&dir](const char* file) {
    return QImage(QString::fromStdString(dir.File(file)), "PNG")
        .convertToFormat(QImage::Format_RGB32);
  };
  QtPicture picture(30, 20, kLightYellow);
  picture.Scale(0, 0, 1, 1);
  picture.Line(0, 0, 1, 1, kRed);
  ASSERT_EQ(picture.Save(QString::fromStdString(dir.File("plain")), 2), "");  // no suffix: PNG
  EXPECT_EQ(load("plain"), picture.Render(2));
  // A format that cannot be written leaves the file that was there.
  const std::string kept = dir.File("notes.txt");
  std::ofstream(kept) << "kept";
  EXPECT_NE(picture.Save(QString::fromStdString(kept)).find(kept), std::string::npos);
  EXPECT_EQ(test_support::ReadFile(kept), "kept");

  // The batch command's three pictures at their sizes.
  QtBatchPictures pictures;
  pictures.PictureOf(PictureId::kMatrix).Scale(0, 0, 1, 1);
  pictures.PictureOf(PictureId::kMatrix).LineBF(0, 0, 0.5f, 0.5f, kBlue);
  ASSERT_EQ(pictures.Save(dir.path()), "");
  EXPECT_EQ(load("Picture_Airfoil.png").size(), QSize(400, 200));
  EXPECT_EQ(load("Picture_Pressure.png").size(), QSize(401, 233));
  EXPECT_EQ(load("Picture_Matrix.png").size(), QSize(200, 200));
  EXPECT_EQ(load("Picture_Matrix.png"), pictures.image(PictureId::kMatrix).image());
  const std::string error = pictures.Save(dir.File("no-such-folder"));
  EXPECT_NE(error.find("Picture_Airfoil.png"), std::string::npos) << error;
  // A link in place of a picture is replaced and its target never written, a FIFO is
  // refused without waiting for a reader, as for the reports.
  test_support::TempDir elsewhere;
  std::ofstream(elsewhere.File("target")) << "target";
  const std::string airfoil = dir.File("Picture_Airfoil.png");
  const std::string pressure = dir.File("Picture_Pressure.png");
  std::filesystem::remove(airfoil);
  std::filesystem::create_symlink(elsewhere.File("target"), airfoil);
  std::filesystem::remove(pressure);
  std::filesystem::create_symlink(elsewhere.File("never-made"), pressure);
  ASSERT_EQ(pictures.Save(dir.path()), "");
  EXPECT_EQ(load("Picture_Airfoil.png").size(), QSize(400, 200));
  EXPECT_FALSE(std::filesystem::is_symlink(airfoil) || std::filesystem::is_symlink(pressure));
  EXPECT_EQ(test_support::ReadFile(elsewhere.File("target")), "target");
  EXPECT_FALSE(std::filesystem::exists(elsewhere.File("never-made")));
  std::filesystem::remove(dir.File("Picture_Matrix.png"));
  ASSERT_EQ(mkfifo(dir.File("Picture_Matrix.png").c_str(), 0644), 0);
  EXPECT_EQ(
      pictures.Save(dir.path()),
      "File error: cannot write \"" + dir.File("Picture_Matrix.png") + "\": not a regular file.");
}

}  // namespace
}  // namespace velquin

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
