// What the procedures of a calculation run see of the main window: its drawing
// operations and its message boxes, and nothing else. A pure interface, so that the
// geometry and the solver can hand their results to the window without knowing how the
// window draws them (display/plot_window.h draws them with the plots).
//
// Every picture is drawn in one way: a run hands its data to a Show_ operation, which
// clears the picture, draws it completely and has the window show it at once.
#pragma once

#include <string>

#include "base/module_common.h"
#include "base/picture_table.h"

namespace velquin {

class CalculationWindow {
 public:
  virtual ~CalculationWindow() = default;

  // The panelled body: panels 1..NP of C at DrawScale times their coordinates.
  virtual void Show_Airfoil(const Module_Common& C, double DrawScale) = 0;
  // 1 - Cp, Cu(1..NP), over DrawScale times the control-point abscissae X(1..NP).
  virtual void Show_Pressure(double NP, const Vector& X, const Vector& Cu, double DrawScale) = 0;
  // The N x N coefficient matrix X(1..N, 1..N) as coloured cells.
  virtual void Show_CoefficientMatrix(double N, const Matrix& X) = 0;
  // Empties a picture (its background only), e.g. where a run has no result to show.
  virtual void Clear_Picture(PictureId id) = 0;

  // A modal message with one OK button and no caption of its own (the zero pivot).
  virtual void MsgBox(const std::string& text) = 0;
  // Reports a run error (its message names the error and the input behind it).
  virtual void ShowRunError(const std::string& message) = 0;
};

}  // namespace velquin
