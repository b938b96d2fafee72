#include "shell/report_writer.h"

#include <gtest/gtest.h>
#include <locale.h>
#include <stdlib.h>

#include <cmath>
#include <limits>
#include <string>

#include "shell/run_error.h"
#include "shell/user_locale.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

std::string Fixed(double value, int decimals, char separator = '.') {
  std::string out;
  AppendFixed(out, value, decimals, separator);
  return out;
}

std::string Bare(double value, char separator = '.') {
  std::string out;
  AppendBare(out, value, separator);
  return out;
}

TEST(FixedFormat, FourDecimalsWithAtLeastOneWholeDigit) {
  EXPECT_EQ(Fixed(1.5, 4), "1.5000");
  EXPECT_EQ(Fixed(-0.25, 4), "-0.2500");
  EXPECT_EQ(Fixed(0, 4), "0.0000");
  EXPECT_EQ(Fixed(0.92677669529663687, 4), "0.9268");
  EXPECT_EQ(Fixed(0.99996, 4), "1.0000");
  EXPECT_EQ(Fixed(12345.678949, 4), "12345.6789");
  EXPECT_EQ(Fixed(1e20, 4), "100000000000000000000.0000");
  EXPECT_EQ(Fixed(-2.1855571, 6), "-2.185557");
  EXPECT_EQ(Fixed(1.5, 4, ','), "1,5000");
}

TEST(FixedFormat, NegativeValuesKeepTheirSignWhenTheyRoundToZeroButNegativeZeroHasNone) {
  EXPECT_EQ(Fixed(-0.00001, 4), "-0.0000");
  EXPECT_EQ(Fixed(-1e-300, 6), "-0.000000");
  EXPECT_EQ(Fixed(-0.0, 4), "0.0000");
}

TEST(FixedFormat, ExactTiesRoundAwayFromZero) {
  EXPECT_EQ(Fixed(0.03125, 4), "0.0313");  // 1/32, an exact tie at four decimals
  EXPECT_EQ(Fixed(-0.03125, 4), "-0.0313");
  EXPECT_EQ(Fixed(0.0000005, 6), "0.000000");  // the double lies just below the tie
  EXPECT_EQ(Fixed(0.00004999999, 4), "0.0000");
}

TEST(FixedFormat, NonFiniteValuesAreWrittenAsWords) {
  EXPECT_EQ(Fixed(std::numeric_limits<double>::quiet_NaN(), 4), "NaN");
  EXPECT_EQ(Fixed(-std::numeric_limits<double>::infinity(), 4), "-Infinity");
}

TEST(BareNumber, ShortestFormBetweenASignPlaceAndASpace) {
  EXPECT_EQ(Bare(1), " 1 ");
  EXPECT_EQ(Bare(12), " 12 ");
  EXPECT_EQ(Bare(-0.5), "-.5 ");
  EXPECT_EQ(Bare(0), " 0 ");
  EXPECT_EQ(Bare(-0.0), " 0 ");
  EXPECT_EQ(Bare(0.343210046579957), " .343210046579957 ");
  EXPECT_EQ(Bare(1.0 / 3), " .333333333333333 ");
  EXPECT_EQ(Bare(2.0 / 3), " .666666666666667 ");
  EXPECT_EQ(Bare(123.25), " 123.25 ");
  EXPECT_EQ(Bare(0.5, ','), " ,5 ");
}

TEST(BareNumber, ExponentFormBelowMinusFourAndFromFifteen) {
  EXPECT_EQ(Bare(0.0001), " .0001 ");
  EXPECT_EQ(Bare(0.00001), " 1E-05 ");
  EXPECT_EQ(Bare(-1.23456789012345e-17), "-1.23456789012345E-17 ");
  EXPECT_EQ(Bare(123456789012345), " 123456789012345 ");
  EXPECT_EQ(Bare(1e15), " 1E+15 ");
  EXPECT_EQ(Bare(1.5e100), " 1.5E+100 ");
  EXPECT_EQ(Bare(999999999999999.9), " 1E+15 ");  // rounding to 15 digits carries over
}

TEST(ReportFile, CreatesAtOnceWritesOnCloseAndKeepsPartialTextWhenAbandoned) {
  testing::TempDir dir;
  const ReportOptions options{dir.path(), '.'};
  {
    ReportFile file(options, "a.txt");
    EXPECT_EQ(testing::ReadFile(dir.File("a.txt")), "");  // created, still empty
    file.out().Text("x").Fixed4(2).EndLine();
    file.Close();
  }
  EXPECT_EQ(testing::ReadFile(dir.File("a.txt")), "x2.0000\r\n");
  {
    ReportFile file(options, "a.txt");
    file.out().Text("partial");
  }  // abandoned, as by a run error
  EXPECT_EQ(testing::ReadFile(dir.File("a.txt")), "partial");
}

TEST(ReportFile, AFileThatCannotBeCreatedIsAFileErrorNamingIt) {
  testing::TempDir dir;
  try {
    ReportFile file(ReportOptions{dir.File("missing-folder"), '.'}, "b.txt");
    FAIL() << "no error";
  } catch (const RunError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::kFileError);
    EXPECT_NE(std::string(error.what()).find("missing-folder/b.txt"), std::string::npos);
    EXPECT_NE(std::string(error.what()).find("No such file or directory"), std::string::npos);
  }
}

TEST(ReportFile, AVeryLongPathIsShortenedInTheMessageButKeepsTheFileName) {
  try {
    ReportFile file(ReportOptions{"/nonexistent/" + std::string(1 << 20, 'd'), '.'}, "c.txt");
    FAIL() << "no error";
  } catch (const RunError& error) {
    EXPECT_LT(std::string(error.what()).size(), 300u);
    EXPECT_NE(std::string(error.what()).find("c.txt\""), std::string::npos);
  }
}

TEST(UserDecimalSeparator, FollowsTheLocaleOfTheEnvironment) {
  setenv("LC_ALL", "C", 1);
  EXPECT_EQ(UserDecimalSeparator(), '.');
  setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);  // not installed: the C locale's point
  EXPECT_EQ(UserDecimalSeparator(), '.');
  setenv("LC_ALL", "de_DE.UTF-8", 1);
  const locale_t german = newlocale(LC_ALL_MASK, "de_DE.UTF-8", locale_t{});
  const bool german_installed = german != locale_t{};
  if (german_installed) {
    freelocale(german);
    EXPECT_EQ(UserDecimalSeparator(), ',');
  }
  unsetenv("LC_ALL");
  if (!german_installed) GTEST_SKIP() << "de_DE.UTF-8 not installed";
}

}  // namespace
}  // namespace velquin
