// The Python module velquin's compiled part, `velquin._velquin`: the prepared problem,
// its solutions and its flow field as NumPy arrays (python/python_run.h). The package's
// __init__.py turns Python's bodies (names, paths, arrays, elements) into the plain
// element descriptions taken here and wraps the results. Every computation runs with the
// interpreter's lock released.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "app/convergence_bench.h"
#include "base/run_error.h"
#include "python/python_run.h"

namespace py = pybind11;

namespace velquin {
namespace {

using Array = py::array_t<double, py::array::c_style | py::array::forcecast>;

Array ToArray(const std::vector<double>& values) {
  Array out(static_cast<py::ssize_t>(values.size()));
  std::copy(values.begin(), values.end(), out.mutable_data());
  return out;
}

std::vector<double> ToVector(const Array& array) {
  return std::vector<double>(array.data(), array.data() + array.size());
}

VortexModel VortexOf(const py::object& vortex) {
  if (vortex.is_none()) return VortexModel::kNone;
  const std::string name = py::str(vortex);
  if (name == "constant") return VortexModel::kConstantDistribution;
  if (name == "point") return VortexModel::kPointVortex;
  throw InputError{InputError::Kind::kValue,
                   "vortex must be 'point', 'constant' or None, not '" + name + "'"};
}

ElementArguments ElementOf(const py::dict& d) {
  ElementArguments e;
  const std::string kind = py::str(d["kind"]);
  if (kind == "name") {
    e.kind = ElementArguments::Kind::kName;
    e.text = py::str(d["text"]);
  } else if (kind == "file") {
    e.kind = ElementArguments::Kind::kFile;
    e.text = py::str(d["text"]);
  } else {
    e.kind = ElementArguments::Kind::kContour;
    e.x = ToVector(d["x"].cast<Array>());
    e.y = ToVector(d["y"].cast<Array>());
  }
  if (d.contains("place") && !d["place"].is_none()) {
    const auto p = d["place"].cast<std::vector<double>>();
    if (p.size() != 4) throw InputError{InputError::Kind::kValue, "place takes (x, y, deg, chord)"};
    e.placement = Placement{p[0], p[1], p[2], p[3]};
  }
  if (d.contains("flap") && !d["flap"].is_none()) {
    const auto f = d["flap"].cast<std::vector<double>>();
    if (f.size() != 2) throw InputError{InputError::Kind::kValue, "flap takes (xh, deg)"};
    e.flap = Flap{f[0], f[1]};
  }
  return e;
}

std::optional<ViscousOptions> ViscousOf(const py::object& options) {
  if (options.is_none()) return std::nullopt;
  const py::dict d = options.cast<py::dict>();
  ViscousOptions v;
  v.reynolds = d["re"].cast<double>();
  if (d.contains("ncrit")) v.ncrit = d["ncrit"].cast<double>();
  if (d.contains("mach")) v.mach = d["mach"].cast<double>();
  if (d.contains("xtr_top")) v.xtr_top = d["xtr_top"].cast<double>();
  if (d.contains("xtr_bottom")) v.xtr_bottom = d["xtr_bottom"].cast<double>();
  if (d.contains("max_passes")) v.max_passes = d["max_passes"].cast<int>();
  return v;
}

py::object Optional(const std::optional<double>& value) {
  return value ? py::object(py::float_(*value)) : py::object(py::none());
}

py::dict ViscousDict(const ViscousResult& v) {
  py::dict d;
  d["cl"] = v.cl_viscous;
  d["cm"] = v.cm_viscous;
  d["cd"] = v.cd;
  d["cl_inviscid"] = v.cl_inviscid;
  d["cm_inviscid"] = v.cm_inviscid;
  d["xtr_top"] = v.xtr_top;
  d["xtr_bottom"] = v.xtr_bottom;
  d["xsep_top"] = v.xsep_top;
  d["xsep_bottom"] = v.xsep_bottom;
  d["converged"] = v.converged;
  d["passes"] = v.passes;
  // Every element's share (on the reference chord) and its own chord fractions.
  std::vector<double> cl, cd, xtr_top, xtr_bottom, xsep_top, xsep_bottom;
  for (const ElementViscousResult& e : v.elements) {
    cl.push_back(e.cl_viscous);
    cd.push_back(e.cd);
    xtr_top.push_back(e.xtr_top);
    xtr_bottom.push_back(e.xtr_bottom);
    xsep_top.push_back(e.xsep_top);
    xsep_bottom.push_back(e.xsep_bottom);
  }
  d["element_cl"] = ToArray(cl);
  d["element_cd"] = ToArray(cd);
  d["element_xtr_top"] = ToArray(xtr_top);
  d["element_xtr_bottom"] = ToArray(xtr_bottom);
  d["element_xsep_top"] = ToArray(xsep_top);
  d["element_xsep_bottom"] = ToArray(xsep_bottom);
  return d;
}

py::dict SurfaceDict(const SurfaceResult& r) {
  py::dict d;
  d["seed"] = r.seed;
  d["alpha"] = r.alpha_degrees;
  d["cl"] = r.cl;
  d["cl_pressure"] = r.cl_pressure;
  d["cm"] = r.cm;
  d["source_sum"] = r.source_sum;
  d["circle_deviation"] = Optional(r.circle_deviation);
  d["cl_exact"] = Optional(r.cl_exact);
  d["exact_deviation"] = Optional(r.exact_deviation);
  d["x"] = ToArray(r.x);
  d["y"] = ToArray(r.y);
  d["xc"] = ToArray(r.xc);
  d["yc"] = ToArray(r.yc);
  d["vt"] = ToArray(r.vt);
  d["cp"] = ToArray(r.cp);
  py::array_t<int> element(static_cast<py::ssize_t>(r.element.size()));
  std::copy(r.element.begin(), r.element.end(), element.mutable_data());
  d["element"] = element;
  d["element_names"] = r.element_names;
  d["element_cl"] = ToArray(r.element_cl);
  d["element_cl_pressure"] = ToArray(r.element_cl_pressure);
  d["warnings"] = r.warnings;
  d["viscous"] = r.viscous ? py::object(ViscousDict(*r.viscous)) : py::object(py::none());
  return d;
}

Array Matrix(const std::vector<std::vector<double>>& rows) {
  const std::size_t n = rows.size(), m = rows.empty() ? 0 : rows.front().size();
  Array out({static_cast<py::ssize_t>(n), static_cast<py::ssize_t>(m)});
  double* data = out.mutable_data();
  for (std::size_t k = 0; k < n; ++k) std::copy(rows[k].begin(), rows[k].end(), data + k * m);
  return out;
}

py::dict PolarDict(const PreparedProblem::PolarResult& p) {
  py::dict d;
  d["alpha"] = ToArray(p.alpha);
  d["cl"] = ToArray(p.cl);
  d["cl_pressure"] = ToArray(p.cl_pressure);
  d["cm"] = ToArray(p.cm);
  d["source_sum"] = ToArray(p.source_sum);
  d["element_cl"] = Matrix(p.element_cl);
  d["element_cl_pressure"] = Matrix(p.element_cl_pressure);
  if (!p.viscous.empty()) {
    std::vector<double> cl, cm, cd, xtr_top, xtr_bottom;
    std::vector<std::vector<double>> element_cd;
    py::array_t<bool> converged(static_cast<py::ssize_t>(p.viscous.size()));
    for (std::size_t k = 0; k < p.viscous.size(); ++k) {
      const ViscousResult& v = p.viscous[k];
      element_cd.emplace_back();
      for (const ElementViscousResult& e : v.elements) element_cd.back().push_back(e.cd);
      cl.push_back(v.cl_viscous);
      cm.push_back(v.cm_viscous);
      cd.push_back(v.cd);
      xtr_top.push_back(v.xtr_top);
      xtr_bottom.push_back(v.xtr_bottom);
      converged.mutable_data()[k] = v.converged;
    }
    d["cl_viscous"] = ToArray(cl);
    d["cm_viscous"] = ToArray(cm);
    d["cd"] = ToArray(cd);
    d["xtr_top"] = ToArray(xtr_top);
    d["xtr_bottom"] = ToArray(xtr_bottom);
    d["element_cd"] = Matrix(element_cd);
    d["converged"] = converged;
  }
  return d;
}

// A prepared problem and the flow fields made from it.
class Problem {
 public:
  Problem(const py::list& elements, const py::object& panels, const py::object& vortex, double xv,
          double yv, const py::object& ground) {
    ProblemArguments given;
    for (const py::handle& e : elements) given.elements.push_back(ElementOf(e.cast<py::dict>()));
    if (!panels.is_none()) given.panels = panels.cast<double>();
    given.vortex = VortexOf(vortex);
    given.xv = xv;
    given.yv = yv;
    if (!ground.is_none()) given.ground = ground.cast<double>();
    py::gil_scoped_release release;
    problem_ = std::make_shared<PreparedProblem>(given);
  }

