// The main window under hostile texts and file faults: each run ends completed or with
// one short message, and the window goes on working.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QChar>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"
#include "support/window_driver.h"

namespace velquin {
namespace {

using test_support::kReports;
using test_support::ReadFile;
using test_support::TempDir;
using Form1InputTest = test_support::WindowTest;

TEST_F(Form1InputTest, HostileTextsEndInOneMessageOrACompletedRunAndTheWindowGoesOn) {
  // A pasted megabyte is cut to the line edit's 32767 characters, still far too long.
  const QString nines(1 << 20, QLatin1Char('9')), letters(1 << 20, QLatin1Char('x'));
  const struct {
    const char* field;
    QString text;
    const char* said;  // how the message starts; null: the run completes
  } cases[] = {
      {"Text_NP", nines, "Overflow"},
      {"Text_AlfaD", nines, "Overflow"},
      {"Text_AlfaD", letters, nullptr},  // no number: 0
      {"Text_NP", "1e400", "Overflow"},
      {"Text_AlfaD", "-1e400", "Overflow"},
      {"Text_NP", "&HFFFFFFFFFFFFFFFFFFFF", "Subscript out of range"},
      {"Text_AlfaD", "&HFFFFFFFFFFFFFFFFFFFF", nullptr},
      {"Text_NP", "&H10", nullptr},         // sixteen panels
      {"Text_AlfaD", "1e308", "Overflow"},  // infinite in radians
      {"Text_NP", "\t8\x07\x1b", nullptr},
      {"Text_NP", "\x01\x02\x7f", "Division by zero"},
      {"Text_NP", QString::fromUtf8("\xc3\x28\x38"), "Division by zero"},  // invalid UTF-8
      {"Text_NP", QString(QChar(0xD800)) + "8", "Division by zero"},       // lone surrogate
      {"Text_AlfaD", QString::fromLatin1("5\xe9\xff"), nullptr},
  };
  TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " " + c.text.left(24).toStdString());
    messages_.clear();
    SetText("Text_NP", "8");
    SetText("Text_AlfaD", "0");
    SetText(c.field, c.text);
    EXPECT_EQ(CalculateIn(dir.path()), c.said ? RunOutcome::kFailed : RunOutcome::kCompleted);
    // Results only after a completed run; notes on how a text was read may stand there.
    EXPECT_EQ(Status().contains(QStringLiteral(": Cl ")), c.said == nullptr);
    if (c.said) {
      const QString said = OnlyMessage(Form1::MessageKind::kRunError);
      EXPECT_TRUE(said.startsWith(c.said)) << said.toStdString();
      EXPECT_LT(said.size(), 300) << "the input is shortened in the message";
    }
    SetText("Text_NP", "8");
    SetText("Text_AlfaD", "0");
    EXPECT_EQ(CalculateIn(dir.path()), RunOutcome::kCompleted);
    EXPECT_EQ(messages_.size(), c.said ? 1u : 0u);
  }
}

// A directory, or a FIFO that would make a run wait for a reader forever, in place of a
// report: the message names it at once.
TEST_F(Form1InputTest, AReportThatIsADirectoryOrAFifoIsNamedAndTheOtherReportsAreNotLeftHalfDone) {
  SetText("Text_NP", "12");
  TempDir reference;
  ASSERT_EQ(CalculateIn(reference.path()), RunOutcome::kCompleted);
  for (const bool fifo : {false, true})
    for (std::size_t blocked = 0; blocked < std::size(kReports); ++blocked) {
      SCOPED_TRACE(std::string(kReports[blocked]) + (fifo ? " FIFO" : " directory"));
      TempDir dir;  // the reports of 8 panels, then a directory in place of one of them
      SetText("Text_NP", "8");
      ASSERT_EQ(CalculateIn(dir.path()), RunOutcome::kCompleted);
      std::string before[std::size(kReports)];
      for (std::size_t k = 0; k < std::size(kReports); ++k)
        before[k] = ReadFile(dir.File(kReports[k]));
      std::filesystem::remove(dir.File(kReports[blocked]));
      if (fifo) {
        ASSERT_EQ(mkfifo(dir.File(kReports[blocked]).c_str(), 0644), 0);
      } else {
        std::filesystem::create_directory(dir.File(kReports[blocked]));
      }

      messages_.clear();
      SetText("Text_NP", "12");
      EXPECT_EQ(CalculateIn(dir.path()), RunOutcome::kFailed);
      const QString said = OnlyMessage(Form1::MessageKind::kRunError);
      EXPECT_EQ(said.toStdString(),
                std::string("File error: cannot create \"") + kReports[blocked] +
                    "\": " + (fifo ? "not a regular file" : "Is a directory") + ".");
      EXPECT_TRUE(Status().isEmpty());
      // The reports written before it are complete, those after it untouched.
      for (std::size_t k = 0; k < std::size(kReports); ++k) {
        if (k == blocked) continue;
        const std::string expected =
            k < blocked ? ReadFile(reference.File(kReports[k])) : before[k];
        EXPECT_EQ(ReadFile(dir.File(kReports[k])), expected) << kReports[k];
      }
      // The window goes on once the way is clear.
      std::filesystem::remove(dir.File(kReports[blocked]));
      EXPECT_EQ(CalculateIn(dir.path()), RunOutcome::kCompleted);
      EXPECT_EQ(ReadFile(dir.File(kReports[blocked])), ReadFile(reference.File(kReports[blocked])));
      EXPECT_EQ(messages_.size(), 1u);
    }
}

}  // namespace
}  // namespace velquin

int main(int argc, char** argv) {
  return velquin::test_support::RunWindowTests(argc, argv);
}
