// A picture that draws nothing and remembers every operation, in order and with its
// arguments exactly as received, so that a test can check what a plot asked for.
#pragma once

#include <array>
#include <optional>
#include <ostream>
#include <vector>

#include "base/picture.h"

namespace velquin::test_support {

enum class OpKind { Cls, Scale, Line, LineBF, Circle };

struct PictureOp {
  OpKind kind = OpKind::Cls;
  std::array<double, 4> scale{};  // Scale: x1, y1, x2, y2
  std::array<float, 4> at{};      // Line, LineBF: x1, y1, x2, y2; Circle: x, y, r, 0
  std::optional<Colour> colour;   // none: the foreground colour (Cls and Scale: none)

  friend bool operator==(const PictureOp& a, const PictureOp& b) {
    return a.kind == b.kind && a.scale == b.scale && a.at == b.at && a.colour == b.colour;
  }
  friend std::ostream& operator<<(std::ostream& out, const PictureOp& op) {
    static const char* const kNames[] = {"Cls", "Scale", "Line", "LineBF", "Circle"};
    out << kNames[static_cast<int>(op.kind)] << "(";
    if (op.kind == OpKind::Scale) {
      out << op.scale[0] << ", " << op.scale[1] << ", " << op.scale[2] << ", " << op.scale[3];
    } else if (op.kind != OpKind::Cls) {
      out << op.at[0] << ", " << op.at[1] << ", " << op.at[2] << ", " << op.at[3];
    }
    out << ")";
    if (op.colour) out << " colour " << *op.colour;
    return out;
  }
};

// The expected operations, built the way a plot hands them over.
inline PictureOp ClsOp() {
  return {};
}
inline PictureOp ScaleOp(double x1, double y1, double x2, double y2) {
  return {OpKind::Scale, {x1, y1, x2, y2}, {}, std::nullopt};
}
inline PictureOp LineOp(float x1, float y1, float x2, float y2, std::optional<Colour> colour) {
  return {OpKind::Line, {}, {x1, y1, x2, y2}, colour};
}
inline PictureOp LineBFOp(float x1, float y1, float x2, float y2, Colour colour) {
  return {OpKind::LineBF, {}, {x1, y1, x2, y2}, colour};
}
inline PictureOp CircleOp(float x, float y, float r, std::optional<Colour> colour) {
  return {OpKind::Circle, {}, {x, y, r, 0.0f}, colour};
}

class RecordingPicture : public Picture {
 public:
  void Cls() override { ops.push_back(ClsOp()); }
  void Scale(double x1, double y1, double x2, double y2) override {
    ops.push_back(ScaleOp(x1, y1, x2, y2));
  }
  void Line(float x1, float y1, float x2, float y2, std::optional<Colour> colour) override {
    ops.push_back(LineOp(x1, y1, x2, y2, colour));
  }
  void LineBF(float x1, float y1, float x2, float y2, Colour colour) override {
    ops.push_back(LineBFOp(x1, y1, x2, y2, colour));
  }
  void Circle(float x, float y, float r, std::optional<Colour> colour) override {
    ops.push_back(CircleOp(x, y, r, colour));
  }

  std::vector<PictureOp> ops;
};

}  // namespace velquin::test_support
