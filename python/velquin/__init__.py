"""velquin: the 2-D panel method of Velquin-2DS from Python, with NumPy arrays.

A body is given as
  * a str: a body name as ``velquin2ds --body`` takes it ("naca2412", "circle",
    "naca23012", "joukowski:-0.1:0.05", ...);
  * an os.PathLike (pathlib.Path): a Selig or Lednicer coordinate file (a file of
    several elements gives them all);
  * a tuple (x, y) of two 1-D arrays: a contour of points, read as a coordinate file;
  * a velquin.Element (or a dict with the keys body, place, flap): a body placed
    and with a flap;
  * a list of these: several elements.

Functions: solve, polar, flow, verify.  Example:

>>> import velquin
>>> r = velquin.solve("naca2412", panels=160, alpha=4.0)
>>> round(r.cl, 3)
0.743

A single body without placement, flap or ground, at no more than 198 panels (199
without circulation), is solved with the arithmetic of ``velquin2ds --batch``: its
numbers are the batch command's to the last bit. Everything else is the general panel
problem, as the batch command runs several elements.
"""

import os

import numpy as np

from ._velquin import Field as _Field
from ._velquin import Problem as _Problem
from ._velquin import verify as _verify

__all__ = ["Element", "Result", "Polar", "Flow", "solve", "polar", "flow", "verify"]


class Element:
    """One element of a configuration: a body, where it lies and its flap.

    body:  a body name, a path, or an (x, y) contour (see the module's help).
    place: (x, y, deg, chord): scaled to chord, turned by deg about the leading edge
           (positive: trailing edge down), the leading edge moved to (x, y).
    flap:  (xh, deg): the part behind the hinge at chord fraction xh turned by deg
           (positive: trailing edge down).

    >>> import velquin
    >>> main = velquin.Element("naca23012")
    >>> flap = velquin.Element("naca23012", place=(0.95, -0.04, 25, 0.3))
    >>> r = velquin.solve([main, flap], alpha=4.0)
    >>> len(r.element_cl)
    2
    """

    def __init__(self, body, place=None, flap=None):
        if isinstance(body, (Element, list)):
            raise TypeError("an Element holds one body: a name, a path or an (x, y) contour")
        self.body = body
        self.place = None if place is None else tuple(float(v) for v in place)
        self.flap = None if flap is None else tuple(float(v) for v in flap)

    def __repr__(self):
        return "Element(%r, place=%r, flap=%r)" % (self.body, self.place, self.flap)


class Result:
    """The solution at one angle (velquin.solve).

    cl           lift coefficient from the circulation (Kutta-Joukowski)
    cl_pressure  lift coefficient from the panel pressures
    cm           moment coefficient about the quarter chord (0.25, 0), nose up positive
    source_sum   sum of source strength times panel length (0 in exact arithmetic)
    x, y         the panel nodes of every element, 0..n (the last closes the contour)
    xc, yc       control points, one per panel
    vt           signed tangential speed at the control points (free stream 1)
    cp           pressure coefficient 1 - vt**2
    element      the element (0-based) of every panel
    element_names, element_cl, element_cl_pressure: per element
    seed         True when solved with the batch command's single-body arithmetic
    circle_deviation, cl_exact, exact_deviation: as the batch command prints them
    viscous      with re=: a dict (cl, cm, cd, xtr_top, xtr_bottom, converged, ...;
                 per element element_cl, element_cd, element_xtr_top, ...)
    warnings     what makes the results doubtful (a point vortex outside the body; with re=,
                 too few panels or a low Reynolds number for the layers, supersonic flow)
    """

    def __init__(self, values):
        self.__dict__.update(values)

    def __repr__(self):
        return "Result(alpha=%g, cl=%.6g, cl_pressure=%.6g, cm=%.6g, panels=%d)" % (
            self.alpha, self.cl, self.cl_pressure, self.cm, len(self.cp))


class Polar:
    """The integrated results at several angles (velquin.polar): arrays alpha, cl,
    cl_pressure, cm, source_sum, and element_cl, element_cl_pressure of shape
    (angles, elements); with re= also cl_viscous, cm_viscous, cd, xtr_top, xtr_bottom
    (of the first element), element_cd (angles, elements) and converged."""

    def __init__(self, values):
        self.__dict__.update(values)

    def __repr__(self):
        return "Polar(%d angles)" % len(self.alpha)


def _is_numbers(obj):
    if isinstance(obj, (str, bytes, os.PathLike, Element, dict)):
        return False
    try:
        array = np.asarray(obj, dtype=float)
    except (TypeError, ValueError):
        return False
    return array.ndim == 1


def _is_contour(obj):
    if isinstance(obj, np.ndarray):
        return obj.ndim == 2 and obj.shape[0] == 2
    return (isinstance(obj, (tuple, list)) and len(obj) == 2
            and _is_numbers(obj[0]) and _is_numbers(obj[1]))


