// What the procedures of a calculation run see of the main window: its three pictures,
// its drawing operations and its message boxes. Form1 implements it on screen; the batch
// command implements it without a display.
//
// Every picture is drawn in one way: a run hands its data to a Show_ operation, which
// clears the picture, draws it completely and has the window repaint it.
#pragma once

#include <string>

#include "shell/module_common.h"
#include "shell/picture.h"
#include "shell/picture_table.h"

namespace velquin {

class CalculationWindow {
 public:
  virtual ~CalculationWindow() = default;

  virtual Picture& PictureOf(PictureId id) = 0;
  // Called after a picture has been drawn anew, so that the window shows it at once.
  virtual void Repaint(PictureId id) { (void)id; }

  // The panelled body: panels 1..NP of C at DrawScale times their coordinates.
  void Show_Airfoil(const Module_Common& C, double DrawScale);
  // 1 - Cp, Cu(1..NP), over DrawScale times the control-point abscissae X(1..NP).
  void Show_Pressure(double NP, const Vector& X, const Vector& Cu, double DrawScale);
  // The N x N coefficient matrix X(1..N, 1..N) as coloured cells.
  void Show_CoefficientMatrix(double N, const Matrix& X);
  // Empties a picture (its background only), e.g. where a run has no result to show.
  void Clear_Picture(PictureId id);

  // A modal message with one OK button and no caption of its own (the zero pivot).
  virtual void MsgBox(const std::string& text) = 0;
  // Reports a run error (its message names the error and the input behind it).
  virtual void ShowRunError(const std::string& message) = 0;
};

}  // namespace velquin
