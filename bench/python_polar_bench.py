"""The time of velquin.polar (81 angles, -10 to 10 degrees, NACA 0012, 160 panels, the
constant vortex distribution) from Python, against the same computation in C++
(velquin_python_polar_bench) and against the batch command's process for the same sweep
(velquin2ds --batch ... --sweep -10:10:0.25, which also writes its reports and polar.csv).

  PYTHONPATH=build/python /usr/bin/python3 bench/python_polar_bench.py [BUILD_DIR]

Prints the best and the median of many repetitions of each, in milliseconds.
"""
import pathlib
import statistics
import subprocess
import sys
import tempfile
import time

import numpy as np

import velquin

build = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "build")
alpha = np.arange(-10.0, 10.125, 0.25)
assert len(alpha) == 81


def timed(call, repetitions):
    times = []
    for _ in range(repetitions):
        start = time.perf_counter()
        call()
        times.append((time.perf_counter() - start) * 1e3)
    return min(times), statistics.median(times)


def show(name, best, median):
    print("%-44s best %8.3f ms   median %8.3f ms" % (name, best, median))


polar = lambda: velquin.polar("naca0012", panels=160, alpha=alpha)  # noqa: E731
polar()
py_best, py_median = timed(polar, 200)
show("velquin.polar from Python", py_best, py_median)

out = subprocess.run([str(build / "bin" / "velquin_python_polar_bench"), "200"],
                     capture_output=True, text=True, check=True).stdout
fields = dict(pair.split("=") for pair in out.split())
cpp_best, cpp_median = float(fields["best_us"]) / 1e3, float(fields["median_us"]) / 1e3
show("the same computation in C++", cpp_best, cpp_median)

with tempfile.TemporaryDirectory() as directory:
    command = [str(build / "bin" / "velquin2ds"), "--batch", "--body", "naca0012", "--panels",
               "160", "--circulation", "--vortex", "constant", "--sweep", "-10:10:0.25",
               "--out", directory]
    batch = lambda: subprocess.run(command, capture_output=True, check=True)  # noqa: E731
    batch()
    batch_best, batch_median = timed(batch, 40)
show("velquin2ds --batch --sweep (a process)", batch_best, batch_median)

print("Python / C++ (best): %.3f; Python / batch process (best): %.3f"
      % (py_best / cpp_best, py_best / batch_best))