def _element(item, place=None, flap=None):
    if isinstance(item, Element):
        return _element(item.body, item.place, item.flap)
    if isinstance(item, dict):
        unknown = set(item) - {"body", "place", "flap"}
        if unknown or "body" not in item:
            raise ValueError("an element dict takes the keys body, place and flap, not %s"
                             % sorted(item))
        return _element(Element(item["body"], item.get("place"), item.get("flap")))
    element = {"place": place, "flap": flap}
    if isinstance(item, str):
        element.update(kind="name", text=item)
    elif isinstance(item, os.PathLike):
        path = os.fspath(item)
        if isinstance(path, bytes):
            path = os.fsdecode(path)
        element.update(kind="file", text=path)
    elif _is_contour(item):
        x = np.ascontiguousarray(item[0], dtype=float)
        y = np.ascontiguousarray(item[1], dtype=float)
        element.update(kind="contour", x=x, y=y)
    else:
        raise TypeError("a body is a name (str), a coordinate file (os.PathLike), an (x, y) "
                        "contour, a velquin.Element or a list of these, not %s"
                        % type(item).__name__)
    return element


def _elements(body):
    if isinstance(body, list) and not _is_contour(body):
        if not body:
            raise ValueError("no element: give a body, a file or a contour")
        return [_element(item) for item in body]
    return [_element(body)]


_AUTO = "auto"


def _vortex(vortex, elements):
    if vortex == _AUTO:
        # As the flow explorer: a section lifts (the constant vortex distribution), the
        # circle alone does not.
        circle = (len(elements) == 1 and elements[0]["kind"] == "name"
                  and elements[0]["text"].strip().lower() == "circle")
        return None if circle else "constant"
    if vortex is not None and not isinstance(vortex, str):
        raise ValueError("vortex must be 'point', 'constant' or None, not %r" % (vortex,))
    return vortex if vortex is None else vortex.lower()


def _number(name, value):
    if value is None:
        return None
    try:
        return float(value)
    except (TypeError, ValueError):
        raise ValueError("%s must be a number, not %r" % (name, value)) from None


def _problem(body, panels, vortex, xv, yv, ground):
    elements = _elements(body)
    return _Problem(elements, _number("panels", panels), _vortex(vortex, elements),
                    _number("xv", xv), _number("yv", yv), _number("ground", ground))


def _viscous(re, ncrit, mach, xtr):
    if re is None:
        # As on the command line: the viscous analysis' options are no use without it.
        if (np.ndim(ncrit) != 0 or ncrit != 9.0 or np.ndim(mach) != 0 or mach != 0.0
                or np.ndim(xtr) != 0 or xtr != 1.0):
            raise ValueError("ncrit, mach and xtr belong to the viscous analysis: they need re")
        return None
    top, bottom = (xtr, xtr) if np.ndim(xtr) == 0 else tuple(xtr)
    return {"re": _number("re", re), "ncrit": _number("ncrit", ncrit),
            "mach": _number("mach", mach), "xtr_top": _number("xtr", top),
            "xtr_bottom": _number("xtr", bottom)}


def solve(body, panels=160, alpha=4.0, vortex=_AUTO, xv=0.5, yv=0.0, ground=None,
          re=None, ncrit=9.0, mach=0.0, xtr=1.0):
    """Solve the panel problem at one angle of attack and return a velquin.Result.

    body    a name, path, (x, y) contour, velquin.Element or list of them
    panels  panels per element; None keeps a coordinate file's own points
    alpha   angle of attack in degrees
    vortex  "constant" (the constant vortex distribution), "point" (a point vortex at
            (xv, yv), one element only) or None (no circulation); by default "constant",
            None for the circle
    ground  height H of a ground plane y = -H under the configuration (turned by alpha
            about the quarter chord); None: no ground
    re      Reynolds number (on the reference chord): also the viscous analysis, every
            element with its own layers, with ncrit, mach and the forced transition xtr
            (a fraction of each element's chord, or (top, bottom))

    Raises ValueError for a value the command line refuses, OSError (FileNotFoundError)
    for a file that cannot be read, with the command line's message.

    >>> import velquin
    >>> r = velquin.solve("naca2412", panels=160, alpha=4.0)
    >>> r.cp.shape, r.x.shape
    ((160,), (161,))
    >>> r2 = velquin.solve([velquin.Element("naca23012"),
    ...                     velquin.Element("naca23012", place=(0.95, -0.04, 25, 0.3))],
    ...                    alpha=4.0)
    >>> [round(cl, 2) for cl in r2.element_cl]
    [1.92, 0.7]
    """
    problem = _problem(body, panels, vortex, xv, yv, ground)
    return Result(problem.solve(_number("alpha", alpha), _viscous(re, ncrit, mach, xtr)))


