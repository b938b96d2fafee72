#include "shell/calculation_window.h"

#include "display/matrix_plot.h"
#include "display/pressure_plot.h"
#include "geometry/module_panel.h"

namespace velquin {

void CalculationWindow::Show_Airfoil(const Module_Common& C, double DrawScale) {
  Panel_Draw(C, DrawScale, PictureOf(PictureId::kAirfoil));
  Repaint(PictureId::kAirfoil);
}

void CalculationWindow::Show_Pressure(double NP, const Vector& X, const Vector& Cu,
                                      double DrawScale) {
  velquin::Show_Pressure(PictureOf(PictureId::kPressure), NP, X, Cu, DrawScale);
  Repaint(PictureId::kPressure);
}

void CalculationWindow::Show_CoefficientMatrix(double N, const Matrix& X) {
  velquin::Show_CoefficientMatrix(PictureOf(PictureId::kMatrix), N, X);
  Repaint(PictureId::kMatrix);
}

void CalculationWindow::Clear_Picture(PictureId id) {
  PictureOf(id).Cls();
  Repaint(id);
}

}  // namespace velquin
