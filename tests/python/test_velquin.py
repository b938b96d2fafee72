"""The Python module against the batch command: the same inputs give the same numbers,
every refused input raises the command line's error, the arrays have their shapes."""

import math
import csv
import os
import pathlib
import subprocess

import numpy as np
import pytest

import velquin

SOURCE = pathlib.Path(os.environ.get("VELQUIN_SOURCE_DIR", pathlib.Path(__file__).parents[2]))
BATCH = os.environ.get("VELQUIN_BATCH", "velquin2ds")
NACA2412_FILE = SOURCE / "examples" / "naca2412.dat"


def batch(tmp_path, *args):
    """Runs velquin2ds --batch ARGS; returns (status, stdout key=value dict, stderr)."""
    run = subprocess.run([BATCH, "--batch", "--out", str(tmp_path), *args],
                         capture_output=True, text=True, timeout=120)
    values = {}
    for pair in run.stdout.split():
        key, _, value = pair.partition("=")
        values[key] = float(value)
    return run.returncode, values, run.stderr


VORTEX_OPTIONS = {"constant": ["--circulation", "--vortex", "constant"],
                  "point": ["--circulation", "--vortex", "point"], None: []}

# body, batch body options, panels, alpha, vortex, xv
SINGLE_BODIES = [
    ("naca2412", ["--body", "naca2412"], 160, 4.0, "constant", 0.5),
    ("naca0012", ["--body", "naca0012"], 198, -7.25, "constant", 0.5),
    ("circle", ["--body", "circle"], 64, 10.0, "point", 0.5),
    ("circle", ["--body", "circle"], 199, 3.0, None, 0.5),
    ("joukowski:-0.1:0.05", ["--body", "joukowski:-0.1:0.05"], 120, 2.5, "constant", 0.5),
    ("naca23012", ["--body", "naca23012"], 100, 0.0, "point", 0.3),
    (NACA2412_FILE, ["--body-file", str(NACA2412_FILE)], 140, 5.0, "constant", 0.5),
]


@pytest.mark.parametrize("body,options,panels,alpha,vortex,xv", SINGLE_BODIES)
def test_single_body_equals_the_batch_line(tmp_path, body, options, panels, alpha, vortex, xv):
    status, line, err = batch(tmp_path, *options, "--panels", str(panels), "--alpha", repr(alpha),
                              "--xv", repr(xv), *VORTEX_OPTIONS[vortex])
    assert status == 0, err
    r = velquin.solve(body, panels=panels, alpha=alpha, vortex=vortex, xv=xv)
    assert r.seed
    for key, value in (("cl_circulation", r.cl), ("cl_pressure", r.cl_pressure),
                       ("cm_quarter_chord", r.cm), ("source_sum", r.source_sum)):
        assert abs(value - line[key]) <= 1e-12, key
    if "circle_deviation" in line:
        assert abs(r.circle_deviation - line["circle_deviation"]) <= 1e-12


GENERAL = [
    # elements, batch options, panels, alpha, ground
    ([velquin.Element("naca23012"), velquin.Element("naca23012", place=(0.95, -0.04, 25, 0.3))],
     ["--body", "naca23012", "--body", "naca23012", "--place", "0.95:-0.04:25:0.3"], 120, 4.0,
     None),
    ([velquin.Element("naca2412", flap=(0.7, 15))], ["--body", "naca2412", "--flap", "0.7:15"],
     160, 2.0, None),
    ("naca4412", ["--body", "naca4412"], 160, 6.0, 0.4),
    ("naca0012", ["--body", "naca0012", "--general"], 400, 3.0, None),
]