def polar(body, panels=160, alpha=None, vortex=_AUTO, xv=0.5, yv=0.0, ground=None,
          re=None, ncrit=9.0, mach=0.0, xtr=1.0):
    """The integrated results over an array of angles: a velquin.Polar.

    The matrix is assembled and factored once (above a ground plane once per angle,
    as the configuration turns). alpha: an array of angles in degrees (default
    -10 to 10 in steps of 0.25). The other arguments are those of velquin.solve; with
    re= the viscous analysis runs at every angle.

    >>> import numpy, velquin
    >>> p = velquin.polar("naca0012", panels=160, alpha=numpy.arange(-4.0, 4.5, 2.0))
    >>> p.cl.shape, p.cl.dtype
    ((5,), dtype('float64'))
    """
    if alpha is None:
        alpha = np.arange(-10.0, 10.0 + 0.125, 0.25)
    angles = np.atleast_1d(np.asarray(alpha, dtype=float))
    if angles.ndim != 1:
        raise ValueError("alpha must be a number or a 1-D array of angles")
    problem = _problem(body, panels, vortex, xv, yv, ground)
    return Polar(problem.polar(angles, _viscous(re, ncrit, mach, xtr)))


class Flow:
    """The flow field at one angle (velquin.flow).

    x, y, u, v, cp  arrays of shape (ny, nx) on the grid nodes (NaN inside a body)
    inside          bool array: the node lies inside a body
    surface         the velquin.Result at the angle
    velocity(x, y)  the velocity at any points (arrays of any shape): (u, v), NaN inside
                    a body or on a singular point
    streamlines(seeds=None, count=41, max_steps=1500, stagnation_speed=5e-3):
                    a list of arrays of shape (n, 2), traced on the grid's field from the
                    seed points (an array of shape (k, 2)), or without seeds from count
                    points spread across the oncoming stream
    """

    def __init__(self, field):
        self._field = field
        values = field.grid()
        self.surface = Result(values.pop("surface"))
        self.__dict__.update(values)

    def velocity(self, x, y):
        """The velocity (u, v) at the points (x, y), arrays of any one shape.

        >>> import velquin
        >>> f = velquin.flow("naca0012", alpha=2.0, grid=(41, 21))
        >>> u, v = f.velocity([-1.0, 2.0], [0.0, 0.0])
        >>> u.shape
        (2,)
        """
        x = np.asarray(x, dtype=float)
        y = np.asarray(y, dtype=float)
        if x.shape != y.shape:
            raise ValueError("x and y differ in shape: %s and %s" % (x.shape, y.shape))
        u, v = self._field.velocity(np.ascontiguousarray(x), np.ascontiguousarray(y))
        return u.reshape(x.shape), v.reshape(x.shape)

    def streamlines(self, seeds=None, count=41, max_steps=1500, stagnation_speed=5e-3,
                    ends=False):
        """Streamlines as a list of (n, 2) arrays (with ends=True: (array, why) pairs,
        why one of "domain", "body", "stagnation", "steps").

        >>> import numpy, velquin
        >>> f = velquin.flow("naca0012", alpha=2.0, grid=(81, 41))
        >>> lines = f.streamlines(numpy.array([[-0.9, 0.1], [-0.9, -0.1]]))
        >>> len(lines), lines[0].shape[1]
        (2, 2)
        """
        if seeds is not None:
            seeds = np.ascontiguousarray(np.atleast_2d(np.asarray(seeds, dtype=float)))
        lines = self._field.streamlines(seeds, int(count), int(max_steps),
                                        float(stagnation_speed))
        return lines if ends else [line for line, _ in lines]


def flow(body, panels=160, alpha=4.0, vortex=_AUTO, xv=0.5, yv=0.0, ground=None,
         domain=None, grid=(161, 81)):
    """The flow field at one angle: a velquin.Flow with the velocity and pressure on a
    grid, the velocity at any points and streamlines.

    domain  (xmin, xmax, ymin, ymax); default: the flow explorer's view around the bodies
    grid    (nx, ny) nodes
    The other arguments are those of velquin.solve. Above a ground plane the field is in
    the frame of the turned configuration, the free stream along the ground.

    >>> import velquin
    >>> f = velquin.flow("naca2412", alpha=4.0, grid=(81, 41))
    >>> f.u.shape
    (41, 81)
    >>> lines = f.streamlines(count=10)
    """
    problem = _problem(body, panels, vortex, xv, yv, ground)
    nx, ny = grid
    box = None if domain is None else [float(v) for v in domain]
    return Flow(_Field(problem, _number("alpha", alpha), box, int(nx), int(ny)))


def verify():
    """The verification bench: every exact case at panel counts doubling from 16.

    Returns a dict of columns, one entry a row (as ``velquin2ds --verify`` writes
    verification.csv): ``case`` and ``quantity`` (lists of str), ``panels`` (int array),
    ``computed``, ``exact``, ``error`` (float arrays); ``orders``, a list of dicts with the
    observed and required order of every quantity and its verdict; and ``passed``, True
    when every case converges as documented (docs/verification.md).

    >>> import velquin
    >>> table = velquin.verify()
    >>> table["passed"]
    True
    >>> sorted(set(table["case"]))[:2]
    ['circle-vortex', 'ellipse-kutta']
    """
    return _verify()