  bool IsSeed() const { return problem_->IsSeed(); }
  int PanelCount() const { return problem_->PanelCount(); }

  py::dict Solve(double alpha, const py::object& viscous) const {
    const std::optional<ViscousOptions> options = ViscousOf(viscous);
    SurfaceResult r;
    {
      py::gil_scoped_release release;
      r = problem_->Solve(alpha, options);
    }
    return SurfaceDict(r);
  }

  py::dict Polar(const Array& alpha, const py::object& viscous) const {
    const std::vector<double> angles = ToVector(alpha);
    const std::optional<ViscousOptions> options = ViscousOf(viscous);
    PreparedProblem::PolarResult p;
    {
      py::gil_scoped_release release;
      p = problem_->Polar(angles, options);
    }
    return PolarDict(p);
  }

  std::shared_ptr<PreparedProblem> Shared() const { return problem_; }

 private:
  std::shared_ptr<PreparedProblem> problem_;
};

class Field {
 public:
  Field(const Problem& problem, double alpha, const py::object& domain, int nx, int ny)
      : problem_(problem.Shared()) {
    std::optional<FlowDomain> box;
    if (!domain.is_none()) {
      const auto d = domain.cast<std::vector<double>>();
      if (d.size() != 4) {
        throw InputError{InputError::Kind::kValue, "domain takes (xmin, xmax, ymin, ymax)"};
      }
      box = FlowDomain{d[0], d[1], d[2], d[3]};
    }
    py::gil_scoped_release release;
    field_ = problem_->MakeField(alpha, box, nx, ny);
  }