@pytest.mark.parametrize("body,options,panels,alpha,ground", GENERAL)
def test_general_problem_equals_the_batch_line(tmp_path, body, options, panels, alpha, ground):
    extra = ["--ground", repr(ground)] if ground else []
    status, line, err = batch(tmp_path, *options, *extra, "--panels", str(panels), "--alpha",
                              repr(alpha), *VORTEX_OPTIONS["constant"])
    assert status == 0, err
    r = velquin.solve(body, panels=panels, alpha=alpha, ground=ground)
    assert not r.seed
    assert abs(r.cl - line["cl_circulation"]) <= 1e-12
    assert abs(r.cl_pressure - line["cl_pressure"]) <= 1e-12
    assert abs(r.cm - line["cm_quarter_chord"]) <= 1e-12
    for k in range(len(r.element_cl)):
        assert abs(r.element_cl[k] - line["cl_circulation_%d" % (k + 1)]) <= 1e-12
        assert abs(r.element_cl_pressure[k] - line["cl_pressure_%d" % (k + 1)]) <= 1e-12
    surface = np.loadtxt(tmp_path / "surface.csv", delimiter=",", skiprows=1)
    np.testing.assert_allclose(r.cp, surface[:, 9], rtol=0, atol=1e-12)
    np.testing.assert_allclose(r.vt, surface[:, 8], rtol=0, atol=1e-12)


def test_viscous_results_equal_the_batch_line_and_polar(tmp_path):
    # Two elements at one angle: the line's totals and every element's share.
    body, options = GENERAL[0][0], GENERAL[0][1]
    status, line, err = batch(tmp_path, *options, "--panels", "120", "--alpha", "4", "--re",
                              "1e6", *VORTEX_OPTIONS["constant"])
    assert status == 0, err
    v = velquin.solve(body, panels=120, alpha=4.0, re=1e6).viscous
    assert abs(v["cl"] - line["cl_viscous"]) <= 1e-12
    assert abs(v["cd"] - line["cd"]) <= 1e-12
    for k in (1, 2):
        assert abs(v["element_cd"][k - 1] - line["cd_%d" % k]) <= 1e-12
        assert abs(v["element_xtr_top"][k - 1] - line["xtr_top_%d" % k]) <= 1e-12
    # One section's sweep: the polar's viscous columns, angle by angle.
    status, _, err = batch(tmp_path, "--body", "naca2412", "--panels", "120", "--sweep",
                           "-2:8:1", "--re", "1e6", *VORTEX_OPTIONS["constant"])
    assert status == 0, err
    csv = np.loadtxt(tmp_path / "polar.csv", delimiter=",", skiprows=1)
    p = velquin.polar("naca2412", panels=120, alpha=np.arange(-2.0, 8.5, 1.0), re=1e6)
    np.testing.assert_allclose(p.cl_viscous, csv[:, 5], rtol=0, atol=1e-12)
    np.testing.assert_allclose(p.cd, csv[:, 6], rtol=0, atol=1e-12)
    # The command line's warnings come with the result.
    status, _, err = batch(tmp_path, "--body", "naca2412", "--panels", "10", "--re", "5e4",
                           *VORTEX_OPTIONS["constant"])
    assert status == 0, err
    warnings = velquin.solve("naca2412", panels=10, re=5e4).warnings
    assert len(warnings) == 2 and all(w in err for w in warnings), (warnings, err)


@pytest.mark.parametrize("body,options", [
    ("naca2412", ["--body", "naca2412"]),
    ([velquin.Element("naca23012"), velquin.Element("naca23012", place=(0.95, -0.04, 25, 0.3))],
     ["--body", "naca23012", "--body", "naca23012", "--place", "0.95:-0.04:25:0.3"]),
])
def test_polar_equals_the_batch_polar_csv(tmp_path, body, options):
    status, _, err = batch(tmp_path, *options, "--panels", "120", "--sweep", "-10:10:0.25",
                           *VORTEX_OPTIONS["constant"])
    assert status == 0, err
    csv = np.loadtxt(tmp_path / "polar.csv", delimiter=",", skiprows=1)
    p = velquin.polar(body, panels=120, alpha=np.arange(-10, 10.125, 0.25))
    assert len(p.alpha) == len(csv) == 81
    np.testing.assert_array_equal(p.alpha, csv[:, 0])
    for k, values in enumerate((p.cl, p.cl_pressure, p.cm, p.source_sum), start=1):
        np.testing.assert_allclose(values, csv[:, k], rtol=0, atol=1e-12)


