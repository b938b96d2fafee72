// The main window under hostile input and file faults, typed into its real controls:
// whatever the text, a run ends either completed or with one short message, and the
// window goes on working; a report that cannot be written is named in the message and
// the reports written before are not left half-done.
#include <gtest/gtest.h>

#include <QApplication>
#include <QChar>
#include <QCheckBox>
#include <QString>
#include <filesystem>
#include <optional>
#include <string>

#include "shell/form1.h"
#include "support/temp_dir.h"
#include "support/window_driver.h"

namespace velquin {
namespace {

using velquin::testing::kReports;
using velquin::testing::ReadFile;
using velquin::testing::TempDir;

class Form1InputTest : public velquin::testing::WindowTest {
 protected:
  // The start values, as a user would type them back.
  void TypeDefaults() {
    SetText("Text_NP", "8");
    SetText("Text_AlfaD", "0");
  }
};

// A text of `size` copies of one character, as if pasted.
QString Repeated(char c, int size) {
  return QString(size, QLatin1Char(c));
}

TEST_F(Form1InputTest, HostileTextsEndInOneMessageOrACompletedRunAndTheWindowGoesOn) {
  // A megabyte pasted into a field: the field keeps its first 32767 characters (the
  // line edit's limit), still far beyond any number.
  const int kMegabyte = 1 << 20;
  const struct {
    const char* field;
    QString text;
    bool completes;
    const char* said;  // part of the message, when there is one
  } cases[] = {
      {"Text_NP", Repeated('9', kMegabyte), false, "Overflow"},
      {"Text_AlfaD", Repeated('9', kMegabyte), false, "Overflow"},
      {"Text_AlfaD", Repeated('x', kMegabyte), true, nullptr},  // not a number: 0
      {"Text_NP", QStringLiteral("1e400"), false, "Overflow"},
      {"Text_AlfaD", QStringLiteral("-1e400"), false, "Overflow"},
      {"Text_NP", QStringLiteral("&HFFFFFFFFFFFFFFFFFFFF"), false, "Subscript out of range"},
      {"Text_AlfaD", QStringLiteral("&HFFFFFFFFFFFFFFFFFFFF"), true, nullptr},
      {"Text_NP", QStringLiteral("&H10"), true, nullptr},
      {"Text_AlfaD", QStringLiteral("1e308"), false, "Overflow"},  // infinite in radians
      {"Text_NP", QStringLiteral("\t8\x07\x1b"), true, nullptr},
      {"Text_NP", QString::fromLatin1("\x01\x02\x7f"), false, "Division by zero"},
      {"Text_NP",
       QString::fromLatin1("\xff\xfe"
                           "8"),
       false, "Division by zero"},
      {"Text_NP",
       QString::fromUtf8("\xc3\x28"
                         "8"),
       false, "Division by zero"},
      {"Text_NP", QString(QChar(0xD800)) + QStringLiteral("8"), false, "Division by zero"},
      {"Text_AlfaD", QString::fromLatin1("5\xe9\xff"), true, nullptr},
  };
  TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " " + c.text.left(24).toStdString());
    messages_.clear();
    TypeDefaults();
    SetText(c.field, c.text);
    const RunOutcome outcome = CalculateIn(dir.path());
    if (c.completes) {
      EXPECT_EQ(outcome, RunOutcome::kCompleted);
      EXPECT_TRUE(messages_.empty());
      EXPECT_FALSE(Status().isEmpty());
    } else {
      EXPECT_EQ(outcome, RunOutcome::kFailed);
      ASSERT_EQ(messages_.size(), 1u);
      EXPECT_EQ(messages_[0].kind, Form1::MessageKind::kRunError);
      EXPECT_TRUE(messages_[0].text.startsWith(QString::fromLatin1(c.said)))
          << messages_[0].text.toStdString();
      EXPECT_LT(messages_[0].text.size(), 300) << "the input is shortened in the message";
      EXPECT_TRUE(Status().isEmpty());
    }
    TypeDefaults();
    EXPECT_EQ(CalculateIn(dir.path()), RunOutcome::kCompleted);
    EXPECT_EQ(messages_.size(), c.completes ? 0u : 1u);
  }

  // "&H10" is sixteen panels.
  SetText("Text_NP", "&H10");
  ASSERT_EQ(CalculateIn(dir.path()), RunOutcome::kCompleted);
  EXPECT_EQ(form_.state().NP, 16);
}

TEST_F(Form1InputTest, AReportThatIsADirectoryIsNamedAndTheOtherReportsAreNotLeftHalfDone) {
  // The reports of 12 panels, written where nothing is in the way.
  SetText("Text_NP", "12");
  TempDir reference;
  ASSERT_EQ(CalculateIn(reference.path()), RunOutcome::kCompleted);

  for (std::size_t blocked = 0; blocked < std::size(kReports); ++blocked) {
    SCOPED_TRACE(kReports[blocked]);
    messages_.clear();
    // The reports of the default run, then a directory in place of one of them.
    TempDir dir;
    SetText("Text_NP", "8");
    ASSERT_EQ(CalculateIn(dir.path()), RunOutcome::kCompleted);
    std::string before[std::size(kReports)];
    for (std::size_t k = 0; k < std::size(kReports); ++k)
      before[k] = ReadFile(dir.File(kReports[k]));
    std::filesystem::remove(dir.File(kReports[blocked]));
    std::filesystem::create_directory(dir.File(kReports[blocked]));

    SetText("Text_NP", "12");
    EXPECT_EQ(CalculateIn(dir.path()), RunOutcome::kFailed);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(messages_[0].text.contains(QString::fromLatin1(kReports[blocked])))
        << messages_[0].text.toStdString();
    EXPECT_TRUE(Status().isEmpty());
    // The reports the run wrote before are complete; those after it are untouched.
    for (std::size_t k = 0; k < std::size(kReports); ++k) {
      if (k == blocked) continue;
      const std::string expected = k < blocked ? ReadFile(reference.File(kReports[k])) : before[k];
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
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velquin2DS"));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
