#include "base/text_number.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

#include "base/run_error.h"

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

// Long texts against values computed independently (exact rational arithmetic in
// Python: float(int(text, 16)), float(Decimal(text))). The accumulating readers these
// replace were off by one unit in the last place, or read the exponent capped.
TEST(ReadNumber, TextsOfAnyLengthReadAsTheNearestDouble) {
  const std::string zeros(100010, '0');
  // 1 + 2^-53, exactly half way between 1 and the next double.
  const std::string half_way = "1.00000000000000011102230246251565404236316680908203125";
  const std::string below_half_way = half_way.substr(0, half_way.size() - 1) + "4";
  const std::string overflow = "Overflow";
  const struct {
    std::string text;
    double value;  // when `error` is empty
    std::string error;
  } cases[] = {
      // A long mantissa against a long exponent.
      {"1" + zeros + "e-1000000", 0, ""},
      {"0." + zeros + "1e1000000", 0, overflow},
      {"1" + zeros + "e-100010", 1, ""},
      {"0." + zeros + "1e100011", 1, ""},
      {"-" + zeros + "25e-" + zeros + "2", -0.25, ""},
      {"1e" + std::string(100000, '9'), 0, overflow},
      {"1e-" + std::string(100000, '9'), 0, ""},
      // Ties go to the even neighbour; a 1 two thousand digits further on breaks the tie.
      {half_way, 1, ""},
      {half_way + std::string(2000, '0'), 1, ""},
      {half_way + std::string(2000, '0') + "1", 0x1.0000000000001p+0, ""},
      {below_half_way + std::string(2000, '9'), 1, ""},
      // Half way between the largest double and 2^1024 goes up: beyond the reals.
      {"17976931348623158079372897140530341507993413271003782693617377898044496829276475094664"
       "90179775872070963302864166928879109465555478519404026306574886715058206819089020007083"
       "83676273854845817711531764475730270069855571366959622842914819860834936475292719074168"
       "444365510704342711559699508093042880177904174497792",
       0, overflow},
      {"17976931348623158079372897140530341507993413271003782693617377898044496829276475094664"
       "90179775872070963302864166928879109465555478519404026306574886715058206819089020007083"
       "83676273854845817711531764475730270069855571366959622842914819860834936475292719074168"
       "444365510704342711559699508093042880177904174497791",
       0x1.fffffffffffffp+1023, ""},
      // Hexadecimal and octal: 2^53 + 1 is a tie, 2^53 + 3 goes up; a 1 far behind breaks
      // the tie; leading zeros do not count; 2^1024 - 2^970 and more is beyond the reals.
      {"&H20000000000001", 0x1p+53, ""},
      {"&H20000000000003", 0x1.0000000000002p+53, ""},
      {"&H2000000000000100000000000001", 0x1.0000000000001p+109, ""},
      {"&H" + zeros + "1", 1, ""},
      {"&HFFFFFFFFFFFFF8" + std::string(242, '0'), 0x1.fffffffffffffp+1023, ""},
      {"&HFFFFFFFFFFFFF7" + std::string(242, 'F'), 0x1.fffffffffffffp+1023, ""},
      {"&HFFFFFFFFFFFFFC" + std::string(242, '0'), 0, overflow},
      {"&H3FEC25F820D92927433F", 0x1.ff612fc106c95p+77, ""},
      {"&HCA3E096270A124A53CCC4BB86AC555", 0x1.947c12c4e1425p+119, ""},
      {"&H508FD2894EF75A4B1", 0x1.423f4a253bdd7p+66, ""},
      {"&O5426234747570711651722767", 0x1.62c9cf3de393bp+74, ""},
      {"&O5753707452514342610320", 0x1.7d7c795531c59p+65, ""},
  };
  for (const auto& c : cases) {
    const std::string shown = c.text.size() < 60 ? c.text : c.text.substr(0, 60) + "...";
    try {
      EXPECT_EQ(ReadNumber(c.text), c.value) << shown;
      EXPECT_EQ(c.error, "") << shown;
    } catch (const RunError& error) {
      EXPECT_EQ(ErrorName(error.kind()), c.error) << shown;
    }
  }
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

TEST(QuotedInput, LongAndControlCharacterTextsAndPathsStayReadable) {
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
  // Paths keep their end, the file name.
  EXPECT_EQ(QuotedPath("out/\x1b[2J\a\xff"
                       "x/\u03b1.txt"),
            "\"out/?[2J??x/\u03b1.txt\"");
  EXPECT_EQ(QuotedPath(std::string(200, 'd') + "/a.txt"),
            "\"..." + std::string(154, 'd') + "/a.txt\"");
}

}  // namespace
}  // namespace velquin