def test_shapes_and_dtypes():
    r = velquin.solve([velquin.Element("naca23012"),
                       {"body": "naca23012", "place": (0.95, -0.04, 25, 0.3)}], panels=100)
    assert r.x.shape == r.y.shape == (202,)  # two closed contours of 101 nodes
    for name in ("xc", "yc", "vt", "cp"):
        assert getattr(r, name).shape == (200,) and getattr(r, name).dtype == np.float64
    assert list(np.bincount(r.element)) == [100, 100]
    assert math.isclose(r.cl, r.element_cl.sum(), rel_tol=1e-12)
    np.testing.assert_array_equal(r.cp, 1 - r.vt ** 2)
    p = velquin.polar("naca0012", alpha=[0.0, 2.0], re=1e6)
    assert p.cl.shape == p.cd.shape == (2,) and p.converged.dtype == bool
    assert p.element_cl.shape == (2, 1)
    f = velquin.flow("naca0012", alpha=2.0, grid=(31, 21))
    assert f.u.shape == f.cp.shape == f.x.shape == (21, 31) and f.inside.dtype == bool
    assert np.isnan(f.u[f.inside]).all() and not np.isnan(f.u[~f.inside]).any()


def test_contour_as_arrays_equals_its_file(tmp_path):
    points = np.loadtxt(NACA2412_FILE, skiprows=1)
    from_file = velquin.solve(NACA2412_FILE, panels=None)
    from_arrays = velquin.solve((points[:, 0], points[:, 1]), panels=None)
    assert from_arrays.cl == from_file.cl and from_arrays.cm == from_file.cm


def test_flow_field_agrees_between_the_two_solvers_and_with_the_ground():
    points = (np.array([-0.5, 1.5, 0.5, 0.3]), np.array([0.3, -0.2, 0.2, -0.3]))
    seed = velquin.flow("naca0012", panels=198, alpha=3.0, grid=(21, 11))
    general = velquin.flow(velquin.Element("naca0012", place=(0, 0, 0, 1)), panels=198,
                           alpha=3.0, grid=(21, 11))
    assert seed.surface.seed and not general.surface.seed
    for a, b in zip(seed.velocity(*points), general.velocity(*points)):
        np.testing.assert_allclose(a, b, rtol=0, atol=1e-10)
    # Far away the free stream; on the ground no flow through it.
    u, v = seed.velocity([-200.0], [0.0])
    assert abs(u[0] - math.cos(math.radians(3))) < 1e-3
    grounded = velquin.flow("naca4412", alpha=4.0, ground=0.3, grid=(21, 11))
    _, v = grounded.velocity(np.linspace(-2, 3, 9), np.full(9, -0.3))
    np.testing.assert_allclose(v, 0, atol=1e-12)
    assert np.isnan(seed.velocity([0.3], [0.0])[0][0])  # inside the body


def test_streamlines_from_seeds():
    f = velquin.flow([velquin.Element("naca23012"),
                      velquin.Element("naca23012", place=(0.95, -0.04, 25, 0.3))], alpha=4.0)
    seeds = np.array([[-0.4, 0.2], [-0.4, -0.4], [0.3, 0.0]])
    lines = f.streamlines(seeds, ends=True)
    assert [why for _, why in lines][2] == "body"  # a seed inside the main element
    for (line, why), seed in zip(lines[:2], seeds[:2]):
        np.testing.assert_array_equal(line[0], seed)
        assert why == "domain" and line[-1, 0] > 1.5  # carried past the flap


def test_vortex_defaults_follow_the_explorer():
    assert velquin.solve("circle").cl == 0
    assert velquin.solve("naca2412").cl == velquin.solve("naca2412", vortex="constant").cl


ERRORS = [
    # body, keywords, exception, batch options
    ("naca99x", {}, ValueError, ["--body", "naca99x"]),
    ("naca0012", {"panels": 0}, ValueError, ["--body", "naca0012", "--panels", "0"]),
    ("naca0012", {"panels": 2.5}, ValueError, ["--body", "naca0012", "--panels", "2.5"]),
    ("naca0012", {"panels": 161}, ValueError, ["--body", "naca0012", "--panels", "161"]),
    ("naca0012", {"panels": 5000}, ValueError, ["--body", "naca0012", "--general",
                                                "--panels", "5000"]),
    (pathlib.Path("/nonexistent/x.dat"), {}, FileNotFoundError,
     ["--body-file", "/nonexistent/x.dat"]),
    (pathlib.Path("/tmp"), {}, OSError, ["--body-file", "/tmp"]),
    ("BAD_FILE", {}, ValueError, ["--body-file", "BAD_FILE"]),
    (velquin.Element("naca0012", flap=(0.99, 10)), {}, ValueError,
     ["--body", "naca0012", "--flap", "0.99:10"]),
    (["naca0012", "naca0012"], {}, ValueError, ["--body", "naca0012", "--body", "naca0012"]),
]


