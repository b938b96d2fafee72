// Module_InfluCoeff: the constant-source panel kernel and the assembly of the linear
// system with its report "Output_InfCoeffs.txt".
#pragma once

#include "base/calculation_window.h"
#include "base/module_common.h"
#include "base/report_writer.h"
#include "solver/run_inputs.h"

namespace velquin {

// Velocity (u, v), in the panel's frame, induced at the local point (x, y) by a panel
// on the local x axis from x1 to x2 (x1 = -x2 up to rounding) with a unit source
// strength per unit length:
//   u = ln(r1^2 / r2^2) / (4 pi),   v = theta / (2 pi),
// r1, r2 the distances from the two ends and theta the angle the panel subtends at the
// point, between -pi and pi, positive on the positive-y side. On the panel itself v = 0.5.
// Where the subtended angle is exactly a right angle (den = 0) theta is the limit
// +-pi/2 with the sign of y. A point on either end of the panel is singular: throws
// RunError(kInvalidArgument).
void InfluCoeff_SourcePanel(const Module_Common& C, double x, double y, double x1, double x2,
                            double& u, double& v);

// Control point i in the frame of panel j: the kernel's field point.
void InfluCoeff_LocalPoint(const Module_Common& C, int i, int j, double& xL, double& yL);

// The two coefficient blocks of "Output_InfCoeffs.txt" (An with the right-hand side,
// At without), as assembled, and the strengths section that follows the solution.
void InfluCoeff_CoefficientText(const Module_Common& C, ReportText& out);
void InfluCoeff_StrengthText(const Module_Common& C, bool circulation, ReportText& out);

// Fills An and At, the vortex column and Kutta row when circulation is on and the free
// stream column NRhs (for the state's CosAlfa, SinAlfa); writes the coefficient blocks
// of "Output_InfCoeffs.txt"; draws An; solves An Q = rhs by Gauss_Solve; appends the
// strengths. Returns false when the elimination met a zero pivot: the report then ends
// after the coefficient blocks, and the caller shows the message.
bool InfluCoeff_Assemble(Module_Common& C, const RunInputs& inputs, CalculationWindow& window,
                         const ReportOptions& reports);

// Only the arithmetic of the assembly (source columns, vortex column, free stream,
// Kutta row), without report, picture or solution.
void InfluCoeff_Fill(Module_Common& C, const RunInputs& inputs);

}  // namespace velquin
