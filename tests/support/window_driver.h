// Drives the main window as a user would: controls found by name, texts typed in,
// "Calculate" pressed in a chosen directory, messages collected instead of shown.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <filesystem>
#include <string>
#include <vector>

#include "gui/form1.h"

namespace velquin::test_support {

struct Message {
  Form1::MessageKind kind;
  QString text;
};

class WindowTest : public ::testing::Test {
 protected:
  WindowTest() {
    form_.SetMessageHandler([this](Form1::MessageKind kind, const QString& text) {
      messages_.push_back({kind, text});
    });
  }

  template <typename Widget>
  Widget* Control(const char* name) {
    auto* widget = form_.findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  void SetText(const char* name, const QString& text) { Control<QLineEdit>(name)->setText(text); }
  void SetText(const char* name, const char* text) { SetText(name, QString::fromUtf8(text)); }
  void Choose(const char* name) { Control<QAbstractButton>(name)->click(); }
  QString Status() { return Control<QLabel>("Label_Status")->text(); }

  // Presses "Calculate" with `directory` as the current directory.
  RunOutcome CalculateIn(const std::string& directory) {
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(directory);
    Choose("Command1");
    std::filesystem::current_path(previous);
    EXPECT_TRUE(form_.lastOutcome().has_value());
    return form_.lastOutcome().value_or(RunOutcome::kFailed);
  }

  // The text of the one message since messages_ was last cleared, which must be of `kind`.
  QString OnlyMessage(Form1::MessageKind kind) {
    EXPECT_EQ(messages_.size(), 1u);
    if (messages_.size() != 1) return QStringLiteral("<%1 messages>").arg(messages_.size());
    EXPECT_EQ(messages_[0].kind, kind) << messages_[0].text.toStdString();
    return messages_[0].text;
  }

  Form1 form_;
  std::vector<Message> messages_;
};

// main() of a window test: offscreen unless told otherwise, the application's name as
// the title of message boxes.
inline int RunWindowTests(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velquin2DS"));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

}  // namespace velquin::test_support