@pytest.mark.parametrize("body,keywords,exception,options", ERRORS)
def test_refused_inputs_raise_the_batch_message(tmp_path, body, keywords, exception, options):
    bad = tmp_path / "bad.dat"
    bad.write_text("name\n1 0\n0.5 x\n0 0\n")
    if body == "BAD_FILE":
        body = bad
    options = [str(bad) if o == "BAD_FILE" else o for o in options]
    with pytest.raises(exception) as raised:
        velquin.solve(body, **{"panels": 160, **keywords})
    if "--panels" not in options:
        options += ["--panels", "160"]
    status, _, err = batch(tmp_path, *options, *VORTEX_OPTIONS["constant"])
    assert status != 0
    assert str(raised.value) in err


@pytest.mark.parametrize("call", [
    lambda: velquin.solve("naca0012", vortex="spiral"),
    lambda: velquin.solve("naca0012", ground=-1.0),
    lambda: velquin.solve(velquin.Element("naca0012", place=(0, 0, 0, 0))),
    lambda: velquin.solve("naca0012", alpha=float("nan")),
    lambda: velquin.solve([]),
    lambda: velquin.solve("naca0012", re=-5.0),
    lambda: velquin.solve("naca0012", re=1e6, mach=1.5),
    # The command line's ranges and needs of the viscous analysis.
    lambda: velquin.solve("naca0012", re=999.0),
    lambda: velquin.solve("naca0012", re=1e6, ncrit=31.0),
    lambda: velquin.solve("naca0012", re=1e6, xtr=(2.0, 1.0)),
    lambda: velquin.solve("naca0012", mach=0.5),
    lambda: velquin.solve("circle", re=1e6),
    lambda: velquin.solve("naca0012", vortex=None, re=1e6),
    lambda: velquin.polar(["naca0012", velquin.Element("naca0012", place=(2, 0, 0, 1))], re=1e6,
                          vortex=None),
    lambda: velquin.polar("naca0012", alpha=np.zeros((2, 2))),
    lambda: velquin.flow("naca0012", grid=(1, 5)),
    lambda: velquin.flow("naca0012", domain=(1, 0, 0, 1)),
    lambda: velquin.flow("naca0012", grid=(11, 11)).velocity([1, 2], [1]),
    lambda: velquin.flow("naca0012", grid=(11, 11)).streamlines(np.zeros((2, 3))),
    lambda: velquin.solve(([1.0, 0.5], [0.0, 0.1])),
])
def test_bad_values_raise_value_error(call):
    with pytest.raises(ValueError):
        call()


def test_verify_is_the_benchs_table(tmp_path):
    """verify() gives the rows of `velquin2ds --verify`'s verification.csv, bit for bit."""
    table = velquin.verify()
    assert table["passed"]
    subprocess.run([BATCH, "--verify", "--out", str(tmp_path)], check=True,
                   capture_output=True, env={**os.environ, "QT_QPA_PLATFORM": "offscreen"})
    with open(tmp_path / "verification.csv") as f:
        rows = list(csv.DictReader(f))
    assert len(rows) == len(table["panels"])
    for k, row in enumerate(rows):
        assert row["case"] == table["case"][k] and row["quantity"] == table["quantity"][k]
        assert int(row["panels"]) == table["panels"][k]
        assert float(row["computed"]) == table["computed"][k]
        assert float(row["error"]) == table["error"][k]


def test_every_function_has_a_docstring_with_an_example():
    for name in ("solve", "polar", "flow", "verify", "Element"):
        assert ">>> " in getattr(velquin, name).__doc__
