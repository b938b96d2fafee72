// A calculation window whose Show_ operations draw with the plots: the body plot, the
// pressure plot and the coefficient-matrix picture, each into the picture of its
// kPictures entry. The main window and the batch command's window derive from it and
// say only where their pictures are and how they show a message.
#pragma once

#include "base/calculation_window.h"
#include "base/picture.h"

namespace velquin {

class PlotWindow : public CalculationWindow {
 public:
  virtual Picture& PictureOf(PictureId id) = 0;
  // Called after a picture has been drawn anew, so that the window shows it at once.
  virtual void Repaint(PictureId id) { (void)id; }

  void Show_Airfoil(const Module_Common& C, double DrawScale) override;
  void Show_Pressure(double NP, const Vector& X, const Vector& Cu, double DrawScale) override;
  void Show_CoefficientMatrix(double N, const Matrix& X) override;
  void Clear_Picture(PictureId id) override;
};

}  // namespace velquin
