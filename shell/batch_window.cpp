#include "shell/batch_window.h"

#include "display/matrix_plot.h"
#include "display/pressure_plot.h"

namespace velquin {

BatchWindow::BatchWindow(const Module_Common& state, const ControlValues& controls,
                         Picture& airfoil, Picture& pressure, Picture& matrix,
                         std::ostream& messages)
    : state_(state),
      controls_(controls),
      airfoil_(airfoil),
      pressure_(pressure),
      matrix_(matrix),
      messages_(messages) {}

void BatchWindow::Show_Pressure(double NP, const Vector& X, const Vector& Cu) {
  velquin::Show_Pressure(pressure_, NP, X, Cu, state_.RefLength, controls_.Option_Circle);
}

void BatchWindow::Show_CoefficientMatrix(double N, const Matrix& X) {
  velquin::Show_CoefficientMatrix(matrix_, N, X);
}

void BatchWindow::MsgBox(const std::string& text) {
  messages_ << text << '\n';
}

void BatchWindow::ShowRunError(const std::string& message) {
  messages_ << message << '\n';
}

}  // namespace velquin
