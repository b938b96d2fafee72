// Spin boxes that say when a typed value lies outside their range. A plain spin box
// refuses the keystroke that would leave its range, so "25" in a box up to 20 becomes
// "2" without a word; these accept any number while it is typed and, when the text is
// complete (Return or leaving the box), hand a value outside the range to a handler and
// keep their earlier value. They read numbers as the batch command does: "1e9", "-1",
// more decimals than shown. With keyboard tracking off, a value counts once its text is
// complete, so "7.3" is 7.3 and not 7 on the way.
#pragma once

#include <QDoubleSpinBox>
#include <QSpinBox>
#include <functional>

namespace velquin {

// Called with the out-of-range value the user gave.
using OutOfRangeHandler = std::function<void(double value)>;

class CheckedDoubleSpinBox : public QDoubleSpinBox {
 public:
  explicit CheckedDoubleSpinBox(QWidget* parent = nullptr);
  void SetOutOfRangeHandler(OutOfRangeHandler handler) { handler_ = std::move(handler); }

 protected:
  QValidator::State validate(QString& text, int& position) const override;
  double valueFromText(const QString& text) const override;
  void fixup(QString& text) const override;

 private:
  OutOfRangeHandler handler_;
};

class CheckedSpinBox : public QSpinBox {
 public:
  explicit CheckedSpinBox(QWidget* parent = nullptr);
  void SetOutOfRangeHandler(OutOfRangeHandler handler) { handler_ = std::move(handler); }
  // The values the arrows and Page keys may land on; none: every value in the range.
  void SetAcceptable(std::function<bool(int)> acceptable) { acceptable_ = std::move(acceptable); }
  void stepBy(int steps) override;

 protected:
  QValidator::State validate(QString& text, int& position) const override;
  int valueFromText(const QString& text) const override;
  void fixup(QString& text) const override;

 private:
  OutOfRangeHandler handler_;
  std::function<bool(int)> acceptable_;
};

}  // namespace velquin