  py::dict Grid() const {
    const FlowGrid& g = field_->grid;
    const FlowFrame& f = field_->frame;
    const py::ssize_t ny = g.ny, nx = g.nx;
    Array x({ny, nx}), y({ny, nx}), u({ny, nx}), v({ny, nx}), cp({ny, nx});
    py::array_t<bool> inside({ny, nx});
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (py::ssize_t k = 0; k < nx * ny; ++k) {
      const bool in = g.inside[static_cast<std::size_t>(k)] != 0;
      x.mutable_data()[k] = g.domain.xmin + static_cast<double>(k % nx) * g.dx;
      y.mutable_data()[k] = g.domain.ymin + static_cast<double>(k / nx) * g.dy;
      u.mutable_data()[k] = in ? nan : f.u[static_cast<std::size_t>(k)];
      v.mutable_data()[k] = in ? nan : f.v[static_cast<std::size_t>(k)];
      cp.mutable_data()[k] = in ? nan : f.cp[static_cast<std::size_t>(k)];
      inside.mutable_data()[k] = in;
    }
    py::dict d;
    d["x"] = x;
    d["y"] = y;
    d["u"] = u;
    d["v"] = v;
    d["cp"] = cp;
    d["inside"] = inside;
    d["surface"] = SurfaceDict(field_->surface);
    return d;
  }

  py::tuple Velocity(const Array& x, const Array& y) const {
    if (x.size() != y.size()) {
      throw InputError{InputError::Kind::kValue, "x and y differ in size"};
    }
    std::vector<py::ssize_t> shape(x.shape(), x.shape() + x.ndim());
    Array u(shape), v(shape);
    const double* px = x.data();
    const double* py_ = y.data();
    double* pu = u.mutable_data();
    double* pv = v.mutable_data();
    const py::ssize_t n = x.size();
    {
      py::gil_scoped_release release;
      const double nan = std::numeric_limits<double>::quiet_NaN();
      for (py::ssize_t k = 0; k < n; ++k) {
        const std::optional<FlowVelocity> V = problem_->VelocityAt(*field_, px[k], py_[k]);
        pu[k] = V ? V->u : nan;
        pv[k] = V ? V->v : nan;
      }
    }
    return py::make_tuple(u, v);
  }

  py::list Streamlines(const py::object& seeds, int count, int max_steps,
                       double stagnation_speed) const {
    StreamlineOptions options;
    options.count = count;
    options.max_steps = max_steps;
    options.stagnation_speed = stagnation_speed;
    if (count < 1 || max_steps < 1 || !(stagnation_speed >= 0)) {
      throw InputError{InputError::Kind::kValue,
                       "streamlines need count >= 1, max_steps >= 1 and stagnation_speed >= 0"};
    }
    std::vector<double> points;
    if (!seeds.is_none()) {
      const Array s = seeds.cast<Array>();
      if (s.ndim() != 2 || s.shape(1) != 2) {
        throw InputError{InputError::Kind::kValue, "seeds take an array of shape (n, 2)"};
      }
      points = ToVector(s);
    }
    std::vector<Streamline> lines;
    {
      py::gil_scoped_release release;
      if (seeds.is_none()) {
        lines = TraceStreamlines(field_->grid, field_->frame, field_->cos_alfa, field_->sin_alfa,
                                 options);
      } else {
        for (std::size_t k = 0; k + 1 < points.size(); k += 2) {
          lines.push_back(
              TraceStreamline(field_->grid, field_->frame, points[k], points[k + 1], options));
        }
      }
    }
    static const char* const kEnds[] = {"domain", "body", "stagnation", "steps"};
    py::list out;
    for (const Streamline& line : lines) {
      Array xy({static_cast<py::ssize_t>(line.x.size()), py::ssize_t{2}});
      for (std::size_t k = 0; k < line.x.size(); ++k) {
        xy.mutable_data()[2 * k] = line.x[k];
        xy.mutable_data()[2 * k + 1] = line.y[k];
      }
      out.append(py::make_tuple(xy, kEnds[static_cast<int>(line.end)]));
    }
    return out;
  }

