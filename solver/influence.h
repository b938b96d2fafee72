// The influence coefficients of a panel problem, written once for every storage: the
// seed's fixed arrays of Module_Common (one element, at most 198 panels) and the general
// problem's own arrays (several elements, a ground plane, up to kMaxProblemPanels
// panels) both see their panels through a PanelView and their matrices through a
// MatrixView, and both are filled by AssembleInfluence.
//
// The unknowns are the source strengths of panels 1..np, then one vortex strength for
// every element that carries circulation (columns np + 1, np + 2, ... in the order of
// the elements). The equations are: no flow through the control point of every panel
// (rows 1..np), and for every element with circulation a Kutta-type row: the tangential
// velocities of its first and last panel, which meet at its trailing edge, add up to
// zero, so that the flow leaves the edge with equal speed on both sides.
//
// A ground plane, the line y = ground_y, is modelled by images: every source panel has
// a mirror image of the same strength and every vortex one of the opposite strength, so
// that no flow crosses the line. With the mirror M(x, y) = (x, 2 ground_y - y), the image
// of a source field S is M S(M p) at the point p, and the image of a vortex field W is
// also M W(M p) (a mirror turns the sense of rotation).
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "base/module_common.h"
#include "base/vortex_model.h"

namespace velquin {

// Panels 1..count as plain arrays (index 0 unused): control points, unit tangent (CosAx,
// CosBx), unit normal (CosAy, CosBy), the ends Xi1, Xi2 on the tangent and lengths S.
struct PanelView {
  int count = 0;
  const double* Xc = nullptr;
  const double* Yc = nullptr;
  const double* CosAx = nullptr;
  const double* CosBx = nullptr;
  const double* CosAy = nullptr;
  const double* CosBy = nullptr;
  const double* Xi1 = nullptr;
  const double* Xi2 = nullptr;
  const double* S = nullptr;
};

// The panels of the seed's state, 1..NP.
PanelView PanelViewOf(const Module_Common& C);

// A dense matrix through its storage: entry (i, j) at data[i * stride + j], indices from
// 1 (row and column 0 unused).
struct MatrixView {
  double* data = nullptr;
  std::ptrdiff_t stride = 0;
  double& operator()(int i, int j) const { return data[i * stride + j]; }
};

inline MatrixView ViewOf(Matrix& A) {
  return {A.Row(0), kArraySize};
}
// For functions that only read the matrix.
inline MatrixView ViewOf(const Matrix& A) {
  return {const_cast<double*>(A.Row(0)), kArraySize};
}

// An element: panels first..last of the view, and how it carries circulation.
struct ElementPanels {
  int first = 1, last = 0;
  VortexModel vortex = VortexModel::kNone;
};

// The circle constants of the kernel, as Form_Load sets them.
struct KernelConstants {
  double Pi = 0, Pi2 = 0, Pi4 = 0;
};
KernelConstants KernelConstantsOf(const Module_Common& C);

struct InfluenceSetup {
  PanelView panels;
  std::vector<ElementPanels> elements;
  double Xv = 0, Yv = 0;           // the point vortex, for an element with kPointVortex
  std::optional<double> ground_y;  // the ground plane y = ground_y
  KernelConstants k;

  int VortexCount() const;
  int EquationCount() const { return panels.count + VortexCount(); }
};

// The seed's problem in the state: one element of panels 1..NP with `vortex`, the point
// vortex at (Xv, Yv), no ground.
InfluenceSetup SeedSetup(const Module_Common& C, VortexModel vortex);

// The kernel: velocity (u, v), in the panel's frame, at the local point (x, y) of a unit
// source panel on the local x axis from x1 to x2 (see InfluCoeff_SourcePanel).
void SourcePanelVelocity(const KernelConstants& k, double x, double y, double x1, double x2,
                         double& u, double& v);

// Fills, for rows i = 1..np, At(i, j) and An(i, j): the tangential and normal velocity at
// control point i of a unit strength j, sources j = 1..np (An(i, i) = 0.5, At(i, i) = 0
// without a ground plane), then the vortex columns; then the Kutta-type rows
// An(np + e, j) = At(first, j) + At(last, j), j = 1..neq, with At of those rows cleared.
// Leaves the right-hand side alone. Throws RunError where a control point lies on the end
// of a panel or on the point vortex, naming the panels.
void AssembleInfluence(const InfluenceSetup& setup, MatrixView An, MatrixView At);

// The free-stream terms of m free streams (cos_alfa[c], sin_alfa[c]):
//   tangential (np rows of m): the free stream along each panel's tangent;
//   rhs (neq rows of m): minus the free stream along each normal, and in the Kutta-type
//   row of each element minus the free stream's share -(t(first) + t(last)).
// A ground plane needs no image of the free stream: it must run along the ground.
void FreeStreamTerms(const InfluenceSetup& setup, const double* cos_alfa, const double* sin_alfa,
                     int m, double* rhs, double* tangential);

// Surface speeds of m solutions: at each control point the free stream's tangential
// part plus every unknown's, j = 1..neq in increasing order. `tangential` holds the
// free-stream terms on entry and the signed speeds on return; q holds neq rows of m.
void SignedSurfaceSpeeds(int np, int neq, MatrixView At, const double* q, int m,
                         double* tangential);

}  // namespace velquin
