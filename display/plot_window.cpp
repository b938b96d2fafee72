#include "display/plot_window.h"

#include "display/matrix_plot.h"
#include "display/pressure_plot.h"
#include "geometry/module_panel.h"

namespace velquin {

void PlotWindow::Show_Airfoil(const Module_Common& C, double DrawScale) {
  Panel_Draw(C, DrawScale, PictureOf(PictureId::kAirfoil));
  Repaint(PictureId::kAirfoil);
}

void PlotWindow::Show_Pressure(double NP, const Vector& X, const Vector& Cu, double DrawScale) {
  velquin::Show_Pressure(PictureOf(PictureId::kPressure), NP, X, Cu, DrawScale);
  Repaint(PictureId::kPressure);
}

void PlotWindow::Show_CoefficientMatrix(double N, const Matrix& X) {
  velquin::Show_CoefficientMatrix(PictureOf(PictureId::kMatrix), N, X);
  Repaint(PictureId::kMatrix);
}

void PlotWindow::Clear_Picture(PictureId id) {
  PictureOf(id).Cls();
  Repaint(id);
}

}  // namespace velquin
