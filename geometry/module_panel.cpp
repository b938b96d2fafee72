#include "geometry/module_panel.h"

#include <cmath>
#include <string>

#include "base/run_error.h"

namespace velquin {
namespace {

void WritePanelReport(const Module_Common& C, const ReportOptions& options) {
  ReportFile file(options, "Output_Panel.txt");
  Panel_ReportText(C, file.out());
  file.Close();
}

}  // namespace

void Panel_ReportText(const Module_Common& C, ReportText& out) {
  out.Reserve(static_cast<std::size_t>(std::fmax(C.NP, 0.0) * 90 + 100));
  out.EndLine();
  out.Text("   I    X       Y       Xi       Yi       Xc      Yc   CosAx    CosBx   CosAy    CosBy")
      .EndLine();
  out.EndLine();
  for (int i = 1; i <= C.NP; ++i) {
    out.Text(i < 10 ? "   " : "  ").Whole(i);
    const double fields[] = {C.X(1, i), C.Y(1, i),  C.Xi(1, i), C.Xi(2, i), C.Xc(i),
                             C.Yc(i),   C.CosAx(i), C.CosBx(i), C.CosAy(i), C.CosBy(i)};
    for (double value : fields) out.Text("  ").Fixed4(value);
    out.EndLine();
  }
}

PanelFrame Panel_Frame(double x1, double y1, double x2, double y2, int number) {
  PanelFrame p;
  p.Xc = (x1 + x2) / 2;
  p.Yc = (y1 + y2) / 2;
  const double Dx = x2 - x1;
  const double Dy = y2 - y1;
  p.S = std::sqrt(Dx * Dx + Dy * Dy);
  if (p.S == 0) {
    throw RunError(ErrorKind::kDivisionByZero, "panel " + std::to_string(number) +
                                                   " has zero length (its two nodes coincide).");
  }
  // Tangent from start to end node; the normal a quarter turn counter-clockwise from
  // it, which points out of a body whose contour runs clockwise.
  p.CosAx = Dx / p.S;
  p.CosBx = Dy / p.S;
  p.CosAy = (-Dy) / p.S;
  p.CosBy = Dx / p.S;
  // The ends projected on the tangent, not set to -S/2 and +S/2: the kernel and the
  // report use exactly these values.
  p.Xi1 = p.CosAx * (x1 - p.Xc) + p.CosBx * (y1 - p.Yc);
  p.Xi2 = p.CosAx * (x2 - p.Xc) + p.CosBx * (y2 - p.Yc);
  return p;
}

void Panel_ComputeGeometry(Module_Common& C) {
  for (int i = 1; i <= C.NP; ++i) {
    const PanelFrame p = Panel_Frame(C.X(1, i), C.Y(1, i), C.X(2, i), C.Y(2, i), i);
    C.Xc(i) = p.Xc;
    C.Yc(i) = p.Yc;
    C.S(i) = p.S;
    C.CosAx(i) = p.CosAx;
    C.CosBx(i) = p.CosBx;
    C.CosAy(i) = p.CosAy;
    C.CosBy(i) = p.CosBy;
    C.Xi(1, i) = p.Xi1;
    C.Yi(1, i) = 0;
    C.Xi(2, i) = p.Xi2;
    C.Yi(2, i) = 0;
  }
}

void Panel_Geometry(Module_Common& C, const Body& body, CalculationWindow& window,
                    const ReportOptions& reports) {
  Panel_ComputeGeometry(C);
  WritePanelReport(C, reports);
  window.Show_Airfoil(C, BodyDrawScale(body, C.RefLength));
}

void Panel_Draw(const Module_Common& C, double DrawScale, Picture& picture) {
  picture.Cls();
  picture.Scale(-0.1, 0.3, 1.1, -0.3);
  picture.Line(0, 0, 1, 0, kForeground);
  picture.Line(0, -0.25f, 0, 0.25f, kForeground);
  auto f = [](double value) { return static_cast<float>(value); };
  for (int i = 1; i <= C.NP; ++i) {
    picture.Line(f(DrawScale * C.X(1, i)), f(DrawScale * C.Y(1, i)), f(DrawScale * C.X(2, i)),
                 f(DrawScale * C.Y(2, i)), kRed);
    picture.Circle(f(DrawScale * C.X(1, i)), f(DrawScale * C.Y(1, i)), kMarkerRadius, kRed);
    picture.Circle(f(DrawScale * C.Xc(i)), f(DrawScale * C.Yc(i)), kMarkerRadius, kBlue);
  }
}

}  // namespace velquin
