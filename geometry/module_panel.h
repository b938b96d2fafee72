// Module_Panel: control points, lengths, direction cosines and panel-local ends of the
// panels; the panel report "Output_Panel.txt"; the plot of the panelled body.
#pragma once

#include "base/calculation_window.h"
#include "base/module_common.h"
#include "base/report_writer.h"
#include "geometry/body.h"

namespace velquin {

// For panels 1..NP: Xc, Yc (midpoint), S (length), the unit tangent (CosAx, CosBx) from
// start to end node, the unit normal (CosAy, CosBy) = (-CosBx, CosAx), and Xi(1, i),
// Xi(2, i), the ends projected on the tangent from the midpoint (about -S/2 and +S/2).
// Then writes "Output_Panel.txt" and draws the panelled body (Show_Airfoil) at the
// body's scale.
void Panel_Geometry(Module_Common& C, const Body& body, CalculationWindow& window,
                    const ReportOptions& reports);

// Only the arithmetic of Panel_Geometry, without report and plot.
void Panel_ComputeGeometry(Module_Common& C);

// One panel from its start node (x1, y1) to its end node (x2, y2): the arithmetic of
// Panel_ComputeGeometry, for every problem. A panel of zero length throws
// RunError(kDivisionByZero) naming panel `number`.
struct PanelFrame {
  double Xc = 0, Yc = 0, S = 0, CosAx = 0, CosBx = 0, CosAy = 0, CosBy = 0, Xi1 = 0, Xi2 = 0;
};
PanelFrame Panel_Frame(double x1, double y1, double x2, double y2, int number);

// The text of "Output_Panel.txt" for panels 1..NP.
void Panel_ReportText(const Module_Common& C, ReportText& out);

// Draws the axes, then the panels (red lines), their start nodes (red circles) and
// control points (blue circles), at DrawScale times their coordinates (BodyDrawScale).
void Panel_Draw(const Module_Common& C, double DrawScale, Picture& picture);

}  // namespace velquin