 private:
  std::shared_ptr<PreparedProblem> problem_;
  std::unique_ptr<PreparedProblem::Field> field_;
};

}  // namespace
}  // namespace velquin

// The verification bench on both cores: its rows as columns, and the verdict of every
// quantity. The GIL is released while the cases run.
py::dict VerifyBench() {
  std::vector<velquin::ConvergenceCaseResult> results;
  {
    py::gil_scoped_release release;
    results = velquin::RunVerificationBench(2);
  }
  const std::vector<velquin::ConvergenceVerdict> verdicts = velquin::JudgeConvergence(results);
  py::list cases, quantities;
  std::vector<int> panels;
  std::vector<double> computed, exact, error;
  for (const velquin::ConvergenceCaseResult& r : results) {
    for (const velquin::ConvergenceRow& row : r.rows) {
      cases.append(r.name);
      quantities.append(row.quantity);
      panels.push_back(row.panels);
      computed.push_back(row.computed);
      exact.push_back(row.exact);
      error.push_back(row.error);
    }
  }
  py::list orders;
  bool passed = true;
  for (const velquin::ConvergenceVerdict& v : verdicts) {
    py::dict d;
    d["case"] = v.case_name;
    d["quantity"] = v.quantity;
    d["order"] = v.order;
    d["required"] = v.required;
    d["passed"] = v.passed;
    d["reason"] = v.reason;
    orders.append(d);
    passed = passed && v.passed;
  }
  py::dict table;
  table["case"] = cases;
  table["panels"] = py::array_t<int>(static_cast<py::ssize_t>(panels.size()), panels.data());
  table["quantity"] = quantities;
  table["computed"] =
      py::array_t<double>(static_cast<py::ssize_t>(computed.size()), computed.data());
  table["exact"] = py::array_t<double>(static_cast<py::ssize_t>(exact.size()), exact.data());
  table["error"] = py::array_t<double>(static_cast<py::ssize_t>(error.size()), error.data());
  table["orders"] = orders;
  table["passed"] = passed;
  return table;
}

PYBIND11_MODULE(_velquin, m) {
  using namespace velquin;
  m.doc() = "The compiled part of velquin; use the functions of the velquin package.";
  py::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const InputError& e) {
      switch (e.kind) {
        case InputError::Kind::kMissingFile:
          PyErr_SetString(PyExc_FileNotFoundError, e.message.c_str());
          return;
        case InputError::Kind::kFile:
          PyErr_SetString(PyExc_OSError, e.message.c_str());
          return;
        case InputError::Kind::kValue:
          PyErr_SetString(PyExc_ValueError, e.message.c_str());
          return;
      }
    } catch (const RunError& e) {
      PyErr_SetString(e.kind() == ErrorKind::kFileError ? PyExc_OSError : PyExc_ValueError,
                      e.what());
    }
  });
  py::class_<Problem>(m, "Problem")
      .def(py::init<const py::list&, const py::object&, const py::object&, double, double,
                    const py::object&>(),
           py::arg("elements"), py::arg("panels"), py::arg("vortex"), py::arg("xv"), py::arg("yv"),
           py::arg("ground"))
      .def_property_readonly("seed", &Problem::IsSeed)
      .def_property_readonly("panel_count", &Problem::PanelCount)
      .def("solve", &Problem::Solve, py::arg("alpha"), py::arg("viscous"))
      .def("polar", &Problem::Polar, py::arg("alpha"), py::arg("viscous"));
  m.def("verify", &VerifyBench);
  py::class_<Field>(m, "Field")
      .def(py::init<const Problem&, double, const py::object&, int, int>(), py::arg("problem"),
           py::arg("alpha"), py::arg("domain"), py::arg("nx"), py::arg("ny"))
      .def("grid", &Field::Grid)
      .def("velocity", &Field::Velocity, py::arg("x"), py::arg("y"))
      .def("streamlines", &Field::Streamlines, py::arg("seeds"), py::arg("count"),
           py::arg("max_steps"), py::arg("stagnation_speed"));
}
