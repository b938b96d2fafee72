// What a calculation run sees of the main window: the values of its controls, its three
// pictures, its two drawing operations and its message boxes. Form1 implements it on
// screen; the batch command implements it without a display.
#pragma once

#include <string>

#include "shell/module_common.h"
#include "shell/picture.h"

namespace velquin {

// The controls a run reads, by the names they have in the window.
struct ControlValues {
  std::string Text_NP = "8";
  std::string Text_AlfaD = "0";
  std::string Text_Xv = "0.5";
  std::string Text_Yv = "0";
  int Check_Circulation = 0;  // 1 = ticked
  bool Option_Circle = true;
  bool Option_NACA12 = false;
  bool Option_ConstVortex = false;
  bool Option_PointVortex = false;
};

class CalculationWindow {
 public:
  virtual ~CalculationWindow() = default;

  virtual ControlValues Controls() const = 0;

  virtual Picture& Picture_Airfoil() = 0;
  virtual Picture& Picture_Pressure() = 0;
  virtual Picture& Picture_Matrix() = 0;

  // Draws 1 - Cp, Cu(1..NP), over the control-point abscissae X(1..NP).
  virtual void Show_Pressure(double NP, const Vector& X, const Vector& Cu) = 0;
  // Draws the N x N coefficient matrix X(1..N, 1..N) as coloured cells.
  virtual void Show_CoefficientMatrix(double N, const Matrix& X) = 0;

  // A modal message with one OK button and no caption of its own (the zero pivot).
  virtual void MsgBox(const std::string& text) = 0;
  // Reports a run error (its message names the error and the input behind it).
  virtual void ShowRunError(const std::string& message) = 0;
};

}  // namespace velquin
