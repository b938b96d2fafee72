// Driving the main window in tests as a user would: its controls found by name, texts
// typed in, "Calculate" pressed in a chosen directory, and every message collected
// instead of shown in a box.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/form1.h"

namespace velquin::testing {

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
  QString Text(const char* name) { return Control<QLineEdit>(name)->text(); }
  void SetText(const char* name, const char* text) { SetText(name, QString::fromUtf8(text)); }
  void SetText(const char* name, const QString& text) { Control<QLineEdit>(name)->setText(text); }
  void Choose(const char* name) { Control<QAbstractButton>(name)->click(); }
  QString Status() { return Control<QLabel>("Label_Status")->text(); }

  // Presses "Calculate" with `directory` as the current directory.
  RunOutcome CalculateIn(const std::string& directory) {
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(directory);
    Control<QPushButton>("Command1")->click();
    std::filesystem::current_path(previous);
    EXPECT_TRUE(form_.lastOutcome().has_value());
    return form_.lastOutcome().value_or(RunOutcome::kFailed);
  }

  Form1 form_;
  std::vector<Message> messages_;
};

}  // namespace velquin::testing
