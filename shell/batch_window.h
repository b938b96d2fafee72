// The window interface without a display: the batch command sets the control values
// from its options, and messages go to a stream.
#pragma once

#include <ostream>

#include "shell/calculation_window.h"

namespace velquin {

class BatchWindow : public CalculationWindow {
 public:
  // The pictures must outlive the window. Messages are written to `messages`.
  BatchWindow(const Module_Common& state, const ControlValues& controls, Picture& airfoil,
              Picture& pressure, Picture& matrix, std::ostream& messages);

  ControlValues Controls() const override { return controls_; }
  void SetControls(const ControlValues& controls) { controls_ = controls; }

  Picture& Picture_Airfoil() override { return airfoil_; }
  Picture& Picture_Pressure() override { return pressure_; }
  Picture& Picture_Matrix() override { return matrix_; }

  void Show_Pressure(double NP, const Vector& X, const Vector& Cu) override;
  void Show_CoefficientMatrix(double N, const Matrix& X) override;

  void MsgBox(const std::string& text) override;
  void ShowRunError(const std::string& message) override;

 private:
  const Module_Common& state_;
  ControlValues controls_;
  Picture& airfoil_;
  Picture& pressure_;
  Picture& matrix_;
  std::ostream& messages_;
};

}  // namespace velquin
