#include "shell/text_number.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

#include "shell/run_error.h"

namespace velquin {
namespace {

TEST(ReadNumber, ReadsTheLeadingNumberOfATextByTheInputFieldRules) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      // clang-format off
      // Blanks are skipped wherever they stand.
      {"  12", 12}, {"1 2", 12}, {"\t1\n2 . 5", 12.5}, {"- 3", -3},
      // Reading stops at the first character that cannot continue the number.
      {"8 panels", 8}, {"12abc", 12}, {"0,5", 0}, {"1.2.3", 1.2}, {"1e", 1}, {"1e+", 1},
      {"5\r", 5},
      // Points, signs and both exponent letters; decimals correctly rounded.
      {"-.5", -0.5}, {"+3.", 3}, {"1E3", 1000}, {"2.5d-1", 0.25}, {"1D+2", 100}, {"0.1", 0.1},
      // Hexadecimal and octal whole numbers.
      {"&H10", 16}, {"&hfF", 255}, {"&O17", 15}, {"&o8", 0}, {"&H", 0}, {"&X1", 0},
      {"&HFFFFFFFFFFFFFFFFFFFF", 1208925819614629174706175.0},
      // Texts without a number.
      {"", 0}, {"abc", 0}, {".", 0}, {"-", 0}, {"   ", 0},
      // clang-format on
  };
  for (const auto& c : cases) EXPECT_EQ(ReadNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(ReadNumber, ValuesBeyondTheDoubleRangeAreAnOverflow) {
  const std::vector<std::string> too_large = {"1e400", "-1e400", std::string(400, '9'),
                                              "&H" + std::string(300, 'F')};
  for (const std::string& text : too_large) {
    try {
      ReadNumber(text);
      ADD_FAILURE() << text << " did not overflow";
    } catch (const RunError& error) {
      EXPECT_EQ(error.kind(), ErrorKind::kOverflow) << text;
      EXPECT_NE(std::string(error.what()).find("Overflow"), std::string::npos);
    }
  }
  EXPECT_EQ(ReadNumber("1e-400"), 0);
  EXPECT_EQ(ReadNumber("0." + std::string(400, '0') + "1"), 0);
  EXPECT_EQ(ReadNumber("0e99999999999999999999"), 0);
}

TEST(ReadNumber, PointIsTheSeparatorWhateverTheLocale) {
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr &&
      std::setlocale(LC_ALL, "fr_FR.UTF-8") == nullptr) {
    GTEST_SKIP() << "no locale with a decimal comma installed";
  }
  EXPECT_EQ(ReadNumber("0.5"), 0.5);
  EXPECT_EQ(ReadNumber("0,5"), 0);
  std::setlocale(LC_ALL, "C");
}

TEST(QuotedInput, LongAndControlCharacterTextsStayReadable) {
  EXPECT_EQ(QuotedInput("8"), "\"8\"");
  EXPECT_EQ(QuotedInput(std::string("a\x01"
                                    "b")),
            "\"a?b\"");
  EXPECT_LT(QuotedInput(std::string(1 << 20, 'x')).size(), 60u);
  EXPECT_EQ(QuotedInput("\xff\xfe"
                        "1"),
            "\"??1\"");                                    // not UTF-8
  EXPECT_EQ(QuotedInput(std::string(39, 'a') + "\u03b1"),  // alpha would pass byte 40
            "\"" + std::string(39, 'a') + "...\"");
}

}  // namespace
}  // namespace velquin
